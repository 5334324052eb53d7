// The file and radio commands of the main window: save prompts, which copies of the data they
// replace and which flags they set, against real files and a recorded radio link.

#include "MainWindowFixture.h"

#include "app/ChannelGrid.h"

#include <QFileInfo>

using mv53::PromptAnswer;
using mv53::test::FileBytes;
using mv53::test::LinkCall;
using mv53::test::MainWindowTest;
using mv53::test::StoredValuesNoCellShows;

namespace {
const char* const kSave = "Do you want to save the file?";
const char* const kOverwriteDefault = "Do you want to overwrite the default file?";

// A data file's channel 1 tag, to tell files apart.
std::string TagOfFile(const std::string& path)
{
    TMVmem mem;
    TText text;
    return ReadDataFile(path, mem, text) ? mem.Channels().Items(0).Tag() : std::string("?");
}

// A used channel 1 with the tag (the range repair resets empty channels to their defaults).
void SetTag(TChannels& channels, const char* tag)
{
    channels.Items(0).SetStatus(0xA5);
    channels.Items(0).SetTag(tag);
}
void SetTag(TMVmem& m, const char* tag) { SetTag(m.Channels(), tag); }
}  // namespace

// ---- save prompts and SaveCurrent ------------------------------------------------------------

TEST_F(MainWindowTest, SavingOnTheDefaultFileAsksAndNoLeadsToTheSaveDialog)
{
    MakeDataFile(DefaultFile().toStdString(), [](TMVmem& m) { SetTag(m, "DEFAULT1"); });
    TfrmMain& w = Start();
    SetTag(w.State().CurrentMem, "EDITED01");
    w.State().GridChannels = w.State().CurrentMem.Channels();
    w.RefreshMainWindow();
    prompt.answers = {PromptAnswer::No};
    prompt.saveResults = {Path("other.m53")};
    w.FileSave();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kOverwriteDefault}));
    EXPECT_EQ(prompt.lastSave.filters.at(0).caption, "M53 Files(*.M53)");
    EXPECT_EQ(prompt.lastSave.defaultSuffix, "m53");
    EXPECT_TRUE(prompt.lastSave.confirmOverwrite);
    EXPECT_EQ(w.State().CurrentFileName, Path("other.m53"));
    EXPECT_EQ(TagOfFile(Path("other.m53")), "EDITED01");
    EXPECT_EQ(TagOfFile(DefaultFile().toStdString()), "DEFAULT1");
    EXPECT_FALSE(w.State().Modified);
    EXPECT_EQ(Caption(), Path("other.m53") + " - MV53 for KT-4680 Series");

    // Save As onto the default file asks too; No and a cancelled dialog write nothing.
    prompt.shown.clear();
    prompt.saveResults = {DefaultFile().toStdString(), std::nullopt};
    prompt.answers = {PromptAnswer::No};
    w.FileSaveAs();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kOverwriteDefault}));
    EXPECT_EQ(w.State().CurrentFileName, Path("other.m53"));
    EXPECT_EQ(TagOfFile(DefaultFile().toStdString()), "DEFAULT1");
}

// A save that does not happen (dialog cancelled, file not writable) keeps the name and Modified.
TEST_F(MainWindowTest, SaveThatDoesNotHappenKeepsTheNameAndModified)
{
    TfrmMain& w = Start();
    w.State().Modified = true;
    w.FileSave();   // dialog cancelled (no scripted result)
    prompt.saveResults = {Path("missing-folder/x.m53")};
    w.FileSaveAs();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"File write error  File Name = " + Path("missing-folder/x.m53")}));
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_TRUE(w.State().Modified);

    prompt.saveResults = {Path("new.m53")};
    w.FileSave();
    EXPECT_EQ(w.State().CurrentFileName, Path("new.m53"));
    EXPECT_FALSE(w.State().Modified);
    EXPECT_EQ(TagOfFile(Path("new.m53")), w.State().CurrentMem.Channels().Items(0).Tag());
}

