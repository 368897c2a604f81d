// The one instance of the rendering plug-in's module-wide state.
#include "render/state.h"

namespace zep {

RenderModuleState g_render;

} // namespace zep
