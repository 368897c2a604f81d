// The vendor encryption library's exports as both plug-ins call them, and the record the job stream starts from.
#pragma once
#include "common/win32.h"

#include <cstddef>

namespace zep {

// Capacity of a decrypted password (and of IC card data) when rendering: 32 bytes and a NUL.
inline constexpr DWORD kKeyBytes = 33;

#pragma pack(push, 4)
// What InitEncryption* start a job's stream from: the job settings' mode and level, and the key.
struct EncryptionInitRecord {
    DWORD dwCryptoMode;
    DWORD dwCryptoLevel;
    BYTE key[kKeyBytes]; // a NUL-terminated password, or IC card data of the given length
};
#pragma pack(pop)
static_assert(sizeof(EncryptionInitRecord) == 44);
static_assert(offsetof(EncryptionInitRecord, dwCryptoLevel) == 4 && offsetof(EncryptionInitRecord, key) == 8);

// Shared by both sides: the stored password back in clear; non-zero when out holds it.
typedef BOOL(WINAPI *PFN_DecryptPassword)(const BYTE *data, DWORD length, LPSTR out, LPDWORD size);

// The job stream, in call order. Init*, Update and End answer 0 on success; output buffers stay the library's and
// are valid until its next call.
typedef PVOID(WINAPI *PFN_CreateEncryption)();
typedef INT(WINAPI *PFN_InitEncryption)(PVOID handle, const EncryptionInitRecord *record, BYTE **out, DWORD *outSize);
typedef INT(WINAPI *PFN_InitEncryptionEx)(PVOID handle, const EncryptionInitRecord *record, DWORD keySize, BYTE **out,
                                          DWORD *outSize);
typedef INT(WINAPI *PFN_InitEncryptionEx2)(PVOID handle, DWORD version, const EncryptionInitRecord *record,
                                           DWORD keySize, BYTE **out, DWORD *outSize);
typedef INT(WINAPI *PFN_UpdateEncryption)(PVOID handle, const BYTE *data, DWORD size, BYTE **out, DWORD *outSize);
typedef INT(WINAPI *PFN_EndEncryption)(PVOID handle, BYTE **out, DWORD *outSize);
typedef INT(WINAPI *PFN_DeleteEncryption)(PVOID handle);
// Asks the user for the job's password into a kKeyBytes buffer.
typedef INT(WINAPI *PFN_DispPasswordUI)(LPSTR out);

// Clears key material in a way the compiler does not drop as a dead store.
inline void WipeSecret(void *buffer, size_t size)
{
    volatile BYTE *p = static_cast<volatile BYTE *>(buffer);
    while (size--) *p++ = 0;
}

} // namespace zep
