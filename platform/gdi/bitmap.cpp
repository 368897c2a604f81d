// Bitmaps and DIBs: device-dependent bitmaps, DIB sections, DIB conversion, pixels and raster-operation blits.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gdi/gdi_internal.h"

namespace zg {

namespace {

int DibStride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

int ColorCount(const BITMAPINFOHEADER &h)
{
    if (h.biBitCount > 8) return 0;
    int full = 1 << h.biBitCount;
    return h.biClrUsed && static_cast<int>(h.biClrUsed) < full ? static_cast<int>(h.biClrUsed) : full;
}

int MaskShift(DWORD mask)
{
    int s = 0;
    if (!mask) return 0;
    while (!(mask & 1)) mask >>= 1, ++s;
    return s;
}
int MaskBits(DWORD mask)
{
    mask >>= MaskShift(mask);
    int n = 0;
    while (mask & 1) mask >>= 1, ++n;
    return n;
}
uint32_t FromMask(DWORD v, DWORD mask)
{
    if (!mask) return 0;
    uint32_t c = (v & mask) >> MaskShift(mask);
    int bits = MaskBits(mask);
    if (bits >= 8) return c >> (bits - 8);
    return (c << (8 - bits)) | (bits ? c >> (2 * bits - 8 > 0 ? 2 * bits - 8 : 0) : 0);
}
DWORD ToMask(uint32_t c8, DWORD mask)
{
    int bits = MaskBits(mask);
    uint32_t v = bits >= 8 ? c8 << (bits - 8) : c8 >> (8 - bits);
    return (v << MaskShift(mask)) & mask;
}

// Reading and writing one DIB pixel as 0x00RRGGBB.
struct DibFormat {
    int bpp = 32;
    const RGBQUAD *colors = nullptr;
    int ncolors = 0;
    DWORD masks[3] = {0, 0, 0};
    bool bitfields = false;

    uint32_t Read(const BYTE *row, int x) const
    {
        switch (bpp) {
        case 1: case 4: case 8: {
            int idx;
            if (bpp == 1) idx = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else if (bpp == 4) idx = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xf;
            else idx = row[x];
            if (idx >= ncolors) return 0;
            const RGBQUAD &q = colors[idx];
            return (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
        }
        case 16: {
            DWORD v = row[2 * x] | (row[2 * x + 1] << 8);
            if (!bitfields) return (FromMask(v, 0x7c00) << 16) | (FromMask(v, 0x03e0) << 8) | FromMask(v, 0x001f);
            return (FromMask(v, masks[0]) << 16) | (FromMask(v, masks[1]) << 8) | FromMask(v, masks[2]);
        }
        case 24: return (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x];
        default: {
            DWORD v = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) | (static_cast<DWORD>(row[4 * x + 3]) << 24);
            if (!bitfields) return v & 0xffffff;
            return (FromMask(v, masks[0]) << 16) | (FromMask(v, masks[1]) << 8) | FromMask(v, masks[2]);
        }
        }
    }

    int Nearest(uint32_t p) const
    {
        int best = 0;
        long bestD = -1;
        for (int i = 0; i < ncolors; ++i) {
            long dr = colors[i].rgbRed - long((p >> 16) & 0xff), dg = colors[i].rgbGreen - long((p >> 8) & 0xff),
                 db = colors[i].rgbBlue - long(p & 0xff);
            long d = dr * dr + dg * dg + db * db;
            if (bestD < 0 || d < bestD) bestD = d, best = i;
            if (d == 0) break;
        }
        return best;
    }

