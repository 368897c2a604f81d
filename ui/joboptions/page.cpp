// The Job Options page: quality, job type, copies, scale, output bin and mirror print, and the dialogs it opens.
#include "ui/joboptions/joboptions.h"

#include <cstring>
#include <iterator>

#include "common/config.h"
#include "common/jobtype.h"
#include "common/keywords.h"
#include "common/printer.h"
#include "resources/zepui_ids.h"
#include "ui/dlgutil.h"
#include "ui/joboptions/finishing.h"
#include "ui/pages.h"
#include "ui/picture.h"
#include "ui/sheetdata.h"
#include "ui/slots.h"
#include "ui/state.h"

namespace zep {

JobOptionsPageState g_jobOptions;

namespace {

constexpr DWORD kMaxCopies = 999;
constexpr DWORD kMaxScale = 1000;
constexpr int kCopiesChars = 3;
constexpr int kScaleChars = 4;
constexpr int kEditReadChars = 64;
constexpr DWORD kDefaultScale = 100;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// Clears a password buffer in a way the compiler does not drop as a dead store.
void Wipe(void *buffer, size_t size)
{
    volatile BYTE *p = static_cast<volatile BYTE *>(buffer);
    while (size--) *p++ = 0;
}
// Set while the page writes its own controls, so that the sheet hears only of the user's changes.
bool g_updating = false;

// ---- Slots ------------------------------------------------------------------------------------------------

// An up-down item's bounds sit in its second option parameter: the lower in IconID, the upper in lParam.
OPTPARAM *RangeParam(const OemUiContext &ctx, DWORD slot)
{
    OPTITEM *item = SlotItem(ctx, slot);
    if (!item || !item->pOptType || !item->pOptType->pOptParam || item->pOptType->Count < 2) return nullptr;
    return &item->pOptType->pOptParam[1];
}

struct Bounds {
    DWORD low;
    DWORD high;
};

Bounds ItemBounds(const OemUiContext &ctx, DWORD slot, DWORD fallbackHigh)
{
    const OPTPARAM *range = RangeParam(ctx, slot);
    if (!range) return {1, fallbackHigh};
    return {static_cast<DWORD>(range->IconID), static_cast<DWORD>(range->lParam)};
}

// ---- Sheet data -------------------------------------------------------------------------------------------

bool ModelKeySet(OemUiContext &ctx, JobOptionsServices &services, LPCWSTR key, WCHAR *out, DWORD cch)
{
    out[0] = 0;
    services.ModelString(SheetPrinter(ctx), key, out, cch);
    return out[0] != 0;
}

bool ModelKeySet(OemUiContext &ctx, JobOptionsServices &services, LPCWSTR key)
{
    WCHAR value[kCompanionNameChars];
    return ModelKeySet(ctx, services, key, value, kCompanionNameChars);
}

// ---- Controls ---------------------------------------------------------------------------------------------

LRESULT Send(HWND page, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendDlgItemMessageW(page, id, message, wParam, lParam);
}

void SetNumber(HWND page, int id, DWORD value)
{
    g_updating = true;
    SetDlgItemInt(page, id, value, FALSE);
    g_updating = false;
}

void SetSpinPosition(HWND page, int spinId, int editId, DWORD value)
{
    g_updating = true;
    Send(page, spinId, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
    // The buddy shows the position only when the up-down accepts it; the value is the page's either way.
    SetDlgItemInt(page, editId, value, FALSE);
    g_updating = false;
}

void Changed(HWND page) { SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0); }

void DeleteLinkFont() { g_jobOptions.linkFont.reset(); }

void CreateLinkFont(HWND page)
{
    if (g_jobOptions.linkFont) return;
    LOGFONTW font = {};
    auto sheetFont = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
    if (!sheetFont || !GetObjectW(sheetFont, sizeof(font), &font))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    lstrcpynW(font.lfFaceName, TEXT("Verdana"), LF_FACESIZE);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = TRUE;
    font.lfCharSet = DEFAULT_CHARSET;
    g_jobOptions.linkFont.reset(CreateFontIndirectW(&font));
}

void RedrawQualityPicture(HWND page)
{
    if (HWND picture = GetDlgItem(page, kIdQualityPicture)) InvalidateRect(picture, nullptr, TRUE);
}

UINT QualityBitmap(DWORD quality)
{
    switch (quality) {
    case 1: return IDB_QUALITY_FINE;
    case 2: return IDB_QUALITY_NORMAL;
    default: return IDB_QUALITY_PHOTO;
    }
}

// Keeps the digits of an edit's text. When something else was removed, the number goes back into the edit
// with the caret after it. `limit` caps the number (and is written back too).
DWORD FilterNumberEdit(HWND page, int id, DWORD limit)
{
    WCHAR text[kEditReadChars + 1] = {};
    GetDlgItemTextW(page, id, text, kEditReadChars + 1);
    DWORD number = 0;
    bool removed = false;
    for (const WCHAR *p = text; *p; ++p) {
        if (*p < '0' || *p > '9') {
            removed = true;
            continue;
        }
        const DWORD digit = static_cast<DWORD>(*p - '0');
        number = number > (0xFFFFFFFFu - digit) / 10 ? 0xFFFFFFFFu : number * 10 + digit;
    }
    if (number > limit) {
        number = limit;
        removed = true;
    }
    if (removed) {
        SetNumber(page, id, number);
        const int length = GetWindowTextLengthW(GetDlgItem(page, id));
        Send(page, id, EM_SETSEL, static_cast<WPARAM>(length), length);
    }
    return number;
}

// An edit holding an unsigned number within bounds.
bool ReadBounded(HWND page, int id, Bounds bounds, DWORD &value)
{
    BOOL ok = FALSE;
    const UINT number = GetDlgItemInt(page, id, &ok, FALSE);
    if (!ok || number < bounds.low || number > bounds.high) return false;
    value = number;
    return true;
}

void RefuseField(HWND page, int id)
{
    ShowStringMessage(page, g_ui.module, IDS_SETTINGS_INVALID, 0, MB_ICONSTOP);
    if (HWND edit = GetDlgItem(page, id)) SetFocus(edit);
    Send(page, id, EM_SETSEL, 0, -1);
    MessageBeep(MB_OK);
}

// ---- Set-up -----------------------------------------------------------------------------------------------

void SetUpOutputBin(HWND page, OemUiContext &ctx)
{
    OPTITEM *item = SlotItem(ctx, slotOutputBin);
    if (!item) {
        RemoveControls(page, kIdFinisherGroup, kIdOutputBin);
        return;
    }
    const bool finisher = CoreSettingIs(ctx, kw::kFinisher, kw::kTrue);
    Send(page, kIdOutputBin, CB_RESETCONTENT);
    if (item->pOptType && item->pOptType->pOptParam) {
        for (WORD i = 0; i < item->pOptType->Count; ++i) {
            LPCWSTR name = item->pOptType->pOptParam[i].pData;
            if (IS_INTRESOURCE(name)) name = TEXT("");
            const LRESULT at = Send(page, kIdOutputBin, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            if (at >= 0) Send(page, kIdOutputBin, CB_SETITEMDATA, static_cast<WPARAM>(at), i);
        }
    }
    // Bin 1 needs no finisher to be left out with one; bins 2 and 3 are the finisher's own.
    DWORD &bin = SlotSel(ctx, slotOutputBin);
    if (finisher) {
        Send(page, kIdOutputBin, CB_DELETESTRING, 1);
        if (bin == 1) bin = 0;
    } else {
        Send(page, kIdOutputBin, CB_DELETESTRING, 3);
        Send(page, kIdOutputBin, CB_DELETESTRING, 2);
        if (bin == 2 || bin == 3) bin = 0;
    }
}

void SetUpControls(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    SetUpOutputBin(page, ctx);

    if (OemDevmode *dm = SheetDevmode(ctx)) {
        char pageSize[64];
        ApplyFinishingConstraints(ctx, *dm, ReadFinishingInputs(ctx, pageSize));
    }

    if (!SlotPresent(ctx, slotCopies)) {
        RemoveControls(page, kIdCopiesLabel, kIdCopiesSpin);
    } else {
        if (OPTPARAM *range = RangeParam(ctx, slotCopies)) range->lParam = kMaxCopies;
        const Bounds copies = ItemBounds(ctx, slotCopies, kMaxCopies);
        Send(page, kIdCopiesSpin, UDM_SETRANGE32, copies.low, static_cast<LPARAM>(copies.high));
        Send(page, kIdCopiesEdit, EM_LIMITTEXT, kCopiesChars);
    }

    if (!SlotPresent(ctx, slotScale)) {
        RemoveControls(page, kIdScaleLabel, kIdScaleRange);
    } else {
        const Bounds scale = ItemBounds(ctx, slotScale, kMaxScale);
        WCHAR format[64] = {};
        WCHAR text[96] = {};
        if (LoadStringW(g_ui.module, IDS_SCALE_RANGE, format, static_cast<int>(std::size(format))) > 0) {
            wsprintfW(text, format, static_cast<int>(scale.low), static_cast<int>(scale.high));
            SetDlgItemTextW(page, kIdScaleRange, text);
        }
        Send(page, kIdScaleSpin, UDM_SETRANGE32, scale.low, static_cast<LPARAM>(scale.high));
        Send(page, kIdScaleEdit, EM_LIMITTEXT, kScaleChars);
    }

    if (!SlotPresent(ctx, slotJob_Type)) {
        RemoveControls(page, kIdNormalJob, kIdStoreToHdd);
        RemoveControls(page, kIdPassword, kIdPassword);
    }

    WatermarkTableLoaded(ctx) = 0;
    OverlayState(ctx) = 0;
    IcCardFlag(ctx) = services.QueryCardDriver(SheetPrinter(ctx));
}

void ChooseInitialJobType(OemUiContext &ctx, JobOptionsServices &services)
{
    if (!SlotPresent(ctx, slotJob_Type)) return;
    DWORD &jobType = SlotSel(ctx, slotJob_Type);
    if (EncryptedPrintAvailable(ctx, services)) {
        jobType = JobTypeSel(JobType::Secure);
        OemDevmode *dm = SheetDevmode(ctx);
        if (dm && dm->dwEncryptedPasswordLen == 0) dm->dwAskPassword = 1;
    } else if (IcCardFlag(ctx)) {
        if (!HardDiskAvailable(ctx))
            jobType = JobTypeSel(JobType::Normal);
        else if (jobType == JobTypeSel(JobType::Spool))
            jobType = JobTypeSel(JobType::Secure);
    }
}

// ---- Commands ---------------------------------------------------------------------------------------------

void ChooseNormal(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    g_jobOptions.storeChoiceArmed = true;
    g_jobOptions.copyWarningArmed = true;
    if (SlotPresent(ctx, slotJob_Type)) SlotSel(ctx, slotJob_Type) = JobTypeSel(JobType::Normal);
    RefreshJobOptionsPage(page, ctx, services);
}

// The focus moving to an unchecked radio button reports a click of it; the "Normal" handler runs once more
// here where the button system did not, which changes nothing when it did.
void ReturnToNormal(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    if (HWND normal = GetDlgItem(page, kIdNormalJob)) SetFocus(normal);
    CheckRadioButton(page, kIdNormalJob, kIdStoreToHdd, kIdNormalJob);
    if (SlotPresent(ctx, slotJob_Type) && SlotSel(ctx, slotJob_Type) != JobTypeSel(JobType::Normal)) ChooseNormal(page, ctx, services);
}

void KeepStoreChoice(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    if (HWND store = GetDlgItem(page, kIdStoreToHdd)) SetFocus(store);
    CheckRadioButton(page, kIdNormalJob, kIdStoreToHdd, kIdStoreToHdd);
    RefreshJobOptionsPage(page, ctx, services);
}

bool JobNameComplete(const OemDevmode *dm)
{
    return dm && (dm->wszJobName[0] || dm->dwAskJobName) && dm->wszJobPassword[0];
}

void ChooseStoreToHdd(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    if (SlotPresent(ctx, slotJob_Type)) SlotSel(ctx, slotJob_Type) = JobTypeSel(JobType::Spool);
    if (SlotPresent(ctx, slotCopies) && SlotSel(ctx, slotCopies) != 1) {
        if (g_jobOptions.copyWarningArmed) {
            ShowStringMessage(page, g_ui.module, IDS_STORE_ONE_COPY, IDS_WARNING_CAPTION, MB_ICONEXCLAMATION);
            g_jobOptions.copyWarningArmed = false;
        }
        SlotSel(ctx, slotCopies) = 1;
        SetSpinPosition(page, kIdCopiesSpin, kIdCopiesEdit, 1);
        for (int id : {static_cast<int>(kIdCopiesLabel), static_cast<int>(kIdCopiesEdit),
                       static_cast<int>(kIdCopiesSpin), static_cast<int>(kIdCollate)})
            EnableControl(page, id, false);
    }
    if (!g_jobOptions.jobDialogIdle || !g_jobOptions.storeChoiceArmed) {
        ReturnToNormal(page, ctx, services);
        return;
    }
    if (JobNameComplete(SheetDevmode(ctx))) {
        KeepStoreChoice(page, ctx, services);
        return;
    }
    g_jobOptions.jobDialogIdle = false;
    const bool accepted = services.JobPinDialog(page, ctx);
    g_jobOptions.jobDialogIdle = true;
    if (accepted) {
        KeepStoreChoice(page, ctx, services);
    } else {
        g_jobOptions.storeChoiceArmed = false;
        ReturnToNormal(page, ctx, services);
    }
}

void OpenLink(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    WCHAR link[kCompanionNameChars];
    if (ModelKeySet(ctx, services, TEXT("TabLinkName"), link, kCompanionNameChars))
        ShellExecuteW(page, nullptr, link, nullptr, nullptr, SW_SHOWNORMAL);
}

// ---- Page procedure ---------------------------------------------------------------------------------------

OemUiContext *PageContext(HWND page)
{
    return reinterpret_cast<OemUiContext *>(GetWindowLongPtrW(page, DWLP_USER));
}

INT_PTR OnNotify(HWND page, OemUiContext &ctx, const NMHDR &header)
{
    JobOptionsServices &services = CurrentJobOptionsServices();
    switch (header.code) {
    case PSN_SETACTIVE:
        RefreshJobOptionsPage(page, ctx, services);
        return AnswerNotify(page, 0);
    case PSN_KILLACTIVE:
        return AnswerNotify(page, LeaveJobOptionsPage(page, ctx, services) ? FALSE : TRUE);
    case PSN_APPLY:
        if (ctx.pfnComPropSheet)
            ctx.pfnComPropSheet(ctx.hComPropSheet, CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(ctx.hJobOptionsPage),
                                CPSUI_OK);
        if (WatermarkTableLoaded(ctx)) {
            services.StoreWatermarks(ctx);
            WatermarkTableLoaded(ctx) = 0;
        }
        if (g_ui.printerDataWritable && OverlayState(ctx) == 1) {
            services.CommitOverlays(ctx);
            if (ctx.pfnComPropSheet)
                ctx.pfnComPropSheet(ctx.hComPropSheet, CPSFUNC_SET_RESULT,
                                    reinterpret_cast<LPARAM>(ctx.hJobOptionsPage), CPSUI_OK);
        }
        DeleteLinkFont();
        return AnswerNotify(page, PSNRET_NOERROR);
    case PSN_RESET:
        if (WatermarkTableLoaded(ctx)) {
            services.ReleaseWatermarks(ctx);
            WatermarkTableLoaded(ctx) = 0;
        }
        DeleteLinkFont();
        return AnswerNotify(page, 0);
    default: return FALSE;
    }
}

INT_PTR OnDrawItem(OemUiContext &ctx, const DRAWITEMSTRUCT &draw)
{
    if (draw.CtlID == static_cast<UINT>(kIdQualityPicture)) {
        const DWORD quality = SlotPresent(ctx, slotResolution) ? SlotSel(ctx, slotResolution) : 0;
        DrawFramedResource(draw.hDC, 0, 0, g_ui.module, QualityBitmap(quality));
        return TRUE;
    }
    if (draw.CtlID == static_cast<UINT>(IDC_LOGO)) {
        DrawTransparentResource(draw.hDC, 0, 0, g_ui.module, IDB_LOGO);
        return TRUE;
    }
    return FALSE;
}

} // namespace

// ---- Page steps -------------------------------------------------------------------------------------------

bool EncryptedPrintAvailable(const OemUiContext &ctx, JobOptionsServices &services)
{
    if (!CoreSettingIs(ctx, kw::kJobLimit, kw::kTrue) || !HardDiskAvailable(ctx) || !StandardUi(ctx)) return false;
    WCHAR name[kCompanionNameChars] = {};
    services.ModelString(SheetPrinter(ctx), TEXT("CryptoDll"), name, kCompanionNameChars);
    return name[0] != 0;
}

void InitJobOptionsPage(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    SetUpControls(page, ctx, services);
    ChooseInitialJobType(ctx, services);
    RefreshJobOptionsPage(page, ctx, services);
    g_ui.sheetFlags |= kSheetFlagPageInitialised;
}

void RefreshJobOptionsPage(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    if (SlotPresent(ctx, slotResolution)) {
        const DWORD quality = SlotSel(ctx, slotResolution);
        CheckRadioButton(page, kIdPhotoQuality, kIdNormalQuality,
                         quality <= 2 ? kIdPhotoQuality + static_cast<int>(quality) : 0);
        RedrawQualityPicture(page);
    }
    if (SlotPresent(ctx, slotImageSmoothing))
        CheckDlgButton(page, kIdImageSmoothing, SlotSel(ctx, slotImageSmoothing) == 0 ? BST_CHECKED : BST_UNCHECKED);

    DWORD jobType = JobTypeSel(JobType::Normal);
    if (SlotPresent(ctx, slotJob_Type)) {
        DWORD &type = SlotSel(ctx, slotJob_Type);
        const bool hardDisk = HardDiskAvailable(ctx);
        if (!hardDisk) type = JobTypeSel(JobType::Normal);
        if (EncryptedPrintAvailable(ctx, services)) {
            EnableControl(page, kIdNormalJob, false);
            EnableControl(page, kIdStoreToHdd, false);
        } else if (IcCardFlag(ctx)) {
            EnableControl(page, kIdStoreToHdd, false);
        } else {
            EnableControl(page, kIdStoreToHdd, hardDisk);
        }
        CheckDlgButton(page, kIdNormalJob, type == JobTypeSel(JobType::Normal) ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page, kIdStoreToHdd, type == JobTypeSel(JobType::Spool) ? BST_CHECKED : BST_UNCHECKED);
        if (ModelKeySet(ctx, services, TEXT("CryptoDll")) && StandardUi(ctx)) {
            std::unique_ptr<PasswordCipher> cipher = services.LoadCipher(SheetPrinter(ctx));
            if (!cipher && type == JobTypeSel(JobType::Secure)) {
                type = JobTypeSel(JobType::Normal);
                CheckDlgButton(page, kIdNormalJob, BST_CHECKED);
            }
        }
        jobType = type;
    }
    EnableControl(page, kIdPassword, jobType != JobTypeSel(JobType::Normal));

    if (SlotPresent(ctx, slotCopies)) {
        SetSpinPosition(page, kIdCopiesSpin, kIdCopiesEdit, SlotSel(ctx, slotCopies));
        const bool copiesFree = IcCardFlag(ctx) || jobType == JobTypeSel(JobType::Normal);
        for (int id : {static_cast<int>(kIdCopiesLabel), static_cast<int>(kIdCopiesEdit),
                       static_cast<int>(kIdCopiesSpin), static_cast<int>(kIdCollate)})
            EnableControl(page, id, copiesFree);
    }
    if (SlotPresent(ctx, slotCollate))
        CheckDlgButton(page, kIdCollate, SlotSel(ctx, slotCollate) == 1 ? BST_CHECKED : BST_UNCHECKED);
    if (SlotPresent(ctx, slotScale)) SetSpinPosition(page, kIdScaleSpin, kIdScaleEdit, SlotSel(ctx, slotScale));
    if (SlotPresent(ctx, slotOutputBin)) {
        const LRESULT count = Send(page, kIdOutputBin, CB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i) {
            if (static_cast<DWORD>(Send(page, kIdOutputBin, CB_GETITEMDATA, static_cast<WPARAM>(i))) ==
                SlotSel(ctx, slotOutputBin)) {
                Send(page, kIdOutputBin, CB_SETCURSEL, static_cast<WPARAM>(i));
                break;
            }
        }
    }

    CreateLinkFont(page);
    WCHAR link[kCompanionNameChars];
    if (ModelKeySet(ctx, services, TEXT("TabLinkName"), link, kCompanionNameChars))
        SetDlgItemTextW(page, IDC_LINK, link);
    else
        ShowControls(page, IDC_LINK, IDC_LINK, false);
    ShowControls(page, IDC_LOGO, IDC_LOGO, true);

    const bool permitted = (SheetFlags(ctx) & kNoPermissionFlag) == 0;
    DisableControls(page, kIdQualityGroup, kIdImageSmoothing, permitted);
    DisableControls(page, IDC_DEFAULT, IDC_DEFAULT, permitted);

    if (!SlotPresent(ctx, slotMirror)) {
        RemoveControls(page, kIdMirror, kIdMirror);
        RemoveControls(page, kIdMirrorIcon, kIdMirrorIcon);
    } else {
        const bool mirrored = SlotSel(ctx, slotMirror) == 0;
        CheckDlgButton(page, kIdMirror, mirrored ? BST_CHECKED : BST_UNCHECKED);
        ShowMirrorIcon(page, g_ui.module, kIdMirrorIcon, mirrored);
    }
}

void ResetJobOptionsDefaults(OemUiContext &ctx)
{
    static const struct {
        DWORD slot;
        DWORD value;
    } kDefaults[] = {
        {slotResolution, 0}, {slotImageSmoothing, 1}, {slotJob_Type, JobTypeSel(JobType::Normal)},
        {slotCopies, 1},     {slotCollate, 0},        {slotOutputBin, 0},
        {slotStaple, 0},     {slotPunch, 0},          {slotBindPosition, kDefaultBindPosition},
        {slotScale, kDefaultScale}, {slotTrapping, 0}, {slotTone, 0},
        {slotPrintQuality, 0}, {slotMirror, 0},
    };
    for (const auto &d : kDefaults)
        if (SlotPresent(ctx, d.slot)) SlotSel(ctx, d.slot) = d.value;
}

bool EditEncryptedPassword(HWND page, OemUiContext &ctx, JobOptionsServices &services)
{
    OemDevmode *dm = SheetDevmode(ctx);
    if (!dm) return false;
    std::unique_ptr<PasswordCipher> cipher = services.LoadCipher(SheetPrinter(ctx));
    if (!cipher) return false;

    CHAR password[kUiPasswordCapacity] = {};
    if (dm->dwEncryptedPasswordLen) {
        DWORD size = kUiPasswordCapacity;
        // A stored length beyond the record's buffer is not the library's to read.
        const DWORD length = dm->dwEncryptedPasswordLen < sizeof(dm->bEncryptedPassword)
                                 ? dm->dwEncryptedPasswordLen
                                 : static_cast<DWORD>(sizeof(dm->bEncryptedPassword));
        if (!cipher->DecryptPassword(dm->bEncryptedPassword, length, password, &size)) password[0] = 0;
        password[kUiPasswordCapacity - 1] = 0;
    }

    DWORD mode = ((services.PrinterAttributes(SheetPrinter(ctx)) & kSharedOrNetwork) || g_ui.newSystem) ? 1 : 0;
    if (IcCardFlag(ctx)) mode = 2;
    EncryptionSetting setting = {};
    setting.dwCryptoMode = dm->dwCryptoMode;
    setting.dwCryptoLevel = dm->dwCryptoLevel;
    setting.dwAskPassword = dm->dwAskPassword;
    setting.dwCryptoTime = dm->dwCryptoTime;
    lstrcpynA(setting.szPassword, password, sizeof(setting.szPassword));
    Wipe(password, sizeof(password));

    bool changed = false;
    if (cipher->DispCryptoUIEx(page, &setting, mode)) {
        dm->dwCryptoMode = setting.dwCryptoMode;
        dm->dwCryptoLevel = setting.dwCryptoLevel;
        dm->dwAskPassword = setting.dwAskPassword;
        dm->dwCryptoTime = setting.dwCryptoTime;
        setting.szPassword[sizeof(setting.szPassword) - 1] = 0;
        dm->dwEncryptedPasswordLen = kEncryptedPasswordCapacity;
        if (!cipher->EncryptPassword(setting.szPassword, static_cast<DWORD>(lstrlenA(setting.szPassword)),
                                     dm->bEncryptedPassword, &dm->dwEncryptedPasswordLen) ||
            dm->dwEncryptedPasswordLen > sizeof(dm->bEncryptedPassword)) {
            // Without a valid encrypted form nothing is kept: the printer asks for the password instead.
            dm->dwEncryptedPasswordLen = 0;
            Wipe(dm->bEncryptedPassword, sizeof(dm->bEncryptedPassword));
        }
        changed = true;
    }
    Wipe(setting.szPassword, sizeof(setting.szPassword));
    return changed;
}

bool JobOptionsCommand(HWND page, OemUiContext &ctx, JobOptionsServices &services, int id, int code)
{
    if (id == kIdCopiesEdit || id == kIdScaleEdit) {
        ImmAssociateContext(GetDlgItem(page, id), nullptr);
        if (code != EN_CHANGE || g_updating) return false;
        Changed(page);
        if (id == kIdCopiesEdit) {
            const DWORD copies = FilterNumberEdit(page, id, 0xFFFFFFFF);
            if (SlotPresent(ctx, slotCopies)) SlotSel(ctx, slotCopies) = copies;
        } else {
            const DWORD scale = FilterNumberEdit(page, id, kMaxScale);
            if (SlotPresent(ctx, slotScale)) SlotSel(ctx, slotScale) = scale;
        }
        return false;
    }
    if (id == kIdOutputBin) {
        if (code != CBN_SELCHANGE) return false;
        const LRESULT at = Send(page, kIdOutputBin, CB_GETCURSEL);
        if (at < 0 || !SlotPresent(ctx, slotOutputBin)) return false;
        SlotSel(ctx, slotOutputBin) = static_cast<DWORD>(Send(page, kIdOutputBin, CB_GETITEMDATA, static_cast<WPARAM>(at)));
        return true;
    }
    // Everything else is a button (or the link label, whose click has the same code).
    if (code != BN_CLICKED) return false;
    switch (id) {
    case kIdPhotoQuality:
    case kIdPhotoQuality + 1:
    case kIdNormalQuality:
        if (SlotPresent(ctx, slotResolution)) SlotSel(ctx, slotResolution) = static_cast<DWORD>(id - kIdPhotoQuality);
        RefreshJobOptionsPage(page, ctx, services);
        return true;
    case kIdImageSmoothing:
        if (SlotPresent(ctx, slotImageSmoothing)) SlotSel(ctx, slotImageSmoothing) = IsChecked(page, id) ? 0 : 1;
        return true;
    case kIdNormalJob: ChooseNormal(page, ctx, services); return true;
    case kIdStoreToHdd: ChooseStoreToHdd(page, ctx, services); return true;
    case kIdPassword:
        if (SlotPresent(ctx, slotJob_Type) && SlotSel(ctx, slotJob_Type) == JobTypeSel(JobType::Secure))
            return EditEncryptedPassword(page, ctx, services);
        return services.JobPinDialog(page, ctx);
    case kIdCollate:
        if (SlotPresent(ctx, slotCollate)) SlotSel(ctx, slotCollate) = IsChecked(page, id) ? 1 : 0;
        return true;
    case kIdMirror:
        if (SlotPresent(ctx, slotMirror)) {
            SlotSel(ctx, slotMirror) = IsChecked(page, id) ? 0 : 1;
            ShowMirrorIcon(page, g_ui.module, kIdMirrorIcon, IsChecked(page, id));
        }
        return true;
    case kIdWatermarkButton: return services.WatermarkDialog(page, ctx);
    case kIdOverlayButton: return services.OverlayDialog(page, ctx);
    case kIdAdvancedButton: return services.AdvancedDialog(page, ctx);
    case kIdAboutButton: services.AboutDialog(page, ctx); return false;
    case IDC_LINK:
    case IDC_LOGO: OpenLink(page, ctx, services); return false;
    case IDC_DEFAULT:
        ResetJobOptionsDefaults(ctx);
        RefreshJobOptionsPage(page, ctx, services);
        RedrawQualityPicture(page);
        return true;
    default: return false;
    }
}

bool LeaveJobOptionsPage(HWND page, OemUiContext &ctx, JobOptionsServices &)
{
    // Scale first: copies are not looked at while the scale is wrong.
    if (SlotPresent(ctx, slotScale)) {
        DWORD scale = 0;
        if (!ReadBounded(page, kIdScaleEdit, ItemBounds(ctx, slotScale, kMaxScale), scale)) {
            RefuseField(page, kIdScaleEdit);
            return false;
        }
        SlotSel(ctx, slotScale) = scale;
    }
    if (SlotPresent(ctx, slotCopies)) {
        DWORD copies = 0;
        if (!ReadBounded(page, kIdCopiesEdit, ItemBounds(ctx, slotCopies, kMaxCopies), copies)) {
            RefuseField(page, kIdCopiesEdit);
            return false;
        }
        SlotSel(ctx, slotCopies) = copies;
    }
    ApplyFeatureSlots(ctx);

    // Where the user may not change printer data, the core's own pages show the written-back settings only
    // after they were shown once more: visit page 2 and come back, once per sheet.
    if (!g_ui.printerDataWritable && (g_ui.sheetFlags & kSheetFlagPageInitialised) &&
        !(g_ui.sheetFlags & kSheetFlagPageActive)) {
        g_ui.sheetFlags |= kSheetFlagPageActive;
        HWND sheet = GetParent(page);
        const LRESULT current = SendMessageW(sheet, PSM_HWNDTOINDEX,
                                             static_cast<WPARAM>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)),
                                             0);
        SendMessageW(sheet, PSM_SETCURSEL, kPageSwitchIndex, 0);
        if (current >= 0) SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(current), 0);
    }
    DeleteLinkFont();
    return true;
}

