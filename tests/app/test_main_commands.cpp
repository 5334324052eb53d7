// The file and radio commands of the main window: save prompts, which copies of the data they
// replace and which flags they set, against real files and a recorded radio link.

#include "MainWindowFixture.h"

#include "app/ChannelGrid.h"

#include <QFileInfo>

using mv53::PromptAnswer;
using mv53::test::LinkCall;
using mv53::test::MainWindowTest;

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

TEST_F(MainWindowTest, SaveOnTheDefaultFileAsksAndNoLeadsToTheSaveDialog)
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
}

TEST_F(MainWindowTest, SaveAsChoosingTheDefaultFileAlsoAsks)
{
    TfrmMain& w = Start();
    prompt.saveResults = {DefaultFile().toStdString(), std::nullopt};
    prompt.answers = {PromptAnswer::No};   // then the dialog is cancelled
    w.FileSaveAs();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kOverwriteDefault}));
    // Nothing was written: the name stays as it was.
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
}

TEST_F(MainWindowTest, SaveWithoutAFileRunsTheDialogAndCancelChangesNothing)
{
    TfrmMain& w = Start();
    w.State().Modified = true;
    w.FileSave();   // dialog cancelled (no scripted result)
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_TRUE(w.State().Modified);

    prompt.saveResults = {Path("new.m53")};
    w.FileSave();
    EXPECT_EQ(w.State().CurrentFileName, Path("new.m53"));
    EXPECT_FALSE(w.State().Modified);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(Path("new.m53"))));
}

TEST_F(MainWindowTest, FailedSaveAsKeepsTheFormerNameAndModified)
{
    TfrmMain& w = Start();
    w.State().Modified = true;
    prompt.saveResults = {Path("missing-folder/x.m53")};
    w.FileSaveAs();
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0], "File write error  File Name = " + Path("missing-folder/x.m53"));
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_TRUE(w.State().Modified);
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

TEST_F(MainWindowTest, UploadSetsModifiedAndDropsTheFileName)
{
    MakeDataFile(DefaultFile().toStdString());
    TfrmMain& w = Start();
    onUpload = [](TProgramState& s) {
        SetTag(s.CurrentMem, "RADIO001");
        s.CurrentMem.FactoryOpt().SetSerialNo("1C000042");
    };
    w.RadioUpload();
    EXPECT_EQ(calls, (std::vector<LinkCall>{{0, false, false}}));
    EXPECT_TRUE(w.State().Modified);
    EXPECT_EQ(w.State().CurrentFileName, "<none>");
    EXPECT_EQ(w.State().GridChannels.Items(0).Tag(), "RADIO001");
    EXPECT_EQ(w.State().FactoryBackup.SerialNo(), "1C000042");
    EXPECT_EQ(w.SystemValue(0, 0), QStringLiteral("1C000042"));
    EXPECT_EQ(Caption(), "<none> - MV53 for KT-4680 Series");

    // New right after the upload asks to save.
    w.FileNew();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave}));
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

TEST_F(MainWindowTest, ServiceWindowUploadQuestion)
{
    TfrmMain& w = Start();
    prompt.answers = {PromptAnswer::Cancel, PromptAnswer::No, PromptAnswer::Yes};
    EXPECT_FALSE(w.PrepareServiceWindow());
    EXPECT_TRUE(w.PrepareServiceWindow());
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(w.PrepareServiceWindow());
    EXPECT_EQ(calls, (std::vector<LinkCall>{{0, false, true}}));
    ASSERT_EQ(prompt.shown.size(), 3u);
    EXPECT_EQ(prompt.shown[0].text, "Do you upload data from the radio?");
    EXPECT_EQ(prompt.shown[0].buttons, mv53::PromptButtons::YesNoCancel);
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

TEST_F(MainWindowTest, ClosingWithChangesAsksAndACancelledSaveKeepsTheWindowOpen)
{
    TfrmMain& w = Start();
    w.Grid()->CellAction(1, 0);
    prompt.answers = {PromptAnswer::Yes};   // then the save dialog is cancelled
    EXPECT_FALSE(w.close());
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSave}));
    EXPECT_TRUE(ReadConfig().isEmpty());   // nothing written while the window stays

    prompt.answers = {PromptAnswer::Yes};
    prompt.saveResults = {Path("closing.m53")};
    EXPECT_TRUE(w.close());
    TMVmem mem;
    TText text;
    ASSERT_TRUE(ReadDataFile(Path("closing.m53"), mem, text));
    EXPECT_EQ(mem.Channels().Items(1).Status(), 0xA5);
    EXPECT_FALSE(ReadConfig().isEmpty());
}
