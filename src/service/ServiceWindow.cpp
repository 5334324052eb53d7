#include "service/ServiceWindow.h"

#include "model/Prompt.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>

TServiceWindow::TServiceWindow(TProgramState& state, TServiceHost host, TTransferKind writeKind,
                               TServiceReport report, QWidget* parent)
    : QDialog(parent), m_state(state), m_host(std::move(host)), m_writeKind(writeKind), m_report(report)
{
}

void TServiceWindow::AddCommandButtons(QBoxLayout* layout)
{
    auto* buttons = new QHBoxLayout;
    btnOpen = new QPushButton(QStringLiteral("File &Open"), this);
    btnPrint = new QPushButton(QStringLiteral("&Print"), this);
    btnWrite = new QPushButton(QStringLiteral("&Write"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    for (QPushButton* b : {btnOpen, btnPrint, btnWrite, btnCancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    btnOpen->setEnabled(static_cast<bool>(m_host.FileOpen));
    btnPrint->setEnabled(static_cast<bool>(m_host.Print));
    btnWrite->setEnabled(static_cast<bool>(m_host.Download));
    layout->addLayout(buttons);
    connect(btnOpen, &QPushButton::clicked, this, &TServiceWindow::FileOpen);
    connect(btnPrint, &QPushButton::clicked, this, &TServiceWindow::Print);
    connect(btnWrite, &QPushButton::clicked, this, &TServiceWindow::Write);
    connect(btnCancel, &QPushButton::clicked, this, &TServiceWindow::ClosingSteps);
}

void TServiceWindow::StoreAndCommit()
{
    FinishEditing();
    StoreStep();
    CommitStep();
}

void TServiceWindow::ClosingSteps()
{
    if (m_finishing)
        return;
    FinishEditing();
    StoreStep();
    if (CopiesDiffer() && mv53::ConfirmYesNo(kServiceDownloadPrompt)) {
        CommitStep();
        if (m_host.Download)
            m_host.Download(m_state, static_cast<int>(m_writeKind), this, nullptr);
    }
    m_finishing = true;
    done(QDialog::Rejected);
}

void TServiceWindow::FileOpen()
{
    if (!m_host.FileOpen)
        return;
    StoreAndCommit();
    m_state.OpenFromService = true;
    m_host.FileOpen();
    m_state.OpenFromService = false;
    TakeCopies();
    ShowCopies();
}

void TServiceWindow::Print()
{
    if (!m_host.Print)
        return;
    StoreAndCommit();
    m_host.Print(m_report, this);
}

void TServiceWindow::Write()
{
    StoreAndCommit();
    if (m_host.Download)
        m_host.Download(m_state, static_cast<int>(m_writeKind), this, nullptr);
}

void TServiceWindow::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        ShowCopies();
    QDialog::showEvent(e);
}

void TServiceWindow::closeEvent(QCloseEvent* e)
{
    // The close box runs the closing steps like Cancel: changes are not lost without a question.
    if (!m_finishing)
        ClosingSteps();
    e->accept();
}
