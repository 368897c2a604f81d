// Win32 behaviour of the private-profile functions: parsing, defaults, truncation, integers, writes, encodings.
#include "common/win32.h"

#include <gtest/gtest.h>

#include <string>

#include "win32_test.h"

namespace {

using namespace zep::test;

const char kSample[] =
    "; settings written by hand\r\n"
    "[General]\r\n"
    "  Name =  Value With Spaces   \r\n"
    "Quoted=\"  padded  \"\r\n"
    "Single='x'\r\n"
    "Half=\"open\r\n"
    "Empty=\r\n"
    ";Commented=1\r\n"
    "Latin=caf\xE9\r\n"
    "\r\n"
    "[Numbers]\n"
    "plain=42\n"
    "negative=-1\n"
    "plus=+7\n"
    "trailing=12abc\n"
    "letters=abc\n"
    "hex=0x10\n"
    "wraps=4294967297\n"
    "quoted=\" 5\"\n"
    "blank=\n"
    "[Keys]\r\n"
    "alpha=1\r\n"
    "beta=2\r\n";

class Profile : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        ini_ = Path(TEXT("sample.ini"));
        ASSERT_TRUE(WriteWholeFile(ini_, kSample));
    }
    WString Read(LPCWSTR section, LPCWSTR key, LPCWSTR def, const WString &file)
    {
        WCHAR buf[256];
        FillJunk(buf);
        DWORD n = GetPrivateProfileStringW(section, key, def, buf, 256, file.c_str());
        EXPECT_EQ(n, static_cast<DWORD>(lstrlenW(buf)));
        return buf;
    }
    WString ini_;
};

struct ReadCase {
    const char *name;
    const WCHAR *section;
    const WCHAR *key;
    const WCHAR *def;
    const WCHAR *expected;
    unsigned differsOn = 0;  // platforms known to differ from Windows on this row
};

TEST_F(Profile, ReadsValuesAsWindowsDoes)
{
    const ReadCase cases[] = {
        {"blanks around key and value trimmed", TEXT("General"), TEXT("Name"), nullptr, TEXT("Value With Spaces")},
        {"section and key ignore case", TEXT("gENERAL"), TEXT("NAME"), nullptr, TEXT("Value With Spaces")},
        {"double quotes removed, inside kept", TEXT("General"), TEXT("Quoted"), nullptr, TEXT("  padded  ")},
        {"single quotes removed", TEXT("General"), TEXT("Single"), nullptr, TEXT("x")},
        {"unmatched quote kept", TEXT("General"), TEXT("Half"), nullptr, TEXT("\"open")},
        {"empty value is not the default", TEXT("General"), TEXT("Empty"), TEXT("def"), TEXT("")},
        {"comment line is no key", TEXT("General"), TEXT(";Commented"), TEXT("def"), TEXT("def"),
         kWine},  // Wine reads a ';' line as a key
        {"ANSI code page text", TEXT("General"), TEXT("Latin"), nullptr, TEXT("caf\u00e9")},
        {"LF line ends", TEXT("Numbers"), TEXT("plain"), nullptr, TEXT("42")},
        {"missing key gives default", TEXT("General"), TEXT("Nope"), TEXT("fallback"), TEXT("fallback")},
        {"missing section gives default", TEXT("Nope"), TEXT("Name"), TEXT("fallback"), TEXT("fallback")},
        {"default loses trailing blanks only", TEXT("Nope"), TEXT("x"), TEXT("  lead  "), TEXT("  lead")},
        {"NULL default is empty", TEXT("Nope"), TEXT("x"), nullptr, TEXT("")},
        {"missing section with NULL key gives default", TEXT("Nope"), nullptr, TEXT("dflt"), TEXT("dflt")},
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        if (c.differsOn & CurrentPlatform())
            EXPECT_AS_WINDOWS(c.differsOn, Read(c.section, c.key, c.def, ini_) == WString(c.expected));
        else
            EXPECT_EQ(Read(c.section, c.key, c.def, ini_), WString(c.expected));
    }
}