TEST_F(MainWindowTest, GridEditsMakeNewAskToSave)
{
    TfrmMain& w = Start();
    w.Grid()->CellAction(0, 0);   // channel 1 becomes used
    prompt.answers = {PromptAnswer::No};
    w.FileNew();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave}));
    EXPECT_FALSE(w.State().Modified);
    EXPECT_EQ(w.State().CurrentMem.Channels().Items(0).Status(), 0xFF);
    EXPECT_EQ(w.State().GridChannels.Items(0).Status(), 0xFF);
}

TEST_F(MainWindowTest, SavePromptWithAFailedSaveStopsTheCommand)
{
    TfrmMain& w = Start();
    w.State().Modified = true;
    prompt.answers = {PromptAnswer::Yes};
    prompt.openResults = {mv53::OpenFileResult{Path("never.m53"), false}};
    // Save of a file that cannot be written fails: Open must not go on to its dialog.
    w.State().CurrentFileName = Path("no-such-folder/kept.m53");
    w.FileOpen();
    EXPECT_EQ(prompt.texts().at(0), kSave);
    EXPECT_EQ(prompt.lastOpen.title, "");
    EXPECT_TRUE(w.State().Modified);
}

// ---- open and recent files -------------------------------------------------------------------

TEST_F(MainWindowTest, OpenReadOnlyDisablesSaveAndSaveAsEnablesItAgain)
{
    MakeDataFile(Path("a.m53"), [](TMVmem& m) { SetTag(m, "FILE-A01"); });
    TfrmMain& w = Start();
    prompt.openResults = {mv53::OpenFileResult{Path("a.m53"), true}};
    w.FileOpen();
    EXPECT_EQ(prompt.lastOpen.filters.size(), 2u);
    EXPECT_EQ(prompt.lastOpen.filters[0].caption, "M53 Files(*.m53)");
    EXPECT_EQ(prompt.lastOpen.filters[1].caption, "X53 Files(*.x53)");
    EXPECT_TRUE(prompt.lastOpen.offerReadOnly);
    EXPECT_TRUE(w.State().ReadOnlyFile);
    EXPECT_FALSE(w.miSave->isEnabled());
    EXPECT_EQ(w.State().CurrentFileName, Path("a.m53"));
    EXPECT_EQ(w.State().GridChannels.Items(0).Tag(), "FILE-A01");
    EXPECT_EQ(w.State().RecentFiles, (std::vector<std::string>{Path("a.m53")}));
    EXPECT_EQ(w.miRecent[0]->text(), QString::fromStdString("&1 " + Path("a.m53")));

    // A recent-file open leaves the read-only state as it was.
    w.OpenRecentFile(1);
    EXPECT_TRUE(w.State().ReadOnlyFile);
    EXPECT_FALSE(w.miSave->isEnabled());

    prompt.saveResults = {Path("b.m53")};
    w.FileSaveAs();
    EXPECT_FALSE(w.State().ReadOnlyFile);
    EXPECT_TRUE(w.miSave->isEnabled());
    EXPECT_EQ(w.State().CurrentFileName, Path("b.m53"));
    EXPECT_EQ(TagOfFile(Path("b.m53")), "FILE-A01");
    // Save As does not touch the recent files.
    EXPECT_EQ(w.State().RecentFiles.size(), 1u);
}

TEST_F(MainWindowTest, SavePromptNeverWritesOverAFileOpenedReadOnly)
{
    MakeDataFile(Path("ro.m53"), [](TMVmem& m) { SetTag(m, "ORIGINAL"); });
    TfrmMain& w = Start();
    prompt.openResults = {mv53::OpenFileResult{Path("ro.m53"), true}};
    w.FileOpen();
    SetTag(w.State().GridChannels, "CHANGED1");
    w.RefreshMainWindow();
    prompt.answers = {PromptAnswer::Yes};
    prompt.saveResults = {Path("copy.m53")};
    w.FileNew();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave}));
    EXPECT_EQ(prompt.lastSave.title, "Save As");
    EXPECT_EQ(TagOfFile(Path("ro.m53")), "ORIGINAL");
    EXPECT_EQ(TagOfFile(Path("copy.m53")), "CHANGED1");
    EXPECT_TRUE(w.miSave->isEnabled());
}

