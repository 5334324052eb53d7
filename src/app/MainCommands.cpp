// The main window's side of the commands: the document's hooks (the grid's commit, the clone
// window, the refresh), and the commands that only concern the window (COM port, clipboard,
// columns).

#include "grid/ChannelGrid.h"
#include "app/Main.h"
#include "grid/Visible.h"

TDocumentHooks TfrmMain::DocumentHooks()
{
    TDocumentHooks hooks;
    hooks.CommitEdits = [this] { return CommitGridEdits(); };
    hooks.Changed = [this] { RefreshMainWindow(); };
    if (m_options.Link.Transfer)
        hooks.Transfer = [this](const TTransferRequest& request) {
            return m_options.Link.Transfer(m_state, request, this, nullptr);
        };
    hooks.Backups = m_backups.get();
    if (m_backups)
        hooks.ShowChanges = [this](const std::vector<mv53::TImageDifference>& differences, TChangesUse use) {
            return ShowChanges(differences, use);
        };
    return hooks;
}

bool TfrmMain::CommitGridEdits()
{
    if (grdCh->Editing() && !grdCh->CommitEditor())
        return false;
    grdCh->GridToChannels();
    return true;
}

void TfrmMain::Configure()
{
    if (!m_options.Link.Configure || !CommitGrid())
        return;
    m_comPortNo = m_state.ComPortNo;
    if (m_backups && m_options.Link.ConfigureWithBackup) {
        bool backup = m_backups->BeforeWrite();
        if (!m_options.Link.ConfigureWithBackup(m_comPortNo, backup, this))
            return;
        m_backups->SetBeforeWrite(backup);
        m_state.ComPortNo = m_comPortNo;
        UpdatePortPanel();
    } else if (m_options.Link.Configure(m_comPortNo, this)) {
        m_state.ComPortNo = m_comPortNo;
        UpdatePortPanel();
    }
}

void TfrmMain::EditCopy()
{
    if (grdCh->HasEditFocus())
        grdCh->Copy();
}

void TfrmMain::EditPaste()
{
    if (grdCh->HasEditFocus())
        grdCh->Paste();
}

void TfrmMain::ToggleViewItem(int item)
{
    CommitGrid();
    m_viewItems[static_cast<size_t>(item)] = miItem[static_cast<size_t>(item)]->isChecked();
    grdCh->ApplyColumnVisibility(m_viewItems);
}

void TfrmMain::ShowVisibleDialog()
{
    CommitGrid();
    TfrmVisible dlg(m_viewItems, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_viewItems = dlg.Flags();
    for (int i = 0; i < kViewItemCount; ++i)
        miItem[static_cast<size_t>(i)]->setChecked(m_viewItems[static_cast<size_t>(i)]);
    grdCh->ApplyColumnVisibility(m_viewItems);
}
