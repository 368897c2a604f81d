// The PPD reader, held against libcups' PPD functions on the demo PPD and on PPDs installed on the machine.
#include "host/core/ppd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "host_test_util.h"

#if ZEP_HAVE_CUPS
#include <cups/ppd.h>
#endif

namespace fs = std::filesystem;
using zep::host::Ppd;
using zep::host::Widen;

namespace {

fs::path DemoPpd() { return host_test::SourceDir() / "driver" / "ZepCL500.ppd"; }
using host_test::TempDir;
using host_test::WriteFile;

bool IsAscii(const std::string &s)
{
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

#if ZEP_HAVE_CUPS
// Everything the two readers should agree on; texts only where the PPD gives them and they are plain ASCII
// (libcups invents texts for some options and converts the encoding).
void ExpectSameAsCups(const fs::path &path)
{
    SCOPED_TRACE(path.string());
    Ppd ours;
    std::string error;
    ASSERT_TRUE(ours.Load(Widen(path.string()), error)) << error;
    ppd_file_t *cups = ppdOpenFile(path.c_str());
    ASSERT_NE(cups, nullptr);

    std::set<std::string> cupsKeywords;
    for (int g = 0; g < cups->num_groups; ++g) {
        std::vector<ppd_group_t *> groups{&cups->groups[g]};
        for (size_t k = 0; k < groups.size(); ++k) {
            for (int s = 0; s < groups[k]->num_subgroups; ++s) groups.push_back(&groups[k]->subgroups[s]);
            for (int o = 0; o < groups[k]->num_options; ++o) {
                const ppd_option_t &opt = groups[k]->options[o];
                cupsKeywords.insert(opt.keyword);
                const zep::host::PpdFeature *f = ours.Find(opt.keyword);
                ASSERT_NE(f, nullptr) << opt.keyword;
                EXPECT_EQ(f->defaultOption, opt.defchoice) << opt.keyword;
                if (f->hasText && IsAscii(f->text)) {
                    EXPECT_EQ(f->text, opt.text) << opt.keyword;
                }
                ASSERT_EQ(f->options.size(), size_t(opt.num_choices)) << opt.keyword;
                for (int c = 0; c < opt.num_choices; ++c) {
                    EXPECT_EQ(f->options[c].name, opt.choices[c].choice) << opt.keyword;
                    if (f->options[c].hasText && IsAscii(f->options[c].text)) {
                        EXPECT_EQ(f->options[c].text, opt.choices[c].text) << opt.keyword;
                    }
                }
            }
        }
    }
    std::set<std::string> ourKeywords;
    for (const auto &f : ours.features) ourKeywords.insert(f.keyword);
    EXPECT_EQ(ourKeywords, cupsKeywords);

    using Tuple = std::tuple<std::string, std::string, std::string, std::string>;
    std::multiset<Tuple> cupsConsts, ourConsts;
    for (int i = 0; i < cups->num_consts; ++i) {
        const ppd_const_t &c = cups->consts[i];
        cupsConsts.insert({c.option1, c.choice1, c.option2, c.choice2});
    }
    for (const auto &c : ours.constraints) ourConsts.insert({c.keyword1, c.option1, c.keyword2, c.option2});
    EXPECT_EQ(ourConsts, cupsConsts);
    ppdClose(cups);
}
#endif

} // namespace

TEST(PpdReader, DemoPpdMatchesLibcups)
{
#if ZEP_HAVE_CUPS
    ExpectSameAsCups(DemoPpd());
#else
    GTEST_SKIP() << "libcups is not available";
#endif
}

TEST(PpdReader, InstalledPpdsMatchLibcups)
{
#if ZEP_HAVE_CUPS
    std::vector<fs::path> found;
    for (const char *root : {"/usr/share/ppd", "/usr/share/cups/model"}) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_regular_file() && it->path().extension() == ".ppd" && found.size() < 40)
                found.push_back(it->path());
    }
    if (found.empty()) GTEST_SKIP() << "no plain PPD files installed under /usr/share/ppd or /usr/share/cups/model";
    std::sort(found.begin(), found.end());
    for (const fs::path &p : found) ExpectSameAsCups(p);
