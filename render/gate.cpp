// The WritePrinter output gate: blocks of ordinary jobs pass to the spooler as they are; "Secure_Chip" jobs are
// collected until their header has passed, then encrypted block by block and framed in PJL resource writes.
#include "render/gate.h"

#include <charconv>
#include <new>
#include <string>

#include "common/companions.h"
#include "render/header.h"
#include "render/jobtype.h"
#include "render/pdev.h"

namespace zep {
namespace {

constexpr char kJobEnd[] = "@PJL EOJ NAME = \"END\"\n\x1b%-12345X";
constexpr char kCardJob[] = "@PJL COMMENT ICCARDJOB\r\n";
static_assert(sizeof kJobEnd - 1 == 31 && sizeof kCardJob - 1 == 24);

// Where a piece of library output goes in the printer's secure job store.
constexpr char kWriteStart[] = "write_start";
constexpr char kWrite[] = "write";
constexpr char kWriteEnd[] = "write_end";

// A library that answers "no error" must still give bytes for the size it reports.
bool Usable(const BYTE *out, DWORD size) { return size == 0 || out != nullptr; }

// One block through the encrypting gate; false when the gate failed.
class EncryptingRun {
public:
    EncryptingRun(GateState &state, GateSource &source) : s_(state), src_(source) {}

    bool Block(const BYTE *data, DWORD size);
    DWORD ClearWritten() const { return clearWritten_; }

private:
    bool Write(const void *bytes, size_t count)
    {
        if (count == 0) return true;
        DWORD written = 0;
        return src_.WriteSpooler(bytes, static_cast<DWORD>(count), &written) && written == count;
    }
    template <size_t N>
    bool Write(const char (&text)[N])
    {
        return Write(text, N - 1);
    }
    // The clear header and the IC card comment: the bytes WritePrinter reports as written.
    bool WriteClear(const void *bytes, size_t count)
    {
        if (!Write(bytes, count)) return false;
        clearWritten_ += static_cast<DWORD>(count);
        return true;
    }
    // The resource-write line with the output's size, the output, the universal exit language.
    bool WriteFramed(const char *location, const BYTE *out, DWORD size)
    {
        std::string line = "@PJL ZEPRESOURCEWRITE LOCATION=\"SecureJobAccessor:";
        line += location;
        line += "\" SIZE=";
        char digits[16];
        line.append(digits, std::to_chars(digits, digits + sizeof digits, size).ptr);
        line += '\n';
        return Write(line.data(), line.size()) && Write(out, size) && Write(kUniversalExit);
    }
    bool CardPresent()
    {
        if (card_ < 0) card_ = src_.CardDriverPresent() ? 1 : 0;
        return card_ == 1;
    }
    bool OpenContext();
    bool Initialise(BYTE **out, DWORD *outSize);

