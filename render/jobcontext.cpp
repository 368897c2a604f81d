// Capturing JobContext in the armed DrvStartDoc hook, with the document-name filter.
#include "render/jobcontext.h"

#include <vector>

#include "common/config.h"
#include "common/handle.h"
#include "render/jobstart.h"
#include "render/pdev.h"
#include "render/state.h"

namespace zep {
namespace {

// Trail bytes of the double-byte code pages Windows uses as system code pages all lie in 0x40-0xFE
// without 0x7F; a NUL, a control character or an ASCII digit or space after a lead byte is no trail byte.
bool IsTrailByte(BYTE b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

bool IsControl(BYTE b) { return b < 0x20 || b == 0x7F; }

// The first maxChars characters of s in the system ANSI code page, NUL-terminated within cbOut.
void AnsiPrefix(LPCWSTR s, int maxChars, CHAR *out, int cbOut)
{
    out[0] = 0;
    if (!s) return;
    int n = 0;
    while (n < maxChars && s[n]) ++n;
    if (n == 0) return;
    int written = WideCharToMultiByte(CP_ACP, 0, s, n, out, cbOut - 1, nullptr, nullptr);
    out[written > 0 ? written : 0] = 0;
}

template <typename Fill>
GlobalBlock QuerySpooler(Fill fill)
{
    DWORD needed = 0;
    fill(nullptr, 0, &needed);
    if (needed == 0) return {};
    GlobalBlock block(GlobalAlloc(GPTR, needed));
    if (!block) return {};
    if (!fill(static_cast<LPBYTE>(block.get()), needed, &needed)) return {};
    return block;
}

} // namespace

void FilterDocumentName(const CHAR *src, size_t maxBytes, CHAR *out)
{
    size_t o = 0;
    for (size_t i = 0; src && i < maxBytes;) {
        const auto b = static_cast<BYTE>(src[i]);
        if (b == 0) break;
        if (IsDBCSLeadByte(b)) {
            if (i + 1 >= maxBytes || !IsTrailByte(static_cast<BYTE>(src[i + 1]))) break;
            out[o++] = src[i];
            out[o++] = src[i + 1];
            i += 2;
            continue;
        }
        if (IsControl(b) && b != '\t') break;
        out[o++] = b == '"' ? ' ' : src[i];
        ++i;
    }
    out[o] = 0;
}

bool CaptureJobContext(HANDLE hPrinter, DWORD jobId, LPCWSTR capabilityFile, JobContext &ctx)
{
    ctx.szPrinterName[0] = 0;
    ctx.szCapabilityFile[0] = 0;
    ctx.wszJobInfoDll[0] = 0;
    ctx.szDocumentName[0] = 0;
    ctx.dwJobId = jobId;

    GlobalBlock printer = QuerySpooler([&](LPBYTE out, DWORD size, DWORD *needed) {
        return GetPrinterW(hPrinter, 2, out, size, needed);
    });
    if (!printer) return false;
    auto pi = static_cast<const PRINTER_INFO_2W *>(printer.get());
    ReadModelString(capabilityFile, pi->pDriverName, TEXT("JobInfoDll"), ctx.wszJobInfoDll, 129);
    AnsiPrefix(pi->pPrinterName, 64, ctx.szPrinterName, sizeof(ctx.szPrinterName));
    AnsiPrefix(capabilityFile, 64, ctx.szCapabilityFile, sizeof(ctx.szCapabilityFile));

    GlobalBlock job = QuerySpooler([&](LPBYTE out, DWORD size, DWORD *needed) {
        return GetJobW(hPrinter, jobId, 2, out, size, needed);
    });
    if (!job) return false;
    auto ji = static_cast<const JOB_INFO_2W *>(job.get());
    if (!ji->pDocument) return true;
    int bytes = WideCharToMultiByte(CP_ACP, 0, ji->pDocument, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return true;
    std::vector<CHAR> ansi(static_cast<size_t>(bytes) + 1, 0);
    WideCharToMultiByte(CP_ACP, 0, ji->pDocument, -1, ansi.data(), bytes, nullptr, nullptr);
    FilterDocumentName(ansi.data(), kDocumentNameBytes, ctx.szDocumentName);
    return true;
}

void StartDocCapture(PDEVOBJ devobj, DWORD jobId)
{
    if (g_render.captureArmed) {
        HANDLE hPrinter = devobj ? devobj->hPrinter : nullptr;
        if (FindDriverFiles(hPrinter, g_render.pluginIniFile))
            CaptureJobContext(hPrinter, jobId, CapabilityFilePath(), g_render.job);
        g_render.captureArmed = false;
    }
    if (GateState *gate = GateOf(devobj)) gate->currentJobId = jobId;
}

} // namespace zep
