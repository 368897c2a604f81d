// The stand-in core driver's configuration module: the spooler's calls, as plain functions the exports hand to.
#pragma once
#include "common/win32.h"

#include <cstddef>

namespace zep::confmod {

// The spooler's request record for DrvDocumentPropertySheets without a property sheet (the printer interface
// DLL's header of the driver kit), declared from its documented layout.
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    DEVMODEW *pdmIn;
    DEVMODEW *pdmOut;
    DWORD cbOut;
    DWORD fMode;
};
#if defined(_WIN64) || defined(__x86_64__)
static_assert(sizeof(DocumentPropertyHeader) == 48);
static_assert(offsetof(DocumentPropertyHeader, hPrinter) == 8);
static_assert(offsetof(DocumentPropertyHeader, cbOut) == 40);
#else
static_assert(sizeof(DocumentPropertyHeader) == 28);
static_assert(offsetof(DocumentPropertyHeader, hPrinter) == 4);
static_assert(offsetof(DocumentPropertyHeader, cbOut) == 20);
#endif

// fMode bits of a DocumentProperties request.
inline constexpr DWORD kModeOutBuffer = 2;  // DM_OUT_BUFFER (DM_COPY)
inline constexpr DWORD kModeInPrompt = 4;   // DM_IN_PROMPT
inline constexpr DWORD kModeInBuffer = 8;   // DM_IN_BUFFER

inline constexpr WORD kSpecVersion = 0x0401;
inline constexpr WORD kDriverVersion = 0x0100;

// DrvDocumentPropertySheets without a sheet. The printer's defaults carry no private part: the stand-in core
// driver builds each job's DEVMODE from the PPD, so a stored default never stands in for it. Returns the DEVMODE
// size for a size query (fMode 0 or no output), 1 (IDOK) when the output was written, -1 on a bad request.
LONG DocumentDefaults(DocumentPropertyHeader *header);

// GDI_ERROR, the answer for a capability the stand-in does not have.
inline constexpr DWORD kCapabilityUnsupported = 0xFFFFFFFF;

// DrvDeviceCapabilities: the few DEVMODE facts the spooler and GDI ask for; kCapabilityUnsupported for the rest.
DWORD DeviceCapability(WORD capability);

} // namespace zep::confmod
