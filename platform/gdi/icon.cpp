// Bitmaps and icons from module resources (or files, or the system's), icon handles and DrawIconEx.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gdi/gdi_internal.h"
#include "win32/user.h"
#include "zep_platform.h"

namespace zg {

namespace {

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct FileIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    DWORD offset;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14, "group icon entry is 14 bytes");
static_assert(sizeof(FileIconEntry) == 16, "file icon entry is 16 bytes");

struct PngReader {
    const BYTE *p;
    size_t left;
};
cairo_status_t ReadPng(void *closure, unsigned char *out, unsigned int length)
{
    auto *r = static_cast<PngReader *>(closure);
    if (length > r->left) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->p, length);
    r->p += length;
    r->left -= length;
    return CAIRO_STATUS_SUCCESS;
}

uint32_t ReadDibIndex(const BYTE *row, int x, int bpp)
{
    switch (bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xf;
    default: return row[x];
    }
}

// One icon image: PNG data, or a DIB of twice the height holding the colour (XOR) bits then the AND mask.
HICON IconFromImage(const BYTE *data, size_t size, int drawW, int drawH, bool isIcon)
{
    cairo_surface_t *img = nullptr;
    if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0) {
        PngReader r{data, size};
        img = cairo_image_surface_create_from_png_stream(ReadPng, &r);
        if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(img);
            return nullptr;
        }
    } else {
        if (size < sizeof(BITMAPINFOHEADER)) return nullptr;
        BITMAPINFOHEADER h;
        std::memcpy(&h, data, sizeof h);
        int bpp = h.biBitCount, w = h.biWidth, hh = std::abs(h.biHeight) / 2;
        if (h.biSize < sizeof h || w <= 0 || hh <= 0 || w > 1024 || hh > 1024 ||
            (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32))
            return nullptr;
        int ncolors = bpp <= 8 ? (h.biClrUsed ? static_cast<int>(h.biClrUsed) : 1 << bpp) : 0;
        size_t tableAt = h.biSize, bitsAt = tableAt + ncolors * 4;
        int stride = ((w * bpp + 31) / 32) * 4, maskStride = ((w + 31) / 32) * 4;
        size_t maskAt = bitsAt + static_cast<size_t>(stride) * hh;
        bool hasMask = maskAt + static_cast<size_t>(maskStride) * hh <= size;
        if (bitsAt + static_cast<size_t>(stride) * hh > size) return nullptr;
        img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, hh);
        cairo_surface_flush(img);
        bool anyAlpha = false;
        if (bpp == 32)
            for (int y = 0; y < hh && !anyAlpha; ++y)
                for (int x = 0; x < w; ++x)
                    if (data[bitsAt + y * stride + 4 * x + 3]) {
                        anyAlpha = true;
                        break;
                    }
        for (int y = 0; y < hh; ++y) {
            const BYTE *row = data + bitsAt + static_cast<size_t>(hh - 1 - y) * stride;
            const BYTE *mrow = hasMask ? data + maskAt + static_cast<size_t>(hh - 1 - y) * maskStride : nullptr;
            auto *dst = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(img) + y * cairo_image_surface_get_stride(img));
            for (int x = 0; x < w; ++x) {
                uint32_t r, g, b, a = 255;
                if (bpp <= 8) {
                    uint32_t idx = ReadDibIndex(row, x, bpp);
                    const BYTE *q = idx < static_cast<uint32_t>(ncolors) ? data + tableAt + 4 * idx : nullptr;
                    b = q ? q[0] : 0, g = q ? q[1] : 0, r = q ? q[2] : 0;
                } else if (bpp == 24) {
                    b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
                } else {
                    b = row[4 * x], g = row[4 * x + 1], r = row[4 * x + 2];
                    if (anyAlpha) a = row[4 * x + 3];
                }
                if (!anyAlpha && mrow && ((mrow[x >> 3] >> (7 - (x & 7))) & 1)) a = 0;
                // Cairo wants premultiplied alpha.
                dst[x] = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
            }
        }
        cairo_surface_mark_dirty(img);
    }
    auto icon = std::make_unique<Icon>();
    icon->width = drawW > 0 ? drawW : cairo_image_surface_get_width(img);
    icon->height = drawH > 0 ? drawH : cairo_image_surface_get_height(img);
    icon->image = img;
    icon->isIcon = isIcon;
    return static_cast<HICON>(AddObject(std::move(icon)));
}

// Picks the entry closest to the wanted size, preferring more colours at equal size.
template <typename Entry>
int BestEntry(const Entry *entries, int count, int want)
{
    int best = -1;
    long bestScore = 0;
    for (int i = 0; i < count; ++i) {
        int w = entries[i].width ? entries[i].width : 256;
        long score = std::labs(w - want) * 1000 - entries[i].bitCount;
        if (best < 0 || score < bestScore) best = i, bestScore = score;
    }
    return best;
}

