// The WritePrinter output gate: blocks pass to the spooler as they are.
#include "render/gate.h"

namespace zep {
namespace {

HRESULT PassThrough(HANDLE hPrinter, PVOID buffer, DWORD size, PDWORD written)
{
    DWORD count = 0;
    BOOL ok = ::WritePrinter(hPrinter, buffer, size, &count);
    if (written) *written = count;
    return ok ? S_OK : E_FAIL;
}

} // namespace

HRESULT GateWritePrinter(PDEVOBJ devobj, PVOID buffer, DWORD size, PDWORD written)
{
    if (!devobj) return S_OK;
    // Encrypted secure print ("Secure_Chip" from EffectiveJobType) will branch off here to the encrypting
    // gate, which collects, encrypts and frames the stream and cancels the job on failure; until it exists
    // every job type takes the plain path.
    return PassThrough(devobj->hPrinter, buffer, size, written);
}

} // namespace zep
