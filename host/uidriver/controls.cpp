// The UI driver's user actions on controls and what it reads back from them, through the Win32 API only.
#include "host/uidriver/uidriver.h"

#include <algorithm>
#include <iterator>

namespace zep::ui {
namespace {

// Class names of the controls, compared without case as the window manager does.
struct ClassKind {
    const WCHAR *className;
    ControlKind kind;
};
const ClassKind kClasses[] = {
    {TEXT("Button"), ControlKind::PushButton},
    {TEXT("Static"), ControlKind::Text},
    {TEXT("Edit"), ControlKind::Edit},
    {TEXT("ListBox"), ControlKind::ListBox},
    {TEXT("ComboBox"), ControlKind::ComboBox},
    {TEXT("ScrollBar"), ControlKind::ScrollBar},
    {TEXT("msctls_updown32"), ControlKind::UpDown},
    {TEXT("msctls_trackbar32"), ControlKind::Trackbar},
    {TEXT("SysListView32"), ControlKind::ListView},
    {TEXT("SysTabControl32"), ControlKind::TabControl},
    {TEXT("#32770"), ControlKind::Dialog},
};

// Button kinds by BS_ type (the low four bits of the style).
const ControlKind kButtonKinds[] = {
    ControlKind::PushButton,    // BS_PUSHBUTTON
    ControlKind::DefPushButton, // BS_DEFPUSHBUTTON
    ControlKind::CheckBox,      // BS_CHECKBOX
    ControlKind::CheckBox,      // BS_AUTOCHECKBOX
    ControlKind::RadioButton,   // BS_RADIOBUTTON
    ControlKind::CheckBox,      // BS_3STATE
    ControlKind::CheckBox,      // BS_AUTO3STATE
    ControlKind::GroupBox,      // BS_GROUPBOX
    ControlKind::PushButton,    // BS_USERBUTTON
    ControlKind::RadioButton,   // BS_AUTORADIOBUTTON
    ControlKind::PushButton,    // BS_PUSHBOX
    ControlKind::OwnerDrawButton, // BS_OWNERDRAW
};

struct KindLabel {
    ControlKind kind;
    const char *name;
};
const KindLabel kKindNames[] = {
    {ControlKind::Unknown, "window"},   {ControlKind::Dialog, "dialog"},     {ControlKind::PushButton, "push"},
    {ControlKind::DefPushButton, "defpush"}, {ControlKind::CheckBox, "check"}, {ControlKind::RadioButton, "radio"},
    {ControlKind::GroupBox, "group"},   {ControlKind::OwnerDrawButton, "ownerdraw"}, {ControlKind::Text, "text"},
    {ControlKind::Icon, "icon"},        {ControlKind::Edit, "edit"},         {ControlKind::ListBox, "listbox"},
    {ControlKind::DropDownList, "droplist"}, {ControlKind::ComboBox, "combo"}, {ControlKind::ScrollBar, "scrollbar"},
    {ControlKind::UpDown, "updown"},    {ControlKind::Trackbar, "trackbar"}, {ControlKind::ListView, "listview"},
    {ControlKind::TabControl, "tab"},
};

constexpr DWORD kStaticTypeMask = 0x1F;
constexpr DWORD kStaticIcon = 0x03, kStaticBitmap = 0x0E;
constexpr DWORD kComboTypeMask = 0x03, kComboDropDownList = 0x03;
// A list-view row's check box is state image 1 (clear) or 2 (ticked) in bits 12-15 of its state.
constexpr UINT StateImage(UINT index) { return index << 12; }

DWORD Style(HWND w) { return static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE)); }

// A user can act only on a control that is there, shown and enabled.
bool Usable(HWND w) { return w && IsWindow(w) && IsWindowVisible(w) && IsWindowEnabled(w); }

