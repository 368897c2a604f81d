// The core driver's side of a rendering plug-in, driven with an in-process fake plug-in.
#include "host/core/session.h"
#include "host/core/transcribe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace zep::host;

namespace {

constexpr DWORD kFakeSectionSize = 32;
constexpr DWORD kFakeSignature = 0x454b4146;  // "FAKE"

class FakePlugin;
FakePlugin *g_fake = nullptr;  // the DDI hooks are plain functions; they find the fake here

// A rendering plug-in that marks every injection point in the stream and records what the core asks of it.
class FakePlugin final : public IPrintOemPS2 {
public:
    FakePlugin() { g_fake = this; }
    ~FakePlugin() { g_fake = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override
    {
        if (IsEqualIID(riid, kIidUnknown) || IsEqualIID(riid, IID_IPrintOemPS) || IsEqualIID(riid, IID_IPrintOemPS2)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, POEMDMPARAM p) override
    {
        events.push_back("DevMode" + std::to_string(mode));
        if (mode == OEMDM_SIZE) {
            p->cbBufSize = kFakeSectionSize;
        } else if (mode == OEMDM_DEFAULT) {
            OEM_DMEXTRAHEADER h{kFakeSectionSize, kFakeSignature, 1};
            std::memcpy(p->pOEMDMOut, &h, sizeof h);
        } else if (mode == OEMDM_MERGE) {
            mergeInput.assign(static_cast<BYTE *>(p->pOEMDMIn), static_cast<BYTE *>(p->pOEMDMIn) + kFakeSectionSize);
            std::memcpy(p->pOEMDMOut, p->pOEMDMIn, kFakeSectionSize);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableDriver(DWORD, DWORD, PDRVENABLEDATA ded) override
    {
        events.push_back("EnableDriver");
        hooks = {{INDEX_DrvStartDoc, FunctionCast<PFN>(&HookStartDoc)},
                 {INDEX_DrvStartPage, FunctionCast<PFN>(&HookStartPage)},
                 {INDEX_DrvSendPage, FunctionCast<PFN>(&HookSendPage)},
                 {INDEX_DrvEndDoc, FunctionCast<PFN>(&HookEndDoc)}};
        ded->iDriverVersion = PRINTER_OEMINTF_VERSION;
        ded->c = static_cast<ULONG>(hooks.size());
        ded->pdrvfn = hooks.data();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DisableDriver() override
    {
        events.push_back("DisableDriver");
        if (core) core->Release();
        core = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ, PWSTR, ULONG, HSURF *, ULONG, GDIINFO *, ULONG, DEVINFO *,
                                         DRVENABLEDATA *ded, PDEVOEM *pdev) override
    {
        events.push_back("EnablePDEV");
        for (ULONG i = 0; i < ded->c; ++i) coreEntries[ded->pdrvfn[i].iFunc] = ded->pdrvfn[i].pfn;
        *pdev = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ) override
    {
        events.push_back("DisablePDEV");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ, PDEVOBJ) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *unknown) override
    {
        events.push_back("Publish");
        return unknown->QueryInterface(IID_IPrintOemDriverPS, reinterpret_cast<void **>(&core));
    }
    // Alternates between the device object's callback and the core interface, so both routes are exercised.
    HRESULT STDMETHODCALLTYPE Command(PDEVOBJ devobj, DWORD index, PVOID, DWORD, DWORD *result) override
    {
        events.push_back("Command" + std::to_string(index));
        std::string mark = "<" + std::to_string(index) + ">";
        if (index == failIndex) {
            *result = ERROR_WRITE_FAULT;
            return S_FALSE;
        }
        DWORD written = 0;
        if (++commands % 2) written = devobj->pDrvProcs->DrvWriteSpoolBuf(devobj, mark.data(), DWORD(mark.size()));
        else core->DrvWriteSpoolBuf(devobj, mark.data(), DWORD(mark.size()), &written);
        *result = ERROR_SUCCESS;
        return written == mark.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ, PVOID buffer, DWORD size, PDWORD written) override
    {
        blocks.emplace_back(static_cast<char *>(buffer), size);
        *written = size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPDEVAdjustment(PDEVOBJ, DWORD, PVOID, DWORD, BOOL *) override { return E_NOTIMPL; }

    static PDEVOBJ DevObjOf(SURFOBJ *pso) { return reinterpret_cast<PDEVOBJ>(pso->dhpdev); }
    template <typename F, typename... A>
    static BOOL Forward(ULONG index, const char *name, A... args)
    {
        g_fake->events.push_back(name);
        if (g_fake->swallow == index) return TRUE;
        return FunctionCast<F>(g_fake->coreEntries.at(index))(args...);
    }
    static BOOL APIENTRY HookStartDoc(SURFOBJ *pso, PWSTR name, DWORD jobId)
    {
        g_fake->docName = name;
        g_fake->jobId = jobId;
        g_fake->hookSawPdev = DevObjOf(pso)->pdevOEM == g_fake;
        return Forward<PFN_DrvStartDoc>(INDEX_DrvStartDoc, "StartDoc", pso, name, jobId);
    }
    static BOOL APIENTRY HookStartPage(SURFOBJ *pso) { return Forward<PFN_DrvStartPage>(INDEX_DrvStartPage, "StartPage", pso); }
    static BOOL APIENTRY HookSendPage(SURFOBJ *pso) { return Forward<PFN_DrvSendPage>(INDEX_DrvSendPage, "SendPage", pso); }
    static BOOL APIENTRY HookEndDoc(SURFOBJ *pso, FLONG fl) { return Forward<PFN_DrvEndDoc>(INDEX_DrvEndDoc, "EndDoc", pso, fl); }

    std::vector<std::string> events;
    std::vector<std::string> blocks;
    std::vector<BYTE> mergeInput;
    std::vector<DRVFN> hooks;
    std::map<ULONG, PFN> coreEntries;
    IPrintOemDriverPS *core = nullptr;
    WString docName;
    DWORD jobId = 0;
    bool hookSawPdev = false;
    DWORD failIndex = 0;
    ULONG swallow = 0;
    int commands = 0;
};

const char kPpdText[] = "*PPD-Adobe: \"4.3\"\n*ColorDevice: True\n"
                        "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n*PageSize Letter/Letter: \"\"\n"
                        "*PageSize A4/A4: \"\"\n*CloseUI: *PageSize\n"
                        "*OpenUI *Duplex: PickOne\n*DefaultDuplex: None\n*Duplex None/Off: \"\"\n"
                        "*Duplex DuplexNoTumble/Long Edge: \"\"\n*CloseUI: *Duplex\n"
                        "*OpenUI *ZPJob_Type: PickOne\n*DefaultZPJob_Type: Normal\n*ZPJob_Type Normal: \"\"\n"
                        "*CloseUI: *ZPJob_Type\n";

const char kDoc[] = "%!PS\n%%BeginProlog\n%%BeginSetup\n%%EndSetup\n%%Page: 1 1\n%%EndPageSetup\nx\n%%EOF\n";
const char kExpected[] = "<1>%!PS\n%%BeginProlog\n<14>%%BeginSetup\n<16><17>%%EndSetup\n%%Page: 1 1\n<102>"
                         "%%EndPageSetup\nx\n%%EOF\n<20>";

struct SessionFixture {
    explicit SessionFixture(bool eps = false, bool ps2 = true)
        : session(&plugin, ps2, nullptr, nullptr, Settings(eps))
    {
        std::string error;
        EXPECT_TRUE(ppd.Parse(kPpdText, {}, error)) << error;
    }
    static DriverSettings Settings(bool eps)
    {
        DriverSettings s;
        s.options = {{"ZPJob_Type", "Normal"}, {"PageSize", "A4"}};
        s.psOutputOption = eps ? 2 : 0;
        return s;
    }
    bool Open(const std::vector<BYTE> &stored = {}, std::vector<std::pair<std::string, std::string>> fields = {},
              OemFieldSetter setter = {})
    {
        return session.EnableDriver() &&
               session.BuildDevmode(ppd, {{"Duplex", "DuplexNoTumble"}}, TEXT("Zep Demo"), stored, fields, setter) &&
               session.EnablePdev(TEXT("Zep Demo"));
    }
    FakePlugin plugin;
    Ppd ppd;
    RenderSession session;
};

std::string Joined(const std::vector<std::string> &blocks)
{
    std::string all;
    for (const auto &b : blocks) all += b;
    return all;
}

} // namespace

TEST(RenderSession, PluginBytesLandAtTheInjectionPointsInBlocksOfTheSetSize)
{
    for (DWORD blockSize : {1u, 5u, 7u, 4096u}) {
        SCOPED_TRACE(blockSize);
        SessionFixture f;
        f.session.SetBlockSize(blockSize);
        ASSERT_TRUE(f.Open()) << f.session.Error();
        ASSERT_TRUE(Transcribe(kDoc, f.session, TEXT("Report"), 42)) << f.session.Error();
        EXPECT_EQ(Joined(f.plugin.blocks), kExpected);
        for (size_t i = 0; i + 1 < f.plugin.blocks.size(); ++i) EXPECT_EQ(f.plugin.blocks[i].size(), blockSize);
        EXPECT_LE(f.plugin.blocks.back().size(), blockSize);
        EXPECT_EQ(f.session.PagesSent(), 1u);
    }
}

TEST(RenderSession, CallsComeInTheCoreDriversOrder)
{
    SessionFixture f;
    ASSERT_TRUE(f.Open()) << f.session.Error();
    ASSERT_TRUE(Transcribe(kDoc, f.session, TEXT("Report"), 42)) << f.session.Error();
    std::vector<std::string> expected = {"EnableDriver", "Publish",   "DevMode1",   "DevMode2",   "DevMode4",
                                         "EnablePDEV",   "StartDoc",  "Command1",   "Command14",  "Command16",
                                         "Command17",    "StartPage", "Command102", "SendPage",   "Command20",
                                         "EndDoc"};
    EXPECT_EQ(f.plugin.events, expected);
    EXPECT_EQ(f.plugin.docName, WString(TEXT("Report")));
    EXPECT_EQ(f.plugin.jobId, 42u);
    EXPECT_TRUE(f.plugin.hookSawPdev);
}

TEST(RenderSession, DriverSettingAnswersKeywordsAndTheOutputOption)
{
    SessionFixture f(/*eps=*/true);
    ASSERT_TRUE(f.Open()) << f.session.Error();
    PDEVOBJ devobj = f.session.DevObj();
    struct Case {
        const char *name;
        PCSTR feature;
        DWORD size;
        BOOL ok;
        DWORD error;  // last error after the call (the marker when it succeeds)
        DWORD needed;
        std::string bytes;  // the buffer's first bytes afterwards
    } cases[] = {
        {"keyword", "ZPJob_Type", 64, TRUE, 0xdeadbeef, 7, std::string("Normal\0", 7)},
        {"exact fit", "ZPJob_Type", 7, TRUE, 0xdeadbeef, 7, std::string("Normal\0", 7)},
        {"short buffer left untouched", "ZPJob_Type", 6, FALSE, ERROR_INSUFFICIENT_BUFFER, 7, "\xcc\xcc\xcc\xcc"},
        {"unknown keyword", "ZPNothing", 64, FALSE, ERROR_INVALID_PARAMETER, 0, "\xcc\xcc\xcc\xcc"},
        {"output option", reinterpret_cast<PCSTR>(ULONG_PTR(OEMGDS_PS_OUTPUT_OPTION)), 64, TRUE, 0xdeadbeef, 4,
         std::string("\2\0\0\0", 4)},
        {"output option, short", reinterpret_cast<PCSTR>(ULONG_PTR(OEMGDS_PS_OUTPUT_OPTION)), 3, FALSE,
         ERROR_INSUFFICIENT_BUFFER, 4, "\xcc\xcc\xcc\xcc"},
        {"other index", reinterpret_cast<PCSTR>(ULONG_PTR(5)), 64, FALSE, ERROR_NOT_SUPPORTED, 0, "\xcc\xcc\xcc\xcc"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[64];
        std::memset(buffer, 0xcc, sizeof buffer);
        DWORD needed = 0, options = 0;
        SetLastError(0xdeadbeef);
        BOOL ok = devobj->pDrvProcs->DrvGetDriverSetting(devobj, c.feature, buffer, c.size, &needed, &options);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(needed, c.needed);
        EXPECT_EQ(std::string(buffer, c.bytes.size()), c.bytes);
    }
    // The interface route answers the same.
    char buffer[64] = {};
    DWORD needed = 0, options = 0;
    EXPECT_EQ(f.plugin.core->DrvGetDriverSetting(devobj, "PageSize", buffer, sizeof buffer, &needed, &options), S_OK);
    EXPECT_STREQ(buffer, "A4");
}

TEST(RenderSession, DevmodeFollowsThePpdTheStoredDefaultsAndTheFieldOverrides)
{
    // Fresh: public fields from the PPD selection, the core's bytes, the plug-in's defaults merged.
    {
        SessionFixture f(/*eps=*/true);
        ASSERT_TRUE(f.Open()) << f.session.Error();
        JobDevmode &dm = f.session.Devmode();
        EXPECT_EQ(dm.Public()->dmPaperSize, DMPAPER_A4);
        EXPECT_EQ(dm.Public()->dmDuplex, DMDUP_VERTICAL);
        EXPECT_EQ(dm.Public()->dmColor, DMCOLOR_COLOR);
        EXPECT_EQ(WString(dm.Public()->dmFormName), WString(TEXT("A4")));
        EXPECT_EQ(dm.Public()->dmDriverExtra, sizeof(CorePrivateDevmode) + kFakeSectionSize);
        EXPECT_EQ(dm.Bytes()[344], kPsOutputEps);
        EXPECT_EQ(dm.Bytes()[224], 0);
        EXPECT_EQ(f.session.DevObj()->pOEMDM, dm.Oem());
        EXPECT_EQ(f.plugin.mergeInput.size(), kFakeSectionSize);
    }
    // Stored defaults: their core bytes and plug-in section are the job's record; the field setter edits it.
    {
        SessionFixture f;
        JobDevmode stored;
        stored.Allocate(kFakeSectionSize);
        stored.Public()->dmSize = sizeof(DEVMODEW);
        stored.Public()->dmDriverExtra = sizeof(CorePrivateDevmode) + kFakeSectionSize;
        stored.Core()->dwSignature = kCoreDevmodeSignature;
        stored.Core()->dwPrivateSize = sizeof(CorePrivateDevmode);
        stored.Core()->bInstallMark = 0x2E;
        stored.Core()->bNupLayout = 6;
        OEM_DMEXTRAHEADER h{kFakeSectionSize, kFakeSignature, 1};
        std::memcpy(stored.Oem(), &h, sizeof h);
        stored.Oem()[20] = 0x55;
        std::vector<BYTE> bytes(stored.Bytes(), stored.Bytes() + stored.Size());
        OemFieldSetter setter = [](BYTE *record, DWORD size, const std::string &field, const std::string &value,
                                   std::string &error) {
            if (field != "byte21" || size < 22) {
                error = "unknown field \"" + field + "\"";
                return false;
            }
            record[21] = static_cast<BYTE>(std::stoi(value));
            return true;
        };
        ASSERT_TRUE(f.Open(bytes, {{"byte21", "9"}}, setter)) << f.session.Error();
        JobDevmode &dm = f.session.Devmode();
        EXPECT_EQ(dm.Bytes()[224], 0x2E);
        EXPECT_EQ(dm.Bytes()[356], 6);
        EXPECT_EQ(dm.Bytes()[344], 0);
        EXPECT_EQ(dm.Public()->dmPaperSize, DMPAPER_A4);
        EXPECT_EQ(dm.Oem()[20], 0x55);
        EXPECT_EQ(dm.Oem()[21], 9);
    }
    // A field the plug-in's side does not know stops the job with its message.
    {
        SessionFixture f;
        OemFieldSetter setter = [](BYTE *, DWORD, const std::string &, const std::string &, std::string &error) {
            error = "unknown field \"nope\"";
            return false;
        };
        EXPECT_FALSE(f.Open({}, {{"nope", "1"}}, setter));
        EXPECT_EQ(f.session.Error(), "unknown field \"nope\"");
    }
}

TEST(RenderSession, FailuresStopTheJobWithAReason)
{
    struct Case {
        const char *name;
        DWORD failIndex;
        ULONG swallow;
        const char *error;
    } cases[] = {
        {"injection point fails", PSINJECT_BEGINSETUP, 0, "the rendering plug-in failed at injection point 16 (error 29)"},
        {"StartDoc not passed on", 0, INDEX_DrvStartDoc, "the rendering plug-in's DrvStartDoc hook did not pass the call on"},
        {"SendPage not passed on", 0, INDEX_DrvSendPage, "the rendering plug-in's DrvSendPage hook did not pass the call on"},
        {"EndDoc not passed on", 0, INDEX_DrvEndDoc, "the rendering plug-in's DrvEndDoc hook did not pass the call on"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SessionFixture f;
        f.plugin.failIndex = c.failIndex;
        f.plugin.swallow = c.swallow;
        ASSERT_TRUE(f.Open()) << f.session.Error();
        EXPECT_FALSE(Transcribe(kDoc, f.session, TEXT("Report"), 1));
        EXPECT_EQ(f.session.Error(), c.error);
    }
}

TEST(RenderSession, OlderPluginsLeaveTheBlocksToTheCore)
{
    SessionFixture f(/*eps=*/false, /*ps2=*/false);
    std::string direct;
    f.session.SetDirectWriter([&](const BYTE *data, DWORD size) {
        direct.append(reinterpret_cast<const char *>(data), size);
        return true;
    });
    f.session.SetBlockSize(8);
    ASSERT_TRUE(f.Open()) << f.session.Error();
    ASSERT_TRUE(Transcribe(kDoc, f.session, TEXT("Report"), 1)) << f.session.Error();
    EXPECT_TRUE(f.plugin.blocks.empty());
    EXPECT_EQ(direct, kExpected);
}

TEST(RenderSession, TeardownDisablesWhatWasEnabled)
{
    Ppd ppd;
    std::string error;
    ASSERT_TRUE(ppd.Parse(kPpdText, {}, error)) << error;
    for (bool pdev : {true, false}) {
        SCOPED_TRACE(pdev ? "device enabled" : "driver only");
        FakePlugin plugin;
        {
            RenderSession session(&plugin, true, nullptr, nullptr, {});
            ASSERT_TRUE(session.EnableDriver());
            ASSERT_TRUE(session.BuildDevmode(ppd, {}, TEXT("Zep Demo"), {}, {}, {}));
            if (pdev) {
                ASSERT_TRUE(session.EnablePdev(TEXT("Zep Demo")));
            }
            plugin.events.clear();
        }
        std::vector<std::string> expected = {"DisableDriver"};
        if (pdev) expected.insert(expected.begin(), "DisablePDEV");
        EXPECT_EQ(plugin.events, expected);
        EXPECT_EQ(plugin.core, nullptr);
    }
}
