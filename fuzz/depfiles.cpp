// The plug-ins' walk over a driver's dependent files, on any buffer the spooler could hand them: a list that is not
// double-NUL-terminated, paths of any length. A path found always fits its buffer and is one of the list's.
#include <string>

#include "common/config.h"
#include "fuzz_input.h"
#include "zep_platform.h"

namespace {

bool Ended(const WCHAR *path)
{
    for (size_t i = 0; i <= MAX_PATH; ++i)
        if (path[i] == 0) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The ".ini" files of the list are looked into: on an empty drive of its own.
    ZepSetRoot(zepfuzz::ScratchFolder("depfiles").c_str());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The list is the whole input, two bytes a character.
    std::u16string list;
    for (size_t i = 0; i + 1 < size; i += 2) list += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    // The buffer is exactly the list: a walk past it is an overflow.
    std::vector<WCHAR> buffer(list.begin(), list.end());
    WCHAR ini[MAX_PATH + 1], cap[MAX_PATH + 1], ver[MAX_PATH + 1];
    ini[0] = cap[0] = ver[0] = 0;
    zep::WalkDependentFiles(buffer.data(), buffer.size(), ini, cap);
    zep::FindVersionInList(buffer.data(), buffer.size(), ver);
    for (const WCHAR *path : {ini, cap, ver}) {
        FUZZ_CHECK(Ended(path), "a path found fits its buffer");
        FUZZ_CHECK(path[0] == 0 || list.find(std::u16string(path)) != std::u16string::npos,
                   "a path found is one of the list's");
    }
    return 0;
}
