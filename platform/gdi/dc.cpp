// Device contexts: memory and display DCs, attributes, coordinate origins, clipping, and the drawing target.
#include <algorithm>
#include <cstring>

#include "gdi/gdi_internal.h"

namespace zg {

namespace {
void InitState(Dc *dc)
{
    dc->st.pen = Stock(BLACK_PEN);
    dc->st.brush = Stock(WHITE_BRUSH);
    dc->st.font = Stock(SYSTEM_FONT);
    dc->st.palette = Stock(DEFAULT_PALETTE);
}
} // namespace

HDC NewDc(bool memory)
{
    auto dc = std::make_unique<Dc>();
    dc->memory = memory;
    InitState(dc.get());
    if (memory) dc->bitmap = DefaultBitmap();
    return static_cast<HDC>(AddObject(std::move(dc)));
}

COLORREF ResolveColor(Dc *dc, COLORREF c)
{
    if ((c >> 24) == 0x01) {
        auto *pal = dc ? FindAs<Palette>(dc->st.palette, Kind::Palette) : nullptr;
        UINT i = c & 0xffff;
        if (pal && i < pal->entries.size()) {
            const PALETTEENTRY &e = pal->entries[i];
            return RGB(e.peRed, e.peGreen, e.peBlue);
        }
        return RGB(0, 0, 0);
    }
    return c & 0x00ffffff;
}

uint32_t PixelFor(const Target &t, COLORREF c)
{
    c = ResolveColor(t.dc, c);
    if (t.mono) {
        int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
        return lum >= 128 ? 0xffffff : 0;
    }
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void SetSource(cairo_t *cr, const Target &t, COLORREF c)
{
    uint32_t p = PixelFor(t, c);
    cairo_set_source_rgb(cr, ((p >> 16) & 0xff) / 255.0, ((p >> 8) & 0xff) / 255.0, (p & 0xff) / 255.0);
}

void SnapMono(cairo_surface_t *s)
{
    cairo_surface_flush(s);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    int stride = cairo_image_surface_get_stride(s);
    BYTE *data = cairo_image_surface_get_data(s);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            int lum = (((p >> 16) & 0xff) * 30 + ((p >> 8) & 0xff) * 59 + (p & 0xff) * 11) / 100;
            row[x] = lum >= 128 ? 0xffffff : 0;
        }
    }
    cairo_surface_mark_dirty(s);
}

namespace {
cairo_surface_t *HatchSurface(const Target &t, int hatch, COLORREF color, COLORREF bk, bool opaque)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_surface_flush(s);
    auto *data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    uint32_t fg = 0xff000000 | PixelFor(t, color), bg = opaque ? 0xff000000 | PixelFor(t, bk) : 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (hatch) {
            case HS_HORIZONTAL: on = y == 7; break;
            case HS_VERTICAL: on = x == 7; break;
            case HS_FDIAGONAL: on = x == y; break;
            case HS_BDIAGONAL: on = x == 7 - y; break;
            case HS_CROSS: on = x == 7 || y == 7; break;
            case HS_DIAGCROSS: on = x == y || x == 7 - y; break;
            }
            reinterpret_cast<uint32_t *>(data + y * stride)[x] = on ? fg : bg;
        }
    cairo_surface_mark_dirty(s);
    return s;
}
} // namespace

bool SetBrushSource(cairo_t *cr, const Target &t, HGDIOBJ handle)
{
    auto *b = FindAs<Brush>(handle, Kind::Brush);
    if (!b || b->log.lbStyle == BS_NULL) return false;
    const DcState &st = t.dc->st;
    if (b->log.lbStyle == BS_SOLID) {
        SetSource(cr, t, b->dcBrush ? st.dcBrushColor : b->log.lbColor);
        return true;
    }
    cairo_surface_t *s = nullptr;
    if (b->log.lbStyle == BS_HATCHED) {
        s = HatchSurface(t, static_cast<int>(b->log.lbHatch), b->log.lbColor, st.bkColor, st.bkMode == OPAQUE);
    } else {
        s = cairo_surface_reference(b->pattern);
        if (b->patternMono || t.mono) {
            // Monochrome patterns take the text colour for black and the background colour for white.
            int w = cairo_image_surface_get_width(b->pattern), h = cairo_image_surface_get_height(b->pattern);
            cairo_surface_destroy(s);
            s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
            cairo_surface_flush(b->pattern);
            cairo_surface_flush(s);
            uint32_t fg = PixelFor(t, st.textColor), bg = PixelFor(t, st.bkColor);
            for (int y = 0; y < h; ++y) {
                auto *src = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(b->pattern) +
                                                         y * cairo_image_surface_get_stride(b->pattern));
                auto *dst = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(s) +
                                                         y * cairo_image_surface_get_stride(s));
                for (int x = 0; x < w; ++x) {
                    uint32_t p = src[x] & 0xffffff;
                    dst[x] = b->patternMono ? (p ? bg : fg) : (t.mono ? PixelFor(t, ColorFromPixel(p)) : p);
                }
            }
            cairo_surface_mark_dirty(s);
        }
    }
    cairo_pattern_t *pat = cairo_pattern_create_for_surface(s);
    cairo_surface_destroy(s);
    cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pat, CAIRO_FILTER_NEAREST);
    // Patterns repeat from the brush origin in device space, whatever the shape.
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, t.ox - t.dc->origin.x - st.brushOrg.x, t.oy - t.dc->origin.y - st.brushOrg.y);
    cairo_pattern_set_matrix(pat, &m);
    cairo_set_source(cr, pat);
    cairo_pattern_destroy(pat);
    return true;
}