TEST_F(MainWindowTest, OpenAndRecentFileOpenBothTakeTheFactoryBackupFromTheFile)
{
    MakeDataFile(Path("wide.m53"), [](TMVmem& m) { m.FactoryOpt().SetRxRange(1); });
    MakeDataFile(Path("narrow.m53"));
    TfrmMain& w = Start();
    ASSERT_EQ(w.State().FactoryBackup.RxRange(), 0);
    w.State().A1AChanged = w.State().SystemChanged = true;
    prompt.openResults = {mv53::OpenFileResult{Path("narrow.m53"), false},
                          mv53::OpenFileResult{Path("wide.m53"), false}};
    w.FileOpen();
    w.FileOpen();
    EXPECT_EQ(w.State().CurrentMem.FactoryOpt().RxRange(), 1);
    EXPECT_EQ(w.State().FactoryBackup.RxRange(), 1);
    EXPECT_FALSE(w.State().A1AChanged);
    EXPECT_FALSE(w.State().SystemChanged);
    EXPECT_FALSE(w.State().Modified);

    w.OpenRecentFile(2);   // narrow.m53
    EXPECT_EQ(w.State().FactoryBackup.RxRange(), 0);
}

TEST_F(MainWindowTest, OpenOnBehalfOfAServiceWindowLeavesTheGridChannels)
{
    MakeDataFile(Path("svc.m53"), [](TMVmem& m) { SetTag(m, "FROMFILE"); });
    TfrmMain& w = Start();
    const std::string gridTag = w.State().GridChannels.Items(0).Tag();
    w.State().OpenFromService = true;
    prompt.openResults = {mv53::OpenFileResult{Path("svc.m53"), false}};
    w.FileOpen();
    EXPECT_EQ(w.State().GridChannels.Items(0).Tag(), gridTag);
    EXPECT_FALSE(w.State().Modified);
    // The next commit puts the grid's channels back into the records.
    EXPECT_TRUE(w.CommitGrid());
    EXPECT_TRUE(w.State().Modified);
    EXPECT_EQ(w.State().CurrentMem.Channels().Items(0).Tag(), gridTag);
}

TEST_F(MainWindowTest, FailedOpenChangesNothing)
{
    {
        QFile f(QString::fromStdString(Path("short.m53")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(17926, '\0'));
    }
    TfrmMain& w = Start();
    prompt.openResults = {mv53::OpenFileResult{Path("short.m53"), true}};
    w.FileOpen();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"The file cannot be opened.\r\nThe file format is not correct."}));
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_FALSE(w.State().ReadOnlyFile);
    EXPECT_TRUE(w.State().RecentFiles.empty());
}

// A picture renamed to ".m53" reads as a data file; Open and a recent file ask first, and No
// (as Escape or the close box) changes nothing.
TEST_F(MainWindowTest, FilesThatDoNotLookLikeDataFilesAreAskedAbout)
{
    const std::string picture = Path("photo.m53");
    QFile f(QString::fromStdString(picture));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QByteArray::fromStdString(mv53::test::PictureFileBytes())) > 0);
    f.close();
    MakeDataFile(Path("good.m53"), [](TMVmem& m) { SetTag(m, "GOOD0001"); });
    TfrmMain& w = Start();
    for (const auto& [path, answer] : {std::pair{picture, PromptAnswer::Yes}, std::pair{Path("good.m53"), PromptAnswer::No},
                                       std::pair{picture, PromptAnswer::No}}) {
        prompt.answers = {answer};
        prompt.openResults = {mv53::OpenFileResult{path, false}};
        w.miOpen->trigger();
    }
    ASSERT_EQ(w.State().RecentFiles, (std::vector<std::string>{Path("good.m53"), picture}));
    w.miRecent[1]->trigger();   // the picture, answered No
    EXPECT_EQ(prompt.texts(), std::vector<std::string>(3, kNotADataFilePrompt));
    EXPECT_EQ(prompt.shown.back().detail, picture + ": it does not begin with the model id \"kt468h\"");
    EXPECT_EQ(w.State().CurrentFileName, Path("good.m53"));
    EXPECT_EQ(w.State().GridChannels.Items(0).Tag(), "GOOD0001");
    EXPECT_EQ(w.State().RecentFiles, (std::vector<std::string>{Path("good.m53"), picture}));
}

