#pragma once
// The prompt interface on Qt widgets: message boxes with the exact texts, and the file and
// folder dialogs. The only code of the program that opens a QMessageBox or a QFileDialog.

#include "model/Prompt.h"

#include <QPoint>
#include <QString>

#include <optional>

class QWidget;

namespace mv53 {

class QtPrompt final : public IPrompt {
public:
    // title: the caption of the message boxes (the application title); parent: the window
    // the boxes are centred on (may be changed later, may be null).
    explicit QtPrompt(QString title, QWidget* parent = nullptr) : m_title(std::move(title)), m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    PromptAnswer Message(const std::string& text, PromptIcon icon, PromptButtons buttons,
                         const std::string& detail) override;
    std::optional<OpenFileResult> OpenFile(const OpenFileRequest& request) override;
    std::optional<std::string> SaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) override;
    void PlaceNextMessage(int x, int y) override { m_place = QPoint(x, y); }

private:
    QString m_title;
    QWidget* m_parent = nullptr;
    std::optional<QPoint> m_place;   // for the next message box only
};

// "M53 Files (*.m53)" style name filter of a file dialog: the caption, then the patterns in
// parentheses unless the caption already ends with them.
QString NameFilter(const FileFilter& filter);

}  // namespace mv53
