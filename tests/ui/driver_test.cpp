// The UI driver on the fixture's dialog with every control kind: opened from the template, driven as a user
// would, and read back; modal dialogs and message boxes answered from queues.
#include <algorithm>
#include <sstream>

#include "resfixture_ids.h"
#include "ui_test_util.h"

namespace zep::uitest {
namespace {

using ui::ControlKind;

class EveryControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(module_.get()) << ZEP_RES_FIXTURE_PATH;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(nullptr, WC_LISTVIEWW, &wc)) GTEST_SKIP() << "no list view class in the layer yet";
        dlg_ = ui::OpenDialog(module_.get(), IDD_EVERY_CONTROL, LoggingProc, reinterpret_cast<LPARAM>(&log_));
        ASSERT_TRUE(dlg_) << GetLastError();
        test::FillEveryControl(dlg_);
        log_.heard.clear();
    }
    void TearDown() override { ZepUiDestroyAllWindows(); }
    HWND Item(int id) { return GetDlgItem(dlg_, id); }

    Module module_{ZEP_RES_FIXTURE_PATH};
    DialogLog log_;
    HWND dlg_ = nullptr;
};

TEST_F(EveryControl, EachControlIsOfItsKind)
{
    const struct {
        int id;
        ControlKind kind;
        const char *text;
    } cases[] = {
        {IDC_PUSH, ControlKind::PushButton, "&Push"},        {IDC_DEFPUSH, ControlKind::PushButton, "&Default"},
        {IDC_CHECK, ControlKind::CheckBox, "Chec&k"},        {IDC_AUTOCHECK, ControlKind::CheckBox, "&Auto check"},
        {IDC_GROUP, ControlKind::GroupBox, "&Group"},        {IDC_RADIO1, ControlKind::RadioButton, "Radio &1"},
        {IDC_AUTORADIO2, ControlKind::RadioButton, "Auto radio &4"}, {IDC_OWNERDRAW, ControlKind::OwnerDrawButton, ""},
        {IDC_TEXT, ControlKind::Text, "Static &text"},       {IDC_STATIC_ICON, ControlKind::Icon, ""},
        {IDC_EDIT, ControlKind::Edit, ""},                   {IDC_LIST, ControlKind::ListBox, ""},
        {IDC_DROPLIST, ControlKind::DropDownList, ""},       {IDC_DROPDOWN, ControlKind::ComboBox, ""},
        {IDC_SCROLL, ControlKind::ScrollBar, ""},            {IDC_UPDOWN, ControlKind::UpDown, ""},
        {IDC_TRACKBAR, ControlKind::Trackbar, ""},           {IDC_LISTVIEW, ControlKind::ListView, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        ui::ControlView v = ui::Read(Item(c.id));
        EXPECT_EQ(c.id, v.id);
        EXPECT_EQ(c.kind, v.kind);
        EXPECT_EQ(W(c.text), v.text);
        EXPECT_TRUE(v.enabled);
        EXPECT_TRUE(v.visible);
    }
    EXPECT_EQ((std::vector<WString>{W("First\t1"), W("Second\t2")}), ui::Entries(Item(IDC_LISTVIEW)));
    EXPECT_EQ((std::vector<WString>{W("Letter"), W("A4"), W("Legal")}), ui::Entries(Item(IDC_DROPLIST)));
}

TEST_F(EveryControl, DumpHasALinePerControl)
{
    CheckDlgButton(dlg_, IDC_AUTOCHECK, BST_CHECKED);
    SendMessageW(Item(IDC_DROPLIST), CB_SETCURSEL, 1, 0);
    EnableWindow(Item(IDC_PUSH), FALSE);
    std::string dump = ui::Dump(dlg_);
    std::vector<std::string> lines;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    // The 21 controls of the template and OK and Cancel; a combo box's own edit field is not a line.
    EXPECT_EQ(23u, lines.size()) << dump;
    auto has = [&](const std::string &line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("id=1001 kind=push text=\"&Push\" enabled=0 visible=1")) << dump;
    EXPECT_TRUE(has("id=1004 kind=check text=\"&Auto check\" enabled=1 visible=1 checked=1")) << dump;
    EXPECT_TRUE(has("id=1015 kind=droplist text=\"A4\" enabled=1 visible=1 selection=1 entries=\"Letter\"|\"A4\"|\"Legal\""))
        << dump;
    EXPECT_TRUE(has("id=1021 kind=listview text=\"\" enabled=1 visible=1 selection=-1 entries=\"First\\t1\"|\"Second\\t2\""))
        << dump;
}

TEST_F(EveryControl, TypingReportsEachCharacterAndPastingOnce)
{
    HWND edit = Item(IDC_EDIT);
    ASSERT_TRUE(ui::Type(edit, W("ab")));
    EXPECT_EQ(W("ab"), ui::Text(edit));
    EXPECT_EQ(2, log_.count(WM_COMMAND, IDC_EDIT, EN_CHANGE));
    EXPECT_EQ(2, log_.count(WM_COMMAND, IDC_EDIT, EN_UPDATE));
    EXPECT_EQ(2u, ui::CaretOf(edit).end);

    ASSERT_TRUE(ui::Key(edit, VK_HOME));
    ASSERT_TRUE(ui::Paste(edit, W("xyz")));
    EXPECT_EQ(W("xyzab"), ui::Text(edit));
    EXPECT_EQ(3, log_.count(WM_COMMAND, IDC_EDIT, EN_CHANGE));
    EXPECT_EQ(3u, ui::CaretOf(edit).start);
    EXPECT_EQ(3u, ui::CaretOf(edit).end);

    ASSERT_TRUE(ui::Retype(edit, W("new")));
    EXPECT_EQ(W("new"), ui::Text(edit));
    ASSERT_TRUE(ui::Retype(edit, WString()));
    EXPECT_EQ(WString(), ui::Text(edit));

    // Typing into a combo box goes to its edit field and comes back as the combo box's own notification.
    ASSERT_TRUE(ui::Type(Item(IDC_DROPDOWN), W("Tw")));
    EXPECT_EQ(W("Tw"), ui::Text(Item(IDC_DROPDOWN)));
    EXPECT_EQ(2, log_.count(WM_COMMAND, IDC_DROPDOWN, CBN_EDITCHANGE));
    // Nothing to type into.
    EXPECT_FALSE(ui::Type(Item(IDC_PUSH), W("x")));
    EXPECT_FALSE(ui::Paste(Item(IDC_LIST), W("x")));
}

TEST_F(EveryControl, ClicksActAsTheButtonKindDoes)
{
    ASSERT_TRUE(ui::Click(Item(IDC_PUSH)));
    EXPECT_EQ(1, log_.count(WM_COMMAND, IDC_PUSH, BN_CLICKED));
    // A plain check box reports the click and leaves checking to the dialog; an automatic one checks itself.
    ASSERT_TRUE(ui::Click(Item(IDC_CHECK)));
    EXPECT_EQ(1, log_.count(WM_COMMAND, IDC_CHECK, BN_CLICKED));
    EXPECT_EQ(BST_UNCHECKED, ui::Checked(Item(IDC_CHECK)));
    ASSERT_TRUE(ui::Click(Item(IDC_AUTOCHECK)));
    EXPECT_EQ(BST_CHECKED, ui::Checked(Item(IDC_AUTOCHECK)));
    ASSERT_TRUE(ui::Click(Item(IDC_AUTORADIO1)));
    ASSERT_TRUE(ui::Click(Item(IDC_AUTORADIO2)));
    EXPECT_EQ(BST_UNCHECKED, ui::Checked(Item(IDC_AUTORADIO1)));
    EXPECT_EQ(BST_CHECKED, ui::Checked(Item(IDC_AUTORADIO2)));
    EXPECT_EQ(-1, ui::Checked(Item(IDC_PUSH)));

    // A user cannot click what is disabled or hidden: nothing is sent.
    EnableWindow(Item(IDC_PUSH), FALSE);
    ShowWindow(Item(IDC_DEFPUSH), SW_HIDE);
    log_.heard.clear();
    EXPECT_FALSE(ui::Click(Item(IDC_PUSH)));
    EXPECT_FALSE(ui::Click(Item(IDC_DEFPUSH)));
    EXPECT_FALSE(ui::Click(nullptr));
    EXPECT_TRUE(log_.heard.empty());
    EXPECT_FALSE(ui::Enabled(Item(IDC_PUSH)));
    EXPECT_FALSE(ui::Visible(Item(IDC_DEFPUSH)));
}

TEST_F(EveryControl, SelectingEntriesNotifiesTheParent)
{
    // The last entries are below the list's visible rows: they are scrolled to and clicked.
    ASSERT_TRUE(ui::Select(Item(IDC_LIST), 5));
    EXPECT_EQ(5, ui::Selection(Item(IDC_LIST)));
    ASSERT_TRUE(ui::SelectText(Item(IDC_LIST), W("beta")));
    EXPECT_EQ(1, ui::Selection(Item(IDC_LIST)));
    EXPECT_EQ(2, log_.count(WM_COMMAND, IDC_LIST, LBN_SELCHANGE));

    ASSERT_TRUE(ui::SelectText(Item(IDC_DROPLIST), W("Legal")));
    EXPECT_EQ(2, ui::Selection(Item(IDC_DROPLIST)));
    EXPECT_EQ(W("Legal"), ui::Read(Item(IDC_DROPLIST)).text);
    EXPECT_EQ(1, log_.count(WM_COMMAND, IDC_DROPLIST, CBN_SELCHANGE));
    ASSERT_TRUE(ui::Select(Item(IDC_DROPDOWN), 1));
    EXPECT_EQ(W("Two"), ui::Text(Item(IDC_DROPDOWN)));

    ASSERT_TRUE(ui::Select(Item(IDC_LISTVIEW), 1));
    EXPECT_EQ(1, ui::Selection(Item(IDC_LISTVIEW)));
    EXPECT_GE(log_.count(WM_NOTIFY, IDC_LISTVIEW, LVN_ITEMCHANGED), 1);
    ASSERT_TRUE(ui::SelectText(Item(IDC_LISTVIEW), W("First")));
    EXPECT_EQ(0, ui::Selection(Item(IDC_LISTVIEW)));

    // Out of range, unknown text, or not a list: nothing happens.
    log_.heard.clear();
    EXPECT_FALSE(ui::Select(Item(IDC_LIST), 6));
    EXPECT_FALSE(ui::Select(Item(IDC_DROPLIST), -1));
    EXPECT_FALSE(ui::SelectText(Item(IDC_DROPLIST), W("Tabloid")));
    EXPECT_FALSE(ui::Select(Item(IDC_EDIT), 0));
    EXPECT_TRUE(log_.heard.empty());
    EXPECT_EQ(2, ui::Selection(Item(IDC_DROPLIST)));
}

TEST_F(EveryControl, ScrollBarsTrackbarsAndUpDownsMoveAsDragged)
{
    HWND bar = Item(IDC_SCROLL);
    ASSERT_TRUE(ui::ScrollBy(bar, SB_LINERIGHT));
    ASSERT_TRUE(ui::ScrollTo(bar, 40));
    EXPECT_EQ((std::vector<Heard>{{WM_HSCROLL, IDC_SCROLL, SB_LINERIGHT, 0},
                                  {WM_HSCROLL, IDC_SCROLL, SB_ENDSCROLL, 0},
                                  {WM_HSCROLL, IDC_SCROLL, SB_THUMBTRACK, 40},
                                  {WM_HSCROLL, IDC_SCROLL, SB_THUMBPOSITION, 40},
                                  {WM_HSCROLL, IDC_SCROLL, SB_ENDSCROLL, 0}}),
              log_.heard);
    EXPECT_FALSE(ui::ScrollBy(bar, SB_THUMBTRACK));

    HWND track = Item(IDC_TRACKBAR);
    log_.heard.clear();
    ASSERT_TRUE(ui::ScrollTo(track, 7));
    EXPECT_EQ(7, ui::Selection(track));
    EXPECT_EQ(1, log_.count(WM_HSCROLL, IDC_TRACKBAR, TB_THUMBPOSITION));
    EXPECT_EQ(1, log_.count(WM_HSCROLL, IDC_TRACKBAR, TB_ENDTRACK));
    ASSERT_TRUE(ui::ScrollBy(track, TB_LINEDOWN));
    EXPECT_EQ(8, ui::Selection(track));
    ASSERT_TRUE(ui::ScrollBy(track, TB_BOTTOM));
    EXPECT_EQ(20, ui::Selection(track));
    EXPECT_EQ(1, log_.count(WM_HSCROLL, IDC_TRACKBAR, TB_LINEDOWN));
    EXPECT_EQ(1, log_.count(WM_HSCROLL, IDC_TRACKBAR, TB_BOTTOM));
    // A drag past the end stops at the end.
    ASSERT_TRUE(ui::ScrollTo(track, 99));
    EXPECT_EQ(20, ui::Selection(track));

    HWND spin = Item(IDC_UPDOWN);
    ASSERT_TRUE(ui::Spin(spin, 3));
    EXPECT_EQ(3, ui::Selection(spin));
    EXPECT_EQ(W("3"), ui::Text(Item(IDC_BUDDY)));
    ASSERT_TRUE(ui::Spin(spin, -5));
    EXPECT_EQ(0, ui::Selection(spin));
    EXPECT_FALSE(ui::Spin(bar, 1));
}

// A modal run of the same template: the queued actions act inside it, each opening takes the next entry.
TEST_F(EveryControl, ModalDialogsTakeTheirQueuedActions)
{
    ui::Driver driver;
    DialogLog modalLog;
    WString typed;
    driver.OnNextDialog([&](HWND d) {
        EXPECT_TRUE(ui::Type(GetDlgItem(d, IDC_EDIT), W("hello")));
        typed = ui::Text(GetDlgItem(d, IDC_EDIT));
        EXPECT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
    });
    driver.OnNextDialog([&](HWND d) { EXPECT_TRUE(ui::Click(GetDlgItem(d, IDCANCEL))); });
    auto run = [&] {
        return DialogBoxParamW(module_.get(), MAKEINTRESOURCEW(IDD_EVERY_CONTROL), dlg_, LoggingProc,
                               reinterpret_cast<LPARAM>(&modalLog));
    };
    EXPECT_EQ(IDOK, run());
    EXPECT_EQ(W("hello"), typed);
    EXPECT_EQ(IDCANCEL, run());
    EXPECT_TRUE(driver.Problems().empty());

    // Nothing queued: the dialog is noted and does not end; actions that leave it open are noted too.
    EXPECT_EQ(-1, run());
    driver.OnNextDialog([](HWND) {});
    EXPECT_EQ(-1, run());
    ASSERT_EQ(2u, driver.Problems().size());
    EXPECT_NE(std::string::npos, driver.Problems()[0].find("nothing answers: \"Every Control\""));
    EXPECT_NE(std::string::npos, driver.Problems()[1].find("left the dialog \"Every Control\" open"));
    EXPECT_EQ(4, driver.DialogsSeen());
}

TEST(Driver, MessageBoxesAreAnsweredFromTheQueueAndRecorded)
{
    ui::Driver driver;
    driver.AnswerNextMessageBox(IDNO);
    EXPECT_EQ(IDNO, MessageBoxW(nullptr, W("Replace it?").c_str(), W("Question").c_str(), MB_YESNO | MB_ICONQUESTION));
    // Unqueued: the default button.
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, W("Go on?").c_str(), nullptr, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONWARNING));
    MessageBeep(MB_OK);
    ASSERT_EQ(2u, driver.MessageBoxes().size());
    const auto &first = driver.MessageBoxes()[0];
    EXPECT_EQ(W("Replace it?"), first.text);
    EXPECT_EQ(W("Question"), first.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONQUESTION), first.type & MB_ICONMASK);
    EXPECT_EQ(IDNO, first.answer);
    EXPECT_EQ(W("Error"), driver.MessageBoxes()[1].caption);
    EXPECT_EQ(0, driver.MessageBoxes()[1].answer);
    EXPECT_EQ(1, driver.Beeps());
}

TEST(Driver, NothingIsAnsweredOnceTheDriverIsGone)
{
    {
        ui::Driver driver;
    }
    Module module(ZEP_RES_FIXTURE_PATH);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(-1, DialogBoxParamW(module.get(), MAKEINTRESOURCEW(IDD_EVERY_CONTROL), nullptr, LoggingProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
    EXPECT_EQ(0, ZepUiWindowCount());
}

TEST(Driver, Utf8)
{
    const WCHAR text[] = {'a', 0x00E9, 0x65E5, 0xD83D, 0xDE00, 0xD800, 0};
    EXPECT_EQ("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\xEF\xBF\xBD", ui::Utf8(text));
}

} // namespace
} // namespace zep::uitest
