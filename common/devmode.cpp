// Size, defaults, conversion and merge of OemDevmode for the UI and the rendering plug-in.
#include "common/devmode.h"

#include <cstring>

#include "common/config.h"
#include "common/crypto.h"

namespace zep {
namespace {

void WriteHeader(OemDevmode *dm)
{
    dm->dwSize = kOemDevmodeSize;
    dm->dwSignature = kOemSignature;
    dm->dwVersion = kOemVersion;
}

// The fields every UI default and convert starts from.
void WriteResetSet(OemDevmode *dm)
{
    dm->dwOptItemValue = 0;
    dm->wOverlayIndex[0] = kOverlayUnused;
    dm->wReserved80 = 0;
    dm->wszJobName[0] = 0;
    dm->wszJobPassword[0] = 0;
    dm->dwAskJobName = 0;
    dm->dwWatermarkIndex = 0;
    dm->dwGammaSel = 0;
    dm->dwColorCorrect = 0;
    dm->bToneCount = 0;
    dm->bValueCount = 0;
    dm->bNupSel = 0;
    dm->bOrientationSel = 0;
    dm->dwLastPaperSize = 0;
    dm->bLastLayoutSignature = 0;
    dm->dwReserved3872 = 0;
    dm->dwReserved604 = 1;
}

void FetchEncryptionDefaults(OemDevmode *dm, UiDefaultsSource &source)
{
    EncryptionSetting setting = {};
    if (!source.EncryptionDefaults(setting)) return;
    dm->dwCryptoMode = setting.dwCryptoMode;
    dm->dwCryptoLevel = setting.dwCryptoLevel;
    dm->dwCryptoTime = setting.dwCryptoTime;
    dm->dwAskPassword = setting.dwAskPassword;
    dm->dwEncryptedPasswordLen = 0;
    dm->bEncryptedPassword[0] = 0;
}

// Bytes of an own input record to take over: its declared size, never more than the output declares and
// never more than the record is, since the sizes come from DEVMODEs stored and sent between machines.
DWORD CopyLength(const OemDevmode *in, const OemDevmode *out)
{
    DWORD n = in->dwSize < out->dwSize ? in->dwSize : out->dwSize;
    return n < kOemDevmodeSize ? n : kOemDevmodeSize;
}

void CopyOwnRecord(const OemDevmode *in, OemDevmode *out)
{
    DWORD n = CopyLength(in, out);
    if (in != out) std::memmove(out, in, n);
}

void ClampRenderFields(OemDevmode *dm)
{
    if (dm->dwWatermarkIndex > 16) dm->dwWatermarkIndex = 0;
    const DWORD cc = dm->dwColorCorrect;
    if ((cc >> 16) > 1 || ((cc >> 8) & 0xFF) > 1 || (cc & 0xFF) > 59) dm->dwColorCorrect = 0;
    if (dm->bToneCountHigh != 0) dm->bToneCount = dm->bToneCountHigh = 0;
    if (dm->bValueCountHigh != 0) dm->bValueCount = dm->bValueCountHigh = 0;
    if ((dm->dwGammaSel >> 16) > 1) dm->dwGammaSel = 0;
    if (dm->bNupSel > 6) dm->bNupSel = 0;
    if (dm->bOrientationSel > 2) dm->bOrientationSel = 0;
    if (dm->dwCryptoMode > 2) dm->dwCryptoMode = 0;
    if (dm->dwCryptoLevel > 3) dm->dwCryptoLevel = 0;
    const DWORD t = dm->dwCryptoTime;
    if (t < 5 || (t >> 16) > 23 || (t & 0xFFFF) > 59) dm->dwCryptoTime = kDefaultCryptoTime;
    if (dm->dwEncryptedPasswordLen == 0 || dm->dwEncryptedPasswordLen > 255) {
        dm->dwEncryptedPasswordLen = 0;
        dm->bEncryptedPassword[0] = 0;
    }
    if (dm->wCompressionLevel > 3) dm->wCompressionLevel = 0;
    dm->dwSize = kOemDevmodeSize;
}

template <typename Ops>
HRESULT DispatchDevMode(DWORD mode, OEMDMPARAM *param, Ops ops)
{
    if (!param || mode < OEMDM_SIZE || mode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    auto in = static_cast<const OemDevmode *>(param->pOEMDMIn);
    auto out = static_cast<OemDevmode *>(param->pOEMDMOut);
    switch (mode) {
    case OEMDM_SIZE: param->cbBufSize = kOemDevmodeSize; break;
    case OEMDM_DEFAULT: ops.Default(out); break;
    case OEMDM_CONVERT: ops.Convert(in, out); break;
    case OEMDM_MERGE: ops.Merge(in, out); break;
    }
    return S_OK;
}

// The defaults of one printer: spooler, capability file and encryption library.
class PrinterUiDefaults final : public UiDefaultsSource {
public:
    explicit PrinterUiDefaults(HANDLE hPrinter) : hPrinter_(hPrinter) {}
    void FindDriverFiles(WCHAR *iniPath) override { zep::FindDriverFiles(hPrinter_, iniPath); }
    LPCWSTR CapabilityFile() override { return CapabilityFilePath(); }
    bool DriverDirectory(WCHAR *out, DWORD cch) override
    {
        DWORD needed = 0;
        WCHAR dir[MAX_PATH] = {};
        if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof(dir), &needed))
            return false;
        dir[MAX_PATH - 1] = 0;
        lstrcpynW(out, dir, static_cast<int>(cch));
        return true;
    }
    bool EncryptionDefaults(EncryptionSetting &setting) override
    {
        CCiperSet cipher(hPrinter_);
        return cipher.GetDefaultSetting(&setting, 1) != 0;
    }
    int ModelInt(LPCWSTR key) override { return GetModelInt(hPrinter_, key); }

private:
    HANDLE hPrinter_;
};

} // namespace

