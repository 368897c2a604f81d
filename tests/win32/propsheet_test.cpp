// Property sheets: page records and callbacks, page creation and switching, OK, Apply and Cancel with their notifications.
#include "win32_test.h"

#ifndef _WIN32
#include "zep_ui.h"
#endif

#include "resfixture_ids.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using zep::test::WString;

// A page template in memory with one edit box.
std::vector<BYTE> PageTemplate(const char *caption, short cx, short cy)
{
    return zep::test::DialogTemplate(WS_CHILD | WS_CAPTION, caption, cx, cy)
        .Control(WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 7, 7, 80, 12, 100, 0x81, "")
        .Bytes();
}

struct Event {
    std::string page;
    UINT code; // a PSN_ code, or WM_INITDIALOG
    LPARAM param;
    bool operator==(const Event &o) const { return page == o.page && code == o.code && param == o.param; }
};
std::ostream &operator<<(std::ostream &os, const Event &e)
{
    return os << e.page << ":" << static_cast<int>(e.code) << "(" << e.param << ")";
}

// What one page is and how it answers the sheet's notifications.
struct PageSetup {
    std::string name;
    std::vector<Event> *log;
    std::map<UINT, LONG_PTR> answers;
    const PROPSHEETPAGEW *seenAtInit = nullptr;
    LPARAM appended = 0;
};

// The record a page is made from, with private data after it, as callers of CreatePropertySheetPageW may append.
struct ExtendedPage {
    PROPSHEETPAGEW psp;
    LPARAM appended;
};

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        auto *psp = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
        auto *setup = reinterpret_cast<PageSetup *>(psp->lParam);
        setup->seenAtInit = psp;
        if (psp->dwSize >= sizeof(ExtendedPage)) setup->appended = reinterpret_cast<const ExtendedPage *>(psp)->appended;
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(setup));
        setup->log->push_back({setup->name, WM_INITDIALOG, 0});
        return TRUE;
    }
    auto *setup = reinterpret_cast<PageSetup *>(GetWindowLongPtrW(page, DWLP_USER));
    if (msg == WM_NOTIFY && setup) {
        auto *nm = reinterpret_cast<const PSHNOTIFY *>(lParam);
        static const UINT kLogged[] = {PSN_SETACTIVE, PSN_KILLACTIVE, PSN_APPLY, PSN_RESET, PSN_QUERYCANCEL};
        bool logged = false;
        for (UINT c : kLogged) logged |= c == nm->hdr.code;
        if (!logged) return FALSE;
        // PSN_APPLY and PSN_RESET carry whether the sheet closes; the others carry nothing to compare.
        LPARAM param = nm->hdr.code == PSN_APPLY ? nm->lParam : 0;
        setup->log->push_back({setup->name, nm->hdr.code, param});
        auto it = setup->answers.find(nm->hdr.code);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, it == setup->answers.end() ? 0 : it->second);
        return TRUE;
    }
    return FALSE;
}

// A page template whose first tab stop is an unchecked automatic radio button of a group of two.
std::vector<BYTE> RadioPageTemplate()
{
    return zep::test::DialogTemplate(WS_CHILD | WS_CAPTION, "Radios", 150, 80)
        .Control(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 7, 80, 10, 201, 0x80, "First")
        .Control(BS_AUTORADIOBUTTON, 7, 20, 80, 10, 202, 0x80, "Second")
        .Bytes();
}

// Checks the second radio button at initialisation and counts the clicks the first one reports.
INT_PTR CALLBACK RadioPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        auto *psp = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
        SetWindowLongPtrW(page, DWLP_USER, psp->lParam);
        CheckRadioButton(page, 201, 202, 202);
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == 201 && HIWORD(wParam) == BN_CLICKED)
        ++*reinterpret_cast<int *>(GetWindowLongPtrW(page, DWLP_USER));
    return FALSE;
}

class PropSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        templates_[0] = PageTemplate("First", 150, 80);
        templates_[1] = PageTemplate("Second", 180, 60);
        for (int k = 0; k < 2; ++k) {
            specs_[k].name = k == 0 ? "first" : "second";
            specs_[k].log = &log_;
        }
    }
    void TearDown() override
    {
        if (sheet_ && IsWindow(sheet_)) DestroyWindow(sheet_);
    }
    PROPSHEETPAGEW Page(int k)
    {
        PROPSHEETPAGEW p{};
        p.dwSize = sizeof p;
        p.dwFlags = PSP_DLGINDIRECT;
        p.pResource = reinterpret_cast<LPCDLGTEMPLATE>(templates_[k].data());
        p.pfnDlgProc = PageProc;
        p.lParam = reinterpret_cast<LPARAM>(&specs_[k]);
        return p;
    }
    // A modeless sheet of the two pages, made from page records.
    HWND OpenModeless(DWORD extraFlags = 0)
    {
        pages_[0] = Page(0), pages_[1] = Page(1);
        PROPSHEETHEADERW h{};
        h.dwSize = sizeof h;
        h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOCONTEXTHELP | extraFlags;
        h.pszCaption = TEXT("Sheet");
        h.nPages = 2;
        h.ppsp = pages_;
        sheet_ = reinterpret_cast<HWND>(PropertySheetW(&h));
        return sheet_;
    }
    LRESULT Press(int button) { return SendMessageW(sheet_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }

    std::vector<BYTE> templates_[2];
    PageSetup specs_[2];
    PROPSHEETPAGEW pages_[2];
    std::vector<Event> log_;
    HWND sheet_ = nullptr;
};

