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

#include <algorithm>

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
    return text.size() == 1 ? FilterChar(text.at(0)) : 0;
}

char FilterChar(QChar c)
{
    const char16_t code = c.unicode();
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

namespace {
bool TakesTab(const QWidget* w)
{
    return w != nullptr && w->isEnabled() && w->isVisibleTo(w->window()) && (w->focusPolicy() & Qt::TabFocus);
}
}  // namespace

bool MoveFocusInOrder(const std::vector<QWidget*>& order, const QWidget* focused, bool forward)
{
    // The focused control itself, or the one it is part of (a spin box's edit).
    auto at = std::find(order.begin(), order.end(), focused);
    if (at == order.end())
        at = std::find_if(order.begin(), order.end(), [focused](const QWidget* w) { return w != nullptr && w->isAncestorOf(focused); });
    if (focused == nullptr || at == order.end())
        return false;
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t from = at - order.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        QWidget* w = order[static_cast<std::size_t>(((forward ? from + step : from - step) % count + count) % count)];
        if (TakesTab(w)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

QWidget* FocusFirstField(const std::vector<QWidget*>& fields)
{
    for (QWidget* w : fields) {
        if (qobject_cast<QTabBar*>(w) == nullptr && TakesTab(w)) {
            w->setFocus(Qt::TabFocusReason);
            return w;
        }
    }
    return nullptr;
}