    void Write(BYTE *row, int x, uint32_t p) const
    {
        BYTE r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        switch (bpp) {
        case 1: {
            int i = Nearest(p);
            BYTE bit = 0x80 >> (x & 7);
            row[x >> 3] = i ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
            break;
        }
        case 4: {
            int i = Nearest(p);
            BYTE &v = row[x >> 1];
            v = (x & 1) ? ((v & 0xf0) | i) : ((v & 0x0f) | (i << 4));
            break;
        }
        case 8: row[x] = static_cast<BYTE>(Nearest(p)); break;
        case 16: {
            DWORD v = bitfields ? ToMask(r, masks[0]) | ToMask(g, masks[1]) | ToMask(b, masks[2])
                                : ToMask(r, 0x7c00) | ToMask(g, 0x03e0) | ToMask(b, 0x001f);
            row[2 * x] = v & 0xff;
            row[2 * x + 1] = (v >> 8) & 0xff;
            break;
        }
        case 24: row[3 * x] = b, row[3 * x + 1] = g, row[3 * x + 2] = r; break;
        default: {
            DWORD v = bitfields ? ToMask(r, masks[0]) | ToMask(g, masks[1]) | ToMask(b, masks[2])
                                : (DWORD(r) << 16) | (DWORD(g) << 8) | b;
            std::memcpy(row + 4 * x, &v, 4);
        }
        }
    }
};

bool ValidHeader(const BITMAPINFOHEADER &h)
{
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0) return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 24: return h.biCompression == BI_RGB;
    case 16: case 32: return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
    default: return false;
    }
}

// The colour table a BITMAPINFO carries (or indexes through the DC's palette with DIB_PAL_COLORS), and masks.
DibFormat FormatOf(const BITMAPINFO *info, UINT usage, Dc *dc, std::vector<RGBQUAD> &table)
{
    const BITMAPINFOHEADER &h = info->bmiHeader;
    DibFormat f;
    f.bpp = h.biBitCount;
    const BYTE *after = reinterpret_cast<const BYTE *>(info) + h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        f.bitfields = true;
        std::memcpy(f.masks, after, sizeof f.masks);
    }
    int n = ColorCount(h);
    table.resize(n);
    if (usage == DIB_PAL_COLORS) {
        auto *idx = reinterpret_cast<const WORD *>(after);
        for (int i = 0; i < n; ++i) {
            COLORREF c = ResolveColor(dc, PALETTEINDEX(idx[i]));
            table[i] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
    } else if (n) {
        std::memcpy(table.data(), after, n * sizeof(RGBQUAD));
    }
    f.colors = table.data();
    f.ncolors = n;
    return f;
}

bool BlackWhite(const std::vector<RGBQUAD> &t)
{
    return t.size() == 2 && t[0].rgbRed == 0 && t[0].rgbGreen == 0 && t[0].rgbBlue == 0 && t[1].rgbRed == 255 &&
           t[1].rgbGreen == 255 && t[1].rgbBlue == 255;
}

uint32_t *Row(cairo_surface_t *s, int y)
{
    return reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
}

HBITMAP NewBitmap(int w, int h, bool mono)
{
    auto bm = std::make_unique<Bitmap>();
    bm->width = w;
    bm->height = h;
    bm->mono = mono;
    bm->bpp = mono ? 1 : 32;
    bm->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(bm->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
    return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

inline uint32_t Rop3(BYTE code, uint32_t P, uint32_t S, uint32_t D)
{
    switch (code) {
    case 0xCC: return S;
    case 0xF0: return P;
    case 0x00: return 0;
    case 0xFF: return 0xffffff;
    }
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i)
        if ((code >> i) & 1) r |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
    return r & 0xffffff;
}

// How a DIB section's bits are laid out, for reading and writing its pixels.
DibFormat FormatOf(const Bitmap &b)
{
    DibFormat f;
    f.bpp = b.bih.biBitCount;
    f.colors = b.colors.data();
    f.ncolors = static_cast<int>(b.colors.size());
    f.bitfields = b.bih.biCompression == BI_BITFIELDS;
    std::memcpy(f.masks, b.masks, sizeof b.masks);
    return f;
}

} // namespace

Bitmap::~Bitmap()
{
    if (surface) cairo_surface_destroy(surface);
    std::free(bits);
}

