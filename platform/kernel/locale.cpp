// Locale ids, the reported operating-system version, session and process/thread ids.
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>

#include "win32/kernel.h"
#include "zep_platform.h"

namespace {

std::atomic<DWORD> g_osVersion{10u | (0u << 8)}; // major | minor << 8: Windows 10 until a test selects another
std::atomic<DWORD> g_sessionId{1};
thread_local LCID t_threadLocale = 0;            // 0: not set, follows the user default

// The builds Windows reports for the versions a test may select.
struct KnownVersion {
    DWORD major, minor, build;
};
constexpr KnownVersion kVersions[] = {
    {5, 1, 2600}, {6, 0, 6002}, {6, 1, 7601}, {6, 2, 9200}, {6, 3, 9600}, {10, 0, 19045},
};

// The user's language goes with the system code page, as on an installed Windows.
struct CodePageLocale {
    UINT codePage;
    LCID lcid;
};
constexpr CodePageLocale kCodePageLocales[] = {{1252, 0x0409}, {932, 0x0411}};

// Locales SetThreadLocale accepts.
constexpr LCID kKnownLocales[] = {0x0409, 0x0809, 0x0411, 0x0407, 0x040C, 0x0410, 0x0C0A, 0x0413,
                                  0x0416, 0x0804, 0x0404, 0x0412, 0x0419, 0x0405, 0x0415};

DWORD MajorVersion() { return g_osVersion.load() & 0xFF; }
DWORD MinorVersion() { return (g_osVersion.load() >> 8) & 0xFF; }

DWORD BuildNumber()
{
    for (const KnownVersion &v : kVersions)
        if (v.major == MajorVersion() && v.minor == MinorVersion()) return v.build;
    return 0;
}

LCID UserLocale()
{
    UINT acp = GetACP();
    for (const CodePageLocale &c : kCodePageLocales)
        if (c.codePage == acp) return c.lcid;
    return 0x0409;
}

// OSVERSIONINFOEXW: the basic record followed by service pack, suite and product type.
constexpr DWORD kVersionInfoExSize = sizeof(OSVERSIONINFOW) + 8;
constexpr size_t kProductTypeOffset = sizeof(OSVERSIONINFOW) + 6;
constexpr BYTE kWorkstation = 1;
static_assert(sizeof(OSVERSIONINFOW) == 276 && offsetof(OSVERSIONINFOW, szCSDVersion) == 20);

} // namespace

extern "C" {

// Selects the operating-system version the version functions report (and its usual build number).
void ZepSetOsVersion(DWORD major, DWORD minor) { g_osVersion.store((major & 0xFF) | ((minor & 0xFF) << 8)); }

// Selects the session id ProcessIdToSessionId reports.
void ZepSetSessionId(DWORD sessionId) { g_sessionId.store(sessionId); }

// The calling thread's locale: the user default until the thread sets one.
LCID WINAPI GetThreadLocale() { return t_threadLocale ? t_threadLocale : UserLocale(); }

// Sets the calling thread's locale; LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT stand for the defaults,
// an unknown locale fails with ERROR_INVALID_PARAMETER.
BOOL WINAPI SetThreadLocale(LCID locale)
{
    if (locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT) locale = UserLocale();
    for (LCID known : kKnownLocales) {
        if (known == locale) {
            t_threadLocale = locale;
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// The user's locale: U.S. English on a 1252 system, Japanese on a 932 one.
LCID WINAPI GetUserDefaultLCID() { return UserLocale(); }
// The language of the user's locale.
LANGID WINAPI GetUserDefaultLangID() { return LANGIDFROMLCID(UserLocale()); }
// The system's language, the same as the user's on this machine.
LANGID WINAPI GetSystemDefaultLangID() { return LANGIDFROMLCID(UserLocale()); }

// Fills OSVERSIONINFOW or OSVERSIONINFOEXW; any other dwOSVersionInfoSize fails with
// ERROR_INSUFFICIENT_BUFFER.
BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info)
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOW) && size != kVersionInfoExSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = MajorVersion();
    info->dwMinorVersion = MinorVersion();
    info->dwBuildNumber = BuildNumber();
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    if (size == kVersionInfoExSize) {
        auto bytes = reinterpret_cast<BYTE *>(info);
        std::memset(bytes + sizeof(OSVERSIONINFOW), 0, 8);
        bytes[kProductTypeOffset] = kWorkstation;
    }
    return TRUE;
}

// Major version in the low byte, minor in the next, build in the high word; bit 31 clear for NT.
DWORD WINAPI GetVersion() { return MajorVersion() | (MinorVersion() << 8) | ((BuildNumber() & 0x7FFF) << 16); }

// The id of this process.
DWORD WINAPI GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

// The id of the calling thread, distinct from every other live thread's.
DWORD WINAPI GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

// The session of a running process (all share the configured one); an unknown process or a NULL output
// fails with ERROR_INVALID_PARAMETER.
BOOL WINAPI ProcessIdToSessionId(DWORD processId, DWORD *sessionId)
{
    bool exists = processId == GetCurrentProcessId() ||
                  access(("/proc/" + std::to_string(processId)).c_str(), F_OK) == 0;
    if (!sessionId || !exists) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *sessionId = g_sessionId.load();
    return TRUE;
}
}
