// The DDI hook table: its order, the saved core entry points, forwarding and the two hooks with behaviour.
#include <gtest/gtest.h>

#include <vector>

#include "fake_core.h"
#include "render/pdev.h"
#include "render/state.h"

using namespace zep;

namespace {

std::vector<std::string> g_calls;
SURFOBJ *g_lastSurface;

BOOL APIENTRY CoreCopyBits(SURFOBJ *dst, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *r, POINTL *)
{
    g_calls.push_back("CopyBits");
    g_lastSurface = dst;
    return r ? 7 : 0;
}
BOOL APIENTRY CoreSendPage(SURFOBJ *) { g_calls.push_back("SendPage"); return TRUE; }
BOOL APIENTRY CoreStartDoc(SURFOBJ *, PWSTR doc, DWORD job)
{
    g_calls.push_back("StartDoc " + std::to_string(job) + (doc ? " doc" : ""));
    return TRUE;
}
BOOL APIENTRY CoreRealizeBrush(BRUSHOBJ *, SURFOBJ *, SURFOBJ *, SURFOBJ *, XLATEOBJ *, ULONG)
{
    g_calls.push_back("RealizeBrush");
    return FALSE;
}
ULONG APIENTRY CoreGetGlyphMode(DHPDEV, FONTOBJ *) { g_calls.push_back("GetGlyphMode"); return 3; }

template <typename Fn>
PFN Pfn(Fn fn)
{
    return reinterpret_cast<PFN>(reinterpret_cast<void *>(fn));
}
template <typename Fn>
Fn Hook(ULONG index)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(DdiHookTable[HookRow(index)].pfn));
}

struct HookedDevice {
    zeptest::FakeDevice device;
    OemPdev *pdev = nullptr;
    SURFOBJ surface = {};
    HookedDevice()
    {
        DRVFN core[] = {
            {INDEX_DrvCopyBits, Pfn(&CoreCopyBits)},       {INDEX_DrvSendPage, Pfn(&CoreSendPage)},
            {INDEX_DrvStartDoc, Pfn(&CoreStartDoc)},       {INDEX_DrvRealizeBrush, Pfn(&CoreRealizeBrush)},
            {INDEX_DrvGetGlyphMode, Pfn(&CoreGetGlyphMode)}, {99, Pfn(&CoreSendPage)},
        };
        DRVENABLEDATA ded = {PRINTER_OEMINTF_VERSION, 6, core};
        pdev = CreateOemPdev(&ded);
        device.devobj.pdevOEM = pdev;
        surface.dhpdev = reinterpret_cast<DHPDEV>(&device.devobj);
        surface.iType = STYPE_DEVICE;
        g_calls.clear();
    }
    ~HookedDevice() { DestroyOemPdev(pdev); }
};

TEST(DdiHooks, TableOrderAndIndexes)
{
    const ULONG expected[27] = {12, 19, 18, 20, 69, 70, 74, 71, 68, 23, 14, 15, 16, 33,
                                32, 24, 35, 34, 26, 27, 28, 53, 47, 37, 64, 65, 76};
    for (size_t i = 0; i < 27; ++i) {
        EXPECT_EQ(DdiHookTable[i].iFunc, expected[i]) << "row " << i;
        EXPECT_NE(DdiHookTable[i].pfn, nullptr);
        for (size_t j = 0; j < i; ++j) EXPECT_NE(DdiHookTable[i].pfn, DdiHookTable[j].pfn);
    }
}

TEST(DdiHooks, SavedEntriesFollowTheTable)
{
    HookedDevice h;
    ASSERT_NE(h.pdev, nullptr);
    EXPECT_EQ(h.pdev->coreEntries[HookRow(INDEX_DrvCopyBits)], Pfn(&CoreCopyBits));
    EXPECT_EQ(h.pdev->coreEntries[HookRow(INDEX_DrvStartDoc)], Pfn(&CoreStartDoc));
    EXPECT_EQ(h.pdev->coreEntries[HookRow(INDEX_DrvBitBlt)], nullptr);
    OemPdev *bare = CreateOemPdev(nullptr);
    ASSERT_NE(bare, nullptr);
    for (PFN entry : bare->coreEntries) EXPECT_EQ(entry, nullptr);
    DestroyOemPdev(bare);
}

TEST(DdiHooks, ForwardingPassesArgumentsAndResult)
{
    HookedDevice h;
    RECTL rect = {};
    EXPECT_EQ(Hook<PFN_DrvCopyBits>(INDEX_DrvCopyBits)(&h.surface, nullptr, nullptr, nullptr, &rect, nullptr), 7);
    EXPECT_EQ(g_lastSurface, &h.surface);
    EXPECT_EQ(Hook<PFN_DrvGetGlyphMode>(INDEX_DrvGetGlyphMode)(reinterpret_cast<DHPDEV>(&h.device.devobj), nullptr),
              3u);
    // No core entry, or no device: the hook answers 0 instead of calling through null.
    EXPECT_EQ(Hook<PFN_DrvBitBlt>(INDEX_DrvBitBlt)(&h.surface, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                    nullptr, nullptr, nullptr, 0),
              FALSE);
    EXPECT_EQ(Hook<PFN_DrvStartPage>(INDEX_DrvStartPage)(nullptr), FALSE);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"CopyBits", "GetGlyphMode"}));
}

TEST(DdiHooks, RealizeBrushAnswersWithoutTheCore)
{
    HookedDevice h;
    EXPECT_EQ(Hook<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush)(nullptr, &h.surface, nullptr, nullptr, nullptr, 0), TRUE);
    EXPECT_TRUE(g_calls.empty());
}

TEST(DdiHooks, SendPageMarksBitmapSurfacesOnly)
{
    HookedDevice h;
    auto sendPage = Hook<PFN_DrvSendPage>(INDEX_DrvSendPage);
    EXPECT_TRUE(sendPage(&h.surface));
    EXPECT_EQ(h.device.procsStream, "");
    h.surface.iType = STYPE_BITMAP;
    EXPECT_TRUE(sendPage(&h.surface));
    EXPECT_EQ(h.device.moves, 2);
    EXPECT_EQ(h.device.procsStream, std::string(kSendPageText, 41));
    EXPECT_EQ(g_calls.size(), 2u);
}

TEST(DdiHooks, StartDocRecordsTheJobAndForwards)
{
    HookedDevice h;
    g_render.captureArmed = false;
    WCHAR doc[] = TEXT("Doc");
    EXPECT_TRUE(Hook<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(&h.surface, doc, 41));
    EXPECT_EQ(g_render.currentJobId, 41u);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"StartDoc 41 doc"}));
}

} // namespace
