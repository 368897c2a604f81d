// The dialogs the Job Options page opens: job name and password, the show-once warning, Advanced and About.
#pragma once
#include "common/devmode.h"
#include "ui/context.h"

namespace zep {

// The job settings record of the sheet (the page parameter's, else CommonUIProp's); null when neither has one.
OemDevmode *SheetDevmode(const OemUiContext &ctx);
// The sheet's printer handle (page parameter first), null when unknown.
HANDLE SheetPrinter(const OemUiContext &ctx);

// The current option keyword of a PPD feature through the core (DrvGetDriverSetting, ASCII, 64 bytes); false
// and "" when the core has no answer.
bool ReadCoreSetting(const OemUiContext &ctx, LPCSTR feature, CHAR (&out)[64]);
// "ZPHDD" "True": yes; "False": no; any other answer: exactly when slotHDDSpool is present.
bool HardDiskAvailable(const OemUiContext &ctx);

// Job name and password dialog (template 202). 1 on OK with wszJobName, wszJobPassword and dwAskJobName
// stored; 0 on Cancel with nothing stored; -1 when it could not be shown.
INT_PTR ShowJobPinDialog(HWND owner, OemUiContext *ctx);

// Show-once warnings kept in "DisplayAllert"/"AllertFlag<type>" of the plug-in INI file.
inline constexpr DWORD kWarningJobNamePrompt = 1; // template 301
// Shows warning `type` unless its flag is set; when the user clears "&Show this message next time" the flag
// becomes "1". Returns what the dialog ended with, or 1 when it was not shown.
INT_PTR ShowWarningOnce(HWND owner, LPCWSTR pluginIni, DWORD type);

// Advanced dialog (template 204): 1 on OK (job spool, ultra fine lines and compression stored), 0 on Cancel.
INT_PTR ShowAdvancedDialog(HWND owner, OemUiContext *ctx);

// About dialog (template 117): 1 on OK; changes nothing.
INT_PTR ShowAboutDialog(HWND owner, OemUiContext *ctx);

} // namespace zep
