// Headless windows: classes, creation and destruction, messages, window data, state, focus and geometry.
#include "user/wnd.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <unordered_map>
#include <utility>

// GDI frees a window's drawing surface when told; absent until the GDI part is linked in.
extern "C" __attribute__((weak)) void ZepGdiWindowDestroyed(HWND window);

namespace zep::user {
namespace {

struct ClassRecord {
    U16 name;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    int wndExtra = 0;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    UINT style = 0;
    ATOM atom = 0;
    bool system = false;
};

struct Manager {
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    std::vector<ClassRecord> classes;
    std::vector<HWND> topLevel;
    uintptr_t nextHandle = 0x10010;
    ATOM nextAtom = 0xC000;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    std::deque<MSG> posted;
    int screenWidth = 1024;
    int screenHeight = 768;
    HCURSOR cursor = nullptr;
};

Manager &M()
{
    static Manager m;
    return m;
}

U16 Lower(const U16 &s)
{
    U16 r = s;
    for (auto &c : r)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    return r;
}

// A class name or an atom in the low word, as Windows takes them.
ClassRecord *FindClass(LPCWSTR name)
{
    auto &m = M();
    if (!name) return nullptr;
    if ((reinterpret_cast<ULONG_PTR>(name) >> 16) == 0) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
        for (auto &c : m.classes)
            if (c.atom == atom) return &c;
        return nullptr;
    }
    U16 n = Lower(name);
    for (auto &c : m.classes)
        if (Lower(c.name) == n) return &c;
    return nullptr;
}

ATOM AddClass(ClassRecord rec)
{
    auto &m = M();
    rec.atom = rec.atom ? rec.atom : m.nextAtom++;
    m.classes.push_back(rec);
    return rec.atom;
}

void RemoveChild(Window *parent, HWND child)
{
    auto &v = parent->children;
    v.erase(std::remove(v.begin(), v.end(), child), v.end());
}

void DestroyTree(HWND hwnd)
{
    auto &m = M();
    Window *w = Peek(hwnd);
    if (!w || w->destroying) return;
    w->destroying = true;
    if (m.focus == hwnd || (m.focus && IsChild(hwnd, m.focus))) m.focus = nullptr;
    if (m.capture == hwnd) m.capture = nullptr;
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) DestroyTree(c);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    if (ZepGdiWindowDestroyed) ZepGdiWindowDestroyed(hwnd);
    w = Peek(hwnd);
    if (!w) return;
    if (w->parent) {
        if (Window *p = Peek(w->parent)) RemoveChild(p, hwnd);
    } else {
        m.topLevel.erase(std::remove(m.topLevel.begin(), m.topLevel.end(), hwnd), m.topLevel.end());
    }
    if (m.active == hwnd) m.active = nullptr;
    m.posted.erase(std::remove_if(m.posted.begin(), m.posted.end(), [&](const MSG &msg) { return msg.hwnd == hwnd; }),
                   m.posted.end());
    m.windows.erase(hwnd);
}

// Top-left of the window's client area in screen coordinates.
POINT ClientOrigin(HWND hwnd)
{
    POINT p{0, 0};
    for (Window *w = Peek(hwnd); w; w = Peek(w->parent)) {
        RECT in = NonClientInsets(w->style, w->exStyle);
        p.x += w->rect.left + in.left;
        p.y += w->rect.top + in.top;
        if (!w->parent) break;
    }
    return p;
}

LONG_PTR *DialogLong(Window *w, int index)
{
    if (!w->dialog) return nullptr;
    switch (index) {
    case DWLP_MSGRESULT: return &w->dialog->msgResult;
    case DWLP_USER: return &w->dialog->user;
    default: return nullptr;
    }
}

} // namespace

Window *Peek(HWND hwnd)
{
    auto &m = M();
    auto it = m.windows.find(hwnd);
    return it == m.windows.end() ? nullptr : it->second.get();
}

