// The class factory both plug-ins export, and the bodies of their DllGetClassObject and DllCanUnloadNow.
#pragma once
#include <new>

#include "common/comobject.h"
#include "common/handle.h"
#include "common/oemintf.h"

namespace zep {

// Plugin is the module's plug-in object (born holding one reference); Module is the module's state record, whose
// lockCount and objectCount decide whether the module may be unloaded.
template <typename Plugin, auto &Module>
class PluginClassFactory final
    : public ComObject<PluginClassFactory<Plugin, Module>, IClassFactory, kIidClassFactory> {
public:
    PluginClassFactory() = default;

    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (ppv) *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ComPtr<Plugin> plugin;
        plugin.attach(new (std::nothrow) Plugin());
        if (!plugin) return E_OUTOFMEMORY;
        return plugin->QueryInterface(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock) InterlockedIncrement(&Module.lockCount);
        else InterlockedDecrement(&Module.lockCount);
        return S_OK;
    }

private:
    friend ComObject<PluginClassFactory, IClassFactory, kIidClassFactory>;
    ~PluginClassFactory() = default;
};

// DllGetClassObject for a module that serves only the class `served`.
template <typename Plugin, auto &Module>
HRESULT GetPluginClassObject(REFCLSID rclsid, REFCLSID served, REFIID riid, LPVOID *ppv)
{
    if (ppv) *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, served)) return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<PluginClassFactory<Plugin, Module>> factory;
    factory.attach(new (std::nothrow) PluginClassFactory<Plugin, Module>());
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}

// DllCanUnloadNow: no live plug-in object and no server lock.
template <auto &Module>
HRESULT CanUnloadPluginModule()
{
    return Module.objectCount == 0 && Module.lockCount == 0 ? S_OK : S_FALSE;
}

} // namespace zep
