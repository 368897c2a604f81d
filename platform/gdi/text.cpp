// Fonts and text: logical fonts through fontconfig and Pango, metrics, extents, ExtTextOut and DrawText.
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "gdi/gdi_internal.h"
#include "kernel/unicode.h"
#include "win32/user.h"

namespace zg {

namespace {

// The faces Windows dialogs ask for, pinned to fonts the set-up installs, so drawings do not depend on the
// machine's own font configuration. IPA Gothic carries the Japanese glyphs.
const char kFontsConf[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <match target="pattern">
    <test name="family" qual="any"><string>MS Sans Serif</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>MS Shell Dlg</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>MS Shell Dlg 2</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>Microsoft Sans Serif</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>System</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>Arial</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>Tahoma</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>Verdana</string></test>
    <edit name="family" mode="assign" binding="strong"><string>DejaVu Sans</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>Courier New</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Mono</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>Times New Roman</string></test>
    <edit name="family" mode="assign" binding="strong"><string>Liberation Serif</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>MS Gothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>MS PGothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>MS UI Gothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>&#xFF2D;&#xFF33; &#xFF30;&#x30B4;&#x30B7;&#x30C3;&#x30AF;</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" qual="any"><string>&#xFF2D;&#xFF33; &#x30B4;&#x30B7;&#x30C3;&#x30AF;</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAGothic</string></edit>
  </match>
  <alias binding="same">
    <family>sans-serif</family>
    <prefer><family>Liberation Sans</family><family>IPAPGothic</family><family>DejaVu Sans</family></prefer>
  </alias>
  <alias binding="same">
    <family>monospace</family>
    <prefer><family>Liberation Mono</family><family>IPAGothic</family><family>DejaVu Sans Mono</family></prefer>
  </alias>
  <alias binding="same">
    <family>serif</family>
    <prefer><family>Liberation Serif</family><family>IPAPMincho</family><family>DejaVu Serif</family></prefer>
  </alias>
  <match target="pattern">
    <edit name="family" mode="append_last"><string>sans-serif</string></edit>
  </match>
</fontconfig>
)";

struct Fonts {
    PangoFontMap *map = nullptr;
    PangoContext *context = nullptr;
    cairo_font_options_t *options = nullptr;
    std::map<std::string, double> cellPerEm; // family -> (ascent + descent) / em
};

Fonts &F()
{
    static Fonts *f = [] {
        auto *fonts = new Fonts;
        FcConfig *config = FcConfigCreate();
        if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8 *>(kFontsConf), FcTrue) ||
            !FcConfigBuildFonts(config)) {
            FcConfigDestroy(config);
            config = FcInitLoadConfigAndFonts();
        }
        fonts->map = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fonts->map), config);
        FcConfigDestroy(config);
        pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(fonts->map));
        pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fonts->map), 96);
        fonts->options = cairo_font_options_create();
        cairo_font_options_set_antialias(fonts->options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(fonts->options, CAIRO_HINT_METRICS_ON);
        cairo_font_options_set_hint_style(fonts->options, CAIRO_HINT_STYLE_SLIGHT);
        fonts->context = pango_font_map_create_context(fonts->map);
        pango_cairo_context_set_font_options(fonts->context, fonts->options);
        return fonts;
    }();
    return *f;
}

std::string FaceOf(const LOGFONTW &lf)
{
    std::string face = zw::Utf8FromWide(lf.lfFaceName, static_cast<int>(std::char_traits<char16_t>::length(lf.lfFaceName)));
    if (face.empty()) face = (lf.lfPitchAndFamily & 3) == FIXED_PITCH ? "Courier New" : "MS Sans Serif";
    if (lf.lfCharSet == SHIFTJIS_CHARSET) face += ",MS Gothic";
    return face;
}

