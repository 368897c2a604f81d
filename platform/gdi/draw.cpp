// Lines and shapes with the DC's pen and brush, rectangle fills, 3-D edges, frame controls and system colours.
#include <algorithm>
#include <cmath>

#include "gdi/gdi_internal.h"
#include "win32/user.h"

namespace zg {

namespace {

// Classic 3-D colours of the standard Windows scheme.
const COLORREF kSysColors[COLOR_MENUBAR + 1] = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
    RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
    RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(0, 120, 215),
    RGB(240, 240, 240)};

struct PenInfo {
    bool visible = false;
    int width = 1;
    COLORREF color = 0;
    UINT style = PS_SOLID;
};

PenInfo PenOf(Dc *dc)
{
    PenInfo p;
    auto *pen = FindAs<Pen>(dc->st.pen, Kind::Pen);
    if (!pen || pen->log.lopnStyle == PS_NULL) return p;
    p.visible = true;
    p.width = std::max<int>(1, pen->log.lopnWidth.x);
    p.color = pen->dcPen ? dc->st.dcPenColor : pen->log.lopnColor;
    p.style = pen->log.lopnStyle;
    return p;
}

void ApplyPen(cairo_t *cr, const Target &t, const PenInfo &p)
{
    SetSource(cr, t, p.color);
    cairo_set_line_width(cr, p.width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    if (p.width == 1 && p.style >= PS_DASH && p.style <= PS_DASHDOTDOT) {
        static const double dash[] = {18, 6}, dot[] = {3, 3}, dashdot[] = {9, 6, 3, 6}, dashdotdot[] = {9, 3, 3, 3, 3, 3};
        switch (p.style) {
        case PS_DASH: cairo_set_dash(cr, dash, 2, 0); break;
        case PS_DOT: cairo_set_dash(cr, dot, 2, 0); break;
        case PS_DASHDOT: cairo_set_dash(cr, dashdot, 4, 0); break;
        default: cairo_set_dash(cr, dashdotdot, 6, 0); break;
        }
    }
}

// A thin solid axis-aligned segment fills exactly the pixels GDI sets: from the start point up to, not
// including, the end point.
bool ExactSegment(cairo_t *cr, const PenInfo &p, POINT a, POINT b)
{
    if (p.width != 1 || p.style != PS_SOLID) return false;
    if (a.y == b.y) {
        int x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
        if (b.x < a.x) ++x0, ++x1; // drawn leftwards: the start pixel is included, the end one is not
        cairo_rectangle(cr, x0, a.y, x1 - x0, 1);
        cairo_fill(cr);
        return true;
    }
    if (a.x == b.x) {
        int y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
        if (b.y < a.y) ++y0, ++y1;
        cairo_rectangle(cr, a.x, y0, 1, y1 - y0);
        cairo_fill(cr);
        return true;
    }
    return false;
}

BOOL DrawPolyline(HDC hdc, const POINT *pts, int count, bool updateCurrent)
{
    Dc *dc = FindDc(hdc);
    if (!dc || !pts || count < 2) return FALSE;
    if (updateCurrent) dc->st.current = pts[count - 1];
    PenInfo p = PenOf(dc);
    if (!p.visible) return TRUE;
    Target t;
    if (!t.Begin(dc)) return TRUE;
    cairo_t *cr = t.Context();
    ApplyPen(cr, t, p);
    bool allExact = true;
    for (int i = 0; i + 1 < count && allExact; ++i)
        if (!(pts[i].x == pts[i + 1].x || pts[i].y == pts[i + 1].y) || p.width != 1 || p.style != PS_SOLID)
            allExact = false;
    if (allExact) {
        for (int i = 0; i + 1 < count; ++i) ExactSegment(cr, p, pts[i], pts[i + 1]);
    } else {
        double off = p.width % 2 ? 0.5 : 0;
        cairo_move_to(cr, pts[0].x + off, pts[0].y + off);
        for (int i = 1; i < count; ++i) cairo_line_to(cr, pts[i].x + off, pts[i].y + off);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    t.End();
    return TRUE;
}

// Fills the path with the DC's brush, then strokes it with the pen; `path` builds the outline in pixel-centre
// coordinates for the pen and `fillPath` the area the brush covers.
template <typename Outline, typename Area>
BOOL FillAndStroke(HDC hdc, Outline outline, Area area)
{
    Dc *dc = FindDc(hdc);
    if (!dc) return FALSE;
    Target t;
    if (!t.Begin(dc)) return TRUE;
    cairo_t *cr = t.Context();
    PenInfo p = PenOf(dc);
    if (SetBrushSource(cr, t, dc->st.brush)) {
        area(cr, p);
        cairo_fill(cr);
    }
    if (p.visible) {
        ApplyPen(cr, t, p);
        outline(cr, p);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    t.End();
    return TRUE;
}

void EdgeLine(HDC dc, int x0, int y0, int x1, int y1, int color)
{
    RECT r{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + (x0 == x1), std::max(y0, y1) + (y0 == y1)};
    FillRect(dc, &r, SysColorBrush(color));
}

} // namespace

COLORREF SysColor(int index) { return index >= 0 && index <= COLOR_MENUBAR ? kSysColors[index] : 0; }

} // namespace zg

using namespace zg;

// An index outside the table gives 0.
DWORD WINAPI GetSysColor(int index) { return SysColor(index); }

// System colour brushes are stock objects: DeleteObject leaves them alone. An unknown index gives NULL.
HBRUSH WINAPI GetSysColorBrush(int index)
{
    ZG_LOCK;
    return SysColorBrush(index);
}

// The line goes from the current position up to, not including, the end point, which becomes the position.
BOOL WINAPI LineTo(HDC hdc, int x, int y)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT pts[2] = {dc->st.current, {x, y}};
    return DrawPolyline(hdc, pts, 2, true);
}

// Does not use or change the current position; the last point is not drawn.
BOOL WINAPI Polyline(HDC hdc, const POINT *points, int count)
{
    ZG_LOCK;
    return DrawPolyline(hdc, points, count, false);
}

// A closed polygon, filled (alternate mode) and outlined.
BOOL WINAPI Polygon(HDC hdc, const POINT *points, int count)
{
    ZG_LOCK;
    if (!points || count < 2) return FALSE;
    auto path = [&](cairo_t *cr, double off) {
        cairo_move_to(cr, points[0].x + off, points[0].y + off);
        for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x + off, points[i].y + off);
        cairo_close_path(cr);
    };
    return FillAndStroke(
        hdc, [&](cairo_t *cr, const auto &p) { path(cr, p.width % 2 ? 0.5 : 0); },
        [&](cairo_t *cr, const auto &) {
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            path(cr, 0.5);
        });
}

