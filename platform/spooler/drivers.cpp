// Spooler printer drivers: installing a driver's files per environment and reporting the installed driver.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "spooler/spooler_state.h"

using namespace zw::spl;

namespace {

// Version 3 (user-mode) drivers keep their files in the folder "3" of the environment's driver directory.
constexpr char16_t kVersionFolder[] = u"\\3";

std::u16string BaseName(const std::u16string &path)
{
    size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

// Brings one driver file into the version folder and returns its full Windows path there, or an empty
// string with the last error set. A bare file name is looked up in the environment's driver directory.
std::u16string InstallFile(const std::u16string &source, const std::u16string &driverDir, DWORD flags)
{
    std::u16string name = BaseName(source);
    std::u16string target = driverDir + kVersionFolder + u"\\" + name;
    std::string to = HostPath(target);
    std::string from = HostPath(name == source ? driverDir + u"\\" + name : source);
    if (to.empty() || name.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    struct stat src {}, dst {};
    bool haveSource = !from.empty() && stat(from.c_str(), &src) == 0 && S_ISREG(src.st_mode);
    bool haveTarget = stat(to.c_str(), &dst) == 0;
    if (!haveSource) {
        if (haveTarget && name == source) return target; // already in the version folder
        SetLastError(ERROR_FILE_NOT_FOUND);
        return {};
    }
    bool same = haveTarget && src.st_dev == dst.st_dev && src.st_ino == dst.st_ino;
    bool newer = src.st_mtim.tv_sec > dst.st_mtim.tv_sec ||
                 (src.st_mtim.tv_sec == dst.st_mtim.tv_sec && src.st_mtim.tv_nsec > dst.st_mtim.tv_nsec);
    bool copy = !same && (!haveTarget || (flags & APD_COPY_ALL_FILES) || newer);
    if (copy && !CopyFileAtomic(from, to, TempPathFor(to))) {
        SetLastError(ErrorFromErrno(errno));
        return {};
    }
    return target;
}

std::vector<std::u16string> SplitMultiString(LPCWSTR list)
{
    std::vector<std::u16string> out;
    for (LPCWSTR p = list; p && *p; p += std::char_traits<char16_t>::length(p) + 1) out.emplace_back(p);
    return out;
}

constexpr size_t kDriverLevelSizes[] = {0, sizeof(DRIVER_INFO_1W), sizeof(DRIVER_INFO_2W), sizeof(DRIVER_INFO_3W)};

void FillDriverInfo(DWORD level, Packer &pk, BYTE *at, const Driver &d)
{
    if (level == 1) {
        reinterpret_cast<DRIVER_INFO_1W *>(at)->pName = pk.String(d.name);
        return;
    }
    // DRIVER_INFO_2W is the head of DRIVER_INFO_3W.
    auto *info = reinterpret_cast<DRIVER_INFO_3W *>(at);
    info->cVersion = d.version;
    info->pName = pk.String(d.name);
    info->pEnvironment = pk.String(d.environment);
    info->pDriverPath = pk.String(d.driverPath);
    info->pDataFile = pk.String(d.dataFile);
    info->pConfigFile = pk.String(d.configFile);
    if (level == 3) {
        info->pHelpFile = pk.OptionalString(d.helpFile);
        info->pDependentFiles = pk.MultiString(d.dependentFiles);
        info->pMonitorName = pk.OptionalString(d.monitor);
        info->pDefaultDataType = pk.OptionalString(d.defaultDatatype);
    }
}

} // namespace

static_assert(offsetof(DRIVER_INFO_3W, pConfigFile) == offsetof(DRIVER_INFO_2W, pConfigFile));

extern "C" {

// Installs a driver (levels 2 and 3) for an environment (null: this machine's). Its files are copied from
// the paths given into the version folder "3" of the driver directory: with APD_COPY_ALL_FILES always,
// otherwise when missing there or older. Re-adding a driver of the same name replaces it.
BOOL WINAPI AddPrinterDriverExW(LPWSTR server, DWORD level, LPBYTE info, DWORD copyFlags)
{
    if (server && *server) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    if (level != 2 && level != 3) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto &in = *reinterpret_cast<const DRIVER_INFO_3W *>(info);
    const Environment *env = FindEnvironment(in.pEnvironment);
    if (!env) {
        SetLastError(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    for (LPCWSTR required : {in.pName, in.pDriverPath, in.pDataFile, in.pConfigFile}) {
        if (!required || !*required) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    std::u16string dir = DriverDirectory(*env);
    if (!MakeDirs(HostPath(dir + kVersionFolder))) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    Driver d;
    d.name = in.pName;
    d.environment = env->name;
    const struct {
        LPCWSTR source;
        std::u16string Driver::*field;
    } files[] = {
        {in.pDriverPath, &Driver::driverPath},
        {in.pDataFile, &Driver::dataFile},
        {in.pConfigFile, &Driver::configFile},
        {level == 3 ? in.pHelpFile : nullptr, &Driver::helpFile},
    };
    for (const auto &f : files) {
        if (!f.source || !*f.source) continue;
        d.*(f.field) = InstallFile(f.source, dir, copyFlags);
        if ((d.*(f.field)).empty()) return FALSE;
    }
    if (level == 3) {
        for (const auto &dep : SplitMultiString(in.pDependentFiles)) {
            std::u16string installed = InstallFile(dep, dir, copyFlags);
            if (installed.empty()) return FALSE;
            d.dependentFiles.push_back(installed);
        }
        d.monitor = Wide(in.pMonitorName);
        d.defaultDatatype = Wide(in.pDefaultDataType);
    }
    StateLock lock(true);
    std::vector<Driver> drivers = LoadDrivers();
    std::erase_if(drivers, [&](const Driver &x) { return SameName(x.name, d.name) && x.environment == d.environment; });
    drivers.push_back(std::move(d));
    if (!SaveDrivers(drivers)) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

// The same as AddPrinterDriverExW with APD_COPY_NEW_FILES.
BOOL WINAPI AddPrinterDriverW(LPWSTR server, DWORD level, LPBYTE info)
{
    return AddPrinterDriverExW(server, level, info, APD_COPY_NEW_FILES);
}

// The printer's driver for an environment (null: this machine's) at levels 1, 2 and 3, packed; a driver not
// installed for that environment gives ERROR_UNKNOWN_PRINTER_DRIVER.
BOOL WINAPI GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE out, DWORD size,
                              LPDWORD needed)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return FALSE;
    if (level < 1 || level > 3) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const Environment *env = FindEnvironment(environment);
    if (!env) {
        SetLastError(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    std::vector<Printer> printers;
    std::vector<Driver> drivers;
    {
        StateLock lock(false);
        printers = LoadPrinters();
        drivers = LoadDrivers();
    }
    const Printer *p = FindPrinter(printers, h->printer);
    if (!p) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    const Driver *d = FindDriver(drivers, p->driver, env->name);
    if (!d) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    return PackInto(out, size, needed, kDriverLevelSizes[level],
                    [&](Packer &pk, BYTE *at) { FillDriverInfo(level, pk, at, *d); });
}

// "C:\WINDOWS\System32\spool\DRIVERS\<folder>" of the environment (null: this machine's), which exists
// afterwards; sizes in bytes with the NUL; a short buffer gives ERROR_INSUFFICIENT_BUFFER and *needed.
BOOL WINAPI GetPrinterDriverDirectoryW(LPWSTR server, LPWSTR environment, DWORD level, LPBYTE out, DWORD size,
                                       LPDWORD needed)
{
    if (server && *server) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const Environment *env = FindEnvironment(environment);
    if (!env) {
        SetLastError(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    std::u16string dir = DriverDirectory(*env);
    MakeDirs(HostPath(dir));
    return PackInto(out, size, needed, 0, [&](Packer &pk, BYTE *) { pk.String(dir); });
}

} // extern "C"
