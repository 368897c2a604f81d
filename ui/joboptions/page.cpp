// The Job Options page's dialog procedure.
#include "ui/pages.h"

namespace zep {

// Leaves every message to the dialog manager until the page's controls are built.
INT_PTR CALLBACK JobOptionsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace zep
