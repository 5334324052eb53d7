#include "document/Document.h"

#include "document/RadioBackups.h"
#include "model/ChannelCsv.h"
#include "model/ChannelEdits.h"
#include "model/FreqRange.h"
#include "model/Prompt.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::path(path), error);
}

std::vector<mv53::FileFilter> OpenFilters()
{
    return {{"M53 Files(*.m53)", {"*.m53"}}, {"X53 Files(*.x53)", {"*.x53"}}};
}

// The open dialog of a data file in the program folder.
std::optional<mv53::OpenFileResult> AskOpenName(const TProgramState& state, const char* title, bool offerReadOnly)
{
    mv53::OpenFileRequest request;
    request.title = title;
    request.folder = state.ProgramDir;
    request.filters = OpenFilters();
    request.defaultSuffix = kDataFileSuffix;
    request.offerReadOnly = offerReadOnly;
    return mv53::Prompt().OpenFile(request);
}

// "Save As", in the folder of the current file (with its name) or in the program folder.
std::optional<std::string> AskSaveName(const TProgramState& state)
{
    mv53::SaveFileRequest request;
    request.title = "Save As";
    request.filters = {{"M53 Files(*.M53)", {"*.M53"}}};
    request.defaultSuffix = kDataFileSuffix;
    request.confirmOverwrite = true;
    if (state.CurrentFileName != kNoFileName) {
        std::error_code error;
        const fs::path current = fs::absolute(fs::path(state.CurrentFileName), error);
        request.folder = current.parent_path().string();
        request.fileName = current.filename().string();
    } else {
        request.folder = state.ProgramDir;
    }
    return mv53::Prompt().SaveFile(request);
}

const std::vector<mv53::FileFilter> kCsvFilters = {{"CSV Files(*.csv)", {"*.csv"}}};
constexpr const char* kCsvSuffix = "csv";

std::string SystemReason(int error) { return std::generic_category().message(error != 0 ? error : EIO); }

void ClearChangedFlags(TProgramState& state)
{
    state.A1AChanged = state.HardwareChanged = state.KeyFuncChanged = state.SystemChanged = false;
}

// The factory values of the document with the radio's own serial number, which the read-back
// has just put into the records.
bool FactoryBackupWithRadioSerial(TProgramState& state)
{
    const std::string serial = state.CurrentMem.FactoryOpt().SerialNo();
    state.CurrentMem.FactoryOpt() = state.FactoryBackup;
    state.CurrentMem.FactoryOpt().SetSerialNo(serial);
    return true;
}

}  // namespace

TDocument::TDocument(TProgramState& state, TDocumentHooks hooks) : m_state(state), m_hooks(std::move(hooks)) {}

std::string TDocument::DefaultFilePath() const
{
    return m_state.ProgramDir + "/" + kDefaultFileName + "." + kDataFileSuffix;
}

void TDocument::Changed() const
{
    if (m_hooks.Changed)
        m_hooks.Changed();
}

void TDocument::Install(const TInstall& what)
{
    m_state.CurrentFileName = what.FileName;
    m_state.Modified = what.Modified;
    m_state.ReadOnlyFile = what.ReadOnly;
    if (!what.KeepGrid)
        m_state.GridChannels = m_state.CurrentMem.Channels();
    // The factory values a Download writes are those of these data, not of the previous ones.
    m_state.FactoryBackup = m_state.CurrentMem.FactoryOpt();
    if (what.Saved) {
        m_state.History.MarkSaved(m_state.CurrentMem);
    } else {
        m_state.History.Clear(!what.Modified, m_state.CurrentMem);
        m_gridStep.clear();
        ClearChangedFlags(m_state);
        m_state.PrintSelection.Selcall = m_state.CurrentMem.Sel().SelFlag() != 0;
    }
    Changed();
}

// ---- edits and their history ------------------------------------------------------------------

bool TDocument::RecordStep(const std::string& name)
{
    return m_state.History.Record(name.empty() ? std::string(kEditStep) : name, m_state.History.Present(),
                                  m_state.CurrentMem);
}

bool TDocument::RecordGridEdits()
{
    if (!m_state.GridChannels.Equals(m_state.CurrentMem.Channels())) {
        m_state.CurrentMem.Channels() = m_state.GridChannels;
        m_state.Modified = true;
    }
    const std::string step = std::move(m_gridStep);
    m_gridStep.clear();
    return RecordStep(step);
}

void TDocument::RestartHistoryIfChanged()
{
    m_gridStep.clear();
    if (!(m_state.History.Present() == m_state.CurrentMem))
        m_state.History.Clear(!m_state.Modified, m_state.CurrentMem);
}

