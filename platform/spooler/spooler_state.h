// The spooler's stored state (printers, drivers, jobs under <root>/spooler), printer handles and info-buffer packing.
#pragma once
#include <sys/types.h>

#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "kernel/unicode.h"
#include "win32/windows.h"

namespace zw::spl {

using Bytes = std::string;

// One stored record: ordered key/value pairs whose values are raw bytes.
struct Record {
    std::vector<std::pair<std::string, Bytes>> fields;

    const Bytes *Find(const std::string &key) const;
    Bytes Get(const std::string &key) const;
    std::u16string Text(const std::string &key) const { return WideFromUtf8(Get(key)); }
    DWORD Number(const std::string &key, DWORD fallback = 0) const;
    void Add(const std::string &key, const Bytes &value) { fields.emplace_back(key, value); }
    void AddText(const std::string &key, const std::u16string &value) { Add(key, Utf8FromWide(value.c_str())); }
    void AddNumber(const std::string &key, DWORD value) { Add(key, std::to_string(value)); }
};
std::vector<Record> ParseRecords(const std::string &text);
std::string FormatRecords(const std::vector<Record> &records);

// Files of the state folder and the virtual drive.
std::string StatePath(const char *name);
bool MakeDirs(const std::string &path);
bool ReadWholeFile(const std::string &path, std::string &out);
bool WriteFileAtomic(const std::string &path, const std::string &data);
// The temporary a whole-file write of `path` goes through: beside it, named for this process and thread
// ("<path>.tmp.<pid>.<tid>"), so that one left by a process that died can be told and removed.
std::string TempPathFor(const std::string &path);
// Copies a file onto `to` through the temporary `temp` beside it, so `to` is either untouched or complete.
bool CopyFileAtomic(const std::string &from, const std::string &to, const std::string &temp);
DWORD ErrorFromErrno(int error);
std::string HostPath(const std::u16string &windowsPath);

// Cross-process lock of the state files; taken around every read-modify-write.
class StateLock {
public:
    explicit StateLock(bool exclusive);
    ~StateLock();
    StateLock(const StateLock &) = delete;
    StateLock &operator=(const StateLock &) = delete;

private:
    int fd_ = -1;
};

// Printer names, data names and environments compare without regard to letter case.
std::u16string Fold(const std::u16string &s);
bool SameName(const std::u16string &a, const std::u16string &b);
std::u16string Wide(LPCWSTR s);

struct PrinterValue {
    std::u16string name;
    DWORD type = REG_NONE;
    Bytes data;
};

struct Printer {
    std::u16string name, share, port, driver, comment, location, sepFile, printProcessor, datatype, parameters;
    DWORD attributes = 0, priority = 1, defaultPriority = 0, startTime = 0, untilTime = 0;
    Bytes devmode; // empty: none stored
    std::vector<PrinterValue> data;
};
std::vector<Printer> LoadPrinters();
bool SavePrinters(const std::vector<Printer> &printers);
Printer *FindPrinter(std::vector<Printer> &printers, const std::u16string &name);

struct Environment {
    const char16_t *name;
    const char16_t *folder;
};
// The environment named by `env`; null or empty is the machine's own. Null for an unknown name.
const Environment *FindEnvironment(LPCWSTR env);
std::u16string DriverDirectory(const Environment &env);

struct Driver {
    DWORD version = 3;
    std::u16string name, environment, driverPath, dataFile, configFile, helpFile, monitor, defaultDatatype;
    std::vector<std::u16string> dependentFiles;
};
std::vector<Driver> LoadDrivers();
bool SaveDrivers(const std::vector<Driver> &drivers);
const Driver *FindDriver(const std::vector<Driver> &drivers, const std::u16string &name, const std::u16string &env);

struct Job {
    DWORD id = 0;
    std::u16string printer, document, outputFile, datatype, user, machine, driver;
    Bytes devmode;
    DWORD status = 0, priority = 1, pages = 0, size = 0;
    SYSTEMTIME submitted{};
    std::string owner;     // ProcessTag of the process spooling it
    std::string delivery;  // the temporary its delivery writes, while it is written
};
std::string JobRecordPath(DWORD id);
bool LoadJob(DWORD id, Job &job);
bool SaveJob(const Job &job);
std::vector<Job> LoadJobs();
DWORD AllocateJobId();
std::u16string SpoolFilePath(DWORD id);
void RemoveJobFiles(DWORD id);

// "<pid>:<start time>" of a running process (this one for 0), or "" when there is no such process; the start time
// keeps a reused pid from passing for the process that died.
std::string ProcessTag(pid_t pid = 0);
// Removes, once per root and process, what processes that died while spooling left: their jobs (record, spool
// file and delivery temporary), spool files without a job, and the temporaries of state-file writes. A spooler
// does the same when it starts again after a crash.
void ReclaimOrphans();

// A DEVMODE given by a caller, as its dmSize + dmDriverExtra bytes; false when it is not a DEVMODE.
bool DevModeBytes(const DEVMODEW *dm, Bytes &out);

// What an open printer handle knows; lives in the process that opened it.
struct PrinterHandle {
    std::u16string printer;
    DWORD access = 0;
    Bytes devmode;
    std::u16string datatype;
    // The document started on this handle, if any.
    DWORD jobId = 0;
    int spoolFd = -1;
    std::string recordPath;
    ino_t recordInode = 0;
    bool cancelled = false;
};
std::recursive_mutex &HandleMutex();
PrinterHandle *NewHandle();
// The handle's record, or null with ERROR_INVALID_HANDLE; call with HandleMutex held.
PrinterHandle *LookupHandle(HANDLE h);
void DropHandle(PrinterHandle *h);
// Ends the document open on `h` as EndDocPrinter does; ClosePrinter uses it for a document left open.
BOOL EndDocument(PrinterHandle *h);

// Writes info records and the strings and DEVMODEs they point to into one caller buffer: the records first,
// then the variable data. A packer without a buffer only measures.
class Packer {
public:
    Packer(BYTE *base, size_t fixed) : base_(base), used_(fixed) {}
    LPWSTR String(const std::u16string &s) { return static_cast<LPWSTR>(Put(s.data(), (s.size() + 1) * 2, 2, true)); }
    LPWSTR OptionalString(const std::u16string &s) { return s.empty() ? nullptr : String(s); }
    LPWSTR MultiString(const std::vector<std::u16string> &list);
    LPDEVMODEW DevMode(const Bytes &dm)
    {
        return dm.empty() ? nullptr : static_cast<LPDEVMODEW>(Put(dm.data(), dm.size(), 8, false));
    }
    size_t Used() const { return used_; }

private:
    void *Put(const void *data, size_t bytes, size_t align, bool terminate);
    BYTE *base_;
    size_t used_;
};

// Runs `fill(packer, records)` once to measure and, when `size` holds it, once more into `out`: the Windows
// contract of a size query answered with ERROR_INSUFFICIENT_BUFFER and *needed.
template <typename Fill>
BOOL PackInto(LPBYTE out, DWORD size, LPDWORD needed, size_t fixed, Fill fill)
{
    if (!needed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<BYTE> scratch(fixed ? fixed : 1);
    Packer measure(nullptr, fixed);
    fill(measure, scratch.data());
    *needed = static_cast<DWORD>(measure.Used());
    if (size < measure.Used() || (!out && measure.Used())) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (!out) return TRUE; // nothing to write: an empty list
    std::memset(out, 0, fixed);
    Packer real(out, fixed);
    fill(real, out);
    return TRUE;
}

} // namespace zw::spl
