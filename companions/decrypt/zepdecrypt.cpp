// zepdecrypt: decodes an encrypted secure print job as the printer receives it and writes the clear job.
//   zepdecrypt JOB -O CLEAR (--password PASSWORD | --card-data HEX)
// A damaged, truncated or wrongly keyed job gets one line on stderr, exit code 1, and no output file.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "companions/decrypt/decode.h"

namespace {

int Fail(const std::string &message)
{
    std::fprintf(stderr, "zepdecrypt: %s\n", message.c_str());
    return 1;
}

class FileSource final : public zepdecode::Source {
public:
    explicit FileSource(std::FILE *file) : file_(file) {}
    size_t Read(BYTE *out, size_t size) override { return std::fread(out, 1, size, file_); }

private:
    std::FILE *file_;
};

class FileSink final : public zepdecode::Sink {
public:
    explicit FileSink(std::FILE *file) : file_(file) {}
    bool Write(const BYTE *data, size_t size) override { return std::fwrite(data, 1, size, file_) == size; }

private:
    std::FILE *file_;
};

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using FileOwner = std::unique_ptr<std::FILE, FileCloser>;

bool ParseHex(const std::string &hex, std::string &bytes)
{
    if (hex.empty() || hex.size() % 2) return false;
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (char c : {hex[i], hex[i + 1]}) {
            const int digit = c >= '0' && c <= '9' ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return false;
            value = value * 16 + digit;
        }
        bytes += static_cast<char>(value);
    }
    return true;
}

const char kUsage[] = "usage: zepdecrypt JOB -O CLEAR (--password PASSWORD | --card-data HEX)";

} // namespace

int main(int argc, char **argv)
{
    std::string input, output;
    zepdecode::DecodeOptions options;
    bool haveKey = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-O" && hasValue) {
            output = argv[++i];
        } else if (arg == "--password" && hasValue && !haveKey) {
            options.key = argv[++i];
            haveKey = true;
        } else if (arg == "--card-data" && hasValue && !haveKey) {
            if (!ParseHex(argv[++i], options.key)) return Fail("--card-data wants the card's bytes in hex");
            haveKey = true;
        } else if (arg == "-h" || arg == "--help") {
            std::puts(kUsage);
            return 0;
        } else if (arg[0] != '-' && input.empty()) {
            input = arg;
        } else {
            return Fail(kUsage);
        }
    }
    if (input.empty() || output.empty() || !haveKey) return Fail(kUsage);
    if (options.key.empty() || options.key.size() > kZepCryptMaxPassword) return Fail("the key must be 1 to 32 bytes");

    FileOwner in(std::fopen(input.c_str(), "rb"));
    if (!in) return Fail("cannot read " + input);
    // The clear job goes to a file beside the output and takes its place only once the job has verified.
    const std::filesystem::path target(output);
    std::filesystem::path partial = target;
    partial += ".part";
    FileOwner out(std::fopen(partial.string().c_str(), "wb"));
    if (!out) return Fail("cannot write " + partial.string());
    FileSource source(in.get());
    FileSink sink(out.get());
    zepdecode::DecodedJob job;
    std::string error;
    bool ok = zepdecode::DecodeJob(source, sink, options, job, error);
    if (ok && std::ferror(in.get())) {
        ok = false;
        error = "cannot read " + input;
    }
    const bool closed = std::fclose(out.release()) == 0;
    if (ok && !closed) {
        ok = false;
        error = "cannot write " + partial.string();
    }
    std::error_code ec;
    if (ok) std::filesystem::rename(partial, target, ec);
    if (ok && ec) {
        ok = false;
        error = "cannot write " + output + ": " + ec.message();
    }
    if (!ok) {
        std::filesystem::remove(partial, ec);
        for (char &c : error)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        return Fail(error);
    }
    return 0;
}
