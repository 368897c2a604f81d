// Loading companion libraries and the IC card query.
#include "common/companions.h"

#include "common/config.h"
#include "common/cryptolib.h"
#include "common/library.h"

namespace zep {
namespace {

typedef DWORD(WINAPI *PFN_QueryCardDriver)(LPCSTR driverName, LPCSTR capabilityFile);
typedef DWORD(WINAPI *PFN_GetCardData)(LPCSTR driverName, LPCSTR capabilityFile, BYTE *key, DWORD *size);

// The card library reads the names into buffers of these sizes, terminator included.
constexpr int kDriverNameBytes = 221;
constexpr int kCapabilityPathBytes = 261;

} // namespace

Library LoadCompanion(HANDLE hPrinter, LPCWSTR key)
{
    WCHAR name[kCompanionNameChars] = {};
    GetModelString(hPrinter, key, name, kCompanionNameChars);
    WCHAR path[MAX_PATH];
    if (!name[0] || !DriverFilePath(path, name)) return Library();
    return Library(LoadLibraryW(path));
}

namespace {

// The card library's two calls take the printer's driver name and the capability file's path in ANSI.
struct CardNames {
    explicit CardNames(HANDLE hPrinter)
    {
        WCHAR driver[kDriverNameBytes] = {};
        GetDriverName(hPrinter, driver, kDriverNameBytes);
        WideCharToMultiByte(CP_ACP, 0, driver, -1, driverAnsi, kDriverNameBytes - 1, nullptr, nullptr);
        if (LPCWSTR capability = CapabilityFilePath())
            WideCharToMultiByte(CP_ACP, 0, capability, -1, capabilityAnsi, kCapabilityPathBytes - 1, nullptr, nullptr);
    }
    CHAR driverAnsi[kDriverNameBytes] = {};
    CHAR capabilityAnsi[kCapabilityPathBytes] = {};
};

} // namespace

DWORD QueryCardDriver(HANDLE hPrinter)
{
    Library library = LoadCompanion(hPrinter, TEXT("CARD_DLL"));
    auto query = GetExport<PFN_QueryCardDriver>(library.get(), "QueryCardDriver");
    if (!query) return 0;
    CardNames names(hPrinter);
    return query(names.driverAnsi, names.capabilityAnsi);
}

DWORD GetCardData(HANDLE hPrinter, BYTE *key, DWORD *size)
{
    Library library = LoadCompanion(hPrinter, TEXT("CARD_DLL"));
    auto read = GetExport<PFN_GetCardData>(library.get(), "GetCardData");
    if (!read || !key || !size) return 0;
    CardNames names(hPrinter);
    *size = kKeyBytes;
    return read(names.driverAnsi, names.capabilityAnsi, key, size);
}

} // namespace zep
