// The one writer every byte the plug-in adds to the job goes through: the core driver's DrvWriteSpoolBuf.
#pragma once
#include "common/oemintf.h"

namespace zep {

// The device object and core interface of the call being answered.
struct RenderCall {
    PDEVOBJ devobj = nullptr;
    IPrintOemDriverPS *core = nullptr;
};

// True when all count bytes were taken. A failed write leaves a last error (ERROR_WRITE_FAULT when the
// core left none), which Command reports.
bool EmitBytes(const RenderCall &rc, const void *bytes, DWORD count);
// A NUL-terminated string without its NUL; "" writes nothing and succeeds.
bool EmitText(const RenderCall &rc, LPCSTR text);
// The whole file, 1024 bytes at a time; false when it cannot be opened or read, or a block is cut short.
bool EmitFile(const RenderCall &rc, LPCWSTR path);
// The file named by key of the plug-in INI file's "DependentFiles", from the driver's "3" folder; false
// without output when the key is empty or missing or does not name a plain file.
bool EmitDependentFile(const RenderCall &rc, LPCWSTR key);

} // namespace zep
