// The UI driver's answers to modal dialogs and message boxes: the queues, and how each platform hands the
// windows over (Linux: the headless window manager's hooks; Windows: a CBT hook and a timer in the modal loop).
#include "host/uidriver/uidriver.h"
#include "host/uidriver/internal.h"

#include <cstring>
#include <iterator>
#include <set>

#ifndef _WIN32
#include "zep_ui.h"
#endif

namespace zep::ui {

void Driver::OnNextDialog(Actions actions) { dialogActions_.push_back(std::move(actions)); }
void Driver::OnEveryDialog(Actions actions) { everyDialog_ = std::move(actions); }
void Driver::AnswerNextMessageBox(int id) { boxAnswers_.push_back(id); }

void Driver::RunDialog(HWND dialog)
{
    ++dialogsSeen_;
    Actions actions;
    if (!dialogActions_.empty()) {
        actions = std::move(dialogActions_.front());
        dialogActions_.pop_front();
    } else {
        actions = everyDialog_;
    }
    if (!actions) {
        NoteProblem("a dialog opened that nothing answers: \"" + Utf8(Text(dialog)) + "\"");
    } else {
        WString caption = Text(dialog);
        actions(dialog);
        // What the actions posted (a sheet's button presses) happens before the dialog is judged.
        Pump();
        if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return;
        NoteProblem("the actions left the dialog \"" + Utf8(caption) + "\" open");
    }
#ifdef _WIN32
    // Windows would wait for a user; the Linux layer closes an unanswered dialog itself.
    if (IsWindow(dialog)) EndDialog(dialog, -1);
#endif
}

int Driver::RunMessageBox(MessageBoxSeen seen, int defaultAnswer)
{
    seen.answer = defaultAnswer;
    if (!boxAnswers_.empty()) {
        seen.answer = boxAnswers_.front();
        boxAnswers_.pop_front();
    }
    boxes_.push_back(seen);
    return seen.answer;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

#ifndef _WIN32

namespace {

void CALLBACK ModalHook(HWND window, void *context) { static_cast<Driver *>(context)->RunDialog(window); }

// 0 lets the layer take the box's default button.
int CALLBACK MessageBoxHook(const ZEP_UI_MESSAGEBOX *box, void *context)
{
    MessageBoxSeen seen;
    seen.text = box->text ? box->text : TEXT("");
    seen.caption = box->caption ? box->caption : TEXT("");
    seen.type = box->type;
    return static_cast<Driver *>(context)->RunMessageBox(seen, 0);
}

LONG_PTR CALLBACK CallHook(const ZEP_UI_CALL *call, void *context)
{
    if (call && call->function && std::strcmp(call->function, "MessageBeep") == 0)
        static_cast<Driver *>(context)->NoteBeep();
    return 0;
}

} // namespace

OwnWindows::OwnWindows() = default;
OwnWindows::~OwnWindows() = default;

Driver::Driver()
{
    ZepUiSetModalHook(ModalHook, this);
    ZepUiSetMessageBoxHook(MessageBoxHook, this);
    ZepUiSetCallHook(CallHook, this);
}

Driver::~Driver()
{
    ZepUiSetModalHook(nullptr, nullptr);
    ZepUiSetMessageBoxHook(nullptr, nullptr);
    ZepUiSetCallHook(nullptr, nullptr);
}

#else

namespace {

// The thread's hook: dialogs the driver opened itself are known and left alone; any other dialog that
// activates is modal (its caller waits in DialogBox or MessageBox), and the driver acts from a timer that the
// dialog's own message loop dispatches once the dialog is up.
struct CbtHook {
    HHOOK hook = nullptr;
    Driver *driver = nullptr;
    std::set<HWND> known;
};
CbtHook *g_hook = nullptr;
int g_openingOwn = 0;
constexpr UINT_PTR kActTimer = 0x5A45;

bool IsDialogClass(HWND w)
{
    WCHAR name[16] = {};
    GetClassNameW(w, name, static_cast<int>(std::size(name)));
    return lstrcmpW(name, TEXT("#32770")) == 0;
}

// A message box is a dialog of static text (id 0xFFFF), an icon and buttons only.
bool IsMessageBox(HWND w)
{
    HWND text = GetDlgItem(w, 0xFFFF);
    if (!text || KindOf(text) != ControlKind::Text) return false;
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ControlKind k = KindOf(c);
        if (k != ControlKind::Text && k != ControlKind::Icon && k != ControlKind::PushButton &&
            k != ControlKind::DefPushButton)
            return false;
    }
    return true;
}

// The MB_ICON* value of the system icon the box shows.
UINT IconOf(HWND box)
{
    const struct {
        LPCWSTR icon;
        UINT type;
    } kIcons[] = {{IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION}, {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                  {IDI_ASTERISK, MB_ICONASTERISK}};
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (KindOf(c) != ControlKind::Icon) continue;
        auto shown = reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0));
        for (const auto &i : kIcons)
            if (shown && shown == LoadIconW(nullptr, i.icon)) return i.type;
    }
    return 0;
}

// The button Enter would press: the one drawn as default (a box moves the default look to its MB_DEFBUTTONn
// button, which need not be the dialog's DM_GETDEFID), else the dialog's default id, else OK.
int DefaultButton(HWND box)
{
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (KindOf(c) == ControlKind::DefPushButton && IsWindowVisible(c)) return GetDlgCtrlID(c);
    LRESULT def = SendMessageW(box, DM_GETDEFID, 0, 0);
    return HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
}

void AnswerBox(HWND box)
{
    MessageBoxSeen seen;
    seen.text = Text(GetDlgItem(box, 0xFFFF));
    seen.caption = Text(box);
    seen.type = IconOf(box);
    int answer = g_hook->driver->RunMessageBox(seen, DefaultButton(box));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

void CALLBACK ActTimer(HWND w, UINT, UINT_PTR id, DWORD)
{
    // A dialog that activates itself while it initialises (SetWindowPos to the top) is shown only once its
    // modal loop first finds the queue empty, which may be after the timer: the timer then stays.
    if (g_hook && IsWindow(w) && !IsWindowVisible(w)) return;
    KillTimer(w, id);
    if (!g_hook || !IsWindow(w)) return;
    if (IsMessageBox(w))
        AnswerBox(w);
    else
        g_hook->driver->RunDialog(w);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (g_hook) {
        HWND w = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && IsDialogClass(w) && g_hook->known.insert(w).second && !g_openingOwn)
            SetTimer(w, kActTimer, 10, ActTimer);
        else if (code == HCBT_DESTROYWND)
            g_hook->known.erase(w);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

OwnWindows::OwnWindows() { ++g_openingOwn; }
OwnWindows::~OwnWindows() { --g_openingOwn; }

Driver::Driver()
{
    auto *h = new CbtHook;
    h->driver = this;
    h->hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    g_hook = h;
    platform_ = h;
}

Driver::~Driver()
{
    auto *h = static_cast<CbtHook *>(platform_);
    if (g_hook == h) g_hook = nullptr;
    if (h->hook) UnhookWindowsHookEx(h->hook);
    delete h;
}

#endif

} // namespace zep::ui
