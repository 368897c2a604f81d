// Property sheets: page records, the sheet dialog with its pages and buttons, PSN_ notifications and PSM_ messages.
#include "user/wnd.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace zep::user {
namespace {

constexpr int kApplyId = 0x3021;

// What a HPROPSHEETPAGE stands for: the caller's PROPSHEETPAGEW copied whole (dwSize bytes, so data a caller
// appends to the record travels with it), with the strings it points to owned here.
struct PageRecord {
    std::vector<BYTE> raw;
    U16 templateName;
    U16 title;
    PROPSHEETPAGEW *Page() { return reinterpret_cast<PROPSHEETPAGEW *>(raw.data()); }
};

std::map<HPROPSHEETPAGE, std::unique_ptr<PageRecord>> &Pages()
{
    static std::map<HPROPSHEETPAGE, std::unique_ptr<PageRecord>> pages;
    return pages;
}

PageRecord *Record(HPROPSHEETPAGE h)
{
    auto it = Pages().find(h);
    return it == Pages().end() ? nullptr : it->second.get();
}

// Tells the page it goes (PSPCB_RELEASE, the parent's reference count) and frees it.
void ReleaseRecord(HPROPSHEETPAGE h)
{
    PageRecord *r = Record(h);
    if (!r) return;
    PROPSHEETPAGEW *p = r->Page();
    if ((p->dwFlags & PSP_USECALLBACK) && p->pfnCallback) p->pfnCallback(nullptr, PSPCB_RELEASE, p);
    if ((p->dwFlags & PSP_USEREFPARENT) && p->pcRefParent) --*p->pcRefParent;
    Pages().erase(h);
}

// Length of a classic or extended dialog template, read the way the dialog manager reads it.
class TemplateWalker {
public:
    explicit TemplateWalker(const BYTE *p) : base_(p), p_(p) {}
    size_t Size()
    {
        bool ex = Word(0) == 1 && Word(2) == 0xFFFF;
        DWORD style;
        WORD count;
        if (ex) {
            style = Dword(12);
            count = Word(16);
            p_ += 26;
        } else {
            style = Dword(0);
            count = Word(8);
            p_ += 18;
        }
        SkipNameOrOrdinal(); // menu
        SkipNameOrOrdinal(); // class
        SkipString(); // caption
        if (style & (DS_SETFONT | DS_SHELLFONT)) {
            p_ += ex ? 6 : 2;
            SkipString();
        }
        for (WORD i = 0; i < count; ++i) {
            Align();
            p_ += ex ? 24 : 18;
            SkipNameOrOrdinal(); // class
            SkipNameOrOrdinal(); // title
            WORD extra = Word(0);
            p_ += 2 + extra;
        }
        return static_cast<size_t>(p_ - base_);
    }

private:
    WORD Word(size_t at) const
    {
        WORD v;
        std::memcpy(&v, p_ + at, 2);
        return v;
    }
    DWORD Dword(size_t at) const
    {
        DWORD v;
        std::memcpy(&v, p_ + at, 4);
        return v;
    }
    void SkipString()
    {
        while (Word(0)) p_ += 2;
        p_ += 2;
    }
    void SkipNameOrOrdinal()
    {
        if (Word(0) == 0xFFFF) p_ += 4;
        else SkipString();
    }
    void Align() { p_ += (4 - static_cast<size_t>(p_ - base_) % 4) % 4; }
    const BYTE *base_;
    const BYTE *p_;
};

// The fields of a template the sheet needs: where its style is, its size and caption.
struct TemplateInfo {
    size_t styleAt = 0;
    short cx = 0, cy = 0;
    U16 caption;
};
TemplateInfo ReadTemplateInfo(const BYTE *t)
{
    TemplateInfo info;
    WORD w[2];
    std::memcpy(w, t, 4);
    bool ex = w[0] == 1 && w[1] == 0xFFFF;
    info.styleAt = ex ? 12 : 0;
    const BYTE *p = t + (ex ? 18 : 10);
    std::memcpy(&info.cx, p + 4, 2);
    std::memcpy(&info.cy, p + 6, 2);
    p += 8;
    for (int k = 0; k < 2; ++k) { // menu, class
        WORD first;
        std::memcpy(&first, p, 2);
        if (first == 0xFFFF) p += 4;
        else {
            for (WORD c; std::memcpy(&c, p, 2), p += 2, c;) {
            }
        }
    }
    for (WORD c; std::memcpy(&c, p, 2), p += 2, c;) info.caption.push_back(static_cast<char16_t>(c));
    return info;
}

// A page in a sheet: its record, its template as the page is created from it, and its window once made.
struct SheetEntry {
    HPROPSHEETPAGE handle = nullptr;
    std::vector<BYTE> dialog;
    short cx = 0, cy = 0;
    U16 title;
    HWND hwnd = nullptr;
    bool changed = false;
};

struct SheetState : ControlState {
    DWORD flags = 0;
    HINSTANCE instance = nullptr;
    PFNPROPSHEETCALLBACK callback = nullptr;
    std::vector<SheetEntry> pages;
    int start = 0;
    int current = -1;
    bool ended = false;
    bool applied = false;
    INT_PTR restart = 0;
    RECT frame{}; // the tab frame, pixels
    RECT pageArea{};
    int tabHeight = 0;
    ~SheetState() override
    {
        // Normally released at WM_NCDESTROY; this only frees what a failed creation left.
        for (auto &e : pages) Pages().erase(e.handle);
    }
    INT_PTR Result() const { return applied ? (restart ? restart : 1) : 0; }
};

SheetState *SheetOf(HWND sheet) { return State<SheetState>(sheet); }

// Loads the page's template and title; false when the template cannot be found.
bool Collect(SheetEntry &e)
{
    PageRecord *r = Record(e.handle);
    if (!r) return false;
    PROPSHEETPAGEW *p = r->Page();
    const BYTE *t = nullptr;
    size_t size = 0;
    if (p->dwFlags & PSP_DLGINDIRECT) {
        t = reinterpret_cast<const BYTE *>(p->pResource);
        if (t) size = TemplateWalker(t).Size();
    } else {
        HRSRC res = FindResourceW(p->hInstance, p->pszTemplate, RT_DIALOG);
        HGLOBAL data = res ? LoadResource(p->hInstance, res) : nullptr;
        t = data ? static_cast<const BYTE *>(LockResource(data)) : nullptr;
        if (t) size = SizeofResource(p->hInstance, res);
    }
    if (!t || size < 18) return false;
    e.dialog.assign(t, t + size);
    TemplateInfo info = ReadTemplateInfo(e.dialog.data());
    // A page is a control of the sheet: no frame or caption of its own, hidden until it is selected.
    DWORD style;
    std::memcpy(&style, e.dialog.data() + info.styleAt, 4);
    style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_DISABLED | WS_VISIBLE);
    style |= WS_CHILD | WS_TABSTOP | DS_3DLOOK | DS_CONTROL;
    std::memcpy(e.dialog.data() + info.styleAt, &style, 4);
    e.cx = info.cx, e.cy = info.cy;
    e.title = info.caption;
    if (p->dwFlags & PSP_USETITLE) {
        if (IS_INTRESOURCE(p->pszTitle)) {
            WCHAR buf[256];
            int n = LoadStringW(p->hInstance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(p->pszTitle)), buf, 256);
            e.title = U16(buf, static_cast<size_t>(std::max(n, 0)));
        } else {
            e.title = ToU16(p->pszTitle);
        }
    }
    return true;
}

