#include "model/ChannelFind.h"

#include "model/U_Const.h"
#include "model/U_InputFilter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace mv53 {

namespace {

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The text as a frequency in 10 Hz units: digits with one decimal point ("." or ","), or none.
std::optional<long long> FrequencyUnits(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    if (text.empty() || std::count(text.begin(), text.end(), '.') > 1 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) || c == '.'; }) ||
        text == ".")
        return std::nullopt;
    return std::llround(std::stod(text) * 100000.0);
}

long long Units(const TDecimal& freq) { return std::llround(freq.ToFloat() * 100000.0); }

}  // namespace

int FindChannel(const TChannels& channels, const std::string& text, int after)
{
    const std::string wanted = Upper(TrimBlanks(text));
    if (wanted.empty())
        return -1;
    const std::optional<long long> units = FrequencyUnits(wanted);
    const auto matches = [&](const TChannel& ch) {
        if (ch.Status() != kChannelUsed)
            return false;
        if (Upper(ch.Tag()).find(wanted) != std::string::npos)
            return true;
        return units && (Units(ch.RxFreq()) == *units || (ch.TxOff() == 0 && Units(ch.TxFreq()) == *units));
    };
    constexpr int count = TChannels::kCount;
    for (int k = 1; k <= count; ++k) {
        const int index = (((after + k) % count) + count) % count;
        if (matches(channels.Items(index)))
            return index;
    }
    return -1;
}

}  // namespace mv53
