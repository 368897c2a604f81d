// Stored spooler state: the record file format, all-or-nothing writes, the state lock and the handle table.
#include "spooler/spooler_state.h"

#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>

#include "zep_platform.h"

namespace zw::spl {

namespace {

bool NeedsEscape(unsigned char c, bool key) { return c < 0x20 || c == '%' || c == 0x7F || (key && c == '='); }

std::string Escape(const std::string &s, bool key)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (NeedsEscape(c, key)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Unescape(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

const Bytes *Record::Find(const std::string &key) const
{
    for (const auto &f : fields)
        if (f.first == key) return &f.second;
    return nullptr;
}

Bytes Record::Get(const std::string &key) const
{
    const Bytes *v = Find(key);
    return v ? *v : Bytes();
}

DWORD Record::Number(const std::string &key, DWORD fallback) const
{
    const Bytes *v = Find(key);
    if (!v || v->empty()) return fallback;
    return static_cast<DWORD>(std::strtoul(v->c_str(), nullptr, 10));
}

// One "key=value" line per field, escaped so that any byte survives; a blank line ends a record.
std::vector<Record> ParseRecords(const std::string &text)
{
    std::vector<Record> records;
    Record current;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) {
            if (!current.fields.empty()) records.push_back(std::move(current));
            current = Record();
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        current.Add(Unescape(line.substr(0, eq)), Unescape(line.substr(eq + 1)));
    }
    if (!current.fields.empty()) records.push_back(std::move(current));
    return records;
}

std::string FormatRecords(const std::vector<Record> &records)
{
    std::string out;
    for (const auto &r : records) {
        for (const auto &f : r.fields) out += Escape(f.first, true) + "=" + Escape(f.second, false) + "\n";
        out += "\n";
    }
    return out;
}

DWORD ErrorFromErrno(int error)
{
    static const struct {
        int error;
        DWORD code;
    } table[] = {
        {ENOENT, ERROR_PATH_NOT_FOUND}, {ENOTDIR, ERROR_PATH_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED},
        {EPERM, ERROR_ACCESS_DENIED},   {EROFS, ERROR_ACCESS_DENIED},    {EISDIR, ERROR_ACCESS_DENIED},
        {ENOSPC, 112 /* ERROR_DISK_FULL */}, {EDQUOT, 112},              {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
        {ENAMETOOLONG, 206 /* ERROR_FILENAME_EXCED_RANGE */},
    };
    for (const auto &row : table)
        if (row.error == error) return row.code;
    return ERROR_WRITE_FAULT;
}

std::string StatePath(const char *name)
{
    std::string dir = std::string(ZepGetRoot()) + "/spooler";
    MakeDirs(dir);
    return name && *name ? dir + "/" + name : dir;
}

bool MakeDirs(const std::string &path)
{
    if (path.empty()) return false;
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(const std::string &path, std::string &out)
{
    out.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
    int saved = errno;
    close(fd);
    errno = saved;
    return n == 0;
}

std::string TempPathFor(const std::string &path)
{
    return path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(gettid());
}

// Writes a temporary file beside `path` and renames it over `path`, so readers see the old or the new file.
bool WriteFileAtomic(const std::string &path, const std::string &data)
{
    std::string temp = TempPathFor(path);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        done += static_cast<size_t>(n);
    }
    int saved = errno;
    bool ok = done == data.size() && fsync(fd) == 0;
    if (!ok && done == data.size()) saved = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        errno = saved;
    }
    return ok;
}

bool CopyFileAtomic(const std::string &from, const std::string &to, const std::string &temp)
{
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        int saved = errno;
        close(in);
        errno = saved;
        return false;
    }
    bool ok = true;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t n = read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            ssize_t w = write(out, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) ok = false;
            else done += w;
        }
        if (!ok) break;
    }
    int saved = errno;
    if (ok && fsync(out) != 0) ok = false, saved = errno;
    if (close(out) != 0 && ok) ok = false, saved = errno;
    close(in);
    if (ok && rename(temp.c_str(), to.c_str()) != 0) ok = false, saved = errno;
    if (!ok) {
        unlink(temp.c_str());
        errno = saved;
    }
    return ok;
}

