// The file and radio commands of the main window: what each does with the program state,
// when it asks to save, which copies of the data it replaces and which flags it changes.

#include "app/ChannelGrid.h"
#include "app/Main.h"
#include "app/Visible.h"
#include "model/FreqRange.h"
#include "model/Prompt.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <QFileInfo>

namespace {

std::vector<mv53::FileFilter> OpenFilters()
{
    return {{"M53 Files(*.m53)", {"*.m53"}}, {"X53 Files(*.x53)", {"*.x53"}}};
}

std::vector<mv53::FileFilter> SaveFilters() { return {{"M53 Files(*.M53)", {"*.M53"}}}; }

}  // namespace

// ---- shared steps ----------------------------------------------------------------------------

bool TfrmMain::CommitGrid()
{
    if (grdCh->Editing() && !grdCh->CommitEditor())
        return false;
    grdCh->GridToChannels();
    if (!m_state.GridChannels.Equals(m_state.CurrentMem.Channels())) {
        m_state.CurrentMem.Channels() = m_state.GridChannels;
        m_state.Modified = true;
    }
    return true;
}

std::string TfrmMain::SaveQuestionDetail() const
{
    const std::string& name = m_state.CurrentFileName;
    return kSaveDetail + name + (name == kNoFileName ? kSaveDetailNoFile : "");
}

