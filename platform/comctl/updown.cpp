// Up-down controls (buddy, range, position written into the buddy) and trackbars; the common-control classes.
#include "user/wnd.h"

#include <algorithm>
#include <utility>

namespace zep::user {
namespace {

struct UpDownState : ControlState {
    int lower = 100, upper = 0; // the documented default range runs downwards
    int pos = 0;
    HWND buddy = nullptr;
    int base = 10;
};

// The buddy shows the position in decimal, with thousands separators unless UDS_NOTHOUSANDS.
void WriteBuddy(HWND hwnd, UpDownState *s)
{
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    if (!s->buddy || !(style & UDS_SETBUDDYINT)) return;
    U16 digits = FormatInt(std::abs(static_cast<long long>(s->pos)));
    if (!(style & UDS_NOTHOUSANDS))
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), 1, u',');
    if (s->pos < 0) digits.insert(0, 1, u'-');
    SetWindowTextW(s->buddy, digits.c_str());
}

int Clamp(const UpDownState *s, int v)
{
    int lo = std::min(s->lower, s->upper), hi = std::max(s->lower, s->upper);
    return std::max(lo, std::min(hi, v));
}

// Reads the buddy's number back; FALSE when its text is not one.
bool ReadBuddy(UpDownState *s)
{
    if (!s->buddy) return true;
    WCHAR buf[64];
    GetWindowTextW(s->buddy, buf, 64);
    U16 t;
    for (const WCHAR *p = buf; *p; ++p)
        if (*p != u',') t.push_back(*p);
    if (t.empty()) return false;
    size_t i = t[0] == u'-' ? 1 : 0;
    if (i == t.size()) return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9') return false;
        v = v * 10 + (t[i] - u'0');
        if (v > 0x7FFFFFFF) return false;
    }
    s->pos = static_cast<int>(t[0] == u'-' ? -v : v);
    return true;
}

void Step(HWND hwnd, UpDownState *s, int direction)
{
    Window *w = Peek(hwnd);
    ReadBuddy(s);
    int delta = (s->upper >= s->lower ? 1 : -1) * direction;
    NMUPDOWN nm{};
    nm.iPos = s->pos;
    nm.iDelta = delta;
    if (NotifyParentHdr(hwnd, &nm.hdr, UDN_DELTAPOS)) return;
    int next = s->pos + nm.iDelta;
    if (next != Clamp(s, next)) {
        if (!(w->style & UDS_WRAP)) next = Clamp(s, next);
        else next = next > std::max(s->lower, s->upper) ? std::min(s->lower, s->upper) : std::max(s->lower, s->upper);
    }
    s->pos = next;
    WriteBuddy(hwnd, s);
    UINT scroll = (w->style & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    SendMessageW(w->parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(s->pos)), reinterpret_cast<LPARAM>(hwnd));
    SendMessageW(w->parent, scroll, MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(s->pos)), reinterpret_cast<LPARAM>(hwnd));
}

