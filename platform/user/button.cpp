// Button and static controls: push, default, check, three-state, radio, group and owner-drawn buttons; text and icon statics.
#include "user/wnd.h"

namespace zep::user {
namespace {

struct ButtonState : ControlState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    HANDLE image = nullptr;
};

UINT Type(HWND hwnd) { return static_cast<UINT>(GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK); }
bool IsCheckType(UINT t)
{
    return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON ||
           t == BS_3STATE || t == BS_AUTO3STATE;
}
bool IsRadio(UINT t) { return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON; }

// What a completed click does before BN_CLICKED: automatic buttons change their own state.
void AutoCheck(HWND hwnd, ButtonState *s)
{
    switch (Type(hwnd)) {
    case BS_AUTOCHECKBOX: SendMessageW(hwnd, BM_SETCHECK, s->check ? BST_UNCHECKED : BST_CHECKED, 0); break;
    case BS_AUTO3STATE: SendMessageW(hwnd, BM_SETCHECK, (s->check + 1) % 3, 0); break;
    case BS_AUTORADIOBUTTON: {
        SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        // The other automatic radio buttons of the group go out.
        HWND parent = GetParent(hwnd);
        for (HWND sib = GetNextDlgGroupItem(parent, hwnd, FALSE); sib && sib != hwnd;
             sib = GetNextDlgGroupItem(parent, sib, FALSE)) {
            if (Type(sib) == BS_AUTORADIOBUTTON) SendMessageW(sib, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        break;
    }
    default: break;
    }
}

void Click(HWND hwnd, ButtonState *s)
{
    AutoCheck(hwnd, s);
    NotifyParent(hwnd, BN_CLICKED);
}

void DrawButton(HWND hwnd, HDC dc, const RECT &rc);

} // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) w->control = std::make_unique<ButtonState>();
    auto *s = static_cast<ButtonState *>(w->control.get());
    UINT type = w->style & BS_TYPEMASK;
    switch (msg) {
    case BM_GETCHECK: return IsCheckType(type) ? s->check : BST_UNCHECKED;
    case BM_SETCHECK: {
        if (!IsCheckType(type)) return 0;
        UINT v = static_cast<UINT>(wParam);
        if (v > BST_INDETERMINATE || (v == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE))
            v = v == BST_INDETERMINATE ? BST_CHECKED : v;
        if (s->check != v) {
            s->check = v;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        // A checked radio button becomes the group's tab stop.
        if (IsRadio(type)) w->style = v ? (w->style | WS_TABSTOP) : (w->style & ~WS_TABSTOP);
        return 0;
    }
    case BM_GETSTATE: return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        s->pushed = wParam != 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case BM_SETSTYLE:
        w->style = (w->style & ~0xFFFFu) | LOWORD(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case BM_SETIMAGE: {
        HANDLE old = s->image;
        s->image = reinterpret_cast<HANDLE>(lParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_CLICK:
        SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (type == BS_GROUPBOX) return 0;
        SetCapture(hwnd);
        SetFocus(hwnd);
        s->pushed = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        if (msg == WM_LBUTTONDBLCLK && (IsRadio(type) || type == BS_OWNERDRAW || (w->style & BS_NOTIFY)))
            NotifyParent(hwnd, BN_DBLCLK);
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != hwnd) return 0;
        ReleaseCapture();
        bool wasPushed = s->pushed;
        s->pushed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        RECT client;
        GetClientRect(hwnd, &client);
        POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        if (wasPushed && PtInRect(&client, pt)) Click(hwnd, s);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && type != BS_GROUPBOX) {
            s->pushed = true;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && s->pushed) {
            s->pushed = false;
            Click(hwnd, s);
        }
        return 0;
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        if ((w->style & BS_NOTIFY) || type == BS_OWNERDRAW) NotifyParent(hwnd, BN_SETFOCUS);
        // A radio button that gets the focus other than by a mouse press while unchecked acts as clicked: an
        // automatic one checks itself (and clears its group), and either reports BN_CLICKED.
        if (IsRadio(type) && GetCapture() != hwnd && !(s->check & BST_CHECKED)) Click(hwnd, s);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        s->pushed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        if ((w->style & BS_NOTIFY) || type == BS_OWNERDRAW) NotifyParent(hwnd, BN_KILLFOCUS);
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) ReleaseCapture();
        s->pushed = false;
        return 0;
    case WM_GETDLGCODE:
        switch (type) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
        case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
        }
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawButton);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

namespace {

struct StaticState : ControlState {
    HANDLE image = nullptr;
};

void DrawStatic(HWND hwnd, HDC dc, const RECT &rc);

void DrawButton(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    auto *s = static_cast<ButtonState *>(w->control.get());
    UINT type = w->style & BS_TYPEMASK;
    bool enabled = !(w->style & WS_DISABLED);
    if (type == BS_OWNERDRAW) {
        DRAWITEMSTRUCT dis{ODT_BUTTON, static_cast<UINT>(w->id), 0, ODA_DRAWENTIRE,
                           (s->pushed ? ODS_SELECTED : 0u) | (enabled ? 0u : ODS_DISABLED) | (s->focused ? ODS_FOCUS : 0u),
                           hwnd, dc, rc, 0};
        SendMessageW(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&dis));
        return;
    }
    HFONT font = FontOf(hwnd);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    HBRUSH bg = reinterpret_cast<HBRUSH>(
        SendMessageW(w->parent, type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC,
                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT r = rc;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        if (type == BS_DEFPUSHBUTTON) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(&r, -1, -1);
        }
        DrawEdge(dc, &r, s->pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        DrawTextW(dc, w->text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else if (type == BS_GROUPBOX) {
        // The frame sits half a line down even without a caption, whose extent would then be 0 by 0.
        SIZE sz{};
        GetTextExtentPoint32W(dc, w->text.c_str(), static_cast<int>(w->text.size()), &sz);
        TEXTMETRICW tm{};
        if (GetTextMetricsW(dc, &tm)) sz.cy = tm.tmHeight;
        RECT frame{r.left, r.top + sz.cy / 2, r.right, r.bottom};
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        if (!w->text.empty()) {
            RECT label{r.left + 8, r.top, r.left + 10 + sz.cx, r.top + sz.cy};
            if (bg) FillRect(dc, &label, bg);
            label.left += 1;
            DrawTextW(dc, w->text.c_str(), -1, &label, DT_LEFT | DT_SINGLELINE);
        }
    } else {
        if (bg) FillRect(dc, &r, bg);
        int box = 13;
        RECT mark{r.left, r.top + (r.bottom - r.top - box) / 2, r.left + box, r.top + (r.bottom - r.top - box) / 2 + box};
        if (w->style & BS_LEFTTEXT) OffsetRect(&mark, r.right - r.left - box, 0);
        FillRect(dc, &mark, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
        if (IsRadio(type)) {
            HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
            HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Ellipse(dc, mark.left, mark.top, mark.right, mark.bottom);
            if (s->check) {
                SelectObject(dc, GetStockObject(BLACK_BRUSH));
                Ellipse(dc, mark.left + 4, mark.top + 4, mark.right - 4, mark.bottom - 4);
            }
            SelectObject(dc, brush);
            SelectObject(dc, pen);
        } else {
            DrawEdge(dc, &mark, EDGE_SUNKEN, BF_RECT);
            if (s->check) {
                HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
                for (int d = 0; d < 2; ++d) {
                    MoveToEx(dc, mark.left + 3, mark.top + 6 + d, nullptr);
                    LineTo(dc, mark.left + 5, mark.top + 8 + d);
                    LineTo(dc, mark.left + 10, mark.top + 3 + d);
                }
                SelectObject(dc, pen);
            }
        }
        RECT text = r;
        if (w->style & BS_LEFTTEXT)
            text.right -= box + 4;
        else
            text.left += box + 4;
        DrawTextW(dc, w->text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (s->focused) DrawFocusRect(dc, &text);
    }
    if (oldFont) SelectObject(dc, oldFont);
}

void DrawStaticContent(HWND hwnd, HDC dc, RECT &r, DWORD kind, HBRUSH bg);

void DrawStatic(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    DWORD kind = w->style & SS_TYPEMASK;
    if (kind == SS_OWNERDRAW) {
        DRAWITEMSTRUCT dis{ODT_STATIC, static_cast<UINT>(w->id), 0, ODA_DRAWENTIRE, 0, hwnd, dc, rc, 0};
        SendMessageW(w->parent, WM_DRAWITEM, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&dis));
        return;
    }
    // The control's font goes into the DC before the parent is asked for colours, so a parent may select a font
    // of its own there (a link label's underlined font), as on Windows.
    HFONT font = FontOf(hwnd);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    HBRUSH bg = reinterpret_cast<HBRUSH>(
        SendMessageW(w->parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    RECT r = rc;
    if (bg) FillRect(dc, &r, bg);
    DrawStaticContent(hwnd, dc, r, kind, bg);
    if (oldFont) SelectObject(dc, oldFont);
}

void DrawStaticContent(HWND hwnd, HDC dc, RECT &r, DWORD kind, HBRUSH bg)
{
    Window *w = Peek(hwnd);
    auto *s = static_cast<StaticState *>(w->control.get());
    if (kind == SS_ICON) {
        if (s && s->image) DrawIconEx(dc, 0, 0, static_cast<HICON>(s->image), 0, 0, 0, nullptr, 3 /* DI_NORMAL */);
        return;
    }
    if (kind == SS_ETCHEDHORZ || kind == SS_ETCHEDFRAME || kind == SS_ETCHEDVERT) {
        DrawEdge(dc, &r, EDGE_ETCHED, kind == SS_ETCHEDHORZ ? BF_TOP : kind == SS_ETCHEDVERT ? BF_LEFT : BF_RECT);
        return;
    }
    if (kind > SS_SIMPLE && kind != SS_LEFTNOWORDWRAP) return;
    if (w->style & WS_DISABLED) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    if (!bg) SetBkMode(dc, TRANSPARENT);
    UINT fmt = kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    // An ellipsis style draws one line that ends, or is cut in the middle, with an ellipsis instead of wrapping.
    static constexpr struct {
        DWORD style;
        UINT format;
    } kEllipses[] = {{SS_ENDELLIPSIS, DT_END_ELLIPSIS}, {SS_PATHELLIPSIS, DT_PATH_ELLIPSIS},
                     {SS_WORDELLIPSIS, DT_WORD_ELLIPSIS}};
    UINT ellipsis = 0;
    for (const auto &e : kEllipses)
        if ((w->style & SS_ELLIPSISMASK) == e.style) ellipsis = e.format;
    if (ellipsis) fmt |= ellipsis | DT_SINGLELINE;
    else if (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT) fmt |= DT_WORDBREAK;
    if (w->style & SS_NOPREFIX) fmt |= DT_NOPREFIX;
    if (w->style & SS_CENTERIMAGE) fmt |= DT_VCENTER | DT_SINGLELINE;
    DrawTextW(dc, w->text.c_str(), -1, &r, fmt);
}

// An icon static takes the icon's size, as Windows sizes it, unless SS_REALSIZECONTROL keeps the control's.
void FitIcon(HWND hwnd, HANDLE image)
{
    if (!image || (GetWindowLongW(hwnd, GWL_STYLE) & SS_REALSIZECONTROL)) return;
    ICONINFO info{};
    if (!GetIconInfo(static_cast<HICON>(image), &info)) return;
    BITMAP bm{};
    HBITMAP sized = info.hbmColor ? info.hbmColor : info.hbmMask;
    bool known = sized && GetObjectW(sized, sizeof bm, &bm) == sizeof bm;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    // A monochrome icon's mask holds the AND and XOR halves one above the other.
    if (known) SetWindowPos(hwnd, nullptr, 0, 0, bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) w->control = std::make_unique<StaticState>();
    auto *s = static_cast<StaticState *>(w->control.get());
    DWORD kind = w->style & SS_TYPEMASK;
    switch (msg) {
    case WM_CREATE:
        // An icon static's text names the icon: a string or 0xFFFF and an ordinal.
        if (kind == SS_ICON && !w->text.empty()) {
            LPCWSTR name = w->text[0] == 0xFFFF && w->text.size() > 1
                               ? reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(w->text[1]))
                               : w->text.c_str();
            s->image = LoadIconW(w->instance, name);
            w->text.clear();
            FitIcon(hwnd, s->image);
        }
        return 0;
    case STM_SETICON:
    case STM_SETIMAGE: {
        HANDLE old = s->image;
        s->image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? wParam : lParam);
        if (kind == SS_ICON && (msg == STM_SETICON || wParam == IMAGE_ICON)) FitIcon(hwnd, s->image);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case WM_LBUTTONDOWN:
        if (w->style & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (w->style & SS_NOTIFY) NotifyParent(hwnd, STN_DBLCLK);
        return 0;
    case WM_ENABLE:
        if (w->style & SS_NOTIFY) NotifyParent(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawStatic);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// Paints through BeginPaint on WM_PAINT, or into the given DC on WM_PRINTCLIENT.
LRESULT PaintMessage(HWND hwnd, UINT msg, WPARAM wParam, void (*draw)(HWND, HDC, const RECT &))
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (msg == WM_PRINTCLIENT) {
        if (wParam) draw(hwnd, reinterpret_cast<HDC>(wParam), rc);
        return 0;
    }
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) draw(hwnd, dc, rc);
    EndPaint(hwnd, &ps);
    ValidateRect(hwnd, nullptr);
    return 0;
}

} // namespace zep::user
