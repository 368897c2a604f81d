// Spooler jobs: documents written through a printer handle into spool files, their delivery and their control.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "spooler/spooler_state.h"

using namespace zw::spl;

namespace {

std::u16string UserName()
{
    if (passwd *pw = getpwuid(getuid())) return zw::WideFromUtf8(pw->pw_name);
    return u"user";
}

std::u16string MachineName()
{
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || !*host) std::strcpy(host, "localhost");
    std::string name = host;
    name = name.substr(0, name.find('.'));
    for (auto &c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return u"\\\\" + zw::WideFromUtf8(name);
}

SYSTEMTIME NowUtc()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm t{};
    gmtime_r(&ts.tv_sec, &t);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.tm_year + 1900);
    st.wMonth = static_cast<WORD>(t.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st.wDay = static_cast<WORD>(t.tm_mday);
    st.wHour = static_cast<WORD>(t.tm_hour);
    st.wMinute = static_cast<WORD>(t.tm_min);
    st.wSecond = static_cast<WORD>(t.tm_sec);
    st.wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1000000);
    return st;
}

ino_t InodeOf(const std::string &path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A port that names a file ("C:\out\job.prn" or a host path) receives the jobs printed to it.
bool IsFilePort(const std::u16string &port)
{
    bool drivePath = port.size() >= 3 && port[1] == u':' && (port[2] == u'\\' || port[2] == u'/');
    return drivePath || (!port.empty() && port[0] == u'/');
}

void ForgetDocument(PrinterHandle *h)
{
    if (h->spoolFd >= 0) close(h->spoolFd);
    h->spoolFd = -1;
    h->jobId = 0;
    h->recordPath.clear();
    h->recordInode = 0;
    h->cancelled = false;
}

// Whether the document's job was cancelled or deleted, by this process or another. The job record is
// re-read only when it was replaced since this handle last saw it.
bool Cancelled(PrinterHandle *h)
{
    if (h->cancelled) return true;
    ino_t now = InodeOf(h->recordPath);
    if (now == h->recordInode) return false;
    Job job;
    if (!LoadJob(h->jobId, job) || (job.status & JOB_STATUS_DELETING)) {
        h->cancelled = true;
        return true;
    }
    h->recordInode = now;
    return false;
}

// The handle's open document, or null with ERROR_SPL_NO_STARTDOC.
PrinterHandle *DocumentHandle(HANDLE printer)
{
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return nullptr;
    if (!h->jobId) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return nullptr;
    }
    return h;
}

bool CancelJob(Job &job)
{
    if (!(job.status & JOB_STATUS_SPOOLING)) {
        RemoveJobFiles(job.id);
        return true;
    }
    // The process spooling it ends it; until then it shows as being deleted and nothing is delivered.
    job.status |= JOB_STATUS_DELETING;
    std::string spool = HostPath(SpoolFilePath(job.id));
    if (!spool.empty()) unlink(spool.c_str());
    return SaveJob(job);
}

DWORD SpoolSize(const Job &job)
{
    struct stat st {};
    std::string spool = HostPath(SpoolFilePath(job.id));
    if (!spool.empty() && stat(spool.c_str(), &st) == 0) return static_cast<DWORD>(st.st_size);
    return job.size;
}

