// Printing preferences as the core driver runs them: plug-in life cycle, core services, the core's page, Apply.
#include "host/core/uisession.h"

#include "common/comobject.h"
#include "host/core/job.h"
#include "host/core/plugincom.h"
#include "host/core/session.h"
#include "host/core/uistore.h"
#include "host/uidriver/uidriver.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace zep::host {

namespace {

constexpr int kCoreControlBase = 3000;  // the core page's control of item k has id 3000 + k
constexpr WORD kStaticClass = 0x0082, kEditClass = 0x0081, kComboClass = 0x0085;
constexpr WORD kNoId = 0xFFFF;

// The sessions alive in this process: the sheet handle the plug-in passes back must be one of them.
std::set<PrefsSession *> &LiveSessions()
{
    static std::set<PrefsSession *> sessions;
    return sessions;
}

PrefsSession *SessionOfObject(PVOID uiobj)
{
    if (!uiobj) return nullptr;
    PrefsSession *s = static_cast<CoreUiObject *>(uiobj)->session;
    return LiveSessions().count(s) ? s : nullptr;
}

BOOL APIENTRY GetDriverSettingCallback(PVOID uiobj, PCSTR feature, PVOID out, DWORD size, PDWORD needed,
                                       PDWORD options)
{
    PrefsSession *s = SessionOfObject(uiobj);
    if (!s) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return s->GetDriverSetting(feature, out, size, needed, options);
}

BOOL APIENTRY UpdateUISettingCallback(PVOID uiobj, PVOID item, DWORD previous, DWORD mode)
{
    PrefsSession *s = SessionOfObject(uiobj);
    if (!s) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return s->UpdateUISetting(item, previous, mode);
}

LONG_PTR CALLBACK ComPropSheetCallback(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2)
{
    auto *s = static_cast<PrefsSession *>(sheet);
    if (!LiveSessions().count(s)) return 0;
    return s->ComPropSheet(function, lParam1, lParam2);
}

// The core's helper object for the UI plug-in: the same services as OEMUIPROCS, reached through COM.
class CoreUiServices final : public ComObject<CoreUiServices, IPrintOemDriverUI, IID_IPrintOemDriverUI> {
public:
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID out, DWORD size, PDWORD needed,
                                                  PDWORD options) override
    {
        return GetDriverSettingCallback(pci, feature, out, size, needed, options) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previous, DWORD mode) override
    {
        return UpdateUISettingCallback(pci, item, previous, mode) ? S_OK : E_FAIL;
    }
};

constexpr PluginLoadTexts kUiTexts = {"UI", "the UI plug-in does not serve its class"};

// The caption of a dialog template, classic or extended, as the tab shows it.
WString TemplateCaption(const BYTE *t)
{
    auto word = [&](const BYTE *p) {
        WORD w;
        std::memcpy(&w, p, 2);
        return w;
    };
    bool ex = word(t) == 1 && word(t + 2) == 0xFFFF;
    const BYTE *p = t + (ex ? 26 : 18);
    for (int k = 0; k < 2; ++k) {  // menu, class
        if (word(p) == 0xFFFF) p += 4;
        else {
            while (word(p)) p += 2;
            p += 2;
        }
    }
    WString caption;
    for (; word(p); p += 2) caption.push_back(static_cast<WCHAR>(word(p)));
    return caption;
}

WString PageTitle(const PROPSHEETPAGEW &page)
{
    if (page.dwFlags & PSP_USETITLE) {
        if (!IS_INTRESOURCE(page.pszTitle)) return page.pszTitle ? WString(page.pszTitle) : WString();
        WCHAR text[256] = {};
        int n = LoadStringW(page.hInstance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(page.pszTitle)), text, 256);
        return WString(text, static_cast<size_t>(std::max(n, 0)));
    }
    const BYTE *t = nullptr;
    if (page.dwFlags & PSP_DLGINDIRECT) {
        t = reinterpret_cast<const BYTE *>(page.pResource);
    } else if (HRSRC res = FindResourceW(page.hInstance, page.pszTemplate, RT_DIALOG)) {
        if (HGLOBAL data = LoadResource(page.hInstance, res)) t = static_cast<const BYTE *>(LockResource(data));
    }
    return t ? TemplateCaption(t) : WString();
}

