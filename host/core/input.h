// Files the core reads from outside: only regular files, read in place (a document) or whole under a size limit.
#pragma once
#include "common/handle.h"
#include "host/core/text.h"

#include <cstdint>
#include <string>

namespace zep::host {

// Bytes read in place, at any offset below Size(): what the transcription walks.
class DocumentBytes {
public:
    virtual uint64_t Size() const = 0;
    // Exactly `size` bytes at `offset` (offset + size <= Size()); false when they cannot be had.
    virtual bool Read(uint64_t offset, BYTE *out, size_t size) = 0;

protected:
    ~DocumentBytes() = default;
};

// A regular file open for reading, of the size it had when it was opened. Devices, pipes and folders are refused:
// they could give bytes for ever, or wait for ever.
class InputFile final : public DocumentBytes {
public:
    // False with a message naming `what` and the path.
    bool Open(const WString &path, const std::string &what, std::string &error);
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, BYTE *out, size_t size) override;
    // Why the last Read failed: a read error, or the file became shorter than it was.
    const std::string &Error() const { return error_; }

private:
    File file_;
    std::string name_;  // "the PPD /x/y.ppd", for messages
    uint64_t size_ = 0;
    uint64_t position_ = 0;  // where the handle's file position is
    std::string error_;
};

// The bytes of a string: documents given in memory.
class MemoryBytes final : public DocumentBytes {
public:
    explicit MemoryBytes(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, BYTE *out, size_t size) override;

private:
    std::string_view bytes_;
};

// The whole of a regular file of at most `limit` bytes; false with a message naming `what` and the path.
bool ReadWholeFile(const WString &path, const std::string &what, uint64_t limit, std::string &out,
                   std::string &error);

} // namespace zep::host