// The outline covers [left, right) x [top, bottom); with a null pen the filled area is one pixel smaller to the
// right and bottom, as on Windows.
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    ZG_LOCK;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return FillAndStroke(
        hdc,
        [&](cairo_t *cr, const auto &p) {
            // The pen is centred on the pixel centres of the outermost ring, or kept inside with PS_INSIDEFRAME.
            double inset = p.style == PS_INSIDEFRAME ? p.width / 2.0 : 0.5;
            cairo_rectangle(cr, left + inset, top + inset, right - left - 2 * inset, bottom - top - 2 * inset);
        },
        [&](cairo_t *cr, const auto &p) {
            if (p.visible) cairo_rectangle(cr, left + 1, top + 1, right - left - 2, bottom - top - 2);
            else cairo_rectangle(cr, left, top, right - left - 1, bottom - top - 1);
        });
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height)
{
    ZG_LOCK;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    auto path = [&](cairo_t *cr, double l, double t, double r, double b) {
        double rx = std::min<double>(width / 2.0, (r - l) / 2), ry = std::min<double>(height / 2.0, (b - t) / 2);
        if (rx <= 0 || ry <= 0) {
            cairo_rectangle(cr, l, t, r - l, b - t);
            return;
        }
        cairo_save(cr);
        cairo_new_sub_path(cr);
        cairo_translate(cr, l, t);
        cairo_scale(cr, rx, ry);
        double w = (r - l) / rx, h = (b - t) / ry;
        cairo_arc(cr, w - 1, 1, 1, -M_PI / 2, 0);
        cairo_arc(cr, w - 1, h - 1, 1, 0, M_PI / 2);
        cairo_arc(cr, 1, h - 1, 1, M_PI / 2, M_PI);
        cairo_arc(cr, 1, 1, 1, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
        cairo_restore(cr);
    };
    return FillAndStroke(
        hdc, [&](cairo_t *cr, const auto &) { path(cr, left + 0.5, top + 0.5, right - 0.5, bottom - 0.5); },
        [&](cairo_t *cr, const auto &) { path(cr, left + 0.5, top + 0.5, right - 0.5, bottom - 0.5); });
}

// The ellipse fits [left, right) x [top, bottom).
BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    ZG_LOCK;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    auto path = [&](cairo_t *cr, double inset) {
        double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
        double rx = (right - left) / 2.0 - inset, ry = (bottom - top) / 2.0 - inset;
        if (rx <= 0 || ry <= 0) return;
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    };
    return FillAndStroke(
        hdc, [&](cairo_t *cr, const auto &p) { path(cr, p.width / 2.0); },
        [&](cairo_t *cr, const auto &) { path(cr, 0.5); });
}

