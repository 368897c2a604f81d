// The one IUnknown of every COM object the project implements, and the module object count the plug-ins keep.
#pragma once
#include "common/oemintf.h"

namespace zep {

// Derived is the concrete class (its destructor runs at the last Release, so it may stay private with
// `friend ComObject`); Interface the most derived interface it implements, handed out for IUnknown and for each
// of Iids. Born holding one reference, as a factory's CreateInstance expects.
template <typename Derived, typename Interface, const IID &...Iids>
class ComObject : public Interface {
public:
    ComObject(const ComObject &) = delete;
    ComObject &operator=(const ComObject &) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, kIidUnknown) || (IsEqualIID(riid, Iids) || ...)) {
            *ppv = static_cast<Interface *>(this);
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
        if (left == 0) delete static_cast<Derived *>(this);
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    ~ComObject() = default;

private:
    LONG volatile refs_ = 1;
};

// A plug-in object counts itself in its module's state for its whole life: DllCanUnloadNow answers S_FALSE while
// one lives (CanUnloadPluginModule). Module has an interlocked objectCount.
template <auto &Module>
class CountedInModule {
protected:
    CountedInModule() { InterlockedIncrement(&Module.objectCount); }
    ~CountedInModule() { InterlockedDecrement(&Module.objectCount); }
    CountedInModule(const CountedInModule &) = delete;
    CountedInModule &operator=(const CountedInModule &) = delete;
};

} // namespace zep
