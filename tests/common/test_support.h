// Helpers the common, render and UI tests share: files at Windows paths, an installed printer, the ANSI code page,
// closing the windows a test left open. On the Linux layer every test program works in a fresh root of its own; on
// Windows the paths are the machine's (under Wine, the build's own prefix).
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "common/win32.h"
#ifndef _WIN32
#include "zep_platform.h"
#include "zep_ui.h"
#endif

namespace zeptest {

using WString = std::basic_string<WCHAR>;

#ifndef _WIN32
// The root is set before any test runs, and removed when the program ends.
struct FreshRoot {
    std::filesystem::path path;
    FreshRoot()
    {
        std::error_code ec;
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
            std::filesystem::path candidate =
                std::filesystem::temp_directory_path(ec) / ("zep-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, ec)) path = candidate;
        }
        ZepSetRoot(path.empty() ? "/tmp/zep-test" : path.c_str());
    }
    ~FreshRoot()
    {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
};
inline const FreshRoot kRoot;
#endif

inline WString W(const std::string &ascii) { return WString(ascii.begin(), ascii.end()); }

// Where a Windows path is on the machine running the test.
inline std::filesystem::path HostPath(const WString &windowsPath)
{
#ifdef _WIN32
    return std::filesystem::path(windowsPath);
#else
    char out[4096] = {};
    if (!ZepHostPathFromWindows(windowsPath.c_str(), out, sizeof(out))) return {};
    return out;
#endif
}

// Makes `codePage` the ANSI code page for the checks that follow. The layer sets it; Windows has one for the whole
// system, so there the checks can run only when it already is that one.
inline bool UseAnsiCodePage(UINT codePage)
{
#ifdef _WIN32
    return GetACP() == codePage;
#else
    ZepSetAnsiCodePage(codePage);
    return true;
#endif
}

// The UI driver sees beeps through the layer's call hook; Windows gives no way to see them.
#ifdef _WIN32
constexpr bool kDriverSeesBeeps = false;
#else
constexpr bool kDriverSeesBeeps = true;
#endif

#ifdef _WIN32
inline BOOL CALLBACK CollectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND> *>(windows)->push_back(window);
    return TRUE;
}
#endif

// Destroys every window the test left open (a sheet or dialog opened modeless).
inline void DestroyThreadWindows()
{
#ifdef _WIN32
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows)
        if (IsWindow(window)) DestroyWindow(window);
#else
    ZepUiDestroyAllWindows();
#endif
}

// Writes bytes to a file given by its Windows path, creating the folders on the way.
inline void WriteFile(const WString &windowsPath, const std::string &bytes)
{
    std::filesystem::path host = HostPath(windowsPath);
    std::error_code ec;
    std::filesystem::create_directories(host.parent_path(), ec);
    std::ofstream(host, std::ios::binary) << bytes;
}

// The driver directory the spooler reports for this machine.
inline WString DriverDirectory()
{
    WCHAR dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir), &needed);
    return dir;
}

struct DependentFile {
    std::string name;
    std::string content;
};

// Installs a driver whose dependent files are the given files, and a printer using it; returns an open
// handle (null when the spooler refused). As installers do, the files go into the printer-driver directory first:
// the spooler takes each file by name from there.
inline HANDLE InstallPrinter(const std::string &printer, const std::string &driver,
                             const std::vector<DependentFile> &files)
{
    const WString src = DriverDirectory() + TEXT("\\");
    WriteFile(src + TEXT("drv.dll"), "x");
    WString deps;
    for (const DependentFile &f : files) {
        WriteFile(src + W(f.name), f.content);
        deps += src + W(f.name);
        deps.push_back(0);
    }
    deps.push_back(0);
    WString name = W(driver), path = src + TEXT("drv.dll");
    DRIVER_INFO_3W di = {};
    di.cVersion = 3;
    di.pName = name.data();
    di.pDriverPath = path.data();
    di.pDataFile = path.data();
    di.pConfigFile = path.data();
    di.pDependentFiles = deps.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&di), APD_COPY_ALL_FILES)) return nullptr;
    WString pname = W(printer), port = TEXT("FILE:"), proc = TEXT("WinPrint"), type = TEXT("RAW");
    PRINTER_INFO_2W pi = {};
    pi.pPrinterName = pname.data();
    pi.pPortName = port.data();
    pi.pDriverName = name.data();
    pi.pPrintProcessor = proc.data();
    pi.pDatatype = type.data();
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&pi));
    if (h) return h;
    HANDLE opened = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    return OpenPrinterW(pname.data(), &opened, &defaults) ? opened : nullptr;
}

// A capability file mapping the driver to section "M" with the given lines, and a plug-in INI file.
inline std::string CapabilityText(const std::string &driver, const std::string &modelLines)
{
    return "[Capability]\r\n" + driver + "=M\r\n[M]\r\n" + modelLines;
}
inline const std::string kPluginIniText = "[OEMFiles]\r\nOEMConfigFile1=ZepUI.dll\r\n";

} // namespace zeptest
