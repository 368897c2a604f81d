// Sample IC card library: reports an IC card driver only when its own configuration file says one is installed, and
// reads "the card in the reader" from that file too, so that tests choose the card.
#include "common/win32.h"

#include <cstring>

namespace {

// The library's configuration lives beside the capability file.
constexpr char kConfigName[] = "ZepCard.ini";
// The largest card the sample reader reads: the encryption library's longest key.
constexpr DWORD kMaxCardBytes = 32;

bool ConfigPathBeside(const char *capabilityFile, char (&out)[MAX_PATH])
{
    const char *slash = nullptr;
    for (const char *p = capabilityFile; *p; ++p)
        if (*p == '\\' || *p == '/') slash = p;
    size_t dirLength = slash ? static_cast<size_t>(slash - capabilityFile) + 1 : 0;
    if (dirLength + sizeof kConfigName > sizeof out) return false;
    std::memcpy(out, capabilityFile, dirLength);
    std::memcpy(out + dirLength, kConfigName, sizeof kConfigName);
    return true;
}

// A key's text from the section named after the driver, else from section "CardDriver".
DWORD ReadSetting(const char *driverName, const char *key, char *out, DWORD size, const char *path)
{
    DWORD n = GetPrivateProfileStringA(driverName, key, "", out, size, path);
    if (n == 0) n = GetPrivateProfileStringA("CardDriver", key, "", out, size, path);
    return n;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

// Non-zero when "Installed" of ZepCard.ini is non-zero: the key in the section named after the driver, else the
// key in section "CardDriver"; 0 when the file or the key is missing.
extern "C" DECLSPEC_EXPORT int WINAPI QueryCardDriver(const char *driverName, const char *capabilityFile)
{
    if (!driverName || !capabilityFile) return 0;
    char path[MAX_PATH];
    if (!ConfigPathBeside(capabilityFile, path)) return 0;
    UINT fallback = GetPrivateProfileIntA("CardDriver", "Installed", 0, path);
    return GetPrivateProfileIntA(driverName, "Installed", static_cast<INT>(fallback), path) != 0;
}

// The card's data, "CardData" of ZepCard.ini in hex (looked up like "Installed"): non-zero when key holds it, *size
// its length. *size holds the buffer's capacity on entry. No card, an empty or malformed one, or one larger than the
// buffer cannot be read: 0, with key and *size untouched.
extern "C" DECLSPEC_EXPORT int WINAPI GetCardData(const char *driverName, const char *capabilityFile, BYTE *key,
                                                  DWORD *size)
{
    if (!driverName || !capabilityFile || !key || !size) return 0;
    char path[MAX_PATH];
    if (!ConfigPathBeside(capabilityFile, path)) return 0;
    char hex[2 * kMaxCardBytes + 2] = {};
    const DWORD digits = ReadSetting(driverName, "CardData", hex, sizeof hex, path);
    if (digits == 0 || digits % 2 != 0 || digits > 2 * kMaxCardBytes || digits / 2 > *size) return 0;
    BYTE data[kMaxCardBytes];
    for (DWORD i = 0; i < digits / 2; ++i) {
        const int high = HexDigit(hex[2 * i]), low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) return 0;
        data[i] = static_cast<BYTE>(high << 4 | low);
    }
    std::memcpy(key, data, digits / 2);
    *size = digits / 2;
    return 1;
}
