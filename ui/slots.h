// Feature slots: the core's option items the plug-in presents on its own pages, found by PPD keyword, hidden
// in the core's list and written back in a fixed order.
#pragma once
#include "common/oemui.h"
#include "ui/context.h"

namespace zep {

// The mirror item carries no keyword; the core names it with this string id.
inline constexpr ULONG_PTR kMirrorItemNameId = 423;
// The core's group item of installable options, collapsed on the printer sheet.
inline constexpr ULONG_PTR kInstallableGroupNameId = 64798;
// The core's item id of its PostScript output option, and the selection for Encapsulated PostScript.
inline constexpr ULONG_PTR kPsOutputItemId = 25;
inline constexpr DWORD kPsOutputEps = 2;
// "ZPOverlay" selection that creates an overlay, which needs Encapsulated PostScript output.
inline constexpr DWORD kOverlayCreate = 2;
inline constexpr int kJapaneseLocale = 0x0411;

// What the document scan takes from outside the core's items.
struct DocumentScanInputs {
    LPCWSTR helpFile = nullptr;  // full path the help extension refers to
    int compression = 0;         // the model section's "Compression"
    LPCWSTR pluginIni = nullptr; // where "Plg_Feature"/"HidePaperName" is read
};

// The core's item at index of param; null when the index is kSlotAbsent or beyond the core's items.
OPTITEM *CoreItemAt(POEMCUIPPARAM param, DWORD index);
// A slot's core item, null when the slot is absent: the one test of whether a slot is present.
inline OPTITEM *SlotItem(const OemUiContext &ctx, DWORD slot) { return CoreItemAt(ctx.pCuiParam, ctx.dwSlotIndex[slot]); }
inline bool SlotPresent(const OemUiContext &ctx, DWORD slot) { return SlotItem(ctx, slot) != nullptr; }
inline DWORD &SlotSel(OemUiContext &ctx, DWORD slot) { return ctx.dwSlotSel[slot]; }

// The core's keyword of an item (null when it has none).
LPCSTR ItemKeyword(const OPTITEM &item);

// Fills the feature slots of ctx from ctx.pCuiParam's core items; the slot indices must be kSlotAbsent. False
// when the help extension could not be allocated from the core's heap (nothing is scanned then).
bool ScanDocumentItems(OemUiContext &ctx, const DocumentScanInputs &in);
// The same with the module's help path and the printer's model section.
bool ScanDocumentItems(OemUiContext &ctx);

// Help and UserItemID for the installable-option items of the printer sheet.
bool ScanPrinterItems(OEMCUIPPARAM &param, LPCWSTR helpFile);

// Sets one core item's selection through the core; a refused change puts the previous selection back into
// *value. Absent (kSlotAbsent) or out-of-range items give 0 and change nothing.
LONG SetItemSelection(POEMCUIPPARAM param, DWORD index, DWORD *value, DWORD mode);

// Writes every present slot back to the core in the order the core's constraints need.
void ApplyFeatureSlots(OemUiContext &ctx);

// The document sheet's item callback, for the sheet's context (null when it has none).
LONG HandleDocumentItemCallback(OemUiContext *ctx, PCPSUICBPARAM cbParam, POEMCUIPPARAM cuiParam);

} // namespace zep