std::string HostPath(const std::u16string &windowsPath)
{
    std::vector<char> buffer(8192);
    if (!ZepHostPathFromWindows(windowsPath.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()))) return {};
    return buffer.data();
}

StateLock::StateLock(bool exclusive)
{
    fd_ = open(StatePath("lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        while (flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
        }
    }
}

StateLock::~StateLock()
{
    if (fd_ >= 0) close(fd_); // closing the descriptor releases the lock
}

std::u16string Fold(const std::u16string &s)
{
    std::u16string out = s;
    for (auto &c : out) {
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c = static_cast<char16_t>(c - 0x20);
    }
    return out;
}

bool SameName(const std::u16string &a, const std::u16string &b) { return Fold(a) == Fold(b); }

std::u16string Wide(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

// ---- printers ----

namespace {

const struct {
    const char *key;
    std::u16string Printer::*field;
} kPrinterText[] = {
    {"name", &Printer::name},         {"share", &Printer::share},
    {"port", &Printer::port},         {"driver", &Printer::driver},
    {"comment", &Printer::comment},   {"location", &Printer::location},
    {"sepfile", &Printer::sepFile},   {"printprocessor", &Printer::printProcessor},
    {"datatype", &Printer::datatype}, {"parameters", &Printer::parameters},
};
const struct {
    const char *key;
    DWORD Printer::*field;
} kPrinterNumbers[] = {
    {"attributes", &Printer::attributes}, {"priority", &Printer::priority},
    {"defaultpriority", &Printer::defaultPriority}, {"starttime", &Printer::startTime},
    {"untiltime", &Printer::untilTime},
};

// Printer data values are stored as "data.<type>.<name>" fields of the printer's record.
constexpr char kDataPrefix[] = "data.";

} // namespace

std::vector<Printer> LoadPrinters()
{
    std::vector<Printer> printers;
    std::string text;
    if (!ReadWholeFile(StatePath("printers"), text)) return printers;
    for (const auto &r : ParseRecords(text)) {
        Printer p;
        for (const auto &t : kPrinterText) p.*(t.field) = r.Text(t.key);
        for (const auto &n : kPrinterNumbers) p.*(n.field) = r.Number(n.key);
        p.devmode = r.Get("devmode");
        for (const auto &f : r.fields) {
            if (f.first.rfind(kDataPrefix, 0) != 0) continue;
            std::string rest = f.first.substr(sizeof kDataPrefix - 1);
            size_t dot = rest.find('.');
            if (dot == std::string::npos) continue;
            PrinterValue v;
            v.type = static_cast<DWORD>(std::strtoul(rest.substr(0, dot).c_str(), nullptr, 10));
            v.name = WideFromUtf8(rest.substr(dot + 1));
            v.data = f.second;
            p.data.push_back(std::move(v));
        }
        if (!p.name.empty()) printers.push_back(std::move(p));
    }
    return printers;
}

bool SavePrinters(const std::vector<Printer> &printers)
{
    std::vector<Record> records;
    for (const auto &p : printers) {
        Record r;
        for (const auto &t : kPrinterText) r.AddText(t.key, p.*(t.field));
        for (const auto &n : kPrinterNumbers) r.AddNumber(n.key, p.*(n.field));
        if (!p.devmode.empty()) r.Add("devmode", p.devmode);
        for (const auto &v : p.data)
            r.Add(kDataPrefix + std::to_string(v.type) + "." + Utf8FromWide(v.name.c_str()), v.data);
        records.push_back(std::move(r));
    }
    return WriteFileAtomic(StatePath("printers"), FormatRecords(records));
}

Printer *FindPrinter(std::vector<Printer> &printers, const std::u16string &name)
{
    for (auto &p : printers)
        if (SameName(p.name, name)) return &p;
    return nullptr;
}

// ---- environments and drivers ----

namespace {

const Environment kEnvironments[] = {
    {u"Windows x64", u"x64"},
    {u"Windows NT x86", u"W32X86"},
    {u"Windows ARM64", u"ARM64"},
    {u"Windows IA64", u"IA64"},
    {u"Windows 4.0", u"WIN40"},
};

} // namespace

const Environment *FindEnvironment(LPCWSTR env)
{
    if (!env || !*env) return &kEnvironments[0];
    for (const auto &e : kEnvironments)
        if (SameName(e.name, env)) return &e;
    return nullptr;
}

std::u16string DriverDirectory(const Environment &env)
{
    return std::u16string(u"C:\\WINDOWS\\System32\\spool\\DRIVERS\\") + env.folder;
}

std::vector<Driver> LoadDrivers()
{
    std::vector<Driver> drivers;
    std::string text;
    if (!ReadWholeFile(StatePath("drivers"), text)) return drivers;
    for (const auto &r : ParseRecords(text)) {
        Driver d;
        d.version = r.Number("version", 3);
        d.name = r.Text("name");
        d.environment = r.Text("environment");
        d.driverPath = r.Text("driverpath");
        d.dataFile = r.Text("datafile");
        d.configFile = r.Text("configfile");
        d.helpFile = r.Text("helpfile");
        d.monitor = r.Text("monitor");
        d.defaultDatatype = r.Text("defaultdatatype");
        for (const auto &f : r.fields)
            if (f.first == "dependent") d.dependentFiles.push_back(WideFromUtf8(f.second));
        if (!d.name.empty()) drivers.push_back(std::move(d));
    }
    return drivers;
}

bool SaveDrivers(const std::vector<Driver> &drivers)
{
    std::vector<Record> records;
    for (const auto &d : drivers) {
        Record r;
        r.AddNumber("version", d.version);
        r.AddText("name", d.name);
        r.AddText("environment", d.environment);
        r.AddText("driverpath", d.driverPath);
        r.AddText("datafile", d.dataFile);
        r.AddText("configfile", d.configFile);
        r.AddText("helpfile", d.helpFile);
        r.AddText("monitor", d.monitor);
        r.AddText("defaultdatatype", d.defaultDatatype);
        for (const auto &f : d.dependentFiles) r.AddText("dependent", f);
        records.push_back(std::move(r));
    }
    return WriteFileAtomic(StatePath("drivers"), FormatRecords(records));
}

const Driver *FindDriver(const std::vector<Driver> &drivers, const std::u16string &name, const std::u16string &env)
{
    for (const auto &d : drivers)
        if (SameName(d.name, name) && SameName(d.environment, env)) return &d;
    return nullptr;
}

// ---- jobs ----

std::string JobRecordPath(DWORD id)
{
    std::string dir = StatePath("jobs");
    MakeDirs(dir);
    return dir + "/" + std::to_string(id);
}

bool LoadJob(DWORD id, Job &job)
{
    std::string text;
    if (id == 0 || !ReadWholeFile(JobRecordPath(id), text)) return false;
    auto records = ParseRecords(text);
    if (records.empty()) return false;
    const Record &r = records[0];
    job = Job();
    job.id = id;
    job.printer = r.Text("printer");
    job.document = r.Text("document");
    job.outputFile = r.Text("outputfile");
    job.datatype = r.Text("datatype");
    job.user = r.Text("user");
    job.machine = r.Text("machine");
    job.driver = r.Text("driver");
    job.devmode = r.Get("devmode");
    job.status = r.Number("status");
    job.priority = r.Number("priority", 1);
    job.pages = r.Number("pages");
    job.size = r.Number("size");
    Bytes t = r.Get("submitted");
    if (t.size() == sizeof job.submitted) std::memcpy(&job.submitted, t.data(), t.size());
    job.owner = r.Get("owner");
    job.delivery = r.Get("delivery");
    return true;
}

bool SaveJob(const Job &job)
{
    Record r;
    r.AddText("printer", job.printer);
    r.AddText("document", job.document);
    r.AddText("outputfile", job.outputFile);
    r.AddText("datatype", job.datatype);
    r.AddText("user", job.user);
    r.AddText("machine", job.machine);
    r.AddText("driver", job.driver);
    if (!job.devmode.empty()) r.Add("devmode", job.devmode);
    r.AddNumber("status", job.status);
    r.AddNumber("priority", job.priority);
    r.AddNumber("pages", job.pages);
    r.AddNumber("size", job.size);
    r.Add("submitted", Bytes(reinterpret_cast<const char *>(&job.submitted), sizeof job.submitted));
    if (!job.owner.empty()) r.Add("owner", job.owner);
    if (!job.delivery.empty()) r.Add("delivery", job.delivery);
    return WriteFileAtomic(JobRecordPath(job.id), FormatRecords({r}));
}

std::vector<Job> LoadJobs()
{
    std::vector<Job> jobs;
    std::set<DWORD> ids;
    std::string dir = StatePath("jobs");
    MakeDirs(dir);
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d)) {
            char *end = nullptr;
            unsigned long id = std::strtoul(e->d_name, &end, 10);
            if (end && *end == '\0' && id > 0) ids.insert(static_cast<DWORD>(id));
        }
        closedir(d);
    }
    for (DWORD id : ids) {
        Job job;
        if (LoadJob(id, job)) jobs.push_back(std::move(job));
    }
    return jobs;
}