// An in-memory dialog template (classic layout), one control at a time.
class TemplateWriter {
public:
    TemplateWriter(DWORD style, short cx, short cy, const WString &caption)
    {
        Dword(style | DS_SETFONT);
        Dword(0);
        countAt_ = bytes_.size();
        Word(0);
        Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(caption);
        Word(8);
        Text(TEXT("MS Sans Serif"));
    }
    void Control(WORD cls, DWORD style, short x, short y, short cx, short cy, WORD id, const WString &text)
    {
        while (bytes_.size() % 4) bytes_.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)),
            Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF), Word(cls);
        Text(text);
        Word(0);  // no creation data
        WORD count;
        std::memcpy(&count, bytes_.data() + countAt_, 2);
        ++count;
        std::memcpy(bytes_.data() + countAt_, &count, 2);
    }
    std::vector<BYTE> Take() { return std::move(bytes_); }

private:
    void Word(WORD w)
    {
        bytes_.push_back(static_cast<BYTE>(w & 0xFF));
        bytes_.push_back(static_cast<BYTE>(w >> 8));
    }
    void Dword(DWORD d)
    {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const WString &text)
    {
        for (WCHAR c : text) Word(static_cast<WORD>(c));
        Word(0);
    }
    std::vector<BYTE> bytes_;
    size_t countAt_ = 0;
};

PrefsSession *PageSession(HWND page) { return reinterpret_cast<PrefsSession *>(GetWindowLongPtrW(page, DWLP_USER)); }

// The core page's controls show the items as they stand now (the plug-in's pages change them too).
void RefreshCorePage(HWND page, PrefsSession &s)
{
    CoreItems &items = s.Items();
    for (DWORD k = 0; k < items.Count(); ++k) {
        HWND control = GetDlgItem(page, kCoreControlBase + static_cast<int>(k));
        if (!control) continue;
        const OPTITEM &item = items.Items()[k];
        if (items.ChoiceCount(k) == 0) {
            SetDlgItemInt(page, kCoreControlBase + static_cast<int>(k), static_cast<UINT>(item.Sel), TRUE);
            continue;
        }
        SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (WORD o = 0; o < item.pOptType->Count; ++o) {
            const OPTPARAM &p = item.pOptType->pOptParam[o];
            if (p.Flags & OPTPF_HIDE) continue;
            LRESULT at = SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.pData));
            SendMessageW(control, CB_SETITEMDATA, static_cast<WPARAM>(at), o);
            if (o == item.Sel) SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        }
    }
}

// Number fields are taken when the page is left; a value out of range keeps the user on the page.
bool CommitNumbers(HWND page, PrefsSession &s)
{
    CoreItems &items = s.Items();
    for (DWORD k = 0; k < items.Count(); ++k) {
        if (items.ChoiceCount(k) != 0 || !GetDlgItem(page, kCoreControlBase + static_cast<int>(k))) continue;
        BOOL ok = FALSE;
        auto value = static_cast<LONG>(GetDlgItemInt(page, kCoreControlBase + static_cast<int>(k), &ok, TRUE));
        if (value == items.Items()[k].Sel) continue;
        if (!ok || !s.ChangeItem(k, value)) {
            MessageBeep(MB_ICONEXCLAMATION);
            SetFocus(GetDlgItem(page, kCoreControlBase + static_cast<int>(k)));
            return false;
        }
    }
    return true;
}

