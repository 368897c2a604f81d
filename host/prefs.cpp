// `zepdrv prefs`: the actions of the command line run through the UI driver on the sheet and the dialogs it opens.
#include "host/prefs.h"

#include "host/core/uisession.h"
#include "host/uidriver/uidriver.h"

#ifndef _WIN32
#include "zep_gdi.h"
#include "zep_ui.h"
#endif

#include <cctype>
#include <deque>
#include <filesystem>

namespace zep::host {

namespace {

enum class Verb { Page, Click, Type, Select, Answer, Dump, Apply, Cancel };

struct Action {
    Verb verb;
    std::string text;  // as given, for messages
    int id = 0;
    int number = 0;
    std::string argument;  // page name, typed text, button name
};

struct VerbName {
    const char *name;
    Verb verb;
    int words;  // arguments it takes; -1: an id and the rest of the line
};
constexpr VerbName kVerbs[] = {
    {"page", Verb::Page, 1},     {"click", Verb::Click, 1}, {"type", Verb::Type, -1}, {"select", Verb::Select, 2},
    {"answer", Verb::Answer, 1}, {"dump", Verb::Dump, 0},   {"apply", Verb::Apply, 0}, {"cancel", Verb::Cancel, 0},
};

struct ButtonName {
    const char *name;
    int id;
};
constexpr ButtonName kButtons[] = {
    {"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT}, {"retry", IDRETRY},
    {"ignore", IDIGNORE}, {"yes", IDYES},       {"no", IDNO},
};

struct IconName {
    UINT type;
    const char *name;
};
constexpr IconName kIcons[] = {{MB_ICONHAND, "error"},
                               {MB_ICONQUESTION, "question"},
                               {MB_ICONEXCLAMATION, "warning"},
                               {MB_ICONASTERISK, "information"}};

bool ParseInt(const std::string &text, int &value)
{
    if (text.empty() || text.size() > 9) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    int v = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        v = v * 10 + (text[i] - '0');
    }
    value = text[0] == '-' ? -v : v;
    return true;
}

std::string Lower(std::string text)
{
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ParseAction(const std::string &text, Action &action, std::string &error)
{
    size_t cut = text.find(' ');
    std::string verb = text.substr(0, cut);
    std::string rest = cut == std::string::npos ? std::string() : text.substr(cut + 1);
    const VerbName *known = nullptr;
    for (const VerbName &v : kVerbs)
        if (verb == v.name) known = &v;
    if (!known) {
        error = "unknown action \"" + text + "\"";
        return false;
    }
    action.verb = known->verb;
    action.text = text;
    auto bad = [&]() {
        error = "cannot read the action \"" + text + "\"";
        return false;
    };
    switch (known->verb) {
    case Verb::Page:
    case Verb::Answer:
        if (rest.empty()) return bad();
        action.argument = rest;
        break;
    case Verb::Click:
        if (!ParseInt(rest, action.id)) return bad();
        break;
    case Verb::Type: {
        size_t space = rest.find(' ');
        if (space == std::string::npos || !ParseInt(rest.substr(0, space), action.id)) return bad();
        action.argument = rest.substr(space + 1);
        break;
    }
    case Verb::Select: {
        size_t space = rest.find(' ');
        if (space == std::string::npos || !ParseInt(rest.substr(0, space), action.id) ||
            !ParseInt(rest.substr(space + 1), action.number))
            return bad();
        break;
    }
    default:
        if (!rest.empty()) return bad();
        break;
    }
    if (action.verb == Verb::Answer) {
        int id = 0;
        for (const ButtonName &b : kButtons)
            if (Lower(action.argument) == b.name) id = b.id;
        if (!id && !ParseInt(action.argument, id)) {
            error = "no button named \"" + action.argument + "\"";
            return false;
        }
        action.number = id;
    }
    return true;
}

// A file name made of the window's title.
std::string Slug(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!out.empty() && out.back() != '-') out += '-';
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out.empty() ? "untitled" : out;
}

// A control anywhere below the window, by id.
HWND FindControl(HWND window, int id)
{
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(c) == id) return c;
        if (HWND inner = FindControl(c, id)) return inner;
    }
    return nullptr;
}

class Runner {
public:
    Runner(const PrefsRequest &request, std::FILE *out) : request_(request), out_(out) {}

