// Default window processing, message boxes, beeps, help, shell and colour-chooser calls, and the clipboard.
#include "user/wnd.h"

#include <vector>

namespace zep::user {
namespace {

struct Hooks {
    ZEP_UI_MODAL_HOOK modal = nullptr;
    void *modalContext = nullptr;
    ZEP_UI_MESSAGEBOX_HOOK box = nullptr;
    void *boxContext = nullptr;
    ZEP_UI_CALL_HOOK call = nullptr;
    void *callContext = nullptr;
};
Hooks &H()
{
    static Hooks h;
    return h;
}

LONG_PTR ReportCall(ZEP_UI_CALL &call, LONG_PTR fallback)
{
    if (!H().call) return fallback;
    LONG_PTR answer = H().call(&call, H().callContext);
    return answer ? answer : fallback;
}

struct Clipboard {
    bool open = false;
    U16 text;
    bool hasText = false;
    HGLOBAL handed = nullptr;
};
Clipboard &C()
{
    static Clipboard c;
    return c;
}

} // namespace

bool HasModalHook() { return H().modal != nullptr; }

bool RunModalHook(HWND window)
{
    if (!H().modal) return false;
    H().modal(window, H().modalContext);
    return true;
}

} // namespace zep::user

using namespace zep::user;

extern "C" {
DECLSPEC_EXPORT void ZepUiSetModalHook(ZEP_UI_MODAL_HOOK hook, void *context)
{
    H().modal = hook;
    H().modalContext = context;
}
DECLSPEC_EXPORT void ZepUiSetMessageBoxHook(ZEP_UI_MESSAGEBOX_HOOK hook, void *context)
{
    H().box = hook;
    H().boxContext = context;
}
DECLSPEC_EXPORT void ZepUiSetCallHook(ZEP_UI_CALL_HOOK hook, void *context)
{
    H().call = hook;
    H().callContext = context;
}
}

