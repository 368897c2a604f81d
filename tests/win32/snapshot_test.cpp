// PNG snapshots of dialog 103 of ZepPS and of the fixture's every-control dialog: each control is drawn inside
// the rectangle its template gives it, on a dialog face that is otherwise left plain. The layer's own drawing to
// a file (zep_gdi.h), which Windows has no counterpart of: Linux only.
#ifndef _WIN32
#include <cairo.h>

#include <filesystem>
#include <memory>

#include "fixture_modules.h"
#include "win32_test.h"
#include "zep_gdi.h"
#include "zep_ui.h"
#include "zepps_ids.h"

namespace zep::test {
namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

std::string SnapshotPath(const char *name)
{
    std::filesystem::create_directories(ZEP_UI_SNAPSHOT_DIR);
    return std::string(ZEP_UI_SNAPSHOT_DIR) + "/" + name;
}

// The PNG's pixels as 0xRRGGBB.
class Png {
public:
    explicit Png(const std::string &path) : s_(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy) {}
    bool ok() const { return cairo_surface_status(s_.get()) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(s_.get()); }
    int height() const { return cairo_image_surface_get_height(s_.get()); }
    uint32_t at(int x, int y) const
    {
        const auto *row = cairo_image_surface_get_data(s_.get()) + y * cairo_image_surface_get_stride(s_.get());
        return reinterpret_cast<const uint32_t *>(row)[x] & 0xFFFFFF;
    }
    // Pixels in the rectangle that differ from `colour`.
    int Differing(const RECT &r, uint32_t colour) const
    {
        int n = 0;
        for (int y = std::max<int>(0, r.top); y < std::min<int>(height(), r.bottom); ++y)
            for (int x = std::max<int>(0, r.left); x < std::min<int>(width(), r.right); ++x) n += at(x, y) != colour;
        return n;
    }

private:
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t *)> s_;
};

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The control's rectangle in the dialog's window (and so in the PNG), from its template through the dialog units.
RECT TemplateRect(HWND dialog, int x, int y, int cx, int cy)
{
    RECT r{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &r);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    RECT window{};
    GetWindowRect(dialog, &window);
    OffsetRect(&r, origin.x - window.left, origin.y - window.top);
    return r;
}

struct Placed {
    int id;
    int x, y, cx, cy;
    bool white; // an edit or list field: its inside is the window colour
};

// Draws the dialog, then checks every control paints within its template rectangle and the face between
// controls stays plain.
void CheckSnapshot(HMODULE module, int dialogId, const char *file, const std::vector<Placed> &controls,
                   const std::vector<RECT> &plainClientAreas)
{
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(dialogId), nullptr, PlainProc, 0);
    ASSERT_TRUE(dialog);
    const std::string path = SnapshotPath(file);
    ASSERT_TRUE(ZepSnapshotWindow(dialog, path.c_str()));
    Png png(path);
    ASSERT_TRUE(png.ok()) << path;
    RECT window{};
    GetWindowRect(dialog, &window);
    EXPECT_EQ(window.right - window.left, png.width());
    EXPECT_EQ(window.bottom - window.top, png.height());
    const uint32_t face = Rgb(GetSysColor(COLOR_3DFACE)), white = Rgb(GetSysColor(COLOR_WINDOW));
    for (const auto &c : controls) {
        SCOPED_TRACE(c.id);
        RECT r = TemplateRect(dialog, c.x, c.y, c.cx, c.cy);
        RECT inWindow{};
        GetWindowRect(GetDlgItem(dialog, c.id), &inWindow);
        OffsetRect(&inWindow, -window.left, -window.top);
        // The template places each control; its width is the template's too, except that icons take the icon's
        // size and an up-down control takes its width from its buddy (0 in the table: not checked).
        EXPECT_EQ(r.left, inWindow.left);
        EXPECT_EQ(r.top, inWindow.top);
        if (c.cx && c.cy) {
            RECT size{0, 0, c.cx, c.cy};
            MapDialogRect(dialog, &size);
            EXPECT_EQ(size.right, inWindow.right - inWindow.left);
        }
        EXPECT_GT(png.Differing(inWindow, face), 0) << "nothing drawn in the control's rectangle";
        if (c.white) {
            EXPECT_EQ(white, png.at((inWindow.left + inWindow.right) / 2, (inWindow.top + inWindow.bottom) / 2));
        }
    }
    for (const RECT &area : plainClientAreas) {
        RECT r = TemplateRect(dialog, area.left, area.top, area.right - area.left, area.bottom - area.top);
        EXPECT_EQ(0, png.Differing(r, face)) << "drawn outside the controls at " << area.left << "," << area.top;
    }
    DestroyWindow(dialog);
}