const void *ResourceData(HINSTANCE module, LPCWSTR name, LPCWSTR type, DWORD *size)
{
    HRSRC res = FindResourceW(module, name, type);
    if (!res) return nullptr;
    HGLOBAL data = LoadResource(module, res);
    *size = SizeofResource(module, res);
    return data ? LockResource(data) : nullptr;
}

std::vector<BYTE> ReadHostFile(LPCWSTR path)
{
    std::vector<BYTE> out;
    char host[4096];
    if (!ZepHostPathFromWindows(path, host, sizeof host)) return out;
    FILE *f = std::fopen(host, "rb");
    if (!f) return out;
    BYTE buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

// The system icons, drawn once: a red stop sign, a yellow warning triangle, blue information and question
// circles, and a plain application window.
HICON SystemIcon(WORD id)
{
    static std::vector<std::pair<WORD, HICON>> cache;
    for (auto &[k, v] : cache)
        if (k == id) return v;
    if (id < 32512 || id > 32517) return nullptr;
    cairo_surface_t *img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
    cairo_t *cr = cairo_create(img);
    auto glyph = [&](const char *text, double r, double g, double b) {
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 20);
        cairo_text_extents_t e;
        cairo_text_extents(cr, text, &e);
        cairo_set_source_rgb(cr, r, g, b);
        cairo_move_to(cr, 16 - e.width / 2 - e.x_bearing, 17 - e.height / 2 - e.y_bearing);
        cairo_show_text(cr, text);
    };
    switch (id) {
    case 32513: // hand / error
        cairo_arc(cr, 16, 16, 14, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.85, 0.1, 0.1);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, 10, 10), cairo_line_to(cr, 22, 22), cairo_move_to(cr, 22, 10), cairo_line_to(cr, 10, 22);
        cairo_stroke(cr);
        break;
    case 32515: // exclamation / warning
        cairo_move_to(cr, 16, 2), cairo_line_to(cr, 30, 29), cairo_line_to(cr, 2, 29), cairo_close_path(cr);
        cairo_set_source_rgb(cr, 1, 0.8, 0.1);
        cairo_fill(cr);
        glyph("!", 0, 0, 0);
        break;
    case 32514: // question
    case 32516: // asterisk / information
        cairo_arc(cr, 16, 16, 14, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 0.1, 0.35, 0.85);
        cairo_fill(cr);
        glyph(id == 32514 ? "?" : "i", 1, 1, 1);
        break;
    default: // application, logo
        cairo_rectangle(cr, 3, 5, 26, 22);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_rectangle(cr, 3.5, 5.5, 25, 4);
        cairo_set_source_rgb(cr, 0.1, 0.35, 0.85);
        cairo_fill(cr);
        break;
    }
    cairo_destroy(cr);
    auto icon = std::make_unique<Icon>();
    icon->width = icon->height = 32;
    icon->image = img;
    icon->shared = true;
    icon->stock = true;
    HICON h = static_cast<HICON>(AddObject(std::move(icon)));
    cache.emplace_back(id, h);
    return h;
}

HICON LoadIconResource(HINSTANCE module, LPCWSTR name, int cx, int cy, bool isIcon)
{
    DWORD size = 0;
    auto *group = static_cast<const BYTE *>(ResourceData(module, name, isIcon ? RT_GROUP_ICON : RT_GROUP_CURSOR, &size));
    if (!group || size < sizeof(GroupIconHeader)) return nullptr;
    GroupIconHeader gh;
    std::memcpy(&gh, group, sizeof gh);
    if (sizeof gh + gh.count * sizeof(GroupIconEntry) > size || gh.count == 0) return nullptr;
    std::vector<GroupIconEntry> entries(gh.count);
    std::memcpy(entries.data(), group + sizeof gh, gh.count * sizeof(GroupIconEntry));
    int best = BestEntry(entries.data(), gh.count, cx > 0 ? cx : 32);
    DWORD isize = 0;
    auto *image = static_cast<const BYTE *>(
        ResourceData(module, MAKEINTRESOURCEW(entries[best].id), isIcon ? RT_ICON : RT_CURSOR, &isize));
    if (!image) return nullptr;
    if (!isIcon && isize > 4) image += 4, isize -= 4; // cursor images start with the hot spot
    return IconFromImage(image, isize, cx, cy, isIcon);
}

