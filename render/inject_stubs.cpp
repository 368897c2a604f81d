// Injection routines whose output is not written yet: each succeeds and adds nothing to the job.
#include "render/inject_points.h"

namespace zep {

void EmitJobInformation(const RenderCall &) {}

bool EmitColourAppearance(const RenderCall &) { return true; }

bool EmitPrologFiles(const RenderCall &) { return true; }

bool EmitPrologGlobals(const RenderCall &) { return true; }

bool BuildWatermarkInit(const RenderCall &, std::string &) { return false; }

bool EmitOverlayForms(const RenderCall &) { return true; }

bool EmitHalftoneGamma(const RenderCall &) { return true; }

bool BuildWatermarkPage(const RenderCall &, std::string &) { return false; }

} // namespace zep