void Notify(HWND control, WORD code)
{
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

// Where typing goes: an edit field itself, or the edit field inside a combo box.
HWND TypingTarget(HWND control)
{
    ControlKind k = KindOf(control);
    if (k == ControlKind::Edit) return control;
    if (k != ControlKind::ComboBox) return nullptr;
    for (HWND c = GetWindow(control, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (KindOf(c) == ControlKind::Edit) return c;
    return nullptr;
}

// The scroll message a bar or trackbar sends its parent, by its orientation.
UINT ScrollMessage(HWND control, ControlKind k)
{
    const DWORD vertical = k == ControlKind::Trackbar ? TBS_VERT : SBS_VERT;
    return (Style(control) & vertical) ? WM_VSCROLL : WM_HSCROLL;
}

void SendScroll(HWND control, UINT message, WORD code, WORD pos)
{
    SendMessageW(GetParent(control), message, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(control));
}

// The trackbar keys for each scroll code, so that the control moves itself and reports the move.
const UINT kTrackbarKeys[] = {VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, 0, 0, VK_HOME, VK_END};

int ListViewColumns(HWND lv)
{
    int n = 0;
    for (;; ++n) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH;
        if (!SendMessageW(lv, LVM_GETCOLUMNW, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&col))) break;
    }
    return std::max(n, 1);
}

WString ListViewText(HWND lv, int item, int sub)
{
    WCHAR buf[512] = {};
    LVITEMW it{};
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = static_cast<int>(std::size(buf));
    SendMessageW(lv, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    buf[std::size(buf) - 1] = 0;
    return buf;
}

void SetListViewState(HWND lv, int item, UINT state, UINT mask)
{
    LVITEMW it{};
    it.stateMask = mask;
    it.state = state;
    SendMessageW(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
}

void AppendQuoted(std::string &out, const WString &text)
{
    out += '"';
    for (char c : Utf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c; break;
        }
    }
    out += '"';
}

void DumpChildren(HWND parent, std::string &out)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ControlView v = Read(c);
        out += "id=" + std::to_string(v.id) + " kind=" + KindName(v.kind) + " text=";
        AppendQuoted(out, v.text);
        out += std::string(" enabled=") + (v.enabled ? "1" : "0") + " visible=" + (v.visible ? "1" : "0");
        if (v.checked >= 0) out += " checked=" + std::to_string(v.checked);
        if (v.selection != -1 || !v.entries.empty()) out += " selection=" + std::to_string(v.selection);
        if (!v.entries.empty()) {
            out += " entries=";
            for (size_t i = 0; i < v.entries.size(); ++i) {
                if (i) out += '|';
                AppendQuoted(out, v.entries[i]);
            }
        }
        out += '\n';
        // Pages of a sheet are dialogs inside it; a combo box's own edit field is part of the combo box.
        if (v.kind == ControlKind::Dialog) DumpChildren(c, out);
    }
}

} // namespace

ControlKind KindOf(HWND window)
{
    WCHAR name[64] = {};
    if (!window || !GetClassNameW(window, name, static_cast<int>(std::size(name)))) return ControlKind::Unknown;
    ControlKind kind = ControlKind::Unknown;
    for (const auto &c : kClasses)
        if (lstrcmpiW(name, c.className) == 0) kind = c.kind;
    DWORD style = Style(window);
    switch (kind) {
    case ControlKind::PushButton: {
        DWORD type = style & BS_TYPEMASK;
        return type < std::size(kButtonKinds) ? kButtonKinds[type] : ControlKind::PushButton;
    }
    case ControlKind::Text: {
        DWORD type = style & kStaticTypeMask;
        return type == kStaticIcon || type == kStaticBitmap ? ControlKind::Icon : ControlKind::Text;
    }
    case ControlKind::ComboBox:
        return (style & kComboTypeMask) == kComboDropDownList ? ControlKind::DropDownList : ControlKind::ComboBox;
    default: return kind;
    }
}

const char *KindName(ControlKind kind)
{
    for (const auto &k : kKindNames)
        if (k.kind == kind) return k.name;
    return "window";
}

bool Focus(HWND control)
{
    if (!Usable(control)) return false;
    SetFocus(control);
    return true;
}

bool Type(HWND control, const WString &text)
{
    HWND target = TypingTarget(control);
    if (!Usable(control) || !target) return false;
    SetFocus(target);
    for (WCHAR c : text) {
        if (!IsWindow(target)) return false;
        SendMessageW(target, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
    return true;
}

bool Key(HWND control, UINT virtualKey)
{
    if (!Usable(control)) return false;
    if (GetFocus() != control) SetFocus(control);
    SendMessageW(control, WM_KEYDOWN, virtualKey, 1);
    // Bits 30 and 31 of a key release: the key was down and is going up.
    if (IsWindow(control)) SendMessageW(control, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
    return true;
}

bool Paste(HWND control, const WString &text)
{
    HWND target = TypingTarget(control);
    if (!Usable(control) || !target) return false;
    if (!OpenClipboard(target)) return false;
    EmptyClipboard();
    bool placed = false;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR))) {
        if (auto *p = static_cast<WCHAR *>(GlobalLock(block))) {
            std::copy(text.begin(), text.end(), p);
            p[text.size()] = 0;
            GlobalUnlock(block);
            placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        }
        // The clipboard owns the block only once it took it.
        if (!placed) GlobalFree(block);
    }
    CloseClipboard();
    if (!placed) return false;
    SetFocus(target);
    SendMessageW(target, WM_PASTE, 0, 0);
    return true;
}