HICON LoadIconFile(LPCWSTR path, int cx, int cy)
{
    std::vector<BYTE> f = ReadHostFile(path);
    if (f.size() < sizeof(GroupIconHeader)) return nullptr;
    GroupIconHeader gh;
    std::memcpy(&gh, f.data(), sizeof gh);
    if (gh.count == 0 || sizeof gh + gh.count * sizeof(FileIconEntry) > f.size()) return nullptr;
    std::vector<FileIconEntry> entries(gh.count);
    std::memcpy(entries.data(), f.data() + sizeof gh, gh.count * sizeof(FileIconEntry));
    int best = BestEntry(entries.data(), gh.count, cx > 0 ? cx : 32);
    const FileIconEntry &e = entries[best];
    if (static_cast<size_t>(e.offset) + e.bytesInRes > f.size()) return nullptr;
    return IconFromImage(f.data() + e.offset, e.bytesInRes, cx, cy, true);
}

} // namespace

} // namespace zg

using namespace zg;

// A bitmap resource becomes a device-dependent bitmap (monochrome for black-and-white 1-bit data). A null module
// has no system bitmaps here. Missing resources fail with ERROR_RESOURCE_NAME_NOT_FOUND.
HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name)
{
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

// Icons load at the standard 32 x 32 size; the system icons (IDI_*) come with a null module.
HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

// Bitmaps (LR_CREATEDIBSECTION keeps the resource's format as a DIB section) and icons, from the module's
// resources or, with LR_LOADFROMFILE, from a .bmp or .ico file. Icons are drawn at cx x cy (0 = the image's own
// size, or 32 with LR_DEFAULTSIZE); the best-sized image of the group is chosen.
HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    ZG_LOCK;
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if ((flags & LR_DEFAULTSIZE) && type != IMAGE_BITMAP) {
        if (!cx) cx = 32;
        if (!cy) cy = 32;
    }
    if (type == IMAGE_BITMAP) {
        HBITMAP bmp = nullptr;
        if (flags & LR_LOADFROMFILE) {
            std::vector<BYTE> f = ReadHostFile(name);
            if (f.size() > sizeof(BITMAPFILEHEADER) && f[0] == 'B' && f[1] == 'M')
                bmp = BitmapFromPackedDib(f.data() + sizeof(BITMAPFILEHEADER), f.size() - sizeof(BITMAPFILEHEADER),
                                          flags & LR_CREATEDIBSECTION);
            if (!bmp) SetLastError(ERROR_FILE_NOT_FOUND);
        } else {
            DWORD size = 0;
            auto *data = static_cast<const BYTE *>(ResourceData(instance, name, RT_BITMAP, &size));
            if (!data) {
                SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
                return nullptr;
            }
            bmp = BitmapFromPackedDib(data, size, flags & LR_CREATEDIBSECTION);
        }
        if (bmp && (cx > 0 || cy > 0)) {
            // Scaled on load to the requested size.
            Bitmap *src = FindBitmap(bmp);
            int w = cx > 0 ? cx : src->width, h = cy > 0 ? cy : src->height;
            if (w != src->width || h != src->height) {
                HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
                auto bm = std::make_unique<Bitmap>();
                bm->width = w, bm->height = h, bm->mono = src->mono, bm->bpp = src->mono ? 1 : 32;
                bm->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
                HBITMAP scaled = static_cast<HBITMAP>(AddObject(std::move(bm)));
                HGDIOBJ oa = SelectObject(a, bmp), ob = SelectObject(b, scaled);
                StretchBlt(b, 0, 0, w, h, a, 0, 0, src->width, src->height, SRCCOPY);
                SelectObject(a, oa), SelectObject(b, ob);
                DeleteDC(a), DeleteDC(b);
                DeleteObject(bmp);
                bmp = scaled;
            }
        }
        return bmp;
    }
    if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
        if (!instance && IS_INTRESOURCE(name) && type == IMAGE_ICON) {
            HICON sys = SystemIcon(LOWORD(reinterpret_cast<ULONG_PTR>(name)));
            if (!sys) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return sys;
        }
        HICON icon = (flags & LR_LOADFROMFILE) ? LoadIconFile(name, cx, cy)
                                               : LoadIconResource(instance, name, cx, cy, type == IMAGE_ICON);
        if (!icon) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        if (flags & LR_SHARED) FindAs<Icon>(icon, Kind::Icon)->shared = true;
        return icon;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

// An icon from a colour bitmap and a mask (set mask bits are transparent), or from the mask alone, whose upper
// half is the AND mask and lower half the XOR image.
HICON WINAPI CreateIconIndirect(PICONINFO info)
{
    ZG_LOCK;
    if (!info) return nullptr;
    Bitmap *mask = FindBitmap(info->hbmMask);
    Bitmap *color = FindBitmap(info->hbmColor);
    if (!mask) return nullptr;
    if (mask->dib) mask->PullDib();
    if (color && color->dib) color->PullDib();
    int w = mask->width, h = color ? color->height : mask->height / 2;
    if (w <= 0 || h <= 0) return nullptr;
    cairo_surface_t *img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(img);
    cairo_surface_flush(mask->surface);
    if (color) cairo_surface_flush(color->surface);
    for (int y = 0; y < h; ++y) {
        auto *dst = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(img) + y * cairo_image_surface_get_stride(img));
        auto *m = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(mask->surface) +
                                               y * cairo_image_surface_get_stride(mask->surface));
        const uint32_t *c = color ? reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(color->surface) +
                                                                 y * cairo_image_surface_get_stride(color->surface))
                                  : reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(mask->surface) +
                                                                 (y + h) * cairo_image_surface_get_stride(mask->surface));
        for (int x = 0; x < w; ++x) dst[x] = (m[x] & 0xffffff) ? 0 : (0xff000000 | (c[x] & 0xffffff));
    }
    cairo_surface_mark_dirty(img);
    auto icon = std::make_unique<Icon>();
    icon->width = w;
    icon->height = h;
    icon->image = img;
    icon->isIcon = info->fIcon;
    return static_cast<HICON>(AddObject(std::move(icon)));
}

