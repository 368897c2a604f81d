// GDI behaviour on memory DCs: object selection and deletion, raster operations read back pixel by pixel,
// monochrome conversions, clipping, saved states, shapes and text extents.
#include "win32_test.h"

#include <algorithm>

namespace {

using zep::test::PresetLastError;

// A top-down 32-bit DIB section selected into its own memory DC, pixels as 0x00RRGGBB.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DWORD *bits = nullptr;
    int width, height;
    Canvas(int w, int h, COLORREF fill = RGB(255, 255, 255)) : width(w), height(h)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void *p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<DWORD *>(p);
        old = SelectObject(dc, bitmap);
        Fill(fill);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{0, 0, width, height};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    DWORD At(int x, int y)
    {
        GdiFlush();
        return bits[y * width + x] & 0xffffff;
    }
    void Set(int x, int y, DWORD rgb)
    {
        GdiFlush();
        bits[y * width + x] = rgb;
    }
    // Bounding box of the pixels that differ from `background`.
    RECT Ink(DWORD background)
    {
        RECT r{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
};

TEST(Gdi, StockObjectsSurviveDeletion)
{
    HGDIOBJ pen = GetStockObject(BLACK_PEN);
    ASSERT_NE(pen, nullptr);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetStockObject(99), nullptr);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetObjectType(face), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(Gdi, SelectedBitmapIsNotDeletedAndGoesIntoOneDcOnly)
{
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    // A memory DC starts with a monochrome bitmap, so bitmaps compatible with it are monochrome.
    HBITMAP mono = CreateCompatibleBitmap(a, 8, 8);
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(mono, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HGDIOBJ old = SelectObject(a, mono);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(b, mono), nullptr);
    using zep::test::kWine;
    // Wine reports success and deletes the bitmap once it is selected out; Windows refuses while it is selected.
    EXPECT_AS_WINDOWS(kWine, !DeleteObject(mono));
    EXPECT_EQ(GetObjectType(mono), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(SelectObject(a, old), mono);
    // ...so on Wine it is already gone here.
    EXPECT_AS_WINDOWS(kWine, DeleteObject(mono));
    EXPECT_EQ(GetObjectType(mono), 0u);
    DeleteDC(a);
    DeleteDC(b);
}

TEST(Gdi, GetObjectReportsRecordsAndSizes)
{
    HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
    LOGPEN lp;
    zep::test::FillJunk(&lp, sizeof lp);
    EXPECT_EQ(GetObjectW(pen, 0, nullptr), static_cast<int>(sizeof(LOGPEN)));
    EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof(LOGPEN)));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    DeleteObject(pen);

    LOGFONTW in{};
    in.lfHeight = -13;
    in.lfEscapement = 900;
    in.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&in);
    LOGFONTW out;
    zep::test::FillJunk(&out, sizeof out);
    EXPECT_EQ(GetObjectW(font, sizeof out, &out), static_cast<int>(sizeof(LOGFONTW)));
    EXPECT_EQ(out.lfHeight, -13);
    EXPECT_EQ(out.lfEscapement, 900);
    DeleteObject(font);

    PresetLastError();
    EXPECT_EQ(GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(0x7ff0)), sizeof out, &out), 0);
}

struct RopCase {
    const char *name;
    DWORD rop;
    DWORD (*expect)(DWORD src, DWORD dst, DWORD pat);
};

