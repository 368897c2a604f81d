// The one IUnknown the factory, both plug-in objects and the core's helper objects are built on.
#include <gtest/gtest.h>

#include "common/comobject.h"
#include "common/handle.h"

using namespace zep;

namespace {

struct ProbeModule {
    LONG volatile objectCount = 0;
};
ProbeModule g_probeModule;

// Answers two ids besides IUnknown, as each plug-in answers both versions of its interface.
class Probe final : public ComObject<Probe, IPrintOemDriverPS, IID_IPrintOemDriverPS, IID_IPrintOemPS>,
                    private CountedInModule<g_probeModule> {
public:
    explicit Probe(bool &destroyed) : destroyed_(destroyed) {}
    STDMETHODIMP DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD *) override { return E_NOTIMPL; }

private:
    friend ComObject;
    ~Probe() { destroyed_ = true; }
    bool &destroyed_;
};

TEST(ComObject, AnswersItsIdsAndGoesAtTheLastRelease)
{
    bool destroyed = false;
    ComPtr<IPrintOemDriverPS> probe;
    probe.attach(new Probe(destroyed));
    EXPECT_EQ(g_probeModule.objectCount, 1);

    const struct {
        const char *name;
        const IID &iid;
        HRESULT hr;
    } cases[] = {
        {"IUnknown", kIidUnknown, S_OK},
        {"first id", IID_IPrintOemDriverPS, S_OK},
        {"second id", IID_IPrintOemPS, S_OK},
        {"other id", kIidClassFactory, E_NOINTERFACE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        void *ppv = reinterpret_cast<void *>(1);
        EXPECT_EQ(probe->QueryInterface(c.iid, &ppv), c.hr);
        EXPECT_EQ(ppv, c.hr == S_OK ? static_cast<void *>(probe.get()) : nullptr);
        if (c.hr == S_OK) {
            EXPECT_EQ(probe->Release(), 1u);
        }
    }
    EXPECT_EQ(probe->QueryInterface(kIidUnknown, nullptr), E_POINTER);

    EXPECT_EQ(probe->AddRef(), 2u);
    EXPECT_EQ(probe->Release(), 1u);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(probe.detach()->Release(), 0u);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(g_probeModule.objectCount, 0);
}

} // namespace
