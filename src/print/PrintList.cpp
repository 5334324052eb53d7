#include "print/PrintList.h"

#include "print/PrintJob.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPrintList::TfrmPrintList(TProgramState& state, QWidget* parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmPrintList"));
    setWindowTitle(QStringLiteral("Printout List"));

    chkCommon = new QCheckBox(QStringLiteral("&Common"), this);
    chkCommon->setObjectName(QStringLiteral("chkCommon"));
    chkCommon->setChecked(true);
    chkSelcall = new QCheckBox(QStringLiteral("&Selcall"), this);
    chkSelcall->setObjectName(QStringLiteral("chkSelcall"));
    chkChannel = new QCheckBox(QStringLiteral("C&hannel Data"), this);
    chkChannel->setObjectName(QStringLiteral("chkChannel"));
    chkChannel->setChecked(true);
    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnPrint = new QPushButton(QStringLiteral("&Print"), this);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* layout = new QHBoxLayout(this);
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(chkCommon);
    boxes->addWidget(chkSelcall);
    boxes->addWidget(chkChannel);
    boxes->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnOk);
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    layout->addLayout(boxes, 1);
    layout->addLayout(buttons);

    for (QCheckBox* box : {chkCommon, chkSelcall, chkChannel})
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) { KeepOneChecked(box, on); });
    connect(btnOk, &QPushButton::clicked, this, &TfrmPrintList::Ok);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmPrintList::Print);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmPrintList::showEvent(QShowEvent* e)
{
    chkCommon->setChecked(m_state.PrintSelection.Common);
    chkSelcall->setChecked(m_state.PrintSelection.Selcall);
    chkChannel->setChecked(m_state.PrintSelection.ChannelData);
    QDialog::showEvent(e);
}

void TfrmPrintList::KeepOneChecked(QCheckBox* box, bool checked)
{
    if (checked)
        return;
    int others = 0;
    for (QCheckBox* b : {chkCommon, chkSelcall, chkChannel})
        if (b != box && b->isChecked())
            ++others;
    if (others == 0)
        box->setChecked(true);
}

void TfrmPrintList::TakeChoices()
{
    m_state.PrintSelection.Common = chkCommon->isChecked();
    m_state.PrintSelection.Selcall = chkSelcall->isChecked();
    m_state.PrintSelection.ChannelData = chkChannel->isChecked();
}

void TfrmPrintList::Ok()
{
    TakeChoices();
    accept();
}

void TfrmPrintList::Print()
{
    TakeChoices();
    mv53::PrintUserReport(m_state, this);
    accept();
}