TEST(Gdi, BitBltRasterOperations)
{
    const DWORD kSrc[] = {0x000000, 0xffffff, 0xff00ff, 0x123456, 0xa5a5a5};
    const DWORD kDst[] = {0xffffff, 0x000000, 0x00ff00, 0x654321, 0x5a5a5a};
    const DWORD kPat = 0x3366cc;
    const RopCase cases[] = {
        {"SRCCOPY", SRCCOPY, [](DWORD s, DWORD, DWORD) { return s; }},
        {"SRCAND", SRCAND, [](DWORD s, DWORD d, DWORD) { return s & d; }},
        {"SRCPAINT", SRCPAINT, [](DWORD s, DWORD d, DWORD) { return s | d; }},
        {"SRCINVERT", SRCINVERT, [](DWORD s, DWORD d, DWORD) { return s ^ d; }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](DWORD s, DWORD, DWORD) { return ~s & 0xffffff; }},
        {"SRCERASE", SRCERASE, [](DWORD s, DWORD d, DWORD) { return s & ~d & 0xffffff; }},
        {"DSTINVERT", DSTINVERT, [](DWORD, DWORD d, DWORD) { return ~d & 0xffffff; }},
        {"BLACKNESS", BLACKNESS, [](DWORD, DWORD, DWORD) { return DWORD(0); }},
        {"WHITENESS", WHITENESS, [](DWORD, DWORD, DWORD) { return DWORD(0xffffff); }},
        {"PATCOPY", PATCOPY, [](DWORD, DWORD, DWORD p) { return p; }},
        {"PATINVERT", PATINVERT, [](DWORD, DWORD d, DWORD p) { return p ^ d; }},
        {"MERGECOPY", MERGECOPY, [](DWORD s, DWORD, DWORD p) { return s & p; }},
    };
    const int n = static_cast<int>(sizeof kSrc / sizeof kSrc[0]);
    Canvas src(n, 1), dst(n, 1);
    HBRUSH brush = CreateSolidBrush(RGB(0x33, 0x66, 0xcc));
    HGDIOBJ oldBrush = SelectObject(dst.dc, brush);
    for (const RopCase &c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < n; ++i) src.Set(i, 0, kSrc[i]), dst.Set(i, 0, kDst[i]);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, n, 1, src.dc, 0, 0, c.rop));
        for (int i = 0; i < n; ++i) EXPECT_EQ(dst.At(i, 0), c.expect(kSrc[i], kDst[i], kPat)) << "pixel " << i;
    }
    SelectObject(dst.dc, oldBrush);
    DeleteObject(brush);
}

// The transparent-bitmap technique: a monochrome mask from the colour key, then mask and image combined.
TEST(Gdi, MonochromeMaskAndColourMapping)
{
    const DWORD kKey = 0xff00ff;
    Canvas image(4, 1), back(4, 1);
    const DWORD kImage[] = {kKey, 0x102030, kKey, 0xffffff};
    const DWORD kBack[] = {0x0000ff, 0x00ff00, 0xabcdef, 0x000000};
    for (int i = 0; i < 4; ++i) image.Set(i, 0, kImage[i]), back.Set(i, 0, kBack[i]);

    HDC maskDc = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(4, 1, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    // Colour to monochrome: pixels of the source's background colour become 1 (white), the rest 0.
    SetBkColor(image.dc, RGB(255, 0, 255));
    ASSERT_TRUE(BitBlt(maskDc, 0, 0, 4, 1, image.dc, 0, 0, SRCCOPY));
    const COLORREF kMaskExpect[] = {RGB(255, 255, 255), 0, RGB(255, 255, 255), 0};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(GetPixel(maskDc, i, 0), kMaskExpect[i]) << "mask " << i;

    // Monochrome to colour: 0 bits take the destination's text colour, 1 bits its background colour.
    Canvas probe(4, 1);
    SetTextColor(probe.dc, RGB(0x11, 0x22, 0x33));
    SetBkColor(probe.dc, RGB(0x44, 0x55, 0x66));
    ASSERT_TRUE(BitBlt(probe.dc, 0, 0, 4, 1, maskDc, 0, 0, SRCCOPY));
    EXPECT_EQ(probe.At(0, 0), 0x445566u);
    EXPECT_EQ(probe.At(1, 0), 0x112233u);

    // Key pixels show the background, the others the image.
    SetTextColor(back.dc, RGB(0, 0, 0));
    SetBkColor(back.dc, RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(back.dc, 0, 0, 4, 1, maskDc, 0, 0, SRCAND));
    SetTextColor(image.dc, RGB(0, 0, 0));
    SetBkColor(image.dc, RGB(255, 255, 255));
    SetTextColor(maskDc, RGB(0, 0, 0));
    SetBkColor(maskDc, RGB(255, 255, 255));
    HDC keyed = CreateCompatibleDC(nullptr);
    // Black out the key colour in the image: invert the mask into it with SRCAND of the inverted mask.
    Canvas inv(4, 1);
    SetTextColor(inv.dc, RGB(255, 255, 255));
    SetBkColor(inv.dc, RGB(0, 0, 0));
    BitBlt(inv.dc, 0, 0, 4, 1, maskDc, 0, 0, SRCCOPY);
    BitBlt(image.dc, 0, 0, 4, 1, inv.dc, 0, 0, SRCAND);
    ASSERT_TRUE(BitBlt(back.dc, 0, 0, 4, 1, image.dc, 0, 0, SRCPAINT));
    const DWORD kResult[] = {0x0000ff, 0x102030, 0xabcdef, 0xffffff};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back.At(i, 0), kResult[i]) << "pixel " << i;
    DeleteDC(keyed);
    SelectObject(maskDc, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDc);
}

