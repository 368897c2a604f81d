// Helpers the common and render tests share: a private Windows root, files on its drive, an installed printer.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/win32.h"
#include "zep_platform.h"

namespace zeptest {

// Every test program works in its own fresh root, set before any test runs.
inline const std::string kRoot = [] {
    char pattern[] = "/tmp/zep-test-XXXXXX";
    const char *dir = mkdtemp(pattern);
    std::string root = dir ? dir : "/tmp/zep-test";
    ZepSetRoot(root.c_str());
    return root;
}();

inline std::u16string W(const std::string &ascii) { return std::u16string(ascii.begin(), ascii.end()); }

inline std::string HostPath(const std::u16string &windowsPath)
{
    char out[4096] = {};
    if (!ZepHostPathFromWindows(windowsPath.c_str(), out, sizeof(out))) return {};
    return out;
}

// Writes bytes to a file given by its Windows path, creating the folders on the way.
inline void WriteFile(const std::u16string &windowsPath, const std::string &bytes)
{
    std::filesystem::path host = HostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
}

// The driver directory the spooler reports for this machine.
inline std::u16string DriverDirectory()
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
// handle (null when the spooler refused).
inline HANDLE InstallPrinter(const std::string &printer, const std::string &driver,
                             const std::vector<DependentFile> &files)
{
    const std::u16string src = W("C:\\src\\" + driver + "\\");
    WriteFile(src + u"drv.dll", "x");
    std::u16string deps;
    for (const DependentFile &f : files) {
        WriteFile(src + W(f.name), f.content);
        deps += src + W(f.name);
        deps.push_back(0);
    }
    deps.push_back(0);
    std::u16string name = W(driver), path = src + u"drv.dll";
    DRIVER_INFO_3W di = {};
    di.cVersion = 3;
    di.pName = name.data();
    di.pDriverPath = path.data();
    di.pDataFile = path.data();
    di.pConfigFile = path.data();
    di.pDependentFiles = deps.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&di), APD_COPY_ALL_FILES)) return nullptr;
    std::u16string pname = W(printer), port = u"FILE:", proc = u"WinPrint", type = u"RAW";
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
