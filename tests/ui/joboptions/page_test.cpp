// The Job Options page as a user meets it: opening states, typed input, leaving the page and job types.
#include "page_fixture.h"

namespace zeptest {
namespace {

using namespace zep;
namespace ui = zep::ui;

TEST_F(JobOptionsPageTest, EncryptedSecurePrintOpensAsJobTypeTwo)
{
    core.settings["ZPJobLimit"] = "True";
    services.model[W("CryptoDll")] = W("crypt.dll");
    HWND page = Open();
    ASSERT_TRUE(page);
    EXPECT_EQ(Sel(slotJob_Type), JobTypeSel(JobType::Secure));
    EXPECT_EQ(oem.dwAskPassword, 1u); // nothing stored yet: the printer asks
    for (int id : {kIdNormalJob, kIdStoreToHdd}) {
        EXPECT_FALSE(ui::Enabled(Item(page, id))) << id;
        EXPECT_EQ(ui::Checked(Item(page, id)), BST_UNCHECKED) << id;
    }
    EXPECT_TRUE(ui::Enabled(Item(page, kIdPassword)));
    // Copies are the operator panel's business for stored jobs.
    EXPECT_FALSE(ui::Enabled(Item(page, kIdCopiesEdit)));

    // "Passwo&rd..." opens the library's own dialog; OK stores the encrypted password and its settings.
    oem.dwCryptoTime = 0x20000;
    services.attributes = PRINTER_ATTRIBUTE_SHARED;
    ASSERT_TRUE(ui::Click(Item(page, kIdPassword)));
    EXPECT_EQ(services.cipherLog.shown, 1);
    EXPECT_EQ(services.cipherLog.mode, 1u); // a shared printer
    EXPECT_EQ(services.cipherLog.seen.dwAskPassword, 1u);
    EXPECT_EQ(services.cipherLog.seen.dwCryptoTime, 0x20000u);
    EXPECT_STREQ(services.cipherLog.seen.szPassword, "");
    EXPECT_EQ(services.cipherLog.encrypted, "5678");
    EXPECT_EQ(oem.dwEncryptedPasswordLen, 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(oem.bEncryptedPassword), 4), "8765");
    EXPECT_EQ(oem.dwCryptoLevel, 7u);
    EXPECT_EQ(oem.dwAskPassword, 0u);

