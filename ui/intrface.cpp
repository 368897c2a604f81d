// The UI plug-in's class factory and its two COM exports.
#include <new>

#include "common/oemui.h"
#include "ui/plugin.h"
#include "ui/state.h"

namespace zep {
namespace {

class OemUiClassFactory final : public IClassFactory {
public:
    OemUiClassFactory() = default;
    OemUiClassFactory(const OemUiClassFactory &) = delete;
    OemUiClassFactory &operator=(const OemUiClassFactory &) = delete;

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
        auto plugin = new (std::nothrow) OemUiPlugin();
        if (!plugin) return E_OUTOFMEMORY;
        HRESULT hr = plugin->QueryInterface(riid, ppv);
        plugin->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock) InterlockedIncrement(&g_ui.lockCount);
        else InterlockedDecrement(&g_ui.lockCount);
        return S_OK;
    }

private:
    ~OemUiClassFactory() = default;
    LONG volatile refs_ = 1;
};

} // namespace
} // namespace zep

extern "C" DECLSPEC_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv)
{
    if (ppv) *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = new (std::nothrow) zep::OemUiClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" DECLSPEC_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow()
{
    return zep::g_ui.objectCount == 0 && zep::g_ui.lockCount == 0 ? S_OK : S_FALSE;
}
