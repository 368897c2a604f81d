// The sample library's cipher plumbing and the job stream's header, keys and decryption.
#include "companions/crypt/scheme.h"

#include <cstdarg>
#include <cstring>
#include <iterator>

namespace zepcrypt {
namespace {

int CipherAlgo(DWORD mode) { return mode == 0 ? GCRY_CIPHER_AES128 : GCRY_CIPHER_AES256; }
size_t CipherKeySize(DWORD mode) { return mode == 0 ? 16 : 32; }

// The header's fields after the magic.
constexpr size_t kModeAt = 4, kLevelAt = 5, kIterationsAt = 8, kSaltAt = 12, kCounterAt = kSaltAt + kSaltSize;
static_assert(kCounterAt + kCounterSize == kZepCryptHeaderSize);

// The cipher and MAC keyed from the key bytes and the header's salt, count and counter; the MAC takes the header.
int KeyStream(const BYTE *key, size_t keySize, const BYTE *header, DWORD mode, unsigned long iterations,
              StreamKeys &keys)
{
    Secret<kDerivedSize> derived;
    if (gcry_kdf_derive(key, keySize, GCRY_KDF_PBKDF2, GCRY_MD_SHA256, header + kSaltAt, kSaltSize, iterations,
                        kDerivedSize, derived.bytes))
        return ZEPCRYPT_E_CIPHER;
    Cipher cipher = OpenCipher(CipherAlgo(mode), GCRY_CIPHER_MODE_CTR);
    Mac mac = OpenMac(derived.bytes + 32, 32);
    if (!cipher || !mac || gcry_cipher_setkey(cipher.get(), derived.bytes, CipherKeySize(mode)) ||
        gcry_cipher_setctr(cipher.get(), header + kCounterAt, kCounterSize) ||
        gcry_mac_write(mac.get(), header, kZepCryptHeaderSize))
        return ZEPCRYPT_E_CIPHER;
    keys.cipher = std::move(cipher);
    keys.mac = std::move(mac);
    return ZEPCRYPT_OK;
}

// The library is loaded into a printing process: libgcrypt's notes (on Windows its entropy gatherer's advice about
// disk statistics) must not reach that process's console. Every failure reaches the caller as a result anyway.
void Quiet(void *, int, const char *, va_list) {}

} // namespace

bool CipherLibraryReady()
{
    static const bool ready = [] {
        if (!gcry_check_version(GCRYPT_VERSION)) return false;
        if (!gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P)) {
            gcry_set_log_handler(Quiet, nullptr);
            gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
            gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        }
        return true;
    }();
    return ready;
}

Cipher OpenCipher(int algo, int mode)
{
    gcry_cipher_hd_t h = nullptr;
    if (gcry_cipher_open(&h, algo, mode, 0)) return nullptr;
    return Cipher(h);
}

Mac OpenMac(const BYTE *key, size_t size)
{
    gcry_mac_hd_t h = nullptr;
    if (gcry_mac_open(&h, GCRY_MAC_HMAC_SHA256, 0, nullptr)) return nullptr;
    Mac mac(h);
    if (gcry_mac_setkey(h, key, size)) return nullptr;
    return mac;
}

void PutLe32(BYTE *p, DWORD v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

DWORD GetLe32(const BYTE *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }

int StartEncrypting(DWORD mode, DWORD level, const BYTE *key, size_t keySize, BYTE (&header)[kZepCryptHeaderSize],
                    StreamKeys &keys)
{
    if (level >= std::size(kIterations)) level = std::size(kIterations) - 1;
    std::memset(header, 0, sizeof header);
    std::memcpy(header, kStreamMagic, sizeof kStreamMagic);
    header[kModeAt] = static_cast<BYTE>(mode);
    header[kLevelAt] = static_cast<BYTE>(level);
    PutLe32(header + kIterationsAt, static_cast<DWORD>(kIterations[level]));
    gcry_randomize(header + kSaltAt, kSaltSize, GCRY_STRONG_RANDOM);
    gcry_create_nonce(header + kCounterAt, kCounterSize);
    return KeyStream(key, keySize, header, mode, kIterations[level], keys);
}

int JobStreamDecryptor::Start(const BYTE *key, size_t keySize, const BYTE *header, unsigned long maxIterations)
{
    keys_ = StreamKeys();
    if (!key || keySize == 0 || keySize > kZepCryptMaxPassword || !header || !CipherLibraryReady())
        return ZEPCRYPT_E_PARAMETER;
    const DWORD mode = header[kModeAt];
    const unsigned long iterations = GetLe32(header + kIterationsAt);
    if (std::memcmp(header, kStreamMagic, sizeof kStreamMagic) != 0 || mode > 1 || iterations == 0 ||
        iterations > maxIterations || iterations > kMaxIterations)
        return ZEPCRYPT_E_PARAMETER;
    return KeyStream(key, keySize, header, mode, iterations, keys_);
}

int JobStreamDecryptor::Absorb(const BYTE *data, size_t size)
{
    if (!keys_.mac) return ZEPCRYPT_E_STATE;
    return size && gcry_mac_write(keys_.mac.get(), data, size) ? ZEPCRYPT_E_CIPHER : ZEPCRYPT_OK;
}

int JobStreamDecryptor::Decrypt(const BYTE *data, size_t size, BYTE *out)
{
    if (!keys_.cipher) return ZEPCRYPT_E_STATE;
    return size && gcry_cipher_decrypt(keys_.cipher.get(), out, size, data, size) ? ZEPCRYPT_E_CIPHER : ZEPCRYPT_OK;
}

int JobStreamDecryptor::Verify(const BYTE *mac)
{
    if (!keys_.mac) return ZEPCRYPT_E_STATE;
    return gcry_mac_verify(keys_.mac.get(), mac, kZepCryptTrailerSize) ? ZEPCRYPT_E_AUTH : ZEPCRYPT_OK;
}

} // namespace zepcrypt
