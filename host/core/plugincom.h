// What the core shares between its two plug-ins: loading a module's class factory and the answers of
// DrvGetDriverSetting.
#pragma once
#include "common/handle.h"
#include "common/oemintf.h"
#include "host/core/text.h"

#include <cstring>
#include <map>
#include <string>

namespace zep::host {

// How one kind of plug-in is named in the core's messages.
struct PluginLoadTexts {
    const char *kind;     // "rendering": "cannot load the rendering plug-in ..."
    const char *noEntry;  // the module exports no DllGetClassObject
};

// The module of one plug-in as the plug-in INI file among the driver's dependent files names it under "OEMFiles"
// (`key` "OEMDriverFile1" or "OEMConfigFile1"), in the INI file's folder. Every user may write that file, so only a
// plain file name counts: a path part would load a library from anywhere, and its initialisation would run before
// anything could refuse it. False with a message when no INI file names the module or the name is not plain.
bool FindPluginModule(const DRIVER_INFO_3W &info, LPCWSTR key, const PluginLoadTexts &texts, WString &path,
                      std::string &error);

// Loads the module at `path` into `library` and asks its DllGetClassObject for the factory of `clsid`.
bool LoadPluginFactory(const WString &path, REFCLSID clsid, const PluginLoadTexts &texts, Library &library,
                       ComPtr<IClassFactory> &factory, std::string &error);

// DrvGetDriverSetting: a keyword answers its current option as NUL-terminated ASCII; a predefined index below
// 0x10000 (only OEMGDS_PS_OUTPUT_OPTION is known) answers a DWORD, read through psOutputOption() only then. A short
// buffer is left untouched.
template <typename PsOutputOption>
BOOL AnswerDriverSetting(const std::map<std::string, std::string> &current, PsOutputOption psOutputOption,
                         PCSTR feature, PVOID out, DWORD size, PDWORD needed, PDWORD options)
{
    if (!feature) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto answer = [&](const void *data, DWORD bytes) -> BOOL {
        if (needed) *needed = bytes;
        if (!out || size < bytes) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(out, data, bytes);
        if (options) *options = 1;
        return TRUE;
    };
    if (reinterpret_cast<ULONG_PTR>(feature) < 0x10000) {
        if (reinterpret_cast<ULONG_PTR>(feature) != OEMGDS_PS_OUTPUT_OPTION) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return FALSE;
        }
        DWORD value = psOutputOption();
        return answer(&value, sizeof value);
    }
    auto it = current.find(feature);
    if (it == current.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return answer(it->second.c_str(), static_cast<DWORD>(it->second.size() + 1));
}

} // namespace zep::host
