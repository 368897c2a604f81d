// Answering the plug-in's job-name prompt with the UI driver: the reply is typed and OK pressed as a user would.
#include "host/core/prompt.h"

#include <utility>

#include "resources/zepps_ids.h"

namespace zep::host {

namespace {

// One line of zepdrv's error output.
std::string OneLine(std::string text)
{
    for (char &c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text;
}

} // namespace

PromptAnswers::PromptAnswers(std::optional<WString> jobNameReply) : reply_(std::move(jobNameReply))
{
    driver_.OnEveryDialog([this](HWND dialog) { Answer(dialog); });
}

void PromptAnswers::Answer(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, IDC_JOBNAME_EDIT);
    if (!edit) {
        if (problem_.empty()) problem_ = "the job opened a dialog that zepdrv cannot answer";
        return;
    }
    if (!reply_) {
        if (problem_.empty()) problem_ = "the job asked for a job name; give one with --reply JOBNAME";
        return;
    }
    size_t boxesBefore = driver_.MessageBoxes().size();
    ui::Retype(edit, ui::WString(reply_->begin(), reply_->end()));
    ui::Click(GetDlgItem(dialog, IDOK));
    // The prompt complains only about a reply it cannot take, and stays open.
    if (driver_.MessageBoxes().size() > boxesBefore && problem_.empty())
        problem_ = "the job-name prompt refused the reply: " + ui::Utf8(driver_.MessageBoxes()[boxesBefore].text);
}

std::string PromptAnswers::Problem() const
{
    if (!problem_.empty()) return OneLine(problem_);
    // Boxes shown outside the prompt, and dialogs left open, stop the job too.
    if (!driver_.MessageBoxes().empty())
        return OneLine("the job showed a message: " + ui::Utf8(driver_.MessageBoxes().front().text));
    for (const auto &p : driver_.Problems())
        if (p.find("nothing answers") != std::string::npos) return OneLine(p);
    return std::string();
}

} // namespace zep::host
