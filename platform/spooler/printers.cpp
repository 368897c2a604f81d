// Spooler printers: opening, adding, deleting, reading and changing printers, and their printer data.
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "spooler/spooler_state.h"

using namespace zw::spl;

namespace {

constexpr size_t kMaxPrinterName = 220;

bool ValidPrinterName(const std::u16string &name)
{
    return !name.empty() && name.size() <= kMaxPrinterName && name.find(u',') == std::u16string::npos &&
           name.find(u'\\') == std::u16string::npos;
}

// Local printers report PRINTER_ATTRIBUTE_LOCAL unless they were stored as network printers.
DWORD ReportedAttributes(const Printer &p)
{
    return (p.attributes & PRINTER_ATTRIBUTE_NETWORK) ? p.attributes : p.attributes | PRINTER_ATTRIBUTE_LOCAL;
}

DWORD CountJobs(const std::vector<Job> &jobs, const Printer &p)
{
    return static_cast<DWORD>(
        std::count_if(jobs.begin(), jobs.end(), [&](const Job &j) { return SameName(j.printer, p.name); }));
}

struct LevelSize {
    DWORD level;
    size_t size;
};
constexpr LevelSize kPrinterLevels[] = {
    {1, sizeof(PRINTER_INFO_1W)},
    {2, sizeof(PRINTER_INFO_2W)},
    {8, sizeof(PRINTER_INFO_8W)},
};

size_t PrinterInfoSize(DWORD level)
{
    for (const auto &l : kPrinterLevels)
        if (l.level == level) return l.size;
    return 0;
}

void FillPrinterInfo(DWORD level, Packer &pk, BYTE *at, const Printer &p, DWORD jobs)
{
    switch (level) {
    case 1: {
        auto *info = reinterpret_cast<PRINTER_INFO_1W *>(at);
        info->Flags = PRINTER_ENUM_ICON8;
        info->pDescription = pk.String(p.name + u"," + p.driver + u"," + p.location);
        info->pName = pk.String(p.name);
        info->pComment = pk.String(p.comment);
        break;
    }
    case 2: {
        auto *info = reinterpret_cast<PRINTER_INFO_2W *>(at);
        info->pServerName = nullptr;
        info->pPrinterName = pk.String(p.name);
        info->pShareName = pk.String(p.share);
        info->pPortName = pk.String(p.port);
        info->pDriverName = pk.String(p.driver);
        info->pComment = pk.String(p.comment);
        info->pLocation = pk.String(p.location);
        info->pDevMode = pk.DevMode(p.devmode);
        info->pSepFile = pk.String(p.sepFile);
        info->pPrintProcessor = pk.String(p.printProcessor);
        info->pDatatype = pk.String(p.datatype);
        info->pParameters = pk.String(p.parameters);
        info->pSecurityDescriptor = nullptr;
        info->Attributes = ReportedAttributes(p);
        info->Priority = p.priority;
        info->DefaultPriority = p.defaultPriority;
        info->StartTime = p.startTime;
        info->UntilTime = p.untilTime;
        info->Status = 0;
        info->cJobs = jobs;
        info->AveragePPM = 0;
        break;
    }
    case 8:
        reinterpret_cast<PRINTER_INFO_8W *>(at)->pDevMode = pk.DevMode(p.devmode);
        break;
    }
}

// The handle's printer as stored now, or false with ERROR_INVALID_PRINTER_NAME once it was deleted.
bool CurrentPrinter(const PrinterHandle &h, std::vector<Printer> &printers, Printer *&p)
{
    printers = LoadPrinters();
    p = FindPrinter(printers, h.printer);
    if (!p) SetLastError(ERROR_INVALID_PRINTER_NAME);
    return p != nullptr;
}

bool HasAdminAccess(const PrinterHandle &h)
{
    if (h.access & PRINTER_ACCESS_ADMINISTER) return true;
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

bool IsLocalServer(LPCWSTR server) { return !server || !*server; }

// Applies the fields of a PRINTER_INFO_2W to a stored printer; the printer's name is not changed here.
bool ApplyInfo2(Printer &p, const PRINTER_INFO_2W &info, const std::vector<Driver> &drivers)
{
    if (info.pDriverName && !FindDriver(drivers, info.pDriverName, FindEnvironment(nullptr)->name)) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return false;
    }
    if (info.pPortName && !*info.pPortName) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return false;
    }
    Bytes devmode;
    if (info.pDevMode && !DevModeBytes(info.pDevMode, devmode)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const struct {
        LPWSTR value;
        std::u16string Printer::*field;
    } texts[] = {
        {info.pShareName, &Printer::share},    {info.pPortName, &Printer::port},
        {info.pDriverName, &Printer::driver},  {info.pComment, &Printer::comment},
        {info.pLocation, &Printer::location},  {info.pSepFile, &Printer::sepFile},
        {info.pPrintProcessor, &Printer::printProcessor}, {info.pDatatype, &Printer::datatype},
        {info.pParameters, &Printer::parameters},
    };
    for (const auto &t : texts)
        if (t.value) p.*(t.field) = t.value;
    if (info.pDevMode) p.devmode = devmode;
    p.attributes = info.Attributes & ~PRINTER_ATTRIBUTE_LOCAL;
    p.priority = info.Priority ? info.Priority : 1;
    p.defaultPriority = info.DefaultPriority;
    p.startTime = info.StartTime;
    p.untilTime = info.UntilTime;
    return true;
}

PrinterValue *FindValue(Printer &p, const std::u16string &name)
{
    for (auto &v : p.data)
        if (SameName(v.name, name)) return &v;
    return nullptr;
}

} // namespace