Window *Find(HWND hwnd)
{
    Window *w = Peek(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

RECT NonClientInsets(DWORD style, DWORD exStyle)
{
    int b = 0;
    if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        b = 3; // fixed dialog frame
    else if (style & WS_THICKFRAME)
        b = 4;
    else if (style & WS_BORDER)
        b = 1;
    if (exStyle & WS_EX_CLIENTEDGE) b += 2;
    if (exStyle & WS_EX_STATICEDGE) b += 1;
    int caption = (style & WS_CAPTION) == WS_CAPTION ? 23 : 0;
    return RECT{b, b + caption, b, b};
}

U16 ToU16(LPCWSTR s) { return s ? U16(s) : U16(); }
U16 ToU16(LPCWSTR s, int count)
{
    if (!s) return U16();
    return count < 0 ? U16(s) : U16(s, static_cast<size_t>(count));
}

int CopyOut(const U16 &text, LPWSTR out, int size)
{
    if (!out || size <= 0) return 0;
    int n = std::min<int>(static_cast<int>(text.size()), size - 1);
    std::copy_n(text.data(), n, out);
    out[n] = 0;
    return n;
}

bool EqualNoCase(const U16 &a, const U16 &b) { return Lower(a) == Lower(b); }

U16 FormatInt(long long value)
{
    std::string s = std::to_string(value);
    return U16(s.begin(), s.end());
}

DialogState *Dialog(HWND hwnd)
{
    Window *w = Peek(hwnd);
    return w ? w->dialog.get() : nullptr;
}

HFONT FontOf(HWND hwnd)
{
    Window *w = Peek(hwnd);
    if (!w) return nullptr;
    if (w->font) return w->font;
    for (Window *p = Peek(w->parent); p; p = Peek(p->parent))
        if (p->dialog && p->dialog->font) return p->dialog->font;
    return nullptr;
}

void NotifyParent(HWND hwnd, UINT code)
{
    Window *w = Peek(hwnd);
    if (!w || !w->parent) return;
    SendMessageW(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT NotifyParentHdr(HWND hwnd, NMHDR *hdr, UINT code)
{
    Window *w = Peek(hwnd);
    if (!w || !w->parent) return 0;
    hdr->hwndFrom = hwnd;
    hdr->idFrom = static_cast<UINT_PTR>(w->id);
    hdr->code = code;
    return SendMessageW(w->parent, WM_NOTIFY, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(hdr));
}

void RegisterControlClass(LPCWSTR name, WNDPROC proc)
{
    if (FindClass(name)) return;
    ClassRecord rec;
    rec.name = name;
    rec.proc = proc;
    rec.system = true;
    AddClass(rec);
}

void RegisterSystemClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterControlClass(TEXT("Button"), ButtonProc);
    RegisterControlClass(TEXT("Static"), StaticProc);
    RegisterControlClass(TEXT("Edit"), EditProc);
    RegisterControlClass(TEXT("ListBox"), ListBoxProc);
    RegisterControlClass(TEXT("ComboBox"), ComboBoxProc);
    RegisterControlClass(TEXT("ScrollBar"), ScrollBarProc);
    ClassRecord dlg;
    dlg.name = TEXT("#32770");
    dlg.proc = DialogClassProc;
    dlg.system = true;
    dlg.atom = 0x8002; // WC_DIALOG
    AddClass(dlg);
    RegisterCommonControlClasses();
}

void PumpPosted()
{
    auto &m = M();
    for (int guard = 0; !m.posted.empty() && guard < 10000; ++guard) {
        MSG msg = m.posted.front();
        m.posted.pop_front();
        DispatchMessageW(&msg);
    }
}

} // namespace zep::user

using namespace zep::user;

// A class name that is taken, in any letter case, fails with ERROR_CLASS_ALREADY_EXISTS.
ATOM WINAPI RegisterClassExW(const WNDCLASSEXW *wc)
{
    RegisterSystemClasses();
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || (wc->cbSize && wc->cbSize != sizeof(WNDCLASSEXW))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ClassRecord *existing = FindClass(wc->lpszClassName);
    if (existing && !existing->system) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ClassRecord rec;
    rec.name = wc->lpszClassName;
    rec.proc = wc->lpfnWndProc;
    rec.instance = wc->hInstance;
    rec.wndExtra = wc->cbWndExtra;
    rec.cursor = wc->hCursor;
    rec.background = wc->hbrBackground;
    rec.style = wc->style;
    if (existing) *existing = rec; // a local class hides the system class of the same name
    return existing ? existing->atom : AddClass(rec);
}

// The WNDCLASSW form, through the extended one.
ATOM WINAPI RegisterClassW(const WNDCLASSW *wc)
{
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW ex{sizeof ex,         wc->style,   wc->lpfnWndProc,   wc->cbClsExtra,   wc->cbWndExtra, wc->hInstance,
                   wc->hIcon,         wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
    return RegisterClassExW(&ex);
}

// An unknown class fails with ERROR_CLASS_DOES_NOT_EXIST; system classes cannot be removed.
BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    auto &m = zep::user::M();
    ClassRecord *c = FindClass(className);
    if (!c || c->system) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    m.classes.erase(m.classes.begin() + (c - m.classes.data()));
    return TRUE;
}

// Fills the record of a registered class; an unknown class fails with ERROR_CLASS_DOES_NOT_EXIST.
BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR className, LPWNDCLASSEXW wc)
{
    RegisterSystemClasses();
    ClassRecord *c = FindClass(className);
    if (!c) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (wc) {
        *wc = WNDCLASSEXW{};
        wc->cbSize = sizeof *wc;
        wc->lpfnWndProc = c->proc;
        wc->cbWndExtra = c->wndExtra;
        wc->hInstance = c->instance;
        wc->hCursor = c->cursor;
        wc->hbrBackground = c->background;
        wc->lpszClassName = className;
    }
    return TRUE;
}

// Copies the class name truncated to the buffer, terminated; returns the characters copied.
int WINAPI GetClassNameW(HWND hwnd, LPWSTR name, int size)
{
    Window *w = Find(hwnd);
    if (!w) return 0;
    return CopyOut(w->className, name, size);
}

// Sends WM_NCCREATE then WM_CREATE; a window procedure refusing either destroys the window and the call
// returns NULL. A child window needs a parent (ERROR_TLW_WITH_WSCHILD).
HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    auto &m = zep::user::M();
    RegisterSystemClasses();
    ClassRecord *cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Window *parentWindow = nullptr;
    if (parent && parent != HWND_MESSAGE) {
        parentWindow = Find(parent);
        if (!parentWindow) return nullptr;
    }
    if ((style & WS_CHILD) && !parentWindow) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    auto w = std::make_unique<Window>();
    HWND hwnd = reinterpret_cast<HWND>(m.nextHandle);
    m.nextHandle += 4;
    w->handle = hwnd;
    w->className = cls->name;
    w->proc = cls->proc;
    w->instance = instance;
    w->style = style;
    w->exStyle = exStyle;
    w->extra.assign(static_cast<size_t>(std::max(cls->wndExtra, 0)), 0);
    w->text = ToU16(windowName);
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    w->rect = RECT{x, y, x + width, y + height};
    if (style & WS_CHILD) {
        w->parent = parent;
        w->id = reinterpret_cast<LONG_PTR>(menu);
    } else {
        w->owner = parentWindow ? GetAncestor(parent, GA_ROOT) : nullptr;
    }
    if (exStyle & WS_EX_TOPMOST) w->topmost = true;
    m.windows.emplace(hwnd, std::move(w));
    if (parentWindow)
        parentWindow->children.push_back(hwnd);
    else
        m.topLevel.push_back(hwnd);

    CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), windowName, className,
                     exStyle};
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    Window *made = Peek(hwnd);
    if (made && (made->style & WS_VISIBLE)) {
        SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
        made->needsPaint = true;
    }
    return hwnd;
}

