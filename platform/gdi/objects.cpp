// GDI object handles: the handle table, stock objects, pens, brushes, palettes, regions, selection and deletion.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "gdi/gdi_internal.h"

namespace zg {

namespace {

struct Table {
    std::unordered_map<uintptr_t, std::unique_ptr<Object>> objects;
    uintptr_t next = 0x10000;
    HGDIOBJ stock[DC_PEN + 1] = {};
    HGDIOBJ defaultBitmap = nullptr;
    HGDIOBJ sysBrushes[COLOR_MENUBAR + 1] = {};
    bool ready = false;
};

Table &T()
{
    static Table *t = new Table; // never destroyed: handles may be used during process exit
    return *t;
}

HGDIOBJ MakeStock(std::unique_ptr<Object> o)
{
    o->stock = true;
    return AddObject(std::move(o));
}

HGDIOBJ StockPen(UINT style, COLORREF c, bool dc = false)
{
    auto p = std::make_unique<Pen>();
    p->log = {style, {1, 0}, c};
    p->log.lopnWidth.x = style == PS_NULL ? 0 : 1;
    p->dcPen = dc;
    return MakeStock(std::move(p));
}

HGDIOBJ StockBrush(UINT style, COLORREF c, bool dc = false)
{
    auto b = std::make_unique<Brush>();
    b->log = {style, c, 0};
    b->dcBrush = dc;
    return MakeStock(std::move(b));
}

HGDIOBJ StockFont(const char16_t *face, LONG height, BYTE pitch)
{
    auto f = std::make_unique<Font>();
    f->log.lfHeight = height;
    f->log.lfWeight = FW_NORMAL;
    f->log.lfCharSet = DEFAULT_CHARSET;
    f->log.lfPitchAndFamily = pitch;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) f->log.lfFaceName[i] = face[i];
    f->desc = DescriptionFor(f->log);
    return MakeStock(std::move(f));
}

void EnsureStock()
{
    Table &t = T();
    if (t.ready) return;
    t.ready = true;
    t.stock[WHITE_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255));
    t.stock[LTGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(192, 192, 192));
    t.stock[GRAY_BRUSH] = StockBrush(BS_SOLID, RGB(128, 128, 128));
    t.stock[DKGRAY_BRUSH] = StockBrush(BS_SOLID, RGB(64, 64, 64));
    t.stock[BLACK_BRUSH] = StockBrush(BS_SOLID, RGB(0, 0, 0));
    t.stock[NULL_BRUSH] = StockBrush(BS_NULL, 0);
    t.stock[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
    t.stock[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
    t.stock[NULL_PEN] = StockPen(PS_NULL, 0);
    t.stock[OEM_FIXED_FONT] = StockFont(u"Courier New", 12, FIXED_PITCH | FF_MODERN);
    t.stock[ANSI_FIXED_FONT] = StockFont(u"Courier New", 12, FIXED_PITCH | FF_MODERN);
    t.stock[ANSI_VAR_FONT] = StockFont(u"MS Sans Serif", 12, VARIABLE_PITCH | FF_SWISS);
    t.stock[SYSTEM_FONT] = StockFont(u"System", 16, VARIABLE_PITCH | FF_SWISS);
    t.stock[DEVICE_DEFAULT_FONT] = StockFont(u"System", 16, VARIABLE_PITCH | FF_SWISS);
    t.stock[SYSTEM_FIXED_FONT] = StockFont(u"Courier New", 16, FIXED_PITCH | FF_MODERN);
    t.stock[DEFAULT_GUI_FONT] = StockFont(u"MS Shell Dlg", -11, VARIABLE_PITCH | FF_SWISS);
    auto pal = std::make_unique<Palette>();
    // The 20 static colours of the default palette.
    static const BYTE kDefault[20][3] = {
        {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128},
        {192, 192, 192}, {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164}, {128, 128, 128},
        {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (auto &c : kDefault) pal->entries.push_back({c[0], c[1], c[2], 0});
    t.stock[DEFAULT_PALETTE] = MakeStock(std::move(pal));
    t.stock[DC_BRUSH] = StockBrush(BS_SOLID, RGB(255, 255, 255), true);
    t.stock[DC_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0), true);
    auto bmp = std::make_unique<Bitmap>();
    bmp->width = bmp->height = 1;
    bmp->bpp = 1;
    bmp->mono = true;
    bmp->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    t.defaultBitmap = MakeStock(std::move(bmp));
}

} // namespace

std::recursive_mutex &Lock()
{
    static std::recursive_mutex *m = new std::recursive_mutex;
    return *m;
}

HGDIOBJ AddObject(std::unique_ptr<Object> object)
{
    Table &t = T();
    uintptr_t h = t.next;
    t.next += 4;
    t.objects.emplace(h, std::move(object));
    return reinterpret_cast<HGDIOBJ>(h);
}

Object *Find(HGDIOBJ handle)
{
    EnsureStock();
    auto &objs = T().objects;
    auto it = objs.find(reinterpret_cast<uintptr_t>(handle));
    return it == objs.end() ? nullptr : it->second.get();
}

void RemoveObject(HGDIOBJ handle) { T().objects.erase(reinterpret_cast<uintptr_t>(handle)); }

bool IsSelectedAnywhere(HGDIOBJ handle)
{
    for (auto &[h, o] : T().objects) {
        if (o->kind != Kind::Dc) continue;
        auto *dc = static_cast<Dc *>(o.get());
        const DcState &s = dc->st;
        if (s.pen == handle || s.brush == handle || s.font == handle || s.palette == handle || dc->bitmap == handle)
            return true;
    }
    return false;
}

void ReleaseIfPending(HGDIOBJ handle)
{
    Object *o = Find(handle);
    if (o && o->deletePending && !IsSelectedAnywhere(handle)) RemoveObject(handle);
}

HGDIOBJ Stock(int index)
{
    EnsureStock();
    return index >= 0 && index <= DC_PEN ? T().stock[index] : nullptr;
}

HGDIOBJ DefaultBitmap()
{
    EnsureStock();
    return T().defaultBitmap;
}

HBRUSH SysColorBrush(int index)
{
    EnsureStock();
    if (index < 0 || index > COLOR_MENUBAR) return nullptr;
    HGDIOBJ &b = T().sysBrushes[index];
    if (!b) b = StockBrush(BS_SOLID, SysColor(index));
    return static_cast<HBRUSH>(b);
}

// ---- rectangle-list regions ----

RECT RectIntersect(const RECT &a, const RECT &b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) r = {0, 0, 0, 0};
    return r;
}

std::vector<RECT> RegionIntersect(const std::vector<RECT> &a, const std::vector<RECT> &b)
{
    std::vector<RECT> out;
    for (const RECT &x : a)
        for (const RECT &y : b) {
            RECT r = RectIntersect(x, y);
            if (!RectEmpty(r)) out.push_back(r);
        }
    return out;
}

static void SubtractOne(const RECT &a, const RECT &b, std::vector<RECT> &out)
{
    RECT i = RectIntersect(a, b);
    if (RectEmpty(i)) {
        out.push_back(a);
        return;
    }
    if (a.top < i.top) out.push_back({a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom) out.push_back({a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left) out.push_back({a.left, i.top, i.left, i.bottom});
    if (i.right < a.right) out.push_back({i.right, i.top, a.right, i.bottom});
}

std::vector<RECT> RegionSubtract(const std::vector<RECT> &a, const std::vector<RECT> &b)
{
    std::vector<RECT> cur = a;
    for (const RECT &y : b) {
        std::vector<RECT> next;
        for (const RECT &x : cur) SubtractOne(x, y, next);
        cur.swap(next);
    }
    return cur;
}

std::vector<RECT> RegionUnion(const std::vector<RECT> &a, const std::vector<RECT> &b)
{
    std::vector<RECT> out = a;
    for (const RECT &r : RegionSubtract(b, a)) out.push_back(r);
    return out;
}

RECT RegionBox(const std::vector<RECT> &r)
{
    if (r.empty()) return {0, 0, 0, 0};
    RECT b = r[0];
    for (const RECT &x : r) {
        b.left = std::min(b.left, x.left);
        b.top = std::min(b.top, x.top);
        b.right = std::max(b.right, x.right);
        b.bottom = std::max(b.bottom, x.bottom);
    }
    return b;
}

int RegionComplexity(const std::vector<RECT> &r)
{
    return r.empty() ? NULLREGION : r.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace zg

using namespace zg;

// A stock object index outside the table gives NULL.
HGDIOBJ WINAPI GetStockObject(int index)
{
    ZG_LOCK;
    return Stock(index);
}

// Any pen style but the known ones is refused; width 0 means one pixel; PS_NULL gives a pen that draws nothing.
HPEN WINAPI CreatePen(int style, int width, COLORREF color)
{
    ZG_LOCK;
    if (style < PS_SOLID || style > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto p = std::make_unique<Pen>();
    p->log.lopnStyle = style;
    p->log.lopnWidth = {width < 0 ? -width : width, 0};
    p->log.lopnColor = color;
    return static_cast<HPEN>(AddObject(std::move(p)));
}

// A null record pointer fails.
HPEN WINAPI CreatePenIndirect(const LOGPEN *pen)
{
    if (!pen) return nullptr;
    return CreatePen(pen->lopnStyle, pen->lopnWidth.x, pen->lopnColor);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    ZG_LOCK;
    auto b = std::make_unique<Brush>();
    b->log = {BS_SOLID, color, 0};
    return static_cast<HBRUSH>(AddObject(std::move(b)));
}

// An unknown hatch style fails.
HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color)
{
    ZG_LOCK;
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_unique<Brush>();
    b->log = {BS_HATCHED, color, static_cast<ULONG_PTR>(hatch)};
    return static_cast<HBRUSH>(AddObject(std::move(b)));
}

// The brush copies the pattern: the bitmap may be deleted afterwards. A monochrome pattern takes the DC's text
// and background colours when used.
HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap)
{
    ZG_LOCK;
    Bitmap *bm = FindBitmap(bitmap);
    if (!bm) return nullptr;
    if (bm->dib) bm->PullDib();
    auto b = std::make_unique<Brush>();
    b->log = {BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
    b->pattern = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bm->width, bm->height);
    cairo_t *cr = cairo_create(b->pattern);
    cairo_set_source_surface(cr, bm->surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    b->patternMono = bm->mono;
    return static_cast<HBRUSH>(AddObject(std::move(b)));
}

// BS_NULL gives the stock null brush, as Windows does.
HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH *brush)
{
    if (!brush) return nullptr;
    switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    default: return nullptr;
    }
}

// A palette of 0 entries or a null record fails.
HPALETTE WINAPI CreatePalette(const LOGPALETTE *palette)
{
    ZG_LOCK;
    if (!palette || palette->palNumEntries == 0) return nullptr;
    auto p = std::make_unique<Palette>();
    p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    return static_cast<HPALETTE>(AddObject(std::move(p)));
}

// Copies at most `count` entries from `start`; with a null array, returns the palette's size.
UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries)
{
    ZG_LOCK;
    auto *p = FindAs<Palette>(palette, Kind::Palette);
    if (!p) return 0;
    UINT n = static_cast<UINT>(p->entries.size());
    if (!entries) return n;
    if (start >= n) return 0;
    count = std::min(count, n - start);
    std::memcpy(entries, &p->entries[start], count * sizeof(PALETTEENTRY));
    return count;
}

// The index of the closest entry by squared RGB distance; CLR_INVALID for a bad handle.
UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF color)
{
    ZG_LOCK;
    auto *p = FindAs<Palette>(palette, Kind::Palette);
    if (!p) return CLR_INVALID;
    UINT best = 0;
    long bestD = -1;
    for (UINT i = 0; i < p->entries.size(); ++i) {
        const PALETTEENTRY &e = p->entries[i];
        long dr = e.peRed - GetRValue(color), dg = e.peGreen - GetGValue(color), db = e.peBlue - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) bestD = d, best = i;
    }
    return best;
}