INT_PTR CALLBACK CorePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *sheetPage = reinterpret_cast<PROPSHEETPAGEW *>(lParam);
        SetWindowLongPtrW(page, DWLP_USER, sheetPage ? sheetPage->lParam : 0);
        if (PrefsSession *s = PageSession(page)) RefreshCorePage(page, *s);
        return TRUE;
    }
    case WM_COMMAND: {
        PrefsSession *s = PageSession(page);
        int id = LOWORD(wParam);
        if (!s || HIWORD(wParam) != CBN_SELCHANGE || id < kCoreControlBase) return FALSE;
        auto k = static_cast<size_t>(id - kCoreControlBase);
        if (k >= s->Items().Count()) return FALSE;
        HWND control = reinterpret_cast<HWND>(lParam);
        LRESULT at = SendMessageW(control, CB_GETCURSEL, 0, 0);
        if (at < 0) return TRUE;
        auto sel = static_cast<LONG>(SendMessageW(control, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
        if (!s->ChangeItem(k, sel)) {
            // The PPD forbids this choice together with the others: the old one comes back.
            MessageBeep(MB_ICONEXCLAMATION);
            RefreshCorePage(page, *s);
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        PrefsSession *s = PageSession(page);
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (!s || !header) return FALSE;
        LONG_PTR answer = 0;
        switch (header->code) {
        case PSN_SETACTIVE:
            RefreshCorePage(page, *s);
            s->NotifyPlugin(CPSUICB_REASON_SETACTIVE, page);
            break;
        case PSN_KILLACTIVE:
            if (!CommitNumbers(page, *s)) answer = TRUE;
            else s->NotifyPlugin(CPSUICB_REASON_KILLACTIVE, page);
            break;
        case PSN_APPLY: answer = PSNRET_NOERROR; break;
        default: return FALSE;
        }
        SetWindowLongPtrW(page, DWLP_MSGRESULT, answer);
        return TRUE;
    }
    default: return FALSE;
    }
}

} // namespace

PrefsSession::PrefsSession()
{
    LiveSessions().insert(this);
    procs_.DrvGetDriverSetting = &GetDriverSettingCallback;
    procs_.DrvUpdateUISetting = &UpdateUISettingCallback;
    uiObject_.obj.cbSize = sizeof(OEMUIOBJ);
    uiObject_.obj.pOemUIProcs = &procs_;
    uiObject_.session = this;
}

PrefsSession::~PrefsSession()
{
    if (sheet_) Cancel();
    Close();
    LiveSessions().erase(this);
}

bool PrefsSession::LoadPlugin(const WString &path, std::string &error)
{
    ComPtr<IClassFactory> factory;
    if (!LoadPluginFactory(path, CLSID_OEMUI, kUiTexts, library_, factory, error)) return false;
    if (FAILED(factory->CreateInstance(nullptr, IID_IPrintOemUI2, plugin_.put_void())) || !plugin_) {
        error = "the UI plug-in could not create its object";
        return false;
    }
    if (wrapper_) {
        IPrintOemUI2 *wrapped = wrapper_(plugin_.get());
        plugin_.attach(wrapped);
        if (!plugin_) {
            error = "the plug-in wrapper gave no object";
            return false;
        }
    }
    // The plug-in keeps its own reference; ours goes when this call returns.
    ComPtr<IPrintOemDriverUI> services;
    services.attach(new CoreUiServices);
    HRESULT hr = plugin_->PublishDriverInterface(services.get());
    if (FAILED(hr)) {
        error = "the UI plug-in refused the core driver's interface";
        return false;
    }
    return true;
}

