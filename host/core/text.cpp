// UTF-16 strings, conversion and paths for the stand-in core driver.
#include "host/core/text.h"

namespace zep::host {

WString Widen(std::string_view text, UINT codePage)
{
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    WString out(static_cast<size_t>(n), WCHAR(0));
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(WStringView text, UINT codePage)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

static bool IsSeparator(WCHAR c) { return c == u'\\' || c == u'/'; }

WString DirectoryOf(const WString &path)
{
    for (size_t i = path.size(); i-- > 0;)
        if (IsSeparator(path[i])) return path.substr(0, i == 0 ? 1 : i);
    return {};
}

WString JoinPath(const WString &dir, const WString &name)
{
    if (dir.empty()) return name;
    if (IsSeparator(dir.back())) return dir + name;
    // A drive path keeps backslashes; a host path keeps slashes.
    WCHAR sep = dir.find(u'\\') != WString::npos ? WCHAR(u'\\') : WCHAR(u'/');
    return dir + sep + name;
}

static WCHAR FoldAscii(WCHAR c) { return (c >= u'A' && c <= u'Z') ? WCHAR(c - u'A' + u'a') : c; }

bool EndsWithNoCase(WStringView text, WStringView ending)
{
    if (text.size() < ending.size()) return false;
    WStringView tail = text.substr(text.size() - ending.size());
    for (size_t i = 0; i < ending.size(); ++i)
        if (FoldAscii(tail[i]) != FoldAscii(ending[i])) return false;
    return true;
}

std::vector<WString> SplitMultiString(const WCHAR *list)
{
    std::vector<WString> items;
    if (!list) return items;
    while (*list) {
        WString item(list);
        list += item.size() + 1;
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace zep::host
