// OemUiPlugin, the UI plug-in's COM object, and the plain functions its methods hand off to.
#pragma once
#include "common/comobject.h"
#include "common/handle.h"
#include "common/oemui.h"
#include "ui/state.h"
#include "ui/sheets.h"

namespace zep {

inline constexpr ULONG kColorProfileBytes = 32;

// GetInfo: signature and version; publisher information is never supplied.
HRESULT UiGetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
// QueryColorProfile: the name of the plug-in's profile on disk.
HRESULT UiQueryColorProfile(ULONG queryMode, PVOID profileData, ULONG *size, FLONG *flags);

class OemUiPlugin final : public ComObject<OemUiPlugin, IPrintOemUI2, IID_IPrintOemUI, IID_IPrintOemUI2>,
                          private CountedInModule<g_ui> {
public:
    OemUiPlugin();

    PluginSheetState &Sheets() { return sheets_; }

    STDMETHODIMP GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHODIMP DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
    STDMETHODIMP PublishDriverInterface(IUnknown *pIUnknown) override;
    STDMETHODIMP CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
    STDMETHODIMP DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    STDMETHODIMP DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    STDMETHODIMP DevQueryPrintEx(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM,
                                 PVOID pOEMDM) override;
    STDMETHODIMP DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName, WORD wCapability,
                                    PVOID pOutput, PDEVMODEW pPublicDM, PVOID pOEMDM, DWORD dwOld,
                                    DWORD *dwResult) override;
    STDMETHODIMP UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) override;
    STDMETHODIMP PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) override;
    STDMETHODIMP DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) override;
    STDMETHODIMP QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM, PVOID pOEMDM,
                                   ULONG ulQueryMode, VOID *pvProfileData, ULONG *pcbProfileData,
                                   FLONG *pflProfileData) override;
    STDMETHODIMP FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) override;
    STDMETHODIMP UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) override;
    STDMETHODIMP QueryJobAttributes(HANDLE hPrinter, PDEVMODEW pDevmode, DWORD dwLevel,
                                    LPBYTE lpAttributeInfo) override;
    STDMETHODIMP HideStandardUI(DWORD dwMode) override;
    STDMETHODIMP DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut,
                               PVOID pvOut, PINT piResult) override;

private:
    friend ComObject;
    ~OemUiPlugin();

    ComPtr<IPrintOemDriverUI> core_;
    PluginSheetState sheets_;
};

} // namespace zep
