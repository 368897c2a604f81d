// The printer's side of an encrypted secure print job: the framing read as the printer receives it, the sample
// library's job stream decrypted and its integrity checked, the clear job out.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "companions/crypt/scheme.h"

namespace zepdecode {

// Where the job's bytes come from: Read fills up to size bytes and answers how many; 0 at the end.
class Source {
public:
    virtual size_t Read(BYTE *out, size_t size) = 0;

protected:
    ~Source() = default;
};

// Where the clear job goes, piece by piece.
class Sink {
public:
    virtual bool Write(const BYTE *data, size_t size) = 0;

protected:
    ~Sink() = default;
};

struct DecodeOptions {
    std::string key; // the password, or the IC card's data
    unsigned long maxIterations = zepcrypt::kMaxIterations;
};

// What the job shows besides its encrypted part.
struct DecodedJob {
    std::string clearHeader; // the PJL lines repeated in clear, when the job has them
    bool cardJob = false;    // "@PJL COMMENT ICCARDJOB": the key came from an IC card
    uint64_t clearBytes = 0;
};

// Reads one job and writes its clear bytes to out as they are decrypted. Only a true result vouches for them: the
// integrity check comes at the job's end. false with a one-line error for a damaged, truncated or wrongly keyed
// job, or one that is not framed as the plug-in frames it.
bool DecodeJob(Source &in, Sink &out, const DecodeOptions &options, DecodedJob &job, std::string &error);

// The same for a job in memory; out holds the clear job only when it succeeds.
bool DecodeJob(std::string_view in, std::string &out, const DecodeOptions &options, DecodedJob &job,
               std::string &error);

} // namespace zepdecode
