// Kernel services: last error, interlocked counts, heaps, strings, code pages, INI files, files, modules.
#pragma once
#include <cstdarg>

#include "win32/base.h"

#define WINBASEAPI extern "C"

// Last error (per thread).
WINBASEAPI DWORD WINAPI GetLastError();
WINBASEAPI void WINAPI SetLastError(DWORD code);

// Interlocked operations.
WINBASEAPI LONG WINAPI InterlockedIncrement(LONG volatile *p);
WINBASEAPI LONG WINAPI InterlockedDecrement(LONG volatile *p);
WINBASEAPI LONG WINAPI InterlockedExchange(LONG volatile *p, LONG value);
WINBASEAPI LONG WINAPI InterlockedCompareExchange(LONG volatile *p, LONG exchange, LONG comparand);

// Heaps.
#define HEAP_NO_SERIALIZE 0x00000001
#define HEAP_GENERATE_EXCEPTIONS 0x00000004
#define HEAP_ZERO_MEMORY 0x00000008
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
WINBASEAPI HANDLE WINAPI GetProcessHeap();
WINBASEAPI HANDLE WINAPI HeapCreate(DWORD options, SIZE_T initial, SIZE_T maximum);
WINBASEAPI BOOL WINAPI HeapDestroy(HANDLE heap);
WINBASEAPI LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
WINBASEAPI LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID p, SIZE_T bytes);
WINBASEAPI BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID p);
WINBASEAPI SIZE_T WINAPI HeapSize(HANDLE heap, DWORD flags, LPCVOID p);
WINBASEAPI BOOL WINAPI HeapValidate(HANDLE heap, DWORD flags, LPCVOID p);
WINBASEAPI HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
WINBASEAPI HGLOBAL WINAPI GlobalFree(HGLOBAL mem);
WINBASEAPI LPVOID WINAPI GlobalLock(HGLOBAL mem);
WINBASEAPI BOOL WINAPI GlobalUnlock(HGLOBAL mem);
WINBASEAPI SIZE_T WINAPI GlobalSize(HGLOBAL mem);
WINBASEAPI HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
WINBASEAPI HLOCAL WINAPI LocalFree(HLOCAL mem);

// Strings.
WINBASEAPI int WINAPI lstrlenW(LPCWSTR s);
WINBASEAPI int WINAPI lstrlenA(LPCSTR s);
WINBASEAPI LPWSTR WINAPI lstrcpyW(LPWSTR dst, LPCWSTR src);
WINBASEAPI LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src);
WINBASEAPI LPWSTR WINAPI lstrcpynW(LPWSTR dst, LPCWSTR src, int count);
WINBASEAPI LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int count);
WINBASEAPI LPWSTR WINAPI lstrcatW(LPWSTR dst, LPCWSTR src);
WINBASEAPI LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src);
WINBASEAPI int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);
WINBASEAPI int WINAPI lstrcmpA(LPCSTR a, LPCSTR b);
WINBASEAPI int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);
WINBASEAPI int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
WINBASEAPI LPWSTR WINAPI CharUpperW(LPWSTR s);
WINBASEAPI LPWSTR WINAPI CharLowerW(LPWSTR s);
WINBASEAPI int WINAPIV wsprintfW(LPWSTR out, LPCWSTR format, ...);
WINBASEAPI int WINAPIV wsprintfA(LPSTR out, LPCSTR format, ...);
WINBASEAPI int WINAPI wvsprintfW(LPWSTR out, LPCWSTR format, va_list args);
WINBASEAPI int WINAPI wvsprintfA(LPSTR out, LPCSTR format, va_list args);

// Code pages.
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_THREAD_ACP 3
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2
struct CPINFO {
    UINT MaxCharSize;
    BYTE DefaultChar[MAX_DEFAULTCHAR];
    BYTE LeadByte[MAX_LEADBYTES];
};
WINBASEAPI UINT WINAPI GetACP();
WINBASEAPI UINT WINAPI GetOEMCP();
WINBASEAPI BOOL WINAPI GetCPInfo(UINT codePage, CPINFO *info);
WINBASEAPI BOOL WINAPI IsDBCSLeadByte(BYTE c);
WINBASEAPI BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE c);
WINBASEAPI int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst,
                                          int dstLen);
WINBASEAPI int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst,
                                          int dstLen, LPCSTR defaultChar, LPBOOL usedDefault);