void Bitmap::PullDib()
{
    if (!dib) return;
    const DibFormat f = FormatOf(*this);
    cairo_surface_flush(surface);
    bool bottomUp = bih.biHeight > 0;
    for (int y = 0; y < height; ++y) {
        const BYTE *src = bits + (bottomUp ? height - 1 - y : y) * stride;
        uint32_t *dst = Row(surface, y);
        for (int x = 0; x < width; ++x) dst[x] = f.Read(src, x);
    }
    cairo_surface_mark_dirty(surface);
}

void Bitmap::PushDib()
{
    if (!dib) return;
    const DibFormat f = FormatOf(*this);
    cairo_surface_flush(surface);
    bool bottomUp = bih.biHeight > 0;
    for (int y = 0; y < height; ++y) {
        BYTE *dst = bits + (bottomUp ? height - 1 - y : y) * stride;
        const uint32_t *src = Row(surface, y);
        for (int x = 0; x < width; ++x) {
            uint32_t p = src[x] & 0xffffff;
            // Leave pixels alone that already read back as the same colour (keeps 32-bit alpha bytes).
            if (f.Read(dst, x) != p) f.Write(dst, x, p);
        }
    }
}

cairo_surface_t *SurfaceFromDib(const BITMAPINFO *info, const void *bits, UINT usage, bool *mono, Dc *dc)
{
    const BITMAPINFOHEADER &h = info->bmiHeader;
    if (!ValidHeader(h) || !bits) return nullptr;
    std::vector<RGBQUAD> table;
    DibFormat f = FormatOf(info, usage, dc, table);
    int w = h.biWidth, hh = std::abs(h.biHeight), stride = DibStride(w, h.biBitCount);
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, hh);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    auto *b = static_cast<const BYTE *>(bits);
    for (int y = 0; y < hh; ++y) {
        const BYTE *src = b + (h.biHeight > 0 ? hh - 1 - y : y) * stride;
        uint32_t *dst = Row(s, y);
        for (int x = 0; x < w; ++x) dst[x] = f.Read(src, x);
    }
    cairo_surface_mark_dirty(s);
    if (mono) *mono = h.biBitCount == 1 && BlackWhite(table);
    return s;
}

