#include "link/Radio.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

TfrmRadio::HelpHook& helpHook()
{
    static TfrmRadio::HelpHook hook;
    return hook;
}

constexpr int kImageTop = 18;
constexpr int kImageHeight = 32;
constexpr int kPcWidth = 28;
constexpr int kArrowWidth = 36;
constexpr int kRadioWidth = 72;
constexpr int kAutoStartMs = 500;
constexpr int kWindowWidth = 212;
constexpr int kWindowHeight = 158;
constexpr int kMargin = 8;

QPixmap pcPicture()
{
    QPixmap pm(kPcWidth, kImageHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(2, 2, 23, 18);                  // monitor
    p.setBrush(QColor(0x00, 0x00, 0x80));
    p.drawRect(5, 5, 17, 12);                  // screen
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawRect(10, 21, 7, 3);                  // stand
    p.drawRect(1, 25, 25, 5);                  // keyboard
    return pm;
}

QPixmap arrowPicture()
{
    QPixmap pm(kArrowWidth, kImageHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x80, 0x00));
    const QPointF arrow[] = {{3, 12}, {20, 12}, {20, 5}, {33, 16}, {20, 27}, {20, 20}, {3, 20}};
    p.drawPolygon(arrow, 7);
    return pm;
}

QPixmap radioPicture()
{
    QPixmap pm(kRadioWidth, kImageHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawRect(2, 6, 67, 22);                  // body
    p.setBrush(QColor(0xA0, 0xD0, 0x60));
    p.drawRect(8, 11, 26, 10);                 // display
    p.setBrush(QColor(0xA0, 0xA0, 0xA0));
    p.drawEllipse(QPoint(50, 17), 7, 7);       // tuning knob
    p.drawEllipse(QPoint(63, 22), 3, 3);
    return pm;
}

}  // namespace

void TfrmRadio::SetHelpHook(HelpHook hook) { helpHook() = std::move(hook); }

TfrmRadio::TfrmRadio(TProgramState& state, const TTransferRequest& request, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_state(state), m_request(request),
      m_transfer(state)
{
    setObjectName(QStringLiteral("frmRadio"));
    setModal(true);
    setFixedSize(kWindowWidth, kWindowHeight);

    lblStage = new QLabel(this);
    lblStage->setObjectName(QStringLiteral("lblStage"));
    lblStage->setGeometry(kMargin, 2, kWindowWidth - 2 * kMargin, 14);
    lblStage->hide();

    imgPc = new QLabel(this);
    imgPc->setObjectName(QStringLiteral("imgPc"));
    imgPc->setPixmap(pcPicture());
    imgArrow = new QLabel(this);
    imgArrow->setObjectName(QStringLiteral("imgArrow"));
    imgArrow->setPixmap(arrowPicture());
    imgRadio = new QLabel(this);
    imgRadio->setObjectName(QStringLiteral("imgRadio"));
    imgRadio->setPixmap(radioPicture());

    QLabel** lines[] = {&lblMsg1, &lblMsg2, &lblMsg3};
    for (int i = 0; i < 3; ++i) {
        auto* line = new QLabel(this);
        line->setObjectName(QStringLiteral("lblMsg%1").arg(i + 1));
        line->setGeometry(8, 56 + 14 * i, 196, 14);
        *lines[i] = line;
    }

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 102, 196, 16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, mv53::TCloneTransfer::ProgressMax(request.Kind));
    ProgressBar1->setValue(0);

    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(8, 126, 60, 24);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(76, 126, 60, 24);
    btnHelp = new QPushButton(QStringLiteral("&Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnHelp->setGeometry(144, 126, 60, 24);

    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        Timer1.stop();
        startTransfer();
    });
    connect(btnOk, &QPushButton::clicked, this, &TfrmRadio::startTransfer);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmRadio::cancel);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmRadio::showHelp);
    connect(&m_transfer, &mv53::TCloneTransfer::ProgressChanged, this, &TfrmRadio::showProgress);
}

TfrmRadio::~TfrmRadio() = default;

