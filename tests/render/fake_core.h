// A stand-in for the core driver: its helper interface capturing the stream, a device object answering
// feature options from a table, and the job header's spooler answers from fields.
#pragma once
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "common/devmode_render.h"
#include "common/oemintf.h"
#include "render/emit.h"
#include "render/header.h"

namespace zeptest {

class FakeCore : public IPrintOemDriverPS {
public:
    std::string stream;
    int writesBeforeFailure = -1; // then every write is cut short by one byte
    LONG refs = 1;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        if (IsEqualIID(riid, kIidUnknown) || IsEqualIID(riid, IID_IPrintOemDriverPS)) {
            *ppv = static_cast<IPrintOemDriverPS *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP DrvWriteSpoolBuf(PDEVOBJ, PVOID buffer, DWORD size, DWORD *written) override
    {
        if (writesBeforeFailure == 0) {
            *written = size - 1;
            stream.append(static_cast<const char *>(buffer), size - 1);
            return S_OK;
        }
        if (writesBeforeFailure > 0) --writesBeforeFailure;
        stream.append(static_cast<const char *>(buffer), size);
        *written = size;
        return S_OK;
    }
};

struct FakeDevice {
    DEVOBJ devobj = {};
    DRVPROCS procs = {};
    zep::OemDevmode dm = {};
    std::map<std::string, std::string> options;
    DWORD outputOption = 0;
    std::string procsStream;
    int moves = 0;

    FakeDevice()
    {
        devobj.dwSize = sizeof(DEVOBJ);
        devobj.hEngine = this; // the way back from the callbacks
        devobj.pDrvProcs = &procs;
        devobj.pOEMDM = &dm;
        zep::RenderDevmodeDefault(&dm);
        procs.DrvGetDriverSetting = &GetSetting;
        procs.DrvWriteSpoolBuf = [](PDEVOBJ d, PVOID b, DWORD n) -> DWORD {
            Self(d)->procsStream.append(static_cast<const char *>(b), n);
            return n;
        };
        procs.DrvXMoveTo = [](PDEVOBJ d, INT, DWORD) -> INT { return ++Self(d)->moves; };
        procs.DrvYMoveTo = [](PDEVOBJ d, INT, DWORD) -> INT { return ++Self(d)->moves; };
    }
    FakeDevice(const FakeDevice &) = delete;

    static FakeDevice *Self(PVOID devobj) { return static_cast<FakeDevice *>(static_cast<PDEVOBJ>(devobj)->hEngine); }

    static BOOL GetSetting(PVOID obj, PCSTR feature, PVOID out, DWORD size, PDWORD needed, PDWORD)
    {
        FakeDevice *self = Self(obj);
        if (reinterpret_cast<ULONG_PTR>(feature) == OEMGDS_PS_OUTPUT_OPTION) {
            *needed = sizeof(DWORD);
            std::memcpy(out, &self->outputOption, sizeof(DWORD));
            return TRUE;
        }
        auto it = self->options.find(feature);
        if (it == self->options.end()) return FALSE;
        *needed = static_cast<DWORD>(it->second.size() + 1);
        if (*needed > size) return FALSE;
        std::memcpy(out, it->second.c_str(), *needed);
        return TRUE;
    }
};

// Answers the header's spooler questions from fields and counts the prompts; a prompt stores `typedName`, when
// there is one, as what the user typed.
class FakeHeaderSource final : public zep::JobHeaderSource {
public:
    using Text = std::basic_string<WCHAR>;
    zep::JobType type = zep::JobType::Normal;
    bool card = false;
    Text driver = TEXT("Zep CL500 PS");
    Text driverVer;
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL;
    bool attributesKnown = true;
    std::optional<Text> typedName;
    int prompts = 0;

    zep::JobType EffectiveJobType() override { return type; }
    bool CardDriverPresent() override { return card; }
    void DriverName(WCHAR *out, DWORD cch) override { Copy(driver, out, cch); }
    void DriverVersionValue(WCHAR *out, DWORD cch) override { Copy(driverVer, out, cch); }
    bool PrinterAttributes(DWORD *out) override
    {
        *out = attributes;
        return attributesKnown;
    }
    void AskJobName(zep::OemDevmode *dm) override
    {
        ++prompts;
        if (typedName) Copy(*typedName, dm->wszJobName, zep::kJobNameChars + 1);
    }

private:
    static void Copy(const Text &s, WCHAR *out, DWORD cch)
    {
        size_t n = s.size() < cch ? s.size() : cch - 1;
        s.copy(out, n);
        out[n] = 0;
    }
};

} // namespace zeptest
