// CommonUIProp for both sheets, the pages of the document sheet and the printer sheet's record.
#include "ui/sheets.h"

#include <cstring>
#include <iterator>

#include "common/config.h"
#include "common/handle.h"
#include "common/library.h"
#include "ui/events.h"
#include "ui/pages.h"
#include "ui/slots.h"
#include "ui/state.h"

namespace zep {
namespace {

constexpr DWORD kPrinterNameBytes = 221;
constexpr BYTE kInstallableItemLevel = 2;
constexpr WORD kPushButtonStyle = 0xE0;
constexpr LPARAM kSecondParamMark = 9999;
constexpr DWORD kHelpNameChars = 520;

typedef DWORD(WINAPI *PFN_GetNetextCapability)(LPCSTR printerName);

template <typename T>
T *HeapNew(HANDLE heap, SIZE_T count = 1)
{
    return static_cast<T *>(heap ? HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(T) * count) : nullptr);
}

// An item the plug-in adds to a core sheet starts blank, with the size of this build's OPTITEM (the 32-bit
// core's 52 bytes).
void ClearAddedItems(OEMCUIPPARAM &param)
{
    for (DWORD i = 0; i < param.cOEMOptItems; ++i) {
        std::memset(&param.pOEMOptItems[i], 0, sizeof(OPTITEM));
        param.pOEMOptItems[i].cbSize = sizeof(OPTITEM);
        param.pOEMOptItems[i].DMPubID = DMPUB_NONE;
    }
}

OemUiContext *NewContext(PluginSheetState &state, POEMCUIPPARAM param)
{
    auto ctx = HeapNew<OemUiContext>(param->hOEMHeap);
    if (!ctx) return nullptr;
    ctx->pCuiParam = param;
    for (DWORD &index : ctx->dwSlotIndex) index = kSlotAbsent;
    ctx->pwszPluginIni = g_ui.pluginIniPath;
    return ctx;
}

HRESULT DocumentCommonUIProp(PluginSheetState &state, OEMCUIPPARAM &param, UiSheetServices &services)
{
    if (!param.pOEMOptItems) {
        param.cOEMOptItems = 0;
        return S_OK;
    }
    param.pOEMUserData = state.self;
    param.OEMCUIPCallback = DocumentItemCallback;
    ClearAddedItems(param);
    g_ui.printerDataWritable = services.ProbePrinterData(param.hPrinter);

    state.hOEMHeap = param.hOEMHeap;
    OemUiContext *ctx = NewContext(state, &param);
    if (!ctx) return E_OUTOFMEMORY;
    state.context = ctx;
    DocumentScanInputs in;
    in.helpFile = g_ui.helpFilePath;
    in.compression = services.ModelInt(param.hPrinter, TEXT("Compression"));
    in.pluginIni = ctx->pwszPluginIni;
    ScanDocumentItems(*ctx, in);
    ctx->dwSlotSel[slotStandardUi] = state.standardUi;
    return S_OK;
}

// The printer sheet's one added item: a push button that reads the installed options from the printer.
void BuildInstallableOptionsItem(OPTITEM &item, HANDLE heap, UiSheetServices &services)
{
    item.cbSize = sizeof(OPTITEM);
    item.Level = kInstallableItemLevel;
    item.DlgPageIdx = 0;
    item.Flags = OPTIF_CALLBACK | OPTIF_HAS_POIEXT;
    item.UserData = 0;
    item.pName = services.LoadModuleString(heap, kStringGetInstallableOptions);
    item.HelpIndex = kInstallableOptionsHelp;
    item.UserItemID = kInstallableOptionsItemId;

    if (auto help = HeapNew<OIEXT>(heap)) {
        help->cbSize = sizeof(OIEXT);
        help->pHelpFile = g_ui.helpFilePath;
        item.pOIExt = help;
    }
    auto type = HeapNew<OPTTYPE>(heap);
    auto params = HeapNew<OPTPARAM>(heap, 2);
    if (type && params) {
        params[0].cbSize = params[1].cbSize = sizeof(OPTPARAM);
        params[1].lParam = kSecondParamMark;
        type->cbSize = sizeof(OPTTYPE);
        type->Type = TVOT_PUSHBUTTON;
        type->Count = 1;
        type->BegCtrlID = 1;
        type->Style = kPushButtonStyle;
        type->pOptParam = params;
        item.pOptType = type;
    }
}

HRESULT PrinterCommonUIProp(PluginSheetState &state, OEMCUIPPARAM &param, UiSheetServices &services)
{
    if (!param.pOEMOptItems) {
        param.cOEMOptItems = 1;
        return S_OK;
    }
    param.pOEMUserData = state.self;
    param.OEMCUIPCallback = PrinterItemCallback;
    ClearAddedItems(param);
    state.hOEMHeap = param.hOEMHeap;

    auto device = HeapNew<OemDeviceRecord>(param.hOEMHeap);
    if (!device) return E_OUTOFMEMORY;
    device->pCuiParam = &param;
    for (DWORD &unused : device->dwUnused) unused = kDeviceRecordFill;
    state.device = device;
    ScanPrinterItems(param, g_ui.helpFilePath);

    if (param.cOEMOptItems >= 1) {
        OPTITEM &item = param.pOEMOptItems[0];
        BuildInstallableOptionsItem(item, param.hOEMHeap, services);
        if (services.NetExtCapability(param.hPrinter, param.pPrinterName) == 0) item.Flags |= OPTIF_HIDE;
    }

    OemUiContext *ctx = NewContext(state, &param);
    if (!ctx) return E_OUTOFMEMORY;
    state.context = ctx;
    ctx->dwSlotSel[slotStandardUi] = state.standardUi;
    return S_OK;
}

HPROPSHEETPAGE AddPage(OemUiContext &ctx, HINSTANCE instance, WORD templateId, DLGPROC proc, DWORD flags = PSP_DEFAULT,
                       HICON icon = nullptr)
{
    PROPSHEETPAGEW page = {};
    // The 32-bit core's 52 bytes would be refused by a 64-bit sheet: this build's own size serves both.
    page.dwSize = sizeof(PROPSHEETPAGEW);
    page.dwFlags = flags;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(templateId);
    page.hIcon = icon;
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(&ctx);
    return reinterpret_cast<HPROPSHEETPAGE>(
        ctx.pfnComPropSheet(ctx.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0));
}

void AddDocumentPages(OemUiContext &ctx, UiSheetServices &services)
{
    if (!ctx.pfnComPropSheet) return;
    ctx.hJobOptionsPage = AddPage(ctx, g_ui.module, kJobOptionsTemplate, JobOptionsPageProc);
    if (SlotPresent(ctx, slotColor))
        ctx.hColorPage = AddPage(ctx, g_ui.module, kColourTemplate, ColourPageProc);

    WCHAR path[MAX_PATH] = {};
    if (!ctx.pSheetParam || !services.SupportLibraryPath(*ctx.pSheetParam, ctx.pwszPluginIni, path)) return;
    if (!g_ui.supportLibrary) g_ui.supportLibrary = services.LoadSupportLibrary(path);
    if (!g_ui.supportLibrary) return;
    ctx.hSupportPage = AddPage(ctx, g_ui.supportLibrary, kSupportPageTemplate, SupportPageProc, PSP_USEHICON,
                               services.SupportIcon(g_ui.supportLibrary));
}

ULONG_PTR SetResultOf(LPARAM lParam)
{
    auto info = reinterpret_cast<PSETRESULT_INFO>(lParam);
    return info ? static_cast<ULONG_PTR>(info->Result) : 0;
}

bool ValidSheetInfo(PPROPSHEETUI_INFO info)
{
    if (info && info->Version == PROPSHEETUI_INFO_VERSION) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// The real services: the spooler, the configuration files and the companion libraries.
class SystemServices final : public UiSheetServices {
public:
    bool FindDriverFiles(HANDLE hPrinter, WCHAR *iniPath) override { return zep::FindDriverFiles(hPrinter, iniPath); }

    void HelpFilePath(LPCWSTR iniPath, WCHAR (&out)[MAX_PATH]) override
    {
        out[0] = 0;
        if (!iniPath || !*iniPath) return;
        WCHAR name[kHelpNameChars] = {};
        GetPrivateProfileStringW(TEXT("DependentFiles"), TEXT("HELP"), TEXT(""), name, kHelpNameChars, iniPath);
        DWORD cb = sizeof(out);
        if (!*name || !DriverFilePath(out, &cb, name)) out[0] = 0;
    }

    bool ProbePrinterData(HANDLE hPrinter) override
    {
        WCHAR valueName[] = TEXT("W_TEST");
        DWORD tick = GetTickCount();
        return SetPrinterDataW(hPrinter, valueName, REG_DWORD, reinterpret_cast<LPBYTE>(&tick), sizeof(tick)) ==
               ERROR_SUCCESS;
    }

    int ModelInt(HANDLE hPrinter, LPCWSTR key) override { return GetModelInt(hPrinter, key); }

    DWORD NetExtCapability(HANDLE hPrinter, LPCWSTR printerName) override
    {
        WCHAR name[kCompanionNameChars] = {};
        GetModelString(hPrinter, TEXT("NetExtDLL"), name, kCompanionNameChars);
        if (!*name) return 0;
        Library library(LoadLibraryW(name));
        if (!library) return 0;
        auto capability = GetExport<PFN_GetNetextCapability>(library.get(), "GetNetextCapability");
        if (!capability) return 0;
        CHAR ansi[kPrinterNameBytes] = {};
        if (printerName)
            WideCharToMultiByte(CP_ACP, 0, printerName, -1, ansi, kPrinterNameBytes - 1, nullptr, nullptr);
        return capability(ansi);
    }

    bool SupportLibraryPath(const OEMUIPSPARAM &sheet, LPCWSTR pluginIni, WCHAR (&path)[MAX_PATH]) override
    {
        Printer opened;
        HANDLE hPrinter = sheet.hPrinter;
        if (sheet.pPrinterName && OpenPrinterW(sheet.pPrinterName, opened.put(), nullptr)) hPrinter = opened.get();
        WCHAR url[kCompanionNameChars] = {};
        WCHAR res[kCompanionNameChars] = {};
        GetModelString(hPrinter, TEXT("AskZepURL"), url, kCompanionNameChars);
        GetModelString(hPrinter, TEXT("AskZepRES"), res, kCompanionNameChars);
        if (!*url || !*res || !IsPlainFileName(res) || !pluginIni) return false;
        // The library sits next to the plug-in INI file. The last backslash marks its folder even where a
        // folder name holds a dot.
        int cut = -1;
        for (int i = 0; pluginIni[i]; ++i) {
            if (pluginIni[i] == '\\') cut = i;
        }
        if (cut < 0 || cut + 1 + lstrlenW(res) >= MAX_PATH) return false;
        lstrcpynW(path, pluginIni, cut + 2);
        lstrcatW(path, res);
        return true;
    }

    HMODULE LoadSupportLibrary(LPCWSTR path) override { return LoadLibraryW(path); }

    HICON SupportIcon(HMODULE library) override { return LoadIconW(library, MAKEINTRESOURCEW(kSupportPageIcon)); }

    LPWSTR LoadModuleString(HANDLE heap, UINT id) override
    {
        WCHAR text[256] = {};
        int length = LoadStringW(g_ui.module, id, text, static_cast<int>(std::size(text)));
        if (length <= 0) return nullptr;
        auto copy = HeapNew<WCHAR>(heap, static_cast<SIZE_T>(length) + 1);
        if (copy) lstrcpynW(copy, text, length + 1);
        return copy;
    }
};

} // namespace

UiSheetServices &SystemSheetServices()
{
    static SystemServices services;
    return services;
}

HRESULT RunCommonUIProp(PluginSheetState &state, DWORD mode, POEMCUIPPARAM param)
{
    if ((mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP) || !param) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    UiSheetServices &services = state.services ? *state.services : SystemSheetServices();
    auto ini = HeapNew<WCHAR>(param->hOEMHeap, MAX_PATH + 1);
    if (!ini) return E_OUTOFMEMORY;
    g_ui.pluginIniPath = ini;
    if (!services.FindDriverFiles(param->hPrinter, ini)) return E_FAIL;
    services.HelpFilePath(ini, g_ui.helpFilePath);

    if (mode == OEMCUIP_DOCPROP) {
        state.docParam = param;
        return DocumentCommonUIProp(state, *param, services);
    }
    state.prnParam = param;
    return PrinterCommonUIProp(state, *param, services);
}

HRESULT RunDocumentPropertySheets(PluginSheetState &state, PPROPSHEETUI_INFO info, LPARAM lParam)
{
    if (!ValidSheetInfo(info)) return E_FAIL;
    ULONG_PTR result = 0;
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        // Without a record CommonUIProp failed, and the sheet gets no pages of the plug-in.
        if (OemUiContext *ctx = state.context) {
            ctx->hComPropSheet = info->hComPropSheet;
            ctx->pfnComPropSheet = info->pfnComPropSheet;
            ctx->pSheetParam = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
            AddDocumentPages(*ctx, state.services ? *state.services : SystemSheetServices());
        }
        result = 1;
        break;
    case PROPSHEETUI_REASON_DESTROY: result = 1; break;
    case PROPSHEETUI_REASON_SET_RESULT: result = SetResultOf(lParam); break;
    default: result = 0; break;
    }
    info->Result = result;
    return static_cast<HRESULT>(result);
}

