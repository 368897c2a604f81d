// The Advanced dialog (template 204): job spool, ultra fine lines, mirror print and compression.
#include "ui/joboptions/advanced.h"

#include <algorithm>
#include <iterator>

#include "common/config.h"
#include "resources/zepui_ids.h"
#include "ui/dlgutil.h"
#include "ui/joboptions/dialogs.h"
#include "ui/sheetdata.h"
#include "ui/slots.h"
#include "ui/state.h"

namespace zep {
namespace {

constexpr int kCompressionGroup = 1804;
constexpr int kCompressionList = 1805;
constexpr int kMirrorIcon = 1803;
constexpr int kMirrorBox = 1801;
constexpr DWORD kCompressionChoices = 4;

// List index of each default level 0-9 in bits 8-11 of "Compression".
constexpr DWORD kLevelToIndex[] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3};

// The check boxes the dialog serves: a box is ticked when its slot holds `tickedSel`; "&Default" ticks it
// when `defaultTicked`. Template 204 has 1806 and 1808; 1801 and 1807 are served when a template has them.
struct CheckRow {
    int id;
    DWORD slot;
    DWORD tickedSel;
    bool defaultTicked;
};
constexpr CheckRow kChecks[] = {
    {kMirrorBox, slotMirror, 0, true},
    {1806, slotHDDSpool, 1, false},
    {1807, slotDrumClean, 1, false},
    {1808, slotHairLine, 0, true},
};
constexpr int kJobSpoolBox = 1806;

struct AdvancedState {
    OemUiContext *ctx;
    OemDevmode *dm;
    const AdvancedEnvironment *env;
};

// The chosen list entry while the dialog is open is kept with the sheet's other selections; OK moves it into the
// job settings record, where the rendering plug-in reads it.
DWORD &ChosenCompression(OemUiContext &ctx) { return ctx.dwSlotSel[slotCompression]; }

bool Shows(HWND dialog, const OemUiContext &ctx, const CheckRow &row)
{
    return SlotPresent(ctx, row.slot) && GetDlgItem(dialog, row.id);
}

void RemoveControl(HWND dialog, int id) { RemoveControls(dialog, id, id); }

void ShowMirrorState(HWND dialog, HINSTANCE module)
{
    ShowMirrorIcon(dialog, module, kMirrorIcon, IsChecked(dialog, kMirrorBox));
}

void InitAdvanced(HWND dialog, AdvancedState &s)
{
    OemUiContext &ctx = *s.ctx;
    const AdvancedEnvironment &env = *s.env;
    FitCaptionHelp(dialog, env.newSystem);

    if (!CompressionOffered(env.compression)) {
        RemoveControl(dialog, kCompressionGroup);
        RemoveControl(dialog, kCompressionList);
    } else {
        for (UINT id = IDS_COMPRESSION_NONE; id <= IDS_COMPRESSION_BEST; ++id) {
            WCHAR text[64] = {};
            LoadStringW(env.module, id, text, static_cast<int>(std::size(text)));
            SendDlgItemMessageW(dialog, kCompressionList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        // A level from a foreign record beyond the list counts as the strongest.
        ChosenCompression(*s.ctx) = std::min<DWORD>(s.dm->wCompressionLevel, kCompressionChoices - 1);
        SendDlgItemMessageW(dialog, kCompressionList, CB_SETCURSEL, ChosenCompression(*s.ctx), 0);
    }

    for (const CheckRow &row : kChecks) {
        if (!SlotPresent(ctx, row.slot)) {
            RemoveControl(dialog, row.id);
            if (row.id == kMirrorBox) RemoveControl(dialog, kMirrorIcon);
            continue;
        }
        if (row.id == kJobSpoolBox && !env.hardDisk) {
            ctx.dwSlotSel[row.slot] = 0;
            EnableWindow(GetDlgItem(dialog, row.id), FALSE);
        }
        SetChecked(dialog, row.id, ctx.dwSlotSel[row.slot] == row.tickedSel);
    }
    if (GetDlgItem(dialog, kMirrorBox)) ShowMirrorState(dialog, env.module);
}

// "&Default" shows the defaults; nothing is stored until OK.
void ShowDefaults(HWND dialog, AdvancedState &s)
{
    for (const CheckRow &row : kChecks)
        if (Shows(dialog, *s.ctx, row)) SetChecked(dialog, row.id, row.defaultTicked);
    if (GetDlgItem(dialog, kJobSpoolBox)) EnableWindow(GetDlgItem(dialog, kJobSpoolBox), s.env->hardDisk);
    if (GetDlgItem(dialog, kMirrorBox)) ShowMirrorState(dialog, s.env->module);
    if (GetDlgItem(dialog, kCompressionList)) {
        ChosenCompression(*s.ctx) = DefaultCompressionIndex(s.env->compression);
        SendDlgItemMessageW(dialog, kCompressionList, CB_SETCURSEL, ChosenCompression(*s.ctx), 0);
    }
}

void AcceptAdvanced(HWND dialog, AdvancedState &s)
{
    const bool listShown = GetDlgItem(dialog, kCompressionList) != nullptr;
    s.dm->wCompressionLevel = static_cast<WORD>(listShown ? ChosenCompression(*s.ctx) : 0);
    for (const CheckRow &row : kChecks) {
        if (!Shows(dialog, *s.ctx, row)) continue;
        const bool ticked = IsChecked(dialog, row.id);
        s.ctx->dwSlotSel[row.slot] = ticked ? row.tickedSel : (row.tickedSel ? 0 : 1);
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK AdvancedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitAdvanced(dialog, *reinterpret_cast<AdvancedState *>(lParam));
        return TRUE;
    }
    auto s = reinterpret_cast<AdvancedState *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!s) return FALSE;
    if (message == WM_HELP || message == WM_CONTEXTMENU)
        return OpenControlHelp(s->env->helpFile, message, wParam, lParam);
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case kCompressionList:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT sel = SendDlgItemMessageW(dialog, kCompressionList, CB_GETCURSEL, 0, 0);
            if (sel >= 0 && sel < static_cast<LRESULT>(kCompressionChoices)) ChosenCompression(*s->ctx) = static_cast<DWORD>(sel);
        }
        return TRUE;
    case kMirrorBox:
        ShowMirrorState(dialog, s->env->module);
        return TRUE;
    case IDC_DEFAULT:
        ShowDefaults(dialog, *s);
        return TRUE;
    case IDOK:
        AcceptAdvanced(dialog, *s);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool CompressionOffered(int compression) { return (compression & 1) != 0; }

DWORD DefaultCompressionIndex(int compression)
{
    const auto level = static_cast<DWORD>((compression >> 8) & 0xF);
    return level < std::size(kLevelToIndex) ? kLevelToIndex[level] : kCompressionChoices - 1;
}

INT_PTR RunAdvancedDialog(HWND owner, OemUiContext &ctx, OemDevmode &dm, const AdvancedEnvironment &env)
{
    AdvancedState state{&ctx, &dm, &env};
    return DialogBoxParamW(env.module, MAKEINTRESOURCEW(IDD_ADVANCED), owner, AdvancedDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}

INT_PTR ShowAdvancedDialog(HWND owner, OemUiContext *ctx)
{
    OemDevmode *dm = ctx ? SheetDevmode(*ctx) : nullptr;
    if (!dm) return -1;
    AdvancedEnvironment env;
    env.module = g_ui.module;
    env.hardDisk = HardDiskAvailable(*ctx);
    env.compression = GetModelInt(SheetPrinter(*ctx), TEXT("Compression"));
    env.newSystem = g_ui.newSystem;
    env.helpFile = g_ui.helpAvailable && g_ui.helpFilePath[0] ? g_ui.helpFilePath : nullptr;
    return RunAdvancedDialog(owner, *ctx, *dm, env);
}

} // namespace zep