TEST_F(Profile, MissingFileGivesDefaults)
{
    WString missing = Path(TEXT("absent.ini"));
    EXPECT_EQ(Read(TEXT("General"), TEXT("Name"), TEXT("dflt "), missing), WString(TEXT("dflt")));
    EXPECT_EQ(GetPrivateProfileIntW(TEXT("General"), TEXT("Name"), 17, missing.c_str()), 17u);
    WCHAR names[8];
    FillJunk(names);
    EXPECT_EQ(GetPrivateProfileSectionNamesW(names, 8, missing.c_str()), 0u);
    EXPECT_EQ(names[0], 0);
}

TEST_F(Profile, ValueTruncatedToBuffer)
{
    // "Value With Spaces" has 17 characters.
    const struct {
        DWORD size;
        DWORD result;
        const WCHAR *expected;
    } cases[] = {{18, 17, TEXT("Value With Spaces")}, {17, 16, TEXT("Value With Space")}, {2, 1, TEXT("V")},
                 {1, 0, TEXT("")}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        WCHAR buf[32];
        FillJunk(buf);
        EXPECT_EQ(GetPrivateProfileStringW(TEXT("General"), TEXT("Name"), nullptr, buf, c.size, ini_.c_str()),
                  c.result);
        EXPECT_EQ(WString(buf), WString(c.expected));
        EXPECT_TRUE(IsJunk(buf + c.size, 32 - c.size)) << "wrote past the buffer";
    }
}

TEST_F(Profile, ListsKeysAndSections)
{
    WCHAR buf[64];
    FillJunk(buf);
    EXPECT_EQ(GetPrivateProfileStringW(TEXT("keys"), nullptr, nullptr, buf, 64, ini_.c_str()), 11u);
    EXPECT_EQ(WString(buf, 12), WString(TEXT("alpha\0beta\0"), 11) + WCHAR(0));

    const WString allSections(TEXT("General\0Numbers\0Keys\0"), 21);
    FillJunk(buf);
    EXPECT_EQ(GetPrivateProfileSectionNamesW(buf, 64, ini_.c_str()), 21u);
    EXPECT_EQ(WString(buf, 22), allSections + WCHAR(0));
    FillJunk(buf);
    EXPECT_EQ(GetPrivateProfileStringW(nullptr, TEXT("ignored"), nullptr, buf, 64, ini_.c_str()), 21u);
    EXPECT_EQ(WString(buf, 22), allSections + WCHAR(0));
}

