// Windows, dialogs, standard controls, message boxes and the user32 drawing helpers of the Linux layer.
#pragma once
#include "win32/base.h"
#include "win32/styles.h"

#define WINUSERAPI extern "C"

// Callbacks and window classes.
typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL(CALLBACK *WNDENUMPROC)(HWND, LPARAM);
typedef WORD ATOM;

#define Z_USER_INTRESOURCE(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
struct WNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
};
typedef WNDCLASSW *LPWNDCLASSW;
typedef WNDCLASSEXW *LPWNDCLASSEXW;

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};
typedef CREATESTRUCTW *LPCREATESTRUCTW;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG *LPMSG, *PMSG;

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
typedef NMHDR *LPNMHDR;

struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
typedef DRAWITEMSTRUCT *LPDRAWITEMSTRUCT, *PDRAWITEMSTRUCT;
static_assert(offsetof(DRAWITEMSTRUCT, hwndItem) == (sizeof(void *) == 8 ? 24 : 20), "DRAWITEMSTRUCT.hwndItem");
static_assert(sizeof(DRAWITEMSTRUCT) == (sizeof(void *) == 8 ? 64 : 48), "DRAWITEMSTRUCT size");

struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
};
typedef MEASUREITEMSTRUCT *LPMEASUREITEMSTRUCT;

struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    DWORD_PTR dwContextId;
    POINT MousePos;
};
typedef HELPINFO *LPHELPINFO;
#define HELPINFO_WINDOW 0x0001
#define HELPINFO_MENUITEM 0x0002

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
typedef SCROLLINFO *LPSCROLLINFO;
typedef const SCROLLINFO *LPCSCROLLINFO;

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};
typedef WINDOWPOS *LPWINDOWPOS;

// Painting records; GetDC, ReleaseDC, BeginPaint and EndPaint are implemented with the DCs in platform/gdi.
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT *LPPAINTSTRUCT, *PPAINTSTRUCT;

// Dialog templates: the classic layout (2-byte packed, as stored in resources) and the extended layout, which
// has variable-length parts and is read field by field.
#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(DLGTEMPLATE) == 18, "DLGTEMPLATE is 18 bytes");
static_assert(sizeof(DLGITEMTEMPLATE) == 18, "DLGITEMTEMPLATE is 18 bytes");
typedef const DLGTEMPLATE *LPCDLGTEMPLATEW, *LPCDLGTEMPLATE;
typedef DLGTEMPLATE *LPDLGTEMPLATEW;

// Window messages.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_CANCELMODE 0x001F
#define WM_SETCURSOR 0x0020
#define WM_MOUSEACTIVATE 0x0021
#define WM_GETMINMAXINFO 0x0024
#define WM_NEXTDLGCTL 0x0028
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_DELETEITEM 0x002D
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NOTIFY 0x004E
#define WM_HELP 0x0053
#define WM_CONTEXTMENU 0x007B
#define WM_STYLECHANGING 0x007C
#define WM_STYLECHANGED 0x007D
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_GETDLGCODE 0x0087
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_CHANGEUISTATE 0x0127
#define WM_UPDATEUISTATE 0x0128
#define WM_QUERYUISTATE 0x0129
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
#define WM_UNDO 0x0304
#define WM_PRINT 0x0317
#define WM_PRINTCLIENT 0x0318
#define WM_USER 0x0400
#define WM_APP 0x8000

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define PRF_CHECKVISIBLE 0x00000001L
#define PRF_NONCLIENT 0x00000002L
#define PRF_CLIENT 0x00000004L
#define PRF_ERASEBKGND 0x00000008L
#define PRF_CHILDREN 0x00000010L
#define PRF_OWNED 0x00000020L

// Dialog manager.
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DM_REPOSITION (WM_USER + 2)
#define DC_HASDEFID 0x534B
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC (DWLP_MSGRESULT + (int)sizeof(LRESULT))
#define DWLP_USER (DWLP_DLGPROC + (int)sizeof(DLGPROC))
#define DLGWINDOWEXTRA 30

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// Window data.
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)
#define GWLP_ID (-12)
#define GWL_ID (-12)
#define GWL_USERDATA (-21)

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5
#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

#define CW_USEDEFAULT ((int)0x80000000)
#define HWND_DESKTOP ((HWND)0)
#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)(LONG_PTR)-1)
#define HWND_NOTOPMOST ((HWND)(LONG_PTR)-2)
#define HWND_MESSAGE ((HWND)(LONG_PTR)-3)

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOOWNERZORDER 0x0200

