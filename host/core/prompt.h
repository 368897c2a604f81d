// Answering the prompts a job opens while it prints (the plug-in's job-name prompt, the encryption library's password
// prompt), so a headless run never waits.
#pragma once
#include "host/core/text.h"
#include "host/uidriver/uidriver.h"

#include <optional>
#include <string>

namespace zep::host {

// The answers a job's prompts get; none: the prompt fails the job.
struct PromptReplies {
    std::optional<WString> jobName;
    std::optional<WString> password;
};

// While it lives, a modal dialog opened during the job is answered here instead of by a user: a known prompt gets
// its reply typed into its field and OK pressed; without a reply, or for any other dialog, it is left unanswered,
// so the call that opened it fails at once and the job is marked as having asked. On Windows the same answers come
// through the UI driver's hook on the prompt's own window.
class PromptAnswers {
public:
    explicit PromptAnswers(PromptReplies replies);
    PromptAnswers(const PromptAnswers &) = delete;
    PromptAnswers &operator=(const PromptAnswers &) = delete;

    // "" when every prompt was answered; otherwise why the job cannot go on.
    std::string Problem() const;

private:
    void Answer(HWND dialog);
    PromptReplies replies_;
    std::string problem_;
    ui::Driver driver_;
};

} // namespace zep::host
