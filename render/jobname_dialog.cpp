// The job-name dialog: its logic over a narrow view, and the dialog procedure that gives it a window.
#include "render/jobname_dialog.h"

#include <algorithm>
#include <iterator>

#include "common/jobname.h"
#include "render/state.h"

namespace zep {

void JobNameDialogInit(JobNameDialogView &view, const OemDevmode &dm)
{
    view.LimitEdit(kJobNameChars);
    // The stored name may lack its NUL in a crafted record; the edit gets at most the 16 characters.
    WCHAR name[kJobNameChars + 1] = {};
    for (int i = 0; i < kJobNameChars && dm.wszJobName[i]; ++i) name[i] = dm.wszJobName[i];
    view.SetEditText(name);
    view.CentreTopmost();
}

void JobNameEditNotify(JobNameDialogView &view, WORD code)
{
    // The input method would compose outside the filter; typing goes straight into the edit instead.
    view.DetachInputMethod();
    if (code != EN_UPDATE) return;
    WCHAR text[kJobNameChars + 1] = {};
    view.GetEditText(text, kJobNameChars + 1);
    DWORD start = 0, end = 0;
    view.GetEditSelection(&start, &end);
    int dropped = FilterText(text, IsJobNameChar);
    if (dropped == 0) return;
    view.Beep();
    view.SetEditText(text);
    DWORD caret = CaretAfterFilter(end, dropped);
    view.SetEditSelection(caret, caret);
}

void JobNameDialogOk(JobNameDialogView &view, OemDevmode &dm)
{
    WCHAR name[kJobNameChars + 1] = {};
    view.GetEditText(name, kJobNameChars + 1);
    if (!name[0]) {
        view.ShowNameMissing();
        view.FocusEdit();
        return;
    }
    std::copy(std::begin(name), std::end(name), dm.wszJobName);
    view.Close(1);
}

namespace {

// The view on the dialog's own window and its controls.
class WindowView final : public JobNameDialogView {
public:
    explicit WindowView(HWND dialog) : dialog_(dialog) {}

    void LimitEdit(int chars) override
    {
        SendDlgItemMessageW(dialog_, IDC_JOBNAME_EDIT, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
    }
    void SetEditText(LPCWSTR text) override { SetDlgItemTextW(dialog_, IDC_JOBNAME_EDIT, text); }
    void GetEditText(WCHAR *out, int cch) override
    {
        out[0] = 0;
        GetDlgItemTextW(dialog_, IDC_JOBNAME_EDIT, out, cch);
    }
    void GetEditSelection(DWORD *start, DWORD *end) override
    {
        SendDlgItemMessageW(dialog_, IDC_JOBNAME_EDIT, EM_GETSEL, reinterpret_cast<WPARAM>(start),
                            reinterpret_cast<LPARAM>(end));
    }
    void SetEditSelection(DWORD start, DWORD end) override
    {
        SendDlgItemMessageW(dialog_, IDC_JOBNAME_EDIT, EM_SETSEL, start, static_cast<LPARAM>(end));
    }
    void DetachInputMethod() override { ImmAssociateContext(GetDlgItem(dialog_, IDC_JOBNAME_EDIT), nullptr); }
    void CentreTopmost() override
    {
        RECT r = {};
        GetWindowRect(dialog_, &r);
        const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2;
        const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2;
        SetWindowPos(dialog_, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
    }
    void Beep() override { MessageBeep(0xFFFFFFFF); }
    void ShowNameMissing() override
    {
        WCHAR text[256] = {};
        LoadStringW(g_render.module, IDS_INPUT_JOB_NAME, text, static_cast<int>(std::size(text)));
        MessageBoxW(dialog_, text, nullptr, MB_OK | MB_ICONERROR);
    }
    void FocusEdit() override { SetFocus(GetDlgItem(dialog_, IDC_JOBNAME_EDIT)); }
    void Close(INT_PTR result) override { EndDialog(dialog_, result); }

private:
    HWND dialog_;
};

// There is no Cancel: the dialog ends only through OK with a name.
INT_PTR CALLBACK JobNameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowView view(dialog);
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (auto dm = reinterpret_cast<const OemDevmode *>(lParam)) JobNameDialogInit(view, *dm);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    auto dm = reinterpret_cast<OemDevmode *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!dm) return FALSE;
    if (LOWORD(wParam) == IDC_JOBNAME_EDIT) {
        JobNameEditNotify(view, HIWORD(wParam));
        return TRUE;
    }
    if (LOWORD(wParam) == IDOK) {
        JobNameDialogOk(view, *dm);
        return TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR ShowJobNameDialog(HMODULE module, OemDevmode *dm)
{
    if (!dm) return -1;
    return DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_JOBNAME), nullptr, JobNameDialogProc,
                           reinterpret_cast<LPARAM>(dm));
}

} // namespace zep