void TDocument::ShowRecords(const TMVmem& records)
{
    // A step that changed the factory values takes the values a Download writes with it.
    if (!records.FactoryOpt().Equals(m_state.CurrentMem.FactoryOpt()))
        m_state.FactoryBackup = records.FactoryOpt();
    m_state.CurrentMem = records;
    m_state.GridChannels = records.Channels();
    Changed();
}

bool TDocument::Edit(const std::string& name, const std::function<std::string(TMVmem&)>& edit)
{
    if (!CommitGrid())
        return false;
    TMVmem records = m_state.CurrentMem;
    if (const std::string refused = edit(records); !refused.empty()) {
        mv53::ShowError(refused);
        return false;
    }
    if (m_state.History.Record(name, m_state.CurrentMem, records))
        m_state.Modified = true;
    ShowRecords(records);
    return true;
}

bool TDocument::Undo()
{
    if (!CommitGrid() || !m_state.History.CanUndo())
        return false;
    const TMVmem records = *m_state.History.Undo();
    m_state.Modified = m_state.History.Modified();
    ShowRecords(records);
    return true;
}

bool TDocument::Redo()
{
    if (!CommitGrid() || !m_state.History.CanRedo())
        return false;
    const TMVmem records = *m_state.History.Redo();
    m_state.Modified = m_state.History.Modified();
    ShowRecords(records);
    return true;
}

bool TDocument::ExportChannels()
{
    if (!CommitGrid())
        return false;
    mv53::SaveFileRequest request;
    request.title = kExportChannelsTitle;
    request.folder = m_state.ProgramDir;
    request.filters = kCsvFilters;
    request.defaultSuffix = kCsvSuffix;
    const auto path = mv53::Prompt().SaveFile(request);
    if (!path)
        return false;
    errno = 0;
    std::ofstream out(*path, std::ios::binary | std::ios::trunc);
    out << mv53::ChannelsToCsv(m_state.CurrentMem.Channels());
    out.close();
    if (out.fail()) {
        mv53::ShowError(mv53::kCannotWriteCsv + *path, SystemReason(errno));
        return false;
    }
    return true;
}

bool TDocument::ImportChannels()
{
    if (!CommitGrid())
        return false;
    mv53::OpenFileRequest request;
    request.title = kImportChannelsTitle;
    request.folder = m_state.ProgramDir;
    request.filters = kCsvFilters;
    request.defaultSuffix = kCsvSuffix;
    const auto chosen = mv53::Prompt().OpenFile(request);
    if (!chosen)
        return false;
    errno = 0;
    std::ifstream in(chosen->path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        mv53::ShowError(mv53::kCannotReadCsv + chosen->path, SystemReason(errno));
        return false;
    }
    return Edit(mv53::kImportChannelsStep, [&](TMVmem& records) {
        std::string error;
        if (!mv53::ChannelsFromCsv(text, records.FactoryOpt(), records.Channels(), error))
            return chosen->path + ": " + error;
        return std::string();
    });
}

// ---- start -----------------------------------------------------------------------------------

void TDocument::Start()
{
    InitImage(m_state.CurrentText);
    ClearRecords(m_state.CurrentMem);
    Install({.FileName = LoadDefaultFile()});
}

std::string TDocument::LoadDefaultFile()
{
    const std::string path = DefaultFilePath();
    if (IsFile(path)) {
        // A default file that does not look like a data file is asked about as any file the
        // user opens. No starts on new data and keeps the file as it is: it is the user's.
        bool declined = false;
        const TUnusualFileHook ask = mv53::AskBeforeUnusualFile(path);
        const auto unusual = [&](const std::string& deviation) {
            declined = !ask(deviation);
            return !declined;
        };
        if (ReadDataFile(path, m_state.CurrentMem, m_state.CurrentText, unusual))
            return path;
        if (declined)
            return kNoFileName;
    }
    WriteDataFile(path, m_state.CurrentMem, m_state.CurrentText);
    return kNoFileName;
}

// ---- shared steps ----------------------------------------------------------------------------

bool TDocument::CommitGrid()
{
    if (m_hooks.CommitEdits && !m_hooks.CommitEdits())
        return false;
    RecordGridEdits();
    return true;
}

std::string TDocument::SaveQuestionDetail() const
{
    const std::string& name = m_state.CurrentFileName;
    return kSaveDetail + name + (name == kNoFileName ? kSaveDetailNoFile : "");
}

bool TDocument::AskToSave()
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

