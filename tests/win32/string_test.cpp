// Win32 behaviour of the lstr* functions and CharUpperW/CharLowerW.
#include "common/win32.h"

#include <gtest/gtest.h>

#include "win32_test.h"

namespace {

using namespace zep::test;

TEST(StringLength, NullEmptyAndText)
{
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrlenW(TEXT("")), 0);
    EXPECT_EQ(lstrlenW(TEXT("abc")), 3);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenA("\x82\xA0x"), 3); // bytes, not characters
}

struct CopyNCase {
    const char *name;
    const WCHAR *src;
    int count;
    const WCHAR *expected; // nullptr: nothing written
};

TEST(StringCopyN, TruncatesAndTerminates)
{
    const CopyNCase cases[] = {
        {"room to spare", TEXT("abc"), 10, TEXT("abc")},
        {"exact fit", TEXT("abc"), 4, TEXT("abc")},
        {"one short", TEXT("abc"), 3, TEXT("ab")},
        {"only the terminator", TEXT("abc"), 1, TEXT("")},
        {"count zero writes nothing", TEXT("abc"), 0, nullptr},
    };
    for (const CopyNCase &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR buf[16];
        FillJunk(buf);
        EXPECT_EQ(lstrcpynW(buf, c.src, c.count), buf);
        if (!c.expected) {
            EXPECT_TRUE(IsJunk(buf, 16));
            continue;
        }
        EXPECT_EQ(WString(buf), WString(c.expected));
        size_t used = WString(c.expected).size() + 1;
        EXPECT_TRUE(IsJunk(buf + used, 16 - used)) << "wrote past the terminator";
    }
    char a[8];
    FillJunk(a);
    EXPECT_EQ(lstrcpynA(a, "abcdef", 4), a);
    EXPECT_STREQ(a, "abc");
    EXPECT_TRUE(IsJunk(a + 4, 4));
}

TEST(StringCopy, CopyAppendAndNullArguments)
{
    WCHAR buf[16];
    EXPECT_EQ(lstrcpyW(buf, TEXT("ab")), buf);
    EXPECT_EQ(lstrcatW(buf, TEXT("cd")), buf);
    EXPECT_EQ(WString(buf), WString(TEXT("abcd")));
    char a[16];
    lstrcpyA(a, "ab");
    lstrcatA(a, "cd");
    EXPECT_STREQ(a, "abcd");
    // Windows catches the fault of a NULL argument and returns NULL.
    EXPECT_EQ(lstrcpyW(nullptr, TEXT("x")), nullptr);
    EXPECT_EQ(lstrcatW(buf, nullptr), nullptr);
    EXPECT_EQ(WString(buf), WString(TEXT("abcd")));
}

struct CompareCase {
    const char *name;
    const WCHAR *a;
    const WCHAR *b;
    int cmp;  // lstrcmpW
    int cmpi; // lstrcmpiW
};

TEST(StringCompare, WordSortOrder)
{
    const CompareCase cases[] = {
        {"equal", TEXT("abc"), TEXT("abc"), 0, 0},
        {"letters before case", TEXT("a"), TEXT("B"), -1, -1},
        {"letters before case, reversed", TEXT("B"), TEXT("a"), 1, 1},
        {"lower case first", TEXT("a"), TEXT("A"), -1, 0},
        {"upper case later", TEXT("ABC"), TEXT("abc"), 1, 0},
        {"prefix first", TEXT("abc"), TEXT("abcd"), -1, -1},
        {"empty first", TEXT(""), TEXT("a"), -1, -1},
        {"digits before letters", TEXT("9"), TEXT("a"), -1, -1},
        {"symbols before digits", TEXT("_"), TEXT("1"), -1, -1},
        {"accented letter by its base", TEXT("\u00e9"), TEXT("f"), -1, -1},
        {"both NULL", nullptr, nullptr, 0, 0},
        {"NULL first", nullptr, TEXT(""), -1, -1},
        {"NULL second", TEXT(""), nullptr, 1, 1},
    };
    for (const CompareCase &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.a && c.b && c.a[0] == 0xE9) {
            // Our weights order non-ASCII letters after all ASCII ones; Windows sorts them by their base letter.
            EXPECT_AS_WINDOWS(kLayer, lstrcmpW(c.a, c.b) == c.cmp);
            continue;
        }
        EXPECT_EQ(lstrcmpW(c.a, c.b), c.cmp);
        EXPECT_EQ(lstrcmpiW(c.a, c.b), c.cmpi);
    }
    EXPECT_EQ(lstrcmpA("a", "B"), -1);
    EXPECT_EQ(lstrcmpA("a", "A"), -1);
    EXPECT_EQ(lstrcmpiA("abc", "ABC"), 0);
    EXPECT_EQ(lstrcmpiA("abd", "ABC"), 1);
}

struct CaseMapCase {
    const char *name;
    const WCHAR *in;
    const WCHAR *upper;
    const WCHAR *lower;
};

TEST(StringCase, UpperAndLowerInPlace)
{
    const CaseMapCase cases[] = {
        {"ASCII", TEXT("aBc1-z"), TEXT("ABC1-Z"), TEXT("abc1-z")},
        {"Latin-1", TEXT("\u00e9\u00c0\u00f7\u00d7"), TEXT("\u00c9\u00c0\u00f7\u00d7"), TEXT("\u00e9\u00e0\u00f7\u00d7")},
        {"y diaeresis", TEXT("\u00ff"), TEXT("\u0178"), TEXT("\u00ff")},
        {"sharp s has no single upper case", TEXT("\u00df"), TEXT("\u00df"), TEXT("\u00df")},
        {"Latin Extended-A", TEXT("\u0101\u013a\u017e"), TEXT("\u0100\u0139\u017d"), TEXT("\u0101\u013a\u017e")},
        {"Greek and Cyrillic", TEXT("\u03b1\u0436\u0451"), TEXT("\u0391\u0416\u0401"), TEXT("\u03b1\u0436\u0451")},
        {"full-width", TEXT("\uff41\uff3a"), TEXT("\uff21\uff3a"), TEXT("\uff41\uff5a")},
    };
    for (const CaseMapCase &c : cases) {
        SCOPED_TRACE(c.name);
        WString up = c.in, low = c.in;
        EXPECT_EQ(CharUpperW(up.data()), up.data());
        EXPECT_EQ(up, WString(c.upper));
        EXPECT_EQ(CharLowerW(low.data()), low.data());
        EXPECT_EQ(low, WString(c.lower));
    }
}

TEST(StringCase, SingleCharacterInPointer)
{
    // A "pointer" whose high word is zero carries one character and gets one back.
    auto upper = reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>('q'))));
    auto lower = reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(0xC9))));
    EXPECT_EQ(upper, static_cast<ULONG_PTR>('Q'));
    EXPECT_EQ(lower, static_cast<ULONG_PTR>(0xE9));
}

} // namespace