    // The next time the stored password is decrypted into the dialog.
    ASSERT_TRUE(ui::Click(Item(page, kIdPassword)));
    EXPECT_STREQ(services.cipherLog.seen.szPassword, "5678");
}

TEST_F(JobOptionsPageTest, EncryptionLibraryThatDoesNotLoadFallsBackToNormal)
{
    core.settings["ZPJobLimit"] = "True";
    services.model[W("CryptoDll")] = W("crypt.dll");
    services.cipherLoads = false;
    HWND page = Open();
    ASSERT_TRUE(page);
    EXPECT_EQ(Sel(slotJob_Type), JobTypeSel(JobType::Normal));
    EXPECT_EQ(ui::Checked(Item(page, kIdNormalJob)), BST_CHECKED);
    EXPECT_FALSE(ui::Enabled(Item(page, kIdPassword)));
}

TEST_F(JobOptionsPageTest, TypedCopiesAndScaleKeepDigitsAndLimits)
{
    HWND page = Open();
    ASSERT_TRUE(page);
    const struct {
        const char *name;
        int edit;
        const char *typed;
        const char *shown;
        DWORD slot;
        DWORD value;
    } cases[] = {
        {"copies lose a letter", kIdCopiesEdit, "12a", "12", slotCopies, 12},
        {"scale above 1000", kIdScaleEdit, "1500", "1000", slotScale, 1000},
        {"plain scale", kIdScaleEdit, "250", "250", slotScale, 250},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = Item(page, c.edit);
        ASSERT_TRUE(ui::Retype(edit, W(c.typed)));
        EXPECT_EQ(ui::Text(edit), W(c.shown));
        const ui::Caret caret = ui::CaretOf(edit);
        EXPECT_EQ(caret.start, static_cast<DWORD>(std::string(c.shown).size()));
        EXPECT_EQ(caret.end, caret.start);
        EXPECT_EQ(Sel(c.slot), c.value);
    }
}

TEST_F(JobOptionsPageTest, InvalidScaleKeepsTheUserOnThePageBeforeCopiesAreLookedAt)
{
    HWND page = Open();
    ASSERT_TRUE(page);
    ASSERT_TRUE(ui::Retype(Item(page, kIdScaleEdit), W("5")));
    ASSERT_TRUE(ui::Retype(Item(page, kIdCopiesEdit), W("0")));
    const int beeps = driver.Beeps();

    ui::ShowSheetPage(sheet, 1);
    EXPECT_EQ(ui::SheetPage(sheet), page);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, W("One or more of your settings are invalid."));
    EXPECT_EQ(driver.MessageBoxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(GetFocus(), Item(page, kIdScaleEdit));
    EXPECT_EQ(ui::CaretOf(Item(page, kIdScaleEdit)).start, 0u);
    EXPECT_EQ(ui::CaretOf(Item(page, kIdScaleEdit)).end, 1u);
    if (zeptest::kDriverSeesBeeps) {
        EXPECT_EQ(driver.Beeps(), beeps + 1);
    }
    EXPECT_TRUE(core.calls.empty()); // nothing written back

    // With the scale right, the copies are next.
    ASSERT_TRUE(ui::Retype(Item(page, kIdScaleEdit), W("100")));
    ui::ShowSheetPage(sheet, 1);
    EXPECT_EQ(ui::SheetPage(sheet), page);
    ASSERT_EQ(driver.MessageBoxes().size(), 2u);
    EXPECT_EQ(GetFocus(), Item(page, kIdCopiesEdit));

    ASSERT_TRUE(ui::Retype(Item(page, kIdCopiesEdit), W("2")));
    EXPECT_TRUE(ui::ShowSheetPage(sheet, 1));
    EXPECT_NE(ui::SheetPage(sheet), page);
    EXPECT_EQ(driver.MessageBoxes().size(), 2u);
    EXPECT_EQ(core.items[1].Sel, 2);                // copies reached the core
    EXPECT_EQ(core.items[2].Sel, 100);
}

TEST_F(JobOptionsPageTest, StoreToHddWithCopiesWarnsOnceAndAsksForTheJobName)
{
    HWND page = Open();
    ASSERT_TRUE(page);
    ASSERT_EQ(Sel(slotCopies), 3u);
    driver.OnNextDialog([](HWND d) {
        ui::Type(GetDlgItem(d, 1006), W("Report"));
        ui::Type(GetDlgItem(d, 1008), W("1234"));
        ui::Click(GetDlgItem(d, IDOK));
    });
    ASSERT_TRUE(ui::Click(Item(page, kIdStoreToHdd)));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].caption, W("Warning"));
    EXPECT_EQ(driver.MessageBoxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(Sel(slotCopies), 1u);
    EXPECT_EQ(ui::Text(Item(page, kIdCopiesEdit)), W("1"));
    EXPECT_FALSE(ui::Enabled(Item(page, kIdCopiesEdit)));
    EXPECT_FALSE(ui::Enabled(Item(page, kIdCollate)));
    EXPECT_EQ(driver.DialogsSeen(), 1);
    EXPECT_EQ(Sel(slotJob_Type), JobTypeSel(JobType::Spool));
    EXPECT_EQ(ui::Checked(Item(page, kIdStoreToHdd)), BST_CHECKED);
    EXPECT_EQ(WString(oem.wszJobName), W("Report"));
    EXPECT_TRUE(ui::Enabled(Item(page, kIdPassword)));

    // Chosen again with more copies: no second warning, and the complete name and password need no dialog.
    Sel(slotCopies) = 2;
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdStoreToHdd, BN_CLICKED), 0);
    EXPECT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.DialogsSeen(), 1);
    EXPECT_EQ(Sel(slotJob_Type), JobTypeSel(JobType::Spool));

    // "Normal" arms the warning again.
    ASSERT_TRUE(ui::Click(Item(page, kIdNormalJob)));
    Sel(slotCopies) = 2;
    ASSERT_TRUE(ui::Click(Item(page, kIdStoreToHdd)));
    EXPECT_EQ(driver.MessageBoxes().size(), 2u);
}

