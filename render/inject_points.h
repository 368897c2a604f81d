// The output routines the injection dispatcher calls at each PostScript injection point.
#pragma once
#include <string>

#include "render/emit.h"

namespace zep {

// PSINJECT_BEGINSTREAM: the PJL job header; true when all of it was written.
bool WriteJobHeader(const RenderCall &rc);
// Header items of their own: the job-information library's lines (they never fail the header) and the
// colour appearance tables.
void EmitJobInformation(const RenderCall &rc);
bool EmitColourAppearance(const RenderCall &rc);
// PSINJECT_BEGINPROLOG: the procedure files and the prolog globals (their results are not checked).
bool EmitPrologFiles(const RenderCall &rc);
bool EmitPrologGlobals(const RenderCall &rc);
// The watermark initialisation text for the selected watermark; false when it cannot be built.
bool BuildWatermarkInit(const RenderCall &rc, std::string &text);
// PSINJECT_BEGINSETUP: the overlay form list.
bool EmitOverlayForms(const RenderCall &rc);
// PSINJECT_ENDSETUP: the halftone gamma feature.
bool EmitHalftoneGamma(const RenderCall &rc);
// PSINJECT_ENDPAGESETUP: the per-page watermark call; false when its template resource is missing.
bool BuildWatermarkPage(const RenderCall &rc, std::string &text);

} // namespace zep
