// Feature slots: the document and printer scans, the one-item setter and the ordered write-back.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/devmode.h"
#include "fake_core.h"
#include "tests/common/test_support.h"
#include "ui/slots.h"
#include "ui/state.h"

using namespace zep;
using zeptest::WString;
using zeptest::FakeCore;
using zeptest::ItemSpec;

namespace {

struct Sheet {
    FakeCore core;
    OemUiContext ctx = {};
    explicit Sheet(const std::vector<ItemSpec> &specs) : core(specs)
    {
        ctx.pCuiParam = &core.param;
        std::fill(std::begin(ctx.dwSlotIndex), std::end(ctx.dwSlotIndex), kSlotAbsent);
    }
    bool Scan(LPCWSTR ini = nullptr, int compression = 0)
    {
        DocumentScanInputs in;
        in.helpFile = TEXT("C:\\help.hlp");
        in.compression = compression;
        in.pluginIni = ini;
        return ScanDocumentItems(ctx, in);
    }
};

// Every keyword slot and the standard items, each with a distinct selection.
std::vector<ItemSpec> FullSet()
{
    std::vector<ItemSpec> specs = {
        {"", DMPUB_ORIENTATION, 1}, {"", DMPUB_SCALE, 3},  {"", DMPUB_COPIES_COLLATE, 4}, {"", DMPUB_PRINTQUALITY, 2},
        {"", DMPUB_COLOR, 1},       {"", DMPUB_DUPLEX, 0}, {"", DMPUB_NUP, 2},             {"", 0, 1, 25},
        {"", 0, 1, 0, kMirrorItemNameId},
    };
    const char *keywords[] = {"ZPControl", "ZPSeparationorder", "ZPOverPrint", "ZPProcessMode", "ZPBlackSubstitution",
                              "ZPAlwaysPrnHT", "ZPColorRenderStyle", "ZPColorRenderDict", "ZPTargetColor", "ZPTone",
                              "ZPOutputMode", "ZPOutputModeBlack", "ZPJob_Type", "ZPCollate", "ZPHDDSpool",
                              "ZPDrumClean", "ZPHairLine", "ZPFITTOMPT", "ZPFITTOTRAY1", "ZPFITTOTRAY2",
                              "ZPFITTOTRAY3", "ZPFITTOTRAY4", "ZPFITTOTRAY5", "OutputBin", "ZPStaple", "ZPPunch",
                              "ZPBindPosition", "ZPBlackSubGra", "ZPColorICMS", "ZPCMYKProfile", "ZPRGBProfile",
                              "ZPCMYKInputProfile", "ZPCMYKLinkProfile", "ZPOutProfile", "ZPSimProfile",
                              "ZPPureBlack", "ZPPreserveBlack", "ZPColorMatch", "ZPResolution", "ZPImageSmoothing",
                              "ZPScreenObo", "ZPTrapping", "ZPOverlay", "ZPHalftoneMode", "ZPMediaType"};
    LONG sel = 1;
    for (const char *k : keywords) specs.push_back({k, 0, sel++ % 3});
    return specs;
}

TEST(DocumentScan, FillsSlotsHidesAndAttachesHelp)
{
    Sheet sheet(FullSet());
    ASSERT_TRUE(sheet.Scan());
    FakeCore &core = sheet.core;
    const OemUiContext &ctx = sheet.ctx;

    struct Case {
        const char *keyword;
        DWORD slot;
        DWORD help;
    } cases[] = {
        {"ZPOutputMode", slotOutputMode, 802},   {"ZPOutputModeBlack", slotOutputModeBlack, 851},
        {"ZPCollate", slotCollate, 807},         {"OutputBin", slotOutputBin, 849},
        {"ZPStaple", slotStaple, 822},           {"ZPHDDSpool", slotHDDSpool, 1204},
        {"ZPDrumClean", slotDrumClean, 1203},    {"ZPPunch", slotPunch, 823},
        {"ZPBindPosition", slotBindPosition, 824}, {"ZPJob_Type", slotJob_Type, 0},
        {"ZPOverlay", slotOverlay, 0},           {"ZPHalftoneMode", slotHalftoneMode, 0},
        {"ZPTrapping", slotTrapping, 0},         {"ZPFITTOTRAY5", slotFITTOTRAY5, 0},
        {"ZPColorMatch", slotColorMatch, 0},     {"ZPBlackSubGra", slotBlackSubGra, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keyword);
        const OPTITEM &item = core.Item(c.keyword);
        EXPECT_EQ(ctx.dwSlotIndex[c.slot], core.IndexOf(c.keyword));
        EXPECT_EQ(ctx.dwSlotSel[c.slot], static_cast<DWORD>(item.Sel));
        EXPECT_TRUE(item.Flags & OPTIF_HIDE);
        EXPECT_EQ(item.HelpIndex, c.help);
        EXPECT_EQ((item.Flags & OPTIF_HAS_POIEXT) != 0, c.help != 0);
        if (c.help) {
            ASSERT_NE(item.pOIExt, nullptr);
            EXPECT_EQ(item.pOIExt->cbSize, sizeof(OIEXT));
            EXPECT_EQ(lstrcmpW(item.pOIExt->pHelpFile, TEXT("C:\\help.hlp")), 0);
        }
    }
    EXPECT_EQ(core.Item("ZPStaple").UserItemID, 200);

    // Help only: no slot, still shown.
    const OPTITEM &media = core.Item("ZPMediaType");
    EXPECT_EQ(media.HelpIndex, 417u);
    EXPECT_FALSE(media.Flags & OPTIF_HIDE);

    // Standard items by DMPubID: index only for orientation, colour, duplex and pages per sheet.
    EXPECT_EQ(ctx.dwSlotIndex[slotOrientation], 0u);
    EXPECT_EQ(ctx.dwSlotSel[slotOrientation], 0u);
    EXPECT_FALSE(core.items[0].Flags & OPTIF_HIDE);
    EXPECT_EQ(ctx.dwSlotIndex[slotScale], 1u);
    EXPECT_EQ(ctx.dwSlotSel[slotScale], 3u);
    EXPECT_TRUE(core.items[1].Flags & OPTIF_HIDE);
    EXPECT_EQ(ctx.dwSlotIndex[slotCopies], 2u);
    EXPECT_EQ(ctx.dwSlotIndex[slotPrintQuality], 3u);
    EXPECT_EQ(ctx.dwSlotIndex[slotColor], 4u);
    EXPECT_EQ(ctx.dwSlotIndex[slotDuplex], 5u);
    EXPECT_EQ(ctx.dwSlotIndex[slotNup], 6u);
    // The PostScript output item by its item id, and the mirror item by its name.
    EXPECT_EQ(ctx.dwSlotIndex[slotPsOutput], 7u);
    EXPECT_EQ(core.items[7].UserItemID, 7);
    EXPECT_FALSE(core.items[7].Flags & OPTIF_HIDE);
    EXPECT_EQ(ctx.dwSlotIndex[slotMirror], 8u);
    EXPECT_TRUE(core.items[8].Flags & OPTIF_HIDE);
    // No compression choice without bit 0 of "Compression".
    EXPECT_EQ(ctx.dwSlotIndex[slotCompression], kSlotAbsent);
}

TEST(DocumentScan, HairLineMatchesTwiceAndEndsInOneSlot)
{
    Sheet sheet({{"ZPTone", 0, 1}, {"ZPHairLine", 0, 2}});
    ASSERT_TRUE(sheet.Scan(nullptr, 0x0301));
    EXPECT_EQ(sheet.ctx.dwSlotIndex[slotHairLine], 1u);
    EXPECT_EQ(sheet.ctx.dwSlotSel[slotHairLine], 2u);
    EXPECT_TRUE(sheet.core.items[1].Flags & OPTIF_HIDE);
    // Nothing else took the item.
    int holders = 0;
    for (DWORD index : sheet.ctx.dwSlotIndex) holders += index == 1;
    EXPECT_EQ(holders, 1);
    EXPECT_EQ(sheet.ctx.dwSlotIndex[slotCompression], 0u);
}

TEST(DocumentScan, HidePaperNameOnlyOnJapaneseThreads)
{
    const WString ini = TEXT("C:\\drv\\3\\hide.ini");
    zeptest::WriteFile(ini, "[Plg_Feature]\r\nHidePaperName=B5 (JIS),Postcard\r\n");
    WCHAR names[][16] = {{'A', '4'}, {'B', '5', ' ', '(', 'J', 'I', 'S', ')'}, {'P', 'o', 's', 't', 'c', 'a', 'r', 'd'},
                         {'P', 'o', 's', 't'}};
    struct Case {
        const char *name;
        LCID locale;
        BYTE expected[4];
    } cases[] = {
        {"japanese", 0x0411, {0, OPTPF_HIDE, OPTPF_HIDE, 0}},
        {"english", 0x0409, {0, 0, 0, 0}},
    };
    const LCID saved = GetThreadLocale();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OPTPARAM options[4] = {};
        for (int i = 0; i < 4; ++i) options[i].pData = names[i];
        OPTTYPE type = {};
        type.Count = 4;
        type.pOptParam = options;
        Sheet sheet({{"", DMPUB_FORMNAME, 0}});
        sheet.core.items[0].pOptType = &type;
        ASSERT_TRUE(SetThreadLocale(c.locale));
        ASSERT_TRUE(sheet.Scan(reinterpret_cast<LPCWSTR>(ini.c_str())));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(options[i].Flags, c.expected[i]) << i;
        EXPECT_FALSE(sheet.core.items[0].Flags & OPTIF_HIDE);
    }
    SetThreadLocale(saved);
}