TEST_F(JobOptionsPageTest, CancellingTheJobNameDialogReturnsToNormal)
{
    Sel(slotCopies) = 1;
    HWND page = Open();
    ASSERT_TRUE(page);
    driver.OnNextDialog([](HWND d) { ui::Click(GetDlgItem(d, IDCANCEL)); });
    ASSERT_TRUE(ui::Click(Item(page, kIdStoreToHdd)));
    EXPECT_EQ(driver.DialogsSeen(), 1);
    EXPECT_EQ(Sel(slotJob_Type), JobTypeSel(JobType::Normal));
    EXPECT_EQ(ui::Checked(Item(page, kIdNormalJob)), BST_CHECKED);
    EXPECT_EQ(ui::Checked(Item(page, kIdStoreToHdd)), BST_UNCHECKED);
    EXPECT_FALSE(ui::Enabled(Item(page, kIdPassword)));
    EXPECT_TRUE(ui::Enabled(Item(page, kIdCopiesEdit)));
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(JobOptionsPageTest, OutputBinsFollowTheFinisher)
{
    const struct {
        const char *name;
        const char *finisher;
        DWORD stored;
        std::vector<WString> entries;
        DWORD after;
    } cases[] = {
        {"without a finisher its bins go", "False", 2, {W("Auto"), W("Upper")}, 0},
        {"without a finisher bin 1 stays", "False", 1, {W("Auto"), W("Upper")}, 1},
        {"with a finisher bin 1 goes", "True", 1, {W("Auto"), W("Finisher 1"), W("Finisher 2")}, 0},
        {"with a finisher bin 3 stays", "True", 3, {W("Auto"), W("Finisher 1"), W("Finisher 2")}, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        core.settings["ZPFinisher"] = c.finisher;
        Sel(slotOutputBin) = c.stored;
        HWND page = Open();
        ASSERT_TRUE(page);
        EXPECT_EQ(Sel(slotOutputBin), c.after);
        EXPECT_EQ(ui::Entries(Item(page, kIdOutputBin)), c.entries);
        const int shown = ui::Selection(Item(page, kIdOutputBin));
        ASSERT_GE(shown, 0);
        EXPECT_EQ(static_cast<DWORD>(SendDlgItemMessageW(page, kIdOutputBin, CB_GETITEMDATA, shown, 0)), c.after);
        DestroyWindow(sheet);
    }
}

TEST_F(JobOptionsPageTest, NoPermissionDisablesEverythingButAbout)
{
    sheetParam.dwFlags = kNoPermissionFlag;
    HWND page = Open();
    ASSERT_TRUE(page);
    for (int id = kIdQualityGroup; id <= kIdImageSmoothing; ++id) {
        if (HWND control = Item(page, id)) {
            EXPECT_FALSE(ui::Enabled(control)) << id;
        }
    }
    EXPECT_FALSE(ui::Enabled(Item(page, IDC_DEFAULT)));
    EXPECT_FALSE(ui::Enabled(Item(page, kIdAdvancedButton)));
    EXPECT_TRUE(ui::Enabled(Item(page, kIdAboutButton)));
    ui::Click(Item(page, kIdAboutButton));
    EXPECT_EQ(services.about, 1);
}

TEST_F(JobOptionsPageTest, ApplyReportsThePageAndDefaultResetsTheSlots)
{
    HWND page = Open();
    ASSERT_TRUE(page);
    ui::Click(Item(page, IDC_DEFAULT));
    EXPECT_EQ(Sel(slotCopies), 1u);
    EXPECT_EQ(Sel(slotScale), 100u);
    EXPECT_EQ(Sel(slotBindPosition), 2u);
    EXPECT_EQ(Sel(slotImageSmoothing), 1u);
    EXPECT_EQ(ui::Checked(Item(page, kIdPhotoQuality)), BST_CHECKED);
    EXPECT_EQ(ui::Checked(Item(page, kIdMirror)), BST_CHECKED); // the core's 0 is "mirrored"

    ASSERT_TRUE(ui::PressSheetButton(sheet, PSBTN_APPLYNOW));
    ASSERT_FALSE(sheetCalls.empty());
    EXPECT_EQ(sheetCalls[0].function, static_cast<UINT>(CPSFUNC_SET_RESULT));
    EXPECT_EQ(sheetCalls[0].a, reinterpret_cast<LPARAM>(ctx.hJobOptionsPage));
    EXPECT_EQ(sheetCalls[0].b, CPSUI_OK);
}

TEST_F(JobOptionsPageTest, PageSwitchStepRunsOnceWhenPrinterDataIsReadOnly)
{
    g_ui.printerDataWritable = false;
    HWND page = Open();
    ASSERT_TRUE(page);
    EXPECT_TRUE(g_ui.sheetFlags & kSheetFlagPageInitialised);
    ui::ShowSheetPage(sheet, 1);
    EXPECT_TRUE(g_ui.sheetFlags & kSheetFlagPageActive);
    EXPECT_FALSE(core.calls.empty());
}

TEST_F(JobOptionsPageTest, ChangedPaperSizeResetsFinishingAtOpening)
{
    Sel(slotStaple) = 1;
    Sel(slotPunch) = 1;
    Sel(slotBindPosition) = 1;
    core.settings["Duplex"] = "DuplexNoTumble";
    ASSERT_TRUE(Open());
    DestroyWindow(sheet);
    // A4 portrait, no punch unit: the finishing survives an opening with the same paper.
    EXPECT_EQ(Sel(slotStaple), 1u);
    EXPECT_EQ(Sel(slotBindPosition), 1u);

    pub.dm.dmPaperSize = 1; // Letter
    core.settings["PageSize"] = "Letter";
    ASSERT_TRUE(Open());
    EXPECT_EQ(oem.dwLastPaperSize, 1u);
    EXPECT_EQ(Sel(slotStaple), 0u);
    EXPECT_EQ(Sel(slotPunch), 0u);
    EXPECT_EQ(Sel(slotBindPosition), 2u);
}

// ---- The constraints as a function --------------------------------------------------------------------------

} // namespace
} // namespace zeptest
