// Answering the job-name prompt a rendering plug-in opens while a job prints, so a headless run never waits.
#pragma once
#include "host/core/text.h"
#include "host/uidriver/uidriver.h"

#include <optional>
#include <string>

namespace zep::host {

// While it lives, a modal dialog opened by the plug-in is answered here instead of by a user: the job-name
// prompt gets the reply typed into its field and OK pressed; without a reply, or for any other dialog, it is
// left unanswered, so the plug-in's call fails at once and the job is marked as having asked. On Windows the
// same answers come through the UI driver's hook on the prompt's own window.
class PromptAnswers {
public:
    explicit PromptAnswers(std::optional<WString> jobNameReply);
    PromptAnswers(const PromptAnswers &) = delete;
    PromptAnswers &operator=(const PromptAnswers &) = delete;

    // "" when every prompt was answered; otherwise why the job cannot go on.
    std::string Problem() const;

private:
    void Answer(HWND dialog);
    std::optional<WString> reply_;
    std::string problem_;
    ui::Driver driver_;
};

} // namespace zep::host