bool Target::Begin(Dc *d)
{
    dc = d;
    RECT area;
    if (d->memory) {
        bitmap = FindBitmap(d->bitmap);
        if (!bitmap) return false;
        if (bitmap->dib) bitmap->PullDib();
        surface = bitmap->surface;
        mono = bitmap->mono;
        width = bitmap->width;
        height = bitmap->height;
        area = {0, 0, width, height};
    } else if (d->surface) {
        surface = d->surface->surface;
        width = d->surface->width;
        height = d->surface->height;
        area = RectIntersect(d->visible, {0, 0, width, height});
    } else {
        return false; // a display DC has nothing to draw on
    }
    ox = d->origin.x + d->st.viewportOrg.x - d->st.windowOrg.x;
    oy = d->origin.y + d->st.viewportOrg.y - d->st.windowOrg.y;
    if (d->st.hasClip) {
        std::vector<RECT> c;
        for (const RECT &r : d->st.clip)
            c.push_back({r.left + d->origin.x, r.top + d->origin.y, r.right + d->origin.x, r.bottom + d->origin.y});
        clip = RegionIntersect(c, {area});
    } else if (!RectEmpty(area)) {
        clip = {area};
    }
    return !clip.empty();
}

void Target::End()
{
    if (!surface) return;
    cairo_surface_flush(surface);
    if (mono) SnapMono(surface);
    if (bitmap && bitmap->dib) bitmap->PushDib();
}

cairo_t *Target::Context()
{
    if (clip.empty()) return nullptr;
    cairo_t *cr = cairo_create(surface);
    for (const RECT &r : clip) cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_clip(cr);
    cairo_translate(cr, ox, oy);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    return cr;
}

} // namespace zg

using namespace zg;

// A memory DC starts with a 1 x 1 monochrome bitmap, the stock pen, brush and font, whatever DC it is based on.
HDC WINAPI CreateCompatibleDC(HDC dc)
{
    ZG_LOCK;
    if (dc && !FindDc(dc)) return nullptr;
    return NewDc(true);
}

// Only the display ("DISPLAY") is supported: a DC with the screen's capabilities and nothing to draw on.
HDC WINAPI CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const DEVMODEW *devmode)
{
    ZG_LOCK;
    return NewDc(false);
}

// Deleting a DC deselects its objects, so those waiting for deletion go now.
BOOL WINAPI DeleteDC(HDC hdc)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DcState st = dc->st;
    HGDIOBJ bmp = dc->bitmap;
    if (Bitmap *bm = FindBitmap(bmp)) {
        if (bm->selectedIn == hdc) bm->selectedIn = nullptr;
    }
    RemoveObject(hdc);
    for (HGDIOBJ h : {st.pen, st.brush, st.font, st.palette, bmp}) ReleaseIfPending(h);
    return TRUE;
}

// Returns the new depth of the saved-state stack (1 for the first save), 0 on failure.
int WINAPI SaveDC(HDC hdc)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return 0;
    dc->saved.emplace_back(dc->st, dc->bitmap);
    return static_cast<int>(dc->saved.size());
}

