// The Advanced dialog (job spool, ultra fine lines, job compression) as a function over plain inputs.
#pragma once
#include "common/devmode.h"
#include "ui/context.h"

namespace zep {

struct AdvancedEnvironment {
    HINSTANCE module = nullptr; // holds template 204 and strings 6001-6004
    bool hardDisk = false;      // HardDiskAvailable
    int compression = 0;        // the model section's "Compression"
    bool newSystem = false;
    LPCWSTR helpFile = nullptr; // null when help is not available
};

// Bit 0 of "Compression" offers the list.
bool CompressionOffered(int compression);
// The list index of the default level in bits 8-11: 0 "None", 1-3 "Fast", 4-6 "Normal", 7-9 and above "Best".
DWORD DefaultCompressionIndex(int compression);

// Runs dialog 204 on the context's slots and dm: 1 on OK with the settings stored, 0 on Cancel.
INT_PTR RunAdvancedDialog(HWND owner, OemUiContext &ctx, OemDevmode &dm, const AdvancedEnvironment &env);

} // namespace zep