// ---- regions ----

// A region with right < left or bottom < top is normalised; an empty one is a valid null region.
HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom)
{
    ZG_LOCK;
    auto r = std::make_unique<Region>();
    RECT rc{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    if (!RectEmpty(rc)) r->rects.push_back(rc);
    return static_cast<HRGN>(AddObject(std::move(r)));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT *rect)
{
    if (!rect) return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL WINAPI SetRectRgn(HRGN region, int left, int top, int right, int bottom)
{
    ZG_LOCK;
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!r) return FALSE;
    r->rects.clear();
    RECT rc{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    if (!RectEmpty(rc)) r->rects.push_back(rc);
    return TRUE;
}

// The result's complexity, or ERROR for a bad handle or mode; `dest` may be one of the sources.
int WINAPI CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    ZG_LOCK;
    auto *d = FindAs<Region>(dest, Kind::Region);
    auto *a = FindAs<Region>(src1, Kind::Region);
    auto *b = mode == RGN_COPY ? nullptr : FindAs<Region>(src2, Kind::Region);
    if (!d || !a || (mode != RGN_COPY && !b)) return ERROR;
    std::vector<RECT> out;
    switch (mode) {
    case RGN_AND: out = RegionIntersect(a->rects, b->rects); break;
    case RGN_OR: out = RegionUnion(a->rects, b->rects); break;
    case RGN_XOR: out = RegionUnion(RegionSubtract(a->rects, b->rects), RegionSubtract(b->rects, a->rects)); break;
    case RGN_DIFF: out = RegionSubtract(a->rects, b->rects); break;
    case RGN_COPY: out = a->rects; break;
    default: return ERROR;
    }
    d->rects = std::move(out);
    return RegionComplexity(d->rects);
}

int WINAPI OffsetRgn(HRGN region, int dx, int dy)
{
    ZG_LOCK;
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!r) return ERROR;
    for (RECT &rc : r->rects) rc = {rc.left + dx, rc.top + dy, rc.right + dx, rc.bottom + dy};
    return RegionComplexity(r->rects);
}

