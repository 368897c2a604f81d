// List boxes, combo boxes (drop-down list and drop-down with its edit field) and scroll bar controls.
#include "user/wnd.h"

#include <algorithm>

namespace zep::user {
namespace {

constexpr int kItemHeight = 13;
constexpr int kComboEditId = 1001;

struct Item {
    U16 text;
    LPARAM data = 0;
    bool selected = false;
};

struct ListModel {
    std::vector<Item> items;
    int cur = -1;
    bool sorted = false;

    int Count() const { return static_cast<int>(items.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    int Add(LPCWSTR s, int at)
    {
        Item it{ToU16(s)};
        if (at < 0 || at > Count()) {
            at = Count();
            if (sorted)
                at = static_cast<int>(std::upper_bound(items.begin(), items.end(), it,
                                                       [](const Item &a, const Item &b) {
                                                           return lstrcmpiW(a.text.c_str(), b.text.c_str()) < 0;
                                                       }) -
                                      items.begin());
        }
        items.insert(items.begin() + at, it);
        if (cur >= at) ++cur;
        return at;
    }
    int Delete(int i)
    {
        if (!Valid(i)) return -1;
        items.erase(items.begin() + i);
        if (cur == i) cur = -1;
        else if (cur > i) --cur;
        return Count();
    }
    // Case-insensitive: a prefix, or the whole text; searching starts after `after` and wraps.
    int Find(int after, LPCWSTR s, bool exact) const
    {
        U16 key = ToU16(s);
        int n = Count();
        for (int k = 1; k <= n; ++k) {
            int i = ((after < 0 ? -1 : after) + k) % n;
            U16 t = exact ? items[i].text : items[i].text.substr(0, key.size());
            if (EqualNoCase(t, key)) return i;
        }
        return -1;
    }
    LRESULT GetText(int i, LPWSTR out) const
    {
        if (!Valid(i)) return -1;
        if (out) CopyOut(items[i].text, out, static_cast<int>(items[i].text.size() + 1));
        return static_cast<LRESULT>(items[i].text.size());
    }
};

struct ListBoxState : ControlState {
    ListModel list;
    int top = 0;
    bool focused = false;
};

bool Multi(DWORD style) { return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }

void NotifyIf(HWND hwnd, UINT code)
{
    if (GetWindowLongW(hwnd, GWL_STYLE) & LBS_NOTIFY) NotifyParent(hwnd, code);
}

void DrawList(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    auto *s = static_cast<ListBoxState *>(w->control.get());
    HBRUSH bg = reinterpret_cast<HBRUSH>(
        SendMessageW(w->parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    RECT r = rc;
    if (bg) FillRect(dc, &r, bg);
    HFONT font = FontOf(hwnd);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    for (int i = s->top; i < s->list.Count(); ++i) {
        RECT row{r.left, r.top + (i - s->top) * kItemHeight, r.right, r.top + (i - s->top + 1) * kItemHeight};
        if (row.top >= r.bottom) break;
        bool sel = Multi(w->style) ? s->list.items[i].selected : i == s->list.cur;
        if (sel) FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(sel ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = row;
        text.left += 2;
        DrawTextW(dc, s->list.items[i].text.c_str(), -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    }
    if (old) SelectObject(dc, old);
}

} // namespace

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) {
        auto st = std::make_unique<ListBoxState>();
        st->list.sorted = (w->style & LBS_SORT) != 0;
        w->control = std::move(st);
    }
    auto *s = static_cast<ListBoxState *>(w->control.get());
    ListModel &l = s->list;
    int i = static_cast<int>(wParam);
    switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        int at = l.Add(reinterpret_cast<LPCWSTR>(lParam), msg == LB_ADDSTRING ? -1 : i);
        InvalidateRect(hwnd, nullptr, TRUE);
        return at;
    }
    case LB_DELETESTRING: InvalidateRect(hwnd, nullptr, TRUE); return l.Delete(i);
    case LB_RESETCONTENT:
        l.items.clear();
        l.cur = -1;
        s->top = 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETCOUNT: return l.Count();
    case LB_GETTEXT: return l.GetText(i, reinterpret_cast<LPWSTR>(lParam));
    case LB_GETTEXTLEN: return l.Valid(i) ? static_cast<LRESULT>(l.items[i].text.size()) : LB_ERR;
    case LB_GETITEMDATA: return l.Valid(i) ? l.items[i].data : LB_ERR;
    case LB_SETITEMDATA:
        if (!l.Valid(i)) return LB_ERR;
        l.items[i].data = lParam;
        return TRUE;
    // Single selection only; -1 clears it and still answers LB_ERR, as Windows does.
    case LB_SETCURSEL:
        if (Multi(w->style)) return LB_ERR;
        l.cur = l.Valid(i) ? i : -1;
        InvalidateRect(hwnd, nullptr, TRUE);
        return l.cur < 0 ? LB_ERR : l.cur;
    case LB_GETCURSEL: return Multi(w->style) ? l.cur : (l.cur < 0 ? LB_ERR : l.cur);
    case LB_SETSEL: {
        if (!Multi(w->style)) return LB_ERR;
        int idx = static_cast<int>(lParam);
        if (idx == -1)
            for (auto &it : l.items) it.selected = wParam != 0;
        else if (l.Valid(idx))
            l.items[idx].selected = wParam != 0, l.cur = idx;
        else
            return LB_ERR;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case LB_GETSEL:
        if (!l.Valid(i)) return LB_ERR;
        return Multi(w->style) ? l.items[i].selected : i == l.cur;
    case LB_GETSELCOUNT:
        if (!Multi(w->style)) return LB_ERR;
        return std::count_if(l.items.begin(), l.items.end(), [](const Item &it) { return it.selected; });
    case LB_GETSELITEMS: {
        if (!Multi(w->style)) return LB_ERR;
        int n = 0;
        auto *out = reinterpret_cast<int *>(lParam);
        for (int k = 0; k < l.Count() && n < i; ++k)
            if (l.items[k].selected) out[n++] = k;
        return n;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: return l.Find(i, reinterpret_cast<LPCWSTR>(lParam), msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
        int f = l.Find(i, reinterpret_cast<LPCWSTR>(lParam), false);
        if (f < 0) return LB_ERR;
        return SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(f), 0);
    }
    case LB_GETTOPINDEX: return s->top;
    case LB_SETTOPINDEX:
        if (!l.Valid(i) && i != 0) return LB_ERR;
        s->top = i;
        return 0;
    case LB_GETITEMHEIGHT: return kItemHeight;
    case LB_SETITEMHEIGHT: return 0;
    case LB_GETCARETINDEX: return l.cur < 0 ? 0 : l.cur;
    case LB_SETCARETINDEX: return l.Valid(i) ? (l.cur = i, 0) : LB_ERR;
    case LB_GETITEMRECT: {
        if (!l.Valid(i) && !(i == 0 && l.Count() == 0)) return LB_ERR;
        RECT client;
        GetClientRect(hwnd, &client);
        *reinterpret_cast<RECT *>(lParam) =
            RECT{0, (i - s->top) * kItemHeight, client.right, (i - s->top + 1) * kItemHeight};
        return 1;
    }
    // A click selects the row under the pointer (toggles it in a multiple-selection list) and reports
    // LBN_SELCHANGE to a list with LBS_NOTIFY.
    case WM_LBUTTONDOWN: {
        SetFocus(hwnd);
        int row = s->top + static_cast<SHORT>(HIWORD(lParam)) / kItemHeight;
        if (!l.Valid(row)) return 0;
        if (Multi(w->style)) {
            if ((w->style & LBS_EXTENDEDSEL) && !(wParam & MK_CONTROL))
                for (auto &it : l.items) it.selected = false;
            l.items[row].selected = !l.items[row].selected || (w->style & LBS_EXTENDEDSEL && !(wParam & MK_CONTROL));
        }
        l.cur = row;
        InvalidateRect(hwnd, nullptr, TRUE);
        NotifyIf(hwnd, LBN_SELCHANGE);
        return 0;
    }
    case WM_LBUTTONDBLCLK: NotifyIf(hwnd, LBN_DBLCLK); return 0;
    case WM_KEYDOWN: {
        int next = l.cur;
        if (wParam == VK_DOWN) next = std::min(l.Count() - 1, l.cur + 1);
        else if (wParam == VK_UP) next = std::max(0, l.cur - 1);
        else if (wParam == VK_HOME) next = 0;
        else if (wParam == VK_END) next = l.Count() - 1;
        else return 0;
        if (next != l.cur && l.Valid(next)) {
            l.cur = next;
            InvalidateRect(hwnd, nullptr, TRUE);
            NotifyIf(hwnd, LBN_SELCHANGE);
        }
        return 0;
    }
    case WM_SETFOCUS: s->focused = true; NotifyIf(hwnd, LBN_SETFOCUS); return 0;
    case WM_KILLFOCUS: s->focused = false; NotifyIf(hwnd, LBN_KILLFOCUS); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawList);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

namespace {

struct ComboState : ControlState {
    ListModel list;
    HWND edit = nullptr;
    bool dropped = false;
    bool quiet = false; // our own text changes in the edit field are not the user's
    bool focused = false;
};

DWORD Kind(DWORD style) { return style & 3; }

void ShowSelection(HWND hwnd, ComboState *s)
{
    if (!s->edit) return;
    s->quiet = true;
    SetWindowTextW(s->edit, s->list.Valid(s->list.cur) ? s->list.items[s->list.cur].text.c_str() : TEXT(""));
    s->quiet = false;
}

void DrawCombo(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    auto *s = static_cast<ComboState *>(w->control.get());
    RECT r = rc;
    FillRect(dc, &r, GetSysColorBrush((w->style & WS_DISABLED) ? COLOR_BTNFACE : COLOR_WINDOW));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    RECT button{r.right - 19, r.top + 2, r.right - 2, r.bottom - 2};
    FillRect(dc, &button, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &button, EDGE_RAISED, BF_RECT);
    POINT tri[3] = {{button.left + 5, button.top + 7}, {button.right - 5, button.top + 7},
                    {(button.left + button.right) / 2, button.top + 11}};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Polygon(dc, tri, 3);
    SelectObject(dc, oldBrush);
    if (!s->edit && s->list.Valid(s->list.cur)) {
        HFONT font = FontOf(hwnd);
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor((w->style & WS_DISABLED) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        RECT text{r.left + 4, r.top, button.left - 1, r.bottom};
        DrawTextW(dc, s->list.items[s->list.cur].text.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (old) SelectObject(dc, old);
    }
}

} // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) {
        auto st = std::make_unique<ComboState>();
        st->list.sorted = (w->style & CBS_SORT) != 0;
        w->control = std::move(st);
    }
    auto *s = static_cast<ComboState *>(w->control.get());
    ListModel &l = s->list;
    int i = static_cast<int>(wParam);
    switch (msg) {
    case WM_CREATE: {
        // The closed box is one line high; the template's height is the dropped list's.
        RECT r = w->rect;
        w->rect.bottom = r.top + kItemHeight + 8;
        if (Kind(w->style) != CBS_DROPDOWNLIST) {
            s->edit = CreateWindowExW(0, TEXT("Edit"), w->text.c_str(),
                                      WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | (w->style & WS_DISABLED), 3, 3,
                                      std::max<LONG>(0, r.right - r.left - 24), kItemHeight + 2, hwnd,
                                      reinterpret_cast<HMENU>(static_cast<uintptr_t>(kComboEditId)), w->instance, nullptr);
            if (!s->edit) return -1;
        }
        return 0;
    }
    case WM_SETFONT:
        if (s->edit) SendMessageW(s->edit, WM_SETFONT, wParam, lParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case CB_ADDSTRING:
    case CB_INSERTSTRING: return l.Add(reinterpret_cast<LPCWSTR>(lParam), msg == CB_ADDSTRING ? -1 : i);
    case CB_DELETESTRING: return l.Delete(i);
    case CB_RESETCONTENT:
        l.items.clear();
        l.cur = -1;
        if (s->edit) ShowSelection(hwnd, s);
        return CB_OKAY;
    case CB_GETCOUNT: return l.Count();
    case CB_GETLBTEXT: return l.GetText(i, reinterpret_cast<LPWSTR>(lParam));
    case CB_GETLBTEXTLEN: return l.Valid(i) ? static_cast<LRESULT>(l.items[i].text.size()) : CB_ERR;
    case CB_GETITEMDATA: return l.Valid(i) ? l.items[i].data : CB_ERR;
    case CB_SETITEMDATA:
        if (!l.Valid(i)) return CB_ERR;
        l.items[i].data = lParam;
        return TRUE;
    // Shows the entry (in the edit field too); -1 clears the selection and answers CB_ERR.
    case CB_SETCURSEL:
        l.cur = l.Valid(i) ? i : -1;
        ShowSelection(hwnd, s);
        InvalidateRect(hwnd, nullptr, TRUE);
        return l.cur < 0 ? CB_ERR : l.cur;
    case CB_GETCURSEL: return l.cur < 0 ? CB_ERR : l.cur;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: return l.Find(i, reinterpret_cast<LPCWSTR>(lParam), msg == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
        int f = l.Find(i, reinterpret_cast<LPCWSTR>(lParam), false);
        return f < 0 ? CB_ERR : SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(f), 0);
    }
    case CB_LIMITTEXT:
        if (!s->edit) return CB_ERR;
        SendMessageW(s->edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        if (!s->edit) return CB_ERR;
        return SendMessageW(s->edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL:
        if (!s->edit) return CB_ERR;
        SendMessageW(s->edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                     static_cast<SHORT>(HIWORD(lParam)));
        return TRUE;
    case CB_SHOWDROPDOWN:
        if (static_cast<bool>(wParam) != s->dropped) {
            s->dropped = wParam != 0;
            NotifyParent(hwnd, s->dropped ? CBN_DROPDOWN : CBN_CLOSEUP);
        }
        return TRUE;
    case CB_GETDROPPEDSTATE: return s->dropped;
    case CB_GETITEMHEIGHT: return kItemHeight;
    case CB_SETITEMHEIGHT: return 0;
    case WM_SETTEXT:
        if (s->edit) return SetWindowTextW(s->edit, reinterpret_cast<LPCWSTR>(lParam));
        {
            int f = l.Find(-1, reinterpret_cast<LPCWSTR>(lParam), true);
            if (f < 0) return CB_ERR;
            l.cur = f;
            return TRUE;
        }
    case WM_GETTEXT:
        if (s->edit) return SendMessageW(s->edit, WM_GETTEXT, wParam, lParam);
        return l.Valid(l.cur) ? CopyOut(l.items[l.cur].text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam))
                              : CopyOut(U16(), reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        if (s->edit) return SendMessageW(s->edit, WM_GETTEXTLENGTH, 0, 0);
        return l.Valid(l.cur) ? static_cast<LRESULT>(l.items[l.cur].text.size()) : 0;
    // The edit field's notifications become the combo box's own.
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == s->edit && s->edit) {
            switch (HIWORD(wParam)) {
            case EN_UPDATE:
                if (!s->quiet) NotifyParent(hwnd, CBN_EDITUPDATE);
                break;
            case EN_CHANGE:
                if (!s->quiet) NotifyParent(hwnd, CBN_EDITCHANGE);
                break;
            case EN_SETFOCUS:
                s->focused = true;
                NotifyParent(hwnd, CBN_SETFOCUS);
                break;
            case EN_KILLFOCUS:
                s->focused = false;
                NotifyParent(hwnd, CBN_KILLFOCUS);
                break;
            default: break;
            }
        }
        return 0;
    case WM_SETFOCUS:
        if (s->edit) {
            SetFocus(s->edit);
        } else {
            s->focused = true;
            NotifyParent(hwnd, CBN_SETFOCUS);
        }
        return 0;
    case WM_KILLFOCUS:
        if (!s->edit) {
            s->focused = false;
            NotifyParent(hwnd, CBN_KILLFOCUS);
        }
        return 0;
    case WM_ENABLE:
        if (s->edit) EnableWindow(s->edit, wParam != 0);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    // Up and down step through the entries of a closed box and report the change.
    case WM_KEYDOWN: {
        int next = l.cur;
        if (wParam == VK_DOWN) next = std::min(l.Count() - 1, l.cur + 1);
        else if (wParam == VK_UP) next = std::max(0, l.cur - 1);
        else return 0;
        if (next != l.cur && l.Valid(next)) {
            SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(next), 0);
            NotifyParent(hwnd, CBN_SELCHANGE);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        SendMessageW(hwnd, CB_SHOWDROPDOWN, !s->dropped, 0);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawCombo);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

namespace {

struct ScrollState : ControlState {
    int min = 0, max = 100;
    UINT page = 0;
    int pos = 0;
};

int Clamp(const ScrollState *s, int pos)
{
    int top = s->max - std::max<int>(static_cast<int>(s->page) - 1, 0);
    return std::max(s->min, std::min(pos, std::max(top, s->min)));
}

void DrawScroll(HWND hwnd, HDC dc, const RECT &rc)
{
    Window *w = Peek(hwnd);
    auto *s = static_cast<ScrollState *>(w->control.get());
    bool vert = (w->style & SBS_VERT) != 0;
    RECT r = rc;
    FillRect(dc, &r, GetSysColorBrush(COLOR_SCROLLBAR));
    int len = vert ? r.bottom - r.top : r.right - r.left;
    int arrow = std::min(vert ? r.right - r.left : r.bottom - r.top, len / 2);
    RECT a1 = vert ? RECT{r.left, r.top, r.right, r.top + arrow} : RECT{r.left, r.top, r.left + arrow, r.bottom};
    RECT a2 = vert ? RECT{r.left, r.bottom - arrow, r.right, r.bottom} : RECT{r.right - arrow, r.top, r.right, r.bottom};
    for (RECT *a : {&a1, &a2}) {
        FillRect(dc, a, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, a, EDGE_RAISED, BF_RECT);
    }
    int track = len - 2 * arrow - arrow;
    int range = std::max(1, s->max - s->min);
    if (track > 0) {
        int off = arrow + (s->pos - s->min) * track / range;
        RECT thumb = vert ? RECT{r.left, r.top + off, r.right, r.top + off + arrow}
                          : RECT{r.left + off, r.top, r.left + off + arrow, r.bottom};
        FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    }
}

} // namespace

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) w->control = std::make_unique<ScrollState>();
    auto *s = static_cast<ScrollState *>(w->control.get());
    switch (msg) {
    case SBM_SETPOS: {
        int old = s->pos;
        s->pos = Clamp(s, static_cast<int>(wParam));
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return old;
    }
    case SBM_GETPOS: return s->pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        int old = s->pos;
        s->min = static_cast<int>(wParam);
        s->max = static_cast<int>(lParam);
        s->pos = Clamp(s, s->pos);
        InvalidateRect(hwnd, nullptr, TRUE);
        return old;
    }
    case SBM_GETRANGE:
        if (wParam) *reinterpret_cast<int *>(wParam) = s->min;
        if (lParam) *reinterpret_cast<int *>(lParam) = s->max;
        return 0;
    case SBM_SETSCROLLINFO: {
        auto *si = reinterpret_cast<const SCROLLINFO *>(lParam);
        if (!si) return s->pos;
        if (si->fMask & SIF_RANGE) s->min = si->nMin, s->max = si->nMax;
        if (si->fMask & SIF_PAGE) s->page = si->nPage;
        if (si->fMask & SIF_POS) s->pos = si->nPos;
        s->pos = Clamp(s, s->pos);
        if (wParam) InvalidateRect(hwnd, nullptr, TRUE);
        return s->pos;
    }
    case SBM_GETSCROLLINFO: {
        auto *si = reinterpret_cast<SCROLLINFO *>(lParam);
        if (!si) return FALSE;
        if (si->fMask & SIF_RANGE) si->nMin = s->min, si->nMax = s->max;
        if (si->fMask & SIF_PAGE) si->nPage = s->page;
        if (si->fMask & SIF_POS) si->nPos = s->pos;
        if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->pos;
        return TRUE;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawScroll);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace zep::user

using namespace zep::user;

namespace {
// Only scroll bar controls have scroll bars here; the window bars of other windows are not kept.
bool ControlBar(HWND hwnd, int bar)
{
    if (bar == SB_CTL && State<ScrollState>(hwnd)) return true;
    if (Find(hwnd)) SetLastError(ERROR_NO_SCROLLBARS);
    return false;
}
} // namespace

int WINAPI SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    if (!ControlBar(hwnd, bar)) return 0;
    return static_cast<int>(SendMessageW(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
}
BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info)
{
    if (!ControlBar(hwnd, bar)) return FALSE;
    return static_cast<BOOL>(SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}
// Returns the previous position.
int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    if (!ControlBar(hwnd, bar)) return 0;
    return static_cast<int>(SendMessageW(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
}
int WINAPI GetScrollPos(HWND hwnd, int bar)
{
    if (!ControlBar(hwnd, bar)) return 0;
    return static_cast<int>(SendMessageW(hwnd, SBM_GETPOS, 0, 0));
}
BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw)
{
    if (!ControlBar(hwnd, bar)) return FALSE;
    SendMessageW(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos), maxPos);
    return TRUE;
}
BOOL WINAPI GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos)
{
    if (!ControlBar(hwnd, bar)) return FALSE;
    SendMessageW(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos), reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
}
