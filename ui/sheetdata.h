// What the pages and dialogs read from the sheet: the records the core handed over and the core's settings.
#pragma once
#include "common/devmode.h"
#include "ui/context.h"

namespace zep {

// The job settings record of the sheet (the page parameter's, else CommonUIProp's); null when neither has one.
OemDevmode *SheetDevmode(const OemUiContext &ctx);
// The public DEVMODE of the sheet (page parameter first); null when unknown.
PDEVMODEW SheetPublicDevmode(const OemUiContext &ctx);
// The sheet's printer handle (page parameter first), null when unknown.
HANDLE SheetPrinter(const OemUiContext &ctx);
// The flags of the page parameter, else of CommonUIProp's parameter.
DWORD SheetFlags(const OemUiContext &ctx);
// The core asked the plug-in whether to hide its standard user interface when the record was made.
bool StandardUi(const OemUiContext &ctx);

// The current option keyword of a PPD feature through the core (DrvGetDriverSetting, ASCII, 64 bytes); false
// and "" when the core has no answer.
bool ReadCoreSetting(const OemUiContext &ctx, LPCSTR feature, CHAR (&out)[64]);
// The feature's current option is exactly option.
bool CoreSettingIs(const OemUiContext &ctx, LPCSTR feature, LPCSTR option);
// "ZPHDD" "True": yes; "False": no; any other answer: exactly when slotHDDSpool is present.
bool HardDiskAvailable(const OemUiContext &ctx);

} // namespace zep