bool TDocument::SaveCurrent()
{
    // A file opened read-only is never written over: the data go to a file of a new name.
    std::string target = m_state.CurrentFileName;
    const bool readOnly = m_state.ReadOnlyFile && target != kNoFileName;
    const bool askName = target == kNoFileName || readOnly ||
                         (target == DefaultFilePath() && !mv53::ConfirmYesNo(kOverwriteDefaultPrompt));
    if (askName) {
        const auto chosen = AskSaveName(m_state);
        if (!chosen)
            return false;
        target = *chosen;
    }
    // A failed save leaves the data where they were.
    if (!WriteDataFile(target, m_state.CurrentMem, m_state.CurrentText))
        return false;
    m_state.CurrentFileName = target;
    if (readOnly) {
        m_state.ReadOnlyFile = false;
        Changed();
    }
    return true;
}

// ---- file commands ---------------------------------------------------------------------------

bool TDocument::New()
{
    if (!CommitGrid() || !AskToSave())
        return false;
    InitImage(m_state.CurrentText);
    ClearRecords(m_state.CurrentMem);
    Install({});
    return true;
}

bool TDocument::Open(bool forServiceWindow)
{
    if (!CommitGrid() || !AskToSave())
        return false;
    const auto chosen = AskOpenName(m_state, "Open", true);
    if (!chosen)
        return false;
    if (!ReadDataFile(chosen->path, m_state.CurrentMem, m_state.CurrentText, mv53::AskBeforeUnusualFile(chosen->path)))
        return false;
    AddRecentFile(chosen->path);
    Install({.FileName = chosen->path, .ReadOnly = chosen->readOnly, .KeepGrid = forServiceWindow});
    return true;
}

bool TDocument::OpenRecent(int k)
{
    auto& files = m_state.RecentFiles;
    if (k < 1 || k > static_cast<int>(files.size()) || !CommitGrid())
        return false;
    const std::string path = files[static_cast<size_t>(k - 1)];
    if (!IsFile(path)) {
        mv53::ShowWarning(kFileNotFound);
        files.erase(files.begin() + (k - 1));
        Changed();
        return false;
    }
    if (!AskToSave())
        return false;
    if (!ReadDataFile(path, m_state.CurrentMem, m_state.CurrentText, mv53::AskBeforeUnusualFile(path)))
        return false;
    AddRecentFile(path);
    // A recent file opens for writing, whatever the file before it was.
    Install({.FileName = path});
    return true;
}

void TDocument::AddRecentFile(const std::string& path)
{
    auto& files = m_state.RecentFiles;
    std::erase(files, path);
    files.insert(files.begin(), path);
}

bool TDocument::Save()
{
    if (m_state.ReadOnlyFile || !CommitGrid())
        return false;
    return SaveAndReadBack(m_state.CurrentFileName, false);
}

bool TDocument::SaveAs()
{
    if (!CommitGrid())
        return false;
    const auto chosen = AskSaveName(m_state);
    if (!chosen)
        return false;
    // The chosen name is a new file: the read-only state of the old one does not apply.
    const std::string previous = m_state.CurrentFileName;
    const bool previousReadOnly = m_state.ReadOnlyFile;
    m_state.CurrentFileName = *chosen;
    m_state.ReadOnlyFile = false;
    return SaveAndReadBack(previous, previousReadOnly);
}

bool TDocument::SaveAndReadBack(const std::string& previousName, bool previousReadOnly)
{
    if (!SaveCurrent()) {
        // A failed Save As keeps the old name and its read-only state.
        m_state.CurrentFileName = previousName;
        m_state.ReadOnlyFile = previousReadOnly;
        return false;
    }
    ReadDataFile(m_state.CurrentFileName, m_state.CurrentMem, m_state.CurrentText);
    Install({.FileName = m_state.CurrentFileName, .Saved = true});
    return true;
}

// ---- radio commands --------------------------------------------------------------------------

bool TDocument::Upload(TTransferRequest request)
{
    if (!m_hooks.Transfer)
        return false;
    if (!request.InChain && (!CommitGrid() || !AskToSave()))
        return false;
    request.Kind = TTransferKind::Upload;
    if (!Transfer(request))
        return false;
    // The uploaded data have no file yet; data without a file can always be saved.
    Install({.Modified = true});
    return true;
}

bool TDocument::UploadBeforeServiceWindow()
{
    if (!CommitGrid())
        return false;
    switch (mv53::ConfirmYesNoCancel(kServiceUploadPrompt)) {
    case mv53::PromptAnswer::Yes:
        Upload({.AutoStart = true});
        return true;
    case mv53::PromptAnswer::No:
        return true;
    default:
        return false;
    }
}

