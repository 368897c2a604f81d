// DCs of windows (each top-level window draws on one surface of its size), painting, PNG output and snapshots.
#include <algorithm>
#include <map>

#include "gdi/gdi_internal.h"
#include "win32/user.h"
#include "zep_gdi.h"

namespace zg {

namespace {

std::map<HWND, std::shared_ptr<WindowSurface>> &Surfaces()
{
    static auto *m = new std::map<HWND, std::shared_ptr<WindowSurface>>;
    return *m;
}

// While a snapshot paints, BeginPaint offers the whole client area whatever the update region says.
bool g_snapshotting = false;

HWND RootOf(HWND w)
{
    HWND root = GetAncestor(w, GA_ROOT);
    return root ? root : w;
}

std::shared_ptr<WindowSurface> SurfaceFor(HWND root, RECT *rootRect)
{
    GetWindowRect(root, rootRect);
    int w = std::max<int>(1, rootRect->right - rootRect->left), h = std::max<int>(1, rootRect->bottom - rootRect->top);
    auto &s = Surfaces()[root];
    if (!s || s->width != w || s->height != h) {
        auto ns = std::make_shared<WindowSurface>();
        ns->root = root;
        ns->width = w;
        ns->height = h;
        ns->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        // A new surface starts in the dialog face colour, as an unpainted window would look.
        cairo_t *cr = cairo_create(ns->surface);
        COLORREF face = SysColor(COLOR_3DFACE);
        cairo_set_source_rgb(cr, GetRValue(face) / 255.0, GetGValue(face) / 255.0, GetBValue(face) / 255.0);
        cairo_paint(cr);
        cairo_destroy(cr);
        s = ns;
    }
    return s;
}

// A window's client (or whole window) rectangle in its root surface, clipped by its ancestors' client areas.
bool Placement(HWND w, bool client, const RECT &rootRect, POINT *origin, RECT *visible)
{
    RECT r;
    if (client) {
        if (!GetClientRect(w, &r)) return false;
        POINT p{0, 0};
        ClientToScreen(w, &p);
        OffsetRect(&r, p.x, p.y);
    } else if (!GetWindowRect(w, &r)) {
        return false;
    }
    origin->x = r.left - rootRect.left;
    origin->y = r.top - rootRect.top;
    RECT vis{r.left - rootRect.left, r.top - rootRect.top, r.right - rootRect.left, r.bottom - rootRect.top};
    for (HWND p = GetAncestor(w, GA_PARENT); p && p != GetDesktopWindow(); p = GetAncestor(p, GA_PARENT)) {
        RECT pc;
        GetClientRect(p, &pc);
        POINT o{0, 0};
        ClientToScreen(p, &o);
        RECT pr{o.x - rootRect.left, o.y - rootRect.top, o.x - rootRect.left + pc.right, o.y - rootRect.top + pc.bottom};
        vis = RectIntersect(vis, pr);
    }
    *visible = vis;
    return true;
}

} // namespace

HDC WindowDc(HWND window, bool client)
{
    extern HDC NewDc(bool memory);
    if (!window) return NewDc(false); // the screen: a display DC
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    RECT rootRect;
    HWND root = RootOf(window);
    auto surface = SurfaceFor(root, &rootRect);
    HDC hdc = NewDc(false);
    Dc *dc = FindDc(hdc);
    dc->window = window;
    dc->surface = surface;
    Placement(window, client, rootRect, &dc->origin, &dc->visible);
    return hdc;
}

} // namespace zg

using namespace zg;

// A DC for the window's client area (NULL: the screen), with the default objects; release it with ReleaseDC.
HDC WINAPI GetDC(HWND window)
{
    ZG_LOCK;
    return WindowDc(window, true);
}

// A DC for the whole window, non-client area included.
HDC WINAPI GetWindowDC(HWND window)
{
    ZG_LOCK;
    return WindowDc(window, false);
}

