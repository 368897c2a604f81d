// Printer questions to the spooler.
#include "common/printer.h"

#include "common/handle.h"

namespace zep {

bool GetPrinterAttributes(HANDLE hPrinter, DWORD *attributes)
{
    *attributes = 0;
    if (!hPrinter) return false;
    DWORD needed = 0;
    GetPrinterW(hPrinter, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return false;
    HeapBlock<BYTE> info(needed);
    if (!info || !GetPrinterW(hPrinter, 2, info.get(), needed, &needed)) return false;
    *attributes = reinterpret_cast<const PRINTER_INFO_2W *>(info.get())->Attributes;
    return true;
}

} // namespace zep
