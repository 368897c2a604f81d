// Common controls (up-down, trackbar, list view) and property sheets of the Linux layer.
#pragma once
#include "win32/base.h"
#include "win32/user.h"

#define WINCOMMCTRLAPI extern "C"

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
typedef INITCOMMONCONTROLSEX *LPINITCOMMONCONTROLSEX;
#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_STANDARD_CLASSES 0x00004000
WINCOMMCTRLAPI void WINAPI InitCommonControls();
WINCOMMCTRLAPI BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX *init);

// Generic notification codes.
#define NM_FIRST (0U - 0U)
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#define NM_CUSTOMDRAW (NM_FIRST - 12)

// Up-down control.
#define UPDOWN_CLASSW TEXT("msctls_updown32")
#define UD_MAXVAL 0x7fff
#define UD_MINVAL (-UD_MAXVAL)
#define UDM_SETRANGE (WM_USER + 101)
#define UDM_GETRANGE (WM_USER + 102)
#define UDM_SETPOS (WM_USER + 103)
#define UDM_GETPOS (WM_USER + 104)
#define UDM_SETBUDDY (WM_USER + 105)
#define UDM_GETBUDDY (WM_USER + 106)
#define UDM_SETACCEL (WM_USER + 107)
#define UDM_GETACCEL (WM_USER + 108)
#define UDM_SETBASE (WM_USER + 109)
#define UDM_GETBASE (WM_USER + 110)
#define UDM_SETRANGE32 (WM_USER + 111)
#define UDM_GETRANGE32 (WM_USER + 112)
#define UDM_SETPOS32 (WM_USER + 113)
#define UDM_GETPOS32 (WM_USER + 114)
#define UDN_FIRST (0U - 721U)
#define UDN_DELTAPOS (UDN_FIRST - 1)
struct NMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};
typedef NMUPDOWN *LPNMUPDOWN;

// Trackbar.
#define TRACKBAR_CLASSW TEXT("msctls_trackbar32")
#define TBM_GETPOS (WM_USER)
#define TBM_GETRANGEMIN (WM_USER + 1)
#define TBM_GETRANGEMAX (WM_USER + 2)
#define TBM_GETTIC (WM_USER + 3)
#define TBM_SETTIC (WM_USER + 4)
#define TBM_SETPOS (WM_USER + 5)
#define TBM_SETRANGE (WM_USER + 6)
#define TBM_SETRANGEMIN (WM_USER + 7)
#define TBM_SETRANGEMAX (WM_USER + 8)
#define TBM_CLEARTICS (WM_USER + 9)
#define TBM_GETNUMTICS (WM_USER + 16)
#define TBM_SETTICFREQ (WM_USER + 20)
#define TBM_SETPAGESIZE (WM_USER + 21)
#define TBM_GETPAGESIZE (WM_USER + 22)
#define TBM_SETLINESIZE (WM_USER + 23)
#define TBM_GETLINESIZE (WM_USER + 24)
#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

// List view.
#define WC_LISTVIEWW TEXT("SysListView32")
#define LVM_FIRST 0x1000
#define LVM_GETBKCOLOR (LVM_FIRST + 0)
#define LVM_SETBKCOLOR (LVM_FIRST + 1)
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_DELETEITEM (LVM_FIRST + 8)
#define LVM_DELETEALLITEMS (LVM_FIRST + 9)
#define LVM_GETNEXTITEM (LVM_FIRST + 12)
#define LVM_GETITEMRECT (LVM_FIRST + 14)
#define LVM_HITTEST (LVM_FIRST + 18)
#define LVM_ENSUREVISIBLE (LVM_FIRST + 19)
#define LVM_REDRAWITEMS (LVM_FIRST + 21)
#define LVM_DELETECOLUMN (LVM_FIRST + 28)
#define LVM_GETCOLUMNWIDTH (LVM_FIRST + 29)
#define LVM_SETCOLUMNWIDTH (LVM_FIRST + 30)
#define LVM_GETHEADER (LVM_FIRST + 31)
#define LVM_SETTEXTCOLOR (LVM_FIRST + 36)
#define LVM_SETTEXTBKCOLOR (LVM_FIRST + 38)
#define LVM_GETTOPINDEX (LVM_FIRST + 39)
#define LVM_GETCOUNTPERPAGE (LVM_FIRST + 40)
#define LVM_SETITEMSTATE (LVM_FIRST + 43)
#define LVM_GETITEMSTATE (LVM_FIRST + 44)
#define LVM_GETSELECTEDCOUNT (LVM_FIRST + 50)
#define LVM_SETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 54)
#define LVM_GETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 55)
#define LVM_GETSELECTIONMARK (LVM_FIRST + 66)
#define LVM_SETSELECTIONMARK (LVM_FIRST + 67)
#define LVM_GETITEMW (LVM_FIRST + 75)
#define LVM_SETITEMW (LVM_FIRST + 76)
#define LVM_INSERTITEMW (LVM_FIRST + 77)
#define LVM_FINDITEMW (LVM_FIRST + 83)
#define LVM_GETCOLUMNW (LVM_FIRST + 95)
#define LVM_SETCOLUMNW (LVM_FIRST + 96)
#define LVM_INSERTCOLUMNW (LVM_FIRST + 97)
#define LVM_GETITEMTEXTW (LVM_FIRST + 115)
#define LVM_SETITEMTEXTW (LVM_FIRST + 116)

