// A stand-in for everything the output gate reaches: a spooler that records, and an encryption library whose
// "cipher" passes the data through, so that tests (and the fuzz target) can read the framing byte for byte.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "common/devmode_render.h"
#include "render/gate.h"

namespace zeptest {

// The library's behaviour and what it was asked. Its handle is the object itself.
struct FakeLibrary {
    bool nullHandle = false;
    std::string failing;            // the entry point that answers an error: "Init", "Update", "End"
    bool emptyUpdates = false;      // Update gives no output
    bool nullOutput = false;        // Update answers success with a size but no buffer
    bool withEx2 = true;            // InitEncryptionEx2 is exported
    bool withPrompt = true;         // DispPasswordUI is exported
    std::string stored;             // what DecryptPassword gives back; "" fails
    std::string typed;              // what the user types into DispPasswordUI

    std::vector<std::string> calls;
    std::string key;                // the key Init got
    int live = 0;                   // created and not yet deleted
    std::string out;

    static thread_local FakeLibrary *current; // CreateEncryption takes no argument

    static FakeLibrary *Of(PVOID h) { return static_cast<FakeLibrary *>(h); }
    INT Answer(const char *call, const std::string &output, BYTE **o, DWORD *size)
    {
        calls.push_back(call);
        if (failing == call) return 3;
        out = output;
        *o = out.empty() ? nullptr : reinterpret_cast<BYTE *>(out.data());
        *size = static_cast<DWORD>(out.size());
        return 0;
    }

    static PVOID WINAPI Create()
    {
        current->calls.push_back("Create");
        if (current->nullHandle) return nullptr;
        ++current->live;
        return current;
    }
    static INT WINAPI Init(PVOID h, const zep::EncryptionInitRecord *r, BYTE **o, DWORD *size)
    {
        Of(h)->key = reinterpret_cast<const char *>(r->key);
        return Of(h)->Answer("Init", "INIT(" + Of(h)->key + ")", o, size);
    }
    static INT WINAPI InitEx(PVOID h, const zep::EncryptionInitRecord *r, DWORD n, BYTE **o, DWORD *size)
    {
        Of(h)->key.assign(reinterpret_cast<const char *>(r->key), n);
        return Of(h)->Answer("InitEx", "CARD(" + Of(h)->key + ")", o, size);
    }
    static INT WINAPI InitEx2(PVOID h, DWORD version, const zep::EncryptionInitRecord *r, DWORD n, BYTE **o,
                              DWORD *size)
    {
        Of(h)->key.assign(reinterpret_cast<const char *>(r->key), n);
        return Of(h)->Answer(version == 2 ? "InitEx2" : "InitEx2?", "CARD2(" + Of(h)->key + ")", o, size);
    }
    static INT WINAPI Update(PVOID h, const BYTE *data, DWORD n, BYTE **o, DWORD *size)
    {
        FakeLibrary *lib = Of(h);
        INT rc = lib->Answer("Update", lib->emptyUpdates ? "" : std::string(reinterpret_cast<const char *>(data), n),
                             o, size);
        if (rc == 0 && lib->nullOutput) *o = nullptr;
        return rc;
    }
    static INT WINAPI End(PVOID h, BYTE **o, DWORD *size) { return Of(h)->Answer("End", "END", o, size); }
    static INT WINAPI Delete(PVOID h)
    {
        Of(h)->calls.push_back("Delete");
        --Of(h)->live;
        return 0;
    }
    static BOOL WINAPI DecryptPassword(const BYTE *, DWORD, LPSTR out, LPDWORD size)
    {
        current->calls.push_back("DecryptPassword");
        if (current->stored.empty() || current->stored.size() >= *size) return FALSE;
        std::memcpy(out, current->stored.c_str(), current->stored.size() + 1);
        *size = static_cast<DWORD>(current->stored.size());
        return TRUE;
    }
    static INT WINAPI Prompt(LPSTR out)
    {
        current->calls.push_back("Prompt");
        std::memcpy(out, current->typed.c_str(), current->typed.size() + 1);
        return 1;
    }

    zep::EncryptionEntries Entries() const
    {
        zep::EncryptionEntries e = {Create, Init, InitEx, withEx2 ? InitEx2 : nullptr, Update, End, Delete,
                                    DecryptPassword, withPrompt ? Prompt : nullptr};
        return e;
    }
};
inline thread_local FakeLibrary *FakeLibrary::current = nullptr;

// The gate's world from fields: job type, card, settings record, library and a spooler that records.
class FakeGateSource final : public zep::GateSource {
public:
    zep::JobType type = zep::JobType::SecureChip;
    bool card = false;
    std::string cardData = "CARD-0123";
    bool cardReadable = true;
    bool libraryPresent = true;
    FakeLibrary library;
    zep::OemDevmode dm = {};
    bool hasDevmode = true;
    int writesBeforeFailure = -1; // then the spooler refuses every write
    std::string spooled;
    std::vector<DWORD> cancelled;

    FakeGateSource()
    {
        zep::RenderDevmodeDefault(&dm);
        dm.dwCryptoTime = zep::kDefaultCryptoTime;
    }

    zep::JobType EffectiveJobType() override { return type; }
    bool CardDriverPresent() override { return card; }
    bool WriteSpooler(const void *bytes, DWORD count, DWORD *written) override
    {
        *written = 0;
        if (writesBeforeFailure == 0) return false;
        if (writesBeforeFailure > 0) --writesBeforeFailure;
        spooled.append(static_cast<const char *>(bytes), count);
        *written = count;
        return true;
    }
    void CancelJob(DWORD jobId) override { cancelled.push_back(jobId); }
    bool LoadEncryption(zep::Library &, zep::EncryptionEntries &entries) override
    {
        if (!libraryPresent) return false;
        FakeLibrary::current = &library;
        entries = library.Entries();
        return true;
    }
    DWORD GetCardData(BYTE *key, DWORD *size) override
    {
        if (!cardReadable || cardData.size() > *size) return 0;
        std::memcpy(key, cardData.data(), cardData.size());
        *size = static_cast<DWORD>(cardData.size());
        return 1;
    }
    zep::OemDevmode *Devmode() override { return hasDevmode ? &dm : nullptr; }
};

} // namespace zeptest