bool PrefsSession::BuildDevmode(const std::vector<std::pair<std::string, std::string>> &options, std::string &error)
{
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pdriverobj = &uiObject_.obj;
    param.hPrinter = printer_.get();
    param.hModule = library_.get();
    if (FAILED(plugin_->DevMode(OEMDM_SIZE, &param))) {
        error = "the UI plug-in did not report its DEVMODE section size";
        return false;
    }
    DWORD oemSize = param.cbBufSize;
    if (oemSize < sizeof(OEM_DMEXTRAHEADER) || oemSize > 0xFFFF - sizeof(CorePrivateDevmode)) {
        error = "the UI plug-in reported a DEVMODE section of " + std::to_string(oemSize) + " bytes";
        return false;
    }
    JobDevmode &dm = settings_.devmode;
    dm.Allocate(oemSize);

    // The PPD's defaults, then whatever the printer keeps.
    settings_.options.clear();
    for (const PpdFeature &f : ppd_.features)
        if (!f.defaultOption.empty()) settings_.options[f.keyword] = f.defaultOption;
    DEVMODEW *pub = dm.Public();
    CorePrivateDevmode *core = dm.Core();
    FillPublicDefaults(*pub, ppd_, settings_.options, printerName_);
    core->dwSignature = kCoreDevmodeSignature;
    core->dwPrivateSize = sizeof(CorePrivateDevmode);
    core->dwNupCount = 1;
    std::vector<BYTE> storedBytes = ReadPrinterDevmode(printer_.get());
    StoredDevmode stored;
    bool haveStored = SplitStoredDevmode(storedBytes.data(), storedBytes.size(), stored);
    if (haveStored) {
        for (const auto &[keyword, option] : StoredFeatureSelection(ppd_, stored.corePart))
            settings_.options[keyword] = option;
        *pub = stored.publicPart;
        *core = stored.corePart;
        if (!core->dwNupCount) core->dwNupCount = 1;
    }
    if (!options.empty()) {
        std::map<std::string, std::string> selection;
        if (!SelectOptions(ppd_, options, selection, error, settings_.options)) return false;
        settings_.options = selection;
    }
    pub->dmDriverExtra = static_cast<WORD>(sizeof(CorePrivateDevmode) + oemSize);
    core->dwOemSize = oemSize;
    CoreItems::Sync(ppd_, printerName_, settings_);

    param.pPublicDMIn = pub;
    param.pPublicDMOut = pub;
    param.pOEMDMOut = dm.Oem();
    param.cbBufSize = oemSize;
    if (FAILED(plugin_->DevMode(OEMDM_DEFAULT, &param))) {
        error = "the UI plug-in could not write its DEVMODE defaults";
        return false;
    }
    std::vector<BYTE> input;
    if (haveStored && stored.oemPart.size() >= sizeof(OEM_DMEXTRAHEADER)) input = stored.oemPart;
    else input.assign(dm.Oem(), dm.Oem() + oemSize);
    input.resize(std::max<size_t>(input.size(), oemSize), 0);
    param.pOEMDMIn = input.data();
    if (FAILED(plugin_->DevMode(OEMDM_MERGE, &param))) {
        error = "the UI plug-in rejected the printer's DEVMODE section";
        return false;
    }
    return true;
}

bool PrefsSession::AddCorePage()
{
    // One row per item the plug-in left visible, in two columns.
    std::vector<DWORD> shown;
    for (DWORD k = 0; k < items_.Count(); ++k)
        if (!(items_.Items()[k].Flags & OPTIF_HIDE)) shown.push_back(k);
    const short rows = static_cast<short>(std::max<size_t>(14, (shown.size() + 1) / 2));
    TemplateWriter t(DS_3DLOOK | WS_CHILD | WS_CAPTION, 299, static_cast<short>(14 + rows * 16), TEXT("Layout"));
    for (size_t n = 0; n < shown.size(); ++n) {
        DWORD k = shown[n];
        auto x = static_cast<short>(n < static_cast<size_t>(rows) ? 7 : 152);
        auto y = static_cast<short>(7 + (n % static_cast<size_t>(rows)) * 16);
        t.Control(kStaticClass, SS_LEFT, x, static_cast<short>(y + 2), 62, 10, kNoId, items_.DisplayName(k) + TEXT(":"));
        auto id = static_cast<WORD>(kCoreControlBase + k);
        if (items_.ChoiceCount(k) == 0)
            t.Control(kEditClass, ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, static_cast<short>(x + 64), y,
                      40, 12, id, TEXT(""));
        else
            t.Control(kComboClass, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, static_cast<short>(x + 64), y, 76, 100,
                      id, TEXT(""));
    }
    coreTemplate_ = t.Take();

    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.pResource = reinterpret_cast<LPCDLGTEMPLATE>(coreTemplate_.data());
    page.pfnDlgProc = CorePageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return ComPropSheet(CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0) != 0;
}