BOOL Blit(Dc *dest, int x, int y, int w, int h, Dc *src, int xs, int ys, int ws, int hs, DWORD rop)
{
    BYTE code = (rop >> 16) & 0xff;
    bool needSrc = ((code >> 2) ^ code) & 0x33;
    bool needPat = ((code >> 4) ^ code) & 0x0f;
    if (needSrc && !src) return FALSE;
    bool flipX = false, flipY = false;
    // A negative size mirrors about the given corner pixel: x + w - 1 with -w covers the same pixels as x with w.
    if (w < 0) x += w + 1, w = -w, flipX = !flipX;
    if (h < 0) y += h + 1, h = -h, flipY = !flipY;
    if (needSrc) {
        if (ws < 0) xs += ws + 1, ws = -ws, flipX = !flipX;
        if (hs < 0) ys += hs + 1, hs = -hs, flipY = !flipY;
        if (ws == 0 || hs == 0) return FALSE;
    }
    if (w == 0 || h == 0) return TRUE;

    Target td;
    if (!td.Begin(dest)) return TRUE; // nothing visible: success, as on Windows
    int dx0 = static_cast<int>(x + td.ox), dy0 = static_cast<int>(y + td.oy);

    // The source, copied out first so that overlapping blits within one surface read the original pixels.
    Target ts;
    std::vector<uint32_t> srcPix;
    int sx0 = 0, sy0 = 0, sw = 0, sh = 0;
    RECT srcArea{0, 0, 0, 0};
    if (needSrc) {
        ts.Begin(src);
        if (!ts.surface) {
            td.End();
            return FALSE;
        }
        sx0 = static_cast<int>(xs + ts.ox);
        sy0 = static_cast<int>(ys + ts.oy);
        sw = ts.width;
        sh = ts.height;
        srcArea = src->memory ? RECT{0, 0, sw, sh} : RectIntersect(src->visible, {0, 0, sw, sh});
        cairo_surface_flush(ts.surface);
        srcPix.resize(static_cast<size_t>(sw) * sh);
        for (int r = 0; r < sh; ++r) std::memcpy(&srcPix[static_cast<size_t>(r) * sw], Row(ts.surface, r), sw * 4);
    }

    // The pattern, drawn with the brush into a buffer the size of the destination rectangle.
    cairo_surface_t *pat = nullptr;
    uint32_t solidPat = 0;
    bool patSolid = true;
    if (needPat) {
        auto *b = FindAs<Brush>(dest->st.brush, Kind::Brush);
        if (b && b->log.lbStyle == BS_SOLID) {
            solidPat = PixelFor(td, b->dcBrush ? dest->st.dcBrushColor : b->log.lbColor);
        } else if (b && b->log.lbStyle != BS_NULL) {
            patSolid = false;
            pat = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
            cairo_t *cr = cairo_create(pat);
            Target tp = td;
            tp.ox = td.ox - dx0;
            tp.oy = td.oy - dy0;
            cairo_translate(cr, tp.ox, tp.oy);
            // Brush alignment uses the DC's device origin; shift it by the same amount as the buffer.
            Dc shifted = Dc();
            shifted.st = dest->st;
            shifted.origin = {dest->origin.x - dx0, dest->origin.y - dy0};
            tp.dc = &shifted;
            if (SetBrushSource(cr, tp, dest->st.brush)) cairo_paint(cr);
            cairo_destroy(cr);
            cairo_surface_flush(pat);
            tp.dc = nullptr;
        }
    }

    uint32_t srcBk = needSrc ? PixelFor(ts, src->st.bkColor) : 0;
    uint32_t monoFg = PixelFor(td, dest->st.textColor), monoBg = PixelFor(td, dest->st.bkColor);
    bool srcMono = needSrc && ts.mono;

    cairo_surface_flush(td.surface);
    RECT want{dx0, dy0, dx0 + w, dy0 + h};
    for (const RECT &c : td.clip) {
        RECT r = RectIntersect(c, want);
        if (RectEmpty(r)) continue;
        for (int py = r.top; py < r.bottom; ++py) {
            uint32_t *drow = Row(td.surface, py);
            int j = py - dy0;
            int sy = needSrc ? sy0 + (flipY ? (hs - 1 - static_cast<int>(static_cast<long long>(j) * hs / h))
                                            : static_cast<int>(static_cast<long long>(j) * hs / h))
                             : 0;
            for (int px = r.left; px < r.right; ++px) {
                int i = px - dx0;
                uint32_t S = 0, P = 0;
                if (needSrc) {
                    int sx = sx0 + (flipX ? (ws - 1 - static_cast<int>(static_cast<long long>(i) * ws / w))
                                          : static_cast<int>(static_cast<long long>(i) * ws / w));
                    if (sx < srcArea.left || sx >= srcArea.right || sy < srcArea.top || sy >= srcArea.bottom)
                        continue;
                    S = srcPix[static_cast<size_t>(sy) * sw + sx] & 0xffffff;
                    if (srcMono && !td.mono) S = S ? monoBg : monoFg;
                    else if (!srcMono && td.mono) S = S == srcBk ? 0xffffff : 0;
                }
                if (needPat) P = patSolid ? solidPat : (Row(pat, j)[i] & 0xffffff);
                drow[px] = Rop3(code, P, S, drow[px] & 0xffffff);
            }
        }
    }
    cairo_surface_mark_dirty(td.surface);
    if (pat) cairo_surface_destroy(pat);
    td.End();
    return TRUE;
}

