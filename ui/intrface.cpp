// The UI plug-in's class factory and its two COM exports.
#include "common/classfactory.h"
#include "common/oemui.h"
#include "ui/plugin.h"
#include "ui/state.h"

extern "C" DECLSPEC_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv)
{
    return zep::GetPluginClassObject<zep::OemUiPlugin, zep::g_ui>(rclsid, CLSID_OEMUI, riid, ppv);
}

extern "C" DECLSPEC_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow()
{
    return zep::CanUnloadPluginModule<zep::g_ui>();
}
