// Loading a plug-in module and getting its class factory, as the core does for either plug-in.
#include "host/core/plugincom.h"

#include "common/library.h"
#include "host/core/session.h"

namespace zep::host {

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
