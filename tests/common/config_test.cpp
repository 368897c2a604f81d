// Finding the configuration files among the dependent files, the model-section lookups and companion paths.
#include <gtest/gtest.h>

#include <string>

#include "common/config.h"
#include "test_support.h"

using namespace zep;
using zeptest::WString;
using zeptest::W;

namespace {

// A double-NUL list from paths.
WString List(std::initializer_list<WString> paths)
{
    WString list;
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
        zeptest::WriteFile(TEXT("C:\\cfg\\PLUGIN.INI"), zeptest::kPluginIniText);
        zeptest::WriteFile(TEXT("C:\\cfg\\other.ini"), "[OEMFiles]\r\nOEMConfigFile1=\r\n");
        zeptest::WriteFile(TEXT("C:\\cfg\\first.cap"), zeptest::CapabilityText("Drv", "CryptoDll=first.dll\r\n"));
        zeptest::WriteFile(TEXT("C:\\cfg\\SECOND.CAP"),
                           zeptest::CapabilityText("Drv", "CryptoDll=zepcrypt.dll\r\nPSOutputOpt=2\r\n"
                                                          "Compression=0x0301\r\nJobInfoDll=info.dll\r\n"));
    }
};

TEST_F(ConfigFiles, WalkFindsUpperCaseNamesAndTakesTheLastMatch)
{
    WString list = List({TEXT("C:\\cfg\\drv.dll"), TEXT("C:\\cfg\\PLUGIN.INI"), TEXT("C:\\cfg\\first.cap"),
                                TEXT("C:\\cfg\\SECOND.CAP"), TEXT("C:\\cfg\\zep.VER")});
    WCHAR ini[MAX_PATH + 1] = TEXT("junk");
    WCHAR cap[MAX_PATH + 1] = TEXT("junk");
    DependentFileMatches m = WalkDependentFiles(list.data(), list.size(), ini, cap);
    EXPECT_TRUE(m.anyConfigFile);
    EXPECT_TRUE(m.iniFound);
    EXPECT_TRUE(m.capFound);
    EXPECT_EQ(WString(ini), TEXT("C:\\cfg\\PLUGIN.INI"));
    EXPECT_EQ(WString(cap), TEXT("C:\\cfg\\SECOND.CAP"));
    WCHAR ver[MAX_PATH + 1] = {};
    EXPECT_TRUE(FindVersionInList(list.data(), list.size(), ver));
    EXPECT_EQ(WString(ver), TEXT("C:\\cfg\\zep.VER"));
}

TEST_F(ConfigFiles, IniWithoutConfigEntryCountsButIsNotTaken)
{
    WString list = List({TEXT("C:\\cfg\\other.ini")});
    WCHAR ini[MAX_PATH + 1] = TEXT("kept");
    DependentFileMatches m = WalkDependentFiles(list.data(), list.size(), ini, nullptr);
    EXPECT_TRUE(m.anyConfigFile);
    EXPECT_FALSE(m.iniFound);
    EXPECT_EQ(WString(ini), TEXT("kept"));
}

