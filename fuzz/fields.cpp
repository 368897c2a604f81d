// The core's "-s FIELD=VALUE" parser over any text: a value it refuses leaves the record as it was, one it takes
// changes nothing but the field's own bytes.
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "host/core/devmode_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input input(data, size);
    std::string_view text = input.Rest();
    size_t eq = text.find('=');
    std::string_view name = text.substr(0, eq), value = eq == std::string_view::npos ? "" : text.substr(eq + 1);

    zep::OemDevmode dm;
    std::memset(&dm, 0xA5, sizeof dm);
    zep::OemDevmode before = dm;
    std::string error;
    bool ok = zep::host::SetOemDevmodeField(dm, name, value, &error);
    if (!ok) {
        FUZZ_CHECK(std::memcmp(&dm, &before, sizeof dm) == 0, "a refused value leaves the record as it was");
        FUZZ_CHECK(!error.empty(), "a refused value says why");
    }
    return 0;
}
