// The core driver's UI plug-in interfaces and the common property-sheet records they pass, in the core's layout.
#pragma once
#include "common/oemintf.h"

#include <cstddef>

// CommonUIProp modes, also the DrvUpdateUISetting sheet mode.
#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

// HideStandardUI modes.
#define OEMDM_HIDE_DOCPROP 1
#define OEMDM_HIDE_PRNPROP 2

// OPTITEM.Flags.
#define OPTIF_COLLAPSE 0x00000001
#define OPTIF_HIDE 0x00000002
#define OPTIF_CALLBACK 0x00000004
#define OPTIF_CHANGED 0x00000008
#define OPTIF_CHANGEONCE 0x00000010
#define OPTIF_DISABLED 0x00000020
#define OPTIF_HAS_POIEXT 0x00010000

// OPTPARAM.Flags.
#define OPTPF_HIDE 0x01
#define OPTPF_DISABLED 0x02

// OPTTYPE.Type.
#define TVOT_2STATES 0
#define TVOT_3STATES 1
#define TVOT_UDARROW 2
#define TVOT_TRACKBAR 3
#define TVOT_SCROLLBAR 4
#define TVOT_LISTBOX 5
#define TVOT_COMBOBOX 6
#define TVOT_EDITBOX 7
#define TVOT_PUSHBUTTON 8
#define TVOT_CHKBOX 9

// Standard items of the core's document sheet (OPTITEM.DMPubID).
#define DMPUB_NONE 0
#define DMPUB_ORIENTATION 1
#define DMPUB_SCALE 2
#define DMPUB_COPIES_COLLATE 3
#define DMPUB_DEFSOURCE 4
#define DMPUB_PRINTQUALITY 5
#define DMPUB_COLOR 6
#define DMPUB_DUPLEX 7
#define DMPUB_TTOPTION 8
#define DMPUB_FORMNAME 9
#define DMPUB_ICMMETHOD 10
#define DMPUB_ICMINTENT 11
#define DMPUB_MEDIATYPE 12
#define DMPUB_DITHERTYPE 13
#define DMPUB_OUTPUTBIN 14
#define DMPUB_QUALITY 15
#define DMPUB_NUP 16
#define DMPUB_PAGEORDER 17

// Item callback reasons and answers.
#define CPSUICB_REASON_SEL_CHANGED 0
#define CPSUICB_REASON_PUSHBUTTON 1
#define CPSUICB_REASON_ECB_CHANGED 2
#define CPSUICB_REASON_DLGPROC 3
#define CPSUICB_REASON_UNDO_CHANGES 4
#define CPSUICB_REASON_EXTPUSH 5
#define CPSUICB_REASON_APPLYNOW 6
#define CPSUICB_REASON_OPTITEM_SETFOCUS 7
#define CPSUICB_REASON_ITEMS_REVERTED 8
#define CPSUICB_REASON_ABOUT 9
#define CPSUICB_REASON_SETACTIVE 10
#define CPSUICB_REASON_KILLACTIVE 11
#define CPSUICB_ACTION_NONE 0

// Functions of the common property sheet (pfnComPropSheet).
#define CPSFUNC_ADD_HPROPSHEETPAGE 0
#define CPSFUNC_ADD_PROPSHEETPAGEW 1
#define CPSFUNC_SET_RESULT 9
#define CPSUI_CANCEL 0
#define CPSUI_OK 1

// Property sheet UI reasons (PROPSHEETUI_INFO.Reason).
#define PROPSHEETUI_INFO_VERSION 0x0100
#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3
#define PROPSHEETUI_REASON_GET_ICON 4
#define PROPSHEETUI_REASON_BEFORE_INIT 5

// Colour profile answer of QueryColorProfile.
#define QCP_DEVICEPROFILE 0x0000
#define QCP_PROFILEDISK 0x0002

struct OPTTYPE;
struct OIEXT;

struct OPTPARAM {
    WORD cbSize;
    BYTE Flags;
    BYTE Style;
    LPWSTR pData;
    ULONG_PTR IconID;
    LPARAM lParam;
    ULONG_PTR dwReserved[2];
};
typedef OPTPARAM *POPTPARAM;

struct OPTTYPE {
    WORD cbSize;
    BYTE Type;
    BYTE Flags;
    WORD Count;
    WORD BegCtrlID;
    POPTPARAM pOptParam;
    WORD Style;
    WORD wReserved[3];
    ULONG_PTR dwReserved[3];
};
typedef OPTTYPE *POPTTYPE;

// Extension of an item: the help file its HelpIndex refers to.
struct OIEXT {
    WORD cbSize;
    WORD Flags;
    HINSTANCE hInstCaller;
    LPWSTR pHelpFile;
    ULONG_PTR dwReserved[4];
};
typedef OIEXT *POIEXT;

struct OPTITEM {
    WORD cbSize;
    BYTE Level;
    BYTE DlgPageIdx;
    DWORD Flags;
    ULONG_PTR UserData;
    LPWSTR pName;
    union {
        LONG Sel;
        LPWSTR pSel;
    };
    PVOID pExtChkBox;
    POPTTYPE pOptType;
    DWORD HelpIndex;
    BYTE DMPubID;
    BYTE UserItemID;
    WORD wReserved;
    POIEXT pOIExt;
    ULONG_PTR dwReserved[3];
};
typedef OPTITEM *POPTITEM;

// What the core's item's UserData points to: its own record for the item. Only the item id and the PPD
// keyword (NUL-terminated ASCII, null for items without one) are read.
struct CoreItemData {
    ULONG_PTR reserved;
    ULONG_PTR itemId;
    LPCSTR keyword;
};

