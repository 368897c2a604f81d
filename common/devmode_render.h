// The rendering plug-in's DevMode operations on OemDevmode: a stored or foreign record is taken over with every
// field a job reads clamped to its range.
#pragma once
#include "common/devmode.h"

namespace zep {

void RenderDevmodeDefault(OemDevmode *out);
void RenderDevmodeConvert(const OemDevmode *in, OemDevmode *out);
void RenderDevmodeMerge(const OemDevmode *in, OemDevmode *out);
// The whole DevMode method of the rendering plug-in.
HRESULT RenderDevMode(DWORD mode, OEMDMPARAM *param);

} // namespace zep
