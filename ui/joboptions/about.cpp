// The About dialog (template 117): driver version, PPD version, PPD file and copyright line.
#include "ui/joboptions/about.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/config.h"
#include "common/handle.h"
#include "resources/zepui_ids.h"
#include "ui/dlgutil.h"
#include "ui/joboptions/dialogs.h"
#include "ui/picture.h"
#include "ui/sheetdata.h"
#include "ui/state.h"

namespace zep {
namespace {

constexpr int kPicture = 1567;
constexpr int kPpdFileLabel = 1568;
constexpr int kDriverVersionLabel = 1562;
constexpr int kPpdVersionLabel = 1563;
constexpr int kCopyrightLabel = 1564;
constexpr int kPpdLineBytes = 256;
constexpr DWORD kPpdMaxBytes = 32u << 20; // far beyond any PPD; a bigger file is not read
constexpr int kDriverVerChars = 31;
constexpr int kSuffixLimit = 247;
// The band the hidden double click writes into.
constexpr int kBandGap = 2;
constexpr int kBandHeight = 20;
constexpr int kBandInset = 10;

struct AboutState {
    const AboutTexts *texts;
    const AboutEnvironment *env;
};

// The file's bytes (empty when it cannot be read).
std::vector<char> ReadWholeFile(LPCWSTR path)
{
    std::vector<char> bytes;
    File file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return bytes;
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kPpdMaxBytes) return bytes;
    bytes.resize(size);
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), size, &read, nullptr)) read = 0;
    bytes.resize(read);
    return bytes;
}

// The file in lines of at most 255 bytes as a C runtime line reader gives them: a longer line continues in the
// next piece, and each piece keeps its line feed.
std::vector<std::string_view> PpdLines(const std::vector<char> &bytes)
{
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = pos;
        while (end < bytes.size() && end - pos < kPpdLineBytes - 1) {
            if (bytes[end++] == '\n') break;
        }
        lines.emplace_back(bytes.data() + pos, end - pos);
        pos = end;
    }
    return lines;
}

void Widen(std::string_view text, WCHAR *out, int cchOut)
{
    const int n = std::min<int>(static_cast<int>(text.size()), cchOut - 1);
    const int written = n > 0 ? MultiByteToWideChar(CP_ACP, 0, text.data(), n, out, cchOut - 1) : 0;
    out[written > 0 ? written : 0] = 0;
}

std::string_view UpToLineEnd(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

void DrawInternalVersion(HWND dialog, const AboutTexts &texts)
{
    if (!texts.internalVersion[0]) return;
    RECT copyright = {}, client = {};
    GetWindowRect(GetDlgItem(dialog, kCopyrightLabel), &copyright);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&copyright), 2);
    GetClientRect(dialog, &client);
    RECT band = {client.left + kBandInset, copyright.bottom + kBandGap, client.right - kBandInset,
                 copyright.bottom + kBandGap + kBandHeight};
    WindowDc dc(dialog);
    if (!dc) return;
    auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    Selected withFont(dc.get(), font);
    SetBkMode(dc.get(), TRANSPARENT);
    DrawTextW(dc.get(), texts.internalVersion, -1, &band, DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

// Ctrl and Shift held and the double click inside the driver version value.
bool IsHiddenClick(HWND dialog, WPARAM keys, LPARAM where)
{
    if ((keys & (MK_CONTROL | MK_SHIFT)) != (MK_CONTROL | MK_SHIFT)) return false;
    RECT value = {};
    GetWindowRect(GetDlgItem(dialog, kDriverVersionLabel), &value);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&value), 2);
    const POINT pt = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    return PtInRect(&value, pt) != FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const AboutState &s = *reinterpret_cast<const AboutState *>(lParam);
        FitCaptionHelp(dialog, s.env->newSystem);
        SetDlgItemTextW(dialog, kPpdVersionLabel, s.texts->ppdVersion);
        SetDlgItemTextW(dialog, kCopyrightLabel, s.texts->copyright);
        SetDlgItemTextW(dialog, kDriverVersionLabel, s.texts->driverVersion);
        SetDlgItemTextW(dialog, kPpdFileLabel, s.texts->ppdFile);
        return TRUE;
    }
    auto s = reinterpret_cast<const AboutState *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!s) return FALSE;
    switch (message) {
    case WM_HELP:
    case WM_CONTEXTMENU:
        return OpenControlHelp(s->env->helpFile, message, wParam, lParam);
    case WM_DRAWITEM:
        if (wParam != kPicture) return FALSE;
        DrawTransparentBitmap(dialog, s->env->module, IDB_ABOUT, kPicture);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        if (IsHiddenClick(dialog, wParam, lParam)) DrawInternalVersion(dialog, *s->texts);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// The data file (the PPD) of the printer's driver, "" when the spooler cannot say.
void DriverDataFile(HANDLE printer, WCHAR (&out)[MAX_PATH])
{
    out[0] = 0;
    if (!printer) return;
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_2W)) return;
    HeapBlock<BYTE> block(needed);
    if (!block || !GetPrinterDriverW(printer, nullptr, 2, block.get(), needed, &needed)) return;
    auto info = reinterpret_cast<const DRIVER_INFO_2W *>(block.get());
    if (info->pDataFile) lstrcpynW(out, info->pDataFile, MAX_PATH);
}

} // namespace

