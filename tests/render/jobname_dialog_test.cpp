// The job-name dialog (103 of ZepPS): its logic on a simulated edit control (opening, the typing filter and OK),
// then the real dialog through the plug-in's own code path, driven as a user types.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/uidriver/uidriver.h"
#include "render/jobname_dialog.h"
#include "render/state.h"
#include "tests/common/test_support.h"
#include "tests/win32/win32_test.h"
#include "zepps_ids.h"

using namespace zep;
using zep::test::WString;

namespace {

constexpr WORD kEnUpdate = 0x0400; // EN_UPDATE
constexpr WORD kEnSetFocus = 0x0100; // EN_SETFOCUS

// An edit control as the logic sees it, with a log of everything done to the dialog.
class FakeView final : public JobNameDialogView {
public:
    WString text;
    DWORD selStart = 0, selEnd = 0;
    int limit = -1;
    int beeps = 0, detaches = 0, centred = 0, missing = 0, focus = 0, sets = 0;
    INT_PTR closed = -1;

    void LimitEdit(int chars) override { limit = chars; }
    void SetEditText(LPCWSTR t) override
    {
        text = t;
        ++sets;
    }
    void GetEditText(WCHAR *out, int cch) override
    {
        size_t n = std::min(text.size(), static_cast<size_t>(cch - 1));
        text.copy(out, n);
        out[n] = 0;
    }
    void GetEditSelection(DWORD *s, DWORD *e) override
    {
        *s = selStart;
        *e = selEnd;
    }
    void SetEditSelection(DWORD s, DWORD e) override
    {
        selStart = s;
        selEnd = e;
    }
    void DetachInputMethod() override { ++detaches; }
    void CentreTopmost() override { ++centred; }
    void Beep() override { ++beeps; }
    void ShowNameMissing() override { ++missing; }
    void FocusEdit() override { ++focus; }
    void Close(INT_PTR result) override { closed = result; }
};

TEST(JobNameDialog, OpeningShowsTheStoredNameLimitedTo16)
{
    OemDevmode dm = {};
    WString stored = TEXT("Quarterly");
    stored.copy(dm.wszJobName, stored.size());
    FakeView view;
    JobNameDialogInit(view, dm);
    EXPECT_EQ(view.limit, 16);
    EXPECT_EQ(view.text, TEXT("Quarterly"));
    EXPECT_EQ(view.centred, 1);

    // A record without a terminator gives the edit its 16 characters and no more.
    for (WCHAR &c : dm.wszJobName) c = TEXT('x');
    JobNameDialogInit(view, dm);
    EXPECT_EQ(view.text, WString(16, TEXT('x')));
}

TEST(JobNameDialog, TypingFilter)
{
    const struct {
        const char *name;
        WString typed;
        DWORD selEnd;
        WString kept;
        DWORD caret;
        int beeps;
    } cases[] = {
        {"plain text untouched", TEXT("Payroll"), 7, TEXT("Payroll"), 7, 0},
        {"a typed double quote", TEXT("ab\"c"), 3, TEXT("abc"), 2, 1},
        {"a typed non-ASCII character", TEXT("Caf\u00e9"), 4, TEXT("Caf"), 3, 1},
        {"three pasted at once beep once", TEXT("a\"\u65e5\"b"), 4, TEXT("ab"), 1, 1},
        {"caret never below 0", TEXT("\"\"\"x"), 1, TEXT("x"), 0, 1},
        {"control characters", TEXT("a\tb"), 3, TEXT("ab"), 2, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakeView view;
        view.text = c.typed;
        view.selStart = view.selEnd = c.selEnd;
        JobNameEditNotify(view, kEnUpdate);
        EXPECT_EQ(view.text, c.kept);
        EXPECT_EQ(view.beeps, c.beeps);
        EXPECT_EQ(view.sets, c.beeps); // the text is put back only when something was dropped
        if (c.beeps) {
            EXPECT_EQ(view.selStart, c.caret);
            EXPECT_EQ(view.selEnd, c.caret);
        }
        EXPECT_EQ(view.detaches, 1);
    }
}

TEST(JobNameDialog, OtherNotificationsOnlyDetachTheInputMethod)
{
    FakeView view;
    view.text = TEXT("a\"b");
    JobNameEditNotify(view, kEnSetFocus);
    EXPECT_EQ(view.detaches, 1);
    EXPECT_EQ(view.text, TEXT("a\"b"));
    EXPECT_EQ(view.beeps, 0);
}

TEST(JobNameDialog, OkNeedsAName)
{
    OemDevmode dm = {};
    WString stored = TEXT("Old");
    stored.copy(dm.wszJobName, stored.size());

    FakeView view;
    view.text = TEXT("");
    JobNameDialogOk(view, dm);
    EXPECT_EQ(view.missing, 1);
    EXPECT_EQ(view.focus, 1);
    EXPECT_EQ(view.closed, -1);
    EXPECT_EQ(WString(dm.wszJobName), TEXT("Old"));

    view.text = TEXT("New name");
    JobNameDialogOk(view, dm);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(WString(dm.wszJobName), TEXT("New name"));
    EXPECT_EQ(dm.wszJobName[16], 0);
}

// ---- The real dialog -------------------------------------------------------------------------------------

using zep::test::Wide;
namespace ui = zep::ui;

class JobNamePrompt : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(module_.get()) << ZEP_ZEPPS_PATH;
        g_render.module = module_.get();
    }
    void TearDown() override
    {
        g_render.module = nullptr;
        zeptest::DestroyThreadWindows();
    }
    // Shows the prompt on a record holding `stored`; `act` runs inside it.
    ui::WString Show(const ui::WString &stored, ui::Driver::Actions act)
    {
        OemDevmode dm{};
        std::copy(stored.begin(), stored.end(), dm.wszJobName);
        driver_.OnNextDialog(std::move(act));
        ShowJobNameDialog(module_.get(), &dm);
        return ui::WString(dm.wszJobName);
    }

