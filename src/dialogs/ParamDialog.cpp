#include "dialogs/ParamDialog.h"

#include "controls/HintBar.h"
#include "controls/TwoStateEdit.h"
#include "controls/U_Controls.h"
#include "model/U_Const.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TParamDialog::TParamDialog(const char* caption, QWidget* parent, const char* cancelCaption) : QDialog(parent)
{
    setWindowTitle(QString::fromLatin1(caption));
    // The dialogs' design font, as the main window's: Tahoma 8 pt, or the system's face.
    QFont face = font();
    face.setFamilies({QStringLiteral("Tahoma"), face.family()});
    face.setPointSize(8);
    setFont(face);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_top = new QVBoxLayout;
    m_top->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(m_top);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 10);
    body->setSpacing(10);
    m_form = new QGridLayout;
    m_form->setHorizontalSpacing(10);
    m_form->setVerticalSpacing(6);
    m_form->setColumnStretch(1, 1);
    body->addLayout(m_form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = new QPushButton(QString::fromLatin1(cancelCaption), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {btnOk, btnCancel}) {
        // Enter in a field belongs to the field; only a focused button answers it.
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    body->addLayout(buttons);
    outer->addLayout(body);

    HintBar = new THintBar(this);
    pnlHint1 = HintBar->pnlHint1;
    pnlHint2 = HintBar->pnlHint2;
    outer->addWidget(HintBar);

    connect(btnOk, &QPushButton::clicked, this, &TParamDialog::OkClicked);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(qApp, &QApplication::focusChanged, this, &TParamDialog::FocusChanged);
}

TParamDialog::~TParamDialog()
{
    disconnect(qApp, &QApplication::focusChanged, this, &TParamDialog::FocusChanged);
}

QComboBox* TParamDialog::AddCombo(const char* caption, const char* name, const std::vector<std::string>& items,
                                  const char* hint, int helpContext)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(false);
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(QString::fromStdString(item));
    AddRow(caption, combo, hint, helpContext);
    return combo;
}

QLineEdit* TParamDialog::AddEdit(const char* caption, const char* name, const char* hint, int helpContext)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    AddRow(caption, edit, hint, helpContext);
    return edit;
}

TTwoStateEdit* TParamDialog::AddStateEdit(const char* caption, const char* name, const TTwoStateRules& rules,
                                          const char* hint, int helpContext)
{
    auto* edit = new TTwoStateEdit(rules, this);
    edit->setObjectName(QString::fromLatin1(name));
    AddRow(caption, edit, hint, helpContext);
    return edit;
}

void TParamDialog::AddRow(const char* caption, QWidget* control, const char* hint, int helpContext, bool wide)
{
    // The label's "&" letter gives the Alt key that moves the focus to its control; a hidden or
    // disabled control does not take it.
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(control);
    if (wide) {
        m_form->addWidget(label, m_rows++, 0, 1, 2);
        m_form->addWidget(control, m_rows++, 0, 1, 2, Qt::AlignHCenter);
    } else {
        m_form->addWidget(label, m_rows, 0);
        m_form->addWidget(control, m_rows++, 1);
    }
    RegisterControl(control, hint, helpContext);
    m_controls[control].label = label;
}

void TParamDialog::RegisterControl(QWidget* control, const char* hint, int helpContext)
{
    m_controls[control] = ControlInfo{helpContext, nullptr};
    HintBar->SetHint(control, QString::fromUtf8(hint));
    m_tabOrder.push_back(control);
    control->installEventFilter(this);
}

QLabel* TParamDialog::LabelOf(const QWidget* control) const
{
    const auto it = m_controls.find(control);
    return it == m_controls.end() ? nullptr : it->second.label;
}

int TParamDialog::HelpContextOf(const QWidget* control) const
{
    const auto it = m_controls.find(control);
    return it == m_controls.end() ? m_defaultHelp : it->second.help;
}

std::vector<std::string> TParamDialog::OptionItems(TOptionList list)
{
    std::vector<std::string> items;
    for (int32_t i = 0; i < ValCount(list); ++i)
        items.push_back(ValText(list, i));
    return items;
}

void TParamDialog::ShowValue(QComboBox* combo, int32_t value)
{
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

int32_t TParamDialog::ReadValue(const QComboBox* combo, int32_t previous)
{
    return combo->currentIndex() >= 0 ? combo->currentIndex() : previous;
}

void TParamDialog::showEvent(QShowEvent* e)
{
    if (!e->spontaneous()) {
        LoadControls();
        setFixedSize(kClientWidth, layout()->heightForWidth(kClientWidth) > 0 ? layout()->heightForWidth(kClientWidth)
                                                                              : sizeHint().height());
        if (FocusFirstField(m_tabOrder) == nullptr)
            btnOk->setFocus(Qt::TabFocusReason);
    }
    QDialog::showEvent(e);
}

void TParamDialog::OkClicked()
{
    StoreControls();
    accept();
}

void TParamDialog::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F1) {
        OpenHelp(HelpContextOf(focusWidget()));
        return;
    }
    // Enter never closes the dialog by itself: the focused control decides what it means.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier) {
        EnterInWindow(focusWidget());
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TParamDialog::focusNextPrevChild(bool next)
{
    std::vector<QWidget*> order = m_tabOrder;
    order.insert(order.end(), {btnOk, btnCancel});
    return MoveFocusInOrder(order, focusWidget(), next) || QDialog::focusNextPrevChild(next);
}

bool TParamDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* control = static_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_F1) {
            OpenHelp(HelpContextOf(control));
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TParamDialog::FocusChanged(QWidget* from, QWidget* to)
{
    // A drop-down list opening or closing does not move the focus out of its control.
    for (const QWidget* w : {from, to})
        if (w && w->window()->windowType() == Qt::Popup)
            return;
    if ((to && (to == this || isAncestorOf(to))) || (from && isAncestorOf(from)))
        FocusMoved(from, to);
}

void TParamDialog::OpenHelp(int context) const
{
    if (context > 0 && m_help)
        m_help(context);
}
