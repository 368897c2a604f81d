// The About dialog and the version texts it shows, as functions over plain inputs.
#pragma once
#include "common/win32.h"

namespace zep {

inline constexpr int kAboutTextChars = 256;
inline constexpr int kInternalVersionChars = 511;

struct AboutTexts {
    WCHAR driverVersion[kAboutTextChars + kInternalVersionChars + 2] = {};
    WCHAR internalVersion[kInternalVersionChars + 1] = {}; // shown by the hidden double click
    WCHAR ppdVersion[kAboutTextChars + 1] = {};
    WCHAR copyright[kAboutTextChars + 1] = {};
    WCHAR ppdFile[MAX_PATH] = {};
};

// The PPD beside the plug-in INI file: the INI path with its extension replaced by "PPD"; false when the
// result does not fit or the name has no extension.
bool PpdPathFromIni(LPCWSTR pluginIni, WCHAR (&out)[MAX_PATH]);
// The PPD's "FileVersion" value and copyright line ("" when the file or line is missing).
void ReadPpdTexts(LPCWSTR ppdPath, AboutTexts &texts);
// The driver version from the version file: "OptionVer" as is, else the "DriverVer" version with the
// "InternalVer" build suffix; the full "InternalVer" goes to internalVersion.
void ReadDriverVersion(LPCWSTR versionFile, AboutTexts &texts);
// The build suffix of an "InternalVer" text (see ReadDriverVersion); "" when it has fewer than two hyphens.
void InternalSuffix(LPCWSTR internalVer, WCHAR *out, int cchOut);

struct AboutEnvironment {
    HINSTANCE module = nullptr;
    bool newSystem = false;
    LPCWSTR helpFile = nullptr;
};

// Runs dialog 117 with the texts: 1 on OK.
INT_PTR RunAboutDialog(HWND owner, const AboutTexts &texts, const AboutEnvironment &env);

} // namespace zep
