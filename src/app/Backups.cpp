#include "app/Backups.h"

#include "app/ListTable.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmBackups::TfrmBackups(std::vector<mv53::TBackupEntry> backups, QWidget* parent)
    : QDialog(parent), m_backups(std::move(backups))
{
    setObjectName(QStringLiteral("frmBackups"));
    setWindowTitle(QString::fromLatin1(kBackupsCaption));
    setModal(true);

    grdBackups = NewListTable(this, "grdBackups", {QStringLiteral("Radio"), QStringLiteral("Time"), QStringLiteral("Reason")});
    std::vector<QStringList> rows;
    for (const mv53::TBackupEntry& e : m_backups) {
        QString time = QString::fromStdString(e.Time);
        time.replace(QLatin1Char('T'), QLatin1Char(' '));
        rows.push_back({QString::fromStdString(e.Serial), time, QString::fromStdString(e.Reason)});
    }
    FillListTable(grdBackups, rows);
    if (!m_backups.empty())
        grdBackups->setCurrentCell(0, 0);

    btnOpen = new QPushButton(QStringLiteral("&Open"), this);
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    btnCompare = new QPushButton(QStringLiteral("Co&mpare"), this);
    btnCompare->setObjectName(QStringLiteral("btnCompare"));
    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* b : {btnOpen, btnCompare})
        b->setEnabled(!m_backups.empty());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOpen);
    buttons->addWidget(btnCompare);
    buttons->addWidget(btnClose);
    connect(btnOpen, &QPushButton::clicked, this, [this] { Choose(TChoice::Open); });
    connect(btnCompare, &QPushButton::clicked, this, [this] { Choose(TChoice::Compare); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdBackups, 1);
    layout->addLayout(buttons);
    resize(480, 360);
    grdBackups->setFocus();
}

std::string TfrmBackups::ChosenPath() const
{
    const int row = grdBackups->currentRow();
    if (row < 0 || row >= static_cast<int>(m_backups.size()))
        return {};
    return m_backups[static_cast<std::size_t>(row)].Path;
}

void TfrmBackups::Choose(TChoice choice)
{
    if (ChosenPath().empty())
        return;
    m_choice = choice;
    accept();
}