// 1 when the DC was a window or screen DC and is released, 0 otherwise (memory DCs need DeleteDC).
int WINAPI ReleaseDC(HWND window, HDC hdc)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || dc->memory) return 0;
    DeleteDC(hdc);
    return 1;
}

HWND WINAPI WindowFromDC(HDC hdc)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    return dc ? dc->window : nullptr;
}

// A client DC clipped to the update rectangle, after WM_ERASEBKGND (fErase is set when the window did not
// erase); the update region is validated.
HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    if (!paint) return nullptr;
    RECT update{0, 0, 0, 0};
    if (g_snapshotting || !GetUpdateRect(window, &update, FALSE)) GetClientRect(window, &update);
    HDC hdc;
    {
        ZG_LOCK;
        hdc = WindowDc(window, true);
        if (!hdc) return nullptr;
        FindDc(hdc)->paintDc = true;
    }
    ValidateRect(window, nullptr);
    IntersectClipRect(hdc, update.left, update.top, update.right, update.bottom);
    BOOL erased = !IsRectEmpty(&update) && SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    *paint = PAINTSTRUCT{};
    paint->hdc = hdc;
    paint->fErase = !erased;
    paint->rcPaint = update;
    return hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT *paint)
{
    if (!paint) return FALSE;
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

namespace {

BOOL WritePng(cairo_surface_t *s, const RECT &area, const char *path)
{
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || !path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    cairo_surface_t *out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t *cr = cairo_create(out);
    cairo_set_source_surface(cr, s, -area.left, -area.top);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_status_t st = cairo_surface_write_to_png(out, path);
    cairo_surface_destroy(out);
    if (st != CAIRO_STATUS_SUCCESS) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

// Borders, caption and scroll bars of a window in a plain Windows look, for the parts outside its client area.
void DrawNonClient(HWND w)
{
    RECT wr, cr;
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    POINT co{0, 0};
    ClientToScreen(w, &co);
    RECT client{co.x - wr.left, co.y - wr.top, co.x - wr.left + cr.right, co.y - wr.top + cr.bottom};
    RECT whole{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    if (EqualRect(&client, &whole)) return;
    LONG style = GetWindowLongW(w, GWL_STYLE), ex = GetWindowLongW(w, GWL_EXSTYLE);
    HDC dc = GetWindowDC(w);
    if (!dc) return;
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &whole, GetSysColorBrush(COLOR_3DFACE));
    RECT r = whole;
    if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_THICKFRAME) || (ex & WS_EX_DLGMODALFRAME) ||
        (style & DS_MODALFRAME))
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (style & WS_BORDER)
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME)), InflateRect(&r, -1, -1);
    if (ex & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (ex & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if ((style & WS_CAPTION) == WS_CAPTION && client.top > r.top) {
        RECT bar{r.left, r.top, r.right, client.top - 1};
        FillRect(dc, &bar, GetSysColorBrush(COLOR_ACTIVECAPTION));
        WCHAR title[256] = {};
        GetWindowTextW(w, title, 256);
        LOGFONTW lf{};
        lf.lfHeight = -12;
        lf.lfWeight = FW_BOLD;
        const char16_t face[] = u"MS Sans Serif";
        std::copy(face, face + sizeof face / sizeof face[0], lf.lfFaceName);
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        RECT text = bar;
        text.left += 4;
        DrawTextW(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(font);
        if (style & WS_SYSMENU) {
            int s = bar.bottom - bar.top - 4;
            RECT close{bar.right - s - 2, bar.top + 2, bar.right - 2, bar.bottom - 2};
            DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
            // The help button stands left of the close button where the window asks for it and has no
            // minimise or maximise button, as Windows draws it.
            if ((ex & WS_EX_CONTEXTHELP) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
                RECT help{close.left - s - 2, close.top, close.left - 2, close.bottom};
                DrawFrameControl(dc, &help, DFC_CAPTION, DFCS_CAPTIONHELP);
            }
        }
    }
    if ((style & WS_VSCROLL) && client.right < r.right) {
        RECT bar{client.right, client.top, r.right, client.bottom};
        FillRect(dc, &bar, GetSysColorBrush(COLOR_SCROLLBAR));
        int s = bar.right - bar.left;
        RECT up{bar.left, bar.top, bar.right, bar.top + s}, down{bar.left, bar.bottom - s, bar.right, bar.bottom};
        DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP);
        DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN);
    }
    if ((style & WS_HSCROLL) && client.bottom < r.bottom) {
        RECT bar{client.left, client.bottom, client.right, r.bottom};
        FillRect(dc, &bar, GetSysColorBrush(COLOR_SCROLLBAR));
        int s = bar.bottom - bar.top;
        RECT left{bar.left, bar.top, bar.left + s, bar.bottom}, right{bar.right - s, bar.top, bar.right, bar.bottom};
        DrawFrameControl(dc, &left, DFC_SCROLL, DFCS_SCROLLLEFT);
        DrawFrameControl(dc, &right, DFC_SCROLL, DFCS_SCROLLRIGHT);
    }
    ReleaseDC(w, dc);
}

