// The lstr* string functions and CharUpperW/CharLowerW of the Win32 subset.
#include <string>

#include "win32/kernel.h"

namespace {

// Letters whose case partner is a fixed distance away. step 2 means only every other code in the range is
// lower case (the Latin Extended-A pairs).
struct CaseRange {
    char16_t lowerFirst;
    char16_t lowerLast;
    char16_t delta; // upper = lower - delta
    char16_t step;
};

constexpr CaseRange kCaseRanges[] = {
    {0x0061, 0x007A, 0x20, 1},  // a-z
    {0x00E0, 0x00F6, 0x20, 1},  // Latin-1 a-grave .. o-diaeresis
    {0x00F8, 0x00FE, 0x20, 1},  // o-slash .. thorn
    {0x0101, 0x012F, 1, 2},     // Latin Extended-A, upper case on even codes
    {0x0133, 0x0137, 1, 2},
    {0x013A, 0x0148, 1, 2},     // upper case on odd codes
    {0x014B, 0x0177, 1, 2},
    {0x017A, 0x017E, 1, 2},
    {0x03B1, 0x03C1, 0x20, 1},  // Greek
    {0x03C3, 0x03CB, 0x20, 1},
    {0x0430, 0x044F, 0x20, 1},  // Cyrillic
    {0x0450, 0x045F, 0x50, 1},
    {0xFF41, 0xFF5A, 0x20, 1},  // full-width Latin
};

// Single letters outside the regular ranges: {lower, upper}.
constexpr char16_t kCasePairs[][2] = {
    {0x00FF, 0x0178}, // y-diaeresis
    {0x03C2, 0x03A3}, // final sigma upper-cases to sigma (and is never produced by lower-casing)
};

char16_t ToUpper(char16_t c)
{
    for (const CaseRange &r : kCaseRanges)
        if (c >= r.lowerFirst && c <= r.lowerLast && (c - r.lowerFirst) % r.step == 0)
            return static_cast<char16_t>(c - r.delta);
    for (const auto &p : kCasePairs)
        if (c == p[0]) return p[1];
    return c;
}

char16_t ToLower(char16_t c)
{
    for (const CaseRange &r : kCaseRanges) {
        char16_t first = static_cast<char16_t>(r.lowerFirst - r.delta);
        char16_t last = static_cast<char16_t>(r.lowerLast - r.delta);
        if (c >= first && c <= last && (c - first) % r.step == 0) return static_cast<char16_t>(c + r.delta);
    }
    if (c == 0x0178) return 0x00FF;
    return c;
}

// Primary sort weight in the spirit of the Windows word sort: symbols before digits before letters, letters
// without regard to case. Hyphen and apostrophe weigh nothing at this level.
unsigned PrimaryWeight(char16_t c)
{
    char16_t u = ToUpper(c);
    if (u < 0x80) {
        if (u >= '0' && u <= '9') return 0x10000 + u;
        if (u >= 'A' && u <= 'Z') return 0x20000 + u;
        return u;
    }
    return 0x30000 + u;
}

bool IgnoredInWordSort(char16_t c) { return c == u'-' || c == u'\''; }

int Sign(long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// A linguistic-style comparison: letters, digits and symbols by weight first, then (unless ignoring case)
// lower case before upper case, then the hyphens and apostrophes the first pass skipped.
int LinguisticCompare(const char16_t *a, const char16_t *b, bool ignoreCase)
{
    const char16_t *p = a, *q = b;
    for (;;) {
        while (*p && IgnoredInWordSort(*p)) ++p;
        while (*q && IgnoredInWordSort(*q)) ++q;
        if (!*p || !*q) break;
        unsigned wp = PrimaryWeight(*p), wq = PrimaryWeight(*q);
        if (wp != wq) return wp < wq ? -1 : 1;
        ++p;
        ++q;
    }
    if (*p || *q) return *p ? 1 : -1;
    if (!ignoreCase) {
        for (p = a, q = b; *p && *q; ++p, ++q) {
            while (*p && IgnoredInWordSort(*p)) ++p;
            while (*q && IgnoredInWordSort(*q)) ++q;
            if (!*p || !*q) break;
            if (*p != *q) {
                bool lowerP = ToUpper(*p) != *p;
                bool lowerQ = ToUpper(*q) != *q;
                if (lowerP != lowerQ) return lowerP ? -1 : 1;
            }
        }
    }
    // Equal apart from hyphens and apostrophes: the string with fewer of them first, then code order.
    size_t la = std::char_traits<char16_t>::length(a), lb = std::char_traits<char16_t>::length(b);
    if (la != lb) return la < lb ? -1 : 1;
    for (p = a, q = b; *p; ++p, ++q) {
        char16_t x = ignoreCase ? ToUpper(*p) : *p, y = ignoreCase ? ToUpper(*q) : *q;
        if (x != y) return Sign(static_cast<long>(x) - static_cast<long>(y));
    }
    return 0;
}

int CompareNullable(const char16_t *a, const char16_t *b, bool ignoreCase)
{
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    return LinguisticCompare(a, b, ignoreCase);
}

std::u16string WideFromAnsi(LPCSTR s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::u16string out(n > 0 ? n : 1, u'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, -1, out.data(), n);
    return out;
}

int CompareAnsi(LPCSTR a, LPCSTR b, bool ignoreCase)
{
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    std::u16string wa = WideFromAnsi(a), wb = WideFromAnsi(b);
    return LinguisticCompare(wa.c_str(), wb.c_str(), ignoreCase);
}

template <typename C>
int Length(const C *s)
{
    return s ? static_cast<int>(std::char_traits<C>::length(s)) : 0;
}

template <typename C>
C *Copy(C *dst, const C *src)
{
    if (!dst || !src) return nullptr;
    C *d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

template <typename C>
C *CopyN(C *dst, const C *src, int count)
{
    if (!dst || !src) return nullptr;
    C *d = dst;
    for (; count > 1 && *src; --count) *d++ = *src++;
    if (count > 0) *d = 0;
    return dst;
}

template <typename C>
C *Append(C *dst, const C *src)
{
    if (!dst || !src) return nullptr;
    Copy(dst + std::char_traits<C>::length(dst), src);
    return dst;
}

// CharUpperW/CharLowerW: a pointer whose high word is zero carries one character in its low word.
LPWSTR MapCase(LPWSTR s, char16_t (*map)(char16_t))
{
    ULONG_PTR v = reinterpret_cast<ULONG_PTR>(s);
    if ((v >> 16) == 0) return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(map(static_cast<char16_t>(v))));
    for (LPWSTR p = s; *p; ++p) *p = map(*p);
    return s;
}

} // namespace

extern "C" {

// A NULL string has length 0.
int WINAPI lstrlenW(LPCWSTR s) { return Length(s); }
// A NULL string has length 0; the length is in bytes.
int WINAPI lstrlenA(LPCSTR s) { return Length(s); }

// Copies with the terminator and returns dst; a NULL argument returns NULL (Windows catches the fault).
LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src) { return Copy(dst, src); }
// Copies with the terminator and returns dst; a NULL argument returns NULL (Windows catches the fault).
LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src) { return Copy(dst, src); }

// Copies at most count-1 characters and always terminates when count > 0; count 0 writes nothing.
LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int count) { return CopyN(dst, src, count); }
// Copies at most count-1 bytes and always terminates when count > 0; count 0 writes nothing.
LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int count) { return CopyN(dst, src, count); }

// Appends src and returns dst; a NULL argument returns NULL.
LPWSTR WINAPI lstrcatW(LPWSTR dst, LPCWSTR src) { return Append(dst, src); }
// Appends src and returns dst; a NULL argument returns NULL.
LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src) { return Append(dst, src); }

// Word-sort comparison returning -1/0/1: "a" < "B", lower case before upper case, NULL before any string.
int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) { return CompareNullable(a, b, false); }
// As lstrcmpW after conversion from the ANSI code page.
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return CompareAnsi(a, b, false); }
// Word-sort comparison without regard to case, returning -1/0/1; NULL before any string.
int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b) { return CompareNullable(a, b, true); }
// As lstrcmpiW after conversion from the ANSI code page.
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) { return CompareAnsi(a, b, true); }

// Upper-cases in place and returns s; a pointer below 0x10000 is one character, returned converted.
LPWSTR WINAPI CharUpperW(LPWSTR s) { return MapCase(s, ToUpper); }
// Lower-cases in place and returns s; a pointer below 0x10000 is one character, returned converted.
LPWSTR WINAPI CharLowerW(LPWSTR s) { return MapCase(s, ToLower); }
}
