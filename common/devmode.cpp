// What both sides' DevMode operations on OemDevmode share.
#include "common/devmode.h"

#include <cstring>

namespace zep {

void CopyOwnOemDevmode(const OemDevmode *in, OemDevmode *out)
{
    DWORD n = in->dwSize < out->dwSize ? in->dwSize : out->dwSize;
    if (n > kOemDevmodeSize) n = kOemDevmodeSize;
    if (in != out) std::memmove(out, in, n);
}

} // namespace zep
