// A Job Options page in a sheet of three pages, over a fake core driver with PPD settings, fake services and
// the UI driver answering the dialogs and message boxes it opens.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/devmode.h"
#include "common/jobtype.h"
#include "host/uidriver/uidriver.h"
#include "resources/zepui_ids.h"
#include "tests/common/test_support.h"
#include "tests/ui/fake_core.h"
#include "ui/joboptions/dialogs.h"
#include "ui/joboptions/joboptions.h"
#include "ui/pages.h"
#include "ui/slots.h"
#include "ui/state.h"

namespace zeptest {


// The fake core with the PPD settings DrvGetDriverSetting answers.
struct PageCore : FakeCore {
    std::map<std::string, std::string> settings;
    explicit PageCore(const std::vector<ItemSpec> &specs) : FakeCore(specs) { procs.DrvGetDriverSetting = &Get; }

    static BOOL APIENTRY Get(PVOID obj, PCSTR feature, PVOID out, DWORD size, PDWORD needed, PDWORD options)
    {
        auto self = static_cast<PageCore *>(static_cast<FakeCore *>(obj));
        auto found = self->settings.find(feature);
        if (found == self->settings.end()) return FALSE;
        if (found->second.size() + 1 > size) return FALSE;
        lstrcpynA(static_cast<LPSTR>(out), found->second.c_str(), static_cast<int>(size));
        if (needed) *needed = static_cast<DWORD>(found->second.size() + 1);
        if (options) *options = 1;
        return TRUE;
    }
};

struct FakeCipher final : zep::PasswordCipher {
    struct Log {
        int shown = 0;
        DWORD mode = 99;
        zep::EncryptionSetting seen = {};
        std::string encrypted;
    };
    Log *log;
    bool accept;
    explicit FakeCipher(Log *l, bool a) : log(l), accept(a) {}
    BOOL DispCryptoUIEx(HWND, zep::EncryptionSetting *setting, DWORD mode) override
    {
        ++log->shown;
        log->mode = mode;
        log->seen = *setting;
        if (!accept) return FALSE;
        lstrcpynA(setting->szPassword, "5678", 16);
        setting->dwCryptoLevel = 7;
        setting->dwAskPassword = 0;
        return TRUE;
    }
    // The "cipher" reverses the text: enough to see what went in and came back.
    BOOL EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size) override
    {
        if (*size < length) return FALSE;
        for (DWORD i = 0; i < length; ++i) out[i] = static_cast<BYTE>(text[length - 1 - i]);
        *size = length;
        log->encrypted.assign(text, length);
        return TRUE;
    }
    BOOL DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size) override
    {
        if (length + 1 > *size) return FALSE;
        for (DWORD i = 0; i < length; ++i) out[i] = static_cast<CHAR>(data[length - 1 - i]);
        out[length] = 0;
        return TRUE;
    }
};

struct FakePageServices final : zep::JobOptionsServices {
    std::map<std::basic_string<WCHAR>, std::basic_string<WCHAR>> model;
    DWORD card = 0;
    bool cipherLoads = true;
    bool cipherAccepts = true;
    DWORD attributes = 0;
    int advanced = 0, about = 0, cipherLoadsSeen = 0;
    FakeCipher::Log cipherLog;

    void ModelString(HANDLE, LPCWSTR key, WCHAR *out, DWORD cch) override
    {
        auto found = model.find(key);
        out[0] = 0;
        if (found != model.end()) lstrcpynW(out, found->second.c_str(), static_cast<int>(cch));
    }
    DWORD QueryCardDriver(HANDLE) override { return card; }
    std::unique_ptr<zep::PasswordCipher> LoadCipher(HANDLE) override
    {
        ++cipherLoadsSeen;
        if (!cipherLoads) return nullptr;
        return std::make_unique<FakeCipher>(&cipherLog, cipherAccepts);
    }
    DWORD PrinterAttributes(HANDLE) override { return attributes; }
    // The real dialog, answered through the UI driver.
    bool JobPinDialog(HWND owner, zep::OemUiContext &ctx) override { return zep::ShowJobPinDialog(owner, &ctx) == 1; }
    bool AdvancedDialog(HWND, zep::OemUiContext &) override { return ++advanced, true; }
    void AboutDialog(HWND, zep::OemUiContext &) override { ++about; }
    bool WatermarkDialog(HWND, zep::OemUiContext &) override { return false; }
    bool OverlayDialog(HWND, zep::OemUiContext &) override { return false; }
    void StoreWatermarks(zep::OemUiContext &) override {}
    void ReleaseWatermarks(zep::OemUiContext &) override {}
    void CommitOverlays(zep::OemUiContext &) override {}
};

// An up-down item's range lives in its second option parameter.
struct RangeType {
    OPTPARAM params[2] = {};
    OPTTYPE type = {};
    RangeType(LONG low, LONG high)
    {
        params[1].IconID = static_cast<ULONG_PTR>(low);
        params[1].lParam = high;
        type.cbSize = sizeof(OPTTYPE);
        type.Type = TVOT_UDARROW;
        type.Count = 2;
        type.pOptParam = params;
    }
};

struct ListType {
    std::vector<std::basic_string<WCHAR>> names;
    std::vector<OPTPARAM> params;
    OPTTYPE type = {};
    explicit ListType(std::vector<std::basic_string<WCHAR>> n) : names(std::move(n)), params(names.size())
    {
        for (size_t i = 0; i < names.size(); ++i) {
            params[i].cbSize = sizeof(OPTPARAM);
            params[i].pData = names[i].data();
        }
        type.cbSize = sizeof(OPTTYPE);
        type.Type = TVOT_LISTBOX;
        type.Count = static_cast<WORD>(names.size());
        type.pOptParam = params.data();
    }
};

