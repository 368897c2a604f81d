// The DDI hooks: each finds the device object and forwards to the core driver's entry point of its row.
#include "render/pdev.h"

#include <new>

#include "render/jobstart.h"

namespace zep {
namespace {

// The core driver's device handle is its device object.
PDEVOBJ DevobjOf(SURFOBJ *pso) { return pso ? reinterpret_cast<PDEVOBJ>(pso->dhpdev) : nullptr; }
PDEVOBJ DevobjOf(DHPDEV dhpdev) { return reinterpret_cast<PDEVOBJ>(dhpdev); }

template <typename Fn>
Fn CoreEntry(PDEVOBJ devobj, ULONG index)
{
    if (!devobj || !devobj->pdevOEM) return nullptr;
    PFN entry = static_cast<OemPdev *>(devobj->pdevOEM)->coreEntries[HookRow(index)];
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(entry));
}

// A hook that passes every argument to the core's entry point of the same row; without one it answers 0.
template <ULONG Index, typename Fn>
struct Forward;
template <ULONG Index, typename R, typename First, typename... Rest>
struct Forward<Index, R(APIENTRY *)(First, Rest...)> {
    static_assert(HookRow(Index) < kHookCount);
    static R APIENTRY Call(First first, Rest... rest)
    {
        auto fn = CoreEntry<R(APIENTRY *)(First, Rest...)>(DevobjOf(first), Index);
        return fn ? fn(first, rest...) : R();
    }
};

BOOL APIENTRY HookRealizeBrush(BRUSHOBJ *, SURFOBJ *, SURFOBJ *, SURFOBJ *, XLATEOBJ *, ULONG) { return TRUE; }

BOOL APIENTRY HookSendPage(SURFOBJ *pso)
{
    PDEVOBJ devobj = DevobjOf(pso);
    PDRVPROCS procs = devobj ? devobj->pDrvProcs : nullptr;
    if (procs && pso->iType == STYPE_BITMAP) {
        if (procs->DrvXMoveTo) procs->DrvXMoveTo(devobj, 0, 0);
        if (procs->DrvYMoveTo) procs->DrvYMoveTo(devobj, 0, 0);
        if (procs->DrvWriteSpoolBuf)
            procs->DrvWriteSpoolBuf(devobj, const_cast<char *>(kSendPageText), sizeof(kSendPageText));
    }
    return Forward<INDEX_DrvSendPage, PFN_DrvSendPage>::Call(pso);
}

BOOL APIENTRY HookStartDoc(SURFOBJ *pso, PWSTR docName, DWORD jobId)
{
    StartDocCapture(DevobjOf(pso), jobId);
    return Forward<INDEX_DrvStartDoc, PFN_DrvStartDoc>::Call(pso, docName, jobId);
}

template <typename Fn>
PFN AsPfn(Fn fn)
{
    return reinterpret_cast<PFN>(reinterpret_cast<void *>(fn));
}

} // namespace

#define ZEP_HOOK(name, hook) {INDEX_##name, AsPfn(&hook)}
#define ZEP_FORWARD(name) {INDEX_##name, AsPfn(&Forward<INDEX_##name, PFN_##name>::Call)}

DRVFN DdiHookTable[kHookCount] = {
    ZEP_HOOK(DrvRealizeBrush, HookRealizeBrush),
    ZEP_FORWARD(DrvCopyBits),
    ZEP_FORWARD(DrvBitBlt),
    ZEP_FORWARD(DrvStretchBlt),
    ZEP_FORWARD(DrvStretchBltROP),
    ZEP_FORWARD(DrvPlgBlt),
    ZEP_FORWARD(DrvTransparentBlt),
    ZEP_FORWARD(DrvAlphaBlend),
    ZEP_FORWARD(DrvGradientFill),
    ZEP_FORWARD(DrvTextOut),
    ZEP_FORWARD(DrvStrokePath),
    ZEP_FORWARD(DrvFillPath),
    ZEP_FORWARD(DrvStrokeAndFillPath),
    ZEP_FORWARD(DrvStartPage),
    ZEP_HOOK(DrvSendPage, HookSendPage),
    ZEP_FORWARD(DrvEscape),
    ZEP_HOOK(DrvStartDoc, HookStartDoc),
    ZEP_FORWARD(DrvEndDoc),
    ZEP_FORWARD(DrvQueryFont),
    ZEP_FORWARD(DrvQueryFontTree),
    ZEP_FORWARD(DrvQueryFontData),
    ZEP_FORWARD(DrvQueryAdvanceWidths),
    ZEP_FORWARD(DrvFontManagement),
    ZEP_FORWARD(DrvGetGlyphMode),
    ZEP_FORWARD(DrvIcmCreateColorTransform),
    ZEP_FORWARD(DrvIcmDeleteColorTransform),
    ZEP_FORWARD(DrvQueryDeviceSupport),
};

#undef ZEP_HOOK
#undef ZEP_FORWARD

OemPdev *CreateOemPdev(const DRVENABLEDATA *core)
{
    auto pdev = new (std::nothrow) OemPdev{};
    if (!pdev) return nullptr;
    for (size_t row = 0; row < kHookCount; ++row) {
        for (ULONG i = 0; core && core->pdrvfn && i < core->c; ++i) {
            if (core->pdrvfn[i].iFunc == kHookedIndexes[row]) {
                pdev->coreEntries[row] = core->pdrvfn[i].pfn;
                break;
            }
        }
    }
    return pdev;
}

void DestroyOemPdev(OemPdev *pdev) { delete pdev; }

} // namespace zep
