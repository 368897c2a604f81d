// The feature-slot scans of both sheets, the one-item setter and the ordered write-back.
#include "ui/slots.h"

#include <cstring>
#include <initializer_list>
#include <span>

#include "common/config.h"
#include "common/devmode.h"
#include "common/keywords.h"
#include "ui/state.h"

namespace zep {
namespace {

inline constexpr DWORD kNoSlot = kSlotAbsent;

// One keyword the scan recognises: the slot it fills (index and selection), whether the core's item is then
// hidden, its help topic (0: none) and the UserItemID it gets (0: left).
struct KeywordRule {
    const char *keyword;
    DWORD slot;
    bool hide;
    DWORD help;
    BYTE userItemId;
};

// Every match applies.
constexpr KeywordRule kEachRules[] = {
    {kw::kOutputMode, slotOutputMode, true, 802, 0},
    {kw::kOutputModeBlack, slotOutputModeBlack, true, 851, 0},
    {kw::kCollate, slotCollate, true, 807, 0},
    {kw::kOutputBin, slotOutputBin, true, 849, 0},
    {kw::kStaple, slotStaple, true, 822, 200},
    {kw::kMediaType, kNoSlot, false, 417, 0},
    {kw::kManualFeed, kNoSlot, false, 603, 0},
    {kw::kTraySwitch, kNoSlot, false, 601, 0},
    {kw::kPageSizeCheck, kNoSlot, false, 602, 0},
    {kw::kMptPageSizeCheck, kNoSlot, false, 605, 0},
    {kw::kEnvRotate, kNoSlot, false, 2201, 0},
    {kw::kHddSpool, slotHDDSpool, true, 1204, 0},
    {kw::kDrumClean, slotDrumClean, true, 1203, 0},
};

// The first match applies.
constexpr KeywordRule kColourRules[] = {
    {kw::kJobType, slotJob_Type, true, 0, 0},
    {kw::kOverlay, slotOverlay, true, 0, 0},
    {kw::kControl, slotControl, true, 0, 0},
    {kw::kSeparationOrder, slotSeparationorder, true, 0, 0},
    {kw::kOverPrint, slotOverPrint, true, 0, 0},
    {kw::kProcessMode, slotProcessMode, true, 0, 0},
    {kw::kBlackSubstitution, slotBlackSubstitution, true, 0, 0},
    {kw::kHalftoneMode, slotHalftoneMode, true, 0, 0},
    {kw::kAlwaysPrnHt, slotAlwaysPrnHT, true, 0, 0},
    {kw::kColorRenderStyle, slotColorRenderStyle, true, 0, 0},
    {kw::kColorRenderDict, slotColorRenderDict, true, 0, 0},
    {kw::kTargetColor, slotTargetColor, true, 0, 0},
    {kw::kTone, slotTone, true, 0, 0},
    {kw::kHairLine, slotHairLine, true, 0, 0},
};

constexpr KeywordRule kPunchRule = {kw::kPunch, slotPunch, true, 823, 0};
constexpr KeywordRule kBindRule = {kw::kBindPosition, slotBindPosition, true, 824, 0};

// The first match applies; tried only when the item was not the bind position.
constexpr KeywordRule kQualityRules[] = {
    {kw::kBlackSubGra, slotBlackSubGra, true, 0, 0},
    {kw::kColorIcms, slotColorICMS, true, 0, 0},
    {kw::kCmykProfile, slotCMYKProfile, true, 0, 0},
    {kw::kRgbProfile, slotRGBProfile, true, 0, 0},
    {kw::kCmykInputProfile, slotCMYKInputProfile, true, 0, 0},
    {kw::kCmykLinkProfile, slotCMYKLinkProfile, true, 0, 0},
    {kw::kOutProfile, slotOutProfile, true, 0, 0},
    {kw::kSimProfile, slotSimProfile, true, 0, 0},
    {kw::kPureBlack, slotPureBlack, true, 0, 0},
    {kw::kPreserveBlack, slotPreserveBlack, true, 0, 0},
    {kw::kColorMatch, slotColorMatch, true, 0, 0},
    {kw::kResolution, slotResolution, true, 0, 0},
    {kw::kImageSmoothing, slotImageSmoothing, true, 0, 0},
    {kw::kTrapping, slotTrapping, true, 0, 0},
    {kw::kScreenObo, slotScreenObo, true, 0, 0},
    {kw::kHairLine, slotHairLine, true, 0, 0},
    {kw::kFitToMpt, slotFITTOMPT, true, 0, 0},
    {kw::kFitToTray1, slotFITTOTRAY1, true, 0, 0},
    {kw::kFitToTray2, slotFITTOTRAY2, true, 0, 0},
    {kw::kFitToTray3, slotFITTOTRAY3, true, 0, 0},
    {kw::kFitToTray4, slotFITTOTRAY4, true, 0, 0},
    {kw::kFitToTray5, slotFITTOTRAY5, true, 0, 0},
};

// Standard items of the core, found by DMPubID.
enum class PubAction { None, Index, IndexSelHide, FormName, Keyword };
struct PubRule {
    DWORD slot;
    PubAction action;
};
constexpr PubRule kPubRules[] = {
    {kNoSlot, PubAction::Keyword},               // 0 none
    {slotOrientation, PubAction::Index},         // 1 orientation
    {slotScale, PubAction::IndexSelHide},        // 2 scale
    {slotCopies, PubAction::IndexSelHide},       // 3 copies and collate
    {kNoSlot, PubAction::None},                  // 4 paper source
    {slotPrintQuality, PubAction::IndexSelHide}, // 5 print quality
    {slotColor, PubAction::Index},               // 6 colour
    {slotDuplex, PubAction::Index},              // 7 duplex
    {kNoSlot, PubAction::None},                  // 8 TrueType option
    {kNoSlot, PubAction::FormName},              // 9 form name
    {kNoSlot, PubAction::None},                  // 10 ICM method
    {kNoSlot, PubAction::None},                  // 11 ICM intent
    {kNoSlot, PubAction::None},                  // 12 media type
    {kNoSlot, PubAction::None},                  // 13 dither type
    {kNoSlot, PubAction::Keyword},               // 14 output bin
    {kNoSlot, PubAction::Keyword},               // 15 quality
    {slotNup, PubAction::Index},                 // 16 pages per sheet
    {kNoSlot, PubAction::None},                  // 17 page order
};

// Installable options of the printer sheet: help topic and the UserItemID option detection looks for.
struct PrinterRule {
    const char *keyword;
    DWORD help;
    BYTE userItemId;
};
constexpr PrinterRule kPrinterRules[] = {
    {kw::kHdd, 2205, 3},     {kw::kOptionDuplex, 2204, 5}, {kw::kOptionTray, 2203, 6}, {kw::kInstalledMemory, 2207, 7},
    {kw::kFinisher, 2206, 8}, {kw::kOptionMpf, 2209, 9},   {kw::kPunchUnit, 2211, 10}, {kw::kJobLimit, 2212, 11},
};

constexpr DWORD kHideNamesMax = 12;
constexpr int kHideNameChars = 63;
constexpr DWORD kHidePaperValueChars = 522;

bool NameIsId(LPCWSTR name, ULONG_PTR id) { return reinterpret_cast<ULONG_PTR>(name) == id; }

const CoreItemData *ItemData(const OPTITEM &item) { return reinterpret_cast<const CoreItemData *>(item.UserData); }

POIEXT NewHelpExtension(HANDLE heap, LPCWSTR helpFile)
{
    auto ext = static_cast<POIEXT>(heap ? HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(OIEXT)) : nullptr);
    if (!ext) return nullptr;
    ext->cbSize = sizeof(OIEXT);
    ext->pHelpFile = const_cast<LPWSTR>(helpFile);
    return ext;
}

void AttachHelp(OPTITEM &item, DWORD help, POIEXT ext)
{
    item.HelpIndex = help;
    item.Flags |= OPTIF_HAS_POIEXT;
    item.pOIExt = ext;
}

class DocumentScan {
public:
    DocumentScan(OemUiContext &ctx, const DocumentScanInputs &in, POIEXT help) : ctx_(ctx), in_(in), help_(help) {}

