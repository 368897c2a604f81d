// What every fuzz target shares: taking typed values off the input, and checks that stop the run when an invariant
// breaks (libFuzzer keeps the input that did it).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#define FUZZ_CHECK(condition, what)                                                                          \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s (%s)\n", __FILE__, __LINE__, #condition, what);   \
            zepfuzz::Context::Show();                                                                        \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace zepfuzz {

// What a failed check shows besides itself (the output it was looking at), escaped, while the object lives.
class Context {
public:
    Context(const char *name, const std::string &text) : previous_(current_) { current_ = this, name_ = name, text_ = &text; }
    ~Context() { current_ = previous_; }
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;

    static void Show()
    {
        if (!current_) return;
        std::fprintf(stderr, "%s:\n", current_->name_);
        for (unsigned char c : *current_->text_) {
            if (c == '\n') std::fputs("\\n\n", stderr);
            else if (c < 0x20 || c >= 0x7F) std::fprintf(stderr, "\\x%02x", c);
            else std::fputc(c, stderr);
        }
        std::fputc('\n', stderr);
    }

private:
    static inline thread_local Context *current_ = nullptr;
    Context *previous_;
    const char *name_;
    const std::string *text_;
};

// The input, taken from its front: each taker gives what is left when the input runs short (zeros, or less).
class Input {
public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    size_t Left() const { return size_; }
    uint8_t Byte()
    {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    // A value below `bound` (which must not be 0).
    unsigned Below(unsigned bound) { return Byte() % bound; }
    bool Flag() { return Byte() & 1; }
    std::string_view Bytes(size_t n)
    {
        n = n < size_ ? n : size_;
        std::string_view out(reinterpret_cast<const char *>(data_), n);
        data_ += n;
        size_ -= n;
        return out;
    }
    // A run of at most `max` bytes whose length comes first (one byte, two little-endian ones when max > 255).
    std::string_view Sized(size_t max)
    {
        size_t length = Byte();
        if (max > 255) length |= static_cast<size_t>(Byte()) << 8;
        return Bytes(length % (max + 1));
    }
    // Up to `max` UTF-16 units, two bytes each (little-endian), as outside data would bring them.
    std::u16string Wide(size_t max)
    {
        std::string_view bytes = Sized(2 * max);
        std::u16string out;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            out += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
        return out;
    }
    std::string_view Rest() { return Bytes(size_); }

private:
    const uint8_t *data_;
    size_t size_;
};

// `bytes` copied over a record of type T that starts zeroed (the rest stays zero).
template <typename T>
T RecordFrom(std::string_view bytes)
{
    T record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, bytes.data(), bytes.size() < sizeof record ? bytes.size() : sizeof record);
    return record;
}

// A folder of its own for a target's files, removed when the program ends: in memory where /dev/shm is there, as
// every input is written and read again.
inline std::filesystem::path ScratchFolder(const std::string &name)
{
    static std::vector<std::filesystem::path> folders;
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
    std::string pattern = (base / ("zep-fuzz-" + name + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) std::abort();
    if (folders.empty()) std::atexit([] {
        std::error_code ignored;
        for (const auto &f : folders) std::filesystem::remove_all(f, ignored);
    });
    folders.emplace_back(pattern);
    return folders.back();
}

} // namespace zepfuzz
