#include "controls/SpinEdit.h"

#include "controls/U_Controls.h"
#include "model/U_InputFilter.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>
#include <optional>

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
    lineEdit()->installEventFilter(this);
}

QValidator::State TSpinEdit::validate(QString& text, int&) const
{
    // Any text of digits and signs may stand in the edit; what it reads as is decided later.
    for (QChar c : text) {
        char key = static_cast<char>(c.toLatin1());
        if (c.unicode() > 255 || !IsSignedKey(key))
            return QValidator::Invalid;
    }
    // A text that is no number yet ("-") or out of range stays while it is typed; leaving the
    // control turns it into a value (fixup).
    const std::optional<int32_t> n = mv53::ParseInt(mv53::TrimBlanks(text.toStdString()));
    if (!n || *n < minimum() || *n > maximum())
        return QValidator::Intermediate;
    return QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const
{
    const std::optional<int32_t> n = mv53::ParseInt(mv53::TrimBlanks(text.toStdString()));
    if (!n)
        return minimum();
    return std::clamp(static_cast<int>(*n), minimum(), maximum());
}

void TSpinEdit::fixup(QString& input) const { input = QString::number(valueFromText(input)); }

int TSpinEdit::ReadValue() const { return valueFromText(lineEdit()->text()); }

void TSpinEdit::SetEditing(bool on)
{
    m_editing = on;
    SetEditColor(on, lineEdit());
    if (on)
        lineEdit()->selectAll();
}

void TSpinEdit::StartEditing()
{
    m_saved = lineEdit()->text().isEmpty() ? QString::number(value()) : lineEdit()->text();
    SetEditing(true);
}

void TSpinEdit::Toggle()
{
    if (!m_editing) {
        StartEditing();
        return;
    }
    interpretText();
    SetEditing(false);
}

void TSpinEdit::focusInEvent(QFocusEvent* e)
{
    QSpinBox::focusInEvent(e);
    if (!IsWindowSwitch(e->reason()))
        StartEditing();
}

void TSpinEdit::focusOutEvent(QFocusEvent* e)
{
    const bool leaving = !IsWindowSwitch(e->reason());
    if (leaving && lineEdit()->text().isEmpty())
        lineEdit()->setText(m_saved);
    QSpinBox::focusOutEvent(e);
    if (leaving)
        SetEditing(false);
}

void TSpinEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        Toggle();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        if (!m_editing || m_escapeCancels) {
            e->ignore();   // the window's Cancel
            return;
        }
        lineEdit()->setText(m_saved);
        interpretText();
        SetEditing(false);
        return;
    }
    if (char key = TypedChar(e)) {
        if (!IsSignedKey(key))
            return;
        if (!m_editing)
            StartEditing();
    }
    QSpinBox::keyPressEvent(e);
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == lineEdit() && e->type() == QEvent::MouseButtonDblClick) {
        Toggle();
        return true;
    }
    return QSpinBox::eventFilter(watched, e);
}
