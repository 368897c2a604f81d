// The job name and PIN rules.
#include "common/jobname.h"

namespace zep {
namespace {

template <size_t N, size_t M>
void KeepAccepted(const WCHAR (&field)[N], bool (*accept)(WCHAR), CHAR (&out)[M])
{
    static_assert(M > 0);
    size_t o = 0;
    for (size_t i = 0; i + 1 < N && field[i]; ++i)
        if (accept(field[i]) && o + 1 < M) out[o++] = static_cast<CHAR>(field[i]);
    out[o] = 0;
}

} // namespace

bool IsJobNameChar(WCHAR c) { return c >= 0x20 && c <= 0x7E && c != '"'; }
bool IsPinChar(WCHAR c) { return c >= '0' && c <= '9'; }

int FilterText(WCHAR *text, bool (*keep)(WCHAR))
{
    int dropped = 0;
    WCHAR *out = text;
    for (const WCHAR *in = text; *in; ++in) {
        if (keep(*in))
            *out++ = *in;
        else
            ++dropped;
    }
    *out = 0;
    return dropped;
}

DWORD CaretAfterFilter(DWORD selectionEnd, int dropped)
{
    const auto back = static_cast<DWORD>(dropped);
    return selectionEnd > back ? selectionEnd - back : 0;
}

void PjlJobName(const WCHAR (&field)[kJobNameChars + 1], CHAR (&out)[kJobNameChars + 1])
{
    KeepAccepted(field, IsJobNameChar, out);
}

void PjlPin(const WCHAR (&field)[kPinChars + 1], CHAR (&out)[kPinChars + 1]) { KeepAccepted(field, IsPinChar, out); }

} // namespace zep
