#include "service/ServiceWindow.h"

#include "controls/HintBar.h"
#include "controls/U_Controls.h"
#include "model/Prompt.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QKeyEvent>
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
        buttons->addWidget(b);
        if (HintBar != nullptr)
            HintBar->SetHint(b, QString());
    }
    btnOpen->setEnabled(static_cast<bool>(m_host.FileOpen));
    btnPrint->setEnabled(static_cast<bool>(m_host.Print));
    btnWrite->setEnabled(static_cast<bool>(m_host.Download));
    layout->addLayout(buttons);
    connect(btnOpen, &QPushButton::clicked, this, &TServiceWindow::FileOpen);
    connect(btnPrint, &QPushButton::clicked, this, &TServiceWindow::Print);
    connect(btnWrite, &QPushButton::clicked, this, [this] { Write(); });
    connect(btnCancel, &QPushButton::clicked, this, &TServiceWindow::ClosingSteps);
}

void TServiceWindow::StoreAndCommit()
{
    FinishEditing();
    StoreStep();
    CommitStep();
}

bool TServiceWindow::Download(bool autoStart)
{
    if (!m_host.Download)
        return false;
    TTransferRequest request;
    request.Kind = m_writeKind;
    request.AutoStart = autoStart;
    m_radioBehind = !m_host.Download(m_state, request, this, nullptr);
    return !m_radioBehind;
}

void TServiceWindow::ClosingSteps()
{
    if (m_finishing)
        return;
    FinishEditing();
    LeaveLiveMode();
    StoreStep();
    // After a write that failed, CurrentMem holds the copies but the radio does not.
    if ((CopiesDiffer() || m_radioBehind) && mv53::ConfirmYesNo(kServiceDownloadPrompt)) {
        CommitStep();
        Download();
    }
    ReturnToNormal();
    m_finishing = true;
    done(QDialog::Rejected);
}

void TServiceWindow::FileOpen()
{
    if (!m_host.FileOpen)
        return;
    ReturnToNormal();
    StoreAndCommit();
    m_host.FileOpen();
    TakeCopies();
    m_radioBehind = false;   // new copies: what the radio holds is not known either way
    ShowCopies();
}

void TServiceWindow::Print()
{
    if (!m_host.Print)
        return;
    ReturnToNormal();
    StoreAndCommit();
    m_host.Print(m_report, this);
}

bool TServiceWindow::Write(bool autoStart)
{
    StoreAndCommit();
    const bool written = Download(autoStart);
    ReturnToNormal();
    return written;
}

void TServiceWindow::showEvent(QShowEvent* e)
{
    if (!e->spontaneous()) {
        ShowCopies();
        // Enter belongs to the focused control; no button answers it for another one.
        for (QPushButton* b : findChildren<QPushButton*>())
            b->setAutoDefault(false);
        if (FocusFirstField(m_fields) == nullptr)
            btnCancel->setFocus(Qt::TabFocusReason);
    }
    QDialog::showEvent(e);
}

void TServiceWindow::closeEvent(QCloseEvent* e)
{
    // The close box runs the closing steps like Cancel: changes are not lost without a question.
    if (!m_finishing)
        ClosingSteps();
    e->accept();
}

void TServiceWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        EnterInWindow(focusWidget());
        return;
    }
    QDialog::keyPressEvent(e);
}

bool TServiceWindow::focusNextPrevChild(bool next)
{
    std::vector<QWidget*> order = m_fields;
    order.insert(order.end(), {btnOpen, btnPrint, btnWrite, btnCancel});
    return MoveFocusInOrder(order, focusWidget(), next) || QDialog::focusNextPrevChild(next);
}

void TServiceWindow::reject() { ClosingSteps(); }