void FillJobInfo(DWORD level, Packer &pk, BYTE *at, const Job &job, DWORD position)
{
    if (level == 1) {
        auto *info = reinterpret_cast<JOB_INFO_1W *>(at);
        info->JobId = job.id;
        info->pPrinterName = pk.String(job.printer);
        info->pMachineName = pk.String(job.machine);
        info->pUserName = pk.String(job.user);
        info->pDocument = pk.String(job.document);
        info->pDatatype = pk.String(job.datatype);
        info->pStatus = nullptr;
        info->Status = job.status;
        info->Priority = job.priority;
        info->Position = position;
        info->TotalPages = job.pages;
        info->PagesPrinted = 0;
        info->Submitted = job.submitted;
        return;
    }
    auto *info = reinterpret_cast<JOB_INFO_2W *>(at);
    info->JobId = job.id;
    info->pPrinterName = pk.String(job.printer);
    info->pMachineName = pk.String(job.machine);
    info->pUserName = pk.String(job.user);
    info->pDocument = pk.String(job.document);
    info->pNotifyName = pk.String(job.user);
    info->pDatatype = pk.String(job.datatype);
    info->pPrintProcessor = pk.String(u"winprint");
    info->pParameters = pk.String(u"");
    info->pDriverName = pk.String(job.driver);
    info->pDevMode = pk.DevMode(job.devmode);
    info->pStatus = nullptr;
    info->pSecurityDescriptor = nullptr;
    info->Status = job.status;
    info->Priority = job.priority;
    info->Position = position;
    info->TotalPages = job.pages;
    info->Size = job.size;
    info->Submitted = job.submitted;
    info->PagesPrinted = 0;
}

// The job `id` of the handle's printer, or false with ERROR_INVALID_PARAMETER.
bool PrinterJob(const PrinterHandle &h, DWORD id, Job &job)
{
    if (LoadJob(id, job) && SameName(job.printer, h.printer)) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// The spool file becomes the target by a rename where both are on one file system. Elsewhere it is copied through
// a temporary beside the target that the job's record names while it exists, so that a spooler starting after a
// crash finds and removes it.
bool Deliver(const Job &job, const std::string &spool, const std::string &to)
{
    if (rename(spool.c_str(), to.c_str()) == 0) return true;
    Job delivering = job;
    delivering.status |= JOB_STATUS_SPOOLING;  // still this process's to finish
    delivering.delivery = TempPathFor(to);
    return SaveJob(delivering) && CopyFileAtomic(spool, to, delivering.delivery);
}

} // namespace

namespace zw::spl {

// Delivers the spool data to the document's output file, else to a port that names a file, else leaves the
// job queued with its spool file. Delivery replaces the target whole or not at all; a cancelled job delivers
// nothing. A failed delivery leaves the job in the queue with JOB_STATUS_ERROR.
BOOL EndDocument(PrinterHandle *h)
{
    if (h->spoolFd >= 0 && close(h->spoolFd) != 0 && !Cancelled(h)) {
        // The spool data may be incomplete: keep it for inspection but do not deliver it.
        int saved = errno;
        h->spoolFd = -1;
        StateLock lock(true);
        Job job;
        if (LoadJob(h->jobId, job)) {
            job.status = (job.status & ~JOB_STATUS_SPOOLING) | JOB_STATUS_ERROR;
            SaveJob(job);
        }
        ForgetDocument(h);
        SetLastError(ErrorFromErrno(saved));
        return FALSE;
    }
    h->spoolFd = -1;
    StateLock lock(true);
    DWORD id = h->jobId;
    bool cancelled = Cancelled(h);
    Job job;
    if (cancelled || !LoadJob(id, job)) {
        RemoveJobFiles(id);
        ForgetDocument(h);
        return TRUE;
    }
    ForgetDocument(h);
    std::u16string target = job.outputFile;
    if (target.empty()) {
        std::vector<Printer> printers = LoadPrinters();
        if (const Printer *p = FindPrinter(printers, job.printer); p && IsFilePort(p->port)) target = p->port;
    }
    std::string spool = HostPath(SpoolFilePath(id));
    job.size = SpoolSize(job);
    job.status &= ~JOB_STATUS_SPOOLING;
    if (target.empty()) {
        SaveJob(job);
        return TRUE;
    }
    std::string to = HostPath(target);
    if (to.empty()) {
        job.status |= JOB_STATUS_ERROR;
        SaveJob(job);
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!Deliver(job, spool, to)) {
        DWORD error = ErrorFromErrno(errno);
        job.status |= JOB_STATUS_ERROR;
        SaveJob(job);
        SetLastError(error);
        return FALSE;
    }
    RemoveJobFiles(id);
    return TRUE;
}

} // namespace zw::spl