bool PpdPathFromIni(LPCWSTR pluginIni, WCHAR (&out)[MAX_PATH])
{
    out[0] = 0;
    if (!pluginIni) return false;
    // The extension's full stop, not the first one of the path: a folder may have a full stop in its name.
    const int length = lstrlenW(pluginIni);
    int dot = -1;
    for (int i = length - 1; i >= 0 && pluginIni[i] != '\\' && pluginIni[i] != '/'; --i) {
        if (pluginIni[i] == '.') {
            dot = i;
            break;
        }
    }
    if (dot < 0 || dot + 4 >= MAX_PATH) return false;
    lstrcpynW(out, pluginIni, dot + 2);
    lstrcatW(out, TEXT("PPD"));
    return true;
}

void ReadPpdTexts(LPCWSTR ppdPath, AboutTexts &texts)
{
    texts.ppdVersion[0] = texts.copyright[0] = 0;
    if (!ppdPath || !ppdPath[0]) return;
    const std::vector<char> bytes = ReadWholeFile(ppdPath);
    const std::vector<std::string_view> lines = PpdLines(bytes);
    for (std::string_view line : lines) {
        const size_t quote = line.find('"');
        if (line.find("FileVersion") == std::string_view::npos || quote == std::string_view::npos) continue;
        std::string_view value = line.substr(quote + 1);
        value = UpToLineEnd(value.substr(0, value.find('"')));
        Widen(value, texts.ppdVersion, kAboutTextChars + 1);
        break;
    }
    for (std::string_view line : lines) {
        if (line.find("Copyright") == std::string_view::npos) continue;
        const size_t space = line.find(' ');
        if (space != std::string_view::npos) Widen(UpToLineEnd(line.substr(space + 1)), texts.copyright, kAboutTextChars + 1);
        break;
    }
}

void InternalSuffix(LPCWSTR internalVer, WCHAR *out, int cchOut)
{
    out[0] = 0;
    int hyphens = 0;
    bool quoted = false;
    LPCWSTR p = internalVer;
    for (; *p && hyphens < 2; ++p) {
        if (*p == '"') quoted = !quoted;
        else if (*p == '-' && !quoted) ++hyphens;
    }
    if (hyphens < 2) return;
    if (*p == '"') ++p;
    const int length = lstrlenW(p);
    if (length <= 1) return;
    lstrcpynW(out, p, std::min(length, cchOut)); // all but the final character
}

void ReadDriverVersion(LPCWSTR versionFile, AboutTexts &texts)
{
    texts.driverVersion[0] = texts.internalVersion[0] = 0;
    if (!versionFile || !versionFile[0]) return;
    GetPrivateProfileStringW(TEXT("Version"), TEXT("InternalVer"), TEXT(""), texts.internalVersion,
                             kInternalVersionChars + 1, versionFile);
    GetPrivateProfileStringW(TEXT("Version"), TEXT("OptionVer"), TEXT(""), texts.driverVersion, kAboutTextChars + 1,
                             versionFile);
    if (texts.driverVersion[0]) return;

    WCHAR driverVer[kDriverVerChars + 1] = {};
    GetPrivateProfileStringW(TEXT("Version"), TEXT("DriverVer"), TEXT(""), driverVer, kDriverVerChars + 1,
                             versionFile);
    LPCWSTR version = driverVer;
    while (*version && *version != ',') ++version;
    if (*version == ',') ++version;
    else version = TEXT("");
    int n = 0;
    while (version[n] && version[n] != '"') ++n;
    lstrcpynW(texts.driverVersion, version, n + 1);

    WCHAR suffix[kInternalVersionChars + 1] = {};
    InternalSuffix(texts.internalVersion, suffix, kInternalVersionChars + 1);
    if (lstrlenW(suffix) < kSuffixLimit) lstrcatW(texts.driverVersion, suffix);
}

INT_PTR RunAboutDialog(HWND owner, const AboutTexts &texts, const AboutEnvironment &env)
{
    AboutState state{&texts, &env};
    return DialogBoxParamW(env.module, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}

INT_PTR ShowAboutDialog(HWND owner, OemUiContext *ctx)
{
    if (!ctx) return -1;
    const HANDLE printer = SheetPrinter(*ctx);
    HeapBlock<AboutTexts> texts(sizeof(AboutTexts));
    if (!texts) return -1;
    WCHAR path[MAX_PATH + 1] = {};
    if (printer && FindVersionFile(printer, path)) ReadDriverVersion(path, *texts.get());
    WCHAR ppd[MAX_PATH] = {};
    if (PpdPathFromIni(ctx->pwszPluginIni, ppd)) ReadPpdTexts(ppd, *texts.get());
    DriverDataFile(printer, texts.get()->ppdFile);
    AboutEnvironment env;
    env.module = g_ui.module;
    env.newSystem = g_ui.newSystem;
    env.helpFile = g_ui.helpAvailable && g_ui.helpFilePath[0] ? g_ui.helpFilePath : nullptr;
    return RunAboutDialog(owner, *texts.get(), env);
}

} // namespace zep