LRESULT Notify(HWND sheet, HWND page, UINT code, LPARAM param = 0)
{
    if (!page || !IsWindow(page)) return 0;
    PSHNOTIFY nm{};
    nm.hdr.hwndFrom = sheet;
    nm.hdr.idFrom = 0;
    nm.hdr.code = code;
    nm.lParam = param;
    return SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
}

HWND PageHwnd(HWND sheet, int index)
{
    SheetState *s = SheetOf(sheet);
    return s && index >= 0 && index < static_cast<int>(s->pages.size()) ? s->pages[static_cast<size_t>(index)].hwnd
                                                                         : nullptr;
}

// Creates the page's dialog on first use, after PSPCB_CREATE agrees; WM_INITDIALOG gets the page record.
bool EnsurePage(HWND sheet, int index)
{
    SheetState *s = SheetOf(sheet);
    if (!s || index < 0 || index >= static_cast<int>(s->pages.size())) return false;
    if (s->pages[static_cast<size_t>(index)].hwnd) return true;
    HPROPSHEETPAGE handle = s->pages[static_cast<size_t>(index)].handle;
    PageRecord *r = Record(handle);
    if (!r) return false;
    PROPSHEETPAGEW *p = r->Page();
    if ((p->dwFlags & PSP_USECALLBACK) && p->pfnCallback && !p->pfnCallback(nullptr, PSPCB_CREATE, p)) return false;
    if (!(s = SheetOf(sheet)) || index >= static_cast<int>(s->pages.size())) return false;
    std::vector<BYTE> dialog = s->pages[static_cast<size_t>(index)].dialog;
    RECT area = s->pageArea;
    HWND page = CreateDialogIndirectParamW(p->hInstance, reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), sheet,
                                           p->pfnDlgProc, reinterpret_cast<LPARAM>(p));
    if (!page) return false;
    if (!(s = SheetOf(sheet)) || index >= static_cast<int>(s->pages.size())) return false;
    s->pages[static_cast<size_t>(index)].hwnd = page;
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE | SWP_NOREDRAW);
    return true;
}