#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// System metrics and parameters.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXFIXEDFRAME 7
#define SM_CYFIXEDFRAME 8
#define SM_CYVTHUMB 9
#define SM_CXHTHUMB 10
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CYMENU 15
#define SM_CXFULLSCREEN 16
#define SM_CYFULLSCREEN 17
#define SM_CYVSCROLL 20
#define SM_CXHSCROLL 21
#define SM_CXEDGE 45
#define SM_CYEDGE 46
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXVIRTUALSCREEN 78
#define SM_CYVIRTUALSCREEN 79
#define SPI_GETWORKAREA 0x0030

// System colours.
#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_HOTLIGHT 26
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DHILIGHT COLOR_BTNHIGHLIGHT
#define COLOR_BTNHILIGHT COLOR_BTNHIGHLIGHT

// Buttons.
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BM_GETIMAGE 0x00F6
#define BM_SETIMAGE 0x00F7
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008
#define BN_CLICKED 0
#define BN_PAINT 1
#define BN_HILITE 2
#define BN_UNHILITE 3
#define BN_DISABLE 4
#define BN_DOUBLECLICKED 5
#define BN_DBLCLK 5
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7

// Static controls.
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define STN_CLICKED 0
#define STN_DBLCLK 1
#define STN_ENABLE 2
#define STN_DISABLE 3
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2

// Edit controls.
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_GETRECT 0x00B2
#define EM_SCROLLCARET 0x00B7
#define EM_GETMODIFY 0x00B8
#define EM_SETMODIFY 0x00B9
#define EM_GETLINECOUNT 0x00BA
#define EM_LINELENGTH 0x00C1
#define EM_REPLACESEL 0x00C2
#define EM_GETLINE 0x00C4
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_CANUNDO 0x00C6
#define EM_UNDO 0x00C7
#define EM_SETPASSWORDCHAR 0x00CC
#define EM_EMPTYUNDOBUFFER 0x00CD
#define EM_SETREADONLY 0x00CF
#define EM_GETPASSWORDCHAR 0x00D2
#define EM_GETLIMITTEXT 0x00D5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define EN_ERRSPACE 0x0500
#define EN_MAXTEXT 0x0501
#define EN_HSCROLL 0x0601
#define EN_VSCROLL 0x0602

// List boxes.
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETSEL 0x0185
#define LB_SETCURSEL 0x0186
#define LB_GETSEL 0x0187
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_SELECTSTRING 0x018C
#define LB_GETTOPINDEX 0x018E
#define LB_FINDSTRING 0x018F
#define LB_GETSELCOUNT 0x0190
#define LB_GETSELITEMS 0x0191
#define LB_SETTOPINDEX 0x0197
#define LB_GETITEMRECT 0x0198
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_SETCARETINDEX 0x019E
#define LB_GETCARETINDEX 0x019F
#define LB_SETITEMHEIGHT 0x01A0
#define LB_GETITEMHEIGHT 0x01A1
#define LB_FINDSTRINGEXACT 0x01A2
#define LB_OKAY 0
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)
#define LBN_ERRSPACE (-2)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define LBN_SELCANCEL 3
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5

// Combo boxes.
#define CB_GETEDITSEL 0x0140
#define CB_LIMITTEXT 0x0141
#define CB_SETEDITSEL 0x0142
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_GETDROPPEDCONTROLRECT 0x0152
#define CB_SETITEMHEIGHT 0x0153
#define CB_GETITEMHEIGHT 0x0154
#define CB_GETDROPPEDSTATE 0x0157
#define CB_FINDSTRINGEXACT 0x0158
#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)
#define CBN_ERRSPACE (-1)
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10

// Scroll bars.
#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_SETRANGEREDRAW 0x00E6
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA
#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2
#define SB_BOTH 3
#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8
#define SIF_RANGE 0x0001
#define SIF_PAGE 0x0002
#define SIF_POS 0x0004
#define SIF_DISABLENOSCROLL 0x0008
#define SIF_TRACKPOS 0x0010
#define SIF_ALL (SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS)

// Owner drawing.
#define ODT_MENU 1
#define ODT_LISTBOX 2
#define ODT_COMBOBOX 3
#define ODT_BUTTON 4
#define ODT_STATIC 5
#define ODA_DRAWENTIRE 0x0001
#define ODA_SELECT 0x0002
#define ODA_FOCUS 0x0004
#define ODS_SELECTED 0x0001
#define ODS_GRAYED 0x0002
#define ODS_DISABLED 0x0004
#define ODS_CHECKED 0x0008
#define ODS_FOCUS 0x0010
#define ODS_DEFAULT 0x0020
#define ODS_NOACCEL 0x0100
#define ODS_NOFOCUSRECT 0x0200

