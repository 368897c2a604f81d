// The UI driver on real templates (the fixture's every-control dialog, ZepPS's job-name dialog): opened, read and
// driven modeless, then run modal with a message box inside, answered through the driver's queues.
#include "tests/win32/fixture_modules.h"
#include "tests/win32/win32_test.h"

#include "host/uidriver/uidriver.h"
#include "resfixture_ids.h"
#include "zepps_ids.h"

#include <algorithm>
#include <iterator>

#ifndef _WIN32
#include "zep_ui.h"
#endif

using namespace zep::test;
namespace ui = zep::ui;
using ui::ControlKind;

namespace {

// What the dialog hears from its controls: WM_COMMAND, WM_NOTIFY and the scroll messages.
struct Heard {
    UINT message;
    int id;
    UINT code;
    int pos = 0; // the thumb position a scroll message carries
};
struct Log {
    std::vector<Heard> heard;
    int Count(UINT message, int id, UINT code) const
    {
        return static_cast<int>(std::count_if(heard.begin(), heard.end(), [&](const Heard &h) {
            return h.message == message && h.id == id && h.code == code;
        }));
    }
    // The codes one control sent with `message`, in order.
    std::vector<UINT> Codes(UINT message, int id) const
    {
        std::vector<UINT> out;
        for (const auto &h : heard)
            if (h.message == message && h.id == id) out.push_back(h.code);
        return out;
    }
};

// Logs what the controls report and owns the scroll bar as a dialog does: a scroll bar only reports, its owner
// moves it. A modal run ends on OK and Cancel.
INT_PTR CALLBACK LoggingProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        return TRUE;
    }
    auto *log = reinterpret_cast<Log *>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!log) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        log->heard.push_back({msg, LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        auto *hdr = reinterpret_cast<const NMHDR *>(lParam);
        log->heard.push_back({msg, static_cast<int>(hdr->idFrom), hdr->code});
        return FALSE;
    }
    case WM_HSCROLL: {
        auto bar = reinterpret_cast<HWND>(lParam);
        log->heard.push_back({msg, GetDlgCtrlID(bar), LOWORD(wParam), static_cast<short>(HIWORD(wParam))});
        if (GetDlgCtrlID(bar) != IDC_SCROLL) return TRUE;
        int pos = GetScrollPos(bar, SB_CTL);
        if (LOWORD(wParam) == SB_LINERIGHT) SetScrollPos(bar, SB_CTL, pos + 1, TRUE);
        if (LOWORD(wParam) == SB_LINELEFT) SetScrollPos(bar, SB_CTL, pos - 1, TRUE);
        if (LOWORD(wParam) == SB_THUMBPOSITION) SetScrollPos(bar, SB_CTL, static_cast<short>(HIWORD(wParam)), TRUE);
        return TRUE;
    }
    default: return FALSE;
    }
}

// The job-name prompt as a plug-in runs it: opens with a name, OK with an empty field complains in a message box
// and stays open, OK with a name ends the dialog with it.
struct JobName {
    WString name;
    int complaints = 0;
};
INT_PTR CALLBACK JobNameProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        auto *job = reinterpret_cast<JobName *>(lParam);
        SetDlgItemTextW(dlg, IDC_JOBNAME_EDIT, job->name.c_str());
        return TRUE;
    }
    auto *job = reinterpret_cast<JobName *>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (msg != WM_COMMAND || !job) return FALSE;
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dlg, IDCANCEL);
    if (LOWORD(wParam) != IDOK) return TRUE;
    WString typed = ui::Text(GetDlgItem(dlg, IDC_JOBNAME_EDIT));
    if (typed.empty()) {
        ++job->complaints;
        MessageBoxW(dlg, TEXT("Input Job Name"), TEXT("Job Name Setting"), MB_OK | MB_ICONERROR);
        SetFocus(GetDlgItem(dlg, IDC_JOBNAME_EDIT));
        return TRUE;
    }
    job->name = typed;
    EndDialog(dlg, IDOK);
    return TRUE;
}

