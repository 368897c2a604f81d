// The class factory both plug-ins export, and the bodies of their DllGetClassObject and DllCanUnloadNow.
#pragma once
#include <new>

#include "common/oemintf.h"

namespace zep {

// Plugin is the module's plug-in object (born holding one reference); Module is the module's state record, whose
// lockCount and objectCount decide whether the module may be unloaded.
template <typename Plugin, auto &Module>
class PluginClassFactory final : public IClassFactory {
public:
    PluginClassFactory() = default;
    PluginClassFactory(const PluginClassFactory &) = delete;
    PluginClassFactory &operator=(const PluginClassFactory &) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, kIidUnknown) || IsEqualIID(riid, kIidClassFactory)) {
            *ppv = static_cast<IClassFactory *>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (ppv) *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto plugin = new (std::nothrow) Plugin();
        if (!plugin) return E_OUTOFMEMORY;
        HRESULT hr = plugin->QueryInterface(riid, ppv);
        plugin->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock) InterlockedIncrement(&Module.lockCount);
        else InterlockedDecrement(&Module.lockCount);
        return S_OK;
    }

private:
    ~PluginClassFactory() = default;
    LONG volatile refs_ = 1;
};

// DllGetClassObject for a module that serves only the class `served`.
template <typename Plugin, auto &Module>
HRESULT GetPluginClassObject(REFCLSID rclsid, REFCLSID served, REFIID riid, LPVOID *ppv)
{
    if (ppv) *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, served)) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = new (std::nothrow) PluginClassFactory<Plugin, Module>();
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

// DllCanUnloadNow: no live plug-in object and no server lock.
template <auto &Module>
HRESULT CanUnloadPluginModule()
{
    return Module.objectCount == 0 && Module.lockCount == 0 ? S_OK : S_FALSE;
}

} // namespace zep
