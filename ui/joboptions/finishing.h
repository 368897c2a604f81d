// The finishing constraints of the Job Options page: staple, punch and bind position kept consistent with the
// paper, the layout and the punch unit, as plain functions over what the core driver reports.
#pragma once
#include "common/devmode.h"
#include "ui/context.h"

namespace zep {

inline constexpr DWORD kDefaultBindPosition = 2;

// What the finishing constraints read from the core driver and the DEVMODE.
struct FinishingInputs {
    int punchUnit = 0;           // 1-4 for "Type1".."Type4", else 0
    const char *pageSize = "";   // "PageSize" option keyword
    bool duplexNone = false;     // "Duplex" is "None"
    DWORD paperSize = 0;         // public dmPaperSize
    bool portrait = true;        // public dmOrientation is portrait
    BYTE layout = 0;             // the core's pages-per-sheet layout code (1 and 3 turn the page, 6 booklet)
    DWORD orientationSel = 0;    // selection of the core's orientation item
};

// Paper class 0-7 and punch availability, as the constraints compute them.
int PaperClass(const FinishingInputs &in);
int PunchAvailability(const FinishingInputs &in, DWORD bindPosition);
// Keeps staple, punch and bind position consistent with paper, layout and punch unit; resets them when the
// paper size or the layout changed since the last initialisation (dm keeps what was seen).
void ApplyFinishingConstraints(OemUiContext &ctx, OemDevmode &dm, const FinishingInputs &in);
// The inputs read through the core driver and the sheet's DEVMODE.
FinishingInputs ReadFinishingInputs(const OemUiContext &ctx, char (&pageSize)[64]);

} // namespace zep
