// The contents the tests give the fixture's every-control dialog.
#pragma once
#include "win32_test.h"

#include "resfixture_ids.h"

namespace zep::test {

// Items for the lists and combo boxes, ranges for the scroll bar, track bar and up-down control, and two rows of
// two columns for the list view of IDD_EVERY_CONTROL.
inline void FillEveryControl(HWND dlg)
{
    auto item = [dlg](int id) { return GetDlgItem(dlg, id); };
    for (const char *s : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"})
        SendMessageW(item(IDC_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(s).c_str()));
    for (const char *s : {"Letter", "A4", "Legal"})
        SendMessageW(item(IDC_DROPLIST), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(s).c_str()));
    for (const char *s : {"One", "Two"})
        SendMessageW(item(IDC_DROPDOWN), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(s).c_str()));
    SetScrollRange(item(IDC_SCROLL), SB_CTL, 0, 100, FALSE);
    SendMessageW(item(IDC_TRACKBAR), TBM_SETRANGE, FALSE, MAKELPARAM(0, 20));
    SendMessageW(item(IDC_UPDOWN), UDM_SETRANGE32, 0, 10);
    SendMessageW(item(IDC_UPDOWN), UDM_SETPOS32, 0, 0);
    HWND lv = item(IDC_LISTVIEW);
    WString name = Wide("Name"), value = Wide("Value");
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 100;
    col.pszText = name.data();
    SendMessageW(lv, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    col.pszText = value.data();
    SendMessageW(lv, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
    for (int i = 0; i < 2; ++i) {
        WString first = Wide(i ? "Second" : "First"), second = Wide(i ? "2" : "1");
        LVITEMW it{};
        it.mask = LVIF_TEXT;
        it.iItem = i;
        it.pszText = first.data();
        SendMessageW(lv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
        it.iSubItem = 1;
        it.pszText = second.data();
        SendMessageW(lv, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    }
}

} // namespace zep::test
