// Answering a job's prompts with the UI driver: the reply is typed and OK pressed as a user would.
#include "host/core/prompt.h"

#include <utility>

#include "companions/crypt/crypt_ids.h"
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

// The prompts a job may open, told apart by their edit field.
struct Prompt {
    int edit;
    std::optional<WString> PromptReplies::*reply;
    const char *name;   // as the messages call it
    const char *option; // zepdrv's option that answers it
};
const Prompt kPrompts[] = {
    {IDC_JOBNAME_EDIT, &PromptReplies::jobName, "job name", "--reply JOBNAME"},
    {IDC_CRYPTO_PASSWORD, &PromptReplies::password, "password", "--password PASSWORD"},
};

} // namespace

PromptAnswers::PromptAnswers(PromptReplies replies) : replies_(std::move(replies))
{
    driver_.OnEveryDialog([this](HWND dialog) { Answer(dialog); });
}

void PromptAnswers::Answer(HWND dialog)
{
    const Prompt *prompt = nullptr;
    HWND edit = nullptr;
    for (const Prompt &p : kPrompts)
        if ((edit = GetDlgItem(dialog, p.edit)) != nullptr) {
            prompt = &p;
            break;
        }
    if (!prompt) {
        if (problem_.empty()) problem_ = "the job opened a dialog that zepdrv cannot answer";
        return;
    }
    const std::optional<WString> &reply = replies_.*(prompt->reply);
    if (!reply) {
        if (problem_.empty())
            problem_ = std::string("the job asked for a ") + prompt->name + "; give one with " + prompt->option;
        return;
    }
    size_t boxesBefore = driver_.MessageBoxes().size();
    ui::Retype(edit, ui::WString(reply->begin(), reply->end()));
    ui::Click(GetDlgItem(dialog, IDOK));
    // A prompt complains only about a reply it cannot take, and stays open.
    if (driver_.MessageBoxes().size() > boxesBefore && problem_.empty())
        problem_ = std::string("the ") + prompt->name + " prompt refused the reply: " +
                   ui::Utf8(driver_.MessageBoxes()[boxesBefore].text);
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
