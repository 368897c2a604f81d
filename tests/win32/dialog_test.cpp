// Dialogs from an in-memory extended template: controls at their places, edit notifications, radio focus, modal runs.
#include "win32_test.h"

#ifndef _WIN32
#include "zep_ui.h"
#endif

#include <vector>

namespace {

using zep::test::WString;

// Builds a DLGTEMPLATEEX with MS Sans Serif 8 and the given controls (class atoms).
class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short cx, short cy, LPCWSTR title)
    {
        Word(1), Word(0xFFFF), Dword(0), Dword(0), Dword(style | DS_SETFONT);
        countAt_ = data_.size();
        Word(0), Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(0), Word(0), Str(title);
        Word(8), Word(400), Byte(0), Byte(0), Str(TEXT("MS Sans Serif"));
    }
    TemplateBuilder &Item(WORD atom, DWORD id, DWORD style, short x, short y, short cx, short cy, LPCWSTR text)
    {
        while (data_.size() % 4) data_.push_back(0);
        Dword(0), Dword(0), Dword(style | WS_CHILD | WS_VISIBLE), Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy)), Dword(id), Word(0xFFFF), Word(atom), Str(text), Word(0);
        ++count_;
        data_[countAt_] = static_cast<BYTE>(count_);
        return *this;
    }
    const DLGTEMPLATE *Get()
    {
        while (data_.size() % 4) data_.push_back(0);
        return reinterpret_cast<const DLGTEMPLATE *>(data_.data());
    }

private:
    void Byte(BYTE b) { data_.push_back(b); }
    void Word(WORD w) { Byte(static_cast<BYTE>(w)), Byte(static_cast<BYTE>(w >> 8)); }
    void Dword(DWORD d) { Word(static_cast<WORD>(d)), Word(static_cast<WORD>(d >> 16)); }
    void Str(LPCWSTR s)
    {
        for (; *s; ++s) Word(*s);
        Word(0);
    }
    std::vector<BYTE> data_;
    size_t countAt_ = 0;
    int count_ = 0;
};

struct Log {
    std::vector<std::pair<int, int>> commands; // (id, code)
};

INT_PTR CALLBACK RecordingProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        auto *log = reinterpret_cast<Log *>(GetWindowLongPtrW(dlg, DWLP_USER));
        if (log) log->commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == IDOK) EndDialog(dlg, 7);
        return TRUE;
    }
    return FALSE;
}

TemplateBuilder JobNameLike()
{
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 163, 99, TEXT("Job Name Setting"));
    t.Item(0x80, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 56, 78, 50, 14, TEXT("OK"))
        .Item(0x80, 1007, BS_GROUPBOX, 7, 7, 149, 60, TEXT("Job Name Setting"))
        .Item(0x82, 1005, SS_LEFT, 15, 30, 40, 8, TEXT("Job Name:"))
        .Item(0x81, 1006, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 58, 28, 90, 12, TEXT(""))
        .Item(0x80, 1010, BS_AUTORADIOBUTTON | WS_GROUP, 15, 45, 50, 10, TEXT("A"))
        .Item(0x80, 1011, BS_AUTORADIOBUTTON, 70, 45, 50, 10, TEXT("B"));
    return t;
}

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (dlg_) DestroyWindow(dlg_);
    }
    HWND Open(Log *log)
    {
        tpl_ = std::make_unique<TemplateBuilder>(JobNameLike());
        dlg_ = CreateDialogIndirectParamW(nullptr, tpl_->Get(), nullptr, RecordingProc, reinterpret_cast<LPARAM>(log));
        return dlg_;
    }
    std::unique_ptr<TemplateBuilder> tpl_;
    HWND dlg_ = nullptr;
};

