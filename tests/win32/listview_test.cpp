// List views in report view: columns, items and sub-item texts, selection and focus states, search, notifications.
#include "win32_test.h"

#include <string>
#include <vector>

namespace {

using zep::test::WString;

// A dialog holding one report list view, id 100, with the given style.
std::vector<BYTE> ListDialog(DWORD listStyle)
{
    return zep::test::DialogTemplate(WS_POPUP | WS_CAPTION, "List", 200, 120)
        .Control(WS_TABSTOP | WS_BORDER | LVS_REPORT | listStyle, 7, 7, 186, 100, 100, "SysListView32", "")
        .Bytes();
}

struct Note {
    UINT code;
    int item;
    UINT oldState, newState, changed;
    bool operator==(const Note &o) const
    {
        return code == o.code && item == o.item && oldState == o.oldState && newState == o.newState && changed == o.changed;
    }
};
std::ostream &operator<<(std::ostream &os, const Note &n)
{
    return os << "{" << static_cast<int>(n.code) << ", item " << n.item << ", " << n.oldState << "->" << n.newState
              << ", changed " << n.changed << "}";
}

// The notes without those of one code.
std::vector<Note> Without(const std::vector<Note> &notes, UINT code)
{
    std::vector<Note> out;
    for (const Note &n : notes)
        if (n.code != code) out.push_back(n);
    return out;
}

// The parent: records the list view's notifications and answers them as told.
struct Parent {
    std::vector<Note> notes;
    bool refuseChanging = false;
    bool quietDeleteAll = false;
    LPARAM lastParam = 0;
    WORD lastKey = 0;
};

INT_PTR CALLBACK ParentProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        return TRUE;
    }
    auto *p = reinterpret_cast<Parent *>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (msg != WM_NOTIFY || !p) return FALSE;
    auto *hdr = reinterpret_cast<const NMHDR *>(lParam);
    if (hdr->idFrom != 100) return FALSE;
    LONG_PTR answer = 0;
    switch (hdr->code) {
    case LVN_ITEMCHANGING:
    case LVN_ITEMCHANGED:
    case LVN_INSERTITEM:
    case LVN_DELETEITEM:
    case LVN_DELETEALLITEMS: {
        auto *nm = reinterpret_cast<const NMLISTVIEW *>(lParam);
        p->notes.push_back({hdr->code, nm->iItem, nm->uOldState, nm->uNewState, nm->uChanged});
        p->lastParam = nm->lParam;
        if (hdr->code == LVN_ITEMCHANGING) answer = p->refuseChanging;
        if (hdr->code == LVN_DELETEALLITEMS) answer = p->quietDeleteAll;
        break;
    }
    case NM_CLICK:
    case NM_DBLCLK: {
        auto *nm = reinterpret_cast<const NMITEMACTIVATE *>(lParam);
        p->notes.push_back({hdr->code, nm->iItem, 0, 0, 0});
        break;
    }
    case LVN_KEYDOWN:
        p->lastKey = reinterpret_cast<const NMLVKEYDOWN *>(lParam)->wVKey;
        p->notes.push_back({hdr->code, -1, 0, 0, 0});
        break;
    case NM_SETFOCUS:
    case NM_KILLFOCUS: p->notes.push_back({hdr->code, -1, 0, 0, 0}); break;
    default: return FALSE;
    }
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, answer);
    return TRUE;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override
    {
        if (dlg_) DestroyWindow(dlg_);
    }
    // Opens the dialog with two columns and rows "Alpha"/"1", "Beta"/"2", "Gamma"/"3" (lParam 10, 20, 30).
    HWND Open(DWORD listStyle = 0)
    {
        tpl_ = ListDialog(listStyle);
        dlg_ = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(tpl_.data()), nullptr, ParentProc,
                                          reinterpret_cast<LPARAM>(&parent_));
        list_ = GetDlgItem(dlg_, 100);
        if (!list_) return nullptr;
        const WCHAR *titles[] = {TEXT("Overlay"), TEXT("Page")};
        for (int c = 0; c < 2; ++c) {
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            col.cx = 100;
            col.pszText = const_cast<LPWSTR>(titles[c]);
            (void)ListView_InsertColumn(list_, c, &col);
        }
        const WCHAR *names[] = {TEXT("Alpha"), TEXT("Beta"), TEXT("Gamma")};
        const WCHAR *pages[] = {TEXT("1"), TEXT("2"), TEXT("3")};
        for (int i = 0; i < 3; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = i;
            item.pszText = const_cast<LPWSTR>(names[i]);
            item.lParam = (i + 1) * 10;
            (void)ListView_InsertItem(list_, &item);
            ListView_SetItemText(list_, i, 1, const_cast<LPWSTR>(pages[i]));
        }
        parent_.notes.clear();
        return list_;
    }
    std::vector<int> Selected()
    {
        std::vector<int> out;
        for (int i = -1; (i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) >= 0;) out.push_back(i);
        return out;
    }
    std::vector<BYTE> tpl_;
    Parent parent_;
    HWND dlg_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(ListViewTest, ColumnsItemsAndSubItemTexts)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(3, ListView_GetItemCount(list_));
    EXPECT_EQ(100, ListView_GetColumnWidth(list_, 1));
    EXPECT_TRUE(ListView_SetColumnWidth(list_, 1, 60));
    EXPECT_EQ(60, ListView_GetColumnWidth(list_, 1));
    WCHAR title[16];
    zep::test::FillJunk(title);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = title;
    col.cchTextMax = 16;
    ASSERT_TRUE(ListView_GetColumn(list_, 1, &col));
    EXPECT_EQ(WString(TEXT("Page")), WString(title));

    WCHAR text[8];
    zep::test::FillJunk(text);
    ListView_GetItemText(list_, 1, 1, text, 8);
    EXPECT_EQ(WString(TEXT("2")), WString(text));
    EXPECT_TRUE(zep::test::IsJunk(text + 2, 6)) << "only the text and its terminator are written";
    // A short buffer gets the text cut and terminated.
    zep::test::FillJunk(text);
    ListView_GetItemText(list_, 2, 0, text, 3);
    EXPECT_EQ(WString(TEXT("Ga")), WString(text));
    // An item that does not exist leaves the buffer alone.
    zep::test::FillJunk(text);
    LVITEMW get{};
    get.iSubItem = 0;
    get.pszText = text;
    get.cchTextMax = 8;
    EXPECT_EQ(0, SendMessageW(list_, LVM_GETITEMTEXTW, 7, reinterpret_cast<LPARAM>(&get)));
    EXPECT_TRUE(zep::test::IsJunk(text, 8));

    LVITEMW item{};
    item.mask = LVIF_PARAM | LVIF_STATE;
    item.iItem = 2;
    item.stateMask = LVIS_SELECTED;
    ASSERT_TRUE(ListView_GetItem(list_, &item));
    EXPECT_EQ(30, item.lParam);
    item.iItem = 3;
    EXPECT_FALSE(ListView_GetItem(list_, &item));

    // An index past the end appends; a negative one fails.
    LVITEMW add{};
    add.mask = LVIF_TEXT;
    add.pszText = const_cast<LPWSTR>(TEXT("Delta"));
    add.iItem = 99;
    EXPECT_EQ(3, ListView_InsertItem(list_, &add));
    add.iItem = -1;
    EXPECT_EQ(-1, ListView_InsertItem(list_, &add));
    EXPECT_EQ(4, ListView_GetItemCount(list_));
}

