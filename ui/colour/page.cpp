// The Color page's dialog procedure.
#include "ui/pages.h"

namespace zep {

// Leaves every message to the dialog manager until the page's controls are built.
INT_PTR CALLBACK ColourPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace zep
