#pragma once
// TStateEdit: the two states of a dialog's number edit. Read-only with the window colour until
// the user starts typing (or presses Enter or double-clicks), then writable with the tool-tip
// colour. Escape while typing puts back the text the edit had and keeps the dialog open;
// Enter or a double click finishes typing; leaving the edit normalises its text. Characters the
// key filter rejects and everything typed while Ctrl is held are dropped.

#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;

struct TStateEditRules {
    // Accepts a typed character (the key filters of the input helpers).
    std::function<bool(char&)> AcceptKey;
    // The text when typing is finished with Enter or a double click.
    std::function<QString(const QString&)> Finish;
    // The text when the focus leaves the edit.
    std::function<QString(const QString&)> Leave;
    // The first typed character replaces the whole text.
    bool ReplaceOnFirstKey = false;
};

class TStateEdit final : public QObject {
    Q_OBJECT
public:
    TStateEdit(QLineEdit* edit, TStateEditRules rules);

    bool Editing() const { return m_editing; }
    QLineEdit* Edit() const { return m_edit; }
    // Back to the read-only state with the current text remembered (as on entering the edit).
    void Reset();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void SetEditing(bool on);
    void Toggle();

    QLineEdit* m_edit;
    TStateEditRules m_rules;
    bool m_editing = false;
    QString m_saved;
};
