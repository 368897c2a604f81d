// Win32 behaviour of code pages, conversions, locale ids and the reported version.
#include "common/win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "win32_test.h"

#ifndef _WIN32
#include "zep_platform.h"
#endif

namespace {

using namespace zep::test;

struct CpInfoCase {
    const char *name;
    UINT codePage;
    UINT maxCharSize;
    BYTE leadBytes[MAX_LEADBYTES];
};

TEST(CodePage, CpInfoAndLeadBytes)
{
    const CpInfoCase cases[] = {
        {"Western", 1252, 1, {}},
        {"Japanese", 932, 2, {0x81, 0x9F, 0xE0, 0xFC}},
        {"UTF-8", CP_UTF8, 4, {}},
    };
    for (const CpInfoCase &c : cases) {
        SCOPED_TRACE(c.name);
        CPINFO info;
        FillJunk(&info, sizeof info);
        PresetLastError();
        ASSERT_TRUE(GetCPInfo(c.codePage, &info));
        EXPECT_EQ(GetLastError(), kErrorMarker);
        EXPECT_EQ(info.MaxCharSize, c.maxCharSize);
        EXPECT_EQ(info.DefaultChar[0], '?');
        EXPECT_EQ(info.DefaultChar[1], 0);
        for (int i = 0; i < MAX_LEADBYTES; ++i) EXPECT_EQ(info.LeadByte[i], c.leadBytes[i]) << "lead byte " << i;
    }
    CPINFO info;
    PresetLastError();
    EXPECT_FALSE(GetCPInfo(12345, &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePage, LeadByteClassesOf932)
{
    const struct {
        BYTE byte;
        BOOL lead;
    } cases[] = {{0x40, FALSE}, {0x80, FALSE}, {0x81, TRUE}, {0x9F, TRUE}, {0xA0, FALSE},
                 {0xDF, FALSE}, {0xE0, TRUE},  {0xFC, TRUE}, {0xFD, FALSE}};
    for (const auto &c : cases) {
        EXPECT_EQ(!!IsDBCSLeadByteEx(932, c.byte), !!c.lead) << std::hex << int(c.byte);
        EXPECT_FALSE(IsDBCSLeadByteEx(1252, c.byte));
    }
    PresetLastError();
    EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0x81));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

struct ToWideCase {
    const char *name;
    UINT codePage;
    std::string bytes;
    WString expected;
};

TEST(CodePage, MultiByteToWideCharMappings)
{
    const ToWideCase cases[] = {
        {"1252 euro", 1252, "\x80", TEXT("\u20ac")},
        {"1252 Latin-1 letter", 1252, "\xE9", TEXT("\u00e9")},
        {"1252 undefined bytes map to the same code point", 1252, "\x81\x8D\x8F\x90\x9D",
         TEXT("\u0081\u008d\u008f\u0090\u009d")},
        {"932 double byte", 932, "\x82\xA0", TEXT("\u3042")},
        {"932 half-width katakana", 932, "\xB1", TEXT("\uff71")},
        {"932 backslash stays", 932, "\\", TEXT("\\")},
        {"UTF-8 three bytes", CP_UTF8, "\xE3\x81\x82", TEXT("\u3042")},
        {"UTF-8 surrogate pair", CP_UTF8, "\xF0\x9F\x98\x80", TEXT("\xd83d\xde00")},
        {"UTF-8 invalid byte", CP_UTF8, "a\xFF" "b", TEXT("a\ufffd" "b")},
    };
    for (const ToWideCase &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR buf[16];
        FillJunk(buf);
        PresetLastError();
        int n = MultiByteToWideChar(c.codePage, 0, c.bytes.data(), static_cast<int>(c.bytes.size()), buf, 16);
        ASSERT_EQ(n, static_cast<int>(c.expected.size()));
        EXPECT_EQ(WString(buf, n), c.expected);
        EXPECT_TRUE(IsJunk(buf + n, 16 - n)) << "an explicit length writes no terminator";
        EXPECT_EQ(GetLastError(), kErrorMarker);
    }
}

TEST(CodePage, Western1252RoundTripsEveryByte)
{
    char bytes[255];
    for (int i = 0; i < 255; ++i) bytes[i] = static_cast<char>(i + 1);
    WCHAR wide[255];
    ASSERT_EQ(MultiByteToWideChar(1252, 0, bytes, 255, wide, 255), 255);
    char back[255];
    BOOL usedDefault = TRUE;
    ASSERT_EQ(WideCharToMultiByte(1252, 0, wide, 255, back, 255, nullptr, &usedDefault), 255);
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(std::string(back, 255), std::string(bytes, 255));
}

TEST(CodePage, LengthsAndBufferContract)
{
    WCHAR buf[8];
    // -1 converts the terminator too; a zero size asks for the size.
    PresetLastError();
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
    FillJunk(buf);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, buf, 8), 4);
    EXPECT_EQ(WString(buf), WString(TEXT("abc")));
    EXPECT_EQ(GetLastError(), kErrorMarker);

