#include "model/ImageDiff.h"

#include "model/ChannelTexts.h"
#include "model/DialogTexts.h"
#include "model/MVmem.h"
#include "model/U_Const.h"
#include "model/U_E2prom.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace mv53 {

namespace {

using namespace dlg;

constexpr int kMaxBytesPerLine = 16;
constexpr int kFirstComparedColumn = kTagColumn;   // Chn is the channel's number
constexpr int kLastComparedColumn = 9;             // the tuner column shows nothing
constexpr int kChannelSpareCount = 6;              // bytes 26..31 of a channel
static_assert(kTxIdCount == TCmmSel::kTxIdCount, "a label for each TX ID");

// A value that no entry of its list names: the stored number in brackets, so that two such
// values never read alike.
std::string Unnamed(int32_t value) { return "(" + std::to_string(value) + ")"; }

std::string Entry(const std::vector<std::string>& items, int32_t value)
{
    return value >= 0 && static_cast<size_t>(value) < items.size() ? items[static_cast<size_t>(value)] : Unnamed(value);
}

std::string Option(TOptionList list, int32_t value) { return value >= 0 && value < ValCount(list) ? ValText(list, value) : Unnamed(value); }

std::string KeyFunction(int32_t code)
{
    const std::string name = KeyFuncName(code);
    return name.empty() ? Unnamed(code) : name;
}

// One setting: where the dialogs show it and how; Index picks a switch, an ID or a number.
struct TSettingField {
    const char* Section;
    std::string Label;
    std::string (*Show)(const TMVmem&, int);
    int Index = 0;
};

// Every setting in the order of the dialogs and of their fields.
const std::vector<TSettingField>& SettingFields()
{
    static const std::vector<TSettingField> fields = [] {
        using M = const TMVmem&;
        std::vector<TSettingField> f{
            {kA1ACaption, kCwDelayLabel, [](M m, int) { return Option(kListCwDelay, m.A1A().CwDelay()); }},
            {kA1ACaption, kCwPitchLabel, [](M m, int) { return Option(kListCwPitch, m.FactoryOpt().CwPitch()); }},
            {kHardwareCaption, kHailLabel, [](M m, int) { return Option(kListHail, m.Hard().Hail()); }},
            {kHardwareCaption, kLampLabel, [](M m, int) { return Option(kListLampMode, m.Hard().LampMode()); }},
            {kHardwareCaption, kRxRangeLabel, [](M m, int) { return Entry(RxRangeItems(), m.FactoryOpt().RxRange()); }},
            {kHardwareCaption, kTxRangeLabel, [](M m, int) { return Entry(TxRangeItems(), m.FactoryOpt().TxRange()); }},
            {kPowerSaveCaption, kSaveHoldTimeLabel, [](M m, int) { return Entry(SaveHoldTimeItems(), m.PwrSave().HoldTime()); }},
            {kPowerSaveCaption, kSaveTimeLabel, [](M m, int) { return Option(kListSaveTime, m.PwrSave().SaveTime()); }},
            {kKeyFuncCaption, kSwitchALabel, [](M m, int) { return KeyFunction(m.FactoryOpt().KeyFunc(0)); }},
            {kKeyFuncCaption, kSwitchBLabel, [](M m, int) { return KeyFunction(m.FactoryOpt().KeyFunc(1)); }},
            {kKeyFuncCaption, kSwitchCLabel, [](M m, int) { return KeyFunction(m.FactoryOpt().KeyFunc(2)); }},
            {kMarketCaption, kSerialLabel, [](M m, int) { return m.FactoryOpt().SerialNo(); }},
            {kMiscCaption, kBeepLabel, [](M m, int) { return Option(kListBeep, m.Misc().Beep()); }},
            {kMiscCaption, kVoxDelayLabel, [](M m, int) { return Option(kListVoxDelay, m.Misc().VoxDelay()); }},
            {kMiscCaption, kVoxGainLabel, [](M m, int) { return Entry(VoxGainItems(), m.Misc().VoxGain()); }},
            {kSystemCaption, kDataModeLabel, [](M m, int) { return Option(kListDataMode, m.FactoryOpt().DataMode()); }},
            {kSystemCaption, kNoiseBlankerLabel, [](M m, int) { return Option(kListNoiseBlanker, m.Sys().NoiseBlanker()); }},
            {kSystemCaption, kRttyShiftLabel, [](M m, int) { return Option(kListRttyShift, m.FactoryOpt().RttyShift()); }},
            {kSystemCaption, kRttyFreqDispLabel, [](M m, int) { return Option(kListRttyFreqDisp, m.FactoryOpt().RttyFreqDisp()); }},
            // The stored offset whole, in hertz: the box would show one beyond its limits cut.
            {kSystemCaption, kPktOffsetLabel, [](M m, int) { return PacketOffsetText(m.FactoryOpt().PktOffset() * 10); }},
            {kSystemCaption, kPktToneLabel, [](M m, int) { return Option(kListPktTone, m.FactoryOpt().PktTone()); }},
            {kSystemCaption, kSpSelectLabel, [](M m, int) { return Option(kListSpSelect, m.Sys().SpSelect()); }},
            {kSystemCaption, kTotLabel, [](M m, int) { return Entry(TotItems(), m.Sys().Tot()); }},
            {kOptionCaption, kEncryptUnitLabel, [](M m, int) { return Option(kListEncryptUnit, m.Opt().EncryptUnit()); }},
            {kOptionCaption, kSelcallUnitLabel, [](M m, int) { return Option(kListSelcallUnit, m.Opt().SelcallUnit()); }},
            {kOptionCaption, kTunerUnitLabel, [](M m, int) { return Option(kListTunerUnit, m.Opt().TunerUnit()); }},
            {kSelcallCaption, kSelfIdLabel, [](M m, int) { return m.Sel().SelfId(); }},
            {kSelcallCaption, kKillSystemLabel, [](M m, int) { return Option(kListKillSystem, m.Sel().KillSystem()); }},
            {kSelcallCaption, kKillIdLabel, [](M m, int) { return m.Sel().KillId(); }},
            {kSelcallCaption, kAllCallLabel, [](M m, int) { return Option(kListAllCall, m.Sel().AllCall()); }},
            {kSelcallCaption, kGroupCallLabel, [](M m, int) { return Option(kListGroupCall, m.Sel().GroupCall()); }},
            {kSelcallCaption, kSubGroupLabel, [](M m, int) { return Option(kListSubGroupCall, m.Sel().SubGroupCall()); }},
            {kSelcallCaption, kPreambleLabel, [](M m, int) { return Entry(PreambleItems(), m.Sel().Preamble()); }},
            {kSelcallCaption, kSelPowerSaveLabel, [](M m, int) { return Option(kListSelPowerSave, m.Sel().SelPowerSave()); }},
            {kSelcallCaption, kSelHoldTimeLabel, [](M m, int) { return Entry(SelHoldTimeItems(), m.Sel().SelHoldTime()); }},
        };
        for (int i = 0; i < kTxIdCount; ++i)
            f.push_back({kSelcallCaption, kTxIdLabels[i], [](M m, int k) { return m.Sel().TxIds(k).TxId(); }, i});
        f.push_back({kTelephoneCaption, kTelCallTypeLabel, [](M m, int) { return Option(kListTelCallType, m.TelNumbers().TelCallType()); }});
        for (int i = 0; i < TCmmTelNumbers::kNumberCount; ++i)
            f.push_back({kTelephoneCaption, std::string(kTelNumberLabel) + " " + std::to_string(i + 1),
                         [](M m, int k) {
                             const std::string& number = m.TelNumbers().Numbers(k).Number();
                             return number.empty() ? std::string(kEmptyNumber) : number;
                         },
                         i});
        for (TSettingField& field : f)
            field.Label = WithoutAccelerator(field.Label.c_str());
        return f;
    }();
    return fields;
}

// The records of an image as reading a data file gives them.
TMVmem Records(const TText& image)
{
    TMVmem mem;
    ClearRecords(mem);
    DecodeImage(image, mem);
    CheckRecords(mem);
    return mem;
}

TText Encoded(const TMVmem& mem)
{
    static const TText base;
    TText image(base);
    EncodeImage(image, mem, true);
    return image;
}

bool Used(const TChannel& ch) { return ch.Status() == kChannelUsed; }

bool SameSpares(const TChannel& a, const TChannel& b)
{
    bool same = a.Spare19() == b.Spare19();
    for (int s = 0; same && s < kChannelSpareCount; ++s)
        same = a.Spare(s) == b.Spare(s);
    return same;
}

// to := from, telling whether they differed.
template <typename T>
bool Take(const T& from, T& to)
{
    if (from == to)
        return false;
    to = from;
    return true;
}

// Gives to every field of from that no dialog or grid cell shows; false when all were the same.
bool TakeHiddenFields(const TMVmem& from, TMVmem& to)
{
    bool changed = Take(from.Comport(), to.Comport());
    int32_t selFlag = to.Sel().SelFlag();
    changed |= Take(from.Sel().SelFlag(), selFlag);
    to.Sel().SetSelFlag(selFlag);
    changed |= Take(from.AntTuner0(), to.AntTuner0());
    changed |= Take(from.AntTuner1(), to.AntTuner1());
    changed |= Take(from.Alignment(), to.Alignment());
    changed |= Take(from.TmpCorrect(), to.TmpCorrect());
    for (int i = 0; i < TChannels::kCount; ++i) {
        const TChannel& a = from.Channels().Items(i);
        TChannel& b = to.Channels().Items(i);
        // Added and removed channels are reported whole.
        if (Used(a) == Used(b) && !SameSpares(a, b)) {
            b.SetSpare19(a.Spare19());
            for (int s = 0; s < kChannelSpareCount; ++s)
                b.SetSpare(s, a.Spare(s));
            changed = true;
        }
    }
    return changed;
}

std::string HexBytes(const TText& image, int first, int last)
{
    std::string text;
    char byte[4];
    for (int i = first; i <= last; ++i) {
        std::snprintf(byte, sizeof byte, i == first ? "%02X" : " %02X", image[i]);
        text += byte;
    }
    return text;
}

std::string OffsetText(int first, int last)
{
    char text[24];
    if (first == last)
        std::snprintf(text, sizeof text, "0x%04X", first);
    else
        std::snprintf(text, sizeof text, "0x%04X-0x%04X", first, last);
    return text;
}

// The bytes that differ but that no line accounts for. A byte that the records encode alike
// from both images belongs to no decoded field, or to one whose shown text is the same; a byte
// that differs between the new records and mixed (the new records with the old values of the
// fields that nothing shows or that read the same) belongs to a field whose change no line
// names. Null for mixed: there are no such fields.
void OtherBytes(const TText& oldImage, const TText& newImage, const TMVmem& a, const TMVmem& b, const TMVmem* mixed,
                std::vector<TImageDifference>& out)
{
    const TText encodedOld = Encoded(a);
    const TText encodedNew = Encoded(b);
    const TText encodedMixed = mixed ? Encoded(*mixed) : encodedNew;
    const auto unexplained = [&](int i) {
        return oldImage[i] != newImage[i] && (encodedOld[i] == encodedNew[i] || encodedNew[i] != encodedMixed[i]);
    };
    for (int i = 0; i < kImageSize; ++i) {
        if (!unexplained(i))
            continue;
        int last = i;
        while (last + 1 < kImageSize && last + 1 - i < kMaxBytesPerLine && unexplained(last + 1))
            ++last;
        out.push_back({TDifferenceKind::Setting, kOtherBytesSection, OffsetText(i, last), 0, HexBytes(oldImage, i, last),
                       HexBytes(newImage, i, last)});
        i = last;
    }
}

// The fields behind a grid column are the same, and so is its text (no need to make it).
bool SameCell(const TChannel& a, const TChannel& b, int column)
{
    switch (column) {
    case kTagColumn: return a.Tag() == b.Tag();
    case kRxFreqColumn: return a.RxFreq() == b.RxFreq();
    case kTxFreqColumn: return a.TxOff() == b.TxOff() && a.TxFreq() == b.TxFreq();
    case 4: return a.Mode() == b.Mode();
    case 5: return a.Power() == b.Power();
    case 6: return a.ShiftOn() == b.ShiftOn();
    case 7: return a.EncryptOn() == b.EncryptOn() && a.EncryptCode() == b.EncryptCode();
    case 8: return a.SelcallOn() == b.SelcallOn();
    case 9: return a.TuneMode() == b.TuneMode();
    default: return true;
    }
}

// to's fields behind a grid column := from's.
void TakeCell(const TChannel& from, TChannel& to, int column)
{
    switch (column) {
    case kTagColumn: to.SetTag(from.Tag()); break;
    case kRxFreqColumn: to.RxFreq() = from.RxFreq(); break;
    case kTxFreqColumn:
        to.SetTxOff(from.TxOff());
        to.TxFreq() = from.TxFreq();
        break;
    case 4: to.SetMode(from.Mode()); break;
    case 5: to.SetPower(from.Power()); break;
    case 6: to.SetShiftOn(from.ShiftOn()); break;
    case 7:
        to.SetEncryptOn(from.EncryptOn());
        to.SetEncryptCode(from.EncryptCode());
        break;
    case 8: to.SetSelcallOn(from.SelcallOn()); break;
    case 9: to.SetTuneMode(from.TuneMode()); break;
    default: break;
    }
}

// The channel lines. Fields whose cell reads the same in both (a transmit frequency behind
// "TX OFF", a value no list entry names) go from a into mixed; true when any did.
bool ChannelDifferences(const TChannels& a, const TChannels& b, TChannels& mixed, std::vector<TImageDifference>& out)
{
    bool hidden = false;
    for (int i = 0; i < TChannels::kCount; ++i) {
        const TChannel& was = a.Items(i);
        const TChannel& is = b.Items(i);
        const int number = i + 1;
        if (Used(was) != Used(is)) {
            out.push_back({Used(is) ? TDifferenceKind::ChannelAdded : TDifferenceKind::ChannelRemoved, {}, {}, number, {}, {}});
            continue;
        }
        if (!Used(was) || was == is)
            continue;
        for (int column = kFirstComparedColumn; column <= kLastComparedColumn; ++column) {
            if (SameCell(was, is, column))
                continue;
            std::string old = ChannelCellText(i, was, column);
            std::string now = ChannelCellText(i, is, column);
            if (old != now) {
                out.push_back({TDifferenceKind::ChannelField, {}, ChannelColumnName(column), number, std::move(old), std::move(now)});
            } else {
                TakeCell(was, mixed.Items(i), column);
                hidden = true;
            }
        }
    }
    return hidden;
}

}  // namespace

