// The document's rules without a window: the save question, read-only files, Save As, the
// recent files, Upload and the Download chain, the undo history and the backups, against real
// files, a scripted prompt and recorded transfers.

#include "DocTestSupport.h"
#include "ScratchDir.h"
#include "document/RadioBackups.h"
#include "model/ChannelEdits.h"
#include "model/U_E2prom.h"

#include <filesystem>

namespace mv53::test {

using Texts = std::vector<std::string>;

// ---- start ---------------------------------------------------------------------------------------

// The default file is read when it is there and created when it is not, replaced by new data
// (with the format message) when it does not read; one that does not look like a data file is
// asked about, and No starts on new data without touching it.
TEST_F(DocumentTest, StartReadsCreatesOrDeclinesTheDefaultFile)
{
    doc.Start();
    EXPECT_EQ(state.CurrentFileName, kNoFileName);
    EXPECT_EQ(std::filesystem::file_size(doc.DefaultFilePath()), 17927u);
    MakeDataFile(doc.DefaultFilePath(), [](TMVmem& m) {
        SetTag(m, "DEFAULT1");
        m.FactoryOpt().SetRxRange(1);
    });
    doc.Start();
    EXPECT_EQ(state.CurrentFileName, doc.DefaultFilePath());
    EXPECT_EQ(state.GridChannels.Items(0).Tag(), "DEFAULT1");
    EXPECT_EQ(state.FactoryBackup.RxRange(), 1);

    WriteBytes(doc.DefaultFilePath(), std::string(100, 'x'));
    doc.Start();
    EXPECT_EQ(prompt.texts(), Texts{"The file cannot be opened.\r\nThe file format is not correct."});
    EXPECT_EQ(state.CurrentFileName, kNoFileName);
    EXPECT_EQ(std::filesystem::file_size(doc.DefaultFilePath()), 17927u);
    prompt.shown.clear();

    WriteBytes(doc.DefaultFilePath(), PictureFileBytes());
    prompt.answers = {PromptAnswer::No};
    doc.Start();
    EXPECT_EQ(prompt.texts(), Texts{kNotADataFilePrompt});
    EXPECT_EQ(state.CurrentFileName, kNoFileName);
    EXPECT_EQ(std::filesystem::file_size(doc.DefaultFilePath()), PictureFileBytes().size());
    EXPECT_FALSE(state.Modified);

    // A default file that cannot be made (its folder is gone) is reported; new data are held.
    prompt.shown.clear();
    state.ProgramDir = Path("gone");
    doc.Start();
    EXPECT_EQ(prompt.texts(), Texts{"File write error  File Name = " + doc.DefaultFilePath()});
    EXPECT_EQ(state.CurrentFileName, kNoFileName);
}

// ---- the save question ---------------------------------------------------------------------------

// Every command that replaces the data asks first: Cancel (and Escape) stops it with the edit
// kept, a cancelled save dialog stops it too, Yes saves first, No drops the edit.
TEST_F(DocumentTest, SaveQuestionBeforeEveryCommandThatReplacesTheData)
{
    MakeDataFile(Path("other.m53"), [](TMVmem& m) { SetTag(m, "OTHER001"); });
    const std::pair<const char*, std::function<bool(TDocument&)>> commands[] = {
        {"New", [](TDocument& d) { return d.New(); }},             {"Open", [](TDocument& d) { return d.Open(); }},
        {"Recent", [](TDocument& d) { return d.OpenRecent(1); }}, {"Upload", [](TDocument& d) { return d.Upload(); }},
    };
    struct Answer {
        PromptAnswer answer;
        bool saveDialogOk;
        bool goesOn;
    };
    for (const auto& [name, run] : commands) {
        for (const Answer a : {Answer{PromptAnswer::Cancel, true, false}, Answer{PromptAnswer::Yes, false, false},
                               Answer{PromptAnswer::Yes, true, true}, Answer{PromptAnswer::No, true, true}}) {
            SCOPED_TRACE(std::string(name) + " answer " + std::to_string(static_cast<int>(a.answer)));
            std::filesystem::remove(Path("edit.m53"));
            state.GridChannels = state.CurrentMem.Channels();
            state.Modified = false;
            doc.New();
            requests.clear();
            prompt.shown.clear();
            state.RecentFiles = {Path("other.m53")};
            EditGrid("EDITED01");
            prompt.answers = {a.answer};
            prompt.saveResults = {a.saveDialogOk ? std::optional(Path("edit.m53")) : std::nullopt};
            prompt.openResults = {mv53::OpenFileResult{Path("other.m53"), false}};
            EXPECT_EQ(run(doc), a.goesOn);
            EXPECT_EQ(prompt.texts(), Texts{kSavePrompt});
            EXPECT_EQ(prompt.shown.at(0).detail, "Unsaved changes in <none> (no file yet)");
            EXPECT_EQ(TagOfFile(Path("edit.m53")), a.answer == PromptAnswer::Yes && a.saveDialogOk ? "EDITED01" : "?");
            EXPECT_EQ(requests.size(), std::string(name) == "Upload" && a.goesOn ? 1u : 0u);
            if (!a.goesOn) {
                EXPECT_TRUE(state.Modified);
                EXPECT_EQ(state.GridChannels.Items(0).Tag(), "EDITED01");
            }
        }
    }
}

TEST_F(DocumentTest, SaveQuestionWithASaveThatFailsStopsTheCommand)
{
    state.Modified = true;
    state.CurrentFileName = Path("no-such-folder/kept.m53");
    prompt.answers = {PromptAnswer::Yes};
    prompt.openResults = {mv53::OpenFileResult{Path("never.m53"), false}};
    EXPECT_FALSE(doc.Open());
    EXPECT_EQ(prompt.texts().at(0), kSavePrompt);
    EXPECT_EQ(prompt.lastOpen.title, "");   // the open dialog never came
    EXPECT_TRUE(state.Modified);
}

// ---- Save and Save As ------------------------------------------------------------------------------

TEST_F(DocumentTest, SavingOverTheDefaultFileAsksAndNoLeadsToSaveAs)
{
    MakeDataFile(doc.DefaultFilePath(), [](TMVmem& m) { SetTag(m, "DEFAULT1"); });
    doc.Start();
    EditGrid("EDITED01");
    prompt.answers = {PromptAnswer::No};
    prompt.saveResults = {Path("other.m53")};
    EXPECT_TRUE(doc.Save());
    EXPECT_EQ(prompt.texts(), Texts{kOverwriteDefaultPrompt});
    EXPECT_EQ(prompt.lastSave.filters.at(0).caption, "M53 Files(*.M53)");
    EXPECT_TRUE(prompt.lastSave.confirmOverwrite);
    EXPECT_EQ(state.CurrentFileName, Path("other.m53"));
    EXPECT_EQ(TagOfFile(Path("other.m53")), "EDITED01");
    EXPECT_EQ(TagOfFile(doc.DefaultFilePath()), "DEFAULT1");
    EXPECT_FALSE(state.Modified);

    // Save As onto the default file asks too; No and a cancelled dialog write nothing.
    prompt.shown.clear();
    prompt.saveResults = {doc.DefaultFilePath(), std::nullopt};
    prompt.answers = {PromptAnswer::No};
    EXPECT_FALSE(doc.SaveAs());
    EXPECT_EQ(prompt.texts(), Texts{kOverwriteDefaultPrompt});
    EXPECT_EQ(state.CurrentFileName, Path("other.m53"));
    EXPECT_EQ(TagOfFile(doc.DefaultFilePath()), "DEFAULT1");
}

// A Save As that fails keeps the old name, its read-only state and Modified.
TEST_F(DocumentTest, SaveAsThatFailsKeepsTheOldNameAndReadOnlyState)
{
    MakeDataFile(Path("ro.m53"));
    Open(Path("ro.m53"), true);
    state.Modified = true;
    prompt.saveResults = {Path("missing-folder/x.m53")};
    EXPECT_FALSE(doc.SaveAs());
    EXPECT_EQ(prompt.texts(), Texts{"File write error  File Name = " + Path("missing-folder/x.m53")});
    EXPECT_EQ(state.CurrentFileName, Path("ro.m53"));
    EXPECT_TRUE(state.ReadOnlyFile);
    EXPECT_TRUE(state.Modified);
}

// A file opened read-only is never written over: Save is refused, the save question goes to
// Save As; the new file can be saved. A recent file opens for writing.
TEST_F(DocumentTest, ReadOnlyFileIsNeverWrittenOver)
{
    MakeDataFile(Path("ro.m53"), [](TMVmem& m) { SetTag(m, "ORIGINAL"); });
    Open(Path("ro.m53"), true);
    EXPECT_TRUE(prompt.lastOpen.offerReadOnly);
    EXPECT_TRUE(state.ReadOnlyFile);
    EditGrid("CHANGED1");
    EXPECT_FALSE(doc.Save());
    EXPECT_EQ(TagOfFile(Path("ro.m53")), "ORIGINAL");

    prompt.answers = {PromptAnswer::Yes};
    prompt.saveResults = {Path("copy.m53")};
    EXPECT_TRUE(doc.New());
    EXPECT_EQ(prompt.lastSave.title, "Save As");
    EXPECT_EQ(TagOfFile(Path("ro.m53")), "ORIGINAL");
    EXPECT_EQ(TagOfFile(Path("copy.m53")), "CHANGED1");
    EXPECT_FALSE(state.ReadOnlyFile);

    Open(Path("ro.m53"), true);
    EXPECT_TRUE(doc.OpenRecent(1));
    EXPECT_FALSE(state.ReadOnlyFile);
    prompt.saveResults = {Path("b.m53")};
    Open(Path("ro.m53"), true);
    EXPECT_TRUE(doc.SaveAs());
    EXPECT_FALSE(state.ReadOnlyFile);
    EXPECT_EQ(state.CurrentFileName, Path("b.m53"));
    EXPECT_EQ(state.RecentFiles, std::vector<std::string>{Path("ro.m53")});   // Save As does not add to them
}

// ---- Open and the recent files ---------------------------------------------------------------------

TEST_F(DocumentTest, OpenTakesTheFactoryBackupAndClearsTheMarks)
{
    MakeDataFile(Path("wide.m53"), [](TMVmem& m) { m.FactoryOpt().SetRxRange(1); });
    MakeDataFile(Path("narrow.m53"));
    state.A1AChanged = state.SystemChanged = true;
    Open(Path("narrow.m53"));
    Open(Path("wide.m53"));
    EXPECT_EQ(prompt.lastOpen.filters.at(1).caption, "X53 Files(*.x53)");
    EXPECT_EQ(state.FactoryBackup.RxRange(), 1);
    EXPECT_FALSE(state.A1AChanged || state.SystemChanged || state.Modified);
    EXPECT_EQ(state.RecentFiles, (std::vector<std::string>{Path("wide.m53"), Path("narrow.m53")}));
    EXPECT_TRUE(doc.OpenRecent(2));
    EXPECT_EQ(state.FactoryBackup.RxRange(), 0);
    EXPECT_EQ(state.RecentFiles.front(), Path("narrow.m53"));
}

// A file that does not read changes nothing; one that does not look like a data file is asked
// about on Open and from the recent files, and No (Escape, the close box) changes nothing.
TEST_F(DocumentTest, OpenOfAFileThatIsNotADataFile)
{
    WriteBytes(Path("short.m53"), std::string(17926, '\0'));
    Open(Path("short.m53"), true);
    EXPECT_EQ(prompt.texts(), Texts{"The file cannot be opened.\r\nThe file format is not correct."});
    EXPECT_EQ(state.CurrentFileName, kNoFileName);
    EXPECT_FALSE(state.ReadOnlyFile);
    EXPECT_TRUE(state.RecentFiles.empty());

    const std::string picture = Path("photo.m53");
    WriteBytes(picture, PictureFileBytes());
    MakeDataFile(Path("good.m53"), [](TMVmem& m) { SetTag(m, "GOOD0001"); });
    prompt.shown.clear();
    prompt.answers = {PromptAnswer::Yes};
    Open(picture);
    Open(Path("good.m53"));
    prompt.answers = {PromptAnswer::No, PromptAnswer::No};
    Open(picture);
    EXPECT_FALSE(doc.OpenRecent(2));
    EXPECT_EQ(prompt.texts(), Texts(3, kNotADataFilePrompt));
    EXPECT_EQ(prompt.shown.back().detail, picture + ": it does not begin with the model id \"kt468h\"");
    EXPECT_EQ(state.CurrentFileName, Path("good.m53"));
    EXPECT_EQ(state.GridChannels.Items(0).Tag(), "GOOD0001");
    EXPECT_EQ(state.RecentFiles, (std::vector<std::string>{Path("good.m53"), picture}));
}

TEST_F(DocumentTest, RecentFileThatVanishedIsReportedAndRemoved)
{
    MakeDataFile(Path("one.m53"));
    MakeDataFile(Path("two.m53"));
    Open(Path("one.m53"));
    Open(Path("two.m53"));
    std::filesystem::remove(Path("one.m53"));
    const int before = changes;
    EXPECT_FALSE(doc.OpenRecent(2));
    ASSERT_EQ(prompt.shown.size(), 3u);
    EXPECT_EQ(prompt.shown.back().text, kFileNotFound);
    EXPECT_EQ(prompt.shown.back().icon, mv53::PromptIcon::Warning);
    EXPECT_EQ(state.RecentFiles, (std::vector<std::string>{Path("two.m53")}));
    EXPECT_EQ(state.CurrentFileName, Path("two.m53"));
    EXPECT_EQ(changes, before + 1);   // the menu shows the shorter list
}

// ---- Upload and the Download chain -------------------------------------------------------------------

// The chain: user data, read-back, factory area with the factory values of the file opened last
// (not of the document before it) and the radio's serial number; only the first waits for Ok,
// only the last announces success.
TEST_F(DocumentTest, DownloadChainWritesTheFactoryAreaWithTheRadiosSerial)
{
    MakeDataFile(Path("kept.m53"), [](TMVmem& m) {
        m.FactoryOpt().SetRxRange(1);
        m.FactoryOpt().SetCwPitch(5);
    });
    Open(Path("kept.m53"));
    TFactoryOpt sentFactory;
    onTransfer = [&sentFactory](TProgramState& s, const TTransferRequest& r) {
        if (r.Kind == TTransferKind::Upload) {
            s.CurrentMem.FactoryOpt().SetSerialNo("1C000777");   // the radio's own values
            s.CurrentMem.FactoryOpt().SetRxRange(0);
        }
        if (r.Kind == TTransferKind::Factory)
            sentFactory = s.CurrentMem.FactoryOpt();
    };
    state.A1AChanged = state.HardwareChanged = state.KeyFuncChanged = state.SystemChanged = true;
    EditGrid("EDITED01");   // an edit in the grid reaches the records first

    ASSERT_TRUE(doc.Download());
    // Kind, stage, starts by itself, silent in the chain, step of the count.
    using Step = std::tuple<TTransferKind, TChainStage, bool, bool, int, int>;
    std::vector<Step> steps;
    for (const TTransferRequest& r : requests)
        steps.emplace_back(r.Kind, r.Stage, r.AutoStart, r.InChain, r.Step, r.StepCount);
    EXPECT_EQ(steps, (std::vector<Step>{{TTransferKind::UserData, TChainStage::UserData, false, true, 1, 3},
                                        {TTransferKind::Upload, TChainStage::ReadBack, true, true, 2, 3},
                                        {TTransferKind::Factory, TChainStage::Factory, true, false, 3, 3}}));
    EXPECT_EQ(sentFactory.RxRange(), 1);
    EXPECT_EQ(sentFactory.CwPitch(), 5);
    EXPECT_EQ(sentFactory.SerialNo(), "1C000777");
    EXPECT_FALSE(state.A1AChanged || state.HardwareChanged || state.KeyFuncChanged || state.SystemChanged);
    EXPECT_EQ(state.CurrentFileName, Path("kept.m53"));
    EXPECT_TRUE(state.Modified);   // from the grid edit, not from the download
}

TEST_F(DocumentTest, DownloadChainStopsAtTheFirstFailure)
{
    for (size_t failAt = 0; failAt < 3; ++failAt) {
        requests.clear();
        results = {true, true, true};
        results[failAt] = false;
        state.A1AChanged = true;
        EXPECT_FALSE(doc.Download());
        EXPECT_EQ(requests.size(), failAt + 1);
        EXPECT_TRUE(state.A1AChanged) << failAt;
    }
}

TEST_F(DocumentTest, DownloadAsksAboutFrequenciesOutsideTheRange)
{
    state.CurrentMem.Channels().Items(2).SetStatus(0xA5);
    state.CurrentMem.Channels().Items(2).TxFreq().FromFloat(0.6);
    state.CurrentMem.Channels().Items(6).SetStatus(0xA5);
    state.CurrentMem.Channels().Items(6).RxFreq().FromFloat(2.5);
    state.CurrentMem.FactoryOpt().SetRxRange(1);
    state.GridChannels = state.CurrentMem.Channels();
    for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
        requests.clear();
        prompt.shown.clear();
        prompt.answers = {answer};
        EXPECT_EQ(doc.Download(), answer == PromptAnswer::Yes);
        EXPECT_EQ(prompt.texts(),
                  Texts{"These channels hold frequencies outside the radio's range:\r\n"
                        "CH-003 transmit frequency 0.60000 MHz is outside the radio's range 1.6-30 MHz\r\n"
                        "CH-007 receive frequency 2.50000 MHz is outside the radio's range 3-30 MHz\r\n\r\n"
                        "Do you download them to the radio?"});
        EXPECT_EQ(prompt.shown.back().buttons, mv53::PromptButtons::YesNo);
        EXPECT_EQ(requests.size(), answer == PromptAnswer::Yes ? 3u : 0u);
    }
}