TEST_F(MainWindowTest, RecentFileThatVanishedIsReportedAndRemoved)
{
    MakeDataFile(Path("one.m53"));
    MakeDataFile(Path("two.m53"), [](TMVmem& m) { SetTag(m, "TWO00002"); });
    TfrmMain& w = Start();
    for (const char* name : {"one.m53", "gone.m53", "two.m53"}) {
        prompt.openResults = {mv53::OpenFileResult{Path(name), false}};
        w.FileOpen();
    }
    // "gone.m53" failed to open, so the list is two, one.
    ASSERT_EQ(w.State().RecentFiles, (std::vector<std::string>{Path("two.m53"), Path("one.m53")}));
    QFile::remove(QString::fromStdString(Path("one.m53")));
    prompt.shown.clear();
    w.OpenRecentFile(2);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "File Not Found");
    EXPECT_EQ(prompt.shown[0].icon, mv53::PromptIcon::Warning);
    EXPECT_EQ(w.State().RecentFiles, (std::vector<std::string>{Path("two.m53")}));
    EXPECT_FALSE(w.miRecent[1]->isVisible());
    EXPECT_EQ(w.State().CurrentFileName, Path("two.m53"));
}

// ---- radio commands --------------------------------------------------------------------------

// Upload replaces the document: Modified, no file name, and Save enabled even after a
// read-only Open.
TEST_F(MainWindowTest, UploadSetsModifiedDropsTheFileNameAndEnablesSave)
{
    MakeDataFile(Path("ro.m53"), [](TMVmem& m) { SetTag(m, "READONLY"); });
    TfrmMain& w = Start();
    prompt.openResults = {mv53::OpenFileResult{Path("ro.m53"), true}};
    w.FileOpen();
    ASSERT_FALSE(w.miSave->isEnabled());
    onUpload = [](TProgramState& s) {
        SetTag(s.CurrentMem, "RADIO001");
        s.CurrentMem.FactoryOpt().SetSerialNo("1C000042");
    };
    w.RadioUpload();
    EXPECT_EQ(calls, (std::vector<LinkCall>{{0, false, false}}));
    EXPECT_TRUE(w.State().Modified);
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_FALSE(w.State().ReadOnlyFile);
    EXPECT_TRUE(w.miSave->isEnabled());
    EXPECT_EQ(w.State().GridChannels.Items(0).Tag(), "RADIO001");
    EXPECT_EQ(w.State().FactoryBackup.SerialNo(), "1C000042");
    EXPECT_EQ(w.SystemValue(0, 0), QStringLiteral("1C000042"));
    EXPECT_EQ(Caption(), "<none> - MV53 for KT-4680 Series");

    prompt.saveResults = {Path("uploaded.m53")};
    w.miSave->trigger();
    EXPECT_EQ(TagOfFile(Path("uploaded.m53")), "RADIO001");
    EXPECT_FALSE(w.State().Modified);
}

