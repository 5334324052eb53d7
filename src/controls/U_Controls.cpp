#include "controls/U_Controls.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTabBar>

namespace {
// Sets an edit's background to a colour of the application's palette.
void SetBase(QLineEdit* edit, QPalette::ColorRole from)
{
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, QPalette().color(from));
    edit->setPalette(pal);
}
}  // namespace

void SetEditable(bool flag, QLineEdit* edit)
{
    if (!edit)
        return;
    edit->setReadOnly(!flag);
    SetEditColor(flag, edit);
}

void SetEditColor(bool flag, QLineEdit* edit)
{
    if (!edit)
        return;
    if (flag) {
        edit->setReadOnly(false);
        SetBase(edit, QPalette::ToolTipBase);
    } else {
        SetBase(edit, QPalette::Base);
    }
}

bool ComboEnterKey(QWidget* control, int key)
{
    auto* combo = qobject_cast<QComboBox*>(control);
    if (!combo || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return false;
    if (combo->view() && combo->view()->isVisible())
        combo->hidePopup();
    else
        combo->showPopup();
    return true;
}

bool SwallowEnter(const QKeyEvent& event)
{
    return event.text() == QStringLiteral("\r") || event.text() == QStringLiteral("\n");
}

QString HintKeyText(const QWidget* control)
{
    if (qobject_cast<const QLineEdit*>(control) || qobject_cast<const QAbstractItemView*>(control) ||
        qobject_cast<const QAbstractSpinBox*>(control))
        return QStringLiteral("<ENTER>");
    if (qobject_cast<const QComboBox*>(control) || qobject_cast<const QCheckBox*>(control) ||
        qobject_cast<const QAbstractSlider*>(control))
        return QStringLiteral("<SELECT>");
    return {};
}

char TypedChar(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const QString text = event->text();
    if (text.size() != 1)
        return 0;
    const char16_t code = text.at(0).unicode();
    if (code < 32 || code == 127 || code > 255)
        return 0;
    return static_cast<char>(static_cast<unsigned char>(code));
}

bool IsWindowSwitch(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

void EnterInWindow(QWidget* focused)
{
    if (ComboEnterKey(focused, Qt::Key_Return))
        return;
    if (auto* button = qobject_cast<QPushButton*>(focused); button != nullptr && button->isEnabled())
        button->click();
}

void SetTabChain(const std::vector<QWidget*>& order)
{
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget* FocusFirstField(const std::vector<QWidget*>& fields)
{
    for (QWidget* w : fields) {
        if (w == nullptr || qobject_cast<QTabBar*>(w) != nullptr || !w->isEnabled() ||
            !w->isVisibleTo(w->window()) || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        w->setFocus(Qt::TabFocusReason);
        return w;
    }
    return nullptr;
}