extern "C" {

// Opens a local printer by name, case-insensitively; an unknown name fails with ERROR_INVALID_PRINTER_NAME.
// The access asked for in the defaults is what later calls may do; none asked means PRINTER_ACCESS_USE.
BOOL WINAPI OpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    if (!printer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *printer = nullptr;
    if (!name || !*name) {
        // The print server's own handle is not reproduced.
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    Bytes devmode;
    if (defaults && defaults->pDevMode && !DevModeBytes(defaults->pDevMode, devmode)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ReclaimOrphans();
    std::vector<Printer> printers;
    {
        StateLock lock(false);
        printers = LoadPrinters();
    }
    const Printer *p = FindPrinter(printers, name);
    if (!p) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    PrinterHandle *h = NewHandle();
    h->printer = p->name;
    h->access = defaults && defaults->DesiredAccess ? defaults->DesiredAccess : PRINTER_ACCESS_USE;
    h->devmode = devmode;
    if (defaults && defaults->pDatatype) h->datatype = defaults->pDatatype;
    *printer = h;
    return TRUE;
}

// Closes a printer handle; a document still open on it is ended as EndDocPrinter would end it.
BOOL WINAPI ClosePrinter(HANDLE printer)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return FALSE;
    if (h->jobId) EndDocument(h);
    DropHandle(h);
    return TRUE;
}

// Adds a local printer (level 2 only) and returns a handle with full access; its driver must be installed
// for this machine's environment and its name must be new.
HANDLE WINAPI AddPrinterW(LPWSTR server, DWORD level, LPBYTE info)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    if (!IsLocalServer(server)) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    if (level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return nullptr;
    }
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto &in = *reinterpret_cast<const PRINTER_INFO_2W *>(info);
    std::u16string name = Wide(in.pPrinterName);
    if (!ValidPrinterName(name)) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    if (!in.pDriverName || !*in.pDriverName) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return nullptr;
    }
    if (!in.pPortName || !*in.pPortName) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return nullptr;
    }
    StateLock lock(true);
    std::vector<Printer> printers = LoadPrinters();
    if (FindPrinter(printers, name)) {
        SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
        return nullptr;
    }
    Printer p;
    p.name = name;
    p.printProcessor = u"winprint";
    p.datatype = u"RAW";
    if (!ApplyInfo2(p, in, LoadDrivers())) return nullptr;
    printers.push_back(std::move(p));
    if (!SavePrinters(printers)) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    PrinterHandle *h = NewHandle();
    h->printer = name;
    h->access = PRINTER_ALL_ACCESS;
    return h;
}

// Deletes the printer with its printer data and its jobs; needs PRINTER_ACCESS_ADMINISTER.
BOOL WINAPI DeletePrinter(HANDLE printer)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h || !HasAdminAccess(*h)) return FALSE;
    StateLock lock(true);
    std::vector<Printer> printers;
    Printer *p;
    if (!CurrentPrinter(*h, printers, p)) return FALSE;
    std::u16string name = p->name;
    printers.erase(printers.begin() + (p - printers.data()));
    if (!SavePrinters(printers)) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    for (const Job &j : LoadJobs())
        if (SameName(j.printer, name)) RemoveJobFiles(j.id);
    return TRUE;
}

// Levels 1, 2 and 8 packed into one buffer; a short buffer gives ERROR_INSUFFICIENT_BUFFER and *needed.
BOOL WINAPI GetPrinterW(HANDLE printer, DWORD level, LPBYTE out, DWORD size, LPDWORD needed)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return FALSE;
    size_t fixed = PrinterInfoSize(level);
    if (!fixed) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    std::vector<Printer> printers;
    Printer *p;
    std::vector<Job> jobs;
    {
        StateLock lock(false);
        if (!CurrentPrinter(*h, printers, p)) return FALSE;
        jobs = LoadJobs();
    }
    DWORD count = CountJobs(jobs, *p);
    return PackInto(out, size, needed, fixed,
                    [&](Packer &pk, BYTE *at) { FillPrinterInfo(level, pk, at, *p, count); });
}

