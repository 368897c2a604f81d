// The kernel handle table and the file calls, on host files reached through the virtual drive.
//
// Sharing modes are not enforced: a second open of a file that Windows would refuse with
// ERROR_SHARING_VIOLATION succeeds here, and so does deleting an open file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "kernel/kobject.h"
#include "kernel/unicode.h"
#include "zep_platform.h"

namespace zw {
namespace {

std::mutex g_tableLock;
uintptr_t g_nextHandle = 0x100;

std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> &Table()
{
    static auto *table = new std::unordered_map<HANDLE, std::shared_ptr<KernelObject>>;
    return *table;
}

bool IsFolder(const std::string &hostPath)
{
    struct stat st{};
    return stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentOf(const std::string &hostPath)
{
    size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

struct ErrnoMapping {
    int err;
    DWORD win32;
};
constexpr ErrnoMapping kErrnoTable[] = {
    {ENOTDIR, ERROR_PATH_NOT_FOUND},   {EACCES, ERROR_ACCESS_DENIED},      {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},     {EROFS, ERROR_ACCESS_DENIED},       {EBUSY, ERROR_SHARING_VIOLATION},
    {EEXIST, ERROR_FILE_EXISTS},       {ENOSPC, ERROR_DISK_FULL},          {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_DISK_FULL},          {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EXDEV, ERROR_NOT_SAME_DEVICE},    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},   {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}, {EINVAL, ERROR_INVALID_PARAMETER},
    {EBADF, ERROR_INVALID_HANDLE},     {ELOOP, ERROR_PATH_NOT_FOUND},
};

} // namespace

HANDLE InsertObject(std::shared_ptr<KernelObject> object)
{
    std::lock_guard<std::mutex> lock(g_tableLock);
    // Handles are multiples of 4 as on Windows, and never reused, so a stale handle fails instead of hitting
    // a newer object.
    auto handle = reinterpret_cast<HANDLE>(g_nextHandle);
    g_nextHandle += 4;
    Table().emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<KernelObject> LookupObject(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(g_tableLock);
    auto it = Table().find(handle);
    return it == Table().end() ? nullptr : it->second;
}

bool RemoveObject(HANDLE handle)
{
    std::shared_ptr<KernelObject> doomed; // destroyed outside the lock: closing may take time
    std::lock_guard<std::mutex> lock(g_tableLock);
    auto it = Table().find(handle);
    if (it == Table().end()) return false;
    doomed = std::move(it->second);
    Table().erase(it);
    return true;
}

DWORD ErrorFromErrno(int err, const char *hostPath)
{
    if (err == ENOENT) return hostPath && !IsFolder(ParentOf(hostPath)) ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
    for (const ErrnoMapping &m : kErrnoTable)
        if (m.err == err) return m.win32;
    return ERROR_GEN_FAILURE;
}

} // namespace zw

namespace {

using zw::ErrorFromErrno;

// An open host file and the access its handle was opened with.
class FileObject : public zw::KernelObject {
public:
    FileObject(int fd, bool canRead, bool canWrite) : fd_(fd), canRead_(canRead), canWrite_(canWrite) {}
    ~FileObject() override { close(fd_); }
    int fd() const { return fd_; }

