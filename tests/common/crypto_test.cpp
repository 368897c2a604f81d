// The encryption library loader when the library or its functions are missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/crypto.h"
#include "test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

std::vector<WString> g_notes;
void Note(LPCWSTR text) { g_notes.emplace_back(text); }

TEST(CCiperSet, MissingLibraryAnswersZeroAndSaysWhy)
{
    g_notes.clear();
    CCiperSet cipher(static_cast<LPCWSTR>(TEXT("C:\\nowhere\\zepcrypt.dll")), Note);
    EXPECT_FALSE(cipher.IsLoaded());
    EncryptionSetting setting = {7, 7, "x", 7, 7, 7};
    EXPECT_EQ(cipher.GetDefaultSetting(&setting, 1), 0);
    EXPECT_EQ(setting.dwCryptoMode, 7u);
    EXPECT_EQ(cipher.DispCryptoUIEx(nullptr, &setting, 0), 0);
    BYTE out[255];
    DWORD size = sizeof(out);
    EXPECT_EQ(cipher.EncryptPassword("1234", 4, out, &size), 0);
    CHAR plain[13];
    size = sizeof(plain);
    EXPECT_EQ(cipher.DecryptPassword(out, 4, plain, &size), 0);
    ASSERT_EQ(g_notes.size(), 1u);
    EXPECT_EQ(g_notes[0], TEXT("CCiperSet::DecryptPassword() : m_hModule is NULL"));
}

TEST(CCiperSet, PrinterWithoutCryptoDllLoadsNothing)
{
    CCiperSet cipher(static_cast<HANDLE>(nullptr));
    EXPECT_FALSE(cipher.IsLoaded());
    CHAR plain[13];
    DWORD size = sizeof(plain);
    BYTE data[4] = {};
    EXPECT_EQ(cipher.DecryptPassword(data, 4, plain, &size), 0); // no notifier: silent
}

} // namespace