bool Retype(HWND control, const WString &text)
{
    HWND target = TypingTarget(control);
    if (!Usable(control) || !target) return false;
    SetFocus(target);
    SendMessageW(target, EM_SETSEL, 0, -1);
    // Typing replaces the selection; with nothing to type, Backspace clears it.
    if (text.empty()) {
        SendMessageW(target, WM_CHAR, VK_BACK, 1);
        return true;
    }
    return Type(control, text);
}

bool Click(HWND control)
{
    if (!Usable(control)) return false;
    switch (KindOf(control)) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::OwnerDrawButton: SendMessageW(control, BM_CLICK, 0, 0); return true;
    default: break;
    }
    RECT r{};
    GetClientRect(control, &r);
    return ClickAt(control, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool ClickAt(HWND control, int x, int y)
{
    if (!Usable(control)) return false;
    LPARAM at = MAKELPARAM(x, y);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    if (IsWindow(control)) SendMessageW(control, WM_LBUTTONUP, 0, at);
    return true;
}

bool Select(HWND control, int index)
{
    if (!Usable(control) || index < 0) return false;
    switch (KindOf(control)) {
    case ControlKind::ListBox: {
        if (index >= static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0))) return false;
        // Scrolled into view first, then clicked where it shows.
        RECT client{}, row{};
        GetClientRect(control, &client);
        SendMessageW(control, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
        if (row.top < client.top || row.bottom > client.bottom) {
            SendMessageW(control, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
            SendMessageW(control, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
        }
        return ClickAt(control, (row.left + row.right) / 2, (row.top + row.bottom) / 2);
    }
    case ControlKind::DropDownList:
    case ControlKind::ComboBox:
        // Picking from the dropped list: the box shows the entry and the parent hears CBN_SELCHANGE.
        if (index >= static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0))) return false;
        SetFocus(control);
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Notify(control, CBN_SELCHANGE);
        return true;
    case ControlKind::ListView:
        if (index >= static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0))) return false;
        SetFocus(control);
        SendMessageW(control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
        // A click on a row deselects the others; each state change reaches the parent as LVN_ITEMCHANGED.
        SetListViewState(control, -1, 0, LVIS_SELECTED);
        SetListViewState(control, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageW(control, LVM_SETSELECTIONMARK, 0, index);
        return true;
    default: return false;
    }
}

bool SelectText(HWND control, const WString &text)
{
    LRESULT found = -1;
    switch (KindOf(control)) {
    case ControlKind::ListBox:
        found = SendMessageW(control, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        break;
    case ControlKind::DropDownList:
    case ControlKind::ComboBox:
        found = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        break;
    case ControlKind::ListView: {
        std::vector<WString> rows = Entries(control);
        for (size_t i = 0; i < rows.size() && found < 0; ++i) {
            WString first = rows[i].substr(0, rows[i].find(TEXT('\t')));
            if (lstrcmpiW(first.c_str(), text.c_str()) == 0) found = static_cast<LRESULT>(i);
        }
        break;
    }
    default: return false;
    }
    return found >= 0 && Select(control, static_cast<int>(found));
}

bool CheckListItem(HWND listView, int index, bool checked)
{
    if (!Usable(listView) || KindOf(listView) != ControlKind::ListView) return false;
    if (index < 0 || index >= static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0))) return false;
    SetFocus(listView);
    SetListViewState(listView, index, StateImage(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
    return true;
}

bool ScrollBy(HWND control, int code)
{
    if (!Usable(control) || code < SB_LINEUP || code > SB_BOTTOM || code == SB_THUMBPOSITION || code == SB_THUMBTRACK)
        return false;
    ControlKind k = KindOf(control);
    if (k == ControlKind::Trackbar) return Key(control, kTrackbarKeys[code]);
    if (k != ControlKind::ScrollBar) return false;
    // A scroll bar only reports; its owner moves it.
    UINT message = ScrollMessage(control, k);
    SendScroll(control, message, static_cast<WORD>(code), 0);
    if (IsWindow(control)) SendScroll(control, message, SB_ENDSCROLL, 0);
    return true;
}

bool ScrollTo(HWND control, int pos)
{
    if (!Usable(control)) return false;
    ControlKind k = KindOf(control);
    if (k != ControlKind::ScrollBar && k != ControlKind::Trackbar) return false;
    UINT message = ScrollMessage(control, k);
    // A trackbar's thumb moves with the pointer; a scroll bar's owner moves it when told.
    if (k == ControlKind::Trackbar) {
        SendMessageW(control, TBM_SETPOS, TRUE, pos);
        pos = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    }
    const WORD p = static_cast<WORD>(pos);
    SendScroll(control, message, SB_THUMBTRACK, p);
    if (IsWindow(control)) SendScroll(control, message, SB_THUMBPOSITION, p);
    if (IsWindow(control)) SendScroll(control, message, k == ControlKind::Trackbar ? TB_ENDTRACK : SB_ENDSCROLL, 0);
    return true;
}

bool Spin(HWND upDown, int steps)
{
    if (!Usable(upDown) || KindOf(upDown) != ControlKind::UpDown) return false;
    RECT r{};
    GetClientRect(upDown, &r);
    const bool horizontal = (Style(upDown) & UDS_HORZ) != 0;
    // Up is the upper half (the right half of a horizontal control).
    int x = horizontal ? (steps > 0 ? r.right * 3 / 4 : r.right / 4) : r.right / 2;
    int y = horizontal ? r.bottom / 2 : (steps > 0 ? r.bottom / 4 : r.bottom * 3 / 4);
    for (int i = 0; i < std::abs(steps); ++i)
        if (!ClickAt(upDown, x, y)) return false;
    return true;
}

WString Text(HWND window)
{
    int n = GetWindowTextLengthW(window);
    if (n <= 0) return WString();
    WString text(static_cast<size_t>(n) + 1, 0);
    int got = GetWindowTextW(window, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::max(0, got)));
    return text;
}

bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

int Checked(HWND control)
{
    ControlKind k = KindOf(control);
    if (k != ControlKind::CheckBox && k != ControlKind::RadioButton) return -1;
    return static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
}

std::vector<WString> Entries(HWND control)
{
    std::vector<WString> out;
    ControlKind k = KindOf(control);
    UINT count = 0, len = 0, get = 0;
    switch (k) {
    case ControlKind::ListBox: count = LB_GETCOUNT, len = LB_GETTEXTLEN, get = LB_GETTEXT; break;
    case ControlKind::DropDownList:
    case ControlKind::ComboBox: count = CB_GETCOUNT, len = CB_GETLBTEXTLEN, get = CB_GETLBTEXT; break;
    case ControlKind::ListView: {
        int rows = static_cast<int>(SendMessageW(control, LVM_GETITEMCOUNT, 0, 0));
        int cols = ListViewColumns(control);
        for (int i = 0; i < rows; ++i) {
            WString row;
            for (int c = 0; c < cols; ++c) {
                if (c) row += TEXT('\t');
                row += ListViewText(control, i, c);
            }
            out.push_back(row);
        }
        return out;
    }
    default: return out;
    }
    int n = static_cast<int>(SendMessageW(control, count, 0, 0));
    for (int i = 0; i < n; ++i) {
        LRESULT l = SendMessageW(control, len, static_cast<WPARAM>(i), 0);
        WString text(static_cast<size_t>(std::max<LRESULT>(l, 0)) + 1, 0);
        LRESULT got = SendMessageW(control, get, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, std::max<LRESULT>(l, 0))));
        out.push_back(text);
    }
    return out;
}

int Selection(HWND control)
{
    switch (KindOf(control)) {
    case ControlKind::ListBox: return static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
    case ControlKind::DropDownList:
    case ControlKind::ComboBox: return static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    case ControlKind::ListView:
        return static_cast<int>(SendMessageW(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    case ControlKind::ScrollBar: return static_cast<int>(SendMessageW(control, SBM_GETPOS, 0, 0));
    case ControlKind::Trackbar: return static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
    case ControlKind::UpDown: return static_cast<int>(SendMessageW(control, UDM_GETPOS32, 0, 0));
    default: return -1;
    }
}

Caret CaretOf(HWND edit)
{
    Caret c;
    HWND target = TypingTarget(edit);
    if (target)
        SendMessageW(target, EM_GETSEL, reinterpret_cast<WPARAM>(&c.start), reinterpret_cast<LPARAM>(&c.end));
    return c;
}

ControlView Read(HWND control)
{
    ControlView v;
    v.id = GetDlgCtrlID(control);
    v.kind = KindOf(control);
    // A user sees no text on a drop-down list's window or an icon (whose window text may hold the icon's
    // resource ordinal).
    v.text = v.kind == ControlKind::DropDownList || v.kind == ControlKind::Icon ? WString() : Text(control);
    v.enabled = Enabled(control);
    v.visible = Visible(control);
    v.checked = Checked(control);
    v.selection = Selection(control);
    v.entries = Entries(control);
    // A drop-down list shows its selected entry as its text.
    if (v.kind == ControlKind::DropDownList && v.selection >= 0 && v.selection < static_cast<int>(v.entries.size()))
        v.text = v.entries[static_cast<size_t>(v.selection)];
    return v;
}

std::string Dump(HWND window)
{
    std::string out;
    if (window && IsWindow(window)) DumpChildren(window, out);
    return out;
}

std::string Utf8(const WString &text)
{
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace zep::ui
