// UTF-16 <-> UTF-8 conversions used inside the layer (paths, spooler state); not Windows API.
#pragma once
#include <string>

#include "win32/base.h"

namespace zw {

// Appends the UTF-8 form of n UTF-16 units; a lone surrogate becomes U+FFFD, or fails when strict.
bool EncodeUtf8(const char16_t *s, size_t n, bool strict, std::string &out);
std::string Utf8FromWide(LPCWSTR s, int len = -1);
std::u16string WideFromUtf8(const std::string &s);
inline std::u16string WideString(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

} // namespace zw