#else
    GTEST_SKIP() << "libcups is not available";
#endif
}

// Syntax the demo PPD does not use: includes, hex translations, multi-line values, late defaults, CR LF.
TEST(PpdReader, ReadsIncludesHexTextsAndMultiLineValues)
{
    fs::path dir = TempDir("ppd-syntax");
    WriteFile(dir / "common.ppd",
              "*OpenUI *Extra/Extra <4E>ice: PickOne\r\n*DefaultExtra: B\r\n*Extra A/First: \"a\"\r\n"
              "*Extra B/Second: \"line 1\r\nline 2\"\r\n*End\r\n*CloseUI: *Extra\r\n");
    WriteFile(dir / "main.ppd",
              "*PPD-Adobe: \"4.3\"\r\n*% comment\r\n*ModelName: \"Test\"\r\n*DefaultLate: Y\r\n"
              "*Include: \"common.ppd\"\r\n"
              "*OpenUI *Late: Boolean\r\n*Late X: \"\"\r\n*Late Y: \"\"\r\n*CloseUI: *Late\r\n"
              "*UIConstraints: *Extra A *Late\r\n");
    Ppd ppd;
    std::string error;
    ASSERT_TRUE(ppd.Load(Widen((dir / "main.ppd").string()), error)) << error;
    const zep::host::PpdFeature *extra = ppd.Find("Extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->text, "Extra Nice");
    EXPECT_EQ(extra->defaultOption, "B");
    ASSERT_EQ(extra->options.size(), 2u);
    EXPECT_EQ(extra->options[1].code, "line 1\r\nline 2");
    const zep::host::PpdFeature *late = ppd.Find("Late");
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->defaultOption, "Y");
    EXPECT_EQ(late->options[0].text, "X");
    EXPECT_FALSE(late->options[0].hasText);
    EXPECT_EQ(ppd.Attribute("ModelName"), "Test");
    ASSERT_EQ(ppd.constraints.size(), 1u);
    EXPECT_EQ(ppd.constraints[0].option2, "");
    // libcups does not follow *Include, so this fixture is not held against it.
}