TEST_F(MainWindowTest, DownloadRunsThreeTransfersAndWritesTheFactoryBackup)
{
    onUpload = [](TProgramState& st) {
        st.CurrentMem.FactoryOpt().SetSerialNo("1C000777");   // the radio's own values
        st.CurrentMem.FactoryOpt().SetRxRange(0);
    };
    TFactoryOpt sentFactory;
    TMainOptions o = Options();
    o.Link.Download = [this, &sentFactory, recorded = o.Link.Download](TProgramState& st, int kind, QWidget* p) {
        if (kind == 2)
            sentFactory = st.CurrentMem.FactoryOpt();
        return recorded(st, kind, p);
    };
    win = std::make_unique<TfrmMain>(std::move(o));
    TProgramState& st = win->State();
    st.FactoryBackup.SetRxRange(1);
    st.A1AChanged = st.HardwareChanged = st.KeyFuncChanged = st.SystemChanged = true;
    st.CurrentFileName = Path("kept.m53");
    win->Grid()->CellAction(4, 0);   // an edit in the grid reaches the records first

    win->RadioDownload();
    EXPECT_EQ(calls, (std::vector<LinkCall>{{1, true, false}, {0, true, true}, {2, false, true}}));
    EXPECT_EQ(sentFactory.RxRange(), 1);
    EXPECT_EQ(sentFactory.SerialNo(), "1C000777");
    EXPECT_FALSE(st.TransferChain);
    EXPECT_FALSE(st.AutoStartTransfer);
    EXPECT_FALSE(st.A1AChanged || st.HardwareChanged || st.KeyFuncChanged || st.SystemChanged);
    EXPECT_EQ(st.CurrentFileName, Path("kept.m53"));
    EXPECT_TRUE(st.Modified);   // from the grid edit, not from the download
    EXPECT_EQ(st.GridChannels.Items(4).Status(), 0xA5);
}

TEST_F(MainWindowTest, DownloadChainEndsAtTheFirstFailure)
{
    for (size_t failAt = 0; failAt < 3; ++failAt) {
        calls.clear();
        results = {true, true, true};
        results[failAt] = false;
        TfrmMain& w = Start();
        w.State().A1AChanged = true;
        w.RadioDownload();
        EXPECT_EQ(calls.size(), failAt + 1);
        EXPECT_FALSE(w.State().TransferChain);
        EXPECT_FALSE(w.State().AutoStartTransfer);
        EXPECT_TRUE(w.State().A1AChanged) << failAt;
        EXPECT_FALSE(w.State().Modified);
    }
}

TEST_F(MainWindowTest, ConfigureTakesThePortOnlyOnOk)
{
    TfrmMain& w = Start();
    w.Configure();
    EXPECT_EQ(w.State().ComPortNo, 0);
    configureTo = 4;
    w.Configure();
    EXPECT_EQ(w.State().ComPortNo, 4);
    EXPECT_EQ(w.SystemValue(0, 2), QStringLiteral("COM5"));
}

// ---- shutdown --------------------------------------------------------------------------------

// Closing with an edit asks to save. Cancel (what Escape and the box's close button give) and a
// cancelled save dialog keep the window, the edit and an unwritten configuration; No closes
// without touching the data file, Yes saves the edit first.
TEST_F(MainWindowTest, ClosingWithChangesAsksToSave)
{
    for (const PromptAnswer last : {PromptAnswer::No, PromptAnswer::Yes}) {
        SCOPED_TRACE(last == PromptAnswer::No ? "No" : "Yes");
        QFile::remove(ConfigPath());
        QFile::remove(DefaultFile());
        TfrmMain& w = Start();
        const QByteArray before = FileBytes(DefaultFile().toStdString());
        w.Grid()->CellAction(1, 0);
        prompt.shown.clear();
        prompt.saveResults.clear();
        prompt.answers = {PromptAnswer::Cancel, PromptAnswer::Yes};   // then the save dialog is cancelled
        EXPECT_FALSE(w.close());
        EXPECT_FALSE(w.close());
        EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave, kSave}));
        EXPECT_EQ(prompt.shown.at(0).buttons, mv53::PromptButtons::YesNoCancel);
        EXPECT_TRUE(ReadConfig().isEmpty());
        EXPECT_EQ(w.State().GridChannels.Items(1).Status(), 0xA5);

        prompt.answers = {last};
        prompt.saveResults = {Path("closing.m53")};
        EXPECT_TRUE(w.close());
        EXPECT_FALSE(ReadConfig().isEmpty());
        EXPECT_EQ(FileBytes(DefaultFile().toStdString()), before);
        TMVmem mem;
        TText text;
        ASSERT_EQ(ReadDataFile(Path("closing.m53"), mem, text), last == PromptAnswer::Yes);
        if (last == PromptAnswer::Yes) {
            EXPECT_EQ(mem.Channels().Items(1).Status(), 0xA5);
        }
        win.reset();
    }
}