// Where a control sits in its dialog's client area, and where its template puts it.
RECT Placed(HWND dlg, HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT *>(&r), 2);
    return r;
}
// The place and the size are converted each on its own, as the dialog manager creates the control.
RECT FromTemplate(HWND dlg, int x, int y, int cx, int cy)
{
    RECT at{x, y, 0, 0}, size{cx, cy, 0, 0};
    MapDialogRect(dlg, &at);
    MapDialogRect(dlg, &size);
    return {at.left, at.top, at.left + size.left, at.top + size.top};
}

// Which edges of a control keep their template place: controls that size themselves (combo boxes take the height
// of their field, an icon the icon's size, an up-down control sits on its buddy) are checked on the rest.
enum Edges : unsigned { kLeft = 1, kTop = 2, kWidth = 4, kHeight = 8, kCorner = kLeft | kTop, kWhole = 15 };

struct ControlCase {
    const char *name;
    int id;
    ControlKind kind; // Unknown: checked apart
    const char *text;
    int x, y, cx, cy;
    unsigned edges;
};

void ExpectControls(HWND dlg, const ControlCase *cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const ControlCase &c = cases[i];
        SCOPED_TRACE(c.name);
        HWND control = GetDlgItem(dlg, c.id);
        ASSERT_TRUE(control);
        ui::ControlView v = ui::Read(control);
        EXPECT_EQ(c.id, v.id);
        if (c.kind != ControlKind::Unknown) {
            EXPECT_EQ(c.kind, v.kind) << ui::KindName(v.kind);
        }
        EXPECT_EQ(Wide(c.text), v.text);
        EXPECT_TRUE(v.enabled && v.visible);
        RECT at = Placed(dlg, control), want = FromTemplate(dlg, c.x, c.y, c.cx, c.cy);
        if (c.edges & kLeft) {
            EXPECT_EQ(want.left, at.left);
        }
        if (c.edges & kTop) {
            EXPECT_EQ(want.top, at.top);
        }
        if (c.edges & kWidth) {
            EXPECT_EQ(want.right - want.left, at.right - at.left);
        }
        if (c.edges & kHeight) {
            EXPECT_EQ(want.bottom - want.top, at.bottom - at.top);
        }
    }
}

void InitControls()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
}

// ---- The every-control dialog, modeless ------------------------------------------------------------------

class EveryControlDriven : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitControls();
        ASSERT_TRUE(module_.get()) << ZEP_RES_FIXTURE_PATH << " error " << GetLastError();
        dlg_ = ui::OpenDialog(module_.get(), IDD_EVERY_CONTROL, LoggingProc, reinterpret_cast<LPARAM>(&log_));
        ASSERT_TRUE(dlg_) << "error " << GetLastError();
        FillEveryControl(dlg_);
        ui::Pump();
        log_.heard.clear();
    }
    void TearDown() override
    {
        if (dlg_) DestroyWindow(dlg_);
    }
    HWND Item(int id) { return GetDlgItem(dlg_, id); }

    LoadedModule module_{ZEP_RES_FIXTURE_PATH};
    Log log_;
    HWND dlg_ = nullptr;
};

