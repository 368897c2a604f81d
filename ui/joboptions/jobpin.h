// The job name and password dialog and the show-once warning, as functions over plain inputs.
#pragma once
#include "common/devmode.h"

namespace zep {

// What the dialog learns from outside the job settings record.
struct JobPinEnvironment {
    HINSTANCE module = nullptr; // holds templates 202 and 301 and the message strings
    bool printerShared = false; // shared or network printer: no print-time job name request
    bool windowsXp = false;     // the request shows the warning first
    bool newSystem = false;     // Vista and later: no caption help button, the request box is disabled
    LPCWSTR pluginIni = nullptr;
    LPCWSTR helpFile = nullptr; // null when help is not available
};

// Runs dialog 202 on dm: 1 on OK with the values stored, 0 on Cancel, -1 when it could not be shown.
INT_PTR RunJobPinDialog(HWND owner, OemDevmode &dm, const JobPinEnvironment &env);

// The show-once routine over an explicit module and plug-in INI file.
INT_PTR RunWarningOnce(HINSTANCE module, HWND owner, LPCWSTR pluginIni, DWORD type);

} // namespace zep
