// Library loading over the host's dynamic loader: HMODULE is a module's load address, and the loader keeps a
// record per module with the Windows path it was loaded by.
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "kernel/unicode.h"
#include "win32/kernel.h"
#include "zep_platform.h"

namespace {

struct Module {
    std::string hostPath;
    std::u16string windowsPath; // empty when not loaded through LoadLibrary
    void *dl = nullptr;         // our dlopen reference, held while loadCount > 0
    int loadCount = 0;
    bool attachFailed = false;
};

std::mutex g_lock;

std::map<void *, Module> &Modules()
{
    static auto *modules = new std::map<void *, Module>; // outlives module destructors run at exit
    return *modules;
}

// The LoadLibrary in progress on this thread, so that the module's entry already knows its Windows path.
struct PendingLoad {
    std::u16string windowsPath;
    dev_t dev;
    ino_t ino;
};
thread_local const PendingLoad *t_pending;

// Names that Windows programs use for system modules; here they all are this layer.
const char16_t *const kSystemModules[] = {u"kernel32.dll", u"user32.dll",  u"gdi32.dll",   u"advapi32.dll",
                                          u"winspool.drv", u"comctl32.dll", u"shell32.dll", u"ole32.dll",
                                          u"comdlg32.dll", u"imm32.dll",    u"version.dll", u"ntdll.dll"};

char16_t Fold(char16_t c) { return c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameIgnoringCase(const std::u16string &a, const std::u16string &b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

std::u16string LeafOf(const std::u16string &path)
{
    size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string::npos ? path : path.substr(cut + 1);
}

// A bare module name without an extension means "<name>.dll"; a trailing dot means no extension.
std::u16string WithDefaultExtension(std::u16string name)
{
    std::u16string leaf = LeafOf(name);
    if (!leaf.empty() && leaf.back() == u'.')
        name.pop_back();
    else if (leaf.find(u'.') == std::u16string::npos)
        name += u".dll";
    return name;
}

void *BaseOfAddress(const void *address, std::string *hostPath = nullptr)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fbase) return nullptr;
    if (hostPath && info.dli_fname) *hostPath = info.dli_fname;
    return info.dli_fbase;
}

void *BaseOfHandle(void *dl, std::string *hostPath = nullptr)
{
    link_map *map = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0 || !map) return nullptr;
    return BaseOfAddress(map->l_ld, hostPath);
}

void *MainProgramBase()
{
    static void *base = [] {
        void *self = dlopen(nullptr, RTLD_LAZY);
        void *b = self ? BaseOfHandle(self) : nullptr;
        if (self) dlclose(self);
        return b;
    }();
    return base;
}

void *LayerBase()
{
    static void *base = BaseOfAddress(reinterpret_cast<const void *>(&GetModuleHandleW));
    return base;
}

std::string MainProgramPath()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

// The record of a module first seen at `base`. Caller holds g_lock.
Module &Record(void *base, const std::string &hostPath)
{
    auto [it, created] = Modules().try_emplace(base);
    if (created) it->second.hostPath = hostPath;
    if (it->second.windowsPath.empty() && t_pending) {
        struct stat st{};
        if (stat(hostPath.c_str(), &st) == 0 && st.st_dev == t_pending->dev && st.st_ino == t_pending->ino)
            it->second.windowsPath = t_pending->windowsPath;
    }
    return it->second;
}

// The module a loaded name refers to, by file name (Windows compares the base names of loaded modules).
void *FindLoaded(const std::u16string &name)
{
    std::u16string leaf = LeafOf(WithDefaultExtension(name));
    for (const char16_t *system : kSystemModules)
        if (SameIgnoringCase(leaf, system)) return LayerBase();
    std::lock_guard<std::mutex> lock(g_lock);
    for (auto &[base, module] : Modules()) {
        std::u16string known = module.windowsPath.empty() ? zw::WideFromUtf8(module.hostPath) : module.windowsPath;
        if (SameIgnoringCase(LeafOf(known), leaf)) return base;
    }
    return nullptr;
}