TEST_F(EveryControlDriven, EachControlHasItsKindTextAndPlace)
{
    const ControlCase cases[] = {
        {"push button", IDC_PUSH, ControlKind::PushButton, "&Push", 7, 7, 50, 14, kWhole},
        {"default button (its kind below)", IDC_DEFPUSH, ControlKind::Unknown, "&Default", 62, 7, 50, 14, kCorner},
        {"check box", IDC_CHECK, ControlKind::CheckBox, "Chec&k", 7, 26, 60, 10, kWhole},
        {"automatic check box", IDC_AUTOCHECK, ControlKind::CheckBox, "&Auto check", 7, 38, 60, 10, kWhole},
        {"group box", IDC_GROUP, ControlKind::GroupBox, "&Group", 120, 4, 173, 50, kWhole},
        {"radio button", IDC_RADIO1, ControlKind::RadioButton, "Radio &1", 127, 16, 60, 10, kWhole},
        {"automatic radio button", IDC_AUTORADIO2, ControlKind::RadioButton, "Auto radio &4", 200, 28, 70, 10, kWhole},
        {"owner-drawn button", IDC_OWNERDRAW, ControlKind::OwnerDrawButton, "", 7, 52, 60, 30, kWhole},
        {"static text", IDC_TEXT, ControlKind::Text, "Static &text", 75, 60, 40, 9, kWhole},
        {"static icon", IDC_STATIC_ICON, ControlKind::Icon, "", 75, 72, 21, 20, kCorner},
        {"edit field", IDC_EDIT, ControlKind::Edit, "", 120, 60, 80, 14, kWhole},
        {"list box", IDC_LIST, ControlKind::ListBox, "", 7, 90, 80, 50, kCorner | kWidth},
        {"drop-down list", IDC_DROPLIST, ControlKind::DropDownList, "", 95, 90, 90, 60, kCorner | kWidth},
        {"drop-down combo box", IDC_DROPDOWN, ControlKind::ComboBox, "", 195, 90, 98, 60, kCorner | kWidth},
        {"scroll bar", IDC_SCROLL, ControlKind::ScrollBar, "", 95, 110, 90, 10, kWhole},
        {"up-down control", IDC_UPDOWN, ControlKind::UpDown, "", 235, 110, 10, 14, kTop},
        {"trackbar", IDC_TRACKBAR, ControlKind::Trackbar, "", 95, 128, 150, 16, kWhole},
        {"list view", IDC_LISTVIEW, ControlKind::ListView, "", 7, 148, 286, 55, kWhole},
        {"OK", IDOK, ControlKind::DefPushButton, "OK", 188, 209, 50, 14, kWhole},
        {"Cancel", IDCANCEL, ControlKind::PushButton, "Cancel", 243, 209, 50, 14, kWhole},
    };
    ExpectControls(dlg_, cases, std::size(cases));
    EXPECT_EQ(Wide("Every Control"), ui::Text(dlg_));
    // Of two default buttons in a template the later one (OK) is the default and the earlier is set back to a plain
    // push button.
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageW(dlg_, DM_GETDEFID, 0, 0));
    EXPECT_EQ(ui::KindOf(Item(IDC_DEFPUSH)), ControlKind::PushButton);
    // The up-down control sits at the right of its buddy, inside the buddy's template place.
    RECT buddy = FromTemplate(dlg_, 195, 110, 40, 14), spin = Placed(dlg_, Item(IDC_UPDOWN));
    EXPECT_TRUE(spin.left > buddy.left && spin.right <= buddy.right + 2) << spin.left << ".." << spin.right;
    EXPECT_EQ((std::vector<WString>{Wide("First\t1"), Wide("Second\t2")}), ui::Entries(Item(IDC_LISTVIEW)));
    EXPECT_EQ((std::vector<WString>{Wide("Letter"), Wide("A4"), Wide("Legal")}), ui::Entries(Item(IDC_DROPLIST)));
}

TEST_F(EveryControlDriven, DumpHasALinePerControl)
{
    CheckDlgButton(dlg_, IDC_AUTOCHECK, BST_CHECKED);
    SendMessageW(Item(IDC_DROPLIST), CB_SETCURSEL, 1, 0);
    EnableWindow(Item(IDC_PUSH), FALSE);
    std::string dump = ui::Dump(dlg_);
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = dump.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(dump.substr(at, end - at));
    // The 21 controls of the template and OK and Cancel; a combo box's own edit field is part of its line.
    EXPECT_EQ(23u, lines.size()) << dump;
    auto has = [&](const std::string &line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("id=1001 kind=push text=\"&Push\" enabled=0 visible=1")) << dump;
    EXPECT_TRUE(has("id=1004 kind=check text=\"&Auto check\" enabled=1 visible=1 checked=1")) << dump;
    EXPECT_TRUE(has("id=1015 kind=droplist text=\"A4\" enabled=1 visible=1 selection=1 entries=\"Letter\"|\"A4\"|\"Legal\""))
        << dump;
    EXPECT_TRUE(has("id=1021 kind=listview text=\"\" enabled=1 visible=1 selection=-1 entries=\"First\\t1\"|\"Second\\t2\""))
        << dump;
}