    void Item(DWORD index, OPTITEM &item)
    {
        const PubRule rule = item.DMPubID < std::size(kPubRules) ? kPubRules[item.DMPubID]
                                                                 : PubRule{kNoSlot, PubAction::Keyword};
        switch (rule.action) {
        case PubAction::None: break;
        case PubAction::Index: ctx_.dwSlotIndex[rule.slot] = index; break;
        case PubAction::IndexSelHide: Take(rule.slot, index, item, true); break;
        case PubAction::FormName: HidePapers(item); break;
        case PubAction::Keyword: Keywords(index, item); break;
        }
    }

private:
    void Take(DWORD slot, DWORD index, OPTITEM &item, bool hide)
    {
        ctx_.dwSlotIndex[slot] = index;
        ctx_.dwSlotSel[slot] = static_cast<DWORD>(item.Sel);
        if (hide) item.Flags |= OPTIF_HIDE;
    }

    void Apply(const KeywordRule &rule, DWORD index, OPTITEM &item)
    {
        if (rule.slot != kNoSlot) Take(rule.slot, index, item, rule.hide);
        if (rule.help) AttachHelp(item, rule.help, help_);
        if (rule.userItemId) item.UserItemID = rule.userItemId;
    }

    bool FirstMatch(std::span<const KeywordRule> rules, LPCSTR keyword, DWORD index, OPTITEM &item)
    {
        for (const KeywordRule &rule : rules) {
            if (std::strcmp(keyword, rule.keyword) == 0) {
                Apply(rule, index, item);
                return true;
            }
        }
        return false;
    }