    PresetLastError();
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, buf, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    char out[8];
    PresetLastError();
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("abc"), -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("abc"), -1, out, 4, nullptr, nullptr), 4);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(GetLastError(), kErrorMarker);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("abc"), -1, out, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePage, InvalidArguments)
{
    WCHAR w[8];
    char a[8];
    BOOL used;
    const struct {
        const char *name;
        std::function<int()> call;
        DWORD error;
        unsigned differsOn = 0;  // platforms known to differ from Windows on this row
    } cases[] = {
        {"NULL source", [&] { return MultiByteToWideChar(CP_ACP, 0, nullptr, 3, w, 8); }, ERROR_INVALID_PARAMETER},
        {"empty source", [&] { return MultiByteToWideChar(CP_ACP, 0, "abc", 0, w, 8); }, ERROR_INVALID_PARAMETER},
        {"negative size", [&] { return MultiByteToWideChar(CP_ACP, 0, "abc", 3, w, -1); }, ERROR_INVALID_PARAMETER},
        {"unknown code page", [&] { return MultiByteToWideChar(12345, 0, "abc", 3, w, 8); }, ERROR_INVALID_PARAMETER},
        {"strict UTF-8", [&] { return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3", 2, w, 8); },
         ERROR_NO_UNICODE_TRANSLATION},
        {"UTF-8 with usedDefault",
         [&] { return WideCharToMultiByte(CP_UTF8, 0, TEXT("a"), 1, a, 8, nullptr, &used); }, ERROR_INVALID_PARAMETER,
         kWine},  // Wine converts and ignores the flag pointer
        {"wide NULL source", [&] { return WideCharToMultiByte(CP_ACP, 0, nullptr, 1, a, 8, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        if (c.differsOn & CurrentPlatform()) {
            EXPECT_AS_WINDOWS(c.differsOn, c.call() == 0);
            continue;
        }
        EXPECT_EQ(c.call(), 0);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

struct ToBytesCase {
    const char *name;
    UINT codePage;
    WString text;
    const char *defaultChar;
    std::string expected;
    BOOL usedDefault;
};

TEST(CodePage, WideCharToMultiByteMappings)
{
    const ToBytesCase cases[] = {
        {"1252 euro", 1252, TEXT("\u20ac"), nullptr, "\x80", FALSE},
        {"1252 undefined code points come back", 1252, TEXT("\u0081\u009d"), nullptr, "\x81\x9d", FALSE},
        {"1252 lacks hiragana", 1252, TEXT("a\u3042"), nullptr, "a?", TRUE},
        {"caller's default character", 1252, TEXT("\u3042"), "*", "*", TRUE},
        {"932 double byte", 932, TEXT("\u3042x"), nullptr, "\x82\xA0x", FALSE},
        {"932 half-width katakana", 932, TEXT("\uff71"), nullptr, "\xB1", FALSE},
        {"932 lacks the euro", 932, TEXT("\u20ac"), nullptr, "?", TRUE},
    };
    for (const ToBytesCase &c : cases) {
        SCOPED_TRACE(c.name);
        char buf[16];
        FillJunk(buf);
        BOOL used = 2;
        int n = WideCharToMultiByte(c.codePage, 0, c.text.data(), static_cast<int>(c.text.size()), buf, 16,
                                    c.defaultChar, &used);
        ASSERT_EQ(n, static_cast<int>(c.expected.size()));
        EXPECT_EQ(std::string(buf, n), c.expected);
        EXPECT_EQ(used, c.usedDefault);
        EXPECT_TRUE(IsJunk(buf + n, 16 - n));
    }
    char buf[16];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, TEXT("\u3042"), 1, buf, 16, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(buf, 3), "\xE3\x81\x82");
    // A lone surrogate has no UTF-8 form: Windows writes U+FFFD.
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, TEXT("\xd800"), 1, buf, 16, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(buf, 3), "\xEF\xBF\xBD");
}

TEST(Locale, VersionAndIds)
{
    OSVERSIONINFOW info;
    FillJunk(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    // The systems the driver runs on are NT 6 or later: the layer reports Windows 10 until a test selects
    // another, Wine what its prefix is set to.
    EXPECT_GE(info.dwMajorVersion, 6u);
    EXPECT_LT(info.dwMinorVersion, 10u);
    DWORD packed = GetVersion();
    EXPECT_EQ(packed & 0xFF, info.dwMajorVersion);
    EXPECT_EQ((packed >> 8) & 0xFF, info.dwMinorVersion);
    EXPECT_EQ(packed >> 16, info.dwBuildNumber & 0x7FFF);

    info.dwOSVersionInfoSize = sizeof info - 1;
    PresetLastError();
    EXPECT_FALSE(GetVersionExW(&info));
    // Wine refuses the size without saying why.
    EXPECT_AS_WINDOWS(kWine, GetLastError() == static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    DWORD session = 0xdeadbeef;
    EXPECT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    EXPECT_NE(session, 0xdeadbeefu);
    EXPECT_NE(GetCurrentThreadId(), 0u);
    EXPECT_EQ(GetUserDefaultLangID(), LANGIDFROMLCID(GetUserDefaultLCID()));
}

TEST(Locale, ThreadLocaleIsPerThread)
{
    LCID original = GetThreadLocale();
    EXPECT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT)));
    EXPECT_EQ(GetThreadLocale(), 0x0411u);
    LCID other = 0;
    std::thread([&] { other = GetThreadLocale(); }).join();
    EXPECT_EQ(other, original);
    EXPECT_TRUE(SetThreadLocale(original));
    EXPECT_EQ(GetThreadLocale(), original);
}

#ifndef _WIN32
// The layer's own settings: a Japanese system and other reported versions.
TEST(LayerSettings, JapaneseSystemCodePage)
{
    ZepSetAnsiCodePage(932);
    EXPECT_EQ(GetACP(), 932u);
    EXPECT_EQ(GetOEMCP(), 932u);
    EXPECT_TRUE(IsDBCSLeadByte(0x82));
    WCHAR w[4];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x82\xA0", 2, w, 4), 1);
    EXPECT_EQ(w[0], 0x3042);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0411);
    LCID fresh = 0;
    std::thread([&] { fresh = GetThreadLocale(); }).join();
    EXPECT_EQ(fresh, 0x0411u) << "a thread that set no locale follows the user's";
    ZepSetAnsiCodePage(1252);
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_FALSE(IsDBCSLeadByte(0x82));
    EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
}

TEST(LayerSettings, VersionAndSession)
{
    ZepSetOsVersion(6, 1);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
    EXPECT_EQ(info.dwBuildNumber, 7601u);
    ZepSetOsVersion(10, 0);
    EXPECT_EQ(GetVersion(), 10u | (19045u << 16));
    ZepSetSessionId(3);
    DWORD session = 0;
    EXPECT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));
    EXPECT_EQ(session, 3u);
    ZepSetSessionId(1);
}
#endif

} // namespace
