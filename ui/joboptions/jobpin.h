// The job name and password dialog and the show-once warning, as functions over plain inputs.
#pragma once
#include "common/devmode.h"

namespace zep {

inline constexpr int kJobNameChars = 16;
inline constexpr int kJobPasswordChars = 4;

// What the dialog learns from outside the job settings record.
struct JobPinEnvironment {
    HINSTANCE module = nullptr; // holds templates 202 and 301 and the message strings
    bool printerShared = false; // shared or network printer: no print-time job name request
    bool windowsXp = false;     // the request shows the warning first
    bool newSystem = false;     // Vista and later: no caption help button, the request box is disabled
    LPCWSTR pluginIni = nullptr;
    LPCWSTR helpFile = nullptr; // null when help is not available
};

// Characters the name edit keeps (printable ASCII but the double quote, as PJL needs) and the password keeps.
bool IsJobNameChar(WCHAR c);
bool IsPasswordChar(WCHAR c);
// Drops what keep refuses from text in place; returns how many characters were dropped.
int FilterText(WCHAR *text, bool (*keep)(WCHAR));

// Runs dialog 202 on dm: 1 on OK with the values stored, 0 on Cancel, -1 when it could not be shown.
INT_PTR RunJobPinDialog(HWND owner, OemDevmode &dm, const JobPinEnvironment &env);

// The show-once routine over an explicit module and plug-in INI file.
INT_PTR RunWarningOnce(HINSTANCE module, HWND owner, LPCWSTR pluginIni, DWORD type);

// Answers WM_HELP and WM_CONTEXTMENU from the help file (null: help not available); false for other messages.
bool OpenControlHelp(LPCWSTR helpFile, UINT message, WPARAM wParam, LPARAM lParam);
// The caption help button exists only before Vista.
void FitCaptionHelp(HWND dialog, bool newSystem);

} // namespace zep
