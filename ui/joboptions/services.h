// Everything the Job Options page reaches beyond the sheet: configuration, companion libraries, the spooler and
// the dialogs it opens. The system's services are the real ones; tests answer from fields.
#pragma once
#include <memory>

#include "common/crypto.h"
#include "ui/context.h"

namespace zep {

// The encryption library loaded for one operation.
class PasswordCipher {
public:
    virtual ~PasswordCipher() = default;
    virtual BOOL DispCryptoUIEx(HWND owner, EncryptionSetting *setting, DWORD mode) = 0;
    virtual BOOL EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size) = 0;
    virtual BOOL DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size) = 0;
};

class JobOptionsServices {
public:
    // A key of the printer's model section ("" when absent).
    virtual void ModelString(HANDLE hPrinter, LPCWSTR key, WCHAR *out, DWORD cch) = 0;
    // QueryCardDriver of the library named by "CARD_DLL"; 0 when it or the export is missing.
    virtual DWORD QueryCardDriver(HANDLE hPrinter) = 0;
    // The library named by "CryptoDll", or null when it does not load.
    virtual std::unique_ptr<PasswordCipher> LoadCipher(HANDLE hPrinter) = 0;
    // PRINTER_INFO_2 attributes (0 when unknown).
    virtual DWORD PrinterAttributes(HANDLE hPrinter) = 0;
    // The modal dialogs: true when they end with OK.
    virtual bool JobPinDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual bool AdvancedDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual void AboutDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual bool WatermarkDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual bool OverlayDialog(HWND owner, OemUiContext &ctx) = 0;
    // The watermark list and the overlay store at Apply and Reset.
    virtual void StoreWatermarks(OemUiContext &ctx) = 0;
    virtual void ReleaseWatermarks(OemUiContext &ctx) = 0;
    virtual void CommitOverlays(OemUiContext &ctx) = 0;

protected:
    ~JobOptionsServices() = default;
};

JobOptionsServices &SystemJobOptionsServices();
// The services the page's window uses: the tests' when they put their own in place, else the system's.
JobOptionsServices &CurrentJobOptionsServices();
// Tests put their own services in place; null restores the system's.
void SetJobOptionsServices(JobOptionsServices *services);

} // namespace zep
