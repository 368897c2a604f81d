// The private-profile (INI file) functions: reads and whole-file rewrites on the virtual drive.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/kernel.h"
#include "zep_platform.h"

namespace {

using WStr = std::u16string;
using WView = std::u16string_view;

// One lock for all profile files: a read-modify-write of one file is never interleaved with another.
std::mutex g_profileLock;

constexpr WView kWindowsDirectory = u"C:\\WINDOWS";

enum class Encoding { Ansi, Utf16, Utf8 };

struct IniText {
    bool exists = false;
    Encoding encoding = Encoding::Ansi;
    std::vector<WStr> lines;
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x1A; }

WView Trim(WView s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char16_t Fold(char16_t c) { return static_cast<char16_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))))); }

bool SameName(WView a, WView b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

// "[name]" with blanks around the name; a header without its closing bracket runs to the end of the line.
std::optional<WView> SectionHeader(WView line)
{
    WView t = Trim(line);
    if (t.empty() || t.front() != u'[') return std::nullopt;
    t.remove_prefix(1);
    size_t close = t.find(u']');
    return Trim(close == WView::npos ? t : t.substr(0, close));
}

struct Entry {
    WView key;
    WView value;
};

// "key = value"; blank lines, comment lines (';') and section headers are not entries. A line without '='
// is a key with an empty value.
std::optional<Entry> EntryOf(WView line)
{
    WView t = Trim(line);
    if (t.empty() || t.front() == u';' || t.front() == u'[') return std::nullopt;
    size_t eq = t.find(u'=');
    if (eq == WView::npos) return Entry{t, WView()};
    return Entry{Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

// Lines [first, end) of a section: its header is lines[first - 1].
struct SectionRange {
    size_t first = 0;
    size_t end = 0;
};

std::optional<SectionRange> FindSection(const IniText &ini, WView name)
{
    for (size_t i = 0; i < ini.lines.size(); ++i) {
        auto header = SectionHeader(ini.lines[i]);
        if (!header || !SameName(*header, name)) continue;
        SectionRange r{i + 1, i + 1};
        while (r.end < ini.lines.size() && !SectionHeader(ini.lines[r.end])) ++r.end;
        return r;
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const IniText &ini, const SectionRange &r, WView key)
{
    for (size_t i = r.first; i < r.end; ++i) {
        auto e = EntryOf(ini.lines[i]);
        if (e && SameName(e->key, key)) return i;
    }
    return std::nullopt;
}

// A value in matching single or double quotes loses them.
WView Unquote(WView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// --- Files -----------------------------------------------------------------------------------------------

// A name without a directory lives in the Windows directory; no name at all means win.ini.
WStr WindowsPathOf(LPCWSTR file)
{
    WStr name = file ? WStr(file) : WStr(u"win.ini");
    if (name.find_first_of(u"\\/:") == WStr::npos) return WStr(kWindowsDirectory) + u"\\" + name;
    return name;
}

std::optional<std::string> HostPathOf(const WStr &windowsPath)
{
    std::string out(PATH_MAX, '\0');
    if (!ZepHostPathFromWindows(windowsPath.c_str(), out.data(), static_cast<DWORD>(out.size()))) return std::nullopt;
    out.resize(std::strlen(out.c_str()));
    return out;
}

DWORD ErrorFromErrno(int e)
{
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_WRITE_FAULT;
    }
}

// Only a regular file is read; a FIFO is opened without waiting for a writer and then refused.
bool ReadBytes(const std::string &path, std::string &bytes)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char chunk[16384];
    while (ok) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    return ok;
}

WStr DecodeAnsi(std::string_view bytes)
{
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    WStr out(n > 0 ? n : 0, u'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

WStr DecodeUtf8(std::string_view bytes)
{
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    WStr out(n > 0 ? n : 0, u'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string Encode(UINT codePage, WView text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// The file's lines, its encoding told by its byte-order mark (UTF-16LE, UTF-8) or else the ANSI code page.
IniText Load(const std::string &hostPath)
{
    IniText ini;
    std::string bytes;
    if (!ReadBytes(hostPath, bytes)) return ini;
    ini.exists = true;
    WStr text;
    if (bytes.size() >= 2 && static_cast<BYTE>(bytes[0]) == 0xFF && static_cast<BYTE>(bytes[1]) == 0xFE) {
        ini.encoding = Encoding::Utf16;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<BYTE>(bytes[i]) | (static_cast<BYTE>(bytes[i + 1]) << 8));
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini.encoding = Encoding::Utf8;
        text = DecodeUtf8(std::string_view(bytes).substr(3));
    } else {
        text = DecodeAnsi(bytes);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t eol = text.find_first_of(u"\r\n", start);
        if (eol == WStr::npos) {
            ini.lines.push_back(text.substr(start));
            break;
        }
        ini.lines.push_back(text.substr(start, eol - start));
        start = eol + (text[eol] == u'\r' && eol + 1 < text.size() && text[eol + 1] == u'\n' ? 2 : 1);
    }
    return ini;
}

std::string Serialize(const IniText &ini)
{
    WStr text;
    for (const WStr &line : ini.lines) text += line + u"\r\n";
    switch (ini.encoding) {
    case Encoding::Utf16: {
        std::string out = "\xFF\xFE";
        for (char16_t c : text) {
            out += static_cast<char>(c & 0xFF);
            out += static_cast<char>(c >> 8);
        }
        return out;
    }
    case Encoding::Utf8:
        return "\xEF\xBB\xBF" + Encode(CP_UTF8, text);
    case Encoding::Ansi:
        break;
    }
    return Encode(CP_ACP, text);
}

bool WriteAll(int fd, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Replaces the file whole: a temporary beside it is written, flushed and renamed over it, so a crash leaves
// either the old or the new file. Sets the last error on failure.
bool Store(const std::string &hostPath, const IniText &ini)
{
    struct stat st {};
    mode_t mode = stat(hostPath.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    if (ini.exists && access(hostPath.c_str(), W_OK) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::string temp = hostPath + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    bool ok = WriteAll(fd, Serialize(ini)) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int error = errno;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), hostPath.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        SetLastError(ErrorFromErrno(error));
    }
    return ok;
}

// Windows' own directory always exists on a real machine; create it on the virtual drive when needed.
void EnsureWindowsDirectory()
{
    auto c = HostPathOf(u"C:\\");
    auto win = HostPathOf(WStr(kWindowsDirectory));
    if (c) mkdir(c->c_str(), 0755);
    if (win) mkdir(win->c_str(), 0755);
}

// --- Reading -------------------------------------------------------------------------------------------

// What a read hands back before it is fitted to the caller's buffer: one value, or names each followed by
// a NUL (the list's final NUL is added when delivered).
struct ReadResult {
    WStr text;
    bool isList = false;
};

// Windows drops the trailing blanks of the default, never its first character; NULL is "".
WStr DefaultOf(LPCWSTR def)
{
    WStr d = def ? WStr(def) : WStr();
    while (d.size() > 1 && d.back() == u' ') d.pop_back();
    return d;
}

ReadResult Query(LPCWSTR section, LPCWSTR key, LPCWSTR def, LPCWSTR file)
{
    ReadResult r;
    auto host = HostPathOf(WindowsPathOf(file));
    IniText ini = host ? Load(*host) : IniText();
    if (!ini.exists) {
        r.text = DefaultOf(def);
        return r;
    }
    if (!section) {
        r.isList = true;
        std::vector<WView> seen;
        for (const WStr &line : ini.lines) {
            auto header = SectionHeader(line);
            if (!header) continue;
            bool dup = false;
            for (WView s : seen) dup = dup || SameName(s, *header);
            if (dup) continue;
            seen.push_back(*header);
            r.text.append(*header).push_back(u'\0');
        }
        return r;
    }
    auto range = FindSection(ini, section);
    if (!key) {
        // The keys of the section; a missing or empty section gives the default instead.
        if (range) {
            for (size_t i = range->first; i < range->end; ++i)
                if (auto e = EntryOf(ini.lines[i])) r.text.append(e->key).push_back(u'\0');
        }
        if (r.text.empty()) {
            r.text = DefaultOf(def);
            return r;
        }
        r.isList = true;
        return r;
    }
    std::optional<size_t> line = range ? FindKey(ini, *range, key) : std::nullopt;
    if (!line) {
        r.text = DefaultOf(def);
        return r;
    }
    r.text = WStr(Unquote(EntryOf(ini.lines[*line])->value));
    return r;
}

// Fits a result to the caller's buffer: a value is cut to size-1 and terminated (returning size-1); a list
// that does not fit ends in two NULs with its last name cut, returning size-2.
template <typename C>
DWORD Deliver(const std::basic_string<C> &text, bool isList, C *out, DWORD size)
{
    if (!out || size == 0) return 0;
    size_t n = text.size();
    if (!isList) {
        if (n >= size) n = size - 1;
        std::memcpy(out, text.data(), n * sizeof(C));
        out[n] = 0;
        return static_cast<DWORD>(n);
    }
    if (n == 0) {
        out[0] = 0;
        if (size > 1) out[1] = 0;
        return 0;
    }
    if (n + 1 <= size) {
        std::memcpy(out, text.data(), n * sizeof(C));
        out[n] = 0;
        return static_cast<DWORD>(n);
    }
    if (size < 2) {
        out[0] = 0;
        return 0;
    }
    std::memcpy(out, text.data(), (size - 2) * sizeof(C));
    out[size - 2] = 0;
    out[size - 1] = 0;
    return size - 2;
}

// The integer reading of Windows: leading blanks, an optional sign, decimal digits up to the first other
// character, wrapping modulo 2^32 ("-1" is 0xFFFFFFFF, "12abc" is 12, "abc" and "0x10" are 0).
UINT ParseProfileInt(WView s)
{
    size_t i = 0;
    while (i < s.size() && s[i] <= u' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    UINT v = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) v = v * 10 + static_cast<UINT>(s[i] - u'0');
    return negative ? 0u - v : v;
}

// --- Writing -------------------------------------------------------------------------------------------

// Applies one write to the text; returns whether anything changed.
bool Apply(IniText &ini, LPCWSTR section, LPCWSTR key, LPCWSTR value)
{
    auto range = FindSection(ini, section);
    if (!key) {
        // The whole section goes, header and all.
        if (!range) return false;
        ini.lines.erase(ini.lines.begin() + static_cast<long>(range->first - 1),
                        ini.lines.begin() + static_cast<long>(range->end));
        return true;
    }
    std::optional<size_t> line = range ? FindKey(ini, *range, key) : std::nullopt;
    if (!value) {
        if (!line) return false;
        ini.lines.erase(ini.lines.begin() + static_cast<long>(*line));
        return true;
    }
    if (line) {
        // Keep the key as the file spells it.
        WStr updated = WStr(EntryOf(ini.lines[*line])->key) + u"=" + value;
        if (updated == ini.lines[*line]) return false;
        ini.lines[*line] = updated;
        return true;
    }
    WStr entry = WStr(key) + u"=" + value;
    if (!range) {
        ini.lines.push_back(u"[" + WStr(section) + u"]");
        ini.lines.push_back(entry);
        return true;
    }
    // After the section's last non-blank line, so blank lines before the next section stay where they are.
    size_t at = range->end;
    while (at > range->first && Trim(ini.lines[at - 1]).empty()) --at;
    ini.lines.insert(ini.lines.begin() + static_cast<long>(at), entry);
    return true;
}

BOOL Write(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file)
{
    if (!section) {
        // (NULL, NULL, NULL) only flushes Windows' cache and reports FALSE; a key without a section has
        // nowhere to go.
        if (key || value) SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    WStr windowsPath = WindowsPathOf(file);
    if (!file || windowsPath.compare(0, kWindowsDirectory.size() + 1, WStr(kWindowsDirectory) + u"\\") == 0)
        EnsureWindowsDirectory();
    auto host = HostPathOf(windowsPath);
    if (!host) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(g_profileLock);
    IniText ini = Load(*host);
    if (!Apply(ini, section, key, value)) return TRUE;
    return Store(*host, ini) ? TRUE : FALSE;
}

WStr WideFromAnsi(LPCSTR s)
{
    return s ? DecodeAnsi(s) : WStr();
}

// NULL stays NULL when an ANSI argument is widened.
struct WideArg {
    explicit WideArg(LPCSTR s) : isNull(!s), text(WideFromAnsi(s)) {}
    LPCWSTR get() const { return isNull ? nullptr : text.c_str(); }
    bool isNull;
    WStr text;
};

} // namespace

extern "C" {

// Reads a value (trimmed, quotes removed), or with a NULL key the section's key names, or with a NULL
// section the section names; missing values give the default without its trailing blanks; results are cut
// to the buffer as Windows does (value: size-1, lists: size-2 with two NULs).
DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR def, LPWSTR out, DWORD size,
                                      LPCWSTR file)
{
    if (!out || size == 0) return 0;
    std::lock_guard<std::mutex> lock(g_profileLock);
    ReadResult r = Query(section, key, def, file);
    return Deliver(r.text, r.isList, out, size);
}

// As GetPrivateProfileStringW in the ANSI code page; sizes and results count bytes.
DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size, LPCSTR file)
{
    if (!out || size == 0) return 0;
    WideArg s(section), k(key), d(def), f(file);
    ReadResult r;
    {
        std::lock_guard<std::mutex> lock(g_profileLock);
        r = Query(s.get(), k.get(), d.get(), f.get());
    }
    return Deliver(Encode(CP_ACP, r.text), r.isList, out, size);
}

// The value read as Windows reads integers (see ParseProfileInt); a missing or empty value gives the
// default.
UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT def, LPCWSTR file)
{
    ReadResult r;
    {
        std::lock_guard<std::mutex> lock(g_profileLock);
        r = Query(section, key, u"", file);
    }
    if (r.isList || r.text.empty()) return static_cast<UINT>(def);
    return ParseProfileInt(r.text);
}

// As GetPrivateProfileIntW with ANSI names.
UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file)
{
    WideArg s(section), k(key), f(file);
    return GetPrivateProfileIntW(s.get(), k.get(), def, f.get());
}

// The names of all sections, each NUL-terminated, the list ended by another NUL; size-2 when cut.
DWORD WINAPI GetPrivateProfileSectionNamesW(LPWSTR out, DWORD size, LPCWSTR file)
{
    if (!out || size == 0) return 0;
    std::lock_guard<std::mutex> lock(g_profileLock);
    ReadResult r = Query(nullptr, nullptr, nullptr, file);
    return Deliver(r.text, true, out, size);
}

// Sets key=value in the section (creating section and file as needed); a NULL value deletes the key, a
// NULL key the whole section. The file keeps its encoding; a new file is written in the ANSI code page.
BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file)
{
    return Write(section, key, value, file);
}

// As WritePrivateProfileStringW with ANSI arguments.
BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    WideArg s(section), k(key), v(value), f(file);
    return Write(s.get(), k.get(), v.get(), f.get());
}
}
