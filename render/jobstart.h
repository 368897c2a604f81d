// The rendering plug-in's part of DrvStartDoc: job capture when armed, and the current job id.
#pragma once
#include "common/oemintf.h"

namespace zep {

// Finds the configuration files and captures g_render.job when the capture is armed (then disarms it);
// always records the job id in the device's gate state, which cancels that job when encryption fails.
void StartDocCapture(PDEVOBJ devobj, DWORD jobId);

} // namespace zep