double CellPerEm(const std::string &family, int weight, bool italic)
{
    Fonts &f = F();
    auto it = f.cellPerEm.find(family);
    if (it != f.cellPerEm.end()) return it->second;
    PangoFontDescription *d = pango_font_description_from_string("");
    pango_font_description_set_family(d, family.c_str());
    pango_font_description_set_absolute_size(d, 1000.0 * PANGO_SCALE);
    PangoFontMetrics *m = pango_context_get_metrics(f.context, d, nullptr);
    double ratio = (pango_font_metrics_get_ascent(m) + pango_font_metrics_get_descent(m)) / (1000.0 * PANGO_SCALE);
    pango_font_metrics_unref(m);
    pango_font_description_free(d);
    if (ratio <= 0.5 || ratio > 3) ratio = 1.15;
    f.cellPerEm[family] = ratio;
    return ratio;
}

std::string Utf8(const WCHAR *text, int count) { return zw::Utf8FromWide(text, count); }

PangoLayout *MakeLayout(Font *font, const std::string &utf8, cairo_t *cr)
{
    PangoLayout *layout;
    if (cr) {
        PangoContext *ctx = pango_font_map_create_context(F().map);
        pango_cairo_context_set_font_options(ctx, F().options);
        pango_cairo_update_context(cr, ctx);
        layout = pango_layout_new(ctx);
        g_object_unref(ctx);
    } else {
        layout = pango_layout_new(F().context);
    }
    pango_layout_set_font_description(layout, font->desc);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    if (font->log.lfUnderline || font->log.lfStrikeOut) {
        PangoAttrList *attrs = pango_attr_list_new();
        if (font->log.lfUnderline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (font->log.lfStrikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    return layout;
}

} // namespace

void InitFonts() { F(); }
PangoContext *TextContext() { return F().context; }

PangoFontDescription *DescriptionFor(const LOGFONTW &lf)
{
    std::string face = FaceOf(lf);
    PangoFontDescription *d = pango_font_description_new();
    pango_font_description_set_family(d, face.c_str());
    int weight = lf.lfWeight ? std::clamp<int>(lf.lfWeight, 100, 1000) : FW_NORMAL;
    pango_font_description_set_weight(d, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(d, lf.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    // Negative heights are the em size; positive ones the cell height (ascent + descent); 0 a default cell.
    double em;
    if (lf.lfHeight < 0) em = -lf.lfHeight;
    else em = (lf.lfHeight ? lf.lfHeight : 16) / CellPerEm(face, weight, lf.lfItalic);
    pango_font_description_set_absolute_size(d, std::max(1.0, em) * PANGO_SCALE);
    return d;
}

Font *CurrentFont(Dc *dc)
{
    Font *f = FindAs<Font>(dc->st.font, Kind::Font);
    return f ? f : FindAs<Font>(Stock(SYSTEM_FONT), Kind::Font);
}

void FontMetrics(Font *font, TEXTMETRICW *tm)
{
    PangoFontMetrics *m = pango_context_get_metrics(F().context, font->desc, nullptr);
    int ascent = PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(m));
    int descent = PANGO_PIXELS_CEIL(pango_font_metrics_get_descent(m));
    int ave = PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(m));
    pango_font_metrics_unref(m);
    double em = pango_font_description_get_size(font->desc) / double(PANGO_SCALE);
    std::memset(tm, 0, sizeof *tm);
    tm->tmAscent = ascent;
    tm->tmDescent = descent;
    tm->tmHeight = ascent + descent;
    tm->tmInternalLeading = std::max<LONG>(0, static_cast<LONG>(tm->tmHeight - std::lround(em)));
    tm->tmAveCharWidth = std::max(1, ave);
    tm->tmMaxCharWidth = std::max(1, ave * 2);
    tm->tmWeight = font->log.lfWeight ? font->log.lfWeight : FW_NORMAL;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xfffc;
    tm->tmDefaultChar = 0x1f;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = font->log.lfItalic;
    tm->tmUnderlined = font->log.lfUnderline;
    tm->tmStruckOut = font->log.lfStrikeOut;
    // TrueType, vector, and (the bit's inverted sense) variable pitch unless the font asked for fixed pitch.
    tm->tmPitchAndFamily = static_cast<BYTE>(0x06 | ((font->log.lfPitchAndFamily & 3) == FIXED_PITCH ? 0 : 1) |
                                             (font->log.lfPitchAndFamily & 0xf0));
    tm->tmCharSet = font->log.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : font->log.lfCharSet;
}

SIZE MeasureText(Font *font, const WCHAR *text, int count)
{
    TEXTMETRICW tm;
    FontMetrics(font, &tm);
    SIZE s{0, tm.tmHeight};
    if (count <= 0) return s;
    PangoLayout *layout = MakeLayout(font, Utf8(text, count), nullptr);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    s.cx = logical.width;
    return s;
}

namespace {

// Draws one run with its reference point at logical (x, y), turned by the font's escapement.
void DrawRun(Dc *dc, Target &t, int x, int y, UINT align, const WCHAR *text, int count, const INT *dx, UINT options,
             const RECT *rect)
{
    Font *font = CurrentFont(dc);
    cairo_t *cr = t.Context();
    if (!cr) return;
    if (rect && (options & ETO_CLIPPED)) {
        cairo_rectangle(cr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        cairo_clip(cr);
    }
    if (rect && (options & ETO_OPAQUE)) {
        SetSource(cr, t, dc->st.bkColor);
        cairo_rectangle(cr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        cairo_fill(cr);
    }
    if (count > 0) {
        TEXTMETRICW tm;
        FontMetrics(font, &tm);
        double angle = font->log.lfEscapement / 10.0 * M_PI / 180.0;
        cairo_translate(cr, x, y);
        cairo_rotate(cr, -angle);
        std::string utf8 = Utf8(text, count);
        PangoLayout *layout = MakeLayout(font, utf8, cr);
        PangoRectangle logical;
        pango_layout_get_pixel_extents(layout, nullptr, &logical);
        int width = logical.width;
        if (dx) {
            width = 0;
            for (int i = 0; i < count; ++i) width += dx[i];
        }
        double ax = 0, ay = 0;
        if ((align & TA_CENTER) == TA_CENTER) ax = width / 2.0;
        else if (align & TA_RIGHT) ax = width;
        if ((align & TA_BASELINE) == TA_BASELINE) ay = tm.tmAscent;
        else if (align & TA_BOTTOM) ay = tm.tmHeight;
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
        if (dc->st.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE))) {
            SetSource(cr, t, dc->st.bkColor);
            cairo_rectangle(cr, -ax, -ay, width, tm.tmHeight);
            cairo_fill(cr);
        }
        SetSource(cr, t, dc->st.textColor);
        if (dx) {
            // Caller-given advances: each character on its own.
            double pos = -ax;
            for (int i = 0; i < count; ++i) {
                PangoLayout *one = MakeLayout(font, Utf8(text + i, 1), cr);
                cairo_move_to(cr, pos, -ay);
                pango_cairo_show_layout(cr, one);
                g_object_unref(one);
                pos += dx[i];
            }
        } else {
            cairo_move_to(cr, -ax, -ay);
            pango_cairo_show_layout(cr, layout);
        }
        g_object_unref(layout);
        if (align & TA_UPDATECP) dc->st.current.x += (align & TA_RIGHT) && !((align & TA_CENTER) == TA_CENTER) ? -width : width;
    }
    cairo_destroy(cr);
}

} // namespace

} // namespace zg

using namespace zg;

// The font's logical record is kept as given; the face is matched when text is drawn or measured.
HFONT WINAPI CreateFontIndirectW(const LOGFONTW *lf)
{
    ZG_LOCK;
    if (!lf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto f = std::make_unique<Font>();
    f->log = *lf;
    f->log.lfFaceName[LF_FACESIZE - 1] = 0;
    f->desc = DescriptionFor(f->log);
    return static_cast<HFONT>(AddObject(std::move(f)));
}

HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCWSTR face)
{
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

// The unrotated width of the text and the font's cell height; an empty string measures 0 by 0, not a line.
BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE *size)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !size || count < 0 || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *size = count ? MeasureText(CurrentFont(dc), text, count) : SIZE{0, 0};
    return TRUE;
}

