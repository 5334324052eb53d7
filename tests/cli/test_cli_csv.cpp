// mv53 csv-export / csv-import, run as a process on files in a temporary folder.

#include "RunProcess.h"
#include "TestRecords.h"

#include "model/U_FileAccess.h"

#include <gtest/gtest.h>

namespace mv53::test {
namespace {

ProcessResult Mv53(const std::vector<std::string>& args) { return RunProcess(MV53_EXE, args); }

TEST(CliCsv, ImportKeepsTheSettingsOrMakesANewDocumentAndRefusesABadFile)
{
    ScratchDir dir;
    const TMVmem settings = ClearedRecords([](TMVmem& m) { m.Misc().SetVoxGain(77); });
    const std::string file = dir.Write("a.m53", DataFileBytes(settings));
    const std::string csv = dir.Write("in.csv", "Chn;TAG\r\n2;ship\r\n");

    ASSERT_EQ(Mv53({"csv-import", csv, file}).status, 0);
    ASSERT_EQ(Mv53({"csv-import", csv, dir.Path("new.m53")}).status, 0);
    for (const auto& [path, voxGain] : {std::pair{file, 77}, std::pair{dir.Path("new.m53"), ClearedRecords().Misc().VoxGain()}}) {
        TMVmem mem;
        TText image;
        ASSERT_TRUE(ReadDataFile(path, mem, image));
        EXPECT_EQ(mem.Misc().VoxGain(), voxGain);
        EXPECT_EQ(mem.Channels().Items(1).Tag(), "SHIP");
        EXPECT_EQ(mem.Channels().Items(0).Status(), kChannelEmpty);
    }
    const ProcessResult out = Mv53({"csv-export", file});
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out, "Chn,TAG,Receive,Transmit,Mode,Pwr,Shift,Encryption,Selcall,Tune\r\n"
                       "002,SHIP,3.00000,3.00000,J3E(USB),High,OFF,OFF,OFF,OFF\r\n");

    const std::string before = ReadFile(file);
    const ProcessResult bad = Mv53({"csv-import", dir.Write("bad.csv", "TAG,Receive\nA,40\n"), file});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, dir.Path("bad.csv") + ": line 2, column 2: CH-001 receive frequency 40.00000 MHz is outside the "
                                             "radio's range 0.5-30 MHz\n" + file + " was not written.\n");
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(Mv53({"csv-export", file, "-o", dir.Path("x/y.csv")}).status, 1);
}

}  // namespace
}  // namespace mv53::test
