// The main window's side of the file and radio commands: its menus reach the document, the
// window shows what the document holds (caption, Save enabled, recent files, system panel),
// the grid's edits are committed first, and closing asks to save. The document's own rules are
// tested without a window (tests/document).

#include "../grid/GridTestSupport.h"
#include "DocTestSupport.h"
#include "MainWindowFixture.h"

#include "grid/ChannelGrid.h"

using namespace mv53;
using namespace mv53::test;

TEST_F(MainWindowTest, FileAndRadioMenusDriveTheDocument)
{
    MakeDataFile(Path("wide.m53"), [](TMVmem& m) {
        SetTag(m, "WIDE0001");
        m.FactoryOpt().SetRxRange(1);
        m.FactoryOpt().SetTxRange(1);
    });
    TfrmMain& w = Start();
    // Open read-only: caption, system panel, recent menu, Save disabled.
    prompt.openResults = {mv53::OpenFileResult{Path("wide.m53"), true}};
    w.miOpen->trigger();
    EXPECT_EQ(Caption(), Path("wide.m53") + " - MV53 for KT-4680 Series");
    EXPECT_EQ(w.SystemValue(1, 0).toStdString(), "RX 3-30 MHz / Tx 3-30 MHz");
    EXPECT_EQ(w.Grid()->CellText(0, 1), "WIDE0001");
    EXPECT_EQ(w.miRecent[0]->text(), QString::fromStdString("&1 " + Path("wide.m53")));
    EXPECT_FALSE(w.miSave->isEnabled());

    // An edit in the grid reaches the records before the command: Save As writes it.
    w.Grid()->CellAction(1, 0);   // channel 2 becomes used
    prompt.saveResults = {Path("copy.m53")};
    w.miSaveAs->trigger();
    EXPECT_TRUE(w.miSave->isEnabled());
    EXPECT_EQ(Caption(), Path("copy.m53") + " - MV53 for KT-4680 Series");
    TMVmem saved;
    TText text;
    ASSERT_TRUE(ReadDataFile(Path("copy.m53"), saved, text));
    EXPECT_EQ(saved.Channels().Items(1).Status(), 0xA5);

    // Upload, New, a recent file and Download go to the document's transfers and files.
    onUpload = [](TProgramState& s) { s.CurrentMem.FactoryOpt().SetSerialNo("1C000042"); };
    w.miUpload->trigger();
    EXPECT_EQ(w.SystemValue(0, 0), QStringLiteral("1C000042"));
    EXPECT_EQ(Caption(), "<none> - MV53 for KT-4680 Series");
    prompt.answers = {PromptAnswer::No};
    w.miNew->trigger();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{kSavePrompt});
    EXPECT_EQ(w.Grid()->CellText(0, 1), w.State().GridChannels.Items(0).Tag());
    w.miRecent[0]->trigger();
    EXPECT_EQ(w.State().CurrentFileName, Path("wide.m53"));
    EXPECT_TRUE(w.miSave->isEnabled());
    w.miDownload->trigger();
    using K = TTransferKind;
    EXPECT_EQ(calls, (std::vector<LinkCall>{{K::Upload, false, false}, {K::UserData, true, false}, {K::Upload, true, true}, {K::Factory, false, true}}));
}

TEST_F(MainWindowTest, ConfigureTakesThePortOnlyOnOk)
{
    TfrmMain& w = Start();
    w.miConfigure->trigger();   // cancelled
    EXPECT_EQ(w.State().ComPortNo, 0);
    configureTo = 4;
    w.miConfigure->trigger();
    EXPECT_EQ(std::make_pair(w.State().ComPortNo, w.SystemValue(0, 2)), std::make_pair(4, QStringLiteral("COM5")));
}

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
        const std::string before = ReadFile(DefaultFile().toStdString());
        w.Grid()->CellAction(1, 0);
        prompt.shown.clear();
        prompt.saveResults.clear();
        prompt.answers = {PromptAnswer::Cancel, PromptAnswer::Yes};   // then the save dialog is cancelled
        EXPECT_FALSE(w.close());
        EXPECT_FALSE(w.close());
        EXPECT_EQ(prompt.texts(), (std::vector<std::string>{kSavePrompt, kSavePrompt}));
        EXPECT_EQ(prompt.shown.at(0).buttons, mv53::PromptButtons::YesNoCancel);
        EXPECT_FALSE(QFile::exists(ConfigPath()));
        EXPECT_EQ(w.State().GridChannels.Items(1).Status(), 0xA5);

        prompt.answers = {last};
        prompt.saveResults = {Path("closing.m53")};
        EXPECT_TRUE(w.close());
        EXPECT_TRUE(QFile::exists(ConfigPath()));
        EXPECT_EQ(ReadFile(DefaultFile().toStdString()), before);
        TMVmem mem;
        TText text;
        ASSERT_EQ(ReadDataFile(Path("closing.m53"), mem, text), last == PromptAnswer::Yes);
        EXPECT_TRUE(last == PromptAnswer::No || mem.Channels().Items(1).Status() == 0xA5);
        win.reset();
    }
}

// Values the grid cannot show exactly survive opening the file and leaving it: the grid's
// commit must not count them as edits.
TEST_F(MainWindowTest, OpeningAndLeavingAFileChangesNothingTheUserDidNotTouch)
{
    MakeDataFile(Path("kept.m53"), [](TMVmem& m) { StoredValuesNoCellShows(m.Channels()); });
    const std::string before = ReadFile(Path("kept.m53"));
    TfrmMain& w = Start();
    prompt.openResults = {mv53::OpenFileResult{Path("kept.m53"), false}};
    w.miOpen->trigger();
    ASSERT_EQ(w.State().CurrentFileName, Path("kept.m53"));
    EXPECT_TRUE(w.CommitGrid());
    EXPECT_FALSE(w.State().Modified);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(prompt.texts().empty());
    EXPECT_EQ(ReadFile(Path("kept.m53")), before);
}
