#include "service/ServiceControls.h"

#include "controls/U_Controls.h"

#include "model/U_InputFilter.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPalette>

#include <algorithm>
#include <optional>

namespace mv53::service {

namespace {

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

void Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---- TSpinEdit -----------------------------------------------------------------------------

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
    const std::optional<int32_t> n = ParseInt(TrimBlanks(text.toStdString()));
    if (!n || *n < minimum() || *n > maximum())
        return QValidator::Intermediate;
    return QValidator::Acceptable;
}

int TSpinEdit::valueFromText(const QString& text) const
{
    const std::optional<int32_t> n = ParseInt(TrimBlanks(text.toStdString()));
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

void TSpinEdit::focusInEvent(QFocusEvent* e)
{
    QSpinBox::focusInEvent(e);
    m_saved = lineEdit()->text();
    SetEditing(true);
}

void TSpinEdit::focusOutEvent(QFocusEvent* e)
{
    if (lineEdit()->text().isEmpty())
        lineEdit()->setText(m_saved);
    QSpinBox::focusOutEvent(e);
    SetEditing(false);
}

void TSpinEdit::keyPressEvent(QKeyEvent* e)
{
    if (IsEnter(e->key())) {
        if (m_editing) {
            m_saved = lineEdit()->text().isEmpty() ? QString::number(value()) : lineEdit()->text();
            interpretText();
        }
        SetEditing(!m_editing);
        return;
    }
    if (e->key() == Qt::Key_Escape && m_editing) {
        lineEdit()->setText(m_saved);
        interpretText();
        SetEditing(false);
        return;
    }
    if (const char typed = TypedChar(e)) {
        char key = typed;
        if ((e->modifiers() & Qt::ControlModifier) || !IsSignedKey(key))
            return;
        if (!m_editing)
            SetEditing(true);
    }
    QSpinBox::keyPressEvent(e);
}

bool TSpinEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == lineEdit() && e->type() == QEvent::MouseButtonDblClick) {
        if (m_editing)
            m_saved = lineEdit()->text().isEmpty() ? QString::number(value()) : lineEdit()->text();
        SetEditing(!m_editing);
        return true;
    }
    return QSpinBox::eventFilter(watched, e);
}

// ---- TTwoStateEdit -------------------------------------------------------------------------

TTwoStateEdit::TTwoStateEdit(KeyRule keyRule, Normalize normalize, QWidget* parent)
    : QLineEdit(parent), m_keyRule(std::move(keyRule)), m_normalize(std::move(normalize))
{
}

void TTwoStateEdit::NormalizeText()
{
    if (m_normalize)
        setText(QString::fromLatin1(m_normalize(text().toLatin1().toStdString())));
    Q_EMIT Normalized();
}

void TTwoStateEdit::SetEditing(bool on)
{
    m_editing = on;
    SetEditable(on, this);
    if (on)
        selectAll();
}

void TTwoStateEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    m_saved = text();
    SetEditing(false);
}

void TTwoStateEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    m_editing = false;
    SetEditable(false, this);
    NormalizeText();
}

void TTwoStateEdit::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLineEdit::mouseDoubleClickEvent(e);
    if (m_editing) {
        NormalizeText();
        m_saved = text();
    }
    SetEditing(!m_editing);
}

void TTwoStateEdit::keyPressEvent(QKeyEvent* e)
{
    if (IsEnter(e->key())) {
        if (m_editing) {
            NormalizeText();
            m_saved = text();
        }
        SetEditing(!m_editing);
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        setText(m_saved);
        SetEditing(false);
        return;
    }
    if (e->key() == Qt::Key_Backspace) {
        if (!m_editing)
            SetEditing(true);
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (char key = TypedChar(e)) {
        if ((e->modifiers() & Qt::ControlModifier) || (m_keyRule && !m_keyRule(key)))
            return;
        if (!m_editing) {
            SetEditing(true);
        }
        insert(QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(key)))));
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ---- THintBar ------------------------------------------------------------------------------

THintBar::THintBar(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    pnlHint1 = new QLabel(this);
    pnlHint1->setObjectName(QStringLiteral("pnlHint1"));
    pnlHint1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlHint2 = new QLabel(this);
    pnlHint2->setObjectName(QStringLiteral("pnlHint2"));
    pnlHint2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlHint2->setFixedWidth(80);
    pnlHint2->setAlignment(Qt::AlignCenter);
    layout->addWidget(pnlHint1, 1);
    layout->addWidget(pnlHint2);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && window() == now->window())
            ShowFor(now);
    });
}

void THintBar::SetHint(QWidget* control, const QString& hint)
{
    m_hints[control] = hint;
    if (qobject_cast<QAbstractButton*>(control) != nullptr)
        control->installEventFilter(this);
    // A spin edit's focus sits in its inner edit.
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        m_hints[spin->findChild<QLineEdit*>()] = hint;
}

void THintBar::ShowFor(QWidget* control)
{
    auto it = m_hints.find(control);
    QWidget* shown = control;
    if (qobject_cast<QLineEdit*>(control) && qobject_cast<QAbstractSpinBox*>(control->parentWidget()))
        shown = control->parentWidget();
    pnlHint1->setText(it != m_hints.end() ? it->second : QString());
    pnlHint2->setText(HintKeyText(shown));
}

bool THintBar::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Enter) {
        // Buttons show an empty hint when the pointer moves over them.
        if (auto* w = qobject_cast<QWidget*>(watched))
            ShowFor(w);
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace mv53::service