TEST_F(PropSheetTest, TheStartPageIsMadeAtOnceWithItsRecordTheOthersWhenSelected)
{
    ASSERT_TRUE(OpenModeless());
    std::vector<Event> expected = {{"first", WM_INITDIALOG, 0}, {"first", PSN_SETACTIVE, 0}};
    EXPECT_EQ(expected, log_);
    ASSERT_TRUE(specs_[0].seenAtInit);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&specs_[0]), specs_[0].seenAtInit->lParam);
    HWND first = PropSheet_GetCurrentPageHwnd(sheet_);
    ASSERT_TRUE(first);
    EXPECT_EQ(sheet_, GetParent(first));
    EXPECT_TRUE(GetWindowLongW(first, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongW(first, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(nullptr, PropSheet_IndexToHwnd(sheet_, 1));
    EXPECT_EQ(0, PropSheet_HwndToIndex(sheet_, first));

    log_.clear();
    EXPECT_TRUE(PropSheet_SetCurSel(sheet_, nullptr, 1));
    expected = {{"first", PSN_KILLACTIVE, 0}, {"second", WM_INITDIALOG, 0}, {"second", PSN_SETACTIVE, 0}};
    EXPECT_EQ(expected, log_);
    HWND second = PropSheet_GetCurrentPageHwnd(sheet_);
    EXPECT_EQ(second, PropSheet_IndexToHwnd(sheet_, 1));
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_FALSE(IsWindowVisible(first));
    // Pages share one size, the largest.
    RECT a, b;
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    EXPECT_EQ(a.right - a.left, b.right - b.left);
    EXPECT_EQ(a.bottom - a.top, b.bottom - b.top);
}

TEST_F(PropSheetTest, APageThatRefusesToBeLeftStaysCurrent)
{
    specs_[0].answers[PSN_KILLACTIVE] = TRUE;
    ASSERT_TRUE(OpenModeless());
    HWND first = PropSheet_GetCurrentPageHwnd(sheet_);
    log_.clear();
    EXPECT_FALSE(PropSheet_SetCurSel(sheet_, nullptr, 1));
    EXPECT_EQ(first, PropSheet_GetCurrentPageHwnd(sheet_));
    std::vector<Event> expected = {{"first", PSN_KILLACTIVE, 0}};
    EXPECT_EQ(expected, log_);
    // OK is refused the same way and the sheet stays open.
    log_.clear();
    Press(PSBTN_OK);
    EXPECT_EQ(expected, log_);
    EXPECT_EQ(first, PropSheet_GetCurrentPageHwnd(sheet_));
}

TEST_F(PropSheetTest, OkAppliesEveryPageMadeAndEndsTheSheet)
{
    ASSERT_TRUE(OpenModeless());
    PropSheet_SetCurSel(sheet_, nullptr, 1);
    log_.clear();
    Press(PSBTN_OK);
    std::vector<Event> expected = {{"second", PSN_KILLACTIVE, 0}, {"first", PSN_APPLY, TRUE}, {"second", PSN_APPLY, TRUE}};
    EXPECT_EQ(expected, log_);
    EXPECT_EQ(nullptr, PropSheet_GetCurrentPageHwnd(sheet_));
    EXPECT_GT(PropSheet_GetResult(sheet_), 0);
}

struct ApplyCase {
    const char *name;
    LONG_PTR secondAnswer;
    int currentAfter; // page in front after a refused OK
};

TEST_F(PropSheetTest, AnInvalidApplyKeepsTheSheetOpen)
{
    const ApplyCase cases[] = {
        {"PSNRET_INVALID brings the refusing page to the front", PSNRET_INVALID, 1},
        {"PSNRET_INVALID_NOCHANGEPAGE keeps the current page", PSNRET_INVALID_NOCHANGEPAGE, 0},
    };
    for (const ApplyCase &c : cases) {
        SCOPED_TRACE(c.name);
        specs_[1].answers[PSN_APPLY] = c.secondAnswer;
        ASSERT_TRUE(OpenModeless());
        PropSheet_SetCurSel(sheet_, nullptr, 1);
        PropSheet_SetCurSel(sheet_, nullptr, 0);
        Press(PSBTN_OK);
        HWND current = PropSheet_GetCurrentPageHwnd(sheet_);
        EXPECT_TRUE(current);
        EXPECT_EQ(c.currentAfter, PropSheet_HwndToIndex(sheet_, current));
        DestroyWindow(sheet_);
        sheet_ = nullptr;
        log_.clear();
    }
}

TEST_F(PropSheetTest, ChangesEnableApplyNowWhichAppliesWithoutClosing)
{
    ASSERT_TRUE(OpenModeless());
    HWND apply = GetDlgItem(sheet_, 0x3021);
    ASSERT_TRUE(apply);
    EXPECT_FALSE(IsWindowEnabled(apply));
    HWND first = PropSheet_GetCurrentPageHwnd(sheet_);
    PropSheet_Changed(sheet_, first);
    EXPECT_TRUE(IsWindowEnabled(apply));
    PropSheet_UnChanged(sheet_, first);
    EXPECT_FALSE(IsWindowEnabled(apply));
    PropSheet_Changed(sheet_, first);
    log_.clear();
    Press(PSBTN_APPLYNOW);
    std::vector<Event> expected = {{"first", PSN_KILLACTIVE, 0}, {"first", PSN_APPLY, FALSE}, {"first", PSN_SETACTIVE, 0}};
    EXPECT_EQ(expected, log_);
    EXPECT_FALSE(IsWindowEnabled(apply));
    EXPECT_EQ(first, PropSheet_GetCurrentPageHwnd(sheet_));
}

TEST_F(PropSheetTest, CancelAsksTheCurrentPageThenResetsEveryPageMade)
{
    specs_[1].answers[PSN_QUERYCANCEL] = TRUE;
    ASSERT_TRUE(OpenModeless());
    PropSheet_SetCurSel(sheet_, nullptr, 1);
    log_.clear();
    Press(PSBTN_CANCEL);
    std::vector<Event> expected = {{"second", PSN_QUERYCANCEL, 0}};
    EXPECT_EQ(expected, log_);
    EXPECT_TRUE(PropSheet_GetCurrentPageHwnd(sheet_));
    specs_[1].answers.clear();
    log_.clear();
    Press(PSBTN_CANCEL);
    expected = {{"second", PSN_QUERYCANCEL, 0}, {"first", PSN_RESET, 0}, {"second", PSN_RESET, 0}};
    EXPECT_EQ(expected, log_);
    EXPECT_EQ(nullptr, PropSheet_GetCurrentPageHwnd(sheet_));
    EXPECT_EQ(0, PropSheet_GetResult(sheet_));
}

// Page callbacks: what each record went through.
std::vector<std::pair<UINT, LPARAM>> g_callbacks;
UINT CALLBACK PageCallback(HWND, UINT msg, PROPSHEETPAGEW *page)
{
    g_callbacks.push_back({msg, page->lParam});
    return 1;
}

TEST_F(PropSheetTest, PageRecordsAreCopiedWithAppendedDataAndTellTheirCallback)
{
    g_callbacks.clear();
    ExtendedPage ext{};
    ext.psp = Page(0);
    ext.psp.dwSize = sizeof ext;
    ext.psp.dwFlags |= PSP_USECALLBACK | PSP_USEREFPARENT;
    ext.psp.pfnCallback = PageCallback;
    UINT refs = 0;
    ext.psp.pcRefParent = &refs;
    ext.appended = 0x1234;
    HPROPSHEETPAGE h = CreatePropertySheetPageW(&ext.psp);
    ASSERT_TRUE(h);
    // Wine ignores PSP_USEREFPARENT: the count stays 0 while the page lives.
    EXPECT_AS_WINDOWS(zep::test::kWine, refs == 1u);
    ext.appended = 0; // the page keeps its own copy

    pages_[1] = Page(1);
    HPROPSHEETPAGE handles[] = {h, CreatePropertySheetPageW(&pages_[1])};
    ASSERT_TRUE(handles[1]);
    PROPSHEETHEADERW hdr{};
    hdr.dwSize = sizeof hdr;
    hdr.dwFlags = PSH_MODELESS;
    hdr.nPages = 2;
    hdr.phpage = handles;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&hdr));
    ASSERT_TRUE(sheet_);
    EXPECT_EQ(0x1234, specs_[0].appended);
    EXPECT_NE(&ext.psp, specs_[0].seenAtInit);
    DestroyWindow(sheet_);
    sheet_ = nullptr;
    LPARAM tag = reinterpret_cast<LPARAM>(&specs_[0]);
    std::vector<std::pair<UINT, LPARAM>> expected = {
        {PSPCB_ADDREF, tag}, {PSPCB_CREATE, tag}, {PSPCB_RELEASE, tag}};
    EXPECT_EQ(expected, g_callbacks);
    EXPECT_EQ(0u, refs);
}

