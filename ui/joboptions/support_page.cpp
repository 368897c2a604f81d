// The support page's dialog procedure.
#include "ui/pages.h"

namespace zep {

// Leaves every message to the dialog manager until the page's pictures and link are drawn.
INT_PTR CALLBACK SupportPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace zep
