// Sample encryption library: its settings dialog (DispCryptoUIEx) and print-time password prompt (DispPasswordUI).
#include "companions/crypt/crypt_ids.h"
#include "companions/crypt/zepcrypt.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

HINSTANCE g_module = nullptr;

constexpr DWORD kModes = 2;
constexpr DWORD kLevels = 4;
constexpr DWORD kMaxHours = 23;
constexpr DWORD kMaxMinutes = 59;
// Dialog modes the plug-in passes: 1 when the print-time prompt cannot reach the user (shared or network
// printer, or a later Windows), 2 when an IC card supplies the key and no password is used.
constexpr DWORD kModeNoPrompt = 1;
constexpr DWORD kModeCard = 2;

struct SettingsDialog {
    ZepCryptSetting *setting;
    DWORD mode;
};

bool IsPasswordChar(WCHAR c) { return c > 0x20 && c < 0x7F; }

void FillList(HWND dialog, int id, UINT firstString, DWORD count, DWORD selected)
{
    for (DWORD i = 0; i < count; ++i) {
        WCHAR text[64] = {};
        LoadStringW(g_module, firstString + i, text, static_cast<int>(std::size(text)));
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, std::min(selected, count - 1), 0);
}

void Complain(HWND dialog, UINT id, int focus)
{
    WCHAR text[256] = {};
    LoadStringW(g_module, id, text, static_cast<int>(std::size(text)));
    MessageBoxW(dialog, text, nullptr, MB_OK | MB_ICONSTOP);
    SetFocus(GetDlgItem(dialog, focus));
}

void InitSettings(HWND dialog, const SettingsDialog &d)
{
    const ZepCryptSetting &s = *d.setting;
    SendDlgItemMessageW(dialog, IDC_CRYPTO_PASSWORD, EM_LIMITTEXT, kZepCryptUiPassword, 0);
    SendDlgItemMessageW(dialog, IDC_CRYPTO_HOURS, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageW(dialog, IDC_CRYPTO_MINUTES, EM_LIMITTEXT, 2, 0);
    WCHAR password[kZepCryptUiPassword + 1] = {};
    for (DWORD i = 0; i < kZepCryptUiPassword && s.szPassword[i]; ++i)
        password[i] = static_cast<BYTE>(s.szPassword[i]);
    SetDlgItemTextW(dialog, IDC_CRYPTO_PASSWORD, password);
    FillList(dialog, IDC_CRYPTO_MODE, IDS_CRYPTO_MODE_FIRST, kModes, s.dwCryptoMode);
    FillList(dialog, IDC_CRYPTO_LEVEL, IDS_CRYPTO_LEVEL_FIRST, kLevels, s.dwCryptoLevel);
    SetDlgItemInt(dialog, IDC_CRYPTO_HOURS, std::min<DWORD>(HIWORD(s.dwCryptoTime), kMaxHours), FALSE);
    SetDlgItemInt(dialog, IDC_CRYPTO_MINUTES, std::min<DWORD>(LOWORD(s.dwCryptoTime), kMaxMinutes), FALSE);
    CheckDlgButton(dialog, IDC_CRYPTO_ASK, s.dwAskPassword ? BST_CHECKED : BST_UNCHECKED);
    if (d.mode == kModeNoPrompt || d.mode == kModeCard) {
        CheckDlgButton(dialog, IDC_CRYPTO_ASK, BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_CRYPTO_ASK), FALSE);
    }
    if (d.mode == kModeCard) EnableWindow(GetDlgItem(dialog, IDC_CRYPTO_PASSWORD), FALSE);
}

