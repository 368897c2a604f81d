// The job-name dialog's logic on a simulated edit control: opening, the typing filter and OK.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/jobname_dialog.h"

using namespace zep;

namespace {

constexpr WORD kEnUpdate = 0x0400; // EN_UPDATE
constexpr WORD kEnSetFocus = 0x0100; // EN_SETFOCUS

// An edit control as the logic sees it, with a log of everything done to the dialog.
class FakeView final : public JobNameDialogView {
public:
    std::u16string text;
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
    std::u16string stored = u"Quarterly";
    stored.copy(dm.wszJobName, stored.size());
    FakeView view;
    JobNameDialogInit(view, dm);
    EXPECT_EQ(view.limit, 16);
    EXPECT_EQ(view.text, u"Quarterly");
    EXPECT_EQ(view.centred, 1);

    // A record without a terminator gives the edit its 16 characters and no more.
    for (WCHAR &c : dm.wszJobName) c = u'x';
    JobNameDialogInit(view, dm);
    EXPECT_EQ(view.text, std::u16string(16, u'x'));
}

TEST(JobNameDialog, TypingFilter)
{
    const struct {
        const char *name;
        std::u16string typed;
        DWORD selEnd;
        std::u16string kept;
        DWORD caret;
        int beeps;
    } cases[] = {
        {"plain text untouched", u"Payroll", 7, u"Payroll", 7, 0},
        {"a typed double quote", u"ab\"c", 3, u"abc", 2, 1},
        {"a typed non-ASCII character", u"Caf\u00e9", 4, u"Caf", 3, 1},
        {"three pasted at once beep once", u"a\"\u65e5\"b", 4, u"ab", 1, 1},
        {"caret never below 0", u"\"\"\"x", 1, u"x", 0, 1},
        {"control characters", u"a\tb", 3, u"ab", 2, 1},
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
    view.text = u"a\"b";
    JobNameEditNotify(view, kEnSetFocus);
    EXPECT_EQ(view.detaches, 1);
    EXPECT_EQ(view.text, u"a\"b");
    EXPECT_EQ(view.beeps, 0);
}

TEST(JobNameDialog, OkNeedsAName)
{
    OemDevmode dm = {};
    std::u16string stored = u"Old";
    stored.copy(dm.wszJobName, stored.size());

    FakeView view;
    view.text = u"";
    JobNameDialogOk(view, dm);
    EXPECT_EQ(view.missing, 1);
    EXPECT_EQ(view.focus, 1);
    EXPECT_EQ(view.closed, -1);
    EXPECT_EQ(std::u16string(dm.wszJobName), u"Old");

    view.text = u"New name";
    JobNameDialogOk(view, dm);
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(std::u16string(dm.wszJobName), u"New name");
    EXPECT_EQ(dm.wszJobName[16], 0);
}

} // namespace
