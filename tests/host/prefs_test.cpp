// Printing preferences through the stand-in core: the plug-in's life cycle, the core's refusal of constraint
// breaks, the write-back order, and `zepdrv prefs` end to end into a printed job.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/core/job.h"
#include "host/core/uisession.h"
#include "host/core/uistore.h"
#include "host/uidriver/uidriver.h"
#include "host_test_util.h"
#include "zep_platform.h"
#include "zep_ui.h"

using namespace host_test;
using namespace zep::host;

namespace {

std::vector<std::string> g_calls;
OEMCUIPCALLBACK g_pluginCallback = nullptr;

LONG APIENTRY RecordingCallback(PCPSUICBPARAM cb, POEMCUIPPARAM param)
{
    g_calls.push_back("Callback(" + std::to_string(cb ? cb->Reason : -1) + ")");
    return g_pluginCallback ? g_pluginCallback(cb, param) : CPSUICB_ACTION_NONE;
}

// Stands between the core and the plug-in object and notes every call, then passes it on.
class RecordingPlugin final : public IPrintOemUI2 {
public:
    explicit RecordingPlugin(IPrintOemUI2 *inner) : inner_(inner) { inner_->AddRef(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, kIidUnknown) && !IsEqualIID(riid, IID_IPrintOemUI) &&
            !IsEqualIID(riid, IID_IPrintOemUI2))
            return E_NOINTERFACE;
        *ppv = static_cast<IPrintOemUI2 *>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--refs_ > 0) return static_cast<ULONG>(refs_);
        g_calls.push_back("Release");
        inner_->Release();
        delete this;
        return 0;
    }
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID b, DWORD s, PDWORD n) override
    {
        g_calls.push_back("GetInfo(" + std::to_string(mode) + ")");
        return inner_->GetInfo(mode, b, s, n);
    }
    HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, POEMDMPARAM p) override
    {
        g_calls.push_back("DevMode(" + std::to_string(mode) + ")");
        return inner_->DevMode(mode, p);
    }
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *u) override
    {
        g_calls.push_back("PublishDriverInterface");
        return inner_->PublishDriverInterface(u);
    }
    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, POEMCUIPPARAM p) override
    {
        g_calls.push_back(std::string("CommonUIProp(") + std::to_string(mode) +
                          (p && p->pOEMOptItems ? ", items)" : ", count)"));
        HRESULT hr = inner_->CommonUIProp(mode, p);
        if (p && p->OEMCUIPCallback && p->OEMCUIPCallback != RecordingCallback) {
            g_pluginCallback = p->OEMCUIPCallback;
            p->OEMCUIPCallback = RecordingCallback;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM l) override
    {
        g_calls.push_back("DocumentPropertySheets(" + std::to_string(info ? info->Reason : -1) + ")");
        return inner_->DocumentPropertySheets(info, l);
    }
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM l) override
    {
        g_calls.push_back("DevicePropertySheets");
        return inner_->DevicePropertySheets(info, l);
    }
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ o, PDEVQUERYPRINT_INFO i, PDEVMODEW d, PVOID e) override
    {
        g_calls.push_back("DevQueryPrintEx");
        return inner_->DevQueryPrintEx(o, i, d, e);
    }
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ o, HANDLE h, PWSTR n, WORD c, PVOID out, PDEVMODEW d,
                                                 PVOID e, DWORD old, DWORD *r) override
    {
        g_calls.push_back("DeviceCapabilities");
        return inner_->DeviceCapabilities(o, h, n, c, out, d, e, old, r);
    }
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD l, PBYTE p) override
    {
        g_calls.push_back("UpgradePrinter");
        return inner_->UpgradePrinter(l, p);
    }
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR n, INT e, DWORD f, LPARAM l) override
    {
        g_calls.push_back("PrinterEvent");
        return inner_->PrinterEvent(n, e, f, l);
    }
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD e, DWORD l, LPBYTE i, LPARAM p) override
    {
        g_calls.push_back("DriverEvent");
        return inner_->DriverEvent(e, l, i, p);
    }
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE h, POEMUIOBJ o, PDEVMODEW d, PVOID e, ULONG q, VOID *p,
                                                ULONG *s, FLONG *f) override
    {
        g_calls.push_back("QueryColorProfile");
        return inner_->QueryColorProfile(h, o, d, e, q, p, s, f);
    }
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND w, UINT m, WPARAM wp, LPARAM lp) override
    {
        return inner_->FontInstallerDlgProc(w, m, wp, lp);
    }
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE h, HANDLE heap, PWSTR c) override
    {
        return inner_->UpdateExternalFonts(h, heap, c);
    }
    HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE h, PDEVMODEW d, DWORD l, LPBYTE a) override
    {
        g_calls.push_back("QueryJobAttributes");
        return inner_->QueryJobAttributes(h, d, l, a);
    }
    HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD mode) override
    {
        g_calls.push_back("HideStandardUI");
        return inner_->HideStandardUI(mode);
    }
    HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE h, HDC dc, INT e, ULONG ci, PVOID i, ULONG co, PVOID o,
                                            PINT r) override
    {
        g_calls.push_back("DocumentEvent");
        return inner_->DocumentEvent(h, dc, e, ci, i, co, o, r);
    }

