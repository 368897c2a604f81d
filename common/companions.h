// Companion libraries named in the printer's model section, and the calls both plug-ins make to them.
#pragma once
#include "common/handle.h"

namespace zep {

// The library a model-section key names, loaded from the driver's "3" folder; an empty owner when the key is
// empty, the name is not a plain file name or the library does not load.
Library LoadCompanion(HANDLE hPrinter, LPCWSTR key);

// The IC card library ("CARD_DLL"): QueryCardDriver with the ANSI driver name and capability-file path.
// Non-zero when a card reader driver is installed; 0 when the library or its export is missing.
DWORD QueryCardDriver(HANDLE hPrinter);

// The IC card library's GetCardData, loaded the same way: non-zero when key (kKeyBytes) holds the card's data,
// *size its length; 0 when the library or its export is missing or the card cannot be read.
DWORD GetCardData(HANDLE hPrinter, BYTE *key, DWORD *size);

} // namespace zep