// Before a service window: Yes uploads (starting by itself) and goes on whatever the upload
// gave, No goes on without it, Cancel stops.
TEST_F(DocumentTest, UploadBeforeAServiceWindow)
{
    const std::tuple<PromptAnswer, bool, bool, size_t> cases[] = {
        {PromptAnswer::Yes, false, true, 1}, {PromptAnswer::No, true, true, 0}, {PromptAnswer::Cancel, true, false, 0}};
    for (const auto& [answer, uploadOk, goesOn, transfers] : cases) {
        requests.clear();
        results = {uploadOk};
        prompt.answers = {answer};
        EXPECT_EQ(doc.UploadBeforeServiceWindow(), goesOn);
        ASSERT_EQ(requests.size(), transfers);
        if (transfers > 0) {
            EXPECT_TRUE(requests[0].AutoStart);
            EXPECT_FALSE(requests[0].InChain);
        }
    }
    EXPECT_EQ(prompt.texts(), Texts(3, kServiceUploadPrompt));
}

// ---- the undo history -------------------------------------------------------------------------------

// Named edits, the saved mark through Save, grid changes the history did not hold, and a fresh
// history with new data.
TEST_F(DocumentTest, UndoRedoFollowTheSavedStateAndNeverDropGridEdits)
{
    prompt.saveResults = {Path("a.m53")};
    doc.New();
    const auto insert = [](TMVmem& m) { return InsertChannel(m, 0); };
    ASSERT_TRUE(doc.Edit(kInsertChannelStep, insert));
    EXPECT_TRUE(state.Modified);
    ASSERT_TRUE(doc.Save());
    const TMVmem saved = state.CurrentMem;

    EditGrid("TYPED001");   // a change the history has no step for yet
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(SameRecords(state.CurrentMem, saved));
    EXPECT_FALSE(state.Modified);
    EXPECT_EQ(state.History.RedoName(), kEditStep);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(state.GridChannels.Items(0).Tag(), "TYPED001");
    EXPECT_TRUE(state.Modified);

    state.CurrentMem.Channels().Items(499).SetStatus(kChannelUsed);
    state.GridChannels = state.CurrentMem.Channels();
    const TMVmem full = state.CurrentMem;
    EXPECT_FALSE(doc.Edit(kInsertChannelStep, insert));
    EXPECT_EQ(prompt.texts().back(), kInsertRefused);
    EXPECT_TRUE(SameRecords(state.CurrentMem, full));

    prompt.answers = {PromptAnswer::No};
    ASSERT_TRUE(doc.New());
    EXPECT_FALSE(state.History.CanUndo());
}

