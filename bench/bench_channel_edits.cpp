// Timing of the channel list edits on a full list of 500 channels: undo of a paste into all 500
// rows (the records put back from the history), a sort of all channels, and a CSV import of
// 500 channels. Prints the median and the worst of the runs in milliseconds.

#include "model/ChannelCsv.h"
#include "model/ChannelEdits.h"
#include "model/EditHistory.h"
#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 100;

TMVmem FullList()
{
    TMVmem mem;
    ClearRecords(mem);
    for (int i = 0; i < TChannels::Count(); ++i) {
        TChannel& ch = mem.Channels().Items(i);
        ch.SetStatus(mv53::kChannelUsed);
        ch.SetTag("CH " + std::to_string((i * 7919) % 500));
        ch.RxFreq().FromFloat(0.5 + ((i * 37) % 295) * 0.1 + 0.00123);
        ch.TxFreq().FromFloat(1.6 + ((i * 53) % 284) * 0.1);
        ch.SetTxOff(i % 3 == 0 ? 1 : 0);
        ch.SetMode(i % 5);
    }
    return mem;
}

// Runs prepare (untimed) and then step (timed) kRuns times; prints the figures.
void Measure(const char* what, double goalMs, const std::function<void()>& prepare, const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        step();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.3f ms  max %7.3f ms  (goal < %g ms, %d runs)\n", what, ms[ms.size() / 2], ms.back(),
                goalMs, kRuns);
}

}  // namespace

int main()
{
    const TMVmem full = FullList();
    TMVmem mem;
    mv53::TEditHistory history;

    // A paste that changed every row: the records before and after it are in the history.
    Measure("undo of a 500-row paste", 20, [&] {
        mem = full;
        const TMVmem before = mem;
        for (int i = 0; i < TChannels::Count(); ++i)
            mem.Channels().Items(i).SetPower(1);
        history.Clear(true, before);
        history.Record(mv53::kPasteStep, before, mem);
    }, [&] { mem = *history.Undo(); });

    Measure("sort of 500 channels by receive", 10, [&] { mem = full; },
            [&] { mv53::SortChannels(mem, {}, mv53::TSortKey::Receive); });

    const std::string csv = mv53::ChannelsToCsv(full.Channels());
    std::string error;
    Measure("CSV import of 500 channels", 20, [&] { mem = full; }, [&] {
        if (!mv53::ChannelsFromCsv(csv, mem.FactoryOpt(), mem.Channels(), error))
            std::printf("import failed: %s\n", error.c_str());
    });
    return 0;
}