TEST_F(PropSheetTest, CreatePropertySheetPageRejectsARecordSmallerThanTheFirstVersion)
{
    PROPSHEETPAGEW p = Page(0);
    p.dwSize = PROPSHEETPAGEW_V1_SIZE - 1;
    EXPECT_EQ(nullptr, CreatePropertySheetPageW(&p));
    p.dwSize = PROPSHEETPAGEW_V1_SIZE;
    HPROPSHEETPAGE h = CreatePropertySheetPageW(&p);
    EXPECT_TRUE(h);
    EXPECT_TRUE(DestroyPropertySheetPage(h));
}

TEST_F(PropSheetTest, PagesAddedAndRemovedWhileTheSheetIsOpen)
{
    ASSERT_TRUE(OpenModeless());
    PageSetup third{"third", &log_, {}, nullptr, 0};
    PROPSHEETPAGEW p = Page(1);
    p.lParam = reinterpret_cast<LPARAM>(&third);
    HPROPSHEETPAGE h = CreatePropertySheetPageW(&p);
    EXPECT_TRUE(PropSheet_AddPage(sheet_, h));
    // Wine's PSM_PAGETOINDEX does not find the page it just added (PSM_INDEXTOPAGE does).
    EXPECT_AS_WINDOWS(zep::test::kWine, PropSheet_PageToIndex(sheet_, h) == 2);
    EXPECT_EQ(h, PropSheet_IndexToPage(sheet_, 2));
    EXPECT_TRUE(PropSheet_SetCurSel(sheet_, h, 0));
    EXPECT_EQ(2, PropSheet_HwndToIndex(sheet_, PropSheet_GetCurrentPageHwnd(sheet_)));
    PropSheet_RemovePage(sheet_, 0, h);
    EXPECT_EQ(-1, PropSheet_PageToIndex(sheet_, h));
    EXPECT_TRUE(PropSheet_GetCurrentPageHwnd(sheet_));
}