TEST_F(EveryControlDriven, TypingReportsUpdateThenChangeForEachCharacter)
{
    HWND edit = Item(IDC_EDIT);
    ASSERT_TRUE(ui::Type(edit, Wide("ab")));
    EXPECT_EQ(Wide("ab"), ui::Text(edit));
    std::vector<UINT> codes = log_.Codes(WM_COMMAND, IDC_EDIT);
    codes.erase(std::remove_if(codes.begin(), codes.end(), [](UINT c) { return c == EN_SETFOCUS || c == EN_KILLFOCUS; }),
                codes.end());
    EXPECT_EQ((std::vector<UINT>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}), codes);
    EXPECT_EQ(2u, ui::CaretOf(edit).end);

    ASSERT_TRUE(ui::Key(edit, VK_HOME));
    ASSERT_TRUE(ui::Paste(edit, Wide("xyz")));
    EXPECT_EQ(Wide("xyzab"), ui::Text(edit));
    EXPECT_EQ(3, log_.Count(WM_COMMAND, IDC_EDIT, EN_CHANGE));
    EXPECT_EQ(3u, ui::CaretOf(edit).start);
    EXPECT_EQ(3u, ui::CaretOf(edit).end);
    ASSERT_TRUE(ui::Retype(edit, Wide("new")));
    EXPECT_EQ(Wide("new"), ui::Text(edit));
    ASSERT_TRUE(ui::Retype(edit, WString()));
    EXPECT_EQ(WString(), ui::Text(edit));

    // Typing into a drop-down combo box goes to its own edit field and reaches the dialog as the box's.
    ASSERT_TRUE(ui::Type(Item(IDC_DROPDOWN), Wide("Tw")));
    EXPECT_EQ(Wide("Tw"), ui::Text(Item(IDC_DROPDOWN)));
    EXPECT_EQ(2, log_.Count(WM_COMMAND, IDC_DROPDOWN, CBN_EDITCHANGE));
    // Nothing to type into.
    EXPECT_FALSE(ui::Type(Item(IDC_PUSH), Wide("x")));
    EXPECT_FALSE(ui::Paste(Item(IDC_LIST), Wide("x")));
}