private:
    IPrintOemUI2 *inner_;
    LONG refs_ = 1;
};

// One printer for the whole suite, reached in this process and by zepdrv alike.
class PrefsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = TempDir("prefs-root");
        ZepSetRoot(root_.string().c_str());
        std::string error;
        ASSERT_TRUE(InstallDemoPrinter(Widen((BuildDir() / "stage" / "driver").string()), error)) << error;
    }
    void SetUp() override
    {
        // Each test starts from the printer without kept settings.
        std::string error;
        ASSERT_TRUE(InstallDemoPrinter(Widen((BuildDir() / "stage" / "driver").string()), error)) << error;
        g_calls.clear();
        g_pluginCallback = nullptr;
    }

    static RunResult Zepdrv(const std::string &args) { return RunZepdrv(root_, args, "prefs-run"); }

    static std::string PrefsArgs(const std::vector<std::string> &actions, const std::string &extra = "")
    {
        std::string args = "prefs" + extra;
        for (const std::string &a : actions) args += " --do " + Quote(a);
        return args;
    }

    // The DEVMODE the printer keeps, split into its parts.
    static StoredDevmode Kept()
    {
        StoredDevmode parts;
        zep::Printer printer;
        WString name = kDemoPrinter;
        EXPECT_TRUE(OpenPrinterW(name.data(), printer.put(), nullptr));
        std::vector<BYTE> dm = ReadPrinterDevmode(printer.get());
        EXPECT_TRUE(SplitStoredDevmode(dm.data(), dm.size(), parts)) << "the printer keeps no DEVMODE of this core";
        return parts;
    }

    static int ItemIndex(PrefsSession &s, const char *keyword)
    {
        for (DWORD k = 0; k < s.Items().Count(); ++k)
            if (s.Items().Keyword(k) && std::strcmp(s.Items().Keyword(k), keyword) == 0) return static_cast<int>(k);
        return -1;
    }

    static fs::path root_;
};
fs::path PrefsTest::root_;

TEST_F(PrefsTest, OpeningAndApplyingCallThePluginInTheCoresOrder)
{
    PrefsSession session;
    session.SetPluginWrapper([](IPrintOemUI2 *inner) -> IPrintOemUI2 * { return new RecordingPlugin(inner); });
    std::string error;
    ASSERT_TRUE(session.Open(kDemoPrinter, error)) << error;
    EXPECT_EQ(g_calls, (std::vector<std::string>{"PublishDriverInterface", "DevMode(1)", "DevMode(2)", "DevMode(4)",
                                                 "CommonUIProp(1, count)", "CommonUIProp(1, items)",
                                                 "DocumentPropertySheets(0)", "Callback(10)"}));
    // The core's page comes first, then the plug-in's pages in the order it added them.
    ASSERT_GE(session.Pages().size(), 2u);
    EXPECT_EQ(session.Pages()[0].title, WString(TEXT("Layout")));
    EXPECT_EQ(session.Pages()[1].title, WString(TEXT("Job Options")));

    g_calls.clear();
    ASSERT_TRUE(session.Apply(error)) << error;
    EXPECT_EQ(g_calls, (std::vector<std::string>{"Callback(11)", "Callback(10)", "Callback(6)",
                                                 "DocumentPropertySheets(3)", "DocumentPropertySheets(2)", "Release"}));
    EXPECT_EQ(session.Sheet(), nullptr);
}

