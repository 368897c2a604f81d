// Sample encryption library: default settings, the stored password and the job stream cipher (see zepcrypt.h).
#include "companions/crypt/scheme.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

constexpr DWORD kDefaultMode = 1;           // AES-256
constexpr DWORD kDefaultLevel = 2;          // the middle of levels 0 to 3
constexpr DWORD kDefaultKeeping = 0x20000;  // jobs are kept 2:00 (hours in the high word, minutes in the low)

constexpr BYTE kBlobMagic[4] = {'Z', 'P', 1, 0};
constexpr size_t kNonceSize = 12;
constexpr size_t kTagSize = 16;

using namespace zepcrypt;

// The built-in key that protects stored passwords.
void PasswordStoreKey(BYTE (&key)[32])
{
    static const char kText[] = "ZepCrypt stored job password, format 1";
    gcry_md_hash_buffer(GCRY_MD_SHA256, key, kText, sizeof kText - 1);
}

// One job's stream: header out at Init, ciphertext per Update, the MAC at End.
struct Stream {
    enum class State { Created, Running, Ended } state = State::Created;
    Cipher cipher;
    Mac mac;
    std::vector<BYTE> out;
};

std::mutex g_streamsLock;
std::set<Stream *> g_streams; // live handles: an unknown or deleted one is refused instead of used

Stream *Find(ZEPCRYPT_HANDLE h)
{
    std::lock_guard<std::mutex> lock(g_streamsLock);
    auto it = g_streams.find(static_cast<Stream *>(h));
    return it == g_streams.end() ? nullptr : *it;
}

int StartStream(ZEPCRYPT_HANDLE h, const ZepCryptInitRecord *record, DWORD keySize, BYTE **out, DWORD *outSize)
{
    Stream *s = Find(h);
    if (!s || !record || !out || !outSize || keySize == 0 || keySize > kZepCryptMaxPassword)
        return ZEPCRYPT_E_PARAMETER;
    if (s->state != Stream::State::Created) return ZEPCRYPT_E_STATE;
    if (record->dwCryptoMode > 1) return ZEPCRYPT_E_PARAMETER;
    BYTE header[kZepCryptHeaderSize];
    StreamKeys keys;
    if (StartEncrypting(record->dwCryptoMode, record->dwCryptoLevel, record->key, keySize, header, keys) != ZEPCRYPT_OK)
        return ZEPCRYPT_E_CIPHER;
    s->cipher = std::move(keys.cipher);
    s->mac = std::move(keys.mac);
    s->out.assign(header, header + sizeof header);
    s->state = Stream::State::Running;
    *out = s->out.data();
    *outSize = static_cast<DWORD>(s->out.size());
    return ZEPCRYPT_OK;
}

} // namespace

// Fills the record with defaults: no stored password, so none is asked for until the user sets one.
extern "C" DECLSPEC_EXPORT int WINAPI GetDefaultSetting(void *setting, int mode)
{
    (void)mode;
    if (!setting) return 0;
    ZepCryptSetting s{};
    s.dwCryptoMode = kDefaultMode;
    s.dwCryptoLevel = kDefaultLevel;
    s.dwAskPassword = 0;
    s.dwCryptoTime = kDefaultKeeping;
    std::memcpy(setting, &s, sizeof s);
    return 1;
}

// *size holds the capacity of out on entry and the blob's length on return; 0 when it does not fit.
extern "C" DECLSPEC_EXPORT int WINAPI EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size)
{
    if ((!text && length) || !out || !size || length > kZepCryptMaxPassword || !CipherLibraryReady()) return 0;
    const DWORD needed = kZepCryptPasswordBlobFixed + length;
    if (*size < needed) return 0;
    BYTE blob[kZepCryptPasswordBlobFixed + kZepCryptMaxPassword] = {};
    std::memcpy(blob, kBlobMagic, 4);
    BYTE *nonce = blob + 4;
    BYTE *body = nonce + kNonceSize;
    gcry_create_nonce(nonce, kNonceSize);
    Secret<32> key;
    PasswordStoreKey(key.bytes);
    Cipher cipher = OpenCipher(GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_GCM);
    if (!cipher || gcry_cipher_setkey(cipher.get(), key.bytes, 32) || gcry_cipher_setiv(cipher.get(), nonce, kNonceSize) ||
        gcry_cipher_authenticate(cipher.get(), blob, 4) ||
        (length && gcry_cipher_encrypt(cipher.get(), body, length, text, length)) ||
        gcry_cipher_gettag(cipher.get(), body + length, kTagSize))
        return 0;
    std::memcpy(out, blob, needed);
    *size = needed;
    return 1;
}

// *size holds the capacity of out (password and NUL) on entry and the password's length on return. A blob
// that is damaged, foreign or too long for out gives 0 and leaves out untouched.
extern "C" DECLSPEC_EXPORT int WINAPI DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size)
{
    if (!data || !out || !size || length < kZepCryptPasswordBlobFixed ||
        length > kZepCryptPasswordBlobFixed + kZepCryptMaxPassword || std::memcmp(data, kBlobMagic, 4) != 0 ||
        !CipherLibraryReady())
        return 0;
    const DWORD textLength = length - kZepCryptPasswordBlobFixed;
    if (*size < textLength + 1) return 0;
    const BYTE *nonce = data + 4;
    const BYTE *body = nonce + kNonceSize;
    Secret<kZepCryptMaxPassword + 1> plain;
    Secret<32> key;
    PasswordStoreKey(key.bytes);
    Cipher cipher = OpenCipher(GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_GCM);
    if (!cipher || gcry_cipher_setkey(cipher.get(), key.bytes, 32) || gcry_cipher_setiv(cipher.get(), nonce, kNonceSize) ||
        gcry_cipher_authenticate(cipher.get(), data, 4) ||
        (textLength && gcry_cipher_decrypt(cipher.get(), plain.bytes, textLength, body, textLength)) ||
        gcry_cipher_checktag(cipher.get(), body + textLength, kTagSize))
        return 0;
    std::memcpy(out, plain.bytes, textLength);
    out[textLength] = 0;
    *size = textLength;
    return 1;
}

