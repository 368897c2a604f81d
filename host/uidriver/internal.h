// What the UI driver's parts share and the header does not show.
#pragma once
#include "common/win32.h"

namespace zep::ui {

// While one lives, dialogs that activate are the driver's own (OpenDialog, OpenSheet), not modal prompts to
// answer. Only Windows needs to tell them apart; on Linux modal dialogs come through their own hook.
class OwnWindows {
public:
    OwnWindows();
    ~OwnWindows();
    OwnWindows(const OwnWindows &) = delete;
    OwnWindows &operator=(const OwnWindows &) = delete;
};

} // namespace zep::ui
