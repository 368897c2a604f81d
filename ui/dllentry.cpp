// The UI plug-in's module entry: keeps its module handle and frees the support library at detach.
#include "common/win32.h"
#include "ui/state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        zep::g_ui.module = instance;
        zep::g_ui.supportLibrary = nullptr;
    } else if (reason == DLL_PROCESS_DETACH && zep::g_ui.supportLibrary) {
        FreeLibrary(zep::g_ui.supportLibrary);
        zep::g_ui.supportLibrary = nullptr;
    }
    return TRUE;
}
