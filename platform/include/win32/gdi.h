// GDI records and calls the plug-ins use: the DEVMODE, device contexts, drawing objects, bitmaps, text, regions,
// palettes, and the user32 drawing helpers (painting DCs, system colours, icons, DrawText, DrawEdge) built on them.
#pragma once
#include "win32/base.h"

#define CCHDEVICENAME 32
#define CCHFORMNAME 32
#define DM_SPECVERSION 0x0401

#define DM_ORIENTATION 0x00000001L
#define DM_PAPERSIZE 0x00000002L
#define DM_PAPERLENGTH 0x00000004L
#define DM_PAPERWIDTH 0x00000008L
#define DM_SCALE 0x00000010L
#define DM_COPIES 0x00000100L
#define DM_DEFAULTSOURCE 0x00000200L
#define DM_PRINTQUALITY 0x00000400L
#define DM_COLOR 0x00000800L
#define DM_DUPLEX 0x00001000L
#define DM_YRESOLUTION 0x00002000L
#define DM_TTOPTION 0x00004000L
#define DM_COLLATE 0x00008000L
#define DM_FORMNAME 0x00010000L
#define DM_NUP 0x00000040L

#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
#define DMPAPER_LETTER 1
#define DMPAPER_A4 9
#define DMCOLOR_MONOCHROME 1
#define DMCOLOR_COLOR 2
#define DMDUP_SIMPLEX 1
#define DMDUP_VERTICAL 2
#define DMDUP_HORIZONTAL 3
#define DMCOLLATE_FALSE 0
#define DMCOLLATE_TRUE 1

struct DEVMODEW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    union {
        struct {
            SHORT dmOrientation;
            SHORT dmPaperSize;
            SHORT dmPaperLength;
            SHORT dmPaperWidth;
            SHORT dmScale;
            SHORT dmCopies;
            SHORT dmDefaultSource;
            SHORT dmPrintQuality;
        };
        struct {
            POINTL dmPosition;
            DWORD dmDisplayOrientation;
            DWORD dmDisplayFixedOutput;
        };
    };
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    union {
        DWORD dmDisplayFlags;
        DWORD dmNup;
    };
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
typedef DEVMODEW *PDEVMODEW, *LPDEVMODEW;
static_assert(sizeof(DEVMODEW) == 220, "DEVMODEW is 220 bytes");
static_assert(offsetof(DEVMODEW, dmFormName) == 102, "dmFormName offset");

// Pointer names of the geometry records (repeating an identical typedef is allowed, so other headers may too).
typedef RECT *PRECT, *LPRECT;
typedef const RECT *LPCRECT;
typedef POINT *PPOINT, *LPPOINT;
typedef SIZE *PSIZE, *LPSIZE;

#define WINGDIAPI extern "C"
#ifndef WINUSERAPI
#define WINUSERAPI extern "C"
#endif

// Colours.
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) (LOBYTE(c))
#define GetGValue(c) (LOBYTE(((WORD)(c)) >> 8))
#define GetBValue(c) (LOBYTE((c) >> 16))
#define PALETTERGB(r, g, b) (0x02000000 | RGB(r, g, b))
#define PALETTEINDEX(i) ((COLORREF)(0x01000000 | (DWORD)(WORD)(i)))
#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR 0xFFFFFFFFL
#define HGDI_ERROR ((HANDLE)(LONG_PTR)-1)

// Object types (GetObjectType, GetCurrentObject).
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_METADC 4
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_METAFILE 9
#define OBJ_MEMDC 10
#define OBJ_EXTPEN 11

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17
#define DC_BRUSH 18
#define DC_PEN 19

// Pens, brushes, hatches.
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define BS_PATTERN 3
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};
struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};
typedef LOGPEN *PLOGPEN, *LPLOGPEN;
typedef LOGBRUSH *PLOGBRUSH, *LPLOGBRUSH;
static_assert(sizeof(LOGPEN) == 16, "LOGPEN is 16 bytes");
static_assert(offsetof(LOGBRUSH, lbHatch) == sizeof(ULONG_PTR), "lbHatch offset");

