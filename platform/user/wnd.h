// The headless window manager's window records, shared by the window, dialog and control implementations.
#pragma once
#include "win32/windows.h"
#include "zep_ui.h"

#include <memory>
#include <string>
#include <vector>

namespace zep::user {

using U16 = std::u16string;

// Per-control state of the built-in classes; the window owns it.
struct ControlState {
    virtual ~ControlState() = default;
};

struct DialogState {
    DLGPROC proc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR user = 0;
    bool ended = false;
    INT_PTR result = 0;
    int defId = IDOK;
    int baseX = 6, baseY = 13;
    HFONT font = nullptr;
    bool ownsFont = false;
};

struct Window {
    HWND handle = nullptr;
    U16 className; // as registered
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    HWND parent = nullptr; // child windows
    HWND owner = nullptr; // top-level windows
    std::vector<HWND> children; // z-order, top first (creation order)
    RECT rect{}; // window rectangle in the parent's client coordinates (screen for top-level windows)
    U16 text;
    HFONT font = nullptr;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    bool needsPaint = false;
    RECT update{};
    bool destroying = false;
    bool topmost = false;
    HIMC imc = nullptr;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;
};

// The live window behind a handle, or null with ERROR_INVALID_WINDOW_HANDLE.
Window *Find(HWND hwnd);
// The same without touching the last error.
Window *Peek(HWND hwnd);
template <typename T>
T *State(HWND hwnd)
{
    Window *w = Peek(hwnd);
    return w ? dynamic_cast<T *>(w->control.get()) : nullptr;
}

// Border and caption sizes of a window's non-client area.
RECT NonClientInsets(DWORD style, DWORD exStyle);

// Sends WM_COMMAND with `code` for control `hwnd` to its parent.
void NotifyParent(HWND hwnd, UINT code);
// Sends WM_NOTIFY with `hdr` (hwndFrom and idFrom filled in) to the parent; returns its answer.
LRESULT NotifyParentHdr(HWND hwnd, NMHDR *hdr, UINT code);

// Registers the built-in classes (idempotent).
void RegisterSystemClasses();
void RegisterControlClass(LPCWSTR name, WNDPROC proc);
void RegisterCommonControlClasses();

// Text helpers.
U16 ToU16(LPCWSTR s);
U16 ToU16(LPCWSTR s, int count);
int CopyOut(const U16 &text, LPWSTR out, int size);
bool EqualNoCase(const U16 &a, const U16 &b);
U16 FormatInt(long long value);

// The dialog a window belongs to (itself when it is one), and its state.
DialogState *Dialog(HWND hwnd);

// Dispatches posted messages until none is left.
void PumpPosted();

// Modal hooks.
bool HasModalHook();
bool RunModalHook(HWND window);

// Creates a dialog from a classic or extended template in memory (modal: shown whatever its style says).
HWND CreateDialogFromTemplate(HINSTANCE instance, const BYTE *data, HWND parent, DLGPROC proc, LPARAM param,
                              bool modal);
// a * b / c rounded half away from zero, as dialog-unit conversion rounds.
int MulDivRound(int a, int b, int c);

// The window's font, or the dialog's, or null.
HFONT FontOf(HWND hwnd);

// Painting of the built-in controls (paint.cpp): runs on WM_PAINT and WM_PRINTCLIENT.
void PaintControl(HWND hwnd, HDC dc, void (*draw)(HWND, HDC, const RECT &));
LRESULT PaintMessage(HWND hwnd, UINT msg, WPARAM wParam, void (*draw)(HWND, HDC, const RECT &));

// The control procedures (one per class).
LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ScrollBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK DialogClassProc(HWND, UINT, WPARAM, LPARAM);

} // namespace zep::user
