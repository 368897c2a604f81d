// The picture routines the pages and dialogs share: magenta shows the window through, framed DIBs with palettes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/win32.h"
#include "ui/picture.h"

namespace {

using namespace zep;

constexpr COLORREF kBackground = RGB(0x10, 0x20, 0x30);

// A 32-bit memory surface filled with one colour.
struct Surface {
    MemoryDc dc{CreateCompatibleDC(nullptr)};
    GdiObject bitmap;
    HGDIOBJ old = nullptr;
    Surface(int w, int h)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = nullptr;
        bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        old = SelectObject(dc.get(), bitmap.get());
        GdiObject brush(CreateSolidBrush(kBackground));
        RECT all = {0, 0, w, h};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(brush.get()));
    }
    ~Surface() { SelectObject(dc.get(), old); }
    COLORREF At(int x, int y) const { return GetPixel(dc.get(), x, y); }
};

TEST(Pictures, MagentaLetsTheWindowShowThrough)
{
    Surface surface(8, 4);
    GdiObject source(CreateCompatibleBitmap(surface.dc.get(), 3, 1));
    {
        MemoryDc paint(CreateCompatibleDC(surface.dc.get()));
        HGDIOBJ old = SelectObject(paint.get(), source.get());
        SetPixel(paint.get(), 0, 0, RGB(0xFF, 0, 0xFF));
        SetPixel(paint.get(), 1, 0, RGB(0xC0, 0x40, 0x00));
        SetPixel(paint.get(), 2, 0, RGB(0xFF, 0, 0xFE)); // near magenta is a colour like any other
        SelectObject(paint.get(), old);
    }
    ASSERT_TRUE(DrawTransparent(surface.dc.get(), 2, 1, static_cast<HBITMAP>(source.get())));
    EXPECT_EQ(surface.At(2, 1), kBackground);
    EXPECT_EQ(surface.At(3, 1), RGB(0xC0, 0x40, 0x00));
    EXPECT_EQ(surface.At(4, 1), RGB(0xFF, 0, 0xFE));
    EXPECT_EQ(surface.At(5, 1), kBackground); // nothing beyond the picture
    EXPECT_EQ(surface.At(3, 0), kBackground);
}

// A packed 8-bit DIB of w x h with a two-colour table: index 1 on the top row, index 0 elsewhere.
std::vector<BYTE> PaletteDib(int w, int h)
{
    const int stride = (w + 3) & ~3;
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD) + stride * h);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = w;
    header.biHeight = h; // bottom-up
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 2;
    std::memcpy(dib.data(), &header, sizeof(header));
    RGBQUAD table[2] = {{0x00, 0xFF, 0x00, 0}, {0xFF, 0x00, 0x00, 0}}; // green, blue
    std::memcpy(dib.data() + sizeof(header), table, sizeof(table));
    BYTE *bits = dib.data() + sizeof(header) + sizeof(table);
    std::memset(bits + (h - 1) * stride, 1, static_cast<size_t>(w));
    return dib;
}

TEST(Pictures, FramedDibSitsInsideASunkenFrame)
{
    Surface surface(16, 16);
    std::vector<BYTE> dib = PaletteDib(4, 3);
    const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(dib.data());
    ASSERT_TRUE(DrawFramedDib(surface.dc.get(), 1, 1, header, static_cast<DWORD>(dib.size())));
    // The picture at (3, 3): its top row blue, the others green.
    EXPECT_EQ(surface.At(3, 3), RGB(0, 0, 0xFF));
    EXPECT_EQ(surface.At(6, 3), RGB(0, 0, 0xFF));
    EXPECT_EQ(surface.At(3, 5), RGB(0, 0xFF, 0));
    // Outer line: shadow left and top, highlight right and bottom; inner line black left and top.
    EXPECT_EQ(surface.At(1, 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(surface.At(1, 6), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(surface.At(8, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(surface.At(8, 7), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(surface.At(4, 7), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(surface.At(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(surface.At(2, 5), RGB(0, 0, 0));
    EXPECT_EQ(surface.At(0, 0), kBackground);
    EXPECT_EQ(surface.At(9, 9), kBackground);
}

TEST(Pictures, TruncatedDibIsNotDrawn)
{
    Surface surface(16, 16);
    std::vector<BYTE> dib = PaletteDib(4, 3);
    const auto *header = reinterpret_cast<const BITMAPINFOHEADER *>(dib.data());
    for (DWORD size : {DWORD{0}, DWORD{20}, static_cast<DWORD>(sizeof(BITMAPINFOHEADER) + 4),
                       static_cast<DWORD>(dib.size() - 1)}) {
        EXPECT_FALSE(DrawFramedDib(surface.dc.get(), 0, 0, header, size)) << size;
    }
    BITMAPINFOHEADER wide = *header;
    wide.biClrUsed = 100000; // a colour table far beyond the data
    EXPECT_FALSE(DrawFramedDib(surface.dc.get(), 0, 0, &wide, sizeof(wide)));
    EXPECT_EQ(surface.At(0, 0), kBackground);
}

} // namespace