TEST_F(ConfigFiles, ListsWithoutConfigFilesOrTerminator)
{
    const struct {
        const char *name;
        WString list;
        size_t bound;
    } cases[] = {
        {"no config files", List({TEXT("C:\\cfg\\a.dll"), TEXT("C:\\cfg\\b.ppd")}), 0},
        {"empty list", List({}), 0},
        // The last entry runs into the end of the buffer without its NUL: it is not taken.
        {"unterminated", WString(TEXT("C:\\cfg\\x.dll\0C:\\cfg\\first.cap"), 28), 28},
        {"too long path", List({TEXT("C:\\") + WString(300, TEXT('a')) + TEXT(".cap")}), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR cap[MAX_PATH + 1] = TEXT("kept");
        size_t bound = c.bound ? c.bound : c.list.size();
        DependentFileMatches m = WalkDependentFiles(c.list.data(), bound, nullptr, cap);
        EXPECT_FALSE(m.capFound);
        EXPECT_EQ(WString(cap), TEXT("kept"));
    }
}

TEST_F(ConfigFiles, ModelSectionKeysAndTheirDefaults)
{
    const WCHAR *cap = TEXT("C:\\cfg\\SECOND.CAP");
    WCHAR out[kCompanionNameChars];
    ReadModelString(cap, TEXT("Drv"), TEXT("cryptodll"), out, kCompanionNameChars);
    EXPECT_EQ(WString(out), TEXT("zepcrypt.dll"));
    EXPECT_EQ(ReadModelInt(cap, TEXT("Drv"), TEXT("PSOutputOpt"), -1), 2);

    // A driver without a "Capability" entry reads every default.
    ReadModelString(cap, TEXT("Other"), TEXT("CryptoDll"), out, kCompanionNameChars);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(ReadModelInt(cap, TEXT("Other"), TEXT("PSOutputOpt"), -1), -1);
    EXPECT_EQ(ReadModelInt(cap, TEXT("Other"), TEXT("Compression")), 0);
    // No capability file at all.
    ReadModelString(TEXT(""), TEXT("Drv"), TEXT("CryptoDll"), out, kCompanionNameChars);
    EXPECT_EQ(out[0], 0);
}

TEST(PlainFileName, OnlyNamesInTheDriverFolder)
{
    const struct {
        const WCHAR *name;
        bool plain;
    } cases[] = {
        {TEXT("zepcrypt.dll"), true}, {TEXT("a b.ps"), true},    {TEXT("..x"), true},           {TEXT(""), false},
        {nullptr, false},        {TEXT(".."), false},       {TEXT("."), false},            {TEXT("..."), false},
        {TEXT(". ."), false},         {TEXT("..\\x.dll"), false}, {TEXT("sub/x.dll"), false},   {TEXT("C:x.dll"), false},
        {TEXT("\\\\srv\\x"), false},  {TEXT("x.dll:stream"), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(IsPlainFileName(cases[i].name), cases[i].plain) << "case " << i;
}

TEST(DriverFilePath, BuildsThePathOrRefuses)
{
    const WString dir = zeptest::DriverDirectory();
    ASSERT_FALSE(dir.empty());
    WCHAR out[MAX_PATH];
    DWORD cb = sizeof(out);
    ASSERT_TRUE(DriverFilePath(out, &cb, TEXT("zepcrypt.dll")));
    EXPECT_EQ(WString(out), dir + TEXT("\\3\\zepcrypt.dll"));
    EXPECT_EQ(cb, 2 * (dir.size() + 15));

    // The longest name that fits a 260-character buffer with its NUL, and one more.
    const size_t room = MAX_PATH - 1 - dir.size() - 3;
    WString fits(room, TEXT('n')), longer(room + 1, TEXT('n'));
    cb = sizeof(out);
    EXPECT_TRUE(DriverFilePath(out, &cb, fits.c_str()));
    EXPECT_EQ(lstrlenW(out), MAX_PATH - 1);
    for (const WString &bad : {longer, WString(TEXT("..\\..\\evil.ps")), WString(TEXT("/etc/passwd")),
                                      WString(TEXT(".."))}) {
        cb = sizeof(out);
        EXPECT_FALSE(DriverFilePath(out, &cb, bad.c_str()));
        EXPECT_EQ(WString(out), dir + TEXT("\\3"));
        EXPECT_EQ(cb, 2 * (dir.size() + 2));
    }
    // An odd byte count holds one character less, never half of one more.
    WCHAR small[64];
    for (WCHAR &c : small) c = TEXT('#');
    cb = static_cast<DWORD>(2 * (dir.size() + 2 + 1 + 5) + 1);
    if (cb <= sizeof(small)) {
        EXPECT_FALSE(DriverFilePath(small, &cb, TEXT("abcde")));
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
    const WString three = zeptest::DriverDirectory() + TEXT("\\3\\");
    EXPECT_EQ(WString(ini), three + TEXT("zep.ini"));
    EXPECT_EQ(WString(CapabilityFilePath()), three + TEXT("zep.cap"));
    WCHAR value[kCompanionNameChars];
    GetModelString(h, TEXT("CryptoDll"), value, kCompanionNameChars);
    EXPECT_EQ(WString(value), TEXT("zepcrypt.dll"));
    EXPECT_EQ(GetModelInt(h, TEXT("Compression")), 2304);
    EXPECT_EQ(GetModelInt(h, TEXT("PSOutputOpt"), -1), -1);
    WCHAR ver[MAX_PATH + 1] = {};
    EXPECT_TRUE(FindVersionFile(h, ver));
    EXPECT_EQ(WString(ver), three + TEXT("zep.ver"));
    // A bad handle: no files, and the capability path is emptied.
    EXPECT_FALSE(FindDriverFiles(nullptr, ini));
    EXPECT_EQ(CapabilityFilePath()[0], 0);
    ClosePrinter(h);
}

} // namespace
