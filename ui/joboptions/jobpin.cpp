// The job name and password dialog (template 202) and the show-once warning (template 301).
#include "ui/joboptions/jobpin.h"

#include <algorithm>
#include <iterator>

#include "common/handle.h"
#include "resources/zepui_ids.h"
#include "ui/joboptions/dialogs.h"
#include "ui/joboptions/dlgutil.h"
#include "ui/state.h"

namespace zep {
namespace {

constexpr int kNameEdit = 1006;
constexpr int kAskJobNameBox = 1007;
constexpr int kPasswordEdit = 1008;
constexpr int kWarningIcon = 6006;
constexpr int kShowNextTimeBox = 6005;
constexpr DWORD kCaptionHelpStyle = 0x400; // WS_EX_CONTEXTHELP
constexpr DWORD kSharedOrNetwork = PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK;

static_assert(sizeof(OemDevmode::wszJobName) == (kJobNameChars + 1) * sizeof(WCHAR));
static_assert(sizeof(OemDevmode::wszJobPassword) == (kJobPasswordChars + 1) * sizeof(WCHAR));

// Show-once warnings: type, template.
struct WarningKind {
    DWORD type;
    int templateId;
};
constexpr WarningKind kWarnings[] = {
    {kWarningJobNamePrompt, IDD_WARNING_JOBNAME},
};

struct JobPinState {
    OemDevmode *dm;
    const JobPinEnvironment *env;
};

// A message box with a string-table text, the stop icon and the system's caption.
void StopBox(HWND dialog, HINSTANCE module, UINT textId) { ShowStringMessage(dialog, module, textId, 0, MB_OK | MB_ICONSTOP); }

// Keeps an edit's text to what keep accepts: one beep, the kept text, the caret moved back by what went.
void FilterEdit(HWND dialog, int id, int maxChars, bool (*keep)(WCHAR))
{
    HWND edit = GetDlgItem(dialog, id);
    // The input method would compose outside the filter; typing goes straight into the edit instead.
    ImmAssociateContext(edit, nullptr);
    WCHAR text[kJobNameChars + 1] = {};
    GetWindowTextW(edit, text, std::min(maxChars, kJobNameChars) + 1);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int dropped = FilterText(text, keep);
    if (dropped == 0) return;
    MessageBeep(0xFFFFFFFF);
    SetWindowTextW(edit, text);
    const auto back = static_cast<DWORD>(dropped);
    const DWORD caret = end > back ? end - back : 0;
    SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void InitJobPin(HWND dialog, const JobPinState &s)
{
    const JobPinEnvironment &env = *s.env;
    FitCaptionHelp(dialog, env.newSystem);
    SendDlgItemMessageW(dialog, kNameEdit, EM_LIMITTEXT, kJobNameChars, 0);
    SendDlgItemMessageW(dialog, kPasswordEdit, EM_LIMITTEXT, kJobPasswordChars, 0);
    // A record from elsewhere may lack its terminators; the edits get at most what they can hold.
    WCHAR name[kJobNameChars + 1] = {};
    WCHAR password[kJobPasswordChars + 1] = {};
    std::copy_n(s.dm->wszJobName, kJobNameChars, name);
    std::copy_n(s.dm->wszJobPassword, kJobPasswordChars, password);
    SetDlgItemTextW(dialog, kNameEdit, name);
    SetDlgItemTextW(dialog, kPasswordEdit, password);
    HWND ask = GetDlgItem(dialog, kAskJobNameBox);
    if (env.newSystem) EnableWindow(ask, FALSE);
    CheckDlgButton(dialog, kAskJobNameBox, s.dm->dwAskJobName ? BST_CHECKED : BST_UNCHECKED);
    if (env.printerShared) {
        CheckDlgButton(dialog, kAskJobNameBox, BST_UNCHECKED);
        EnableWindow(ask, FALSE);
    }
}

// OK: a password of exactly four characters, and a name unless the job name is asked for at print time.
void AcceptJobPin(HWND dialog, const JobPinState &s)
{
    WCHAR name[kJobNameChars + 1] = {};
    WCHAR password[kJobPasswordChars + 2] = {};
    GetDlgItemTextW(dialog, kNameEdit, name, kJobNameChars + 1);
    GetDlgItemTextW(dialog, kPasswordEdit, password, kJobPasswordChars + 2);
    const bool ask = IsDlgButtonChecked(dialog, kAskJobNameBox) == BST_CHECKED;
    if (lstrlenW(password) != kJobPasswordChars) {
        StopBox(dialog, s.env->module, IDS_PASSWORD_INVALID);
        return;
    }
    if (!ask && !name[0]) {
        StopBox(dialog, s.env->module, IDS_JOBNAME_INVALID);
        return;
    }
    std::copy(std::begin(name), std::end(name), s.dm->wszJobName);
    std::copy_n(password, kJobPasswordChars + 1, s.dm->wszJobPassword);
    s.dm->dwAskJobName = ask ? 1 : 0;
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK JobPinDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitJobPin(dialog, *reinterpret_cast<const JobPinState *>(lParam));
        return TRUE;
    }
    auto s = reinterpret_cast<const JobPinState *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!s) return FALSE;
    if (message == WM_HELP || message == WM_CONTEXTMENU)
        return OpenControlHelp(s->env->helpFile, message, wParam, lParam);
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case kNameEdit:
        if (HIWORD(wParam) == EN_UPDATE) FilterEdit(dialog, kNameEdit, kJobNameChars, IsJobNameChar);
        return TRUE;
    case kPasswordEdit:
        if (HIWORD(wParam) == EN_UPDATE) FilterEdit(dialog, kPasswordEdit, kJobPasswordChars, IsPasswordChar);
        return TRUE;
    case kAskJobNameBox:
        if (s->env->windowsXp && IsDlgButtonChecked(dialog, kAskJobNameBox) == BST_CHECKED)
            RunWarningOnce(s->env->module, dialog, s->env->pluginIni, kWarningJobNamePrompt);
        return TRUE;
    case IDOK:
        AcceptJobPin(dialog, *s);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK WarningDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto module = reinterpret_cast<HINSTANCE>(lParam);
        if (HICON icon = LoadIconW(module, MAKEINTRESOURCEW(IDI_ZEP_WARNING)))
            SendDlgItemMessageW(dialog, kWarningIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        CheckDlgButton(dialog, kShowNextTimeBox, BST_CHECKED);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        EndDialog(dialog, IsDlgButtonChecked(dialog, kShowNextTimeBox) == BST_CHECKED ? 1 : 0);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// Attribute bits of the printer (0 when the spooler cannot say).
DWORD PrinterAttributes(HANDLE printer)
{
    if (!printer) return 0;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return 0;
    HeapBlock<BYTE> block(needed);
    if (!block || !GetPrinterW(printer, 2, block.get(), needed, &needed)) return 0;
    return reinterpret_cast<const PRINTER_INFO_2W *>(block.get())->Attributes;
}

bool IsWindowsXp()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return false;
    return info.dwMajorVersion == 5 && info.dwMinorVersion != 0;
}

} // namespace

bool IsJobNameChar(WCHAR c) { return c >= 0x20 && c <= 0x7E && c != '"'; }
bool IsPasswordChar(WCHAR c) { return c >= '0' && c <= '9'; }

int FilterText(WCHAR *text, bool (*keep)(WCHAR))
{
    int dropped = 0;
    WCHAR *out = text;
    for (const WCHAR *in = text; *in; ++in) {
        if (keep(*in))
            *out++ = *in;
        else
            ++dropped;
    }
    *out = 0;
    return dropped;
}

bool OpenControlHelp(LPCWSTR helpFile, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The help file's topics are numbered by control id: the pair list names the one control asked about.
    auto open = [helpFile](HWND control, UINT command) {
        if (!helpFile || !control) return;
        const DWORD id = static_cast<DWORD>(GetDlgCtrlID(control));
        DWORD pairs[4] = {id, id, 0, 0};
        WinHelpW(control, helpFile, command, reinterpret_cast<ULONG_PTR>(pairs));
    };
    if (message == WM_HELP) {
        if (auto info = reinterpret_cast<const HELPINFO *>(lParam))
            open(static_cast<HWND>(info->hItemHandle), HELP_WM_HELP);
        return true;
    }
    if (message == WM_CONTEXTMENU) {
        open(reinterpret_cast<HWND>(wParam), HELP_CONTEXTMENU);
        return true;
    }
    return false;
}

void FitCaptionHelp(HWND dialog, bool newSystem)
{
    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    style = newSystem ? (style & ~static_cast<LONG_PTR>(kCaptionHelpStyle)) : (style | kCaptionHelpStyle);
    SetWindowLongPtrW(dialog, GWL_EXSTYLE, style);
}

INT_PTR RunJobPinDialog(HWND owner, OemDevmode &dm, const JobPinEnvironment &env)
{
    JobPinState state{&dm, &env};
    return DialogBoxParamW(env.module, MAKEINTRESOURCEW(IDD_JOB_PIN), owner, JobPinDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}

INT_PTR RunWarningOnce(HINSTANCE module, HWND owner, LPCWSTR pluginIni, DWORD type)
{
    const WarningKind *kind = std::find_if(std::begin(kWarnings), std::end(kWarnings),
                                           [type](const WarningKind &k) { return k.type == type; });
    if (kind == std::end(kWarnings)) return 1;
    WCHAR key[32] = {};
    wsprintfW(key, TEXT("AllertFlag%ld"), static_cast<long>(type));
    if (pluginIni && GetPrivateProfileIntW(TEXT("DisplayAllert"), key, 0, pluginIni) != 0) return 1;
    const INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(kind->templateId), owner, WarningDialogProc,
                                           reinterpret_cast<LPARAM>(module));
    // Only a dialog that ran and had its box cleared stops the warning; a failed write shows it again later.
    if (result == 0 && pluginIni) WritePrivateProfileStringW(TEXT("DisplayAllert"), key, TEXT("1"), pluginIni);
    return result;
}

INT_PTR ShowWarningOnce(HWND owner, LPCWSTR pluginIni, DWORD type)
{
    return RunWarningOnce(g_ui.module, owner, pluginIni, type);
}

OemDevmode *SheetDevmode(const OemUiContext &ctx)
{
    if (ctx.pSheetParam && ctx.pSheetParam->pOEMDM) return static_cast<OemDevmode *>(ctx.pSheetParam->pOEMDM);
    if (ctx.pCuiParam && ctx.pCuiParam->pOEMDM) return static_cast<OemDevmode *>(ctx.pCuiParam->pOEMDM);
    return nullptr;
}

HANDLE SheetPrinter(const OemUiContext &ctx)
{
    if (ctx.pSheetParam && ctx.pSheetParam->hPrinter) return ctx.pSheetParam->hPrinter;
    return ctx.pCuiParam ? ctx.pCuiParam->hPrinter : nullptr;
}

INT_PTR ShowJobPinDialog(HWND owner, OemUiContext *ctx)
{
    OemDevmode *dm = ctx ? SheetDevmode(*ctx) : nullptr;
    if (!dm) return -1;
    JobPinEnvironment env;
    env.module = g_ui.module;
    env.printerShared = (PrinterAttributes(SheetPrinter(*ctx)) & kSharedOrNetwork) != 0;
    env.windowsXp = IsWindowsXp();
    env.newSystem = g_ui.newSystem;
    env.pluginIni = ctx->pwszPluginIni;
    env.helpFile = g_ui.helpAvailable && g_ui.helpFilePath[0] ? g_ui.helpFilePath : nullptr;
    return RunJobPinDialog(owner, *dm, env);
}

} // namespace zep
