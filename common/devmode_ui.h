// The UI plug-in's DevMode operations on OemDevmode: defaults from the printer's configuration and the encryption
// library, conversion and merge that start from the reset set.
#pragma once
#include "common/devmode.h"

namespace zep {

struct EncryptionSetting;

// What the UI side's defaults come from; the real one asks the spooler, the configuration files and the
// encryption library for one printer (UiDevMode without a source), tests answer from tables.
class UiDefaultsSource {
public:
    // Locates the configuration files; writes the plug-in INI path into iniPath (MAX_PATH + 1 characters)
    // only when there is one.
    virtual void FindDriverFiles(WCHAR *iniPath) = 0;
    // The capability-file path the last FindDriverFiles found ("" when none).
    virtual LPCWSTR CapabilityFile() = 0;
    // The printer-driver directory; false leaves out as it was.
    virtual bool DriverDirectory(WCHAR *out, DWORD cch) = 0;
    // The encryption library's defaults; false when the library or its call is missing or fails.
    virtual bool EncryptionDefaults(EncryptionSetting &setting) = 0;
    // Integer of the model section, default 0.
    virtual int ModelInt(LPCWSTR key) = 0;

protected:
    ~UiDefaultsSource() = default;
};

// Compression level (0 to 3) for a capability-file "Compression" value.
WORD CompressionLevelFromModel(int compression);

void UiDevmodeDefault(OemDevmode *out, UiDefaultsSource &source);
void UiDevmodeConvert(const OemDevmode *in, OemDevmode *out, UiDefaultsSource &source);
void UiDevmodeMerge(const OemDevmode *in, OemDevmode *out, UiDefaultsSource &source);
// The DevMode method of the UI plug-in after its once-per-process probe.
HRESULT UiDevMode(DWORD mode, OEMDMPARAM *param, UiDefaultsSource &source);
// Same, with the defaults of the printer in param->hPrinter.
HRESULT UiDevMode(DWORD mode, OEMDMPARAM *param);

} // namespace zep