extern "C" {

// Starts a document (level 1) as a new job with an empty spool file "<5-digit id>.SPL" in
// C:\WINDOWS\System32\spool\PRINTERS and returns the job id; 0 with the last error on failure or when a
// document is already open on the handle.
DWORD WINAPI StartDocPrinterW(HANDLE printer, DWORD level, LPBYTE docInfo)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return 0;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return 0;
    }
    if (!docInfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (h->jobId) {
        SetLastError(ERROR_INVALID_PRINTER_STATE);
        return 0;
    }
    const auto &doc = *reinterpret_cast<const DOC_INFO_1W *>(docInfo);
    StateLock lock(true);
    std::vector<Printer> printers = LoadPrinters();
    const Printer *p = FindPrinter(printers, h->printer);
    if (!p) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return 0;
    }
    Job job;
    job.id = AllocateJobId();
    if (!job.id) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    job.printer = p->name;
    job.document = Wide(doc.pDocName);
    job.outputFile = Wide(doc.pOutputFile);
    job.datatype = doc.pDatatype && *doc.pDatatype ? Wide(doc.pDatatype)
                   : !h->datatype.empty()           ? h->datatype
                   : !p->datatype.empty()           ? p->datatype
                                                    : u"RAW";
    job.user = UserName();
    job.machine = MachineName();
    job.driver = p->driver;
    job.devmode = h->devmode.empty() ? p->devmode : h->devmode;
    job.status = JOB_STATUS_SPOOLING;
    job.submitted = NowUtc();
    job.owner = ProcessTag();
    std::u16string spoolWindows = SpoolFilePath(job.id);
    std::string spool = HostPath(spoolWindows);
    std::string folder = spool.substr(0, spool.rfind('/'));
    int fd = -1;
    // The record first: a spool file never exists without the job that owns it.
    if (spool.empty() || !MakeDirs(folder) || !SaveJob(job) ||
        (fd = open(spool.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) < 0) {
        DWORD error = spool.empty() ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
        if (fd >= 0) close(fd);
        RemoveJobFiles(job.id);
        SetLastError(error);
        return 0;
    }
    h->jobId = job.id;
    h->spoolFd = fd;
    h->recordPath = JobRecordPath(job.id);
    h->recordInode = InodeOf(h->recordPath);
    h->cancelled = false;
    return job.id;
}

// Counts a page of the open document in the job's TotalPages.
BOOL WINAPI StartPagePrinter(HANDLE printer)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = DocumentHandle(printer);
    if (!h) return FALSE;
    StateLock lock(true);
    if (Cancelled(h)) {
        SetLastError(ERROR_PRINT_CANCELLED);
        return FALSE;
    }
    Job job;
    if (LoadJob(h->jobId, job)) {
        ++job.pages;
        if (!SaveJob(job)) {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        h->recordInode = InodeOf(h->recordPath);
    }
    return TRUE;
}

// Ends a page of the open document.
BOOL WINAPI EndPagePrinter(HANDLE printer)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = DocumentHandle(printer);
    if (!h) return FALSE;
    if (Cancelled(h)) {
        SetLastError(ERROR_PRINT_CANCELLED);
        return FALSE;
    }
    return TRUE;
}

// Appends to the open document's spool file; without a document ERROR_SPL_NO_STARTDOC, and once the job is
// cancelled (here or in another process) FALSE with ERROR_PRINT_CANCELLED and nothing written.
BOOL WINAPI WritePrinter(HANDLE printer, LPVOID buffer, DWORD size, LPDWORD written)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = DocumentHandle(printer);
    if (!h) return FALSE;
    if (!written || (!buffer && size)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *written = 0;
    if (Cancelled(h)) {
        SetLastError(ERROR_PRINT_CANCELLED);
        return FALSE;
    }
    const char *data = static_cast<const char *>(buffer);
    while (*written < size) {
        ssize_t n = write(h->spoolFd, data + *written, size - *written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(ErrorFromErrno(n < 0 ? errno : ENOSPC));
            return FALSE;
        }
        *written += static_cast<DWORD>(n);
    }
    return TRUE;
}

