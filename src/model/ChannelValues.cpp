#include "model/ChannelValues.h"

#include "model/ChannelTexts.h"
#include "model/FreqRange.h"
#include "model/U_Const.h"
#include "model/U_InputFilter.h"

namespace mv53 {

namespace {

constexpr const char* kMayNotHold = " may not hold \"";
constexpr const char* kTagTooLong = " is longer than 8 characters";
constexpr const char* kNoNumber = " is not a frequency in MHz: \"";
constexpr const char* kNotInList = " is not one of ";

const TGrdInf& Column(int column) { return ChannelColumns()[static_cast<size_t>(column)]; }
int32_t ListOf(int column) { return Column(column).EditParam; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "J3E(LSB), J3E(USB), A1A, A3E, J2B"
std::string ListEntries(int32_t list)
{
    std::string out;
    for (int32_t i = 0; i < ValCount(list); ++i)
        out += (i == 0 ? "" : ", ") + ValText(list, i);
    return out;
}

std::string TakeTag(TChannel& ch, const std::string& text)
{
    const std::string name = ChannelColumnName(kTagColumn);
    for (char c : text) {
        char key = c;
        if (!IsTagKey(key))
            return name + kMayNotHold + std::string(1, c) + "\"";
    }
    if (text.size() > static_cast<size_t>(Column(kTagColumn).EditParam))
        return name + kTagTooLong;
    ch.SetTag(FormatTag(text));
    return {};
}

std::string TakeFrequency(TChannel& ch, int index, int column, const std::string& text, const TFactoryOpt& factory)
{
    const bool transmit = column == kTxFreqColumn;
    const std::string name = ChannelColumnName(column);
    if (transmit && text == kTxOffText) {
        ch.SetTxOff(1);
        return {};
    }
    // The keys a frequency cell admits, one decimal mark ("," read as "."), at least one digit.
    std::string number = TrimBlanks(text);
    for (char& c : number) {
        char key = c;
        if (!IsFreqKey(key))
            return name + kMayNotHold + std::string(1, c) + "\"";
        if (c == ',')
            c = '.';
    }
    const auto value = ParseDouble(number);
    if (number.find('.') != number.rfind('.') || !value)
        return name + kNoNumber + text + "\"";
    TDecimal freq;
    freq.FromFloat(*value);
    if (!ChannelFreqInRange(freq, transmit, factory))
        return OutOfRangeText({index, transmit, freq}, factory);
    // Inside the range the typing rule changes nothing but the text's form.
    const std::string normalised = FormatFreq(number, column, factory.RxRange());
    if (transmit) {
        ch.SetTxOff(0);
        SetFrequencyText(ch.TxFreq(), normalised);
    } else {
        SetFrequencyText(ch.RxFreq(), normalised);
        ApplyReceiveText(ch, normalised, factory.RxRange());
    }
    return {};
}

}  // namespace

void SetFrequencyText(TDecimal& target, const std::string& text) { target.FromFloat(TextToFloat(text)); }

int32_t OptionEntryOf(int32_t list, const std::string& text)
{
    for (int32_t i = 0; i < ValCount(list); ++i)
        if (ValText(list, i) == text)
            return i;
    return -1;
}

std::string NextOptionText(int32_t list, const std::string& text)
{
    const int32_t k = OptionEntryOf(list, text);
    return ValText(list, k >= 0 && k < ValCount(list) - 1 ? k + 1 : 0);
}

void StoreCellText(TChannel& ch, int column, const std::string& text)
{
    switch (column) {
    case kTagColumn: ch.SetTag(text); break;
    case kRxFreqColumn: SetFrequencyText(ch.RxFreq(), text); break;
    case kTxFreqColumn:
        if (ch.TxOff() == 0)
            SetFrequencyText(ch.TxFreq(), text);
        break;
    case 4: ch.SetMode(ValIndexOf(ListOf(column), text)); break;
    case 5: ch.SetPower(ValIndexOf(ListOf(column), text)); break;
    case 6: ch.SetShiftOn(ValIndexOf(ListOf(column), text)); break;
    case 7: {
        const int32_t code = text == kEncryptOffText ? 0 : ValIndexOf(ListOf(column), text);
        ch.SetEncryptOn(code > 0 ? 1 : 0);
        ch.SetEncryptCode(code > 0 ? code - 1 : 0);
        break;
    }
    case 8: ch.SetSelcallOn(ValIndexOf(ListOf(column), text)); break;
    case 9: ch.SetTuneMode(ValIndexOf(ListOf(column), text)); break;
    default: break;
    }
}

bool IsTypedColumn(int column)
{
    if (column < 0 || column >= kChannelColumnCount)
        return false;
    const int32_t kind = Column(column).EditKind;
    return kind == kEditTag || kind == kEditRxFreq || kind == kEditTxFreq;
}

bool AcceptCellKey(const TChannel& ch, int column, char& key)
{
    constexpr char kEscapeKey = 27;
    switch (IsTypedColumn(column) ? Column(column).EditKind : kEditNone) {
    case kEditTag:
        return IsTagKey(key);
    case kEditRxFreq:
        return IsFreqKey(key);
    case kEditTxFreq:
        if (ch.TxOff() != 0)
            return key != kEscapeKey && key != ' ';
        return IsFreqKey(key);
    default:
        return false;
    }
}

std::string NormalizeCellText(const TChannel& ch, int column, const std::string& text, int32_t rxRange)
{
    switch (IsTypedColumn(column) ? Column(column).EditKind : kEditNone) {
    case kEditTag:
        return FormatTag(text);
    case kEditRxFreq:
        return FormatFreq(text, column, rxRange);
    case kEditTxFreq:
        return ch.TxOff() != 0 ? text : FormatFreq(text, column, rxRange);
    default:
        return text;
    }
}

bool CellFreqOutOfRange(int column, const std::string& text, const TFactoryOpt& factory)
{
    if ((column != kRxFreqColumn && column != kTxFreqColumn) || text == kTxOffText)
        return false;
    TDecimal value;
    SetFrequencyText(value, text);
    return !ChannelFreqInRange(value, column == kTxFreqColumn, factory);
}

std::string ApplyReceiveText(TChannel& ch, const std::string& receiveText, int32_t rxRange)
{
    std::string tx = FormatFreq(receiveText, kTxFreqColumn, rxRange);
    SetFrequencyText(ch.TxFreq(), tx);
    return tx;
}

std::string TakeCellText(TChannel& ch, int index, int column, const std::string& text, const TFactoryOpt& factory)
{
    if (column == kTagColumn)
        return TakeTag(ch, text);
    if (column == kRxFreqColumn || column == kTxFreqColumn)
        return TakeFrequency(ch, index, column, text, factory);
    if (column < kTagColumn || column >= kChannelColumnCount || Column(column).EditKind == kEditNone)
        return {};
    const int32_t list = ListOf(column);
    const std::string option = TrimBlanks(text);
    if (OptionEntryOf(list, option) < 0)
        return ChannelColumnName(column) + " " + Quoted(option) + kNotInList + ListEntries(list);
    StoreCellText(ch, column, option);
    return {};
}

}  // namespace mv53
