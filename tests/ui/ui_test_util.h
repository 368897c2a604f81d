// Shared pieces of the UI tests: the modules under test, and a dialog procedure that logs what reaches it.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32.h"
#include "host/uidriver/uidriver.h"
#include "tests/win32/fixture_modules.h"
#include "zep_ui.h"

namespace zep::uitest {

using ui::WString;
using Module = test::LoadedModule;  // a module loaded for the test's lifetime

inline WString W(const std::string &ascii) { return WString(ascii.begin(), ascii.end()); }

// What a dialog's parent hears: WM_COMMAND, WM_NOTIFY and the scroll messages.
struct Heard {
    UINT message;
    int id;       // control id (0 for scroll messages from a control without one)
    UINT code;    // notification or scroll code
    int pos = 0;  // scroll position
    bool operator==(const Heard &) const = default;
};
inline std::ostream &operator<<(std::ostream &os, const Heard &h)
{
    return os << "{msg=" << std::hex << h.message << std::dec << " id=" << h.id << " code=" << static_cast<int>(h.code)
              << " pos=" << h.pos << "}";
}

struct DialogLog {
    std::vector<Heard> heard;
    int count(UINT message, int id, UINT code) const
    {
        int n = 0;
        for (const auto &h : heard) n += h.message == message && h.id == id && h.code == code;
        return n;
    }
};

// Records what the dialog's controls report; fills nothing itself.
inline INT_PTR CALLBACK LoggingProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lParam);
        return TRUE;
    }
    auto *log = reinterpret_cast<DialogLog *>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!log) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        log->heard.push_back({msg, LOWORD(wParam), HIWORD(wParam)});
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        auto *hdr = reinterpret_cast<NMHDR *>(lParam);
        log->heard.push_back({msg, static_cast<int>(hdr->idFrom), hdr->code});
        return FALSE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        log->heard.push_back({msg, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), LOWORD(wParam),
                              static_cast<int>(static_cast<short>(HIWORD(wParam)))});
        return TRUE;
    default: return FALSE;
    }
}

} // namespace zep::uitest