std::vector<TImageDifference> CompareImages(const TText& oldImage, const TText& newImage)
{
    std::vector<TImageDifference> out;
    if (std::memcmp(oldImage.Data(), newImage.Data(), static_cast<size_t>(kImageSize)) == 0)
        return out;
    const TMVmem a = Records(oldImage);
    const TMVmem b = Records(newImage);
    for (const TSettingField& field : SettingFields()) {
        std::string old = field.Show(a, field.Index);
        std::string now = field.Show(b, field.Index);
        if (old != now)
            out.push_back({TDifferenceKind::Setting, field.Section, field.Label, 0, std::move(old), std::move(now)});
    }
    TMVmem mixed(b);
    bool hidden = TakeHiddenFields(a, mixed);
    std::vector<TImageDifference> channels;
    hidden |= ChannelDifferences(a.Channels(), b.Channels(), mixed.Channels(), channels);
    OtherBytes(oldImage, newImage, a, b, hidden ? &mixed : nullptr, out);
    out.insert(out.end(), std::make_move_iterator(channels.begin()), std::make_move_iterator(channels.end()));
    return out;
}

std::string DifferenceLine(const TImageDifference& d)
{
    const std::string channel = "channel " + std::to_string(d.Channel);
    switch (d.Kind) {
    case TDifferenceKind::ChannelAdded: return channel + ": added";
    case TDifferenceKind::ChannelRemoved: return channel + ": removed";
    case TDifferenceKind::ChannelField: return channel + ": " + d.Field + ": " + d.Old + " -> " + d.New;
    case TDifferenceKind::Setting: break;
    }
    return d.Section + ": " + d.Field + ": " + d.Old + " -> " + d.New;
}

}  // namespace mv53