TEST_F(ListViewTest, StateChangesAreAnnouncedAndMayBeRefused)
{
    ASSERT_TRUE(Open());
    ListView_SetItemState(list_, 1, LVIS_SELECTED, LVIS_SELECTED);
    std::vector<Note> expected = {{LVN_ITEMCHANGING, 1, 0, LVIS_SELECTED, LVIF_STATE},
                                  {LVN_ITEMCHANGED, 1, 0, LVIS_SELECTED, LVIF_STATE}};
    EXPECT_EQ(expected, parent_.notes);
    EXPECT_EQ(20, parent_.lastParam);
    // The same state again changes nothing and announces no change (whether LVN_ITEMCHANGING still asks first is
    // left open: Wine asks).
    parent_.notes.clear();
    ListView_SetItemState(list_, 1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(std::vector<Note>(), Without(parent_.notes, LVN_ITEMCHANGING));

    parent_.refuseChanging = true;
    parent_.notes.clear();
    ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
    expected = {{LVN_ITEMCHANGING, 2, 0, LVIS_SELECTED, LVIF_STATE}};
    EXPECT_EQ(expected, parent_.notes);
    EXPECT_EQ(0u, ListView_GetItemState(list_, 2, LVIS_SELECTED));
    EXPECT_EQ(1u, ListView_GetSelectedCount(list_));
}

struct SelectionCase {
    const char *name;
    DWORD style;
    std::vector<int> selected; // after selecting 0 and then 2
};

TEST_F(ListViewTest, SingleSelectionKeepsOneItemMultipleKeepsAll)
{
    const SelectionCase cases[] = {
        {"multiple selection", 0, {0, 2}},
        {"LVS_SINGLESEL", LVS_SINGLESEL, {2}},
    };
    for (const SelectionCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Open(c.style));
        ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
        ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(c.selected, Selected());
        EXPECT_EQ(c.selected.size(), ListView_GetSelectedCount(list_));
        // Selecting every item at once (-1) is refused by a single-selection list; clearing works for both.
        ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(c.style ? c.selected : std::vector<int>({0, 1, 2}), Selected());
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
        EXPECT_TRUE(Selected().empty());
        DestroyWindow(dlg_);
        dlg_ = nullptr;
    }
}

