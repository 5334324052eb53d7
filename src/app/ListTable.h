#pragma once
// A read-only table of text rows for the windows that list things (changes, backups): whole
// rows selected, no row numbers, the columns sized to their texts and the last one stretched.

#include <QStringList>

#include <vector>

class QTableWidget;
class QWidget;

QTableWidget* NewListTable(QWidget* parent, const char* objectName, const QStringList& headers);
// Fills the table with rows of texts (one per column).
void FillListTable(QTableWidget* table, const std::vector<QStringList>& rows);