// Message boxes and the dialog command ids.
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFBUTTON4 0x00000300L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_HELP 0x00004000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define MB_DEFMASK 0x00000F00L
// IDOK to IDHELP: styles.h, which windres reads too.
#define IDTRYAGAIN 10
#define IDCONTINUE 11

// Help.
#define HELP_CONTEXT 0x0001L
#define HELP_QUIT 0x0002L
#define HELP_INDEX 0x0003L
#define HELP_CONTENTS 0x0003L
#define HELP_HELPONHELP 0x0004L
#define HELP_CONTEXTPOPUP 0x0008L
#define HELP_CONTEXTMENU 0x000AL
#define HELP_FINDER 0x000BL
#define HELP_WM_HELP 0x000CL

// Cursors (system cursors only).
#define IDC_ARROW Z_USER_INTRESOURCE(32512)
#define IDC_IBEAM Z_USER_INTRESOURCE(32513)
#define IDC_WAIT Z_USER_INTRESOURCE(32514)
#define IDC_CROSS Z_USER_INTRESOURCE(32515)
#define IDC_HAND Z_USER_INTRESOURCE(32649)
#define HTCLIENT 1

// Keys.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008

// Clipboard.
#define CF_TEXT 1
#define CF_UNICODETEXT 13

// Text and frame drawing.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_TABSTOP 0x00000080
#define DT_NOCLIP 0x00000100
#define DT_EXTERNALLEADING 0x00000200
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_INTERNAL 0x00001000
#define DT_EDITCONTROL 0x00002000
#define DT_PATH_ELLIPSIS 0x00004000
#define DT_END_ELLIPSIS 0x00008000
#define DT_MODIFYSTRING 0x00010000
#define DT_RTLREADING 0x00020000
#define DT_WORD_ELLIPSIS 0x00040000
#define DT_HIDEPREFIX 0x00100000
#define DT_PREFIXONLY 0x00200000
#define BDR_RAISEDOUTER 0x0001
#define BDR_SUNKENOUTER 0x0002
#define BDR_RAISEDINNER 0x0004
#define BDR_SUNKENINNER 0x0008
#define EDGE_RAISED (BDR_RAISEDOUTER | BDR_RAISEDINNER)
#define EDGE_SUNKEN (BDR_SUNKENOUTER | BDR_SUNKENINNER)
#define EDGE_ETCHED (BDR_SUNKENOUTER | BDR_RAISEDINNER)
#define EDGE_BUMP (BDR_RAISEDOUTER | BDR_SUNKENINNER)
#define BF_LEFT 0x0001
#define BF_TOP 0x0002
#define BF_RIGHT 0x0004
#define BF_BOTTOM 0x0008
#define BF_RECT (BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM)
#define BF_MIDDLE 0x0800
#define BF_SOFT 0x1000
#define BF_ADJUST 0x2000
#define BF_FLAT 0x4000
#define BF_MONO 0x8000

// Built-in class atoms of dialog templates.
#define Z_ATOM_BUTTON 0x0080
#define Z_ATOM_EDIT 0x0081
#define Z_ATOM_STATIC 0x0082
#define Z_ATOM_LISTBOX 0x0083
#define Z_ATOM_SCROLLBAR 0x0084
#define Z_ATOM_COMBOBOX 0x0085
#define WC_DIALOG Z_USER_INTRESOURCE(0x8002)

// Window classes and windows.
WINUSERAPI ATOM WINAPI RegisterClassW(const WNDCLASSW *wc);
WINUSERAPI ATOM WINAPI RegisterClassExW(const WNDCLASSEXW *wc);
WINUSERAPI BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE instance);
WINUSERAPI BOOL WINAPI GetClassInfoExW(HINSTANCE instance, LPCWSTR className, LPWNDCLASSEXW wc);
WINUSERAPI int WINAPI GetClassNameW(HWND hwnd, LPWSTR name, int size);
WINUSERAPI HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                                       int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                       LPVOID param);
#define CreateWindowW(c, n, s, x, y, w, h, p, m, i, a) CreateWindowExW(0, c, n, s, x, y, w, h, p, m, i, a)
WINUSERAPI BOOL WINAPI DestroyWindow(HWND hwnd);
WINUSERAPI BOOL WINAPI IsWindow(HWND hwnd);
WINUSERAPI BOOL WINAPI IsChild(HWND parent, HWND hwnd);
WINUSERAPI HWND WINAPI GetParent(HWND hwnd);
WINUSERAPI HWND WINAPI SetParent(HWND hwnd, HWND parent);
WINUSERAPI HWND WINAPI GetAncestor(HWND hwnd, UINT flags);
WINUSERAPI HWND WINAPI GetWindow(HWND hwnd, UINT cmd);
WINUSERAPI HWND WINAPI GetDesktopWindow();
WINUSERAPI BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
WINUSERAPI HWND WINAPI FindWindowExW(HWND parent, HWND after, LPCWSTR className, LPCWSTR windowName);
WINUSERAPI LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index);
WINUSERAPI LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
WINUSERAPI LONG WINAPI GetWindowLongW(HWND hwnd, int index);
WINUSERAPI LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value);
WINUSERAPI int WINAPI GetDlgCtrlID(HWND hwnd);
WINUSERAPI LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Messages.
WINUSERAPI LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove);
WINUSERAPI BOOL WINAPI GetMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last);
WINUSERAPI BOOL WINAPI TranslateMessage(const MSG *msg);
WINUSERAPI LRESULT WINAPI DispatchMessageW(const MSG *msg);
WINUSERAPI void WINAPI PostQuitMessage(int exitCode);
WINUSERAPI BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG msg);

