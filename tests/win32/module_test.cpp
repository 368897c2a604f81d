// Library loading with the fixture module: entry point, handles, names, reference counts and errors.
#include "win32_test.h"

using namespace zep::test;

namespace {

using AttachInstanceFn = HINSTANCE (*)();
using AttachCountFn = LONG (*)();
using AttachFileNameFn = const WCHAR *(*)();
using SetDetachSinkFn = void (*)(LONG *);

template <typename Fn>
Fn Export(HMODULE module, const char *name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// The fixture module copied into a driver-like folder of the test's temporary folder.
class Modules : public TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        ASSERT_TRUE(CreateDirectoryW(Path(TEXT("3")).c_str(), nullptr));
        fixture_ = Path(TEXT("3\\ZepFixture.dll"));
        ASSERT_TRUE(CopyFileW(Wide(ZEP_FIXTURE_PATH).c_str(), fixture_.c_str(), FALSE)) << ZEP_FIXTURE_PATH;
    }
    const WString &Fixture() const { return fixture_; }

private:
    WString fixture_;
};

} // namespace

TEST_F(Modules, DllMainAttachesWithTheHandleLoadLibraryReturns)
{
    HMODULE module = LoadLibraryW(Fixture().c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto attachInstance = Export<AttachInstanceFn>(module, "FixtureAttachInstance");
    auto attachCount = Export<AttachCountFn>(module, "FixtureAttachCount");
    auto attachFileName = Export<AttachFileNameFn>(module, "FixtureAttachFileName");
    ASSERT_TRUE(attachInstance && attachCount && attachFileName);
    EXPECT_EQ(attachInstance(), module);
    EXPECT_EQ(attachCount(), 1);
    EXPECT_TRUE(SameNameIgnoringCase(attachFileName(), Fixture()))
        << "during its attach the module already knows its path: " << Narrow(attachFileName());

    WCHAR name[MAX_PATH + 1];
    FillJunk(name);
    DWORD length = GetModuleFileNameW(module, name, MAX_PATH + 1);
    EXPECT_EQ(length, Fixture().size());
    EXPECT_TRUE(SameNameIgnoringCase(name, Fixture())) << Narrow(name);

    EXPECT_EQ(GetModuleHandleW(TEXT("zepfixture.DLL")), module);
    EXPECT_EQ(GetModuleHandleW(TEXT("ZepFixture")), module) << "\".dll\" is implied";
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Modules, LoadsAreCountedAndTheLastFreeDetaches)
{
    HMODULE first = LoadLibraryW(Fixture().c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadLibraryW(Fixture().c_str()), first) << "the same module loaded twice is one module";
    EXPECT_EQ(LoadLibraryW(TEXT("ZEPFIXTURE.dll")), first) << "a bare name finds the loaded module";
    EXPECT_EQ(Export<AttachCountFn>(first, "FixtureAttachCount")(), 1) << "attached once";

    LONG detaches = 0;
    Export<SetDetachSinkFn>(first, "FixtureSetDetachSink")(&detaches);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(detaches, 0);
    EXPECT_NE(GetProcAddress(first, "FixtureAttachCount"), nullptr) << "one load still holds it";
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(detaches, 1) << "the last FreeLibrary sends DLL_PROCESS_DETACH";
    PresetLastError();
    EXPECT_EQ(GetModuleHandleW(TEXT("ZepFixture.dll")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST_F(Modules, GetProcAddressFindsOnlyTheModulesOwnExports)
{
    HMODULE module = LoadLibraryW(Fixture().c_str());
    ASSERT_NE(module, nullptr);
    for (const char *name : {"NoSuchExport", "GetModuleFileNameW", "DllMainAnchorThatIsNot"}) {
        SCOPED_TRACE(name);
        PresetLastError();
        EXPECT_EQ(GetProcAddress(module, name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
    FreeLibrary(module);
}

TEST_F(Modules, LoadFailuresSayWhy)
{
    ASSERT_TRUE(WriteWholeFile(Path(TEXT("3\\Text.dll")), "this is not a library"));
    ASSERT_TRUE(CopyFileW(Fixture().c_str(), Path(TEXT("3\\RefuseAttach.dll")).c_str(), FALSE));
    struct Case {
        const char *name;
        WString path;
        DWORD error;
    };
    const Case cases[] = {
        {"missing file", Path(TEXT("3\\Missing.dll")), ERROR_MOD_NOT_FOUND},
        {"missing folder", Path(TEXT("9\\ZepFixture.dll")), ERROR_MOD_NOT_FOUND},
        {"missing bare name", TEXT("ZepNoSuchModule.dll"), ERROR_MOD_NOT_FOUND},
        {"not a library", Path(TEXT("3\\Text.dll")), ERROR_BAD_EXE_FORMAT},
        {"DllMain refuses", Path(TEXT("3\\RefuseAttach.dll")), ERROR_DLL_INIT_FAILED},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        EXPECT_EQ(LoadLibraryW(c.path.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(GetModuleHandleW(TEXT("RefuseAttach.dll")), nullptr) << "a refused module is unloaded";
}

TEST_F(Modules, ShortFileNameBufferIsTruncatedAndTerminated)
{
    HMODULE module = LoadLibraryW(Fixture().c_str());
    ASSERT_NE(module, nullptr);
    WCHAR name[8];
    FillJunk(name);
    PresetLastError();
    EXPECT_EQ(GetModuleFileNameW(module, name, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WString(name, 4), Fixture().substr(0, 4));
    EXPECT_AS_WINDOWS(kWine, name[4] == 0); // Wine truncates without a terminator, as Windows XP did
    EXPECT_TRUE(IsJunk(name + 5, 3)) << "nothing written past the size given";
    FreeLibrary(module);
}

TEST(MainModule, NullNamesTheProgram)
{
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_NE(program, nullptr);
    WCHAR name[MAX_PATH + 1];
    FillJunk(name);
    DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH + 1);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(name[length], 0);
    WCHAR viaHandle[MAX_PATH + 1];
    EXPECT_EQ(GetModuleFileNameW(program, viaHandle, MAX_PATH + 1), length);
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x10)))) << "not a module";
}

TEST(SystemModule, Kernel32IsLoadedAndExportsTheKernelCalls)
{
    HMODULE kernel = GetModuleHandleW(TEXT("KERNEL32.DLL"));
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(LoadLibraryW(TEXT("kernel32")), kernel);
    EXPECT_EQ(reinterpret_cast<void *>(GetProcAddress(kernel, "GetTickCount")), reinterpret_cast<void *>(&GetTickCount));
    EXPECT_TRUE(FreeLibrary(kernel));
}