// The DEVMODE the core hands over: public part and enough of its private part to hold the layout byte.
struct CoreDevmode {
    DEVMODEW dm = {};
    BYTE priv[400] = {};
    CoreDevmode()
    {
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmDriverExtra = sizeof(priv);
        dm.dmPaperSize = 9; // A4
        dm.dmOrientation = DMORIENT_PORTRAIT;
    }
    BYTE &Layout() { return reinterpret_cast<BYTE *>(&dm)[356]; }
};

class JobOptionsPageTest : public ::testing::Test {
protected:
    struct SheetCall {
        UINT function;
        LPARAM a, b;
    };
    static inline std::vector<SheetCall> sheetCalls;
    static LONG_PTR CALLBACK SheetFunction(HANDLE, UINT function, LPARAM a, LPARAM b)
    {
        sheetCalls.push_back({function, a, b});
        return 1;
    }
    static INT_PTR CALLBACK OtherPage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

    HMODULE module_ = LoadLibraryW(W(ZEP_ZEPUI_PATH).c_str());
    RangeType copiesRange{1, 9999};
    RangeType scaleRange{25, 400};
    ListType bins{{W("Auto"), W("Upper"), W("Finisher 1"), W("Finisher 2")}};
    PageCore core{{
        {"ZPJob_Type", 0, 0},
        {"", DMPUB_COPIES_COLLATE, 3},
        {"", DMPUB_SCALE, 100},
        {"OutputBin", 0, 0},
        {"ZPCollate", 0, 1},
        {"ZPResolution", 0, 1},
        {"ZPImageSmoothing", 0, 0},
        {"", 0, 1, 0, zep::kMirrorItemNameId},
        {"ZPStaple", 0, 1},
        {"ZPPunch", 0, 1},
        {"ZPBindPosition", 0, 1},
        {"", DMPUB_ORIENTATION, 0},
        {"ZPHDDSpool", 0, 0},
    }};
    FakePageServices services;
    zep::OemDevmode oem = {};
    CoreDevmode pub;
    OEMUIPSPARAM sheetParam = {};
    zep::OemUiContext ctx = {};
    zep::ui::Driver driver;
    HWND sheet = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(module_) << ZEP_ZEPUI_PATH;
        zep::g_ui.module = module_;
        zep::g_ui.sheetFlags = 0;
        zep::g_ui.printerDataWritable = true;
        zep::g_ui.newSystem = false;
        zep::g_jobOptions = {};
        sheetCalls.clear();
        core.items[1].pOptType = &copiesRange.type;
        core.items[2].pOptType = &scaleRange.type;
        core.items[3].pOptType = &bins.type;
        core.settings = {{"ZPHDD", "True"}, {"ZPFinisher", "True"}, {"ZPJobLimit", "False"},
                         {"PageSize", "A4"},  {"Duplex", "None"},     {"ZPPunchUnit", "None"}};
        core.param.pPublicDM = &pub.dm;
        core.param.pOEMDM = &oem;
        sheetParam.cbSize = sizeof(sheetParam);
        sheetParam.poemuiobj = &core.ui;
        sheetParam.pPublicDM = &pub.dm;
        sheetParam.pOEMDM = &oem;
        ctx.pCuiParam = &core.param;
        ctx.pSheetParam = &sheetParam;
        ctx.pfnComPropSheet = &SheetFunction;
        ctx.hJobOptionsPage = reinterpret_cast<HPROPSHEETPAGE>(0x113);
        for (DWORD &index : ctx.dwSlotIndex) index = zep::kSlotAbsent;
        zep::DocumentScanInputs in;
        zep::ScanDocumentItems(ctx, in);
        ctx.dwSlotSel[zep::slotStandardUi] = 1;
        // Paper and layout as seen last time, so that opening resets nothing unless a test changes them.
        oem.dwLastPaperSize = pub.dm.dmPaperSize;
        oem.bLastLayoutSignature = 0;
        zep::SetJobOptionsServices(&services);
    }
    void TearDown() override
    {
        zeptest::DestroyThreadWindows();
        zep::SetJobOptionsServices(nullptr);
        zep::g_ui.module = nullptr;
        if (module_) FreeLibrary(module_);
        EXPECT_TRUE(driver.Problems().empty());
    }

    DWORD &Sel(DWORD slot) { return ctx.dwSlotSel[slot]; }

    HWND Open()
    {
        PROPSHEETPAGEW pages[3] = {};
        for (int i = 0; i < 3; ++i) {
            pages[i].dwSize = sizeof(PROPSHEETPAGEW);
            pages[i].hInstance = module_;
            pages[i].pszTemplate = MAKEINTRESOURCEW(i == 0 ? IDD_JOB_OPTIONS : IDD_COLOR);
            pages[i].pfnDlgProc = i == 0 ? zep::JobOptionsPageProc : OtherPage;
            pages[i].lParam = reinterpret_cast<LPARAM>(&ctx);
        }
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_PROPSHEETPAGE;
        header.hInstance = module_;
        header.pszCaption = TEXT("Printing Preferences");
        header.nPages = 3;
        header.ppsp = pages;
        sheet = zep::ui::OpenSheet(header);
        return sheet ? zep::ui::SheetPage(sheet) : nullptr;
    }
    HWND Item(HWND page, int id) { return GetDlgItem(page, id); }
};

} // namespace zeptest