// Dialogs.
WINUSERAPI HWND WINAPI CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc,
                                          LPARAM param);
WINUSERAPI HWND WINAPI CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dlgTemplate, HWND parent,
                                                  DLGPROC proc, LPARAM param);
WINUSERAPI INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC proc,
                                          LPARAM param);
WINUSERAPI INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dlgTemplate, HWND parent,
                                                  DLGPROC proc, LPARAM param);
#define CreateDialogW(i, t, p, f) CreateDialogParamW(i, t, p, f, 0)
#define DialogBoxW(i, t, p, f) DialogBoxParamW(i, t, p, f, 0)
WINUSERAPI BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
WINUSERAPI LRESULT WINAPI DefDlgProcW(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI HWND WINAPI GetDlgItem(HWND dialog, int id);
WINUSERAPI UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size);
WINUSERAPI BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
WINUSERAPI UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL *translated, BOOL isSigned);
WINUSERAPI BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
WINUSERAPI BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
WINUSERAPI UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
WINUSERAPI BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check);
WINUSERAPI LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
WINUSERAPI HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
WINUSERAPI BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect);
WINUSERAPI LONG WINAPI GetDialogBaseUnits();

// State, text, focus.
WINUSERAPI BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable);
WINUSERAPI BOOL WINAPI IsWindowEnabled(HWND hwnd);
WINUSERAPI BOOL WINAPI ShowWindow(HWND hwnd, int cmd);
WINUSERAPI BOOL WINAPI IsWindowVisible(HWND hwnd);
WINUSERAPI int WINAPI GetWindowTextW(HWND hwnd, LPWSTR text, int size);
WINUSERAPI int WINAPI GetWindowTextLengthW(HWND hwnd);
WINUSERAPI BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text);
WINUSERAPI HWND WINAPI SetFocus(HWND hwnd);
WINUSERAPI HWND WINAPI GetFocus();
WINUSERAPI HWND WINAPI GetActiveWindow();
WINUSERAPI HWND WINAPI SetActiveWindow(HWND hwnd);
WINUSERAPI BOOL WINAPI SetForegroundWindow(HWND hwnd);
WINUSERAPI HWND WINAPI GetForegroundWindow();
WINUSERAPI HWND WINAPI GetCapture();
WINUSERAPI HWND WINAPI SetCapture(HWND hwnd);
WINUSERAPI BOOL WINAPI ReleaseCapture();
WINUSERAPI SHORT WINAPI GetKeyState(int key);
WINUSERAPI UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, void *timerProc);
WINUSERAPI BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id);

// Geometry.
WINUSERAPI BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect);
WINUSERAPI BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect);
WINUSERAPI BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
WINUSERAPI BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
WINUSERAPI BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point);
WINUSERAPI BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point);
WINUSERAPI int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
WINUSERAPI HWND WINAPI WindowFromPoint(POINT point);
WINUSERAPI HWND WINAPI ChildWindowFromPoint(HWND parent, POINT point);
WINUSERAPI int WINAPI GetSystemMetrics(int index);
WINUSERAPI BOOL WINAPI SystemParametersInfoW(UINT action, UINT param, PVOID data, UINT winIni);
WINUSERAPI BOOL WINAPI GetCursorPos(LPPOINT point);
WINUSERAPI BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom);
WINUSERAPI BOOL WINAPI SetRectEmpty(LPRECT rect);
WINUSERAPI BOOL WINAPI CopyRect(LPRECT to, const RECT *from);
WINUSERAPI BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy);
WINUSERAPI BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy);
WINUSERAPI BOOL WINAPI IsRectEmpty(const RECT *rect);
WINUSERAPI BOOL WINAPI PtInRect(const RECT *rect, POINT point);
WINUSERAPI BOOL WINAPI IntersectRect(LPRECT out, const RECT *a, const RECT *b);
WINUSERAPI BOOL WINAPI UnionRect(LPRECT out, const RECT *a, const RECT *b);
WINUSERAPI BOOL WINAPI EqualRect(const RECT *a, const RECT *b);

