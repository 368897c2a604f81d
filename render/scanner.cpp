// The collector of a "Secure_Chip" job's first blocks and the end check, both searching raw bytes.
#include "render/scanner.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>

namespace zep {
namespace {

// The patterns exactly as the printer's firmware looks for them.
constexpr char kJobNameText[] = "@PJL JOB NAME";
constexpr char kComputerNameText[] = "@PJL ZEPAUXJOBINFO DATA=\"ComputerName=";
constexpr char kUserNameText[] = "@PJL ZEPAUXJOBINFO DATA=\"UserName=";
constexpr char kReceptionTimeText[] = "@PJL ZEPAUXJOBINFO DATA=\"ReceptionTime=";
constexpr char kDeviceNameText[] = "@PJL COMMENT Device Name";
constexpr char kVersionText[] = "@PJL COMMENT Version";
constexpr char kEnterLanguageText[] = "@PJL ENTER LANGUAGE";
constexpr char kPsAdobeText[] = "%%!PS-Adobe";
constexpr char kEojText[] = "@PJL EOJ";
constexpr char kEofText[] = "%%%%EOF";
static_assert(sizeof kJobNameText - 1 == 13 && sizeof kComputerNameText - 1 == 38 && sizeof kUserNameText - 1 == 34);
static_assert(sizeof kReceptionTimeText - 1 == 39 && sizeof kDeviceNameText - 1 == 24 && sizeof kVersionText - 1 == 20);
static_assert(sizeof kEnterLanguageText - 1 == 19 && sizeof kPsAdobeText - 1 == 11);
static_assert(sizeof kEojText - 1 == 8 && sizeof kEofText - 1 == 7);

struct Capture {
    DWORD flag;
    BytePattern pattern;
    bool cardOnly; // the Device Name and Version lines matter only to IC card jobs
};
// In search order; a line's slot is its row.
const Capture kCaptures[kCaptureCount] = {
    {kCaptureJobName, BytePattern(kJobNameText), false},
    {kCaptureComputerName, BytePattern(kComputerNameText), false},
    {kCaptureUserName, BytePattern(kUserNameText), false},
    {kCaptureReceptionTime, BytePattern(kReceptionTimeText), false},
    {kCaptureDeviceName, BytePattern(kDeviceNameText), true},
    {kCaptureVersion, BytePattern(kVersionText), true},
};
constexpr DWORD kAuxLines = kCaptureComputerName | kCaptureUserName | kCaptureReceptionTime;

const BytePattern kStops[] = {BytePattern(kEnterLanguageText), BytePattern(kPsAdobeText)};
const BytePattern kEnds[] = {BytePattern(kEojText), BytePattern(kEofText)};

size_t SlotOf(DWORD flag)
{
    for (size_t i = 0; i < kCaptureCount; ++i)
        if (kCaptures[i].flag == flag) return i;
    return kCaptureCount;
}

bool AnyEnd(const BYTE *data, size_t size)
{
    return std::any_of(std::begin(kEnds), std::end(kEnds),
                       [&](const BytePattern &p) { return p.Find(data, size) != BytePattern::npos; });
}

std::string TwoDigits(DWORD value)
{
    char digits[8];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string text(digits, end);
    return text.size() < 2 ? "0" + text : text;
}

} // namespace

BytePattern::BytePattern(const char *text, size_t size) : text_(reinterpret_cast<const BYTE *>(text)), size_(size)
{
    for (size_t &s : shift_) s = size_;
    for (size_t j = 0; j + 1 < size_; ++j) shift_[text_[j]] = size_ - 1 - j;
}

size_t BytePattern::Find(const BYTE *data, size_t size) const
{
    if (!data || size_ == 0 || size < size_) return npos;
    const size_t last = size - size_; // the last alignment
    size_t at = 0;
    while (at <= last) {
        const void *hit = std::memchr(data + at, text_[0], last - at + 1);
        if (!hit) return npos;
        at = static_cast<size_t>(static_cast<const BYTE *>(hit) - data);
        // The pattern's last byte first, then the rest backwards.
        size_t j = size_ - 1;
        while (data[at + j] == text_[j]) {
            if (j == 0) return at;
            --j;
        }
        at += shift_[data[at + size_ - 1]];
    }
    return npos;
}

void SecureJobScanner::Feed(const BYTE *data, size_t size, const std::function<bool()> &cardPresent)
{
    if (size) collected_.insert(collected_.end(), data, data + size);
    const BYTE *all = collected_.data();
    const size_t total = collected_.size();
    int card = -1; // asked once per block, and only when needed
    for (size_t slot = 0; slot < kCaptureCount; ++slot) {
        const Capture &c = kCaptures[slot];
        if (found_ & c.flag) continue;
        if (c.cardOnly) {
            if (card < 0) card = cardPresent && cardPresent() ? 1 : 0;
            if (!card) continue;
        }
        const size_t at = c.pattern.Find(all, total);
        if (at == BytePattern::npos) continue;
        // The line runs to its CR, LF or NUL. One whose end has not arrived yet is taken once it has, or once it
        // fills the slot.
        const BYTE *line = all + at;
        const size_t available = total - at;
        const size_t limit = std::min(available, kLineSlotBytes - 1);
        size_t length = 0;
        while (length < limit && line[length] != '\r' && line[length] != '\n' && line[length] != 0) ++length;
        if (length == available) continue;
        std::memcpy(lines_[slot], line, length);
        lines_[slot][length] = 0;
        lengths_[slot] = static_cast<DWORD>(length);
        found_ |= c.flag;
    }
    if ((found_ & kAuxLines) == kAuxLines)
        state_ = CollectState::AuxLinesFound;
    else if (total > kCollectLimit || std::any_of(std::begin(kStops), std::end(kStops), [&](const BytePattern &p) {
                 return p.Find(all, total) != BytePattern::npos;
             }))
        state_ = CollectState::WithoutAuxLines;
}

const CHAR *SecureJobScanner::Line(DWORD flag) const
{
    const size_t slot = SlotOf(flag);
    return slot < kCaptureCount ? lines_[slot] : "";
}

std::string SecureJobScanner::ClearHeader(bool cardPresent) const
{
    std::string h = "\x1b%-12345X";
    h += (found_ & kCaptureJobName) ? Line(kCaptureJobName) : "@PJL JOB";
    h += "\r\n";
    if (cardPresent) {
        h += Line(kCaptureDeviceName);
        h += "\r\n";
        h += Line(kCaptureVersion);
        h += "\r\n";
    }
    for (DWORD flag : {kCaptureComputerName, kCaptureUserName, kCaptureReceptionTime}) {
        h += Line(flag);
        h += "\r\n";
    }
    h += "@PJL ZEPAUXJOBINFO DATA=\"KeepingTime=" + TwoDigits(HIWORD(keepingTime_)) + ":" +
         TwoDigits(LOWORD(keepingTime_)) + "\"\r\n";
    return h;
}

void EndMarkerScanner::Reset() { std::memset(tail_, 0, sizeof tail_); }

bool EndMarkerScanner::Check(const BYTE *data, size_t size)
{
    if (!data) size = 0;
    BYTE window[2 * kEndTailBytes];
    const size_t head = std::min(size, kEndTailBytes);
    std::memcpy(window, tail_, kEndTailBytes);
    if (head) std::memcpy(window + kEndTailBytes, data, head);
    if (AnyEnd(window, kEndTailBytes + head) || AnyEnd(data, size)) {
        // What follows belongs to another job, which must not finish an end pattern with this one's bytes.
        Reset();
        return true;
    }
    if (size >= kEndTailBytes) {
        std::memcpy(tail_, data + size - kEndTailBytes, kEndTailBytes);
    } else if (size) {
        std::memmove(tail_, tail_ + size, kEndTailBytes - size);
        std::memcpy(tail_ + kEndTailBytes - size, data, size);
    }
    return false;
}

} // namespace zep