bool PrefsSession::Open(const WString &printer, std::string &error,
                        const std::vector<std::pair<std::string, std::string>> &options)
{
    printerName_ = printer;
    WString name = printer;
    if (!OpenPrinterW(name.data(), printer_.put(), nullptr)) {
        error = "no printer named \"" + Narrow(printer) + "\"";
        return false;
    }
    DWORD needed = 0;
    GetPrinterDriverW(printer_.get(), nullptr, 3, nullptr, 0, &needed);
    std::vector<BYTE> driverData(needed);
    if (needed == 0 || !GetPrinterDriverW(printer_.get(), nullptr, 3, driverData.data(), needed, &needed)) {
        error = "cannot read the printer's driver (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    const auto *driver = reinterpret_cast<const DRIVER_INFO_3W *>(driverData.data());
    if (!driver->pDataFile || !ppd_.Load(driver->pDataFile, error)) {
        if (error.empty()) error = "the printer's driver names no PPD";
        return false;
    }
    WString pluginPath;
    if (!FindPluginModule(*driver, TEXT("OEMConfigFile1"), kUiTexts, pluginPath, error)) return false;
    if (!LoadPlugin(pluginPath, error) || !BuildDevmode(options, error)) return false;
    items_.Build(ppd_, settings_);

    heap_ = HeapCreate(0, 0, 0);
    if (!heap_) {
        error = "cannot make the plug-in heap";
        return false;
    }
    cui_.cbSize = sizeof cui_;
    cui_.poemuiobj = &uiObject_.obj;
    cui_.hPrinter = printer_.get();
    cui_.pPrinterName = printerName_.data();
    cui_.hModule = library_.get();
    cui_.hOEMHeap = heap_;
    cui_.pPublicDM = settings_.devmode.Public();
    cui_.pOEMDM = settings_.devmode.Oem();
    cui_.pDrvOptItems = items_.Items();
    cui_.cDrvOptItems = items_.Count();
    // As the core driver does, the plug-in is asked whether to hide the core's standard pages; E_NOTIMPL keeps them.
    plugin_->HideStandardUI(OEMDM_HIDE_DOCPROP);
    // The count first, then the items: the plug-in's own items come in a buffer of the size it asked for.
    bool pluginSheet = SUCCEEDED(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &cui_));
    if (pluginSheet) {
        oemItems_.assign(std::max<DWORD>(cui_.cOEMOptItems, 1), OPTITEM{});
        for (OPTITEM &item : oemItems_) item.cbSize = sizeof(OPTITEM);
        cui_.pOEMOptItems = oemItems_.data();
        pluginSheet = SUCCEEDED(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &cui_));
    }

    if (!AddCorePage()) {
        error = "cannot make the core's page (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // A plug-in whose CommonUIProp failed adds no pages; the sheet still opens.
    if (pluginSheet) {
        psParam_.cbSize = sizeof psParam_;
        psParam_.poemuiobj = &uiObject_.obj;
        psParam_.hPrinter = printer_.get();
        psParam_.pPrinterName = printerName_.data();
        psParam_.hModule = library_.get();
        psParam_.hOEMHeap = heap_;
        psParam_.pPublicDM = settings_.devmode.Public();
        psParam_.pOEMDM = settings_.devmode.Oem();
        psParam_.pOEMUserData = cui_.pOEMUserData;
        PROPSHEETUI_INFO info{};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_INIT;
        info.hComPropSheet = this;
        info.pfnComPropSheet = ComPropSheetCallback;
        info.lParamInit = reinterpret_cast<LPARAM>(&psParam_);
        plugin_->DocumentPropertySheets(&info, 0);
        initDone_ = true;
    }

    caption_ = printerName_ + TEXT(" Printing Preferences");
    std::vector<HPROPSHEETPAGE> handles;
    for (const UiPage &p : pages_) handles.push_back(p.handle);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_NOCONTEXTHELP;
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    sheet_ = ui::OpenSheet(header);
    if (!sheet_) {
        error = "cannot open the sheet (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

bool PrefsSession::Apply(std::string &error)
{
    if (!sheet_ || !IsWindow(sheet_)) {
        error = "the sheet is not open";
        return false;
    }
    if (!SendMessageW(sheet_, PSM_APPLY, 0, 0)) {
        error = "a page did not accept the settings";
        return false;
    }
    NotifyPlugin(CPSUICB_REASON_APPLYNOW, ui::SheetPage(sheet_));
    if (initDone_) {
        SETRESULT_INFO result{};
        result.cbSize = sizeof result;
        result.hSetResult = this;
        result.Result = CPSUI_OK;
        PROPSHEETUI_INFO info{};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_SET_RESULT;
        info.hComPropSheet = this;
        info.pfnComPropSheet = ComPropSheetCallback;
        info.lParamInit = reinterpret_cast<LPARAM>(&psParam_);
        plugin_->DocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&result));
    }
    CoreItems::Sync(ppd_, printerName_, settings_);
    JobDevmode &dm = settings_.devmode;
    std::vector<BYTE> bytes(dm.Bytes(), dm.Bytes() + dm.Size());
    bool kept = WritePrinterDevmode(printerName_, bytes, error);
    Close();
    return kept;
}

