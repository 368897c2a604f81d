// The core's PPD reader over any text, and what the core makes of the result: the job's option selection (with
// requested options taken from the PPD itself) and the DEVMODE's public fields.
#include <map>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "host/core/devmode.h"
#include "host/core/job.h"
#include "host/core/ppd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input input(data, size);
    unsigned pick = input.Byte();
    std::string_view text = input.Rest();

    zep::host::Ppd ppd;
    std::string error;
    // An *Include names a file beside the PPD: there is none in a folder that does not exist.
    if (!ppd.Parse(text, TEXT("C:\\no such folder"), error)) {
        FUZZ_CHECK(!error.empty(), "a refused PPD says why");
        return 0;
    }
    std::vector<std::pair<std::string, std::string>> requested;
    if (!ppd.features.empty()) {
        const zep::host::PpdFeature &f = ppd.features[pick % ppd.features.size()];
        if (!f.options.empty()) requested.emplace_back(f.keyword, f.options[(pick / 7) % f.options.size()].name);
    }
    std::map<std::string, std::string> selection;
    if (zep::host::SelectOptions(ppd, requested, selection, error)) {
        for (const auto &[keyword, option] : requested) FUZZ_CHECK(selection[keyword] == option, "a given choice wins");
        FUZZ_CHECK(ppd.FindConflict(selection) == nullptr, "the selection breaks no constraint");
    }
    DEVMODEW dm{};
    zep::host::FillPublicDefaults(dm, ppd, selection, TEXT("Zep Demo"));
    return 0;
}
