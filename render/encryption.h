// The encryption library for one "Secure_Chip" job: its entry points, and the context that owns the loaded library
// and the handle CreateEncryption gave.
#pragma once
#include "common/cryptolib.h"
#include "common/handle.h"

namespace zep {

// Null where the library lacks the export.
struct EncryptionEntries {
    PFN_CreateEncryption CreateEncryption;
    PFN_InitEncryption InitEncryption;
    PFN_InitEncryptionEx InitEncryptionEx;
    PFN_InitEncryptionEx2 InitEncryptionEx2; // optional
    PFN_UpdateEncryption UpdateEncryption;
    PFN_EndEncryption EndEncryption;
    PFN_DeleteEncryption DeleteEncryption;
    PFN_DecryptPassword DecryptPassword;
    PFN_DispPasswordUI DispPasswordUI;
};

// Every entry point the library exports by its name.
EncryptionEntries ResolveEncryption(HMODULE module);

// The job's library. CreateEncryption is called only when every entry but InitEncryptionEx2 is there; without a
// handle the context is unusable. Going away, it deletes the handle and then unloads the library.
class EncryptionContext {
public:
    EncryptionContext(Library module, const EncryptionEntries &entries);
    ~EncryptionContext();
    EncryptionContext(const EncryptionContext &) = delete;
    EncryptionContext &operator=(const EncryptionContext &) = delete;

    PVOID Handle() const { return handle_; }
    const EncryptionEntries &Fn() const { return fn_; }

private:
    Library module_;
    EncryptionEntries fn_;
    PVOID handle_ = nullptr;
};

} // namespace zep
