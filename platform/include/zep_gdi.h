// Linux-only drawing services of the layer: PNG output of bitmaps and DCs, window and dialog snapshots.
#pragma once
#include "win32/windows.h"

extern "C" {

// Writes the bitmap as a 24-bit RGB PNG (a monochrome bitmap as black and white). False when the handle is
// not a bitmap or the file cannot be written; the last error says which.
DECLSPEC_EXPORT BOOL ZepWriteBitmapPng(HBITMAP bitmap, const char *pngPath);
// Writes what is drawn on a DC as a PNG: the bitmap selected into a memory DC, or a window's area for a window DC.
DECLSPEC_EXPORT BOOL ZepWriteDCPng(HDC dc, const char *pngPath);

// Paints the window and all its visible descendants (non-client edges, WM_ERASEBKGND and WM_PAINT of each,
// parents before children, siblings in GW_CHILD/GW_HWNDNEXT order, i.e. template order for dialogs, so group boxes
// come before the controls inside them) into a bitmap of the window's size and writes it.
DECLSPEC_EXPORT BOOL ZepSnapshotWindow(HWND window, const char *pngPath);

// Loads the module (a Windows or host path), creates its dialog template `dialogId` as it opens (WM_INITDIALOG
// runs through a minimal procedure), snapshots it and destroys it. Returns 0 on success, 1 when the module
// does not load, 2 when the dialog cannot be created, 3 when the PNG cannot be written.
DECLSPEC_EXPORT int ZepSnapshotDialog(const WCHAR *modulePath, int dialogId, const char *pngPath);

// The window manager tells GDI a window is gone, so its drawing surface is freed.
DECLSPEC_EXPORT void ZepGdiWindowDestroyed(HWND window);
}