// OK: a password unless it is asked for at print time or a card supplies the key, and a keeping time.
void AcceptSettings(HWND dialog, const SettingsDialog &d)
{
    WCHAR password[kZepCryptUiPassword + 2] = {};
    GetDlgItemTextW(dialog, IDC_CRYPTO_PASSWORD, password, static_cast<int>(std::size(password)));
    const int length = lstrlenW(password);
    const bool ask = IsDlgButtonChecked(dialog, IDC_CRYPTO_ASK) == BST_CHECKED;
    const bool allValid = std::all_of(password, password + length, IsPasswordChar);
    const bool needed = !ask && d.mode != kModeCard;
    if (!allValid || length > static_cast<int>(kZepCryptUiPassword) || (needed && length == 0)) {
        Complain(dialog, IDS_CRYPTO_BAD_PASSWORD, IDC_CRYPTO_PASSWORD);
        return;
    }
    BOOL hoursOk = FALSE, minutesOk = FALSE;
    const UINT hours = GetDlgItemInt(dialog, IDC_CRYPTO_HOURS, &hoursOk, FALSE);
    const UINT minutes = GetDlgItemInt(dialog, IDC_CRYPTO_MINUTES, &minutesOk, FALSE);
    if (!hoursOk || !minutesOk || hours > kMaxHours || minutes > kMaxMinutes || hours + minutes == 0) {
        Complain(dialog, IDS_CRYPTO_BAD_TIME, IDC_CRYPTO_HOURS);
        return;
    }
    ZepCryptSetting &s = *d.setting;
    const LRESULT mode = SendDlgItemMessageW(dialog, IDC_CRYPTO_MODE, CB_GETCURSEL, 0, 0);
    const LRESULT level = SendDlgItemMessageW(dialog, IDC_CRYPTO_LEVEL, CB_GETCURSEL, 0, 0);
    if (mode >= 0) s.dwCryptoMode = static_cast<DWORD>(mode);
    if (level >= 0) s.dwCryptoLevel = static_cast<DWORD>(level);
    s.dwCryptoTime = MAKELONG(minutes, hours);
    s.dwAskPassword = ask ? 1 : 0;
    std::memset(s.szPassword, 0, sizeof s.szPassword);
    for (int i = 0; i < length; ++i) s.szPassword[i] = static_cast<CHAR>(password[i]);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitSettings(dialog, *reinterpret_cast<const SettingsDialog *>(lParam));
        return TRUE;
    }
    auto d = reinterpret_cast<const SettingsDialog *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!d || message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        AcceptSettings(dialog, *d);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK PasswordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, IDC_CRYPTO_PASSWORD, EM_LIMITTEXT, kZepCryptMaxPassword, 0);
        return TRUE;
    }
    auto out = reinterpret_cast<LPSTR>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!out || message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        WCHAR text[kZepCryptMaxPassword + 2] = {};
        GetDlgItemTextW(dialog, IDC_CRYPTO_PASSWORD, text, static_cast<int>(std::size(text)));
        const int length = lstrlenW(text);
        if (length == 0 || length > static_cast<int>(kZepCryptMaxPassword) || !std::all_of(text, text + length, IsPasswordChar)) {
            Complain(dialog, IDS_CRYPTO_BAD_PASSWORD, IDC_CRYPTO_PASSWORD);
            return TRUE;
        }
        for (int i = 0; i <= length; ++i) out[i] = static_cast<CHAR>(text[i]);
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

// Edits the settings in the library's own dialog; 1 when the user accepted them (setting then holds them).
extern "C" DECLSPEC_EXPORT int WINAPI DispCryptoUIEx(HWND owner, ZepCryptSetting *setting, DWORD mode)
{
    if (!setting || mode > kModeCard) return 0;
    // The dialog works on a copy, so Cancel or a failed dialog leaves the caller's record as it was.
    ZepCryptSetting working = *setting;
    working.szPassword[sizeof working.szPassword - 1] = 0;
    SettingsDialog d{&working, mode};
    const INT_PTR result = DialogBoxParamW(g_module, MAKEINTRESOURCEW(IDD_CRYPTO_SETTINGS), owner, SettingsProc,
                                           reinterpret_cast<LPARAM>(&d));
    if (result != 1) return 0;
    *setting = working;
    return 1;
}

// Asks for the job's password at print time into out (33 bytes); 1 on OK, 0 when cancelled (out untouched).
extern "C" DECLSPEC_EXPORT int WINAPI DispPasswordUI(LPSTR out)
{
    if (!out) return 0;
    CHAR typed[kZepCryptMaxPassword + 1] = {};
    const INT_PTR result = DialogBoxParamW(g_module, MAKEINTRESOURCEW(IDD_CRYPTO_PASSWORD), nullptr, PasswordProc,
                                           reinterpret_cast<LPARAM>(typed));
    if (result != 1) return 0;
    std::memcpy(out, typed, sizeof typed);
    return 1;
}