TEST_F(EveryControlDriven, EachButtonKindActsOnAClick)
{
    const struct {
        const char *name;
        int id;
        int checkedAfter; // -1: not a check box or radio button
    } cases[] = {
        {"push button", IDC_PUSH, -1},
        {"default button", IDC_DEFPUSH, -1},
        {"a plain check box leaves checking to the dialog", IDC_CHECK, BST_UNCHECKED},
        {"an automatic check box checks itself", IDC_AUTOCHECK, BST_CHECKED},
        {"a plain radio button leaves checking to the dialog", IDC_RADIO1, BST_UNCHECKED},
        {"an automatic radio button checks itself", IDC_AUTORADIO1, BST_CHECKED},
        {"owner-drawn button", IDC_OWNERDRAW, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        log_.heard.clear();
        ASSERT_TRUE(ui::Click(Item(c.id)));
        EXPECT_EQ(1, log_.Count(WM_COMMAND, c.id, BN_CLICKED));
        EXPECT_EQ(c.checkedAfter, ui::Checked(Item(c.id)));
    }
    // The next automatic radio button of the group takes the check from the first.
    ASSERT_TRUE(ui::Click(Item(IDC_AUTORADIO2)));
    EXPECT_EQ(BST_UNCHECKED, ui::Checked(Item(IDC_AUTORADIO1)));
    EXPECT_EQ(BST_CHECKED, ui::Checked(Item(IDC_AUTORADIO2)));

    // Nothing reaches a control a user cannot click.
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

TEST_F(EveryControlDriven, SelectingInListsNotifiesTheDialog)
{
    // The last entries are below the list box's visible rows: scrolled to, then clicked.
    ASSERT_TRUE(ui::Select(Item(IDC_LIST), 5));
    EXPECT_EQ(5, ui::Selection(Item(IDC_LIST)));
    ASSERT_TRUE(ui::SelectText(Item(IDC_LIST), Wide("beta")));
    EXPECT_EQ(1, ui::Selection(Item(IDC_LIST)));
    EXPECT_EQ(2, log_.Count(WM_COMMAND, IDC_LIST, LBN_SELCHANGE));

    ASSERT_TRUE(ui::SelectText(Item(IDC_DROPLIST), Wide("Legal")));
    EXPECT_EQ(2, ui::Selection(Item(IDC_DROPLIST)));
    EXPECT_EQ(Wide("Legal"), ui::Read(Item(IDC_DROPLIST)).text);
    EXPECT_EQ(1, log_.Count(WM_COMMAND, IDC_DROPLIST, CBN_SELCHANGE));
    ASSERT_TRUE(ui::Select(Item(IDC_DROPDOWN), 1));
    EXPECT_EQ(Wide("Two"), ui::Text(Item(IDC_DROPDOWN)));

    ASSERT_TRUE(ui::Select(Item(IDC_LISTVIEW), 1));
    EXPECT_EQ(1, ui::Selection(Item(IDC_LISTVIEW)));
    EXPECT_GE(log_.Count(WM_NOTIFY, IDC_LISTVIEW, LVN_ITEMCHANGED), 1);
    ASSERT_TRUE(ui::SelectText(Item(IDC_LISTVIEW), Wide("First")));
    EXPECT_EQ(0, ui::Selection(Item(IDC_LISTVIEW)));

    // Out of range, unknown text, or not a list: nothing happens.
    log_.heard.clear();
    EXPECT_FALSE(ui::Select(Item(IDC_LIST), 6));
    EXPECT_FALSE(ui::Select(Item(IDC_DROPLIST), -1));
    EXPECT_FALSE(ui::SelectText(Item(IDC_DROPLIST), Wide("Tabloid")));
    EXPECT_FALSE(ui::Select(Item(IDC_EDIT), 0));
    EXPECT_TRUE(log_.heard.empty());
    EXPECT_EQ(2, ui::Selection(Item(IDC_DROPLIST)));
}

TEST_F(EveryControlDriven, BarsTrackbarsAndUpDownsMove)
{
    HWND bar = Item(IDC_SCROLL);
    ASSERT_TRUE(ui::ScrollBy(bar, SB_LINERIGHT));
    EXPECT_EQ(1, ui::Selection(bar));
    ASSERT_TRUE(ui::ScrollTo(bar, 40));
    EXPECT_EQ(40, ui::Selection(bar));
    EXPECT_EQ((std::vector<UINT>{SB_LINERIGHT, SB_ENDSCROLL, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}),
              log_.Codes(WM_HSCROLL, IDC_SCROLL));
    // The drag carries the thumb's place.
    ASSERT_EQ(5u, log_.heard.size());
    EXPECT_EQ(40, log_.heard[2].pos);
    EXPECT_EQ(40, log_.heard[3].pos);
    EXPECT_FALSE(ui::ScrollBy(bar, SB_THUMBTRACK));

    HWND track = Item(IDC_TRACKBAR);
    ASSERT_TRUE(ui::ScrollTo(track, 7));
    EXPECT_EQ(7, ui::Selection(track));
    EXPECT_EQ(1, log_.Count(WM_HSCROLL, IDC_TRACKBAR, TB_THUMBPOSITION));
    EXPECT_EQ(1, log_.Count(WM_HSCROLL, IDC_TRACKBAR, TB_ENDTRACK));
    ASSERT_TRUE(ui::ScrollBy(track, TB_LINEDOWN));
    EXPECT_EQ(8, ui::Selection(track));
    ASSERT_TRUE(ui::ScrollBy(track, TB_BOTTOM));
    EXPECT_EQ(20, ui::Selection(track));
    // The trackbar moves itself on the keys and reports each move.
    EXPECT_EQ(1, log_.Count(WM_HSCROLL, IDC_TRACKBAR, TB_LINEDOWN));
    EXPECT_EQ(1, log_.Count(WM_HSCROLL, IDC_TRACKBAR, TB_BOTTOM));
    ASSERT_TRUE(ui::ScrollTo(track, 99));
    EXPECT_EQ(20, ui::Selection(track));

    HWND spin = Item(IDC_UPDOWN);
    ASSERT_TRUE(ui::Spin(spin, 3));
    EXPECT_EQ(3, ui::Selection(spin));
    EXPECT_EQ(Wide("3"), ui::Text(Item(IDC_BUDDY)));
    ASSERT_TRUE(ui::Spin(spin, -5));
    EXPECT_EQ(0, ui::Selection(spin));
    EXPECT_EQ(Wide("0"), ui::Text(Item(IDC_BUDDY)));
    EXPECT_FALSE(ui::Spin(bar, 1));
}

TEST(OpenDialog, AMissingTemplateFailsWithTheLoadersError)
{
    LoadedModule module(ZEP_RES_FIXTURE_PATH);
    ASSERT_TRUE(module.get());
    PresetLastError();
    EXPECT_EQ(nullptr, ui::OpenDialog(module.get(), 4242, LoggingProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
}

// A modal run of the same template: the queued actions act inside it, each opening takes the next entry.
TEST_F(EveryControlDriven, ModalDialogsTakeTheirQueuedActions)
{
    // The modeless one goes first: on Windows a dialog the driver did not open, activating while it lives, is
    // taken for a modal one.
    DestroyWindow(dlg_);
    dlg_ = nullptr;
    ui::Driver driver;
    Log modalLog;
    WString typed;
    driver.OnNextDialog([&](HWND d) {
        EXPECT_TRUE(ui::Type(GetDlgItem(d, IDC_EDIT), Wide("hello")));
        typed = ui::Text(GetDlgItem(d, IDC_EDIT));
        EXPECT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
    });
    driver.OnNextDialog([&](HWND d) { EXPECT_TRUE(ui::Click(GetDlgItem(d, IDCANCEL))); });
    auto run = [&] {
        return DialogBoxParamW(module_.get(), MAKEINTRESOURCEW(IDD_EVERY_CONTROL), nullptr, LoggingProc,
                               reinterpret_cast<LPARAM>(&modalLog));
    };
    EXPECT_EQ(IDOK, run());
    EXPECT_EQ(Wide("hello"), typed);
    EXPECT_EQ(IDCANCEL, run());
    EXPECT_TRUE(driver.Problems().empty());

    // Nothing queued: the dialog is noted and ended with -1; actions that leave it open are noted too.
    EXPECT_EQ(-1, run());
    driver.OnNextDialog([](HWND) {});
    EXPECT_EQ(-1, run());
    ASSERT_EQ(2u, driver.Problems().size());
    EXPECT_NE(std::string::npos, driver.Problems()[0].find("nothing answers: \"Every Control\""));
    EXPECT_NE(std::string::npos, driver.Problems()[1].find("left the dialog \"Every Control\" open"));
    EXPECT_EQ(4, driver.DialogsSeen());
}

// A box outside any dialog, without a caption, is caught and recorded as shown: "Error" is the caption.
TEST(Driver, MessageBoxesWithoutAnOwnerAreAnsweredAndRecorded)
{
    ui::Driver driver;
    driver.AnswerNextMessageBox(IDNO);
    EXPECT_EQ(IDNO, MessageBoxW(nullptr, TEXT("Replace it?"), nullptr, MB_YESNO | MB_ICONQUESTION));
    ASSERT_EQ(1u, driver.MessageBoxes().size());
    EXPECT_EQ(Wide("Replace it?"), driver.MessageBoxes()[0].text);
    EXPECT_EQ(Wide("Error"), driver.MessageBoxes()[0].caption);
    EXPECT_EQ(IDNO, driver.MessageBoxes()[0].answer);
#ifndef _WIN32
    // Beeps are seen through the layer's call hook; Windows has no way to see them.
    MessageBeep(MB_OK);
    EXPECT_EQ(1, driver.Beeps());
#endif
}

#ifndef _WIN32
// The layer closes a modal dialog nobody answers at once; on Windows it would wait for a user.
TEST(Driver, NothingIsAnsweredOnceTheDriverIsGone)
{
    {
        ui::Driver driver;
    }
    LoadedModule module(ZEP_RES_FIXTURE_PATH);
    PresetLastError();
    EXPECT_EQ(-1, DialogBoxParamW(module.get(), MAKEINTRESOURCEW(IDD_EVERY_CONTROL), nullptr, LoggingProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
    EXPECT_EQ(0, ZepUiWindowCount());
}
#endif

TEST(Driver, Utf8)
{
    const WCHAR text[] = {'a', 0x00E9, 0x65E5, 0xD83D, 0xDE00, 0xD800, 0};
    EXPECT_EQ("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\xEF\xBF\xBD", ui::Utf8(text));
}

// ---- The job-name dialog of ZepPS ------------------------------------------------------------------------

class JobNameDriven : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitControls();
        ASSERT_TRUE(module_.get()) << ZEP_ZEPPS_PATH << " error " << GetLastError();
    }
    INT_PTR RunModal(JobName &job)
    {
        return DialogBoxParamW(module_.get(), MAKEINTRESOURCEW(IDD_JOBNAME), nullptr, JobNameProc,
                               reinterpret_cast<LPARAM>(&job));
    }

    LoadedModule module_{ZEP_ZEPPS_PATH};
};

TEST_F(JobNameDriven, OpensModelessFromTheTemplate)
{
    JobName job{Wide("Quarterly")};
    HWND dlg = ui::OpenDialog(module_.get(), IDD_JOBNAME, JobNameProc, reinterpret_cast<LPARAM>(&job));
    ASSERT_TRUE(dlg) << "error " << GetLastError();
    const ControlCase cases[] = {
        {"group box", IDC_JOBNAME_GROUP, ControlKind::GroupBox, "Job Name Setting", 7, 7, 149, 58, kWhole},
        {"label", IDC_JOBNAME_LABEL, ControlKind::Text, "Job Name:", 17, 24, 129, 9, kWhole},
        {"name field", IDC_JOBNAME_EDIT, ControlKind::Edit, "Quarterly", 17, 38, 129, 14, kWhole},
        {"OK", IDOK, ControlKind::DefPushButton, "OK", 56, 75, 50, 14, kWhole},
    };
    ExpectControls(dlg, cases, std::size(cases));
    EXPECT_EQ(Wide("Job Name Setting"), ui::Text(dlg));
    EXPECT_EQ("id=1007 kind=group text=\"Job Name Setting\" enabled=1 visible=1\n"
              "id=1005 kind=text text=\"Job Name:\" enabled=1 visible=1\n"
              "id=1006 kind=edit text=\"Quarterly\" enabled=1 visible=1\n"
              "id=1 kind=defpush text=\"OK\" enabled=1 visible=1\n",
              ui::Dump(dlg));
    // Modeless, OK takes the typed name and ends the dialog as a modal run would.
    ASSERT_TRUE(ui::Retype(GetDlgItem(dlg, IDC_JOBNAME_EDIT), Wide("Payroll")));
    ASSERT_TRUE(ui::Click(GetDlgItem(dlg, IDOK)));
    EXPECT_EQ(Wide("Payroll"), job.name);
    DestroyWindow(dlg);
}

TEST_F(JobNameDriven, ModalRunsTakeTheQueuedActions)
{
    ui::Driver driver;
    JobName job{Wide("Quarterly")};
    std::string dump;
    driver.OnNextDialog([&](HWND d) {
        dump = ui::Dump(d);
        EXPECT_TRUE(ui::Retype(GetDlgItem(d, IDC_JOBNAME_EDIT), Wide("Payroll")));
        EXPECT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
    });
    EXPECT_EQ(IDOK, RunModal(job));
    EXPECT_EQ(Wide("Payroll"), job.name);
    EXPECT_NE(std::string::npos, dump.find("id=1006 kind=edit text=\"Quarterly\"")) << dump;
    EXPECT_EQ(1, driver.DialogsSeen());
    EXPECT_TRUE(driver.Problems().empty());
    EXPECT_TRUE(driver.MessageBoxes().empty());

    // The dialog has no Cancel button: its close box cancels.
    driver.OnNextDialog([](HWND d) { SendMessageW(d, WM_CLOSE, 0, 0); });
    EXPECT_EQ(IDCANCEL, RunModal(job));
    EXPECT_EQ(2, driver.DialogsSeen());
    EXPECT_TRUE(driver.Problems().empty());
}

TEST_F(JobNameDriven, AMessageBoxInsideTheModalDialogIsAnswered)
{
    ui::Driver driver;
    JobName job;
    bool openAfterEmptyOk = false;
    driver.OnNextDialog([&](HWND d) {
        EXPECT_EQ(WString(), ui::Text(GetDlgItem(d, IDC_JOBNAME_EDIT)));
        EXPECT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
        openAfterEmptyOk = IsWindowVisible(d) != FALSE;
        EXPECT_TRUE(ui::Type(GetDlgItem(d, IDC_JOBNAME_EDIT), Wide("Payroll")));
        EXPECT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
    });
    EXPECT_EQ(IDOK, RunModal(job));
    EXPECT_TRUE(openAfterEmptyOk);
    EXPECT_EQ(1, job.complaints);
    EXPECT_EQ(Wide("Payroll"), job.name);
    ASSERT_EQ(1u, driver.MessageBoxes().size());
    const ui::MessageBoxSeen &box = driver.MessageBoxes()[0];
    EXPECT_EQ(Wide("Input Job Name"), box.text);
    EXPECT_EQ(Wide("Job Name Setting"), box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.type & MB_ICONMASK);
    // Unqueued, the box takes its default button; the layer picks it itself and the driver records 0.
    EXPECT_EQ(CurrentPlatform() == kLayer ? 0 : IDOK, box.answer);
    // The box is not taken for a dialog.
    EXPECT_EQ(1, driver.DialogsSeen());
    EXPECT_TRUE(driver.Problems().empty());
}

TEST_F(JobNameDriven, QueuedAnswersGoToTheBoxesInOrder)
{
    ui::Driver driver;
    driver.AnswerNextMessageBox(IDNO);
    std::vector<int> answers;
    driver.OnNextDialog([&](HWND d) {
        answers.push_back(MessageBoxW(d, TEXT("Replace it?"), TEXT("Question"), MB_YESNO | MB_ICONQUESTION));
        answers.push_back(MessageBoxW(d, TEXT("Go on?"), TEXT("Question"), MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONWARNING));
        SendMessageW(d, WM_CLOSE, 0, 0);
    });
    JobName job;
    EXPECT_EQ(IDCANCEL, RunModal(job));
    // Unqueued, a box takes its default button.
    EXPECT_EQ((std::vector<int>{IDNO, IDCANCEL}), answers);
    ASSERT_EQ(2u, driver.MessageBoxes().size());
    EXPECT_EQ(Wide("Replace it?"), driver.MessageBoxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONQUESTION), driver.MessageBoxes()[0].type & MB_ICONMASK);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), driver.MessageBoxes()[1].type & MB_ICONMASK);
    EXPECT_TRUE(driver.Problems().empty());
}

} // namespace
