// The sample companions as the plug-ins load them: by path, resolved by export name.
#include "common/win32.h"
#include "host/core/session.h"
#include "host/core/text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/host/host_test_util.h"

using namespace host_test;
using zep::host::FunctionCast;
using zep::host::Widen;

namespace {

typedef int(WINAPI *PFN_GetDefaultSetting)(void *, int);
typedef int(WINAPI *PFN_QueryCardDriver)(const char *, const char *);

struct Module {
    explicit Module(const char *name)
        : handle(LoadLibraryW(Widen((BuildDir() / "stage" / "driver" / name).string()).c_str()))
    {
    }
    ~Module()
    {
        if (handle) FreeLibrary(handle);
    }
    template <typename F>
    F Get(const char *name)
    {
        return handle ? FunctionCast<F>(GetProcAddress(handle, name)) : nullptr;
    }
    HMODULE handle;
};

} // namespace

TEST(Companions, EncryptionDefaultsAreSane)
{
    Module crypt("ZepCrypt.dll");
    auto getDefault = crypt.Get<PFN_GetDefaultSetting>("GetDefaultSetting");
    ASSERT_NE(getDefault, nullptr);
    BYTE setting[36];
    std::memset(setting, 0xcc, sizeof setting);
    EXPECT_NE(getDefault(setting, 1), 0);
    DWORD mode, level, ask, time;
    std::memcpy(&mode, setting + 0, 4);
    std::memcpy(&level, setting + 4, 4);
    std::memcpy(&ask, setting + 24, 4);
    std::memcpy(&time, setting + 28, 4);
    EXPECT_LE(mode, 2u);
    EXPECT_LE(level, 3u);
    EXPECT_EQ(setting[8], 0) << "no stored password";
    EXPECT_LE(ask, 1u);
    EXPECT_GE(time, 5u);
    EXPECT_LE(time >> 16, 23u);
    EXPECT_LE(time & 0xffff, 59u);
    EXPECT_EQ(getDefault(nullptr, 1), 0);
}

TEST(Companions, CardDriverIsReportedOnlyWhenConfigured)
{
    Module card("ZepCard.dll");
    auto query = card.Get<PFN_QueryCardDriver>("QueryCardDriver");
    ASSERT_NE(query, nullptr);
    fs::path dir = TempDir("card");
    std::string cap = (dir / "ZepCL500.cap").string();
    struct Case {
        const char *name;
        const char *ini;  // nullptr: no ZepCard.ini
        const char *driver;
        int expected;
    } cases[] = {
        {"no configuration", nullptr, "Zep CL500 PS", 0},
        {"installed for every driver", "[CardDriver]\r\nInstalled=1\r\n", "Zep CL500 PS", 1},
        {"explicitly not installed", "[CardDriver]\r\nInstalled=0\r\n", "Zep CL500 PS", 0},
        {"this driver opts out", "[CardDriver]\r\nInstalled=1\r\n[Zep CL500 PS]\r\nInstalled=0\r\n", "Zep CL500 PS", 0},
        {"another driver keeps the default", "[CardDriver]\r\nInstalled=1\r\n[Zep CL500 PS]\r\nInstalled=0\r\n",
         "Zep Other", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir / "ZepCard.ini");
        if (c.ini) WriteFile(dir / "ZepCard.ini", c.ini);
        EXPECT_EQ(query(c.driver, cap.c_str()) != 0, c.expected != 0);
    }
    EXPECT_EQ(query(nullptr, cap.c_str()), 0);
    EXPECT_EQ(query("Zep CL500 PS", nullptr), 0);
}
