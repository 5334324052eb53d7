#pragma once
// A prompt for tests: records every box and dialog and hands back scripted answers in order.
// Without a scripted answer a message box answers Ok / No / Cancel and a dialog is cancelled.

#include "model/Prompt.h"

#include <deque>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace mv53::test {

struct RecordedPrompt {
    std::string text;      // message text, or "open:" / "save:" / "folder:" + title for dialogs
    PromptIcon icon = PromptIcon::Information;
    PromptButtons buttons = PromptButtons::Ok;
    std::string detail;
    std::optional<std::pair<int, int>> place;   // where the box was asked to appear
};

class ScriptedPrompt final : public IPrompt {
public:
    std::vector<RecordedPrompt> shown;
    std::deque<PromptAnswer> answers;
    std::deque<std::optional<OpenFileResult>> openResults;
    std::deque<std::optional<std::string>> saveResults;
    std::deque<std::optional<std::string>> folderResults;

    PromptAnswer Message(const std::string& text, PromptIcon icon, PromptButtons buttons,
                         const std::string& detail) override
    {
        shown.push_back({text, icon, buttons, detail, m_place});
        m_place.reset();
        if (!answers.empty()) {
            PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return SafeAnswer(buttons);
    }

    std::optional<OpenFileResult> OpenFile(const OpenFileRequest& request) override
    {
        shown.push_back({"open:" + request.title, PromptIcon::Information, PromptButtons::Ok, {}, {}});
        lastOpen = request;
        return pop(openResults);
    }

    std::optional<std::string> SaveFile(const SaveFileRequest& request) override
    {
        shown.push_back({"save:" + request.title, PromptIcon::Information, PromptButtons::Ok, {}, {}});
        lastSave = request;
        return pop(saveResults);
    }

    std::optional<std::string> ChooseFolder(const std::string& title, const std::string&) override
    {
        shown.push_back({"folder:" + title, PromptIcon::Information, PromptButtons::Ok, {}, {}});
        return pop(folderResults);
    }

    // The texts of all message boxes shown so far, in order (dialogs left out).
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& p : shown)
            if (p.text.rfind("open:", 0) != 0 && p.text.rfind("save:", 0) != 0 && p.text.rfind("folder:", 0) != 0)
                out.push_back(p.text);
        return out;
    }

    void PlaceNextMessage(int x, int y) override { m_place = std::make_pair(x, y); }

    OpenFileRequest lastOpen;
    SaveFileRequest lastSave;

private:
    std::optional<std::pair<int, int>> m_place;

    template <typename T>
    static T pop(std::deque<T>& q)
    {
        if (q.empty())
            return T{};
        T v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace mv53::test
