// The GDI object model of the Linux layer: handle table, drawing objects, DCs and the Cairo surfaces behind them.
#pragma once
#include <cairo.h>
#include <pango/pango.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win32/windows.h"

namespace zg {

enum class Kind { Pen, Brush, Font, Bitmap, Region, Palette, Dc, Icon };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    // A pen, brush, font or palette deleted while selected goes when the last DC lets go of it.
    bool deletePending = false;
};

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    LOGPEN log{};
    bool dcPen = false; // DC_PEN: colour comes from the DC
};

struct Bitmap;
struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    LOGBRUSH log{};
    bool dcBrush = false;
    // Pattern brushes keep their own copy of the pattern, so deleting the bitmap does not break them.
    cairo_surface_t *pattern = nullptr;
    bool patternMono = false;
    ~Brush() override
    {
        if (pattern) cairo_surface_destroy(pattern);
    }
};

struct Font : Object {
    Font() : Object(Kind::Font) {}
    LOGFONTW log{};
    PangoFontDescription *desc = nullptr;
    ~Font() override
    {
        if (desc) pango_font_description_free(desc);
    }
};

// A region is a set of disjoint rectangles.
struct Region : Object {
    Region() : Object(Kind::Region) {}
    std::vector<RECT> rects;
};

struct Palette : Object {
    Palette() : Object(Kind::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

// Every bitmap draws on an RGB24 Cairo surface. A monochrome bitmap holds only black and white pixels there; a
// DIB section also keeps the caller-visible bits in its own format and is converted on each drawing call.
struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    int width = 0, height = 0;
    int bpp = 32;         // bits per pixel the caller sees (1 for monochrome bitmaps)
    bool mono = false;    // black-and-white semantics in blits
    cairo_surface_t *surface = nullptr;
    bool dib = false;
    BITMAPINFOHEADER bih{};
    std::vector<RGBQUAD> colors;
    DWORD masks[3] = {0, 0, 0};
    BYTE *bits = nullptr;
    int stride = 0;       // bytes per DIB row
    HDC selectedIn = nullptr;
    ~Bitmap() override;
    void PullDib();       // DIB bits -> surface
    void PushDib();       // surface -> DIB bits
};

struct Icon : Object {
    Icon() : Object(Kind::Icon) {}
    int width = 0, height = 0;
    cairo_surface_t *image = nullptr; // ARGB32, transparent where the mask is set
    HBITMAP colorBitmap = nullptr;    // for GetIconInfo callers, created on demand
    bool shared = false;              // LR_SHARED and system icons survive DestroyIcon
    BOOL isIcon = TRUE;
    ~Icon() override
    {
        if (image) cairo_surface_destroy(image);
    }
};

// What a window DC draws on: the top-level window's surface, the window's client origin in it and the area the
// window may paint.
struct WindowSurface {
    HWND root = nullptr;
    cairo_surface_t *surface = nullptr;
    int width = 0, height = 0;
    ~WindowSurface()
    {
        if (surface) cairo_surface_destroy(surface);
    }
};

struct DcState {
    HGDIOBJ pen = nullptr, brush = nullptr, font = nullptr, palette = nullptr;
    COLORREF bkColor = RGB(255, 255, 255), textColor = RGB(0, 0, 0);
    COLORREF dcBrushColor = RGB(255, 255, 255), dcPenColor = RGB(0, 0, 0);
    int bkMode = OPAQUE, rop2 = R2_COPYPEN, stretchMode = BLACKONWHITE;
    UINT textAlign = 0;
    POINT viewportOrg{0, 0}, windowOrg{0, 0}, brushOrg{0, 0}, current{0, 0};
    bool hasClip = false;
    std::vector<RECT> clip; // device coordinates
};

struct Dc : Object {
    Dc() : Object(Kind::Dc) {}
    bool memory = false;
    HGDIOBJ bitmap = nullptr; // memory DCs
    HWND window = nullptr;    // window DCs
    bool paintDc = false;
    std::shared_ptr<WindowSurface> surface;
    POINT origin{0, 0}; // device (0, 0) in surface pixels
    RECT visible{0, 0, 0, 0}; // surface pixels the DC may touch
    DcState st;
    std::vector<std::pair<DcState, HGDIOBJ>> saved;
};

// One lock for the handle table and the objects; exported functions take it.
std::recursive_mutex &Lock();
#define ZG_LOCK std::lock_guard<std::recursive_mutex> zgGuard(::zg::Lock())

HGDIOBJ AddObject(std::unique_ptr<Object> object);
Object *Find(HGDIOBJ handle);
template <typename T>
T *FindAs(HGDIOBJ handle, Kind kind)
{
    Object *o = Find(handle);
    return o && o->kind == kind ? static_cast<T *>(o) : nullptr;
}
inline Dc *FindDc(HDC dc) { return FindAs<Dc>(dc, Kind::Dc); }
inline Bitmap *FindBitmap(HGDIOBJ h) { return FindAs<Bitmap>(h, Kind::Bitmap); }
void RemoveObject(HGDIOBJ handle);
// Frees objects whose deletion waited for them to be deselected.
void ReleaseIfPending(HGDIOBJ handle);
bool IsSelectedAnywhere(HGDIOBJ handle);

// Stock objects and the default bitmap of memory DCs.
HGDIOBJ Stock(int index);
HGDIOBJ DefaultBitmap();
HBRUSH SysColorBrush(int index);

// Regions as rectangle lists.
std::vector<RECT> RegionIntersect(const std::vector<RECT> &a, const std::vector<RECT> &b);
std::vector<RECT> RegionSubtract(const std::vector<RECT> &a, const std::vector<RECT> &b);
std::vector<RECT> RegionUnion(const std::vector<RECT> &a, const std::vector<RECT> &b);
int RegionComplexity(const std::vector<RECT> &r);
RECT RegionBox(const std::vector<RECT> &r);
inline bool RectEmpty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }
RECT RectIntersect(const RECT &a, const RECT &b);

