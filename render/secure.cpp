// The secure print password and PJL job name lines, cleaned so that a crafted settings record cannot add PJL.
#include "render/secure.h"

#include "common/printer.h"
#include "render/jobcontext.h"
#include "render/jobname_dialog.h"

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

std::string JobNameLine(LPCSTR name) { return std::string("@PJL JOB NAME=\"") + name + "\"\r\n"; }

} // namespace

void PjlJobName(const WCHAR (&field)[kJobNameChars + 1], CHAR (&out)[kJobNameChars + 1])
{
    KeepAccepted(field, IsJobNameChar, out);
}

void PjlPin(const WCHAR (&field)[kPinChars + 1], CHAR (&out)[kPinChars + 1]) { KeepAccepted(field, IsPinChar, out); }

bool ShouldAskJobName(DWORD askFlag, bool attributesRead, DWORD attributes)
{
    if (!askFlag || !attributesRead) return false;
    return (attributes & kSharedOrNetwork) == 0;
}

std::string SecurePrintLines(JobType type, const OemDevmode *dm, LPCSTR documentName)
{
    if (type == JobType::Secure || type == JobType::Spool) {
        CHAR name[kJobNameChars + 1] = {};
        CHAR pin[kPinChars + 1] = {};
        if (dm) {
            PjlJobName(dm->wszJobName, name);
            PjlPin(dm->wszJobPassword, pin);
        }
        std::string text = std::string("@PJL ZEPSECURE PASSWORD=") + pin;
        if (type == JobType::Spool) text += " PERMANENT=ON";
        return text + "\r\n" + JobNameLine(name);
    }
    // The captured name is filtered already; filtering again costs nothing and keeps this line safe
    // whatever fills the document name.
    CHAR document[kDocumentNameBytes + 1];
    FilterDocumentName(documentName, kDocumentNameBytes, document);
    return JobNameLine(document);
}

bool WriteSecurePrintLines(const RenderCall &rc, JobType type, JobNamePrompt &prompt, LPCSTR documentName)
{
    auto dm = rc.devobj ? static_cast<OemDevmode *>(rc.devobj->pOEMDM) : nullptr;
    if (dm && (type == JobType::Secure || type == JobType::Spool) && dm->dwAskJobName) {
        DWORD attributes = 0;
        bool read = prompt.PrinterAttributes(&attributes);
        if (ShouldAskJobName(dm->dwAskJobName, read, attributes)) prompt.AskJobName(dm);
    }
    std::string text = SecurePrintLines(type, dm, documentName);
    return EmitBytes(rc, text.data(), static_cast<DWORD>(text.size()));
}

} // namespace zep
