// wsprintfW/A and wvsprintfW/A: the Windows formatter with its own type letters and a 1024-character limit.
#include <cstdarg>
#include <string>

#include "win32/kernel.h"

namespace {

// Windows never writes more than 1024 characters, the terminator included.
constexpr size_t kMaxOutput = 1024;

enum class Width { Natural, Narrow, Wide, Pointer, Int64 };

struct Conversion {
    bool left = false;
    bool prefix = false;
    bool zero = false;
    unsigned width = 0;
    unsigned precision = 0;
    bool hasPrecision = false;
    Width size = Width::Natural;
};

// Output characters of type C, capped at kMaxOutput - 1 so that the terminator always fits.
template <typename C>
class Sink {
public:
    explicit Sink(C *out) : out_(out) {}
    void Put(C c)
    {
        if (count_ < kMaxOutput - 1) out_[count_++] = c;
    }
    void Put(const std::basic_string<C> &s)
    {
        for (C c : s) Put(c);
    }
    void Pad(C c, size_t n)
    {
        for (; n; --n) Put(c);
    }
    int Finish()
    {
        out_[count_] = 0;
        return static_cast<int>(count_);
    }

private:
    C *out_;
    size_t count_ = 0;
};

std::u16string ToOutput(const char *s, size_t n, char16_t *)
{
    if (n == 0) return {};
    int len = MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), nullptr, 0);
    std::u16string w(len > 0 ? len : 0, u'\0');
    if (len > 0) MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), w.data(), len);
    return w;
}
std::u16string ToOutput(const char16_t *s, size_t n, char16_t *) { return std::u16string(s, n); }
std::string ToOutput(const char *s, size_t n, char *) { return std::string(s, n); }
std::string ToOutput(const char16_t *s, size_t n, char *)
{
    if (n == 0) return {};
    int len = WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    std::string a(len > 0 ? len : 0, '\0');
    if (len > 0) WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(n), a.data(), len, nullptr, nullptr);
    return a;
}

template <typename C>
void Justify(Sink<C> &sink, const Conversion &conv, const std::basic_string<C> &body)
{
    size_t pad = conv.width > body.size() ? conv.width - body.size() : 0;
    if (!conv.left) sink.Pad(' ', pad);
    sink.Put(body);
    if (conv.left) sink.Pad(' ', pad);
}

// A string argument, wide or narrow; NULL prints "(null)" and the precision caps the characters printed.
template <typename C>
void FormatString(Sink<C> &sink, const Conversion &conv, bool wideArg, const void *arg)
{
    std::basic_string<C> body;
    if (!arg) {
        body = ToOutput("(null)", 6, static_cast<C *>(nullptr));
    } else if (wideArg) {
        auto s = static_cast<const char16_t *>(arg);
        body = ToOutput(s, std::char_traits<char16_t>::length(s), static_cast<C *>(nullptr));
    } else {
        auto s = static_cast<const char *>(arg);
        body = ToOutput(s, std::char_traits<char>::length(s), static_cast<C *>(nullptr));
    }
    if (conv.hasPrecision && body.size() > conv.precision) body.resize(conv.precision);
    Justify(sink, conv, body);
}

// A character argument; a zero character prints nothing.
template <typename C>
void FormatChar(Sink<C> &sink, const Conversion &conv, bool wideArg, int arg)
{
    std::basic_string<C> body;
    if (wideArg) {
        char16_t c = static_cast<char16_t>(arg);
        if (c) body = ToOutput(&c, 1, static_cast<C *>(nullptr));
    } else {
        char c = static_cast<char>(arg);
        if (c) body = ToOutput(&c, 1, static_cast<C *>(nullptr));
    }
    Justify(sink, conv, body);
}

// A number: at least `precision` digits (1 when none is given), then the sign or 0x prefix, then the width
// filled with zeros after the prefix or with blanks outside it.
template <typename C>
void FormatNumber(Sink<C> &sink, const Conversion &conv, ULONGLONG magnitude, bool negative, unsigned base, bool upper)
{
    static const char kLower[] = "0123456789abcdef";
    static const char kUpper[] = "0123456789ABCDEF";
    const char *digitsOf = upper ? kUpper : kLower;
    std::basic_string<C> digits;
    do {
        digits.insert(digits.begin(), static_cast<C>(digitsOf[magnitude % base]));
        magnitude /= base;
    } while (magnitude);
    unsigned precision = conv.hasPrecision && conv.precision ? conv.precision : 1;
    if (digits.size() < precision) digits.insert(digits.begin(), precision - digits.size(), static_cast<C>('0'));

    std::basic_string<C> prefix;
    if (negative) prefix += static_cast<C>('-');
    if (base == 16 && conv.prefix) {
        prefix += static_cast<C>('0');
        prefix += static_cast<C>(upper ? 'X' : 'x');
    }
    if (conv.zero && !conv.left && conv.width > prefix.size() + digits.size())
        digits.insert(digits.begin(), conv.width - prefix.size() - digits.size(), static_cast<C>('0'));
    Justify(sink, conv, prefix + digits);
}