// Text, fonts, closing, colours and help requests; everything else is ignored with 0.
LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE: {
        auto *cs = reinterpret_cast<CREATESTRUCTW *>(lParam);
        if (cs && cs->lpszName) w->text = cs->lpszName;
        return TRUE;
    }
    case WM_SETTEXT:
        w->text = ToU16(reinterpret_cast<LPCWSTR>(lParam));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case WM_GETTEXT: return CopyOut(w->text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_PAINT: ValidateRect(hwnd, nullptr); return 0;
    case WM_ERASEBKGND: return 1;
    // The default colours also go into the control's DC, so text drawn opaque sits on the face it is drawn on.
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORSCROLLBAR: return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
    // A child passes help and context-menu requests up to its parent.
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (w->parent) return SendMessageW(w->parent, msg, wParam, lParam);
        return 0;
    case WM_SETCURSOR:
        if (w->parent && SendMessageW(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
        return FALSE;
    case WM_KEYDOWN:
        if (wParam == VK_F1) {
            HELPINFO hi{sizeof hi, HELPINFO_WINDOW, static_cast<int>(w->id), hwnd, 0, POINT{}};
            SendMessageW(hwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
        }
        return 0;
    case WM_PRINTCLIENT:
    case WM_PRINT: return 0;
    default: return 0;
    }
}

namespace {
struct BoxButtons {
    int ids[3];
    int count;
};
// Buttons of each MB_ type in the order they appear.
const BoxButtons kBoxButtons[] = {
    {{IDOK}, 1},
    {{IDOK, IDCANCEL}, 2},
    {{IDABORT, IDRETRY, IDIGNORE}, 3},
    {{IDYES, IDNO, IDCANCEL}, 3},
    {{IDYES, IDNO}, 2},
    {{IDRETRY, IDCANCEL}, 2},
    {{IDCANCEL, IDTRYAGAIN, IDCONTINUE}, 3},
};
} // namespace

// Headless: the message-box hook answers; without one (or on 0) the default button is the answer. A NULL
// caption is shown as "Error", as Windows does; an unknown button set fails with ERROR_INVALID_PARAMETER.
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    UINT kind = type & MB_TYPEMASK;
    if (kind >= sizeof kBoxButtons / sizeof kBoxButtons[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (owner && !Peek(owner)) owner = nullptr;
    const BoxButtons &b = kBoxButtons[kind];
    int def = static_cast<int>((type & MB_DEFMASK) >> 8);
    int answer = b.ids[def < b.count ? def : 0];
    ZEP_UI_MESSAGEBOX box{owner, text ? text : TEXT(""), caption ? caption : TEXT("Error"), type};
    if (H().box)
        if (int given = H().box(&box, H().boxContext)) answer = given;
    return answer;
}

// Recorded; always succeeds.
BOOL WINAPI MessageBeep(UINT type)
{
    ZEP_UI_CALL call{"MessageBeep", nullptr, nullptr, nullptr, type, 0, nullptr};
    ReportCall(call, 0);
    return TRUE;
}

// Recorded; succeeds.
BOOL WINAPI WinHelpW(HWND hwnd, LPCWSTR helpFile, UINT command, ULONG_PTR data)
{
    ZEP_UI_CALL call{"WinHelpW", hwnd, helpFile, nullptr, command, data, nullptr};
    ReportCall(call, 0);
    return TRUE;
}

// Recorded; the hook's answer (default 33, success) is returned as the instance value.
HINSTANCE WINAPI ShellExecuteW(HWND hwnd, LPCWSTR operation, LPCWSTR file, LPCWSTR, LPCWSTR, INT showCmd)
{
    ZEP_UI_CALL call{"ShellExecuteW", hwnd, file, operation, static_cast<ULONG_PTR>(showCmd), 0, nullptr};
    return reinterpret_cast<HINSTANCE>(ReportCall(call, 33));
}

// Recorded; the hook says OK (non-zero, having set rgbResult) or cancel (default).
BOOL WINAPI ChooseColorW(LPCHOOSECOLORW choose)
{
    if (!choose || choose->lStructSize != sizeof(CHOOSECOLORW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ZEP_UI_CALL call{"ChooseColorW", choose->hwndOwner, nullptr, nullptr, choose->rgbResult, choose->Flags, choose};
    return ReportCall(call, 0) != 0;
}

// Recorded; returns the previous context of the window (the default context until one is detached).
HIMC WINAPI ImmAssociateContext(HWND hwnd, HIMC context)
{
    Window *w = Peek(hwnd);
    ZEP_UI_CALL call{"ImmAssociateContext", hwnd, nullptr, nullptr, reinterpret_cast<ULONG_PTR>(context), 0, nullptr};
    ReportCall(call, 0);
    if (!w) return nullptr;
    HIMC old = w->imc ? w->imc : reinterpret_cast<HIMC>(static_cast<uintptr_t>(0x1000));
    w->imc = context ? context : reinterpret_cast<HIMC>(static_cast<uintptr_t>(1)); // 1: detached
    return old == reinterpret_cast<HIMC>(static_cast<uintptr_t>(1)) ? nullptr : old;
}

// The window's context; NULL once it has been detached.
HIMC WINAPI ImmGetContext(HWND hwnd)
{
    Window *w = Peek(hwnd);
    if (!w) return nullptr;
    if (w->imc == reinterpret_cast<HIMC>(static_cast<uintptr_t>(1))) return nullptr;
    return w->imc ? w->imc : reinterpret_cast<HIMC>(static_cast<uintptr_t>(0x1000));
}
BOOL WINAPI ImmReleaseContext(HWND, HIMC) { return TRUE; }

// One process-wide clipboard with text only. Opening it twice fails; data calls need it open.
BOOL WINAPI OpenClipboard(HWND)
{
    if (C().open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    C().open = true;
    return TRUE;
}
BOOL WINAPI CloseClipboard()
{
    if (!C().open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    C().open = false;
    if (C().handed) {
        GlobalFree(C().handed);
        C().handed = nullptr;
    }
    return TRUE;
}
BOOL WINAPI EmptyClipboard()
{
    if (!C().open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    C().text.clear();
    C().hasText = false;
    return TRUE;
}
// The clipboard takes the global block: its text is copied and the block freed.
HANDLE WINAPI SetClipboardData(UINT format, HANDLE data)
{
    if (!C().open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (format != CF_UNICODETEXT || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto *p = static_cast<LPCWSTR>(GlobalLock(data));
    C().text = ToU16(p);
    C().hasText = true;
    GlobalUnlock(data);
    GlobalFree(data);
    return data;
}
// A block the clipboard owns until it is closed.
HANDLE WINAPI GetClipboardData(UINT format)
{
    if (!C().open) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (format != CF_UNICODETEXT || !C().hasText) return nullptr;
    if (C().handed) GlobalFree(C().handed);
    SIZE_T bytes = (C().text.size() + 1) * sizeof(WCHAR);
    C().handed = GlobalAlloc(0x0002 /* GMEM_MOVEABLE */, bytes);
    if (!C().handed) return nullptr;
    auto *p = static_cast<LPWSTR>(GlobalLock(C().handed));
    CopyOut(C().text, p, static_cast<int>(C().text.size() + 1));
    GlobalUnlock(C().handed);
    return C().handed;
}
BOOL WINAPI IsClipboardFormatAvailable(UINT format) { return format == CF_UNICODETEXT && C().hasText; }
