// Control ranges and string-table message boxes shared by the plug-in's pages and dialogs.
#include "ui/joboptions/dlgutil.h"

#include <iterator>

namespace zep {

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

} // namespace zep