// ---- what the user did not touch ---------------------------------------------------------------

TEST_F(MainWindowTest, OpeningAndLeavingAFileChangesNothingTheUserDidNotTouch)
{
    MakeDataFile(Path("kept.m53"), StoredValuesNoCellShows);
    const QByteArray before = FileBytes(Path("kept.m53"));
    TfrmMain& w = Start();
    prompt.openResults = {mv53::OpenFileResult{Path("kept.m53"), false}};
    w.FileOpen();
    ASSERT_EQ(w.State().CurrentFileName, Path("kept.m53"));
    EXPECT_TRUE(w.CommitGrid());
    EXPECT_FALSE(w.State().Modified);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(prompt.texts().empty());
    EXPECT_EQ(FileBytes(Path("kept.m53")), before);
}

TEST_F(MainWindowTest, SavePromptCancelStopsEveryCommandThatAsks)
{
    MakeDataFile(Path("other.m53"), [](TMVmem& m) { SetTag(m, "OTHER001"); });
    const std::vector<std::pair<const char*, std::function<void(TfrmMain&)>>> commands = {
        {"New", [](TfrmMain& w) { w.FileNew(); }},
        {"Open", [](TfrmMain& w) { w.FileOpen(); }},
        {"Recent", [](TfrmMain& w) { w.OpenRecentFile(1); }},
        {"Upload", [](TfrmMain& w) { w.RadioUpload(); }},
    };
    for (const auto& [name, run] : commands) {
        calls.clear();
        prompt.shown.clear();
        QFile::remove(DefaultFile());   // each run starts on data without a file
        TfrmMain& w = Start();
        w.State().RecentFiles = {Path("other.m53")};
        prompt.openResults = {mv53::OpenFileResult{Path("other.m53"), false}};
        SetTag(w.State().GridChannels, "EDITED01");
        w.RefreshMainWindow();
        prompt.answers = {PromptAnswer::Cancel};
        run(w);
        EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave})) << name;
        EXPECT_EQ(prompt.lastOpen.title, "") << name;   // no open dialog
        EXPECT_TRUE(calls.empty()) << name;
        EXPECT_TRUE(w.State().Modified) << name;
        EXPECT_EQ(w.State().CurrentFileName, "<none>") << name;
        EXPECT_EQ(w.Grid()->CellText(0, 1), "EDITED01") << name;
        prompt.lastOpen = {};
    }
}

// Before Upload and before a recent file: Yes saves the edit first, No drops it; a cancelled
// save dialog stops the command with the edit kept.
TEST_F(MainWindowTest, SavePromptYesSavesFirstNoSkipsItACancelledSaveStops)
{
    MakeDataFile(Path("recent.m53"), [](TMVmem& m) { SetTag(m, "RECENT01"); });
    struct Case {
        bool upload;   // else the recent file
        PromptAnswer answer;
        std::optional<std::string> saveAs;   // the save dialog's result
        bool goesOn;
    };
    const Case cases[] = {
        {true, PromptAnswer::Yes, Path("edit.m53"), true},  {true, PromptAnswer::No, std::nullopt, true},
        {true, PromptAnswer::Yes, std::nullopt, false},     {false, PromptAnswer::No, Path("edit.m53"), true},
        {false, PromptAnswer::Yes, Path("edit.m53"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.upload ? "upload " : "recent ") + (c.answer == PromptAnswer::Yes ? "Yes" : "No") +
                     (c.saveAs ? "" : " cancelled"));
        QFile::remove(QString::fromStdString(Path("edit.m53")));
        QFile::remove(DefaultFile());
        calls.clear();
        TfrmMain& w = Start();
        w.State().RecentFiles = {Path("recent.m53")};
        SetTag(w.State().GridChannels, "EDITED01");
        w.RefreshMainWindow();
        prompt.shown.clear();
        prompt.answers = {c.answer};
        prompt.saveResults = {c.saveAs};
        onUpload = [](TProgramState& s) { SetTag(s.CurrentMem, "RADIO001"); };
        if (c.upload)
            w.RadioUpload();
        else
            w.OpenRecentFile(1);
        EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave}));
        EXPECT_EQ(calls.size(), c.upload && c.goesOn ? 1u : 0u);
        const bool saved = c.answer == PromptAnswer::Yes && c.saveAs;
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(Path("edit.m53"))), saved);
        if (saved) {
            EXPECT_EQ(TagOfFile(Path("edit.m53")), "EDITED01");
        }
        EXPECT_EQ(w.Grid()->CellText(0, 1), !c.goesOn ? "EDITED01" : c.upload ? "RADIO001" : "RECENT01");
        EXPECT_EQ(w.State().Modified, c.upload || !c.goesOn);
        win.reset();
    }
}

