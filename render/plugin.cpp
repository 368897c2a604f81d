// OemRenderPlugin: each interface method hands off at once to the plain routine that does the work.
#include "render/plugin.h"

#include <cstring>

#include "common/devmode_render.h"
#include "render/dispatcher.h"
#include "render/gate.h"
#include "render/pdev.h"

namespace zep {

HRESULT RenderGetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed)
{
    if (!needed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    DWORD value;
    switch (mode) {
    case OEMGI_GETSIGNATURE: value = kOemSignature; break;
    case OEMGI_GETVERSION: value = kOemVersion; break;
    case OEMGI_GETPUBLISHERINFO: *needed = 8; return E_FAIL;
    default: SetLastError(ERROR_INVALID_PARAMETER); return E_FAIL;
    }
    *needed = sizeof(DWORD);
    if (!buffer || size < sizeof(DWORD)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    std::memcpy(buffer, &value, sizeof(value));
    return S_OK;
}

HRESULT FillDriverEnableData(PDRVENABLEDATA ded)
{
    if (!ded) return E_FAIL;
    ded->iDriverVersion = PRINTER_OEMINTF_VERSION;
    ded->c = static_cast<ULONG>(kHookCount);
    ded->pdrvfn = DdiHookTable;
    return S_OK;
}

STDMETHODIMP OemRenderPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded)
{
    return RenderGetInfo(dwMode, pBuffer, cbSize, pcbNeeded);
}

STDMETHODIMP OemRenderPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam)
{
    return RenderDevMode(dwMode, pOemDMParam);
}

STDMETHODIMP OemRenderPlugin::EnableDriver(DWORD, DWORD, PDRVENABLEDATA pded) { return FillDriverEnableData(pded); }

STDMETHODIMP OemRenderPlugin::DisableDriver()
{
    core_.reset();
    return S_OK;
}

STDMETHODIMP OemRenderPlugin::EnablePDEV(PDEVOBJ, PWSTR, ULONG, HSURF *, ULONG, GDIINFO *, ULONG, DEVINFO *,
                                         DRVENABLEDATA *pded, PDEVOEM *pDevOem)
{
    if (!pDevOem) return E_FAIL;
    *pDevOem = CreateOemPdev(pded);
    return *pDevOem ? S_OK : E_FAIL;
}

STDMETHODIMP OemRenderPlugin::DisablePDEV(PDEVOBJ pdevobj)
{
    if (pdevobj) {
        DestroyOemPdev(static_cast<OemPdev *>(pdevobj->pdevOEM));
        pdevobj->pdevOEM = nullptr;
    }
    return S_OK;
}

STDMETHODIMP OemRenderPlugin::ResetPDEV(PDEVOBJ, PDEVOBJ) { return S_OK; }

STDMETHODIMP OemRenderPlugin::PublishDriverInterface(IUnknown *pIUnknown)
{
    if (core_) return S_OK;
    if (!pIUnknown) return E_FAIL;
    void *core = nullptr;
    if (FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverPS, &core)) || !core) return E_FAIL;
    core_.attach(static_cast<IPrintOemDriverPS *>(core));
    return S_OK;
}

STDMETHODIMP OemRenderPlugin::Command(PDEVOBJ pdevobj, DWORD dwIndex, PVOID, DWORD, DWORD *pdwResult)
{
    return RunCommand(RenderCall{pdevobj, core_.get()}, dwIndex, pdwResult);
}

STDMETHODIMP OemRenderPlugin::WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten)
{
    return GateWritePrinter(pdevobj, pBuf, cbBuffer, pcbWritten);
}

STDMETHODIMP OemRenderPlugin::GetPDEVAdjustment(PDEVOBJ, DWORD, PVOID, DWORD, BOOL *) { return E_NOTIMPL; }

} // namespace zep
