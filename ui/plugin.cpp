// OemUiPlugin: each interface method hands off at once to the plain routine that does the work.
#include "ui/plugin.h"

#include <cstring>

#include "common/devmode_ui.h"
#include "ui/events.h"
#include "ui/probe.h"

namespace zep {

HRESULT UiGetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed)
{
    if (!needed || (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    *needed = sizeof(DWORD);
    if (!buffer || size < sizeof(DWORD)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    if (mode == OEMGI_GETPUBLISHERINFO) {
        *needed = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return E_FAIL;
    }
    const DWORD value = mode == OEMGI_GETSIGNATURE ? kOemSignature : kOemVersion;
    std::memcpy(buffer, &value, sizeof(value));
    return S_OK;
}

HRESULT UiQueryColorProfile(ULONG queryMode, PVOID profileData, ULONG *size, FLONG *flags)
{
    static const WCHAR kProfile[] = TEXT("OEMPROFILE.icm");
    static_assert(sizeof(kProfile) <= kColorProfileBytes);
    if (queryMode != QCP_DEVICEPROFILE) return E_FAIL;
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (!profileData || *size < kColorProfileBytes) {
        *size = kColorProfileBytes;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    std::memcpy(profileData, kProfile, sizeof(kProfile));
    *size = kColorProfileBytes;
    if (flags) *flags = QCP_PROFILEDISK;
    return S_OK;
}

PluginSheetState *SheetStateOf(PVOID userData)
{
    return userData ? &static_cast<OemUiPlugin *>(static_cast<IPrintOemUI2 *>(userData))->Sheets() : nullptr;
}

OemUiPlugin::OemUiPlugin() { sheets_.self = static_cast<IPrintOemUI2 *>(this); }

OemUiPlugin::~OemUiPlugin()
{
    core_.reset();
    ReleaseSheetRecords(sheets_);
}

STDMETHODIMP OemUiPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded)
{
    return UiGetInfo(dwMode, pBuffer, cbSize, pcbNeeded);
}

STDMETHODIMP OemUiPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam)
{
    EnsureHelpProbe();
    return UiDevMode(dwMode, pOemDMParam);
}

STDMETHODIMP OemUiPlugin::PublishDriverInterface(IUnknown *pIUnknown)
{
    if (core_) return S_OK;
    void *core = nullptr;
    if (!pIUnknown || FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverUI, &core)) || !core) return E_FAIL;
    core_.attach(static_cast<IPrintOemDriverUI *>(core));
    return S_OK;
}

STDMETHODIMP OemUiPlugin::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam)
{
    return RunCommonUIProp(sheets_, dwMode, pOemCUIPParam);
}

STDMETHODIMP OemUiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    EnsureHelpProbe();
    return RunDocumentPropertySheets(sheets_, pPSUIInfo, lParam);
}

STDMETHODIMP OemUiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam)
{
    EnsureHelpProbe();
    return RunDevicePropertySheets(sheets_, pPSUIInfo, lParam);
}

STDMETHODIMP OemUiPlugin::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) { return E_NOTIMPL; }

STDMETHODIMP OemUiPlugin::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD *)
{
    return E_NOTIMPL;
}

STDMETHODIMP OemUiPlugin::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }

STDMETHODIMP OemUiPlugin::PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam)
{
    return HandlePrinterEvent(pPrinterName, iDriverEvent, dwFlags, lParam) ? S_OK : E_FAIL;
}

STDMETHODIMP OemUiPlugin::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return E_NOTIMPL; }

STDMETHODIMP OemUiPlugin::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG ulQueryMode,
                                            VOID *pvProfileData, ULONG *pcbProfileData, FLONG *pflProfileData)
{
    return UiQueryColorProfile(ulQueryMode, pvProfileData, pcbProfileData, pflProfileData);
}

STDMETHODIMP OemUiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }

STDMETHODIMP OemUiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

STDMETHODIMP OemUiPlugin::QueryJobAttributes(HANDLE, PDEVMODEW, DWORD, LPBYTE) { return E_NOTIMPL; }

STDMETHODIMP OemUiPlugin::HideStandardUI(DWORD dwMode)
{
    // Noted for the pages; the core's standard pages stay.
    if (dwMode == OEMDM_HIDE_DOCPROP || dwMode == OEMDM_HIDE_PRNPROP) sheets_.standardUi = 1;
    return E_NOTIMPL;
}

STDMETHODIMP OemUiPlugin::DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut,
                                        PVOID pvOut, PINT piResult)
{
    HandleDocumentEvent(hPrinter, hdc, iEsc, cbIn, pvIn, cbOut, pvOut, piResult);
    return S_OK;
}

} // namespace zep