TEST_F(ListViewTest, OnlyOneItemHoldsTheFocus)
{
    ASSERT_TRUE(Open());
    ListView_SetItemState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    parent_.notes.clear();
    ListView_SetItemState(list_, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(0u, ListView_GetItemState(list_, 0, LVIS_FOCUSED));
    EXPECT_EQ(static_cast<UINT>(LVIS_FOCUSED), ListView_GetItemState(list_, 2, LVIS_FOCUSED));
    EXPECT_EQ(2, ListView_GetNextItem(list_, -1, LVNI_FOCUSED));
    std::vector<Note> changed;
    for (const Note &n : parent_.notes)
        if (n.code == LVN_ITEMCHANGED) changed.push_back(n);
    std::vector<Note> expected = {{LVN_ITEMCHANGED, 0, LVIS_FOCUSED, 0, LVIF_STATE},
                                  {LVN_ITEMCHANGED, 2, 0, LVIS_FOCUSED, LVIF_STATE}};
    EXPECT_EQ(expected, changed);
}

TEST_F(ListViewTest, DeletionIsReportedAndTheRestMoveUp)
{
    ASSERT_TRUE(Open());
    ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
    parent_.notes.clear();
    EXPECT_TRUE(ListView_DeleteItem(list_, 0));
    // An unselected item goes without a state change; Wine first asks LVN_ITEMCHANGING to clear its (clear) state.
    std::vector<Note> deleted = Without(parent_.notes, LVN_ITEMCHANGING);
    ASSERT_EQ(1u, deleted.size()) << ::testing::PrintToString(parent_.notes);
    EXPECT_EQ(static_cast<UINT>(LVN_DELETEITEM), deleted[0].code);
    EXPECT_EQ(0, deleted[0].item);
    EXPECT_EQ(10, parent_.lastParam);
    EXPECT_EQ(std::vector<int>({1}), Selected());
    EXPECT_FALSE(ListView_DeleteItem(list_, 5));

    struct DeleteAllCase {
        const char *name;
        bool quiet;
        size_t notes; // LVN_DELETEALLITEMS, then one LVN_DELETEITEM per item unless the parent said TRUE
    };
    const DeleteAllCase cases[] = {{"each item reported", false, 3}, {"parent asks for quiet", true, 1}};
    for (const DeleteAllCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Open());
        parent_.quietDeleteAll = c.quiet;
        parent_.notes.clear();
        (void)ListView_DeleteItem(list_, 0);
        parent_.notes.clear();
        EXPECT_TRUE(ListView_DeleteAllItems(list_));
        ASSERT_EQ(c.notes, parent_.notes.size());
        EXPECT_EQ(static_cast<UINT>(LVN_DELETEALLITEMS), parent_.notes[0].code);
        EXPECT_EQ(-1, parent_.notes[0].item);
        EXPECT_EQ(0, ListView_GetItemCount(list_));
        DestroyWindow(dlg_);
        dlg_ = nullptr;
    }
}

struct FindCase {
    const char *name;
    UINT flags;
    const WCHAR *text;
    LPARAM param;
    int start;
    int found;
};

TEST_F(ListViewTest, FindItemByParamOrText)
{
    ASSERT_TRUE(Open());
    const FindCase cases[] = {
        {"param", LVFI_PARAM, nullptr, 20, -1, 1},
        {"text ignores case", LVFI_STRING, TEXT("gamma"), 0, -1, 2},
        {"whole text only", LVFI_STRING, TEXT("Gam"), 0, -1, -1},
        {"partial", LVFI_PARTIAL | LVFI_STRING, TEXT("Be"), 0, -1, 1},
        {"search starts after start", LVFI_PARAM, nullptr, 10, 0, -1},
        {"wrap goes round", LVFI_PARAM | LVFI_WRAP, nullptr, 10, 1, 0},
    };
    for (const FindCase &c : cases) {
        LVFINDINFOW info{};
        info.flags = c.flags;
        info.psz = c.text;
        info.lParam = c.param;
        EXPECT_EQ(c.found, ListView_FindItem(list_, c.start, &info)) << c.name;
    }
}

TEST_F(ListViewTest, ExtendedStylesChangeUnderTheirMask)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(0u, ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              ListView_SetExtendedListViewStyleEx(list_, LVS_EX_GRIDLINES, 0));
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT), ListView_GetExtendedListViewStyle(list_));
}

// The user's side: a click on a row selects it alone, a click on nothing clears the selection.
TEST_F(ListViewTest, ClicksSelectAndReportTheItem)
{
    ASSERT_TRUE(Open());
    (void)ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
    RECT r;
    ASSERT_TRUE(ListView_GetItemRect(list_, 1, &r, LVIR_BOUNDS));
    SetFocus(nullptr);
    parent_.notes.clear();
    // A button-up already queued ends the drag check that a real list view runs on a press.
    PostMessageW(list_, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 150, r.top + 2));
    SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 150, r.top + 2));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(std::vector<int>({1}), Selected());
    EXPECT_EQ(1, ListView_GetNextItem(list_, -1, LVNI_FOCUSED));
    EXPECT_EQ(list_, GetFocus());
    bool clicked = false, focusNote = false;
    for (const Note &n : parent_.notes) {
        if (n.code == NM_CLICK) clicked = n.item == 1;
        if (n.code == NM_SETFOCUS) focusNote = true;
    }
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(focusNote);

    parent_.notes.clear();
    SendMessageW(list_, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(static_cast<WORD>(VK_DOWN), parent_.lastKey);
    EXPECT_EQ(std::vector<int>({2}), Selected());
}

} // namespace