// ---- the backups ---------------------------------------------------------------------------------------

// The store's names and keeping rule, and the backup read and the comparison around the
// document's Download.
namespace {

TMVmem RadioRecords(const char* serial)
{
    return ClearedRecords([serial](TMVmem& m) {
        SetTag(m, "RADIO");
        m.FactoryOpt().SetSerialNo(serial);
    });
}

TEST(BackupStore, KeepsTheFirstAndTheNewestFiftyAndNumbersOneSecondsBackups)
{
    ScratchDir dir;
    const TBackupStore store(dir.Root());
    const TMVmem radio = RadioRecords("12345678");
    const TText image = EncodedImage(radio, true);
    const std::time_t start = 1700000000;
    std::vector<std::string> paths;
    for (int i = 0; i < 60; ++i)
        paths.push_back(store.Store(radio, image, TBackupReason::Upload, start + 60 * i));
    const std::string again = store.Store(radio, image, TBackupReason::BeforeWrite, start + 60 * 59);

    const auto kept = store.List("12345678");
    ASSERT_EQ(kept.size(), 51u);
    EXPECT_EQ(kept[0].Path, again);
    EXPECT_EQ(kept[0].Reason, "before-write");
    EXPECT_EQ(kept[1].Path, paths[59]);
    EXPECT_EQ(kept[49].Path, paths[11]);
    EXPECT_EQ(kept[50].Path, paths[0]);
    EXPECT_EQ(TagOfFile(paths[0]), "RADIO");
}

TEST(BackupStore, FilesARadioWithoutNumberUnderUnknown)
{
    for (const char* serial : {"", "00000000", "        "})
        EXPECT_EQ(TBackupStore::SerialFolder(serial), kUnknownSerial) << serial;
    EXPECT_EQ(TBackupStore::SerialFolder("0A12345N"), "0A12345N");
}

class BackupDocumentTest : public DocumentTest {
protected:
    ScratchDir data;
    TRadioBackups backups{data.Root()};
    TDocument backedUp{state, BackedUpHooks()};
    std::vector<std::vector<TImageDifference>> shown;
    bool writeAnswer = true;
    TMVmem radio = RadioRecords("8C654321");