    bool Run(std::string &error)
    {
        for (const std::string &text : request_.actions) {
            Action a;
            if (!ParseAction(text, a, error)) return false;
            queue_.push_back(a);
        }
        if (!request_.snapshotDir.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(request_.snapshotDir, ec);
        }
        // Modal dialogs come to the driver; message boxes come here, so that the actions can read and answer them.
        // On Windows the driver answers message boxes itself, with their default button.
        driver_.OnEveryDialog([this](HWND dialog) { RunDialog(dialog); });
#ifdef _WIN32
        return RunAll(error);
#else
        ZepUiSetMessageBoxHook(&Runner::BoxHook, this);
        bool ok = RunAll(error);
        ZepUiSetMessageBoxHook(nullptr, nullptr);
        return ok;
#endif
    }

private:
    bool RunAll(std::string &error)
    {
        if (!session_.Open(request_.printer, error)) return false;
        if (!request_.snapshotDir.empty()) SnapshotPages();
        while (!queue_.empty() && !failed_ && !finished_) {
            Action a = queue_.front();
            queue_.pop_front();
            OnSheet(a);
        }
        if (failed_) {
            session_.Cancel();
            error = problem_;
            return false;
        }
        // Leaving without Apply keeps nothing.
        if (!finished_) session_.Cancel();
        return true;
    }

    void Fail(const std::string &message)
    {
        if (failed_) return;
        failed_ = true;
        problem_ = message;
        queue_.clear();
    }

    HWND Sheet() const { return session_.Sheet(); }

