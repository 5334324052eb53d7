// mv53 diff, run as a process on data files in a temporary folder.

#include "RunProcess.h"
#include "TestRecords.h"

#include "model/U_Const.h"

#include <gtest/gtest.h>

#include <string>

using mv53::test::ClearedRecords;
using mv53::test::ProcessResult;

namespace {

// Old records: channels 1 and 2 in use, 2 receive-only. Each case changes a copy into the new
// records, or patches a byte of the new file that no record field holds.
void OldRecords(TMVmem& m)
{
    for (int i : {0, 1}) {
        TChannel& ch = m.Channels().Items(i);
        ch.SetStatus(mv53::kChannelUsed);
        ch.RxFreq().FromFloat(7.05);
        ch.TxFreq().FromFloat(7.05);
    }
    m.Channels().Items(1).SetTag("ALPHA");
    m.Channels().Items(1).SetTxOff(1);
}

class CliDiff : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_scratch.Ok()); }

    std::string Write(const std::string& name, const TMVmem& mem, int patchAt = -1, char patch = 0)
    {
        std::string bytes(reinterpret_cast<const char*>(mv53::test::EncodedImage(mem, false).Data()), TText::Size());
        if (patchAt >= 0)
            bytes[static_cast<size_t>(patchAt)] = patch;
        return m_scratch.Write(name, bytes);
    }

    ProcessResult Diff(const std::string& a, const std::string& b)
    {
        return mv53::test::RunProcess(MV53_EXE, {"diff", a, b});
    }

    mv53::test::ScratchDir m_scratch;
};

TEST_F(CliDiff, OneLinePerDifferenceSettingsFirstThenChannelsInNumberOrder)
{
    constexpr int kSpareOfChannel1 = mv53::ChannelOffset(0) + 26;   // 0x0020: no field shows it
    const struct {
        const char* name;
        void (*edit)(TMVmem&);
        int patchAt;
        std::string lines;
    } cases[] = {
        {"equal", [](TMVmem&) {}, -1, ""},
        {"frequency", [](TMVmem& m) { m.Channels().Items(0).RxFreq().FromFloat(7.06); }, -1,
         "channel 1: Receive: 7.05000 -> 7.06000\n"},
        {"transmitter off", [](TMVmem& m) { m.Channels().Items(0).SetTxOff(1); }, -1,
         "channel 1: Transmit: 7.05000 -> TX OFF\n"},
        {"frequency behind TX OFF", [](TMVmem& m) { m.Channels().Items(1).TxFreq().FromFloat(7.06); }, -1,
         "Other bytes: 0x002E-0x002F: C1 E8 -> C5 D0\n"},
        {"tag", [](TMVmem& m) { m.Channels().Items(1).SetTag("BRAVO"); }, -1, "channel 2: TAG: ALPHA -> BRAVO\n"},
        {"added and removed", [](TMVmem& m) {
             m.Channels().Items(0).SetStatus(mv53::kChannelEmpty);
             m.Channels().Items(499).SetStatus(mv53::kChannelUsed);
         }, -1, "channel 1: removed\nchannel 500: added\n"},
        {"setting", [](TMVmem& m) { m.A1A().SetCwDelay(1); }, -1, "A1A(CW)Function: CW Delay: 500 ms -> 1000 ms\n"},
        {"unshown byte", [](TMVmem&) {}, kSpareOfChannel1, "Other bytes: 0x0020: FF -> 01\n"},
        {"in order", [](TMVmem& m) {
             m.Channels().Items(1).SetMode(3);
             m.TelNumbers().Numbers(2).SetNumber("");
             m.FactoryOpt().SetKeyFunc(1, 1);
         }, kSpareOfChannel1,
         "Key Function: B Switch: N/A -> SELCALL\nTelephone Numbr: Telephone Number 3: 0000000000000000 -> "
         "---------------\nOther bytes: 0x0020: FF -> 01\nchannel 2: Mode: J3E(USB) -> A3E\n"},
    };
    const std::string old = Write("old.m53", ClearedRecords(OldRecords));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult r = Diff(old, Write("new.m53", ClearedRecords([&](TMVmem& m) {
            OldRecords(m);
            c.edit(m);
        }), c.patchAt, 1));
        EXPECT_EQ(r.out, c.lines);
        EXPECT_EQ(r.status, c.lines.empty() ? 0 : 1) << r.err;
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CliDiff, AFileThatIsMissingOrNoDataFileFailsWithItsReason)
{
    const std::string good = Write("good.m53", ClearedRecords());
    const std::string picture = m_scratch.Write("picture.m53", mv53::test::PictureFileBytes());
    const std::string missing = m_scratch.Path("missing.m53");
    const struct {
        std::string a, b, err;
    } cases[] = {
        {good, missing, "File read error  File Name = " + missing + "\nNo such file or directory\n"},
        {picture, good, "mv53 diff: " + picture + ": not a data file: "},
    };
    for (const auto& c : cases) {
        const ProcessResult r = Diff(c.a, c.b);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
