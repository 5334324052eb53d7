#include "app/ListTable.h"

#include <QHeaderView>
#include <QTableWidget>

QTableWidget* NewListTable(QWidget* parent, const char* objectName, const QStringList& headers)
{
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(objectName));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->setHorizontalHeaderLabels(headers);
    return table;
}

void FillListTable(QTableWidget* table, const std::vector<QStringList>& rows)
{
    table->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 0; column < table->columnCount(); ++column)
            table->setItem(row, column, new QTableWidgetItem(rows[static_cast<size_t>(row)].value(column)));
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
}