// An empty region gives an all-zero box and NULLREGION.
int WINAPI GetRgnBox(HRGN region, LPRECT box)
{
    ZG_LOCK;
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!r || !box) return ERROR;
    *box = RegionBox(r->rects);
    return RegionComplexity(r->rects);
}

BOOL WINAPI PtInRegion(HRGN region, int x, int y)
{
    ZG_LOCK;
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!r) return FALSE;
    for (const RECT &rc : r->rects)
        if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom) return TRUE;
    return FALSE;
}

// ---- selection, deletion, description ----

// Selecting returns the previous object of that kind; a region is copied into the clip region and its
// complexity returned; a bitmap goes only into a memory DC and only into one DC at a time.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    Object *o = Find(object);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ old = nullptr;
    switch (o->kind) {
    case Kind::Pen: old = dc->st.pen, dc->st.pen = object; break;
    case Kind::Brush: old = dc->st.brush, dc->st.brush = object; break;
    case Kind::Font: old = dc->st.font, dc->st.font = object; break;
    case Kind::Region: return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(SelectClipRgn(hdc, static_cast<HRGN>(object))));
    case Kind::Bitmap: {
        auto *bm = static_cast<Bitmap *>(o);
        if (!dc->memory) return nullptr;
        if (bm->selectedIn && bm->selectedIn != hdc) return nullptr;
        // A colour bitmap does not go into a DC compatible with a monochrome one only in theory: Windows allows both.
        Bitmap *prev = FindBitmap(dc->bitmap);
        if (prev && prev != bm) prev->selectedIn = nullptr;
        old = dc->bitmap;
        dc->bitmap = object;
        if (!bm->stock) bm->selectedIn = hdc;
        break;
    }
    default: return nullptr;
    }
    if (old != object) ReleaseIfPending(old);
    return old;
}

