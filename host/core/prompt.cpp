// Answering the plug-in's job-name prompt through the headless window manager's modal and message-box hooks.
#include "host/core/prompt.h"

#include <utility>

#include "resources/zepps_ids.h"

#ifndef _WIN32
#include "zep_ui.h"
#endif

namespace zep::host {

#ifndef _WIN32
struct PromptHooks {
    // Runs when the plug-in opens a modal dialog: types the reply as a user would and presses OK.
    static void CALLBACK Modal(HWND window, void *context)
    {
        auto *self = static_cast<PromptAnswers *>(context);
        if (!GetDlgItem(window, IDC_JOBNAME_EDIT)) {
            Note(*self, "the job opened a dialog that zepdrv cannot answer");
            return;
        }
        if (!self->reply_) {
            Note(*self, "the job asked for a job name; give one with --reply JOBNAME");
            return;
        }
        self->answering_ = true;
        SetDlgItemTextW(window, IDC_JOBNAME_EDIT, self->reply_->c_str());
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
        self->answering_ = false;
    }

    // The prompt complains only about a reply it cannot take; the box gets its default answer.
    static int CALLBACK MessageBox(const ZEP_UI_MESSAGEBOX *box, void *context)
    {
        auto *self = static_cast<PromptAnswers *>(context);
        std::string text = box && box->text ? Narrow(box->text) : std::string();
        Note(*self, self->answering_ ? "the job-name prompt refused the reply: " + text
                                     : "the job showed a message: " + text);
        return 0;
    }

    // The first problem wins; it becomes one line of zepdrv's error output.
    static void Note(PromptAnswers &self, std::string problem)
    {
        for (char &c : problem)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        if (self.problem_.empty()) self.problem_ = std::move(problem);
    }
};
#endif

PromptAnswers::PromptAnswers(std::optional<WString> jobNameReply) : reply_(std::move(jobNameReply))
{
#ifndef _WIN32
    ZepUiSetModalHook(PromptHooks::Modal, this);
    ZepUiSetMessageBoxHook(PromptHooks::MessageBox, this);
#endif
}

PromptAnswers::~PromptAnswers()
{
#ifndef _WIN32
    ZepUiSetModalHook(nullptr, nullptr);
    ZepUiSetMessageBoxHook(nullptr, nullptr);
#endif
}

} // namespace zep::host
