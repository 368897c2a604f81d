// Module resources: finding, loading and locking them, string tables, and the standard resource type ids.
#pragma once
#include "win32/base.h"
#include "win32/kernel.h"
#include "win32/styles.h"

// A resource name or type is either a pointer to a UTF-16 string or a 16-bit id in the pointer's low word.
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_FONTDIR MAKEINTRESOURCEW(7)
#define RT_FONT MAKEINTRESOURCEW(8)
#define RT_ACCELERATOR MAKEINTRESOURCEW(9)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_MESSAGETABLE MAKEINTRESOURCEW(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCEW(12)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)
#define RT_VERSION MAKEINTRESOURCEW(16)
#define RT_DLGINCLUDE MAKEINTRESOURCEW(17)
#define RT_PLUGPLAY MAKEINTRESOURCEW(19)
#define RT_VXD MAKEINTRESOURCEW(20)
#define RT_ANICURSOR MAKEINTRESOURCEW(21)
#define RT_ANIICON MAKEINTRESOURCEW(22)
#define RT_HTML MAKEINTRESOURCEW(23)
#define RT_MANIFEST MAKEINTRESOURCEW(24)

#ifndef PRIMARYLANGID
#define PRIMARYLANGID(l) ((WORD)(l) & 0x3ff)
#endif
#define SUBLANGID(l) ((WORD)(l) >> 10)

#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_RESOURCE_LANG_NOT_FOUND 1815L

extern "C" {

// The resource of `type` and `name` in the language a program running in the user's language would get.
DECLSPEC_EXPORT HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
// The same with an explicit language (note the order: type before name); LANG_NEUTRAL falls back as above.
DECLSPEC_EXPORT HRSRC WINAPI FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);
// The resource's data: a read-only block that lives as long as the module stays loaded.
DECLSPEC_EXPORT HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
DECLSPEC_EXPORT DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
DECLSPEC_EXPORT LPVOID WINAPI LockResource(HGLOBAL data);
DECLSPEC_EXPORT BOOL WINAPI FreeResource(HGLOBAL data);
// A string of the module's string tables. With `size` 0, `buffer` receives a read-only pointer to the string,
// which is not terminated, and the result is its length.
DECLSPEC_EXPORT int WINAPI LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size);
DECLSPEC_EXPORT int WINAPI LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size);
}
