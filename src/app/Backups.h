#pragma once
// TfrmBackups: the backups of the radios, newest first, with the radio, the time and why the
// radio was read. "&Open" takes the chosen one as the document, "Co&mpare" shows it against
// the document; the main window does either once the window is closed.

#include "document/BackupStore.h"

#include <QDialog>

#include <string>
#include <vector>

class QPushButton;
class QTableWidget;

inline constexpr const char* kBackupsCaption = "Backups";

class TfrmBackups final : public QDialog {
    Q_OBJECT
public:
    enum class TChoice { None, Open, Compare };

    explicit TfrmBackups(std::vector<mv53::TBackupEntry> backups, QWidget* parent = nullptr);

    TChoice Choice() const { return m_choice; }
    // The chosen backup's file (empty when none is chosen).
    std::string ChosenPath() const;

    QTableWidget* grdBackups = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnCompare = nullptr;
    QPushButton* btnClose = nullptr;

private:
    void Choose(TChoice choice);

    std::vector<mv53::TBackupEntry> m_backups;
    TChoice m_choice = TChoice::None;
};
