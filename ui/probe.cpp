// The help and version probe: decides once per process whether the pages may open the help viewer.
#include "ui/probe.h"

#include <vector>

#include "common/handle.h"
#include "common/library.h"

namespace zep {
namespace {

typedef DWORD(WINAPI *PFN_GetFileVersionInfoSizeW)(LPCWSTR file, LPDWORD handle);
typedef BOOL(WINAPI *PFN_GetFileVersionInfoW)(LPCWSTR file, DWORD handle, DWORD size, LPVOID data);
typedef BOOL(WINAPI *PFN_VerQueryValueW)(LPCVOID block, LPCWSTR subBlock, LPVOID *buffer, UINT *size);
typedef UINT(WINAPI *PFN_GetWindowsDirectoryW)(LPWSTR buffer, UINT size);

// The leading part of the version resource's fixed record that the probe reads.
struct FixedFileInfoHead {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
};

// The version functions are resolved at run time, so that a system without them counts as one without the
// file: the probe then leaves help on.
std::optional<DWORD> WinHelpProductMajor()
{
    HMODULE kernel = GetModuleHandleW(TEXT("kernel32.dll"));
    auto getWindowsDirectory = GetExport<PFN_GetWindowsDirectoryW>(kernel, "GetWindowsDirectoryW");
    Library version(LoadLibraryW(TEXT("version.dll")));
    if (!getWindowsDirectory || !version) return std::nullopt;
    auto sizeOf = GetExport<PFN_GetFileVersionInfoSizeW>(version.get(), "GetFileVersionInfoSizeW");
    auto read = GetExport<PFN_GetFileVersionInfoW>(version.get(), "GetFileVersionInfoW");
    auto query = GetExport<PFN_VerQueryValueW>(version.get(), "VerQueryValueW");
    if (!sizeOf || !read || !query) return std::nullopt;

    WCHAR path[MAX_PATH] = {};
    UINT length = getWindowsDirectory(path, MAX_PATH);
    if (length == 0 || length + 14 >= MAX_PATH) return std::nullopt;
    lstrcatW(path, TEXT("\\WINHLP32.EXE"));
    DWORD ignored = 0;
    DWORD size = sizeOf(path, &ignored);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!read(path, 0, size, block.data())) return std::nullopt;
    LPVOID fixed = nullptr;
    UINT fixedSize = 0;
    if (!query(block.data(), TEXT("\\"), &fixed, &fixedSize) || !fixed || fixedSize < sizeof(FixedFileInfoHead))
        return std::nullopt;
    return HIWORD(static_cast<const FixedFileInfoHead *>(fixed)->dwProductVersionMS);
}

} // namespace

void ApplyHelpProbe(UiModuleState &state, DWORD windowsMajor, std::optional<DWORD> winHelpMajor)
{
    state.probeDone = true;
    if (windowsMajor < 6) return;
    state.newSystem = true;
    if (winHelpMajor && *winHelpMajor >= 6) state.helpAvailable = false;
}

void EnsureHelpProbe()
{
    if (g_ui.probeDone) return;
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    DWORD major = GetVersionExW(&info) ? info.dwMajorVersion : 0;
    ApplyHelpProbe(g_ui, major, major >= 6 ? WinHelpProductMajor() : std::nullopt);
}

} // namespace zep