// Stock objects are not deleted (the call still succeeds). A bitmap selected into a DC is not deleted and the call
// fails; a selected pen, brush, font or palette is deleted when it is deselected.
BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    ZG_LOCK;
    Object *o = Find(object);
    if (!o || o->kind == Kind::Dc || o->kind == Kind::Icon) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (o->stock) return TRUE;
    if (o->kind == Kind::Bitmap && static_cast<Bitmap *>(o)->selectedIn) return FALSE;
    if (IsSelectedAnywhere(object)) {
        o->deletePending = true;
        return TRUE;
    }
    RemoveObject(object);
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ object)
{
    ZG_LOCK;
    Object *o = Find(object);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
    case Kind::Pen: return OBJ_PEN;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Font: return OBJ_FONT;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Region: return OBJ_REGION;
    case Kind::Palette: return OBJ_PAL;
    case Kind::Dc: return static_cast<Dc *>(o)->memory ? OBJ_MEMDC : OBJ_DC;
    default: return 0;
    }
}

namespace {
int CopyOut(const void *src, int srcSize, int size, LPVOID out)
{
    if (!out) return srcSize;
    int n = std::min(size, srcSize);
    if (n <= 0) return 0;
    std::memcpy(out, src, n);
    return n;
}
} // namespace

// With a null buffer, returns the size the record needs. A bitmap gives BITMAP, or DIBSECTION for a DIB section
// when the buffer is that big; a palette gives its entry count as a WORD.
int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID out)
{
    ZG_LOCK;
    Object *o = Find(object);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
    case Kind::Pen: {
        auto *p = static_cast<Pen *>(o);
        return CopyOut(&p->log, sizeof(LOGPEN), size, out);
    }
    case Kind::Brush: {
        auto *b = static_cast<Brush *>(o);
        LOGBRUSH lb = b->log;
        if (b->dcBrush) lb.lbColor = RGB(255, 255, 255);
        return CopyOut(&lb, sizeof(LOGBRUSH), size, out);
    }
    case Kind::Font: return CopyOut(&static_cast<Font *>(o)->log, sizeof(LOGFONTW), size, out);
    case Kind::Palette: {
        WORD n = static_cast<WORD>(static_cast<Palette *>(o)->entries.size());
        return CopyOut(&n, sizeof n, size, out);
    }
    case Kind::Bitmap: {
        auto *bm = static_cast<Bitmap *>(o);
        DIBSECTION ds{};
        ds.dsBm.bmWidth = bm->width;
        ds.dsBm.bmHeight = bm->height;
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = static_cast<WORD>(bm->bpp);
        if (bm->dib) {
            ds.dsBm.bmWidthBytes = bm->stride;
            ds.dsBm.bmBits = bm->bits;
            ds.dsBmih = bm->bih;
            ds.dsBmih.biSizeImage = static_cast<DWORD>(bm->stride * bm->height);
            std::memcpy(ds.dsBitfields, bm->masks, sizeof ds.dsBitfields);
            if (out && size >= static_cast<int>(sizeof(DIBSECTION))) return CopyOut(&ds, sizeof ds, size, out);
        } else {
            // Device-dependent rows are padded to 16 bits.
            ds.dsBm.bmWidthBytes = ((bm->width * bm->bpp + 15) / 16) * 2;
        }
        return CopyOut(&ds.dsBm, sizeof(BITMAP), size, out);
    }
    default: return 0;
    }
}

// The object of `type` selected into the DC; NULL for other types.
HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_PEN: return dc->st.pen;
    case OBJ_BRUSH: return dc->st.brush;
    case OBJ_FONT: return dc->st.font;
    case OBJ_PAL: return dc->st.palette;
    case OBJ_BITMAP: return dc->memory ? dc->bitmap : nullptr;
    default: return nullptr;
    }
}
