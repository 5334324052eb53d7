#pragma once
// The frequencies a channel may use in the radio. A data file may hold any frequency from 0.5
// to 30 MHz in either direction, while the radio receives from 0.5 MHz (3 MHz with the narrow
// receive range) and transmits from 1.6 MHz (3 MHz with the narrow transmit range), both up to
// 30 MHz. The grid, the command line and the main window's Download use this one check to show
// such channels before anything reaches a radio.

#include "model/Decimal.h"
#include "model/MVmemSub.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv53 {

// A range of channel frequencies in units of 10 Hz, with its text as the system panel shows it.
struct TFreqRange {
    int32_t Low = 0;
    int32_t High = 0;
    std::string Text;   // "0.5-30", "1.6-30", "3-30"
};

TFreqRange ChannelFreqRange(bool transmit, const TFactoryOpt& factory);

// Whether the frequency lies within the radio's range for the direction.
bool ChannelFreqInRange(const TDecimal& freq, bool transmit, const TFactoryOpt& factory);

// A frequency of a used channel outside the radio's range.
struct TFreqOutOfRange {
    int Channel = 0;   // zero-based
    bool Transmit = false;
    TDecimal Freq;
};

// Every used channel's receive frequency, and transmit frequency while its transmitter is on,
// that lies outside the range; in channel order, receive before transmit.
std::vector<TFreqOutOfRange> FrequenciesOutOfRange(const TChannels& channels, const TFactoryOpt& factory);

// "CH-005 transmit frequency 0.60000 MHz is outside the radio's range 1.6-30 MHz"
std::string OutOfRangeText(const TFreqOutOfRange& entry, const TFactoryOpt& factory);

}  // namespace mv53