// Job ids run from 1 to 99999 (the spool file names have five digits) and skip ids still in use.
DWORD AllocateJobId()
{
    std::string path = StatePath("nextjob");
    std::string text;
    DWORD next = 1;
    if (ReadWholeFile(path, text)) next = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
    for (int tries = 0; tries < 99999; ++tries) {
        if (next == 0 || next > 99999) next = 1;
        DWORD id = next++;
        if (access(JobRecordPath(id).c_str(), F_OK) == 0) continue;
        if (!WriteFileAtomic(path, std::to_string(next))) return 0;
        return id;
    }
    errno = ENOSPC;
    return 0;
}

std::u16string SpoolFilePath(DWORD id)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05u", id);
    return u"C:\\WINDOWS\\System32\\spool\\PRINTERS\\" + WideFromUtf8(digits) + u".SPL";
}

void RemoveJobFiles(DWORD id)
{
    std::string spool = HostPath(SpoolFilePath(id));
    if (!spool.empty()) unlink(spool.c_str());
    unlink(JobRecordPath(id).c_str());
}

std::string ProcessTag(pid_t pid)
{
    if (pid == 0) pid = getpid();
    std::string stat;
    if (!ReadWholeFile("/proc/" + std::to_string(pid) + "/stat", stat)) {
        // Without /proc only the pid can tell.
        return kill(pid, 0) == 0 || errno == EPERM ? std::to_string(pid) + ":" : std::string();
    }
    // The start time is the 22nd field; the name in parentheses (the 2nd) may hold blanks and parentheses.
    size_t at = stat.rfind(')');
    if (at == std::string::npos) return {};
    for (int field = 2; field < 22 && at != std::string::npos; ++field) at = stat.find(' ', at + 1);
    if (at == std::string::npos) return {};
    return std::to_string(pid) + ":" + stat.substr(at + 1, stat.find(' ', at + 1) - at - 1);
}

