#pragma once
// The one way the program talks to the user in a modal box: messages, confirmations and the
// file and folder dialogs. Plain C++ so that the model can report through it; the windows
// install a Qt implementation, the command line one that prints, and tests a scripted one.

#include <optional>
#include <string>
#include <vector>

namespace mv53 {

enum class PromptIcon { Error, Warning, Information, Confirmation };
enum class PromptButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// One filter of a file dialog: a caption shown to the user and its patterns ("*.m53").
struct FileFilter {
    std::string caption;
    std::vector<std::string> patterns;
};

struct OpenFileRequest {
    std::string title;
    std::string folder;                  // start folder; empty for the dialog's default
    std::vector<FileFilter> filters;
    std::string defaultSuffix;           // "m53"
    bool offerReadOnly = false;          // show the "open as read-only" box
};

struct OpenFileResult {
    std::string path;
    bool readOnly = false;               // the read-only box was ticked
};

struct SaveFileRequest {
    std::string title;
    std::string folder;
    std::string fileName;                // proposed name
    std::vector<FileFilter> filters;
    std::string defaultSuffix;
    bool confirmOverwrite = true;
};

class IPrompt {
public:
    virtual ~IPrompt() = default;

    // A message box with the exact text. detail is extra text shown below it (may be empty).
    virtual PromptAnswer Message(const std::string& text, PromptIcon icon, PromptButtons buttons,
                                 const std::string& detail) = 0;
    // The next message box appears with its top-left corner at this point of the screen
    // instead of centred on its window. Prompts without a screen ignore it.
    virtual void PlaceNextMessage(int x, int y)
    {
        (void)x;
        (void)y;
    }
    virtual std::optional<OpenFileResult> OpenFile(const OpenFileRequest& request) = 0;
    virtual std::optional<std::string> SaveFile(const SaveFileRequest& request) = 0;
    virtual std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) = 0;
};

// The answer of a box that nobody answered (closed, Escape, no screen): the one that changes
// nothing of its kind, Ok for a message, No for Yes/No, Cancel otherwise.
PromptAnswer SafeAnswer(PromptButtons buttons);

// The process-wide prompt. Until one is installed, a silent one answers Ok/No/Cancel and
// cancels every dialog, so that nothing blocks on a box nobody can see.
IPrompt& Prompt();
// Installs a prompt (not owned); nullptr restores the silent one. Returns the previous one.
IPrompt* SetPrompt(IPrompt* prompt);

// Short forms for the common boxes.
void ShowError(const std::string& text, const std::string& detail = {});
void ShowWarning(const std::string& text, const std::string& detail = {});
void ShowInformation(const std::string& text, const std::string& detail = {});
bool ConfirmYesNo(const std::string& text);                     // true for Yes
PromptAnswer ConfirmYesNoCancel(const std::string& text, const std::string& detail = {});

// Installs a prompt for the lifetime of a scope and restores the previous one after.
class ScopedPrompt {
public:
    explicit ScopedPrompt(IPrompt& prompt) : m_previous(SetPrompt(&prompt)) {}
    ~ScopedPrompt() { SetPrompt(m_previous); }
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;

private:
    IPrompt* m_previous;
};

}  // namespace mv53
