// Dialogs from classic and extended templates: creation, modal runs, the dialog manager and item helpers.
#include "user/wnd.h"

#include <algorithm>
#include <cstring>

namespace zep::user {
namespace {

struct ItemSpec {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    U16 className;
    WORD classAtom = 0;
    U16 title; // an ordinal title is kept as 0xFFFF followed by the id, as controls receive it
    const BYTE *extra = nullptr;
    WORD extraCount = 0;
};

struct DialogSpec {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    U16 className;
    WORD classAtom = 0;
    U16 title;
    WORD pointSize = 0, weight = 400;
    BYTE italic = 0, charset = 1;
    U16 face;
    std::vector<ItemSpec> items;
};

class Reader {
public:
    explicit Reader(const BYTE *p) : base_(p), p_(p) {}
    WORD Word()
    {
        WORD v;
        std::memcpy(&v, p_, 2);
        p_ += 2;
        return v;
    }
    DWORD Dword()
    {
        DWORD v;
        std::memcpy(&v, p_, 4);
        p_ += 4;
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *p_++; }
    U16 String()
    {
        U16 s;
        for (WORD c; (c = Word()) != 0;) s.push_back(static_cast<char16_t>(c));
        return s;
    }
    // A name or an ordinal: 0 = none, 0xFFFF = ordinal in the next word.
    U16 NameOrOrdinal(WORD *ordinal)
    {
        WORD first;
        std::memcpy(&first, p_, 2);
        if (first == 0) {
            p_ += 2;
            return U16();
        }
        if (first == 0xFFFF) {
            p_ += 2;
            *ordinal = Word();
            return U16();
        }
        return String();
    }
    void AlignDword()
    {
        size_t off = static_cast<size_t>(p_ - base_);
        p_ += (4 - off % 4) % 4;
    }
    const BYTE *Here() const { return p_; }
    void Skip(size_t n) { p_ += n; }

private:
    const BYTE *base_;
    const BYTE *p_;
};

DialogSpec Parse(const BYTE *data)
{
    DialogSpec d;
    Reader r(data);
    WORD ver = r.Word(), sig = r.Word();
    bool ex = ver == 1 && sig == 0xFFFF;
    WORD count;
    if (ex) {
        r.Dword(); // help id
        d.exStyle = r.Dword();
        d.style = r.Dword();
    } else {
        Reader again(data);
        d.style = again.Dword();
        d.exStyle = again.Dword();
        r = again;
    }
    count = r.Word();
    d.x = r.Short(), d.y = r.Short(), d.cx = r.Short(), d.cy = r.Short();
    WORD menuOrd = 0;
    r.NameOrOrdinal(&menuOrd);
    d.className = r.NameOrOrdinal(&d.classAtom);
    d.title = r.String();
    if (d.style & (DS_SETFONT | DS_SHELLFONT)) {
        d.pointSize = r.Word();
        if (ex) {
            d.weight = r.Word();
            d.italic = r.Byte();
            d.charset = r.Byte();
        }
        d.face = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        ItemSpec it;
        if (ex) {
            r.Dword(); // help id
            it.exStyle = r.Dword();
            it.style = r.Dword();
        } else {
            it.style = r.Dword();
            it.exStyle = r.Dword();
        }
        it.x = r.Short(), it.y = r.Short(), it.cx = r.Short(), it.cy = r.Short();
        it.id = ex ? r.Dword() : r.Word();
        it.className = r.NameOrOrdinal(&it.classAtom);
        WORD titleOrd = 0;
        it.title = r.NameOrOrdinal(&titleOrd);
        if (titleOrd) it.title = U16{char16_t(0xFFFF), static_cast<char16_t>(titleOrd)};
        it.extraCount = r.Word();
        if (it.extraCount) {
            // The classic layout counts the size word itself.
            it.extra = r.Here();
            r.Skip(it.extraCount);
        }
        d.items.push_back(std::move(it));
    }
    return d;
}

LPCWSTR AtomClass(WORD atom)
{
    switch (atom) {
    case Z_ATOM_BUTTON: return TEXT("Button");
    case Z_ATOM_EDIT: return TEXT("Edit");
    case Z_ATOM_STATIC: return TEXT("Static");
    case Z_ATOM_LISTBOX: return TEXT("ListBox");
    case Z_ATOM_SCROLLBAR: return TEXT("ScrollBar");
    case Z_ATOM_COMBOBOX: return TEXT("ComboBox");
    default: return nullptr;
    }
}

// Base units of the dialog fonts that Windows draws as bitmap fonts at 96 DPI (8 and 9 points both use the
// 13-pixel face); other fonts are measured through GDI.
struct KnownFont {
    const char16_t *face;
    int points;
    int baseX, baseY;
};
const KnownFont kKnownFonts[] = {
    {u"MS Sans Serif", 8, 6, 13},
    {u"MS Sans Serif", 9, 6, 13},
    {u"MS Shell Dlg", 8, 6, 13},
    {u"MS Shell Dlg", 9, 6, 13},
};

void BaseUnits(const DialogSpec &d, HFONT font, int *bx, int *by)
{
    if (!(d.style & (DS_SETFONT | DS_SHELLFONT))) {
        *bx = 8, *by = 16; // the system font
        return;
    }
    for (const auto &k : kKnownFonts)
        if (EqualNoCase(d.face, k.face) && d.pointSize == k.points) {
            *bx = k.baseX, *by = k.baseY;
            return;
        }
    *by = (d.pointSize * 96 / 72) * 13 / 11;
    *bx = (*by + 1) / 2;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc || !font) {
        if (dc) DeleteDC(dc);
        return;
    }
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    SIZE sz{};
    static const char16_t letters[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (GetTextMetricsW(dc, &tm) && GetTextExtentPoint32W(dc, letters, 52, &sz)) {
        *bx = (sz.cx / 26 + 1) / 2;
        *by = tm.tmHeight;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

RECT ToPixels(short x, short y, short cx, short cy, int bx, int by)
{
    int l = MulDivRound(x, bx, 4), t = MulDivRound(y, by, 8);
    return RECT{l, t, l + MulDivRound(cx, bx, 4), t + MulDivRound(cy, by, 8)};
}

} // namespace

int MulDivRound(int a, int b, int c)
{
    long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const BYTE *data, HWND parent, DLGPROC proc, LPARAM param,
                              bool modal)
{
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    RegisterSystemClasses();
    DialogSpec d = Parse(data);
    HFONT font = nullptr;
    if (d.style & (DS_SETFONT | DS_SHELLFONT)) {
        U16 face = d.face.substr(0, LF_FACESIZE - 1);
        font = CreateFontW(-MulDivRound(d.pointSize, 96, 72), 0, 0, 0, d.weight, d.italic, 0, 0, d.charset, 0, 0, 0, 0,
                           face.c_str());
    }
    int bx, by;
    BaseUnits(d, font, &bx, &by);

    DWORD style = d.style & ~WS_VISIBLE;
    bool child = (style & WS_CHILD) != 0;
    RECT client = ToPixels(0, 0, d.cx, d.cy, bx, by);
    RECT in = NonClientInsets(style, d.exStyle);
    int width = client.right + in.left + in.right, height = client.bottom + in.top + in.bottom;
    RECT pos = ToPixels(d.x, d.y, 0, 0, bx, by);
    int x = pos.left, y = pos.top;
    if (!child) {
        if (d.style & DS_CENTER) {
            x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
            y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        } else if (parent && !(d.style & DS_ABSALIGN)) {
            POINT o{0, 0};
            ClientToScreen(parent, &o);
            x += o.x, y += o.y;
        }
    }
    LPCWSTR cls = d.className.empty() ? (d.classAtom ? AtomClass(d.classAtom) : nullptr) : d.className.c_str();
    HWND hwnd = CreateWindowExW(d.exStyle, cls ? cls : TEXT("#32770"), d.title.c_str(), style, x, y, width, height,
                                parent, nullptr, instance, nullptr);
    if (!hwnd) {
        if (font) DeleteObject(font);
        return nullptr;
    }
    Window *w = Peek(hwnd);
    w->dialog = std::make_unique<DialogState>();
    w->dialog->proc = proc;
    w->dialog->baseX = bx, w->dialog->baseY = by;
    w->dialog->font = font;
    w->dialog->ownsFont = font != nullptr;
    if (font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    HWND defaultButton = nullptr;
    for (const ItemSpec &it : d.items) {
        RECT r = ToPixels(it.x, it.y, it.cx, it.cy, bx, by);
        LPCWSTR itemClass = it.className.empty() ? AtomClass(it.classAtom) : it.className.c_str();
        HWND c = CreateWindowExW(it.exStyle, itemClass, it.title.c_str(), it.style | WS_CHILD, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<uintptr_t>(it.id)), instance,
                                 const_cast<BYTE *>(it.extra));
        if (!c) {
            if (d.style & DS_NOFAILCREATE) continue;
            DWORD err = GetLastError();
            DestroyWindow(hwnd);
            SetLastError(err);
            return nullptr;
        }
        if (font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A dialog has one default button: the last one the template creates; earlier ones become plain.
        if (SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
            if (defaultButton) SendMessageW(defaultButton, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
            defaultButton = c;
            w->dialog->defId = static_cast<int>(it.id);
        }
    }

    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    // The focus goes where the first tab stop is once the dialog has set its controls up: a radio group's checked
    // button may have changed meanwhile.
    if (SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && IsWindow(hwnd) &&
        (first = GetNextDlgTabItem(hwnd, nullptr, FALSE)) != nullptr)
        SetFocus(first);
    if (!IsWindow(hwnd)) return nullptr;
    if ((d.style & WS_VISIBLE) || modal) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

namespace {
const BYTE *LoadTemplate(HINSTANCE instance, LPCWSTR name)
{
    HRSRC res = FindResourceW(instance, name, RT_DIALOG);
    if (!res) return nullptr;
    HGLOBAL data = LoadResource(instance, res);
    return data ? static_cast<const BYTE *>(LockResource(data)) : nullptr;
}

INT_PTR RunModal(HINSTANCE instance, const BYTE *data, HWND parent, DLGPROC proc, LPARAM param)
{
    if (!data) return -1;
    HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    HWND focusBefore = GetFocus();
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    HWND dlg = CreateDialogFromTemplate(instance, data, owner, proc, param, true);
    INT_PTR result = -1;
    DWORD error = ERROR_SUCCESS;
    if (dlg) {
        DialogState *s = Dialog(dlg);
        if (s && !s->ended) {
            RunModalHook(dlg);
            PumpPosted();
        }
        s = Dialog(dlg);
        if (s && s->ended)
            result = s->result;
        else if (!s)
            error = ERROR_INVALID_WINDOW_HANDLE;
        else
            error = ERROR_TIMEOUT;
        if (IsWindow(dlg)) DestroyWindow(dlg);
    } else {
        error = GetLastError();
    }
    if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (focusBefore && IsWindow(focusBefore)) SetFocus(focusBefore);
    if (result == -1) SetLastError(error);
    return result;
}
} // namespace

} // namespace zep::user

using namespace zep::user;


// A missing template fails with the resource error of FindResourceW.
HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param)
{
    const BYTE *data = LoadTemplate(instance, templateName);
    return data ? CreateDialogFromTemplate(instance, data, parent, proc, param, false) : nullptr;
}

// Creates the dialog, sends WM_INITDIALOG, shows it when the template has WS_VISIBLE.
HWND WINAPI CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dlgTemplate, HWND parent, DLGPROC proc,
                                       LPARAM param)
{
    return CreateDialogFromTemplate(instance, reinterpret_cast<const BYTE *>(dlgTemplate), parent, proc, param, false);
}

// Headless modal run: without a modal hook it fails at once (-1, ERROR_CANCELLED) and creates nothing; the
// owner is disabled while the dialog is up.
INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc, LPARAM param)
{
    const BYTE *data = LoadTemplate(instance, templateName);
    if (!data) return -1;
    if (!HasModalHook()) {
        SetLastError(ERROR_CANCELLED);
        return -1;
    }
    return RunModal(instance, data, parent, proc, param);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dlgTemplate, HWND parent, DLGPROC proc,
                                       LPARAM param)
{
    if (!dlgTemplate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!HasModalHook()) {
        SetLastError(ERROR_CANCELLED);
        return -1;
    }
    return RunModal(instance, reinterpret_cast<const BYTE *>(dlgTemplate), parent, proc, param);
}

// Marks the dialog ended with the result and hides it; the modal run returns once the caller's code unwinds.
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    Window *w = Find(dialog);
    if (!w) return FALSE;
    if (!w->dialog) {
        SetLastError(ERROR_WINDOW_NOT_DIALOG);
        return FALSE;
    }
    w->dialog->ended = true;
    w->dialog->result = result;
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

// Calls the dialog procedure; when it handles the message, the answer is DWLP_MSGRESULT except for the
// messages whose answer is the procedure's return value. Otherwise the dialog manager's defaults apply.
LRESULT WINAPI DefDlgProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Peek(hwnd);
    if (!w) return 0;
    DialogState *s = w->dialog.get();
    if (s && s->proc) {
        s->msgResult = 0;
        INT_PTR handled = s->proc(hwnd, msg, wParam, lParam);
        if (!(w = Peek(hwnd))) return handled;
        s = w->dialog.get();
        if (handled) {
            switch (msg) {
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
            case WM_INITDIALOG:
            case WM_QUERYUISTATE: return handled;
            default: return s ? s->msgResult : handled;
            }
        }
    }
    switch (msg) {
    case WM_INITDIALOG: return 0;
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_SETFONT:
        if (s) s->font = reinterpret_cast<HFONT>(wParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case DM_GETDEFID: return s ? MAKELONG(s->defId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
        if (s) s->defId = static_cast<int>(wParam);
        return TRUE;
    case WM_NEXTDLGCTL: {
        HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
        if (target) SetFocus(target);
        return 0;
    }
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT r;
        GetClientRect(hwnd, &r);
        if (dc) FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_NCDESTROY:
        if (s && s->ownsFont && s->font) {
            DeleteObject(s->font);
            s->font = nullptr;
        }
        return 0;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (w->parent) return SendMessageW(w->parent, msg, wParam, lParam);
        return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

namespace zep::user {
LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefDlgProcW(hwnd, msg, wParam, lParam);
}
} // namespace zep::user

// The first direct child with the id; none fails with ERROR_CONTROL_ID_NOT_FOUND.
HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    Window *w = Find(dialog);
    if (!w) return nullptr;
    for (HWND c : w->children)
        if (Peek(c)->id == id) return c;
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

// An unknown control leaves an empty, terminated buffer and returns 0.
UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size)
{
    HWND c = GetDlgItem(dialog, id);
    if (!c) {
        if (text && size > 0) text[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(c, text, size));
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text)
{
    HWND c = GetDlgItem(dialog, id);
    return c ? SetWindowTextW(c, text) : FALSE;
}

// Leading spaces are skipped and translation stops at the first character that is not a digit; no digits or a
// value out of range is not translated (0, *translated FALSE). Only the signed form takes a minus sign.
UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned)
{
    if (translated) *translated = FALSE;
    WCHAR buf[64];
    if (!GetDlgItemTextW(dialog, id, buf, 64) && !GetDlgItem(dialog, id)) return 0;
    const WCHAR *p = buf;
    while (*p == u' ') ++p;
    bool negative = false;
    if (isSigned && (*p == u'-' || *p == u'+')) negative = *p++ == u'-';
    if (*p < u'0' || *p > u'9') return 0;
    unsigned long long v = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        v = v * 10 + static_cast<unsigned>(*p - u'0');
        if (v > 0xFFFFFFFFull) return 0;
    }
    if (isSigned) {
        if ((!negative && v > 0x7FFFFFFFull) || (negative && v > 0x80000000ull)) return 0;
        if (translated) *translated = TRUE;
        return static_cast<UINT>(negative ? -static_cast<long long>(v) : static_cast<long long>(v));
    }
    if (translated) *translated = TRUE;
    return static_cast<UINT>(v);
}

// Decimal text, with a minus sign only in the signed form.
BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    U16 text = isSigned ? FormatInt(static_cast<INT>(value)) : FormatInt(value);
    return SetDlgItemTextW(dialog, id, text.c_str());
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND c = GetDlgItem(dialog, id);
    if (!c) return FALSE;
    SendMessageW(c, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    HWND c = GetDlgItem(dialog, id);
    return c ? static_cast<UINT>(SendMessageW(c, BM_GETCHECK, 0, 0)) : 0;
}

// Checks `check` and unchecks every other child whose id lies in [first, last].
BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check)
{
    Window *w = Find(dialog);
    if (!w) return FALSE;
    for (HWND c : std::vector<HWND>(w->children)) {
        Window *cw = Peek(c);
        if (!cw || cw->id < first || cw->id > last) continue;
        SendMessageW(c, BM_SETCHECK, cw->id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

// 0 when the control does not exist.
LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND c = GetDlgItem(dialog, id);
    return c ? SendMessageW(c, msg, wParam, lParam) : 0;
}

namespace {
bool Tabbable(HWND c)
{
    Window *w = Peek(c);
    return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}
} // namespace

namespace {
bool IsRadioButton(HWND c) { return (SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0; }

// The tab stop of a group of radio buttons is its checked button: the focus lands on the choice already made, so
// an automatic radio button is not clicked by the focus alone. Another tab stop stands for itself.
HWND CheckedOfGroup(const std::vector<HWND> &kids, size_t at)
{
    if (!IsRadioButton(kids[at]) || SendMessageW(kids[at], BM_GETCHECK, 0, 0) == BST_CHECKED) return kids[at];
    size_t first = at;
    while (first > 0 && !(Peek(kids[first])->style & WS_GROUP)) --first;
    for (size_t i = first; i < kids.size(); ++i) {
        if (i > first && (Peek(kids[i])->style & WS_GROUP)) break;
        Window *cw = Peek(kids[i]);
        if ((cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED) && IsRadioButton(kids[i]) &&
            SendMessageW(kids[i], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return kids[i];
    }
    return kids[at];
}
} // namespace

// The next (or previous) visible, enabled WS_TABSTOP control after `control`, wrapping; NULL control starts
// at the first. A radio group's tab stop gives its checked button (as Windows does: seen under Wine).
HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    Window *w = Find(dialog);
    if (!w || w->children.empty()) return nullptr;
    std::vector<HWND> kids = w->children;
    int n = static_cast<int>(kids.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (kids[i] == control) start = i;
    for (int k = 1; k <= n; ++k) {
        int i = start < 0 ? (previous ? n - k : k - 1) : ((start + (previous ? -k : k)) % n + n) % n;
        if (Tabbable(kids[i])) return CheckedOfGroup(kids, static_cast<size_t>(i));
    }
    return control;
}

// The next (or previous) control of the group (WS_GROUP starts a group), wrapping within it.
HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    Window *w = Find(dialog);
    if (!w) return nullptr;
    auto &kids = w->children;
    auto it = std::find(kids.begin(), kids.end(), control);
    if (it == kids.end()) return nullptr;
    size_t idx = static_cast<size_t>(it - kids.begin());
    size_t first = idx;
    while (first > 0 && !(Peek(kids[first])->style & WS_GROUP)) --first;
    size_t last = idx;
    while (last + 1 < kids.size() && !(Peek(kids[last + 1])->style & WS_GROUP)) ++last;
    size_t count = last - first + 1;
    for (size_t k = 1; k <= count; ++k) {
        size_t i = first + (previous ? (idx - first + count - k) % count : (idx - first + k) % count);
        Window *cw = Peek(kids[i]);
        if ((cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED)) return kids[i];
    }
    return control;
}

// Dialog units to pixels with the dialog's font: x * base x / 4, y * base y / 8, rounded.
BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    Window *w = Find(dialog);
    if (!w) return FALSE;
    if (!w->dialog) {
        SetLastError(ERROR_WINDOW_NOT_DIALOG);
        return FALSE;
    }
    if (!rect) return FALSE;
    int bx = w->dialog->baseX, by = w->dialog->baseY;
    rect->left = MulDivRound(rect->left, bx, 4);
    rect->right = MulDivRound(rect->right, bx, 4);
    rect->top = MulDivRound(rect->top, by, 8);
    rect->bottom = MulDivRound(rect->bottom, by, 8);
    return TRUE;
}

// The system font's base units at 96 DPI.
LONG WINAPI GetDialogBaseUnits() { return MAKELONG(8, 16); }

// Tab moves the focus, Enter clicks the default button, Escape sends IDCANCEL; other messages of the dialog's
// windows are dispatched.
BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG msg)
{
    if (!msg || !dialog || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        switch (msg->wParam) {
        case VK_TAB: {
            HWND next = GetNextDlgTabItem(dialog, GetFocus(), FALSE);
            if (next) SetFocus(next);
            return TRUE;
        }
        case VK_RETURN: {
            LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
            int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
            HWND button = GetDlgItem(dialog, id);
            if (!button || IsWindowEnabled(button))
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return TRUE;
        }
        case VK_ESCAPE:
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
            return TRUE;
        default: break;
        }
    }
    DispatchMessageW(msg);
    return TRUE;
}
