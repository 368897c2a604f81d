// Dialog procedures of the plug-in's own property pages; each page receives OemUiContext as its lParam.
#pragma once
#include "common/win32.h"

namespace zep {

// Job Options page, template 113 of this module.
INT_PTR CALLBACK JobOptionsPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Color page, template 111 of this module.
INT_PTR CALLBACK ColourPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Support page, template 800 of the support resource library.
INT_PTR CALLBACK SupportPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace zep
