// The job settings record as the UI plug-in takes it over (DevMode convert and merge of any bytes), with the
// printer's configuration and the encryption library's defaults from the input too. Its defaults end every path
// they take from outside within its field, and what it keeps carries its own header.
#include <string>

#include "common/crypto.h"
#include "common/devmode_ui.h"
#include "common/oemintf.h"
#include "fuzz_input.h"

namespace {

class Defaults final : public zep::UiDefaultsSource {
public:
    std::u16string ini, cap, driverDir;
    bool haveDir = false, haveCrypto = false;
    zep::EncryptionSetting crypto{};
    int modelInt = 0;

    void FindDriverFiles(WCHAR *iniPath) override
    {
        if (!ini.empty()) Copy(ini, iniPath, MAX_PATH + 1);
    }
    LPCWSTR CapabilityFile() override { return cap.c_str(); }
    bool DriverDirectory(WCHAR *out, DWORD cch) override
    {
        if (haveDir) Copy(driverDir, out, cch);
        return haveDir;
    }
    bool EncryptionDefaults(zep::EncryptionSetting &setting) override
    {
        if (haveCrypto) setting = crypto;
        return haveCrypto;
    }
    int ModelInt(LPCWSTR) override { return modelInt; }

private:
    static void Copy(const std::u16string &s, WCHAR *out, DWORD cch)
    {
        size_t n = s.size() < cch ? s.size() : cch - 1;
        for (size_t i = 0; i < n; ++i) out[i] = s[i];
        out[n] = 0;
    }
};

template <size_t N>
bool Ended(const WCHAR (&field)[N])
{
    for (WCHAR c : field)
        if (c == 0) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input input(data, size);
    Defaults defaults;
    defaults.ini = input.Wide(300);
    defaults.cap = input.Wide(300);
    defaults.driverDir = input.Wide(300);
    defaults.haveDir = input.Flag();
    defaults.haveCrypto = input.Flag();
    defaults.crypto = zepfuzz::RecordFrom<zep::EncryptionSetting>(input.Bytes(sizeof(zep::EncryptionSetting)));
    defaults.modelInt = static_cast<int8_t>(input.Byte());
    DWORD mode = input.Flag() ? OEMDM_MERGE : OEMDM_CONVERT;

    auto record = zepfuzz::RecordFrom<zep::OemDevmode>(input.Rest());
    zep::OemDevmode out{};
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pOEMDMOut = &out;
    param.cbBufSize = sizeof out;
    FUZZ_CHECK(zep::UiDevMode(OEMDM_DEFAULT, &param, defaults) == S_OK, "defaults");
    FUZZ_CHECK(Ended(out.wszDriverDirectory) && Ended(out.wszPluginIniFile) && Ended(out.wszCapabilityFile),
               "a path from outside ends within its field");
    param.pOEMDMIn = &record;
    FUZZ_CHECK(zep::UiDevMode(mode, &param, defaults) == S_OK, "the record is taken over");

    FUZZ_CHECK(out.dwSize == sizeof out && out.dwSignature == zep::kOemSignature && out.dwVersion == zep::kOemVersion,
               "the record kept carries its own header");
    return 0;
}