TEST(Snapshot, JobNameDialog)
{
    LoadedModule zepps(ZEP_ZEPPS_PATH);
    ASSERT_TRUE(zepps.get());
    CheckSnapshot(zepps.get(), IDD_JOBNAME, "zepps_103.png",
                  {{IDC_JOBNAME_GROUP, 7, 7, 149, 58, false},
                   {IDC_JOBNAME_LABEL, 17, 24, 129, 9, false},
                   {IDC_JOBNAME_EDIT, 17, 38, 129, 14, true},
                   {IDOK, 56, 75, 50, 14, false}},
                  // Between the group box and OK, and right of OK.
                  {{2, 67, 160, 73}, {110, 75, 160, 95}});
    ZepUiDestroyAllWindows();
}

// A label's text is drawn on the dialog's face: no window-coloured box behind its letters.
TEST(Snapshot, LabelsSitOnTheDialogFace)
{
    LoadedModule zepps(ZEP_ZEPPS_PATH);
    ASSERT_TRUE(zepps.get());
    HWND dialog = CreateDialogParamW(zepps.get(), MAKEINTRESOURCEW(IDD_JOBNAME), nullptr, PlainProc, 0);
    ASSERT_TRUE(dialog);
    const std::string path = SnapshotPath("label_face.png");
    ASSERT_TRUE(ZepSnapshotWindow(dialog, path.c_str()));
    Png png(path);
    ASSERT_TRUE(png.ok()) << path;
    RECT window{}, label{};
    GetWindowRect(dialog, &window);
    GetWindowRect(GetDlgItem(dialog, IDC_JOBNAME_LABEL), &label);
    OffsetRect(&label, -window.left, -window.top);
    const uint32_t white = Rgb(GetSysColor(COLOR_WINDOW));
    int whitePixels = 0;
    for (int y = label.top; y < label.bottom; ++y)
        for (int x = label.left; x < label.right; ++x) whitePixels += png.at(x, y) == white;
    EXPECT_EQ(whitePixels, 0);
    EXPECT_GT(png.Differing(label, Rgb(GetSysColor(COLOR_3DFACE))), 0) << "the label's text is drawn";
    DestroyWindow(dialog);
    ZepUiDestroyAllWindows();
}

TEST(Snapshot, EveryControlDialog)
{
    LoadedModule fixture(ZEP_RES_FIXTURE_PATH);
    ASSERT_TRUE(fixture.get());
    CheckSnapshot(fixture.get(), IDD_EVERY_CONTROL, "every_control.png",
                  {{IDC_PUSH, 7, 7, 50, 14, false},
                   {IDC_DEFPUSH, 62, 7, 50, 14, false},
                   {IDC_CHECK, 7, 26, 60, 10, false},
                   {IDC_AUTOCHECK, 7, 38, 60, 10, false},
                   {IDC_GROUP, 120, 4, 173, 50, false},
                   {IDC_RADIO1, 127, 16, 60, 10, false},
                   {IDC_RADIO2, 127, 28, 60, 10, false},
                   {IDC_AUTORADIO1, 200, 16, 70, 10, false},
                   {IDC_AUTORADIO2, 200, 28, 70, 10, false},
                   {IDC_TEXT, 75, 60, 40, 9, false},
                   {IDC_STATIC_ICON, 75, 72, 0, 0, false},
                   {IDC_EDIT, 120, 60, 80, 14, true},
                   {IDC_LIST, 7, 90, 80, 50, true},
                   {IDC_DROPLIST, 95, 90, 90, 12, true},
                   {IDC_DROPDOWN, 195, 90, 98, 12, true},
                   {IDC_SCROLL, 95, 110, 90, 10, false},
                   {IDC_BUDDY, 195, 110, 0, 0, true},
                   {IDC_TRACKBAR, 95, 128, 150, 16, false},
                   {IDC_LISTVIEW, 7, 148, 286, 55, true},
                   {IDOK, 188, 209, 50, 14, false},
                   {IDCANCEL, 243, 209, 50, 14, false}},
                  // Below the list view, left of OK; between the check boxes and the group box.
                  {{7, 206, 180, 226}, {70, 22, 116, 50}});
    ZepUiDestroyAllWindows();
}

} // namespace
} // namespace zep::test
#endif
