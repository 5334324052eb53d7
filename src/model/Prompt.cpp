#include "model/Prompt.h"

namespace mv53 {
namespace {

class SilentPrompt final : public IPrompt {
public:
    PromptAnswer Message(const std::string&, PromptIcon, PromptButtons buttons, const std::string&) override
    {
        return SafeAnswer(buttons);
    }
    std::optional<OpenFileResult> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const SaveFileRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
};

SilentPrompt g_silent;
IPrompt* g_prompt = &g_silent;

}  // namespace

PromptAnswer SafeAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::YesNoCancel: return PromptAnswer::Cancel;
    case PromptButtons::OkCancel: return PromptAnswer::Cancel;
    }
    return PromptAnswer::Cancel;
}

IPrompt& Prompt() { return *g_prompt; }

IPrompt* SetPrompt(IPrompt* prompt)
{
    IPrompt* previous = g_prompt;
    g_prompt = prompt ? prompt : &g_silent;
    return previous == &g_silent ? nullptr : previous;
}

void ShowError(const std::string& text, const std::string& detail)
{
    Prompt().Message(text, PromptIcon::Error, PromptButtons::Ok, detail);
}

void ShowWarning(const std::string& text, const std::string& detail)
{
    Prompt().Message(text, PromptIcon::Warning, PromptButtons::Ok, detail);
}

void ShowInformation(const std::string& text, const std::string& detail)
{
    Prompt().Message(text, PromptIcon::Information, PromptButtons::Ok, detail);
}

bool ConfirmYesNo(const std::string& text)
{
    return Prompt().Message(text, PromptIcon::Confirmation, PromptButtons::YesNo, {}) == PromptAnswer::Yes;
}

PromptAnswer ConfirmYesNoCancel(const std::string& text, const std::string& detail)
{
    return Prompt().Message(text, PromptIcon::Confirmation, PromptButtons::YesNoCancel, detail);
}

}  // namespace mv53
