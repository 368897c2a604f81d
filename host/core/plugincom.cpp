// Loading a plug-in module and getting its class factory, as the core does for either plug-in.
#include "host/core/plugincom.h"

#include "common/config.h"
#include "common/library.h"
#include "host/core/session.h"

namespace zep::host {

bool FindPluginModule(const DRIVER_INFO_3W &info, LPCWSTR key, const PluginLoadTexts &texts, WString &path,
                      std::string &error)
{
    for (const WString &file : SplitMultiString(info.pDependentFiles)) {
        if (!EndsWithNoCase(file, TEXT(".ini"))) continue;
        WCHAR name[MAX_PATH] = {};
        GetPrivateProfileStringW(TEXT("OEMFiles"), key, TEXT(""), name, MAX_PATH, file.c_str());
        if (!name[0]) continue;
        if (!IsPlainFileName(name)) {
            error = std::string("the plug-in INI file names the ") + texts.kind + " plug-in \"" + Narrow(name) +
                    "\", which is not a file name in the driver folder";
            return false;
        }
        path = JoinPath(DirectoryOf(file), name);
        return true;
    }
    error = std::string("the printer's driver names no ") + texts.kind + " plug-in";
    return false;
}

bool LoadPluginFactory(const WString &path, REFCLSID clsid, const PluginLoadTexts &texts, Library &library,
                       ComPtr<IClassFactory> &factory, std::string &error)
{
    library.reset(LoadLibraryW(path.c_str()));
    if (!library) {
        DWORD code = GetLastError();  // before Narrow can touch it
        error = std::string("cannot load the ") + texts.kind + " plug-in " + Narrow(path) + " (error " +
                std::to_string(code) + ")";
        return false;
    }
    auto getClassObject = GetExport<PFN_DllGetClassObject>(library.get(), "DllGetClassObject");
    if (!getClassObject) {
        error = texts.noEntry;
        return false;
    }
    if (FAILED(getClassObject(clsid, kIidClassFactory, factory.put_void())) || !factory) {
        error = std::string("the ") + texts.kind + " plug-in does not serve its class";
        return false;
    }
    return true;
}

} // namespace zep::host