TEST_F(PrefsTest, DrvUpdateUISettingRefusesAChangeThatBreaksAConstraint)
{
    PrefsSession session;
    std::string error;
    ASSERT_TRUE(session.Open(kDemoPrinter, error)) << error;
    POEMUIOBJ ui = session.CuiParam().poemuiobj;
    struct Case {
        const char *name;
        const char *keyword;
        const char *optionText;  // as the item shows it
        bool accepted;
    };
    // The demo printer has its hard disk and no finisher.
    const Case cases[] = {
        {"stapling needs the finisher", "ZPStaple", "Top Left", false},
        {"storing needs the hard disk, which is there", "ZPJob_Type", "Store to HDD", true},
        {"a feature without constraints", "ZPMediaType", "Transparency", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int k = ItemIndex(session, c.keyword);
        ASSERT_GE(k, 0);
        OPTITEM &item = session.Items().Items()[k];
        LONG option = -1;
        for (WORD o = 0; o < item.pOptType->Count; ++o)
            if (Narrow(item.pOptType->pOptParam[o].pData) == c.optionText) option = o;
        ASSERT_GE(option, 0);
        LONG previous = item.Sel;
        std::string before = session.Settings().options[c.keyword];
        item.Sel = option;
        item.Flags |= OPTIF_CHANGED;
        SetLastError(0xdeadbeef);
        BOOL result = ui->pOemUIProcs->DrvUpdateUISetting(ui, &item, static_cast<DWORD>(previous), OEMCUIP_DOCPROP);
        EXPECT_EQ(result != FALSE, c.accepted);
        if (c.accepted) {
            EXPECT_EQ(item.Sel, option);
            EXPECT_NE(session.Settings().options[c.keyword], before);
        } else {
            EXPECT_EQ(item.Sel, previous) << "a refused change leaves the item as it was";
            EXPECT_EQ(session.Settings().options[c.keyword], before);
        }
        ASSERT_FALSE(session.Updates().empty());
        EXPECT_EQ(session.Updates().back().keyword, c.keyword);
    }

    // What the plug-in reads back is the option just accepted; a short buffer is left untouched.
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    DWORD needed = 0, options = 0;
    EXPECT_TRUE(ui->pOemUIProcs->DrvGetDriverSetting(ui, "ZPJob_Type", buffer, 64, &needed, &options));
    EXPECT_STREQ(buffer, "Spool");
    EXPECT_EQ(needed, 6u);
    std::memset(buffer, '#', sizeof buffer);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(ui->pOemUIProcs->DrvGetDriverSetting(ui, "ZPJob_Type", buffer, 5, &needed, &options));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer[0], '#');
}

