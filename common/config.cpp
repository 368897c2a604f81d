// Finding the driver's configuration files among its dependent files, and the model-section lookups.
#include "common/config.h"

#include "common/handle.h"

namespace zep {
namespace {

WCHAR g_capabilityFile[MAX_PATH + 1];

// Dependent-file lists longer than this are not trusted to be terminated when the buffer end is unknown.
constexpr size_t kMaxUnboundedList = 32768;

void CopyString(WCHAR *out, size_t cchOut, LPCWSTR src, size_t len)
{
    if (!out || cchOut == 0) return;
    if (len >= cchOut) len = cchOut - 1;
    for (size_t i = 0; i < len; ++i) out[i] = src[i];
    out[len] = 0;
}

size_t Length(LPCWSTR s) { return s ? static_cast<size_t>(lstrlenW(s)) : 0; }

WCHAR AsciiLower(WCHAR c) { return (c >= 'A' && c <= 'Z') ? static_cast<WCHAR>(c + ('a' - 'A')) : c; }

// True when the path ends in the given lower-case extension (".ini"), in any letter case.
bool EndsWithNoCase(LPCWSTR path, size_t len, const char *ext)
{
    size_t n = 0;
    while (ext[n]) ++n;
    if (len < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (AsciiLower(path[len - n + i]) != static_cast<WCHAR>(ext[i])) return false;
    return true;
}

// Calls fn(path, length) for each terminated entry of a double-NUL list; an entry running past the end of
// the buffer ends the walk.
template <typename Fn>
void ForEachPath(LPCWSTR list, size_t cchList, Fn fn)
{
    if (!list) return;
    size_t i = 0;
    while (i < cchList && list[i]) {
        size_t start = i;
        while (i < cchList && list[i]) ++i;
        if (i >= cchList) return;
        fn(list + start, i - start);
        ++i;
    }
}

// A path that fits a MAX_PATH buffer with its NUL; longer ones are skipped, never cut.
bool FitsPath(size_t len) { return len > 0 && len < MAX_PATH; }

// The printer's DRIVER_INFO at the given level, from a zero-filled global block.
GlobalBlock QueryDriverInfo(HANDLE hPrinter, DWORD level, DWORD *size)
{
    DWORD needed = 0;
    GetPrinterDriverW(hPrinter, nullptr, level, nullptr, 0, &needed);
    if (needed == 0) return {};
    GlobalBlock block(GlobalAlloc(GPTR, needed));
    if (!block) return {};
    if (!GetPrinterDriverW(hPrinter, nullptr, level, static_cast<LPBYTE>(block.get()), needed, &needed))
        return {};
    *size = needed;
    return block;
}

// Characters from p to the end of the block, or an upper bound when p lies elsewhere.
size_t CharsToEnd(const void *block, DWORD size, LPCWSTR p)
{
    auto begin = static_cast<const BYTE *>(block);
    auto at = reinterpret_cast<const BYTE *>(p);
    if (at >= begin && at < begin + size) return static_cast<size_t>(begin + size - at) / sizeof(WCHAR);
    return kMaxUnboundedList;
}

} // namespace

LPCWSTR CapabilityFilePath() { return g_capabilityFile; }

void SetCapabilityFilePath(LPCWSTR path) { CopyString(g_capabilityFile, MAX_PATH + 1, path, Length(path)); }

bool IsPlainFileName(LPCWSTR name)
{
    if (!name || !name[0]) return false;
    bool onlyDotsAndSpaces = true;
    for (LPCWSTR p = name; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') return false;
        if (*p != '.' && *p != ' ') onlyDotsAndSpaces = false;
    }
    // Windows drops trailing dots and spaces, so "..", "..." or ". " would all name the folder or its parent.
    return !onlyDotsAndSpaces;
}

DependentFileMatches WalkDependentFiles(LPCWSTR list, size_t cchList, WCHAR *iniPathOut, WCHAR *capPathOut)
{
    DependentFileMatches m;
    ForEachPath(list, cchList, [&](LPCWSTR p, size_t len) {
        if (EndsWithNoCase(p, len, ".ini")) {
            m.anyConfigFile = true;
            if (!FitsPath(len)) return;
            WCHAR path[MAX_PATH + 1];
            CopyString(path, MAX_PATH + 1, p, len);
            WCHAR value[kModelSectionChars] = {};
            GetPrivateProfileStringW(TEXT("OEMFiles"), TEXT("OEMConfigFile1"), TEXT(""), value, kModelSectionChars,
                                     path);
            if (value[0]) {
                m.iniFound = true;
                if (iniPathOut) CopyString(iniPathOut, MAX_PATH + 1, p, len);
            }
        } else if (EndsWithNoCase(p, len, ".cap")) {
            m.anyConfigFile = true;
            if (!FitsPath(len)) return;
            m.capFound = true;
            if (capPathOut) CopyString(capPathOut, MAX_PATH + 1, p, len);
        }
    });
    return m;
}

bool FindVersionInList(LPCWSTR list, size_t cchList, WCHAR *pathOut)
{
    bool found = false;
    ForEachPath(list, cchList, [&](LPCWSTR p, size_t len) {
        if (!EndsWithNoCase(p, len, ".ver") || !FitsPath(len)) return;
        found = true;
        if (pathOut) CopyString(pathOut, MAX_PATH + 1, p, len);
    });
    return found;
}

bool FindDriverFiles(HANDLE hPrinter, WCHAR *iniPathOut)
{
    g_capabilityFile[0] = 0;
    DWORD size = 0;
    GlobalBlock info = QueryDriverInfo(hPrinter, 3, &size);
    if (!info) return false;
    auto di = static_cast<const DRIVER_INFO_3W *>(info.get());
    if (!di->pDependentFiles) return false;
    WCHAR cap[MAX_PATH + 1] = {};
    DependentFileMatches m =
        WalkDependentFiles(di->pDependentFiles, CharsToEnd(info.get(), size, di->pDependentFiles), iniPathOut, cap);
    if (m.capFound) SetCapabilityFilePath(cap);
    return m.anyConfigFile;
}

bool FindVersionFile(HANDLE hPrinter, WCHAR *pathOut)
{
    DWORD size = 0;
    GlobalBlock info = QueryDriverInfo(hPrinter, 3, &size);
    if (!info) return false;
    auto di = static_cast<const DRIVER_INFO_3W *>(info.get());
    if (!di->pDependentFiles) return false;
    return FindVersionInList(di->pDependentFiles, CharsToEnd(info.get(), size, di->pDependentFiles), pathOut);
}

bool GetDriverName(HANDLE hPrinter, WCHAR *out, DWORD cch)
{
    if (out && cch) out[0] = 0;
    DWORD size = 0;
    GlobalBlock info = QueryDriverInfo(hPrinter, 1, &size);
    if (!info) return false;
    auto di = static_cast<const DRIVER_INFO_1W *>(info.get());
    if (!di->pName) return false;
    size_t len = 0;
    size_t limit = CharsToEnd(info.get(), size, di->pName);
    while (len < limit && di->pName[len]) ++len;
    if (len == limit) return false;
    CopyString(out, cch, di->pName, len);
    return true;
}

bool ReadModelSection(LPCWSTR capFile, LPCWSTR driverName, WCHAR *section, DWORD cch)
{
    if (!section || cch == 0) return false;
    section[0] = 0;
    // An empty key would enumerate the section and an empty file name would read another file.
    if (!capFile || !capFile[0] || !driverName || !driverName[0]) return false;
    GetPrivateProfileStringW(TEXT("Capability"), driverName, TEXT(""), section, cch, capFile);
    return section[0] != 0;
}

void ReadModelString(LPCWSTR capFile, LPCWSTR driverName, LPCWSTR key, WCHAR *out, DWORD cchOut)
{
    if (!out || cchOut == 0) return;
    out[0] = 0;
    WCHAR section[kModelSectionChars];
    if (!key || !key[0] || !ReadModelSection(capFile, driverName, section, kModelSectionChars)) return;
    GetPrivateProfileStringW(section, key, TEXT(""), out, cchOut, capFile);
}

int ReadModelInt(LPCWSTR capFile, LPCWSTR driverName, LPCWSTR key, int def)
{
    WCHAR section[kModelSectionChars];
    if (!key || !key[0] || !ReadModelSection(capFile, driverName, section, kModelSectionChars)) return def;
    return static_cast<int>(GetPrivateProfileIntW(section, key, def, capFile));
}

bool GetModelSection(HANDLE hPrinter, WCHAR *section, DWORD cch)
{
    WCHAR driver[MAX_PATH];
    if (!GetDriverName(hPrinter, driver, MAX_PATH)) {
        if (section && cch) section[0] = 0;
        return false;
    }
    return ReadModelSection(g_capabilityFile, driver, section, cch);
}

void GetModelString(HANDLE hPrinter, LPCWSTR key, WCHAR *out, DWORD cchOut)
{
    if (!out || cchOut == 0) return;
    out[0] = 0;
    WCHAR driver[MAX_PATH];
    if (!GetDriverName(hPrinter, driver, MAX_PATH)) return;
    ReadModelString(g_capabilityFile, driver, key, out, cchOut);
}

int GetModelInt(HANDLE hPrinter, LPCWSTR key, int def)
{
    WCHAR driver[MAX_PATH];
    if (!GetDriverName(hPrinter, driver, MAX_PATH)) return def;
    return ReadModelInt(g_capabilityFile, driver, key, def);
}

bool DriverFilePath(WCHAR *out, DWORD *cbInOut, LPCWSTR name)
{
    if (!out || !cbInOut) return false;
    const size_t cch = *cbInOut / sizeof(WCHAR);
    if (cch == 0) {
        *cbInOut = 0;
        return false;
    }
    bool ok = false;
    DWORD needed = 0;
    if (GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(out),
                                   static_cast<DWORD>(cch * sizeof(WCHAR)), &needed)) {
        out[cch - 1] = 0;
        size_t len = Length(out);
        // "\3" and then "\<name>" are appended only where they fit with the terminating NUL.
        if (len + 2 < cch) {
            out[len++] = '\\';
            out[len++] = '3';
            out[len] = 0;
            size_t n = Length(name);
            if (IsPlainFileName(name) && len + 1 + n < cch) {
                out[len++] = '\\';
                CopyString(out + len, cch - len, name, n);
                ok = true;
            }
        }
    } else {
        out[0] = 0;
    }
    *cbInOut = static_cast<DWORD>(Length(out) * sizeof(WCHAR));
    return ok;
}

bool DriverFilePath(WCHAR (&out)[MAX_PATH], LPCWSTR name)
{
    DWORD cb = sizeof(out);
    return DriverFilePath(out, &cb, name);
}

} // namespace zep