#ifdef ZEP_RES_FIXTURE_PATH
// Opening a sheet changes nothing on its first page: the focus a sheet gives the page does not click an unchecked
// automatic radio button that happens to be the page's first tab stop.
TEST_F(PropSheetTest, OpeningASheetClicksNoRadioButton)
{
    std::vector<BYTE> radioTemplate = RadioPageTemplate();
    int clicks = 0;
    PROPSHEETPAGEW p{};
    p.dwSize = sizeof p;
    p.dwFlags = PSP_DLGINDIRECT;
    p.pResource = reinterpret_cast<LPCDLGTEMPLATE>(radioTemplate.data());
    p.pfnDlgProc = RadioPageProc;
    p.lParam = reinterpret_cast<LPARAM>(&clicks);
    PROPSHEETHEADERW h{};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOCONTEXTHELP;
    h.pszCaption = TEXT("Sheet");
    h.nPages = 1;
    h.ppsp = &p;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&h));
    ASSERT_TRUE(sheet_);
    HWND page = PropSheet_GetCurrentPageHwnd(sheet_);
    ASSERT_TRUE(page);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(IsDlgButtonChecked(page, 201), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(page, 202), static_cast<UINT>(BST_CHECKED));
}

TEST_F(PropSheetTest, APageFromADialogResourceHasItsControls)
{
    HMODULE module = LoadLibraryW(zep::test::Wide(ZEP_RES_FIXTURE_PATH).c_str());
    ASSERT_TRUE(module);
    PageSetup setup{"resource", &log_, {}, nullptr, 0};
    PROPSHEETPAGEW p{};
    p.dwSize = sizeof p;
    p.hInstance = module;
    p.pszTemplate = MAKEINTRESOURCEW(IDD_EVERY_CONTROL);
    p.pfnDlgProc = PageProc;
    p.lParam = reinterpret_cast<LPARAM>(&setup);
    HPROPSHEETPAGE h = CreatePropertySheetPageW(&p);
    PROPSHEETHEADERW hdr{};
    hdr.dwSize = sizeof hdr;
    hdr.dwFlags = PSH_MODELESS;
    hdr.nPages = 1;
    hdr.phpage = &h;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&hdr));
    ASSERT_TRUE(sheet_);
    HWND page = PropSheet_GetCurrentPageHwnd(sheet_);
    ASSERT_TRUE(page);
    WCHAR cls[32];
    zep::test::FillJunk(cls);
    ASSERT_TRUE(GetClassNameW(GetDlgItem(page, IDC_LISTVIEW), cls, 32));
    EXPECT_TRUE(zep::test::SameNameIgnoringCase(WString(TEXT("SysListView32")), cls));
    EXPECT_EQ(0, PropSheet_IdToIndex(sheet_, IDD_EVERY_CONTROL));
    DestroyWindow(sheet_);
    sheet_ = nullptr;
    FreeLibrary(module);
}
#endif

#ifndef _WIN32
// Modal sheets run headless through the modal hook (zep_ui.h).
TEST_F(PropSheetTest, AModalSheetRunsThroughTheHook)
{
    pages_[0] = Page(0), pages_[1] = Page(1);
    PROPSHEETHEADERW h{};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE;
    h.nPages = 2;
    h.ppsp = pages_;
    int before = ZepUiWindowCount();
    zep::test::PresetLastError();
    EXPECT_EQ(-1, PropertySheetW(&h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), GetLastError());
    EXPECT_TRUE(log_.empty());

    ZepUiSetModalHook([](HWND sheet, void *) { PropSheet_PressButton(sheet, PSBTN_OK); }, nullptr);
    EXPECT_EQ(1, PropertySheetW(&h));
    ZepUiSetModalHook([](HWND sheet, void *) { PropSheet_PressButton(sheet, PSBTN_CANCEL); }, nullptr);
    EXPECT_EQ(0, PropertySheetW(&h));
    ZepUiSetModalHook([](HWND, void *) {}, nullptr);
    zep::test::PresetLastError();
    EXPECT_EQ(-1, PropertySheetW(&h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), GetLastError());
    ZepUiSetModalHook(nullptr, nullptr);
    EXPECT_EQ(before, ZepUiWindowCount());
}
#endif

} // namespace
