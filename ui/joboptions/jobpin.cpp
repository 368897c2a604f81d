// The job name and password dialog (template 202) and the show-once warning (template 301).
#include "ui/joboptions/jobpin.h"

#include <algorithm>
#include <iterator>

#include "common/handle.h"
#include "common/jobname.h"
#include "common/printer.h"
#include "resources/zepui_ids.h"
#include "ui/dlgutil.h"
#include "ui/joboptions/dialogs.h"
#include "ui/sheetdata.h"
#include "ui/state.h"

namespace zep {
namespace {

constexpr int kNameEdit = 1006;
constexpr int kAskJobNameBox = 1007;
constexpr int kPasswordEdit = 1008;
constexpr int kWarningIcon = 6006;
constexpr int kShowNextTimeBox = 6005;


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

void InitJobPin(HWND dialog, const JobPinState &s)
{
    const JobPinEnvironment &env = *s.env;
    FitCaptionHelp(dialog, env.newSystem);
    SendDlgItemMessageW(dialog, kNameEdit, EM_LIMITTEXT, kJobNameChars, 0);
    SendDlgItemMessageW(dialog, kPasswordEdit, EM_LIMITTEXT, kPinChars, 0);
    // A record from elsewhere may lack its terminators; the edits get at most what they can hold.
    WCHAR name[kJobNameChars + 1] = {};
    WCHAR password[kPinChars + 1] = {};
    std::copy_n(s.dm->wszJobName, kJobNameChars, name);
    std::copy_n(s.dm->wszJobPassword, kPinChars, password);
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
    WCHAR password[kPinChars + 2] = {};
    GetDlgItemTextW(dialog, kNameEdit, name, kJobNameChars + 1);
    GetDlgItemTextW(dialog, kPasswordEdit, password, kPinChars + 2);
    const bool ask = IsDlgButtonChecked(dialog, kAskJobNameBox) == BST_CHECKED;
    if (lstrlenW(password) != kPinChars) {
        StopBox(dialog, s.env->module, IDS_PASSWORD_INVALID);
        return;
    }
    if (!ask && !name[0]) {
        StopBox(dialog, s.env->module, IDS_JOBNAME_INVALID);
        return;
    }
    std::copy(std::begin(name), std::end(name), s.dm->wszJobName);
    std::copy_n(password, kPinChars + 1, s.dm->wszJobPassword);
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
        if (HIWORD(wParam) == EN_UPDATE) FilterEdit(dialog, kPasswordEdit, kPinChars, IsPinChar);
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

bool IsWindowsXp()
{
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return false;
    return info.dwMajorVersion == 5 && info.dwMinorVersion != 0;
}

} // namespace

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

INT_PTR ShowJobPinDialog(HWND owner, OemUiContext *ctx)
{
    OemDevmode *dm = ctx ? SheetDevmode(*ctx) : nullptr;
    if (!dm) return -1;
    JobPinEnvironment env;
    env.module = g_ui.module;
    DWORD attributes = 0;
    GetPrinterAttributes(SheetPrinter(*ctx), &attributes);
    env.printerShared = (attributes & kSharedOrNetwork) != 0;
    env.windowsXp = IsWindowsXp();
    env.newSystem = g_ui.newSystem;
    env.pluginIni = ctx->pwszPluginIni;
    env.helpFile = g_ui.helpAvailable && g_ui.helpFilePath[0] ? g_ui.helpFilePath : nullptr;
    return RunJobPinDialog(owner, *dm, env);
}

} // namespace zep