HBITMAP BitmapFromPackedDib(const BYTE *data, size_t size, bool asDibSection)
{
    if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size) return nullptr;
    size_t tableBytes = ColorCount(h) * sizeof(RGBQUAD);
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) tableBytes += 3 * sizeof(DWORD);
    size_t bitsAt = h.biSize + tableBytes;
    size_t need = static_cast<size_t>(DibStride(h.biWidth, h.biBitCount)) * std::abs(h.biHeight);
    if (!ValidHeader(h) || bitsAt + need > size) return nullptr;
    // A copy with the standard header size, so the colour table follows the header where BITMAPINFO expects it.
    h.biSize = sizeof(BITMAPINFOHEADER);
    const BYTE *header = reinterpret_cast<const BYTE *>(&h);
    std::vector<BYTE> info(header, header + sizeof h);
    info.insert(info.end(), data + bitsAt - tableBytes, data + bitsAt);
    auto *bi = reinterpret_cast<const BITMAPINFO *>(info.data());
    if (asDibSection) {
        void *bits = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bmp) {
            std::memcpy(bits, data + bitsAt, need);
            FindBitmap(bmp)->PullDib();
        }
        return bmp;
    }
    bool mono = false;
    cairo_surface_t *s = SurfaceFromDib(bi, data + bitsAt, DIB_RGB_COLORS, &mono, nullptr);
    if (!s) return nullptr;
    auto bm = std::make_unique<Bitmap>();
    bm->width = h.biWidth;
    bm->height = std::abs(h.biHeight);
    bm->mono = mono;
    bm->bpp = mono ? 1 : 32;
    bm->surface = s;
    return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

} // namespace zg

using namespace zg;

// A 0 width or height gives the stock 1 x 1 monochrome bitmap. One bit per pixel makes a monochrome bitmap (set
// bits are white); other depths a colour bitmap. Initial bits are rows of the given depth padded to 16 bits.
HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void *bits)
{
    ZG_LOCK;
    if (width < 0 || height < 0 || planes != 1 || bitsPerPixel > 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) return static_cast<HBITMAP>(DefaultBitmap());
    bool mono = bitsPerPixel == 1;
    HBITMAP h = NewBitmap(width, height, mono);
    if (!h) return nullptr;
    Bitmap *bm = FindBitmap(h);
    if (!mono) bm->bpp = static_cast<int>(bitsPerPixel);
    if (bits && (mono || bitsPerPixel == 32 || bitsPerPixel == 24)) {
        int stride = ((width * static_cast<int>(bitsPerPixel) + 15) / 16) * 2;
        DibFormat f;
        f.bpp = static_cast<int>(bitsPerPixel);
        static const RGBQUAD bw[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        f.colors = bw;
        f.ncolors = 2;
        cairo_surface_flush(bm->surface);
        for (int y = 0; y < height; ++y) {
            const BYTE *src = static_cast<const BYTE *>(bits) + y * stride;
            uint32_t *dst = Row(bm->surface, y);
            for (int x = 0; x < width; ++x) dst[x] = f.Read(src, x);
        }
        cairo_surface_mark_dirty(bm->surface);
    }
    return h;
}

// Compatible with the DC: monochrome when a memory DC holds a monochrome bitmap (its default one included),
// colour otherwise. A 0 size gives the stock 1 x 1 bitmap. The pixels start black.
HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (width == 0 || height == 0) return static_cast<HBITMAP>(DefaultBitmap());
    Bitmap *cur = dc->memory ? FindBitmap(dc->bitmap) : nullptr;
    return NewBitmap(width, height, cur && cur->mono);
}

