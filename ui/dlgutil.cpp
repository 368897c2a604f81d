// Control ranges, string-table message boxes, typed-input filters and control help shared by the plug-in's pages and dialogs.
#include "ui/dlgutil.h"

#include <algorithm>
#include <iterator>

#include "common/jobname.h"
#include "resources/zepui_ids.h"

namespace zep {
namespace {

constexpr DWORD kCaptionHelpStyle = 0x400; // WS_EX_CONTEXTHELP
// The longest text any filtered edit of the plug-in holds.
constexpr int kFilteredEditChars = 64;

} // namespace

void DisableControls(HWND window, int first, int last, bool allow)
{
    if (allow) return;
    for (int id = first; id <= last; ++id) {
        if (HWND control = GetDlgItem(window, id)) EnableWindow(control, FALSE);
    }
}

void ShowControls(HWND window, int first, int last, bool show)
{
    for (int id = first; id <= last; ++id) {
        HWND control = GetDlgItem(window, id);
        if (!control) continue;
        ShowWindow(control, show ? SW_SHOW : SW_HIDE);
        EnableWindow(control, show);
    }
}

void RemoveControls(HWND window, int first, int last)
{
    for (int id = first; id <= last; ++id) {
        if (HWND control = GetDlgItem(window, id)) DestroyWindow(control);
    }
}

int ShowStringMessage(HWND owner, HINSTANCE module, UINT textId, UINT captionId, UINT style)
{
    // Long enough for the longest message of the string table (10054 is about 250 characters).
    WCHAR text[1024];
    WCHAR caption[128];
    if (LoadStringW(module, textId, text, static_cast<int>(std::size(text))) <= 0) return 0;
    LPCWSTR shownCaption = nullptr;
    if (captionId && LoadStringW(module, captionId, caption, static_cast<int>(std::size(caption))) > 0)
        shownCaption = caption;
    return MessageBoxW(owner, text, shownCaption, style);
}

void EnableControl(HWND window, int id, bool enable)
{
    if (HWND control = GetDlgItem(window, id)) EnableWindow(control, enable);
}

void SetChecked(HWND window, int id, bool checked) { CheckDlgButton(window, id, checked ? BST_CHECKED : BST_UNCHECKED); }

bool IsChecked(HWND window, int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

INT_PTR AnswerNotify(HWND dialog, LONG_PTR result)
{
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

void FilterEdit(HWND dialog, int id, int maxChars, bool (*keep)(WCHAR))
{
    HWND edit = GetDlgItem(dialog, id);
    ImmAssociateContext(edit, nullptr);
    WCHAR text[kFilteredEditChars + 1] = {};
    GetWindowTextW(edit, text, std::min(maxChars, kFilteredEditChars) + 1);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int dropped = FilterText(text, keep);
    if (dropped == 0) return;
    MessageBeep(0xFFFFFFFF);
    SetWindowTextW(edit, text);
    const DWORD caret = CaretAfterFilter(end, dropped);
    SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void ShowMirrorIcon(HWND window, HINSTANCE module, int iconId, bool mirrored)
{
    if (HICON icon = LoadIconW(module, MAKEINTRESOURCEW(mirrored ? IDI_MIRROR_ON : IDI_MIRROR_OFF)))
        SendDlgItemMessageW(window, iconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
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

} // namespace zep
