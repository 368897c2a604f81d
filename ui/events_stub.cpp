// Printer and document events before their handlers exist: every event succeeds and changes nothing.
#include "ui/events.h"

namespace zep {

BOOL HandlePrinterEvent(PWSTR, INT, DWORD, LPARAM) { return TRUE; }

void HandleDocumentEvent(HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT) {}

LONG APIENTRY PrinterItemCallback(PCPSUICBPARAM, POEMCUIPPARAM) { return CPSUICB_ACTION_NONE; }

} // namespace zep
