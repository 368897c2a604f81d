// Stream output through the core driver: text, files and the plug-in INI file's dependent files.
#include "render/emit.h"

#include "common/config.h"
#include "common/handle.h"
#include "render/state.h"

namespace zep {

bool EmitBytes(const RenderCall &rc, const void *bytes, DWORD count)
{
    if (count == 0) return true;
    DWORD written = 0;
    bool ok = rc.core && rc.core->DrvWriteSpoolBuf(rc.devobj, const_cast<void *>(bytes), count, &written) >= 0 &&
              written == count;
    if (!ok && GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_WRITE_FAULT);
    return ok;
}

bool EmitText(const RenderCall &rc, LPCSTR text)
{
    if (!text) return true;
    return EmitBytes(rc, text, static_cast<DWORD>(lstrlenA(text)));
}

bool EmitFile(const RenderCall &rc, LPCWSTR path)
{
    File file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
    if (!file) return false;
    BYTE block[1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), block, sizeof(block), &read, nullptr)) return false;
        if (read == 0) return true;
        if (!EmitBytes(rc, block, read)) return false;
    }
}

bool EmitDependentFile(const RenderCall &rc, LPCWSTR key)
{
    if (!g_render.pluginIniFile[0]) return false;
    WCHAR name[521] = {};
    GetPrivateProfileStringW(TEXT("DependentFiles"), key, TEXT(""), name, 521, g_render.pluginIniFile);
    if (!name[0]) return false;
    WCHAR path[MAX_PATH];
    if (!DriverFilePath(path, name)) return false;
    return EmitFile(rc, path);
}

} // namespace zep
