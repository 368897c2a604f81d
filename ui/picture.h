// Pictures of the plug-in's pages and dialogs: bitmaps with a transparent colour, and framed palette pictures.
#pragma once
#include "common/win32.h"
#include "common/handle.h"

namespace zep {

// Pixels of this colour let the window's own pixels show through.
inline constexpr COLORREF kTransparentColour = RGB(0xFF, 0x00, 0xFF);
// The picture sits this far right and below the control's corner, inside its frame.
inline constexpr int kPictureInset = 2;

// Draws the bitmap with its top-left corner at (x, y); magenta pixels leave dc's pixels as they were.
bool DrawTransparent(HDC dc, int x, int y, HBITMAP bitmap);
// The same with bitmap resource bitmapId of module.
bool DrawTransparentResource(HDC dc, int x, int y, HINSTANCE module, UINT bitmapId);
// Loads bitmap resource bitmapId of module and draws it on window at the top-left corner of control controlId.
bool DrawTransparentBitmap(HWND window, HINSTANCE module, UINT bitmapId, int controlId);

// Draws a packed DIB (header, colour table, bits; `size` bytes in all) at (x + 2, y + 2) with its colour table
// realised as a palette, inside a sunken double frame whose outer corner is (x, y). A DIB whose parts do not
// fit in `size` is not drawn.
bool DrawFramedDib(HDC dc, int x, int y, const BITMAPINFOHEADER *dib, DWORD size);
// The same with DIB resource bitmapId of module.
bool DrawFramedResource(HDC dc, int x, int y, HINSTANCE module, UINT bitmapId);
// Loads DIB resource bitmapId of module and draws it framed on window at the top-left corner of controlId.
bool DrawFramedPicture(HWND window, HINSTANCE module, UINT bitmapId, int controlId);

} // namespace zep
