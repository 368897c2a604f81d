// Win32 base types, HRESULTs, error codes and COM roots for the Linux build, with Windows widths (LLP64).
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define WINAPIV
#define CALLBACK
#define APIENTRY
#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT
#define STDAPI_(t) extern "C" t
#define STDMETHODIMP HRESULT STDMETHODCALLTYPE
#define STDMETHODIMP_(t) t STDMETHODCALLTYPE
#define DECLSPEC_EXPORT __attribute__((visibility("default")))

#define IN
#define OUT
#define OPTIONAL
#define CONST const
#define VOID void
#ifndef FALSE
#define FALSE 0
#define TRUE 1
#endif
#define MAX_PATH 260
#define UNREFERENCED_PARAMETER(p) ((void)(p))

typedef uint8_t BYTE, UCHAR, BOOLEAN;
typedef uint16_t WORD, USHORT;
typedef int16_t SHORT;
typedef uint32_t DWORD, ULONG, UINT32;
typedef int32_t LONG, INT32;
typedef int INT;
typedef unsigned int UINT;
typedef int BOOL;
typedef char CHAR;
typedef char16_t WCHAR;
typedef int64_t LONGLONG, INT64;
typedef uint64_t ULONGLONG, UINT64, DWORD64;
typedef intptr_t INT_PTR, LONG_PTR;
typedef uintptr_t UINT_PTR, ULONG_PTR, DWORD_PTR;
typedef size_t SIZE_T;
typedef LONG HRESULT;
typedef DWORD LCID;
typedef WORD LANGID;
typedef float FLOAT;

typedef void *PVOID, *LPVOID, *HANDLE;
typedef const void *LPCVOID;
typedef BYTE *PBYTE, *LPBYTE;
typedef WORD *PWORD, *LPWORD;
typedef DWORD *PDWORD, *LPDWORD;
typedef LONG *PLONG, *LPLONG;
typedef ULONG *PULONG;
typedef INT *PINT, *LPINT;
typedef BOOL *PBOOL, *LPBOOL;
typedef CHAR *PSTR, *LPSTR, *PCHAR;
typedef const CHAR *PCSTR, *LPCSTR;
typedef WCHAR *PWSTR, *LPWSTR, *PWCHAR;
typedef const WCHAR *PCWSTR, *LPCWSTR;
typedef HANDLE *PHANDLE, *LPHANDLE;
typedef LONG_PTR LRESULT, LPARAM;
typedef UINT_PTR WPARAM;

#define Z_DECLARE_HANDLE(name) struct name##__ { int unused; }; typedef struct name##__ *name
Z_DECLARE_HANDLE(HINSTANCE);
Z_DECLARE_HANDLE(HWND);
Z_DECLARE_HANDLE(HKEY);
Z_DECLARE_HANDLE(HRSRC);
Z_DECLARE_HANDLE(HDC);
typedef void *HGDIOBJ; // untyped, as in the SDK, so every GDI object converts to it
Z_DECLARE_HANDLE(HBITMAP);
Z_DECLARE_HANDLE(HBRUSH);
Z_DECLARE_HANDLE(HPEN);
Z_DECLARE_HANDLE(HFONT);
Z_DECLARE_HANDLE(HRGN);
Z_DECLARE_HANDLE(HPALETTE);
Z_DECLARE_HANDLE(HICON);
Z_DECLARE_HANDLE(HMENU);
Z_DECLARE_HANDLE(HIMC);
Z_DECLARE_HANDLE(HPROPSHEETPAGE);
typedef HICON HCURSOR;
typedef DWORD COLORREF;
typedef HINSTANCE HMODULE;
typedef HANDLE HGLOBAL, HLOCAL;
typedef INT_PTR(WINAPI *FARPROC)();

#define TEXT(s) u##s
#define __TEXT(s) u##s
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define MAKEWORD(lo, hi) ((WORD)(((BYTE)(lo)) | (((WORD)((BYTE)(hi))) << 8)))
#define MAKELONG(lo, hi) ((LONG)(((WORD)(lo)) | (((DWORD)((WORD)(hi))) << 16)))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))

// HRESULTs
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HRESULT_FROM_WIN32(x) \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x) & 0x0000FFFF) | (7 << 16) | 0x80000000)))

// Win32 error codes
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_INVALID_LEVEL 124L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_INVALID_PRINTER_NAME 1801L
#define ERROR_PRINTER_ALREADY_EXISTS 1802L
#define ERROR_INVALID_PRINTER_COMMAND 1803L
#define ERROR_INVALID_ENVIRONMENT 1805L
#define ERROR_PRINTER_DRIVER_ALREADY_INSTALLED 1795L
#define ERROR_UNKNOWN_PRINTER_DRIVER 1797L
#define ERROR_PRINT_CANCELLED 63L
#define ERROR_SPL_NO_STARTDOC 3003L
#define ERROR_CAN_NOT_COMPLETE 1003L

// GUIDs and the COM roots
struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID, CLSID;
typedef const GUID &REFGUID;
typedef const IID &REFIID;
typedef const CLSID &REFCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }

// COM interfaces are plain vtables: no virtual destructor, so the layout is the COM layout.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
typedef IUnknown *LPUNKNOWN;

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **ppv) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};

struct POINTL { LONG x; LONG y; };
struct RECTL { LONG left; LONG top; LONG right; LONG bottom; };
struct POINT { LONG x; LONG y; };
struct RECT { LONG left; LONG top; LONG right; LONG bottom; };
struct SIZE { LONG cx; LONG cy; };
typedef POINTL *PPOINTL;
typedef RECTL *PRECTL;
typedef SIZE SIZEL;

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
struct FILETIME { DWORD dwLowDateTime; DWORD dwHighDateTime; };
