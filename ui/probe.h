// The once-per-process probe of the Windows version and of the help viewer the pages may call.
#pragma once
#include "common/win32.h"

#include <optional>

#include "ui/state.h"

namespace zep {

// From the Windows major version and WINHLP32.EXE's product major version (none when the file or its version
// resource is missing): systems from 6 on are "new", and there a help viewer of major version 6 or more is
// the stub that shows no help.
void ApplyHelpProbe(UiModuleState &state, DWORD windowsMajor, std::optional<DWORD> winHelpMajor);

// Runs the probe against this system unless it already ran in this process.
void EnsureHelpProbe();

} // namespace zep
