// Single-line edit controls: typing, selection and caret, limit, clipboard, and the notifications of each change.
#include "user/wnd.h"

#include <algorithm>

namespace zep::user {
namespace {

struct EditState : ControlState {
    int selStart = 0, selEnd = 0; // selEnd is where the caret is
    int limit = 30000;
    bool modified = false;
    WCHAR password = 0;
    U16 undo;
    bool focused = false;
};

EditState *S(Window *w)
{
    if (!w->control) w->control = std::make_unique<EditState>();
    return static_cast<EditState *>(w->control.get());
}

int Lo(const EditState *s) { return std::min(s->selStart, s->selEnd); }
int Hi(const EditState *s) { return std::max(s->selStart, s->selEnd); }

void Changed(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyParent(hwnd, EN_UPDATE);
    NotifyParent(hwnd, EN_CHANGE);
}

// Replaces the selection. An insertion the limit cuts, typed or by EM_REPLACESEL, reports EN_MAXTEXT first and
// then EN_UPDATE and EN_CHANGE, even when nothing of it fits and the text stays as it was.
void Replace(HWND hwnd, U16 insert)
{
    Window *w = Peek(hwnd);
    EditState *s = S(w);
    int lo = Lo(s), hi = Hi(s);
    size_t room = static_cast<size_t>(std::max(0, s->limit - static_cast<int>(w->text.size()) + (hi - lo)));
    bool cut = insert.size() > room;
    if (!cut && insert.empty() && lo == hi) return;
    if (cut) {
        insert.resize(room);
        NotifyParent(hwnd, EN_MAXTEXT);
        // The parent may have closed the dialog in answer.
        w = Peek(hwnd);
        if (!w) return;
        s = S(w);
        lo = std::min(Lo(s), static_cast<int>(w->text.size()));
        hi = std::min(Hi(s), static_cast<int>(w->text.size()));
        insert.resize(std::min(insert.size(), static_cast<size_t>(std::max(0, s->limit - static_cast<int>(w->text.size()) + (hi - lo)))));
    }
    if (w->style & ES_UPPERCASE)
        for (auto &c : insert) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (w->style & ES_LOWERCASE)
        for (auto &c : insert) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (!insert.empty() || lo != hi) {
        s->undo = w->text;
        w->text = w->text.substr(0, static_cast<size_t>(lo)) + insert + w->text.substr(static_cast<size_t>(hi));
        s->selStart = s->selEnd = lo + static_cast<int>(insert.size());
        s->modified = true;
    }
    Changed(hwnd);
}

void DrawEdit(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    EditState *s = S(w);
    bool readOnly = (w->style & ES_READONLY) || (w->style & WS_DISABLED);
    HBRUSH bg = reinterpret_cast<HBRUSH>(SendMessageW(w->parent, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                      reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    RECT r = rc;
    if (bg) FillRect(dc, &r, bg);
    HFONT font = FontOf(hwnd);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    if (w->style & WS_DISABLED) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    U16 shown = s->password ? U16(w->text.size(), s->password) : w->text;
    RECT text{r.left + 1, r.top, r.right - 1, r.bottom};
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (s->focused) {
        SIZE sz{};
        GetTextExtentPoint32W(dc, shown.c_str(), s->selEnd, &sz);
        RECT caret{text.left + sz.cx, r.top + 2, text.left + sz.cx + 1, r.bottom - 2};
        FillRect(dc, &caret, GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    if (old) SelectObject(dc, old);
}

} // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    EditState *s = S(w);
    int len = static_cast<int>(w->text.size());
    switch (msg) {
    case WM_SETTEXT:
        s->undo = w->text;
        w->text = ToU16(reinterpret_cast<LPCWSTR>(lParam));
        s->selStart = s->selEnd = 0;
        s->modified = false;
        Changed(hwnd);
        return TRUE;
    case WM_CHAR: {
        if (w->style & ES_READONLY) {
            MessageBeep(static_cast<UINT>(-1));
            return 0;
        }
        WCHAR c = static_cast<WCHAR>(wParam);
        switch (c) {
        case 0x01: s->selStart = 0, s->selEnd = len; InvalidateRect(hwnd, nullptr, FALSE); return 0; // Ctrl+A
        case 0x03: SendMessageW(hwnd, WM_COPY, 0, 0); return 0;
        case 0x16: SendMessageW(hwnd, WM_PASTE, 0, 0); return 0;
        case 0x18: SendMessageW(hwnd, WM_CUT, 0, 0); return 0;
        case 0x1A: SendMessageW(hwnd, WM_UNDO, 0, 0); return 0;
        case VK_BACK:
            if (Lo(s) == Hi(s)) {
                if (s->selEnd == 0) return 0;
                s->selStart = s->selEnd - 1;
            }
            Replace(hwnd, U16());
            return 0;
        case VK_RETURN:
        case VK_TAB:
        case VK_ESCAPE: return 0;
        default: break;
        }
        if (c < 0x20) return 0;
        if ((w->style & ES_NUMBER) && (c < u'0' || c > u'9')) {
            MessageBeep(static_cast<UINT>(-1));
            return 0;
        }
        Replace(hwnd, U16(1, c));
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_LEFT: s->selStart = s->selEnd = std::max(0, Lo(s) == Hi(s) ? s->selEnd - 1 : Lo(s)); break;
        case VK_RIGHT: s->selStart = s->selEnd = std::min(len, Lo(s) == Hi(s) ? s->selEnd + 1 : Hi(s)); break;
        case VK_HOME: s->selStart = s->selEnd = 0; break;
        case VK_END: s->selStart = s->selEnd = len; break;
        case VK_DELETE:
            if (w->style & ES_READONLY) return 0;
            if (Lo(s) == Hi(s)) {
                if (s->selEnd >= len) return 0;
                s->selEnd = s->selStart + 1;
            }
            Replace(hwnd, U16());
            return 0;
        default: return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_PASTE: {
        if ((w->style & ES_READONLY) || !OpenClipboard(hwnd)) return 0;
        U16 text;
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            text = ToU16(static_cast<LPCWSTR>(GlobalLock(h)));
            GlobalUnlock(h);
        }
        CloseClipboard();
        // A single line takes the text up to the first line break.
        size_t brk = text.find_first_of(u"\r\n");
        if (brk != U16::npos) text.resize(brk);
        Replace(hwnd, text);
        return 0;
    }
    case WM_COPY:
    case WM_CUT: {
        if (Lo(s) == Hi(s) || s->password) return 0;
        U16 part = w->text.substr(static_cast<size_t>(Lo(s)), static_cast<size_t>(Hi(s) - Lo(s)));
        if (OpenClipboard(hwnd)) {
            EmptyClipboard();
            HGLOBAL g = GlobalAlloc(0x0002, (part.size() + 1) * sizeof(WCHAR));
            if (g) {
                CopyOut(part, static_cast<LPWSTR>(GlobalLock(g)), static_cast<int>(part.size() + 1));
                GlobalUnlock(g);
                SetClipboardData(CF_UNICODETEXT, g);
            }
            CloseClipboard();
        }
        if (msg == WM_CUT && !(w->style & ES_READONLY)) Replace(hwnd, U16());
        return 0;
    }
    case WM_CLEAR:
        if (!(w->style & ES_READONLY) && Lo(s) != Hi(s)) Replace(hwnd, U16());
        return 0;
    case WM_UNDO:
    case EM_UNDO: {
        U16 back = s->undo;
        s->undo = w->text;
        w->text = back;
        s->selStart = s->selEnd = static_cast<int>(back.size());
        Changed(hwnd);
        return TRUE;
    }
    case EM_CANUNDO: return s->undo != w->text;
    case EM_EMPTYUNDOBUFFER: s->undo = w->text; return 0;
    case EM_GETSEL: {
        DWORD lo = static_cast<DWORD>(Lo(s)), hi = static_cast<DWORD>(Hi(s));
        if (wParam) *reinterpret_cast<DWORD *>(wParam) = lo;
        if (lParam) *reinterpret_cast<DWORD *>(lParam) = hi;
        return MAKELONG(std::min<DWORD>(lo, 0xFFFF), std::min<DWORD>(hi, 0xFFFF));
    }
    // A start of -1 removes the selection and leaves the caret; an end of -1 (or past the text) is the end.
    case EM_SETSEL: {
        int a = static_cast<int>(wParam), b = static_cast<int>(lParam);
        if (a == -1) {
            s->selStart = s->selEnd;
        } else {
            if (b < 0 || b > len) b = len;
            if (a < 0 || a > len) a = len;
            s->selStart = a;
            s->selEnd = b;
        }
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case EM_REPLACESEL: Replace(hwnd, ToU16(reinterpret_cast<LPCWSTR>(lParam))); return 0;
    // 0 lifts the limit to the maximum.
    case EM_LIMITTEXT: s->limit = wParam ? static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE; return 0;
    case EM_GETLIMITTEXT: return s->limit;
    case EM_GETMODIFY: return s->modified;
    case EM_SETMODIFY: s->modified = wParam != 0; return 0;
    case EM_SETREADONLY:
        w->style = wParam ? (w->style | ES_READONLY) : (w->style & ~ES_READONLY);
        return TRUE;
    case EM_SETPASSWORDCHAR: s->password = static_cast<WCHAR>(wParam); return 0;
    case EM_GETPASSWORDCHAR: return s->password;
    case EM_GETLINECOUNT: return 1;
    case EM_LINELENGTH: return len;
    case EM_GETLINE: {
        auto *buf = reinterpret_cast<LPWSTR>(lParam);
        if (!buf) return 0;
        int size = *reinterpret_cast<WORD *>(buf);
        int n = std::min(size, len);
        std::copy_n(w->text.data(), n, buf);
        return n;
    }
    case EM_SCROLLCARET: return TRUE;
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawEdit);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace zep::user
