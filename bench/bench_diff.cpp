// Timing of the comparison of two radio images with all 500 channels in use and every channel
// changed (frequency, tag, mode; every third one receive-only), plus a few settings. Prints
// the number of differences, the median and the worst of the runs in milliseconds.

#include "model/ImageDiff.h"
#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

namespace {

TText FullImage(int variant)
{
    TMVmem mem;
    ClearRecords(mem);
    for (int i = 0; i < TChannels::Count(); ++i) {
        TChannel& ch = mem.Channels().Items(i);
        ch.SetStatus(mv53::kChannelUsed);
        ch.SetTag("CH " + std::to_string(i + variant));
        ch.RxFreq().FromFloat(0.5 + ((i + variant) % 295) * 0.1 + 0.00123);
        ch.TxFreq().FromFloat(1.6 + ((i + variant) % 284) * 0.1);
        ch.SetTxOff((i + variant) % 3 == 0 ? 1 : 0);
        ch.SetMode((i + variant) % 5);
    }
    mem.A1A().SetCwDelay(variant % 5);
    mem.Misc().SetVoxGain(variant * 7);
    TText image;
    EncodeImage(image, mem, false);
    return image;
}

}  // namespace

int main()
{
    const TText oldImage = FullImage(0);
    const TText newImage = FullImage(1);
    constexpr int kRuns = 200;
    std::vector<double> ms;
    size_t count = 0;
    // The processor time as well: on a busy machine the wall time counts the waits for it.
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        count = mv53::CompareImages(oldImage, newImage).size();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / kRuns;
    std::sort(ms.begin(), ms.end());
    std::printf("CompareImages (500 channels, %zu differences) median %7.3f ms  max %7.3f ms  processor %7.3f ms "
                "(goal < 5 ms, %d runs)\n",
                count, ms[ms.size() / 2], ms.back(), cpuMs, kRuns);
    return 0;
}
