// Module-wide state of the rendering plug-in: one unlocked copy per process, except the interlocked counts.
#pragma once
#include "common/win32.h"

#include "render/jobcontext.h"

namespace zep {

struct RenderModuleState {
    HMODULE module = nullptr;
    LONG volatile objectCount = 0;
    LONG volatile lockCount = 0;
    bool captureArmed = true;
    // The capability-file path lives with the lookups (CapabilityFilePath, common/config.h); the plug-in
    // INI path is this module's own copy.
    WCHAR pluginIniFile[MAX_PATH + 1] = {};
    JobContext job = {};
};

extern RenderModuleState g_render;

} // namespace zep