// A positive level restores that saved state and drops the later ones; a negative level counts back from the
// latest. A level beyond the stack fails.
BOOL WINAPI RestoreDC(HDC hdc, int level)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return FALSE;
    int n = static_cast<int>(dc->saved.size());
    int index = level > 0 ? level - 1 : n + level;
    if (level == 0 || index < 0 || index >= n) return FALSE;
    DcState old = dc->st;
    HGDIOBJ oldBitmap = dc->bitmap;
    dc->st = dc->saved[index].first;
    HGDIOBJ bmp = dc->saved[index].second;
    dc->saved.resize(index);
    if (dc->memory && bmp != oldBitmap && FindBitmap(bmp)) {
        if (Bitmap *ob = FindBitmap(oldBitmap)) ob->selectedIn = nullptr;
        dc->bitmap = bmp;
        if (Bitmap *nb = FindBitmap(bmp); nb && !nb->stock) nb->selectedIn = hdc;
    }
    for (HGDIOBJ h : {old.pen, old.brush, old.font, old.palette, oldBitmap}) ReleaseIfPending(h);
    return TRUE;
}

// A 96-dpi true-colour display of 1920 x 1080 pixels without a palette; memory DCs report the same device.
int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return 0;
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return 508;
    case VERTSIZE: return 286;
    case HORZRES: return 1920;
    case VERTRES: return 1080;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    default: return 0;
    }
}

// Drawing is synchronous here; there is never a batch to flush.
BOOL WINAPI GdiFlush() { return TRUE; }

#define ZG_ATTR(type, name, field, fail)                                  \
    type WINAPI Set##name(HDC hdc, type value)                            \
    {                                                                     \
        ZG_LOCK;                                                          \
        Dc *dc = FindDc(hdc);                                             \
        if (!dc) return fail;                                             \
        type old = dc->st.field;                                          \
        dc->st.field = value;                                             \
        return old;                                                       \
    }                                                                     \
    type WINAPI Get##name(HDC hdc)                                        \
    {                                                                     \
        ZG_LOCK;                                                          \
        Dc *dc = FindDc(hdc);                                             \
        return dc ? dc->st.field : fail;                                  \
    }

// Each setter returns the previous value, or CLR_INVALID / 0 / GDI_ERROR for a bad DC.
ZG_ATTR(COLORREF, BkColor, bkColor, CLR_INVALID)
ZG_ATTR(COLORREF, TextColor, textColor, CLR_INVALID)
ZG_ATTR(UINT, TextAlign, textAlign, GDI_ERROR)
ZG_ATTR(int, ROP2, rop2, 0)

// A mode other than TRANSPARENT or OPAQUE is refused with 0.
int WINAPI SetBkMode(HDC hdc, int mode)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = dc->st.bkMode;
    dc->st.bkMode = mode;
    return old;
}

int WINAPI GetBkMode(HDC hdc)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    return dc ? dc->st.bkMode : 0;
}

int WINAPI SetStretchBltMode(HDC hdc, int mode)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    int old = dc->st.stretchMode;
    dc->st.stretchMode = mode;
    return old;
}

COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->st.dcBrushColor;
    dc->st.dcBrushColor = color;
    return old;
}

COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->st.dcPenColor;
    dc->st.dcPenColor = color;
    return old;
}

namespace {
BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT old, bool relative)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT &p = dc->st.*field;
    if (old) *old = p;
    p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}
BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !out) return FALSE;
    *out = dc->st.*field;
    return TRUE;
}
} // namespace

// Origins: the old value goes to `old` when given.
BOOL WINAPI SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DcState::viewportOrg, x, y, old, false); }
BOOL WINAPI OffsetViewportOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DcState::viewportOrg, x, y, old, true); }
BOOL WINAPI GetViewportOrgEx(HDC dc, LPPOINT out) { return GetPoint(dc, &DcState::viewportOrg, out); }
BOOL WINAPI SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DcState::windowOrg, x, y, old, false); }
BOOL WINAPI GetWindowOrgEx(HDC dc, LPPOINT out) { return GetPoint(dc, &DcState::windowOrg, out); }
BOOL WINAPI SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DcState::brushOrg, x, y, old, false); }
BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT old) { return SetPoint(dc, &DcState::current, x, y, old, false); }
BOOL WINAPI GetCurrentPositionEx(HDC dc, LPPOINT out) { return GetPoint(dc, &DcState::current, out); }

// ---- clipping (regions in device coordinates) ----

namespace {
// The DC's whole device area, for combining with "no clip region".
std::vector<RECT> DeviceArea(Dc *dc)
{
    if (dc->memory) {
        Bitmap *bm = FindBitmap(dc->bitmap);
        return {RECT{0, 0, bm ? bm->width : 1, bm ? bm->height : 1}};
    }
    if (dc->surface)
        return {RECT{dc->visible.left - dc->origin.x, dc->visible.top - dc->origin.y,
                     dc->visible.right - dc->origin.x, dc->visible.bottom - dc->origin.y}};
    return {RECT{0, 0, 1920, 1080}};
}
int ClipResult(Dc *dc)
{
    return RegionComplexity(dc->st.hasClip ? RegionIntersect(dc->st.clip, DeviceArea(dc)) : DeviceArea(dc));
}
RECT LogicalToDevice(Dc *dc, RECT r)
{
    int dx = dc->st.viewportOrg.x - dc->st.windowOrg.x, dy = dc->st.viewportOrg.y - dc->st.windowOrg.y;
    RECT out{std::min(r.left, r.right) + dx, std::min(r.top, r.bottom) + dy, std::max(r.left, r.right) + dx,
             std::max(r.top, r.bottom) + dy};
    return out;
}
} // namespace