TEST_F(Profile, ListTruncationEndsInTwoNuls)
{
    const struct {
        const char *name;
        DWORD size;
        WString expected;
    } cases[] = {
        {"last name cut", 10, WString(TEXT("General\0\0\0"), 10)},
        {"cut inside second", 12, WString(TEXT("General\0Nu\0\0"), 12)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR buf[32];
        FillJunk(buf);
        EXPECT_EQ(GetPrivateProfileSectionNamesW(buf, c.size, ini_.c_str()), c.size - 2);
        EXPECT_EQ(WString(buf, c.size), c.expected);
        EXPECT_TRUE(IsJunk(buf + c.size, 32 - c.size));
    }
    WCHAR keys[6];
    FillJunk(keys);
    EXPECT_EQ(GetPrivateProfileStringW(TEXT("Keys"), nullptr, nullptr, keys, 6, ini_.c_str()), 4u);
    EXPECT_EQ(WString(keys, 6), WString(TEXT("alph\0\0"), 6));
}

TEST_F(Profile, IntegersParsedAsWindowsDoes)
{
    const struct {
        const WCHAR *key;
        INT def;
        UINT expected;
        unsigned differsOn = 0;
    } cases[] = {
        {TEXT("plain"), 9, 42},       {TEXT("negative"), 9, 0xFFFFFFFFu}, {TEXT("plus"), 9, 7},
        {TEXT("trailing"), 9, 12},    {TEXT("letters"), 9, 0},            {TEXT("hex"), 9, 0, kWine},  // Wine reads "0x" numbers as hexadecimal
        
        {TEXT("wraps"), 9, 1},        {TEXT("quoted"), 9, 5},             {TEXT("blank"), 9, 9},
        {TEXT("missing"), -3, static_cast<UINT>(-3)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Narrow(c.key));
        UINT got = GetPrivateProfileIntW(TEXT("Numbers"), c.key, c.def, ini_.c_str());
        if (c.differsOn & CurrentPlatform())
            EXPECT_AS_WINDOWS(c.differsOn, got == c.expected);
        else
            EXPECT_EQ(got, c.expected);
    }
    std::string narrow = Narrow(ini_);
    EXPECT_EQ(GetPrivateProfileIntA("numbers", "PLAIN", 0, narrow.c_str()), 42u);
}

TEST_F(Profile, AnsiEntryPointsCountBytes)
{
    std::string file = Narrow(ini_);
    char buf[16];
    FillJunk(buf);
    EXPECT_EQ(GetPrivateProfileStringA("General", "Latin", "", buf, 16, file.c_str()), 4u);
    EXPECT_STREQ(buf, "caf\xE9");
    FillJunk(buf);
    EXPECT_EQ(GetPrivateProfileStringA("General", "Latin", "", buf, 4, file.c_str()), 3u);
    EXPECT_STREQ(buf, "caf");
    EXPECT_TRUE(WritePrivateProfileStringA("New", "k\xE9y", "v\xE9", file.c_str()));
    // Keys match without regard to case beyond ASCII; Wine folds ASCII only.
    EXPECT_AS_WINDOWS(kWine, Read(TEXT("new"), TEXT("K\u00c9Y"), nullptr, ini_) == WString(TEXT("v\u00e9")));
}

TEST_F(Profile, WritesUpdateDeleteAndKeepTheRest)
{
    const WCHAR *f = ini_.c_str();
    PresetLastError();
    EXPECT_TRUE(WritePrivateProfileStringW(TEXT("general"), TEXT("NAME"), TEXT("changed"), f));
    EXPECT_TRUE(WritePrivateProfileStringW(TEXT("General"), TEXT("Added"), TEXT("new"), f));
    EXPECT_TRUE(WritePrivateProfileStringW(TEXT("Brand New"), TEXT("k"), TEXT("v"), f));
    EXPECT_TRUE(WritePrivateProfileStringW(TEXT("Keys"), TEXT("alpha"), nullptr, f));
    EXPECT_TRUE(WritePrivateProfileStringW(TEXT("Numbers"), nullptr, nullptr, f));
    EXPECT_TRUE(WritePrivateProfileStringW(TEXT("Nope"), TEXT("gone"), nullptr, f)); // nothing to delete
    // Wine clears the last error on success.
    EXPECT_AS_WINDOWS(kWine, GetLastError() == kErrorMarker);

    EXPECT_EQ(Read(TEXT("General"), TEXT("Name"), nullptr, ini_), WString(TEXT("changed")));
    EXPECT_EQ(Read(TEXT("General"), TEXT("Added"), nullptr, ini_), WString(TEXT("new")));
    EXPECT_EQ(Read(TEXT("General"), TEXT("Latin"), nullptr, ini_), WString(TEXT("caf\u00e9")));
    EXPECT_EQ(Read(TEXT("Brand New"), TEXT("k"), nullptr, ini_), WString(TEXT("v")));
    EXPECT_EQ(Read(TEXT("Keys"), TEXT("alpha"), TEXT("deleted"), ini_), WString(TEXT("deleted")));
    EXPECT_EQ(Read(TEXT("Keys"), TEXT("beta"), nullptr, ini_), WString(TEXT("2")));
    EXPECT_EQ(GetPrivateProfileIntW(TEXT("Numbers"), TEXT("plain"), -5, f), static_cast<UINT>(-5));

    std::string bytes = ReadWholeFile(ini_);
    EXPECT_EQ(bytes.rfind("; settings written by hand\r\n", 0), 0u) << "the comment must survive";
    EXPECT_NE(bytes.find("Added=new"), std::string::npos);
}

TEST_F(Profile, NewFileIsAnsiAndLeavesNoTemporaries)
{
    WString fresh = Path(TEXT("fresh.ini"));
    ASSERT_TRUE(WritePrivateProfileStringW(TEXT("S"), TEXT("k"), TEXT("caf\u00e9"), fresh.c_str()));
    EXPECT_EQ(ReadWholeFile(fresh), "[S]\r\nk=caf\xE9\r\n");
    ASSERT_TRUE(WritePrivateProfileStringW(TEXT("S"), TEXT("k2"), TEXT("2"), fresh.c_str()));
    EXPECT_EQ(ReadWholeFile(fresh), "[S]\r\nk=caf\xE9\r\nk2=2\r\n");

    int files = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Folder() + TEXT("\\*")).c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        WString name = data.cFileName;
        if (name != TEXT(".") && name != TEXT("..")) ++files;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(files, 2) << "sample.ini and fresh.ini only";
}

