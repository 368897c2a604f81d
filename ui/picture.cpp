// Transparent and framed pictures drawn on pages and dialogs.
#include "ui/picture.h"

#include <cstring>

namespace zep {
namespace {

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Where a control's top-left corner lies in its parent's client area.
bool ControlCorner(HWND window, int controlId, POINT &corner)
{
    HWND control = GetDlgItem(window, controlId);
    RECT rect;
    if (!control || !GetWindowRect(control, &rect)) return false;
    corner = {rect.left, rect.top};
    return ScreenToClient(window, &corner) != FALSE;
}

void FillLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    GdiObject brush(CreateSolidBrush(colour));
    RECT rect = {left, top, right, bottom};
    if (brush) FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

// Colour-table entries of a DIB: as many as it says it uses, all its colours up to 8 bits, none above.
DWORD ColourCount(const BITMAPINFOHEADER &h)
{
    if (h.biClrUsed) return h.biClrUsed;
    return h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
}

} // namespace

bool DrawTransparent(HDC dc, int x, int y, HBITMAP bitmap)
{
    BITMAP bm = {};
    if (!dc || !bitmap || !GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;

    MemoryDc work(CreateCompatibleDC(dc));
    if (!work) return false;
    BITMAPINFO info = TopDown32(w, h);
    // The picture without its transparent pixels (black, so that OR leaves the window's pixels) and a mask
    // that is white where the window shows through (AND keeps it) and black elsewhere.
    void *imageBits = nullptr;
    void *maskBits = nullptr;
    GdiObject image(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &imageBits, nullptr, 0));
    GdiObject mask(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &maskBits, nullptr, 0));
    if (!image || !mask || !imageBits || !maskBits) return false;
    if (GetDIBits(work.get(), bitmap, 0, static_cast<UINT>(h), imageBits, &info, DIB_RGB_COLORS) != h) return false;
    GdiFlush();
    auto *pixels = static_cast<DWORD *>(imageBits);
    auto *maskPixels = static_cast<DWORD *>(maskBits);
    const DWORD transparent = 0x00FF00FF; // magenta as a 32-bit DIB pixel
    for (int i = 0; i < w * h; ++i) {
        const bool through = (pixels[i] & 0x00FFFFFF) == transparent;
        maskPixels[i] = through ? 0x00FFFFFF : 0;
        if (through) pixels[i] = 0;
    }

    {
        Selected selected(work.get(), mask.get());
        if (!BitBlt(dc, x, y, w, h, work.get(), 0, 0, SRCAND)) return false;
    }
    Selected selected(work.get(), image.get());
    return BitBlt(dc, x, y, w, h, work.get(), 0, 0, SRCPAINT) != FALSE;
}

bool DrawTransparentResource(HDC dc, int x, int y, HINSTANCE module, UINT bitmapId)
{
    GdiObject bitmap(LoadBitmapW(module, MAKEINTRESOURCEW(bitmapId)));
    return bitmap && DrawTransparent(dc, x, y, static_cast<HBITMAP>(bitmap.get()));
}

bool DrawTransparentBitmap(HWND window, HINSTANCE module, UINT bitmapId, int controlId)
{
    POINT corner;
    if (!ControlCorner(window, controlId, corner)) return false;
    WindowDc dc(window);
    return DrawTransparentResource(dc.get(), corner.x, corner.y, module, bitmapId);
}

bool DrawFramedDib(HDC dc, int x, int y, const BITMAPINFOHEADER *dib, DWORD size)
{
    if (!dc || !dib || size < sizeof(BITMAPINFOHEADER) || dib->biSize < sizeof(BITMAPINFOHEADER) ||
        dib->biSize > size || dib->biWidth <= 0 || dib->biHeight == 0 || dib->biPlanes != 1)
        return false;
    const DWORD colours = ColourCount(*dib);
    if (colours > 256) return false;
    const DWORD masks = dib->biCompression == BI_BITFIELDS && dib->biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
    const DWORD header = dib->biSize + masks + colours * sizeof(RGBQUAD);
    const int w = dib->biWidth;
    const int h = dib->biHeight < 0 ? -dib->biHeight : dib->biHeight;
    const unsigned long long stride = ((static_cast<unsigned long long>(w) * dib->biBitCount + 31) / 32) * 4;
    // Compressed bits say their own size; plain rows must all be there.
    const unsigned long long bitsSize =
        (dib->biCompression == BI_RGB || dib->biCompression == BI_BITFIELDS) ? stride * h : dib->biSizeImage;
    if (header > size || bitsSize > size - header) return false;
    const BYTE *bytes = reinterpret_cast<const BYTE *>(dib);
    const auto *info = reinterpret_cast<const BITMAPINFO *>(dib);

    GdiObject palette;
    HPALETTE previousPalette = nullptr;
    if (colours) {
        // LOGPALETTE holds one entry; the block is sized for all of them.
        HeapBlock<LOGPALETTE> logical(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
        if (!logical) return false;
        LOGPALETTE *lp = logical.get();
        lp->palVersion = 0x300;
        lp->palNumEntries = static_cast<WORD>(colours);
        const auto *table = reinterpret_cast<const RGBQUAD *>(bytes + dib->biSize + masks);
        for (DWORD i = 0; i < colours; ++i) {
            lp->palPalEntry[i].peRed = table[i].rgbRed;
            lp->palPalEntry[i].peGreen = table[i].rgbGreen;
            lp->palPalEntry[i].peBlue = table[i].rgbBlue;
            lp->palPalEntry[i].peFlags = 0;
        }
        palette.reset(CreatePalette(lp));
        if (palette) {
            previousPalette = SelectPalette(dc, static_cast<HPALETTE>(palette.get()), FALSE);
            RealizePalette(dc);
        }
    }

    const int drawn = SetDIBitsToDevice(dc, x + kPictureInset, y + kPictureInset, static_cast<DWORD>(w),
                                        static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h), bytes + header, info,
                                        DIB_RGB_COLORS);

    // A sunken double frame: the outer line dark on the left and top and light on the right and bottom, the
    // inner line black on the left and top.
    const int right = x + kPictureInset + w + 1; // the outer right and bottom lines
    const int bottom = y + kPictureInset + h + 1;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    FillLine(dc, x, y, right, y + 1, shadow);
    FillLine(dc, x, y, x + 1, bottom, shadow);
    FillLine(dc, right, y, right + 1, bottom + 1, light);
    FillLine(dc, x, bottom, right + 1, bottom + 1, light);
    FillLine(dc, x + 1, y + 1, right - 1, y + 2, RGB(0, 0, 0));
    FillLine(dc, x + 1, y + 1, x + 2, bottom - 1, RGB(0, 0, 0));

    if (previousPalette) SelectPalette(dc, previousPalette, FALSE);
    return drawn > 0;
}

bool DrawFramedResource(HDC dc, int x, int y, HINSTANCE module, UINT bitmapId)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(bitmapId), RT_BITMAP);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void *dib = loaded ? LockResource(loaded) : nullptr;
    if (!dib) return false;
    return DrawFramedDib(dc, x, y, static_cast<const BITMAPINFOHEADER *>(dib), SizeofResource(module, found));
}

bool DrawFramedPicture(HWND window, HINSTANCE module, UINT bitmapId, int controlId)
{
    POINT corner;
    if (!ControlCorner(window, controlId, corner)) return false;
    WindowDc dc(window);
    return DrawFramedResource(dc.get(), corner.x, corner.y, module, bitmapId);
}

} // namespace zep