bool TfrmMain::SavePrompt()
{
    if (!m_state.Modified)
        return true;
    // Cancel (and Escape or the box's close button) stops the command as a cancelled save does.
    switch (mv53::ConfirmYesNoCancel(kSavePrompt, SaveQuestionDetail())) {
    case mv53::PromptAnswer::Yes:
        return SaveCurrent();
    case mv53::PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

std::optional<std::string> TfrmMain::RunSaveDialog()
{
    mv53::SaveFileRequest request;
    request.title = "Save As";
    request.filters = SaveFilters();
    request.defaultSuffix = kDataFileSuffix;
    request.confirmOverwrite = true;
    if (m_state.CurrentFileName != kNoFileName) {
        const QFileInfo current(QString::fromStdString(m_state.CurrentFileName));
        request.folder = current.absolutePath().toStdString();
        request.fileName = current.fileName().toStdString();
    } else {
        request.folder = m_state.ProgramDir;
    }
    return mv53::Prompt().SaveFile(request);
}

bool TfrmMain::SaveCurrent()
{
    // A name is taken over only when the file could be written under it; a failed save leaves
    // the data where they were.
    // A file opened read-only is never written over: the data go to a file of a new name.
    std::string target = m_state.CurrentFileName;
    const bool readOnly = m_state.ReadOnlyFile && target != kNoFileName;
    if (target == kNoFileName || readOnly) {
        const auto chosen = RunSaveDialog();
        if (!chosen)
            return false;
        target = *chosen;
    } else if (target == DefaultFilePath().toStdString()) {
        if (!mv53::ConfirmYesNo(kOverwriteDefaultPrompt)) {
            const auto chosen = RunSaveDialog();
            if (!chosen)
                return false;
            target = *chosen;
        }
    }
    if (!WriteDataFile(target, m_state.CurrentMem, m_state.CurrentText))
        return false;
    m_state.CurrentFileName = target;
    if (readOnly) {
        m_state.ReadOnlyFile = false;
        SetSaveEnabled(true);
    }
    return true;
}

bool TfrmMain::ReadBack()
{
    return ReadDataFile(m_state.CurrentFileName, m_state.CurrentMem, m_state.CurrentText);
}

// ---- file commands ---------------------------------------------------------------------------

void TfrmMain::FileNew()
{
    if (!CommitGrid() || !SavePrompt())
        return;
    m_state.ReadOnlyFile = false;
    SetSaveEnabled(true);
    m_state.Modified = false;
    ClearChangedFlags();
    m_state.CurrentFileName = kNoFileName;
    InitImage(m_state.CurrentText);
    ClearRecords(m_state.CurrentMem);
    m_state.GridChannels = m_state.CurrentMem.Channels();
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    UpdateSelcallPrintChoice();
    RefreshMainWindow();
}

void TfrmMain::FileOpen()
{
    if (!CommitGrid() || !SavePrompt())
        return;
    mv53::OpenFileRequest request;
    request.title = "Open";
    request.folder = m_state.ProgramDir;
    request.filters = OpenFilters();
    request.defaultSuffix = kDataFileSuffix;
    request.offerReadOnly = true;
    const auto chosen = mv53::Prompt().OpenFile(request);
    if (!chosen)
        return;
    if (!ReadDataFile(chosen->path, m_state.CurrentMem, m_state.CurrentText, mv53::AskBeforeUnusualFile(chosen->path)))
        return;
    m_state.ReadOnlyFile = chosen->readOnly;
    SetSaveEnabled(!chosen->readOnly);
    AddRecentFile(chosen->path);
    BuildRecentMenu();
    m_state.CurrentFileName = chosen->path;
    m_state.Modified = false;
    ClearChangedFlags();
    // On behalf of a service window the grid keeps its channels; the next CommitGrid puts
    // them back into the records.
    if (!m_state.OpenFromService)
        m_state.GridChannels = m_state.CurrentMem.Channels();
    // The factory values a download writes are the opened file's, not the previous document's.
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    UpdateSelcallPrintChoice();
    RefreshMainWindow();
}

void TfrmMain::OpenRecentFile(int k)
{
    if (k < 1 || k > static_cast<int>(m_state.RecentFiles.size()))
        return;
    if (!CommitGrid())
        return;
    const std::string path = m_state.RecentFiles[static_cast<size_t>(k - 1)];
    if (!QFileInfo(QString::fromStdString(path)).isFile()) {
        mv53::ShowWarning(kFileNotFound);
        m_state.RecentFiles.erase(m_state.RecentFiles.begin() + (k - 1));
        BuildRecentMenu();
        return;
    }
    if (!SavePrompt())
        return;
    if (!ReadDataFile(path, m_state.CurrentMem, m_state.CurrentText, mv53::AskBeforeUnusualFile(path)))
        return;
    AddRecentFile(path);
    BuildRecentMenu();
    m_state.CurrentFileName = path;
    m_state.Modified = false;
    ClearChangedFlags();
    m_state.GridChannels = m_state.CurrentMem.Channels();
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    UpdateSelcallPrintChoice();
    RefreshMainWindow();
}

void TfrmMain::FileSave()
{
    if (m_state.ReadOnlyFile || !CommitGrid())
        return;
    if (!SaveCurrent())
        return;
    ReadBack();
    m_state.GridChannels = m_state.CurrentMem.Channels();
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    m_state.Modified = false;
    RefreshMainWindow();
}

void TfrmMain::FileSaveAs()
{
    if (!CommitGrid())
        return;
    const auto chosen = RunSaveDialog();
    if (!chosen)
        return;
    // The chosen name is a new file: the read-only state of the old one does not apply.
    const std::string previous = m_state.CurrentFileName;
    const bool previousReadOnly = m_state.ReadOnlyFile;
    m_state.CurrentFileName = *chosen;
    m_state.ReadOnlyFile = false;
    if (!SaveCurrent()) {
        m_state.CurrentFileName = previous;
        m_state.ReadOnlyFile = previousReadOnly;
        return;
    }
    m_state.ReadOnlyFile = false;
    SetSaveEnabled(true);
    ReadBack();
    m_state.GridChannels = m_state.CurrentMem.Channels();
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    RefreshMainWindow();
    m_state.Modified = false;
}

// ---- radio commands --------------------------------------------------------------------------

void TfrmMain::RadioUpload()
{
    if (!m_options.Link.Upload)
        return;
    if (!m_state.TransferChain && (!CommitGrid() || !SavePrompt()))
        return;
    if (!m_options.Link.Upload(m_state, this))
        return;
    m_state.GridChannels = m_state.CurrentMem.Channels();
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    m_state.Modified = true;   // the uploaded data have no file yet
    m_state.CurrentFileName = kNoFileName;
    // Data without a file can always be saved: a read-only file opened before is gone.
    m_state.ReadOnlyFile = false;
    SetSaveEnabled(true);
    RefreshMainWindow();
}

void TfrmMain::RadioDownload()
{
    if (!m_options.Link.Upload || !m_options.Link.Download || !CommitGrid() || !ConfirmOutOfRangeChannels())
        return;
    auto& s = m_state;
    s.TransferChain = true;
    s.ChainStage = TChainStage::UserData;
    if (m_options.Link.Download(s, static_cast<int>(TTransferKind::UserData), this)) {
        // Read the radio back: the factory area is then written with the radio's own values.
        s.AutoStartTransfer = true;
        s.TransferChain = true;
        s.ChainStage = TChainStage::ReadBack;
        if (m_options.Link.Upload(s, this)) {
            const std::string serial = s.CurrentMem.FactoryOpt().SerialNo();
            s.CurrentMem.FactoryOpt() = s.FactoryBackup;
            s.CurrentMem.FactoryOpt().SetSerialNo(serial);
            s.AutoStartTransfer = true;
            s.TransferChain = false;
            s.ChainStage = TChainStage::Factory;
            if (m_options.Link.Download(s, static_cast<int>(TTransferKind::Factory), this))
                ClearChangedFlags();
        }
    }
    s.TransferChain = false;
    s.ChainStage = TChainStage::None;
    // A transfer window that did not open must not leave the next one starting by itself.
    s.AutoStartTransfer = false;
}

bool TfrmMain::ConfirmOutOfRangeChannels()
{
    const TFactoryOpt& factory = m_state.CurrentMem.FactoryOpt();
    const auto outside = mv53::FrequenciesOutOfRange(m_state.CurrentMem.Channels(), factory);
    if (outside.empty())
        return true;
    std::string text = kOutOfRangeQuestionHead;
    for (const auto& entry : outside)
        text += "\r\n" + mv53::OutOfRangeText(entry, factory);
    text += "\r\n\r\n";
    text += kOutOfRangeQuestionTail;
    return mv53::Prompt().Message(text, mv53::PromptIcon::Warning, mv53::PromptButtons::YesNo, {}) ==
           mv53::PromptAnswer::Yes;
}

bool TfrmMain::PrepareServiceWindow()
{
    if (!CommitGrid())
        return false;
    switch (mv53::ConfirmYesNoCancel(kServiceUploadPrompt)) {
    case mv53::PromptAnswer::Yes:
        m_state.AutoStartTransfer = true;
        RadioUpload();
        m_state.AutoStartTransfer = false;
        return true;
    case mv53::PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

void TfrmMain::Configure()
{
    if (!m_options.Link.Configure || !CommitGrid())
        return;
    m_comPortNo = m_state.ComPortNo;
    if (m_options.Link.Configure(m_comPortNo, this)) {
        m_state.ComPortNo = m_comPortNo;
        UpdatePortPanel();
    }
}

// ---- edit and view ---------------------------------------------------------------------------

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
