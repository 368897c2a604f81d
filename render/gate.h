// The output gate: every finished block of the job passes here on its way to the spooler; "Secure_Chip" jobs are
// encrypted and framed on the way.
#pragma once
#include <memory>

#include "common/devmode.h"
#include "common/jobtype.h"
#include "common/oemintf.h"
#include "render/encryption.h"
#include "render/scanner.h"

namespace zep {

// Everything the gate reaches outside itself. The real one works through the device object's printer handle and
// the driver's files; tests and the fuzz target answer from fields and a library of their own.
class GateSource {
public:
    virtual JobType EffectiveJobType() = 0;
    virtual bool CardDriverPresent() = 0;
    // The spooler's WritePrinter on the job's printer: true when it took the call, *written = its count.
    virtual bool WriteSpooler(const void *bytes, DWORD count, DWORD *written) = 0;
    virtual void CancelJob(DWORD jobId) = 0;
    // The library the model section's "CryptoDll" names, loaded (an empty owner for one linked in) and resolved;
    // false when there is none.
    virtual bool LoadEncryption(Library &module, EncryptionEntries &entries) = 0;
    // GetCardData of the IC card library: non-zero when key (kKeyBytes) holds *size bytes of card data.
    virtual DWORD GetCardData(BYTE *key, DWORD *size) = 0;
    // The job's settings record; null when the DEVMODE has no plug-in section.
    virtual OemDevmode *Devmode() = 0;

protected:
    ~GateSource() = default;
};

// The gate's state for one device context, so that jobs rendered at the same time keep apart.
struct GateState {
    bool encryptedStreamFailed = false; // this job's gate failed: its later blocks are dropped
    DWORD currentJobId = 0;             // the spooler job of the last DrvStartDoc, cancelled on failure
    std::unique_ptr<EncryptionContext> context;
    std::unique_ptr<SecureJobScanner> scanner;
    EndMarkerScanner endMarkers;
};

// PSINJECT_BEGINSTREAM: the job starts from nothing. A library context that an earlier job left behind (it
// ended without an end marker) is deleted and unloaded.
void GateStartJob(GateState &state);

// WritePrinter. Jobs other than "Secure_Chip" pass unchanged: *written = the spooler's count, S_OK when it took
// the block, else E_FAIL. "Secure_Chip" blocks are encrypted and framed: *written = the clear bytes written in
// this call; a failure cancels the spooler job and drops the job's later blocks, still S_OK. Without a gate state
// a "Secure_Chip" block is refused with E_FAIL, so it never reaches the spooler in clear.
HRESULT RunGate(GateState *state, GateSource &source, PVOID buffer, DWORD size, PDWORD written);

// WritePrinter of the plug-in; a null device object is accepted and ignored (S_OK).
HRESULT GateWritePrinter(PDEVOBJ devobj, PVOID buffer, DWORD size, PDWORD written);

} // namespace zep
