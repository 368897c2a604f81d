// OemPdev, the per-device record, and DdiHookTable, the 27 DDI functions the plug-in hooks.
#pragma once
#include "common/oemintf.h"
#include "render/gate.h"

namespace zep {

inline constexpr size_t kHookCount = 27;

// DDI indexes of the hooked functions, in table order.
inline constexpr ULONG kHookedIndexes[kHookCount] = {
    INDEX_DrvRealizeBrush,   INDEX_DrvCopyBits,       INDEX_DrvBitBlt,
    INDEX_DrvStretchBlt,     INDEX_DrvStretchBltROP,  INDEX_DrvPlgBlt,
    INDEX_DrvTransparentBlt, INDEX_DrvAlphaBlend,     INDEX_DrvGradientFill,
    INDEX_DrvTextOut,        INDEX_DrvStrokePath,     INDEX_DrvFillPath,
    INDEX_DrvStrokeAndFillPath, INDEX_DrvStartPage,   INDEX_DrvSendPage,
    INDEX_DrvEscape,         INDEX_DrvStartDoc,       INDEX_DrvEndDoc,
    INDEX_DrvQueryFont,      INDEX_DrvQueryFontTree,  INDEX_DrvQueryFontData,
    INDEX_DrvQueryAdvanceWidths, INDEX_DrvFontManagement, INDEX_DrvGetGlyphMode,
    INDEX_DrvIcmCreateColorTransform, INDEX_DrvIcmDeleteColorTransform, INDEX_DrvQueryDeviceSupport,
};

constexpr size_t HookRow(ULONG index)
{
    for (size_t i = 0; i < kHookCount; ++i)
        if (kHookedIndexes[i] == index) return i;
    return kHookCount;
}

// Per device context: the core driver's own entry point for each row of DdiHookTable (null where the core has
// none), and the output gate's state for the job this device renders.
struct OemPdev {
    PFN coreEntries[kHookCount];
    GateState gate;
};

// The gate's state of a device object; null before EnablePDEV.
inline GateState *GateOf(PDEVOBJ devobj)
{
    return devobj && devobj->pdevOEM ? &static_cast<OemPdev *>(devobj->pdevOEM)->gate : nullptr;
}

// The table EnableDriver hands the core driver.
extern DRVFN DdiHookTable[kHookCount];

// A record with the core's entry points for every hooked index, found in its DRVENABLEDATA; null when it
// cannot be allocated.
OemPdev *CreateOemPdev(const DRVENABLEDATA *core);
void DestroyOemPdev(OemPdev *pdev);

// The text the DrvSendPage hook writes on bitmap surfaces, NUL included.
inline constexpr char kSendPageText[] = "The DDICMDCB DLL adds this line of text.";
static_assert(sizeof(kSendPageText) == 41);

} // namespace zep