// Scroll bars of SB_CTL windows.
WINUSERAPI int WINAPI SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
WINUSERAPI BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
WINUSERAPI int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
WINUSERAPI int WINAPI GetScrollPos(HWND hwnd, int bar);
WINUSERAPI BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
WINUSERAPI BOOL WINAPI GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos);

// Painting. The update region is one rectangle per window.
WINUSERAPI BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase);
WINUSERAPI BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect);
WINUSERAPI BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
WINUSERAPI BOOL WINAPI UpdateWindow(HWND hwnd);
WINUSERAPI BOOL WINAPI RedrawWindow(HWND hwnd, const RECT *rect, HRGN region, UINT flags);
WINUSERAPI HDC WINAPI GetDC(HWND hwnd);
WINUSERAPI HDC WINAPI GetWindowDC(HWND hwnd);
WINUSERAPI int WINAPI ReleaseDC(HWND hwnd, HDC dc);
WINUSERAPI HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint);
WINUSERAPI BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *paint);

// user32 drawing on top of GDI (implemented with the DCs in platform/gdi).
WINUSERAPI DWORD WINAPI GetSysColor(int index);
WINUSERAPI HBRUSH WINAPI GetSysColorBrush(int index);
WINUSERAPI int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);
WINUSERAPI int WINAPI FrameRect(HDC dc, const RECT *rect, HBRUSH brush);
WINUSERAPI BOOL WINAPI DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);
WINUSERAPI BOOL WINAPI DrawFocusRect(HDC dc, const RECT *rect);
WINUSERAPI int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);

// Cursors (system cursors; module cursor resources are not supported).
WINUSERAPI HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name);
WINUSERAPI HCURSOR WINAPI SetCursor(HCURSOR cursor);
WINUSERAPI HCURSOR WINAPI GetCursor();

// Message boxes, beeps and help. Headless: recorded, and answered by the test (zep_ui.h).
WINUSERAPI int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
WINUSERAPI BOOL WINAPI MessageBeep(UINT type);
WINUSERAPI BOOL WINAPI WinHelpW(HWND hwnd, LPCWSTR helpFile, UINT command, ULONG_PTR data);

// Clipboard (in-process only).
WINUSERAPI BOOL WINAPI OpenClipboard(HWND owner);
WINUSERAPI BOOL WINAPI CloseClipboard();
WINUSERAPI BOOL WINAPI EmptyClipboard();
WINUSERAPI HANDLE WINAPI SetClipboardData(UINT format, HANDLE data);
WINUSERAPI HANDLE WINAPI GetClipboardData(UINT format);
WINUSERAPI BOOL WINAPI IsClipboardFormatAvailable(UINT format);

// Shell, common dialog and input method calls the plug-ins make (recorded or answered by the test).
#define SE_ERR_NOASSOC 31
struct CHOOSECOLORW {
    DWORD lStructSize;
    HWND hwndOwner;
    HWND hInstance;
    COLORREF rgbResult;
    COLORREF *lpCustColors;
    DWORD Flags;
    LPARAM lCustData;
    void *lpfnHook;
    LPCWSTR lpTemplateName;
};
typedef CHOOSECOLORW *LPCHOOSECOLORW;
#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SHOWHELP 0x00000008
#define CC_ENABLEHOOK 0x00000010
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100
WINUSERAPI BOOL WINAPI ChooseColorW(LPCHOOSECOLORW choose);
WINUSERAPI HINSTANCE WINAPI ShellExecuteW(HWND hwnd, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                                          LPCWSTR directory, INT showCmd);
WINUSERAPI HIMC WINAPI ImmAssociateContext(HWND hwnd, HIMC context);
WINUSERAPI HIMC WINAPI ImmGetContext(HWND hwnd);
WINUSERAPI BOOL WINAPI ImmReleaseContext(HWND hwnd, HIMC context);

// Error codes of the window manager.
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CONTROL_ID_NOT_FOUND 1421L
#define ERROR_WINDOW_NOT_DIALOG 1420L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_CANCELLED 1223L
#define ERROR_TIMEOUT 1460L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_NO_SCROLLBARS 1447L
#define ERROR_CLIPBOARD_NOT_OPEN 1418L
