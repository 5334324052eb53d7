#pragma once
// A full channel list for the channel edits and CSV: every channel in use with random values
// that typing could give, and random antenna tuner entries.

#include "TestRecords.h"

namespace mv53::test {

inline TMVmem FullChannelList(unsigned seed)
{
    TMVmem mem;
    RandomRecords random(seed);
    random.Fill(mem);
    mem.FactoryOpt().SetRxRange(0);
    mem.FactoryOpt().SetTxRange(0);
    for (int i = 0; i < TChannels::kCount; ++i) {
        TChannel& ch = mem.Channels().Items(i);
        ch.SetStatus(kChannelUsed);
        ch.TxFreq().FromFloat(random.Int(160000, 3000000) / 100000.0);
    }
    return mem;
}

}  // namespace mv53::test
