// OemRenderPlugin, the rendering plug-in's COM object, and the plain functions its methods hand off to.
#pragma once
#include "common/comobject.h"
#include "common/handle.h"
#include "common/oemintf.h"
#include "render/state.h"

namespace zep {

// GetInfo: signature and version; publisher information is never supplied.
HRESULT RenderGetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
// EnableDriver: the plug-in's DDI hooks.
HRESULT FillDriverEnableData(PDRVENABLEDATA ded);

class OemRenderPlugin final : public ComObject<OemRenderPlugin, IPrintOemPS2, IID_IPrintOemPS2, IID_IPrintOemPS>,
                              private CountedInModule<g_render> {
public:
    OemRenderPlugin() = default;

    STDMETHODIMP GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHODIMP DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
    STDMETHODIMP EnableDriver(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) override;
    STDMETHODIMP DisableDriver() override;
    STDMETHODIMP EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns, HSURF *phsurfPatterns,
                            ULONG cjGdiInfo, GDIINFO *pGdiInfo, ULONG cjDevInfo, DEVINFO *pDevInfo,
                            DRVENABLEDATA *pded, PDEVOEM *pDevOem) override;
    STDMETHODIMP DisablePDEV(PDEVOBJ pdevobj) override;
    STDMETHODIMP ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) override;
    STDMETHODIMP PublishDriverInterface(IUnknown *pIUnknown) override;
    STDMETHODIMP Command(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData, DWORD cbSize, DWORD *pdwResult) override;
    STDMETHODIMP WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten) override;
    STDMETHODIMP GetPDEVAdjustment(PDEVOBJ pdevobj, DWORD dwAdjustType, PVOID pBuf, DWORD cbBuffer,
                                   BOOL *pbAdjustmentDone) override;

private:
    friend ComObject;
    ~OemRenderPlugin() = default;

    ComPtr<IPrintOemDriverPS> core_;
};

} // namespace zep