// Sends WM_DESTROY to the window and then to its children, WM_NCDESTROY children first; the focus is lost.
BOOL WINAPI DestroyWindow(HWND hwnd)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    // Owned top-level windows go with their owner.
    std::vector<HWND> owned;
    for (HWND t : zep::user::M().topLevel)
        if (Window *o = Peek(t); o && o->owner == hwnd) owned.push_back(t);
    for (HWND o : owned) DestroyWindow(o);
    DestroyTree(hwnd);
    return TRUE;
}

// True for a live window handle.
BOOL WINAPI IsWindow(HWND hwnd) { return Peek(hwnd) != nullptr; }

// True when `hwnd` descends from `parent` through child windows.
BOOL WINAPI IsChild(HWND parent, HWND hwnd)
{
    for (Window *w = Peek(hwnd); w && w->parent; w = Peek(w->parent))
        if (w->parent == parent) return TRUE;
    return FALSE;
}

// A child's parent, or a top-level window's owner.
HWND WINAPI GetParent(HWND hwnd)
{
    Window *w = Find(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

// Moves the window under a new parent and returns the old one.
HWND WINAPI SetParent(HWND hwnd, HWND parent)
{
    Window *w = Find(hwnd);
    if (!w) return nullptr;
    Window *np = parent ? Find(parent) : nullptr;
    if (parent && !np) return nullptr;
    HWND old = w->parent;
    if (Window *op = Peek(old))
        RemoveChild(op, hwnd);
    else {
        auto &t = zep::user::M().topLevel;
        t.erase(std::remove(t.begin(), t.end(), hwnd), t.end());
    }
    w->parent = parent;
    if (np)
        np->children.push_back(hwnd);
    else
        zep::user::M().topLevel.push_back(hwnd);
    return old;
}

// GA_PARENT: the parent (not the owner); GA_ROOT: the top-level window of the chain of parents; GA_ROOTOWNER
// also follows owners.
HWND WINAPI GetAncestor(HWND hwnd, UINT flags)
{
    Window *w = Find(hwnd);
    if (!w) return nullptr;
    switch (flags) {
    case GA_PARENT: return w->parent ? w->parent : GetDesktopWindow();
    case GA_ROOT:
        while (w->parent) w = Peek(w->parent);
        return w->handle;
    case GA_ROOTOWNER:
        while (w->parent || w->owner) w = Peek(w->parent ? w->parent : w->owner);
        return w->handle;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

// Walks the z-order: GW_CHILD is the topmost child, GW_HWNDNEXT the sibling below.
HWND WINAPI GetWindow(HWND hwnd, UINT cmd)
{
    Window *w = Find(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER) return w->owner;
    const std::vector<HWND> *siblings = &zep::user::M().topLevel;
    if (Window *p = Peek(w->parent)) siblings = &p->children;
    auto it = std::find(siblings->begin(), siblings->end(), hwnd);
    if (it == siblings->end()) return nullptr;
    switch (cmd) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return it + 1 == siblings->end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == siblings->begin() ? nullptr : *(it - 1);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

// There is no desktop window record; a fixed handle stands for it.
HWND WINAPI GetDesktopWindow() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000)); }

// Visits every descendant, depth first, until the callback returns FALSE.
BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param)
{
    Window *w = Peek(parent);
    if (!w || !proc) return FALSE;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) {
        if (!IsWindow(c)) continue;
        if (!proc(c, param)) return FALSE;
        EnumChildWindows(c, proc, param);
    }
    return TRUE;
}

