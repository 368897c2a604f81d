// Sample encryption library: the default encryption settings (the cipher calls come later).
#include "common/win32.h"

#include <cstddef>
#include <cstring>

namespace {

// The 36-byte settings record the UI plug-in hands over.
#pragma pack(push, 4)
struct EncryptionSetting {
    DWORD dwCryptoMode;
    DWORD dwCryptoLevel;
    CHAR szPassword[16];
    DWORD dwAskPassword;
    DWORD dwCryptoTime;
    DWORD dwReserved;
};
#pragma pack(pop)
static_assert(sizeof(EncryptionSetting) == 36);
static_assert(offsetof(EncryptionSetting, szPassword) == 8 && offsetof(EncryptionSetting, dwAskPassword) == 24);
static_assert(offsetof(EncryptionSetting, dwCryptoTime) == 28 && offsetof(EncryptionSetting, dwReserved) == 32);

constexpr DWORD kDefaultMode = 1;         // encryption on
constexpr DWORD kDefaultLevel = 2;        // the middle of levels 0 to 3
constexpr DWORD kDefaultKeeping = 0x20000;  // jobs are kept 2:00 (hours in the high word, minutes in the low)

} // namespace

// Fills the record with defaults: no stored password, so none is asked for until the user sets one.
extern "C" DECLSPEC_EXPORT int WINAPI GetDefaultSetting(void *setting, int mode)
{
    if (!setting) return 0;
    EncryptionSetting s{};
    s.dwCryptoMode = kDefaultMode;
    s.dwCryptoLevel = kDefaultLevel;
    s.dwAskPassword = 0;
    s.dwCryptoTime = kDefaultKeeping;
    std::memcpy(setting, &s, sizeof s);
    return 1;
}