// Shows `index` in place of the current page, without notifications.
void ShowPage(HWND sheet, int index)
{
    SheetState *s = SheetOf(sheet);
    if (!s) return;
    HWND old = PageHwnd(sheet, s->current);
    HWND next = PageHwnd(sheet, index);
    s->current = index;
    if (next) ShowWindow(next, SW_SHOW);
    if (old && old != next) ShowWindow(old, SW_HIDE);
    InvalidateRect(sheet, nullptr, TRUE);
}

// PSN_KILLACTIVE to the current page (which may refuse with TRUE), then PSN_SETACTIVE to the new one.
bool SetCurSel(HWND sheet, int index)
{
    SheetState *s = SheetOf(sheet);
    if (!s || index < 0 || index >= static_cast<int>(s->pages.size())) return false;
    if (HWND old = PageHwnd(sheet, s->current); old && Notify(sheet, old, PSN_KILLACTIVE)) return false;
    if (!EnsurePage(sheet, index)) return false;
    Notify(sheet, PageHwnd(sheet, index), PSN_SETACTIVE);
    if (!SheetOf(sheet)) return false;
    ShowPage(sheet, index);
    return true;
}

void UpdateApply(HWND sheet)
{
    SheetState *s = SheetOf(sheet);
    if (!s) return;
    bool any = std::any_of(s->pages.begin(), s->pages.end(), [](const SheetEntry &e) { return e.changed; });
    if (HWND apply = GetDlgItem(sheet, kApplyId)) EnableWindow(apply, any);
}

// PSN_KILLACTIVE to the current page, then PSN_APPLY to every page made so far, in order. A page answering
// PSNRET_INVALID is brought to the front; PSNRET_INVALID_NOCHANGEPAGE keeps the current page.
bool Apply(HWND sheet, bool closing)
{
    SheetState *s = SheetOf(sheet);
    if (!s) return false;
    if (HWND cur = PageHwnd(sheet, s->current); cur && Notify(sheet, cur, PSN_KILLACTIVE)) return false;
    for (size_t k = 0; (s = SheetOf(sheet)) && k < s->pages.size(); ++k) {
        HWND page = s->pages[k].hwnd;
        if (!page) continue;
        LRESULT answer = Notify(sheet, page, PSN_APPLY, closing ? TRUE : FALSE);
        if (answer == PSNRET_INVALID) {
            ShowPage(sheet, static_cast<int>(k));
            return false;
        }
        if (answer == PSNRET_INVALID_NOCHANGEPAGE) return false;
    }
    if (!(s = SheetOf(sheet))) return false;
    s->applied = true;
    for (auto &e : s->pages) e.changed = false;
    UpdateApply(sheet);
    // After Apply Now the current page is told it is active again.
    if (!closing) Notify(sheet, PageHwnd(sheet, s->current), PSN_SETACTIVE);
    return true;
}

void End(HWND sheet)
{
    SheetState *s = SheetOf(sheet);
    if (!s) return;
    s->ended = true;
    ShowWindow(sheet, SW_HIDE);
}

void Ok(HWND sheet)
{
    if (Apply(sheet, true)) End(sheet);
}

// PSN_QUERYCANCEL lets the current page keep the sheet open (TRUE); then every page made gets PSN_RESET.
void Cancel(HWND sheet)
{
    SheetState *s = SheetOf(sheet);
    if (!s) return;
    if (HWND cur = PageHwnd(sheet, s->current); cur && Notify(sheet, cur, PSN_QUERYCANCEL)) return;
    for (size_t k = 0; (s = SheetOf(sheet)) && k < s->pages.size(); ++k)
        if (HWND page = s->pages[k].hwnd) Notify(sheet, page, PSN_RESET, FALSE);
    End(sheet);
}

int IndexOfHwnd(SheetState *s, HWND page)
{
    for (size_t k = 0; k < s->pages.size(); ++k)
        if (s->pages[k].hwnd == page && page) return static_cast<int>(k);
    return -1;
}