TEST_F(PrefsTest, LeavingTheJobOptionsPageWritesTheSlotsBackInTheFixedOrder)
{
    PrefsSession session;
    std::string error;
    ASSERT_TRUE(session.Open(kDemoPrinter, error)) << error;
    ASSERT_TRUE(zep::ui::ShowSheetPage(session.Sheet(), 1));
    size_t first = session.Updates().size();
    ASSERT_TRUE(zep::ui::ShowSheetPage(session.Sheet(), 0));

    auto sel = [&](const char *keyword) {
        int k = ItemIndex(session, keyword);
        return k < 0 ? 0 : session.Items().Items()[k].Sel;
    };
    std::vector<std::string> order = {"ZPControl", "ZPSeparationorder", "ZPOverPrint", "ZPProcessMode",
                                      "ZPBlackSubstitution", "ZPAlwaysPrnHT", "ZPColorRenderStyle",
                                      "ZPColorRenderDict", "ZPTargetColor", "ZPTone", "#5"};
    if (sel("ZPOutputMode") != 0) order.insert(order.end(), {"ZPOutputMode", "ZPOutputModeBlack"});
    else order.insert(order.end(), {"ZPOutputModeBlack", "ZPOutputMode"});
    order.insert(order.end(), {"#2", "ZPJob_Type", "#3", "ZPCollate", "#30", "ZPHDDSpool", "ZPDrumClean",
                               "ZPHairLine", "ZPFITTOMPT", "ZPFITTOTRAY1", "ZPFITTOTRAY2", "ZPFITTOTRAY3",
                               "ZPFITTOTRAY4", "ZPFITTOTRAY5"});
    if (sel("ZPStaple") != 0 || sel("ZPPunch") != 0) order.insert(order.end(), {"OutputBin", "ZPStaple", "ZPPunch"});
    else order.insert(order.end(), {"ZPStaple", "ZPPunch", "OutputBin"});
    order.insert(order.end(), {"ZPBindPosition", "ZPBlackSubGra", "ZPColorICMS", "ZPCMYKProfile", "ZPRGBProfile",
                               "ZPCMYKInputProfile", "ZPCMYKLinkProfile", "ZPOutProfile", "ZPSimProfile",
                               "ZPPureBlack", "ZPPreserveBlack", "ZPColorMatch", "ZPResolution", "ZPImageSmoothing",
                               "ZPScreenObo", "ZPTrapping", "ZPOverlay"});
    // Only the items this PPD has are written.
    std::vector<std::string> expected;
    for (const std::string &o : order) {
        bool present = o[0] == '#' || ItemIndex(session, o.c_str()) >= 0;
        if (present) expected.push_back(o);
    }
    std::vector<std::string> seen;
    for (size_t i = first; i < session.Updates().size(); ++i) {
        const UiUpdate &u = session.Updates()[i];
        seen.push_back(u.keyword.empty() ? "#" + std::to_string(u.itemId) : u.keyword);
        EXPECT_EQ(u.mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(PrefsTest, DumpShowsTheTopmostWindowAndSnapshotsEveryPageAndDialog)
{
    fs::path pictures = TempDir("prefs-pictures");
    RunResult r = Zepdrv(PrefsArgs({"dump", "page Job Options", "click 1509", "dump", "type 1008 12", "click 1", "dump",
                                    "answer OK"},
                                   " --snapshot " + Quote(pictures.string())));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("page \"Layout\"\nid=65535 kind=text text=\"Orientation:\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("id=3000 kind=droplist text=\"Portrait\" enabled=1 visible=1 selection=0 "
                         "entries=\"Portrait\"|\"Landscape\"|\"Rotated Landscape\""),
              std::string::npos)
        << r.out;
    // The click opened the job name and password dialog; the second dump shows it, not the page.
    size_t dialog = r.out.find("dialog \"JOB PIN\"");
    EXPECT_NE(dialog, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("id=1006 kind=edit", dialog), std::string::npos);
    // A password of two digits is refused with a message box, which the next dump reads and the answer closes.
    EXPECT_NE(r.out.find("messagebox text=\"Password is invalid\" caption=\"Error\" icon=error\nbeeps=0\n", dialog),
              std::string::npos)
        << r.out;
    for (const char *name : {"page-1-layout.png", "page-2-job-options.png", "dialog-1-job-pin.png"}) {
        std::string png = ReadFile(pictures / name);
        EXPECT_EQ(png.substr(0, 4), "\x89PNG") << name;
    }
}

// A page that refuses to be left keeps the session going: the next actions answer the message, replace the field's
// text (typing replaces what a field holds, as a user who selects it first) and leave the page again.
TEST_F(PrefsTest, ARefusedPageCanBeFixedAndLeftAgain)
{
    RunResult r = Zepdrv(PrefsArgs({"page Job Options", "type 1514 0", "page Layout", "answer ok", "type 1514 2",
                                    "page Layout", "page Job Options", "dump", "apply"}));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("the page \"Job Options\" did not let the sheet leave it\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("id=1514 kind=edit text=\"2\""), std::string::npos) << r.out;
    EXPECT_EQ(Kept().publicPart.dmCopies, 2) << "two copies were kept";
}

// Opening a page changes no setting: every page shown over kept settings that are not the defaults, then applied,
// leaves the kept DEVMODE as it was (the first tab stop of Job Options is an unchecked quality radio button).
TEST_F(PrefsTest, OpeningEveryPageChangesNothing)
{
    RunResult set = Zepdrv(PrefsArgs({"select 3000 1", "page Job Options", "click 1547", "click 1518", "click 1537",
                                      "click 1806", "select 1805 2", "click 1", "apply"}));
    ASSERT_EQ(set.code, 0) << set.err;
    auto bytes = [](const StoredDevmode &dm) {
        const BYTE *pub = reinterpret_cast<const BYTE *>(&dm.publicPart);
        const BYTE *core = reinterpret_cast<const BYTE *>(&dm.corePart);
        std::vector<BYTE> all(pub, pub + sizeof dm.publicPart);
        all.insert(all.end(), core, core + sizeof dm.corePart);
        all.insert(all.end(), dm.oemPart.begin(), dm.oemPart.end());
        return all;
    };
    const std::vector<BYTE> before = bytes(Kept());
    RunResult visit = Zepdrv(PrefsArgs({"page 2", "page 3", "page 4", "page 1", "page 2", "apply"}));
    ASSERT_EQ(visit.code, 0) << visit.err;
    EXPECT_TRUE(bytes(Kept()) == before) << "a page changed the kept settings by being opened";
    RunResult shown = Zepdrv(PrefsArgs({"page Job Options", "dump"}));
    EXPECT_NE(shown.out.find("id=1547 kind=radio text=\"Normal (600x600)\" enabled=1 visible=1 checked=1"),
              std::string::npos)
        << shown.out;
}

TEST_F(PrefsTest, AnActionThatCannotBeDoneStopsAndKeepsNothing)
{
    struct Case {
        const char *name;
        std::vector<std::string> actions;
        const char *message;
    };
    const Case cases[] = {
        {"no such control", {"select 3000 1", "click 4242", "apply"}, "there is no control 4242 on page \"Layout\""},
        {"disabled control", {"select 3000 1", "page Job Options", "click 1512", "apply"}, "is disabled"},
        {"no such page", {"select 3000 1", "page Nowhere", "apply"}, "there is no page \"Nowhere\""},
        {"no message box", {"select 3000 1", "answer OK", "apply"}, "no message box is open"},
        {"no such entry", {"select 3000 7", "apply"}, "has no entry 7"},
        {"a dialog left open", {"select 3000 1", "page Job Options", "click 1509", "apply"},
         "the dialog \"JOB PIN\" is still open"},
        {"unknown action", {"press 1"}, "unknown action \"press 1\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunResult r = Zepdrv(PrefsArgs(c.actions));
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
        RunResult shown = Zepdrv(PrefsArgs({"dump"}));
        EXPECT_NE(shown.out.find("id=3000 kind=droplist text=\"Portrait\""), std::string::npos)
            << "nothing was kept: " << shown.out;
    }
}

TEST_F(PrefsTest, ApplyKeepsTheLayoutAndThePluginSectionForThePrinter)
{
    // Landscape and four pages per sheet on the core's page; the plug-in copies both into its section at Apply.
    RunResult r = Zepdrv(PrefsArgs({"select 3000 1", "select 3005 2", "apply"}));
    ASSERT_EQ(r.code, 0) << r.err;
    StoredDevmode kept = Kept();
    EXPECT_EQ(kept.publicPart.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(kept.corePart.dwNupCount, 4u);
    ASSERT_GE(kept.oemPart.size(), 3884u);
    EXPECT_EQ(kept.oemPart[2560], 2) << "bNupSel";
    EXPECT_EQ(kept.oemPart[2569], 1) << "bOrientationSel";

    // A second session starts from what was kept.
    RunResult shown = Zepdrv(PrefsArgs({"dump"}));
    EXPECT_NE(shown.out.find("id=3000 kind=droplist text=\"Landscape\""), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("id=3005 kind=droplist text=\"4\""), std::string::npos) << shown.out;
}

TEST_F(PrefsTest, ASecureJobChosenInPreferencesReachesThePrintedPjl)
{
    RunResult r = Zepdrv(PrefsArgs({"page Job Options", "click 1509", "type 1006 Report7", "type 1008 1234", "click 1",
                                "apply"}));
    ASSERT_EQ(r.code, 0) << r.err;
    fs::path job = TempDir("prefs-print") / "job.prn";
    std::string sample = (SourceDir() / "driver" / "samples" / "sample.ps").string();
    RunResult printed = Zepdrv("print " + Quote(sample) + " -O " + Quote(job.string()));
    ASSERT_EQ(printed.code, 0) << printed.err;
    std::string pjl = ReadFile(job).substr(0, 400);
    EXPECT_NE(pjl.find("@PJL ZEPSECURE PASSWORD=1234"), std::string::npos) << pjl;
    EXPECT_NE(pjl.find("@PJL JOB NAME=\"Report7\""), std::string::npos) << pjl;

    // The command line still overrides what the printer keeps.
    RunResult normal = Zepdrv("print -o ZPJob_Type=Normal " + Quote(sample) + " -O " + Quote(job.string()));
    ASSERT_EQ(normal.code, 0) << normal.err;
    EXPECT_EQ(ReadFile(job).find("ZEPSECURE"), std::string::npos);
}

// The Advanced dialog's "Job Spool" box shows and sets what the printed job does with its spool line.
TEST_F(PrefsTest, TheJobSpoolBoxFollowsTheSpoolLineOfTheJob)
{
    fs::path job = TempDir("prefs-spool") / "job.prn";
    std::string sample = (SourceDir() / "driver" / "samples" / "sample.ps").string();
    const struct {
        const char *name;
        const char *shownAtOpening;
        bool spoolLine; // after the box was clicked once and the settings applied
    } steps[] = {
        {"spooling on by default shows ticked; unticking drops the line", "checked=1", false},
        {"unticked when off; ticking brings the line back", "checked=0", true},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        RunResult r = Zepdrv(PrefsArgs({"page Job Options", "click 1537", "dump", "click 1806", "click 1", "apply"}));
        ASSERT_EQ(r.code, 0) << r.err;
        const size_t box = r.out.find("id=1806 ");
        ASSERT_NE(box, std::string::npos) << r.out;
        const std::string line = r.out.substr(box, r.out.find('\n', box) - box);
        EXPECT_NE(line.find(step.shownAtOpening), std::string::npos) << line;
        RunResult printed = Zepdrv("print " + Quote(sample) + " -O " + Quote(job.string()));
        ASSERT_EQ(printed.code, 0) << printed.err;
        EXPECT_EQ(ReadFile(job).find("@PJL ZEPSPOOL MODE=ALL\r\n") != std::string::npos, step.spoolLine);
    }
}

// The compression chosen in Advanced reaches the job's compression comment.
TEST_F(PrefsTest, TheCompressionChosenInAdvancedReachesTheJob)
{
    RunResult r = Zepdrv(PrefsArgs({"page Job Options", "click 1537", "select 1805 3", "click 1", "apply"}));
    ASSERT_EQ(r.code, 0) << r.err;
    fs::path job = TempDir("prefs-compression") / "job.prn";
    std::string sample = (SourceDir() / "driver" / "samples" / "sample.ps").string();
    RunResult printed = Zepdrv("print " + Quote(sample) + " -O " + Quote(job.string()));
    ASSERT_EQ(printed.code, 0) << printed.err;
    EXPECT_NE(ReadFile(job).find("@PJL COMMENT COMPRESSION:FLATE LEVEL:9\r\n"), std::string::npos);
}

} // namespace

namespace {
std::vector<std::string> g_shellCalls;
LONG_PTR CALLBACK RecordShell(const ZEP_UI_CALL *call, void *)
{
    if (std::strcmp(call->function, "ShellExecuteW") == 0) {
        std::string file;
        for (LPCWSTR p = call->text1; p && *p; ++p) file += static_cast<char>(*p);
        g_shellCalls.push_back(file + (call->text2 ? " verb" : " default") + " show=" + std::to_string(call->value1));
    }
    return 0;
}
} // namespace

// The support page comes from the support library and its button opens the model's support site.
TEST_F(PrefsTest, TheSupportPageOpensTheSupportSite)
{
    PrefsSession session;
    std::string error;
    ASSERT_TRUE(session.Open(kDemoPrinter, error)) << error;
    int support = -1;
    for (size_t i = 0; i < session.Pages().size(); ++i)
        if (session.Pages()[i].title == zep::ui::WString(u"Support")) support = static_cast<int>(i);
    ASSERT_GE(support, 0) << "no support page";
    ASSERT_TRUE(zep::ui::ShowSheetPage(session.Sheet(), support));
    HWND page = zep::ui::SheetPage(session.Sheet());
    ASSERT_NE(page, nullptr);

    g_shellCalls.clear();
    ZepUiSetCallHook(RecordShell, nullptr);
    EXPECT_TRUE(zep::ui::Click(GetDlgItem(page, 1002)));
    ZepUiSetCallHook(nullptr, nullptr);
    EXPECT_EQ(g_shellCalls, (std::vector<std::string>{"https://support.zep.example/cl500/ default show=" +
                                                      std::to_string(SW_SHOWNORMAL)}));
}
