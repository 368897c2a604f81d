// The sample encryption library as both plug-ins call it: stored password, job stream, and its own dialogs.
#include "common/win32.h"
#include "companions/crypt/crypt_ids.h"
#include "companions/crypt/zepcrypt.h"
#include "host/core/session.h"
#include "host/core/text.h"
#include "zep_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/host_test_util.h"

using namespace host_test;
using zep::host::FunctionCast;
using zep::host::Widen;
using Bytes = std::vector<BYTE>;

namespace {

class CryptLibrary : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryW(Widen((BuildDir() / "stage" / "driver" / "ZepCrypt.dll").string()).c_str());
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
        F f = FunctionCast<F>(GetProcAddress(module_, name));
        EXPECT_NE(f, nullptr) << name;
        return f;
    }

    Bytes Encrypt(const std::string &password)
    {
        Bytes out(255, 0xcc);
        DWORD size = static_cast<DWORD>(out.size());
        if (!encrypt(password.data(), static_cast<DWORD>(password.size()), out.data(), &size)) return {};
        out.resize(size);
        return out;
    }

    // One job through the stream calls; empty when any call fails.
    Bytes EncryptJob(const std::function<int(ZEPCRYPT_HANDLE, BYTE **, DWORD *)> &init, const std::vector<Bytes> &blocks)
    {
        ZEPCRYPT_HANDLE h = create();
        EXPECT_NE(h, nullptr);
        Bytes job;
        BYTE *out = nullptr;
        DWORD size = 0;
        bool ok = init(h, &out, &size) == 0;
        if (ok) job.insert(job.end(), out, out + size);
        for (const Bytes &b : blocks) {
            if (!ok) break;
            ok = update(h, b.data(), static_cast<DWORD>(b.size()), &out, &size) == 0 && size == b.size();
            if (ok) job.insert(job.end(), out, out + size);
        }
        ok = ok && end(h, &out, &size) == 0;
        if (ok) job.insert(job.end(), out, out + size);
        EXPECT_EQ(destroy(h), 0);
        return ok ? job : Bytes{};
    }

    int DecryptJob(const std::string &key, const Bytes &job, Bytes &plain)
    {
        plain.assign(job.size(), 0);
        DWORD size = static_cast<DWORD>(plain.size());
        int rc = decryptJob(reinterpret_cast<const BYTE *>(key.data()), static_cast<DWORD>(key.size()), job.data(),
                            static_cast<DWORD>(job.size()), plain.data(), &size);
        plain.resize(rc == 0 ? size : 0);
        return rc;
    }

    static ZepCryptInitRecord Record(DWORD mode, DWORD level, const std::string &key)
    {
        ZepCryptInitRecord r{};
        r.dwCryptoMode = mode;
        r.dwCryptoLevel = level;
        std::memcpy(r.key, key.data(), std::min(key.size(), sizeof r.key));
        return r;
    }

    static HMODULE module_;
    PFN_ZepEncryptPassword encrypt = Get<PFN_ZepEncryptPassword>("EncryptPassword");
    PFN_ZepDecryptPassword decrypt = Get<PFN_ZepDecryptPassword>("DecryptPassword");
    PFN_ZepCreateEncryption create = Get<PFN_ZepCreateEncryption>("CreateEncryption");
    PFN_ZepInitEncryption init = Get<PFN_ZepInitEncryption>("InitEncryption");
    PFN_ZepInitEncryptionEx initEx = Get<PFN_ZepInitEncryptionEx>("InitEncryptionEx");
    PFN_ZepInitEncryptionEx2 initEx2 = Get<PFN_ZepInitEncryptionEx2>("InitEncryptionEx2");
    PFN_ZepUpdateEncryption update = Get<PFN_ZepUpdateEncryption>("UpdateEncryption");
    PFN_ZepEndEncryption end = Get<PFN_ZepEndEncryption>("EndEncryption");
    PFN_ZepDeleteEncryption destroy = Get<PFN_ZepDeleteEncryption>("DeleteEncryption");
    PFN_ZepDecryptEncryptedJob decryptJob = Get<PFN_ZepDecryptEncryptedJob>("DecryptEncryptedJob");
};
HMODULE CryptLibrary::module_ = nullptr;