// Fonts.
#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define SHIFTJIS_CHARSET 128
#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
typedef LOGFONTW *PLOGFONTW, *LPLOGFONTW;
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW is 92 bytes");
static_assert(offsetof(LOGFONTW, lfFaceName) == 28, "lfFaceName offset");

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
typedef TEXTMETRICW *PTEXTMETRICW, *LPTEXTMETRICW;
static_assert(sizeof(TEXTMETRICW) == 60, "TEXTMETRICW is 60 bytes");

// Text output.
#define TRANSPARENT 1
#define OPAQUE 2
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

// Raster operations (BitBlt, StretchBlt, PatBlt) and ROP2 mix modes.
#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define SRCERASE 0x00440328
#define NOTSRCCOPY 0x00330008
#define NOTSRCERASE 0x001100A6
#define MERGECOPY 0x00C000CA
#define MERGEPAINT 0x00BB0226
#define PATCOPY 0x00F00021
#define PATPAINT 0x00FB0A09
#define PATINVERT 0x005A0049
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062
#define R2_BLACK 1
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_COPYPEN 13
#define R2_WHITE 16
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4

// Device capabilities.
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define NUMRESERVED 106
#define COLORRES 108
#define DT_RASDISPLAY 1
#define RC_BITBLT 0x0001
#define RC_PALETTE 0x0100
#define RC_STRETCHBLT 0x0800

// Bitmaps and DIBs.
#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define CBM_INIT 0x04L

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
typedef BITMAP *PBITMAP, *LPBITMAP;
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
typedef BITMAPINFOHEADER *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
typedef BITMAPINFO *PBITMAPINFO, *LPBITMAPINFO;
#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)
struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is 4 bytes");
static_assert(offsetof(BITMAP, bmBits) == 24 || sizeof(void *) == 4, "bmBits offset");
static_assert(offsetof(DIBSECTION, dsBmih) == sizeof(BITMAP), "dsBmih follows dsBm");

// Palettes.
#define PC_RESERVED 0x01
#define PC_EXPLICIT 0x02
#define PC_NOCOLLAPSE 0x04
struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};
typedef PALETTEENTRY *PPALETTEENTRY, *LPPALETTEENTRY;
struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};
typedef LOGPALETTE *PLOGPALETTE, *LPLOGPALETTE;

// Regions and clipping.
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

// Device contexts.
WINGDIAPI HDC WINAPI CreateCompatibleDC(HDC dc);
WINGDIAPI HDC WINAPI CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const DEVMODEW *devmode);
WINGDIAPI BOOL WINAPI DeleteDC(HDC dc);
WINGDIAPI int WINAPI SaveDC(HDC dc);
WINGDIAPI BOOL WINAPI RestoreDC(HDC dc, int saved);
WINGDIAPI int WINAPI GetDeviceCaps(HDC dc, int index);
WINGDIAPI BOOL WINAPI GdiFlush();

// Objects.
WINGDIAPI HGDIOBJ WINAPI GetStockObject(int index);
WINGDIAPI HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
WINGDIAPI BOOL WINAPI DeleteObject(HGDIOBJ object);
WINGDIAPI int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID out);
WINGDIAPI DWORD WINAPI GetObjectType(HGDIOBJ object);
WINGDIAPI HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type);
WINGDIAPI HPEN WINAPI CreatePen(int style, int width, COLORREF color);
WINGDIAPI HPEN WINAPI CreatePenIndirect(const LOGPEN *pen);
WINGDIAPI HBRUSH WINAPI CreateSolidBrush(COLORREF color);
WINGDIAPI HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF color);
WINGDIAPI HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap);
WINGDIAPI HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH *brush);
WINGDIAPI COLORREF WINAPI SetDCBrushColor(HDC dc, COLORREF color);
WINGDIAPI COLORREF WINAPI SetDCPenColor(HDC dc, COLORREF color);

