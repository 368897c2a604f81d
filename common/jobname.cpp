// The job name and PIN rules.
#include "common/jobname.h"

namespace zep {

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

} // namespace zep
