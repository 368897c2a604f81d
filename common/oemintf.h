// The core driver's plug-in interfaces and records, laid out as the PostScript core driver lays them out.
#pragma once
#include "common/win32.h"
#include "common/ddi.h"

// Plug-in information modes (GetInfo).
#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

// Private DEVMODE section operations (DevMode).
#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

#define PRINTER_OEMINTF_VERSION 0x00010000

// PostScript injection points (Command).
#define PSINJECT_BEGINSTREAM 1
#define PSINJECT_PSADOBE 2
#define PSINJECT_PAGESATEND 3
#define PSINJECT_PAGES 4
#define PSINJECT_DOCNEEDEDRES 5
#define PSINJECT_DOCSUPPLIEDRES 6
#define PSINJECT_PAGEORDER 7
#define PSINJECT_ORIENTATION 8
#define PSINJECT_BOUNDINGBOX 9
#define PSINJECT_DOCUMENTPROCESSCOLORS 10
#define PSINJECT_COMMENTS 11
#define PSINJECT_BEGINDEFAULTS 12
#define PSINJECT_ENDDEFAULTS 13
#define PSINJECT_BEGINPROLOG 14
#define PSINJECT_ENDPROLOG 15
#define PSINJECT_BEGINSETUP 16
#define PSINJECT_ENDSETUP 17
#define PSINJECT_TRAILER 18
#define PSINJECT_EOF 19
#define PSINJECT_ENDSTREAM 20
#define PSINJECT_PAGENUMBER 100
#define PSINJECT_BEGINPAGESETUP 101
#define PSINJECT_ENDPAGESETUP 102

// The predefined DrvGetDriverSetting index that answers the PostScript output option as a DWORD.
#define OEMGDS_PS_OUTPUT_OPTION 2
#define PS_OUTPUT_EPS 2

// Header of every plug-in's private DEVMODE section.
struct OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
};

struct OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODEW pPublicDMIn;
    PDEVMODEW pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
};
typedef OEMDMPARAM *POEMDMPARAM;

struct DEVOBJ;
typedef DEVOBJ *PDEVOBJ;
typedef PVOID PDEVOEM;

// The device object's callback table.
struct DRVPROCS {
    DWORD (*DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);
    INT (*DrvXMoveTo)(PDEVOBJ pdevobj, INT x, DWORD dwFlags);
    INT (*DrvYMoveTo)(PDEVOBJ pdevobj, INT y, DWORD dwFlags);
    BOOL (*DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
                                PDWORD pdwOptionsReturned);
    BOOL (*DrvGetStandardVariable)(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded);
    BOOL (*DrvGetGPDData)(PDEVOBJ pdevobj, DWORD dwType, PVOID pInputData, PVOID pBuffer, DWORD cbSize,
                          PDWORD pcbNeeded);
    BOOL (*DrvUniTextOut)(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *, RECTL *, BRUSHOBJ *, BRUSHOBJ *,
                          POINTL *, MIX);
    DWORD (*DrvWriteAbortBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD dwWait);
};
typedef DRVPROCS *PDRVPROCS;

struct DEVOBJ {
    DWORD dwSize;
    PDEVOEM pdevOEM;
    HANDLE hEngine;
    HANDLE hPrinter;
    HANDLE hOEM;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PDRVPROCS pDrvProcs;
};

// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}
inline constexpr GUID CLSID_OEMRENDER = {0x6d6abf26, 0x9f38, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}
inline constexpr GUID CLSID_OEMUI = {0xabce80d7, 0x9f46, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {688342B5-8E1A-11D1-881F-00C04FB961EC}
inline constexpr GUID IID_IPrintOemPS = {0x688342b5, 0x8e1a, 0x11d1, {0x88, 0x1f, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {BECF7F34-51B3-46C9-8A1C-18679BD21F36}
inline constexpr GUID IID_IPrintOemPS2 = {0xbecf7f34, 0x51b3, 0x46c9, {0x8a, 0x1c, 0x18, 0x67, 0x9b, 0xd2, 0x1f, 0x36}};
// {D90060C7-8E1A-11D1-881F-00C04FB961EC}
inline constexpr GUID IID_IPrintOemDriverPS = {
    0xd90060c7, 0x8e1a, 0x11d1, {0x88, 0x1f, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
inline constexpr GUID IID_IPrintOemUI = {0xc6a7a9d0, 0x774c, 0x11d1, {0x94, 0x7f, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
// {292515F9-B54B-489B-9275-BAB56821395E}
inline constexpr GUID IID_IPrintOemUI2 = {0x292515f9, 0xb54b, 0x489b, {0x92, 0x75, 0xba, 0xb5, 0x68, 0x21, 0x39, 0x5e}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
inline constexpr GUID IID_IPrintOemDriverUI = {
    0x92b05d50, 0x78bc, 0x11d1, {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
// {00000000-0000-0000-C000-000000000046} and {00000001-0000-0000-C000-000000000046}, kept local so that
// neither build needs the platform's uuid library.
inline constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID kIidClassFactory = {0x00000001, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The core driver's helper interface for the rendering plug-in.
struct IPrintOemDriverPS : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                          DWORD cbSize, PDWORD pcbNeeded,
                                                          PDWORD pdwOptionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                                       DWORD *pdwResult) = 0;
};

// The rendering plug-in's interface, in the core driver's slot order.
struct IPrintOemPS : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisableDriver() = 0;
    virtual HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                                                 HSURF *phsurfPatterns, ULONG cjGdiInfo, GDIINFO *pGdiInfo,
                                                 ULONG cjDevInfo, DEVINFO *pDevInfo, DRVENABLEDATA *pded,
                                                 PDEVOEM *pDevOem) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) = 0;
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *pIUnknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE Command(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData, DWORD cbSize,
                                              DWORD *pdwResult) = 0;
};

struct IPrintOemPS2 : IPrintOemPS {
    virtual HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer,
                                                   PDWORD pcbWritten) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPDEVAdjustment(PDEVOBJ pdevobj, DWORD dwAdjustType, PVOID pBuf,
                                                        DWORD cbBuffer, BOOL *pbAdjustmentDone) = 0;
};

// Exports of every plug-in module.
typedef HRESULT(STDMETHODCALLTYPE *PFN_DllGetClassObject)(REFCLSID rclsid, REFIID riid, LPVOID *ppv);
typedef HRESULT(STDMETHODCALLTYPE *PFN_DllCanUnloadNow)();
