// The plug-in object, its class factory and the module's exports: counts, GetInfo, core interface, Command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fake_core.h"
#include "render/dispatcher.h"
#include "render/pdev.h"
#include "render/plugin.h"
#include "tests/common/test_support.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv);
extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow();

using namespace zep;
using zeptest::WString;

namespace {

IPrintOemPS2 *CreatePlugin(PFN_DllGetClassObject getClassObject)
{
    IClassFactory *factory = nullptr;
    if (getClassObject(CLSID_OEMRENDER, kIidClassFactory, reinterpret_cast<void **>(&factory)) != S_OK) return nullptr;
    IPrintOemPS2 *plugin = nullptr;
    factory->CreateInstance(nullptr, IID_IPrintOemPS2, reinterpret_cast<void **>(&plugin));
    factory->Release();
    return plugin;
}

// The factory and unload contract, run against whichever pair of exports is given.
void CheckFactoryAndCounts(PFN_DllGetClassObject getClassObject, PFN_DllCanUnloadNow canUnload)
{
    ASSERT_EQ(canUnload(), S_OK);
    void *ppv = reinterpret_cast<void *>(1);
    EXPECT_EQ(getClassObject(CLSID_OEMUI, kIidClassFactory, &ppv), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(ppv, nullptr);

    IClassFactory *factory = nullptr;
    ASSERT_EQ(getClassObject(CLSID_OEMRENDER, kIidClassFactory, reinterpret_cast<void **>(&factory)), S_OK);
    EXPECT_EQ(getClassObject(CLSID_OEMRENDER, IID_IPrintOemPS, &ppv), E_NOINTERFACE);

    IUnknown *outer = factory;
    ppv = reinterpret_cast<void *>(1);
    EXPECT_EQ(factory->CreateInstance(outer, IID_IPrintOemPS2, &ppv), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(ppv, nullptr);
    EXPECT_EQ(canUnload(), S_OK); // nothing was created

    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemDriverPS, &ppv), E_NOINTERFACE);
    EXPECT_EQ(canUnload(), S_OK); // the refused object is gone again

    IPrintOemPS2 *plugin = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemPS2, reinterpret_cast<void **>(&plugin)), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    IUnknown *unknown = nullptr;
    ASSERT_EQ(plugin->QueryInterface(kIidUnknown, reinterpret_cast<void **>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(canUnload(), S_OK);

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(canUnload(), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
}

TEST(RenderFactory, ExportsInProcess) { CheckFactoryAndCounts(DllGetClassObject, DllCanUnloadNow); }

TEST(RenderFactory, ExportsOfTheBuiltModule)
{
    HMODULE module = LoadLibraryW(zeptest::W(ZEP_ZEPPS_PATH).c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto getClassObject = reinterpret_cast<PFN_DllGetClassObject>(
        reinterpret_cast<void *>(GetProcAddress(module, "DllGetClassObject")));
    auto canUnload =
        reinterpret_cast<PFN_DllCanUnloadNow>(reinterpret_cast<void *>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnload, nullptr);
    // Nothing else is exported.
    EXPECT_EQ(GetProcAddress(module, "DllMain"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "RenderDevMode"), nullptr);
    CheckFactoryAndCounts(getClassObject, canUnload);
    FreeLibrary(module);
}

TEST(RenderPlugin, GetInfo)
{
    const struct {
        const char *name;
        DWORD mode;
        bool buffer;
        DWORD size;
        HRESULT hr;
        DWORD needed;
        DWORD error; // 0: not set
        DWORD value;
    } cases[] = {
        {"signature", OEMGI_GETSIGNATURE, true, 4, S_OK, 4, 0, 0x32303030},
        {"version", OEMGI_GETVERSION, true, 8, S_OK, 4, 0, 1},
        {"3-byte buffer", OEMGI_GETSIGNATURE, true, 3, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0},
        {"null buffer", OEMGI_GETVERSION, false, 4, E_FAIL, 4, ERROR_INSUFFICIENT_BUFFER, 0},
        {"publisher", OEMGI_GETPUBLISHERINFO, true, 64, E_FAIL, 8, 0, 0},
        {"interface version", OEMGI_GETINTERFACEVERSION, true, 4, E_FAIL, 0xAAAA, ERROR_INVALID_PARAMETER, 0},
        {"unknown", 9, true, 4, E_FAIL, 0xAAAA, ERROR_INVALID_PARAMETER, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DWORD value = 0xCCCCCCCC, needed = 0xAAAA;
        SetLastError(0xdeadbeef);
        EXPECT_EQ(RenderGetInfo(c.mode, c.buffer ? &value : nullptr, c.size, &needed), c.hr);
        EXPECT_EQ(needed, c.needed);
        EXPECT_EQ(GetLastError(), c.error ? c.error : 0xdeadbeef);
        if (c.hr == S_OK) EXPECT_EQ(value, c.value);
        else EXPECT_EQ(value, 0xCCCCCCCCu);
    }
    SetLastError(0xdeadbeef);
    DWORD value = 0;
    EXPECT_EQ(RenderGetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(RenderPlugin, CoreInterfaceIsKeptOnceAndReleased)
{
    IPrintOemPS2 *plugin = CreatePlugin(DllGetClassObject);
    ASSERT_NE(plugin, nullptr);
    zeptest::FakeCore core;
    EXPECT_EQ(plugin->PublishDriverInterface(nullptr), E_FAIL);
    EXPECT_EQ(plugin->PublishDriverInterface(&core), S_OK);
    EXPECT_EQ(core.refs, 2);
    EXPECT_EQ(plugin->PublishDriverInterface(&core), S_OK);
    EXPECT_EQ(core.refs, 2);

    // Command writes through the published interface.
    zeptest::FakeDevice device;
    DWORD result = 0xdeadbeef;
    EXPECT_EQ(plugin->Command(&device.devobj, PSINJECT_ENDSTREAM, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(core.stream, kJobTrailer);

    EXPECT_EQ(plugin->DisableDriver(), S_OK);
    EXPECT_EQ(core.refs, 1);
    EXPECT_EQ(plugin->PublishDriverInterface(&core), S_OK);
    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(core.refs, 1);
}

TEST(RenderPlugin, DriverAndDeviceSetup)
{
    IPrintOemPS2 *plugin = CreatePlugin(DllGetClassObject);
    ASSERT_NE(plugin, nullptr);
    DRVENABLEDATA ded = {};
    EXPECT_EQ(plugin->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof(ded), &ded), S_OK);
    EXPECT_EQ(ded.iDriverVersion, 0x00010000u);
    EXPECT_EQ(ded.c, 27u);
    EXPECT_EQ(ded.pdrvfn, DdiHookTable);

    PDEVOEM pdev = nullptr;
    zeptest::FakeDevice device;
    EXPECT_EQ(plugin->EnablePDEV(&device.devobj, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, &pdev), S_OK);
    ASSERT_NE(pdev, nullptr);
    device.devobj.pdevOEM = pdev;
    EXPECT_EQ(plugin->ResetPDEV(&device.devobj, &device.devobj), S_OK);
    EXPECT_EQ(plugin->DisablePDEV(&device.devobj), S_OK);
    EXPECT_EQ(plugin->GetPDEVAdjustment(&device.devobj, 0, nullptr, 0, nullptr), E_NOTIMPL);

    OEMDMPARAM param = {};
    EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, 3884u);
    EXPECT_EQ(plugin->WritePrinter(nullptr, nullptr, 0, nullptr), S_OK);
    plugin->Release();
}

} // namespace
