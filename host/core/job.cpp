// Installing the demo driver and printing a document through the rendering plug-in into a spooler job.
#include "host/core/job.h"

#include <set>

#include "host/core/input.h"
#include "host/core/plugincom.h"
#include "host/core/prompt.h"
#include "host/core/transcribe.h"
#include "host/core/uistore.h"

namespace zep::host {

namespace {

// A spooler record of any level: size query first, then the data.
template <typename Query>
std::vector<BYTE> QueryRecord(Query query)
{
    DWORD needed = 0;
    query(nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<BYTE> data(needed);
    if (!query(data.data(), needed, &needed)) return {};
    return data;
}

std::string ErrorText(DWORD code) { return "error " + std::to_string(code); }

WString FileNameOf(const WString &path)
{
    size_t cut = path.find_last_of(TEXT("\\/"));
    return cut == WString::npos ? path : path.substr(cut + 1);
}

// Cancels the job in the spooler. The spooler delivers a job whole or not at all, so whatever was at the output
// path (perhaps the input document itself) stays as it was.
void CancelJob(HANDLE printer, DWORD jobId)
{
    if (jobId) SetJobW(printer, jobId, 0, nullptr, JOB_CONTROL_CANCEL);
    AbortPrinter(printer);
}

// True when the job was cancelled while it was written (the plug-in's output gate cancels failed secure jobs).
bool JobWasCancelled(HANDLE printer, DWORD jobId)
{
    std::vector<BYTE> data =
        QueryRecord([&](BYTE *out, DWORD size, DWORD *needed) { return GetJobW(printer, jobId, 1, out, size, needed); });
    if (data.empty()) return GetLastError() == ERROR_INVALID_PARAMETER;  // the job is gone
    const auto *job = reinterpret_cast<const JOB_INFO_1W *>(data.data());
    return (job->Status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) != 0;
}

} // namespace

constexpr PluginLoadTexts kRenderTexts = {"rendering", "the rendering plug-in has no DllGetClassObject"};

bool PluginModule::Load(const WString &path, std::string &error)
{
    ComPtr<IClassFactory> factory;
    if (!LoadPluginFactory(path, CLSID_OEMRENDER, kRenderTexts, library_, factory, error)) return false;
    // An IPrintOemPS2 object takes every finished block through its WritePrinter; an older one does not.
    ps2_ = SUCCEEDED(factory->CreateInstance(nullptr, IID_IPrintOemPS2, plugin_.put_void())) && plugin_;
    if (!ps2_ && (FAILED(factory->CreateInstance(nullptr, IID_IPrintOemPS, plugin_.put_void())) || !plugin_)) {
        error = "the rendering plug-in could not create its object";
        return false;
    }
    return true;
}

bool SelectOptions(const Ppd &ppd, const std::vector<std::pair<std::string, std::string>> &requested,
                   std::map<std::string, std::string> &selection, std::string &error,
                   const std::map<std::string, std::string> &stored, std::vector<std::string> *changes)
{
    selection.clear();
    for (const PpdFeature &f : ppd.features)
        if (!f.defaultOption.empty()) selection[f.keyword] = f.defaultOption;
    for (const auto &[keyword, option] : stored)
        if (const PpdFeature *f = ppd.Find(keyword); f && f->Find(option)) selection[keyword] = option;
    for (const auto &[keyword, option] : requested) {
        const PpdFeature *f = ppd.Find(keyword);
        if (!f) {
            error = "unknown feature \"" + keyword + "\"";
            return false;
        }
        if (!f->Find(option)) {
            error = "feature \"" + keyword + "\" has no option \"" + option + "\"";
            return false;
        }
        selection[keyword] = option;
    }
    std::set<std::string> explicitKeywords;
    for (const auto &choice : requested) explicitKeywords.insert(choice.first);
    std::vector<std::string> ignored;
    if (const PpdConstraint *c = ppd.ResolveConflicts(selection, explicitKeywords, changes ? *changes : ignored)) {
        error = "options conflict: " + c->keyword1 + "=" + selection[c->keyword1] + " and " + c->keyword2 + "=" +
                selection[c->keyword2];
        return false;
    }
    return true;
}

bool PrintDocument(const PrintRequest &request, const OemFieldSetter &setter, std::string &error)
{
    InputFile document;
    if (!document.Open(request.input, "the document", error)) return false;

    Printer printer;
    WString printerName = request.printer;
    if (!OpenPrinterW(printerName.data(), printer.put(), nullptr)) {
        error = "no printer named \"" + Narrow(printerName) + "\"";
        return false;
    }
    std::vector<BYTE> driverData = QueryRecord([&](BYTE *out, DWORD size, DWORD *needed) {
        return GetPrinterDriverW(printer.get(), nullptr, 3, out, size, needed);
    });
    if (driverData.empty()) {
        error = "cannot read the printer's driver (" + ErrorText(GetLastError()) + ")";
        return false;
    }
    const auto *driver = reinterpret_cast<const DRIVER_INFO_3W *>(driverData.data());

    Ppd ppd;
    if (!driver->pDataFile || !ppd.Load(driver->pDataFile, error)) {
        if (error.empty()) error = "the printer's driver names no PPD";
        return false;
    }
    // The printer's kept settings (printing preferences' Apply) stand unless the request overrides them.
    std::vector<BYTE> storedDevmode = ReadPrinterDevmode(printer.get());
    StoredDevmode storedParts;
    std::map<std::string, std::string> storedOptions;
    if (SplitStoredDevmode(storedDevmode.data(), storedDevmode.size(), storedParts))
        storedOptions = StoredFeatureSelection(ppd, storedParts.corePart);
    std::map<std::string, std::string> selection;
    std::vector<std::string> changes;
    if (!SelectOptions(ppd, request.options, selection, error, storedOptions, &changes)) return false;
    if (request.notice)
        for (const std::string &change : changes) request.notice("options: " + change + " to fit the PPD's constraints");

    WString pluginPath;
    if (!FindPluginModule(*driver, TEXT("OEMDriverFile1"), kRenderTexts, pluginPath, error)) return false;
    PluginModule module;
    if (!module.Load(pluginPath, error)) return false;

    DriverSettings settings;
    settings.options = selection;
    settings.psOutputOption = request.eps ? kPsOutputEps : 0;
    RenderSession session(module.Plugin(), module.HasWritePrinter(), module.Module(), printer.get(),
                          std::move(settings));
    session.SetBlockSize(request.blockSize);

    if (!session.EnableDriver() ||
        !session.BuildDevmode(ppd, selection, printerName, storedDevmode, request.fields, setter)) {
        error = session.Error();
        return false;
    }

    WString docName = request.docName.empty() ? FileNameOf(request.input) : request.docName;
    WString output = request.output;
    WString datatype = TEXT("RAW");
    DOC_INFO_1W doc{docName.data(), output.data(), datatype.data()};
    DWORD jobId = StartDocPrinterW(printer.get(), 1, reinterpret_cast<LPBYTE>(&doc));
    if (jobId == 0) {
        error = "the spooler refused the job (" + ErrorText(GetLastError()) + ")";
        CancelJob(printer.get(), 0);
        return false;
    }

    // Until the spooler has the whole job, any way out of here (an exception too) cancels it: closing the printer
    // with the document open would deliver what was written so far.
    struct Unfinished {
        HANDLE printer;
        DWORD jobId;
        bool finished = false;
        ~Unfinished()
        {
            if (!finished) CancelJob(printer, jobId);
        }
    } started{printer.get(), jobId};

    PromptAnswers prompts(request.replies);
    bool ok = session.EnablePdev(printerName) && Transcribe(document, session, docName, jobId);
    if (!ok) error = !session.Error().empty() ? session.Error() : document.Error();
    if (ok && !prompts.Problem().empty()) {
        ok = false;
        error = prompts.Problem();
    }
    if (ok && JobWasCancelled(printer.get(), jobId)) {
        ok = false;
        error = "the job was cancelled while it was written";
    }
    if (ok && !EndDocPrinter(printer.get())) {
        ok = false;
        error = "the spooler could not finish the job (" + ErrorText(GetLastError()) + ")";
    }
    started.finished = ok;
    return ok;
}

namespace {

struct DriverFile {
    const WCHAR *name;
    bool required;
};
// The demo driver's files; the companions that are not built yet are simply left out.
constexpr DriverFile kDriverFiles[] = {
    {TEXT("ZepPS.dll"), true},    {TEXT("ZepCL500.ppd"), true}, {TEXT("ZepCL500.cap"), true},
    {TEXT("ZepCL500.ini"), true}, {TEXT("ZepCL500.ver"), true}, {TEXT("ZepCoreUI.dll"), true},
    {TEXT("ZepUI.dll"), false},
    {TEXT("ZepCrypt.dll"), false}, {TEXT("ZepCard.dll"), false}, {TEXT("ZepJobInfo.dll"), false},
    {TEXT("ZepAppRelay.exe"), false}, {TEXT("ZepNetOpt.dll"), false}, {TEXT("ZepUsbOpt.dll"), false},
    {TEXT("ZepAsk.dll"), false},  {TEXT("ZepCL500.hlp"), false},
};

bool Exists(const WString &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

bool InstallDemoPrinter(const WString &sourceDir, std::string &error)
{
    // As on Windows, the files go into the printer-driver directory first; the spooler moves them into place.
    WCHAR buffer[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(buffer), sizeof buffer, &needed)) {
        error = "cannot find the printer-driver directory (" + ErrorText(GetLastError()) + ")";
        return false;
    }
    WString driverDir = buffer;
    WString dependent;
    for (const DriverFile &f : kDriverFiles) {
        WString source = JoinPath(sourceDir, f.name);
        if (!Exists(source)) {
            if (!f.required) continue;
            error = "the driver file " + Narrow(source) + " is missing";
            return false;
        }
        WString path = JoinPath(driverDir, f.name);
        if (!CopyFileW(source.c_str(), path.c_str(), FALSE)) {
            error = "cannot copy " + Narrow(source) + " (" + ErrorText(GetLastError()) + ")";
            return false;
        }
        dependent += path;
        dependent += WCHAR(0);
    }
    dependent += WCHAR(0);

    // The configuration module is the core driver's own (the spooler calls its DrvDocumentPropertySheets when the
    // printer is added); the UI plug-in is a dependent file that the plug-in INI file names.
    WString driverPath = JoinPath(driverDir, TEXT("ZepPS.dll"));
    WString configPath = JoinPath(driverDir, TEXT("ZepCoreUI.dll"));
    WString dataPath = JoinPath(driverDir, TEXT("ZepCL500.ppd"));
    WString driverName = kDemoDriver;
    WString datatype = TEXT("RAW");

    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = driverName.data();
    info.pDriverPath = driverPath.data();
    info.pDataFile = dataPath.data();
    info.pConfigFile = configPath.data();
    info.pDependentFiles = dependent.data();
    info.pDefaultDataType = datatype.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_ALL_FILES)) {
        error = "cannot install the driver (" + ErrorText(GetLastError()) + ")";
        return false;
    }

    WString printerName = kDemoPrinter;
    WString port = TEXT("FILE:");
    WString processor = TEXT("WinPrint");
    PRINTER_INFO_2W printerInfo{};
    printerInfo.pPrinterName = printerName.data();
    printerInfo.pPortName = port.data();
    printerInfo.pDriverName = driverName.data();
    printerInfo.pPrintProcessor = processor.data();
    printerInfo.pDatatype = datatype.data();
    printerInfo.Attributes = PRINTER_ATTRIBUTE_LOCAL;

    Printer added(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printerInfo)));
    if (!added && GetLastError() == ERROR_PRINTER_ALREADY_EXISTS) {
        // Installing again replaces the printer, and with it any stored settings.
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        Printer old;
        if (OpenPrinterW(printerName.data(), old.put(), &access)) DeletePrinter(old.get());
        old.reset();
        added.reset(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printerInfo)));
    }
    if (!added) {
        error = "cannot add the printer \"" + Narrow(printerName) + "\" (" + ErrorText(GetLastError()) + ")";
        return false;
    }
    return true;
}

} // namespace zep::host