// How many characters fit in `maxExtent` (when `fit` is given) and the extent after each character.
BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, SIZE *size)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
    Font *font = CurrentFont(dc);
    int fitted = 0;
    for (int i = 1; i <= count; ++i) {
        LONG w = MeasureText(font, text, i).cx;
        if (dx) dx[i - 1] = w;
        if (w <= maxExtent) fitted = i;
        else if (!dx) break;
    }
    if (fit) *fit = fitted;
    // As GetTextExtentPoint32W: nothing to measure is 0 by 0.
    if (size) *size = count ? MeasureText(font, text, count) : SIZE{0, 0};
    return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW metrics)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !metrics) return FALSE;
    FontMetrics(CurrentFont(dc), metrics);
    return TRUE;
}

// The requested face name of the selected font; with a null buffer, its length plus the terminator.
int WINAPI GetTextFaceW(HDC hdc, int count, LPWSTR face)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc) return 0;
    const WCHAR *name = CurrentFont(dc)->log.lfFaceName;
    static const WCHAR kSystem[] = u"System";
    if (!name[0]) name = kSystem;
    int len = static_cast<int>(std::char_traits<char16_t>::length(name));
    if (!face) return len + 1;
    if (count <= 0) return 0;
    int n = std::min(len, count - 1);
    std::memcpy(face, name, n * sizeof(WCHAR));
    face[n] = 0;
    return n + 1;
}

