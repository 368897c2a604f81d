// Fuzz target: arbitrary bytes to the printer-side decoder. It must refuse or decode without a fault, and what it
// decodes is exactly as long as it says.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "companions/decrypt/decode.h"

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
    if (ok ? clear.size() != job.clearBytes || !error.empty() : error.empty() || !clear.empty()) std::abort();
    return 0;
}
