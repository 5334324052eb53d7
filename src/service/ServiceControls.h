#pragma once
// Controls shared by the service windows: the spin edit and the two-state text edit with the
// edit-state convention of the service windows, and the two-part hint bar. They use the widget
// helpers of controls/U_Controls.h.

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <string>

namespace mv53::service {

// Lets the application process its messages for ms milliseconds.
void Pause(int ms);

// A spin edit of the service windows. Getting the focus enters the edit state at once (the
// text selected); Enter or a double click toggles it, and leaving it remembers the text; Escape
// puts the remembered text back. Typed characters other than digits and signs are dropped, and
// all of them while Ctrl is held. Leaving the control with an empty text puts the remembered
// text back. A text that is no number reads as the minimum; values are clamped to the range.
class TSpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // The value the text stands for now (the minimum when it is no number), clamped.
    int ReadValue() const;
    bool Editing() const { return m_editing; }
    QLineEdit* Edit() const { return lineEdit(); }

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    void fixup(QString& input) const override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void SetEditing(bool on);
    QString m_saved;
    bool m_editing = false;
};

// A text edit with a select state (read-only) and an edit state: getting the focus selects and
// remembers the text; Enter or a double click toggles the state; an accepted typed character
// enters the edit state; Escape puts the remembered text back and selects. Leaving the edit
// state or the control runs the normalising rule. The key rule may change the character (upper
// case) and refuses characters by returning false; Backspace always passes.
class TTwoStateEdit final : public QLineEdit {
    Q_OBJECT
public:
    using KeyRule = std::function<bool(char& key)>;
    using Normalize = std::function<std::string(const std::string& text)>;

    TTwoStateEdit(KeyRule keyRule, Normalize normalize, QWidget* parent = nullptr);
    bool Editing() const { return m_editing; }
    // Applies the normalising rule to the present text.
    void NormalizeText();

Q_SIGNALS:
    // The text was normalised after leaving the edit state or the control.
    void Normalized();

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void SetEditing(bool on);
    KeyRule m_keyRule;
    Normalize m_normalize;
    QString m_saved;
    bool m_editing = false;
};

// The hint bar at the bottom of a service window: left the hint of the focused control (or of
// the button under the pointer), right its key text.
class THintBar final : public QWidget {
    Q_OBJECT
public:
    explicit THintBar(QWidget* parent = nullptr);
    void SetHint(QWidget* control, const QString& hint);
    // Shows the hint of a control (a control without one shows empty panels).
    void ShowFor(QWidget* control);
    QLabel* pnlHint1 = nullptr;
    QLabel* pnlHint2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::map<QWidget*, QString> m_hints;
};

}  // namespace mv53::service