    zep::test::LoadedModule module_{ZEP_ZEPPS_PATH};
    ui::Driver driver_;
};

TEST_F(JobNamePrompt, TypingKeepsOnlyWhatAJobNameCanHold)
{
    const struct {
        const char *name;
        const char *stored;
        int caretFromEnd;   // Left presses before the input
        bool paste;
        ui::WString input;
        const char *shown;
        int beeps;
        DWORD caret;
    } cases[] = {
        {"plain typing", "", 0, false, Wide("Report"), "Report", 0, 6},
        {"a double quote is removed", "", 0, false, Wide("ab\"c"), "abc", 1, 3},
        {"a non-ASCII character is removed", "", 0, false, ui::WString{'a', 0x00E9, 'b'}, "ab", 1, 2},
        {"each bad keystroke beeps", "", 0, false, Wide("\"x\""), "x", 2, 1},
        {"three bad characters pasted beep once", "abcd", 2, true, ui::WString{'"', 0x65E5, '"'}, "abcd", 1, 2},
        {"a paste keeps its good part and the caret follows it", "abcd", 2, true, Wide("x\"y"), "abxycd", 1, 4},
        {"the field takes 16 characters", "", 0, false, Wide("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOP", 0, 16},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int beepsBefore = driver_.Beeps();
        ui::WString shown;
        ui::Caret caret;
        ui::WString stored = Show(Wide(c.stored), [&](HWND d) {
            HWND edit = GetDlgItem(d, IDC_JOBNAME_EDIT);
            ASSERT_TRUE(ui::Key(edit, VK_END));
            for (int i = 0; i < c.caretFromEnd; ++i) ui::Key(edit, VK_LEFT);
            ASSERT_TRUE(c.paste ? ui::Paste(edit, c.input) : ui::Type(edit, c.input));
            shown = ui::Text(edit);
            caret = ui::CaretOf(edit);
            ui::Click(GetDlgItem(d, IDOK));
        });
        EXPECT_EQ(Wide(c.shown), shown);
        if (zeptest::kDriverSeesBeeps) {
            EXPECT_EQ(c.beeps, driver_.Beeps() - beepsBefore);
        }
        EXPECT_EQ(c.caret, caret.start);
        EXPECT_EQ(c.caret, caret.end);
        // OK takes what the field shows.
        EXPECT_EQ(Wide(c.shown), stored);
    }
    EXPECT_TRUE(driver_.Problems().empty());
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(JobNamePrompt, OkWithoutANameComplainsAndStaysOpen)
{
    bool openAfterEmptyOk = false;
    HWND focusAfterEmptyOk = nullptr, edit = nullptr;
    ui::WString stored = Show(ui::WString(), [&](HWND d) {
        edit = GetDlgItem(d, IDC_JOBNAME_EDIT);
        EXPECT_EQ(ui::WString(), ui::Text(edit));
        ASSERT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
        openAfterEmptyOk = IsWindowVisible(d) != FALSE;
        focusAfterEmptyOk = GetFocus();
        ui::Type(edit, Wide("Payroll"));
        ui::Click(GetDlgItem(d, IDOK));
    });
    EXPECT_TRUE(openAfterEmptyOk);
    EXPECT_EQ(edit, focusAfterEmptyOk);
    ASSERT_EQ(1u, driver_.MessageBoxes().size());
    EXPECT_EQ(Wide("Input Job Name"), driver_.MessageBoxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), driver_.MessageBoxes()[0].type & MB_ICONMASK);
    EXPECT_EQ(Wide("Payroll"), stored);
    EXPECT_TRUE(driver_.Problems().empty());
}

TEST_F(JobNamePrompt, OpensWithTheStoredNameAndEndsWithOne)
{
    std::string dump;
    driver_.OnNextDialog([&](HWND d) {
        dump = ui::Dump(d);
        ui::Click(GetDlgItem(d, IDOK));
    });
    OemDevmode dm{};
    const ui::WString stored = Wide("Quarterly");
    std::copy(stored.begin(), stored.end(), dm.wszJobName);
    EXPECT_EQ(1, ShowJobNameDialog(module_.get(), &dm));
    EXPECT_EQ(stored, ui::WString(dm.wszJobName));
    EXPECT_EQ("id=1007 kind=group text=\"Job Name Setting\" enabled=1 visible=1\n"
              "id=1005 kind=text text=\"Job Name:\" enabled=1 visible=1\n"
              "id=1006 kind=edit text=\"Quarterly\" enabled=1 visible=1\n"
              "id=1 kind=defpush text=\"OK\" enabled=1 visible=1\n",
              dump);
    EXPECT_EQ(1, driver_.DialogsSeen());
    EXPECT_TRUE(driver_.Problems().empty());
}

} // namespace
