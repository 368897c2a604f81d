// JobContext: what the rendering plug-in learns about a job at the start of each document.
#pragma once
#include "common/win32.h"

namespace zep {

inline constexpr size_t kDocumentNameBytes = 80;

struct JobContext {
    DWORD dwJobId;
    // The first 64 characters in the system ANSI code page: up to two bytes each, plus the NUL.
    CHAR szPrinterName[129];
    CHAR szCapabilityFile[129];
    WCHAR wszJobInfoDll[129];
    CHAR szDocumentName[kDocumentNameBytes + 1];
};

// Cleans an ANSI document name for the PJL job name: at most maxBytes bytes of src, scanned with the
// system code page's lead bytes. A NUL ends the scan; a lead byte without a trail byte, and a control
// character other than TAB, end the text there; a double quote becomes a space. out holds maxBytes + 1.
void FilterDocumentName(const CHAR *src, size_t maxBytes, CHAR *out);

// Fills ctx for a job of the printer: resets the text fields and stores the job id, then the printer name,
// capability file name, job-information library and document name. False when the spooler could not
// report the printer or the job (the fields read so far stay).
bool CaptureJobContext(HANDLE hPrinter, DWORD jobId, LPCWSTR capabilityFile, JobContext &ctx);

} // namespace zep