// RGN_COPY with a null region removes clipping; other modes combine with the current clip region (none = the
// whole device). Returns the new clip region's complexity.
int WINAPI ExtSelectClipRgn(HDC hdc, HRGN region, int mode)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return ERROR;
    if (!region) {
        if (mode != RGN_COPY) return ERROR;
        dc->st.hasClip = false;
        dc->st.clip.clear();
        return ClipResult(dc);
    }
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!r) return ERROR;
    std::vector<RECT> cur = dc->st.hasClip ? dc->st.clip : DeviceArea(dc);
    switch (mode) {
    case RGN_COPY: cur = r->rects; break;
    case RGN_AND: cur = RegionIntersect(cur, r->rects); break;
    case RGN_OR: cur = RegionUnion(cur, r->rects); break;
    case RGN_DIFF: cur = RegionSubtract(cur, r->rects); break;
    case RGN_XOR: cur = RegionUnion(RegionSubtract(cur, r->rects), RegionSubtract(r->rects, cur)); break;
    default: return ERROR;
    }
    dc->st.hasClip = true;
    dc->st.clip = std::move(cur);
    return ClipResult(dc);
}

int WINAPI SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

// The rectangle is in logical units; the clip region becomes its intersection with the current one.
int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return ERROR;
    RECT r = LogicalToDevice(dc, {left, top, right, bottom});
    std::vector<RECT> cur = dc->st.hasClip ? dc->st.clip : DeviceArea(dc);
    dc->st.clip = RectEmpty(r) ? std::vector<RECT>{} : RegionIntersect(cur, {r});
    dc->st.hasClip = true;
    return ClipResult(dc);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return ERROR;
    RECT r = LogicalToDevice(dc, {left, top, right, bottom});
    std::vector<RECT> cur = dc->st.hasClip ? dc->st.clip : DeviceArea(dc);
    dc->st.clip = RectEmpty(r) ? cur : RegionSubtract(cur, {r});
    dc->st.hasClip = true;
    return ClipResult(dc);
}

// The bounding box of what can be drawn, in logical units.
int WINAPI GetClipBox(HDC hdc, LPRECT box)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !box) return ERROR;
    std::vector<RECT> area = dc->st.hasClip ? RegionIntersect(dc->st.clip, DeviceArea(dc)) : DeviceArea(dc);
    RECT b = RegionBox(area);
    int dx = dc->st.viewportOrg.x - dc->st.windowOrg.x, dy = dc->st.viewportOrg.y - dc->st.windowOrg.y;
    *box = {b.left - dx, b.top - dy, b.right - dx, b.bottom - dy};
    return RegionComplexity(area);
}

// 1 and a copy of the clip region when the DC has one; 0 (region untouched) when it has none.
int WINAPI GetClipRgn(HDC hdc, HRGN region)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!dc || !r) return -1;
    if (!dc->st.hasClip) return 0;
    r->rects = dc->st.clip;
    return 1;
}

// ---- palettes on a true-colour display ----

// The previous palette; the DC's colours resolve PALETTEINDEX through the selected one.
HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !FindAs<Palette>(palette, Kind::Palette)) return nullptr;
    HGDIOBJ old = dc->st.palette;
    dc->st.palette = palette;
    if (old != palette) ReleaseIfPending(old);
    return static_cast<HPALETTE>(old);
}

// A true-colour display maps nothing into a system palette: 0 entries change.
UINT WINAPI RealizePalette(HDC hdc)
{
    ZG_LOCK;
    return FindDc(hdc) ? 0 : GDI_ERROR;
}

// A display without a palette has no system palette entries to report.
UINT WINAPI GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, LPPALETTEENTRY entries) { return 0; }

// Every colour is exact on a true-colour display; on a monochrome bitmap the nearest of black and white.
COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    Bitmap *bm = dc->memory ? FindBitmap(dc->bitmap) : nullptr;
    COLORREF c = ResolveColor(dc, color);
    if (bm && bm->mono) {
        Target t;
        t.dc = dc;
        t.mono = true;
        return PixelFor(t, c) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    return c;
}