#define LVIF_TEXT 0x00000001
#define LVIF_IMAGE 0x00000002
#define LVIF_PARAM 0x00000004
#define LVIF_STATE 0x00000008
#define LVIF_INDENT 0x00000010
#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002
#define LVIS_CUT 0x0004
#define LVIS_DROPHILITED 0x0008
#define LVIS_OVERLAYMASK 0x0F00
#define LVIS_STATEIMAGEMASK 0xF000
#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002
#define LVNI_BELOW 0x0200
#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008
#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002
#define LVFI_PARAM 0x0001
#define LVFI_STRING 0x0002
#define LVFI_PARTIAL 0x0008
#define LVIR_BOUNDS 0
#define LVIR_ICON 1
#define LVIR_LABEL 2
#define LVIR_SELECTBOUNDS 3
#define LVHT_NOWHERE 0x0001
#define LVHT_ONITEMICON 0x0002
#define LVHT_ONITEMLABEL 0x0004
#define LVHT_ONITEMSTATEICON 0x0008
#define LVHT_ONITEM (LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON)
#define LVS_EX_GRIDLINES 0x00000001
#define LVS_EX_CHECKBOXES 0x00000004
#define LVS_EX_FULLROWSELECT 0x00000020

#define LVN_FIRST (0U - 100U)
#define LVN_ITEMCHANGING (LVN_FIRST - 0)
#define LVN_ITEMCHANGED (LVN_FIRST - 1)
#define LVN_INSERTITEM (LVN_FIRST - 2)
#define LVN_DELETEITEM (LVN_FIRST - 3)
#define LVN_DELETEALLITEMS (LVN_FIRST - 4)
#define LVN_COLUMNCLICK (LVN_FIRST - 8)
#define LVN_ITEMACTIVATE (LVN_FIRST - 14)

struct LVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
    int iGroupId;
    UINT cColumns;
    UINT *puColumns;
    int *piColFmt;
    int iGroup;
};
typedef LVITEMW *LPLVITEMW;
struct LVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    LPWSTR pszText;
    int cchTextMax;
    int iSubItem;
    int iImage;
    int iOrder;
    int cxMin;
    int cxDefault;
    int cxIdeal;
};
typedef LVCOLUMNW *LPLVCOLUMNW;
struct LVFINDINFOW {
    UINT flags;
    LPCWSTR psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};
struct LVHITTESTINFO {
    POINT pt;
    UINT flags;
    int iItem;
    int iSubItem;
    int iGroup;
};
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};
typedef NMLISTVIEW *LPNMLISTVIEW;
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};
typedef NMITEMACTIVATE *LPNMITEMACTIVATE;
static_assert(offsetof(LVITEMW, pszText) == (sizeof(void *) == 8 ? 24 : 20), "LVITEMW.pszText");
static_assert(offsetof(LVITEMW, lParam) == (sizeof(void *) == 8 ? 40 : 32), "LVITEMW.lParam");
static_assert(offsetof(NMLISTVIEW, lParam) == (sizeof(void *) == 8 ? 56 : 40), "NMLISTVIEW.lParam");

