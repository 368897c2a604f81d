// zepdrv: installs the demo printer, prints DSC PostScript through the rendering plug-in into a spooler job, runs
// printing preferences headless and (on Linux) draws a module's dialog to a PNG.
#include "host/core/devmode_fields.h"
#include "host/core/job.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "host/prefs.h"

#ifdef _WIN32
#include <shellapi.h>
#else
#include "zep_gdi.h"
#include "zep_platform.h"
#endif

namespace {

using zep::host::Narrow;
using zep::host::WString;
using zep::host::Widen;

// One line means one line: control characters from user-given values (names, paths, option values) are escaped.
std::string OneLine(const std::string &message)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (char c : message) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) out += c;
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 15];
    }
    return out;
}

int Fail(const std::string &message)
{
    std::fprintf(stderr, "zepdrv: %s\n", OneLine(message).c_str());
    return 1;
}

// Paths from and to the UTF-8 that zepdrv works in; on Windows a narrow path would be in the ANSI code page.
std::filesystem::path PathOf(const std::string &utf8) { return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())); }
std::string Utf8Of(const std::filesystem::path &path)
{
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The folder of the running executable, through Win32 and, where the layer cannot tell, the host.
std::filesystem::path ExecutableDir()
{
    WCHAR buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return PathOf(Narrow(WString(buffer, n))).parent_path();
#ifndef _WIN32
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
#endif
    return {};
}

// The staged driver files: --driver-dir, else "driver" beside the executable, else the build's stage folder.
std::filesystem::path FindDriverDir(const std::string &given)
{
    if (!given.empty()) return std::filesystem::absolute(PathOf(given));
    std::filesystem::path exe = ExecutableDir();
    for (const auto &candidate : {exe / "driver", exe / ".." / "stage" / "driver"})
        if (std::filesystem::exists(candidate / "ZepPS.dll")) return std::filesystem::weakly_canonical(candidate);
    return {};
}

bool SplitPair(const std::string &text, std::string &key, std::string &value)
{
    size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    key = text.substr(0, eq);
    value = text.substr(eq + 1);
    return true;
}

// -o KEYWORD=OPTION, the keyword with or without the PPD's asterisk.
bool ParseOptions(const std::vector<std::string> &given, std::vector<std::pair<std::string, std::string>> &out,
                  std::string &error)
{
    for (const std::string &o : given) {
        std::string keyword, option;
        if (!SplitPair(o, keyword, option)) {
            error = "-o wants KEYWORD=OPTION, not \"" + o + "\"";
            return false;
        }
        if (keyword[0] == '*') keyword.erase(0, 1);
        out.emplace_back(keyword, option);
    }
    return true;
}

// -s FIELD=VALUE through the plug-ins' own record layout.
bool SetField(BYTE *record, DWORD size, const std::string &field, const std::string &value, std::string &error)
{
    if (size < sizeof(zep::OemDevmode)) {
        error = "the plug-in's DEVMODE section is too small for field \"" + field + "\"";
        return false;
    }
    zep::OemDevmode dm;
    std::memcpy(&dm, record, sizeof dm);
    if (!zep::host::SetOemDevmodeField(dm, field, value, &error)) return false;
    std::memcpy(record, &dm, sizeof dm);
    return true;
}

#ifdef _WIN32
// Windows hands main() its arguments in the ANSI code page; the wide command line keeps every character of a
// document name or path, and the rest of zepdrv reads UTF-8 as it does on Linux.
std::vector<std::string> Utf8Arguments()
{
    std::vector<std::string> out;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return out;
    for (int i = 0; i < count; ++i) out.push_back(Narrow(WString(wide[i])));
    LocalFree(wide);
    return out;
}
#endif

int Run(int argc, char **argv)
{
#ifdef _WIN32
    std::vector<std::string> utf8 = Utf8Arguments();
    std::vector<char *> utf8Pointers;
    for (std::string &a : utf8) utf8Pointers.push_back(a.data());
    utf8Pointers.push_back(nullptr);
    if (!utf8.empty()) {
        argc = static_cast<int>(utf8.size());
        argv = utf8Pointers.data();
    }
#endif
    CLI::App app{"Stand-in PostScript core driver for the Zep plug-ins", "zepdrv"};
    std::string root, driverDir;
    app.add_option("--root", root, "folder of the virtual Windows machine (default $ZEP_ROOT, else ~/.local/share/zep)");
    app.add_option("--driver-dir", driverDir, "folder of the driver files to install (default: the build's stage)");
    app.require_subcommand(1, 1);

    CLI::App *install = app.add_subcommand("install", "install the demo driver and the printer \"Zep Demo\"");

    CLI::App *print = app.add_subcommand("print", "print a DSC PostScript file into a spooler job");
    std::string printer = "Zep Demo", docName, input, output;
    std::vector<std::string> options, fields;
    bool eps = false;
    print->add_option("-P", printer, "printer name");
    print->add_option("-o", options, "KEYWORD=OPTION: a PPD feature's option")->allow_extra_args(false);
    print->add_option("-s", fields, "FIELD=VALUE: a field of the plug-in's DEVMODE section")->allow_extra_args(false);
    print->add_option("-J", docName, "document name (default: the file's name)");
    print->add_flag("--eps", eps, "Encapsulated PostScript output");
    std::string reply;
    CLI::Option *replyOption =
        print->add_option("--reply", reply, "JOBNAME: the answer to the job-name prompt (without it a prompt fails the job)");
    std::string password;
    CLI::Option *passwordOption = print->add_option(
        "--password", password, "PASSWORD: the answer to the password prompt (without it a prompt fails the job)");
    print->add_option("FILE", input, "DSC PostScript document")->required();
    print->add_option("-O", output, "output file of the job")->required();

#ifndef _WIN32
    CLI::App *snapshot = app.add_subcommand("snapshot", "draw a dialog of a module to a PNG");
    std::string snapModule, snapOutput;
    int snapDialog = 0;
    snapshot->add_option("MODULE", snapModule, "module file, or ZepPS / ZepUI for the staged module")->required();
    snapshot->add_option("DIALOG_ID", snapDialog, "dialog template id")->required();
    snapshot->add_option("-O", snapOutput, "PNG file to write")->required();
#endif

    CLI::App *prefs = app.add_subcommand("prefs", "open printing preferences headless and act on them as a user would");
    std::string prefsPrinter = "Zep Demo", prefsSnapshots;
    std::vector<std::string> prefsActions;
    std::vector<std::string> prefsOptions;
    prefs->add_option("-P", prefsPrinter, "printer name");
    prefs->add_option("-o", prefsOptions,
                      "KEYWORD=OPTION: a PPD feature's option, as the printer's properties would set an installable one")
        ->allow_extra_args(false);
    prefs->add_option("--do", prefsActions,
                      "ACTION, in order, on the topmost window: page NAME | click ID | type ID TEXT | "
                      "select ID POSITION | answer BUTTON | dump | apply | cancel")
        ->allow_extra_args(false);
#ifndef _WIN32
    prefs->add_option("--snapshot", prefsSnapshots,
                      "DIR: a PNG of every page (each shown once first) and of every dialog as it opens");
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        return Fail(e.what());
    }

#ifndef _WIN32
    if (!root.empty()) ZepSetRoot(std::filesystem::absolute(root).string().c_str());
#endif

    std::string error;
    if (*install) {
        std::filesystem::path dir = FindDriverDir(driverDir);
        if (dir.empty()) return Fail("cannot find the driver files; give --driver-dir");
        if (!zep::host::InstallDemoPrinter(Widen(Utf8Of(dir)), error)) return Fail(error);
        return 0;
    }

#ifndef _WIN32
    if (*snapshot) {
        std::filesystem::path module = PathOf(snapModule);
        if (snapModule == "ZepPS" || snapModule == "ZepUI") {
            std::filesystem::path dir = FindDriverDir(driverDir);
            if (dir.empty()) return Fail("cannot find the driver files; give --driver-dir");
            module = dir / (snapModule + ".dll");
        }
        static const char *const kProblems[] = {"", "cannot load the module", "the module has no such dialog",
                                                "cannot write the PNG"};
        int rc = ZepSnapshotDialog(Widen(Utf8Of(std::filesystem::absolute(module))).c_str(), snapDialog,
                                   std::filesystem::absolute(PathOf(snapOutput)).string().c_str());
        if (rc != 0) return Fail(std::string(kProblems[rc >= 1 && rc <= 3 ? rc : 3]) + ": " + Utf8Of(module));
        return 0;
    }
#endif
    if (*prefs) {
        zep::host::PrefsRequest request;
        request.printer = Widen(prefsPrinter);
        request.actions = prefsActions;
        if (!ParseOptions(prefsOptions, request.options, error)) return Fail(error);
        if (!prefsSnapshots.empty()) request.snapshotDir = std::filesystem::absolute(PathOf(prefsSnapshots)).string();
        if (!zep::host::RunPrefs(request, stdout, error)) return Fail(error);
        return 0;
    }

    zep::host::PrintRequest request;
    request.printer = Widen(printer);
    request.input = Widen(input);
    request.output = Widen(Utf8Of(std::filesystem::absolute(PathOf(output))));
    request.docName = Widen(docName);
    if (request.docName.empty()) request.docName = Widen(Utf8Of(PathOf(input).filename()));
    request.eps = eps;
    if (replyOption->count() > 0) {
        if (reply.empty()) return Fail("--reply wants a job name");
        request.replies.jobName = Widen(reply);
    }
    if (passwordOption->count() > 0) {
        if (password.empty()) return Fail("--password wants a password");
        request.replies.password = Widen(password);
    }
    if (!ParseOptions(options, request.options, error)) return Fail(error);
    for (const std::string &s : fields) {
        std::string field, value;
        if (!SplitPair(s, field, value)) return Fail("-s wants FIELD=VALUE, not \"" + s + "\"");
        request.fields.emplace_back(field, value);
    }
    request.notice = [](const std::string &text) { std::fprintf(stderr, "zepdrv: %s\n", OneLine(text).c_str()); };
    if (!zep::host::PrintDocument(request, SetField, error)) return Fail(error);
    return 0;
}

} // namespace

// Every failure is one line and a non-zero exit, an exception too (an allocation that cannot be met, a path the
// library refuses).
int main(int argc, char **argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        return Fail("out of memory");
    } catch (const std::exception &e) {
        return Fail(e.what());
    } catch (...) {
        return Fail("an unexpected failure");
    }
}