TEST(PpdReader, BadFilesAndIncludesFail)
{
    fs::path dir = TempDir("ppd-bad");
    fs::path elsewhere = TempDir("ppd-elsewhere");
    WriteFile(elsewhere / "other.ppd", "*ModelName: \"Other\"\n");
    fs::create_directories(dir / "sub");
    WriteFile(dir / "sub" / "inner.ppd", "*ModelName: \"Inner\"\n");
    std::error_code ec;
    fs::create_symlink("/dev/zero", dir / "zero.ppd", ec);
    // Sparse files: large without costing the disk anything.
    WriteFile(dir / "huge.ppd", "");
    fs::resize_file(dir / "huge.ppd", Ppd::kMaxBytes + 1);
    WriteFile(dir / "half.ppd", "");
    fs::resize_file(dir / "half.ppd", Ppd::kMaxBytes / 2 + 1);
    const std::string elsewhereName = (elsewhere / "other.ppd").string();
    struct Case {
        const char *name;
        std::string text;  // of main.ppd; empty: main.ppd is huge.ppd itself
        const char *message;
    } cases[] = {
        {"missing include", "*PPD-Adobe: \"4.3\"\n*Include: \"nowhere.ppd\"\n", "cannot read the included PPD"},
        {"unterminated value", "*PPD-Adobe: \"4.3\"\n*OpenUI *A: PickOne\n*A B: \"never closed\n", "unterminated"},
        {"include loop", "*Include: \"main.ppd\"\n", "nested too deeply"},
        {"absolute include", "*Include: \"" + elsewhereName + "\"\n", "not a file name in the PPD's folder"},
        {"device include", "*Include: \"/dev/zero\"\n", "not a file name in the PPD's folder"},
        {"parent folder", "*Include: \"../ppd-elsewhere/other.ppd\"\n", "not a file name in the PPD's folder"},
        {"Windows path", "*Include: \"sub\\inner.ppd\"\n", "not a file name in the PPD's folder"},
        {"drive path", "*Include: \"C:other.ppd\"\n", "not a file name in the PPD's folder"},
        {"include that is a device", "*Include: \"zero.ppd\"\n", "is not a regular file"},
        {"include too large", "*Include: \"huge.ppd\"\n", "is larger than"},
        {"includes too large together", "*Include: \"half.ppd\"\n*Include: \"half.ppd\"\n", "with its includes is larger"},
        {"PPD too large", "", "is larger than"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path main = dir / "main.ppd";
        if (c.text.empty()) main = dir / "huge.ppd";
        else WriteFile(main, c.text);
        Ppd ppd;
        std::string error;
        EXPECT_FALSE(ppd.Load(Widen(main.string()), error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// An empty option in a constraint means "anything but None, False or Off"; unnamed keywords take defaults.
TEST(PpdReader, ConflictsFollowTheDemoConstraints)
{
    Ppd ppd;
    std::string error;
    ASSERT_TRUE(ppd.Load(Widen(DemoPpd().string()), error)) << error;
    struct Case {
        const char *name;
        std::map<std::string, std::string> selection;
        bool conflict;
    } cases[] = {
        {"defaults", {}, false},
        {"no disk, secure job", {{"ZPHDD", "False"}, {"ZPJob_Type", "Secure"}}, true},
        {"no disk, normal job, no spooling", {{"ZPHDD", "False"}, {"ZPHDDSpool", "False"}}, false},
        {"no disk, default spooling", {{"ZPHDD", "False"}}, true},
        {"staple without finisher", {{"ZPStaple", "TopLeft"}}, true},
        {"staple with finisher", {{"ZPStaple", "TopLeft"}, {"ZPFinisher", "True"}}, false},
        {"grayscale with vivid", {{"ZPOutputMode", "Grayscale"}, {"ZPColorRenderStyle", "Vivid"}}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ppd.FindConflict(c.selection) != nullptr, c.conflict);
    }
}

// The user's explicit choices win; a kept or default choice in their way changes to one that fits.
TEST(PpdReader, ConflictsResolveInFavourOfExplicitChoices)
{
    Ppd ppd;
    std::string error;
    ASSERT_TRUE(ppd.Load(Widen(DemoPpd().string()), error)) << error;
    struct Case {
        const char *name;
        std::map<std::string, std::string> selection;
        std::set<std::string> explicitKeywords;
        bool resolved;
        std::vector<std::string> changes;
    } cases[] = {
        {"no disk given: the default spooling goes", {{"ZPHDD", "False"}}, {"ZPHDD"}, true,
         {"ZPHDDSpool=False (was True)"}},
        {"staple given: the output bin follows the finisher", {{"ZPStaple", "TopLeft"}, {"ZPFinisher", "True"}},
         {"ZPStaple"}, true, {}},
        {"staple given without a finisher: the printer is not changed", {{"ZPStaple", "TopLeft"}}, {"ZPStaple"},
         false, {}},
        {"two explicit choices conflict", {{"ZPHDD", "False"}, {"ZPJob_Type", "Secure"}}, {"ZPHDD", "ZPJob_Type"}, false,
         {}},
        {"nothing to resolve", {{"ZPHDD", "True"}}, {"ZPHDD"}, true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::map<std::string, std::string> selection = c.selection;
        std::vector<std::string> changes;
        EXPECT_EQ(ppd.ResolveConflicts(selection, c.explicitKeywords, changes) == nullptr, c.resolved);
        EXPECT_EQ(changes, c.changes);
        for (const std::string &k : c.explicitKeywords) EXPECT_EQ(selection[k], c.selection.at(k)) << "kept " << k;
        if (c.resolved) {
            EXPECT_EQ(ppd.FindConflict(selection), nullptr);
        }
    }
}