    GateState &s_;
    GateSource &src_;
    DWORD clearWritten_ = 0;
    int card_ = -1; // the IC card check, made once per block
};

bool EncryptingRun::OpenContext()
{
    Library module;
    EncryptionEntries entries = {};
    if (!src_.LoadEncryption(module, entries)) return false;
    s_.context.reset(new (std::nothrow) EncryptionContext(std::move(module), entries));
    return s_.context && s_.context->Handle();
}

// The key from the IC card or the password, then the library's Init call for it.
bool EncryptingRun::Initialise(BYTE **out, DWORD *outSize)
{
    const EncryptionEntries &fn = s_.context->Fn();
    PVOID handle = s_.context->Handle();
    OemDevmode *dm = src_.Devmode();
    EncryptionInitRecord record = {};
    record.dwCryptoMode = dm ? dm->dwCryptoMode : 0;
    record.dwCryptoLevel = dm ? dm->dwCryptoLevel : 0;
    INT result = -1;
    if (CardPresent()) {
        DWORD size = kKeyBytes;
        if (!src_.GetCardData(record.key, &size) || size == 0 || size > kKeyBytes) {
            // The printer gets a clean end of the job before the spooler drops it.
            Write(kUniversalExit);
            Write(kJobEnd);
            WipeSecret(&record, sizeof record);
            return false;
        }
        if (WriteClear(kCardJob, sizeof kCardJob - 1))
            result = fn.InitEncryptionEx2 ? fn.InitEncryptionEx2(handle, 2, &record, size, out, outSize)
                                          : fn.InitEncryptionEx(handle, &record, size, out, outSize);
    } else {
        LPSTR key = reinterpret_cast<LPSTR>(record.key);
        if (dm && dm->dwEncryptedPasswordLen) {
            DWORD size = kKeyBytes;
            const DWORD length = dm->dwEncryptedPasswordLen < sizeof dm->bEncryptedPassword
                                     ? dm->dwEncryptedPasswordLen
                                     : static_cast<DWORD>(sizeof dm->bEncryptedPassword);
            if (!fn.DecryptPassword(dm->bEncryptedPassword, length, key, &size)) WipeSecret(key, kKeyBytes);
            key[kKeyBytes - 1] = 0;
        }
        bool ask = dm && dm->dwAskPassword != 0;
        if (!key[0]) {
            ask = true;
            if (dm) dm->dwAskPassword = 1;
        }
        if (ask) {
            fn.DispPasswordUI(key);
            key[kKeyBytes - 1] = 0;
        }
        result = fn.InitEncryption(handle, &record, out, outSize);
    }
    WipeSecret(&record, sizeof record);
    return result == 0 && Usable(*out, *outSize);
}

bool EncryptingRun::Block(const BYTE *data, DWORD size)
{
    const BYTE *work = data;
    DWORD workSize = size;
    BYTE *out = nullptr;
    DWORD outSize = 0;
    if (!s_.context) {
        if (!s_.scanner) {
            const OemDevmode *dm = src_.Devmode();
            s_.scanner.reset(new (std::nothrow) SecureJobScanner(dm ? dm->dwCryptoTime : 0));
            if (!s_.scanner) return false;
        }
        s_.scanner->Feed(data, size, [this] { return CardPresent(); });
        const CollectState state = s_.scanner->State();
        if (state == CollectState::Collecting) return true;
        if (state == CollectState::AuxLinesFound) {
            const std::string header = s_.scanner->ClearHeader(CardPresent());
            if (!WriteClear(header.data(), header.size())) return false;
        }
        if (!OpenContext() || !Initialise(&out, &outSize) || !WriteFramed(kWriteStart, out, outSize)) return false;
        work = s_.scanner->Collected().data();
        workSize = static_cast<DWORD>(s_.scanner->Collected().size());
    }

    const EncryptionEntries &fn = s_.context->Fn();
    PVOID handle = s_.context->Handle();
    out = nullptr;
    outSize = 0;
    if (fn.UpdateEncryption(handle, work, workSize, &out, &outSize) != 0 || !Usable(out, outSize)) return false;
    if (outSize && !WriteFramed(kWrite, out, outSize)) return false;
    if (s_.endMarkers.Check(work, workSize)) {
        out = nullptr;
        outSize = 0;
        if (fn.EndEncryption(handle, &out, &outSize) != 0 || !Usable(out, outSize)) return false;
        if (!WriteFramed(kWriteEnd, out, outSize) || !Write(kJobEnd)) return false;
        s_.context.reset();
    }
    s_.scanner.reset();
    return true;
}

// The gate's questions answered through the device object's printer handle and the driver's files.
class SpoolerGateSource final : public GateSource {
public:
    explicit SpoolerGateSource(PDEVOBJ devobj) : devobj_(devobj), printer_(devobj->hPrinter) {}

    JobType EffectiveJobType() override { return zep::EffectiveJobType(RenderCall{devobj_, nullptr}); }
    bool CardDriverPresent() override { return QueryCardDriver(printer_) != 0; }
    bool WriteSpooler(const void *bytes, DWORD count, DWORD *written) override
    {
        return ::WritePrinter(printer_, const_cast<void *>(bytes), count, written) != FALSE;
    }
    void CancelJob(DWORD jobId) override { SetJobW(printer_, jobId, 0, nullptr, JOB_CONTROL_CANCEL); }
    bool LoadEncryption(Library &module, EncryptionEntries &entries) override
    {
        module = LoadCompanion(printer_, TEXT("CryptoDll"));
        if (!module) return false;
        entries = ResolveEncryption(module.get());
        return true;
    }
    DWORD GetCardData(BYTE *key, DWORD *size) override { return zep::GetCardData(printer_, key, size); }
    OemDevmode *Devmode() override { return static_cast<OemDevmode *>(devobj_->pOEMDM); }

private:
    PDEVOBJ devobj_;
    HANDLE printer_;
};

} // namespace

void GateStartJob(GateState &state)
{
    state.encryptedStreamFailed = false;
    state.context.reset();
    state.scanner.reset();
    state.endMarkers.Reset();
}

HRESULT RunGate(GateState *state, GateSource &source, PVOID buffer, DWORD size, PDWORD written)
{
    if (source.EffectiveJobType() != JobType::SecureChip) {
        DWORD count = 0;
        const bool ok = source.WriteSpooler(buffer, size, &count);
        if (written) *written = count;
        return ok ? S_OK : E_FAIL;
    }
    if (!state) return E_FAIL;
    if (state->encryptedStreamFailed) return S_OK;
    EncryptingRun run(*state, source);
    bool ok = false;
    if (buffer || size == 0) {
        try {
            ok = run.Block(static_cast<const BYTE *>(buffer), size);
        } catch (const std::bad_alloc &) {
            ok = false;
        }
    }
    if (ok) {
        if (written) *written = run.ClearWritten();
        return S_OK;
    }
    // Nothing of a failed job may reach the printer: the spooler drops it, and so do its later blocks here.
    state->context.reset();
    state->scanner.reset();
    source.CancelJob(state->currentJobId);
    state->encryptedStreamFailed = true;
    return S_OK;
}

HRESULT GateWritePrinter(PDEVOBJ devobj, PVOID buffer, DWORD size, PDWORD written)
{
    if (!devobj) return S_OK;
    SpoolerGateSource source(devobj);
    return RunGate(GateOf(devobj), source, buffer, size, written);
}

} // namespace zep
