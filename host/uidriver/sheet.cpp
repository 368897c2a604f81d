// Property sheets for the UI driver: opened modeless, paged and pressed through the sheet's own messages.
// Kept apart so that programs without sheets do not need the sheet implementation linked.
#include "host/uidriver/internal.h"
#include "host/uidriver/uidriver.h"

namespace zep::ui {

HWND OpenSheet(const PROPSHEETHEADERW &header)
{
    PROPSHEETHEADERW modeless = header;
    modeless.dwFlags |= PSH_MODELESS;
    OwnWindows own;
    INT_PTR result = PropertySheetW(&modeless);
    // A modeless sheet answers with its window, or -1 / 0 when it could not be created.
    if (result == 0 || result == -1) return nullptr;
    auto sheet = reinterpret_cast<HWND>(result);
    ShowWindow(sheet, SW_SHOW);
    return sheet;
}

bool ShowSheetPage(HWND sheet, int index)
{
    if (!sheet || !IsWindow(sheet)) return false;
    return SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != 0;
}

HWND SheetPage(HWND sheet)
{
    return sheet && IsWindow(sheet) ? reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))
                                    : nullptr;
}

// The press is posted, as PropSheet_PressButton does, and handled before this returns.
bool PressSheetButton(HWND sheet, int button)
{
    if (!sheet || !IsWindow(sheet)) return false;
    if (!PostMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0)) return false;
    Pump();
    return true;
}

} // namespace zep::ui
