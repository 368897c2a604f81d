// Printer and document events and the printer sheet's item callback.
#pragma once
#include "common/oemui.h"

namespace zep {

// The printer event handler; false when it failed.
BOOL HandlePrinterEvent(PWSTR printerName, INT event, DWORD flags, LPARAM lParam);
// The document event handler; *piResult as the event needs.
void HandleDocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pvIn, ULONG cbOut, PVOID pvOut,
                         PINT piResult);
// OEMCUIPCallback of the printer sheet: the installable-options item.
LONG APIENTRY PrinterItemCallback(PCPSUICBPARAM cbParam, POEMCUIPPARAM cuiParam);

} // namespace zep
