// Block sequences through the output gate of "Secure_Chip" jobs, with a library that passes the data through and
// fails where the input says. The gate must never write after it failed, cancel a job more than once, keep a library
// handle without a context or leave one at a job's start, or report more clear bytes than it wrote.
//
// Input: one byte of settings, then blocks, each a 16-bit little-endian length and its bytes; the length 0xFFFF
// starts the next job (BEGINSTREAM).
#include <string>

#include "fuzz_input.h"
#include "render/gate.h"
#include "tests/render/fake_gate.h"

namespace {

const char *const kFailing[] = {"", "", "", "", "Init", "Update", "End", "InitEx2"};
constexpr size_t kNextJob = 0xFFFF;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input in(data, size);
    const uint8_t settings = in.Byte();
    zeptest::FakeGateSource source;
    source.card = settings & 0x01;
    source.cardReadable = !(settings & 0x02);
    source.library.emptyUpdates = settings & 0x04;
    source.library.withEx2 = !(settings & 0x08);
    source.library.failing = kFailing[(settings >> 4) & 7];
    source.library.nullHandle = (settings & 0x90) == 0x90;
    source.library.stored = "1234";
    source.library.typed = "typed";
    source.dm.dwEncryptedPasswordLen = (settings & 0x40) ? 40 : 0;

    zep::GateState state;
    zep::GateStartJob(state);
    state.currentJobId = 1;
    size_t cancelledBefore = 0;
    zepfuzz::Context context("spooled", source.spooled);
    while (in.Left() >= 2) {
        const size_t length = in.Byte() | static_cast<size_t>(in.Byte()) << 8;
        if (length == kNextJob) {
            zep::GateStartJob(state);
            FUZZ_CHECK(source.library.live == 0, "a new job starts without the last one's library");
            ++state.currentJobId;
            cancelledBefore = source.cancelled.size();
            continue;
        }
        std::string block(in.Bytes(length));
        const bool failedBefore = state.encryptedStreamFailed;
        const size_t spooledBefore = source.spooled.size();
        DWORD written = 0xABCD;
        FUZZ_CHECK(zep::RunGate(&state, source, block.data(), static_cast<DWORD>(block.size()), &written) == S_OK,
                   "an encrypted job's gate always answers S_OK");
        if (failedBefore) {
            FUZZ_CHECK(source.spooled.size() == spooledBefore, "a failed job's later blocks are dropped");
            FUZZ_CHECK(written == 0xABCD, "a dropped block leaves the count as passed");
        } else if (!state.encryptedStreamFailed) {
            FUZZ_CHECK(written <= source.spooled.size() - spooledBefore, "the clear bytes reported were written");
        }
        FUZZ_CHECK(source.cancelled.size() - cancelledBefore == (state.encryptedStreamFailed ? 1u : 0u),
                   "a failed job is cancelled once");
        FUZZ_CHECK(source.library.live == (state.context ? 1 : 0), "a library handle lives with its context");
    }
    zep::GateStartJob(state);
    FUZZ_CHECK(source.library.live == 0, "no library outlives the job's start");
    return 0;
}
