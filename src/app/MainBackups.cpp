// The main window's backups: the compare window, "File / Compare with File...",
// "Radio / Compare with Radio" and "Radio / Backups...".

#include "app/Backups.h"
#include "app/Changes.h"
#include "app/Main.h"

#include <QAction>

void TfrmMain::AttachBackups()
{
    connect(miCompareFile, &QAction::triggered, this, [this] { m_doc.CompareWithFile(); });
    connect(miCompareRadio, &QAction::triggered, this, [this] { m_doc.CompareWithRadio(); });
    connect(miBackups, &QAction::triggered, this, &TfrmMain::ShowBackups);
    // Both are there only where backups are kept; comparing with the radio also needs the radio.
    miCompareRadio->setVisible(static_cast<bool>(m_backups));
    miCompareRadio->setEnabled(static_cast<bool>(m_options.Link.Transfer));
    miBackups->setVisible(static_cast<bool>(m_backups));
}

bool TfrmMain::ShowChanges(const std::vector<mv53::TImageDifference>& differences, TChangesUse use)
{
    TfrmChanges dlg(differences, use, this);
    return ShowModal(dlg) == QDialog::Accepted && use == TChangesUse::BeforeWrite;
}

void TfrmMain::ShowBackups()
{
    if (!m_backups || !CommitGrid())
        return;
    TfrmBackups dlg(m_backups->Store().List(), this);
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    if (dlg.Choice() == TfrmBackups::TChoice::Open)
        m_doc.OpenBackup(dlg.ChosenPath());
    else if (dlg.Choice() == TfrmBackups::TChoice::Compare)
        m_doc.CompareWithFile(dlg.ChosenPath());
}