int IndexOfHandle(SheetState *s, HPROPSHEETPAGE h)
{
    for (size_t k = 0; k < s->pages.size(); ++k)
        if (s->pages[k].handle == h && h) return static_cast<int>(k);
    return -1;
}

int IndexOfId(SheetState *s, LPARAM id)
{
    for (size_t k = 0; k < s->pages.size(); ++k) {
        PageRecord *r = Record(s->pages[k].handle);
        if (r && !(r->Page()->dwFlags & PSP_DLGINDIRECT) &&
            reinterpret_cast<LPARAM>(r->Page()->pszTemplate) == id)
            return static_cast<int>(k);
    }
    return -1;
}

void RemovePage(HWND sheet, int index)
{
    SheetState *s = SheetOf(sheet);
    if (!s || index < 0 || index >= static_cast<int>(s->pages.size())) return;
    SheetEntry e = std::move(s->pages[static_cast<size_t>(index)]);
    s->pages.erase(s->pages.begin() + index);
    bool wasCurrent = s->current == index;
    if (s->current > index) --s->current;
    if (wasCurrent) s->current = -1;
    if (e.hwnd && IsWindow(e.hwnd)) DestroyWindow(e.hwnd);
    ReleaseRecord(e.handle);
    if (wasCurrent && (s = SheetOf(sheet)) && !s->pages.empty()) SetCurSel(sheet, std::max(0, index - 1));
    UpdateApply(sheet);
    InvalidateRect(sheet, nullptr, TRUE);
}

bool AddPage(HWND sheet, int at, HPROPSHEETPAGE h)
{
    SheetState *s = SheetOf(sheet);
    if (!s || !Record(h) || IndexOfHandle(s, h) >= 0) return false;
    SheetEntry e;
    e.handle = h;
    if (!Collect(e)) return false;
    at = at < 0 ? static_cast<int>(s->pages.size()) : std::min(at, static_cast<int>(s->pages.size()));
    s->pages.insert(s->pages.begin() + at, std::move(e));
    if (s->current >= at) ++s->current;
    InvalidateRect(sheet, nullptr, TRUE);
    return true;
}