// Fills [left, right) x [top, bottom) with the brush; a brush value of a system colour index + 1 means that
// colour's brush. The pen is not used.
int WINAPI FillRect(HDC hdc, const RECT *rect, HBRUSH brush)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !rect) return 0;
    auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value > 0 && value <= COLOR_MENUBAR + 1) brush = SysColorBrush(static_cast<int>(value) - 1);
    if (!FindAs<Brush>(brush, Kind::Brush)) return 0;
    if (rect->right <= rect->left || rect->bottom <= rect->top) return 1;
    Target t;
    if (!t.Begin(dc)) return 1;
    cairo_t *cr = t.Context();
    if (SetBrushSource(cr, t, brush)) {
        cairo_rectangle(cr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    t.End();
    return 1;
}

// A one-pixel border inside the rectangle, drawn with the brush.
int WINAPI FrameRect(HDC hdc, const RECT *rect, HBRUSH brush)
{
    ZG_LOCK;
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) return 0;
    RECT sides[4] = {{rect->left, rect->top, rect->right, rect->top + 1},
                     {rect->left, rect->bottom - 1, rect->right, rect->bottom},
                     {rect->left, rect->top, rect->left + 1, rect->bottom},
                     {rect->right - 1, rect->top, rect->right, rect->bottom}};
    for (const RECT &r : sides)
        if (!FillRect(hdc, &r, brush)) return 0;
    return 1;
}

// Inverts every pixel of the rectangle.
BOOL WINAPI InvertRect(HDC hdc, const RECT *rect)
{
    if (!rect) return FALSE;
    return PatBlt(hdc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, DSTINVERT);
}

// A dotted rectangle drawn by inverting every other pixel, so a second call removes it.
BOOL WINAPI DrawFocusRect(HDC hdc, const RECT *rect)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !rect) return FALSE;
    for (int x = rect->left; x < rect->right; x += 2) {
        PatBlt(hdc, x, rect->top, 1, 1, DSTINVERT);
        if (rect->bottom - 1 > rect->top) PatBlt(hdc, x + ((rect->bottom - 1 - rect->top) & 1), rect->bottom - 1, 1, 1, DSTINVERT);
    }
    for (int y = rect->top + 2; y < rect->bottom - 1; y += 2) {
        PatBlt(hdc, rect->left, y, 1, 1, DSTINVERT);
        if (rect->right - 1 > rect->left) PatBlt(hdc, rect->right - 1, y + ((rect->right - 1 - rect->left) & 1), 1, 1, DSTINVERT);
    }
    return TRUE;
}

// Paints the FillRgn brush over every rectangle of the region.
BOOL WINAPI FillRgn(HDC hdc, HRGN region, HBRUSH brush)
{
    ZG_LOCK;
    auto *r = FindAs<Region>(region, Kind::Region);
    if (!r) return FALSE;
    for (const RECT &rc : r->rects)
        if (!FillRect(hdc, &rc, brush)) return FALSE;
    return TRUE;
}

// The classic 3-D edges: raised outer light/dark shadow, raised inner highlight/shadow, sunken the reverse.
// BF_ADJUST shrinks the rectangle by the edge's width; BF_MIDDLE fills the inside with the face colour.
BOOL WINAPI DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags)
{
    ZG_LOCK;
    if (!FindDc(hdc) || !rect) return FALSE;
    RECT r = *rect;
    struct Ring {
        UINT raised, sunken;
        int raisedTL, raisedBR, sunkenTL, sunkenBR;
    };
    const Ring rings[2] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT}};
    for (const Ring &ring : rings) {
        int tl, br;
        if (flags & BF_MONO) tl = br = COLOR_WINDOWFRAME;
        else if (edge & ring.raised) tl = ring.raisedTL, br = ring.raisedBR;
        else if (edge & ring.sunken) tl = ring.sunkenTL, br = ring.sunkenBR;
        else continue;
        if ((flags & BF_FLAT) && !(flags & BF_MONO)) tl = br = (&ring == &rings[0]) ? COLOR_3DSHADOW : COLOR_3DFACE;
        if (r.right - r.left < 1 || r.bottom - r.top < 1) break;
        if (flags & BF_LEFT) EdgeLine(hdc, r.left, r.top, r.left, r.bottom - 1, tl);
        if (flags & BF_TOP) EdgeLine(hdc, r.left, r.top, r.right - 1, r.top, tl);
        if (flags & BF_RIGHT) EdgeLine(hdc, r.right - 1, r.top, r.right - 1, r.bottom - 1, br);
        if (flags & BF_BOTTOM) EdgeLine(hdc, r.left, r.bottom - 1, r.right - 1, r.bottom - 1, br);
        if (flags & BF_LEFT) ++r.left;
        if (flags & BF_TOP) ++r.top;
        if (flags & BF_RIGHT) --r.right;
        if (flags & BF_BOTTOM) --r.bottom;
        if (flags & BF_MONO) break;
    }
    if (flags & BF_MIDDLE) FillRect(hdc, &r, SysColorBrush((flags & BF_MONO) ? COLOR_WINDOW : COLOR_3DFACE));
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
}