    void Keywords(DWORD index, OPTITEM &item)
    {
        const CoreItemData *data = ItemData(item);
        if (data && data->itemId == kPsOutputItemId) {
            ctx_.dwSlotIndex[slotPsOutput] = index;
            item.UserItemID = static_cast<BYTE>(index & 0xFF);
        }
        if (NameIsId(item.pName, kMirrorItemNameId)) Take(slotMirror, index, item, true);
        LPCSTR keyword = data ? data->keyword : nullptr;
        if (!keyword) return;
        for (const KeywordRule &rule : kEachRules) {
            if (std::strcmp(keyword, rule.keyword) == 0) Apply(rule, index, item);
        }
        FirstMatch(kColourRules, keyword, index, item);
        FirstMatch({&kPunchRule, 1}, keyword, index, item);
        if (FirstMatch({&kBindRule, 1}, keyword, index, item)) return;
        FirstMatch(kQualityRules, keyword, index, item);
    }

    // Paper names hidden on Japanese systems. At most kHideNamesMax names are taken; a name longer than
    // kHideNameChars is dropped rather than cut, since a cut name could match another paper.
    void HidePapers(OPTITEM &item)
    {
        if (GetThreadLocale() != static_cast<LCID>(kJapaneseLocale) || !item.pOptType) return;
        if (!namesRead_) ReadNames();
        for (WORD i = 0; i < item.pOptType->Count && item.pOptType->pOptParam; ++i) {
            OPTPARAM &option = item.pOptType->pOptParam[i];
            if (!option.pData || IS_INTRESOURCE(option.pData)) continue;
            for (DWORD n = 0; n < nameCount_; ++n) {
                if (lstrcmpW(option.pData, names_[n]) == 0) {
                    option.Flags |= OPTPF_HIDE;
                    break;
                }
            }
        }
    }

    void ReadNames()
    {
        namesRead_ = true;
        if (!in_.pluginIni) return;
        WCHAR value[kHidePaperValueChars] = {};
        GetPrivateProfileStringW(TEXT("Plg_Feature"), TEXT("HidePaperName"), TEXT(""), value, kHidePaperValueChars,
                                 in_.pluginIni);
        LPCWSTR p = value;
        while (*p && nameCount_ < kHideNamesMax) {
            LPCWSTR end = p;
            while (*end && *end != ',') ++end;
            const int length = static_cast<int>(end - p);
            if (length <= kHideNameChars) {
                lstrcpynW(names_[nameCount_], p, length + 1);
                ++nameCount_;
            }
            p = *end ? end + 1 : end;
        }
    }

