#include "model/ChannelEdits.h"

#include "model/ChannelValues.h"
#include "model/FreqRange.h"
#include "model/U_Const.h"
#include "model/U_E2prom.h"
#include "model/U_InputFilter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mv53 {

namespace {

constexpr int kCount = TChannels::kCount;
constexpr int kNewChannel = -1;

bool InUse(const TChannel& ch) { return ch.Status() == kChannelUsed; }

// The channel list rearranged: position i takes the channel (with its tuner entry) that was at
// order[i], or a new empty channel for kNewChannel.
void Rearrange(TMVmem& mem, const std::vector<int>& order)
{
    const TChannels channels = mem.Channels();
    const TAntTuner0 set0 = mem.AntTuner0();
    const TAntTuner1 set1 = mem.AntTuner1();
    for (int i = 0; i < kCount; ++i) {
        const int from = order[static_cast<size_t>(i)];
        TChannel& ch = mem.Channels().Items(i);
        TTuneData& entry = ChannelTuneEntry(mem.AntTuner0(), mem.AntTuner1(), i);
        if (from == kNewChannel) {
            ClearChannel(ch, i);
            entry = TTuneData{};
        } else {
            ch = channels.Items(from);
            entry = ChannelTuneEntry(set0, set1, from);
        }
    }
}

std::vector<int> Identity()
{
    std::vector<int> order(kCount);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// The valid indexes, ascending, without repeats.
std::vector<int> Normalised(std::vector<int> channels)
{
    std::erase_if(channels, [](int c) { return c < 0 || c >= kCount; });
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    return channels;
}

// The sort value of a frequency: 10 Hz units, "TX OFF" after all of them.
int64_t FrequencyKey(const TChannel& ch, bool transmit)
{
    if (transmit && ch.TxOff() != 0)
        return INT64_MAX;
    return (transmit ? ch.TxFreq() : ch.RxFreq()).ToScaled(5);
}

// What a fill copies from the first channel: the values of the columns right of the frequencies.
void CopyOptions(TChannel& to, const TChannel& from)
{
    to.SetMode(from.Mode());
    to.SetPower(from.Power());
    to.SetShiftOn(from.ShiftOn());
    to.SetEncryptOn(from.EncryptOn());
    to.SetEncryptCode(from.EncryptCode());
    to.SetSelcallOn(from.SelcallOn());
    to.SetTuneMode(from.TuneMode());
    to.SetTxOff(from.TxOff());
}

}  // namespace

TTuneData& ChannelTuneEntry(TAntTuner0& set0, TAntTuner1& set1, int channel)
{
    return channel < TAntTunerTable::kCount ? set0.Entries(channel) : set1.Entries(channel - TAntTunerTable::kCount);
}

const TTuneData& ChannelTuneEntry(const TAntTuner0& set0, const TAntTuner1& set1, int channel)
{
    return channel < TAntTunerTable::kCount ? set0.Entries(channel) : set1.Entries(channel - TAntTunerTable::kCount);
}

std::string InsertChannel(TMVmem& mem, int channel)
{
    if (channel < 0 || channel >= kCount)
        return {};
    if (InUse(mem.Channels().Items(kCount - 1)))
        return kInsertRefused;
    std::vector<int> order = Identity();
    order[static_cast<size_t>(channel)] = kNewChannel;
    for (int i = channel + 1; i < kCount; ++i)
        order[static_cast<size_t>(i)] = i - 1;
    Rearrange(mem, order);
    return {};
}

void DeleteChannels(TMVmem& mem, const std::vector<int>& channels)
{
    const std::vector<int> gone = Normalised(channels);
    if (gone.empty())
        return;
    std::vector<int> order;
    for (int i = 0; i < kCount; ++i)
        if (!std::binary_search(gone.begin(), gone.end(), i))
            order.push_back(i);
    order.resize(kCount, kNewChannel);
    Rearrange(mem, order);
}

bool MoveChannels(TMVmem& mem, std::vector<int>& channels, bool up)
{
    std::vector<int> moved = Normalised(channels);
    if (moved.empty() || (up && moved.front() == 0) || (!up && moved.back() == kCount - 1))
        return false;
    std::vector<int> order = Identity();
    const int step = up ? -1 : 1;
    // From the end they move towards, so that a block of channels moves as one.
    if (!up)
        std::reverse(moved.begin(), moved.end());
    for (int& c : moved) {
        std::swap(order[static_cast<size_t>(c)], order[static_cast<size_t>(c + step)]);
        c += step;
    }
    Rearrange(mem, order);
    channels = Normalised(moved);
    return true;
}

void SortChannels(TMVmem& mem, std::vector<int> channels, TSortKey key)
{
    channels = Normalised(std::move(channels));
    if (channels.empty())
        channels = Identity();
    const TChannels& list = mem.Channels();
    std::vector<int> sorted = channels;
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
        const TChannel& x = list.Items(a);
        const TChannel& y = list.Items(b);
        if (InUse(x) != InUse(y))
            return InUse(x);
        if (!InUse(x))
            return false;
        switch (key) {
        case TSortKey::Receive: return FrequencyKey(x, false) < FrequencyKey(y, false);
        case TSortKey::Transmit: return FrequencyKey(x, true) < FrequencyKey(y, true);
        case TSortKey::Tag: return x.Tag() < y.Tag();
        }
        return false;
    });
    std::vector<int> order = Identity();
    for (size_t k = 0; k < channels.size(); ++k)
        order[static_cast<size_t>(channels[k])] = sorted[k];
    Rearrange(mem, order);
}

std::string FillChannels(TMVmem& mem, const std::vector<int>& channels, const TFillRequest& fill)
{
    TChannels result = mem.Channels();
    const TFactoryOpt& factory = mem.FactoryOpt();
    // In the records' units (10 Hz), so that a long fill does not drift.
    const auto start = std::llround(fill.StartMHz * 100000.0);
    const auto step = std::llround(fill.StepKHz * 100.0);
    int64_t units = start;
    const TChannel* first = nullptr;
    for (const int index : channels) {
        if (index < 0 || index >= kCount)
            continue;
        TChannel& ch = result.Items(index);
        if (first == nullptr) {
            first = &mem.Channels().Items(index);
        } else if (fill.CopyFirst) {
            CopyOptions(ch, *first);
        }
        ch.SetStatus(kChannelUsed);
        TDecimal freq;
        freq.FromFloat(static_cast<double>(units) / 100000.0);
        if (!ChannelFreqInRange(freq, false, factory))
            return OutOfRangeText({index, false, freq}, factory);
        const std::string text = FormatFixed(freq.ToFloat(), 5);
        for (const int column : {kRxFreqColumn, kTxFreqColumn}) {
            if (column == kTxFreqColumn && ch.TxOff() != 0)
                continue;
            if (std::string refused = TakeCellText(ch, index, column, text, factory); !refused.empty())
                return refused;
        }
        units += step;
    }
    mem.Channels() = result;
    return {};
}

}  // namespace mv53