// The next child (or top-level window) after `after` with the class and title given (null = any).
HWND WINAPI FindWindowExW(HWND parent, HWND after, LPCWSTR className, LPCWSTR windowName)
{
    const std::vector<HWND> *list = &zep::user::M().topLevel;
    if (parent) {
        Window *p = Find(parent);
        if (!p) return nullptr;
        list = &p->children;
    }
    bool started = after == nullptr;
    for (HWND h : *list) {
        if (!started) {
            started = h == after;
            continue;
        }
        Window *w = Peek(h);
        ClassRecord *c = className ? FindClass(className) : nullptr;
        if (className && (!c || !EqualNoCase(c->name, w->className))) continue;
        if (windowName && w->text != windowName) continue;
        return h;
    }
    SetLastError(ERROR_SUCCESS);
    return nullptr;
}

// Dialogs keep DWLP_MSGRESULT and DWLP_USER; other indices beyond the class's extra bytes fail with
// ERROR_INVALID_INDEX.
LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index)
{
    Window *w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_ID: return w->id;
    case GWLP_USERDATA: return w->userData;
    default: break;
    }
    if (LONG_PTR *slot = DialogLong(w, index)) return *slot;
    if (w->dialog && index == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(w->dialog->proc);
    if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

// Returns the previous value; a style change sends WM_STYLECHANGING and WM_STYLECHANGED.
LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value)
{
    Window *w = Find(hwnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    switch (index) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        DWORD &field = index == GWL_STYLE ? w->style : w->exStyle;
        old = static_cast<LONG>(field);
        field = static_cast<DWORD>(value);
        if (index == GWL_EXSTYLE) w->topmost = (field & WS_EX_TOPMOST) != 0;
        return old;
    }
    case GWLP_ID:
        old = w->id;
        w->id = value;
        return old;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = value;
        return old;
    default: break;
    }
    if (LONG_PTR *slot = DialogLong(w, index)) {
        old = *slot;
        *slot = value;
        return old;
    }
    if (w->dialog && index == DWLP_DLGPROC) {
        old = reinterpret_cast<LONG_PTR>(w->dialog->proc);
        w->dialog->proc = reinterpret_cast<DLGPROC>(value);
        return old;
    }
    if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

