// Regular files read in place or whole.
#include "host/core/input.h"

#include <algorithm>
#include <cstring>

namespace zep::host {

bool InputFile::Open(const WString &path, const std::string &what, std::string &error)
{
    name_ = what + " " + Narrow(path);
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        error = "cannot read " + name_ + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (GetFileType(file_.get()) != FILE_TYPE_DISK) {
        file_.reset();
        error = name_ + " is not a regular file";
        return false;
    }
    DWORD high = 0;
    DWORD low = GetFileSize(file_.get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        error = "cannot read " + name_ + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    size_ = (uint64_t{high} << 32) | low;
    position_ = 0;
    return true;
}

bool InputFile::Read(uint64_t offset, BYTE *out, size_t size)
{
    if (offset > size_ || size > size_ - offset) {
        error_ = "a read past the end of " + name_;
        return false;
    }
    if (offset != position_) {
        LONG high = static_cast<LONG>(offset >> 32);
        SetLastError(NO_ERROR);
        DWORD low = SetFilePointer(file_.get(), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
            error_ = "cannot read " + name_ + " (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        position_ = offset;
    }
    while (size > 0) {
        DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file_.get(), out, want, &got, nullptr)) {
            error_ = "cannot read " + name_ + " (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        position_ += got;
        if (got == 0) {
            error_ = name_ + " became shorter while it was read";
            return false;
        }
        out += got;
        size -= got;
    }
    return true;
}

bool MemoryBytes::Read(uint64_t offset, BYTE *out, size_t size)
{
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    std::memcpy(out, bytes_.data() + offset, size);
    return true;
}

bool ReadWholeFile(const WString &path, const std::string &what, uint64_t limit, std::string &out,
                   std::string &error)
{
    out.clear();
    InputFile file;
    if (!file.Open(path, what, error)) return false;
    if (file.Size() > limit) {
        error = what + " " + Narrow(path) + " is larger than " + std::to_string(limit) + " bytes";
        return false;
    }
    out.resize(static_cast<size_t>(file.Size()));
    if (!file.Read(0, reinterpret_cast<BYTE *>(out.data()), out.size())) {
        error = file.Error();
        out.clear();
        return false;
    }
    return true;
}

} // namespace zep::host