template <typename C>
int Format(C *out, const C *fmt, va_list args)
{
    if (!out) return 0;
    Sink<C> sink(out);
    if (!fmt) return sink.Finish();
    const bool natWide = sizeof(C) == sizeof(char16_t);
    while (*fmt) {
        if (*fmt != '%') {
            sink.Put(*fmt++);
            continue;
        }
        ++fmt;
        Conversion conv;
        for (;; ++fmt) {
            if (*fmt == '-') conv.left = true;
            else if (*fmt == '#') conv.prefix = true;
            else if (*fmt == '0') conv.zero = true;
            else break;
        }
        for (; *fmt >= '0' && *fmt <= '9'; ++fmt) conv.width = conv.width * 10 + static_cast<unsigned>(*fmt - '0');
        if (*fmt == '.') {
            conv.hasPrecision = true;
            for (++fmt; *fmt >= '0' && *fmt <= '9'; ++fmt)
                conv.precision = conv.precision * 10 + static_cast<unsigned>(*fmt - '0');
        }
        if (*fmt == 'l' || *fmt == 'w') {
            conv.size = Width::Wide;
            ++fmt;
        } else if (*fmt == 'h') {
            conv.size = Width::Narrow;
            ++fmt;
        } else if (*fmt == 'I') {
            if (fmt[1] == '6' && fmt[2] == '4') {
                conv.size = Width::Int64;
                fmt += 3;
            } else if (fmt[1] == '3' && fmt[2] == '2') {
                fmt += 3;
            } else {
                conv.size = Width::Pointer;
                ++fmt;
            }
        }
        C type = *fmt;
        if (!type) break;
        ++fmt;
        switch (type) {
        case 's':
        case 'S': {
            bool wide = conv.size == Width::Wide || (conv.size != Width::Narrow && ((type == 's') == natWide));
            FormatString(sink, conv, wide, va_arg(args, const void *));
            break;
        }
        case 'c':
        case 'C': {
            bool wide = conv.size == Width::Wide || (conv.size != Width::Narrow && ((type == 'c') == natWide));
            FormatChar(sink, conv, wide, va_arg(args, int));
            break;
        }
        case 'd':
        case 'i': {
            LONGLONG v;
            if (conv.size == Width::Int64) v = va_arg(args, LONGLONG);
            else if (conv.size == Width::Pointer) v = va_arg(args, INT_PTR);
            else if (conv.size == Width::Narrow) v = static_cast<SHORT>(va_arg(args, int));
            else v = va_arg(args, int);
            ULONGLONG mag = v < 0 ? 0 - static_cast<ULONGLONG>(v) : static_cast<ULONGLONG>(v);
            FormatNumber(sink, conv, mag, v < 0, 10, false);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            ULONGLONG v;
            if (conv.size == Width::Int64) v = va_arg(args, ULONGLONG);
            else if (conv.size == Width::Pointer) v = va_arg(args, UINT_PTR);
            else if (conv.size == Width::Narrow) v = static_cast<USHORT>(va_arg(args, unsigned));
            else v = va_arg(args, unsigned);
            FormatNumber(sink, conv, v, false, type == 'u' ? 10 : 16, type == 'X');
            break;
        }
        case 'p': {
            // Pointers print as upper-case hexadecimal with all the digits of the pointer width.
            Conversion ptr;
            ptr.hasPrecision = true;
            ptr.precision = 2 * sizeof(void *);
            ptr.width = conv.width;
            ptr.left = conv.left;
            FormatNumber(sink, ptr, reinterpret_cast<UINT_PTR>(va_arg(args, void *)), false, 16, true);
            break;
        }
        default:
            // A letter with no meaning is copied as it is ("%%" gives "%").
            sink.Put(type);
            break;
        }
    }
    return sink.Finish();
}

} // namespace

extern "C" {

// Formats into out (at most 1023 characters and the terminator) and returns the characters written.
int WINAPI wvsprintfW(LPWSTR out, LPCWSTR format, va_list args) { return Format<char16_t>(out, format, args); }

// Formats into out (at most 1023 bytes and the terminator); %s is narrow, %S and %ls wide.
int WINAPI wvsprintfA(LPSTR out, LPCSTR format, va_list args) { return Format<char>(out, format, args); }

// As wvsprintfW; %s is wide, %S and %hs narrow.
int WINAPIV wsprintfW(LPWSTR out, LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int n = wvsprintfW(out, format, args);
    va_end(args);
    return n;
}

// As wvsprintfA.
int WINAPIV wsprintfA(LPSTR out, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    int n = wvsprintfA(out, format, args);
    va_end(args);
    return n;
}
}
