#include "model/ChannelTexts.h"

#include "model/U_Const.h"
#include "model/U_InputFilter.h"

#include <cstdio>

namespace mv53 {

namespace {

const TGrdInf& Column(int column) { return ChannelColumns()[static_cast<size_t>(column)]; }
std::string ListText(int column, int32_t index) { return ValText(Column(column).EditParam, index); }
std::string FrequencyText(const TDecimal& mhz) { return FormatFixed(mhz.ToFloat(), 5); }

}  // namespace

std::string ChannelCellText(int index, const TChannel& ch, int column)
{
    switch (column) {
    case 0: {
        char number[16];
        std::snprintf(number, sizeof number, "%3.3d", index + 1);
        return number;
    }
    case kTagColumn: return ch.Tag();
    case kRxFreqColumn: return FrequencyText(ch.RxFreq());
    case kTxFreqColumn: return ch.TxOff() != 0 ? kTxOffText : FrequencyText(ch.TxFreq());
    case 4: return ListText(column, ch.Mode());
    case 5: return ListText(column, ch.Power());
    case 6: return ListText(column, ch.ShiftOn());
    case 7: return ch.EncryptOn() == 0 ? std::string(kEncryptOffText) : ListText(column, ch.EncryptCode() + 1);
    case 8: return ListText(column, ch.SelcallOn());
    case 9: return ListText(column, ch.TuneMode());
    default: return {};
    }
}

std::string ChannelColumnName(int column)
{
    if (column < 0 || column >= kChannelColumnCount)
        return {};
    const TGrdInf& c = Column(column);
    // The two frequency columns go by their second line; "Mode" alone would name two columns.
    if (*c.Caption1 == '\0' || column == kRxFreqColumn || column == kTxFreqColumn)
        return c.Caption2;
    return std::string(c.Caption1) + " " + c.Caption2;
}

}  // namespace mv53