// The 32-bit forms keep the low 32 bits.
LONG WINAPI GetWindowLongW(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtrW(hwnd, index)); }
LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value)
{
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, value));
}

// The control id of a child window; 0 with ERROR_INVALID_WINDOW_HANDLE for a bad handle.
int WINAPI GetDlgCtrlID(HWND hwnd)
{
    Window *w = Find(hwnd);
    return w && w->parent ? static_cast<int>(w->id) : 0;
}

// Direct call of the window procedure on the caller's thread.
LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = Find(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

// Calls `proc` as the window procedure.
LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

// Queues the message; a message for a bad window fails with ERROR_INVALID_WINDOW_HANDLE (NULL posts a thread
// message).
BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !Find(hwnd)) return FALSE;
    zep::user::M().posted.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), POINT{}});
    return TRUE;
}

// Posted messages only; there is no input queue. WM_PAINT is reported for windows that need painting.
BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove)
{
    auto &m = zep::user::M();
    for (auto it = m.posted.begin(); it != m.posted.end(); ++it) {
        bool inWindow = !hwnd || it->hwnd == hwnd || IsChild(hwnd, it->hwnd);
        bool inRange = (first == 0 && last == 0) || (it->message >= first && it->message <= last);
        if (!inWindow || !inRange) continue;
        if (msg) *msg = *it;
        if (remove & PM_REMOVE) m.posted.erase(it);
        return TRUE;
    }
    return FALSE;
}