// The bits are zero-filled and stay valid until the bitmap is deleted. File-mapping sections are not supported.
HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *info, UINT usage, void **bitsOut, HANDLE section,
                                DWORD offset)
{
    ZG_LOCK;
    if (bitsOut) *bitsOut = nullptr;
    if (!info || !ValidHeader(info->bmiHeader) || section || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER &h = info->bmiHeader;
    int w = h.biWidth, hh = std::abs(h.biHeight);
    auto bm = std::make_unique<Bitmap>();
    std::vector<RGBQUAD> table;
    DibFormat f = FormatOf(info, usage, FindDc(hdc), table);
    bm->dib = true;
    bm->bih = h;
    bm->bih.biSize = sizeof(BITMAPINFOHEADER);
    bm->colors = table;
    if (f.bitfields) std::memcpy(bm->masks, f.masks, sizeof bm->masks);
    else if (h.biBitCount == 16) bm->masks[0] = 0x7c00, bm->masks[1] = 0x03e0, bm->masks[2] = 0x001f;
    else if (h.biBitCount == 32) bm->masks[0] = 0xff0000, bm->masks[1] = 0xff00, bm->masks[2] = 0xff;
    bm->width = w;
    bm->height = hh;
    bm->bpp = h.biBitCount;
    bm->mono = h.biBitCount == 1 && BlackWhite(table);
    bm->stride = DibStride(w, h.biBitCount);
    bm->bits = static_cast<BYTE *>(std::calloc(static_cast<size_t>(bm->stride) * hh, 1));
    bm->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, hh);
    if (!bm->bits || cairo_surface_status(bm->surface) != CAIRO_STATUS_SUCCESS) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bm->PullDib();
    if (bitsOut) *bitsOut = bm->bits;
    return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

// A device-dependent bitmap compatible with the DC, initialised from the DIB when CBM_INIT is given.
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER *header, DWORD init, const void *bits,
                              const BITMAPINFO *info, UINT usage)
{
    ZG_LOCK;
    if (!header) return nullptr;
    Dc *dc = FindDc(hdc);
    Bitmap *cur = dc && dc->memory ? FindBitmap(dc->bitmap) : nullptr;
    HBITMAP h = NewBitmap(header->biWidth, std::abs(header->biHeight), cur && cur->mono);
    if (h && (init & CBM_INIT) && bits && info)
        SetDIBits(hdc, h, 0, static_cast<UINT>(std::abs(header->biHeight)), bits, info, usage);
    return h;
}

// Copies rows [start, start + lines) of the DIB (row 0 is the bottom row of a bottom-up DIB) into the bitmap;
// returns the rows copied.
int WINAPI SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void *bits, const BITMAPINFO *info,
                     UINT usage)
{
    ZG_LOCK;
    Bitmap *bm = FindBitmap(bitmap);
    if (!bm || !info || !bits || !ValidHeader(info->bmiHeader)) return 0;
    const BITMAPINFOHEADER &h = info->bmiHeader;
    std::vector<RGBQUAD> table;
    DibFormat f = FormatOf(info, usage, FindDc(hdc), table);
    int hh = std::abs(h.biHeight), stride = DibStride(h.biWidth, h.biBitCount);
    if (bm->dib) bm->PullDib();
    cairo_surface_flush(bm->surface);
    int copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        int scan = static_cast<int>(start + i);
        if (scan >= hh) break;
        int y = h.biHeight > 0 ? hh - 1 - scan : scan;
        if (y >= bm->height) continue;
        const BYTE *src = static_cast<const BYTE *>(bits) + static_cast<size_t>(i) * stride;
        uint32_t *dst = Row(bm->surface, y);
        for (int x = 0; x < std::min<int>(h.biWidth, bm->width); ++x) {
            uint32_t p = f.Read(src, x);
            if (bm->mono) {
                int lum = (((p >> 16) & 0xff) * 30 + ((p >> 8) & 0xff) * 59 + (p & 0xff) * 11) / 100;
                p = lum >= 128 ? 0xffffff : 0;
            }
            dst[x] = p;
        }
        ++copied;
    }
    cairo_surface_mark_dirty(bm->surface);
    if (bm->dib) bm->PushDib();
    return copied;
}

