// The virtual Windows drive: a root folder on the host that holds drive C: and the spooler's state.
#include <dirent.h>
#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "kernel/unicode.h"
#include "zep_platform.h"

namespace zw {

bool EncodeUtf8(const char16_t *s, size_t n, bool strict, std::string &out)
{
    for (size_t i = 0; i < n; ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (strict) return false;
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

std::string Utf8FromWide(LPCWSTR s, int len)
{
    std::string out;
    if (s) EncodeUtf8(s, len < 0 ? std::char_traits<char16_t>::length(s) : static_cast<size_t>(len), false, out);
    return out;
}

std::u16string WideFromUtf8(const std::string &s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c;
        size_t extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        if (extra && i + extra >= s.size()) {
            out += u'\xFFFD';
            break;
        }
        bool bad = false;
        for (size_t k = 1; k <= extra; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) {
                bad = true;
                break;
            }
            c = (c << 6) | (t & 0x3F);
        }
        if (bad) {
            out += u'\xFFFD';
            ++i;
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
    return out;
}

namespace {

std::mutex g_rootLock;
std::string g_root;

std::string DefaultRoot()
{
    if (const char *env = std::getenv("ZEP_ROOT"); env && *env) return env;
    const char *home = std::getenv("HOME");
    if (!home || !*home) {
        if (passwd *pw = getpwuid(getuid())) home = pw->pw_dir;
    }
    return std::string(home ? home : "/tmp") + "/.local/share/zep";
}

// The entry of `dir` whose name equals `name` without regard to ASCII letter case, or `name` itself.
std::string MatchComponent(const std::string &dir, const std::string &name)
{
    std::string exact = dir + "/" + name;
    if (access(exact.c_str(), F_OK) == 0) return name;
    DIR *d = opendir(dir.c_str());
    if (!d) return name;
    std::string found = name;
    while (dirent *e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

} // namespace
} // namespace zw

extern "C" {

// Where the virtual drive and the spooler's state live; set before the first Win32 call that touches files.
void ZepSetRoot(const char *root)
{
    std::lock_guard<std::mutex> lock(zw::g_rootLock);
    zw::g_root = root ? root : "";
}

const char *ZepGetRoot()
{
    std::lock_guard<std::mutex> lock(zw::g_rootLock);
    if (zw::g_root.empty()) zw::g_root = zw::DefaultRoot();
    return zw::g_root.c_str();
}

// Windows resolves paths without regard to letter case; so does this mapping for components that exist.
// "C:\a\b" and "c:/a/b" map to <root>/c/a/b; "\\server\share" is not reachable; anything else is a host path.
BOOL ZepHostPathFromWindows(LPCWSTR windowsPath, char *out, DWORD size)
{
    if (!windowsPath || !out || size == 0) return FALSE;
    std::string path = zw::Utf8FromWide(windowsPath);
    std::string result;
    bool isDrive = path.size() >= 2 && path[1] == ':' &&
                   ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    bool isUnc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    if (isUnc) return FALSE;
    if (!isDrive) {
        result = path;
    } else {
        std::string base = std::string(ZepGetRoot()) + "/" + static_cast<char>(path[0] | 0x20);
        result = base;
        size_t pos = 2;
        while (pos < path.size()) {
            size_t next = path.find_first_of("\\/", pos);
            std::string comp = path.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
            pos = next == std::string::npos ? path.size() : next + 1;
            if (comp.empty() || comp == ".") continue;
            if (comp == "..") {
                // Never climb above the drive's root, as on Windows.
                if (result.size() > base.size()) result.erase(result.rfind('/'));
                continue;
            }
            result += "/" + zw::MatchComponent(result, comp);
        }
    }
    if (result.size() + 1 > size) return FALSE;
    std::memcpy(out, result.c_str(), result.size() + 1);
    return TRUE;
}
}
