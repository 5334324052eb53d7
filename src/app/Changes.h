#pragma once
// TfrmChanges: the differences between two sets of data, one row per setting or channel field
// with its old and new value as the dialogs and the grid show them, and their count. Before a
// Download it asks "&Write" / "&Cancel" (Escape and the close box cancel); to look only, it
// offers "&Close".

#include "document/Document.h"
#include "model/ImageDiff.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

inline constexpr const char* kChangesCaption = "Changes to the radio";
inline constexpr const char* kDifferencesCaption = "Differences";

class TfrmChanges final : public QDialog {
    Q_OBJECT
public:
    TfrmChanges(const std::vector<mv53::TImageDifference>& differences, TChangesUse use, QWidget* parent = nullptr);

    // "1 difference", "N differences".
    static QString CountText(std::size_t count);

    QLabel* lblCount = nullptr;
    QTableWidget* grdChanges = nullptr;
    QPushButton* btnWrite = nullptr;    // only before a Download
    QPushButton* btnCancel = nullptr;   // "&Cancel" before a Download, else "&Close"
};
