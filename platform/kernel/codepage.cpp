// Code pages: the system ANSI/OEM code pages, CPINFO, lead bytes and the MultiByte/WideChar conversions.
#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "kernel/unicode.h"
#include "win32/kernel.h"
#include "zep_platform.h"

namespace {

struct CodePageDesc {
    UINT codePage;
    const char *iconvName; // nullptr: converted here (UTF-8)
    UINT maxCharSize;
    BYTE leadRanges[4];    // pairs of first/last lead byte, zero-terminated
    UINT oemCodePage;      // the OEM code page of a system whose ANSI code page this is
};

constexpr CodePageDesc kCodePages[] = {
    {1252, "CP1252", 1, {}, 437},
    {1250, "CP1250", 1, {}, 852},
    {1251, "CP1251", 1, {}, 866},
    {1253, "CP1253", 1, {}, 737},
    {1254, "CP1254", 1, {}, 857},
    {1257, "CP1257", 1, {}, 775},
    {437, "CP437", 1, {}, 437},
    {850, "CP850", 1, {}, 850},
    {852, "CP852", 1, {}, 852},
    {866, "CP866", 1, {}, 866},
    {932, "CP932", 2, {0x81, 0x9F, 0xE0, 0xFC}, 932},
    {CP_UTF8, nullptr, 4, {}, 0},
};

// Windows' fallback for a double-byte sequence with no Unicode mapping in code page 932.
constexpr char16_t kDbcsUnicodeDefault = 0x30FB;
constexpr char16_t kUnmapped = 0xFFFF;

std::atomic<UINT> g_ansiCodePage{1252};

const CodePageDesc *FindDesc(UINT codePage)
{
    for (const CodePageDesc &d : kCodePages)
        if (d.codePage == codePage) return &d;
    return nullptr;
}

// CP_ACP, CP_THREAD_ACP and CP_OEMCP stand for the system's code pages.
UINT Resolve(UINT codePage)
{
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP) return g_ansiCodePage.load();
    if (codePage == CP_OEMCP) return GetOEMCP();
    return codePage;
}

bool IsLead(const CodePageDesc &d, BYTE c)
{
    for (int i = 0; i < 4 && d.leadRanges[i]; i += 2)
        if (c >= d.leadRanges[i] && c <= d.leadRanges[i + 1]) return true;
    return false;
}

class Iconv {
public:
    Iconv(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Converts one whole character; returns the bytes produced, 0 when it has no mapping.
    size_t One(const void *in, size_t inBytes, void *out, size_t outBytes)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char *ip = static_cast<char *>(const_cast<void *>(in));
        char *op = static_cast<char *>(out);
        size_t il = inBytes, ol = outBytes;
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return 0;
        return outBytes - ol;
    }

private:
    iconv_t cd_;
};

// Byte (or lead<<8|trail) to UTF-16 for one code page, built once through iconv.
struct ByteTable {
    std::unique_ptr<char16_t[]> toWide; // 65536 entries for DBCS, 256 otherwise
    std::unordered_map<char16_t, BYTE> toByte; // single-byte code pages only
};

char16_t ConvertUnit(Iconv &cv, const BYTE *bytes, size_t n)
{
    char16_t out[2];
    return cv.One(bytes, n, out, sizeof out) == 2 ? out[0] : kUnmapped;
}

std::unique_ptr<ByteTable> BuildTable(const CodePageDesc &d)
{
    auto t = std::make_unique<ByteTable>();
    bool dbcs = d.maxCharSize == 2;
    t->toWide.reset(new char16_t[dbcs ? 65536 : 256]);
    std::fill_n(t->toWide.get(), dbcs ? 65536 : 256, kUnmapped);
    Iconv cv("UTF-16LE", d.iconvName);
    for (unsigned b = 0; b < 256; ++b) {
        BYTE byte = static_cast<BYTE>(b);
        if (dbcs && IsLead(d, byte)) {
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                BYTE pair[2] = {byte, static_cast<BYTE>(trail)};
                if (cv.ok()) t->toWide[(b << 8) | trail] = ConvertUnit(cv, pair, 2);
            }
            continue;
        }
        char16_t w = cv.ok() ? ConvertUnit(cv, &byte, 1) : kUnmapped;
        // Bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D of 1252) map to the same code
        // point on Windows and back.
        if (w == kUnmapped) w = static_cast<char16_t>(b);
        t->toWide[b] = w;
        if (!dbcs) t->toByte.emplace(w, byte);
    }
    return t;
}

