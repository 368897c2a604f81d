// UTF-16 strings, code-page conversion and paths for the stand-in core driver, all through Win32.
#pragma once
#include "common/win32.h"

#include <string>
#include <string_view>
#include <vector>

namespace zep::host {

using WString = std::basic_string<WCHAR>;
using WStringView = std::basic_string_view<WCHAR>;

// UTF-8 (the command line, the PPD's ASCII) to UTF-16 and back; invalid input converts as far as it can.
WString Widen(std::string_view text, UINT codePage = CP_UTF8);
std::string Narrow(WStringView text, UINT codePage = CP_UTF8);

// Folder part of a Windows or host path ("C:\a\b.ppd" -> "C:\a"; "/x/y" -> "/x"); empty when there is none.
WString DirectoryOf(const WString &path);
// The folder joined with a file name, keeping the folder's own separator style.
WString JoinPath(const WString &dir, const WString &name);

// Case-insensitive ASCII test for a file-name ending such as ".ini".
bool EndsWithNoCase(WStringView text, WStringView ending);

// The NUL-separated, double-NUL-terminated list of a DRIVER_INFO_3W's dependent files.
std::vector<WString> SplitMultiString(const WCHAR *list);

} // namespace zep::host
