// The one instance of the UI plug-in's module-wide state.
#include "ui/state.h"

namespace zep {

UiModuleState g_ui;

} // namespace zep
