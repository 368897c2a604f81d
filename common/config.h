// Lookups in the driver's configuration files: capability file, plug-in INI file, version file, model section.
#pragma once
#include "common/win32.h"

namespace zep {

inline constexpr DWORD kModelSectionChars = 128;
inline constexpr DWORD kCompanionNameChars = 522;

// The module-wide capability-file path, emptied and set by every dependent-file search.
LPCWSTR CapabilityFilePath();
void SetCapabilityFilePath(LPCWSTR path);

// A file name taken from a configuration file may only name a file in the driver's "3" folder: no path
// separator, drive or dot component, since the plug-in INI file is writable by every user.
bool IsPlainFileName(LPCWSTR name);

// Result of one walk over a driver's dependent files.
struct DependentFileMatches {
    bool anyConfigFile = false; // a name ending in ".ini" or ".cap" was in the list
    bool iniFound = false;      // an ".ini" with a non-empty "OEMFiles"/"OEMConfigFile1"
    bool capFound = false;
};

// Walks a double-NUL-terminated list of at most cchList characters. The last ".ini" that names itself the
// plug-in INI file goes to iniPathOut and the last ".cap" to capPathOut (each MAX_PATH + 1 characters); a
// path that does not fit is skipped rather than cut, so that it cannot name another file.
DependentFileMatches WalkDependentFiles(LPCWSTR list, size_t cchList, WCHAR *iniPathOut, WCHAR *capPathOut);
// The last ".ver" of the list into pathOut (MAX_PATH + 1 characters).
bool FindVersionInList(LPCWSTR list, size_t cchList, WCHAR *pathOut);

// Spooler wrappers. FindDriverFiles empties the capability-file path, then sets it and iniPathOut
// (MAX_PATH + 1 characters, left as it was when there is no plug-in INI file) from the printer's driver.
bool FindDriverFiles(HANDLE hPrinter, WCHAR *iniPathOut);
bool FindVersionFile(HANDLE hPrinter, WCHAR *pathOut);
// The printer's driver name (DRIVER_INFO_1) into out; false leaves out "".
bool GetDriverName(HANDLE hPrinter, WCHAR *out, DWORD cch);

// Plain model-section reads over a named capability file and driver name.
bool ReadModelSection(LPCWSTR capFile, LPCWSTR driverName, WCHAR *section, DWORD cch);
void ReadModelString(LPCWSTR capFile, LPCWSTR driverName, LPCWSTR key, WCHAR *out, DWORD cchOut);
int ReadModelInt(LPCWSTR capFile, LPCWSTR driverName, LPCWSTR key, int def = 0);

// The same through the printer's driver name and the module's capability file.
bool GetModelSection(HANDLE hPrinter, WCHAR *section, DWORD cch);
void GetModelString(HANDLE hPrinter, LPCWSTR key, WCHAR *out, DWORD cchOut);
int GetModelInt(HANDLE hPrinter, LPCWSTR key, int def = 0);

// Full path of a companion file in the driver directory's "3" folder: "<dir>\3\<name>". *cbInOut holds the
// byte size of out on entry and twice the length of the result on return. A name that is not a plain file
// name, or a path that does not fit, gives false.
bool DriverFilePath(WCHAR *out, DWORD *cbInOut, LPCWSTR name);
// The rendering form: the same into a MAX_PATH buffer.
bool DriverFilePath(WCHAR (&out)[MAX_PATH], LPCWSTR name);

} // namespace zep
