// Interface of the sample encryption library ZepCrypt: its records, entry points and formats.
//
// Design. Everything cryptographic is libgcrypt, on Linux and in the mingw DLL alike.
//  - Stored job password (EncryptPassword/DecryptPassword): AES-256-GCM under a key built into the library
//    (SHA-256 of a fixed text). It keeps the password out of plain sight in the DEVMODE and detects a damaged
//    or foreign blob; it is no secret from anyone holding this library. Blob: "ZP", version 1, 0, a 12-byte
//    random nonce, the ciphertext (as long as the password, at most 32 bytes), a 16-byte tag over all of it.
//  - Job stream (CreateEncryption .. DeleteEncryption): a key of 64 bytes is derived with PBKDF2-HMAC-SHA256
//    from the password or IC card data, a 16-byte random salt and an iteration count set by the level; its
//    first half (mode 0: first 16 bytes) keys AES-256 (mode 0: AES-128) in CTR mode with a random 16-byte
//    counter block, its second half keys HMAC-SHA256. Init returns the 44-byte header, each Update the
//    ciphertext of its data (same length), End the 32-byte HMAC over header and ciphertext (encrypt then MAC).
//    DecryptEncryptedJob undoes it, checking the HMAC first, as the printer does.
//  - Output buffers stay the library's and are valid until the next call on the same handle.
//  - Calls 3 to 5 of the stream (Init*, Update, End) and Delete return 0 on success, a ZEPCRYPT_E_* otherwise.
#pragma once
#include "common/win32.h"

#include <cstddef>

#pragma pack(push, 4)
// The UI plug-in's settings record (36 bytes).
struct ZepCryptSetting {
    DWORD dwCryptoMode;  // 0: AES-128, 1: AES-256
    DWORD dwCryptoLevel; // 0-3: key derivation strength
    CHAR szPassword[16]; // NUL-terminated; the dialog takes at most 12 characters
    DWORD dwAskPassword; // 1: ask for the password when printing
    DWORD dwCryptoTime;  // how long the printer keeps the job: hours in the high word, minutes in the low
    DWORD dwReserved;
};
// What the rendering plug-in hands to InitEncryption*.
struct ZepCryptInitRecord {
    DWORD dwCryptoMode;
    DWORD dwCryptoLevel;
    BYTE key[33]; // a NUL-terminated password, or IC card data of the given key size
};
#pragma pack(pop)
static_assert(sizeof(ZepCryptSetting) == 36);
static_assert(offsetof(ZepCryptSetting, szPassword) == 8 && offsetof(ZepCryptSetting, dwAskPassword) == 24);
static_assert(offsetof(ZepCryptSetting, dwCryptoTime) == 28 && offsetof(ZepCryptSetting, dwReserved) == 32);
static_assert(offsetof(ZepCryptInitRecord, key) == 8 && sizeof(ZepCryptInitRecord) == 44);

inline constexpr DWORD kZepCryptMaxPassword = 32;   // bytes of a password or key
inline constexpr DWORD kZepCryptUiPassword = 12;    // characters the settings dialog accepts
inline constexpr DWORD kZepCryptPasswordBlobFixed = 4 + 12 + 16;
inline constexpr DWORD kZepCryptHeaderSize = 44;
inline constexpr DWORD kZepCryptTrailerSize = 32;

enum : int {
    ZEPCRYPT_OK = 0,
    ZEPCRYPT_E_PARAMETER = 1, // null or bad argument, unknown handle, empty or oversized key
    ZEPCRYPT_E_STATE = 2,     // call out of order (Update before Init, anything after End)
    ZEPCRYPT_E_CIPHER = 3,    // the cipher library failed
    ZEPCRYPT_E_AUTH = 4,      // DecryptEncryptedJob: wrong key or damaged data
};

typedef void *ZEPCRYPT_HANDLE;

extern "C" {
// UI side.
typedef int(WINAPI *PFN_ZepGetDefaultSetting)(void *setting, int mode);
typedef int(WINAPI *PFN_ZepDispCryptoUIEx)(HWND owner, ZepCryptSetting *setting, DWORD mode);
typedef int(WINAPI *PFN_ZepEncryptPassword)(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size);
typedef int(WINAPI *PFN_ZepDecryptPassword)(const BYTE *data, DWORD length, LPSTR out, LPDWORD size);
// Rendering side.
typedef ZEPCRYPT_HANDLE(WINAPI *PFN_ZepCreateEncryption)();
typedef int(WINAPI *PFN_ZepInitEncryption)(ZEPCRYPT_HANDLE h, const ZepCryptInitRecord *record, BYTE **out,
                                           DWORD *outSize);
typedef int(WINAPI *PFN_ZepInitEncryptionEx)(ZEPCRYPT_HANDLE h, const ZepCryptInitRecord *record, DWORD keySize,
                                             BYTE **out, DWORD *outSize);
typedef int(WINAPI *PFN_ZepInitEncryptionEx2)(ZEPCRYPT_HANDLE h, DWORD version, const ZepCryptInitRecord *record,
                                              DWORD keySize, BYTE **out, DWORD *outSize);
typedef int(WINAPI *PFN_ZepUpdateEncryption)(ZEPCRYPT_HANDLE h, const BYTE *data, DWORD size, BYTE **out,
                                             DWORD *outSize);
typedef int(WINAPI *PFN_ZepEndEncryption)(ZEPCRYPT_HANDLE h, BYTE **out, DWORD *outSize);
typedef int(WINAPI *PFN_ZepDeleteEncryption)(ZEPCRYPT_HANDLE h);
typedef int(WINAPI *PFN_ZepDispPasswordUI)(LPSTR out);
// The printer's side, for tests and the stand-in printer: the whole job (header, ciphertext, trailer) in, the
// plain data out (*outSize: capacity in, length out).
typedef int(WINAPI *PFN_ZepDecryptEncryptedJob)(const BYTE *key, DWORD keySize, const BYTE *job, DWORD size,
                                                BYTE *out, DWORD *outSize);
}