TEST_F(DialogTest, ControlsSitAtTheirTemplatePositions)
{
    Log log;
    ASSERT_TRUE(Open(&log));
    RECT r{58, 28, 58 + 90, 28 + 12};
    ASSERT_TRUE(MapDialogRect(dlg_, &r));
    // MS Sans Serif 8: base units 6 x 13.
    EXPECT_AS_WINDOWS(zep::test::kWine, r.left == 87 && r.top == 46 && r.right == 222 && r.bottom == 65);
    HWND edit = GetDlgItem(dlg_, 1006);
    ASSERT_TRUE(edit);
    RECT client;
    GetClientRect(dlg_, &client);
    EXPECT_AS_WINDOWS(zep::test::kWine, client.right == 245 && client.bottom == 161);
    WCHAR text[32];
    zep::test::FillJunk(text);
    EXPECT_EQ(9u, GetDlgItemTextW(dlg_, 1005, text, 32));
    EXPECT_EQ(WString(TEXT("Job Name:")), WString(text));
    zep::test::PresetLastError();
    EXPECT_EQ(nullptr, GetDlgItem(dlg_, 4242));
    // Wine leaves the last error alone for a missing control.
    EXPECT_AS_WINDOWS(zep::test::kWine, GetLastError() == static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
}

TEST_F(DialogTest, TypingSendsUpdateThenChangeAndHonoursTheLimit)
{
    Log log;
    ASSERT_TRUE(Open(&log));
    HWND edit = GetDlgItem(dlg_, 1006);
    SendMessageW(edit, EM_LIMITTEXT, 2, 0);
    SetFocus(edit);
    log.commands.clear();
    for (WCHAR c : {u'a', u'b', u'c'}) SendMessageW(edit, WM_CHAR, c, 0);
    // A refused character still reports an update and a change, after EN_MAXTEXT.
    std::vector<std::pair<int, int>> expected = {{1006, EN_UPDATE},  {1006, EN_CHANGE}, {1006, EN_UPDATE},
                                                 {1006, EN_CHANGE},  {1006, EN_MAXTEXT}, {1006, EN_UPDATE},
                                                 {1006, EN_CHANGE}};
    EXPECT_EQ(expected, log.commands);
    DWORD start = 99, end = 99;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(2u, start);
    EXPECT_EQ(2u, end);
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    WCHAR text[8];
    GetWindowTextW(edit, text, 8);
    EXPECT_EQ(WString(TEXT("a")), WString(text));
    // A program's insertion is cut to the limit the same way.
    log.commands.clear();
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(TEXT("xyz")));
    GetWindowTextW(edit, text, 8);
    EXPECT_EQ(WString(TEXT("ax")), WString(text));
    expected = {{1006, EN_MAXTEXT}, {1006, EN_UPDATE}, {1006, EN_CHANGE}};
    EXPECT_EQ(expected, log.commands);
}

TEST_F(DialogTest, FocusOnAnUncheckedRadioButtonReportsAClick)
{
    Log log;
    ASSERT_TRUE(Open(&log));
    ShowWindow(dlg_, SW_SHOW);
    CheckRadioButton(dlg_, 1010, 1011, 1010);
    log.commands.clear();
    // An automatic radio button that gets the focus checks itself as a click would; Wine's neither checks it nor
    // reports the click.
    SetFocus(GetDlgItem(dlg_, 1011));
    ASSERT_EQ(GetDlgItem(dlg_, 1011), GetFocus());
    using zep::test::kWine;
    EXPECT_AS_WINDOWS(kWine, !log.commands.empty() && log.commands.back() == std::make_pair(1011, int(BN_CLICKED)));
    EXPECT_AS_WINDOWS(kWine, IsDlgButtonChecked(dlg_, 1011) == BST_CHECKED && IsDlgButtonChecked(dlg_, 1010) == BST_UNCHECKED);
    // A checked one reports nothing.
    CheckRadioButton(dlg_, 1010, 1011, 1011);
    log.commands.clear();
    SetFocus(GetDlgItem(dlg_, 1006));
    SetFocus(GetDlgItem(dlg_, 1011));
    for (auto &c : log.commands) EXPECT_NE(1011, c.first) << "a checked radio button reports no click";
}

