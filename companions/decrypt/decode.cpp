// Reading an encrypted job as the printer does: the clear header, the resource writes in order, the job's end.
#include "companions/decrypt/decode.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zepdecode {
namespace {

constexpr std::string_view kUel = "\x1b%-12345X";
constexpr std::string_view kCardJob = "@PJL COMMENT ICCARDJOB\r\n";
constexpr std::string_view kResourceWrite = "@PJL ZEPRESOURCEWRITE LOCATION=\"SecureJobAccessor:";
constexpr std::string_view kSize = "\" SIZE=";
constexpr std::string_view kJobEnd = "@PJL EOJ NAME = \"END\"\n\x1b%-12345X";
constexpr size_t kMaxLine = 1024;         // far more than any line of the header or the framing
constexpr size_t kMaxClearHeader = 4096;  // the plug-in repeats eight lines at most
constexpr size_t kChunk = 64 * 1024;

// The job's bytes with a little look-ahead.
class Reader {
public:
    explicit Reader(Source &source) : source_(source) {}

    // The next bytes are text (they stay unread).
    bool Sees(std::string_view text)
    {
        if (!Fill(text.size())) return false;
        return std::memcmp(buffer_.data() + at_, text.data(), text.size()) == 0;
    }
    bool Skip(std::string_view text)
    {
        if (!Sees(text)) return false;
        at_ += text.size();
        return true;
    }
    // A line through its LF; false at the end or past kMaxLine bytes.
    bool Line(std::string &line)
    {
        line.clear();
        for (;;) {
            if (!Fill(1)) return false;
            const char c = static_cast<char>(buffer_[at_++]);
            line += c;
            if (c == '\n') return true;
            if (line.size() >= kMaxLine) return false;
        }
    }
    // Exactly size bytes, handed on in pieces; false when the job ends first or a piece is refused.
    template <typename Take>
    bool Bytes(uint64_t size, Take take)
    {
        while (size) {
            if (!Fill(1)) return false;
            const size_t n = static_cast<size_t>(std::min<uint64_t>(size, buffer_.size() - at_));
            if (!take(buffer_.data() + at_, n)) return false;
            at_ += n;
            size -= n;
        }
        return true;
    }
    bool AtEnd() { return !Fill(1); }

private:
    // At least n unread bytes, unless the job ends first.
    bool Fill(size_t n)
    {
        if (buffer_.size() - at_ >= n) return true;
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(at_));
        at_ = 0;
        while (buffer_.size() < n) {
            const size_t had = buffer_.size();
            buffer_.resize(had + kChunk);
            const size_t got = source_.Read(buffer_.data() + had, kChunk);
            buffer_.resize(had + std::min(got, kChunk));
            if (got == 0) return false;
        }
        return true;
    }

    Source &source_;
    std::vector<BYTE> buffer_;
    size_t at_ = 0;
};

// A resource write's line: where its bytes go and how many there are.
struct Resource {
    std::string location;
    uint64_t size = 0;
};

// SIZE is plain decimal, as the plug-in writes it: no sign, no leading zero, at most a DWORD.
bool ParseSize(std::string_view digits, uint64_t &size)
{
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return false;
    size = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        size = size * 10 + static_cast<uint64_t>(c - '0');
    }
    return size <= 0xFFFFFFFFu;
}

bool ParseResource(const std::string &line, Resource &r)
{
    if (line.compare(0, kResourceWrite.size(), kResourceWrite) != 0 || line.back() != '\n') return false;
    const std::string_view rest(line.data() + kResourceWrite.size(), line.size() - kResourceWrite.size() - 1);
    const size_t quote = rest.find(kSize);
    if (quote == std::string_view::npos) return false;
    r.location = std::string(rest.substr(0, quote));
    return ParseSize(rest.substr(quote + kSize.size()), r.size);
}

class Decoder {
public:
    Decoder(Source &in, Sink &out, const DecodeOptions &options, DecodedJob &job)
        : in_(in), out_(out), options_(options), job_(job)
    {
    }

    bool Run();
    const std::string &Error() const { return error_; }

private:
    bool Fail(const std::string &message)
    {
        if (error_.empty()) error_ = message;
        return false;
    }
    bool ClearHeader();
    bool NextResource(Resource &r);
    bool Fixed(const Resource &r, BYTE *out, size_t size, const char *holds);
    bool Start(const Resource &r);
    bool Data(const Resource &r);
    bool End(const Resource &r);

    Reader in_;
    Sink &out_;
    const DecodeOptions &options_;
    DecodedJob &job_;
    zepcrypt::JobStreamDecryptor stream_;
    std::string error_;
};

// The lines the plug-in repeats in clear: the universal exit language, then PJL lines (or empty ones where a line
// was not captured), each ending in CR LF.
bool Decoder::ClearHeader()
{
    if (!in_.Skip(kUel)) return true;
    job_.clearHeader = std::string(kUel);
    std::string line;
    while (!in_.Sees(kResourceWrite.substr(0, 22)) && !in_.Sees(kCardJob)) {
        if (!in_.Line(line)) return Fail("the clear header is cut short or holds an overlong line");
        if (line.compare(0, 19, "@PJL ENTER LANGUAGE") == 0)
            return Fail("not an encrypted job: it enters a printer language in clear");
        const bool pjl = line.compare(0, 5, "@PJL ") == 0 || line == "\r\n";
        if (!pjl || line.size() < 2 || line[line.size() - 2] != '\r')
            return Fail("the clear header holds a line that is not a PJL line");
        job_.clearHeader += line;
        if (job_.clearHeader.size() > kMaxClearHeader) return Fail("the clear header is too long");
    }
    return true;
}

