// Display and print driver interface (DDI) records and entry-point types that the rendering plug-in hooks.
#pragma once
#include "common/win32.h"

typedef struct DHPDEV__ *DHPDEV;
typedef struct DHSURF__ *DHSURF;
typedef struct HSURF__ *HSURF;
typedef struct HDEV__ *HDEV;
typedef ULONG MIX;
typedef ULONG ROP4;
typedef ULONG FLONG;
typedef ULONG HGLYPH;
typedef LONG_PTR (APIENTRY *PFN)();

#define STYPE_BITMAP 0
#define STYPE_DEVICE 1
#define STYPE_DEVBITMAP 3

// Layout of the engine's surface object; hooks only read dhpdev and iType.
struct SURFOBJ {
    DHSURF dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev;
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;
    PVOID pvBits;
    PVOID pvScan0;
    LONG lDelta;
    ULONG iUniq;
    ULONG iBitmapFormat;
    USHORT iType;
    USHORT fjBitmap;
};

// Engine objects the hooks pass through untouched.
struct BRUSHOBJ;
struct CLIPOBJ;
struct XLATEOBJ;
struct XFORMOBJ;
struct PATHOBJ;
struct STROBJ;
struct FONTOBJ;
struct LINEATTRS;
struct BLENDOBJ;
struct GLYPHDATA;
struct IFIMETRICS;
struct POINTFIX { LONG x; LONG y; };
#ifndef _WIN32
// The SDK's wingdi.h has these three; the Linux layer has no use for their fields.
struct TRIVERTEX;
struct COLORADJUSTMENT;
struct LOGCOLORSPACEW;
#endif
struct GDIINFO;
struct DEVINFO;

struct DRVFN {
    ULONG iFunc;
    PFN pfn;
};
struct DRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;
    DRVFN *pdrvfn;
};
typedef DRVENABLEDATA *PDRVENABLEDATA;

// DDI function indexes.
#define INDEX_DrvRealizeBrush 12L
#define INDEX_DrvStrokePath 14L
#define INDEX_DrvFillPath 15L
#define INDEX_DrvStrokeAndFillPath 16L
#define INDEX_DrvBitBlt 18L
#define INDEX_DrvCopyBits 19L
#define INDEX_DrvStretchBlt 20L
#define INDEX_DrvTextOut 23L
#define INDEX_DrvEscape 24L
#define INDEX_DrvQueryFont 26L
#define INDEX_DrvQueryFontTree 27L
#define INDEX_DrvQueryFontData 28L
#define INDEX_DrvSendPage 32L
#define INDEX_DrvStartPage 33L
#define INDEX_DrvEndDoc 34L
#define INDEX_DrvStartDoc 35L
#define INDEX_DrvGetGlyphMode 37L
#define INDEX_DrvFontManagement 47L
#define INDEX_DrvQueryAdvanceWidths 53L
#define INDEX_DrvIcmCreateColorTransform 64L
#define INDEX_DrvIcmDeleteColorTransform 65L
#define INDEX_DrvGradientFill 68L
#define INDEX_DrvStretchBltROP 69L
#define INDEX_DrvPlgBlt 70L
#define INDEX_DrvAlphaBlend 71L
#define INDEX_DrvTransparentBlt 74L
#define INDEX_DrvQueryDeviceSupport 76L

// Entry-point types of the hooked DDI functions.
typedef BOOL(APIENTRY *PFN_DrvRealizeBrush)(BRUSHOBJ *, SURFOBJ *, SURFOBJ *, SURFOBJ *, XLATEOBJ *, ULONG);
typedef BOOL(APIENTRY *PFN_DrvCopyBits)(SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, POINTL *);
typedef BOOL(APIENTRY *PFN_DrvBitBlt)(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, POINTL *,
                                      POINTL *, BRUSHOBJ *, POINTL *, ROP4);
typedef BOOL(APIENTRY *PFN_DrvStretchBlt)(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, COLORADJUSTMENT *,
                                          POINTL *, RECTL *, RECTL *, POINTL *, ULONG);
typedef BOOL(APIENTRY *PFN_DrvStretchBltROP)(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *,
                                             COLORADJUSTMENT *, POINTL *, RECTL *, RECTL *, POINTL *, ULONG,
                                             BRUSHOBJ *, DWORD);
