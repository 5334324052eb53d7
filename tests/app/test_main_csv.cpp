// "File / Import Channels…" and "File / Export Channels…" in the main window.

#include "MainWindowFixture.h"

#include "grid/ChannelGrid.h"
#include "model/ChannelEdits.h"

using namespace mv53;
using namespace mv53::test;

TEST_F(MainWindowTest, ImportAndExportChannelsFromTheFileMenu)
{
    TfrmMain& w = Start();
    const std::string csv = "Chn,TAG,Receive,Transmit,Mode,Pwr,Shift,Encryption,Selcall,Tune\r\n"
                            "002,HARBOUR,7.05000,TX OFF,A3E,Low,OFF,OFF,OFF,OFF\r\n";
    const std::string bad = Path("bad.csv");
    WriteFile(bad, "TAG\nA\nB\nC\nD\nE\nF{\n");   // the sixth channel's tag on line 7
    WriteFile(Path("in.csv"), csv);
    const TMVmem before = w.State().CurrentMem;

    prompt.shown.clear();
    prompt.openResults = {OpenFileResult{bad, false}};
    w.miImportChannels->trigger();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{bad + ": line 7, column 1: TAG may not hold \"{\""});
    EXPECT_TRUE(SameRecords(w.State().CurrentMem, before));
    EXPECT_FALSE(w.State().Modified);

    prompt.openResults = {OpenFileResult{Path("in.csv"), false}};
    w.miImportChannels->trigger();
    EXPECT_EQ(w.Grid()->CellText(1, 1), "HARBOUR ");
    EXPECT_EQ(w.Grid()->CellText(1, 3), "TX OFF");
    EXPECT_TRUE(w.State().Modified);
    EXPECT_EQ(w.State().History.UndoName(), kImportChannelsStep);

    prompt.saveResults = {Path("out.csv")};
    w.miExportChannels->trigger();
    EXPECT_EQ(ReadFile(Path("out.csv")), csv);
}

