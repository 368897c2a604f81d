// The injection dispatcher behind Command: one row per PostScript injection point the plug-in answers.
#pragma once
#include "render/emit.h"

namespace zep {

// The job trailer written at PSINJECT_ENDSTREAM: ESC "%-12345X@PJL EOJ" CR LF.
inline constexpr char kJobTrailer[] = "\x1b%-12345X@PJL EOJ\r\n";
static_assert(sizeof(kJobTrailer) - 1 == 19);

// True when the injection point's output was written in full (or there was none to write).
bool DispatchInjection(const RenderCall &rc, DWORD index);

// Command of the plug-in: *result = ERROR_SUCCESS and S_OK on success, else the last error and S_FALSE.
HRESULT RunCommand(const RenderCall &rc, DWORD index, DWORD *result);

} // namespace zep
