// What a job name and a secure-print PIN may hold, wherever one is typed (the dialogs) or written (the PJL lines).
#pragma once
#include "common/devmode.h"

namespace zep {

inline constexpr int kJobNameChars = 16;
inline constexpr int kPinChars = 4;
static_assert(sizeof(OemDevmode::wszJobName) == (kJobNameChars + 1) * sizeof(WCHAR));
static_assert(sizeof(OemDevmode::wszJobPassword) == (kPinChars + 1) * sizeof(WCHAR));

// A PJL job name is printable ASCII other than the double quote that would end it.
bool IsJobNameChar(WCHAR c);
// A PIN is decimal digits.
bool IsPinChar(WCHAR c);

// Drops what keep refuses from text in place; returns how many characters were dropped.
int FilterText(WCHAR *text, bool (*keep)(WCHAR));
// Where the caret goes after a filter: the old selection end moved back by what was dropped, not below 0.
DWORD CaretAfterFilter(DWORD selectionEnd, int dropped);

} // namespace zep
