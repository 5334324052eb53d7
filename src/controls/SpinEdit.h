#pragma once
// TSpinEdit: the spin edit of the service windows. Getting the focus starts its edit state
// (tool-tip colour, text selected); Enter or a double click toggles the state, and a typed digit
// or sign starts it again. Escape in the edit state puts back the text the edit state began
// with, so a value that the arrow keys already changed returns to that one; outside the edit
// state Escape is the window's Cancel. Typed characters other than digits and signs are
// dropped, and all of them while Ctrl is held. Leaving the control with an empty text puts the
// edit state's first text back. A text that is no number reads as the minimum; values are
// clamped to the range.

#include <QLineEdit>
#include <QSpinBox>
#include <QString>

class TSpinEdit final : public QSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    // The value the text stands for now (the minimum when it is no number), clamped.
    int ReadValue() const;
    bool Editing() const { return m_editing; }
    QLineEdit* Edit() const { return lineEdit(); }
    // Escape is the window's Cancel in the edit state too (a table without an undo per cell).
    void SetEscapeCancels(bool on) { m_escapeCancels = on; }

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
    void StartEditing();
    void Toggle();

    QString m_saved;   // the text when the edit state began
    bool m_editing = false;
    bool m_escapeCancels = false;
};
