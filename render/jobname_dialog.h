// The job-name dialog (dialog 103) the rendering plug-in shows at print time for secure and spool jobs.
#pragma once
#include "common/devmode.h"
#include "resources/zepps_ids.h"

namespace zep {

// What the dialog logic does to its window, so it runs without one; the Win32 form works on the HWND.
class JobNameDialogView {
public:
    virtual void LimitEdit(int chars) = 0;
    virtual void SetEditText(LPCWSTR text) = 0;
    // At most cch - 1 characters and a NUL.
    virtual void GetEditText(WCHAR *out, int cch) = 0;
    virtual void GetEditSelection(DWORD *start, DWORD *end) = 0;
    virtual void SetEditSelection(DWORD start, DWORD end) = 0;
    virtual void DetachInputMethod() = 0;
    virtual void CentreTopmost() = 0;
    virtual void Beep() = 0;
    // String 8001 in a message box with the error icon.
    virtual void ShowNameMissing() = 0;
    virtual void FocusEdit() = 0;
    virtual void Close(INT_PTR result) = 0;

protected:
    ~JobNameDialogView() = default;
};

// WM_INITDIALOG: limit, stored name, position.
void JobNameDialogInit(JobNameDialogView &view, const OemDevmode &dm);
// A notification from the edit control: detach the input method; on EN_UPDATE filter what was typed.
void JobNameEditNotify(JobNameDialogView &view, WORD code);
// OK: a non-empty name is stored in dm and closes the dialog with 1; an empty one keeps it open.
void JobNameDialogOk(JobNameDialogView &view, OemDevmode &dm);

// Shows dialog 103 of module modally, without owner, on dm. Returns what the dialog ended with: 1 once a
// name is stored, -1 when it could not be shown (the stored name stays in place).
INT_PTR ShowJobNameDialog(HMODULE module, OemDevmode *dm);

} // namespace zep
