// Defaults, conversion and merge of OemDevmode for the UI plug-in.
#include "common/devmode_ui.h"

#include "common/config.h"
#include "common/crypto.h"

namespace zep {
namespace {

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

void UiDevmodeDefault(OemDevmode *out, UiDefaultsSource &source)
{
    if (!out) return;
    WriteOemDevmodeHeader(out);
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
        CopyOwnOemDevmode(in, out);
        out->dwSize = kOemDevmodeSize;
        out->dwVersion = kOemVersion;
    } else {
        WriteOemDevmodeHeader(out);
        out->dwReserved84 = 0;
        FetchEncryptionDefaults(out, source);
    }
}

void UiDevmodeMerge(const OemDevmode *in, OemDevmode *out, UiDefaultsSource &source)
{
    UiDevmodeConvert(in, out, source);
    if (!out) return;
    WriteOemDevmodeHeader(out);
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
    return DispatchOemDevMode(mode, param, Ops{source});
}

HRESULT UiDevMode(DWORD mode, OEMDMPARAM *param)
{
    PrinterUiDefaults source(param ? param->hPrinter : nullptr);
    return UiDevMode(mode, param, source);
}

} // namespace zep
