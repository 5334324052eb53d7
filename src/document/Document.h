#pragma once
// TDocument: the data the program works on (the records, the radio image, the grid's working
// copy, the file name and the recent files) and the commands that replace, save or transfer
// them: New, Open, Save, Save As, Upload and the Download chain. Plain C++: the windows (or
// the command line) hand it the transfers and the grid's commit, and it asks its questions
// through the prompt interface.

#include "model/ImageDiff.h"
#include "state/U_Global.h"

#include <functional>
#include <string>
#include <vector>

// The questions and messages of the document's commands.
inline constexpr const char* kSavePrompt = "Do you want to save the file?";
// Below the save question: which document it is about.
inline constexpr const char* kSaveDetail = "Unsaved changes in ";
inline constexpr const char* kSaveDetailNoFile = " (no file yet)";
inline constexpr const char* kOverwriteDefaultPrompt = "Do you want to overwrite the default file?";
inline constexpr const char* kServiceUploadPrompt = "Do you upload data from the radio?";
inline constexpr const char* kFileNotFound = "File Not Found";
// Before a Download: the channels whose frequencies the radio cannot use, one line each between.
inline constexpr const char* kOutOfRangeQuestionHead = "These channels hold frequencies outside the radio's range:";
inline constexpr const char* kOutOfRangeQuestionTail = "Do you download them to the radio?";
inline constexpr const char* kDefaultFileName = "default";
// A comparison that found nothing: before a Download the question whether to write anyway.
inline constexpr const char* kNoDifferences = "There are no differences.";
inline constexpr const char* kNoChangesWriteAnyway =
    "The radio already holds these data: there are no differences. Do you download them anyway?";

namespace mv53 {
class TRadioBackups;
}

// What a comparison is shown for: to ask before a Download, or only to look at.
enum class TChangesUse { BeforeWrite, View };

inline constexpr const char* kExportChannelsTitle = "Export Channels";
inline constexpr const char* kImportChannelsTitle = "Import Channels";
// The undo step of changes made without a name of their own.
inline constexpr const char* kEditStep = "Edit";

// What the document needs from its owner. A missing Transfer disables Upload and Download.
struct TDocumentHooks {
    // One transfer of the clone protocol on the program state; true on success.
    std::function<bool(const TTransferRequest&)> Transfer;
    // The grid's pending edits into GridChannels; false when the cell being edited is not valid.
    std::function<bool()> CommitEdits;
    // The data, the file name, the recent files or the read-only state changed.
    std::function<void()> Changed;
    // The backups around the transfers; none: no backups are read or kept.
    mv53::TRadioBackups* Backups = nullptr;
    // Shows the differences (never empty) from the old data to the new; for BeforeWrite true
    // means "write". Missing: a Download writes without showing them.
    std::function<bool(const std::vector<mv53::TImageDifference>&, TChangesUse)> ShowChanges;
};

// One step of the Download chain: a transfer, and what is put into the records before it.
struct TDownloadStep {
    TChainStage Stage = TChainStage::None;
    TTransferKind Kind = TTransferKind::UserData;
    // Runs before the transfer; false stops the chain (having said why). Empty: nothing to do.
    std::function<bool(TProgramState&)> Prepare;
};

class TDocument {
public:
    TDocument(TProgramState& state, TDocumentHooks hooks);

    TProgramState& State() { return m_state; }
    // The data file the program starts on: "default.m53" in the program folder.
    std::string DefaultFilePath() const;

    // Start of a run: the default file, or new data when there is none (the file is then
    // created) or the user declines one that does not look like a data file.
    void Start();

    // The grid's working copy into the records; a difference marks the data modified and
    // becomes a step of the undo history of its own, so that undo and redo never drop it.
    bool CommitGrid();
    // "Do you want to save the file?" when the data are modified; false when the command is to
    // stop (Cancel, Escape, or a save that failed).
    bool AskToSave();
    // Which document the save question is about, shown below it.
    std::string SaveQuestionDetail() const;
    // Writes the data to their file, asking for a name when there is none, when the file was
    // opened read-only or when the user does not want the default file overwritten. A name is
    // taken over only when the file could be written under it.
    bool SaveCurrent();