TEST_F(DialogTest, ClickingAnAutomaticRadioButtonChecksItAndClearsTheGroup)
{
    Log log;
    ASSERT_TRUE(Open(&log));
    CheckDlgButton(dlg_, 1010, BST_CHECKED);
    SendDlgItemMessageW(dlg_, 1011, BM_CLICK, 0, 0);
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(dlg_, 1010));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dlg_, 1011));
}

struct IntCase {
    LPCWSTR text;
    BOOL isSigned;
    UINT value;
    BOOL translated;
    unsigned differsOn = 0;
};

TEST_F(DialogTest, GetDlgItemIntTranslatesLeadingDigits)
{
    Log log;
    ASSERT_TRUE(Open(&log));
    const IntCase cases[] = {
        {TEXT("12"), FALSE, 12, TRUE},   {TEXT("  7"), FALSE, 7, TRUE},           {TEXT("12a"), FALSE, 12, TRUE},
        {TEXT(""), FALSE, 0, FALSE},     {TEXT("-5"), TRUE, static_cast<UINT>(-5), TRUE},
        // Unsigned, the minus sign is not looked for, so nothing is read; Wine wraps it to 4294967291 and succeeds.
        {TEXT("-5"), FALSE, 0, FALSE, zep::test::kWine},
        {TEXT("abc"), TRUE, 0, FALSE},   {TEXT("4294967296"), FALSE, 0, FALSE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(zep::test::Narrow(c.text) + (c.isSigned ? " signed" : " unsigned"));
        SetDlgItemTextW(dlg_, 1006, c.text);
        BOOL ok = 42;
        UINT value = GetDlgItemInt(dlg_, 1006, &ok, c.isSigned);
        EXPECT_AS_WINDOWS(c.differsOn, value == c.value && ok == c.translated);
    }
}

#ifndef _WIN32
// Modal runs headless: without a hook nothing opens; with one, the hook acts inside the dialog.
TEST(ModalDialog, WithoutAHookFailsAtOnce)
{
    TemplateBuilder t = JobNameLike();
    int before = ZepUiWindowCount();
    zep::test::PresetLastError();
    EXPECT_EQ(-1, DialogBoxIndirectParamW(nullptr, t.Get(), nullptr, RecordingProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
    EXPECT_EQ(before, ZepUiWindowCount());
}

TEST(ModalDialog, TheHookActsAndTheResultComesBack)
{
    TemplateBuilder t = JobNameLike();
    Log log;
    ZepUiSetModalHook([](HWND dlg, void *) { SendDlgItemMessageW(dlg, IDOK, BM_CLICK, 0, 0); }, nullptr);
    EXPECT_EQ(7, DialogBoxIndirectParamW(nullptr, t.Get(), nullptr, RecordingProc, reinterpret_cast<LPARAM>(&log)));
    ZepUiSetModalHook([](HWND, void *) {}, nullptr);
    zep::test::PresetLastError();
    EXPECT_EQ(-1, DialogBoxIndirectParamW(nullptr, t.Get(), nullptr, RecordingProc, reinterpret_cast<LPARAM>(&log)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());
    ZepUiSetModalHook(nullptr, nullptr);
    EXPECT_EQ(0, ZepUiWindowCount());
}

TEST(ModalDialog, MessageBoxAnswersWithTheDefaultButtonOrTheHook)
{
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, TEXT("x"), nullptr, MB_OK | MB_ICONERROR));
    EXPECT_EQ(IDNO, MessageBoxW(nullptr, TEXT("x"), TEXT("c"), MB_YESNO | MB_DEFBUTTON2));
    static WString seen;
    ZepUiSetMessageBoxHook(
        [](const ZEP_UI_MESSAGEBOX *box, void *) {
            seen = WString(box->caption);
            return IDCANCEL;
        },
        nullptr);
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, TEXT("x"), nullptr, MB_OKCANCEL));
    EXPECT_EQ(WString(TEXT("Error")), seen);
    ZepUiSetMessageBoxHook(nullptr, nullptr);
}
#endif

} // namespace