// With null bits and biBitCount 0 the header is filled in from the bitmap; with null bits otherwise the image size
// and colour table. With bits, rows [start, start + lines) are converted to the requested format (monochrome
// tables are black and white; 4 and 8 bits use the default palette colours) and the number of rows is returned.
int WINAPI GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage)
{
    ZG_LOCK;
    Bitmap *bm = FindBitmap(bitmap);
    if (!bm || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER &h = info->bmiHeader;
    if (!bits && h.biBitCount == 0) {
        h.biWidth = bm->width;
        h.biHeight = bm->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(bm->dib ? bm->bih.biBitCount : bm->bpp);
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibStride(bm->width, h.biBitCount) * bm->height);
        return 1;
    }
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
    if (h.biWidth <= 0) h.biWidth = bm->width;
    if (h.biHeight == 0) h.biHeight = bm->height;
    h.biPlanes = 1;
    if (h.biCompression != BI_BITFIELDS) h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(h.biWidth, bpp) * std::abs(h.biHeight));
    std::vector<RGBQUAD> table;
    if (bpp <= 8) {
        int n = 1 << bpp;
        if (bm->dib && bm->bih.biBitCount == bpp) {
            table = bm->colors;
        } else if (bpp == 1) {
            table = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        } else {
            HPALETTE pal = static_cast<HPALETTE>(Stock(DEFAULT_PALETTE));
            auto *p = FindAs<Palette>(pal, Kind::Palette);
            for (const PALETTEENTRY &e : p->entries) table.push_back({e.peBlue, e.peGreen, e.peRed, 0});
            for (int r = 0; static_cast<int>(table.size()) < n; ++r) {
                int i = static_cast<int>(table.size());
                table.push_back({BYTE((i * 37) & 0xff), BYTE((i * 91) & 0xff), BYTE((i * 53) & 0xff), 0});
            }
        }
        table.resize(n);
        if (usage == DIB_RGB_COLORS) std::memcpy(info->bmiColors, table.data(), n * sizeof(RGBQUAD));
    }
    if (h.biCompression == BI_BITFIELDS) {
        auto *m = reinterpret_cast<DWORD *>(info->bmiColors);
        if (bpp == 16) m[0] = 0xf800, m[1] = 0x07e0, m[2] = 0x001f;
        else m[0] = 0xff0000, m[1] = 0xff00, m[2] = 0xff;
    }
    if (!bits) return static_cast<int>(std::abs(h.biHeight));
    DibFormat f;
    f.bpp = bpp;
    f.colors = table.data();
    f.ncolors = static_cast<int>(table.size());
    if (h.biCompression == BI_BITFIELDS) {
        f.bitfields = true;
        std::memcpy(f.masks, info->bmiColors, sizeof f.masks);
    }
    if (bm->dib) bm->PullDib();
    cairo_surface_flush(bm->surface);
    int hh = std::abs(h.biHeight), stride = DibStride(h.biWidth, bpp), copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        int scan = static_cast<int>(start + i);
        if (scan >= hh) break;
        int y = h.biHeight > 0 ? hh - 1 - scan : scan;
        BYTE *dst = static_cast<BYTE *>(bits) + static_cast<size_t>(i) * stride;
        std::memset(dst, 0, stride);
        if (y < bm->height) {
            const uint32_t *src = Row(bm->surface, y);
            for (int x = 0; x < std::min<int>(h.biWidth, bm->width); ++x) f.Write(dst, x, src[x] & 0xffffff);
        }
        ++copied;
    }
    return copied;
}

