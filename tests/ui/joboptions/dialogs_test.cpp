// The job name and password dialog, the show-once warning, Advanced and About, driven as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "common/devmode.h"
#include "host/uidriver/uidriver.h"
#include "tests/common/test_support.h"
#include "ui/joboptions/about.h"
#include "ui/joboptions/advanced.h"
#include "ui/joboptions/dialogs.h"
#include "ui/joboptions/jobpin.h"
#include "ui/state.h"
#include "resources/zepui_ids.h"

namespace zep {
namespace {

using ui::WString;
using zeptest::W;

WString Wide(const std::string &ascii) { return WString(ascii.begin(), ascii.end()); }

class ZepUiModule {
public:
    ZepUiModule() : handle_(LoadLibraryW(Wide(ZEP_ZEPUI_PATH).c_str())) {}
    ~ZepUiModule()
    {
        if (handle_) FreeLibrary(handle_);
    }
    HMODULE get() const { return handle_; }

private:
    HMODULE handle_;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module_.get(), nullptr) << ZEP_ZEPUI_PATH; }
    void TearDown() override
    {
        EXPECT_TRUE(driver_.Problems().empty()) << driver_.Problems().front();
        zeptest::DestroyThreadWindows();
    }
    static std::string Text(HWND dialog, int id) { return ui::Utf8(ui::Text(GetDlgItem(dialog, id))); }

    ZepUiModule module_;
    ui::Driver driver_;
};

// ---- Job name and password ------------------------------------------------------------------------------

class JobPin : public DialogTest {
protected:
    JobPinEnvironment Env()
    {
        JobPinEnvironment env;
        env.module = module_.get();
        env.pluginIni = ini_.c_str();
        return env;
    }
    INT_PTR Run(const JobPinEnvironment &env, ui::Driver::Actions act)
    {
        driver_.OnNextDialog(std::move(act));
        return RunJobPinDialog(nullptr, dm_, env);
    }
    static void Fill(HWND d, const std::string &name, const std::string &password, bool ask)
    {
        ui::Retype(GetDlgItem(d, 1006), Wide(name));
        ui::Retype(GetDlgItem(d, 1008), Wide(password));
        if ((ui::Checked(GetDlgItem(d, 1007)) == BST_CHECKED) != ask) ui::Click(GetDlgItem(d, 1007));
    }

    OemDevmode dm_{};
    WString ini_ = TEXT("C:\\drv\\3\\jobpin.ini");
};

