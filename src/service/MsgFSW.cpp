#include "service/MsgFSW.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmMsg::TfrmMsg(TProgramState& state, mv53::TFirmwareJob job, QWidget* parent)
    : QDialog(parent), m_writer(state), m_job(std::move(job))
{
    setWindowTitle(QStringLiteral("Firmware Update"));
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint) & ~Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("frmMsg"));
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QString::fromLatin1(mv53::kFswNowWriting), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    layout->addWidget(Label1);
    layout->addWidget(btnCancel);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMsg::CancelClick);
    m_start.setSingleShot(true);
    m_start.setInterval(kStartDelayMs);
    connect(&m_start, &QTimer::timeout, this, &TfrmMsg::RunProcedure);
    m_start.start();
}

void TfrmMsg::RunProcedure()
{
    m_start.stop();
    if (m_started)
        return;
    m_started = true;
    m_running = true;
    m_writer.Run(m_job);
    m_running = false;
    accept();
}

void TfrmMsg::CancelClick()
{
    Q_EMIT CancelPressed();
    m_writer.Cancel();
    if (!m_running) {
        m_start.stop();
        QDialog::reject();
    }
}

void TfrmMsg::reject()
{
    // Escape acts as Cancel; the window closes once the procedure has noticed the stop flag.
    CancelClick();
}