TEST(Gdi, StretchBltScalesAndMirrors)
{
    Canvas src(2, 1), dst(4, 1);
    src.Set(0, 0, 0xff0000);
    src.Set(1, 0, 0x0000ff);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 2, 1, SRCCOPY));
    const DWORD kScaled[] = {0xff0000, 0xff0000, 0x0000ff, 0x0000ff};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.At(i, 0), kScaled[i]) << i;
    ASSERT_TRUE(StretchBlt(dst.dc, 3, 0, -4, 1, src.dc, 0, 0, 2, 1, SRCCOPY));
    const DWORD kMirrored[] = {0x0000ff, 0x0000ff, 0xff0000, 0xff0000};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.At(i, 0), kMirrored[i]) << i;
}

TEST(Gdi, ClippingAndSavedStates)
{
    Canvas c(10, 10);
    int saved = SaveDC(c.dc);
    EXPECT_EQ(saved, 1);
    SetTextColor(c.dc, RGB(1, 2, 3));
    EXPECT_EQ(IntersectClipRect(c.dc, 2, 2, 5, 5), SIMPLEREGION);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT all{0, 0, 10, 10};
    FillRect(c.dc, &all, black);
    RECT ink = c.Ink(0xffffff);
    EXPECT_EQ(ink.left, 2);
    EXPECT_EQ(ink.top, 2);
    EXPECT_EQ(ink.right, 5);
    EXPECT_EQ(ink.bottom, 5);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 5);

    EXPECT_TRUE(RestoreDC(c.dc, -1));
    EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0));
    EXPECT_FALSE(RestoreDC(c.dc, 1)); // nothing left to restore
    FillRect(c.dc, &all, black);
    EXPECT_EQ(c.At(9, 9), 0u);

    // A selected region is copied: changing or deleting it afterwards does not change the clip.
    c.Fill(RGB(255, 255, 255));
    HRGN rgn = CreateRectRgn(0, 0, 3, 3);
    EXPECT_EQ(SelectClipRgn(c.dc, rgn), SIMPLEREGION);
    DeleteObject(rgn);
    EXPECT_EQ(ExcludeClipRect(c.dc, 0, 0, 1, 1), COMPLEXREGION);
    FillRect(c.dc, &all, black);
    EXPECT_EQ(c.At(0, 0), 0xffffffu);
    EXPECT_EQ(c.At(2, 2), 0u);
    EXPECT_EQ(c.At(3, 3), 0xffffffu);
    EXPECT_EQ(SelectClipRgn(c.dc, nullptr), SIMPLEREGION);
}