// Locale, version and session.
#define LANG_ENGLISH 0x09
#define LANG_JAPANESE 0x11
#define SUBLANG_DEFAULT 0x01
struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
typedef OSVERSIONINFOW *LPOSVERSIONINFOW;
#define VER_PLATFORM_WIN32_NT 2
WINBASEAPI LCID WINAPI GetThreadLocale();
WINBASEAPI BOOL WINAPI SetThreadLocale(LCID locale);
WINBASEAPI LCID WINAPI GetUserDefaultLCID();
WINBASEAPI LANGID WINAPI GetUserDefaultLangID();
WINBASEAPI LANGID WINAPI GetSystemDefaultLangID();
WINBASEAPI BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info);
WINBASEAPI DWORD WINAPI GetVersion();
WINBASEAPI DWORD WINAPI GetCurrentProcessId();
WINBASEAPI DWORD WINAPI GetCurrentThreadId();
WINBASEAPI BOOL WINAPI ProcessIdToSessionId(DWORD processId, DWORD *sessionId);

// Private-profile (INI) files.
WINBASEAPI DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR def, LPWSTR out, DWORD size,
                                                 LPCWSTR file);
WINBASEAPI DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size,
                                                 LPCSTR file);
WINBASEAPI UINT WINAPI GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT def, LPCWSTR file);
WINBASEAPI UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file);
WINBASEAPI DWORD WINAPI GetPrivateProfileSectionNamesW(LPWSTR out, DWORD size, LPCWSTR file);
WINBASEAPI BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file);
WINBASEAPI BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);

// Files.
#define GENERIC_READ 0x80000000L
#define GENERIC_WRITE 0x40000000L
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define MOVEFILE_REPLACE_EXISTING 0x00000001
struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES *LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED *LPOVERLAPPED;
WINBASEAPI HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                                     DWORD disposition, DWORD flags, HANDLE templ);
WINBASEAPI HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                                     DWORD disposition, DWORD flags, HANDLE templ);
WINBASEAPI BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED ov);
WINBASEAPI BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED ov);
WINBASEAPI BOOL WINAPI CloseHandle(HANDLE h);
WINBASEAPI DWORD WINAPI GetFileSize(HANDLE file, LPDWORD high);
WINBASEAPI DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG high, DWORD method);
WINBASEAPI DWORD WINAPI GetFileType(HANDLE file);
WINBASEAPI BOOL WINAPI FlushFileBuffers(HANDLE file);
WINBASEAPI BOOL WINAPI DeleteFileW(LPCWSTR name);
WINBASEAPI BOOL WINAPI CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists);
WINBASEAPI BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
WINBASEAPI BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES sa);
WINBASEAPI DWORD WINAPI GetFileAttributesW(LPCWSTR name);
WINBASEAPI DWORD WINAPI GetTempPathW(DWORD size, LPWSTR out);
WINBASEAPI UINT WINAPI GetWindowsDirectoryW(LPWSTR out, UINT size);
WINBASEAPI UINT WINAPI GetSystemDirectoryW(LPWSTR out, UINT size);

// Modules.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
WINBASEAPI HMODULE WINAPI LoadLibraryW(LPCWSTR name);
WINBASEAPI HMODULE WINAPI LoadLibraryA(LPCSTR name);
WINBASEAPI HMODULE WINAPI LoadLibraryExW(LPCWSTR name, HANDLE reserved, DWORD flags);
WINBASEAPI FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
WINBASEAPI BOOL WINAPI FreeLibrary(HMODULE module);
WINBASEAPI HMODULE WINAPI GetModuleHandleW(LPCWSTR name);
WINBASEAPI DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR out, DWORD size);
WINBASEAPI BOOL WINAPI DisableThreadLibraryCalls(HMODULE module);

WINBASEAPI void WINAPI Sleep(DWORD ms);
WINBASEAPI DWORD WINAPI GetTickCount();
WINBASEAPI void WINAPI GetLocalTime(SYSTEMTIME *st);

// Error codes of the file and module calls not among the base ones.
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_DISK_FULL 112L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_NOT_LOCKED 158L
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_DIRECTORY 267L
#define ERROR_DLL_INIT_FAILED 1114L

#define HEAP_REALLOC_IN_PLACE_ONLY 0x00000010
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define INFINITE 0xFFFFFFFF

// Folder listing and removal.
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAW *LPWIN32_FIND_DATAW;
static_assert(sizeof(WIN32_FIND_DATAW) == 592 && offsetof(WIN32_FIND_DATAW, cFileName) == 44);
WINBASEAPI HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
WINBASEAPI BOOL WINAPI FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data);
WINBASEAPI BOOL WINAPI FindClose(HANDLE find);
WINBASEAPI BOOL WINAPI RemoveDirectoryW(LPCWSTR name);

// Code pages and locales (additions).
#define ERROR_INVALID_FLAGS 1004L
#define WC_ERR_INVALID_CHARS 0x00000080
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define SORT_DEFAULT 0x0
#define MAKELCID(lang, sort) ((DWORD)((((DWORD)((WORD)(sort))) << 16) | ((DWORD)((WORD)(lang)))))
#define LANGIDFROMLCID(lcid) ((WORD)(lcid))
#define PRIMARYLANGID(lang) ((WORD)(lang) & 0x3ff)
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_GEN_FAILURE 31L
#define ERROR_NOACCESS 998L
