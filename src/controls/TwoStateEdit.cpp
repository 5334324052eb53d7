#include "controls/TwoStateEdit.h"

#include "controls/U_Controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QValidator>

#include <algorithm>

// Passes what comes into the edit while its edit state is on through the key rule, character
// by character; characters the rule refuses are dropped, the rest as the rule hands them back.
// Only the part that differs from the text before is new; a text the program sets is left as
// it is.
class TTwoStateEdit::TInsertFilter final : public QValidator {
public:
    TInsertFilter(TTwoStateEdit* edit, std::function<bool(char&)> rule)
        : QValidator(edit), m_edit(edit), m_rule(std::move(rule)), m_before(edit->text())
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text; });
    }

    State validate(QString& input, int& pos) const override
    {
        if (!m_rule || !m_edit->m_editing || m_edit->m_programText)
            return Acceptable;
        const qsizetype common = std::min(input.size(), m_before.size());
        qsizetype head = 0;
        while (head < common && input[head] == m_before[head])
            ++head;
        qsizetype tail = 0;
        while (tail < common - head && input[input.size() - 1 - tail] == m_before[m_before.size() - 1 - tail])
            ++tail;
        const QString added = input.mid(head, input.size() - head - tail);
        QString kept;
        for (const QChar c : added) {
            char key = FilterChar(c);
            if (key != 0 && m_rule(key))
                kept += QChar(static_cast<char16_t>(static_cast<unsigned char>(key)));
        }
        if (kept == added)
            return Acceptable;
        input = input.left(head) + kept + input.right(tail);
        if (pos >= head + added.size())
            pos -= static_cast<int>(added.size() - kept.size());
        else if (pos > head)
            pos = static_cast<int>(head + std::min<qsizetype>(pos - head, kept.size()));
        return Acceptable;
    }

private:
    const TTwoStateEdit* m_edit;
    std::function<bool(char&)> m_rule;
    QString m_before;
};

TTwoStateEdit::TTwoStateEdit(TTwoStateRules rules, QWidget* parent) : QLineEdit(parent), m_rules(std::move(rules))
{
    setValidator(new TInsertFilter(this, m_rules.AcceptKey));
    SetEditable(false, this);
}

namespace {
TTwoStateRules NormalizingRules(TTwoStateEdit::KeyRule keyRule, TTwoStateEdit::Normalize normalize)
{
    TTwoStateRules rules;
    rules.AcceptKey = std::move(keyRule);
    if (normalize)
        rules.Finish = [normalize](const QString& text) {
            return QString::fromLatin1(normalize(text.toLatin1().toStdString()));
        };
    rules.Leave = rules.Finish;
    rules.ReplaceOnFirstKey = true;
    return rules;
}
}  // namespace

TTwoStateEdit::TTwoStateEdit(KeyRule keyRule, Normalize normalize, QWidget* parent)
    : TTwoStateEdit(NormalizingRules(std::move(keyRule), std::move(normalize)), parent)
{
}

void TTwoStateEdit::Reset()
{
    m_saved = text();
    SetEditing(false);
}

void TTwoStateEdit::ShowText(const QString& text)
{
    SetProgramText(text);
    Reset();
}

void TTwoStateEdit::SetProgramText(const QString& text)
{
    m_programText = true;
    setText(text);
    m_programText = false;
}

void TTwoStateEdit::NormalizeText() { Apply(m_rules.Leave); }

void TTwoStateEdit::Apply(const std::function<QString(const QString&)>& rule)
{
    if (rule)
        SetProgramText(rule(text()));
    Q_EMIT Normalized();
}

void TTwoStateEdit::SetEditing(bool on)
{
    m_editing = on;
    SetEditable(on, this);
}

void TTwoStateEdit::StartEditing()
{
    m_saved = text();
    SetEditing(true);
    if (m_rules.ReplaceOnFirstKey)
        selectAll();
}

void TTwoStateEdit::Toggle()
{
    if (!m_editing) {
        StartEditing();
        selectAll();
        return;
    }
    SetEditing(false);
    Apply(m_rules.Finish);
    m_saved = text();
}

void TTwoStateEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    // Coming back from another window or a popup is not entering the edit.
    if (!IsWindowSwitch(e->reason()))
        Reset();
}

void TTwoStateEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (IsWindowSwitch(e->reason()))
        return;
    SetEditing(false);
    Apply(m_rules.Leave);
}

void TTwoStateEdit::mouseDoubleClickEvent(QMouseEvent*) { Toggle(); }

void TTwoStateEdit::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Toggle();
        return;
    case Qt::Key_Escape:
        if (!m_editing) {
            e->ignore();   // the window's Cancel
            return;
        }
        SetEditing(false);
        SetProgramText(m_saved);
        return;
    case Qt::Key_Backspace:
        if (!m_editing)
            StartEditing();
        QLineEdit::keyPressEvent(e);
        return;
    default:
        break;
    }
    if (char key = TypedChar(e)) {
        if (m_rules.AcceptKey && !m_rules.AcceptKey(key))
            return;
        if (!m_editing)
            StartEditing();
        insert(QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(key)))));
        return;
    }
    // Moving, Tab, Delete, shortcuts (a paste passes the key rule above), F1 and the like.
    QLineEdit::keyPressEvent(e);
}