// Headless: never waits. An empty queue answers WM_QUIT so loops end instead of hanging.
BOOL WINAPI GetMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last)
{
    if (PeekMessageW(msg, hwnd, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
    if (msg) *msg = MSG{nullptr, WM_QUIT, 0, 0, 0, POINT{}};
    return FALSE;
}

// No keyboard layout: nothing to translate.
BOOL WINAPI TranslateMessage(const MSG *) { return FALSE; }

// Hands a posted message to its window's procedure.
LRESULT WINAPI DispatchMessageW(const MSG *msg)
{
    if (!msg || !msg->hwnd) return 0;
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// Posts WM_QUIT to the thread.
void WINAPI PostQuitMessage(int exitCode) { PostMessageW(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

// Enables or disables; returns whether the window was disabled before. Disabling the focus window drops the
// focus. WM_ENABLE tells the window.
BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable) {
        if (!wasDisabled) return FALSE;
        w->style &= ~WS_DISABLED;
        SendMessageW(hwnd, WM_ENABLE, TRUE, 0);
    } else {
        if (wasDisabled) return TRUE;
        SendMessageW(hwnd, WM_CANCELMODE, 0, 0);
        if (Window *again = Peek(hwnd)) again->style |= WS_DISABLED;
        if (GetFocus() == hwnd || IsChild(hwnd, GetFocus())) SetFocus(nullptr);
        SendMessageW(hwnd, WM_ENABLE, FALSE, 0);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return wasDisabled;
}

// The window's own WS_DISABLED bit.
BOOL WINAPI IsWindowEnabled(HWND hwnd)
{
    Window *w = Find(hwnd);
    return w && !(w->style & WS_DISABLED);
}

// Returns whether the window was visible before; hiding the focus window moves the focus away.
BOOL WINAPI ShowWindow(HWND hwnd, int cmd)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    if (show == static_cast<bool>(wasVisible)) return wasVisible;
    SendMessageW(hwnd, WM_SHOWWINDOW, show, 0);
    if (!(w = Peek(hwnd))) return wasVisible;
    if (show) {
        w->style |= WS_VISIBLE;
        w->needsPaint = true;
        if (!w->parent && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) SetActiveWindow(hwnd);
    } else {
        w->style &= ~WS_VISIBLE;
        if (GetFocus() == hwnd || IsChild(hwnd, GetFocus())) SetFocus(w->parent ? w->parent : nullptr);
        if (w->parent) InvalidateRect(w->parent, &w->rect, TRUE);
    }
    return wasVisible;
}

// Visible only when the window and all its parents have WS_VISIBLE.
BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    for (Window *w = Peek(hwnd); w; w = Peek(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
        if (!w->parent) return TRUE;
    }
    return FALSE;
}

// WM_GETTEXT into the buffer, truncated and terminated; returns the characters copied.
int WINAPI GetWindowTextW(HWND hwnd, LPWSTR text, int size)
{
    if (!Find(hwnd)) {
        if (text && size > 0) text[0] = 0;
        return 0;
    }
    if (!text || size <= 0) return 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

// WM_GETTEXTLENGTH.
int WINAPI GetWindowTextLengthW(HWND hwnd)
{
    if (!Find(hwnd)) return 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

// WM_SETTEXT; a null text sets an empty one.
BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    if (!Find(hwnd)) return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : TEXT(""))) != 0;
}

// WM_KILLFOCUS to the old focus, then WM_SETFOCUS to the new one; returns the old focus. A disabled window
// takes the focus all the same, as on Windows; activation follows the focus's top-level window.
HWND WINAPI SetFocus(HWND hwnd)
{
    auto &m = zep::user::M();
    if (hwnd && !Find(hwnd)) return nullptr;
    HWND old = m.focus;
    if (old == hwnd) return old;
    if (hwnd) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        if (root != m.active) m.active = root;
    }
    m.focus = hwnd;
    if (old && Peek(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && Peek(hwnd) && m.focus == hwnd) SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

// The window with the keyboard focus.
HWND WINAPI GetFocus() { return zep::user::M().focus; }

// The active top-level window.
HWND WINAPI GetActiveWindow() { return zep::user::M().active; }

// Makes a top-level window active (WM_ACTIVATE to the old and the new); returns the old one.
HWND WINAPI SetActiveWindow(HWND hwnd)
{
    auto &m = zep::user::M();
    if (hwnd && !Find(hwnd)) return nullptr;
    HWND old = m.active;
    if (old == hwnd) return old;
    m.active = hwnd;
    if (old && Peek(old)) SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    if (hwnd) SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    return old;
}

// The foreground window is the active window here.
BOOL WINAPI SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) != hwnd || hwnd != nullptr; }
HWND WINAPI GetForegroundWindow() { return zep::user::M().active; }

// Mouse capture, for the controls' press and release handling.
HWND WINAPI GetCapture() { return zep::user::M().capture; }
HWND WINAPI SetCapture(HWND hwnd) { return std::exchange(zep::user::M().capture, hwnd); }
BOOL WINAPI ReleaseCapture()
{
    zep::user::M().capture = nullptr;
    return TRUE;
}

// No keyboard: every key is up and untoggled.
SHORT WINAPI GetKeyState(int) { return 0; }

// Headless: timers never fire; the id is returned so callers proceed.
UINT_PTR WINAPI SetTimer(HWND, UINT_PTR id, UINT, void *) { return id ? id : 1; }
BOOL WINAPI KillTimer(HWND, UINT_PTR) { return TRUE; }

// The client area from (0,0), the window rectangle less borders and caption.
BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    Window *w = Find(hwnd);
    if (!w || !rect) return FALSE;
    RECT in = NonClientInsets(w->style, w->exStyle);
    int cx = std::max<LONG>(0, w->rect.right - w->rect.left - in.left - in.right);
    int cy = std::max<LONG>(0, w->rect.bottom - w->rect.top - in.top - in.bottom);
    *rect = RECT{0, 0, cx, cy};
    return TRUE;
}

// The window rectangle in screen coordinates.
BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    Window *w = Find(hwnd);
    if (!w || !rect) return FALSE;
    POINT origin = w->parent ? ClientOrigin(w->parent) : POINT{0, 0};
    *rect = RECT{w->rect.left + origin.x, w->rect.top + origin.y, w->rect.right + origin.x, w->rect.bottom + origin.y};
    return TRUE;
}

// SetWindowPos with a size and position.
BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

