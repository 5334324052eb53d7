#include "dialogs/StateEdit.h"

#include "controls/U_Controls.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr char kBackspace = 8;

bool WindowSwitch(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}
}  // namespace

TStateEdit::TStateEdit(QLineEdit* edit, TStateEditRules rules) : QObject(edit), m_edit(edit), m_rules(std::move(rules))
{
    // Text arrives only through the key filter: no pasting from a menu or dropping.
    m_edit->setContextMenuPolicy(Qt::NoContextMenu);
    m_edit->setAcceptDrops(false);
    m_edit->installEventFilter(this);
    SetEditable(false, m_edit);
}

void TStateEdit::Reset()
{
    m_saved = m_edit->text();
    SetEditing(false);
}

void TStateEdit::SetEditing(bool on)
{
    m_editing = on;
    SetEditable(on, m_edit);
}

void TStateEdit::Toggle()
{
    if (!m_editing) {
        SetEditing(true);
        m_edit->selectAll();
        return;
    }
    SetEditing(false);
    if (m_rules.Finish)
        m_edit->setText(m_rules.Finish(m_edit->text()));
    m_saved = m_edit->text();
}

bool TStateEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != m_edit)
        return false;
    switch (e->type()) {
    case QEvent::FocusIn:
        // Coming back from another window or a popup is not entering the edit.
        if (!WindowSwitch(static_cast<QFocusEvent*>(e)->reason()))
            Reset();
        return false;
    case QEvent::FocusOut:
        if (WindowSwitch(static_cast<QFocusEvent*>(e)->reason()))
            return false;
        SetEditing(false);
        if (m_rules.Leave)
            m_edit->setText(m_rules.Leave(m_edit->text()));
        return false;
    case QEvent::MouseButtonDblClick:
        Toggle();
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->modifiers() & Qt::ControlModifier)
            return true;   // no shortcuts: nothing arrives that the filter has not seen
        switch (key->key()) {
        case Qt::Key_Escape:
            if (!m_editing)
                return false;   // the dialog's Cancel
            m_edit->setText(m_saved);
            SetEditing(false);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Toggle();
            return true;
        default:
            break;
        }
        const QString text = key->text();
        if (text.isEmpty())
            return false;   // movement keys, F1 and the like
        if (text.size() != 1 || text[0].unicode() > 0x7f)
            return true;
        char c = static_cast<char>(text[0].unicode());
        const bool accepted = c == kBackspace || (c >= 32 && m_rules.AcceptKey && m_rules.AcceptKey(c));
        if (!accepted)
            return true;
        if (!m_editing) {
            SetEditing(true);
            if (m_rules.ReplaceOnFirstKey)
                m_edit->clear();
        }
        return false;   // the edit types it
    }
    default:
        return false;
    }
}
