// Small helpers every page and dialog of the UI plug-in uses on its controls and messages.
#pragma once
#include "common/win32.h"

namespace zep {

// Disables the controls first..last when allow is false; with allow each keeps its state.
void DisableControls(HWND window, int first, int last, bool allow);
// Shows and enables the controls first..last, or hides and disables them.
void ShowControls(HWND window, int first, int last, bool show);
// Destroys the controls first..last; ids without a control are skipped.
void RemoveControls(HWND window, int first, int last);
// A message box with string textId of the module; captionId 0 leaves the system's default caption. Returns
// the button pressed (0 when the text cannot be loaded).
int ShowStringMessage(HWND owner, HINSTANCE module, UINT textId, UINT captionId, UINT style);

} // namespace zep
