#include "app/About.h"

#include "app/Version.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
#ifdef Q_OS_WIN
const char* const kProductName = "MV53 for Windows";
#else
const char* const kProductName = "MV53";
#endif
const char* const kComments = "Programming tool for the KT-4680 Series";
}  // namespace

QString TfrmAbout::VersionText()
{
    return QStringLiteral("Ver.%1.%2").arg(QLatin1String(kVersionMajor), QLatin1String(kVersionMinor));
}

QString TfrmAbout::ApplicationTitle() { return QLatin1String(kProductName); }

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About MV53"));
    lblProductName = new QLabel(ApplicationTitle(), this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    lblProductName->setFont(big);
    lblVersion = new QLabel(VersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblComments = new QLabel(QLatin1String(kComments), this);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(8);
    for (QLabel* l : {lblProductName, lblVersion, lblComments}) {
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    layout->addSpacing(8);
    layout->addWidget(btnOk, 0, Qt::AlignCenter);
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));
}
