// The job-name prompt (dialog 103 of ZepPS) through the plug-in's own code path, driven as a user types.
#include "render/jobname_dialog.h"
#include "render/state.h"
#include "ui_test_util.h"
#include "zepps_ids.h"

namespace zep::uitest {
namespace {

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
        ZepUiDestroyAllWindows();
    }
    // Shows the prompt on a record holding `stored`; `act` runs inside it.
    WString Show(const WString &stored, ui::Driver::Actions act)
    {
        OemDevmode dm{};
        std::copy(stored.begin(), stored.end(), dm.wszJobName);
        driver_.OnNextDialog(std::move(act));
        ShowJobNameDialog(module_.get(), &dm);
        return WString(dm.wszJobName);
    }

    Module module_{ZEP_ZEPPS_PATH};
    ui::Driver driver_;
};

TEST_F(JobNamePrompt, TypingKeepsOnlyWhatAJobNameCanHold)
{
    const struct {
        const char *name;
        const char *stored;
        int caretFromEnd;   // Left presses before the input
        bool paste;
        WString input;
        const char *shown;
        int beeps;
        DWORD caret;
    } cases[] = {
        {"plain typing", "", 0, false, W("Report"), "Report", 0, 6},
        {"a double quote is removed", "", 0, false, W("ab\"c"), "abc", 1, 3},
        {"a non-ASCII character is removed", "", 0, false, WString{'a', 0x00E9, 'b'}, "ab", 1, 2},
        {"each bad keystroke beeps", "", 0, false, W("\"x\""), "x", 2, 1},
        {"three bad characters pasted beep once", "abcd", 2, true, WString{'"', 0x65E5, '"'}, "abcd", 1, 2},
        {"a paste keeps its good part and the caret follows it", "abcd", 2, true, W("x\"y"), "abxycd", 1, 4},
        {"the field takes 16 characters", "", 0, false, W("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOP", 0, 16},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int beepsBefore = driver_.Beeps();
        WString shown;
        ui::Caret caret;
        WString stored = Show(W(c.stored), [&](HWND d) {
            HWND edit = GetDlgItem(d, IDC_JOBNAME_EDIT);
            ASSERT_TRUE(ui::Key(edit, VK_END));
            for (int i = 0; i < c.caretFromEnd; ++i) ui::Key(edit, VK_LEFT);
            ASSERT_TRUE(c.paste ? ui::Paste(edit, c.input) : ui::Type(edit, c.input));
            shown = ui::Text(edit);
            caret = ui::CaretOf(edit);
            ui::Click(GetDlgItem(d, IDOK));
        });
        EXPECT_EQ(W(c.shown), shown);
        EXPECT_EQ(c.beeps, driver_.Beeps() - beepsBefore);
        EXPECT_EQ(c.caret, caret.start);
        EXPECT_EQ(c.caret, caret.end);
        // OK takes what the field shows.
        EXPECT_EQ(W(c.shown), stored);
    }
    EXPECT_TRUE(driver_.Problems().empty());
    EXPECT_TRUE(driver_.MessageBoxes().empty());
}

TEST_F(JobNamePrompt, OkWithoutANameComplainsAndStaysOpen)
{
    bool openAfterEmptyOk = false;
    HWND focusAfterEmptyOk = nullptr, edit = nullptr;
    WString stored = Show(WString(), [&](HWND d) {
        edit = GetDlgItem(d, IDC_JOBNAME_EDIT);
        EXPECT_EQ(WString(), ui::Text(edit));
        ASSERT_TRUE(ui::Click(GetDlgItem(d, IDOK)));
        openAfterEmptyOk = IsWindowVisible(d) != FALSE;
        focusAfterEmptyOk = GetFocus();
        ui::Type(edit, W("Payroll"));
        ui::Click(GetDlgItem(d, IDOK));
    });
    EXPECT_TRUE(openAfterEmptyOk);
    EXPECT_EQ(edit, focusAfterEmptyOk);
    ASSERT_EQ(1u, driver_.MessageBoxes().size());
    EXPECT_EQ(W("Input Job Name"), driver_.MessageBoxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), driver_.MessageBoxes()[0].type & MB_ICONMASK);
    EXPECT_EQ(W("Payroll"), stored);
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
    const WString stored = W("Quarterly");
    std::copy(stored.begin(), stored.end(), dm.wszJobName);
    EXPECT_EQ(1, ShowJobNameDialog(module_.get(), &dm));
    EXPECT_EQ(stored, WString(dm.wszJobName));
    EXPECT_EQ("id=1007 kind=group text=\"Job Name Setting\" enabled=1 visible=1\n"
              "id=1005 kind=text text=\"Job Name:\" enabled=1 visible=1\n"
              "id=1006 kind=edit text=\"Quarterly\" enabled=1 visible=1\n"
              "id=1 kind=defpush text=\"OK\" enabled=1 visible=1\n",
              dump);
    EXPECT_EQ(1, driver_.DialogsSeen());
    EXPECT_TRUE(driver_.Problems().empty());
}

} // namespace
} // namespace zep::uitest
