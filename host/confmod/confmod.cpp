// The stand-in core driver's configuration module: Wine's and Windows' spooler load the driver's pConfigFile and
// call these entry points at AddPrinter and DocumentProperties time; the stand-in offers defaults and no UI.
#include "host/confmod/confmod.h"

#include <cstring>

namespace zep::confmod {

namespace {

struct Capability {
    WORD index;
    DWORD value;
};
// DC_FIELDS, DC_SIZE, DC_EXTRA, DC_VERSION, DC_DRIVER.
constexpr Capability kCapabilities[] = {
    {1, 0}, {8, sizeof(DEVMODEW)}, {9, 0}, {10, kSpecVersion}, {11, kDriverVersion},
};

void FillDefaults(DEVMODEW &dm, const WCHAR *printerName)
{
    std::memset(&dm, 0, sizeof dm);
    // dmDeviceName holds 31 characters and a NUL; a longer name is cut, as the spooler cuts it.
    const size_t room = sizeof dm.dmDeviceName / sizeof dm.dmDeviceName[0] - 1;
    for (size_t i = 0; printerName && i < room && printerName[i]; ++i) dm.dmDeviceName[i] = printerName[i];
    dm.dmSpecVersion = kSpecVersion;
    dm.dmDriverVersion = kDriverVersion;
    dm.dmSize = sizeof(DEVMODEW);
}

} // namespace

LONG DocumentDefaults(DocumentPropertyHeader *header)
{
    if (!header || header->cbSize < sizeof(DocumentPropertyHeader)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (header->fMode == 0 || !header->pdmOut) {
        header->cbOut = sizeof(DEVMODEW);
        return sizeof(DEVMODEW);
    }
    if (header->fMode & kModeInPrompt) {
        // There are no pages to show.
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }
    if (header->cbOut < sizeof(DEVMODEW)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return -1;
    }
    DEVMODEW dm;
    FillDefaults(dm, header->pszPrinterName);
    const DEVMODEW *in = header->pdmIn;
    if ((header->fMode & kModeInBuffer) && in && in->dmSize >= sizeof(DEVMODEW)) {
        // The caller's public settings stand; their private part, if any, is not ours to keep.
        WCHAR name[sizeof dm.dmDeviceName / sizeof dm.dmDeviceName[0]];
        std::memcpy(name, dm.dmDeviceName, sizeof name);
        std::memcpy(&dm, in, sizeof dm);
        std::memcpy(dm.dmDeviceName, name, sizeof name);
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmDriverExtra = 0;
    }
    if (header->fMode & kModeOutBuffer) std::memcpy(header->pdmOut, &dm, sizeof dm);
    return 1;
}

DWORD DeviceCapability(WORD capability)
{
    for (const Capability &c : kCapabilities)
        if (c.index == capability) return c.value;
    return kCapabilityUnsupported;
}

} // namespace zep::confmod

extern "C" {

DECLSPEC_EXPORT LONG WINAPI DrvDocumentPropertySheets(void *sheetInfo, LPARAM lParam)
{
    if (sheetInfo) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }
    return zep::confmod::DocumentDefaults(reinterpret_cast<zep::confmod::DocumentPropertyHeader *>(lParam));
}

DECLSPEC_EXPORT DWORD WINAPI DrvDeviceCapabilities(HANDLE, LPWSTR, WORD capability, void *, DEVMODEW *)
{
    return zep::confmod::DeviceCapability(capability);
}

// Installation events need nothing from the stand-in; success lets the spooler go on.
DECLSPEC_EXPORT BOOL WINAPI DrvPrinterEvent(LPWSTR, INT, DWORD, LPARAM) { return TRUE; }
DECLSPEC_EXPORT BOOL WINAPI DrvDriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return TRUE; }

} // extern "C"