#define ListView_GetItemCount(h) (int)SendMessageW((h), LVM_GETITEMCOUNT, 0, 0)
#define ListView_DeleteAllItems(h) (BOOL)SendMessageW((h), LVM_DELETEALLITEMS, 0, 0)
#define ListView_DeleteItem(h, i) (BOOL)SendMessageW((h), LVM_DELETEITEM, (WPARAM)(int)(i), 0)
#define ListView_InsertItem(h, item) (int)SendMessageW((h), LVM_INSERTITEMW, 0, (LPARAM)(const LVITEMW *)(item))
#define ListView_SetItem(h, item) (BOOL)SendMessageW((h), LVM_SETITEMW, 0, (LPARAM)(const LVITEMW *)(item))
#define ListView_GetItem(h, item) (BOOL)SendMessageW((h), LVM_GETITEMW, 0, (LPARAM)(LVITEMW *)(item))
#define ListView_InsertColumn(h, i, col) \
    (int)SendMessageW((h), LVM_INSERTCOLUMNW, (WPARAM)(int)(i), (LPARAM)(const LVCOLUMNW *)(col))
#define ListView_GetNextItem(h, i, flags) (int)SendMessageW((h), LVM_GETNEXTITEM, (WPARAM)(int)(i), MAKELONG((flags), 0))
#define ListView_GetSelectedCount(h) (UINT)SendMessageW((h), LVM_GETSELECTEDCOUNT, 0, 0)
#define ListView_GetItemState(h, i, mask) (UINT)SendMessageW((h), LVM_GETITEMSTATE, (WPARAM)(i), (LPARAM)(mask))
#define ListView_SetExtendedListViewStyle(h, ex) \
    (DWORD)SendMessageW((h), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)(ex))
#define ListView_GetColumnWidth(h, c) (int)SendMessageW((h), LVM_GETCOLUMNWIDTH, (WPARAM)(int)(c), 0)
#define ListView_SetColumnWidth(h, c, cx) \
    (BOOL)SendMessageW((h), LVM_SETCOLUMNWIDTH, (WPARAM)(int)(c), MAKELPARAM((cx), 0))
inline void ListView_SetItemState(HWND h, int i, UINT state, UINT mask)
{
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(h, LVM_SETITEMSTATE, (WPARAM)i, (LPARAM)&item);
}
inline void ListView_SetItemText(HWND h, int i, int sub, LPWSTR text)
{
    LVITEMW item{};
    item.iSubItem = sub;
    item.pszText = text;
    SendMessageW(h, LVM_SETITEMTEXTW, (WPARAM)i, (LPARAM)&item);
}
inline void ListView_GetItemText(HWND h, int i, int sub, LPWSTR text, int size)
{
    LVITEMW item{};
    item.iSubItem = sub;
    item.cchTextMax = size;
    item.pszText = text;
    SendMessageW(h, LVM_GETITEMTEXTW, (WPARAM)i, (LPARAM)&item);
}

// More of the list view: messages, flags, key notification and helpers the dialogs use.
#define LVM_SETITEMCOUNT (LVM_FIRST + 47)
#define LVM_GETSUBITEMRECT (LVM_FIRST + 56)
#define LVM_SUBITEMHITTEST (LVM_FIRST + 57)
#define LVM_GETSTRINGWIDTHW (LVM_FIRST + 87)
#define LVNI_ABOVE 0x0100
#define LVFI_WRAP 0x0020
#define LVSCW_AUTOSIZE (-1)
#define LVSCW_AUTOSIZE_USEHEADER (-2)
#define LVS_EX_HEADERDRAGDROP 0x00000010
#define LVS_EX_ONECLICKACTIVATE 0x00000040
#define LVS_EX_TWOCLICKACTIVATE 0x00000080
#define LVS_EX_INFOTIP 0x00000400
#define LVS_EX_LABELTIP 0x00004000
#define LVS_EX_DOUBLEBUFFER 0x00010000
#define LVN_KEYDOWN (LVN_FIRST - 55)
#define LPSTR_TEXTCALLBACKW ((LPWSTR)(LONG_PTR)-1)
#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L
// Byte-packed, as the SDK declares it.
#pragma pack(push, 1)
struct NMLVKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};
#pragma pack(pop)
typedef NMLVKEYDOWN *LPNMLVKEYDOWN;
static_assert(offsetof(NMLVKEYDOWN, wVKey) == sizeof(NMHDR) && sizeof(NMLVKEYDOWN) == sizeof(NMHDR) + 6,
              "NMLVKEYDOWN is packed");
