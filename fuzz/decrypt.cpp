// Any bytes to the printer-side decoder, as an encrypted job it receives. It must refuse them with one line, or
// decode them to exactly as many clear bytes as it reports.
#include <string>

#include "companions/decrypt/decode.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepdecode::DecodeOptions options;
    options.key = "1234";
    // The header's iteration count is the input's to choose; the sample library's lowest level keeps runs short.
    options.maxIterations = 4096;
    zepdecode::DecodedJob job;
    std::string clear, error;
    const bool ok = zepdecode::DecodeJob(std::string_view(reinterpret_cast<const char *>(data), size), clear, options,
                                         job, error);
    zepfuzz::Context context("error", error);
    if (ok) {
        FUZZ_CHECK(clear.size() == job.clearBytes && error.empty(), "a decoded job is as long as reported");
    } else {
        FUZZ_CHECK(clear.empty(), "a refused job gives no clear bytes");
        FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos, "a refusal is one line");
    }
    return 0;
}
