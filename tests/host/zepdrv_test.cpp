// zepdrv as a program: installing, printing the sample end to end, and its error contract.
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host_test_util.h"

using namespace host_test;

namespace {

const std::string kTrailer = "\x1b%-12345X@PJL EOJ\r\n";
const std::string kEnterPostScript = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";

class Zepdrv : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = TempDir("root");
        RunResult r = Run("install");
        ASSERT_EQ(r.code, 0) << r.err;
    }

    static RunResult Run(const std::string &args) { return RunZepdrv(root_, args); }

    static std::string Sample() { return SampleDoc(); }

public:
    static std::string SampleDoc() { return (SourceDir() / "driver" / "samples" / "sample.ps").string(); }

protected:

    static fs::path root_;
};
fs::path Zepdrv::root_;

// Lines of the document must all appear, in order, in the job's PostScript.
bool ContainsLinesInOrder(const std::string &haystack, const std::string &doc)
{
    size_t at = 0, start = 0;
    while (start < doc.size()) {
        size_t end = doc.find('\n', start);
        std::string line = doc.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
        at = haystack.find(line, at);
        if (at == std::string::npos) return false;
        at += line.size();
        start = end == std::string::npos ? doc.size() : end + 1;
    }
    return true;
}

} // namespace

TEST_F(Zepdrv, BadCommandLinesFailWithOneLineAndNoOutput)
{
    fs::path out = TempDir("bad") / "out.prn";
    std::string o = " -O " + Quote(out.string());
    std::string sample = " " + Quote(Sample());
    fs::path fifo = TempDir("bad") / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char *name;
        std::string args;
        const char *message;  // a part of the one stderr line
    } cases[] = {
        {"missing printer", "print -P Nowhere" + sample + o, "no printer named \"Nowhere\""},
        {"unreadable file", "print /nonexistent/doc.ps" + o, "cannot read"},
        {"unknown keyword", "print -o ZPNothing=True" + sample + o, "unknown feature \"ZPNothing\""},
        {"unknown option", "print -o ZPHDD=Maybe" + sample + o, "feature \"ZPHDD\" has no option \"Maybe\""},
        {"conflicting options", "print -o ZPHDD=False -o ZPJob_Type=Secure" + sample + o,
         "options conflict: ZPHDD=False and ZPJob_Type=Secure"},
        {"option without a value", "print -o ZPHDD" + sample + o, "-o wants KEYWORD=OPTION"},
        {"unknown field", "print -s dwNothing=1" + sample + o, ""},
        {"bad field value", "print -s dwCryptoMode=abc" + sample + o, ""},
        {"field without a value", "print -s dwCryptoMode" + sample + o, "-s wants FIELD=VALUE"},
        {"no output file", "print" + sample, ""},
        {"no input file", "print" + o, ""},
        {"unknown flag", "print --bogus" + sample + o, ""},
        {"no command", "", ""},
        {"missing driver files", "--driver-dir /nonexistent install", "is missing"},
        {"output folder missing", "print" + sample + " -O /nonexistent/folder/out.prn", ""},
        {"a device for a document", "print /dev/zero" + o, "not a regular file"},
        {"a folder for a document", "print /tmp" + o, "cannot read the document"},
        {"a pipe for a document", "print " + Quote(fifo.string()) + o, "not a regular file"},
        // Control characters in what the user gave show escaped, on the one line.
        {"a keyword with control characters", "print -o " + Quote("ZP\nX\x1b[2J=1") + sample + o,
         "unknown feature \"ZP\\nX\\x1b[2J\""},
        {"a path with a line break", "print " + Quote("/no\r\nwhere.ps") + o, "/no\\r\\nwhere.ps"},
        {"a field name with a line break", "print -s " + Quote("dw\nX=1") + sample + o, "dw\\nX"},
        {"an action with a line break", "prefs --do " + Quote("click\n1"), "click\\n1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunResult r = Run(c.args);
        EXPECT_NE(r.code, 0);
        EXPECT_EQ(r.err.rfind("zepdrv: ", 0), 0u) << r.err;
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(Zepdrv, PrintsTheSampleAsAJobThatGhostscriptRenders)
{
    fs::path dir = TempDir("e2e");
    fs::path out = dir / "sample.prn";
    RunResult r = Run("print -J Report " + Quote(Sample()) + " -O " + Quote(out.string()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::string job = ReadFile(out);
    std::string doc = ReadFile(Sample());

    // Any PJL header ends with the switch to PostScript; the trailer closes the job.
    std::string ps = job;
    if (ps.rfind("\x1b%-12345X", 0) == 0) {
        size_t enter = ps.find(kEnterPostScript);
        ASSERT_NE(enter, std::string::npos);
        ps.erase(0, enter + kEnterPostScript.size());
    }
    ASSERT_GE(ps.size(), kTrailer.size());
    EXPECT_EQ(ps.substr(ps.size() - kTrailer.size()), kTrailer);
    ps.resize(ps.size() - kTrailer.size());
    EXPECT_EQ(ps.rfind("%!PS-Adobe-3.0\n", 0), 0u);
    EXPECT_TRUE(ContainsLinesInOrder(ps, doc));

    WriteFile(dir / "sample-ps.ps", ps);
    std::string gs = "gs -q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=nullpage " + Quote((dir / "sample-ps.ps").string()) +
                     " >" + Quote((dir / "gs.txt").string()) + " 2>&1";
    if (std::system("command -v gs >/dev/null 2>&1") != 0) GTEST_SKIP() << "Ghostscript is not installed";
    int status = std::system(gs.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(dir / "gs.txt");
    EXPECT_EQ(ReadFile(dir / "gs.txt"), "");
}

TEST_F(Zepdrv, EpsOutputCarriesNoPjl)
{
    fs::path out = TempDir("eps") / "sample.eps";
    RunResult r = Run("print --eps " + Quote(Sample()) + " -O " + Quote(out.string()));
    ASSERT_EQ(r.code, 0) << r.err;
    std::string job = ReadFile(out);
    EXPECT_EQ(job.rfind("%!PS-Adobe-3.0\n", 0), 0u);
    EXPECT_EQ(job.find("@PJL"), std::string::npos);
    EXPECT_TRUE(ContainsLinesInOrder(job, ReadFile(Sample())));
}

TEST_F(Zepdrv, InstallingAgainReplacesThePrinter)
{
    RunResult r = Run("install");
    EXPECT_EQ(r.code, 0) << r.err;
    fs::path out = TempDir("again") / "out.prn";
    r = Run("print " + Quote(Sample()) + " -O " + Quote(out.string()));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(out));
}

// A choice the user did not give gives way to one the user did, and the user is told.
TEST_F(Zepdrv, AnOptionThatConflictsOnlyWithADefaultPrints)
{
    fs::path out = TempDir("resolve") / "out.prn";
    RunResult r = Run("print -o ZPHDD=False " + Quote(Sample()) + " -O " + Quote(out.string()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "zepdrv: options: ZPHDDSpool=False (was True) to fit the PPD's constraints\n");
    EXPECT_EQ(ReadFile(out).find("ZEPSPOOL"), std::string::npos);
}

// zepdrv snapshot draws the staged module's dialogs and pages; a missing dialog is an error, not an empty picture.
TEST_F(Zepdrv, SnapshotDrawsAModulesDialog)
{
    fs::path dir = TempDir("snapshot");
    RunResult r = Run("snapshot ZepPS 103 -O " + Quote((dir / "zepps_103.png").string()));
    ASSERT_EQ(r.code, 0) << r.err;
    // The PNG's width, from its header chunk (big-endian, after the signature and the chunk's length and type).
    std::string png = ReadFile(dir / "zepps_103.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(png[i])); };
    EXPECT_EQ(byte(16) << 24 | byte(17) << 16 | byte(18) << 8 | byte(19), 251u);

    // A property page's template is a child window: it is drawn inside a host window.
    r = Run("snapshot ZepUI 113 -O " + Quote((dir / "zepui_113.png").string()));
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "zepui_113.png"));

    r = Run("snapshot ZepPS 999 -O " + Quote((dir / "missing.png").string()));
    EXPECT_NE(r.code, 0);
    EXPECT_FALSE(fs::exists(dir / "missing.png"));
}

TEST_F(Zepdrv, AFailedJobLeavesTheOutputPathAsItWas)
{
    // The job fails after it started: a secure job that asks for its name at print time gets no answer.
    const std::string failing = "print -o ZPJob_Type=Secure -s dwAskJobName=1 ";
    fs::path dir = TempDir("failed");
    fs::path kept = dir / "kept.prn";
    WriteFile(kept, "an earlier job\n");
    fs::path input = dir / "doc.ps";
    fs::copy_file(Sample(), input);
    struct Case {
        const char *name;
        fs::path output;
        std::string before;
    } cases[] = {
        {"an existing output file", kept, "an earlier job\n"},
        {"the input document itself", input, ReadFile(Sample())},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunResult r = Run(failing + Quote(input.string()) + " -O " + Quote(c.output.string()));
        EXPECT_NE(r.code, 0);
        EXPECT_NE(r.err.find("job name"), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(c.output), c.before);
    }
}

TEST(ZepdrvPluginNames, ANamePathInThePluginIniLoadsNothing)
{
    // The plug-in INI file is every user's to write; a name with a path part must not reach LoadLibraryW.
    fs::path root = TempDir("names-root");
    ASSERT_EQ(RunZepdrv(root, "install").code, 0);
    fs::path driverDir = root / "c" / "WINDOWS" / "System32" / "spool" / "DRIVERS" / "x64" / "3";
    fs::path ini = driverDir / "ZepCL500.ini";
    const std::string original = ReadFile(ini);
    ASSERT_NE(original.find("OEMDriverFile1=ZepPS.dll"), std::string::npos);
    fs::copy_file(ZEP_LOADMARK_LIBRARY, driverDir.parent_path() / "evil.dll");
    fs::create_directories(driverDir / "sub");
    fs::copy_file(ZEP_LOADMARK_LIBRARY, driverDir / "sub" / "evil.dll");
    fs::copy_file(ZEP_LOADMARK_LIBRARY, root / "c" / "evil.dll");
    fs::path mark = TempDir("names") / "loaded.txt";
    ::setenv("ZEP_LOADMARK_FILE", mark.string().c_str(), 1);
    fs::path out = TempDir("names") / "out.prn";

    struct Case {
        const char *key;
        std::string name;
        std::string command;
    } cases[] = {
        {"OEMDriverFile1", "..\\evil.dll", "print " + Quote(Zepdrv::SampleDoc()) + " -O " + Quote(out.string())},
        {"OEMDriverFile1", "sub\\evil.dll", "print " + Quote(Zepdrv::SampleDoc()) + " -O " + Quote(out.string())},
        {"OEMDriverFile1", "C:\\evil.dll", "print " + Quote(Zepdrv::SampleDoc()) + " -O " + Quote(out.string())},
        {"OEMConfigFile1", "..\\evil.dll", "prefs --do cancel"},
        {"OEMConfigFile1", "..", "prefs --do cancel"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.name);
        std::string text = original;
        size_t at = text.find(std::string(c.key) + "=");
        size_t end = text.find('\n', at);
        text.replace(at, end - at, std::string(c.key) + "=" + c.name);
        WriteFile(ini, text);
        RunResult r = RunZepdrv(root, c.command);
        EXPECT_NE(r.code, 0);
        EXPECT_NE(r.err.find("not a file name in the driver folder"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(mark)) << "the library was loaded";
        EXPECT_FALSE(fs::exists(out));
        fs::remove(mark);
    }
    ::unsetenv("ZEP_LOADMARK_FILE");
    WriteFile(ini, original);
}