HFONT SheetFont(HWND sheet)
{
    HFONT f = FontOf(sheet);
    return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int TextWidth(HWND sheet, const U16 &text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return static_cast<int>(text.size()) * 6;
    HGDIOBJ old = SelectObject(dc, SheetFont(sheet));
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    SelectObject(dc, old);
    DeleteDC(dc);
    return sz.cx;
}

// The tabs along the top of the frame, one per page, as wide as their titles.
std::vector<RECT> TabRects(HWND sheet, const SheetState *s)
{
    std::vector<RECT> tabs;
    int x = s->frame.left + 2;
    for (const auto &e : s->pages) {
        int w = TextWidth(sheet, e.title) + 12;
        tabs.push_back(RECT{x, s->frame.top, x + w, s->frame.top + s->tabHeight});
        x += w;
    }
    return tabs;
}

void PaintSheet(HWND sheet, HDC dc)
{
    SheetState *s = SheetOf(sheet);
    if (!s) return;
    RECT body{s->frame.left, s->frame.top + s->tabHeight, s->frame.right, s->frame.bottom};
    DrawEdge(dc, &body, EDGE_RAISED, BF_RECT | BF_SOFT);
    HGDIOBJ oldFont = SelectObject(dc, SheetFont(sheet));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    std::vector<RECT> tabs = TabRects(sheet, s);
    for (size_t k = 0; k < tabs.size(); ++k) {
        RECT t = tabs[k];
        bool selected = static_cast<int>(k) == s->current;
        if (selected) InflateRect(&t, 2, 0), t.top -= 2, t.bottom += 1;
        FillRect(dc, &t, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &t, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT);
        const U16 &title = s->pages[k].title;
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
}

INT_PTR Answer(HWND sheet, LONG_PTR value)
{
    SetWindowLongPtrW(sheet, DWLP_MSGRESULT, value);
    return TRUE;
}

void ReleasePages(SheetState *s)
{
    std::vector<SheetEntry> pages = std::move(s->pages);
    s->pages.clear();
    for (auto &e : pages) ReleaseRecord(e.handle);
}

// The sheet's own dialog procedure. Its messages answer through DWLP_MSGRESULT.
INT_PTR CALLBACK SheetProc(HWND sheet, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        Window *w = Peek(sheet);
        auto *holder = reinterpret_cast<std::unique_ptr<SheetState> *>(lParam);
        w->control = std::move(*holder);
        SheetState *s = SheetOf(sheet);
        RECT frame = s->frame;
        MapDialogRect(sheet, &frame);
        RECT tab{0, 0, 0, 12};
        MapDialogRect(sheet, &tab);
        s->frame = frame;
        s->tabHeight = tab.bottom;
        RECT area = s->pageArea;
        MapDialogRect(sheet, &area);
        s->pageArea = area;
        if (s->callback) s->callback(sheet, PSCB_INITIALIZED, 0);
        if (!(s = SheetOf(sheet))) return FALSE;
        int start = s->start;
        if (start < 0 || start >= static_cast<int>(s->pages.size())) start = 0;
        if (!SetCurSel(sheet, start)) {
            // A start page that cannot be made gives way to the first one that can.
            for (int k = 0; (s = SheetOf(sheet)) && k < static_cast<int>(s->pages.size()); ++k)
                if (SetCurSel(sheet, k)) break;
        }
        HWND page = PageHwnd(sheet, SheetOf(sheet) ? SheetOf(sheet)->current : -1);
        HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
        SetFocus(first ? first : GetDlgItem(sheet, IDOK));
        return FALSE;
    }
    SheetState *s = SheetOf(sheet);
    if (!s) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Ok(sheet); return TRUE;
        case IDCANCEL: Cancel(sheet); return TRUE;
        case kApplyId: Apply(sheet, false); return TRUE;
        case IDHELP: Notify(sheet, PageHwnd(sheet, s->current), PSN_HELP); return TRUE;
        default: return FALSE;
        }
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(sheet, &ps);
        if (dc) PaintSheet(sheet, dc);
        EndPaint(sheet, &ps);
        ValidateRect(sheet, nullptr);
        return TRUE;
    }
    case WM_PRINTCLIENT:
        if (wParam) PaintSheet(sheet, reinterpret_cast<HDC>(wParam));
        return TRUE;
    // A click on a tab selects its page.
    case WM_LBUTTONDOWN: {
        POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        std::vector<RECT> tabs = TabRects(sheet, s);
        for (size_t k = 0; k < tabs.size(); ++k)
            if (PtInRect(&tabs[k], pt) && static_cast<int>(k) != s->current) SetCurSel(sheet, static_cast<int>(k));
        return TRUE;
    }
    // The handle wins over the index.
    case PSM_SETCURSEL: {
        int index = lParam ? IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)) : static_cast<int>(wParam);
        return Answer(sheet, SetCurSel(sheet, index));
    }
    case PSM_SETCURSELID: return Answer(sheet, SetCurSel(sheet, IndexOfId(s, lParam)));
    case PSM_CHANGED:
    case PSM_UNCHANGED: {
        int k = IndexOfHwnd(s, reinterpret_cast<HWND>(wParam));
        if (k >= 0) s->pages[static_cast<size_t>(k)].changed = msg == PSM_CHANGED;
        UpdateApply(sheet);
        return Answer(sheet, 0);
    }
    case PSM_PRESSBUTTON:
        switch (wParam) {
        case PSBTN_OK: Ok(sheet); break;
        case PSBTN_APPLYNOW: Apply(sheet, false); break;
        case PSBTN_CANCEL: Cancel(sheet); break;
        case PSBTN_HELP: Notify(sheet, PageHwnd(sheet, s->current), PSN_HELP); break;
        default: break;
        }
        return Answer(sheet, 0);
    case PSM_APPLY: return Answer(sheet, Apply(sheet, false));
    // NULL once the sheet has ended: the signal a program driving a modeless sheet waits for.
    case PSM_GETCURRENTPAGEHWND: return Answer(sheet, reinterpret_cast<LONG_PTR>(s->ended ? nullptr : PageHwnd(sheet, s->current)));
    case PSM_GETRESULT: return Answer(sheet, s->ended ? s->Result() : -1);
    case PSM_GETTABCONTROL: return Answer(sheet, 0);
    case PSM_ADDPAGE: return Answer(sheet, AddPage(sheet, -1, reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    case PSM_INSERTPAGE: {
        // wParam is an index, or the page to insert after.
        int at = static_cast<int>(wParam);
        if (wParam > 0xFFFF) at = IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(wParam)) + 1;
        return Answer(sheet, AddPage(sheet, at, reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    }
    case PSM_REMOVEPAGE: {
        int index = lParam ? IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)) : static_cast<int>(wParam);
        RemovePage(sheet, index);
        return Answer(sheet, 0);
    }
    case PSM_HWNDTOINDEX: return Answer(sheet, IndexOfHwnd(s, reinterpret_cast<HWND>(wParam)));
    case PSM_INDEXTOHWND: return Answer(sheet, reinterpret_cast<LONG_PTR>(PageHwnd(sheet, static_cast<int>(wParam))));
    case PSM_PAGETOINDEX: return Answer(sheet, IndexOfHandle(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    case PSM_INDEXTOPAGE: {
        int k = static_cast<int>(wParam);
        bool ok = k >= 0 && k < static_cast<int>(s->pages.size());
        return Answer(sheet, ok ? reinterpret_cast<LONG_PTR>(s->pages[static_cast<size_t>(k)].handle) : 0);
    }
    case PSM_IDTOINDEX: return Answer(sheet, IndexOfId(s, lParam));
    case PSM_INDEXTOID: {
        int k = static_cast<int>(wParam);
        PageRecord *r = k >= 0 && k < static_cast<int>(s->pages.size()) ? Record(s->pages[static_cast<size_t>(k)].handle) : nullptr;
        bool byId = r && !(r->Page()->dwFlags & PSP_DLGINDIRECT);
        return Answer(sheet, byId ? reinterpret_cast<LONG_PTR>(r->Page()->pszTemplate) : 0);
    }
    // Every page made is asked until one answers non-zero; that answer is returned.
    case PSM_QUERYSIBLINGS:
        for (size_t k = 0; (s = SheetOf(sheet)) && k < s->pages.size(); ++k)
            if (HWND page = s->pages[k].hwnd)
                if (LRESULT r = SendMessageW(page, PSM_QUERYSIBLINGS, wParam, lParam)) return Answer(sheet, r);
        return Answer(sheet, 0);
    case PSM_CANCELTOCLOSE:
        SetDlgItemTextW(sheet, IDOK, TEXT("Close"));
        EnableWindow(GetDlgItem(sheet, IDCANCEL), FALSE);
        return Answer(sheet, 0);
    case PSM_RESTARTWINDOWS: s->restart |= ID_PSRESTARTWINDOWS; return Answer(sheet, 0);
    case PSM_REBOOTSYSTEM: s->restart |= ID_PSREBOOTSYSTEM; return Answer(sheet, 0);
    // PSH_PROPTITLE in wParam makes it "<title> Properties".
    case PSM_SETTITLEW: {
        U16 title;
        auto text = reinterpret_cast<LPCWSTR>(lParam);
        if (IS_INTRESOURCE(text)) {
            WCHAR buf[256];
            int n = LoadStringW(s->instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)), buf, 256);
            title = U16(buf, static_cast<size_t>(std::max(n, 0)));
        } else {
            title = ToU16(text);
        }
        if (wParam & PSH_PROPTITLE) title += u" Properties";
        SetWindowTextW(sheet, title.c_str());
        return Answer(sheet, 0);
    }
    case WM_NCDESTROY: ReleasePages(s); return FALSE;
    default: return FALSE;
    }
}

