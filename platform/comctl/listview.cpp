// List view controls (report view): columns, items and sub-items, selection and focus states, notifications, painting.
#include "user/wnd.h"

#include <algorithm>
#include <utility>

namespace zep::user {
namespace {

struct Column {
    U16 text;
    int cx = 0;
    int fmt = LVCFMT_LEFT;
    int subItem = 0;
};

struct Item {
    std::vector<U16> texts; // by sub-item
    LPARAM param = 0;
    UINT state = 0;
    const U16 &Text(int sub) const
    {
        static const U16 empty;
        return sub >= 0 && sub < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(sub)] : empty;
    }
};

struct ListViewState : ControlState {
    std::vector<Column> columns;
    std::vector<Item> items;
    DWORD exStyle = 0;
    int mark = -1;
    int top = 0;
    bool focused = false;
    COLORREF bk = CLR_DEFAULT, text = CLR_DEFAULT, textBk = CLR_DEFAULT;
    int Count() const { return static_cast<int>(items.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
};

// States the list view keeps per item; the others are the caller's (overlay and state-image bits).
constexpr UINT kStateBits = LVIS_FOCUSED | LVIS_SELECTED | LVIS_CUT | LVIS_DROPHILITED | LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;

ListViewState *Lv(HWND hwnd) { return State<ListViewState>(hwnd); }
DWORD StyleOf(HWND hwnd)
{
    Window *w = Peek(hwnd);
    return w ? w->style : 0;
}
bool IsReport(HWND hwnd) { return (StyleOf(hwnd) & LVS_TYPEMASK) == LVS_REPORT; }

// Row and header heights follow the control's font.
struct Metrics {
    int row = 17;
    int header = 21;
};
Metrics MetricsOf(HWND hwnd)
{
    Metrics m;
    HFONT font = FontOf(hwnd);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return m;
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    if (GetTextMetricsW(dc, &tm) && tm.tmHeight > 0) {
        m.row = tm.tmHeight + 4;
        m.header = tm.tmHeight + 8;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    if (!IsReport(hwnd) || (StyleOf(hwnd) & LVS_NOCOLUMNHEADER)) m.header = 0;
    return m;
}

int TextWidth(HWND hwnd, const U16 &text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return static_cast<int>(text.size()) * 6;
    HFONT font = FontOf(hwnd);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    SelectObject(dc, old);
    DeleteDC(dc);
    return sz.cx;
}

int ColumnLeft(const ListViewState *s, int c)
{
    int x = 0;
    for (int k = 0; k < c; ++k) x += s->columns[static_cast<size_t>(k)].cx;
    return x;
}
int TotalWidth(const ListViewState *s) { return ColumnLeft(s, static_cast<int>(s->columns.size())); }

// Report view: the whole row across the columns; the other views: one line as wide as the client area.
RECT RowRect(HWND hwnd, const ListViewState *s, int i, const Metrics &m)
{
    RECT client;
    GetClientRect(hwnd, &client);
    int y = m.header + (i - s->top) * m.row;
    int right = IsReport(hwnd) ? TotalWidth(s) : client.right;
    return RECT{0, y, right, y + m.row};
}

RECT LabelRect(HWND hwnd, const ListViewState *s, int i, const Metrics &m)
{
    RECT r = RowRect(hwnd, s, i, m);
    if (IsReport(hwnd)) r.right = s->columns.empty() ? 0 : s->columns[0].cx;
    return r;
}

LRESULT NotifyItem(HWND hwnd, UINT code, int item, UINT newState, UINT oldState, UINT changed, LPARAM param,
                   POINT pt = POINT{})
{
    NMLISTVIEW nm{};
    nm.iItem = item;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = changed;
    nm.ptAction = pt;
    nm.lParam = param;
    return NotifyParentHdr(hwnd, &nm.hdr, code);
}

// One item's state change: LVN_ITEMCHANGING (the parent may refuse with TRUE), then LVN_ITEMCHANGED. Nothing is
// sent when the state stays the same.
bool ChangeState(HWND hwnd, int i, UINT state, UINT mask)
{
    ListViewState *s = Lv(hwnd);
    if (!s || !s->Valid(i)) return false;
    Item &it = s->items[static_cast<size_t>(i)];
    UINT next = (it.state & ~mask) | (state & mask & kStateBits);
    if (next == it.state) return true;
    UINT old = it.state;
    LPARAM param = it.param;
    if (NotifyItem(hwnd, LVN_ITEMCHANGING, i, next, old, LVIF_STATE, param)) return false;
    s = Lv(hwnd);
    if (!s || !s->Valid(i)) return false;
    s->items[static_cast<size_t>(i)].state = next;
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyItem(hwnd, LVN_ITEMCHANGED, i, next, old, LVIF_STATE, param);
    return true;
}

// Only one item holds the focus, and only one is selected in a LVS_SINGLESEL list: taking either from the
// others comes first, each change notified.
void ClearOthers(HWND hwnd, int keep, UINT bits)
{
    for (int k = 0; ListViewState *s = Lv(hwnd); ++k) {
        if (k >= s->Count()) break;
        if (k != keep && (s->items[static_cast<size_t>(k)].state & bits)) ChangeState(hwnd, k, 0, bits);
    }
}

bool SetItemState(HWND hwnd, int i, UINT state, UINT mask)
{
    ListViewState *s = Lv(hwnd);
    if (!s) return false;
    bool single = (StyleOf(hwnd) & LVS_SINGLESEL) != 0;
    if (i == -1) {
        // Every item at once: the focus can only be taken away, and a single-selection list cannot select all.
        if (state & LVIS_FOCUSED) mask &= ~LVIS_FOCUSED;
        if (single && (state & LVIS_SELECTED)) mask &= ~LVIS_SELECTED;
        for (int k = 0; (s = Lv(hwnd)) && k < s->Count(); ++k) ChangeState(hwnd, k, state, mask);
        return true;
    }
    if (!s->Valid(i)) return false;
    UINT exclusive = 0;
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED)) exclusive |= LVIS_FOCUSED;
    if (single && (mask & LVIS_SELECTED) && (state & LVIS_SELECTED)) exclusive |= LVIS_SELECTED;
    if (exclusive) ClearOthers(hwnd, i, exclusive);
    return ChangeState(hwnd, i, state, mask);
}

// The user picks one item: it alone is selected and focused, and becomes the selection mark.
void SelectOnly(HWND hwnd, int i)
{
    ClearOthers(hwnd, i, LVIS_SELECTED);
    SetItemState(hwnd, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (ListViewState *s = Lv(hwnd)) s->mark = i;
}

int HitTest(HWND hwnd, POINT pt, UINT *flags, int *subItem)
{
    ListViewState *s = Lv(hwnd);
    Metrics m = MetricsOf(hwnd);
    *flags = LVHT_NOWHERE;
    if (subItem) *subItem = -1;
    if (!s || pt.y < m.header || pt.x < 0) return -1;
    int i = s->top + (pt.y - m.header) / m.row;
    if (!s->Valid(i)) return -1;
    if (IsReport(hwnd)) {
        int sub = -1;
        for (int c = 0, x = 0; c < static_cast<int>(s->columns.size()); x += s->columns[static_cast<size_t>(c)].cx, ++c)
            if (pt.x >= x && pt.x < x + s->columns[static_cast<size_t>(c)].cx) sub = c;
        if (subItem) *subItem = sub;
        // Without LVS_EX_FULLROWSELECT only the first column belongs to the item.
        if (sub < 0 || (sub > 0 && !(s->exStyle & LVS_EX_FULLROWSELECT))) return subItem && sub >= 0 ? i : -1;
    }
    *flags = LVHT_ONITEMLABEL;
    return i;
}

void NotifyActivate(HWND hwnd, UINT code, int item, int sub, POINT pt, UINT keys)
{
    NMITEMACTIVATE nm{};
    nm.iItem = item;
    nm.iSubItem = sub < 0 ? 0 : sub;
    nm.ptAction = pt;
    if (ListViewState *s = Lv(hwnd); s && s->Valid(item)) nm.lParam = s->items[static_cast<size_t>(item)].param;
    nm.uKeyFlags = keys;
    NotifyParentHdr(hwnd, &nm.hdr, code);
}

UINT KeyFlags(WPARAM mouseKeys)
{
    UINT k = 0;
    if (mouseKeys & MK_SHIFT) k |= 0x0004; // LVKF_SHIFT
    if (mouseKeys & MK_CONTROL) k |= 0x0002; // LVKF_CONTROL
    return k;
}

void Click(HWND hwnd, WPARAM keys, LPARAM lParam, bool right)
{
    if (GetFocus() != hwnd) SetFocus(hwnd);
    POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    UINT flags;
    int sub;
    int i = HitTest(hwnd, pt, &flags, &sub);
    if (!(flags & LVHT_ONITEM)) i = -1;
    ListViewState *s = Lv(hwnd);
    if (!s) return;
    bool multi = !(StyleOf(hwnd) & LVS_SINGLESEL);
    if (i < 0) {
        // A click on empty space clears the selection (not with Control held, and a right click keeps it).
        if (!right && !(keys & MK_CONTROL)) SetItemState(hwnd, -1, 0, LVIS_SELECTED);
    } else if (multi && (keys & MK_CONTROL) && !right) {
        UINT selected = s->items[static_cast<size_t>(i)].state & LVIS_SELECTED;
        SetItemState(hwnd, i, LVIS_FOCUSED | (selected ? 0 : LVIS_SELECTED), LVIS_FOCUSED | LVIS_SELECTED);
        if ((s = Lv(hwnd))) s->mark = i;
    } else if (multi && (keys & MK_SHIFT) && !right && s->mark >= 0) {
        int a = std::min(s->mark, i), b = std::max(s->mark, i), mark = s->mark;
        for (int k = 0; (s = Lv(hwnd)) && k < s->Count(); ++k)
            if (k < a || k > b) ChangeState(hwnd, k, 0, LVIS_SELECTED);
        for (int k = a; k <= b; ++k) SetItemState(hwnd, k, LVIS_SELECTED, LVIS_SELECTED);
        SetItemState(hwnd, i, LVIS_FOCUSED, LVIS_FOCUSED);
        if ((s = Lv(hwnd))) s->mark = mark;
    } else if (!right || !(s->items[static_cast<size_t>(i)].state & LVIS_SELECTED)) {
        SelectOnly(hwnd, i);
    }
    if (!Lv(hwnd)) return;
    NotifyActivate(hwnd, right ? NM_RCLICK : NM_CLICK, i, sub, pt, KeyFlags(keys));
}

void KeyDown(HWND hwnd, WPARAM key)
{
    NMLVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(key);
    NotifyParentHdr(hwnd, &nm.hdr, LVN_KEYDOWN);
    ListViewState *s = Lv(hwnd);
    if (!s || s->items.empty()) return;
    int focus = -1;
    for (int k = 0; k < s->Count(); ++k)
        if (s->items[static_cast<size_t>(k)].state & LVIS_FOCUSED) focus = k;
    RECT client;
    GetClientRect(hwnd, &client);
    Metrics m = MetricsOf(hwnd);
    int page = std::max(1, (client.bottom - m.header) / m.row);
    int next = focus;
    switch (key) {
    case VK_DOWN: next = focus < 0 ? 0 : std::min(s->Count() - 1, focus + 1); break;
    case VK_UP: next = focus < 0 ? 0 : std::max(0, focus - 1); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = s->Count() - 1; break;
    case VK_NEXT: next = std::min(s->Count() - 1, std::max(focus, 0) + page); break;
    case VK_PRIOR: next = std::max(0, focus - page); break;
    case VK_SPACE:
        if (focus >= 0) SetItemState(hwnd, focus, LVIS_SELECTED, LVIS_SELECTED);
        return;
    default: return;
    }
    if (next < 0) return;
    SelectOnly(hwnd, next);
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(next), FALSE);
}

COLORREF Pick(COLORREF c, int sys) { return c == CLR_DEFAULT ? GetSysColor(sys) : c; }

void FillColour(HDC dc, const RECT &r, COLORREF c)
{
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void DrawCellText(HDC dc, const U16 &text, RECT r, int fmt)
{
    r.left += 6;
    r.right -= 6;
    if (r.right <= r.left || text.empty()) return;
    UINT align = (fmt & LVCFMT_RIGHT) ? DT_RIGHT : (fmt & LVCFMT_CENTER) ? DT_CENTER : DT_LEFT;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawListView(HWND hwnd, HDC dc, const RECT &rc)
{
    ListViewState *s = Lv(hwnd);
    if (!s) return;
    DWORD style = StyleOf(hwnd);
    bool report = IsReport(hwnd);
    Metrics m = MetricsOf(hwnd);
    bool enabled = IsWindowEnabled(hwnd);
    COLORREF bk = enabled ? Pick(s->bk, COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
    if (s->bk != CLR_NONE) FillColour(dc, rc, bk);
    HFONT font = FontOf(hwnd);
    HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);

    if (report && m.header) {
        RECT band{rc.left, 0, rc.right, m.header};
        FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        int x = 0;
        for (const Column &c : s->columns) {
            RECT cell{x, 0, x + c.cx, m.header};
            DrawEdge(dc, &cell, EDGE_RAISED, BF_RECT | BF_SOFT);
            DrawCellText(dc, c.text, cell, c.fmt);
            x += c.cx;
        }
        RECT rest{x, 0, std::max(x, static_cast<int>(rc.right)), m.header};
        if (rest.right > rest.left) DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_SOFT);
    }

    bool showSel = s->focused || (style & LVS_SHOWSELALWAYS);
    bool full = report && (s->exStyle & LVS_EX_FULLROWSELECT);
    for (int i = s->top; i < s->Count(); ++i) {
        RECT row = RowRect(hwnd, s, i, m);
        if (row.top >= rc.bottom) break;
        const Item &it = s->items[static_cast<size_t>(i)];
        bool lit = (it.state & LVIS_SELECTED) && showSel && enabled;
        COLORREF litColour = GetSysColor(s->focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        COLORREF litText = GetSysColor(s->focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        COLORREF text = enabled ? Pick(s->text, COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
        int columns = report ? static_cast<int>(s->columns.size()) : 1;
        for (int c = 0, x = 0; c < columns; ++c) {
            const Column *col = report ? &s->columns[static_cast<size_t>(c)] : nullptr;
            int cx = col ? col->cx : row.right - row.left;
            RECT cell{x, row.top, x + cx, row.bottom};
            const U16 &label = it.Text(col ? col->subItem : 0);
            bool paintLit = lit && (full || c == 0);
            if (paintLit) {
                RECT sel = cell;
                // Without full-row selection only the label of the first column is highlighted.
                if (!full) sel.right = std::min<LONG>(cell.right, cell.left + TextWidth(hwnd, label) + 12);
                FillColour(dc, sel, litColour);
            }
            SetTextColor(dc, paintLit ? litText : text);
            DrawCellText(dc, label, cell, col ? col->fmt : LVCFMT_LEFT);
            x += cx;
        }
        if (report && (s->exStyle & LVS_EX_GRIDLINES)) {
            RECT line{0, row.bottom - 1, std::max<LONG>(row.right, rc.right), row.bottom};
            FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        }
        if (s->focused && (it.state & LVIS_FOCUSED)) {
            RECT f = full ? row : LabelRect(hwnd, s, i, m);
            DrawFocusRect(dc, &f);
        }
    }
    if (report && (s->exStyle & LVS_EX_GRIDLINES)) {
        int x = 0;
        for (const Column &c : s->columns) {
            x += c.cx;
            RECT line{x - 1, m.header, x, rc.bottom};
            FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    if (oldFont) SelectObject(dc, oldFont);
}

// Copies an LVCOLUMNW's fields in; the text is stored.
void ReadColumn(Column &c, const LVCOLUMNW *col)
{
    if (col->mask & LVCF_FMT) c.fmt = col->fmt;
    if (col->mask & LVCF_WIDTH) c.cx = std::max(0, col->cx);
    if ((col->mask & LVCF_TEXT) && col->pszText) c.text = ToU16(col->pszText);
    if (col->mask & LVCF_SUBITEM) c.subItem = col->iSubItem;
}

void InvalidateAll(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

LRESULT InsertItem(HWND hwnd, ListViewState *s, const LVITEMW *item)
{
    if (!item || item->iSubItem != 0 || item->iItem < 0) return -1;
    Item it;
    it.texts.resize(1);
    if ((item->mask & LVIF_TEXT) && item->pszText && item->pszText != LPSTR_TEXTCALLBACKW) it.texts[0] = item->pszText;
    if (item->mask & LVIF_PARAM) it.param = item->lParam;
    if (item->mask & LVIF_STATE) it.state = item->state & item->stateMask & kStateBits;
    int i = std::min(item->iItem, s->Count());
    s->items.insert(s->items.begin() + i, std::move(it));
    if (s->mark >= i) ++s->mark;
    InvalidateAll(hwnd);
    NotifyItem(hwnd, LVN_INSERTITEM, i, 0, 0, 0, 0);
    // The new item takes the focus, or the single selection, from the others.
    s = Lv(hwnd);
    if (!s || !s->Valid(i)) return i;
    UINT state = s->items[static_cast<size_t>(i)].state;
    UINT exclusive = (state & LVIS_FOCUSED) | ((StyleOf(hwnd) & LVS_SINGLESEL) ? (state & LVIS_SELECTED) : 0);
    if (exclusive) ClearOthers(hwnd, i, exclusive);
    return i;
}

// LVM_SETITEMW: sub-item text alone changes silently; the item's own fields are notified as one change.
BOOL SetItem(HWND hwnd, ListViewState *s, const LVITEMW *item)
{
    if (!item || !s->Valid(item->iItem) || item->iSubItem < 0) return FALSE;
    int i = item->iItem;
    if (item->iSubItem > 0) {
        if (!(item->mask & LVIF_TEXT)) return TRUE;
        auto &texts = s->items[static_cast<size_t>(i)].texts;
        if (static_cast<int>(texts.size()) <= item->iSubItem) texts.resize(static_cast<size_t>(item->iSubItem) + 1);
        texts[static_cast<size_t>(item->iSubItem)] = ToU16(item->pszText == LPSTR_TEXTCALLBACKW ? nullptr : item->pszText);
        InvalidateAll(hwnd);
        return TRUE;
    }
    Item &it = s->items[static_cast<size_t>(i)];
    UINT changed = 0;
    U16 text = it.Text(0);
    if (item->mask & LVIF_TEXT) {
        U16 next = ToU16(item->pszText == LPSTR_TEXTCALLBACKW ? nullptr : item->pszText);
        if (next != text) changed |= LVIF_TEXT, text = next;
    }
    LPARAM param = it.param;
    if ((item->mask & LVIF_PARAM) && item->lParam != it.param) changed |= LVIF_PARAM, param = item->lParam;
    if (changed) {
        if (NotifyItem(hwnd, LVN_ITEMCHANGING, i, 0, 0, changed, it.param)) return FALSE;
        if (!(s = Lv(hwnd)) || !s->Valid(i)) return FALSE;
        Item &now = s->items[static_cast<size_t>(i)];
        now.texts.resize(std::max<size_t>(now.texts.size(), 1));
        now.texts[0] = text;
        now.param = param;
        InvalidateAll(hwnd);
        NotifyItem(hwnd, LVN_ITEMCHANGED, i, 0, 0, changed, param);
    }
    if (item->mask & LVIF_STATE) return SetItemState(hwnd, i, item->state, item->stateMask) ? TRUE : FALSE;
    return TRUE;
}

BOOL GetItem(const ListViewState *s, LVITEMW *item)
{
    if (!item || !s->Valid(item->iItem) || item->iSubItem < 0) return FALSE;
    const Item &it = s->items[static_cast<size_t>(item->iItem)];
    if ((item->mask & LVIF_TEXT) && item->pszText) CopyOut(it.Text(item->iSubItem), item->pszText, item->cchTextMax);
    if (item->iSubItem == 0) {
        if (item->mask & LVIF_PARAM) item->lParam = it.param;
        if (item->mask & LVIF_STATE) item->state = it.state & item->stateMask;
    }
    return TRUE;
}

bool Matches(const Item &it, const LVFINDINFOW *info)
{
    if (info->flags & LVFI_PARAM) return it.param == info->lParam;
    if (!(info->flags & (LVFI_STRING | LVFI_PARTIAL)) || !info->psz) return false;
    U16 want = ToU16(info->psz);
    const U16 &have = it.Text(0);
    if (info->flags & LVFI_PARTIAL) return have.size() >= want.size() && EqualNoCase(have.substr(0, want.size()), want);
    return EqualNoCase(have, want);
}

// Starts after `start` (-1: from the first item); LVFI_WRAP continues from the top.
int FindItem(const ListViewState *s, int start, const LVFINDINFOW *info)
{
    if (!info) return -1;
    int n = s->Count();
    int first = start < 0 ? 0 : start + 1;
    for (int i = first; i < n; ++i)
        if (Matches(s->items[static_cast<size_t>(i)], info)) return i;
    if ((info->flags & LVFI_WRAP) && start >= 0)
        for (int i = 0; i <= std::min(start, n - 1); ++i)
            if (Matches(s->items[static_cast<size_t>(i)], info)) return i;
    return -1;
}

// The next item after `start` (before it with LVNI_ABOVE) that has every state the flags ask for.
int NextItem(const ListViewState *s, int start, UINT flags)
{
    UINT want = (flags & LVNI_SELECTED ? LVIS_SELECTED : 0) | (flags & LVNI_FOCUSED ? LVIS_FOCUSED : 0);
    int step = (flags & LVNI_ABOVE) ? -1 : 1;
    if (step < 0 && start < 0) return -1;
    for (int i = start + step; i >= 0 && i < s->Count(); i += step)
        if ((s->items[static_cast<size_t>(i)].state & want) == want) return i;
    return -1;
}

void DeleteAt(HWND hwnd, int i)
{
    ListViewState *s = Lv(hwnd);
    if (!s || !s->Valid(i)) return;
    s->items.erase(s->items.begin() + i);
    if (s->mark == i) s->mark = -1;
    else if (s->mark > i) --s->mark;
    s->top = std::max(0, std::min(s->top, s->Count() - 1));
    InvalidateAll(hwnd);
}

} // namespace

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    if (!w->control) w->control = std::make_unique<ListViewState>();
    auto *s = static_cast<ListViewState *>(w->control.get());
    int i = static_cast<int>(wParam);
    switch (msg) {
    case LVM_GETITEMCOUNT: return s->Count();
    case LVM_INSERTITEMW: return InsertItem(hwnd, s, reinterpret_cast<const LVITEMW *>(lParam));
    case LVM_SETITEMW: return SetItem(hwnd, s, reinterpret_cast<const LVITEMW *>(lParam));
    case LVM_GETITEMW: return GetItem(s, reinterpret_cast<LVITEMW *>(lParam));
    // The sub-item is the record's iSubItem; an item that does not exist leaves the buffer untouched and gives 0.
    case LVM_GETITEMTEXTW: {
        auto *item = reinterpret_cast<LVITEMW *>(lParam);
        if (!item || !s->Valid(i) || !item->pszText) return 0;
        return CopyOut(s->items[static_cast<size_t>(i)].Text(item->iSubItem), item->pszText, item->cchTextMax);
    }
    case LVM_SETITEMTEXTW: {
        auto *item = reinterpret_cast<const LVITEMW *>(lParam);
        if (!item || !s->Valid(i)) return FALSE;
        LVITEMW set = *item;
        set.mask = LVIF_TEXT;
        set.iItem = i;
        return SetItem(hwnd, s, &set);
    }
    // Each deletion is reported with LVN_DELETEITEM before the item goes.
    case LVM_DELETEITEM: {
        if (!s->Valid(i)) return FALSE;
        NotifyItem(hwnd, LVN_DELETEITEM, i, 0, 0, 0, s->items[static_cast<size_t>(i)].param);
        DeleteAt(hwnd, i);
        return TRUE;
    }
    // LVN_DELETEALLITEMS first; unless the parent answers TRUE, every item is also reported with LVN_DELETEITEM.
    case LVM_DELETEALLITEMS: {
        if (s->items.empty()) return TRUE;
        bool quiet = NotifyItem(hwnd, LVN_DELETEALLITEMS, -1, 0, 0, 0, 0) != 0;
        if (!quiet)
            for (int k = 0; (s = Lv(hwnd)) && k < s->Count(); ++k)
                NotifyItem(hwnd, LVN_DELETEITEM, k, 0, 0, 0, s->items[static_cast<size_t>(k)].param);
        if ((s = Lv(hwnd))) {
            s->items.clear();
            s->mark = -1;
            s->top = 0;
            InvalidateAll(hwnd);
        }
        return TRUE;
    }
    case LVM_FINDITEMW: return FindItem(s, i, reinterpret_cast<const LVFINDINFOW *>(lParam));
    case LVM_SETITEMSTATE: {
        auto *item = reinterpret_cast<const LVITEMW *>(lParam);
        if (!item) return FALSE;
        return SetItemState(hwnd, i, item->state, item->stateMask) ? TRUE : FALSE;
    }
    case LVM_GETITEMSTATE: return s->Valid(i) ? (s->items[static_cast<size_t>(i)].state & static_cast<UINT>(lParam)) : 0;
    case LVM_GETNEXTITEM: return NextItem(s, i, LOWORD(lParam));
    case LVM_GETSELECTEDCOUNT:
        return std::count_if(s->items.begin(), s->items.end(), [](const Item &it) { return it.state & LVIS_SELECTED; });
    case LVM_GETSELECTIONMARK: return s->mark;
    case LVM_SETSELECTIONMARK: return std::exchange(s->mark, static_cast<int>(lParam));
    // The mask (0: every bit) says which extended styles change; returns the previous ones.
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        DWORD old = s->exStyle;
        DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        s->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        InvalidateAll(hwnd);
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return s->exStyle;
    // Inserted at the index, or appended when it lies beyond the last column; returns the index or -1.
    case LVM_INSERTCOLUMNW: {
        auto *col = reinterpret_cast<const LVCOLUMNW *>(lParam);
        if (!col || i < 0) return -1;
        Column c;
        c.subItem = i;
        ReadColumn(c, col);
        int at = std::min(i, static_cast<int>(s->columns.size()));
        s->columns.insert(s->columns.begin() + at, c);
        InvalidateAll(hwnd);
        return at;
    }
    case LVM_DELETECOLUMN:
        if (i < 0 || i >= static_cast<int>(s->columns.size())) return FALSE;
        s->columns.erase(s->columns.begin() + i);
        InvalidateAll(hwnd);
        return TRUE;
    case LVM_SETCOLUMNW: {
        auto *col = reinterpret_cast<const LVCOLUMNW *>(lParam);
        if (!col || i < 0 || i >= static_cast<int>(s->columns.size())) return FALSE;
        ReadColumn(s->columns[static_cast<size_t>(i)], col);
        InvalidateAll(hwnd);
        return TRUE;
    }
    case LVM_GETCOLUMNW: {
        auto *col = reinterpret_cast<LVCOLUMNW *>(lParam);
        if (!col || i < 0 || i >= static_cast<int>(s->columns.size())) return FALSE;
        const Column &c = s->columns[static_cast<size_t>(i)];
        if (col->mask & LVCF_FMT) col->fmt = c.fmt;
        if (col->mask & LVCF_WIDTH) col->cx = c.cx;
        if ((col->mask & LVCF_TEXT) && col->pszText) CopyOut(c.text, col->pszText, col->cchTextMax);
        if (col->mask & LVCF_SUBITEM) col->iSubItem = c.subItem;
        return TRUE;
    }
    case LVM_GETCOLUMNWIDTH:
        return i >= 0 && i < static_cast<int>(s->columns.size()) ? s->columns[static_cast<size_t>(i)].cx : 0;
    // LVSCW_AUTOSIZE fits the widest text of the column; LVSCW_AUTOSIZE_USEHEADER also its title, and the last
    // column then fills the rest of the client area.
    case LVM_SETCOLUMNWIDTH: {
        if (i < 0 || i >= static_cast<int>(s->columns.size())) return FALSE;
        int cx = static_cast<SHORT>(LOWORD(lParam));
        Column &c = s->columns[static_cast<size_t>(i)];
        if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER) {
            int widest = cx == LVSCW_AUTOSIZE_USEHEADER ? TextWidth(hwnd, c.text) + 12 : 0;
            for (const Item &it : s->items) widest = std::max(widest, TextWidth(hwnd, it.Text(c.subItem)) + 12);
            if (cx == LVSCW_AUTOSIZE_USEHEADER && i + 1 == static_cast<int>(s->columns.size())) {
                RECT client;
                GetClientRect(hwnd, &client);
                widest = std::max(widest, static_cast<int>(client.right) - ColumnLeft(s, i));
            }
            cx = widest;
        }
        c.cx = std::max(0, cx);
        InvalidateAll(hwnd);
        return TRUE;
    }
    case LVM_GETHEADER: return 0;
    case LVM_GETITEMRECT: {
        auto *r = reinterpret_cast<RECT *>(lParam);
        if (!r || !s->Valid(i)) return FALSE;
        Metrics m = MetricsOf(hwnd);
        switch (r->left) {
        case LVIR_BOUNDS: *r = RowRect(hwnd, s, i, m); break;
        case LVIR_ICON: *r = LabelRect(hwnd, s, i, m), r->right = r->left; break;
        case LVIR_LABEL: *r = LabelRect(hwnd, s, i, m); break;
        case LVIR_SELECTBOUNDS:
            *r = (s->exStyle & LVS_EX_FULLROWSELECT) ? RowRect(hwnd, s, i, m) : LabelRect(hwnd, s, i, m);
            break;
        default: return FALSE;
        }
        return TRUE;
    }
    case LVM_GETSUBITEMRECT: {
        auto *r = reinterpret_cast<RECT *>(lParam);
        if (!r || !s->Valid(i) || r->top < 0 || r->top >= static_cast<LONG>(std::max<size_t>(s->columns.size(), 1)))
            return FALSE;
        Metrics m = MetricsOf(hwnd);
        int c = r->top;
        RECT row = RowRect(hwnd, s, i, m);
        if (c == 0 && r->left == LVIR_BOUNDS) {
            *r = row;
            return TRUE;
        }
        int left = ColumnLeft(s, c);
        int cx = s->columns.empty() ? row.right : s->columns[static_cast<size_t>(c)].cx;
        *r = RECT{left, row.top, left + cx, row.bottom};
        return TRUE;
    }
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
        auto *info = reinterpret_cast<LVHITTESTINFO *>(lParam);
        if (!info) return -1;
        int sub = -1;
        int item = HitTest(hwnd, info->pt, &info->flags, msg == LVM_SUBITEMHITTEST ? &sub : nullptr);
        info->iItem = item;
        if (msg == LVM_SUBITEMHITTEST) {
            info->iSubItem = sub;
            if (item >= 0 && sub >= 0) info->flags = LVHT_ONITEMLABEL;
        }
        return item;
    }
    // Scrolls the least needed to bring the item into view.
    case LVM_ENSUREVISIBLE: {
        if (!s->Valid(i)) return FALSE;
        RECT client;
        GetClientRect(hwnd, &client);
        Metrics m = MetricsOf(hwnd);
        int page = std::max(1, static_cast<int>(client.bottom - m.header) / m.row);
        if (i < s->top) s->top = i;
        else if (i >= s->top + page) s->top = i - page + 1;
        InvalidateAll(hwnd);
        return TRUE;
    }
    case LVM_GETTOPINDEX: return s->top;
    case LVM_GETCOUNTPERPAGE: {
        RECT client;
        GetClientRect(hwnd, &client);
        Metrics m = MetricsOf(hwnd);
        return std::max(0, static_cast<int>(client.bottom - m.header) / m.row);
    }
    case LVM_REDRAWITEMS: InvalidateAll(hwnd); return TRUE;
    case LVM_SETITEMCOUNT: s->items.reserve(static_cast<size_t>(std::max(0, i))); return TRUE;
    case LVM_GETSTRINGWIDTHW: return lParam ? TextWidth(hwnd, ToU16(reinterpret_cast<LPCWSTR>(lParam))) : 0;
    case LVM_GETBKCOLOR: return Pick(s->bk, COLOR_WINDOW);
    case LVM_SETBKCOLOR: s->bk = static_cast<COLORREF>(lParam); InvalidateAll(hwnd); return TRUE;
    case LVM_SETTEXTCOLOR: s->text = static_cast<COLORREF>(lParam); InvalidateAll(hwnd); return TRUE;
    case LVM_SETTEXTBKCOLOR: s->textBk = static_cast<COLORREF>(lParam); InvalidateAll(hwnd); return TRUE;
    case WM_LBUTTONDOWN: Click(hwnd, wParam, lParam, false); return 0;
    case WM_RBUTTONDOWN: Click(hwnd, wParam, lParam, true); return 0;
    // A double click reports NM_DBLCLK, and LVN_ITEMACTIVATE when it lands on an item.
    case WM_LBUTTONDBLCLK: {
        POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        UINT flags;
        int sub;
        int item = HitTest(hwnd, pt, &flags, &sub);
        if (!(flags & LVHT_ONITEM)) item = -1;
        NotifyActivate(hwnd, NM_DBLCLK, item, sub, pt, KeyFlags(wParam));
        if (item >= 0 && Lv(hwnd)) NotifyActivate(hwnd, LVN_ITEMACTIVATE, item, sub, pt, KeyFlags(wParam));
        return 0;
    }
    case WM_KEYDOWN: KeyDown(hwnd, wParam); return 0;
    case WM_SETFOCUS: {
        s->focused = true;
        InvalidateAll(hwnd);
        NMHDR hdr{};
        NotifyParentHdr(hwnd, &hdr, NM_SETFOCUS);
        return 0;
    }
    case WM_KILLFOCUS: {
        s->focused = false;
        InvalidateAll(hwnd);
        NMHDR hdr{};
        NotifyParentHdr(hwnd, &hdr, NM_KILLFOCUS);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ENABLE: InvalidateAll(hwnd); return 0;
    // The items go with the window, each reported as on LVM_DELETEALLITEMS.
    case WM_DESTROY: SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0); return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: return PaintMessage(hwnd, msg, wParam, DrawListView);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace zep::user