TEST(Gdi, LinesAndRectanglesCoverGdiPixels)
{
    Canvas c(12, 12);
    MoveToEx(c.dc, 1, 1, nullptr);
    EXPECT_TRUE(LineTo(c.dc, 6, 1));
    EXPECT_EQ(c.At(1, 1), 0u);
    EXPECT_EQ(c.At(5, 1), 0u);
    EXPECT_EQ(c.At(6, 1), 0xffffffu); // the end point is not drawn
    POINT cur;
    GetCurrentPositionEx(c.dc, &cur);
    EXPECT_EQ(cur.x, 6);

    c.Fill(RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(c.dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(Rectangle(c.dc, 2, 2, 8, 6));
    RECT ink = c.Ink(0xffffff);
    EXPECT_EQ(ink.left, 2);
    EXPECT_EQ(ink.top, 2);
    EXPECT_EQ(ink.right, 8);
    EXPECT_EQ(ink.bottom, 6);
    EXPECT_EQ(c.At(4, 4), 0xffffffu); // null brush: the inside is untouched

    // With a null pen the filled area is one pixel smaller on the right and bottom.
    c.Fill(RGB(255, 255, 255));
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Rectangle(c.dc, 2, 2, 8, 6));
    ink = c.Ink(0xffffff);
    EXPECT_EQ(ink.right, 7);
    EXPECT_EQ(ink.bottom, 5);
    SelectObject(c.dc, oldPen);
    SelectObject(c.dc, oldBrush);
}

TEST(Gdi, TextExtentsArePositiveAndConsistent)
{
    Canvas c(200, 200);
    LOGFONTW lf{};
    lf.lfHeight = -16;
    const WCHAR face[] = TEXT("MS Sans Serif");
    std::copy(face, face + sizeof face / sizeof face[0], lf.lfFaceName);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(c.dc, font);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(c.dc, &tm));
    EXPECT_GT(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    SIZE one{}, four{}, empty, emptyEx;
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc, TEXT("W"), 1, &one));
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc, TEXT("WWWW"), 4, &four));
    EXPECT_GT(one.cx, 0);
    EXPECT_EQ(four.cx, 4 * one.cx);
    EXPECT_EQ(one.cy, tm.tmHeight);
    // No characters measure 0 by 0: not even a line's height.
    zep::test::FillJunk(&empty, sizeof empty);
    zep::test::FillJunk(&emptyEx, sizeof emptyEx);
    ASSERT_TRUE(GetTextExtentPoint32W(c.dc, TEXT("W"), 0, &empty));
    ASSERT_TRUE(GetTextExtentExPointW(c.dc, TEXT("W"), 0, 0, nullptr, nullptr, &emptyEx));
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 0);
    EXPECT_EQ(emptyEx.cx, 0);
    EXPECT_EQ(emptyEx.cy, 0);

    // Text drawn at (10, 10) with top-left alignment stays within its extent.
    SetBkMode(c.dc, TRANSPARENT);
    SIZE ext;
    GetTextExtentPoint32W(c.dc, TEXT("Hello"), 5, &ext);
    ASSERT_TRUE(TextOutW(c.dc, 10, 10, TEXT("Hello"), 5));
    RECT ink = c.Ink(0xffffff);
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.right, 10 + ext.cx + 1);
    EXPECT_LE(ink.bottom, 10 + ext.cy);

    // DT_CALCRECT measures one line for DT_SINGLELINE.
    RECT r{0, 0, 1000, 0};
    int h = DrawTextW(c.dc, TEXT("Hello"), -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(h, tm.tmHeight);
    EXPECT_EQ(r.right, ext.cx);
    SelectObject(c.dc, old);
    DeleteObject(font);
}

TEST(Gdi, EscapementTurnsText)
{
    Canvas c(200, 200);
    LOGFONTW lf{};
    lf.lfHeight = -20;
    lf.lfEscapement = 900; // counter-clockwise: the text runs upwards
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
    ASSERT_TRUE(TextOutW(c.dc, 100, 150, TEXT("MMMMMM"), 6));
    RECT ink = c.Ink(0xffffff);
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    EXPECT_LE(ink.bottom, 151);
    SelectObject(c.dc, old);
    DeleteObject(font);
}

TEST(Gdi, DeviceCapsAndSystemColours)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    DeleteDC(dc);
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
    LOGBRUSH lb{};
    GetObjectW(GetSysColorBrush(COLOR_BTNSHADOW), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNSHADOW));
}

} // namespace
