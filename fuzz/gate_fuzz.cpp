// Fuzz target: arbitrary block sequences through the output gate of "Secure_Chip" jobs, with a library that passes
// the data through and fails where the input says. The gate must never write after it failed, cancel a job more
// than once, leave a library handle behind at a job's start, or report more clear bytes than it wrote.
//
// Input: one byte of settings, then blocks, each a 16-bit little-endian length and its bytes. A length of 0xFFFF
// starts the next job (BEGINSTREAM).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/gate.h"
#include "tests/render/fake_gate.h"

namespace {

const char *const kFailing[] = {"", "", "", "", "Init", "Update", "End", "InitEx2"};

void Check(bool condition)
{
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t settings = data[0];
    ++data;
    --size;

    zeptest::FakeGateSource source;
    source.card = settings & 0x01;
    source.cardReadable = !(settings & 0x02);
    source.library.emptyUpdates = settings & 0x04;
    source.library.withEx2 = !(settings & 0x08);
    source.library.failing = kFailing[(settings >> 4) & 7];
    source.library.nullHandle = (settings & 0x80) && (settings & 0x10);
    source.library.stored = "1234";
    source.dm.dwEncryptedPasswordLen = (settings & 0x40) ? 40 : 0;
    source.library.typed = "typed";

    zep::GateState state;
    zep::GateStartJob(state);
    state.currentJobId = 1;
    size_t cancelledBefore = 0;
    while (size >= 2) {
        const size_t length = data[0] | (data[1] << 8);
        data += 2;
        size -= 2;
        if (length == 0xFFFF) {
            zep::GateStartJob(state);
            Check(source.library.live == 0);
            ++state.currentJobId;
            cancelledBefore = source.cancelled.size();
            continue;
        }
        const size_t n = length < size ? length : size;
        std::string block(reinterpret_cast<const char *>(data), n);
        data += n;
        size -= n;

        const bool failedBefore = state.encryptedStreamFailed;
        const size_t spooledBefore = source.spooled.size();
        DWORD written = 0xABCD;
        Check(zep::RunGate(&state, source, block.data(), static_cast<DWORD>(block.size()), &written) == S_OK);
        if (failedBefore) {
            Check(source.spooled.size() == spooledBefore && written == 0xABCD);
        } else if (!state.encryptedStreamFailed) {
            Check(written <= source.spooled.size() - spooledBefore);
        }
        Check(source.cancelled.size() - cancelledBefore == (state.encryptedStreamFailed ? 1u : 0u));
        Check(source.library.live == (state.context ? 1 : 0));
    }
    zep::GateStartJob(state);
    Check(source.library.live == 0);
    return 0;
}
