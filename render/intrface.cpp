// The rendering plug-in's class factory and its two COM exports.
#include "common/classfactory.h"
#include "common/oemintf.h"
#include "render/plugin.h"
#include "render/state.h"

extern "C" DECLSPEC_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv)
{
    return zep::GetPluginClassObject<zep::OemRenderPlugin, zep::g_render>(rclsid, CLSID_OEMRENDER, riid, ppv);
}

extern "C" DECLSPEC_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow()
{
    return zep::CanUnloadPluginModule<zep::g_render>();
}
