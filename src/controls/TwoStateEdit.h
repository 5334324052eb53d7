#pragma once
// TTwoStateEdit: the text edit with a select state and an edit state, shared by the parameter
// dialogs and the service windows. Getting the focus enters the select state (read-only, window
// colour) and remembers the text. Enter or a double click toggles the state; an accepted typed
// character (or Backspace) enters the edit state (writable, tool-tip colour). Escape in the edit
// state puts the remembered text back; in the select state it is the window's Cancel. Leaving
// the edit state or the control runs the normalising rules.
//
// The key rule filters typed characters only: Tab, Delete, the arrows, Home and End and the
// shortcuts pass. Whatever else brings text in while the edit state is on (Ctrl+V, the context
// menu's Paste, a drop, a middle click) passes the same rule, character by character.

#include <QLineEdit>
#include <QString>

#include <functional>
#include <string>

struct TTwoStateRules {
    // Accepts a typed character and may change it (upper case). Backspace needs no rule.
    std::function<bool(char&)> AcceptKey;
    // The text when the edit state is left with Enter or a double click.
    std::function<QString(const QString&)> Finish;
    // The text when the focus leaves the edit.
    std::function<QString(const QString&)> Leave;
    // The key that starts the edit state replaces the whole text.
    bool ReplaceOnFirstKey = false;
};

class TTwoStateEdit final : public QLineEdit {
    Q_OBJECT
public:
    using KeyRule = std::function<bool(char& key)>;
    using Normalize = std::function<std::string(const std::string& text)>;

    explicit TTwoStateEdit(TTwoStateRules rules, QWidget* parent = nullptr);
    // One rule normalises the text on leaving the edit state and the control; the key that
    // starts the edit state replaces the text.
    TTwoStateEdit(KeyRule keyRule, Normalize normalize, QWidget* parent = nullptr);

    bool Editing() const { return m_editing; }
    // Back to the select state with the present text remembered (as on getting the focus).
    void Reset();
    // A text of the program's, shown in the select state and remembered.
    void ShowText(const QString& text);
    // Applies the rule of leaving the control to the present text.
    void NormalizeText();

Q_SIGNALS:
    // A normalising rule was applied (leaving the edit state or the control).
    void Normalized();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    class TInsertFilter;

    void SetEditing(bool on);
    // Sets a text of the program's, which the key rule does not filter.
    void SetProgramText(const QString& text);
    void StartEditing();
    void Toggle();
    void Apply(const std::function<QString(const QString&)>& rule);

    TTwoStateRules m_rules;
    bool m_editing = false;
    bool m_programText = false;
    QString m_saved;
};