void SetBuddy(HWND hwnd, UpDownState *s, HWND buddy)
{
    s->buddy = buddy;
    Window *w = Peek(hwnd);
    Window *b = Peek(buddy);
    if (!w || !b || !(w->style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
    // The arrows sit against the buddy's edge, taking their width from it.
    int width = w->rect.right - w->rect.left;
    RECT br = b->rect;
    if (w->style & UDS_ALIGNRIGHT) {
        br.right -= width - 2;
        w->rect = RECT{br.right - 2, br.top, br.right - 2 + width, br.bottom};
    } else {
        br.left += width - 2;
        w->rect = RECT{br.left - width + 2, br.top, br.left + 2, br.bottom};
    }
    b->rect = br;
}

void DrawUpDown(HWND hwnd, HDC dc, const RECT &rc)
{
    RECT up = rc, down = rc;
    up.bottom = down.top = (rc.top + rc.bottom) / 2;
    for (RECT *r : {&up, &down}) {
        FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, r, EDGE_RAISED, BF_RECT);
    }
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    int cx = (rc.left + rc.right) / 2;
    POINT a[3] = {{cx - 3, up.bottom - 3}, {cx + 3, up.bottom - 3}, {cx, up.bottom - 6}};
    POINT b[3] = {{cx - 3, down.top + 3}, {cx + 3, down.top + 3}, {cx, down.top + 6}};
    Polygon(dc, a, 3);
    Polygon(dc, b, 3);
    SelectObject(dc, old);
}

} // namespace

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) w->control = std::make_unique<UpDownState>();
    auto *s = static_cast<UpDownState *>(w->control.get());
    switch (msg) {
    case WM_CREATE:
        // UDS_AUTOBUDDY takes the window created just before (the one above it in the z-order).
        if (w->style & UDS_AUTOBUDDY) {
            HWND prev = GetWindow(hwnd, GW_HWNDPREV);
            if (prev) SetBuddy(hwnd, s, prev);
        }
        return 0;
    case UDM_SETRANGE:
        s->upper = static_cast<SHORT>(LOWORD(lParam));
        s->lower = static_cast<SHORT>(HIWORD(lParam));
        return 0;
    case UDM_GETRANGE: return MAKELONG(static_cast<WORD>(s->upper), static_cast<WORD>(s->lower));
    case UDM_SETRANGE32:
        s->lower = static_cast<int>(wParam);
        s->upper = static_cast<int>(lParam);
        return 0;
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int *>(wParam) = s->lower;
        if (lParam) *reinterpret_cast<int *>(lParam) = s->upper;
        return 0;
    // Clamped to the range and written into the buddy; returns the previous position.
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        int old = s->pos;
        int v = msg == UDM_SETPOS ? static_cast<SHORT>(LOWORD(lParam)) : static_cast<int>(lParam);
        s->pos = Clamp(s, v);
        WriteBuddy(hwnd, s);
        return old;
    }
    // Read from the buddy; a buddy that holds no number sets the error flag (high word, or *lParam).
    case UDM_GETPOS: {
        bool ok = !(w->style & UDS_SETBUDDYINT) || ReadBuddy(s);
        return MAKELONG(static_cast<WORD>(s->pos), ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
        bool ok = !(w->style & UDS_SETBUDDYINT) || ReadBuddy(s);
        if (lParam) *reinterpret_cast<BOOL *>(lParam) = !ok;
        return s->pos;
    }
    case UDM_SETBUDDY: {
        HWND old = s->buddy;
        SetBuddy(hwnd, s, reinterpret_cast<HWND>(wParam));
        return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s->buddy);
    case UDM_SETBASE: {
        int old = s->base;
        if (wParam != 10 && wParam != 16) return 0;
        s->base = static_cast<int>(wParam);
        return old;
    }
    case UDM_GETBASE: return s->base;
    // A press on the upper half steps up, on the lower half down (left and right with UDS_HORZ).
    case WM_LBUTTONDOWN: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        SHORT x = static_cast<SHORT>(LOWORD(lParam)), y = static_cast<SHORT>(HIWORD(lParam));
        bool first = (w->style & UDS_HORZ) ? x < rc.right / 2 : y < rc.bottom / 2;
        Step(hwnd, s, (w->style & UDS_HORZ) ? (first ? -1 : 1) : (first ? 1 : -1));
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_RIGHT) Step(hwnd, s, 1);
        if (wParam == VK_DOWN || wParam == VK_LEFT) Step(hwnd, s, -1);
        return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawUpDown);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