static_assert(offsetof(LVCOLUMNW, pszText) == (sizeof(void *) == 8 ? 16 : 12), "LVCOLUMNW.pszText");
static_assert(offsetof(LVFINDINFOW, lParam) == (sizeof(void *) == 8 ? 16 : 8), "LVFINDINFOW.lParam");
static_assert(sizeof(NMITEMACTIVATE) == (sizeof(void *) == 8 ? 72 : 52), "NMITEMACTIVATE size");

#define ListView_GetSelectionMark(h) (int)SendMessageW((h), LVM_GETSELECTIONMARK, 0, 0)
#define ListView_SetSelectionMark(h, i) (int)SendMessageW((h), LVM_SETSELECTIONMARK, 0, (LPARAM)(i))
#define ListView_EnsureVisible(h, i, partial) \
    (BOOL)SendMessageW((h), LVM_ENSUREVISIBLE, (WPARAM)(int)(i), MAKELPARAM((partial), 0))
#define ListView_FindItem(h, start, info) \
    (int)SendMessageW((h), LVM_FINDITEMW, (WPARAM)(int)(start), (LPARAM)(const LVFINDINFOW *)(info))
#define ListView_GetColumn(h, c, col) (BOOL)SendMessageW((h), LVM_GETCOLUMNW, (WPARAM)(int)(c), (LPARAM)(LVCOLUMNW *)(col))
#define ListView_SetColumn(h, c, col) \
    (BOOL)SendMessageW((h), LVM_SETCOLUMNW, (WPARAM)(int)(c), (LPARAM)(const LVCOLUMNW *)(col))
#define ListView_DeleteColumn(h, c) (BOOL)SendMessageW((h), LVM_DELETECOLUMN, (WPARAM)(int)(c), 0)
#define ListView_GetExtendedListViewStyle(h) (DWORD)SendMessageW((h), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)
#define ListView_SetExtendedListViewStyleEx(h, mask, ex) \
    (DWORD)SendMessageW((h), LVM_SETEXTENDEDLISTVIEWSTYLE, (WPARAM)(mask), (LPARAM)(ex))
#define ListView_GetTopIndex(h) (int)SendMessageW((h), LVM_GETTOPINDEX, 0, 0)
#define ListView_GetCountPerPage(h) (int)SendMessageW((h), LVM_GETCOUNTPERPAGE, 0, 0)
#define ListView_HitTest(h, info) (int)SendMessageW((h), LVM_HITTEST, 0, (LPARAM)(LVHITTESTINFO *)(info))
#define ListView_SubItemHitTest(h, info) (int)SendMessageW((h), LVM_SUBITEMHITTEST, 0, (LPARAM)(LVHITTESTINFO *)(info))
#define ListView_GetHeader(h) (HWND)SendMessageW((h), LVM_GETHEADER, 0, 0)
#define ListView_RedrawItems(h, first, last) (BOOL)SendMessageW((h), LVM_REDRAWITEMS, (WPARAM)(int)(first), (LPARAM)(int)(last))
inline BOOL ListView_GetItemRect(HWND h, int i, RECT *rect, int code)
{
    if (rect) rect->left = code;
    return (BOOL)SendMessageW(h, LVM_GETITEMRECT, (WPARAM)i, (LPARAM)rect);
}

// Property sheets.
struct PROPSHEETPAGEW;
typedef UINT(CALLBACK *LPFNPSPCALLBACKW)(HWND hwnd, UINT msg, PROPSHEETPAGEW *page);
typedef int(CALLBACK *PFNPROPSHEETCALLBACK)(HWND hwnd, UINT msg, LPARAM param);

