// The support page: the support resource library's pictures and a button that opens the support site.
#include <new>

#include "common/config.h"
#include "ui/context.h"
#include "ui/dlgutil.h"
#include "ui/pages.h"
#include "ui/picture.h"
#include "ui/sheetdata.h"
#include "ui/state.h"

namespace zep {

namespace {

// Controls of template 800 and pictures of the support resource library.
constexpr int kSupportFrame = 1100;
constexpr int kSupportLogoButton = 1101;
constexpr int kSupportSiteButton = 1002;
constexpr UINT kSupportFrameBitmap = 1001;
constexpr UINT kSupportLogoBitmap = 1003;

// What the page needs from outside: the library with its pictures, the site and the help file.
struct SupportPage {
    HINSTANCE library = nullptr;
    WCHAR url[kCompanionNameChars] = {};
    LPCWSTR helpFile = nullptr;
};

SupportPage *PageOf(HWND page) { return reinterpret_cast<SupportPage *>(GetWindowLongPtrW(page, DWLP_USER)); }

void DrawFrame(HWND page, const SupportPage &s)
{
    DrawTransparentBitmap(page, s.library, kSupportFrameBitmap, kSupportFrame);
}

INT_PTR SupportPageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, SupportPage *s)
{
    switch (message) {
    case WM_ACTIVATE:
        DrawFrame(page, *s);
        return FALSE;
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (!item) return FALSE;
        // The frame's picture is the library's bitmap 1001, whichever of the two ids the request names.
        if (item->CtlID == kSupportFrame || item->CtlID == kSupportFrameBitmap) {
            DrawFrame(page, *s);
            return TRUE;
        }
        if (item->CtlID == kSupportLogoButton) {
            DrawTransparentBitmap(page, s->library, kSupportLogoBitmap, kSupportLogoButton);
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        const auto *hdr = reinterpret_cast<const NMHDR *>(lParam);
        if (hdr && hdr->code == PSN_SETACTIVE) DrawFrame(page, *s);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kSupportSiteButton && HIWORD(wParam) == BN_CLICKED) {
            if (s->url[0]) ShellExecuteW(page, nullptr, s->url, nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        }
        return FALSE;
    case WM_HELP:
    case WM_CONTEXTMENU:
        return OpenControlHelp(s->helpFile, message, wParam, lParam) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

} // namespace

// The page's record lives as long as the page; the sheet's OemUiContext names the printer.
INT_PTR CALLBACK SupportPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto *psp = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
        auto *ctx = psp ? reinterpret_cast<OemUiContext *>(psp->lParam) : nullptr;
        auto *s = new (std::nothrow) SupportPage;
        if (!s) return TRUE;
        s->library = g_ui.supportLibrary;
        s->helpFile = g_ui.helpAvailable && g_ui.helpFilePath[0] ? g_ui.helpFilePath : nullptr;
        if (ctx) {
            if (HANDLE printer = SheetPrinter(*ctx)) GetModelString(printer, TEXT("AskZepURL"), s->url, kCompanionNameChars);
        }
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
        g_ui.sheetFlags |= kSheetFlagPageInitialised;
        DrawFrame(page, *s);
        return TRUE;
    }
    SupportPage *s = PageOf(page);
    if (!s) return FALSE;
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(page, DWLP_USER, 0);
        delete s;
        return FALSE;
    }
    return SupportPageMessage(page, message, wParam, lParam, s);
}

} // namespace zep
