// Settings of the Linux Win32 layer that a Windows machine would hold, for the host and tests to change.
#pragma once
#include "win32/base.h"

extern "C" {

// Folder that holds the virtual Windows drive and the spooler's state. Default: $ZEP_ROOT, else
// ~/.local/share/zep. A Windows path "C:\A\b.ini" resolves case-insensitively to <root>/c/A/b.ini.
DECLSPEC_EXPORT void ZepSetRoot(const char *root);
DECLSPEC_EXPORT const char *ZepGetRoot();

// Host path (UTF-8) for a Windows path; a path that is not a drive path is taken as a host path as it is.
// Existing components are matched without regard to letter case. Returns false for a path it cannot map.
DECLSPEC_EXPORT BOOL ZepHostPathFromWindows(LPCWSTR windowsPath, char *out, DWORD size);

// System code page (1252 by default; 932 for tests of multi-byte behaviour).
DECLSPEC_EXPORT void ZepSetAnsiCodePage(UINT codePage);
// Operating-system version reported by GetVersionExW / GetVersion (default 10.0).
DECLSPEC_EXPORT void ZepSetOsVersion(DWORD major, DWORD minor);
// Session id reported by ProcessIdToSessionId (default 1).
DECLSPEC_EXPORT void ZepSetSessionId(DWORD sessionId);
}

// Module entry support, called by the zepdllmain glue each module links: the HMODULE of the module that holds
// `address` (its load address, stable while it stays loaded), known to the loader from then on.
extern "C" {
DECLSPEC_EXPORT HMODULE ZepModuleAttach(const void *address);
// The module's DllMain refused DLL_PROCESS_ATTACH: the LoadLibrary in progress fails and unloads it.
DECLSPEC_EXPORT void ZepModuleAttachFailed(HMODULE module);
// The module is being unmapped; its record goes.
DECLSPEC_EXPORT void ZepModuleDetach(HMODULE module);
// Host path (UTF-8) of a loaded module's file, for reading what it embeds. False for an unknown module or a
// short buffer.
DECLSPEC_EXPORT BOOL ZepModuleHostPath(HMODULE module, char *out, DWORD size);
}
