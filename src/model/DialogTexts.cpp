#include "model/DialogTexts.h"

#include "model/U_InputFilter.h"

namespace mv53::dlg {

namespace {

// count entries of first + step * i with one fraction digit, each followed by unit; the
// entries below 10 get pad in front.
std::vector<std::string> Steps(double first, double step, int count, const char* unit, const std::string& pad = {})
{
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) {
        const double value = first + step * i;
        items.push_back((value < 10.0 ? pad : std::string()) + FormatFixed(value, 1) + unit);
    }
    return items;
}

}  // namespace

const std::vector<std::string>& RxRangeItems()
{
    static const std::vector<std::string> items{"0.5-30 MHz", "3-30 MHz"};
    return items;
}

const std::vector<std::string>& TxRangeItems()
{
    static const std::vector<std::string> items{"1.6-30 MHz", "3-30 MHz"};
    return items;
}

const std::vector<std::string>& SaveHoldTimeItems()
{
    static const std::vector<std::string> items = Steps(5.0, 0.5, 51, " s");
    return items;
}

const std::vector<std::string>& VoxGainItems()
{
    static const std::vector<std::string> items = [] {
        std::vector<std::string> gains{"OFF"};
        for (int i = 1; i <= 100; ++i)
            gains.push_back(std::to_string(i));
        return gains;
    }();
    return items;
}

const std::vector<std::string>& TotItems()
{
    static const std::vector<std::string> items = [] {
        std::vector<std::string> times{"OFF"};
        for (const std::string& t : Steps(0.5, 0.5, 19, " min"))
            times.push_back(t);
        times.push_back("10 min");
        return times;
    }();
    return items;
}

const std::vector<std::string>& PreambleItems()
{
    static const std::vector<std::string> items = Steps(1.0, 0.5, 19, " s", "  ");
    return items;
}

const std::vector<std::string>& SelHoldTimeItems()
{
    static const std::vector<std::string> items = Steps(0.5, 0.5, 20, " min", " ");
    return items;
}

std::string PacketOffsetText(int32_t hz) { return std::to_string(hz) + kHzSuffix; }

std::string WithoutAccelerator(const char* label)
{
    std::string text;
    for (const char* c = label; *c != '\0'; ++c)
        if (*c != '&')
            text += *c;
    return text;
}

}  // namespace mv53::dlg