// Moves, sizes, shows or hides; HWND_TOPMOST marks a top-level window topmost. WM_WINDOWPOSCHANGED, WM_MOVE
// and WM_SIZE report the change.
BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) OffsetRect(&r, x - r.left, y - r.top);
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    bool moved = r.left != w->rect.left || r.top != w->rect.top;
    bool sized = (r.right - r.left) != (w->rect.right - w->rect.left) || (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST) w->topmost = true, w->exStyle |= WS_EX_TOPMOST;
        if (insertAfter == HWND_NOTOPMOST) w->topmost = false, w->exStyle &= ~WS_EX_TOPMOST;
    }
    WINDOWPOS wp{hwnd, insertAfter, r.left, r.top, r.right - r.left, r.bottom - r.top, flags};
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if (moved) SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    if (sized) {
        RECT client;
        GetClientRect(hwnd, &client);
        SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (!(flags & SWP_NOREDRAW)) InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

// Screen to client coordinates of the window.
BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point)
{
    if (!Find(hwnd) || !point) return FALSE;
    POINT o = ClientOrigin(hwnd);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

// Client to screen coordinates of the window.
BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point)
{
    if (!Find(hwnd) || !point) return FALSE;
    POINT o = ClientOrigin(hwnd);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

// Converts points between client areas (NULL = screen); returns the offset, x in the low word, y in the high.
int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    if ((from && !Find(from)) || (to && !Find(to))) return 0;
    POINT a = from ? ClientOrigin(from) : POINT{0, 0};
    POINT b = to ? ClientOrigin(to) : POINT{0, 0};
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace {
HWND ChildAt(HWND parent, POINT client, bool visibleOnly)
{
    Window *w = Peek(parent);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window *cw = Peek(c);
        if (visibleOnly && !(cw->style & WS_VISIBLE)) continue;
        if (PtInRect(&cw->rect, client)) return c;
    }
    return nullptr;
}
} // namespace

// The deepest visible window under a screen point.
HWND WINAPI WindowFromPoint(POINT point)
{
    auto &m = zep::user::M();
    for (auto it = m.topLevel.rbegin(); it != m.topLevel.rend(); ++it) {
        Window *w = Peek(*it);
        if (!(w->style & WS_VISIBLE) || !PtInRect(&w->rect, point)) continue;
        HWND hit = *it;
        for (;;) {
            POINT p = point;
            ScreenToClient(hit, &p);
            HWND c = ChildAt(hit, p, true);
            if (!c) return hit;
            hit = c;
        }
    }
    return nullptr;
}

// The child containing a client point (hidden ones too), the parent itself when inside it, else NULL.
HWND WINAPI ChildWindowFromPoint(HWND parent, POINT point)
{
    if (!Find(parent)) return nullptr;
    if (HWND c = ChildAt(parent, point, false)) return c;
    RECT client;
    GetClientRect(parent, &client);
    return PtInRect(&client, point) ? parent : nullptr;
}

// Desktop metrics at 96 DPI with the Windows 10 frame sizes; the screen size is the test's (zep_ui.h).
int WINAPI GetSystemMetrics(int index)
{
    auto &m = zep::user::M();
    static const std::map<int, int> fixed = {
        {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CYCAPTION, 23}, {SM_CXBORDER, 1},  {SM_CYBORDER, 1},
        {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3}, {SM_CYVTHUMB, 17},  {SM_CXHTHUMB, 17}, {SM_CXICON, 32},
        {SM_CYICON, 32},    {SM_CXCURSOR, 32},  {SM_CYCURSOR, 32},  {SM_CYMENU, 20},   {SM_CYVSCROLL, 17},
        {SM_CXHSCROLL, 17}, {SM_CXEDGE, 2},     {SM_CYEDGE, 2},     {SM_CXSMICON, 16}, {SM_CYSMICON, 16}};
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN: return m.screenWidth;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return m.screenHeight;
    case SM_CYFULLSCREEN: return m.screenHeight - 23;
    default: break;
    }
    auto it = fixed.find(index);
    return it == fixed.end() ? 0 : it->second;
}

// SPI_GETWORKAREA: the whole screen (no task bar). Other actions fail with ERROR_INVALID_PARAMETER.
BOOL WINAPI SystemParametersInfoW(UINT action, UINT, PVOID data, UINT)
{
    if (action == SPI_GETWORKAREA && data) {
        *static_cast<RECT *>(data) = RECT{0, 0, zep::user::M().screenWidth, zep::user::M().screenHeight};
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

// No pointer device: the cursor rests at the screen's top-left corner.
BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point) return FALSE;
    *point = POINT{0, 0};
    return TRUE;
}

// Marks the rectangle (NULL = the client area) for painting; NULL window fails.
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    RECT r;
    if (rect)
        r = *rect;
    else
        GetClientRect(hwnd, &r);
    if (w->needsPaint)
        UnionRect(&w->update, &w->update, &r);
    else
        w->update = r;
    w->needsPaint = true;
    return TRUE;
}