TEST_F(JobPin, OkChecksPasswordThenNameAndStaysOpenOnEachError)
{
    const struct {
        const char *name;
        const char *jobName;
        const char *password;
        bool ask;
        const char *message; // nullptr: accepted
    } cases[] = {
        {"name and four digits", "Report", "1234", false, nullptr},
        {"three digits are refused", "Report", "123", false, "Password is invalid"},
        {"three digits are refused with the request box ticked", "", "123", true, "Password is invalid"},
        {"no password", "Report", "", false, "Password is invalid"},
        {"an empty name without the request", "", "1234", false, "Job name is invalid"},
        {"an empty name with the request", "", "1234", true, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dm_ = {};
        lstrcpyW(dm_.wszJobName, TEXT("Old"));
        lstrcpyW(dm_.wszJobPassword, TEXT("9999"));
        const size_t boxesBefore = driver_.MessageBoxes().size();
        bool stayedOpen = false;
        INT_PTR result = Run(Env(), [&](HWND d) {
            Fill(d, c.jobName, c.password, c.ask);
            ui::Click(GetDlgItem(d, IDOK));
            stayedOpen = IsWindow(d) && IsWindowVisible(d);
            if (c.message) ui::Click(GetDlgItem(d, IDCANCEL));
        });
        if (c.message) {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(stayedOpen);
            ASSERT_EQ(driver_.MessageBoxes().size(), boxesBefore + 1);
            const ui::MessageBoxSeen &box = driver_.MessageBoxes().back();
            EXPECT_EQ(ui::Utf8(box.text), c.message);
            EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
            EXPECT_EQ(ui::Utf8(box.caption), "Error"); // the system's own caption
            EXPECT_EQ(WString(dm_.wszJobName), Wide("Old")) << "nothing stored";
            EXPECT_EQ(WString(dm_.wszJobPassword), Wide("9999"));
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(driver_.MessageBoxes().size(), boxesBefore);
            EXPECT_EQ(WString(dm_.wszJobName), Wide(c.jobName));
            EXPECT_EQ(WString(dm_.wszJobPassword), Wide(c.password));
            EXPECT_EQ(dm_.dwAskJobName, c.ask ? 1u : 0u);
        }
    }
}

TEST_F(JobPin, TypingKeepsWhatEachFieldMayHoldWithOneBeep)
{
    const struct {
        const char *name;
        int edit;
        WString typed;
        const char *shown;
        int beeps;
    } cases[] = {
        {"a double quote leaves the name", 1006, Wide("ab\"c"), "abc", 1},
        {"a non-ASCII letter leaves the name", 1006, WString{'J', 0x00E9, 'b'}, "Jb", 1},
        {"the name holds 16 characters", 1006, Wide("ABCDEFGHIJKLMNOPQR"), "ABCDEFGHIJKLMNOP", 0},
        {"letters leave the password", 1008, Wide("1a2"), "12", 1},
        {"the password holds 4 digits", 1008, Wide("123456"), "1234", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dm_ = {};
        const int beepsBefore = driver_.Beeps();
        std::string shown;
        ui::Caret caret;
        Run(Env(), [&](HWND d) {
            HWND edit = GetDlgItem(d, c.edit);
            ui::Type(edit, c.typed);
            shown = ui::Utf8(ui::Text(edit));
            caret = ui::CaretOf(edit);
            ui::Click(GetDlgItem(d, IDCANCEL));
        });
        EXPECT_EQ(shown, c.shown);
        if (zeptest::kDriverSeesBeeps) {
            EXPECT_EQ(driver_.Beeps() - beepsBefore, c.beeps);
        }
        EXPECT_EQ(caret.end, std::string(c.shown).size()) << "the caret follows the kept text";
    }
}

TEST_F(JobPin, RequestBoxFollowsPrinterAndSystem)
{
    const struct {
        const char *name;
        bool shared;
        bool newSystem;
        DWORD stored;
        int checked;
        bool enabled;
    } cases[] = {
        {"local printer shows the stored request", false, false, 1, BST_CHECKED, true},
        {"shared printer clears and disables it", true, false, 1, BST_UNCHECKED, false},
        {"Vista and later disable it but show the stored state", false, true, 1, BST_CHECKED, false},
        {"Vista and later with nothing stored", false, true, 0, BST_UNCHECKED, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dm_ = {};
        dm_.dwAskJobName = c.stored;
        JobPinEnvironment env = Env();
        env.printerShared = c.shared;
        env.newSystem = c.newSystem;
        int checked = -1;
        bool enabled = false;
        LONG_PTR exStyle = 0;
        EXPECT_EQ(Run(env,
                      [&](HWND d) {
                          checked = ui::Checked(GetDlgItem(d, 1007));
                          enabled = ui::Enabled(GetDlgItem(d, 1007));
                          exStyle = GetWindowLongPtrW(d, GWL_EXSTYLE);
                          ui::Click(GetDlgItem(d, IDCANCEL));
                      }),
                  0);
        EXPECT_EQ(checked, c.checked);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ((exStyle & WS_EX_CONTEXTHELP) != 0, !c.newSystem) << "caption help button only before Vista";
        EXPECT_EQ(dm_.dwAskJobName, c.stored) << "Cancel stores nothing";
    }
}

TEST_F(JobPin, WarningOnWindowsXpUntilTheUserClearsShowNextTime)
{
    zeptest::WriteFile(ini_, "[DisplayAllert]\r\n");
    JobPinEnvironment env = Env();
    env.windowsXp = true;
    auto tickRequest = [&](bool clearShowNextTime) {
        return [&, clearShowNextTime](HWND d) {
            if (clearShowNextTime)
                driver_.OnNextDialog([](HWND w) {
                    EXPECT_EQ(ui::Checked(GetDlgItem(w, 6005)), BST_CHECKED);
                    ui::Click(GetDlgItem(w, 6005));
                    ui::Click(GetDlgItem(w, IDOK));
                });
            ui::Click(GetDlgItem(d, 1007));
            ui::Click(GetDlgItem(d, IDCANCEL));
        };
    };
    Run(env, tickRequest(true));
    EXPECT_EQ(driver_.DialogsSeen(), 2);
    EXPECT_EQ(GetPrivateProfileIntW(TEXT("DisplayAllert"), TEXT("AllertFlag1"), 0, ini_.c_str()), 1u);
    WCHAR value[8] = {};
    GetPrivateProfileStringW(TEXT("DisplayAllert"), TEXT("AllertFlag1"), TEXT(""), value, 8, ini_.c_str());
    EXPECT_EQ(WString(value), Wide("1"));
    Run(env, tickRequest(false));
    EXPECT_EQ(driver_.DialogsSeen(), 3) << "the warning stays away";
}

TEST_F(JobPin, WarningRoutineWritesTheFlagOnlyWhenAskedTo)
{
    const struct {
        const char *name;
        const char *preset; // AllertFlag1 before, "" for none
        bool shown;
        bool clear;       // clear "&Show this message next time"
        bool escape;      // leave with Esc instead of OK
        INT_PTR result;
        UINT flagAfter;
    } cases[] = {
        {"kept ticked: shown again next time", "", true, false, false, 1, 0},
        {"cleared: never again", "", true, true, false, 0, 1},
        {"Esc counts as cleared", "0", true, false, true, 0, 1},
        {"flag set: not shown", "1", false, false, false, 1, 1},
        {"any non-zero flag hides it", "7", false, false, false, 1, 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = c.preset[0] ? std::string("[DisplayAllert]\r\nAllertFlag1=") + c.preset + "\r\n" : "";
        zeptest::WriteFile(ini_, body);
        const int before = driver_.DialogsSeen();
        if (c.shown)
            driver_.OnNextDialog([&](HWND w) {
                EXPECT_EQ(Text(w, 6002).substr(0, 12), "If any user ");
                if (c.clear) ui::Click(GetDlgItem(w, 6005));
                if (c.escape) {
                    // Esc as the dialog manager sees it in the modal loop.
                    MSG esc{};
                    esc.hwnd = GetDlgItem(w, 6005);
                    esc.message = WM_KEYDOWN;
                    esc.wParam = VK_ESCAPE;
                    esc.lParam = 1;
                    IsDialogMessageW(w, &esc);
                } else
                    ui::Click(GetDlgItem(w, IDOK));
            });
        EXPECT_EQ(RunWarningOnce(module_.get(), nullptr, ini_.c_str(), kWarningJobNamePrompt), c.result);
        EXPECT_EQ(driver_.DialogsSeen() - before, c.shown ? 1 : 0);
        EXPECT_EQ(GetPrivateProfileIntW(TEXT("DisplayAllert"), TEXT("AllertFlag1"), 0, ini_.c_str()), c.flagAfter);
    }
}

// ---- Advanced -------------------------------------------------------------------------------------------

class Advanced : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        std::fill(std::begin(ctx_->dwSlotIndex), std::end(ctx_->dwSlotIndex), kSlotAbsent);
        ctx_->dwSlotIndex[slotHDDSpool] = 3;
        ctx_->dwSlotIndex[slotHairLine] = 4;
        // A slot is present only where its index names one of the core's items.
        param_.cDrvOptItems = static_cast<DWORD>(std::size(items_));
        param_.pDrvOptItems = items_;
        ctx_->pCuiParam = &param_;
    }
    AdvancedEnvironment Env(int compression, bool hardDisk = true)
    {
        AdvancedEnvironment env;
        env.module = module_.get();
        env.compression = compression;
        env.hardDisk = hardDisk;
        return env;
    }
    INT_PTR Run(const AdvancedEnvironment &env, ui::Driver::Actions act)
    {
        driver_.OnNextDialog(std::move(act));
        return RunAdvancedDialog(nullptr, *ctx_, dm_, env);
    }

    std::unique_ptr<OemUiContext> ctx_ = std::make_unique<OemUiContext>();
    OemDevmode dm_{};
    OPTITEM items_[5] = {};
    OEMCUIPPARAM param_ = {};
};

TEST_F(Advanced, CompressionListFollowsTheModelKey)
{
    dm_.wCompressionLevel = 1;
    std::vector<std::string> entries;
    int shownAtOpening = -1, afterDefault = -1;
    // 0x701: offered, default level 7.
    EXPECT_EQ(Run(Env(0x701),
                  [&](HWND d) {
                      HWND list = GetDlgItem(d, 1805);
                      for (const WString &e : ui::Entries(list)) entries.push_back(ui::Utf8(e));
                      shownAtOpening = ui::Selection(list);
                      ui::Click(GetDlgItem(d, IDC_DEFAULT));
                      afterDefault = ui::Selection(list);
                      ui::Click(GetDlgItem(d, IDOK));
                  }),
              1);
    EXPECT_EQ(entries, (std::vector<std::string>{"None", "Fast", "Normal", "Best Compression"}));
    EXPECT_EQ(shownAtOpening, 1);
    EXPECT_EQ(afterDefault, 3);
    EXPECT_EQ(dm_.wCompressionLevel, 3);

    // 0x700: not offered; OK stores "None".
    bool listThere = true, groupThere = true;
    dm_.wCompressionLevel = 2;
    EXPECT_EQ(Run(Env(0x700),
                  [&](HWND d) {
                      listThere = GetDlgItem(d, 1805) != nullptr;
                      groupThere = GetDlgItem(d, 1804) != nullptr;
                      ui::Click(GetDlgItem(d, IDOK));
                  }),
              1);
    EXPECT_FALSE(listThere);
    EXPECT_FALSE(groupThere);
    EXPECT_EQ(dm_.wCompressionLevel, 0);
}

TEST_F(Advanced, ChosenCompressionIsStoredOnlyOnOk)
{
    dm_.wCompressionLevel = 0;
    Run(Env(0x001), [](HWND d) {
        ui::Select(GetDlgItem(d, 1805), 2);
        ui::Click(GetDlgItem(d, IDCANCEL));
    });
    EXPECT_EQ(dm_.wCompressionLevel, 0);
    Run(Env(0x001), [](HWND d) {
        ui::Select(GetDlgItem(d, 1805), 2);
        ui::Click(GetDlgItem(d, IDOK));
    });
    EXPECT_EQ(dm_.wCompressionLevel, 2);
}

TEST(AdvancedDefaults, DefaultLevelMapsToListIndex)
{
    const DWORD expected[16] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3};
    for (int level = 0; level < 16; ++level)
        EXPECT_EQ(DefaultCompressionIndex((level << 8) | 1), expected[level]) << "level " << level;
    EXPECT_FALSE(CompressionOffered(0x700));
    EXPECT_TRUE(CompressionOffered(0x701));
}

TEST_F(Advanced, CheckBoxesMapToSelectionsWithTheirOwnPolarity)
{
    const struct {
        const char *name;
        bool hardDisk;
        DWORD spool, hair;     // selections before
        bool clickSpool, clickHair, pressDefault;
        int spoolChecked, hairChecked; // at opening
        bool spoolEnabled;
        INT_PTR result;
        DWORD spoolAfter, hairAfter;
    } cases[] = {
        {"spool on and fine lines on show ticked", true, 1, 0, false, false, false, BST_CHECKED, BST_CHECKED, true, 1, 1, 0},
        {"untick both", true, 1, 0, true, true, false, BST_CHECKED, BST_CHECKED, true, 1, 0, 1},
        {"tick both", true, 0, 1, true, true, false, BST_UNCHECKED, BST_UNCHECKED, true, 1, 1, 0},
        {"no hard disk clears and disables spool", false, 1, 1, false, false, false, BST_UNCHECKED, BST_UNCHECKED, false, 1, 0, 1},
        {"Default: spool off, fine lines on", true, 1, 1, false, false, true, BST_CHECKED, BST_UNCHECKED, true, 1, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ctx_->dwSlotSel[slotHDDSpool] = c.spool;
        ctx_->dwSlotSel[slotHairLine] = c.hair;
        int spoolChecked = -1, hairChecked = -1;
        bool spoolEnabled = false;
        EXPECT_EQ(Run(Env(0, c.hardDisk),
                      [&](HWND d) {
                          spoolChecked = ui::Checked(GetDlgItem(d, 1806));
                          hairChecked = ui::Checked(GetDlgItem(d, 1808));
                          spoolEnabled = ui::Enabled(GetDlgItem(d, 1806));
                          if (c.clickSpool) ui::Click(GetDlgItem(d, 1806));
                          if (c.clickHair) ui::Click(GetDlgItem(d, 1808));
                          if (c.pressDefault) ui::Click(GetDlgItem(d, IDC_DEFAULT));
                          ui::Click(GetDlgItem(d, IDOK));
                      }),
                  c.result);
        EXPECT_EQ(spoolChecked, c.spoolChecked);
        EXPECT_EQ(hairChecked, c.hairChecked);
        EXPECT_EQ(spoolEnabled, c.spoolEnabled);
        EXPECT_EQ(ctx_->dwSlotSel[slotHDDSpool], c.spoolAfter);
        EXPECT_EQ(ctx_->dwSlotSel[slotHairLine], c.hairAfter);
    }
}

TEST_F(Advanced, AbsentSlotsRemoveTheirBoxesAndCancelKeepsSelections)
{
    ctx_->dwSlotIndex[slotHDDSpool] = kSlotAbsent;
    ctx_->dwSlotSel[slotHairLine] = 0;
    bool spoolThere = true;
    EXPECT_EQ(Run(Env(0),
                  [&](HWND d) {
                      spoolThere = GetDlgItem(d, 1806) != nullptr;
                      ui::Click(GetDlgItem(d, 1808));
                      ui::Click(GetDlgItem(d, IDCANCEL));
                  }),
              0);
    EXPECT_FALSE(spoolThere);
    EXPECT_EQ(ctx_->dwSlotSel[slotHairLine], 0u);
}

// ---- About ----------------------------------------------------------------------------------------------

class About : public DialogTest {};

TEST_F(About, PpdTextsComeFromTheFirstMatchingLines)
{
    const struct {
        const char *name;
        std::string ppd;
        const char *version;
        const char *copyright;
    } cases[] = {
        {"quoted file version", "*PPD-Adobe: \"4.3\"\r\n*FileVersion: \"1.0\"\r\n*% Copyright 2009 Zep Inc.\r\n", "1.0",
         "Copyright 2009 Zep Inc."},
        {"first line with a quote wins", "*% FileVersion none\n*FileVersion: \"2.5\"\n*FileVersion: \"3.0\"\n", "2.5", ""},
        {"an unclosed quote runs to the line end", "*FileVersion: \"1.1\r\n", "1.1", ""},
        {"no file version", "*Copyright: (c) Zep\n", "", "(c) Zep"},
        {"empty file", "", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        zeptest::WriteFile(TEXT("C:\\drv\\3\\about.PPD"), c.ppd);
        AboutTexts texts;
        ReadPpdTexts(TEXT("C:\\drv\\3\\about.PPD"), texts);
        EXPECT_EQ(ui::Utf8(texts.ppdVersion), c.version);
        EXPECT_EQ(ui::Utf8(texts.copyright), c.copyright);
    }
    AboutTexts missing;
    ReadPpdTexts(TEXT("C:\\drv\\3\\none.PPD"), missing);
    EXPECT_EQ(missing.ppdVersion[0], 0);
}

TEST_F(About, LongPpdLinesAreReadInPieces)
{
    // A "FileVersion" beyond the first 255 bytes of its line starts a piece of its own.
    zeptest::WriteFile(TEXT("C:\\drv\\3\\long.PPD"), "*% " + std::string(300, 'x') + " FileVersion: \"9.9\"\n");
    AboutTexts texts;
    ReadPpdTexts(TEXT("C:\\drv\\3\\long.PPD"), texts);
    EXPECT_EQ(ui::Utf8(texts.ppdVersion), "9.9");
}

TEST_F(About, DriverVersionFromTheVersionFile)
{
    const struct {
        const char *name;
        const char *body;
        const char *shown;
    } cases[] = {
        {"OptionVer wins unchanged", "OptionVer=Option 2.0\r\nDriverVer=01/01/2010,1.2.3\r\nInternalVer=a-b-\"c\"\r\n",
         "Option 2.0"},
        {"DriverVer after its comma with the build suffix", "DriverVer=06/21/2010,3.0.1\r\nInternalVer=ZEP-PS-\"B12\"\r\n",
         "3.0.1B12"},
        {"hyphens inside quotes do not count", "DriverVer=x,1.0\r\nInternalVer=\"a-b\"-c-Rev7!\r\n", "1.0Rev7"},
        {"fewer than two hyphens: no suffix", "DriverVer=x,1.0\r\nInternalVer=one-two\r\n", "1.0"},
        {"nothing", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        zeptest::WriteFile(TEXT("C:\\drv\\3\\zep.ver"), std::string("[Version]\r\n") + c.body);
        AboutTexts texts;
        ReadDriverVersion(TEXT("C:\\drv\\3\\zep.ver"), texts);
        EXPECT_EQ(ui::Utf8(texts.driverVersion), c.shown);
    }
}

TEST(AboutPaths, PpdBesideThePluginIni)
{
    const struct {
        const char *ini;
        const char *ppd; // "" = none
    } cases[] = {
        {"C:\\drv\\3\\ZEPCL500.INI", "C:\\drv\\3\\ZEPCL500.PPD"},
        {"C:\\drv.v2\\3\\zep.ini", "C:\\drv.v2\\3\\zep.PPD"},
        {"C:\\drv.v2\\3\\noext", ""},
    };
    for (const auto &c : cases) {
        WCHAR out[MAX_PATH];
        const bool ok = PpdPathFromIni(Wide(c.ini).c_str(), out);
        EXPECT_EQ(ok, c.ppd[0] != 0) << c.ini;
        EXPECT_EQ(ui::Utf8(out), c.ppd) << c.ini;
    }
}

TEST_F(About, DialogShowsTheTextsAndChangesNothing)
{
    zeptest::WriteFile(TEXT("C:\\drv\\3\\show.PPD"), "*FileVersion: \"1.0\"\n*Copyright: Zep 2010\n");
    static WString ini = TEXT("C:\\drv\\3\\show.ini");
    auto ctx = std::make_unique<OemUiContext>();
    ctx->pwszPluginIni = ini.data();
    g_ui.module = module_.get();
    std::string ppdVersion, copyright;
    driver_.OnNextDialog([&](HWND d) {
        ppdVersion = Text(d, 1563);
        copyright = Text(d, 1564);
        SendMessageW(d, WM_LBUTTONDBLCLK, MK_CONTROL | MK_SHIFT, 0); // outside the value: nothing happens
        ui::Click(GetDlgItem(d, IDOK));
    });
    EXPECT_EQ(ShowAboutDialog(nullptr, ctx.get()), 1);
    g_ui.module = nullptr;
    EXPECT_EQ(ppdVersion, "1.0");
    EXPECT_EQ(copyright, "Zep 2010");
}

} // namespace
} // namespace zep
