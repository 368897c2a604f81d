// Small helpers every page and dialog of the UI plug-in uses on its controls, messages and help.
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

// Enables or disables one control; an id without a control is skipped.
void EnableControl(HWND window, int id, bool enable);
void SetChecked(HWND window, int id, bool checked);
bool IsChecked(HWND window, int id);
// A dialog procedure's answer to a notification: the result in DWLP_MSGRESULT, TRUE for the message.
INT_PTR AnswerNotify(HWND dialog, LONG_PTR result);

// Keeps an edit's text to what keep accepts, reading at most maxChars: one beep for an update that lost
// characters, the kept text put back and the caret moved back by what went. The input method is detached, as it
// would compose outside the filter.
void FilterEdit(HWND dialog, int id, int maxChars, bool (*keep)(WCHAR));

// The mirror-print icon (on or off) in the icon control iconId.
void ShowMirrorIcon(HWND window, HINSTANCE module, int iconId, bool mirrored);

// Answers WM_HELP and WM_CONTEXTMENU from the help file (null: help not available); false for other messages.
bool OpenControlHelp(LPCWSTR helpFile, UINT message, WPARAM wParam, LPARAM lParam);
// The caption help button exists only before Vista.
void FitCaptionHelp(HWND dialog, bool newSystem);

} // namespace zep