bool TDocument::Download()
{
    if (!m_hooks.Transfer || !CommitGrid() || !ConfirmOutOfRangeChannels() || !BackUpAndConfirm())
        return false;
    return RunDownloadChain();
}

const std::vector<TDownloadStep>& TDocument::DownloadSteps()
{
    static const std::vector<TDownloadStep> steps = {
        {TChainStage::UserData, TTransferKind::UserData, {}},
        // The radio read back: its serial number goes into the factory area written next.
        {TChainStage::ReadBack, TTransferKind::Upload, {}},
        {TChainStage::Factory, TTransferKind::Factory, &FactoryBackupWithRadioSerial},
    };
    return steps;
}

bool TDocument::RunDownloadChain()
{
    const auto& steps = DownloadSteps();
    const int count = static_cast<int>(steps.size());
    for (int i = 0; i < count; ++i) {
        const TDownloadStep& step = steps[static_cast<size_t>(i)];
        if (step.Prepare && !step.Prepare(m_state))
            return false;
        const TTransferRequest request{.Kind = step.Kind,
                                       .AutoStart = i > 0,
                                       .InChain = i + 1 < count,
                                       .Stage = step.Stage,
                                       .Step = i + 1,
                                       .StepCount = count,
                                       .Backup = step.Stage == TChainStage::ReadBack ? TBackupReason::ReadBack
                                                                                      : TBackupReason::Upload};
        if (!m_hooks.Transfer || !Transfer(request))
            return false;
    }
    ClearChangedFlags(m_state);
    return true;
}

bool TDocument::ConfirmOutOfRangeChannels() const
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

bool TDocument::Transfer(const TTransferRequest& request)
{
    if (m_hooks.Backups)
        return m_hooks.Backups->Run(m_state, request, m_hooks.Transfer);
    return m_hooks.Transfer(request);
}

// ---- backups and comparisons -----------------------------------------------------------------

bool TDocument::BackUpAndConfirm()
{
    if (!m_hooks.Backups)
        return true;
    if (!m_hooks.Backups->EnsureBackup(m_state, m_hooks.Transfer))
        return false;
    const TText* radio = m_hooks.Backups->LastRead();
    if (!m_hooks.ShowChanges || radio == nullptr)
        return true;
    return ShowDifferences(*radio, DocumentImage(radio), TChangesUse::BeforeWrite);
}

TText TDocument::DocumentImage(const TText* radio) const
{
    TMVmem records = m_state.CurrentMem;
    if (radio != nullptr) {
        // A Download keeps the radio's own serial number.
        TMVmem radioRecords;
        DecodeImage(*radio, radioRecords);
        records.FactoryOpt().SetSerialNo(radioRecords.FactoryOpt().SerialNo());
    }
    TText image;
    image.Assign(m_state.CurrentText);
    EncodeImage(image, records, radio != nullptr);
    return image;
}

bool TDocument::ShowDifferences(const TText& oldImage, const TText& newImage, TChangesUse use) const
{
    const std::vector<mv53::TImageDifference> differences = mv53::CompareImages(oldImage, newImage);
    if (!differences.empty())
        return m_hooks.ShowChanges && m_hooks.ShowChanges(differences, use);
    if (use == TChangesUse::BeforeWrite)
        return mv53::ConfirmYesNo(kNoChangesWriteAnyway);
    mv53::ShowInformation(kNoDifferences);
    return false;
}

bool TDocument::CompareWithRadio()
{
    if (!m_hooks.Transfer || !m_hooks.Backups || !CommitGrid())
        return false;
    TText radio;
    if (!m_hooks.Backups->ReadRadio(m_state, m_hooks.Transfer, TBackupReason::Upload, false, radio))
        return false;
    ShowDifferences(radio, DocumentImage(&radio), TChangesUse::View);
    return true;
}

bool TDocument::CompareWithFile()
{
    if (!CommitGrid())
        return false;
    const auto chosen = AskOpenName(m_state, "Compare with File", false);
    return chosen && CompareWithFile(chosen->path);
}

bool TDocument::CompareWithFile(const std::string& path)
{
    if (!CommitGrid())
        return false;
    TMVmem records;
    TText image;
    if (!ReadDataFile(path, records, image, mv53::AskBeforeUnusualFile(path)))
        return false;
    ShowDifferences(image, DocumentImage(nullptr), TChangesUse::View);
    return true;
}

bool TDocument::OpenBackup(const std::string& path)
{
    if (!CommitGrid() || !AskToSave())
        return false;
    if (!ReadDataFile(path, m_state.CurrentMem, m_state.CurrentText, mv53::AskBeforeUnusualFile(path)))
        return false;
    Install({.FileName = path, .ReadOnly = true});
    return true;
}
