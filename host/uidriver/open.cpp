// Opening dialogs for the UI driver: modeless and shown, as the test or zepdrv then drives them.
#include "host/uidriver/internal.h"
#include "host/uidriver/uidriver.h"

namespace zep::ui {

HWND OpenDialog(HINSTANCE module, int id, DLGPROC proc, LPARAM param)
{
    OwnWindows own;
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, proc, param);
    if (!dialog) return nullptr;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    return dialog;
}

} // namespace zep::ui
