// The job settings record as the rendering plug-in takes it over (DevMode convert and merge of any bytes), then
// every injection routine on it, with the header's spooler answers and the feature options from the input too.
// The PJL header must stay well formed: every line before "@PJL ENTER LANGUAGE" starts with "@PJL " (the first
// after the exit sequence), no line holds a CR, LF or ESC, and no quoted value holds a quote.
#include <string>

#include "common/devmode_render.h"
#include "common/oemintf.h"
#include "fuzz_input.h"
#include "render/dispatcher.h"
#include "render/header.h"
#include "render/inject_points.h"
#include "tests/render/fake_core.h"

namespace {

using zep::JobType;

const char *const kKeywords[] = {"ZPJob_Type", "ZPJobLimit", "ZPHDD", "ZPHDDSpool", "ZPDrumClean", "ZPCollate"};
const char *const kOptions[] = {"Normal", "Spool", "Secure", "Secure_Chip", "True", "False", "ON", "OFF", ""};

void CheckHeader(const std::string &stream)
{
    zepfuzz::Context context("header", stream);
    static const std::string kExit = zep::kUniversalExit, kEnter = zep::kEnterPostScript;
    if (stream.empty()) return;  // Encapsulated PostScript: no header at all
    FUZZ_CHECK(stream.compare(0, kExit.size(), kExit) == 0, "the header starts with the exit sequence");
    size_t enter = stream.find(kEnter);
    FUZZ_CHECK(enter != std::string::npos, "the header ends with the switch to PostScript");
    FUZZ_CHECK(enter + kEnter.size() == stream.size(), "nothing follows the switch");
    for (size_t at = kExit.size(); at < enter;) {
        size_t end = stream.find("\r\n", at);
        FUZZ_CHECK(end != std::string::npos && end < enter, "every header line ends with CR LF");
        std::string_view line(stream.data() + at, end - at);
        FUZZ_CHECK(line.substr(0, 5) == "@PJL ", "every header line is a PJL command");
        bool quoted = false;
        for (char c : line) {
            FUZZ_CHECK(c != '\r' && c != '\n' && c != '\x1b', "no CR, LF or ESC inside a line");
            if (c == '"') quoted = !quoted;
        }
        // A comment's text runs to the line's end; in a command, quotes pair up, so no quoted value holds one.
        FUZZ_CHECK(!quoted || line.substr(0, 13) == "@PJL COMMENT ", "no quote inside a quoted value");
        at = end + 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input input(data, size);
    zeptest::FakeDevice device;
    for (const char *keyword : kKeywords) {
        unsigned pick = input.Below(std::size(kOptions) + 2);
        if (pick < std::size(kOptions)) device.options[keyword] = kOptions[pick];
        else if (pick == std::size(kOptions)) device.options[keyword] = std::string(input.Sized(80));
    }
    device.outputOption = input.Below(4);
    // The spooler's and the driver files' answers; a prompt gets whatever the user types.
    zeptest::FakeHeaderSource source;
    source.type = static_cast<JobType>(input.Below(5));
    source.card = input.Flag();
    source.attributesKnown = input.Flag();
    source.attributes = input.Flag() ? PRINTER_ATTRIBUTE_LOCAL : PRINTER_ATTRIBUTE_NETWORK;
    source.driver = input.Wide(300);
    source.driverVer = input.Wide(80);
    source.typedName = input.Wide(24);
    std::string docName(input.Sized(300));
    DWORD mode = input.Flag() ? OEMDM_MERGE : OEMDM_CONVERT;

    // The record arrives whole-sized (the core gives the size the plug-in asked for), its bytes from outside.
    auto record = zepfuzz::RecordFrom<zep::OemDevmode>(input.Rest());
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pdriverobj = &device.devobj;
    param.pOEMDMOut = &device.dm;
    param.cbBufSize = sizeof device.dm;
    FUZZ_CHECK(zep::RenderDevMode(OEMDM_DEFAULT, &param) == S_OK, "defaults");
    param.pOEMDMIn = &record;
    FUZZ_CHECK(zep::RenderDevMode(mode, &param) == S_OK, "the record is taken over");

    zeptest::FakeCore core;
    zep::RenderCall rc{&device.devobj, &core};
    zep::WriteJobHeader(rc, source, docName.c_str());
    CheckHeader(core.stream);
    for (DWORD index : {PSINJECT_BEGINPROLOG, PSINJECT_BEGINSETUP, PSINJECT_ENDSETUP, PSINJECT_ENDPAGESETUP,
                        PSINJECT_PAGENUMBER, PSINJECT_TRAILER, PSINJECT_ENDSTREAM}) {
        core.stream.clear();
        DWORD result = 0;
        zep::RunCommand(rc, index, &result);
    }
    return 0;
}
