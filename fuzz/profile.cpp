// The private-profile functions over any file: its bytes as they are (the ANSI code page), or behind the UTF-16
// or UTF-8 byte-order mark. Reads never write past the caller's buffer and always end what they write; a value
// written is read back as written.
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_input.h"
#include "win32/windows.h"
#include "zep_platform.h"

namespace {

std::filesystem::path g_root;
const WCHAR kFile[] = u"C:\\fuzz.ini";

// A read into a buffer with a guard after it: nothing past `size`, and the result ends within it.
void CheckedRead(LPCWSTR section, LPCWSTR key, DWORD size)
{
    std::u16string buffer(size + 8, u'\x7777');
    DWORD n = GetPrivateProfileStringW(section, key, u"dflt", buffer.data(), size, kFile);
    for (size_t i = size; i < buffer.size(); ++i) FUZZ_CHECK(buffer[i] == u'\x7777', "nothing written past the buffer");
    if (size == 0) return;
    FUZZ_CHECK(n < size, "the count leaves room for the end");
    FUZZ_CHECK(buffer[n] == 0, "the result ends where the count says");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_root = zepfuzz::ScratchFolder("profile");
    std::filesystem::create_directories(g_root / "c");
    ZepSetRoot(g_root.c_str());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zepfuzz::Input input(data, size);
    unsigned encoding = input.Below(3);
    DWORD bufferSize = input.Byte();
    std::u16string section = input.Wide(16), key = input.Wide(16), value = input.Wide(32);
    std::string bytes = encoding == 1 ? "\xFF\xFE" : encoding == 2 ? "\xEF\xBB\xBF" : "";
    bytes += input.Rest();
    std::ofstream(g_root / "c" / "fuzz.ini", std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());

    CheckedRead(nullptr, nullptr, bufferSize);            // the section names
    CheckedRead(section.c_str(), nullptr, bufferSize);    // the section's keys
    CheckedRead(section.c_str(), key.c_str(), bufferSize);
    CheckedRead(u"OEMFiles", u"OEMConfigFile1", bufferSize);
    WCHAR names[64];
    GetPrivateProfileSectionNamesW(names, 64, kFile);
    GetPrivateProfileIntW(section.c_str(), key.c_str(), 7, kFile);
    char narrow[64];
    GetPrivateProfileStringA("OEMFiles", "OEMDriverFile1", "", narrow, sizeof narrow, "C:\\fuzz.ini");

    // A key and value of plain ASCII (any file's encoding holds it) without blanks at their ends read back as
    // written.
    auto plain = [](const std::u16string &s) {
        if (s.empty() || s.front() == u' ' || s.back() == u' ' || s.front() == u'[' || s.front() == u';') return false;
        for (char16_t c : s)
            if (c < 0x20 || c > 0x7E || c == u'=' || c == u']' || c == u'"' || c == u'\'') return false;
        return true;
    };
    if (plain(section) && plain(key) && plain(value) && WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), kFile)) {
        WCHAR back[64] = {};
        GetPrivateProfileStringW(section.c_str(), key.c_str(), u"", back, 64, kFile);
        FUZZ_CHECK(value == back, "a value written is read back");
    }
    return 0;
}
