// Win32 behaviour of wsprintfW/A: type letters, flags, width, precision and the 1024-character limit.
#include "common/win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "win32_test.h"

namespace {

using namespace zep::test;

struct WideCase {
    const char *name;
    std::function<int(LPWSTR)> format;
    const WCHAR *expected;
    unsigned differsOn = 0;  // platforms known to differ from Windows on this row
};

TEST(Wsprintf, WideFormats)
{
    const WideCase cases[] = {
        {"signed", [](LPWSTR b) { return wsprintfW(b, TEXT("%d|%i"), -42, 7); }, TEXT("-42|7")},
        {"width", [](LPWSTR b) { return wsprintfW(b, TEXT("[%5d]"), 42); }, TEXT("[   42]")},
        {"left justified", [](LPWSTR b) { return wsprintfW(b, TEXT("[%-5d]"), 42); }, TEXT("[42   ]")},
        {"zero fill after the sign", [](LPWSTR b) { return wsprintfW(b, TEXT("%05d"), -42); }, TEXT("-0042")},
        {"precision pads digits", [](LPWSTR b) { return wsprintfW(b, TEXT("%.3d"), 7); }, TEXT("007")},
        {"precision 0 still prints 0", [](LPWSTR b) { return wsprintfW(b, TEXT("%.0d"), 0); }, TEXT("0")},
        {"unsigned of negative", [](LPWSTR b) { return wsprintfW(b, TEXT("%u"), -1); }, TEXT("4294967295")},
        {"long forms", [](LPWSTR b) { return wsprintfW(b, TEXT("%ld %lu %lx"), (LONG)-5, (DWORD)5, (DWORD)0xAB); },
         TEXT("-5 5 ab")},
        {"hex cases", [](LPWSTR b) { return wsprintfW(b, TEXT("%x %X"), 0xBEEF, 0xBEEF); }, TEXT("beef BEEF")},
        {"hex prefix", [](LPWSTR b) { return wsprintfW(b, TEXT("%#x %#X"), 255, 255); }, TEXT("0xff 0XFF")},
        {"zero-filled long hex", [](LPWSTR b) { return wsprintfW(b, TEXT("%08lX"), (DWORD)0xBEEF); }, TEXT("0000BEEF")},
        {"short", [](LPWSTR b) { return wsprintfW(b, TEXT("%hd %hu"), 0x1FFFF, 0x1FFFF); }, TEXT("-1 65535"),
         kWine},  // Wine ignores h on integers
        {"wide string", [](LPWSTR b) { return wsprintfW(b, TEXT("%s"), TEXT("w\u00e9")); }, TEXT("w\u00e9")},
        {"narrow string by %S, ANSI code page", [](LPWSTR b) { return wsprintfW(b, TEXT("%S"), "n\xE9"); },
         TEXT("n\u00e9")},
        {"forced widths", [](LPWSTR b) { return wsprintfW(b, TEXT("%hs %ls"), "n", TEXT("w")); }, TEXT("n w")},
        {"NULL string", [](LPWSTR b) { return wsprintfW(b, TEXT("%s"), (LPCWSTR) nullptr); }, TEXT("(null)")},
        {"string precision", [](LPWSTR b) { return wsprintfW(b, TEXT("%.2s"), TEXT("abcdef")); }, TEXT("ab")},
        {"string width", [](LPWSTR b) { return wsprintfW(b, TEXT("[%4s|%-4s]"), TEXT("ab"), TEXT("cd")); },
         TEXT("[  ab|cd  ]")},
        {"characters", [](LPWSTR b) { return wsprintfW(b, TEXT("%c%C%hc%lc"), 'a', 'b', 'c', 'd'); }, TEXT("abcd")},
        {"percent and unknown letters", [](LPWSTR b) { return wsprintfW(b, TEXT("100%% %y")); }, TEXT("100% y")},
    };
    for (const WideCase &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR buf[64];
        FillJunk(buf);
        int n = c.format(buf);
        if (c.differsOn & CurrentPlatform()) {
            EXPECT_AS_WINDOWS(c.differsOn, WString(buf) == WString(c.expected));
            continue;
        }
        EXPECT_EQ(WString(buf), WString(c.expected)) << Narrow(buf);
        EXPECT_EQ(n, static_cast<int>(WString(c.expected).size()));
        EXPECT_TRUE(IsJunk(buf + n + 1, 64 - n - 1)) << "wrote past the terminator";
    }
}

TEST(Wsprintf, NarrowFormatsSwapSAndC)
{
    char buf[64];
    FillJunk(buf);
    EXPECT_EQ(wsprintfA(buf, "%s|%S|%ls|%hs", "a", TEXT("b\u00e9"), TEXT("c"), "d"), 8);
    EXPECT_STREQ(buf, "a|b\xE9|c|d");
    EXPECT_EQ(wsprintfA(buf, "%c%C", 'x', (WCHAR)0x20AC), 2); // the euro sign is 0x80 in code page 1252
    EXPECT_STREQ(buf, "x\x80");
    EXPECT_EQ(wsprintfA(buf, "%-4d|%04x|%s", 3, 0x1f, (LPCSTR) nullptr), 16);
    EXPECT_STREQ(buf, "3   |001f|(null)");
}

TEST(Wsprintf, PointerPrintsAllDigitsInUpperCase)
{
    WCHAR buf[64];
    wsprintfW(buf, TEXT("%p"), reinterpret_cast<void *>(0xAB12));
    WString expected = WString(2 * sizeof(void *) - 4, '0') + TEXT("AB12");
    EXPECT_EQ(WString(buf), expected);
}

TEST(Wsprintf, OutputStopsAt1023Characters)
{
    WString longText(2000, 'x');
    std::string longNarrow(2000, 'y');
    static WCHAR wide[1100];
    static char narrow[1100];
    FillJunk(wide);
    FillJunk(narrow);
    // Wine writes the same 1023 characters but counts 1024.
    EXPECT_AS_WINDOWS(kWine, wsprintfW(wide, TEXT("%s"), longText.c_str()) == 1023);
    EXPECT_EQ(wide[1022], 'x');
    EXPECT_EQ(wide[1023], 0);
    EXPECT_TRUE(IsJunk(wide + 1024, 1100 - 1024));
    EXPECT_AS_WINDOWS(kWine, wsprintfA(narrow, "ab%s", longNarrow.c_str()) == 1023);
    EXPECT_EQ(narrow[1023], 0);
    EXPECT_TRUE(IsJunk(narrow + 1024, 1100 - 1024));
}

} // namespace
