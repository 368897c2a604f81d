// The module entry on Linux: loading a module calls its DllMain with its HMODULE, unloading calls it again.
#include "win32/kernel.h"
#include "zep_platform.h"

// Weak: a module without an entry point loads as on Windows, with nothing to call.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) __attribute__((weak));

// Named by the link options of zepdllmain so that this object is always linked in.
extern "C" int ZepDllMainAnchor;
int ZepDllMainAnchor = 0;

namespace {

HMODULE g_self;

// Runs after the module's own static objects are constructed (this archive comes last on the link line), as
// the Windows C runtime calls DllMain after its initialisation.
__attribute__((constructor)) void AttachModule()
{
    g_self = ZepModuleAttach(reinterpret_cast<const void *>(&AttachModule));
    if (DllMain && !DllMain(g_self, DLL_PROCESS_ATTACH, nullptr)) ZepModuleAttachFailed(g_self);
}

// Runs before the module's static objects are destroyed. Windows also sends the detach after a refused attach.
__attribute__((destructor)) void DetachModule()
{
    if (DllMain) DllMain(g_self, DLL_PROCESS_DETACH, nullptr);
    ZepModuleDetach(g_self);
}

} // namespace
