// Linux-only hooks of the headless window manager: what a screen and a user would supply on Windows.
//
// Windows here are never shown on a display. A modal window (DialogBoxParamW, PropertySheetW without
// PSH_MODELESS, MessageBoxW) cannot wait for a user, so it calls the hooks below instead:
//  - a modal dialog or sheet is created and initialised, then the modal hook runs with its window; whatever the
//    hook does (clicks, typing, EndDialog, pressing sheet buttons) happens as if a user did it, posted messages
//    are dispatched after it returns, and the call returns the result the dialog ended with. Without a hook the
//    call fails at once with ERROR_CANCELLED and creates nothing; a hook that returns without ending the dialog
//    makes the call destroy it and fail with ERROR_TIMEOUT (DialogBox: -1, PropertySheet: -1).
//  - a message box is not a window: the message-box hook gets its text, caption and type and returns the
//    answer (IDOK, IDYES, ...); without a hook, or when the hook returns 0, the answer is the box's default button.
//  - MessageBeep, WinHelpW, ShellExecuteW, ImmAssociateContext and ChooseColorW report to the call hook, which
//    may answer ShellExecuteW (a value above 32 is success; default 33) and ChooseColorW (non-zero = OK, the
//    hook fills rgbResult through `data`; default: cancelled, 0).
// A sheet that a program drives step by step (as the stand-in core driver does) is opened with PSH_MODELESS and
// driven with the Win32 messages PSM_SETCURSEL, PSM_PRESSBUTTON and PSM_GETRESULT; no hook is involved.
#pragma once
#include "win32/base.h"

extern "C" {

typedef void(CALLBACK *ZEP_UI_MODAL_HOOK)(HWND window, void *context);
DECLSPEC_EXPORT void ZepUiSetModalHook(ZEP_UI_MODAL_HOOK hook, void *context);

struct ZEP_UI_MESSAGEBOX {
    HWND owner;
    LPCWSTR text;
    LPCWSTR caption; // the caption shown: "Error" when the caller gave none, as Windows does
    UINT type;
};
typedef int(CALLBACK *ZEP_UI_MESSAGEBOX_HOOK)(const ZEP_UI_MESSAGEBOX *box, void *context);
DECLSPEC_EXPORT void ZepUiSetMessageBoxHook(ZEP_UI_MESSAGEBOX_HOOK hook, void *context);

// Calls with no window of their own. `function` is the Win32 name ("MessageBeep", "WinHelpW", "ShellExecuteW",
// "ImmAssociateContext", "ChooseColorW"); the other fields are the call's arguments where it has them.
struct ZEP_UI_CALL {
    const char *function;
    HWND hwnd;
    LPCWSTR text1; // WinHelpW: help file; ShellExecuteW: file
    LPCWSTR text2; // ShellExecuteW: operation (NULL = default verb)
    ULONG_PTR value1; // MessageBeep: type; WinHelpW: command; ShellExecuteW: show command; Imm: context
    ULONG_PTR value2; // WinHelpW: data
    void *data; // ChooseColorW: the CHOOSECOLORW record
};
typedef LONG_PTR(CALLBACK *ZEP_UI_CALL_HOOK)(const ZEP_UI_CALL *call, void *context);
DECLSPEC_EXPORT void ZepUiSetCallHook(ZEP_UI_CALL_HOOK hook, void *context);

// The desktop the windows centre on (GetSystemMetrics, SPI_GETWORKAREA); 1024 x 768 by default.
DECLSPEC_EXPORT void ZepUiSetScreenSize(int width, int height);

// Number of live windows, and destroying all of them (between tests).
DECLSPEC_EXPORT int ZepUiWindowCount();
DECLSPEC_EXPORT void ZepUiDestroyAllWindows();
}
