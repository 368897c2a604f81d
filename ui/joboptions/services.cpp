// The Job Options page's services on the real system.
#include "ui/joboptions/services.h"

#include "common/companions.h"
#include "common/config.h"
#include "common/printer.h"
#include "ui/joboptions/dialogs.h"

namespace zep {
namespace {

JobOptionsServices *g_services = nullptr;

class LibraryCipher final : public PasswordCipher {
public:
    explicit LibraryCipher(HANDLE hPrinter) : cipher_(hPrinter, &Notify) {}
    bool Loaded() const { return cipher_.IsLoaded(); }
    BOOL DispCryptoUIEx(HWND owner, EncryptionSetting *setting, DWORD mode) override
    {
        return cipher_.DispCryptoUIEx(owner, setting, mode);
    }
    BOOL EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size) override
    {
        return cipher_.EncryptPassword(text, length, out, size);
    }
    BOOL DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size) override
    {
        return cipher_.DecryptPassword(data, length, out, size);
    }

private:
    static void Notify(LPCWSTR text) { MessageBoxW(nullptr, text, nullptr, MB_OK); }
    CCiperSet cipher_;
};

class SystemServices final : public JobOptionsServices {
public:
    void ModelString(HANDLE hPrinter, LPCWSTR key, WCHAR *out, DWORD cch) override
    {
        GetModelString(hPrinter, key, out, cch);
    }

    DWORD QueryCardDriver(HANDLE hPrinter) override { return zep::QueryCardDriver(hPrinter); }

    std::unique_ptr<PasswordCipher> LoadCipher(HANDLE hPrinter) override
    {
        auto cipher = std::make_unique<LibraryCipher>(hPrinter);
        if (!cipher->Loaded()) return nullptr;
        return cipher;
    }

    DWORD PrinterAttributes(HANDLE hPrinter) override
    {
        DWORD attributes = 0;
        GetPrinterAttributes(hPrinter, &attributes);
        return attributes;
    }

    bool JobPinDialog(HWND owner, OemUiContext &ctx) override { return ShowJobPinDialog(owner, &ctx) == 1; }
    bool AdvancedDialog(HWND owner, OemUiContext &ctx) override { return ShowAdvancedDialog(owner, &ctx) == 1; }
    void AboutDialog(HWND owner, OemUiContext &ctx) override { ShowAboutDialog(owner, &ctx); }
    // The watermark list and overlay dialogs are not part of this module yet: nothing opens, nothing changes.
    bool WatermarkDialog(HWND, OemUiContext &) override { return false; }
    bool OverlayDialog(HWND, OemUiContext &) override { return false; }
    void StoreWatermarks(OemUiContext &) override {}
    void ReleaseWatermarks(OemUiContext &) override {}
    void CommitOverlays(OemUiContext &) override {}
};

} // namespace

JobOptionsServices &SystemJobOptionsServices()
{
    static SystemServices services;
    return services;
}

JobOptionsServices &CurrentJobOptionsServices() { return g_services ? *g_services : SystemJobOptionsServices(); }

void SetJobOptionsServices(JobOptionsServices *services) { g_services = services; }

} // namespace zep
