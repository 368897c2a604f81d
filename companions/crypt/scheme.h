// The sample library's cipher plumbing and its job stream scheme, shared by the library (which encrypts) and the
// printer-side decoder (which decrypts as the printer does). See zepcrypt.h for the formats.
#pragma once
#include <gcrypt.h>

#include <cstddef>
#include <memory>
#include <type_traits>

#include "companions/crypt/zepcrypt.h"

namespace zepcrypt {

inline constexpr BYTE kStreamMagic[4] = {'Z', 'E', 'C', '1'};
inline constexpr size_t kSaltSize = 16;
inline constexpr size_t kCounterSize = 16;
inline constexpr size_t kDerivedSize = 64;
// PBKDF2 iterations by level 0-3; a higher level only costs the printer more time per job.
inline constexpr unsigned long kIterations[] = {4096, 8192, 16384, 32768};
inline constexpr unsigned long kMaxIterations = 1u << 20; // what a header may ask of the decrypting side

// Started once per process; a host that set libgcrypt up itself keeps its settings.
bool CipherLibraryReady();

struct CipherCloser {
    void operator()(gcry_cipher_hd_t h) const { gcry_cipher_close(h); }
};
struct MacCloser {
    void operator()(gcry_mac_hd_t h) const { gcry_mac_close(h); }
};
using Cipher = std::unique_ptr<std::remove_pointer_t<gcry_cipher_hd_t>, CipherCloser>;
using Mac = std::unique_ptr<std::remove_pointer_t<gcry_mac_hd_t>, MacCloser>;

// Wipes key material when it goes out of scope.
template <size_t N>
struct Secret {
    BYTE bytes[N] = {};
    ~Secret()
    {
        volatile BYTE *p = bytes; // a plain fill of a dying object may be optimised away
        for (size_t i = 0; i < N; ++i) p[i] = 0;
    }
};

Cipher OpenCipher(int algo, int mode);
Mac OpenMac(const BYTE *key, size_t size);

void PutLe32(BYTE *p, DWORD v);
DWORD GetLe32(const BYTE *p);

// A job stream's keyed cipher (CTR) and MAC, set up from its header.
struct StreamKeys {
    Cipher cipher;
    Mac mac;
};

// A fresh header (random salt and counter) for mode and level, and the keys it gives with the key bytes; the MAC has
// taken the header. ZEPCRYPT_OK or ZEPCRYPT_E_CIPHER.
int StartEncrypting(DWORD mode, DWORD level, const BYTE *key, size_t keySize, BYTE (&header)[kZepCryptHeaderSize],
                    StreamKeys &keys);

// The printer's side of one job stream: the header, then the ciphertext in pieces, each taken into the MAC and
// decrypted, then the MAC checked. Nothing decrypted may be trusted until Verify succeeds.
class JobStreamDecryptor {
public:
    // ZEPCRYPT_E_PARAMETER for a header that is not this scheme's or asks more than maxIterations,
    // ZEPCRYPT_E_CIPHER when the cipher library fails.
    int Start(const BYTE *key, size_t keySize, const BYTE *header, unsigned long maxIterations = kMaxIterations);
    // The ciphertext into the MAC; Decrypt may follow on the same bytes.
    int Absorb(const BYTE *data, size_t size);
    int Decrypt(const BYTE *data, size_t size, BYTE *out);
    // ZEPCRYPT_OK when mac (kZepCryptTrailerSize bytes) is the stream's, else ZEPCRYPT_E_AUTH. Decrypt may still
    // follow, so a whole job can be checked before any of it is decrypted.
    int Verify(const BYTE *mac);

private:
    StreamKeys keys_;
};

} // namespace zepcrypt