// The window asked for is painted even when hidden (a dialog is snapshotted before it is shown); below it, a
// window's own WS_VISIBLE decides, since IsWindowVisible would also say no for every child of a hidden dialog.
void PaintTree(HWND w, bool force)
{
    if (!force && !(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE)) return;
    DrawNonClient(w);
    InvalidateRect(w, nullptr, TRUE);
    SendMessageW(w, WM_PAINT, 0, 0);
    // Children in z-order from the top, which for dialogs is template order: group boxes come before the
    // controls inside them and so do not paint over them.
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) PaintTree(c, false);
}

INT_PTR CALLBACK SnapshotDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

} // namespace

// Writes the bitmap as a PNG.
BOOL ZepWriteBitmapPng(HBITMAP bitmap, const char *pngPath)
{
    ZG_LOCK;
    Bitmap *bm = FindBitmap(bitmap);
    if (!bm) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (bm->dib) bm->PullDib();
    return WritePng(bm->surface, {0, 0, bm->width, bm->height}, pngPath);
}

BOOL ZepWriteDCPng(HDC hdc, const char *pngPath)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (dc->memory) return ZepWriteBitmapPng(static_cast<HBITMAP>(dc->bitmap), pngPath);
    if (!dc->surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return WritePng(dc->surface->surface, RectIntersect(dc->visible, {0, 0, dc->surface->width, dc->surface->height}),
                    pngPath);
}

BOOL ZepSnapshotWindow(HWND window, const char *pngPath)
{
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT rootRect, wr;
    std::shared_ptr<WindowSurface> surface;
    {
        ZG_LOCK;
        surface = SurfaceFor(RootOf(window), &rootRect);
    }
    GetWindowRect(window, &wr);
    g_snapshotting = true;
    PaintTree(window, true);
    g_snapshotting = false;
    ZG_LOCK;
    RECT area{wr.left - rootRect.left, wr.top - rootRect.top, wr.right - rootRect.left, wr.bottom - rootRect.top};
    return WritePng(surface->surface, area, pngPath);
}

int ZepSnapshotDialog(const WCHAR *modulePath, int dialogId, const char *pngPath)
{
    HMODULE module = LoadLibraryW(modulePath);
    if (!module) return 1;
    // A property page's template is a child window, which needs a parent: a plain dialog-face window the size of
    // the screen holds it, as a sheet would. A top-level dialog takes it as its owner and is drawn alone.
    HWND host = CreateWindowExW(0, TEXT("Static"), TEXT(""), WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                                nullptr);
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(dialogId), host, SnapshotDialogProc, 0);
    if (!dialog) {
        if (host) DestroyWindow(host);
        FreeLibrary(module);
        return 2;
    }
    BOOL ok = ZepSnapshotWindow(dialog, pngPath);
    DestroyWindow(dialog);
    if (host) DestroyWindow(host);
    FreeLibrary(module);
    return ok ? 0 : 3;
}

void ZepGdiWindowDestroyed(HWND window)
{
    ZG_LOCK;
    Surfaces().erase(window);
}