bool Decoder::NextResource(Resource &r)
{
    std::string line;
    if (in_.AtEnd()) return Fail("the job is truncated: it ends before its last resource write");
    if (!in_.Line(line) || !ParseResource(line, r)) return Fail("a resource write line is missing or malformed");
    return true;
}

// A resource write that holds a fixed piece of the stream (its header, its integrity check), with its closing
// universal exit language.
bool Decoder::Fixed(const Resource &r, BYTE *out, size_t size, const char *holds)
{
    const std::string where = "the " + r.location;
    if (r.size != size) return Fail(where + " does not hold the stream's " + holds);
    size_t got = 0;
    if (!in_.Bytes(r.size, [&](const BYTE *p, size_t n) {
            std::memcpy(out + got, p, n);
            got += n;
            return true;
        }))
        return Fail("the job is truncated inside " + where);
    return in_.Skip(kUel) || Fail(where + " is not closed by the universal exit language");
}

bool Decoder::Start(const Resource &r)
{
    if (r.location != "write_start") return Fail("the encrypted data does not begin with its write_start");
    BYTE header[kZepCryptHeaderSize];
    if (!Fixed(r, header, sizeof header, "header")) return false;
    const int rc = stream_.Start(reinterpret_cast<const BYTE *>(options_.key.data()), options_.key.size(), header,
                                 options_.maxIterations);
    if (rc == ZEPCRYPT_E_PARAMETER)
        return Fail(options_.key.empty() || options_.key.size() > kZepCryptMaxPassword
                        ? "the key must be 1 to 32 bytes"
                        : "the write_start does not hold a header of the sample library's job stream");
    return rc == ZEPCRYPT_OK || Fail("the cipher library failed");
}

bool Decoder::Data(const Resource &r)
{
    // The plug-in writes no empty update.
    if (r.size == 0) return Fail("a write resource is empty");
    std::vector<BYTE> clear;
    bool cipherOk = true, sinkOk = true;
    const bool complete = in_.Bytes(r.size, [&](const BYTE *p, size_t n) {
        clear.resize(n);
        cipherOk = stream_.Absorb(p, n) == ZEPCRYPT_OK && stream_.Decrypt(p, n, clear.data()) == ZEPCRYPT_OK;
        sinkOk = cipherOk && out_.Write(clear.data(), n);
        job_.clearBytes += n;
        return cipherOk && sinkOk;
    });
    if (!cipherOk) return Fail("the cipher library failed");
    if (!sinkOk) return Fail("the clear job cannot be written");
    if (!complete) return Fail("the job is truncated inside a write resource");
    return in_.Skip(kUel) || Fail("a write resource is not closed by the universal exit language");
}

bool Decoder::End(const Resource &r)
{
    BYTE mac[kZepCryptTrailerSize];
    if (!Fixed(r, mac, sizeof mac, "integrity check")) return false;
    if (stream_.Verify(mac) != ZEPCRYPT_OK)
        return Fail("the job does not verify: a wrong password or card, or damaged data");
    return true;
}

bool Decoder::Run()
{
    if (!ClearHeader()) return false;
    job_.cardJob = in_.Skip(kCardJob);
    Resource r;
    if (!NextResource(r) || !Start(r)) return false;
    for (;;) {
        if (!NextResource(r)) return false;
        if (r.location == "write_end") break;
        if (r.location != "write") return Fail("a resource write goes somewhere other than the secure job store");
        if (!Data(r)) return false;
    }
    if (!End(r)) return false;
    if (!in_.Skip(kJobEnd)) return Fail("the job's end is missing after its write_end");
    return in_.AtEnd() || Fail("data follows the end of the job");
}

class StringSource final : public Source {
public:
    explicit StringSource(std::string_view data) : data_(data) {}
    size_t Read(BYTE *out, size_t size) override
    {
        const size_t n = std::min(size, data_.size());
        std::memcpy(out, data_.data(), n);
        data_.remove_prefix(n);
        return n;
    }

private:
    std::string_view data_;
};

class StringSink final : public Sink {
public:
    explicit StringSink(std::string &out) : out_(out) {}
    bool Write(const BYTE *data, size_t size) override
    {
        out_.append(reinterpret_cast<const char *>(data), size);
        return true;
    }

private:
    std::string &out_;
};

} // namespace

bool DecodeJob(Source &in, Sink &out, const DecodeOptions &options, DecodedJob &job, std::string &error)
{
    job = DecodedJob();
    Decoder decoder(in, out, options, job);
    const bool ok = decoder.Run();
    error = ok ? std::string() : decoder.Error();
    return ok;
}

bool DecodeJob(std::string_view in, std::string &out, const DecodeOptions &options, DecodedJob &job,
               std::string &error)
{
    StringSource source(in);
    std::string clear;
    StringSink sink(clear);
    if (!DecodeJob(source, sink, options, job, error)) {
        out.clear();
        return false;
    }
    out.swap(clear);
    return true;
}

} // namespace zepdecode