// Text at (x, y) placed by the DC's text alignment, turned by the font's escapement; ETO_OPAQUE fills the
// rectangle with the background colour first and ETO_CLIPPED keeps the text inside it.
BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT *rect, LPCWSTR text, UINT count,
                        const INT *dx)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || (count && !text)) return FALSE;
    Target t;
    if (!t.Begin(dc)) return TRUE;
    UINT align = dc->st.textAlign;
    if (align & TA_UPDATECP) x = dc->st.current.x, y = dc->st.current.y;
    DrawRun(dc, t, x, y, align, text, static_cast<int>(count), dx, options, rect);
    t.End();
    return TRUE;
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count)
{
    if (count < 0) return FALSE;
    return ExtTextOutW(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

namespace {

struct Line {
    std::u16string text;
    int underline = -1; // index of the character after '&'
};

// Removes '&' prefixes ("&&" is a literal ampersand) and notes the underlined character.
Line StripPrefix(const std::u16string &s, UINT format)
{
    Line l;
    if (format & DT_NOPREFIX) {
        l.text = s;
        return l;
    }
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != u'&' && !(format & DT_HIDEPREFIX)) l.underline = static_cast<int>(l.text.size());
        } else if (s[i] == u'&') {
            continue;
        }
        l.text += s[i];
    }
    return l;
}

LONG Width(Font *f, const std::u16string &s) { return MeasureText(f, s.data(), static_cast<int>(s.size())).cx; }

// Breaks a paragraph at spaces so that each line fits `width`; a word longer than the width stands alone.
std::vector<std::u16string> Wrap(Font *f, const std::u16string &para, LONG width)
{
    std::vector<std::u16string> out;
    std::u16string line;
    size_t i = 0;
    while (i <= para.size()) {
        size_t j = para.find(u' ', i);
        if (j == std::u16string::npos) j = para.size();
        std::u16string word = para.substr(i, j - i);
        std::u16string candidate = line.empty() ? word : line + u' ' + word;
        if (!line.empty() && Width(f, candidate) > width) {
            out.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
        i = j + 1;
    }
    out.push_back(line);
    return out;
}

} // namespace

