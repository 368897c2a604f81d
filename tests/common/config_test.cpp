// Finding the configuration files among the dependent files, the model-section lookups and companion paths.
#include <gtest/gtest.h>

#include <string>

#include "common/config.h"
#include "test_support.h"

using namespace zep;
using zeptest::W;

namespace {

// A double-NUL list from paths.
std::u16string List(std::initializer_list<std::u16string> paths)
{
    std::u16string list;
    for (const auto &p : paths) {
        list += p;
        list.push_back(0);
    }
    list.push_back(0);
    return list;
}

class ConfigFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        zeptest::WriteFile(u"C:\\cfg\\PLUGIN.INI", zeptest::kPluginIniText);
        zeptest::WriteFile(u"C:\\cfg\\other.ini", "[OEMFiles]\r\nOEMConfigFile1=\r\n");
        zeptest::WriteFile(u"C:\\cfg\\first.cap", zeptest::CapabilityText("Drv", "CryptoDll=first.dll\r\n"));
        zeptest::WriteFile(u"C:\\cfg\\SECOND.CAP",
                           zeptest::CapabilityText("Drv", "CryptoDll=zepcrypt.dll\r\nPSOutputOpt=2\r\n"
                                                          "Compression=0x0301\r\nJobInfoDll=info.dll\r\n"));
    }
};

TEST_F(ConfigFiles, WalkFindsUpperCaseNamesAndTakesTheLastMatch)
{
    std::u16string list = List({u"C:\\cfg\\drv.dll", u"C:\\cfg\\PLUGIN.INI", u"C:\\cfg\\first.cap",
                                u"C:\\cfg\\SECOND.CAP", u"C:\\cfg\\zep.VER"});
    WCHAR ini[MAX_PATH + 1] = u"junk";
    WCHAR cap[MAX_PATH + 1] = u"junk";
    DependentFileMatches m = WalkDependentFiles(list.data(), list.size(), ini, cap);
    EXPECT_TRUE(m.anyConfigFile);
    EXPECT_TRUE(m.iniFound);
    EXPECT_TRUE(m.capFound);
    EXPECT_EQ(std::u16string(ini), u"C:\\cfg\\PLUGIN.INI");
    EXPECT_EQ(std::u16string(cap), u"C:\\cfg\\SECOND.CAP");
    WCHAR ver[MAX_PATH + 1] = {};
    EXPECT_TRUE(FindVersionInList(list.data(), list.size(), ver));
    EXPECT_EQ(std::u16string(ver), u"C:\\cfg\\zep.VER");
}

TEST_F(ConfigFiles, IniWithoutConfigEntryCountsButIsNotTaken)
{
    std::u16string list = List({u"C:\\cfg\\other.ini"});
    WCHAR ini[MAX_PATH + 1] = u"kept";
    DependentFileMatches m = WalkDependentFiles(list.data(), list.size(), ini, nullptr);
    EXPECT_TRUE(m.anyConfigFile);
    EXPECT_FALSE(m.iniFound);
    EXPECT_EQ(std::u16string(ini), u"kept");
}

