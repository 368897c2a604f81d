// Module-wide state of the UI plug-in: one unguarded copy per process, except the interlocked counts.
#pragma once
#include "common/win32.h"

namespace zep {

struct UiModuleState {
    HMODULE module = nullptr;
    HMODULE supportLibrary = nullptr; // "AskZepRES", loaded at most once, freed at process detach
    LONG volatile lockCount = 0;
    LONG volatile objectCount = 0;
    LPWSTR pluginIniPath = nullptr; // MAX_PATH + 1 characters from the core's plug-in heap
    WCHAR helpFilePath[MAX_PATH] = {};
    bool helpAvailable = true;
    bool newSystem = false;
    bool probeDone = false;
    bool printerDataWritable = false;
    DWORD sheetFlags = 0; // bit 0: a document sheet page became active; the pages own the other bits
};

extern UiModuleState g_ui;

// Bits of sheetFlags: a document sheet page became active (the page-switch step and the sheet callback), and
// the Job Options page was initialised.
inline constexpr DWORD kSheetFlagPageActive = 0x1;
inline constexpr DWORD kSheetFlagPageInitialised = 0x2;

} // namespace zep