bool IsKnown(void *base)
{
    if (base == MainProgramBase() || base == LayerBase()) return true;
    std::lock_guard<std::mutex> lock(g_lock);
    return Modules().count(base) != 0;
}

bool Fail(DWORD error)
{
    SetLastError(error);
    return false;
}

// Where a bare module name is looked for: the program's folder, then the system folder of the virtual drive.
bool SearchBareName(const std::u16string &name, std::u16string &windowsPath, std::string &host)
{
    std::string programDir = MainProgramPath();
    programDir.erase(programDir.rfind('/') == std::string::npos ? 0 : programDir.rfind('/'));
    char buffer[4096];
    std::u16string candidates[] = {zw::WideFromUtf8(programDir) + u"/" + name, u"C:\\WINDOWS\\system32\\" + name};
    for (const std::u16string &candidate : candidates) {
        if (ZepHostPathFromWindows(candidate.c_str(), buffer, sizeof buffer) && access(buffer, F_OK) == 0) {
            windowsPath = candidate;
            host = buffer;
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" {

// First sight of a module (its entry glue running inside dlopen): records it and returns its HMODULE.
HMODULE ZepModuleAttach(const void *address)
{
    std::string hostPath;
    void *base = BaseOfAddress(address, &hostPath);
    if (!base) return nullptr;
    std::lock_guard<std::mutex> lock(g_lock);
    Record(base, hostPath);
    return static_cast<HMODULE>(base);
}

void ZepModuleAttachFailed(HMODULE module)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = Modules().find(module);
    if (it != Modules().end()) it->second.attachFailed = true;
}

void ZepModuleDetach(HMODULE module)
{
    std::lock_guard<std::mutex> lock(g_lock);
    Modules().erase(module);
}

BOOL ZepModuleHostPath(HMODULE module, char *out, DWORD size)
{
    std::string path;
    if (!module || module == MainProgramBase()) {
        path = MainProgramPath();
    } else {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = Modules().find(module);
        if (it == Modules().end()) return FALSE;
        path = it->second.hostPath;
    }
    if (!out || path.empty() || path.size() + 1 > size) return FALSE;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return TRUE;
}

// Loads a module and counts the reference; loading one that is loaded gives the same HMODULE. A missing file
// gives ERROR_MOD_NOT_FOUND, a file that is not a library ERROR_BAD_EXE_FORMAT, a DllMain that refuses the
// attach ERROR_DLL_INIT_FAILED (after its detach has run). A bare name is first matched against loaded modules.
HMODULE WINAPI LoadLibraryExW(LPCWSTR name, HANDLE reserved, DWORD flags)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::u16string windowsPath = WithDefaultExtension(name);
    bool bare = windowsPath.find_first_of(u"\\/:") == std::u16string::npos;
    std::string host;
    if (bare) {
        if (void *loaded = FindLoaded(windowsPath)) {
            if (loaded == LayerBase()) return static_cast<HMODULE>(loaded);
            std::lock_guard<std::mutex> lock(g_lock);
            auto it = Modules().find(loaded);
            if (it != Modules().end()) {
                windowsPath = it->second.windowsPath.empty() ? zw::WideFromUtf8(it->second.hostPath) : it->second.windowsPath;
                host = it->second.hostPath;
            }
        }
        if (host.empty() && !SearchBareName(windowsPath, windowsPath, host)) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    } else {
        char buffer[4096];
        if (!ZepHostPathFromWindows(windowsPath.c_str(), buffer, sizeof buffer)) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        host = buffer;
    }

    struct stat st{};
    if (stat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    char magic[4] = {};
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    bool isLibrary = fd >= 0 && read(fd, magic, sizeof magic) == 4 && std::memcmp(magic, "\x7f" "ELF", 4) == 0;
    if (fd >= 0) close(fd);
    if (!isLibrary) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }

    PendingLoad pending{windowsPath, st.st_dev, st.st_ino};
    const PendingLoad *outer = t_pending; // a DllMain may load another module
    t_pending = &pending;
    void *dl = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
    t_pending = outer;
    if (!dl) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::string loadedPath;
    void *base = BaseOfHandle(dl, &loadedPath);
    bool refused = false;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        t_pending = &pending;
        Module &module = Record(base, loadedPath);
        t_pending = outer;
        if (module.attachFailed && module.loadCount == 0) {
            refused = true;
        } else {
            module.dl = dl;
            ++module.loadCount;
        }
    }
    if (refused) {
        dlclose(dl);
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = Modules().find(base);
        if (it != Modules().end() && it->second.loadCount == 0) Modules().erase(it);
        SetLastError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return static_cast<HMODULE>(base);
}

// As LoadLibraryExW without flags.
HMODULE WINAPI LoadLibraryW(LPCWSTR name) { return LoadLibraryExW(name, nullptr, 0); }

// The ANSI form converts the name from the system code page.
HMODULE WINAPI LoadLibraryA(LPCSTR name)
{
    if (!name) return LoadLibraryExW(nullptr, nullptr, 0);
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (n <= 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::u16string wide(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), n);
    return LoadLibraryExW(wide.c_str(), nullptr, 0);
}

// An export of the module itself (not of the modules it uses); NULL module means the main program. A missing
// name gives ERROR_PROC_NOT_FOUND; ordinals are not supported and are never found.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    void *base = module ? static_cast<void *>(module) : MainProgramBase();
    std::string hostPath;
    if (base == MainProgramBase()) {
        hostPath.clear();
    } else if (base == LayerBase()) {
        BaseOfAddress(base, &hostPath);
    } else {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = Modules().find(base);
        if (it == Modules().end()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        hostPath = it->second.hostPath;
    }
    if (!name || reinterpret_cast<uintptr_t>(name) <= 0xFFFF) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    // A handle only for the lookup: it must not keep the module loaded.
    void *dl = dlopen(hostPath.empty() ? nullptr : hostPath.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!dl) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void *symbol = dlsym(dl, name);
    dlclose(dl);
    if (!symbol || BaseOfAddress(symbol) != base) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

// Drops one LoadLibrary reference; the last one unloads the module (its DllMain sees DLL_PROCESS_DETACH).
// A module that is not loaded gives ERROR_MOD_NOT_FOUND.
BOOL WINAPI FreeLibrary(HMODULE module)
{
    if (module && static_cast<void *>(module) == LayerBase()) return TRUE;
    void *dl = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = Modules().find(module);
        if (it == Modules().end() || it->second.loadCount == 0) return Fail(ERROR_MOD_NOT_FOUND);
        dl = it->second.dl;
        if (--it->second.loadCount == 0) it->second.dl = nullptr;
    }
    dlclose(dl);
    return TRUE;
}

// NULL gives the main program; otherwise a loaded module by file name, without counting a reference.
HMODULE WINAPI GetModuleHandleW(LPCWSTR name)
{
    if (!name) return static_cast<HMODULE>(MainProgramBase());
    void *base = FindLoaded(name);
    if (!base) SetLastError(ERROR_MOD_NOT_FOUND);
    return static_cast<HMODULE>(base);
}

// The Windows path the module was loaded by (a module loaded otherwise shows its host path). A short buffer
// gets as much as fits plus a terminator; the result is then `size` with ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR out, DWORD size)
{
    std::u16string path;
    void *base = module ? static_cast<void *>(module) : MainProgramBase();
    if (base == MainProgramBase()) {
        path = zw::WideFromUtf8(MainProgramPath());
    } else if (base == LayerBase()) {
        std::string host;
        BaseOfAddress(base, &host);
        path = zw::WideFromUtf8(host);
    } else {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = Modules().find(base);
        if (it == Modules().end()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return 0;
        }
        path = it->second.windowsPath.empty() ? zw::WideFromUtf8(it->second.hostPath) : it->second.windowsPath;
    }
    if (!out || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < size) {
        std::memcpy(out, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(out, path.c_str(), (size - 1) * sizeof(WCHAR));
    out[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

// Thread notifications are never sent here, so turning them off always succeeds for a known module.
BOOL WINAPI DisableThreadLibraryCalls(HMODULE module)
{
    if (!module || !IsKnown(module)) return Fail(ERROR_INVALID_HANDLE);
    return TRUE;
}
}