// New colour and mask bitmaps the caller must delete; the mask is set where the icon is transparent.
BOOL WINAPI GetIconInfo(HICON handle, PICONINFO info)
{
    ZG_LOCK;
    auto *icon = FindAs<Icon>(handle, Kind::Icon);
    if (!icon || !info) return FALSE;
    int w = cairo_image_surface_get_width(icon->image), h = cairo_image_surface_get_height(icon->image);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    auto bm = std::make_unique<Bitmap>();
    bm->width = w, bm->height = h;
    bm->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    Bitmap *mb = FindBitmap(mask);
    cairo_surface_flush(icon->image);
    cairo_surface_flush(mb->surface);
    cairo_surface_flush(bm->surface);
    for (int y = 0; y < h; ++y) {
        auto *src = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(icon->image) + y * cairo_image_surface_get_stride(icon->image));
        auto *m = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(mb->surface) + y * cairo_image_surface_get_stride(mb->surface));
        auto *c = reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(bm->surface) + y * cairo_image_surface_get_stride(bm->surface));
        for (int x = 0; x < w; ++x) {
            uint32_t a = src[x] >> 24;
            m[x] = a < 128 ? 0xffffff : 0;
            c[x] = a ? (src[x] & 0xffffff) : 0; // premultiplied: opaque pixels are exact
        }
    }
    cairo_surface_mark_dirty(mb->surface);
    cairo_surface_mark_dirty(bm->surface);
    info->fIcon = icon->isIcon;
    info->xHotspot = static_cast<DWORD>(w / 2);
    info->yHotspot = static_cast<DWORD>(h / 2);
    info->hbmMask = mask;
    info->hbmColor = static_cast<HBITMAP>(AddObject(std::move(bm)));
    return TRUE;
}

// Shared and system icons are left alone (the call still succeeds).
BOOL WINAPI DestroyIcon(HICON handle)
{
    ZG_LOCK;
    auto *icon = FindAs<Icon>(handle, Kind::Icon);
    if (!icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!icon->shared) RemoveObject(handle);
    return TRUE;
}

// Draws the icon scaled to width x height (0 = its own size, or the system size with DI_DEFAULTSIZE), after
// filling the area with `flickerFree` when given. DI_MASK alone draws the mask, DI_IMAGE alone the opaque image.
BOOL WINAPI DrawIconEx(HDC hdc, int x, int y, HICON handle, int width, int height, UINT step, HBRUSH flickerFree,
                       UINT flags)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    auto *icon = FindAs<Icon>(handle, Kind::Icon);
    if (!dc || !icon) return FALSE;
    if (!width) width = (flags & DI_DEFAULTSIZE) ? 32 : icon->width;
    if (!height) height = (flags & DI_DEFAULTSIZE) ? 32 : icon->height;
    if (flickerFree) {
        RECT r{x, y, x + width, y + height};
        FillRect(hdc, &r, flickerFree);
    }
    if (!(flags & DI_NORMAL)) flags |= DI_NORMAL;
    Target t;
    if (!t.Begin(dc)) return TRUE;
    cairo_t *cr = t.Context();
    int iw = cairo_image_surface_get_width(icon->image), ih = cairo_image_surface_get_height(icon->image);
    cairo_rectangle(cr, x, y, width, height);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, double(width) / iw, double(height) / ih);
    if ((flags & DI_NORMAL) == DI_MASK) {
        // The mask: black where the icon is opaque, white where it is transparent.
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_mask_surface(cr, icon->image, 0, 0);
    } else {
        if ((flags & DI_NORMAL) == DI_IMAGE) {
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
        }
        cairo_set_source_surface(cr, icon->image, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    t.End();
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon)
{
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}
