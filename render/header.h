// The PJL job header written at PSINJECT_BEGINSTREAM, and what it reads about the job and the driver.
#pragma once
#include <string>

#include "render/emit.h"
#include "render/jobtype.h"
#include "render/secure.h"

namespace zep {

inline constexpr char kUniversalExit[] = "\x1b%-12345X";
inline constexpr char kEnterPostScript[] = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";
inline constexpr DWORD kDriverVerChars = 64;
inline constexpr size_t kVersionTextBytes = 32;
inline constexpr size_t kDeviceNameBytes = 220;

// Everything the header asks the spooler and the driver's files. The real one works through the printer
// handle of the device object; tests answer from fields.
class JobHeaderSource : public JobNamePrompt {
public:
    virtual JobType EffectiveJobType() = 0;
    virtual bool CardDriverPresent() = 0;
    // The printer's driver name; "" when it cannot be read.
    virtual void DriverName(WCHAR *out, DWORD cch) = 0;
    // "DriverVer" of section "Version" in the version file, at most kDriverVerChars characters; "" without.
    virtual void DriverVersionValue(WCHAR *out, DWORD cch) = 0;

protected:
    ~JobHeaderSource() = default;
};

// The version text of a "DriverVer" value: what follows its first comma (which must lie within the first 32
// characters) up to a double quote or the end, at most 32 characters, each narrowed to its low byte. A
// character that narrows to a control byte ends the text, so the version file cannot break the PJL line.
std::string DriverVersionText(LPCWSTR value);

// The driver name in the system ANSI code page, at most 220 bytes, ended at the first control character.
std::string DeviceNameText(LPCWSTR driverName);

// The header: true when every item that counts was written in full; every item is tried regardless.
bool WriteJobHeader(const RenderCall &rc, JobHeaderSource &source, LPCSTR documentName);

} // namespace zep