extern "C" DECLSPEC_EXPORT ZEPCRYPT_HANDLE WINAPI CreateEncryption()
{
    if (!CipherLibraryReady()) return nullptr;
    auto s = std::make_unique<Stream>();
    std::lock_guard<std::mutex> lock(g_streamsLock);
    g_streams.insert(s.get());
    return s.release();
}

// The key is the record's NUL-terminated password.
extern "C" DECLSPEC_EXPORT int WINAPI InitEncryption(ZEPCRYPT_HANDLE h, const ZepCryptInitRecord *record, BYTE **out,
                                                     DWORD *outSize)
{
    if (!record) return ZEPCRYPT_E_PARAMETER;
    const auto key = reinterpret_cast<const char *>(record->key);
    const size_t length = std::find(key, key + sizeof record->key, '\0') - key;
    if (length == sizeof record->key) return ZEPCRYPT_E_PARAMETER; // no terminator: not a password
    return StartStream(h, record, static_cast<DWORD>(length), out, outSize);
}

// The key is keySize bytes of IC card data.
extern "C" DECLSPEC_EXPORT int WINAPI InitEncryptionEx(ZEPCRYPT_HANDLE h, const ZepCryptInitRecord *record,
                                                       DWORD keySize, BYTE **out, DWORD *outSize)
{
    return StartStream(h, record, keySize, out, outSize);
}

// Version 2 of the card form; other versions are refused.
extern "C" DECLSPEC_EXPORT int WINAPI InitEncryptionEx2(ZEPCRYPT_HANDLE h, DWORD version,
                                                        const ZepCryptInitRecord *record, DWORD keySize, BYTE **out,
                                                        DWORD *outSize)
{
    if (version != 2) return ZEPCRYPT_E_PARAMETER;
    return StartStream(h, record, keySize, out, outSize);
}

extern "C" DECLSPEC_EXPORT int WINAPI UpdateEncryption(ZEPCRYPT_HANDLE h, const BYTE *data, DWORD size, BYTE **out,
                                                       DWORD *outSize)
{
    Stream *s = Find(h);
    if (!s || (!data && size) || !out || !outSize) return ZEPCRYPT_E_PARAMETER;
    if (s->state != Stream::State::Running) return ZEPCRYPT_E_STATE;
    s->out.resize(size);
    if (size && (gcry_cipher_encrypt(s->cipher.get(), s->out.data(), size, data, size) ||
                 gcry_mac_write(s->mac.get(), s->out.data(), size)))
        return ZEPCRYPT_E_CIPHER;
    *out = s->out.data();
    *outSize = size;
    return ZEPCRYPT_OK;
}

extern "C" DECLSPEC_EXPORT int WINAPI EndEncryption(ZEPCRYPT_HANDLE h, BYTE **out, DWORD *outSize)
{
    Stream *s = Find(h);
    if (!s || !out || !outSize) return ZEPCRYPT_E_PARAMETER;
    if (s->state != Stream::State::Running) return ZEPCRYPT_E_STATE;
    s->out.resize(kZepCryptTrailerSize);
    size_t length = kZepCryptTrailerSize;
    if (gcry_mac_read(s->mac.get(), s->out.data(), &length) || length != kZepCryptTrailerSize) return ZEPCRYPT_E_CIPHER;
    s->state = Stream::State::Ended;
    s->cipher.reset();
    s->mac.reset();
    *out = s->out.data();
    *outSize = kZepCryptTrailerSize;
    return ZEPCRYPT_OK;
}

extern "C" DECLSPEC_EXPORT int WINAPI DeleteEncryption(ZEPCRYPT_HANDLE h)
{
    std::unique_ptr<Stream> s;
    {
        std::lock_guard<std::mutex> lock(g_streamsLock);
        auto it = g_streams.find(static_cast<Stream *>(h));
        if (it == g_streams.end()) return ZEPCRYPT_E_PARAMETER;
        s.reset(*it);
        g_streams.erase(it);
    }
    return ZEPCRYPT_OK;
}

extern "C" DECLSPEC_EXPORT int WINAPI DecryptEncryptedJob(const BYTE *key, DWORD keySize, const BYTE *job, DWORD size,
                                                          BYTE *out, DWORD *outSize)
{
    if (!key || keySize == 0 || keySize > kZepCryptMaxPassword || !job || !outSize ||
        size < kZepCryptHeaderSize + kZepCryptTrailerSize || !CipherLibraryReady())
        return ZEPCRYPT_E_PARAMETER;
    const DWORD bodySize = size - kZepCryptHeaderSize - kZepCryptTrailerSize;
    if (*outSize < bodySize || (!out && bodySize)) return ZEPCRYPT_E_PARAMETER;
    const BYTE *body = job + kZepCryptHeaderSize;
    // The MAC first: nothing is decrypted from a damaged or wrongly keyed job.
    JobStreamDecryptor stream;
    int rc = stream.Start(key, keySize, job);
    if (rc == ZEPCRYPT_OK) rc = stream.Absorb(body, bodySize);
    if (rc == ZEPCRYPT_OK) rc = stream.Verify(body + bodySize);
    if (rc == ZEPCRYPT_OK) rc = stream.Decrypt(body, bodySize, out);
    if (rc != ZEPCRYPT_OK) return rc;
    *outSize = bodySize;
    return ZEPCRYPT_OK;
}
