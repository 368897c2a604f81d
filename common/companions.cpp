// Loading companion libraries and the IC card query.
#include "common/companions.h"

#include "common/config.h"
#include "common/library.h"

namespace zep {
namespace {

typedef DWORD(WINAPI *PFN_QueryCardDriver)(LPCSTR driverName, LPCSTR capabilityFile);

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

DWORD QueryCardDriver(HANDLE hPrinter)
{
    Library library = LoadCompanion(hPrinter, TEXT("CARD_DLL"));
    auto query = GetExport<PFN_QueryCardDriver>(library.get(), "QueryCardDriver");
    if (!query) return 0;
    WCHAR driver[kDriverNameBytes] = {};
    GetDriverName(hPrinter, driver, kDriverNameBytes);
    CHAR driverAnsi[kDriverNameBytes] = {};
    CHAR capabilityAnsi[kCapabilityPathBytes] = {};
    WideCharToMultiByte(CP_ACP, 0, driver, -1, driverAnsi, kDriverNameBytes - 1, nullptr, nullptr);
    if (LPCWSTR capability = CapabilityFilePath())
        WideCharToMultiByte(CP_ACP, 0, capability, -1, capabilityAnsi, kCapabilityPathBytes - 1, nullptr, nullptr);
    return query(driverAnsi, capabilityAnsi);
}

} // namespace zep