// Attributes.
WINGDIAPI COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
WINGDIAPI COLORREF WINAPI GetBkColor(HDC dc);
WINGDIAPI int WINAPI SetBkMode(HDC dc, int mode);
WINGDIAPI int WINAPI GetBkMode(HDC dc);
WINGDIAPI COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
WINGDIAPI COLORREF WINAPI GetTextColor(HDC dc);
WINGDIAPI UINT WINAPI SetTextAlign(HDC dc, UINT align);
WINGDIAPI UINT WINAPI GetTextAlign(HDC dc);
WINGDIAPI int WINAPI SetROP2(HDC dc, int rop2);
WINGDIAPI int WINAPI GetROP2(HDC dc);
WINGDIAPI int WINAPI SetStretchBltMode(HDC dc, int mode);
WINGDIAPI BOOL WINAPI SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old);
WINGDIAPI BOOL WINAPI GetViewportOrgEx(HDC dc, LPPOINT out);
WINGDIAPI BOOL WINAPI OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old);
WINGDIAPI BOOL WINAPI SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old);
WINGDIAPI BOOL WINAPI GetWindowOrgEx(HDC dc, LPPOINT out);
WINGDIAPI BOOL WINAPI SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old);

// Lines and shapes.
WINGDIAPI BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT old);
WINGDIAPI BOOL WINAPI GetCurrentPositionEx(HDC dc, LPPOINT out);
WINGDIAPI BOOL WINAPI LineTo(HDC dc, int x, int y);
WINGDIAPI BOOL WINAPI Polyline(HDC dc, const POINT *points, int count);
WINGDIAPI BOOL WINAPI Polygon(HDC dc, const POINT *points, int count);
WINGDIAPI BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom);
WINGDIAPI BOOL WINAPI RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
WINGDIAPI BOOL WINAPI Ellipse(HDC dc, int left, int top, int right, int bottom);
WINGDIAPI COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color);
WINGDIAPI COLORREF WINAPI GetPixel(HDC dc, int x, int y);
WINGDIAPI BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);

// Bitmaps.
WINGDIAPI HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void *bits);
WINGDIAPI HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
WINGDIAPI HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                          DWORD offset);
WINGDIAPI HBITMAP WINAPI CreateDIBitmap(HDC dc, const BITMAPINFOHEADER *header, DWORD init, const void *bits,
                                        const BITMAPINFO *info, UINT usage);
WINGDIAPI int WINAPI GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info,
                               UINT usage);
WINGDIAPI int WINAPI SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void *bits,
                               const BITMAPINFO *info, UINT usage);
WINGDIAPI int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                                   int srcWidth, int srcHeight, const void *bits, const BITMAPINFO *info, UINT usage,
                                   DWORD rop);
WINGDIAPI int WINAPI SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                                       UINT startScan, UINT lines, const void *bits, const BITMAPINFO *info,
                                       UINT usage);
WINGDIAPI BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
WINGDIAPI BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                                 int srcWidth, int srcHeight, DWORD rop);

// Fonts and text.
WINGDIAPI HFONT WINAPI CreateFontIndirectW(const LOGFONTW *font);
WINGDIAPI HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                                   DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                                   DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face);
WINGDIAPI BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE *size);
WINGDIAPI BOOL WINAPI GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx,
                                            SIZE *size);
WINGDIAPI BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics);
WINGDIAPI int WINAPI GetTextFaceW(HDC dc, int count, LPWSTR face);
WINGDIAPI BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT count,
                                  const INT *dx);
WINGDIAPI BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);

// Regions and clipping.
WINGDIAPI HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom);
WINGDIAPI HRGN WINAPI CreateRectRgnIndirect(const RECT *rect);
WINGDIAPI BOOL WINAPI SetRectRgn(HRGN region, int left, int top, int right, int bottom);
WINGDIAPI int WINAPI CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
WINGDIAPI int WINAPI OffsetRgn(HRGN region, int dx, int dy);
WINGDIAPI int WINAPI GetRgnBox(HRGN region, LPRECT box);
WINGDIAPI BOOL WINAPI PtInRegion(HRGN region, int x, int y);
WINGDIAPI BOOL WINAPI FillRgn(HDC dc, HRGN region, HBRUSH brush);
WINGDIAPI int WINAPI SelectClipRgn(HDC dc, HRGN region);
WINGDIAPI int WINAPI ExtSelectClipRgn(HDC dc, HRGN region, int mode);
WINGDIAPI int WINAPI IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
WINGDIAPI int WINAPI ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
WINGDIAPI int WINAPI GetClipBox(HDC dc, LPRECT box);
WINGDIAPI int WINAPI GetClipRgn(HDC dc, HRGN region);