struct PROPSHEETPAGEW {
    DWORD dwSize;
    DWORD dwFlags;
    HINSTANCE hInstance;
    union {
        LPCWSTR pszTemplate;
        LPCDLGTEMPLATE pResource;
    };
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszTitle;
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACKW pfnCallback;
    UINT *pcRefParent;
    LPCWSTR pszHeaderTitle;
    LPCWSTR pszHeaderSubTitle;
    HANDLE hActCtx;
    union {
        HBITMAP hbmHeader;
        LPCWSTR pszbmHeader;
    };
};
typedef PROPSHEETPAGEW *LPPROPSHEETPAGEW;
typedef const PROPSHEETPAGEW *LPCPROPSHEETPAGEW;
#define PROPSHEETPAGEW_V1_SIZE offsetof(PROPSHEETPAGEW, pszHeaderTitle)
#define PROPSHEETPAGEW_V2_SIZE offsetof(PROPSHEETPAGEW, hActCtx)
#define PROPSHEETPAGEW_V3_SIZE offsetof(PROPSHEETPAGEW, hbmHeader)
#define PROPSHEETPAGEW_V4_SIZE sizeof(PROPSHEETPAGEW)
static_assert(PROPSHEETPAGEW_V1_SIZE == (sizeof(void *) == 8 ? 72 : 40), "PROPSHEETPAGEW v1 size");
static_assert(sizeof(PROPSHEETPAGEW) == (sizeof(void *) == 8 ? 104 : 56), "PROPSHEETPAGEW size");

struct PROPSHEETHEADERW {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszCaption;
    UINT nPages;
    union {
        UINT nStartPage;
        LPCWSTR pStartPage;
    };
    union {
        LPCPROPSHEETPAGEW ppsp;
        HPROPSHEETPAGE *phpage;
    };
    PFNPROPSHEETCALLBACK pfnCallback;
    union {
        HBITMAP hbmWatermark;
        LPCWSTR pszbmWatermark;
    };
    HPALETTE hplWatermark;
    union {
        HBITMAP hbmHeader;
        LPCWSTR pszbmHeader;
    };
};
typedef PROPSHEETHEADERW *LPPROPSHEETHEADERW;
typedef const PROPSHEETHEADERW *LPCPROPSHEETHEADERW;
#define PROPSHEETHEADERW_V1_SIZE offsetof(PROPSHEETHEADERW, hbmWatermark)

#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USEHICON 0x00000002
#define PSP_USEICONID 0x00000004
#define PSP_USETITLE 0x00000008
#define PSP_RTLREADING 0x00000010
#define PSP_HASHELP 0x00000020
#define PSP_USEREFPARENT 0x00000040
#define PSP_USECALLBACK 0x00000080
#define PSP_PREMATURE 0x00000400
#define PSPCB_ADDREF 0
#define PSPCB_RELEASE 1
#define PSPCB_CREATE 2

#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_USEHICON 0x00000002
#define PSH_USEICONID 0x00000004
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_USEPSTARTPAGE 0x00000040
#define PSH_USECALLBACK 0x00000100
#define PSH_MODELESS 0x00000400
#define PSH_NOCONTEXTHELP 0x02000000
#define PSCB_INITIALIZED 1
#define PSCB_PRECREATE 2

#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)
#define PSN_HELP (PSN_FIRST - 5)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)
#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2
#define PSNRET_MESSAGEHANDLED 3
struct PSHNOTIFY {
    NMHDR hdr;
    LPARAM lParam;
};
typedef PSHNOTIFY *LPPSHNOTIFY;

#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_REMOVEPAGE (WM_USER + 102)
#define PSM_ADDPAGE (WM_USER + 103)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_CANCELTOCLOSE (WM_USER + 107)
#define PSM_QUERYSIBLINGS (WM_USER + 108)
#define PSM_UNCHANGED (WM_USER + 109)
#define PSM_APPLY (WM_USER + 110)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
#define PSM_SETTITLEW (WM_USER + 120)
#define PSM_HWNDTOINDEX (WM_USER + 129)
#define PSM_INDEXTOHWND (WM_USER + 130)
#define PSM_PAGETOINDEX (WM_USER + 131)
#define PSM_INDEXTOPAGE (WM_USER + 132)
#define PSM_GETRESULT (WM_USER + 135)
#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6
#define ID_PSRESTARTWINDOWS 0x2
#define ID_PSREBOOTSYSTEM (ID_PSRESTARTWINDOWS | 0x1)

