// Installing the demo driver and printing a document through the rendering plug-in into a spooler job.
#pragma once
#include "common/handle.h"
#include "host/core/prompt.h"
#include "host/core/session.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zep::host {

inline constexpr const WCHAR *kDemoPrinter = TEXT("Zep Demo");
inline constexpr const WCHAR *kDemoDriver = TEXT("Zep CL500 PS");

// A loaded rendering plug-in module and its object; the object is released before the module is freed.
class PluginModule {
public:
    bool Load(const WString &path, std::string &error);
    IPrintOemPS *Plugin() const { return plugin_.get(); }
    bool HasWritePrinter() const { return ps2_; }
    HMODULE Module() const { return library_.get(); }

private:
    Library library_;
    ComPtr<IPrintOemPS> plugin_;
    bool ps2_ = false;
};

struct PrintRequest {
    WString printer = kDemoPrinter;
    WString input;
    WString output;
    WString docName;  // empty: the input file's name
    std::vector<std::pair<std::string, std::string>> options;  // PPD keyword, option name
    std::vector<std::pair<std::string, std::string>> fields;   // plug-in DEVMODE field, value
    bool eps = false;
    DWORD blockSize = 65536;  // of the finished blocks that pass the plug-in's WritePrinter
    PromptReplies replies;    // the answers to the job's prompts; none: that prompt fails the job
    std::function<void(const std::string &)> notice;  // what the job changed on its own, for the user; may be empty
};

// Prints the document; on failure the message says why, the spooler job is cancelled and the output path is left
// as it was.
bool PrintDocument(const PrintRequest &request, const OemFieldSetter &setter, std::string &error);

// The PPD keyword -> option map of a job: the PPD's defaults, the printer's kept choices (`stored`) over them,
// and the requested options on top. A kept or default choice that conflicts with a requested one changes to one
// that fits (each change added to `changes`). False (with a message) for a keyword the PPD lacks, an option the
// feature lacks, or requested choices the PPD's constraints forbid together.
bool SelectOptions(const Ppd &ppd, const std::vector<std::pair<std::string, std::string>> &requested,
                   std::map<std::string, std::string> &selection, std::string &error,
                   const std::map<std::string, std::string> &stored = {}, std::vector<std::string> *changes = nullptr);

// Installs (or replaces) the demo driver from the files in sourceDir, and the printer "Zep Demo".
bool InstallDemoPrinter(const WString &sourceDir, std::string &error);

} // namespace zep::host
