#include "app/Changes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kColumns[] = {"Channel or setting", "Field", "Old", "New"};
const char* const kAdded = "added";
const char* const kRemoved = "removed";

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The row's cells: what changed, which field, old and new value.
std::array<QString, 4> RowCells(const mv53::TImageDifference& d)
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

    grdChanges = new QTableWidget(static_cast<int>(differences.size()), 4, this);
    grdChanges->setObjectName(QStringLiteral("grdChanges"));
    grdChanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChanges->verticalHeader()->hide();
    QStringList headers;
    for (const char* c : kColumns)
        headers << QString::fromLatin1(c);
    grdChanges->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < grdChanges->rowCount(); ++row) {
        const auto cells = RowCells(differences[static_cast<std::size_t>(row)]);
        for (int column = 0; column < 4; ++column)
            grdChanges->setItem(row, column, new QTableWidgetItem(cells[static_cast<std::size_t>(column)]));
    }
    grdChanges->resizeColumnsToContents();
    grdChanges->horizontalHeader()->setStretchLastSection(true);

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