void TfrmRadio::showEvent(QShowEvent* event)
{
    setWindowTitle(QString::fromLatin1(m_request.Kind == TTransferKind::Upload ? kUploadCaption : kDownloadCaption));
    lblMsg1->clear();
    lblMsg2->clear();
    lblMsg3->clear();
    showStage();
    m_done = false;
    m_state.TimedOut = false;
    if (m_request.AutoStart) {
        btnOk->hide();
        btnCancel->hide();
        m_request.AutoStart = false;   // once: a second show waits for Ok
        Timer1.start(kAutoStartMs);
    }
    QDialog::showEvent(event);
}

void TfrmRadio::startTransfer()
{
    if (!btnOk->isEnabled())
        return;
    btnOk->setEnabled(false);
    btnCancel->setEnabled(false);
    const bool ok = m_transfer.Run(m_request);
    m_done = true;
    done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void TfrmRadio::cancel()
{
    m_done = true;
    if (btnOk->isEnabled())
        done(QDialog::Rejected);
}

void TfrmRadio::reject()
{
    // Escape: a Cancel click while Cancel can be clicked; nothing while a transfer runs or
    // starts by itself.
    if (btnCancel->isVisible() && btnCancel->isEnabled())
        cancel();
}

void TfrmRadio::closeEvent(QCloseEvent* event)
{
    if (!m_done)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TfrmRadio::showHelp()
{
    if (helpHook())
        helpHook()(m_request.Kind == TTransferKind::Upload ? kHelpUpload : kHelpDownload);
}

void TfrmRadio::showStage()
{
    const char* stage = nullptr;
    switch (m_request.Stage) {
    case TChainStage::UserData: stage = kStageUserData; break;
    case TChainStage::ReadBack: stage = kStageReadBack; break;
    case TChainStage::Factory: stage = kStageFactory; break;
    case TChainStage::Backup: stage = kStageBackup; break;
    case TChainStage::None: break;
    }
    lblStage->setVisible(stage != nullptr);
    // A read before the writes is no numbered step of the Download.
    if (stage == nullptr)
        lblStage->clear();
    else if (m_request.StepCount == 0)
        lblStage->setText(QString::fromLatin1(stage));
    else
        lblStage->setText(QStringLiteral("Step %1 of %2: %3")
                              .arg(m_request.Step)
                              .arg(m_request.StepCount)
                              .arg(QString::fromLatin1(stage)));
    fitWidth();
}

void TfrmRadio::fitWidth()
{
    // As wide as the stage line needs in this font (never narrower than the usual window), with
    // the pictures centred over the lines.
    const int text = lblStage->isVisible() ? lblStage->fontMetrics().horizontalAdvance(lblStage->text()) + 4 : 0;
    const int inner = std::max(kWindowWidth - 2 * kMargin, text);
    setFixedSize(inner + 2 * kMargin, kWindowHeight);
    for (QWidget* line : {static_cast<QWidget*>(lblStage), static_cast<QWidget*>(lblMsg1),
                          static_cast<QWidget*>(lblMsg2), static_cast<QWidget*>(lblMsg3),
                          static_cast<QWidget*>(ProgressBar1)})
        line->resize(inner, line->height());
    const int shift = (inner - (kWindowWidth - 2 * kMargin)) / 2;
    const bool upload = m_request.Kind == TTransferKind::Upload;
    QLabel* left = upload ? imgRadio : imgPc;
    QLabel* right = upload ? imgPc : imgRadio;
    left->setGeometry(shift + (upload ? 16 : 60), kImageTop, upload ? kRadioWidth : kPcWidth, kImageHeight);
    imgArrow->setGeometry(shift + 88, kImageTop, kArrowWidth, kImageHeight);
    right->setGeometry(shift + 124, kImageTop, upload ? kPcWidth : kRadioWidth, kImageHeight);
}

void TfrmRadio::showProgress(int position)
{
    ProgressBar1->setValue(std::clamp(position, ProgressBar1->minimum(), ProgressBar1->maximum()));
}

bool RunCloneWindow(TProgramState& state, const TTransferRequest& request, QWidget* parent, std::string* readSerialNo)
{
    TfrmRadio frm(state, request, parent);
    const bool ok = frm.exec() == QDialog::Accepted && frm.Transfer().Result().Ok();
    if (readSerialNo != nullptr)
        *readSerialNo = ok ? frm.Transfer().Result().readSerialNo : std::string();
    if (parent != nullptr)
        parent->activateWindow();
    return ok;
}
