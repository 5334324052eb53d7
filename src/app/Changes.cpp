#include "app/Changes.h"

#include "app/ListTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kAdded = "added";
const char* const kRemoved = "removed";

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The row's cells: what changed, which field, old and new value.
QStringList RowCells(const mv53::TImageDifference& d)
{
    using mv53::TDifferenceKind;
    const QString channel = QStringLiteral("Channel %1").arg(d.Channel);
    switch (d.Kind) {
    case TDifferenceKind::ChannelField: return {channel, Q(d.Field), Q(d.Old), Q(d.New)};
    case TDifferenceKind::ChannelAdded: return {channel, QString::fromLatin1(kAdded), {}, {}};
    case TDifferenceKind::ChannelRemoved: return {channel, QString::fromLatin1(kRemoved), {}, {}};
    case TDifferenceKind::Setting: break;
    }
    return {Q(d.Section), Q(d.Field), Q(d.Old), Q(d.New)};
}

}  // namespace

QString TfrmChanges::CountText(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 difference") : QStringLiteral("%1 differences").arg(count);
}

TfrmChanges::TfrmChanges(const std::vector<mv53::TImageDifference>& differences, TChangesUse use, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChanges"));
    setWindowTitle(QString::fromLatin1(use == TChangesUse::BeforeWrite ? kChangesCaption : kDifferencesCaption));
    setModal(true);

    lblCount = new QLabel(CountText(differences.size()), this);
    lblCount->setObjectName(QStringLiteral("lblCount"));

    grdChanges = NewListTable(this, "grdChanges", {QStringLiteral("Channel or setting"), QStringLiteral("Field"),
                                                   QStringLiteral("Old"), QStringLiteral("New")});
    std::vector<QStringList> rows;
    for (const mv53::TImageDifference& d : differences)
        rows.push_back(RowCells(d));
    FillListTable(grdChanges, rows);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (use == TChangesUse::BeforeWrite) {
        btnWrite = new QPushButton(QStringLiteral("&Write"), this);
        btnWrite->setObjectName(QStringLiteral("btnWrite"));
        btnWrite->setAutoDefault(false);
        buttons->addWidget(btnWrite);
        connect(btnWrite, &QPushButton::clicked, this, &QDialog::accept);
    }
    btnCancel = new QPushButton(use == TChangesUse::BeforeWrite ? QStringLiteral("&Cancel") : QStringLiteral("&Close"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter never writes by itself: the default button is the one that sends nothing.
    btnCancel->setDefault(true);
    buttons->addWidget(btnCancel);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCount);
    layout->addWidget(grdChanges, 1);
    layout->addLayout(buttons);
    resize(640, 400);
    grdChanges->setFocus();
}
