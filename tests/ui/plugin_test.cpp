// The plug-in object and its factory, CommonUIProp's two calls and the pages the sheets add.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "fake_core.h"
#include "ui/plugin.h"
#include "ui/probe.h"
#include "ui/state.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv);
extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow();

using namespace zep;
using zeptest::FakeCore;
using zeptest::FakeServices;

namespace {

constexpr DWORD kMarker = 0xdeadbeef;

TEST(UiGetInfo, ModesBuffersAndErrors)
{
    struct Case {
        const char *name;
        DWORD mode;
        DWORD size;
        bool buffer;
        bool needed;
        HRESULT hr;
        DWORD error;
        DWORD neededOut;
        DWORD value;
    } cases[] = {
        {"signature", OEMGI_GETSIGNATURE, 4, true, true, S_OK, kMarker, 4, 0x32303030},
        {"version", OEMGI_GETVERSION, 8, true, true, S_OK, kMarker, 4, 1},
        {"short buffer", OEMGI_GETSIGNATURE, 3, true, true, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0x5A5A5A5A},
        {"no buffer", OEMGI_GETVERSION, 4, false, true, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0x5A5A5A5A},
        {"publisher", OEMGI_GETPUBLISHERINFO, 4, true, true, E_FAIL, ERROR_NOT_SUPPORTED, 0, 0x5A5A5A5A},
        {"publisher short", OEMGI_GETPUBLISHERINFO, 2, true, true, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0x5A5A5A5A},
        {"interface version", OEMGI_GETINTERFACEVERSION, 4, true, true, E_FAIL, ERROR_INVALID_PARAMETER, 77,
         0x5A5A5A5A},
        {"unknown mode", 9, 4, true, true, E_FAIL, ERROR_INVALID_PARAMETER, 77, 0x5A5A5A5A},
        {"no needed", OEMGI_GETSIGNATURE, 4, true, false, E_FAIL, ERROR_INVALID_PARAMETER, 77, 0x5A5A5A5A},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DWORD buffer[2] = {0x5A5A5A5A, 0x5A5A5A5A};
        DWORD needed = 77;
        SetLastError(kMarker);
        EXPECT_EQ(UiGetInfo(c.mode, c.buffer ? buffer : nullptr, c.size, c.needed ? &needed : nullptr), c.hr);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(needed, c.neededOut);
        EXPECT_EQ(buffer[0], c.value);
        EXPECT_EQ(buffer[1], 0x5A5A5A5Au);
    }
}

TEST(UiQueryColorProfile, NeedsThirtyTwoBytes)
{
    BYTE buffer[40];
    std::memset(buffer, 0x5A, sizeof(buffer));
    ULONG size = 31;
    FLONG flags = 99;
    SetLastError(kMarker);
    EXPECT_EQ(UiQueryColorProfile(0, buffer, &size, &flags), E_FAIL);
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(flags, 99u);
    EXPECT_EQ(buffer[0], 0x5A);

    EXPECT_EQ(UiQueryColorProfile(0, buffer, &size, &flags), S_OK);
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(flags, static_cast<FLONG>(QCP_PROFILEDISK));
    EXPECT_EQ(lstrcmpW(reinterpret_cast<LPCWSTR>(buffer), TEXT("OEMPROFILE.icm")), 0);
    EXPECT_EQ(buffer[30], 0x5A); // the name and its NUL only

    size = 64;
    EXPECT_EQ(UiQueryColorProfile(1, buffer, &size, &flags), E_FAIL);
    EXPECT_EQ(size, 64u);
}

TEST(UiFactory, CountsAndInterfaces)
{
    ASSERT_EQ(DllCanUnloadNow(), S_OK);
    void *ppv = reinterpret_cast<void *>(1);
    EXPECT_EQ(DllGetClassObject(CLSID_OEMRENDER, kIidClassFactory, &ppv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(ppv, nullptr);

    IClassFactory *factory = nullptr;
    ASSERT_EQ(DllGetClassObject(CLSID_OEMUI, kIidClassFactory, reinterpret_cast<void **>(&factory)), S_OK);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IPrintOemUI2, &ppv), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemPS2, &ppv), E_NOINTERFACE);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    IPrintOemUI2 *plugin = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void **>(&plugin)), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    factory->LockServer(TRUE);
    factory->Release();

    IPrintOemUI *first = nullptr;
    EXPECT_EQ(plugin->QueryInterface(IID_IPrintOemUI, reinterpret_cast<void **>(&first)), S_OK);
    EXPECT_EQ(static_cast<IUnknown *>(first), static_cast<IUnknown *>(plugin));
    first->Release();
    EXPECT_EQ(plugin->QueryInterface(IID_IPrintOemDriverUI, &ppv), E_NOINTERFACE);
    EXPECT_EQ(ppv, nullptr);

    // Never implemented; HideStandardUI notes modes 1 and 2 and still leaves the standard UI.
    EXPECT_EQ(plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->UpgradePrinter(1, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->DriverEvent(1, 1, nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->QueryJobAttributes(nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->HideStandardUI(OEMDM_HIDE_DOCPROP), E_NOTIMPL);
    EXPECT_EQ(static_cast<OemUiPlugin *>(plugin)->Sheets().standardUi, 1u);

    plugin->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE); // the lock remains
    ASSERT_EQ(DllGetClassObject(CLSID_OEMUI, kIidUnknown, reinterpret_cast<void **>(&factory)), S_OK);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// A plug-in object on fake services, and a fake sheet that records the pages added to it.
struct SheetFixture : ::testing::Test {
    FakeServices services;
    OemUiPlugin *plugin = nullptr;
    // The cores a test made: they outlive the plug-in, which frees its records on their heaps when released.
    std::vector<std::unique_ptr<FakeCore>> cores;

    FakeCore &NewCore(const std::vector<zeptest::ItemSpec> &specs)
    {
        cores.push_back(std::make_unique<FakeCore>(specs));
        return *cores.back();
    }

    struct AddedPage {
        UINT function;
        DWORD dwSize;
        HINSTANCE instance;
        ULONG_PTR templateId;
        DLGPROC proc;
        LPARAM lParam;
        DWORD flags;
    };
    static inline std::vector<AddedPage> pages;

    static LONG_PTR CALLBACK ComPropSheet(HANDLE, UINT function, LPARAM lParam1, LPARAM)
    {
        auto page = reinterpret_cast<const PROPSHEETPAGEW *>(lParam1);
        pages.push_back({function, page->dwSize, page->hInstance, reinterpret_cast<ULONG_PTR>(page->pszTemplate),
                         page->pfnDlgProc, page->lParam, page->dwFlags});
        return static_cast<LONG_PTR>(0x1000 + pages.size());
    }

    void SetUp() override
    {
        pages.clear();
        g_ui.supportLibrary = nullptr;
        plugin = new OemUiPlugin();
        plugin->Sheets().services = &services;
    }
    void TearDown() override
    {
        plugin->Release();
        g_ui.supportLibrary = nullptr;
    }

    HRESULT CommonUIPropTwice(FakeCore &core, DWORD mode, DWORD *firstCount)
    {
        core.param.pOEMOptItems = nullptr;
        core.param.cOEMOptItems = 55;
        HRESULT hr = plugin->CommonUIProp(mode, &core.param);
        if (FAILED(hr)) return hr;
        *firstCount = core.param.cOEMOptItems;
        core.param.pOEMOptItems = core.added;
        return plugin->CommonUIProp(mode, &core.param);
    }

    HRESULT Init(PROPSHEETUI_INFO &info, OEMUIPSPARAM &sheet)
    {
        info.cbSize = sizeof(info);
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_INIT;
        info.hComPropSheet = reinterpret_cast<HANDLE>(0x77);
        info.pfnComPropSheet = ComPropSheet;
        info.lParamInit = reinterpret_cast<LPARAM>(&sheet);
        return plugin->DocumentPropertySheets(&info, 0);
    }
};

TEST_F(SheetFixture, DocumentCommonUIPropCountsThenScans)
{
    FakeCore &core = NewCore({{"ZPJob_Type", 0, 2}, {"", DMPUB_COLOR, 1}});
    plugin->HideStandardUI(OEMDM_HIDE_PRNPROP);
    services.printerDataWritable = false;
    g_ui.printerDataWritable = true;
    DWORD firstCount = 99;
    ASSERT_EQ(CommonUIPropTwice(core, OEMCUIP_DOCPROP, &firstCount), S_OK);
    EXPECT_EQ(firstCount, 0u);
    EXPECT_EQ(services.probes, 1); // the first call only asks for the count

    EXPECT_EQ(core.param.pOEMUserData, static_cast<PVOID>(static_cast<IPrintOemUI2 *>(plugin)));
    EXPECT_EQ(core.param.OEMCUIPCallback, &DocumentItemCallback);
    EXPECT_FALSE(g_ui.printerDataWritable);
    EXPECT_EQ(lstrcmpW(g_ui.pluginIniPath, TEXT("C:\\drv\\3\\zep.ini")), 0);
    EXPECT_EQ(lstrcmpW(g_ui.helpFilePath, TEXT("C:\\drv\\3\\zep.hlp")), 0);

    OemUiContext *ctx = plugin->Sheets().context;
    ASSERT_NE(ctx, nullptr);
    EXPECT_TRUE(HeapValidate(core.heap, 0, ctx));
    EXPECT_EQ(ctx->pCuiParam, &core.param);
    EXPECT_EQ(ctx->pwszPluginIni, g_ui.pluginIniPath);
    EXPECT_EQ(ctx->dwSlotIndex[slotJob_Type], 0u);
    EXPECT_EQ(ctx->dwSlotSel[slotJob_Type], 2u);
    EXPECT_EQ(ctx->dwSlotIndex[slotTone], kSlotAbsent);
    EXPECT_EQ(ctx->dwSlotSel[slotStandardUi], 1u);

    // The callback finds the sheet's record through pOEMUserData.
    g_ui.sheetFlags = 0;
    CPSUICBPARAM cb = {};
    cb.Reason = CPSUICB_REASON_APPLYNOW;
    core.items[1].Sel = 0;
    EXPECT_EQ(core.param.OEMCUIPCallback(&cb, &core.param), CPSUICB_ACTION_NONE);
}

TEST_F(SheetFixture, CommonUIPropFailures)
{
    FakeCore &core = NewCore({});
    SetLastError(kMarker);
    EXPECT_EQ(plugin->CommonUIProp(3, &core.param), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    services.driverFiles = false;
    DWORD count = 0;
    EXPECT_EQ(CommonUIPropTwice(core, OEMCUIP_DOCPROP, &count), E_FAIL);
    EXPECT_EQ(plugin->Sheets().context, nullptr);
}

TEST_F(SheetFixture, PrinterCommonUIPropAddsTheInstallableOptionsItem)
{
    for (DWORD netExt : {1u, 0u}) {
        SCOPED_TRACE(netExt);
        FakeCore &core = NewCore({{"ZPHDD"}});
        services.netExt = netExt;
        DWORD firstCount = 0;
        ASSERT_EQ(CommonUIPropTwice(core, OEMCUIP_PRNPROP, &firstCount), S_OK);
        EXPECT_EQ(firstCount, 1u);
        const OPTITEM &item = core.added[0];
        EXPECT_EQ(item.cbSize, sizeof(OPTITEM));
        EXPECT_EQ(item.Level, 2);
        EXPECT_EQ(item.Flags, static_cast<DWORD>(OPTIF_CALLBACK | OPTIF_HAS_POIEXT | (netExt ? 0 : OPTIF_HIDE)));
        EXPECT_EQ(item.HelpIndex, 2210u);
        EXPECT_EQ(item.UserItemID, 2);
        EXPECT_EQ(lstrcmpW(item.pName, TEXT("&Get")), 0);
        ASSERT_NE(item.pOptType, nullptr);
        EXPECT_EQ(item.pOptType->Type, TVOT_PUSHBUTTON);
        EXPECT_EQ(item.pOptType->Count, 1);
        EXPECT_EQ(item.pOptType->Style, 0xE0);
        EXPECT_EQ(item.pOptType->pOptParam[1].lParam, 9999);
        EXPECT_EQ(core.items[0].UserItemID, 3);

        OemDeviceRecord *device = plugin->Sheets().device;
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->pCuiParam, &core.param);
        EXPECT_EQ(device->dwUnused[14], 0xFFFFu);
        plugin->Sheets().context = nullptr; // the next fake heap replaces these records
        plugin->Sheets().device = nullptr;
        plugin->Sheets().hOEMHeap = nullptr;
    }
}

TEST_F(SheetFixture, DocumentSheetAddsItsPages)
{
    static int supportAnchor;
    struct Case {
        const char *name;
        bool colour;
        bool supportNamed;
        bool supportLoads;
        std::vector<ULONG_PTR> templates;
    } cases[] = {
        {"colour", true, false, false, {113, 111}},
        {"monochrome", false, false, false, {113}},
        {"support", true, true, true, {113, 111, 800}},
        {"support library missing", false, true, false, {113}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        pages.clear();
        g_ui.supportLibrary = nullptr;
        services.supportNamed = c.supportNamed;
        services.supportLibrary = c.supportLoads ? reinterpret_cast<HMODULE>(&supportAnchor) : nullptr;
        FakeCore &core = NewCore({{"ZPJob_Type"}, {"", c.colour ? BYTE(DMPUB_COLOR) : BYTE(DMPUB_NONE)}});
        DWORD count = 0;
        ASSERT_EQ(CommonUIPropTwice(core, OEMCUIP_DOCPROP, &count), S_OK);
        OemUiContext *ctx = plugin->Sheets().context;

        PROPSHEETUI_INFO info = {};
        OEMUIPSPARAM sheet = {};
        EXPECT_EQ(Init(info, sheet), static_cast<HRESULT>(1));
        EXPECT_EQ(info.Result, 1u);
        EXPECT_EQ(ctx->hComPropSheet, reinterpret_cast<HANDLE>(0x77));
        EXPECT_EQ(ctx->pSheetParam, &sheet);

        std::vector<ULONG_PTR> templates;
        for (const AddedPage &page : pages) {
            templates.push_back(page.templateId);
            EXPECT_EQ(page.function, static_cast<UINT>(CPSFUNC_ADD_PROPSHEETPAGEW));
            EXPECT_EQ(page.dwSize, sizeof(PROPSHEETPAGEW));
            EXPECT_EQ(page.lParam, reinterpret_cast<LPARAM>(ctx));
        }
        EXPECT_EQ(templates, c.templates);
        EXPECT_EQ(ctx->hJobOptionsPage, reinterpret_cast<HPROPSHEETPAGE>(0x1001));
        EXPECT_EQ(ctx->hColorPage, c.colour ? reinterpret_cast<HPROPSHEETPAGE>(0x1002) : nullptr);
        if (c.supportLoads) {
            EXPECT_EQ(pages.back().instance, reinterpret_cast<HINSTANCE>(&supportAnchor));
            EXPECT_EQ(pages.back().flags, static_cast<DWORD>(PSP_USEHICON));
            EXPECT_EQ(ctx->hSupportPage, reinterpret_cast<HPROPSHEETPAGE>(0x1003));
        } else {
            EXPECT_EQ(ctx->hSupportPage, nullptr);
        }
        plugin->Sheets().context = nullptr;
        plugin->Sheets().hOEMHeap = nullptr;
    }
    g_ui.supportLibrary = nullptr; // a fake handle, never freed
}

TEST_F(SheetFixture, SheetReasonsAndValidation)
{
    PROPSHEETUI_INFO info = {};
    info.Version = 0x0200;
    SetLastError(kMarker);
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, 0), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(plugin->DevicePropertySheets(nullptr, 0), E_FAIL);

    info.Version = PROPSHEETUI_INFO_VERSION;
    SETRESULT_INFO result = {sizeof(SETRESULT_INFO), 0, nullptr, CPSUI_OK};
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&result)), CPSUI_OK);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(CPSUI_OK));
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, 0), static_cast<HRESULT>(1));

    // Without a record (no CommonUIProp) INIT adds nothing.
    OEMUIPSPARAM sheet = {};
    EXPECT_EQ(Init(info, sheet), static_cast<HRESULT>(1));
    EXPECT_TRUE(pages.empty());

    PROPSHEETUI_INFO_HEADER header = {};
    info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
    EXPECT_EQ(plugin->DevicePropertySheets(&info, reinterpret_cast<LPARAM>(&header)), S_OK);
    EXPECT_EQ(info.Result, 1u);
    EXPECT_EQ(lstrcmpW(header.pTitle, TEXT("OEM UI Page")), 0);
    info.Reason = PROPSHEETUI_REASON_GET_ICON;
    EXPECT_EQ(plugin->DevicePropertySheets(&info, 5), S_OK);
    EXPECT_EQ(info.Result, 0u);
    info.Reason = PROPSHEETUI_REASON_INIT;
    EXPECT_EQ(plugin->DevicePropertySheets(&info, 5), S_OK);
    EXPECT_EQ(info.Result, 5u);
}

TEST(HelpProbe, NewSystemsWithTheStubViewerShowNoHelp)
{
    struct Case {
        const char *name;
        DWORD windows;
        std::optional<DWORD> viewer;
        bool help, newSystem;
    } cases[] = {
        {"old system", 5, 6, true, false},
        {"new system, stub viewer", 6, 6, false, true},
        {"new system, old viewer", 10, 5, true, true},
        {"new system, no viewer", 6, std::nullopt, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        UiModuleState state;
        ApplyHelpProbe(state, c.windows, c.viewer);
        EXPECT_TRUE(state.probeDone);
        EXPECT_EQ(state.helpAvailable, c.help);
        EXPECT_EQ(state.newSystem, c.newSystem);
    }
}

} // namespace
