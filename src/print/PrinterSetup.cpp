#include "print/PrinterSetup.h"

#include "print/CurrentPrinter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kPdfItemRole = Qt::UserRole + 1;   // marks the "PDF file" item
}

TfrmPrintSetup::TfrmPrintSetup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPrintSetup"));
    setWindowTitle(QString::fromLatin1(kPrintSetupCaption));

    cmbPrinter = new QComboBox(this);
    cmbPrinter->setObjectName(QStringLiteral("cmbPrinter"));
    cmbPrinter->setMinimumWidth(260);
    cmbSize = new QComboBox(this);
    cmbSize->setObjectName(QStringLiteral("cmbSize"));
    auto* lblPrinter = new QLabel(QStringLiteral("Printer &Name"), this);
    lblPrinter->setBuddy(cmbPrinter);
    auto* lblSize = new QLabel(QStringLiteral("Si&ze"), this);
    lblSize->setBuddy(cmbSize);
    btnOk = new QPushButton(QStringLiteral("&Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblPrinter, 0, 0);
    grid->addWidget(cmbPrinter, 0, 1);
    grid->addWidget(lblSize, 1, 0);
    grid->addWidget(cmbSize, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);

    cmbSize->addItem(QString::fromLatin1(kSizeLetter));
    cmbSize->addItem(QString::fromLatin1(kSizeA4));
    cmbSize->setCurrentIndex(1);

    const mv53::TCurrentPrinter& current = mv53::TCurrentPrinter::Instance();
    for (const mv53::TPrinterEntry& p : current.InstalledPrinters()) {
        cmbPrinter->addItem(p.Name);
        if (!current.IsPdf() && p.Name == current.PrinterName())
            cmbPrinter->setCurrentIndex(cmbPrinter->count() - 1);
    }
    // For people without a printer: the report can always go into a PDF file.
    cmbPrinter->addItem(QString::fromLatin1(mv53::kPdfDestinationName));
    cmbPrinter->setItemData(cmbPrinter->count() - 1, true, kPdfItemRole);
    if (current.IsPdf() || !current.AnyPrinterInstalled())
        cmbPrinter->setCurrentIndex(cmbPrinter->count() - 1);
    cmbSize->setCurrentIndex(current.Paper() == QPageSize::A4 ? 1 : 0);

    connect(cmbPrinter, &QComboBox::currentIndexChanged, this, &TfrmPrintSetup::UpdateOkButton);
    connect(btnOk, &QPushButton::clicked, this, &TfrmPrintSetup::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPrintSetup::reject);
    UpdateOkButton();
}

void TfrmPrintSetup::UpdateOkButton()
{
    // Something must be chosen: an installed printer or the PDF file.
    btnOk->setEnabled(cmbPrinter->currentIndex() >= 0);
}

void TfrmPrintSetup::accept()
{
    if (cmbPrinter->currentIndex() < 0)
        return;
    const QPageSize::PageSizeId paper =
        cmbSize->currentText() == QLatin1String(kSizeA4) ? QPageSize::A4 : QPageSize::Letter;
    mv53::TCurrentPrinter& current = mv53::TCurrentPrinter::Instance();
    if (cmbPrinter->currentData(kPdfItemRole).toBool())
        current.SelectPdf(paper);
    else
        current.SelectPrinter(cmbPrinter->currentText(), paper);
    QDialog::accept();
}