    // The commands; false when they stopped or failed (having said why).
    bool New();
    // The open dialog. For a service window the grid keeps its channels; the next CommitGrid
    // puts them back into the records.
    bool Open(bool forServiceWindow = false);
    bool OpenRecent(int k);   // k = 1..RecentFiles.size()
    bool Save();
    bool SaveAs();
    // The radio's memory into the document. A request within a chain skips the commit and the
    // save question (its chain has dealt with them).
    bool Upload(TTransferRequest request = {});
    // Before a service window: "Do you upload data from the radio?" Yes uploads (its outcome
    // does not matter), No goes on, Cancel gives false (no window is to be opened).
    bool UploadBeforeServiceWindow();
    // One named edit of the records (a channel list edit, an import): the grid is committed
    // first; an edit that is refused returns its message, which is shown, and changes nothing.
    // A change becomes a step of the undo history and marks the data modified.
    bool Edit(const std::string& name, const std::function<std::string(TMVmem&)>& edit);
    // The records before the last step, or after the next one; modified unless that is the
    // state last saved. False when there is no such step.
    bool Undo();
    bool Redo();
    // The grid's working copy was changed by the user; name is the step it becomes (the last
    // action's name when several come before it is recorded).
    void NoteGridEdit(const std::string& name) { m_gridStep = name; }
    const std::string& PendingGridStep() const { return m_gridStep; }
    // Changes of the records the history does not hold yet (a dialog's) become one step named
    // name ("Edit" when empty). False when nothing changed.
    bool RecordStep(const std::string& name = {});
    // The grid's working copy into the records (a difference marks them modified), and changes
    // the history does not hold yet become one step named by the grid's last action.
    bool RecordGridEdits();
    // Records changed outside the history (a service window's commit): a fresh history on them.
    void RestartHistoryIfChanged();

    // The channels in use into a CSV file the user names.
    bool ExportChannels();
    // The channel list replaced by a CSV file's channels, as one step of the undo history; a
    // file that breaks a rule is refused, naming its line and column, and nothing changes.
    bool ImportChannels();

    // Commits the grid, asks about channels outside the radio's range and runs the chain.
    bool Download();
    // The Download chain's steps in order, each in a clone window of its own; the first waits
    // for Ok, the rest start by themselves, only the last announces success. Stops at the
    // first step that fails.
    bool RunDownloadChain();
    static const std::vector<TDownloadStep>& DownloadSteps();

    // The comparisons, writing nothing: the radio (read, and kept as a backup), a data file
    // the user chooses, or a given data file, each as the old data against the document.
    bool CompareWithRadio();
    bool CompareWithFile();
    bool CompareWithFile(const std::string& path);
    // A backup as the document, read-only until it is saved under a name.
    bool OpenBackup(const std::string& path);

private:
    // What comes into the document with new data.
    struct TInstall {
        std::string FileName = kNoFileName;
        bool Modified = false;
        bool ReadOnly = false;
        // The data were just saved and read back: the dialogs' change marks and the print
        // choices stay.
        bool Saved = false;
        // The grid keeps its working copy (an Open for a service window).
        bool KeepGrid = false;
    };
    // The one way new data enter: file name, flags, the grid's copy and the factory backup
    // that a Download writes, then the owner shows them.
    void Install(const TInstall& what);
    bool SaveAndReadBack(const std::string& previousName, bool previousReadOnly);
    std::string LoadDefaultFile();
    void AddRecentFile(const std::string& path);
    bool ConfirmOutOfRangeChannels() const;
    // One transfer, with the backups around it when there are any.
    bool Transfer(const TTransferRequest& request);
    // Before a Download: the backup read and the differences it will make; false stops it.
    bool BackUpAndConfirm();
    // The document as the image the radio would hold, with the serial number of radio if given.
    TText DocumentImage(const TText* radio) const;
    bool ShowDifferences(const TText& oldImage, const TText& newImage, TChangesUse use) const;

    void ShowRecords(const TMVmem& records);
    void Changed() const;

    TProgramState& m_state;
    TDocumentHooks m_hooks;
    std::string m_gridStep;
};
