// The dialogs the Job Options page opens: job name and password, the show-once warning, Advanced and About.
#pragma once
#include "common/devmode.h"
#include "ui/context.h"

namespace zep {

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
