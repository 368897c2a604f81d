// Answering the job-name prompt a rendering plug-in opens while a job prints, so a headless run never waits.
#pragma once
#include "host/core/text.h"

#include <optional>
#include <string>

namespace zep::host {

// While it lives, a modal dialog opened by the plug-in is answered here instead of by a user: the job-name
// prompt gets the reply typed into its field and OK pressed; without a reply, or for any other dialog, it is
// left unanswered, so the plug-in's call fails at once and the job is marked as having asked. On Windows the
// real dialog shows and waits for the user; nothing is intercepted.
class PromptAnswers {
public:
    explicit PromptAnswers(std::optional<WString> jobNameReply);
    ~PromptAnswers();
    PromptAnswers(const PromptAnswers &) = delete;
    PromptAnswers &operator=(const PromptAnswers &) = delete;

    // "" when every prompt was answered; otherwise why the job cannot go on.
    const std::string &Problem() const { return problem_; }

private:
    friend struct PromptHooks;
    std::optional<WString> reply_;
    std::string problem_;
    bool answering_ = false;
};

} // namespace zep::host