HRESULT RunDevicePropertySheets(PluginSheetState &state, PPROPSHEETUI_INFO info, LPARAM lParam)
{
    static WCHAR title[] = TEXT("OEM UI Page");
    if (!ValidSheetInfo(info)) return E_FAIL;
    ULONG_PTR result = static_cast<ULONG_PTR>(lParam);
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        if (OemDeviceRecord *device = state.device) {
            device->hComPropSheet = info->hComPropSheet;
            device->pfnComPropSheet = info->pfnComPropSheet;
            device->lParamInit = info->lParamInit;
        }
        break;
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        if (auto header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam)) header->pTitle = title;
        result = 1;
        break;
    case PROPSHEETUI_REASON_DESTROY: result = 1; break;
    case PROPSHEETUI_REASON_SET_RESULT: result = SetResultOf(lParam); break;
    case PROPSHEETUI_REASON_GET_ICON: result = 0; break;
    default: break;
    }
    info->Result = result;
    return S_OK;
}

LONG APIENTRY DocumentItemCallback(PCPSUICBPARAM cbParam, POEMCUIPPARAM cuiParam)
{
    PluginSheetState *state = cuiParam ? SheetStateOf(cuiParam->pOEMUserData) : nullptr;
    return HandleDocumentItemCallback(state ? state->context : nullptr, cbParam, cuiParam);
}

void ReleaseSheetRecords(PluginSheetState &state)
{
    if (!state.hOEMHeap) return;
    for (void *record : {static_cast<void *>(state.context), static_cast<void *>(state.device)}) {
        if (record && HeapValidate(state.hOEMHeap, 0, record)) HeapFree(state.hOEMHeap, 0, record);
    }
    state.context = nullptr;
    state.device = nullptr;
}

} // namespace zep
