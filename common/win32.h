// One include for the Win32 API: the SDK on Windows, the project's own layer on Linux.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winspool.h>
#include <objbase.h>
#include <commctrl.h>
#include <commdlg.h>
#include <imm.h>
#include <shellapi.h>
#define DECLSPEC_EXPORT
#else
#include "win32/windows.h"
#endif