namespace {

struct TrackState : ControlState {
    int min = 0, max = 100, pos = 0;
    int page = 20, line = 1;
    int freq = 1;
};

void Move(HWND hwnd, TrackState *s, int pos, WORD code)
{
    Window *w = Peek(hwnd);
    s->pos = std::max(s->min, std::min(s->max, pos));
    InvalidateRect(hwnd, nullptr, TRUE);
    UINT scroll = (w->style & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageW(w->parent, scroll, MAKEWPARAM(code, code == TB_THUMBPOSITION ? static_cast<WORD>(s->pos) : 0),
                 reinterpret_cast<LPARAM>(hwnd));
}

void DrawTrack(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    auto *s = static_cast<TrackState *>(w->control.get());
    HBRUSH bg = reinterpret_cast<HBRUSH>(
        SendMessageW(w->parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    RECT r = rc;
    if (bg) FillRect(dc, &r, bg);
    int mid = (r.top + r.bottom) / 2;
    RECT channel{r.left + 8, mid - 2, r.right - 8, mid + 2};
    DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT);
    int range = std::max(1, s->max - s->min);
    int x = channel.left + (s->pos - s->min) * (channel.right - channel.left) / range;
    RECT thumb{x - 5, mid - 10, x + 6, mid + 10};
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    if (!(w->style & TBS_NOTICKS)) {
        HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
        for (int v = s->min; v <= s->max; v += std::max(1, s->freq)) {
            int tx = channel.left + (v - s->min) * (channel.right - channel.left) / range;
            MoveToEx(dc, tx, mid + 12, nullptr);
            LineTo(dc, tx, mid + 15);
        }
        SelectObject(dc, pen);
    }
}

} // namespace

LRESULT CALLBACK TrackbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) w->control = std::make_unique<TrackState>();
    auto *s = static_cast<TrackState *>(w->control.get());
    switch (msg) {
    case TBM_GETPOS: return s->pos;
    case TBM_GETRANGEMIN: return s->min;
    case TBM_GETRANGEMAX: return s->max;
    // A position outside the range is clamped; no notification, as for every programmatic change.
    case TBM_SETPOS:
        s->pos = std::max(s->min, std::min(s->max, static_cast<int>(lParam)));
        if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case TBM_SETRANGE:
        s->min = static_cast<SHORT>(LOWORD(lParam));
        s->max = static_cast<SHORT>(HIWORD(lParam));
        s->pos = std::max(s->min, std::min(s->max, s->pos));
        s->page = std::max(1, (s->max - s->min) / 5);
        return 0;
    case TBM_SETRANGEMIN:
        s->min = static_cast<int>(lParam);
        s->pos = std::max(s->min, s->pos);
        return 0;
    case TBM_SETRANGEMAX:
        s->max = static_cast<int>(lParam);
        s->pos = std::min(s->max, s->pos);
        return 0;
    case TBM_SETPAGESIZE: return std::exchange(s->page, static_cast<int>(lParam));
    case TBM_GETPAGESIZE: return s->page;
    case TBM_SETLINESIZE: return std::exchange(s->line, static_cast<int>(lParam));
    case TBM_GETLINESIZE: return s->line;
    case TBM_SETTICFREQ: s->freq = static_cast<int>(wParam); return 0;
    case TBM_GETNUMTICS: return (s->max - s->min) / std::max(1, s->freq) + 1;
    case TBM_CLEARTICS:
    case TBM_SETTIC: return TRUE;
    // Keys move by a line or a page and report it, then TB_ENDTRACK on release.
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RIGHT:
        case VK_DOWN: Move(hwnd, s, s->pos + s->line, TB_LINEDOWN); break;
        case VK_LEFT:
        case VK_UP: Move(hwnd, s, s->pos - s->line, TB_LINEUP); break;
        case VK_NEXT: Move(hwnd, s, s->pos + s->page, TB_PAGEDOWN); break;
        case VK_PRIOR: Move(hwnd, s, s->pos - s->page, TB_PAGEUP); break;
        case VK_HOME: Move(hwnd, s, s->min, TB_TOP); break;
        case VK_END: Move(hwnd, s, s->max, TB_BOTTOM); break;
        default: break;
        }
        return 0;
    case WM_KEYUP:
        Move(hwnd, s, s->pos, TB_ENDTRACK);
        return 0;
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawTrack);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ListViewProc(HWND, UINT, WPARAM, LPARAM);

void RegisterCommonControlClasses()
{
    RegisterControlClass(UPDOWN_CLASSW, UpDownProc);
    RegisterControlClass(TRACKBAR_CLASSW, TrackbarProc);
    RegisterControlClass(WC_LISTVIEWW, ListViewProc);
}

} // namespace zep::user

// The classes are always registered with the window manager; nothing to do.
void WINAPI InitCommonControls() { zep::user::RegisterSystemClasses(); }
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *init)
{
    if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    zep::user::RegisterSystemClasses();
    return TRUE;
}
