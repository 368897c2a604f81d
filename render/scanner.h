// What the encrypting gate looks for in a "Secure_Chip" job: the collector of its first blocks, which captures the
// identifying header lines, and the end check, which spots the end of the job across block boundaries.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/win32.h"

namespace zep {

// A byte pattern searched with Boyer-Moore-Horspool: a 256-entry table gives, for the byte under the pattern's end,
// how far the pattern may move on (m for bytes it lacks, m - 1 - j for its byte j < m - 1). The standard library's
// searcher does exactly this, at about 3 ns a byte; here the skip between alignments runs on memchr for the pattern's
// first byte ('@' and '%' are rare in print data), so that the end check crosses a block at memory speed. The answer
// is the same: the first occurrence.
class BytePattern {
public:
    template <size_t N>
    explicit BytePattern(const char (&text)[N]) : BytePattern(text, N - 1)
    {
    }
    BytePattern(const char *text, size_t size);

    static constexpr size_t npos = static_cast<size_t>(-1);
    // Offset of the first occurrence in data, or npos.
    size_t Find(const BYTE *data, size_t size) const;
    size_t Size() const { return size_; }

private:
    const BYTE *text_;
    size_t size_;
    size_t shift_[256];
};

inline constexpr size_t kCollectLimit = 32767; // collecting stops once more than this has arrived
inline constexpr size_t kLineSlotBytes = 256;  // a captured line: at most 255 bytes and a NUL
inline constexpr size_t kCaptureCount = 6;

enum class CollectState : DWORD { Collecting = 1, AuxLinesFound = 4, WithoutAuxLines = 8 };

// Capture flags, one per pattern, in search order.
enum : DWORD {
    kCaptureJobName = 0x01,
    kCaptureComputerName = 0x02,
    kCaptureUserName = 0x04,
    kCaptureReceptionTime = 0x08,
    kCaptureDeviceName = 0x10,
    kCaptureVersion = 0x20,
};

// The job's first blocks, until the PJL header with its auxiliary job information lines has passed.
class SecureJobScanner {
public:
    // keepingTime: OemDevmode.dwCryptoTime, hours in the high word, minutes in the low.
    explicit SecureJobScanner(DWORD keepingTime) : keepingTime_(keepingTime) {}

    // Appends a block and looks again for the patterns still wanted; cardPresent is asked only while the Device
    // Name and Version lines are wanted. May throw std::bad_alloc.
    void Feed(const BYTE *data, size_t size, const std::function<bool()> &cardPresent);

    CollectState State() const { return state_; }
    DWORD Found() const { return found_; }
    const std::vector<BYTE> &Collected() const { return collected_; }
    // The captured line of a flag ("" when not captured).
    const CHAR *Line(DWORD flag) const;

    // The header repeated in clear before the encrypted data (state 4), with the card's lines when one is used.
    std::string ClearHeader(bool cardPresent) const;

private:
    std::vector<BYTE> collected_;
    DWORD keepingTime_;
    CollectState state_ = CollectState::Collecting;
    DWORD found_ = 0;
    CHAR lines_[kCaptureCount][kLineSlotBytes] = {};
    DWORD lengths_[kCaptureCount] = {};
};

inline constexpr size_t kEndTailBytes = 256;

// The end check: the end patterns in each piece of data, and across its start through the last bytes seen before.
class EndMarkerScanner {
public:
    // Forgets everything seen: a job starts with a zero-filled tail.
    void Reset();
    // True when "@PJL EOJ" or "%%%%EOF" occurs in the data or spans from the tail into it. Otherwise the tail
    // becomes the last 256 bytes seen.
    bool Check(const BYTE *data, size_t size);

private:
    BYTE tail_[kEndTailBytes] = {};
};

} // namespace zep