void PrefsSession::Cancel()
{
    if (sheet_ && IsWindow(sheet_)) ui::PressSheetButton(sheet_, PSBTN_CANCEL);
    Close();
}

void PrefsSession::Close()
{
    if (sheet_ && IsWindow(sheet_)) DestroyWindow(sheet_);
    if (sheet_) {
        sheet_ = nullptr;
    } else {
        // Pages that never reached a sheet are still ours to free.
        for (const UiPage &p : pages_) DestroyPropertySheetPage(p.handle);
    }
    pages_.clear();
    if (initDone_ && plugin_) {
        PROPSHEETUI_INFO info{};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        info.hComPropSheet = this;
        info.pfnComPropSheet = ComPropSheetCallback;
        info.lParamInit = reinterpret_cast<LPARAM>(&psParam_);
        plugin_->DocumentPropertySheets(&info, 0);
    }
    initDone_ = false;
    // The object frees its records from the heap when it goes, so the heap outlives it; the module goes last.
    plugin_.reset();
    if (heap_) HeapDestroy(heap_);
    heap_ = nullptr;
    library_.reset();
}

BOOL PrefsSession::UpdateUISetting(PVOID item, DWORD previous, DWORD mode)
{
    int index = items_.IndexOf(item);
    if (index < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto k = static_cast<size_t>(index);
    OPTITEM &it = items_.Items()[k];
    UiUpdate update;
    update.keyword = items_.Keyword(k) ? items_.Keyword(k) : "";
    update.itemId = items_.ItemId(k);
    update.sel = it.Sel;
    update.previous = previous;
    update.mode = mode;
    update.accepted = mode == OEMCUIP_DOCPROP && items_.Apply(k, it.Sel, ppd_, settings_);
    updates_.push_back(update);
    // A refused change leaves the item as it was.
    if (!update.accepted) it.Sel = static_cast<LONG>(previous);
    return update.accepted ? TRUE : FALSE;
}

BOOL PrefsSession::GetDriverSetting(PCSTR feature, PVOID out, DWORD size, PDWORD needed, PDWORD options)
{
    return AnswerDriverSetting(
        settings_.options, [this] { return static_cast<DWORD>(settings_.devmode.Core()->bPsOutputOption); }, feature,
        out, size, needed, options);
}

LONG_PTR PrefsSession::ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2)
{
    switch (function) {
    case CPSFUNC_ADD_PROPSHEETPAGEW: {
        auto *page = reinterpret_cast<const PROPSHEETPAGEW *>(lParam1);
        if (!page) return 0;
        HPROPSHEETPAGE handle = CreatePropertySheetPageW(page);
        if (!handle) return 0;
        pages_.push_back({handle, PageTitle(*page)});
        if (sheet_) SendMessageW(sheet_, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle));
        return reinterpret_cast<LONG_PTR>(handle);
    }
    case CPSFUNC_ADD_HPROPSHEETPAGE: {
        auto handle = reinterpret_cast<HPROPSHEETPAGE>(lParam1);
        if (!handle) return 0;
        pages_.push_back({handle, WString()});
        if (sheet_) SendMessageW(sheet_, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle));
        return lParam1;
    }
    case CPSFUNC_SET_RESULT:
        results_.emplace_back(reinterpret_cast<HPROPSHEETPAGE>(lParam1), static_cast<LONG_PTR>(lParam2));
        return 1;
    default: return 0;
    }
}

bool PrefsSession::ChangeItem(size_t index, LONG sel)
{
    if (index >= items_.Count() || !items_.Apply(index, sel, ppd_, settings_)) return false;
    OPTITEM &item = items_.Items()[index];
    item.Sel = sel;
    item.Flags |= OPTIF_CHANGED;
    return true;
}

void PrefsSession::NotifyPlugin(WORD reason, HWND page)
{
    if (!initDone_ || !cui_.OEMCUIPCallback) return;
    CPSUICBPARAM cb{};
    cb.cbSize = sizeof cb;
    cb.Reason = reason;
    cb.hDlg = page;
    cb.pOptItem = cui_.pOEMOptItems;
    cb.cOptItem = static_cast<WORD>(cui_.cOEMOptItems);
    cb.pCurItem = cui_.pOEMOptItems;
    cui_.OEMCUIPCallback(&cb, &cui_);
}

} // namespace zep::host