typedef BOOL(APIENTRY *PFN_DrvPlgBlt)(SURFOBJ *, SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, COLORADJUSTMENT *,
                                      POINTL *, POINTFIX *, RECTL *, POINTL *, ULONG);
typedef BOOL(APIENTRY *PFN_DrvTransparentBlt)(SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, RECTL *, ULONG,
                                              ULONG);
typedef BOOL(APIENTRY *PFN_DrvAlphaBlend)(SURFOBJ *, SURFOBJ *, CLIPOBJ *, XLATEOBJ *, RECTL *, RECTL *,
                                          BLENDOBJ *);
typedef BOOL(APIENTRY *PFN_DrvGradientFill)(SURFOBJ *, CLIPOBJ *, XLATEOBJ *, TRIVERTEX *, ULONG, PVOID, ULONG,
                                            RECTL *, POINTL *, ULONG);
typedef BOOL(APIENTRY *PFN_DrvTextOut)(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *, RECTL *, BRUSHOBJ *,
                                       BRUSHOBJ *, POINTL *, MIX);
typedef BOOL(APIENTRY *PFN_DrvStrokePath)(SURFOBJ *, PATHOBJ *, CLIPOBJ *, XFORMOBJ *, BRUSHOBJ *, POINTL *,
                                          LINEATTRS *, MIX);
typedef BOOL(APIENTRY *PFN_DrvFillPath)(SURFOBJ *, PATHOBJ *, CLIPOBJ *, BRUSHOBJ *, POINTL *, MIX, FLONG);
typedef BOOL(APIENTRY *PFN_DrvStrokeAndFillPath)(SURFOBJ *, PATHOBJ *, CLIPOBJ *, XFORMOBJ *, BRUSHOBJ *,
                                                 LINEATTRS *, BRUSHOBJ *, POINTL *, MIX, FLONG);
typedef BOOL(APIENTRY *PFN_DrvStartPage)(SURFOBJ *);
typedef BOOL(APIENTRY *PFN_DrvSendPage)(SURFOBJ *);
typedef ULONG(APIENTRY *PFN_DrvEscape)(SURFOBJ *, ULONG, ULONG, PVOID, ULONG, PVOID);
typedef BOOL(APIENTRY *PFN_DrvStartDoc)(SURFOBJ *, PWSTR, DWORD);
typedef BOOL(APIENTRY *PFN_DrvEndDoc)(SURFOBJ *, FLONG);
typedef IFIMETRICS *(APIENTRY *PFN_DrvQueryFont)(DHPDEV, ULONG_PTR, ULONG, ULONG_PTR *);
typedef PVOID(APIENTRY *PFN_DrvQueryFontTree)(DHPDEV, ULONG_PTR, ULONG, ULONG, ULONG_PTR *);
typedef LONG(APIENTRY *PFN_DrvQueryFontData)(DHPDEV, FONTOBJ *, ULONG, HGLYPH, GLYPHDATA *, PVOID, ULONG);
typedef BOOL(APIENTRY *PFN_DrvQueryAdvanceWidths)(DHPDEV, FONTOBJ *, ULONG, HGLYPH *, PVOID, ULONG);
typedef ULONG(APIENTRY *PFN_DrvFontManagement)(SURFOBJ *, FONTOBJ *, ULONG, ULONG, PVOID, ULONG, PVOID);
typedef ULONG(APIENTRY *PFN_DrvGetGlyphMode)(DHPDEV, FONTOBJ *);
typedef HANDLE(APIENTRY *PFN_DrvIcmCreateColorTransform)(DHPDEV, LOGCOLORSPACEW *, PVOID, ULONG, PVOID, ULONG,
                                                         PVOID, ULONG, DWORD);
typedef BOOL(APIENTRY *PFN_DrvIcmDeleteColorTransform)(DHPDEV, HANDLE);
typedef BOOL(APIENTRY *PFN_DrvQueryDeviceSupport)(SURFOBJ *, XLATEOBJ *, XFORMOBJ *, ULONG, ULONG, PVOID, ULONG,
                                                  PVOID);