TEST_F(ConfigFiles, ListsWithoutConfigFilesOrTerminator)
{
    const struct {
        const char *name;
        std::u16string list;
        size_t bound;
    } cases[] = {
        {"no config files", List({u"C:\\cfg\\a.dll", u"C:\\cfg\\b.ppd"}), 0},
        {"empty list", List({}), 0},
        // The last entry runs into the end of the buffer without its NUL: it is not taken.
        {"unterminated", std::u16string(u"C:\\cfg\\x.dll\0C:\\cfg\\first.cap", 28), 28},
        {"too long path", List({u"C:\\" + std::u16string(300, u'a') + u".cap"}), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR cap[MAX_PATH + 1] = u"kept";
        size_t bound = c.bound ? c.bound : c.list.size();
        DependentFileMatches m = WalkDependentFiles(c.list.data(), bound, nullptr, cap);
        EXPECT_FALSE(m.capFound);
        EXPECT_EQ(std::u16string(cap), u"kept");
    }
}

TEST_F(ConfigFiles, ModelSectionKeysAndTheirDefaults)
{
    const WCHAR *cap = u"C:\\cfg\\SECOND.CAP";
    WCHAR out[kCompanionNameChars];
    ReadModelString(cap, u"Drv", u"cryptodll", out, kCompanionNameChars);
    EXPECT_EQ(std::u16string(out), u"zepcrypt.dll");
    EXPECT_EQ(ReadModelInt(cap, u"Drv", u"PSOutputOpt", -1), 2);

    // A driver without a "Capability" entry reads every default.
    ReadModelString(cap, u"Other", u"CryptoDll", out, kCompanionNameChars);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(ReadModelInt(cap, u"Other", u"PSOutputOpt", -1), -1);
    EXPECT_EQ(ReadModelInt(cap, u"Other", u"Compression"), 0);
    // No capability file at all.
    ReadModelString(u"", u"Drv", u"CryptoDll", out, kCompanionNameChars);
    EXPECT_EQ(out[0], 0);
}

TEST(PlainFileName, OnlyNamesInTheDriverFolder)
{
    const struct {
        const WCHAR *name;
        bool plain;
    } cases[] = {
        {u"zepcrypt.dll", true}, {u"a b.ps", true},    {u"..x", true},           {u"", false},
        {nullptr, false},        {u"..", false},       {u".", false},            {u"...", false},
        {u". .", false},         {u"..\\x.dll", false}, {u"sub/x.dll", false},   {u"C:x.dll", false},
        {u"\\\\srv\\x", false},  {u"x.dll:stream", false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(IsPlainFileName(cases[i].name), cases[i].plain) << "case " << i;
}

TEST(DriverFilePath, BuildsThePathOrRefuses)
{
    const std::u16string dir = zeptest::DriverDirectory();
    ASSERT_FALSE(dir.empty());
    WCHAR out[MAX_PATH];
    DWORD cb = sizeof(out);
    ASSERT_TRUE(DriverFilePath(out, &cb, u"zepcrypt.dll"));
    EXPECT_EQ(std::u16string(out), dir + u"\\3\\zepcrypt.dll");
    EXPECT_EQ(cb, 2 * (dir.size() + 15));

    // The longest name that fits a 260-character buffer with its NUL, and one more.
    const size_t room = MAX_PATH - 1 - dir.size() - 3;
    std::u16string fits(room, u'n'), longer(room + 1, u'n');
    cb = sizeof(out);
    EXPECT_TRUE(DriverFilePath(out, &cb, fits.c_str()));
    EXPECT_EQ(lstrlenW(out), MAX_PATH - 1);
    for (const std::u16string &bad : {longer, std::u16string(u"..\\..\\evil.ps"), std::u16string(u"/etc/passwd"),
                                      std::u16string(u"..")}) {
        cb = sizeof(out);
        EXPECT_FALSE(DriverFilePath(out, &cb, bad.c_str()));
        EXPECT_EQ(std::u16string(out), dir + u"\\3");
        EXPECT_EQ(cb, 2 * (dir.size() + 2));
    }
    // An odd byte count holds one character less, never half of one more.
    WCHAR small[64];
    for (WCHAR &c : small) c = u'#';
    cb = static_cast<DWORD>(2 * (dir.size() + 2 + 1 + 5) + 1);
    if (cb <= sizeof(small)) {
        EXPECT_FALSE(DriverFilePath(small, &cb, u"abcde"));
        EXPECT_EQ(small[(cb / 2)], 0);
    }
}

TEST(DriverFiles, FoundThroughTheSpooler)
{
    HANDLE h = zeptest::InstallPrinter("Config Printer", "Zep Config Driver",
                                       {{"zep.ini", zeptest::kPluginIniText},
                                        {"zep.cap", zeptest::CapabilityText("Zep Config Driver",
                                                                            "CryptoDll=zepcrypt.dll\r\nCompression=2304\r\n")},
                                        {"zep.ver", "[Version]\r\nDriverVer=1.0\r\n"}});
    ASSERT_NE(h, nullptr) << GetLastError();
    WCHAR ini[MAX_PATH + 1] = {};
    ASSERT_TRUE(FindDriverFiles(h, ini));
    const std::u16string three = zeptest::DriverDirectory() + u"\\3\\";
    EXPECT_EQ(std::u16string(ini), three + u"zep.ini");
    EXPECT_EQ(std::u16string(CapabilityFilePath()), three + u"zep.cap");
    WCHAR value[kCompanionNameChars];
    GetModelString(h, u"CryptoDll", value, kCompanionNameChars);
    EXPECT_EQ(std::u16string(value), u"zepcrypt.dll");
    EXPECT_EQ(GetModelInt(h, u"Compression"), 2304);
    EXPECT_EQ(GetModelInt(h, u"PSOutputOpt", -1), -1);
    WCHAR ver[MAX_PATH + 1] = {};
    EXPECT_TRUE(FindVersionFile(h, ver));
    EXPECT_EQ(std::u16string(ver), three + u"zep.ver");
    // A bad handle: no files, and the capability path is emptied.
    EXPECT_FALSE(FindDriverFiles(nullptr, ini));
    EXPECT_EQ(CapabilityFilePath()[0], 0);
    ClosePrinter(h);
}

} // namespace
