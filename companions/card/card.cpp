// Sample IC card library: reports an IC card driver only when its own configuration file says one is installed.
#include "common/win32.h"

#include <cstring>

namespace {

// The library's configuration lives beside the capability file.
constexpr char kConfigName[] = "ZepCard.ini";

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