TEST_F(Profile, Utf16FileReadAndKeptOnWrite)
{
    WString utf16 = Path(TEXT("wide.ini"));
    const WString text = TEXT("[Wide]\r\nName=\u3042\u3044\r\n");
    std::string bytes = "\xFF\xFE";
    for (WCHAR c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    ASSERT_TRUE(WriteWholeFile(utf16, bytes));
    EXPECT_EQ(Read(TEXT("wide"), TEXT("name"), nullptr, utf16), WString(TEXT("\u3042\u3044")));
    ASSERT_TRUE(WritePrivateProfileStringW(TEXT("Wide"), TEXT("More"), TEXT("\u30c6"), utf16.c_str()));
    std::string after = ReadWholeFile(utf16);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Read(TEXT("Wide"), TEXT("More"), nullptr, utf16), WString(TEXT("\u30c6")));
    EXPECT_EQ(Read(TEXT("Wide"), TEXT("Name"), nullptr, utf16), WString(TEXT("\u3042\u3044")));
}

TEST_F(Profile, Utf8BomFileRead)
{
    WString utf8 = Path(TEXT("utf8.ini"));
    ASSERT_TRUE(WriteWholeFile(utf8, "\xEF\xBB\xBF[U]\r\nName=caf\xC3\xA9\r\n"));
    EXPECT_EQ(Read(TEXT("U"), TEXT("Name"), nullptr, utf8), WString(TEXT("caf\u00e9")));
}

TEST_F(Profile, WriteFailures)
{
    WString nowhere = Path(TEXT("no-such-folder\\x.ini"));
    PresetLastError();
    EXPECT_FALSE(WritePrivateProfileStringW(TEXT("S"), TEXT("k"), TEXT("v"), nowhere.c_str()));
    EXPECT_NE(GetLastError(), kErrorMarker);
    EXPECT_EQ(GetFileAttributesW(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
    // A section is required; (NULL, NULL, NULL) only flushes and reports FALSE.
    EXPECT_FALSE(WritePrivateProfileStringW(nullptr, TEXT("k"), TEXT("v"), ini_.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini_.c_str()));
}

TEST_F(Profile, BareFileNameLivesInWindowsDirectory)
{
    const WCHAR *name = TEXT("zep-profile-test.ini");
    ASSERT_TRUE(WritePrivateProfileStringW(TEXT("S"), TEXT("k"), TEXT("v"), name));
    WString full = WString(TEXT("C:\\WINDOWS\\")) + name;
    EXPECT_NE(GetFileAttributesW(full.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetPrivateProfileIntW(TEXT("S"), TEXT("k"), 3, name), 0u); // present, but not a number
    DeleteFileW(full.c_str());
}

} // namespace
