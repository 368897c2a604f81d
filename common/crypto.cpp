// Loading the vendor encryption library and calling its UI-side functions.
#include "common/crypto.h"

#include "common/config.h"

namespace zep {
namespace {

// GetProcAddress gives a generic entry point; the library's real signature is restored through void *.
template <typename Fn>
Fn ProcAs(FARPROC proc)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(proc));
}

} // namespace

bool EncryptionLibraryPath(HANDLE hPrinter, WCHAR (&path)[MAX_PATH])
{
    path[0] = 0;
    WCHAR name[kCompanionNameChars];
    GetModelString(hPrinter, TEXT("CryptoDll"), name, kCompanionNameChars);
    if (!name[0]) return false;
    if (!DriverFilePath(path, name)) {
        path[0] = 0;
        return false;
    }
    return true;
}

CCiperSet::CCiperSet(HANDLE hPrinter, Notify notify) : notify_(notify)
{
    WCHAR path[MAX_PATH];
    if (EncryptionLibraryPath(hPrinter, path)) module_.reset(LoadLibraryW(path));
}

CCiperSet::CCiperSet(LPCWSTR libraryPath, Notify notify) : notify_(notify)
{
    if (libraryPath && libraryPath[0]) module_.reset(LoadLibraryW(libraryPath));
}

FARPROC CCiperSet::Find(const char *name) const
{
    return module_ ? GetProcAddress(module_.get(), name) : nullptr;
}

BOOL CCiperSet::GetDefaultSetting(EncryptionSetting *setting, DWORD flags)
{
    auto fn = ProcAs<PFN_GetDefaultSetting>(Find("GetDefaultSetting"));
    return fn ? fn(setting, flags) : 0;
}

BOOL CCiperSet::DispCryptoUIEx(HWND owner, EncryptionSetting *setting, DWORD mode)
{
    auto fn = ProcAs<PFN_DispCryptoUIEx>(Find("DispCryptoUIEx"));
    return fn ? fn(owner, setting, mode) : 0;
}

BOOL CCiperSet::EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size)
{
    auto fn = ProcAs<PFN_EncryptPassword>(Find("EncryptPassword"));
    return fn ? fn(text, length, out, size) : 0;
}

BOOL CCiperSet::DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size)
{
    if (!module_) {
        if (notify_) notify_(TEXT("CCiperSet::DecryptPassword() : m_hModule is NULL"));
        return 0;
    }
    auto fn = ProcAs<PFN_DecryptPassword>(Find("DecryptPassword"));
    if (!fn) {
        if (notify_) notify_(TEXT("CCiperSet::DecryptPassword() : pfnDecryptPassword is NULL"));
        return 0;
    }
    return fn(data, length, out, size);
}

} // namespace zep