    std::string PageTitle(HWND page)
    {
        auto index = static_cast<int>(SendMessageW(Sheet(), PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
        const auto &pages = session_.Pages();
        if (index < 0 || index >= static_cast<int>(pages.size())) return "page";
        return Narrow(pages[static_cast<size_t>(index)].title);
    }

    void Snapshot(HWND window, const std::string &name)
    {
        std::filesystem::path path = std::filesystem::path(request_.snapshotDir) / (name + ".png");
#ifdef _WIN32
        // The pictures are the Linux layer's drawing.
        (void)window;
        Fail("cannot write the picture " + path.string() + ": pictures are drawn on Linux only");
#else
        if (!ZepSnapshotWindow(window, path.string().c_str()))
            Fail("cannot write the picture " + path.string());
#endif
    }

    // Every page once, the sheet as it shows each, then back to the first.
    void SnapshotPages()
    {
        const auto &pages = session_.Pages();
        for (size_t i = 0; i < pages.size() && !failed_; ++i) {
            if (!ui::ShowSheetPage(Sheet(), static_cast<int>(i))) {
                Fail("the page \"" + Narrow(pages[i].title) + "\" could not be shown");
                return;
            }
            Snapshot(Sheet(), "page-" + std::to_string(i + 1) + "-" + Slug(Narrow(pages[i].title)));
        }
        if (!pages.empty() && !failed_) ui::ShowSheetPage(Sheet(), 0);
    }

    void DumpBeeps()
    {
        std::fprintf(out_, "beeps=%d\n", driver_.Beeps() - beepsAtDump_);
        beepsAtDump_ = driver_.Beeps();
    }

    // click, type, select and dump on a window that holds controls.
    void OnControls(const Action &a, HWND window, const std::string &where)
    {
        if (a.verb == Verb::Dump) {
            std::fprintf(out_, "%s\n%s", where.c_str(), ui::Dump(window).c_str());
            DumpBeeps();
            std::fflush(out_);
            return;
        }
        HWND control = FindControl(window, a.id);
        std::string name = "control " + std::to_string(a.id) + " of " + where;
        if (!control) return Fail("there is no control " + std::to_string(a.id) + " on " + where);
        if (!IsWindowVisible(control)) return Fail(name + " is hidden");
        if (!IsWindowEnabled(control)) return Fail(name + " is disabled");
        switch (a.verb) {
        case Verb::Click:
            if (!ui::Click(control)) Fail(name + " cannot be clicked");
            break;
        case Verb::Type:
            // A user replaces a field's text: select it all, then type.
            if (!ui::Retype(control, Widen(a.argument))) Fail(name + " takes no typing");
            break;
        case Verb::Select:
            if (!ui::Select(control, a.number)) Fail(name + " has no entry " + std::to_string(a.number));
            break;
        default: break;
        }
    }

    void OnSheet(const Action &a)
    {
        HWND page = ui::SheetPage(Sheet());
        switch (a.verb) {
        case Verb::Page: {
            const auto &pages = session_.Pages();
            int index = -1;
            int number = 0;
            if (ParseInt(a.argument, number) && number >= 1 && number <= static_cast<int>(pages.size()))
                index = number - 1;
            for (size_t i = 0; i < pages.size() && index < 0; ++i)
                if (lstrcmpiW(pages[i].title.c_str(), Widen(a.argument).c_str()) == 0) index = static_cast<int>(i);
            if (index < 0) return Fail("there is no page \"" + a.argument + "\"");
            // A page that refuses to be left keeps the sheet where it is; the next actions may fix the field and
            // ask again.
            if (!ui::ShowSheetPage(Sheet(), index)) {
                std::fprintf(out_, "the page \"%s\" did not let the sheet leave it\n", PageTitle(page).c_str());
                std::fflush(out_);
            }
            return;
        }
        case Verb::Answer: return Fail("\"" + a.text + "\": no message box is open");
        case Verb::Apply: {
            std::string message;
            if (!session_.Apply(message)) return Fail(message);
            finished_ = true;
            return;
        }
        case Verb::Cancel:
            session_.Cancel();
            finished_ = true;
            return;
        default:
            if (!page) return Fail("the sheet shows no page");
            OnControls(a, page, "page \"" + PageTitle(page) + "\"");
            return;
        }
    }

    static bool Open(HWND dialog) { return IsWindow(dialog) && IsWindowVisible(dialog); }

    // A modal dialog the code opened: the next actions are its user's, until it closes.
    void RunDialog(HWND dialog)
    {
        std::string caption = ui::Utf8(ui::Text(dialog));
        ++dialogs_;
        if (!request_.snapshotDir.empty()) Snapshot(dialog, "dialog-" + std::to_string(dialogs_) + "-" + Slug(caption));
        std::string where = "dialog \"" + caption + "\"";
        while (!queue_.empty() && !failed_ && Open(dialog)) {
            Action a = queue_.front();
            if (a.verb == Verb::Page || a.verb == Verb::Apply || a.verb == Verb::Cancel)
                return Fail("\"" + a.text + "\": the " + where + " is still open");
            if (a.verb == Verb::Answer) return Fail("\"" + a.text + "\": no message box is open");
            queue_.pop_front();
            OnControls(a, dialog, where);
            ui::Pump();
        }
        // Out of actions, or stopped: the dialog is dismissed as Esc would.
        if (Open(dialog)) SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (Open(dialog)) EndDialog(dialog, IDCANCEL);
    }

#ifndef _WIN32
    int OnMessageBox(const ZEP_UI_MESSAGEBOX &box)
    {
        while (!queue_.empty() && !failed_) {
            Action a = queue_.front();
            if (a.verb == Verb::Dump) {
                queue_.pop_front();
                const char *icon = "none";
                for (const IconName &i : kIcons)
                    if ((box.type & MB_ICONMASK) == i.type) icon = i.name;
                std::fprintf(out_, "messagebox text=\"%s\" caption=\"%s\" icon=%s\n",
                             ui::Utf8(box.text ? box.text : TEXT("")).c_str(),
                             ui::Utf8(box.caption ? box.caption : TEXT("")).c_str(), icon);
                DumpBeeps();
                std::fflush(out_);
                continue;
            }
            if (a.verb == Verb::Answer) {
                queue_.pop_front();
                return a.number;
            }
            Fail("\"" + a.text + "\": a message box is open (\"" + ui::Utf8(box.text ? box.text : TEXT("")) +
                 "\"); answer it first");
        }
        return 0;  // the box's default button
    }

    static int CALLBACK BoxHook(const ZEP_UI_MESSAGEBOX *box, void *context)
    {
        return box ? static_cast<Runner *>(context)->OnMessageBox(*box) : 0;
    }
#endif

    const PrefsRequest &request_;
    std::FILE *out_;
    ui::Driver driver_;
    PrefsSession session_;
    std::deque<Action> queue_;
    bool failed_ = false;
    bool finished_ = false;
    std::string problem_;
    int beepsAtDump_ = 0;
    int dialogs_ = 0;
};

} // namespace

bool RunPrefs(const PrefsRequest &request, std::FILE *out, std::string &error)
{
    Runner runner(request, out);
    return runner.Run(error);
}

} // namespace zep::host
