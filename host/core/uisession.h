// Printing preferences as the core driver runs them: the UI plug-in loaded and called in the core's order, the
// core's option items and services, the sheet with the core's own page and the plug-in's pages, and Apply, which
// keeps the DEVMODE as the printer's document settings.
#pragma once
#include "common/handle.h"
#include "common/oemui.h"
#include "host/core/uiitems.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zep::host {

// One DrvUpdateUISetting call as the core saw it.
struct UiUpdate {
    std::string keyword;  // "" for the core's own items
    ULONG_PTR itemId = 0;
    LONG sel = 0;
    DWORD previous = 0;
    DWORD mode = 0;
    bool accepted = false;
};

// A page of the sheet and the title on its tab.
struct UiPage {
    HPROPSHEETPAGE handle = nullptr;
    WString title;
};

class PrefsSession;

// The OEMUIOBJ the plug-in gets in every call is the first member of this record: the callbacks find the session
// behind it.
struct CoreUiObject {
    OEMUIOBJ obj;
    PrefsSession *session;
};
static_assert(offsetof(CoreUiObject, obj) == 0);

class PrefsSession {
public:
    // Lets a caller put a wrapper between the core and the plug-in object (tests record the calls this way). It
    // gets the created object and returns the one the core calls, with a reference of its own.
    using PluginWrapper = std::function<IPrintOemUI2 *(IPrintOemUI2 *plugin)>;

    PrefsSession();
    ~PrefsSession();
    PrefsSession(const PrefsSession &) = delete;
    PrefsSession &operator=(const PrefsSession &) = delete;

    void SetPluginWrapper(PluginWrapper wrapper) { wrapper_ = std::move(wrapper); }

    // Loads the printer's UI plug-in, builds the DEVMODE and the items, runs CommonUIProp and the sheet's INIT,
    // and opens the sheet modeless on its first page. options (PPD keyword, option name) stand over what the printer
    // keeps, as its installable options set in the printer's properties would. False with a message when any step
    // fails.
    bool Open(const WString &printer, std::string &error,
              const std::vector<std::pair<std::string, std::string>> &options = {});
    HWND Sheet() const { return sheet_; }
    const std::vector<UiPage> &Pages() const { return pages_; }

    // The sheet's Apply: every page agrees (PSN_KILLACTIVE, PSN_APPLY), the plug-in hears the apply, and the whole
    // DEVMODE is kept for the printer. The sheet is then closed. False with a message when a page or the spooler
    // refuses; the sheet stays open after a page refused.
    bool Apply(std::string &error);
    // Cancel: the sheet is closed and nothing is kept.
    void Cancel();

    // What the sheet edits, and the core's view of it (for tests and the core page).
    DocSettings &Settings() { return settings_; }
    CoreItems &Items() { return items_; }
    OEMCUIPPARAM &CuiParam() { return cui_; }
    const std::vector<UiUpdate> &Updates() const { return updates_; }
    const std::vector<std::pair<HPROPSHEETPAGE, LONG_PTR>> &Results() const { return results_; }

    // The core's services, as the plug-in reaches them through OEMUIPROCS and pfnComPropSheet.
    BOOL UpdateUISetting(PVOID item, DWORD previous, DWORD mode);
    BOOL GetDriverSetting(PCSTR feature, PVOID out, DWORD size, PDWORD needed, PDWORD options);
    LONG_PTR ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2);

    // The core page's work: a user changed an item there; the plug-in hears its page events.
    bool ChangeItem(size_t index, LONG sel);
    void NotifyPlugin(WORD reason, HWND page);

private:
    bool LoadPlugin(const WString &path, std::string &error);
    bool BuildDevmode(const std::vector<std::pair<std::string, std::string>> &options, std::string &error);
    bool AddCorePage();
    void Close();

    CoreUiObject uiObject_{};
    OEMUIPROCS procs_{};
    PluginWrapper wrapper_;

    WString printerName_;
    Printer printer_;
    Ppd ppd_;
    Library library_;
    ComPtr<IPrintOemUI2> plugin_;
    HANDLE heap_ = nullptr;
    DocSettings settings_;
    CoreItems items_;
    std::vector<OPTITEM> oemItems_;
    OEMCUIPPARAM cui_{};
    OEMUIPSPARAM psParam_{};
    bool initDone_ = false;
    std::vector<UiPage> pages_;
    std::vector<BYTE> coreTemplate_;
    HWND sheet_ = nullptr;
    WString caption_;
    std::vector<UiUpdate> updates_;
    std::vector<std::pair<HPROPSHEETPAGE, LONG_PTR>> results_;
};

} // namespace zep::host