// Blits between DCs with any ternary raster operation; monochrome sources take the destination's text colour
// for 0 bits and background colour for 1 bits, colour sources going to monochrome give 1 where they match the
// source's background colour. Stretching picks the nearest source pixel; negative sizes mirror.
BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                       int srcHeight, DWORD rop)
{
    ZG_LOCK;
    Dc *d = FindDc(dest);
    Dc *s = src ? FindDc(src) : nullptr;
    if (!d || (src && !s)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return Blit(d, x, y, width, height, s, xSrc, ySrc, srcWidth, srcHeight, rop);
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
    return StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

// A raster operation that needs a source fails.
BOOL WINAPI PatBlt(HDC dest, int x, int y, int width, int height, DWORD rop)
{
    ZG_LOCK;
    Dc *d = FindDc(dest);
    if (!d) return FALSE;
    BYTE code = (rop >> 16) & 0xff;
    if (((code >> 2) ^ code) & 0x33) return FALSE;
    return Blit(d, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

namespace {
int DibToDevice(HDC hdc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, const void *bits,
                const BITMAPINFO *info, UINT usage, DWORD rop)
{
    Dc *d = FindDc(hdc);
    if (!d || !info || !bits) return 0;
    bool mono = false;
    cairo_surface_t *s = SurfaceFromDib(info, bits, usage, &mono, d);
    if (!s) return 0;
    auto bm = std::make_unique<Bitmap>();
    bm->width = cairo_image_surface_get_width(s);
    bm->height = cairo_image_surface_get_height(s);
    bm->surface = s;
    // A DIB source is colour data: 1-bit DIBs were expanded through their own colour table.
    HGDIOBJ hb = AddObject(std::move(bm));
    HDC mem = CreateCompatibleDC(nullptr);
    SelectObject(mem, hb);
    // DIB source coordinates count rows from the bottom for bottom-up DIBs.
    int rows = std::abs(info->bmiHeader.biHeight);
    int sy = info->bmiHeader.biHeight > 0 ? rows - ys - hs : ys;
    BOOL ok = Blit(d, x, y, w, h, FindDc(mem), xs, sy, ws, hs, rop);
    DeleteDC(mem);
    RemoveObject(hb);
    return ok ? rows : 0;
}
} // namespace

// Draws the DIB stretched into the destination rectangle; returns the number of scan lines.
int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                         int srcWidth, int srcHeight, const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop)
{
    ZG_LOCK;
    return DibToDevice(dc, xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight, bits, info, usage,
                       rop);
}

// Draws the DIB unscaled; the bits hold the whole image (the start scan and line count bands are not supported
// beyond 0 and the full height).
int WINAPI SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                             UINT startScan, UINT lines, const void *bits, const BITMAPINFO *info, UINT usage)
{
    ZG_LOCK;
    return DibToDevice(dc, xDest, yDest, static_cast<int>(width), static_cast<int>(height), xSrc, ySrc,
                       static_cast<int>(width), static_cast<int>(height), bits, info, usage, SRCCOPY);
}

// The colour at a point, or CLR_INVALID outside the clip region.
COLORREF WINAPI GetPixel(HDC hdc, int x, int y)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    Target t;
    if (!dc || !t.Begin(dc)) return CLR_INVALID;
    int px = static_cast<int>(x + t.ox), py = static_cast<int>(y + t.oy);
    COLORREF out = CLR_INVALID;
    for (const RECT &c : t.clip)
        if (px >= c.left && px < c.right && py >= c.top && py < c.bottom) {
            cairo_surface_flush(t.surface);
            out = ColorFromPixel(Row(t.surface, py)[px]);
            break;
        }
    return out;
}

// Returns the colour actually set (the nearest the bitmap can hold), or -1 outside the clip region.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    Target t;
    if (!dc || !t.Begin(dc)) return static_cast<COLORREF>(-1);
    int px = static_cast<int>(x + t.ox), py = static_cast<int>(y + t.oy);
    for (const RECT &c : t.clip)
        if (px >= c.left && px < c.right && py >= c.top && py < c.bottom) {
            cairo_surface_flush(t.surface);
            uint32_t p = PixelFor(t, color);
            Row(t.surface, py)[px] = p;
            cairo_surface_mark_dirty(t.surface);
            t.End();
            return ColorFromPixel(p);
        }
    return static_cast<COLORREF>(-1);
}