struct CPSUICBPARAM {
    WORD cbSize;
    WORD Reason;
    HWND hDlg;
    POPTITEM pOptItem;
    WORD cOptItem;
    WORD Flags;
    POPTITEM pCurItem;
    union {
        LONG OldSel;
        LPWSTR pOldSel;
    };
    ULONG_PTR UserData;
    ULONG_PTR Result;
};
typedef CPSUICBPARAM *PCPSUICBPARAM;

typedef LONG_PTR(CALLBACK *PFNCOMPROPSHEET)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2);

struct PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reason;
    HANDLE hComPropSheet;
    PFNCOMPROPSHEET pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
};
typedef PROPSHEETUI_INFO *PPROPSHEETUI_INFO;

struct PROPSHEETUI_INFO_HEADER {
    WORD cbSize;
    WORD Flags;
    LPWSTR pTitle;
    HWND hWndParent;
    HINSTANCE hInst;
    union {
        HICON hIcon;
        ULONG_PTR IconID;
    };
};
typedef PROPSHEETUI_INFO_HEADER *PPROPSHEETUI_INFO_HEADER;

struct SETRESULT_INFO {
    WORD cbSize;
    WORD wReserved;
    HANDLE hSetResult;
    LRESULT Result;
};
typedef SETRESULT_INFO *PSETRESULT_INFO;

// The core's services to the UI plug-in, reached through the OEMUIOBJ of every call.
typedef BOOL(APIENTRY *PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                PDWORD pcbNeeded, PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY *PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem, DWORD dwPreviousSelection,
                                               DWORD dwMode);

struct OEMUIPROCS {
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PFN_DrvUpdateUISetting DrvUpdateUISetting;
};
typedef OEMUIPROCS *POEMUIPROCS;

struct OEMUIOBJ {
    DWORD cbSize;
    POEMUIPROCS pOemUIProcs;
};
typedef OEMUIOBJ *POEMUIOBJ;

struct OEMCUIPPARAM;
typedef LONG(APIENTRY *OEMCUIPCALLBACK)(PCPSUICBPARAM pCallbackParam, OEMCUIPPARAM *pOemCUIPParam);

struct OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
};
typedef OEMCUIPPARAM *POEMCUIPPARAM;

struct OEMUIPSPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
};
typedef OEMUIPSPARAM *POEMUIPSPARAM;

// Records of the two never-implemented methods, passed through untouched.
struct DEVQUERYPRINT_INFO;
typedef DEVQUERYPRINT_INFO *PDEVQUERYPRINT_INFO;

// The core driver's helper interface for the UI plug-in: obtained and kept, never called.
struct IPrintOemDriverUI : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                          PDWORD pcbNeeded, PDWORD pdwOptionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature,
                                                                PCSTR pOption) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection,
                                                         DWORD dwMode) = 0;
};

// The UI plug-in's interface, in the core driver's slot order.
struct IPrintOemUI : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *pIUnknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo,
                                                      PDEVMODEW pPublicDM, PVOID pOEMDM) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName,
                                                         WORD wCapability, PVOID pOutput, PDEVMODEW pPublicDM,
                                                         PVOID pOEMDM, DWORD dwOld, DWORD *dwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags,
                                                   LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo,
                                                  LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM,
                                                        PVOID pOEMDM, ULONG ulQueryMode, VOID *pvProfileData,
                                                        ULONG *pcbProfileData, FLONG *pflProfileData) = 0;
    virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) = 0;
};

struct IPrintOemUI2 : IPrintOemUI {
    virtual HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE hPrinter, PDEVMODEW pDevmode, DWORD dwLevel,
                                                         LPBYTE lpAttributeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD dwMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn,
                                                    ULONG cbOut, PVOID pvOut, PINT piResult) = 0;
};

// The layouts the core driver exchanges, for the 32-bit module and the 64-bit Linux build alike.
namespace zep::oemui_layout {
inline constexpr bool k32 = sizeof(void *) == 4;
static_assert(sizeof(OPTPARAM) == (k32 ? 24 : 48));
static_assert(sizeof(OPTTYPE) == (k32 ? 32 : 48) && offsetof(OPTTYPE, pOptParam) == 8);
static_assert(sizeof(OIEXT) == (k32 ? 28 : 56) && offsetof(OIEXT, pHelpFile) == (k32 ? 8 : 16));
static_assert(sizeof(OPTITEM) == (k32 ? 52 : 88));
static_assert(offsetof(OPTITEM, UserData) == 8 && offsetof(OPTITEM, Sel) == (k32 ? 16 : 24));
static_assert(offsetof(OPTITEM, HelpIndex) == (k32 ? 28 : 48) && offsetof(OPTITEM, DMPubID) == (k32 ? 32 : 52));
static_assert(offsetof(OPTITEM, UserItemID) == (k32 ? 33 : 53) && offsetof(OPTITEM, pOIExt) == (k32 ? 36 : 56));
static_assert(sizeof(CPSUICBPARAM) == (k32 ? 32 : 64));
static_assert(sizeof(PROPSHEETUI_INFO) == (k32 ? 28 : 48) && offsetof(PROPSHEETUI_INFO, Result) == (k32 ? 24 : 40));
static_assert(sizeof(PROPSHEETUI_INFO_HEADER) == (k32 ? 20 : 40));
static_assert(sizeof(SETRESULT_INFO) == (k32 ? 12 : 24));
static_assert(sizeof(OEMUIOBJ) == (k32 ? 8 : 16));
static_assert(sizeof(OEMCUIPPARAM) == (k32 ? 60 : 120));
static_assert(offsetof(OEMCUIPPARAM, pDrvOptItems) == (k32 ? 36 : 72));
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == (k32 ? 56 : 112));
static_assert(sizeof(OEMUIPSPARAM) == (k32 ? 44 : 88));
} // namespace zep::oemui_layout