    OemUiContext &ctx_;
    const DocumentScanInputs &in_;
    POIEXT help_;
    bool namesRead_ = false;
    DWORD nameCount_ = 0;
    WCHAR names_[kHideNamesMax][kHideNameChars + 1] = {};
};

// Slots written back before and after the two ordered pairs.
constexpr DWORD kApplyColour[] = {slotControl,      slotSeparationorder,  slotOverPrint,     slotProcessMode,
                                  slotBlackSubstitution, slotAlwaysPrnHT, slotColorRenderStyle, slotColorRenderDict,
                                  slotTargetColor,  slotTone,             slotPrintQuality};
constexpr DWORD kApplyJob[] = {slotScale,   slotJob_Type,   slotCopies,     slotCollate,    slotMirror,
                               slotHDDSpool, slotDrumClean, slotHairLine,   slotFITTOMPT,   slotFITTOTRAY1,
                               slotFITTOTRAY2, slotFITTOTRAY3, slotFITTOTRAY4, slotFITTOTRAY5};
constexpr DWORD kApplyQuality[] = {slotBindPosition, slotBlackSubGra,     slotColorICMS,     slotCMYKProfile,
                                   slotRGBProfile,   slotCMYKInputProfile, slotCMYKLinkProfile, slotOutProfile,
                                   slotSimProfile,   slotPureBlack,       slotPreserveBlack, slotColorMatch,
                                   slotResolution,   slotImageSmoothing,  slotScreenObo,     slotTrapping,
                                   slotOverlay};

} // namespace

LPCSTR ItemKeyword(const OPTITEM &item)
{
    const CoreItemData *data = ItemData(item);
    return data ? data->keyword : nullptr;
}

bool ScanDocumentItems(OemUiContext &ctx, const DocumentScanInputs &in)
{
    POEMCUIPPARAM param = ctx.pCuiParam;
    if (!param) return false;
    POIEXT help = NewHelpExtension(param->hOEMHeap, in.helpFile);
    if (!help) return false;
    if (in.compression & 1) ctx.dwSlotIndex[slotCompression] = 0;
    DocumentScan scan(ctx, in, help);
    for (DWORD i = 0; i < param->cDrvOptItems && param->pDrvOptItems; ++i) scan.Item(i, param->pDrvOptItems[i]);
    return true;
}

bool ScanDocumentItems(OemUiContext &ctx)
{
    DocumentScanInputs in;
    in.helpFile = g_ui.helpFilePath;
    in.compression = ctx.pCuiParam ? GetModelInt(ctx.pCuiParam->hPrinter, TEXT("Compression")) : 0;
    in.pluginIni = ctx.pwszPluginIni;
    return ScanDocumentItems(ctx, in);
}

bool ScanPrinterItems(OEMCUIPPARAM &param, LPCWSTR helpFile)
{
    POIEXT help = NewHelpExtension(param.hOEMHeap, helpFile);
    if (!help) return false;
    for (DWORD i = 0; i < param.cDrvOptItems && param.pDrvOptItems; ++i) {
        OPTITEM &item = param.pDrvOptItems[i];
        if (NameIsId(item.pName, kInstallableGroupNameId)) item.Flags |= OPTIF_COLLAPSE;
        LPCSTR keyword = ItemKeyword(item);
        if (!keyword) continue;
        for (const PrinterRule &rule : kPrinterRules) {
            if (std::strcmp(keyword, rule.keyword) == 0) {
                AttachHelp(item, rule.help, help);
                item.UserItemID = rule.userItemId;
                break;
            }
        }
    }
    return true;
}

OPTITEM *CoreItemAt(POEMCUIPPARAM param, DWORD index)
{
    if (index == kSlotAbsent || !param || !param->pDrvOptItems || index >= param->cDrvOptItems) return nullptr;
    return &param->pDrvOptItems[index];
}

