#include "service/SerialWriter.h"

#include "model/U_InputFilter.h"
#include "service/SerialWriteChain.h"
#include "service/ServiceControls.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

using mv53::service::TTwoStateEdit;
namespace sw = mv53::serialw;

namespace {

constexpr int kChDataPauseMs = 2000;   // the radio stores the channels before the serial write

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
std::string Std(const QString& s) { return s.toLatin1().toStdString(); }

// The chain's transfers through the host.
sw::TSerialWriteSteps StepsOf(TProgramState& state, const TServiceHost& host, QWidget* parent)
{
    sw::TSerialWriteSteps steps;
    steps.Upload = host.Upload;
    if (host.Download)
        steps.Download = [&state, &host, parent](const TTransferRequest& request, std::string* serial) {
            return host.Download(state, request, parent, serial);
        };
    return steps;
}

}  // namespace

TfrmSerialW::TfrmSerialW(TProgramState& state, TServiceHost host, QWidget* parent, QDate today)
    : QDialog(parent), m_state(state), m_host(std::move(host))
{
    setObjectName(QStringLiteral("frmSerialW"));
    setWindowTitle(QStringLiteral("Serial Writer"));
    setModal(true);

    auto* top = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const auto digits = [](char& key) { return IsDigitKey(key); };
    struct EditRow {
        TTwoStateEdit** edit;
        const char* name;
        const char* caption;
        int length;
        std::string (*rule)(const std::string&);
    };
    const EditRow rows[] = {
        {&edtYear, "edtYear", " &Year", 4, &sw::NormalizeYear},
        {&edtMonth, "edtMonth", " &Month", 2, &sw::NormalizeMonth},
        {&edtLot, "edtLot", " &Lot", 2, &sw::NormalizeLot},
        {&edtSerial, "edtSerial", " &Serial", 4, &sw::NormalizeNumber},
    };
    int column = 0;
    for (const EditRow& row : rows) {
        auto* caption = new QLabel(QString::fromLatin1(row.caption), this);
        caption->setFrameStyle(QFrame::Panel | QFrame::Raised);
        auto* edit = new TTwoStateEdit(digits, row.rule, this);
        edit->setObjectName(QString::fromLatin1(row.name));
        edit->setMaxLength(row.length);
        caption->setBuddy(edit);
        connect(edit, &TTwoStateEdit::Normalized, this, &TfrmSerialW::UpdateNextSerial);
        *row.edit = edit;
        grid->addWidget(caption, 0, column);
        grid->addWidget(edit, 1, column);
        ++column;
    }
    top->addLayout(grid);

    auto* results = new QGridLayout;
    results->addWidget(new QLabel(QStringLiteral("Next Serial Number"), this), 0, 0);
    results->addWidget(new QLabel(QStringLiteral("Read Serial Number"), this), 0, 1);
    edtSerialNo = new QLineEdit(this);
    edtSerialNo->setObjectName(QStringLiteral("edtSerialNo"));
    edtSerialNo->setReadOnly(true);
    edtReadSerialNo = new QLineEdit(this);
    edtReadSerialNo->setObjectName(QStringLiteral("edtReadSerialNo"));
    edtReadSerialNo->setReadOnly(true);
    results->addWidget(edtSerialNo, 1, 0);
    results->addWidget(edtReadSerialNo, 1, 1);
    top->addLayout(results);
    lblLastWrite = new QLabel(this);
    lblLastWrite->setObjectName(QStringLiteral("lblLastWrite"));
    lblLastWrite->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    top->addWidget(lblLastWrite);

    auto* buttons = new QHBoxLayout;
    btnSnWrite = new QPushButton(QStringLiteral("S/N &Write"), this);
    btnChWrite = new QPushButton(QStringLiteral("Ch Data+S/N Write"), this);
    btnSnRead = new QPushButton(QStringLiteral("S/N &Read"), this);
    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    for (QPushButton* b : {btnSnWrite, btnChWrite, btnSnRead, btnClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    SetBusy(false);
    top->addLayout(buttons);

    connect(btnSnWrite, &QPushButton::clicked, this, &TfrmSerialW::SnWrite);
    connect(btnChWrite, &QPushButton::clicked, this, &TfrmSerialW::ChDataSnWrite);
    connect(btnSnRead, &QPushButton::clicked, this, &TfrmSerialW::SnRead);
    connect(btnClose, &QPushButton::clicked, this, [this] { close(); });

    edtYear->setText(today.toString(QStringLiteral("yyyy")));
    edtMonth->setText(today.toString(QStringLiteral("MM")));
    edtLot->setText(QStringLiteral("00"));
    edtSerial->setText(QStringLiteral("0000"));
    UpdateNextSerial();
}

sw::TSerialFields TfrmSerialW::Fields() const
{
    return {Std(edtYear->text()), Std(edtMonth->text()), Std(edtLot->text()), Std(edtSerial->text())};
}

void TfrmSerialW::SetFields(const sw::TSerialFields& fields)
{
    edtYear->setText(Latin1(fields.Year));
    edtMonth->setText(Latin1(fields.Month));
    edtLot->setText(Latin1(fields.Lot));
    edtSerial->setText(Latin1(fields.Number));
}

void TfrmSerialW::UpdateNextSerial() { edtSerialNo->setText(Latin1(sw::NextSerialNumber(Fields()))); }

void TfrmSerialW::showEvent(QShowEvent* e)
{
    UpdateNextSerial();
    QDialog::showEvent(e);
}

void TfrmSerialW::closeEvent(QCloseEvent* e)
{
    // The chain would run on without its window.
    if (m_busy) {
        e->ignore();
        return;
    }
    e->accept();
    done(QDialog::Rejected);
}

void TfrmSerialW::reject()
{
    if (!m_busy)
        QDialog::reject();
}

void TfrmSerialW::SetBusy(bool busy)
{
    m_busy = busy;
    for (QWidget* edit : {edtYear, edtMonth, edtLot, edtSerial})
        edit->setEnabled(!busy);
    btnSnWrite->setEnabled(!busy && m_host.Upload && m_host.Download);
    btnChWrite->setEnabled(!busy && m_host.Upload && m_host.Download && m_host.CommitGrid);
    btnSnRead->setEnabled(!busy && m_host.Download);
    btnClose->setEnabled(!busy);
}

void TfrmSerialW::RunExclusive(void (TfrmSerialW::*command)())
{
    if (m_busy)
        return;
    QPointer<QWidget> focus = focusWidget();
    SetBusy(true);
    (this->*command)();
    SetBusy(false);
    if (focus)
        focus->setFocus();
}

void TfrmSerialW::SnWrite() { RunExclusive(&TfrmSerialW::WriteNextNumber); }
void TfrmSerialW::ChDataSnWrite() { RunExclusive(&TfrmSerialW::WriteChannelsAndNumber); }
void TfrmSerialW::SnRead() { RunExclusive(&TfrmSerialW::ReadNumber); }

void TfrmSerialW::WriteNextNumber()
{
    // A new radio: the line about the last one goes.
    lblLastWrite->clear();
    edtReadSerialNo->clear();
    sw::TSerialFields fields = sw::Normalized(Fields());
    const sw::TSerialWriteResult result = sw::WriteSerialNumber(m_state, fields, StepsOf(m_state, m_host, this));
    SetFields(fields);
    UpdateNextSerial();
    if (!result.Uploaded)
        return;
    edtReadSerialNo->setText(Latin1(result.ReadNo));
    if (!result.Written)
        lblLastWrite->setText(QString::fromLatin1(kLastWriteFailed));
    else if (!result.ReadBack)
        lblLastWrite->setText(QString::fromLatin1(kLastWriteUnanswered));
    else if (result.ReadNo != result.WrittenNo)
        lblLastWrite->setText(QString::fromLatin1(kLastWriteDiffers));
}

void TfrmSerialW::WriteChannelsAndNumber()
{
    lblLastWrite->clear();
    edtReadSerialNo->clear();
    TTransferRequest request;
    request.Kind = TTransferKind::UserData;
    request.AutoStart = true;
    request.InChain = true;
    if (m_host.CommitGrid && m_host.CommitGrid() && m_host.Download && m_host.Download(m_state, request, this, nullptr)) {
        mv53::service::Pause(kChDataPauseMs);
        WriteNextNumber();
    }
}

void TfrmSerialW::ReadNumber()
{
    std::string read;
    sw::ReadSerialNumber(StepsOf(m_state, m_host, this), read);
    edtReadSerialNo->setText(Latin1(read));
}