#define PropSheet_Changed(s, page) SendMessageW((s), PSM_CHANGED, (WPARAM)(HWND)(page), 0)
#define PropSheet_UnChanged(s, page) SendMessageW((s), PSM_UNCHANGED, (WPARAM)(HWND)(page), 0)
#define PropSheet_SetCurSel(s, hpage, index) \
    SendMessageW((s), PSM_SETCURSEL, (WPARAM)(index), (LPARAM)(HPROPSHEETPAGE)(hpage))
#define PropSheet_PressButton(s, button) PostMessageW((s), PSM_PRESSBUTTON, (WPARAM)(button), 0)
#define PropSheet_GetCurrentPageHwnd(s) (HWND)SendMessageW((s), PSM_GETCURRENTPAGEHWND, 0, 0)
#define PropSheet_HwndToIndex(s, page) (int)SendMessageW((s), PSM_HWNDTOINDEX, (WPARAM)(HWND)(page), 0)
#define PropSheet_IndexToHwnd(s, i) (HWND)SendMessageW((s), PSM_INDEXTOHWND, (WPARAM)(int)(i), 0)
#define PropSheet_IndexToPage(s, i) (HPROPSHEETPAGE)SendMessageW((s), PSM_INDEXTOPAGE, (WPARAM)(int)(i), 0)

WINCOMMCTRLAPI HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW page);
WINCOMMCTRLAPI BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE page);
WINCOMMCTRLAPI INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW header);

// More of the property sheets: messages, flags and helpers the plug-ins and the stand-in core use.
#define PSH_WIZARD 0x00000020
#define PSH_HASHELP 0x00000200
#define PSM_RESTARTWINDOWS (WM_USER + 105)
#define PSM_REBOOTSYSTEM (WM_USER + 106)
#define PSM_SETCURSELID (WM_USER + 114)
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_INSERTPAGE (WM_USER + 119)
#define PSM_IDTOINDEX (WM_USER + 133)
#define PSM_INDEXTOID (WM_USER + 134)
#define PSN_QUERYINITIALFOCUS (PSN_FIRST - 13)
static_assert(offsetof(PROPSHEETPAGEW, lParam) == (sizeof(void *) == 8 ? 48 : 28), "PROPSHEETPAGEW.lParam");
static_assert(offsetof(PROPSHEETHEADERW, phpage) == (sizeof(void *) == 8 ? 56 : 32), "PROPSHEETHEADERW.phpage");
static_assert(PROPSHEETHEADERW_V1_SIZE == (sizeof(void *) == 8 ? 72 : 40), "PROPSHEETHEADERW v1 size");
#define PropSheet_AddPage(s, hpage) (BOOL)SendMessageW((s), PSM_ADDPAGE, 0, (LPARAM)(HPROPSHEETPAGE)(hpage))
#define PropSheet_RemovePage(s, index, hpage) \
    SendMessageW((s), PSM_REMOVEPAGE, (WPARAM)(int)(index), (LPARAM)(HPROPSHEETPAGE)(hpage))
#define PropSheet_Apply(s) (BOOL)SendMessageW((s), PSM_APPLY, 0, 0)
#define PropSheet_CancelToClose(s) PostMessageW((s), PSM_CANCELTOCLOSE, 0, 0)
#define PropSheet_QuerySiblings(s, wp, lp) SendMessageW((s), PSM_QUERYSIBLINGS, (WPARAM)(wp), (LPARAM)(lp))
#define PropSheet_GetResult(s) SendMessageW((s), PSM_GETRESULT, 0, 0)
#define PropSheet_PageToIndex(s, hpage) (int)SendMessageW((s), PSM_PAGETOINDEX, 0, (LPARAM)(HPROPSHEETPAGE)(hpage))
#define PropSheet_SetTitle(s, style, title) SendMessageW((s), PSM_SETTITLEW, (WPARAM)(style), (LPARAM)(LPCWSTR)(title))
#define PropSheet_GetTabControl(s) (HWND)SendMessageW((s), PSM_GETTABCONTROL, 0, 0)
#define PropSheet_IdToIndex(s, id) (int)SendMessageW((s), PSM_IDTOINDEX, 0, (LPARAM)(id))