LONG SetItemSelection(POEMCUIPPARAM param, DWORD index, DWORD *value, DWORD mode)
{
    OPTITEM *target = CoreItemAt(param, index);
    if (!target || !value) return 0;
    POEMUIOBJ ui = param->poemuiobj;
    if (!ui || !ui->pOemUIProcs || !ui->pOemUIProcs->DrvUpdateUISetting) return 0;
    OPTITEM &item = *target;
    const DWORD previous = static_cast<DWORD>(item.Sel);
    const bool hidden = (item.Flags & OPTIF_HIDE) != 0;
    // The core ignores changes to hidden items.
    item.Flags &= ~static_cast<DWORD>(OPTIF_HIDE);
    item.Sel = static_cast<LONG>(*value);
    item.Flags |= OPTIF_CHANGED;
    const LONG result = ui->pOemUIProcs->DrvUpdateUISetting(ui, &item, previous, mode);
    if (hidden) item.Flags |= OPTIF_HIDE;
    if (!result) *value = previous;
    return result;
}

void ApplyFeatureSlots(OemUiContext &ctx)
{
    POEMCUIPPARAM param = ctx.pCuiParam;
    auto set = [&](DWORD slot) { SetItemSelection(param, ctx.dwSlotIndex[slot], &ctx.dwSlotSel[slot], OEMCUIP_DOCPROP); };
    auto setAll = [&](std::initializer_list<DWORD> slots) {
        for (DWORD slot : slots) set(slot);
    };
    auto setTable = [&](std::span<const DWORD> slots) {
        for (DWORD slot : slots) set(slot);
    };

    setTable(kApplyColour);
    // The black-only mode is constrained by the output mode: the side that ends non-zero goes first.
    if (ctx.dwSlotSel[slotOutputMode] != 0) setAll({slotOutputMode, slotOutputModeBlack});
    else setAll({slotOutputModeBlack, slotOutputMode});
    setTable(kApplyJob);
    // Finishing needs a bin that supports it, and a plain bin needs finishing off first.
    if (ctx.dwSlotSel[slotStaple] != 0 || ctx.dwSlotSel[slotPunch] != 0)
        setAll({slotOutputBin, slotStaple, slotPunch});
    else setAll({slotStaple, slotPunch, slotOutputBin});
    setTable(kApplyQuality);
    // Creating an overlay captures the job as Encapsulated PostScript.
    if (SlotPresent(ctx, slotOverlay) && ctx.dwSlotSel[slotOverlay] == kOverlayCreate) {
        DWORD eps = kPsOutputEps;
        SetItemSelection(param, ctx.dwSlotIndex[slotPsOutput], &eps, OEMCUIP_DOCPROP);
    }
}

LONG HandleDocumentItemCallback(OemUiContext *ctx, PCPSUICBPARAM cbParam, POEMCUIPPARAM cuiParam)
{
    if (!cbParam || !cuiParam) return CPSUICB_ACTION_NONE;
    auto dm = static_cast<OemDevmode *>(cuiParam->pOEMDM);
    auto selOf = [&](DWORD slot, BYTE &field) {
        if (!ctx) return;
        if (const OPTITEM *item = CoreItemAt(cuiParam, ctx->dwSlotIndex[slot])) field = static_cast<BYTE>(item->Sel & 0xFF);
    };
    switch (cbParam->Reason) {
    case CPSUICB_REASON_APPLYNOW:
        if (dm) {
            selOf(slotNup, dm->bNupSel);
            selOf(slotOrientation, dm->bOrientationSel);
        }
        [[fallthrough]];
    case CPSUICB_REASON_KILLACTIVE:
        if (dm && cuiParam->cOEMOptItems != 0 && cuiParam->pOEMOptItems) dm->dwOptItemValue = cuiParam->pOEMOptItems[0].Sel;
        break;
    case CPSUICB_REASON_SETACTIVE: g_ui.sheetFlags |= kSheetFlagPageActive; break;
    default: break;
    }
    return CPSUICB_ACTION_NONE;
}

} // namespace zep