const ByteTable &TableFor(const CodePageDesc &d)
{
    static std::mutex lock;
    static std::map<UINT, std::unique_ptr<ByteTable>> tables;
    std::lock_guard<std::mutex> guard(lock);
    auto &slot = tables[d.codePage];
    if (!slot) slot = BuildTable(d);
    return *slot;
}

// Converts src to UTF-16; false when strict and the input holds an invalid sequence.
bool DecodeUtf8(const BYTE *s, size_t n, bool strict, std::u16string &out)
{
    for (size_t i = 0; i < n;) {
        BYTE b = s[i];
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        size_t extra = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
        char32_t c = b & (extra == 1 ? 0x1F : extra == 2 ? 0x0F : 0x07);
        size_t k = 1;
        for (; extra && k <= extra && i + k < n; ++k) {
            BYTE t = s[i + k];
            // The second byte's range rules out overlong forms, surrogates and code points above U+10FFFF.
            BYTE lo = 0x80, hi = 0xBF;
            if (k == 1 && b == 0xE0) lo = 0xA0;
            if (k == 1 && b == 0xED) hi = 0x9F;
            if (k == 1 && b == 0xF0) lo = 0x90;
            if (k == 1 && b == 0xF4) hi = 0x8F;
            if (t < lo || t > hi) break;
            c = (c << 6) | (t & 0x3F);
        }
        if (!extra || k <= extra) {
            // An invalid lead byte or an incomplete sequence: one replacement for what was consumed.
            if (strict) return false;
            out += u'\xFFFD';
            i += extra ? k : 1;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return true;
}

bool DecodeTable(const CodePageDesc &d, const BYTE *s, size_t n, bool strict, std::u16string &out)
{
    const ByteTable &t = TableFor(d);
    for (size_t i = 0; i < n; ++i) {
        if (d.maxCharSize == 2 && IsLead(d, s[i])) {
            char16_t w = i + 1 < n ? t.toWide[(s[i] << 8) | s[i + 1]] : kUnmapped;
            if (w == kUnmapped) {
                if (strict) return false;
                w = kDbcsUnicodeDefault;
            }
            if (i + 1 < n) ++i;
            out += w;
            continue;
        }
        out += t.toWide[s[i]];
    }
    return true;
}

void EncodeTable(const CodePageDesc &d, const char16_t *s, size_t n, const std::string &defaultChar,
                 bool &usedDefault, std::string &out)
{
    if (d.maxCharSize == 1) {
        const ByteTable &t = TableFor(d);
        for (size_t i = 0; i < n; ++i) {
            auto it = t.toByte.find(s[i]);
            if (it != t.toByte.end()) {
                out += static_cast<char>(it->second);
            } else {
                out += defaultChar;
                usedDefault = true;
                // A surrogate pair is one character and gets one default character.
                if (s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
            }
        }
        return;
    }
    Iconv cv(d.iconvName, "UTF-16LE");
    for (size_t i = 0; i < n; ++i) {
        size_t units = s[i] >= 0xD800 && s[i] <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF ? 2 : 1;
        char buf[8];
        size_t got = cv.ok() ? cv.One(s + i, units * 2, buf, sizeof buf) : 0;
        if (got) {
            out.append(buf, got);
        } else {
            out += defaultChar;
            usedDefault = true;
        }
        i += units - 1;
    }
}

// Copies a finished conversion to the caller: size query, exact fit, or a short buffer.
template <typename C>
int Deliver(const std::basic_string<C> &result, C *dst, int dstLen)
{
    if (dstLen == 0) return static_cast<int>(result.size());
    if (result.size() > static_cast<size_t>(dstLen)) {
        std::memcpy(dst, result.data(), static_cast<size_t>(dstLen) * sizeof(C));
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, result.data(), result.size() * sizeof(C));
    return static_cast<int>(result.size());
}

int Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

extern "C" {

// Changes the system ANSI code page (and with it the OEM code page); only known code pages are taken.
void ZepSetAnsiCodePage(UINT codePage)
{
    const CodePageDesc *d = FindDesc(codePage);
    if (d && d->iconvName) g_ansiCodePage.store(codePage);
}

// The system ANSI code page: 1252 unless the machine is set up as a Japanese one (932).
UINT WINAPI GetACP() { return g_ansiCodePage.load(); }

// The OEM code page that goes with the ANSI one (437 beside 1252, 932 beside 932).
UINT WINAPI GetOEMCP()
{
    const CodePageDesc *d = FindDesc(g_ansiCodePage.load());
    return d ? d->oemCodePage : 437;
}

// Fills the character size, default character '?' and lead-byte ranges; an unknown code page or a NULL
// record fails with ERROR_INVALID_PARAMETER.
BOOL WINAPI GetCPInfo(UINT codePage, CPINFO *info)
{
    const CodePageDesc *d = FindDesc(Resolve(codePage));
    if (!d || !info) return Fail(ERROR_INVALID_PARAMETER);
    std::memset(info, 0, sizeof *info);
    info->MaxCharSize = d->maxCharSize;
    info->DefaultChar[0] = '?';
    std::memcpy(info->LeadByte, d->leadRanges, sizeof d->leadRanges);
    return TRUE;
}

// Whether c starts a double-byte character in the given code page; an unknown code page fails with
// ERROR_INVALID_PARAMETER.
BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE c)
{
    const CodePageDesc *d = FindDesc(Resolve(codePage));
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    return d->maxCharSize == 2 && IsLead(*d, c);
}

// Whether c starts a double-byte character in the ANSI code page.
BOOL WINAPI IsDBCSLeadByte(BYTE c) { return IsDBCSLeadByteEx(CP_ACP, c); }

// A length of -1 converts through the terminator; dstLen 0 returns the size needed; a short buffer
// returns 0 with ERROR_INSUFFICIENT_BUFFER; invalid input with MB_ERR_INVALID_CHARS fails with
// ERROR_NO_UNICODE_TRANSLATION; bad arguments fail with ERROR_INVALID_PARAMETER.
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen)
{
    if (!src || srcLen == 0 || dstLen < 0 || (dstLen > 0 && !dst) ||
        (dst && static_cast<const void *>(src) == static_cast<const void *>(dst)))
        return Fail(ERROR_INVALID_PARAMETER);
    const CodePageDesc *d = FindDesc(Resolve(codePage));
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    if (d->codePage == CP_UTF8 && (flags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)))
        return Fail(ERROR_INVALID_FLAGS);
    size_t n = srcLen < 0 ? std::strlen(src) + 1 : static_cast<size_t>(srcLen);
    auto bytes = reinterpret_cast<const BYTE *>(src);
    bool strict = flags & MB_ERR_INVALID_CHARS;
    std::u16string out;
    bool ok = d->codePage == CP_UTF8 ? DecodeUtf8(bytes, n, strict, out) : DecodeTable(*d, bytes, n, strict, out);
    if (!ok) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    return Deliver(out, dst, dstLen);
}

// A length of -1 converts through the terminator; dstLen 0 returns the size needed; a short buffer returns
// 0 with ERROR_INSUFFICIENT_BUFFER; characters the code page lacks become the default character ('?' or
// defaultChar) and set *usedDefault; for UTF-8 both of those must be NULL (ERROR_INVALID_PARAMETER).
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                               LPCSTR defaultChar, LPBOOL usedDefault)
{
    if (!src || srcLen == 0 || dstLen < 0 || (dstLen > 0 && !dst) ||
        (dst && static_cast<const void *>(src) == static_cast<const void *>(dst)))
        return Fail(ERROR_INVALID_PARAMETER);
    const CodePageDesc *d = FindDesc(Resolve(codePage));
    if (!d) return Fail(ERROR_INVALID_PARAMETER);
    size_t n = srcLen < 0 ? std::char_traits<char16_t>::length(src) + 1 : static_cast<size_t>(srcLen);
    std::string out;
    if (d->codePage == CP_UTF8) {
        if (defaultChar || usedDefault) return Fail(ERROR_INVALID_PARAMETER);
        if (flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
        if (!zw::EncodeUtf8(src, n, flags & WC_ERR_INVALID_CHARS, out)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
        return Deliver(out, dst, dstLen);
    }
    size_t fallbackLen = 0;
    if (defaultChar && *defaultChar)
        fallbackLen = d->maxCharSize == 2 && IsLead(*d, static_cast<BYTE>(defaultChar[0])) && defaultChar[1] ? 2 : 1;
    const std::string fallback = fallbackLen ? std::string(defaultChar, fallbackLen) : std::string(1, '?');
    bool used = false;
    EncodeTable(*d, src, n, fallback, used, out);
    if (usedDefault) *usedDefault = used;
    return Deliver(out, dst, dstLen);
}
}
