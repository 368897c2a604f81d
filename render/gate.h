// The output gate: every finished block of the job passes here on its way to the spooler.
#pragma once
#include "common/oemintf.h"

namespace zep {

// WritePrinter of the plug-in. A null device object is accepted and ignored (S_OK). Otherwise the block goes
// to the spooler unchanged on the device object's printer: *written = the spooler's count, S_OK when the
// spooler took it, else E_FAIL.
HRESULT GateWritePrinter(PDEVOBJ devobj, PVOID buffer, DWORD size, PDWORD written);

} // namespace zep
