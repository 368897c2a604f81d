// The UI driver: opens dialogs and sheets, acts on their controls as a user does, reads back what a user sees,
// and answers the modal dialogs and message boxes that the code under test opens.
//
// Everything but catching modal windows goes through the Win32 API, so the same calls drive the real controls
// on Windows. Catching differs: on Linux the headless window manager hands each modal dialog and message box to
// the driver (zep_ui.h); on Windows a thread CBT hook sees them activate and the driver acts from a timer inside
// their own modal loop.
#pragma once
#include "common/win32.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zep::ui {

using WString = std::basic_string<WCHAR>;

// What kind of control a window is, from its class and style.
enum class ControlKind {
    Unknown,
    Dialog,
    PushButton,
    DefPushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    OwnerDrawButton,
    Text,
    Icon,
    Edit,
    ListBox,
    DropDownList, // combo box without an edit field
    ComboBox,     // combo box with an edit field (drop-down or simple)
    ScrollBar,
    UpDown,
    Trackbar,
    ListView,
    TabControl,
};
ControlKind KindOf(HWND window);
// "push", "check", "edit", "listbox", "droplist", ... as Dump prints them.
const char *KindName(ControlKind kind);

// ---- Acting as a user -------------------------------------------------------------------------------------
// Every action returns false when the window is not a control it applies to; it then does nothing.

// Moves the keyboard focus to the control.
bool Focus(HWND control);
// Types the text one character at a time (WM_CHAR), so the control reports each change as it does for a user.
bool Type(HWND control, const WString &text);
// A key press and release (WM_KEYDOWN, WM_KEYUP) on the focused control.
bool Key(HWND control, UINT virtualKey);
// Puts the text on the clipboard and pastes it into the control (WM_PASTE).
bool Paste(HWND control, const WString &text);
// Replaces an edit field's whole text as a user would: select all, then type.
bool Retype(HWND control, const WString &text);
// Clicks the control: BM_CLICK for buttons, a mouse press and release at the centre for the others.
bool Click(HWND control);
// A mouse press and release at (x, y) of the control's client area.
bool ClickAt(HWND control, int x, int y);
// Selects entry `index` of a list box, combo box or list view the way a user does, so that LBN_SELCHANGE,
// CBN_SELCHANGE or LVN_ITEMCHANGED reach the parent.
bool Select(HWND control, int index);
// The same by the entry's text (exact, case-insensitive); false when no entry has it.
bool SelectText(HWND control, const WString &text);
// Ticks or clears the check box of a list-view row (LVS_EX_CHECKBOXES).
bool CheckListItem(HWND listView, int index, bool checked);
// One step of a scroll bar or trackbar: SB_LINEUP/SB_LINEDOWN/SB_PAGEUP/SB_PAGEDOWN/SB_TOP/SB_BOTTOM (the
// same codes as TB_*), reported to the parent with WM_HSCROLL or WM_VSCROLL and SB_ENDSCROLL after it.
bool ScrollBy(HWND control, int code);
// Drags the thumb of a scroll bar or trackbar to `pos` (SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL).
bool ScrollTo(HWND control, int pos);
// Clicks an up-down control's arrows: `steps` times up (positive) or down (negative).
bool Spin(HWND upDown, int steps);

// ---- Reading what a user sees ----------------------------------------------------------------------------

WString Text(HWND window);
bool Enabled(HWND window);
bool Visible(HWND window);
// BST_* of a check box or radio button; -1 for other controls.
int Checked(HWND control);
// The entries of a list box, combo box or list view (list-view rows: the columns joined by tabs).
std::vector<WString> Entries(HWND control);
// The selected entry of a list, combo or list view (-1: none), or the position of a scroll bar, trackbar or
// up-down control; -1 for other controls.
int Selection(HWND control);
// The selection of an edit field (caret at `end`).
struct Caret {
    DWORD start = 0;
    DWORD end = 0;
};
Caret CaretOf(HWND edit);

// Everything Dump shows of one control.
struct ControlView {
    int id = 0;
    ControlKind kind = ControlKind::Unknown;
    WString text;
    bool enabled = false;
    bool visible = false;
    int checked = -1;
    int selection = -1;
    std::vector<WString> entries;
};
ControlView Read(HWND control);
// One line per control of the window (its children and theirs, in z-order), UTF-8:
//   id=1013 kind=edit text="abc" enabled=1 visible=1 [checked=1] [selection=2] [entries="a"|"b"]
std::string Dump(HWND window);

// ---- Opening ---------------------------------------------------------------------------------------------

// Opens dialog template `id` of the module modeless with the procedure and parameter and shows it; NULL on
// failure (the last error says why).
HWND OpenDialog(HINSTANCE module, int id, DLGPROC proc, LPARAM param);
// Opens the sheet modeless (PSH_MODELESS is added) and returns it; NULL on failure.
HWND OpenSheet(const PROPSHEETHEADERW &header);
// Moves the sheet to page `index` as a click on its tab does (PSN_KILLACTIVE, PSN_SETACTIVE).
bool ShowSheetPage(HWND sheet, int index);
// The current page's window.
HWND SheetPage(HWND sheet);
// Presses a sheet button (PSBTN_OK, PSBTN_APPLYNOW, PSBTN_CANCEL, ...) and lets the sheet act on it.
bool PressSheetButton(HWND sheet, int button);
// Dispatches the messages waiting for the thread's windows.
void Pump();

// ---- Modal dialogs and message boxes the code under test opens -------------------------------------------

struct MessageBoxSeen {
    WString text;
    WString caption;
    UINT type = 0; // MB_ICON* bits as shown; on Linux also the button set and default button
    int answer = 0;
};

// While a Driver lives it answers the thread's modal dialogs and message boxes; one at a time.
class Driver {
public:
    using Actions = std::function<void(HWND dialog)>;

    Driver();
    ~Driver();
    Driver(const Driver &) = delete;
    Driver &operator=(const Driver &) = delete;

    // The next modal dialog to open gets these actions (one entry per opening, in order). They run once the
    // dialog is initialised; whatever they do happens as if a user did it. A dialog they leave open is closed
    // with -1 and noted as a problem.
    void OnNextDialog(Actions actions);
    // Dialogs with no queued actions get these (when set) instead of being noted as unexpected.
    void OnEveryDialog(Actions actions);
    // The next message box is answered with `id` (IDOK, IDYES, ...). Unqueued boxes get their default button.
    void AnswerNextMessageBox(int id);

    const std::vector<MessageBoxSeen> &MessageBoxes() const { return boxes_; }
    // MessageBeep calls seen (Linux only: Windows gives no way to see them).
    int Beeps() const { return beeps_; }
    // What went unanswered: dialogs nobody expected, dialogs the actions left open.
    const std::vector<std::string> &Problems() const { return problems_; }
    // How many modal dialogs opened.
    int DialogsSeen() const { return dialogsSeen_; }

    // Used by the platform part.
    void RunDialog(HWND dialog);
    int RunMessageBox(MessageBoxSeen seen, int defaultAnswer);
    void NoteBeep() { ++beeps_; }
    void NoteProblem(std::string problem) { problems_.push_back(std::move(problem)); }

private:
    std::deque<Actions> dialogActions_;
    Actions everyDialog_;
    std::deque<int> boxAnswers_;
    std::vector<MessageBoxSeen> boxes_;
    std::vector<std::string> problems_;
    int beeps_ = 0;
    int dialogsSeen_ = 0;
    void *platform_ = nullptr; // the Windows hook
};

// UTF-8 of UTF-16 text (for dumps and messages).
std::string Utf8(const WString &text);

} // namespace zep::ui