TEST_F(CryptLibrary, StoredPasswordRoundTripsWithinTheCallersCapacity)
{
    const struct {
        const char *name;
        std::string password;
        DWORD capacity; // of the decrypting caller: 13 in the UI, 33 when rendering
        bool fits;
    } cases[] = {
        {"four digits in the UI", "1234", 13, true},
        {"twelve characters in the UI", "abcdefghijkl", 13, true},
        {"thirteen do not fit the UI's buffer", "abcdefghijklm", 13, false},
        {"32 bytes when rendering", std::string(32, 'k'), 33, true},
        {"empty", "", 13, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes blob = Encrypt(c.password);
        ASSERT_FALSE(blob.empty());
        EXPECT_EQ(blob.size(), kZepCryptPasswordBlobFixed + c.password.size());
        EXPECT_EQ(std::string(blob.begin(), blob.end()).find(c.password.empty() ? "\x01\x02" : c.password),
                  std::string::npos)
            << "the password is not in clear";
        std::vector<CHAR> out(c.capacity, 'X');
        DWORD size = c.capacity;
        const int ok = decrypt(blob.data(), static_cast<DWORD>(blob.size()), out.data(), &size);
        EXPECT_EQ(ok != 0, c.fits);
        if (c.fits) {
            EXPECT_EQ(std::string(out.data()), c.password);
            EXPECT_EQ(size, c.password.size());
        } else {
            EXPECT_EQ(out[0], 'X') << "a refused call writes nothing";
        }
    }
    EXPECT_NE(Encrypt("1234"), Encrypt("1234")) << "a fresh nonce each time";
}

TEST_F(CryptLibrary, PasswordCallsRefuseBadInput)
{
    const Bytes good = Encrypt("1234");
    auto decryptOf = [&](Bytes blob) {
        CHAR out[13] = "unchanged";
        DWORD size = sizeof out;
        const int ok = decrypt(blob.data(), static_cast<DWORD>(blob.size()), out, &size);
        EXPECT_STREQ(out, "unchanged");
        return ok;
    };
    Bytes flipped = good;
    flipped.back() ^= 1;
    Bytes body = good;
    body[16] ^= 0x80;
    Bytes magic = good;
    magic[0] = 'Y';
    Bytes cut(good.begin(), good.end() - 1);
    EXPECT_EQ(decryptOf(flipped), 0) << "damaged tag";
    EXPECT_EQ(decryptOf(body), 0) << "damaged ciphertext";
    EXPECT_EQ(decryptOf(magic), 0) << "foreign blob";
    EXPECT_EQ(decryptOf(cut), 0) << "cut short";
    EXPECT_EQ(decryptOf(Bytes(8, 0)), 0) << "too short for a blob";

    BYTE out[255];
    DWORD size = kZepCryptPasswordBlobFixed + 3; // one byte short for "1234"
    EXPECT_EQ(encrypt("1234", 4, out, &size), 0);
    size = sizeof out;
    EXPECT_EQ(encrypt(std::string(33, 'a').c_str(), 33, out, &size), 0) << "longer than any key";
    EXPECT_EQ(encrypt(nullptr, 4, out, &size), 0);
    EXPECT_EQ(encrypt("1234", 4, nullptr, &size), 0);
    EXPECT_EQ(encrypt("1234", 4, out, nullptr), 0);
    CHAR plain[13];
    EXPECT_EQ(decrypt(nullptr, 20, plain, &size), 0);
    EXPECT_EQ(decrypt(good.data(), static_cast<DWORD>(good.size()), nullptr, &size), 0);
}

TEST_F(CryptLibrary, JobStreamRoundTripsForEachInitForm)
{
    const std::vector<Bytes> blocks = {Bytes{'%', '!', 'P', 'S'}, Bytes{}, Bytes(5000, 0x41), Bytes{0x04}};
    Bytes plain;
    for (const Bytes &b : blocks) plain.insert(plain.end(), b.begin(), b.end());
    const std::string card(20, '\x5a');
    const struct {
        const char *name;
        std::function<int(ZEPCRYPT_HANDLE, BYTE **, DWORD *)> init;
        std::string key;
    } cases[] = {
        {"password, AES-256",
         [&](ZEPCRYPT_HANDLE h, BYTE **o, DWORD *s) {
             auto r = Record(1, 2, "1234");
             return init(h, &r, o, s);
         },
         "1234"},
        {"password, AES-128, lowest level",
         [&](ZEPCRYPT_HANDLE h, BYTE **o, DWORD *s) {
             auto r = Record(0, 0, "pass word");
             return init(h, &r, o, s);
         },
         "pass word"},
        {"card data",
         [&](ZEPCRYPT_HANDLE h, BYTE **o, DWORD *s) {
             auto r = Record(1, 3, card);
             return initEx(h, &r, 20, o, s);
         },
         card},
        {"card data, version 2",
         [&](ZEPCRYPT_HANDLE h, BYTE **o, DWORD *s) {
             auto r = Record(1, 1, card);
             return initEx2(h, 2, &r, 20, o, s);
         },
         card},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes job = EncryptJob(c.init, blocks);
        ASSERT_EQ(job.size(), kZepCryptHeaderSize + plain.size() + kZepCryptTrailerSize);
        EXPECT_EQ(std::search(job.begin(), job.end(), blocks[2].begin(), blocks[2].begin() + 64), job.end())
            << "no clear text in the job";
        Bytes back;
        EXPECT_EQ(DecryptJob(c.key, job, back), ZEPCRYPT_OK);
        EXPECT_EQ(back, plain);
        EXPECT_EQ(DecryptJob(c.key + "x", job, back), ZEPCRYPT_E_AUTH) << "wrong key";
        Bytes damaged = job;
        damaged[kZepCryptHeaderSize + 100] ^= 1;
        EXPECT_EQ(DecryptJob(c.key, damaged, back), ZEPCRYPT_E_AUTH) << "damaged ciphertext";
    }
}

TEST_F(CryptLibrary, StreamCallsOutOfOrderOrWithBadInputFail)
{
    BYTE *out = nullptr;
    DWORD size = 0;
    const BYTE data[4] = {1, 2, 3, 4};
    auto record = Record(1, 2, "1234");

    ZEPCRYPT_HANDLE h = create();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(update(h, data, 4, &out, &size), ZEPCRYPT_E_STATE) << "update before init";
    EXPECT_EQ(end(h, &out, &size), ZEPCRYPT_E_STATE) << "end before init";
    auto empty = Record(1, 2, "");
    EXPECT_EQ(init(h, &empty, &out, &size), ZEPCRYPT_E_PARAMETER) << "empty password";
    ZepCryptInitRecord unterminated{};
    std::memset(unterminated.key, 'a', sizeof unterminated.key);
    EXPECT_EQ(init(h, &unterminated, &out, &size), ZEPCRYPT_E_PARAMETER) << "password without terminator";
    EXPECT_EQ(initEx(h, &record, 0, &out, &size), ZEPCRYPT_E_PARAMETER) << "no card data";
    EXPECT_EQ(initEx(h, &record, 34, &out, &size), ZEPCRYPT_E_PARAMETER) << "more card data than the record holds";
    EXPECT_EQ(initEx2(h, 1, &record, 4, &out, &size), ZEPCRYPT_E_PARAMETER) << "unknown version";
    auto badMode = Record(7, 2, "1234");
    EXPECT_EQ(init(h, &badMode, &out, &size), ZEPCRYPT_E_PARAMETER) << "unknown mode";
    EXPECT_EQ(init(h, nullptr, &out, &size), ZEPCRYPT_E_PARAMETER);
    ASSERT_EQ(init(h, &record, &out, &size), ZEPCRYPT_OK);
    EXPECT_EQ(size, kZepCryptHeaderSize);
    EXPECT_EQ(init(h, &record, &out, &size), ZEPCRYPT_E_STATE) << "second init";
    EXPECT_EQ(update(h, nullptr, 4, &out, &size), ZEPCRYPT_E_PARAMETER);
    EXPECT_EQ(update(h, data, 4, nullptr, &size), ZEPCRYPT_E_PARAMETER);
    ASSERT_EQ(end(h, &out, &size), ZEPCRYPT_OK);
    EXPECT_EQ(update(h, data, 4, &out, &size), ZEPCRYPT_E_STATE) << "update after end";
    EXPECT_EQ(end(h, &out, &size), ZEPCRYPT_E_STATE) << "second end";
    EXPECT_EQ(destroy(h), ZEPCRYPT_OK);
    EXPECT_EQ(destroy(h), ZEPCRYPT_E_PARAMETER) << "deleted handle";
    EXPECT_EQ(update(h, data, 4, &out, &size), ZEPCRYPT_E_PARAMETER) << "deleted handle";
    int local = 0;
    EXPECT_EQ(end(&local, &out, &size), ZEPCRYPT_E_PARAMETER) << "a pointer the library never gave";
    EXPECT_EQ(destroy(nullptr), ZEPCRYPT_E_PARAMETER);

    Bytes plain;
    EXPECT_EQ(DecryptJob("1234", Bytes(10, 0), plain), ZEPCRYPT_E_PARAMETER) << "shorter than header and trailer";
}

// ---- The library's own dialogs, answered through the headless window manager --------------------------------

struct Scripted {
    std::function<void(HWND)> act;
    std::vector<std::u16string> boxes;
};

void CALLBACK RunScript(HWND dialog, void *context) { static_cast<Scripted *>(context)->act(dialog); }
int CALLBACK NoteBox(const ZEP_UI_MESSAGEBOX *box, void *context)
{
    static_cast<Scripted *>(context)->boxes.emplace_back(box->text);
    return IDOK;
}

class CryptDialogs : public CryptLibrary {
protected:
    void SetUp() override
    {
        CryptLibrary::SetUp();
        ZepUiSetModalHook(RunScript, &script_);
        ZepUiSetMessageBoxHook(NoteBox, &script_);
    }
    void TearDown() override
    {
        ZepUiSetModalHook(nullptr, nullptr);
        ZepUiSetMessageBoxHook(nullptr, nullptr);
        ZepUiDestroyAllWindows();
    }
    static void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    static void SetText(HWND dialog, int id, const char *text) { SetDlgItemTextW(dialog, id, Widen(text).c_str()); }

    Scripted script_;
    PFN_ZepDispCryptoUIEx show = Get<PFN_ZepDispCryptoUIEx>("DispCryptoUIEx");
    PFN_ZepDispPasswordUI prompt = Get<PFN_ZepDispPasswordUI>("DispPasswordUI");
};

TEST_F(CryptDialogs, SettingsDialogEditsTheRecordOnlyOnOk)
{
    ZepCryptSetting setting{1, 2, "1234", 0, 0x20000, 0};
    bool passwordEnabled = false;
    int shownLevel = -1;
    script_.act = [&](HWND d) {
        shownLevel = static_cast<int>(SendDlgItemMessageW(d, IDC_CRYPTO_LEVEL, CB_GETCURSEL, 0, 0));
        passwordEnabled = IsWindowEnabled(GetDlgItem(d, IDC_CRYPTO_PASSWORD));
        SetText(d, IDC_CRYPTO_PASSWORD, "9876");
        SendDlgItemMessageW(d, IDC_CRYPTO_MODE, CB_SETCURSEL, 0, 0);
        SendDlgItemMessageW(d, IDC_CRYPTO_LEVEL, CB_SETCURSEL, 3, 0);
        SetText(d, IDC_CRYPTO_HOURS, "1");
        SetText(d, IDC_CRYPTO_MINUTES, "30");
        CheckDlgButton(d, IDC_CRYPTO_ASK, BST_CHECKED);
        Press(d, IDOK);
    };
    EXPECT_EQ(show(nullptr, &setting, 0), 1);
    EXPECT_EQ(shownLevel, 2);
    EXPECT_TRUE(passwordEnabled);
    EXPECT_STREQ(setting.szPassword, "9876");
    EXPECT_EQ(setting.dwCryptoMode, 0u);
    EXPECT_EQ(setting.dwCryptoLevel, 3u);
    EXPECT_EQ(setting.dwCryptoTime, 0x1001Eu);
    EXPECT_EQ(setting.dwAskPassword, 1u);

    const ZepCryptSetting before = setting;
    script_.act = [&](HWND d) {
        SetText(d, IDC_CRYPTO_PASSWORD, "5555");
        Press(d, IDCANCEL);
    };
    EXPECT_EQ(show(nullptr, &setting, 0), 0);
    EXPECT_EQ(std::memcmp(&setting, &before, sizeof setting), 0);
    EXPECT_EQ(show(nullptr, nullptr, 0), 0);
}

TEST_F(CryptDialogs, SettingsDialogRefusesWhatCannotBeUsed)
{
    const struct {
        const char *name;
        DWORD mode;
        const char *password;
        bool ask;
        const char *hours;
        const char *minutes;
        bool accepted;
    } cases[] = {
        {"no password and no print-time prompt", 0, "", false, "2", "0", false},
        {"no password, asked when printing", 0, "", true, "2", "0", true},
        {"no password where the prompt cannot be shown", 1, "", true, "2", "0", false},
        {"a card needs no password", 2, "", false, "2", "0", true},
        {"a keeping time of zero", 0, "1234", false, "0", "0", false},
        {"60 minutes", 0, "1234", false, "0", "60", false},
        {"a space in the password", 0, "12 4", false, "2", "0", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ZepCryptSetting setting{1, 2, "", 0, 0x20000, 0};
        script_.boxes.clear();
        bool askEnabled = true;
        script_.act = [&](HWND d) {
            askEnabled = IsWindowEnabled(GetDlgItem(d, IDC_CRYPTO_ASK));
            SetText(d, IDC_CRYPTO_PASSWORD, c.password);
            if (c.ask && askEnabled) CheckDlgButton(d, IDC_CRYPTO_ASK, BST_CHECKED);
            SetText(d, IDC_CRYPTO_HOURS, c.hours);
            SetText(d, IDC_CRYPTO_MINUTES, c.minutes);
            Press(d, IDOK);
            if (IsWindow(d) && !c.accepted) Press(d, IDCANCEL);
        };
        EXPECT_EQ(show(nullptr, &setting, c.mode), c.accepted ? 1 : 0);
        EXPECT_EQ(script_.boxes.size(), c.accepted ? 0u : 1u);
        EXPECT_EQ(askEnabled, c.mode == 0);
    }
}

TEST_F(CryptDialogs, PasswordPromptFillsTheKeyBufferOnOk)
{
    CHAR key[33];
    std::memset(key, 'X', sizeof key);
    script_.act = [&](HWND d) {
        SetText(d, IDC_CRYPTO_PASSWORD, "");
        Press(d, IDOK); // refused: nothing typed
        SetText(d, IDC_CRYPTO_PASSWORD, "4711");
        Press(d, IDOK);
    };
    EXPECT_EQ(prompt(key), 1);
    EXPECT_STREQ(key, "4711");
    EXPECT_EQ(script_.boxes.size(), 1u);

    std::memset(key, 'X', sizeof key);
    script_.act = [&](HWND d) { Press(d, IDCANCEL); };
    EXPECT_EQ(prompt(key), 0);
    EXPECT_EQ(key[0], 'X');
}

} // namespace