// Ends the open document and its job; see EndDocument for where the data goes.
BOOL WINAPI EndDocPrinter(HANDLE printer)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = DocumentHandle(printer);
    return h ? EndDocument(h) : FALSE;
}

// Deletes the open document's job: nothing is delivered and its spool file is removed.
BOOL WINAPI AbortPrinter(HANDLE printer)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = DocumentHandle(printer);
    if (!h) return FALSE;
    DWORD id = h->jobId;
    ForgetDocument(h);
    StateLock lock(true);
    RemoveJobFiles(id);
    return TRUE;
}

// Levels 1 and 2 of a job of the handle's printer, from any process; an unknown id gives
// ERROR_INVALID_PARAMETER. Size is what the spool file holds so far.
BOOL WINAPI GetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE out, DWORD size, LPDWORD needed)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return FALSE;
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    Job job;
    DWORD position = 1;
    {
        StateLock lock(false);
        if (!PrinterJob(*h, jobId, job)) return FALSE;
        job.size = SpoolSize(job);
        for (const Job &other : LoadJobs())
            if (other.id < job.id && SameName(other.printer, job.printer)) ++position;
    }
    size_t fixed = level == 1 ? sizeof(JOB_INFO_1W) : sizeof(JOB_INFO_2W);
    return PackInto(out, size, needed, fixed, [&](Packer &pk, BYTE *at) { FillJobInfo(level, pk, at, job, position); });
}

// Level 0 controls a job: JOB_CONTROL_CANCEL and JOB_CONTROL_DELETE delete it (a job still being spooled shows
// JOB_STATUS_DELETING until its writer ends it and delivers nothing), PAUSE and RESUME set and clear
// JOB_STATUS_PAUSED. Levels 1 and 2 change the document name and the priority. Unknown ids and commands give
// ERROR_INVALID_PARAMETER.
BOOL WINAPI SetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE info, DWORD command)
{
    std::lock_guard<std::recursive_mutex> guard(HandleMutex());
    PrinterHandle *h = LookupHandle(printer);
    if (!h) return FALSE;
    if (level > 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if ((level != 0 && !info) || command > JOB_CONTROL_DELETE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    StateLock lock(true);
    Job job;
    if (!PrinterJob(*h, jobId, job)) return FALSE;
    if (level == 1 || level == 2) {
        LPWSTR document = level == 1 ? reinterpret_cast<JOB_INFO_1W *>(info)->pDocument
                                     : reinterpret_cast<JOB_INFO_2W *>(info)->pDocument;
        DWORD priority = level == 1 ? reinterpret_cast<JOB_INFO_1W *>(info)->Priority
                                    : reinterpret_cast<JOB_INFO_2W *>(info)->Priority;
        if (document) job.document = document;
        if (priority >= 1 && priority <= 99) job.priority = priority;
    }
    switch (command) {
    case JOB_CONTROL_CANCEL:
    case JOB_CONTROL_DELETE:
        if (h->jobId == jobId) h->cancelled = true;
        if (!CancelJob(job)) {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        return TRUE;
    case JOB_CONTROL_PAUSE:
        job.status |= JOB_STATUS_PAUSED;
        break;
    case JOB_CONTROL_RESUME:
        job.status &= ~JOB_STATUS_PAUSED;
        break;
    case JOB_CONTROL_RESTART:
        job.status &= ~JOB_STATUS_ERROR;
        break;
    }
    if (!SaveJob(job)) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    // Our own save replaces the record; a document open on this handle must not take that for a cancel.
    if (h->jobId == jobId && !h->cancelled) h->recordInode = InodeOf(h->recordPath);
    return TRUE;
}

} // extern "C"