    TDocumentHooks BackedUpHooks()
    {
        TDocumentHooks hooks = Hooks();
        hooks.Backups = &backups;
        hooks.ShowChanges = [this](const std::vector<TImageDifference>& d, TChangesUse) {
            shown.push_back(d);
            return writeAnswer;
        };
        return hooks;
    }
    BackupDocumentTest()
    {
        onTransfer = [this](TProgramState& s, const TTransferRequest& r) {
            if (r.Kind == TTransferKind::Upload) {
                s.CurrentMem = radio;
                s.CurrentText = EncodedImage(radio, true);
            }
        };
    }
    std::vector<TChainStage> Stages() const
    {
        std::vector<TChainStage> stages;
        for (const auto& r : requests)
            stages.push_back(r.Stage);
        return stages;
    }
};

TEST_F(BackupDocumentTest, DownloadReadsTheRadioOnceShowsTheChangesAndKeepsTheDocument)
{
    state.CurrentMem = radio;
    state.CurrentMem.A1A().SetCwDelay(radio.A1A().CwDelay() == 1 ? 2 : 1);
    state.CurrentMem.Channels().Items(2).SetStatus(0xA5);
    state.GridChannels = state.CurrentMem.Channels();
    EditGrid("DOC");

    ASSERT_TRUE(backedUp.Download());
    using S = TChainStage;
    EXPECT_EQ(Stages(), (std::vector<S>{S::Backup, S::UserData, S::ReadBack, S::Factory}));
    EXPECT_EQ(requests[0].Backup, TBackupReason::BeforeWrite);
    ASSERT_EQ(shown.size(), 1u);
    std::vector<std::string> lines;
    for (const auto& d : shown[0])
        lines.push_back(DifferenceLine(d));
    ASSERT_EQ(lines.size(), 3u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[1], "channel 1: TAG: RADIO -> DOC");
    EXPECT_EQ(lines[2], "channel 3: added");
    const auto kept = backups.Store().List();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Reason, "read-back");
    EXPECT_EQ(kept[1].Reason, "before-write");
    EXPECT_EQ(kept[1].Serial, "8C654321");