    DWORD Read(void *buffer, DWORD size, DWORD *done) override
    {
        *done = 0;
        if (!canRead_) return ERROR_ACCESS_DENIED;
        while (*done < size) {
            ssize_t n = read(fd_, static_cast<BYTE *>(buffer) + *done, size - *done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return ERROR_READ_FAULT;
            if (n == 0) break; // end of file: success with what was read
            *done += static_cast<DWORD>(n);
        }
        return ERROR_SUCCESS;
    }

    DWORD Write(const void *buffer, DWORD size, DWORD *done) override
    {
        *done = 0;
        if (!canWrite_) return ERROR_ACCESS_DENIED;
        while (*done < size) {
            ssize_t n = write(fd_, static_cast<const BYTE *>(buffer) + *done, size - *done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno == ENOSPC || errno == EDQUOT || errno == EFBIG ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
            *done += static_cast<DWORD>(n);
        }
        return ERROR_SUCCESS;
    }

    DWORD Flush() override
    {
        if (!canWrite_) return ERROR_ACCESS_DENIED;
        return fsync(fd_) == 0 ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
    }

private:
    int fd_;
    bool canRead_;
    bool canWrite_;
};

// The entries a FindFirstFileW pattern matched, handed out one by one.
class FindObject : public zw::KernelObject {
public:
    std::vector<WIN32_FIND_DATAW> entries;
    size_t next = 0;
};

// Host path of a Windows path; false for a null, empty or unmappable one.
bool HostPath(LPCWSTR name, std::string &out)
{
    if (!name || !*name) return false;
    char buffer[4096];
    if (!ZepHostPathFromWindows(name, buffer, sizeof buffer)) return false;
    out = buffer;
    return true;
}

DWORD AttributesOf(const struct stat &st)
{
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    // Windows marks a newly written file for archiving.
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

FILETIME FileTimeOf(const timespec &t)
{
    // 100-ns intervals since 1601-01-01.
    uint64_t ticks = (static_cast<uint64_t>(t.tv_sec) + 11644473600ull) * 10000000ull + static_cast<uint64_t>(t.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

WCHAR FoldCase(WCHAR c) { return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 32) : c; }

// '*' matches any run, '?' any one character; letters match without regard to case.
bool WildcardMatch(const WCHAR *pattern, const WCHAR *name)
{
    if (!*pattern) return !*name;
    if (*pattern == '*') {
        for (const WCHAR *rest = name;; ++rest) {
            if (WildcardMatch(pattern + 1, rest)) return true;
            if (!*rest) return false;
        }
    }
    if (!*name) return false;
    if (*pattern != '?' && FoldCase(*pattern) != FoldCase(*name)) return false;
    return WildcardMatch(pattern + 1, name + 1);
}

std::shared_ptr<FileObject> LookupFile(HANDLE file)
{
    auto object = zw::LookupObjectAs<FileObject>(file);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

bool Fail(DWORD error)
{
    SetLastError(error);
    return false;
}

} // namespace

extern "C" {

// Closes a handle of any kernel object kind; INVALID_HANDLE_VALUE is the current-process pseudo handle, whose
// closing succeeds and does nothing.
BOOL WINAPI CloseHandle(HANDLE h)
{
    if (h == INVALID_HANDLE_VALUE) return TRUE;
    if (!zw::RemoveObject(h)) return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
}

// Opens or creates a file; both truncating dispositions empty it whatever the access. On success the last error is ERROR_ALREADY_EXISTS when CREATE_ALWAYS or OPEN_ALWAYS
// found the file, else 0. A folder cannot be opened as a file (ERROR_ACCESS_DENIED).
HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                          DWORD flags, HANDLE templ)
{
    std::string host;
    if (!HostPath(name, host)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    bool canRead = access & GENERIC_READ;
    bool canWrite = access & GENERIC_WRITE;
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // CREATE_ALWAYS and TRUNCATE_EXISTING empty the file even for a handle that may not write to it.
    bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    int mode = canWrite || truncates ? (canRead || !canWrite ? O_RDWR : O_WRONLY) : O_RDONLY;
    mode |= O_CLOEXEC;
    mode_t permissions = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    bool existed = false;
    int fd = -1;
    switch (disposition) {
    case CREATE_NEW:
        fd = open(host.c_str(), mode | O_CREAT | O_EXCL, permissions);
        break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        // Creating exclusively first tells whether the file was already there.
        fd = open(host.c_str(), mode | O_CREAT | O_EXCL, permissions);
        if (fd < 0 && errno == EEXIST) {
            existed = true;
            fd = open(host.c_str(), mode | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
        }
        break;
    case OPEN_EXISTING:
        // Opening a FIFO would wait for a writer; Windows has none, and a caller must get its handle back at once.
        fd = open(host.c_str(), mode | O_NONBLOCK);
        if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        break;
    case TRUNCATE_EXISTING:
        fd = open(host.c_str(), mode | O_TRUNC);
        break;
    }
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno, host.c_str()));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = zw::InsertObject(std::make_shared<FileObject>(fd, canRead, canWrite));
    SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS : 0);
    return handle;
}

// The ANSI form converts the name from the system code page and opens it as CreateFileW does.
HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                          DWORD flags, HANDLE templ)
{
    if (!name) return CreateFileW(nullptr, access, share, sa, disposition, flags, templ);
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (n <= 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string wide(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), n);
    return CreateFileW(wide.c_str(), access, share, sa, disposition, flags, templ);
}

// Reads up to `toRead` bytes; at end of file it succeeds with 0 bytes read. The position in OVERLAPPED is not
// used: every handle reads at its own file position.
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED ov)
{
    if (read) *read = 0;
    auto object = zw::LookupObject(file);
    if (!object) return Fail(ERROR_INVALID_HANDLE);
    if (!buffer && toRead) return Fail(ERROR_NOACCESS);
    DWORD done = 0;
    DWORD error = object->Read(buffer, toRead, &done);
    if (read) *read = done;
    return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

// Writes all `toWrite` bytes unless the disk fills up; `written` tells how many went out.
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED ov)
{
    if (written) *written = 0;
    auto object = zw::LookupObject(file);
    if (!object) return Fail(ERROR_INVALID_HANDLE);
    if (!buffer && toWrite) return Fail(ERROR_NOACCESS);
    DWORD done = 0;
    DWORD error = object->Write(buffer, toWrite, &done);
    if (written) *written = done;
    return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

// The low 32 bits of the size, the high ones in `*high`; INVALID_FILE_SIZE with the error on failure.
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD high)
{
    auto object = LookupFile(file);
    struct stat st{};
    if (!object) return INVALID_FILE_SIZE;
    if (fstat(object->fd(), &st) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (high) *high = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

// FILE_TYPE_DISK for a file, FILE_TYPE_CHAR for a character device, FILE_TYPE_PIPE for a pipe or socket;
// FILE_TYPE_UNKNOWN otherwise: with ERROR_INVALID_HANDLE for a handle that is not a file, else with NO_ERROR.
DWORD WINAPI GetFileType(HANDLE file)
{
    auto object = LookupFile(file);
    if (!object) return FILE_TYPE_UNKNOWN;
    struct stat st{};
    if (fstat(object->fd(), &st) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(st.st_mode)) return FILE_TYPE_DISK;
    if (S_ISCHR(st.st_mode)) return FILE_TYPE_CHAR;
    if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return FILE_TYPE_PIPE;
    SetLastError(NO_ERROR);
    return FILE_TYPE_UNKNOWN;
}

// Moves the file position; with `high` the distance is 64-bit and `*high` receives the new position's high
// part. Before the start: ERROR_NEGATIVE_SEEK. A result that equals INVALID_SET_FILE_POINTER but is a valid
// position clears the last error, so callers can tell it from a failure.
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG high, DWORD method)
{
    auto object = LookupFile(file);
    if (!object) return INVALID_SET_FILE_POINTER;
    int64_t move = high ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<DWORD>(*high)) << 32) |
                                               static_cast<DWORD>(distance))
                        : static_cast<int64_t>(distance);
    int64_t from = 0;
    if (method == FILE_CURRENT) {
        from = lseek(object->fd(), 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat st{};
        from = fstat(object->fd(), &st) == 0 ? st.st_size : -1;
    } else if (method != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (from < 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = from + move;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(object->fd(), target, SEEK_SET) < 0) {
        SetLastError(ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (high) *high = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    if (static_cast<DWORD>(target) == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
    return static_cast<DWORD>(target);
}

// Commits written data to the disk; a handle without write access gets ERROR_ACCESS_DENIED.
BOOL WINAPI FlushFileBuffers(HANDLE file)
{
    auto object = zw::LookupObject(file);
    if (!object) return Fail(ERROR_INVALID_HANDLE);
    DWORD error = object->Flush();
    return error == ERROR_SUCCESS ? TRUE : Fail(error);
}

// Deletes a file; a folder gives ERROR_ACCESS_DENIED.
BOOL WINAPI DeleteFileW(LPCWSTR name)
{
    std::string host;
    if (!HostPath(name, host)) return Fail(ERROR_PATH_NOT_FOUND);
    struct stat st{};
    if (lstat(host.c_str(), &st) != 0) return Fail(ErrorFromErrno(errno, host.c_str()));
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (unlink(host.c_str()) != 0) return Fail(ErrorFromErrno(errno, host.c_str()));
    return TRUE;
}

// Copies contents and modification time. With `failIfExists` an existing target gives ERROR_FILE_EXISTS;
// copying a file onto itself fails (ERROR_SHARING_VIOLATION) and leaves it intact.
BOOL WINAPI CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists)
{
    std::string src, dst;
    if (!HostPath(from, src) || !HostPath(to, dst)) return Fail(ERROR_PATH_NOT_FOUND);
    int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Fail(ErrorFromErrno(errno, src.c_str()));
    struct stat srcStat{};
    if (fstat(in, &srcStat) != 0 || S_ISDIR(srcStat.st_mode)) {
        close(in);
        return Fail(ERROR_ACCESS_DENIED);
    }
    struct stat dstStat{};
    if (stat(dst.c_str(), &dstStat) == 0) {
        DWORD error = 0;
        if (dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino)
            error = ERROR_SHARING_VIOLATION;
        else if (failIfExists)
            error = ERROR_FILE_EXISTS;
        else if (S_ISDIR(dstStat.st_mode))
            error = ERROR_ACCESS_DENIED;
        if (error) {
            close(in);
            return Fail(error);
        }
    }
    int out = open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (failIfExists ? O_EXCL : 0),
                   srcStat.st_mode & 0777);
    if (out < 0) {
        DWORD error = ErrorFromErrno(errno, dst.c_str());
        close(in);
        return Fail(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
    }
    DWORD error = ERROR_SUCCESS;
    std::vector<char> chunk(1 << 16);
    for (;;) {
        ssize_t n = read(in, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = ERROR_READ_FAULT;
            break;
        }
        if (n == 0) break;
        for (ssize_t put = 0; put < n;) {
            ssize_t w = write(out, chunk.data() + put, static_cast<size_t>(n - put));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) {
                error = errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
                break;
            }
            put += w;
        }
        if (error) break;
    }
    if (!error) {
        timespec times[2] = {srcStat.st_atim, srcStat.st_mtim};
        futimens(out, times);
    }
    close(in);
    if (close(out) != 0 && !error) error = ERROR_WRITE_FAULT;
    if (error) {
        unlink(dst.c_str()); // no half-copied target is left behind
        return Fail(error);
    }
    return TRUE;
}

// Renames a file or folder. An existing target needs MOVEFILE_REPLACE_EXISTING (else ERROR_ALREADY_EXISTS) and
// cannot be a folder; a rename that only changes letter case is allowed. Moves scheduled for a reboot (no
// target) are not supported.
BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    std::string src, dst;
    if (!to) return Fail(ERROR_INVALID_PARAMETER);
    if (!HostPath(from, src) || !HostPath(to, dst)) return Fail(ERROR_PATH_NOT_FOUND);
    struct stat srcStat{};
    if (lstat(src.c_str(), &srcStat) != 0) return Fail(ErrorFromErrno(errno, src.c_str()));
    struct stat dstStat{};
    if (lstat(dst.c_str(), &dstStat) == 0) {
        if (dstStat.st_dev == srcStat.st_dev && dstStat.st_ino == srcStat.st_ino) {
            // The same file under another case: rename it to the letters asked for.
            std::u16string wide(to);
            size_t cut = wide.find_last_of(u"\\/");
            std::string leaf = zw::Utf8FromWide(wide.c_str() + (cut == std::u16string::npos ? 0 : cut + 1));
            if (leaf.empty()) return TRUE;
            dst = zw::ParentOf(dst) + "/" + leaf;
        } else {
            if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
            if (S_ISDIR(dstStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
        }
    }
    if (rename(src.c_str(), dst.c_str()) != 0) {
        DWORD error = ErrorFromErrno(errno, dst.c_str());
        return Fail(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
    }
    return TRUE;
}

// Creates one folder; an existing name gives ERROR_ALREADY_EXISTS, a missing parent ERROR_PATH_NOT_FOUND.
BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES sa)
{
    std::string host;
    if (!HostPath(name, host)) return Fail(ERROR_PATH_NOT_FOUND);
    if (mkdir(host.c_str(), 0777) == 0) return TRUE;
    if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno, host.c_str()));
}

// Removes an empty folder: ERROR_DIR_NOT_EMPTY when it is not, ERROR_DIRECTORY when it is a file.
BOOL WINAPI RemoveDirectoryW(LPCWSTR name)
{
    std::string host;
    if (!HostPath(name, host)) return Fail(ERROR_PATH_NOT_FOUND);
    if (rmdir(host.c_str()) == 0) return TRUE;
    if (errno == ENOTDIR) {
        struct stat st{};
        if (stat(host.c_str(), &st) == 0) return Fail(ERROR_DIRECTORY);
    }
    if (errno == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY);
    return Fail(ErrorFromErrno(errno, host.c_str()));
}

// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_ARCHIVE (and READONLY) for a file;
// INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when there is nothing.
DWORD WINAPI GetFileAttributesW(LPCWSTR name)
{
    std::string host;
    if (!HostPath(name, host)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat st{};
    if (stat(host.c_str(), &st) != 0) {
        SetLastError(ErrorFromErrno(errno, host.c_str()));
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(st);
}

// The temporary folder C:\WINDOWS\TEMP\ of the virtual drive, created on first use. Returns the length without
// the terminator, or, when `size` is too small, the size needed with it and the buffer untouched.
DWORD WINAPI GetTempPathW(DWORD size, LPWSTR out)
{
    static const WCHAR kTemp[] = u"C:\\WINDOWS\\TEMP\\";
    constexpr DWORD kLength = sizeof kTemp / sizeof kTemp[0] - 1;
    std::string host;
    if (HostPath(kTemp, host)) {
        // The drive folder itself may not exist yet on a fresh root.
        for (size_t slash = host.find('/', 1); slash != std::string::npos; slash = host.find('/', slash + 1))
            mkdir(host.substr(0, slash).c_str(), 0777);
        mkdir(host.c_str(), 0777);
    }
    if (!out || size <= kLength) return kLength + 1;
    std::memcpy(out, kTemp, sizeof kTemp);
    return kLength;
}

namespace {
// Copies a fixed system folder name: the length without the terminator, or, when `size` is too small, the size
// needed with it and the buffer untouched (GetWindowsDirectoryW / GetSystemDirectoryW).
UINT CopyFolderName(const WCHAR *folder, UINT length, LPWSTR out, UINT size)
{
    if (!out || size <= length) return length + 1;
    std::memcpy(out, folder, (length + 1) * sizeof(WCHAR));
    return length;
}
} // namespace

// The Windows folder of the virtual drive, C:\WINDOWS, without a trailing backslash.
UINT WINAPI GetWindowsDirectoryW(LPWSTR out, UINT size)
{
    static const WCHAR kFolder[] = u"C:\\WINDOWS";
    return CopyFolderName(kFolder, sizeof kFolder / sizeof kFolder[0] - 1, out, size);
}

// The system folder of the virtual drive, C:\WINDOWS\System32, without a trailing backslash.
UINT WINAPI GetSystemDirectoryW(LPWSTR out, UINT size)
{
    static const WCHAR kFolder[] = u"C:\\WINDOWS\\System32";
    return CopyFolderName(kFolder, sizeof kFolder / sizeof kFolder[0] - 1, out, size);
}

// Lists the entries of one folder whose names match the pattern's last component ('*', '?', case-insensitive;
// "*.*" matches every name). No match: ERROR_FILE_NOT_FOUND; a missing folder: ERROR_PATH_NOT_FOUND.
HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data)
{
    if (!pattern || !*pattern || !data) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string full(pattern);
    size_t cut = full.find_last_of(u"\\/");
    const bool hasFolder = cut != std::u16string::npos;
    std::u16string folder = hasFolder ? std::u16string(full.c_str(), cut + 1) : std::u16string(u".");
    std::u16string leaf(hasFolder ? full.c_str() + cut + 1 : full.c_str());
    if (leaf == u"*.*") leaf.resize(1); // "*.*" means every name, as "*" does
    if (leaf.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string host;
    if (!HostPath(folder.c_str(), host)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    DIR *dir = opendir(host.c_str());
    if (!dir) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    auto found = std::make_shared<FindObject>();
    while (dirent *e = readdir(dir)) {
        std::u16string name = zw::WideFromUtf8(e->d_name);
        if (name.size() >= MAX_PATH || !WildcardMatch(leaf.c_str(), name.c_str())) continue;
        struct stat st{};
        if (stat((host + "/" + e->d_name).c_str(), &st) != 0) continue;
        WIN32_FIND_DATAW entry{};
        entry.dwFileAttributes = AttributesOf(st);
        entry.ftCreationTime = FileTimeOf(st.st_ctim);
        entry.ftLastAccessTime = FileTimeOf(st.st_atim);
        entry.ftLastWriteTime = FileTimeOf(st.st_mtim);
        if (!S_ISDIR(st.st_mode)) {
            entry.nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(st.st_size) >> 32);
            entry.nFileSizeLow = static_cast<DWORD>(st.st_size);
        }
        std::memcpy(entry.cFileName, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
        found->entries.push_back(entry);
    }
    closedir(dir);
    if (found->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *data = found->entries[0];
    found->next = 1;
    return zw::InsertObject(found);
}

// The next match; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL WINAPI FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data)
{
    auto object = zw::LookupObjectAs<FindObject>(find);
    if (!object || !data) return Fail(ERROR_INVALID_HANDLE);
    if (object->next >= object->entries.size()) return Fail(ERROR_NO_MORE_FILES);
    *data = object->entries[object->next++];
    return TRUE;
}

// Closes a search handle; any other handle is refused.
BOOL WINAPI FindClose(HANDLE find)
{
    if (!zw::LookupObjectAs<FindObject>(find)) return Fail(ERROR_INVALID_HANDLE);
    zw::RemoveObject(find);
    return TRUE;
}
}
