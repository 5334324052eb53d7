#pragma once
// The command line's prompt: messages go to standard error (the detail on a second line);
// questions are answered No / Cancel and dialogs cancelled, since nobody can answer them.

#include "model/Prompt.h"

namespace mv53::cli {

class StderrPrompt final : public IPrompt {
public:
    PromptAnswer Message(const std::string& text, PromptIcon icon, PromptButtons buttons,
                         const std::string& detail) override;
    std::optional<OpenFileResult> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const SaveFileRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
};

}  // namespace mv53::cli