// Palettes.
WINGDIAPI HPALETTE WINAPI CreatePalette(const LOGPALETTE *palette);
WINGDIAPI HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
WINGDIAPI UINT WINAPI RealizePalette(HDC dc);
WINGDIAPI UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries);
WINGDIAPI UINT WINAPI GetSystemPaletteEntries(HDC dc, UINT start, UINT count, LPPALETTEENTRY entries);
WINGDIAPI UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
WINGDIAPI COLORREF WINAPI GetNearestColor(HDC dc, COLORREF color);

// ---- user32 drawing on the GDI above ----
// user.h declares the painting DCs (GetDC, GetWindowDC, ReleaseDC, BeginPaint, EndPaint, PAINTSTRUCT), the system
// colours (GetSysColor, GetSysColorBrush, COLOR_*) and FillRect, FrameRect, DrawEdge, DrawFocusRect, DrawTextW with
// their DT_*, BDR_* and BF_* flags; all of them are implemented in platform/gdi. The rest is declared here.

#define COLOR_GRADIENTACTIVECAPTION 27
#define COLOR_GRADIENTINACTIVECAPTION 28
#define COLOR_MENUHILIGHT 29
#define COLOR_MENUBAR 30
#define BDR_OUTER 0x0003
#define BDR_INNER 0x000C
#define BF_TOPLEFT 0x0003
#define BF_BOTTOMRIGHT 0x000C

WINUSERAPI HWND WINAPI WindowFromDC(HDC dc);
WINUSERAPI BOOL WINAPI InvertRect(HDC dc, const RECT *rect);

#define DFC_CAPTION 1
#define DFC_MENU 2
#define DFC_SCROLL 3
#define DFC_BUTTON 4
#define DFCS_BUTTONCHECK 0x0000
#define DFCS_BUTTONRADIO 0x0004
#define DFCS_BUTTON3STATE 0x0008
#define DFCS_BUTTONPUSH 0x0010
#define DFCS_SCROLLUP 0x0000
#define DFCS_SCROLLDOWN 0x0001
#define DFCS_SCROLLLEFT 0x0002
#define DFCS_SCROLLRIGHT 0x0003
#define DFCS_SCROLLCOMBOBOX 0x0005
#define DFCS_CAPTIONCLOSE 0x0000
#define DFCS_CAPTIONHELP 0x0004
#define DFCS_INACTIVE 0x0100
#define DFCS_PUSHED 0x0200
#define DFCS_CHECKED 0x0400
#define DFCS_FLAT 0x4000
#define DFCS_MONO 0x8000
WINUSERAPI BOOL WINAPI DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state);

// Bitmaps, icons and images from module resources (or the system's, with a null module).
#define LR_DEFAULTCOLOR 0x00000000
#define LR_MONOCHROME 0x00000001
#define LR_LOADFROMFILE 0x00000010
#define LR_LOADTRANSPARENT 0x00000020
#define LR_DEFAULTSIZE 0x00000040
#define LR_LOADMAP3DCOLORS 0x00001000
#define LR_CREATEDIBSECTION 0x00002000
#define LR_SHARED 0x00008000
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_COMPAT 0x0004
#define DI_DEFAULTSIZE 0x0008
#define IDI_APPLICATION ((LPCWSTR)(ULONG_PTR)(WORD)32512)
#define IDI_HAND ((LPCWSTR)(ULONG_PTR)(WORD)32513)
#define IDI_QUESTION ((LPCWSTR)(ULONG_PTR)(WORD)32514)
#define IDI_EXCLAMATION ((LPCWSTR)(ULONG_PTR)(WORD)32515)
#define IDI_ASTERISK ((LPCWSTR)(ULONG_PTR)(WORD)32516)
#define IDI_WINLOGO ((LPCWSTR)(ULONG_PTR)(WORD)32517)
#define IDI_ERROR IDI_HAND
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_INFORMATION IDI_ASTERISK
struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};
typedef ICONINFO *PICONINFO;
WINUSERAPI HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name);
WINUSERAPI HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name);
WINUSERAPI HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);
WINUSERAPI HICON WINAPI CreateIconIndirect(PICONINFO info);
WINUSERAPI BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info);
WINUSERAPI BOOL WINAPI DestroyIcon(HICON icon);
WINUSERAPI BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step,
                                  HBRUSH flickerFree, UINT flags);
WINUSERAPI BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon);
