// The secure print password and PJL job name lines of the job header, and when the job name is asked for.
#pragma once
#include <string>

#include "common/devmode.h"
#include "common/jobname.h"
#include "render/emit.h"
#include "render/jobtype.h"

namespace zep {

// What the secure lines need from outside the job settings: the printer's attributes and the job-name
// dialog. The real one asks the spooler and shows dialog 103; tests answer from fields.
class JobNamePrompt {
public:
    // PRINTER_INFO_2 attributes; false when the spooler cannot tell.
    virtual bool PrinterAttributes(DWORD *attributes) = 0;
    // Shows the job-name dialog modally on dm; it may change dm->wszJobName.
    virtual void AskJobName(OemDevmode *dm) = 0;

protected:
    ~JobNamePrompt() = default;
};

// The record can be crafted, so only what the dialogs accept reaches a PJL line: the first 16 (4) characters of
// the field, up to its NUL, keeping the characters the job name (PIN) rule accepts.
void PjlJobName(const WCHAR (&field)[kJobNameChars + 1], CHAR (&out)[kJobNameChars + 1]);
void PjlPin(const WCHAR (&field)[kPinChars + 1], CHAR (&out)[kPinChars + 1]);

// True when the job name is asked for: the prompt flag is set and the printer is known to be neither
// shared nor on the network. Unknown attributes count as shared: a queue the spooler cannot describe may
// well be driven from a service, where a modal dialog would stall the job.
bool ShouldAskJobName(DWORD askFlag, bool attributesRead, DWORD attributes);

// The text of the secure print item for a job type: the password and job name lines for "Secure" and
// "Spool", otherwise the job name line with the document name. dm may be null (no private section).
std::string SecurePrintLines(JobType type, const OemDevmode *dm, LPCSTR documentName);

// The whole item: the prompt where it applies (on the job's own settings record), then one write.
bool WriteSecurePrintLines(const RenderCall &rc, JobType type, JobNamePrompt &prompt, LPCSTR documentName);

} // namespace zep