// Clears the update rectangle (the whole of it when `rect` is NULL or covers it).
BOOL WINAPI ValidateRect(HWND hwnd, const RECT *rect)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    RECT both;
    if (!rect || (IntersectRect(&both, &w->update, rect) && EqualRect(&both, &w->update))) {
        w->needsPaint = false;
        SetRectEmpty(&w->update);
    }
    return TRUE;
}

// The update rectangle; FALSE when nothing needs painting.
BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->needsPaint ? w->update : RECT{};
    return w->needsPaint;
}

// Sends WM_PAINT when the window has something to paint.
BOOL WINAPI UpdateWindow(HWND hwnd)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    if (w->needsPaint && IsWindowVisible(hwnd)) SendMessageW(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

// Invalidation and validation, optionally of the children, and painting now.
BOOL WINAPI RedrawWindow(HWND hwnd, const RECT *rect, HRGN, UINT flags)
{
    Window *w = Find(hwnd);
    if (!w) return FALSE;
    if (flags & RDW_INVALIDATE) InvalidateRect(hwnd, rect, (flags & RDW_ERASE) != 0);
    if (flags & RDW_VALIDATE) ValidateRect(hwnd, rect);
    if (flags & RDW_ALLCHILDREN)
        for (HWND c : std::vector<HWND>(w->children)) RedrawWindow(c, nullptr, nullptr, flags);
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    return TRUE;
}

// Rectangle helpers: plain arithmetic, TRUE unless a pointer is NULL.
BOOL WINAPI SetRect(LPRECT r, int l, int t, int rr, int b)
{
    if (!r) return FALSE;
    *r = RECT{l, t, rr, b};
    return TRUE;
}
BOOL WINAPI SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }
BOOL WINAPI CopyRect(LPRECT to, const RECT *from)
{
    if (!to || !from) return FALSE;
    *to = *from;
    return TRUE;
}
BOOL WINAPI InflateRect(LPRECT r, int dx, int dy)
{
    if (!r) return FALSE;
    r->left -= dx, r->right += dx, r->top -= dy, r->bottom += dy;
    return TRUE;
}
BOOL WINAPI OffsetRect(LPRECT r, int dx, int dy)
{
    if (!r) return FALSE;
    r->left += dx, r->right += dx, r->top += dy, r->bottom += dy;
    return TRUE;
}
BOOL WINAPI IsRectEmpty(const RECT *r) { return !r || r->right <= r->left || r->bottom <= r->top; }
BOOL WINAPI PtInRect(const RECT *r, POINT p)
{
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
// An empty intersection leaves an empty rectangle and returns FALSE.
BOOL WINAPI IntersectRect(LPRECT out, const RECT *a, const RECT *b)
{
    if (!out || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(out);
        return FALSE;
    }
    *out = r;
    return TRUE;
}
// Empty rectangles do not count.
BOOL WINAPI UnionRect(LPRECT out, const RECT *a, const RECT *b)
{
    if (!out || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        *out = IsRectEmpty(b) ? RECT{} : *b;
        return !IsRectEmpty(b);
    }
    if (IsRectEmpty(b)) {
        *out = *a;
        return TRUE;
    }
    *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}
BOOL WINAPI EqualRect(const RECT *a, const RECT *b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

// System cursors only: each id gets one stable handle; a module's cursor resource is not found.
HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    ULONG_PTR id = reinterpret_cast<ULONG_PTR>(name);
    if (instance || (id >> 16) != 0 || id < 32512 || id > 32651) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(0x7f000000u + id));
}
// Returns the previous cursor.
HCURSOR WINAPI SetCursor(HCURSOR cursor) { return std::exchange(zep::user::M().cursor, cursor); }
HCURSOR WINAPI GetCursor() { return zep::user::M().cursor; }

extern "C" {
DECLSPEC_EXPORT void ZepUiSetScreenSize(int width, int height)
{
    zep::user::M().screenWidth = width;
    zep::user::M().screenHeight = height;
}
DECLSPEC_EXPORT int ZepUiWindowCount() { return static_cast<int>(zep::user::M().windows.size()); }
DECLSPEC_EXPORT void ZepUiDestroyAllWindows()
{
    auto &m = zep::user::M();
    while (!m.topLevel.empty()) DestroyWindow(m.topLevel.back());
    m.posted.clear();
    m.focus = m.active = m.capture = nullptr;
}
}