namespace {

// Whether the process a tag names still runs; a tag without a start time (no /proc) goes by the pid alone.
bool Alive(const std::string &tag)
{
    char *end = nullptr;
    long pid = std::strtol(tag.c_str(), &end, 10);
    if (pid <= 0 || !end || *end != ':') return false;
    std::string now = ProcessTag(static_cast<pid_t>(pid));
    if (now.empty()) return false;
    return end[1] == '\0' || now.back() == ':' || now == tag;
}

// The pid of a temporary written by TempPathFor ("<name>.tmp.<pid>.<tid>"), or 0 for any other name.
pid_t TempOwner(const std::string &name)
{
    size_t tmp = name.rfind(".tmp.");
    if (tmp == std::string::npos) return 0;
    char *end = nullptr;
    long pid = std::strtol(name.c_str() + tmp + 5, &end, 10);
    if (pid <= 0 || *end != '.') return 0;
    std::strtol(end + 1, &end, 10);
    return *end == '\0' ? static_cast<pid_t>(pid) : 0;
}

std::vector<std::string> FolderEntries(const std::string &dir)
{
    std::vector<std::string> names;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

// Removes the temporaries in `dir` whose writer died.
void RemoveDeadTemporaries(const std::string &dir)
{
    for (const std::string &name : FolderEntries(dir))
        if (pid_t pid = TempOwner(name); pid && ProcessTag(pid).empty()) unlink((dir + "/" + name).c_str());
}

} // namespace

void ReclaimOrphans()
{
    static std::mutex mutex;
    static std::string reclaimedRoot;
    std::lock_guard<std::mutex> guard(mutex);
    if (reclaimedRoot == ZepGetRoot()) return;
    reclaimedRoot = ZepGetRoot();

    StateLock lock(true);
    for (const Job &job : LoadJobs()) {
        if (!(job.status & JOB_STATUS_SPOOLING) || Alive(job.owner)) continue;
        // Only a temporary beside the job's target, named as delivery names it, is the job's to remove.
        if (!job.delivery.empty() && TempOwner(job.delivery)) unlink(job.delivery.c_str());
        RemoveJobFiles(job.id);
    }
    // A spool file is created after its job's record and removed before it: one without a record is left over.
    std::string spoolDir = HostPath(SpoolFilePath(1));
    spoolDir = spoolDir.substr(0, spoolDir.rfind('/'));
    for (const std::string &name : FolderEntries(spoolDir)) {
        char *end = nullptr;
        unsigned long id = std::strtoul(name.c_str(), &end, 10);
        if (name.size() == 9 && end == name.c_str() + 5 && std::strcmp(end, ".SPL") == 0 &&
            access(JobRecordPath(static_cast<DWORD>(id)).c_str(), F_OK) != 0)
            unlink((spoolDir + "/" + name).c_str());
    }
    RemoveDeadTemporaries(StatePath(nullptr));
    RemoveDeadTemporaries(StatePath("jobs"));
}

// A DEVMODE's public part must at least reach dmFields; the private part follows it.
bool DevModeBytes(const DEVMODEW *dm, Bytes &out)
{
    if (!dm || dm->dmSize < offsetof(DEVMODEW, dmFields) + sizeof(DWORD)) return false;
    out.assign(reinterpret_cast<const char *>(dm), static_cast<size_t>(dm->dmSize) + dm->dmDriverExtra);
    return true;
}

// ---- handles ----

namespace {
std::set<PrinterHandle *> &Handles()
{
    static std::set<PrinterHandle *> handles;
    return handles;
}
} // namespace

std::recursive_mutex &HandleMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

PrinterHandle *NewHandle()
{
    auto *h = new PrinterHandle();
    Handles().insert(h);
    return h;
}

PrinterHandle *LookupHandle(HANDLE h)
{
    auto *p = static_cast<PrinterHandle *>(h);
    if (!p || !Handles().count(p)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return p;
}

void DropHandle(PrinterHandle *h)
{
    Handles().erase(h);
    delete h;
}

// ---- packing ----

void *Packer::Put(const void *data, size_t bytes, size_t align, bool terminate)
{
    used_ = (used_ + align - 1) / align * align;
    void *at = base_ ? base_ + used_ : nullptr;
    if (at) {
        if (terminate) {
            std::memcpy(at, data, bytes - 2);
            std::memset(static_cast<BYTE *>(at) + bytes - 2, 0, 2);
        } else {
            std::memcpy(at, data, bytes);
        }
    }
    used_ += bytes;
    return at;
}

LPWSTR Packer::MultiString(const std::vector<std::u16string> &list)
{
    if (list.empty()) return nullptr;
    std::u16string joined;
    for (const auto &s : list) {
        joined += s;
        joined += u'\0';
    }
    return String(joined); // String adds the final terminator
}

} // namespace zw::spl
