// The records: defaults, equality and copying.

#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<TMVmem> Cleared()
{
    auto mem = std::make_unique<TMVmem>();
    ClearRecords(*mem);
    return mem;
}

}  // namespace

TEST(ClearedRecords, LeaveTunerTablesTemperatureCorrectionAndComportAlone)
{
    auto mem = std::make_unique<TMVmem>();
    mem->AntTuner0().Entries(3).SetTuneL(300);
    mem->AntTuner1().Entries(249).SetTuneReset(1);
    mem->TmpCorrect().Rows(43).SetValues(8, -5);
    mem->Comport().SetValue(7);
    ClearRecords(*mem);
    EXPECT_EQ(mem->AntTuner0().Entries(3).TuneL(), 300);
    EXPECT_EQ(mem->AntTuner1().Entries(249).TuneReset(), 1);
    EXPECT_EQ(mem->TmpCorrect().Rows(43).Values(8), -5);
    EXPECT_EQ(mem->Comport().Value(), 7);
}

TEST(RecordEquality, ChannelDiffersInAnySingleField)
{
    auto mem = Cleared();
    const TChannel base = mem->Channels().Items(0);
    EXPECT_TRUE(TChannel(base).Equals(base));
    for (void (*change)(TChannel&) : {+[](TChannel& c) { c.SetSpare29(254); }, +[](TChannel& c) { c.SetSpare19(1); },
                                      +[](TChannel& c) { c.RxFreq().SetFraction(50); c.RxFreq().SetDigits(2); },
                                      +[](TChannel& c) { c.SetTag("  ch-001"); }}) {
        TChannel other = base;
        change(other);
        EXPECT_FALSE(other.Equals(base));
    }
    TChannels a = mem->Channels();
    TChannels b = a;
    EXPECT_TRUE(a.Equals(b));
    b.Items(499).SetTxOff(1);
    EXPECT_FALSE(a.Equals(b));
}