// Level 2 changes the printer's settings (DEVMODE, attributes, share name, port, driver, texts); level 8 its
// default DEVMODE with its private bytes; level 0 with PRINTER_CONTROL_PURGE deletes its jobs. Renaming a
// printer is not reproduced. Needs PRINTER_ACCESS_ADMINISTER.
BOOL WINAPI SetPrinterW(HANDLE printer, DWORD level, LPBYTE info, DWORD command)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h || !HasAdminAccess(*h)) return FALSE;
    if (level != 0 && level != 2 && level != 8) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if ((level == 0) != (command != 0)) {
        SetLastError(level == 0 ? ERROR_INVALID_PRINTER_COMMAND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (level != 0 && !info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StateLock lock(true);
    std::vector<Printer> printers;
    Printer *p;
    if (!CurrentPrinter(*h, printers, p)) return FALSE;
    if (level == 0) {
        if (command != PRINTER_CONTROL_PURGE) {
            SetLastError(ERROR_INVALID_PRINTER_COMMAND);
            return FALSE;
        }
        for (Job &j : LoadJobs()) {
            if (!SameName(j.printer, p->name)) continue;
            if (j.status & JOB_STATUS_SPOOLING) {
                // The process spooling it ends it; until then it shows as being deleted.
                j.status |= JOB_STATUS_DELETING;
                SaveJob(j);
                std::string spool = HostPath(SpoolFilePath(j.id));
                if (!spool.empty()) unlink(spool.c_str());
            } else {
                RemoveJobFiles(j.id);
            }
        }
        return TRUE;
    }
    if (level == 2) {
        const auto &in = *reinterpret_cast<const PRINTER_INFO_2W *>(info);
        if (in.pPrinterName && !SameName(in.pPrinterName, p->name)) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        if (!ApplyInfo2(*p, in, LoadDrivers())) return FALSE;
    } else {
        const auto &in = *reinterpret_cast<const PRINTER_INFO_8W *>(info);
        Bytes devmode;
        if (!DevModeBytes(in.pDevMode, devmode)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        p->devmode = devmode;
    }
    if (!SavePrinters(printers)) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

// Local printers sorted by name at levels 1 and 2; other sources (connections, remote servers) list nothing.
BOOL WINAPI EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE out, DWORD size, LPDWORD needed,
                          LPDWORD returned)
{
    if (returned) *returned = 0;
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!needed || !returned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!IsLocalServer(name)) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    std::vector<Printer> printers;
    std::vector<Job> jobs;
    if (flags & PRINTER_ENUM_LOCAL) {
        StateLock lock(false);
        printers = LoadPrinters();
        jobs = LoadJobs();
    }
    std::sort(printers.begin(), printers.end(),
              [](const Printer &a, const Printer &b) { return Fold(a.name) < Fold(b.name); });
    size_t one = PrinterInfoSize(level);
    BOOL ok = PackInto(out, size, needed, one * printers.size(), [&](Packer &pk, BYTE *at) {
        for (size_t i = 0; i < printers.size(); ++i)
            FillPrinterInfo(level, pk, at + i * one, printers[i], CountJobs(jobs, printers[i]));
    });
    if (ok) *returned = static_cast<DWORD>(printers.size());
    return ok;
}

// Returns the error code rather than setting the last error: ERROR_FILE_NOT_FOUND for a missing value,
// ERROR_MORE_DATA with *needed (and *type) when `size` is short. A null name is the unnamed value.
DWORD WINAPI GetPrinterDataW(HANDLE printer, LPWSTR name, LPDWORD type, LPBYTE out, DWORD size, LPDWORD needed)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    DWORD saved = GetLastError();
    PrinterHandle *h = LookupHandle(printer);
    SetLastError(saved);
    if (!h) return ERROR_INVALID_HANDLE;
    if (!needed) return ERROR_INVALID_PARAMETER;
    std::vector<Printer> printers;
    {
        StateLock lock(false);
        printers = LoadPrinters();
    }
    Printer *p = FindPrinter(printers, h->printer);
    if (!p) return ERROR_INVALID_PRINTER_NAME;
    const PrinterValue *v = FindValue(*p, Wide(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    *needed = static_cast<DWORD>(v->data.size());
    if (type) *type = v->type;
    if (v->data.size() > size || (!out && !v->data.empty())) return ERROR_MORE_DATA;
    if (!v->data.empty()) std::memcpy(out, v->data.data(), v->data.size());
    return ERROR_SUCCESS;
}

// Stores a typed value (replacing one of the same name in any letter case); returns the error code.
// Needs PRINTER_ACCESS_ADMINISTER.
DWORD WINAPI SetPrinterDataW(HANDLE printer, LPWSTR name, DWORD type, LPBYTE data, DWORD size)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    DWORD saved = GetLastError();
    PrinterHandle *h = LookupHandle(printer);
    if (!h) {
        SetLastError(saved);
        return ERROR_INVALID_HANDLE;
    }
    if (!(h->access & PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    if (!data && size) return ERROR_INVALID_PARAMETER;
    StateLock lock(true);
    std::vector<Printer> printers = LoadPrinters();
    Printer *p = FindPrinter(printers, h->printer);
    if (!p) return ERROR_INVALID_PRINTER_NAME;
    PrinterValue *v = FindValue(*p, Wide(name));
    if (!v) {
        p->data.push_back({Wide(name), REG_NONE, {}});
        v = &p->data.back();
    }
    v->type = type;
    if (size)
        v->data.assign(reinterpret_cast<const char *>(data), size);
    else
        v->data.clear();
    if (!SavePrinters(printers)) return ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

} // extern "C"
