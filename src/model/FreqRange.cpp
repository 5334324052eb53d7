#include "model/FreqRange.h"

#include "model/U_Const.h"
#include "model/U_InputFilter.h"

#include <cstdio>

namespace mv53 {

namespace {
constexpr int32_t kScale = 5;            // frequencies in 10 Hz units: MHz x 10^5
constexpr int32_t kLowest = 50000;       // 0.5 MHz
constexpr int32_t kLowestTx = 160000;    // 1.6 MHz
constexpr int32_t kNarrowLow = 300000;   // 3 MHz
constexpr int32_t kHighest = 3000000;    // 30 MHz
}  // namespace

TFreqRange ChannelFreqRange(bool transmit, const TFactoryOpt& factory)
{
    const bool narrow = (transmit ? factory.TxRange() : factory.RxRange()) != 0;
    if (narrow)
        return {kNarrowLow, kHighest, "3-30"};
    return transmit ? TFreqRange{kLowestTx, kHighest, "1.6-30"} : TFreqRange{kLowest, kHighest, "0.5-30"};
}

bool ChannelFreqInRange(const TDecimal& freq, bool transmit, const TFactoryOpt& factory)
{
    const TFreqRange range = ChannelFreqRange(transmit, factory);
    const int32_t value = freq.ToScaled(kScale);
    return value >= range.Low && value <= range.High;
}

std::vector<TFreqOutOfRange> FrequenciesOutOfRange(const TChannels& channels, const TFactoryOpt& factory)
{
    std::vector<TFreqOutOfRange> out;
    for (int32_t i = 0; i < TChannels::kCount; ++i) {
        const TChannel& ch = channels.Items(i);
        if (ch.Status() != kChannelUsed)
            continue;
        if (!ChannelFreqInRange(ch.RxFreq(), false, factory))
            out.push_back({i, false, ch.RxFreq()});
        if (ch.TxOff() == 0 && !ChannelFreqInRange(ch.TxFreq(), true, factory))
            out.push_back({i, true, ch.TxFreq()});
    }
    return out;
}

std::string OutOfRangeText(const TFreqOutOfRange& entry, const TFactoryOpt& factory)
{
    char channel[16];
    std::snprintf(channel, sizeof channel, "CH-%3.3d", entry.Channel + 1);
    return std::string(channel) + (entry.Transmit ? " transmit" : " receive") + " frequency " +
           FormatFixed(entry.Freq.ToFloat(), 5) + " MHz is outside the radio's range " +
           ChannelFreqRange(entry.Transmit, factory).Text + " MHz";
}

}  // namespace mv53