// Check boxes, radio buttons, push buttons and scroll arrows in the classic look, scaled to the rectangle.
BOOL WINAPI DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !rect) return FALSE;
    RECT r = *rect;
    bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED, checked = state & DFCS_CHECKED;
    COLORREF mark = SysColor(inactive ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    if (type == DFC_BUTTON && (state & 0x1f) == DFCS_BUTTONRADIO) {
        Target t;
        if (!t.Begin(dc)) return TRUE;
        cairo_t *cr = t.Context();
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
        double size = std::min(r.right - r.left, r.bottom - r.top);
        double cx = r.left + size / 2, cy = r.top + size / 2;
        cairo_arc(cr, cx, cy, size / 2 - 0.5, 0, 2 * M_PI);
        SetSource(cr, t, SysColor((pushed || inactive) ? COLOR_3DFACE : COLOR_WINDOW));
        cairo_fill_preserve(cr);
        SetSource(cr, t, SysColor(COLOR_3DSHADOW));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        if (checked) {
            cairo_arc(cr, cx, cy, size / 5, 0, 2 * M_PI);
            SetSource(cr, t, mark);
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        t.End();
        return TRUE;
    }
    if (type == DFC_BUTTON && (state & 0x1f) == DFCS_BUTTONPUSH) {
        DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
        return TRUE;
    }
    if (type == DFC_BUTTON) { // check box
        DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0));
        FillRect(hdc, &r, SysColorBrush((pushed || inactive) ? COLOR_3DFACE : COLOR_WINDOW));
        if (checked) {
            Target t;
            if (!t.Begin(dc)) return TRUE;
            cairo_t *cr = t.Context();
            double w = r.right - r.left, h = r.bottom - r.top;
            cairo_move_to(cr, r.left + w * 0.2, r.top + h * 0.5);
            cairo_line_to(cr, r.left + w * 0.42, r.top + h * 0.75);
            cairo_line_to(cr, r.left + w * 0.82, r.top + h * 0.22);
            cairo_set_line_width(cr, std::max(1.5, w / 6));
            SetSource(cr, t, mark);
            cairo_stroke(cr);
            cairo_destroy(cr);
            t.End();
        }
        return TRUE;
    }
    if (type == DFC_SCROLL || type == DFC_CAPTION) {
        DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
        Target t;
        if (!t.Begin(dc)) return TRUE;
        cairo_t *cr = t.Context();
        double w = r.right - r.left, h = r.bottom - r.top, cx = r.left + w / 2, cy = r.top + h / 2;
        double s = std::max(2.0, std::min(w, h) / 4);
        SetSource(cr, t, mark);
        if (type == DFC_CAPTION && (state & 0x1f) == DFCS_CAPTIONHELP) {
            // The question mark of the caption's help button.
            cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
            cairo_set_font_size(cr, h * 0.75);
            cairo_text_extents_t ext;
            cairo_text_extents(cr, "?", &ext);
            cairo_move_to(cr, cx - ext.width / 2 - ext.x_bearing, cy - ext.height / 2 - ext.y_bearing);
            cairo_show_text(cr, "?");
        } else if (type == DFC_CAPTION) {
            cairo_set_line_width(cr, 1.5);
            cairo_move_to(cr, cx - s, cy - s), cairo_line_to(cr, cx + s, cy + s);
            cairo_move_to(cr, cx + s, cy - s), cairo_line_to(cr, cx - s, cy + s);
            cairo_stroke(cr);
        } else {
            UINT dir = state & 0x1f;
            if (dir == DFCS_SCROLLCOMBOBOX) dir = DFCS_SCROLLDOWN;
            switch (dir) {
            case DFCS_SCROLLUP: cairo_move_to(cr, cx - s, cy + s / 2), cairo_line_to(cr, cx + s, cy + s / 2), cairo_line_to(cr, cx, cy - s / 2); break;
            case DFCS_SCROLLDOWN: cairo_move_to(cr, cx - s, cy - s / 2), cairo_line_to(cr, cx + s, cy - s / 2), cairo_line_to(cr, cx, cy + s / 2); break;
            case DFCS_SCROLLLEFT: cairo_move_to(cr, cx + s / 2, cy - s), cairo_line_to(cr, cx + s / 2, cy + s), cairo_line_to(cr, cx - s / 2, cy); break;
            default: cairo_move_to(cr, cx - s / 2, cy - s), cairo_line_to(cr, cx - s / 2, cy + s), cairo_line_to(cr, cx + s / 2, cy); break;
            }
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        t.End();
        return TRUE;
    }
    return FALSE;
}