TEST(PrinterScan, InstallableOptionsGetHelpAndItemIds)
{
    FakeCore core({{"ZPHDD"}, {"ZPOptionTray"}, {"ZPJobLimit"}, {"ZPOther"}, {"", 0, 0, 0, kInstallableGroupNameId}});
    ASSERT_TRUE(ScanPrinterItems(core.param, TEXT("C:\\help.hlp")));
    EXPECT_EQ(core.items[0].HelpIndex, 2205u);
    EXPECT_EQ(core.items[0].UserItemID, 3);
    EXPECT_EQ(core.items[1].UserItemID, 6);
    EXPECT_EQ(core.items[2].HelpIndex, 2212u);
    EXPECT_EQ(core.items[2].UserItemID, 11);
    EXPECT_TRUE(core.items[2].Flags & OPTIF_HAS_POIEXT);
    EXPECT_EQ(core.items[3].UserItemID, 0);
    EXPECT_EQ(core.items[3].Flags, 0u);
    EXPECT_EQ(core.items[4].Flags, static_cast<DWORD>(OPTIF_COLLAPSE));
}

TEST(SetItemSelection, RefusedChangeRestoresTheSlotAndTheHiddenFlag)
{
    Sheet sheet({{"ZPCollate", 0, 1}, {"ZPStaple", 0, 0}});
    ASSERT_TRUE(sheet.Scan());
    FakeCore &core = sheet.core;
    core.refused = {"ZPStaple"};

    DWORD staple = 3;
    EXPECT_EQ(SetItemSelection(&core.param, sheet.ctx.dwSlotIndex[slotStaple], &staple, OEMCUIP_DOCPROP), 0);
    EXPECT_EQ(staple, 0u);
    DWORD collate = 0;
    EXPECT_NE(SetItemSelection(&core.param, sheet.ctx.dwSlotIndex[slotCollate], &collate, OEMCUIP_DOCPROP), 0);
    EXPECT_EQ(collate, 0u);
    EXPECT_EQ(core.items[0].Sel, 0);

    ASSERT_EQ(core.calls.size(), 2u);
    EXPECT_EQ(core.calls[0].sel, 3);
    EXPECT_EQ(core.calls[0].previous, 0u);
    EXPECT_FALSE(core.calls[0].hiddenDuringCall);
    EXPECT_EQ(core.calls[1].previous, 1u);
    EXPECT_EQ(core.calls[1].mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
    for (const OPTITEM &item : core.items) {
        EXPECT_TRUE(item.Flags & OPTIF_HIDE);
        EXPECT_TRUE(item.Flags & OPTIF_CHANGED);
    }

    // Absent and out-of-range items reach no core.
    DWORD value = 5;
    EXPECT_EQ(SetItemSelection(&core.param, kSlotAbsent, &value, OEMCUIP_DOCPROP), 0);
    EXPECT_EQ(SetItemSelection(&core.param, 7, &value, OEMCUIP_DOCPROP), 0);
    EXPECT_EQ(value, 5u);
    EXPECT_EQ(core.calls.size(), 2u);
}

TEST(ApplyFeatureSlots, WritesBackInTheCoresOrder)
{
    Sheet sheet(FullSet());
    ASSERT_TRUE(sheet.Scan());
    sheet.ctx.dwSlotSel[slotOutputMode] = 1;
    sheet.ctx.dwSlotSel[slotStaple] = 0;
    sheet.ctx.dwSlotSel[slotPunch] = 0;
    sheet.ctx.dwSlotSel[slotOverlay] = 0;
    ApplyFeatureSlots(sheet.ctx);
    const std::vector<std::string> expected = {
        "ZPControl", "ZPSeparationorder", "ZPOverPrint", "ZPProcessMode", "ZPBlackSubstitution", "ZPAlwaysPrnHT",
        "ZPColorRenderStyle", "ZPColorRenderDict", "ZPTargetColor", "ZPTone", "" /* print quality */,
        "ZPOutputMode", "ZPOutputModeBlack", "" /* scale */, "ZPJob_Type", "" /* copies */, "ZPCollate",
        "" /* mirror */, "ZPHDDSpool", "ZPDrumClean", "ZPHairLine", "ZPFITTOMPT", "ZPFITTOTRAY1", "ZPFITTOTRAY2",
        "ZPFITTOTRAY3", "ZPFITTOTRAY4", "ZPFITTOTRAY5", "ZPStaple", "ZPPunch", "OutputBin", "ZPBindPosition",
        "ZPBlackSubGra", "ZPColorICMS", "ZPCMYKProfile", "ZPRGBProfile", "ZPCMYKInputProfile", "ZPCMYKLinkProfile",
        "ZPOutProfile", "ZPSimProfile", "ZPPureBlack", "ZPPreserveBlack", "ZPColorMatch", "ZPResolution",
        "ZPImageSmoothing", "ZPScreenObo", "ZPTrapping", "ZPOverlay"};
    EXPECT_EQ(sheet.core.CalledKeywords(), expected);
    const std::vector<DWORD> unnamed = {3, 1, 2, 8}; // print quality, scale, copies, mirror
    std::vector<DWORD> seen;
    for (const auto &call : sheet.core.calls)
        if (call.keyword.empty()) seen.push_back(call.index);
    EXPECT_EQ(seen, unnamed);
    for (const auto &call : sheet.core.calls) EXPECT_EQ(call.mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
}

std::vector<std::string> Only(const std::vector<std::string> &calls, std::initializer_list<const char *> keep)
{
    std::vector<std::string> out;
    for (const std::string &c : calls)
        if (std::any_of(keep.begin(), keep.end(), [&](const char *k) { return c == k; })) out.push_back(c);
    return out;
}

TEST(ApplyFeatureSlots, OrderedPairsFollowTheSelections)
{
    struct Case {
        const char *name;
        std::vector<ItemSpec> items;
        DWORD outputMode, staple, punch;
        std::vector<std::string> modes, finishing;
    } cases[] = {
        {"colour mode first", {{"ZPOutputMode"}, {"ZPOutputModeBlack"}}, 1, 0, 0,
         {"ZPOutputMode", "ZPOutputModeBlack"}, {}},
        {"black mode first", {{"ZPOutputMode"}, {"ZPOutputModeBlack"}}, 0, 0, 0,
         {"ZPOutputModeBlack", "ZPOutputMode"}, {}},
        {"no output mode item", {{"ZPOutputModeBlack"}}, 1, 0, 0, {"ZPOutputModeBlack"}, {}},
        {"staple 0 punch 2: bin first", {{"OutputBin"}, {"ZPStaple"}, {"ZPPunch"}}, 0, 0, 2, {},
         {"OutputBin", "ZPStaple", "ZPPunch"}},
        {"staple 1: bin first", {{"OutputBin"}, {"ZPStaple"}, {"ZPPunch"}}, 0, 1, 0, {},
         {"OutputBin", "ZPStaple", "ZPPunch"}},
        {"no finishing: bin last", {{"OutputBin"}, {"ZPStaple"}, {"ZPPunch"}}, 0, 0, 0, {},
         {"ZPStaple", "ZPPunch", "OutputBin"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet(c.items);
        ASSERT_TRUE(sheet.Scan());
        sheet.ctx.dwSlotSel[slotOutputMode] = c.outputMode;
        sheet.ctx.dwSlotSel[slotStaple] = c.staple;
        sheet.ctx.dwSlotSel[slotPunch] = c.punch;
        ApplyFeatureSlots(sheet.ctx);
        const auto calls = sheet.core.CalledKeywords();
        EXPECT_EQ(Only(calls, {"ZPOutputMode", "ZPOutputModeBlack"}), c.modes);
        EXPECT_EQ(Only(calls, {"OutputBin", "ZPStaple", "ZPPunch"}), c.finishing);
    }
}

TEST(ApplyFeatureSlots, OverlayCreationSwitchesToEncapsulatedOutput)
{
    for (DWORD overlay : {1u, 2u}) {
        SCOPED_TRACE(overlay);
        Sheet sheet({{"ZPOverlay", 0, 0}, {"", 0, 0, kPsOutputItemId}});
        ASSERT_TRUE(sheet.Scan());
        sheet.ctx.dwSlotSel[slotOverlay] = overlay;
        ApplyFeatureSlots(sheet.ctx);
        const auto &calls = sheet.core.calls;
        ASSERT_EQ(calls.size(), overlay == 2 ? 2u : 1u);
        EXPECT_EQ(calls[0].keyword, "ZPOverlay");
        if (overlay == 2) {
            EXPECT_EQ(calls[1].index, 1u);
            EXPECT_EQ(calls[1].sel, static_cast<LONG>(kPsOutputEps));
        }
        EXPECT_EQ(sheet.core.items[1].Sel, overlay == 2 ? 2 : 0);
    }
}

TEST(ApplyFeatureSlots, RefusedChangeLeavesThePreviousSelectionInTheSlot)
{
    Sheet sheet({{"ZPJob_Type", 0, 1}, {"ZPCollate", 0, 0}});
    ASSERT_TRUE(sheet.Scan());
    sheet.core.refused = {"ZPJob_Type"};
    sheet.ctx.dwSlotSel[slotJob_Type] = 2;
    sheet.ctx.dwSlotSel[slotCollate] = 1;
    ApplyFeatureSlots(sheet.ctx);
    EXPECT_EQ(sheet.ctx.dwSlotSel[slotJob_Type], 1u);
    EXPECT_EQ(sheet.ctx.dwSlotSel[slotCollate], 1u);
    EXPECT_EQ(sheet.core.items[1].Sel, 1);
}

TEST(DocumentItemCallback, ApplyAndKillActiveWriteTheRecord)
{
    Sheet sheet({{"", DMPUB_ORIENTATION, 2}, {"", DMPUB_NUP, 0x105}});
    ASSERT_TRUE(sheet.Scan());
    auto dm = reinterpret_cast<OemDevmode *>(sheet.core.oemDm);
    OPTITEM added = {};
    added.Sel = 42;
    sheet.core.param.pOEMOptItems = &added;
    sheet.core.param.cOEMOptItems = 1;

    CPSUICBPARAM cb = {};
    cb.Reason = CPSUICB_REASON_APPLYNOW;
    EXPECT_EQ(HandleDocumentItemCallback(&sheet.ctx, &cb, &sheet.core.param), CPSUICB_ACTION_NONE);
    EXPECT_EQ(dm->bOrientationSel, 2);
    EXPECT_EQ(dm->bNupSel, 5);
    EXPECT_EQ(dm->dwOptItemValue, 42);

    added.Sel = 7;
    sheet.core.param.cOEMOptItems = 0;
    cb.Reason = CPSUICB_REASON_KILLACTIVE;
    HandleDocumentItemCallback(&sheet.ctx, &cb, &sheet.core.param);
    EXPECT_EQ(dm->dwOptItemValue, 42);

    g_ui.sheetFlags = 0;
    cb.Reason = CPSUICB_REASON_SETACTIVE;
    HandleDocumentItemCallback(&sheet.ctx, &cb, &sheet.core.param);
    EXPECT_EQ(g_ui.sheetFlags, kSheetFlagPageActive);
}

} // namespace