    // This run has read the radio and every write went through: no second backup read.
    requests.clear();
    ASSERT_TRUE(backedUp.Download());
    EXPECT_EQ(Stages(), (std::vector<S>{S::UserData, S::ReadBack, S::Factory}));
}

TEST_F(BackupDocumentTest, NothingIsSentWhenTheBackupFailsOrTheChangesAreCancelled)
{
    results = {false};
    EXPECT_FALSE(backedUp.Download());
    EXPECT_EQ(Stages(), std::vector<TChainStage>{TChainStage::Backup});
    EXPECT_TRUE(backups.Store().List().empty());

    // A backup that cannot be written stops the write too, with the reason.
    const std::string blocked = data.Write("blocked", "file");
    TRadioBackups unwritable(blocked);
    TDocumentHooks hooks = Hooks();
    hooks.Backups = &unwritable;
    requests.clear();
    EXPECT_FALSE(TDocument(state, hooks).Download());
    EXPECT_EQ(Stages(), std::vector<TChainStage>{TChainStage::Backup});
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text, kBackupWriteError);
    const std::string folder = (std::filesystem::path(blocked) / "backups" / "8C654321").string();
    EXPECT_NE(prompt.shown.back().detail.find(folder), std::string::npos) << prompt.shown.back().detail;

    requests.clear();
    EditGrid("DOC");
    writeAnswer = false;
    EXPECT_FALSE(backedUp.Download());
    EXPECT_EQ(Stages(), std::vector<TChainStage>{TChainStage::Backup});

    // No differences: asked whether to write anyway; No writes nothing.
    requests.clear();
    state.CurrentMem = radio;
    state.GridChannels = radio.Channels();
    EXPECT_FALSE(backedUp.Download());
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(prompt.texts().back(), kNoChangesWriteAnyway);
}

}  // namespace

}  // namespace mv53::test
