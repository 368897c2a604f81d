// The staged sample encryption library, loaded once for a test suite, and its exports by name.
#pragma once
#include <gtest/gtest.h>

#include "common/win32.h"
#include "host/core/session.h"
#include "host/core/text.h"
#include "tests/host/host_test_util.h"

class CryptModule : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryW(
            zep::host::Widen((host_test::BuildDir() / "stage" / "driver" / "ZepCrypt.dll").string()).c_str());
    }
    static void TearDownTestSuite()
    {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr); }
    template <typename F>
    static F Get(const char *name)
    {
        F f = zep::host::FunctionCast<F>(GetProcAddress(module_, name));
        EXPECT_NE(f, nullptr) << name;
        return f;
    }

    static inline HMODULE module_ = nullptr;
};
