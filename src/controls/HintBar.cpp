#include "controls/HintBar.h"

#include "controls/U_Controls.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>

#include <algorithm>

namespace {

QLabel* Panel(QWidget* parent, const char* name)
{
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedHeight(THintBar::kHeight);
    return panel;
}

}  // namespace

THintBar::THintBar(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    pnlHint1 = Panel(this, "pnlHint1");
    pnlHint2 = Panel(this, "pnlHint2");
    // 60 pixels, or what "<SELECT>" needs in a wider font.
    pnlHint2->setFixedWidth(std::max(kKeyWidth, pnlHint2->fontMetrics().horizontalAdvance(QStringLiteral("<SELECT>")) +
                                                    2 * pnlHint2->frameWidth() + 6));
    layout->addWidget(pnlHint1, 1);
    layout->addWidget(pnlHint2);
    // A drop-down list's popup is a window of its own: opening and closing it leaves the hint.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == window())
            ShowFor(now);
    });
}

void THintBar::SetHint(QWidget* control, const QString& hint, std::optional<QString> keyText)
{
    m_hints[control] = THint{hint, std::move(keyText)};
    if (qobject_cast<QAbstractButton*>(control) != nullptr)
        control->installEventFilter(this);
}

void THintBar::ShowFor(QWidget* control)
{
    auto it = m_hints.find(control);
    if (it == m_hints.end() && control != nullptr && qobject_cast<QAbstractSpinBox*>(control->parentWidget())) {
        control = control->parentWidget();
        it = m_hints.find(control);
    }
    if (it == m_hints.end()) {
        pnlHint1->clear();
        pnlHint2->clear();
        return;
    }
    pnlHint1->setText(it->second.hint);
    pnlHint2->setText(it->second.keyText ? *it->second.keyText : HintKeyText(control));
}

bool THintBar::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::Enter)
        ShowFor(qobject_cast<QWidget*>(watched));
    return QWidget::eventFilter(watched, e);
}
