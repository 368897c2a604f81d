// The rendering plug-in's module entry: keeps its module handle for the resources it loads.
#include "common/win32.h"
#include "render/state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) zep::g_render.module = instance;
    return TRUE;
}