// Builds the sheet's dialog template (DLGTEMPLATEEX, MS Shell Dlg 8): the buttons along the bottom, room for the
// largest page inside the tab frame.
class SheetTemplate {
public:
    SheetTemplate(DWORD style, short cx, short cy, const U16 &title)
    {
        Word(1), Word(0xFFFF), Dword(0), Dword(WS_EX_CONTROLPARENT), Dword(style);
        countAt_ = data_.size();
        Word(0), Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(0), Word(0), Str(title);
        Word(8), Word(400), Byte(0), Byte(1), Str(u"MS Shell Dlg");
    }
    void Button(int id, DWORD style, short x, short y, const char16_t *text)
    {
        while (data_.size() % 4) data_.push_back(0);
        Dword(0), Dword(0), Dword(style | WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(50), Word(14), Dword(static_cast<DWORD>(id));
        Word(0xFFFF), Word(Z_ATOM_BUTTON), Str(text), Word(0);
        ++count_;
        std::memcpy(data_.data() + countAt_, &count_, 2);
    }
    std::vector<BYTE> &Data() { return data_; }

private:
    void Byte(BYTE b) { data_.push_back(b); }
    void Word(WORD w) { Byte(static_cast<BYTE>(w)), Byte(static_cast<BYTE>(w >> 8)); }
    void Dword(DWORD d) { Word(static_cast<WORD>(d)), Word(static_cast<WORD>(d >> 16)); }
    void Str(const U16 &s)
    {
        for (char16_t c : s) Word(c);
        Word(0);
    }
    std::vector<BYTE> data_;
    size_t countAt_ = 0;
    WORD count_ = 0;
};

U16 Caption(const PROPSHEETHEADERW *h)
{
    U16 title;
    if (IS_INTRESOURCE(h->pszCaption)) {
        if (h->pszCaption) {
            WCHAR buf[256];
            int n = LoadStringW(h->hInstance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(h->pszCaption)), buf, 256);
            title = U16(buf, static_cast<size_t>(std::max(n, 0)));
        }
    } else {
        title = ToU16(h->pszCaption);
    }
    if (h->dwFlags & PSH_PROPTITLE) title += u" Properties";
    return title;
}

