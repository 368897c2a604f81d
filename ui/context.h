// OemUiContext, the per-sheet record every page and dialog of the UI plug-in shares, and the device record.
#pragma once
#include "common/oemui.h"

#include <cstddef>

namespace zep {

inline constexpr DWORD kSlotCount = 80;
inline constexpr DWORD kSlotAbsent = 0xFFFF;

// Positions in the two slot arrays: named after the feature keyword without its prefix or after the core item.
enum SlotPosition : DWORD {
    slotFITTOMPT = 4,
    slotFITTOTRAY1 = 5,
    slotFITTOTRAY2 = 6,
    slotFITTOTRAY3 = 7,
    slotFITTOTRAY4 = 8,
    slotFITTOTRAY5 = 9,
    slotColor = 10,
    slotControl = 11,
    slotSeparationorder = 12,
    slotOverPrint = 13,
    slotProcessMode = 14,
    slotBlackSubstitution = 16,
    slotAlwaysPrnHT = 17,
    slotColorRenderStyle = 18,
    slotColorRenderDict = 19,
    slotTargetColor = 21,
    slotTone = 22,
    slotPrintQuality = 23,
    slotHalftoneMode = 24,
    slotOutputMode = 25,
    slotOrientation = 26,
    slotJob_Type = 28,
    slotCopies = 29,
    slotCollate = 30,
    slotOutputBin = 31,
    slotStaple = 32,
    slotScale = 33,
    slotDrumClean = 34,
    slotHDDSpool = 35,
    slotMirror = 36,
    slotOverlay = 38,
    slotNup = 40,
    slotPunch = 41,
    slotBindPosition = 42,
    slotDuplex = 43,
    slotPsOutput = 45, // the core's item with item id 25, its PostScript output option
    slotCompression = 55,
    slotColorICMS = 56,
    slotCMYKProfile = 57,
    slotRGBProfile = 58,
    slotCMYKInputProfile = 59,
    slotCMYKLinkProfile = 60,
    slotOutProfile = 61,
    slotSimProfile = 62,
    slotPureBlack = 63,
    slotPreserveBlack = 64,
    slotColorMatch = 65,
    slotResolution = 67,
    slotImageSmoothing = 68,
    slotBlackSubGra = 69,
    slotScreenObo = 72,
    slotHairLine = 73,
    slotStandardUi = 74, // selection only: the standard-UI flag when the record was made
    slotTrapping = 76,
    slotOutputModeBlack = 77,
};

// Lives as long as one sheet, in the core's plug-in heap; zero-filled when made. The page data members belong
// to the pages and dialogs.
struct OemUiContext {
    HANDLE hComPropSheet;
    DWORD dwPageData1[2];
    HPROPSHEETPAGE hJobOptionsPage;
    HPROPSHEETPAGE hColorPage;
    DWORD dwPageData2[3];
    POEMUIPSPARAM pSheetParam;
    POEMCUIPPARAM pCuiParam;
    PFNCOMPROPSHEET pfnComPropSheet;
    DWORD dwSlotIndex[kSlotCount];
    DWORD dwSlotSel[kSlotCount];
    DWORD dwPageData3[122];
    LPWSTR pwszPluginIni;
    HPROPSHEETPAGE hSupportPage;
    DWORD dwPageData4;
};

// The printer sheet's record.
struct OemDeviceRecord {
    HANDLE hComPropSheet;
    LPARAM lParamInit;
    PFNCOMPROPSHEET pfnComPropSheet;
    POEMCUIPPARAM pCuiParam;
    DWORD dwUnused[15];
};

namespace context_layout {
inline constexpr bool k32 = sizeof(void *) == 4;
static_assert(offsetof(OemUiContext, hJobOptionsPage) == (k32 ? 12 : 16));
static_assert(offsetof(OemUiContext, pSheetParam) == (k32 ? 32 : 48));
static_assert(offsetof(OemUiContext, dwSlotIndex) == (k32 ? 44 : 72));
static_assert(offsetof(OemUiContext, dwSlotSel) == (k32 ? 364 : 392));
static_assert(offsetof(OemUiContext, pwszPluginIni) == (k32 ? 1172 : 1200));
static_assert(sizeof(OemUiContext) == (k32 ? 1184 : 1224));
static_assert(sizeof(OemDeviceRecord) == (k32 ? 76 : 96));
} // namespace context_layout

} // namespace zep