// Formats text in the rectangle: single or multiple lines, word breaks, horizontal and (single-line) vertical
// alignment, '&' prefixes, end ellipsis, clipping unless DT_NOCLIP. DT_CALCRECT only measures, setting the
// rectangle's right and bottom. Returns the text height, or with DT_VCENTER / DT_BOTTOM the offset from the top
// of the rectangle to the bottom of the text; 0 on failure.
int WINAPI DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format)
{
    ZG_LOCK;
    Dc *dc = FindDc(hdc);
    if (!dc || !rect || (!text && count != 0)) return 0;
    if (count < 0) count = text ? static_cast<int>(std::char_traits<char16_t>::length(text)) : 0;
    Font *font = CurrentFont(dc);
    TEXTMETRICW tm;
    FontMetrics(font, &tm);
    int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    LONG boxWidth = rect->right - rect->left;

    std::u16string all(text ? text : u"", count);
    if (format & DT_EXPANDTABS) {
        std::u16string expanded;
        for (char16_t c : all) expanded += c == u'\t' ? std::u16string(8, u' ') : std::u16string(1, c);
        all.swap(expanded);
    }
    std::vector<std::u16string> paragraphs;
    if (format & DT_SINGLELINE) {
        std::u16string one;
        for (char16_t c : all)
            if (c != u'\r' && c != u'\n') one += c;
        paragraphs.push_back(one);
    } else {
        size_t start = 0;
        while (true) {
            size_t nl = all.find(u'\n', start);
            std::u16string p = all.substr(start, nl == std::u16string::npos ? std::u16string::npos : nl - start);
            if (!p.empty() && p.back() == u'\r') p.pop_back();
            paragraphs.push_back(p);
            if (nl == std::u16string::npos) break;
            start = nl + 1;
        }
    }
    std::vector<Line> lines;
    for (const auto &p : paragraphs) {
        Line stripped = StripPrefix(p, format);
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE) && boxWidth > 0) {
            // Prefix positions are kept only for unwrapped lines.
            for (auto &w : Wrap(font, stripped.text, boxWidth)) lines.push_back({w, -1});
            if (lines.size() && Wrap(font, stripped.text, boxWidth).size() == 1) lines.back().underline = stripped.underline;
        } else {
            lines.push_back(stripped);
        }
    }
    if (format & DT_PATH_ELLIPSIS) {
        // The part after the last backslash is kept whole where it fits; the ellipsis replaces the middle.
        for (Line &l : lines) {
            if (Width(font, l.text) <= boxWidth) continue;
            const size_t slash = l.text.rfind(u'\\');
            if (slash == std::u16string::npos || slash == 0) continue;
            const std::u16string tail = l.text.substr(slash);
            std::u16string head = l.text.substr(0, slash);
            while (!head.empty() && Width(font, head + u"..." + tail) > boxWidth) head.pop_back();
            l.text = head + u"..." + tail;
            l.underline = -1;
        }
    }
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        for (Line &l : lines) {
            if (Width(font, l.text) <= boxWidth) continue;
            std::u16string base = l.text;
            while (!base.empty() && Width(font, base + u"...") > boxWidth) base.pop_back();
            l.text = base + u"...";
            if (l.underline >= static_cast<int>(base.size())) l.underline = -1;
        }
    }
    LONG maxWidth = 0;
    for (const Line &l : lines) maxWidth = std::max(maxWidth, Width(font, l.text));
    int textHeight = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        if (!(format & DT_WORDBREAK) || maxWidth > boxWidth || lines.size() == 1) rect->right = rect->left + maxWidth;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM) y = rect->bottom - lineHeight;
    }
    Target t;
    if (t.Begin(dc)) {
        RECT clip = *rect;
        if (!(format & DT_NOCLIP)) {
            // Clip in logical coordinates by narrowing the target's clip.
            RECT dev{static_cast<LONG>(clip.left + t.ox), static_cast<LONG>(clip.top + t.oy),
                     static_cast<LONG>(clip.right + t.ox), static_cast<LONG>(clip.bottom + t.oy)};
            t.clip = RegionIntersect(t.clip, {dev});
        }
        int ly = y;
        for (const Line &l : lines) {
            LONG w = Width(font, l.text);
            int x = rect->left;
            if (format & DT_CENTER) x = rect->left + (boxWidth - w) / 2;
            else if (format & DT_RIGHT) x = rect->right - w;
            if (!t.clip.empty())
                DrawRun(dc, t, x, ly, TA_LEFT | TA_TOP, l.text.data(), static_cast<int>(l.text.size()), nullptr, 0,
                        nullptr);
            if (l.underline >= 0 && !t.clip.empty()) {
                LONG ux = Width(font, l.text.substr(0, l.underline));
                LONG uw = Width(font, l.text.substr(0, l.underline + 1)) - ux;
                cairo_t *cr = t.Context();
                SetSource(cr, t, dc->st.textColor);
                cairo_rectangle(cr, x + ux, ly + tm.tmAscent + 1, uw, 1);
                cairo_fill(cr);
                cairo_destroy(cr);
            }
            ly += lineHeight;
        }
        t.End();
    }
    if (format & (DT_VCENTER | DT_BOTTOM)) return y + textHeight - rect->top;
    return textHeight;
}