INT_PTR CALLBACK JobOptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto sheetPage = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
        auto ctx = sheetPage ? reinterpret_cast<OemUiContext *>(sheetPage->lParam) : nullptr;
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(ctx));
        if (ctx) InitJobOptionsPage(page, *ctx, CurrentJobOptionsServices());
        return TRUE;
    }
    OemUiContext *ctx = PageContext(page);
    if (!ctx) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (JobOptionsCommand(page, *ctx, CurrentJobOptionsServices(), LOWORD(wParam), HIWORD(wParam))) Changed(page);
        return TRUE;
    case WM_NOTIFY: return lParam ? OnNotify(page, *ctx, *reinterpret_cast<const NMHDR *>(lParam)) : FALSE;
    case WM_DRAWITEM: return lParam ? OnDrawItem(*ctx, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)) : FALSE;
    case WM_ACTIVATE: RedrawQualityPicture(page); return FALSE;
    case WM_SETCURSOR: {
        const int over = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
        if ((over != IDC_LINK && over != IDC_LOGO) || !ModelKeySet(*ctx, CurrentJobOptionsServices(), TEXT("TabLinkName")))
            return FALSE;
        HCURSOR cursor = LoadCursorW(nullptr, IDC_HAND);
        SetCursor(cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW));
        return AnswerNotify(page, TRUE);
    }
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_LINK) return FALSE;
        {
            auto dc = reinterpret_cast<HDC>(wParam);
            if (g_jobOptions.linkFont) SelectObject(dc, g_jobOptions.linkFont.get());
            SetTextColor(dc, kLinkColour);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        }
    case WM_HELP:
    case WM_CONTEXTMENU:
        return OpenControlHelp(g_ui.helpAvailable && g_ui.helpFilePath[0] ? g_ui.helpFilePath : nullptr, message,
                               wParam, lParam);
    default: return FALSE;
    }
}

} // namespace zep
