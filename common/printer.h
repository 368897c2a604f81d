// What the plug-ins ask the spooler about a printer.
#pragma once
#include "common/win32.h"

namespace zep {

// A shared or network printer may be driven from a service, where no dialog may wait for a user.
inline constexpr DWORD kSharedOrNetwork = PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK;

// The PRINTER_INFO_2 attributes of the printer; false (and 0) when the spooler cannot tell.
bool GetPrinterAttributes(HANDLE hPrinter, DWORD *attributes);

} // namespace zep