WORD CompressionLevelFromModel(int compression)
{
    static const WORD kLevels[10] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3};
    unsigned index = (static_cast<unsigned>(compression) >> 8) & 0xF;
    // Bits 8-11 of 10 to 15 lie beyond the table: the strongest level is the nearest meaning.
    return index < 10 ? kLevels[index] : 3;
}

void RenderDevmodeDefault(OemDevmode *out)
{
    if (!out) return;
    WriteHeader(out);
    out->dwOptItemValue = 0;
}

void RenderDevmodeConvert(const OemDevmode *in, OemDevmode *out)
{
    if (!in || !out) return;
    if (in->dwSignature == out->dwSignature) {
        out->dwOptItemValue = 0;
        CopyOwnRecord(in, out);
        ClampRenderFields(out);
    } else {
        out->dwSize = kOemDevmodeSize;
        out->dwSignature = kOemSignature;
        out->dwOptItemValue = 0;
    }
    out->dwVersion = kOemVersion;
}

void RenderDevmodeMerge(const OemDevmode *in, OemDevmode *out)
{
    RenderDevmodeConvert(in, out);
    if (!out) return;
    WriteHeader(out);
    out->dwOptItemValue = 0;
}

HRESULT RenderDevMode(DWORD mode, OEMDMPARAM *param)
{
    struct Ops {
        void Default(OemDevmode *out) { RenderDevmodeDefault(out); }
        void Convert(const OemDevmode *in, OemDevmode *out) { RenderDevmodeConvert(in, out); }
        void Merge(const OemDevmode *in, OemDevmode *out) { RenderDevmodeMerge(in, out); }
    };
    return DispatchDevMode(mode, param, Ops{});
}

void UiDevmodeDefault(OemDevmode *out, UiDefaultsSource &source)
{
    if (!out) return;
    WriteHeader(out);
    WriteResetSet(out);
    WCHAR ini[MAX_PATH + 1];
    lstrcpynW(ini, out->wszPluginIniFile, MAX_PATH + 1);
    source.FindDriverFiles(ini);
    lstrcpynW(out->wszPluginIniFile, ini, 261);
    WCHAR dir[MAX_PATH] = {};
    // Without a reported directory the field is left empty rather than holding a stale path.
    if (!source.DriverDirectory(dir, MAX_PATH)) dir[0] = 0;
    FetchEncryptionDefaults(out, source);
    lstrcpynW(out->wszDriverDirectory, dir, 261);
    LPCWSTR cap = source.CapabilityFile();
    lstrcpynW(out->wszCapabilityFile, cap ? cap : TEXT(""), 261);
    out->wCompressionLevel = CompressionLevelFromModel(source.ModelInt(TEXT("Compression")));
}

void UiDevmodeConvert(const OemDevmode *in, OemDevmode *out, UiDefaultsSource &source)
{
    if (!in || !out) return;
    WriteResetSet(out);
    if (in->dwSignature == out->dwSignature) {
        FetchEncryptionDefaults(out, source);
        CopyOwnRecord(in, out);
        out->dwSize = kOemDevmodeSize;
        out->dwVersion = kOemVersion;
    } else {
        WriteHeader(out);
        out->dwReserved84 = 0;
        FetchEncryptionDefaults(out, source);
    }
}

void UiDevmodeMerge(const OemDevmode *in, OemDevmode *out, UiDefaultsSource &source)
{
    UiDevmodeConvert(in, out, source);
    if (!out) return;
    WriteHeader(out);
    if (out->dwOptItemValue > 100) out->dwOptItemValue = 0;
}

HRESULT UiDevMode(DWORD mode, OEMDMPARAM *param, UiDefaultsSource &source)
{
    struct Ops {
        UiDefaultsSource &source;
        void Default(OemDevmode *out) { UiDevmodeDefault(out, source); }
        void Convert(const OemDevmode *in, OemDevmode *out) { UiDevmodeConvert(in, out, source); }
        void Merge(const OemDevmode *in, OemDevmode *out) { UiDevmodeMerge(in, out, source); }
    };
    return DispatchDevMode(mode, param, Ops{source});
}

HRESULT UiDevMode(DWORD mode, OEMDMPARAM *param)
{
    PrinterUiDefaults source(param ? param->hPrinter : nullptr);
    return UiDevMode(mode, param, source);
}

} // namespace zep