// ---- Save and Save As read back what they wrote ------------------------------------------------

TEST_F(MainWindowTest, SaveAndSaveAsReadBackWhatTheyWrote)
{
    // A data file never carries a serial number or a firmware version: after a save the records
    // hold what the file holds, not what the radio gave.
    for (const bool saveAs : {false, true}) {
        TfrmMain& w = Start();
        onUpload = [](TProgramState& s) {
            SetTag(s.CurrentMem, "RADIO001");
            s.CurrentMem.FactoryOpt().SetSerialNo("1C000042");
            s.CurrentMem.SetFwVersion("012a");
        };
        w.RadioUpload();
        ASSERT_EQ(w.State().CurrentMem.FactoryOpt().SerialNo(), "1C000042");
        const std::string path = Path(saveAs ? "as.m53" : "save.m53");
        prompt.saveResults = {path};
        if (saveAs)
            w.FileSaveAs();
        else
            w.FileSave();
        ASSERT_EQ(w.State().CurrentFileName, path);
        TMVmem inFile;
        TText text;
        ASSERT_TRUE(ReadDataFile(path, inFile, text));
        EXPECT_EQ(inFile.FactoryOpt().SerialNo(), "00000000");
        EXPECT_TRUE(mv53::test::SameRecords(w.State().CurrentMem, inFile)) << saveAs;
        EXPECT_EQ(w.State().CurrentMem.FwVersion(), "----");
        EXPECT_EQ(w.State().FactoryBackup.SerialNo(), "00000000");
        EXPECT_EQ(w.SystemValue(0, 0), QStringLiteral("00000000"));
        EXPECT_EQ(w.State().GridChannels.Items(0).Tag(), "RADIO001");
        EXPECT_FALSE(w.State().Modified);
        win.reset();
    }
}

// ---- Download of channels outside the radio's range -----------------------------------------------

TEST_F(MainWindowTest, DownloadListsFrequenciesOutsideTheRangeAndNoStopsBeforeTheRadio)
{
    MakeDataFile(Path("wide.m53"), [](TMVmem& m) {
        m.Channels().Items(2).SetStatus(0xA5);
        m.Channels().Items(2).TxFreq().FromFloat(0.6);
        m.Channels().Items(6).SetStatus(0xA5);
        m.Channels().Items(6).RxFreq().FromFloat(2.5);
        m.FactoryOpt().SetRxRange(1);
    });
    for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
        calls.clear();
        prompt.shown.clear();
        TfrmMain& w = Start();
        prompt.openResults = {mv53::OpenFileResult{Path("wide.m53"), false}};
        w.FileOpen();
        prompt.answers = {answer};
        w.RadioDownload();
        EXPECT_EQ(prompt.texts(),
                  (std::vector<std::string>{
                      "These channels hold frequencies outside the radio's range:\r\n"
                      "CH-003 transmit frequency 0.60000 MHz is outside the radio's range 1.6-30 MHz\r\n"
                      "CH-007 receive frequency 2.50000 MHz is outside the radio's range 3-30 MHz\r\n\r\n"
                      "Do you download them to the radio?"}));
        EXPECT_EQ(prompt.shown.back().buttons, mv53::PromptButtons::YesNo);
        EXPECT_EQ(calls.size(), answer == PromptAnswer::Yes ? 3u : 0u);
        win.reset();
    }
}
