// The vendor encryption library as the UI plug-in calls it: the settings record and the CCiperSet loader.
#pragma once
#include "common/win32.h"
#include "common/cryptolib.h"
#include "common/handle.h"

#include <cstddef>

namespace zep {

#pragma pack(push, 4)
// Settings the library fills with its defaults and edits in its own dialog.
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
static_assert(offsetof(EncryptionSetting, dwCryptoMode) == 0 && offsetof(EncryptionSetting, dwCryptoLevel) == 4);
static_assert(offsetof(EncryptionSetting, szPassword) == 8 && offsetof(EncryptionSetting, dwAskPassword) == 24);
static_assert(offsetof(EncryptionSetting, dwCryptoTime) == 28 && offsetof(EncryptionSetting, dwReserved) == 32);

// Entry points of the library's UI-side exports, resolved by these names.
typedef BOOL(WINAPI *PFN_GetDefaultSetting)(EncryptionSetting *setting, DWORD flags);
typedef BOOL(WINAPI *PFN_DispCryptoUIEx)(HWND owner, EncryptionSetting *setting, DWORD mode);
typedef BOOL(WINAPI *PFN_EncryptPassword)(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size);

inline constexpr DWORD kEncryptedPasswordCapacity = 255;
inline constexpr DWORD kUiPasswordCapacity = 13;

// Loads the library named by the model section's "CryptoDll" for the life of the object. Every call looks
// its function up afresh; a missing library or function gives 0.
class CCiperSet {
public:
    // Shows the text of a missing library or function where the caller wants it (a message box in the UI).
    typedef void (*Notify)(LPCWSTR text);

    explicit CCiperSet(HANDLE hPrinter, Notify notify = nullptr);
    // Loads the library from an explicit path (for callers that already resolved it).
    CCiperSet(LPCWSTR libraryPath, Notify notify);

    bool IsLoaded() const { return static_cast<bool>(module_); }

    BOOL GetDefaultSetting(EncryptionSetting *setting, DWORD flags);
    BOOL DispCryptoUIEx(HWND owner, EncryptionSetting *setting, DWORD mode);
    BOOL EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size);
    BOOL DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size);

private:
    FARPROC Find(const char *name) const;

    Library module_;
    Notify notify_ = nullptr;
};

// Path of the encryption library for a printer ("" and false when "CryptoDll" is empty or unusable).
bool EncryptionLibraryPath(HANDLE hPrinter, WCHAR (&path)[MAX_PATH]);

} // namespace zep