int StartPage(const PROPSHEETHEADERW *h, const std::vector<SheetEntry> &pages)
{
    if (!(h->dwFlags & PSH_USEPSTARTPAGE)) return static_cast<int>(h->nStartPage);
    if (IS_INTRESOURCE(h->pStartPage)) return static_cast<int>(reinterpret_cast<ULONG_PTR>(h->pStartPage));
    for (size_t k = 0; k < pages.size(); ++k)
        if (pages[k].title == ToU16(h->pStartPage)) return static_cast<int>(k);
    return 0;
}

} // namespace
} // namespace zep::user

using namespace zep::user;

// Copies the record (dwSize bytes, at least the full structure) and the strings it names; a size below the first
// version's fails. PSPCB_ADDREF goes to a callback of a record larger than the first version.
HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW page)
{
    if (!page || page->dwSize < PROPSHEETPAGEW_V1_SIZE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto rec = std::make_unique<PageRecord>();
    rec->raw.assign(std::max<size_t>(page->dwSize, sizeof(PROPSHEETPAGEW)), 0);
    std::memcpy(rec->raw.data(), page, page->dwSize);
    PROPSHEETPAGEW *copy = rec->Page();
    if (copy->dwSize < sizeof(PROPSHEETPAGEW)) {
        // Fields past the caller's version read as absent.
        std::memset(rec->raw.data() + copy->dwSize, 0, sizeof(PROPSHEETPAGEW) - copy->dwSize);
    }
    if (!(copy->dwFlags & PSP_DLGINDIRECT) && !IS_INTRESOURCE(copy->pszTemplate)) {
        rec->templateName = ToU16(copy->pszTemplate);
        copy->pszTemplate = rec->templateName.c_str();
    }
    if ((copy->dwFlags & PSP_USETITLE) && !IS_INTRESOURCE(copy->pszTitle)) {
        rec->title = ToU16(copy->pszTitle);
        copy->pszTitle = rec->title.c_str();
    }
    auto handle = reinterpret_cast<HPROPSHEETPAGE>(rec.get());
    Pages().emplace(handle, std::move(rec));
    if ((copy->dwFlags & PSP_USEREFPARENT) && copy->pcRefParent) ++*copy->pcRefParent;
    if ((copy->dwFlags & PSP_USECALLBACK) && copy->pfnCallback && copy->dwSize > PROPSHEETPAGEW_V1_SIZE)
        copy->pfnCallback(nullptr, PSPCB_ADDREF, copy);
    return handle;
}

// PSPCB_RELEASE to the page's callback, then the record is freed; a handle that is not a live page gives FALSE.
BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE page)
{
    if (!Record(page)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ReleaseRecord(page);
    return TRUE;
}

// The sheet takes over the pages it is given (phpage) or makes them (PSH_PROPSHEETPAGE, stepping through the
// array by each record's dwSize) and frees them when it goes. A page whose template cannot be loaded is left out.
// PSH_MODELESS returns the sheet's window at once; otherwise the run is headless (zep_ui.h): without a modal
// hook the call fails with -1 and ERROR_CANCELLED, and a hook that leaves the sheet open gives -1 and
// ERROR_TIMEOUT. The modal result is 1 when changes were applied (or the restart value a page asked for), else 0.
INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW header)
{
    if (!header || header->dwSize < PROPSHEETHEADERW_V1_SIZE || (header->nPages && !header->phpage)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    RegisterSystemClasses();
    auto state = std::make_unique<SheetState>();
    state->flags = header->dwFlags;
    state->instance = header->hInstance;
    state->callback = (header->dwFlags & PSH_USECALLBACK) ? header->pfnCallback : nullptr;
    std::vector<HPROPSHEETPAGE> handles;
    if (header->dwFlags & PSH_PROPSHEETPAGE) {
        auto *p = reinterpret_cast<const BYTE *>(header->ppsp);
        for (UINT k = 0; k < header->nPages; ++k) {
            auto *page = reinterpret_cast<LPCPROPSHEETPAGEW>(p);
            if (HPROPSHEETPAGE h = CreatePropertySheetPageW(page)) handles.push_back(h);
            p += std::max<DWORD>(page->dwSize, PROPSHEETPAGEW_V1_SIZE);
        }
    } else {
        for (UINT k = 0; k < header->nPages; ++k)
            if (Record(header->phpage[k])) handles.push_back(header->phpage[k]);
    }
    bool modeless = (header->dwFlags & PSH_MODELESS) != 0;
    if (!modeless && !HasModalHook()) {
        for (HPROPSHEETPAGE h : handles) ReleaseRecord(h);
        SetLastError(ERROR_CANCELLED);
        return -1;
    }
    for (HPROPSHEETPAGE h : handles) {
        SheetEntry e;
        e.handle = h;
        if (Collect(e)) state->pages.push_back(std::move(e));
        else ReleaseRecord(h);
    }
    state->start = StartPage(header, state->pages);

    // Layout in dialog units: the tab frame at (4, 4) holds the largest page below a 12-unit tab band; the
    // buttons sit under it, right-aligned.
    short cx = 212, cy = 188;
    for (const auto &e : state->pages) cx = std::max(cx, e.cx), cy = std::max(cy, e.cy);
    const short fx = 4, fy = 4, inset = 3, band = 12;
    short frameRight = static_cast<short>(fx + inset + cx + inset), frameBottom = static_cast<short>(fy + band + inset + cy + inset);
    state->frame = RECT{fx, fy, frameRight, frameBottom};
    state->pageArea = RECT{fx + inset, fy + band + inset, fx + inset + cx, fy + band + inset + cy};
    short buttonsY = static_cast<short>(frameBottom + 4);
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | DS_CENTER |
                  (header->dwFlags & PSH_NOCONTEXTHELP ? 0 : DS_CONTEXTHELP) | (modeless ? WS_VISIBLE : 0);
    SheetTemplate t(style, static_cast<short>(frameRight + 4), static_cast<short>(buttonsY + 14 + 4), Caption(header));
    std::vector<std::pair<int, const char16_t *>> buttons = {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    if (!(header->dwFlags & PSH_NOAPPLYNOW)) buttons.push_back({kApplyId, u"&Apply"});
    if (header->dwFlags & PSH_HASHELP) buttons.push_back({IDHELP, u"Help"});
    short x = static_cast<short>(frameRight - static_cast<short>(buttons.size()) * 54 + 4);
    for (auto &[id, text] : buttons) {
        DWORD bs = id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (id == kApplyId) bs |= WS_DISABLED;
        t.Button(id, bs, x, buttonsY, text);
        x = static_cast<short>(x + 54);
    }
    if (state->callback) state->callback(nullptr, PSCB_PRECREATE, reinterpret_cast<LPARAM>(t.Data().data()));

    HWND owner = header->hwndParent && IsWindow(header->hwndParent) ? GetAncestor(header->hwndParent, GA_ROOT) : nullptr;
    if (modeless) {
        HWND sheet = CreateDialogFromTemplate(header->hInstance, t.Data().data(), owner, SheetProc,
                                              reinterpret_cast<LPARAM>(&state), false);
        if (state) ReleasePages(state.get());
        return sheet ? reinterpret_cast<INT_PTR>(sheet) : -1;
    }

    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    HWND focusBefore = GetFocus();
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    HWND sheet = CreateDialogFromTemplate(header->hInstance, t.Data().data(), owner, SheetProc,
                                          reinterpret_cast<LPARAM>(&state), true);
    INT_PTR result = -1;
    DWORD error = ERROR_SUCCESS;
    if (state) ReleasePages(state.get());
    if (sheet) {
        if (SheetState *s = SheetOf(sheet); s && !s->ended) {
            RunModalHook(sheet);
            PumpPosted();
        }
        SheetState *s = SheetOf(sheet);
        if (s && s->ended)
            result = s->Result();
        else
            error = s ? ERROR_TIMEOUT : ERROR_INVALID_WINDOW_HANDLE;
        if (IsWindow(sheet)) DestroyWindow(sheet);
    } else {
        error = GetLastError();
    }
    if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (focusBefore && IsWindow(focusBefore)) SetFocus(focusBefore);
    if (result == -1) SetLastError(error);
    return result;
}