// Drawing targets. A Target is valid while the DC and its bitmap live; End() writes DIB sections back.
struct Target {
    Dc *dc = nullptr;
    cairo_surface_t *surface = nullptr;
    Bitmap *bitmap = nullptr; // memory DCs
    bool mono = false;
    int width = 0, height = 0;
    std::vector<RECT> clip;   // surface pixels, never empty when drawing is possible
    double ox = 0, oy = 0;    // logical (0, 0) in surface pixels
    bool Begin(Dc *dc);
    void End();
    // A Cairo context clipped and translated to logical coordinates; null when nothing is visible.
    cairo_t *Context();
};
COLORREF ResolveColor(Dc *dc, COLORREF c);
// The colour as stored on the target: monochrome targets get black or white.
uint32_t PixelFor(const Target &t, COLORREF c);
inline COLORREF ColorFromPixel(uint32_t p) { return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff); }
void SetSource(cairo_t *cr, const Target &t, COLORREF c);
// Sets the DC's brush as the source; false for a null brush.
bool SetBrushSource(cairo_t *cr, const Target &t, HGDIOBJ brush);
// Monochrome surfaces are snapped back to black and white after anti-aliased drawing.
void SnapMono(cairo_surface_t *s);

// Raster-operation blit between DCs (also used by PatBlt, with no source).
BOOL Blit(Dc *dest, int x, int y, int w, int h, Dc *src, int xs, int ys, int ws, int hs, DWORD rop);
// A colour RGB24 surface from DIB data (bits upside down when the height is positive).
cairo_surface_t *SurfaceFromDib(const BITMAPINFO *info, const void *bits, UINT usage, bool *mono, Dc *dc);
// A bitmap object from packed DIB data (header, colour table, bits), as LoadBitmapW and LoadImageW want it.
HBITMAP BitmapFromPackedDib(const BYTE *data, size_t size, bool asDibSection);

// Fonts.
PangoContext *TextContext();
PangoFontDescription *DescriptionFor(const LOGFONTW &lf);
Font *CurrentFont(Dc *dc);
void FontMetrics(Font *font, TEXTMETRICW *tm);
// Text extent of UTF-16 text in the font (width, cell height).
SIZE MeasureText(Font *font, const WCHAR *text, int count);
void InitFonts();

// Window DCs.
HDC WindowDc(HWND window, bool client);
// Sys colours.
COLORREF SysColor(int index);

} // namespace zg
