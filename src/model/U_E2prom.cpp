#include "model/U_E2prom.h"

#include <algorithm>

using mv53::Byte;
using mv53::ImageOffset;

namespace {

// Relative descriptors of one 32-byte channel, in image order.
constexpr TFieldPos kChStatus = ByteField(0);
constexpr TFieldPos kChMode = ByteField(1);
constexpr TFieldPos kChRxFreq = BytesField(2, 4);
constexpr TFieldPos kChTxFreq = BytesField(6, 4);
constexpr TFieldPos kChTag = BytesField(10, 8);
constexpr TFieldPos kChPower = ByteField(18);
constexpr TFieldPos kChSpare19 = ByteField(19);
constexpr TFieldPos kChSelcallOn = ByteField(20);
constexpr TFieldPos kChEncryptOn = ByteField(21);
constexpr TFieldPos kChEncryptCode = ByteField(22);
constexpr TFieldPos kChTuneMode = ByteField(23);
constexpr TFieldPos kChShiftOn = ByteField(24);
constexpr TFieldPos kChTxOff = ByteField(25);
constexpr ImageOffset kChSpare26 = 26;   // 26..31, one byte each

// Relative descriptors of one 2-byte tuner entry.
constexpr TFieldPos kTuneReset{0, 7, 0, 7};
constexpr TFieldPos kTuneThru{0, 6, 0, 6};
constexpr TFieldPos kTuneTrans{0, 5, 0, 4};
constexpr TFieldPos kTuneMidC{0, 3, 0, 2};
constexpr TFieldPos kTuneTopC{0, 1, 0, 1};
constexpr TFieldPos kTuneL{0, 0, 1, 0};

// Single-byte common fields.
constexpr ImageOffset kVoxGain = 16221;
constexpr ImageOffset kVoxDelay = 16222;
constexpr ImageOffset kCwDelay = 16223;
constexpr ImageOffset kTunerUnit = 16224;
constexpr ImageOffset kEncryptUnit = 16225;
constexpr ImageOffset kSelcallUnit = 16226;
constexpr ImageOffset kTot = 16227;
constexpr ImageOffset kSelPowerSave = 16228;
constexpr ImageOffset kPreamble = 16229;
constexpr ImageOffset kSelHoldTime = 16230;
constexpr ImageOffset kSubGroupCall = 16231;
constexpr ImageOffset kGroupCall = 16232;
constexpr ImageOffset kAllCall = 16233;
constexpr ImageOffset kBeep = 16234;
constexpr ImageOffset kNoiseBlanker = 16235;
constexpr ImageOffset kSaveTime = 16236;
constexpr ImageOffset kHoldTime = 16237;
constexpr ImageOffset kSpSelect = 16238;
constexpr ImageOffset kLampMode = 16239;
constexpr ImageOffset kHail = 16240;

// Factory option bytes.
constexpr ImageOffset kCwPitch = 17870;
constexpr ImageOffset kDataMode = 17871;
constexpr ImageOffset kRttyShift = 17872;
constexpr ImageOffset kRttyFreqDisp = 17873;
constexpr ImageOffset kPktTone = 17876;
constexpr ImageOffset kTxRange = 17877;

constexpr int32_t kAlignmentBytePositions = 48;   // positions 1..48: one byte each
constexpr int32_t kAlignmentSignedPosition = 6;
constexpr int32_t kTmpCorrectRowSize = 9;
constexpr double kFreqScale = 100000.0;           // image frequencies are in units of 10 Hz
constexpr double kMinFreq = 0.5;
constexpr double kMaxFreq = 30.0;
constexpr double kDefaultFreq = 3.0;
constexpr const char* kZeroSerial = "00000000";

// Built-in image values of alignment positions 1..48 (position 25 differs from the records).
constexpr std::array<int32_t, kAlignmentBytePositions + 1> kInitAlignment{
    0,   180, 120, 0,   32,  128, 0,   127, 200, 240, 0,   200, 220, 240, 100, 120, 140, 50,
    70,  90,  10,  20,  30,  250, 127, 124, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127,
    127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 200};

// Defaults of the records' alignment positions 1..51.
constexpr std::array<int32_t, TAlignment::kLast + 1> kDefaultAlignment{
    0,   180, 120, 0,   32,  128, 0,   127, 200, 240, 0,   200, 220, 240, 100, 120, 140, 50,
    70,  90,  10,  20,  30,  250, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127,
    127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 200, 0,   0,   0};

// A descriptor is usable when it lies inside the image and its bits are 0..7.
bool Valid(const TFieldPos& pos)
{
    return pos.FirstByte <= pos.LastByte && pos.LastByte < mv53::kImageSize && pos.HighBit <= 7 && pos.LowBit <= 7;
}

int FieldBytes(const TFieldPos& pos) { return pos.LastByte - pos.FirstByte + 1; }

// Bits of field byte j that belong to the field.
Byte FieldMask(const TFieldPos& pos, int j)
{
    const int n = FieldBytes(pos);
    const auto high = static_cast<Byte>(0xFFu >> (7 - pos.HighBit));
    const auto low = static_cast<Byte>(0xFFu << pos.LowBit);
    if (n == 1)
        return static_cast<Byte>(high & low);
    if (j == 0)
        return high;
    if (j == n - 1)
        return low;
    return 0xFF;
}

// Width of the number container: 1, 2 or 4 bytes.
int ContainerBytes(int n) { return n == 1 ? 1 : n == 2 ? 2 : 4; }

// The field's bytes, masked and assembled big-endian into the container.
uint32_t ReadContainer(const TText& image, const TFieldPos& pos)
{
    const int n = FieldBytes(pos);
    uint32_t c = 0;
    for (int j = 0; j < n; ++j)
        c = (c << 8) | (image[pos.FirstByte + j] & FieldMask(pos, j));
    const int width = ContainerBytes(n);
    if (width < 4)
        c &= (1u << (8 * width)) - 1;
    return c;
}

std::string RightTrimmed(std::string s)
{
    size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    return s;
}

TFieldPos ChannelField(const TFieldPos& rel, int32_t channel) { return rel.Moved(mv53::ChannelOffset(channel)); }

void PutByte(TText& image, ImageOffset offset, int32_t value) { PutBits(image, ByteField(offset), value); }
int32_t GetByte(const TText& image, ImageOffset offset) { return GetBits(image, ByteField(offset)); }

TFieldPos TxIdField(int32_t k) { return BytesField(mv53::kTxIdOffset + mv53::kTxIdLength * k, mv53::kTxIdLength); }
TFieldPos TelNumberField(int32_t k)
{
    return BytesField(mv53::kTelNumberOffset + mv53::kTelNumberLength * k, mv53::kTelNumberLength);
}
TFieldPos AlignmentField(int32_t position)
{
    if (position == 49)
        return BytesField(mv53::kAlignment49Offset, 2);
    if (position == 50)
        return BytesField(mv53::kAlignment50Offset, 2);
    return ByteField(mv53::kAlignmentOffset + position);
}
bool AlignmentSigned(int32_t position) { return position == kAlignmentSignedPosition || position == 49 || position == 50; }
ImageOffset TmpCorrectOffset(int32_t row, int32_t col) { return mv53::kTmpCorrectOffset + kTmpCorrectRowSize * row + col; }

void EncodeTuner(TText& image, const TAntTunerTable& table, ImageOffset base)
{
    for (int32_t k = 0; k < TAntTunerTable::kCount; ++k) {
        const TTuneData& e = table.Entries(k);
        const ImageOffset at = base + mv53::kTuneEntrySize * k;
        PutBits(image, kTuneReset.Moved(at), e.TuneReset());
        PutBits(image, kTuneThru.Moved(at), e.TuneThru());
        PutBits(image, kTuneTrans.Moved(at), e.TuneTrans());
        PutBits(image, kTuneMidC.Moved(at), e.TuneMidC());
        PutBits(image, kTuneTopC.Moved(at), e.TuneTopC());
        PutBits(image, kTuneL.Moved(at), e.TuneL());
    }
}

void DecodeTuner(const TText& image, TAntTunerTable& table, ImageOffset base)
{
    for (int32_t k = 0; k < TAntTunerTable::kCount; ++k) {
        TTuneData& e = table.Entries(k);
        const ImageOffset at = base + mv53::kTuneEntrySize * k;
        e.SetTuneReset(GetBits(image, kTuneReset.Moved(at)));
        e.SetTuneThru(GetBits(image, kTuneThru.Moved(at)));
        e.SetTuneTrans(GetBits(image, kTuneTrans.Moved(at)));
        e.SetTuneMidC(GetBits(image, kTuneMidC.Moved(at)));
        e.SetTuneTopC(GetBits(image, kTuneTopC.Moved(at)));
        e.SetTuneL(GetBits(image, kTuneL.Moved(at)));
    }
}

// The default frequency as a decimal, worked out once: clearing the records would otherwise
// spend most of its time making the same number 1000 times.
void SetDefaultFreq(TDecimal& d)
{
    static const TDecimal kDefault = [] {
        TDecimal value;
        value.FromFloat(kDefaultFreq);
        return value;
    }();
    d.Assign(kDefault);
}

bool FreqInRange(const TDecimal& d)
{
    const double v = d.ToFloat();
    return v >= kMinFreq && v <= kMaxFreq;
}


// Upper bound of a choice: the item count of its option list minus one.
int32_t MaxItem(int32_t list) { return ValCount(list) - 1; }

template <typename Get, typename Set>
void RepairOutside(Get get, Set set, int32_t low, int32_t high, int32_t repaired)
{
    if (get() < low || get() > high)
        set(repaired);
}

}  // namespace

void ClearChannel(TChannel& ch, int32_t index)
{
    ch.SetStatus(mv53::kChannelEmpty);
    ch.SetMode(1);
    SetDefaultFreq(ch.RxFreq());
    SetDefaultFreq(ch.TxFreq());
    ch.SetTag(DefaultChannelTag(index));
    ch.SetPower(0);
    ch.SetSpare19(0);
    ch.SetSelcallOn(0);
    ch.SetEncryptOn(0);
    ch.SetEncryptCode(0);
    ch.SetTuneMode(0);
    ch.SetShiftOn(0);
    ch.SetTxOff(0);
    for (int i = 0; i < 6; ++i)
        ch.SetSpare(i, 255);
}

void PutBits(TText& Image, const TFieldPos& Pos, int32_t Value)
{
    if (!Valid(Pos))
        return;
    const int n = FieldBytes(Pos);
    const int width = ContainerBytes(n);
    const uint32_t container = static_cast<uint32_t>(Value) << Pos.LowBit;
    for (int j = 0; j < n; ++j) {
        const int significance = n - 1 - j;
        const Byte part = significance < width ? static_cast<Byte>(container >> (8 * significance)) : 0;
        const Byte mask = FieldMask(Pos, j);
        Byte& b = Image[Pos.FirstByte + j];
        b = static_cast<Byte>((b & ~mask) | (part & mask));
    }
}

void PutSignedBits(TText& Image, const TFieldPos& Pos, int32_t Value)
{
    // Two's complement: the same bits as the unsigned writer.
    PutBits(Image, Pos, Value);
}

int32_t GetBits(const TText& Image, const TFieldPos& Pos)
{
    if (!Valid(Pos))
        return 0;
    return static_cast<int32_t>(ReadContainer(Image, Pos) >> Pos.LowBit);
}

int32_t GetSignedBits(const TText& Image, const TFieldPos& Pos)
{
    if (!Valid(Pos))
        return 0;
    const uint32_t c = ReadContainer(Image, Pos);
    switch (ContainerBytes(FieldBytes(Pos))) {
    case 1: return static_cast<int8_t>(c) >> Pos.LowBit;
    case 2: return static_cast<int16_t>(c) >> Pos.LowBit;
    default: return static_cast<int32_t>(c) >> Pos.LowBit;
    }
}

void PutText(TText& Image, const TFieldPos& Pos, const std::string& Text)
{
    if (!Valid(Pos))
        return;
    const int n = FieldBytes(Pos);
    for (int j = 0; j < n; ++j)
        Image[Pos.FirstByte + j] = j < static_cast<int>(Text.size()) ? static_cast<Byte>(Text[static_cast<size_t>(j)]) : 0;
}

std::string GetText(const TText& Image, const TFieldPos& Pos)
{
    if (!Valid(Pos))
        return {};
    std::string s;
    for (int j = 0; j < FieldBytes(Pos); ++j) {
        const Byte b = Image[Pos.FirstByte + j];
        s.push_back(b >= 32 && b <= 126 ? static_cast<char>(b) : ' ');
    }
    return s;
}

void PutDigits(TText& Image, const TFieldPos& Pos, const std::string& Text)
{
    if (!Valid(Pos))
        return;
    for (int j = 0; j < FieldBytes(Pos); ++j) {
        Byte b = 0x20;
        if (j < static_cast<int>(Text.size())) {
            const char c = Text[static_cast<size_t>(j)];
            b = (c >= '0' && c <= '9') ? static_cast<Byte>(c - '0') : 0;
        }
        Image[Pos.FirstByte + j] = b;
    }
}

std::string GetDigits(const TText& Image, const TFieldPos& Pos)
{
    if (!Valid(Pos))
        return {};
    std::string s;
    for (int j = 0; j < FieldBytes(Pos); ++j) {
        const Byte b = Image[Pos.FirstByte + j];
        s.push_back(b <= 9 ? static_cast<char>('0' + b) : ' ');
    }
    return s;
}

void PutSerial(TText& Image, const TFieldPos& Pos, const std::string& Text)
{
    if (!Valid(Pos))
        return;
    const int n = FieldBytes(Pos);
    for (int j = 0; j < n; ++j)
        Image[Pos.FirstByte + j] = 0;
    for (int j = 0; j < n && j < static_cast<int>(Text.size()); ++j) {
        const char c = Text[static_cast<size_t>(j)];
        Byte b = 0;
        if (j == 1) {
            if (c == '*')
                b = 15;
            else if (c == '0')
                b = 0;
            else if (c >= 'C' && c <= 'N')
                b = static_cast<Byte>(c - 66);
            else
                b = static_cast<Byte>(c);
        } else if (c >= '0' && c <= '9') {
            b = static_cast<Byte>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            b = static_cast<Byte>(c - 'A' + 10);
        }
        Image[Pos.FirstByte + j] = b;
    }
}

std::string SerialFromBytes(const Byte* bytes, int count)
{
    std::string s;
    for (int j = 0; j < count && j < mv53::kSerialLength; ++j) {
        const Byte b = bytes[j];
        if (j == 1)
            s.push_back(b == 0 ? '0' : (b <= 12 ? static_cast<char>(66 + b) : '*'));
        else
            s.push_back(b <= 9 ? static_cast<char>('0' + b) : (b <= 15 ? static_cast<char>('A' + b - 10) : '0'));
    }
    return s;
}

std::string GetSerial(const TText& Image, const TFieldPos& Pos)
{
    if (!Valid(Pos))
        return {};
    return SerialFromBytes(Image.Data() + Pos.FirstByte, FieldBytes(Pos));
}

std::string DefaultChannelTag(int32_t channelIndex)
{
    std::string number = std::to_string(channelIndex + 1);
    if (number.size() < 3)
        number.insert(0, 3 - number.size(), '0');
    return "  CH-" + number;
}

void InitImage(TText& Image)
{
    Image.Raw().fill(0);
    PutText(Image, BytesField(0, 6), mv53::kModelTextId);
    PutByte(Image, kCwDelay, 1);
    for (int32_t p = 1; p <= kAlignmentBytePositions; ++p)
        PutBits(Image, AlignmentField(p), kInitAlignment[static_cast<size_t>(p)]);
    PutByte(Image, kPreamble, 9);
    PutByte(Image, kSelHoldTime, 1);
    PutByte(Image, kSubGroupCall, 0);
    PutByte(Image, kGroupCall, 0);
    PutByte(Image, kAllCall, 0);
    PutByte(Image, kBeep, 1);
    PutByte(Image, kNoiseBlanker, 1);
    PutByte(Image, mv53::kKillSystemOffset, 2);
    PutByte(Image, kCwPitch, 7);
    PutSignedBits(Image, BytesField(mv53::kPktOffsetOffset, 2), -212);
    PutByte(Image, kPktTone, 2);
}

bool EncodeImage(TText& Image, const TMVmem& Records, bool WithSerial)
{
    PutText(Image, BytesField(0, 6), mv53::kModelTextId);

    for (int32_t i = 0; i < TChannels::kCount; ++i) {
        const TChannel& ch = Records.Channels().Items(i);
        PutBits(Image, ChannelField(kChStatus, i), ch.Status());
        PutBits(Image, ChannelField(kChMode, i), ch.Mode());
        PutBits(Image, ChannelField(kChRxFreq, i), ch.RxFreq().ToScaled(5));
        PutBits(Image, ChannelField(kChTxFreq, i), ch.TxFreq().ToScaled(5));
        PutText(Image, ChannelField(kChTag, i), ch.Tag());
        PutBits(Image, ChannelField(kChPower, i), ch.Power());
        PutBits(Image, ChannelField(kChSpare19, i), ch.Spare19());
        PutBits(Image, ChannelField(kChSelcallOn, i), ch.SelcallOn());
        PutBits(Image, ChannelField(kChEncryptOn, i), ch.EncryptOn());
        PutBits(Image, ChannelField(kChEncryptCode, i), ch.EncryptCode());
        PutBits(Image, ChannelField(kChTuneMode, i), ch.TuneMode());
        PutBits(Image, ChannelField(kChShiftOn, i), ch.ShiftOn());
        PutBits(Image, ChannelField(kChTxOff, i), ch.TxOff());
        for (int s = 0; s < 6; ++s)
            PutBits(Image, ChannelField(ByteField(kChSpare26 + s), i), ch.Spare(s));
    }

    const TCmmSel& sel = Records.Sel();
    const TCmmTelNumbers& tel = Records.TelNumbers();
    PutByte(Image, mv53::kComportOffset, Records.Comport().Value());
    PutDigits(Image, BytesField(mv53::kSelfIdOffset, 4), sel.SelfId());
    for (int32_t k = 0; k < TCmmSel::kTxIdCount; ++k)
        PutDigits(Image, TxIdField(k), sel.TxIds(k).TxId());
    PutByte(Image, mv53::kTelCallTypeOffset, tel.TelCallType());
    for (int32_t k = 0; k < TCmmTelNumbers::kNumberCount; ++k)
        PutDigits(Image, TelNumberField(k), tel.Numbers(k).Number());
    PutByte(Image, mv53::kKillSystemOffset, sel.KillSystem());
    PutDigits(Image, BytesField(mv53::kKillIdOffset, 8), sel.KillId());

    PutByte(Image, kVoxGain, Records.Misc().VoxGain());
    PutByte(Image, kVoxDelay, Records.Misc().VoxDelay());
    PutByte(Image, kCwDelay, Records.A1A().CwDelay());
    PutByte(Image, kTunerUnit, Records.Opt().TunerUnit());
    PutByte(Image, kEncryptUnit, Records.Opt().EncryptUnit());
    PutByte(Image, kSelcallUnit, Records.Opt().SelcallUnit());
    PutByte(Image, kTot, Records.Sys().Tot());
    PutByte(Image, kSelPowerSave, sel.SelPowerSave());
    PutByte(Image, kPreamble, sel.Preamble());
    PutByte(Image, kSelHoldTime, sel.SelHoldTime());
    PutByte(Image, kSubGroupCall, sel.SubGroupCall());
    PutByte(Image, kGroupCall, sel.GroupCall());
    PutByte(Image, kAllCall, sel.AllCall());
    PutByte(Image, kBeep, Records.Misc().Beep());
    PutByte(Image, kNoiseBlanker, Records.Sys().NoiseBlanker());
    PutByte(Image, kSaveTime, Records.PwrSave().SaveTime());
    PutByte(Image, kHoldTime, Records.PwrSave().HoldTime());
    PutByte(Image, kSpSelect, Records.Sys().SpSelect());
    PutByte(Image, kLampMode, Records.Hard().LampMode());
    PutByte(Image, kHail, Records.Hard().Hail());

    PutBits(Image, BytesField(mv53::kCommonMarkerOffset, 2), mv53::kImageMarker);

    EncodeTuner(Image, Records.AntTuner0(), mv53::kTuner0Offset);
    EncodeTuner(Image, Records.AntTuner1(), mv53::kTuner1Offset);

    const TFactoryOpt& fo = Records.FactoryOpt();
    PutSerial(Image, BytesField(mv53::kSerialOffset, mv53::kSerialLength), WithSerial ? fo.SerialNo() : kZeroSerial);

    for (int32_t p = 1; p <= 50; ++p) {
        if (AlignmentSigned(p))
            PutSignedBits(Image, AlignmentField(p), Records.Alignment().Values(p));
        else
            PutBits(Image, AlignmentField(p), Records.Alignment().Values(p));
    }

    for (int32_t r = 0; r < TTmpCorrect::kCount; ++r)
        for (int32_t c = 0; c < TCorrectData::kCount; ++c)
            PutSignedBits(Image, ByteField(TmpCorrectOffset(r, c)), Records.TmpCorrect().Rows(r).Values(c));

    PutByte(Image, kCwPitch, fo.CwPitch());
    PutByte(Image, kDataMode, fo.DataMode());
    PutByte(Image, kRttyShift, fo.RttyShift());
    PutByte(Image, kRttyFreqDisp, fo.RttyFreqDisp());
    PutSignedBits(Image, BytesField(mv53::kPktOffsetOffset, 2), fo.PktOffset());
    PutByte(Image, kPktTone, fo.PktTone());
    PutByte(Image, kTxRange, fo.TxRange());
    PutByte(Image, mv53::kRxRangeOffset, fo.RxRange());
    for (int32_t s = 0; s < TFactoryOpt::kKeyFuncCount; ++s)
        PutByte(Image, mv53::kKeyFuncOffset + s, fo.KeyFunc(s));
    PutByte(Image, mv53::kLcdTestOffset, Records.Alignment().Values(51));

    PutBits(Image, BytesField(mv53::kFactoryMarkerOffset, 2), mv53::kImageMarker);
    PutByte(Image, mv53::kSelFlagOffset, sel.SelFlag());
    return true;
}

bool DecodeImage(const TText& Image, TMVmem& Records)
{
    TCmmSel& sel = Records.Sel();
    Records.Comport().SetValue(GetByte(Image, mv53::kComportOffset));
    Records.A1A().SetCwDelay(GetByte(Image, kCwDelay));
    Records.Hard().SetHail(GetByte(Image, kHail));
    Records.Hard().SetLampMode(GetByte(Image, kLampMode));
    Records.PwrSave().SetHoldTime(GetByte(Image, kHoldTime));
    Records.PwrSave().SetSaveTime(GetByte(Image, kSaveTime));
    Records.Misc().SetBeep(GetByte(Image, kBeep));
    Records.Misc().SetVoxDelay(GetByte(Image, kVoxDelay));
    Records.Misc().SetVoxGain(GetByte(Image, kVoxGain));
    Records.Sys().SetNoiseBlanker(GetByte(Image, kNoiseBlanker));
    Records.Sys().SetSpSelect(GetByte(Image, kSpSelect));
    Records.Sys().SetTot(GetByte(Image, kTot));
    Records.Opt().SetTunerUnit(GetByte(Image, kTunerUnit));
    Records.Opt().SetEncryptUnit(GetByte(Image, kEncryptUnit));
    Records.Opt().SetSelcallUnit(GetByte(Image, kSelcallUnit));
    sel.SetKillSystem(GetByte(Image, mv53::kKillSystemOffset));

    sel.SetKillId(GetDigits(Image, BytesField(mv53::kKillIdOffset, 8)));
    sel.SetAllCall(GetByte(Image, kAllCall));
    sel.SetGroupCall(GetByte(Image, kGroupCall));
    sel.SetSubGroupCall(GetByte(Image, kSubGroupCall));
    sel.SetPreamble(GetByte(Image, kPreamble));
    sel.SetSelPowerSave(GetByte(Image, kSelPowerSave));
    sel.SetSelHoldTime(GetByte(Image, kSelHoldTime));

    sel.SetSelfId(GetDigits(Image, BytesField(mv53::kSelfIdOffset, 4)));
    for (int32_t k = 0; k < TCmmSel::kTxIdCount; ++k)
        sel.TxIds(k).SetTxId(RightTrimmed(GetDigits(Image, TxIdField(k))));

    TCmmTelNumbers& tel = Records.TelNumbers();
    tel.SetTelCallType(GetByte(Image, mv53::kTelCallTypeOffset));
    for (int32_t k = 0; k < TCmmTelNumbers::kNumberCount; ++k)
        tel.Numbers(k).SetNumber(RightTrimmed(GetDigits(Image, TelNumberField(k))));

    for (int32_t i = 0; i < TChannels::kCount; ++i) {
        TChannel& ch = Records.Channels().Items(i);
        ch.SetStatus(GetBits(Image, ChannelField(kChStatus, i)));
        if (ch.Status() == mv53::kChannelEmpty) {
            ch.SetTag(DefaultChannelTag(i));
            continue;
        }
        ch.SetMode(GetBits(Image, ChannelField(kChMode, i)));
        // Frequencies are unsigned 32-bit numbers in units of 10 Hz.
        ch.RxFreq().FromFloat(static_cast<uint32_t>(GetBits(Image, ChannelField(kChRxFreq, i))) / kFreqScale);
        ch.TxFreq().FromFloat(static_cast<uint32_t>(GetBits(Image, ChannelField(kChTxFreq, i))) / kFreqScale);
        ch.SetTag(RightTrimmed(GetText(Image, ChannelField(kChTag, i))));
        ch.SetPower(GetBits(Image, ChannelField(kChPower, i)));
        ch.SetSpare19(GetBits(Image, ChannelField(kChSpare19, i)));
        ch.SetSelcallOn(GetBits(Image, ChannelField(kChSelcallOn, i)));
        ch.SetEncryptOn(GetBits(Image, ChannelField(kChEncryptOn, i)));
        ch.SetEncryptCode(GetBits(Image, ChannelField(kChEncryptCode, i)));
        ch.SetTuneMode(GetBits(Image, ChannelField(kChTuneMode, i)));
        ch.SetShiftOn(GetBits(Image, ChannelField(kChShiftOn, i)));
        ch.SetTxOff(GetBits(Image, ChannelField(kChTxOff, i)));
        for (int s = 0; s < 6; ++s)
            ch.SetSpare(s, GetBits(Image, ChannelField(ByteField(kChSpare26 + s), i)));
    }

    DecodeTuner(Image, Records.AntTuner0(), mv53::kTuner0Offset);
    DecodeTuner(Image, Records.AntTuner1(), mv53::kTuner1Offset);

    TFactoryOpt& fo = Records.FactoryOpt();
    fo.SetCwPitch(GetByte(Image, kCwPitch));
    fo.SetRxRange(GetByte(Image, mv53::kRxRangeOffset));
    fo.SetTxRange(GetByte(Image, kTxRange));
    for (int32_t s = 0; s < TFactoryOpt::kKeyFuncCount; ++s)
        fo.SetKeyFunc(s, GetByte(Image, mv53::kKeyFuncOffset + s));
    fo.SetSerialNo(GetSerial(Image, BytesField(mv53::kSerialOffset, mv53::kSerialLength)));
    fo.SetDataMode(GetByte(Image, kDataMode));
    fo.SetRttyShift(GetByte(Image, kRttyShift));
    fo.SetRttyFreqDisp(GetByte(Image, kRttyFreqDisp));
    fo.SetPktOffset(GetSignedBits(Image, BytesField(mv53::kPktOffsetOffset, 2)));
    fo.SetPktTone(GetByte(Image, kPktTone));

    for (int32_t p = 1; p <= 50; ++p)
        Records.Alignment().SetValues(p, AlignmentSigned(p) ? GetSignedBits(Image, AlignmentField(p))
                                                            : GetBits(Image, AlignmentField(p)));

    for (int32_t r = 0; r < TTmpCorrect::kCount; ++r)
        for (int32_t c = 0; c < TCorrectData::kCount; ++c)
            Records.TmpCorrect().Rows(r).SetValues(c, GetSignedBits(Image, ByteField(TmpCorrectOffset(r, c))));
    return true;
}

bool CheckRecords(TMVmem& Records)
{
    for (int32_t i = 0; i < TChannels::kCount; ++i) {
        TChannel& ch = Records.Channels().Items(i);
        if (ch.Status() != mv53::kChannelUsed && ch.Status() != mv53::kChannelEmpty)
            ch.SetStatus(mv53::kChannelEmpty);
        if (ch.Status() == mv53::kChannelEmpty)
            ClearChannel(ch, i);
        if (!FreqInRange(ch.RxFreq()))
            SetDefaultFreq(ch.RxFreq());
        if (!FreqInRange(ch.TxFreq()))
            SetDefaultFreq(ch.TxFreq());
        if (ch.Mode() > MaxItem(1))
            ch.SetMode(1);
        if (ch.Power() > MaxItem(2))
            ch.SetPower(0);
        if (ch.ShiftOn() > MaxItem(6))
            ch.SetShiftOn(0);
        if (ch.EncryptCode() > MaxItem(4))
            ch.SetEncryptCode(0);
        if (ch.SelcallOn() != 0 && ch.SelcallOn() != 1)
            ch.SetSelcallOn(0);
    }

    TFactoryOpt& fo = Records.FactoryOpt();
    TCmmA1A& a1a = Records.A1A();
    TCmmHard& hard = Records.Hard();
    TCmmPwrSave& ps = Records.PwrSave();
    TCmmMisc& misc = Records.Misc();
    TCmmSys& sys = Records.Sys();
    TCmmOpt& opt = Records.Opt();
    TCmmSel& sel = Records.Sel();

    RepairOutside([&] { return a1a.CwDelay(); }, [&](int32_t v) { a1a.SetCwDelay(v); }, 0, 4, 0);
    if (fo.CwPitch() > MaxItem(8))
        fo.SetCwPitch(6);

    RepairOutside([&] { return hard.Hail(); }, [&](int32_t v) { hard.SetHail(v); }, 0, 2, 0);
    RepairOutside([&] { return hard.LampMode(); }, [&](int32_t v) { hard.SetLampMode(v); }, 0, 5, 0);
    RepairOutside([&] { return fo.RxRange(); }, [&](int32_t v) { fo.SetRxRange(v); }, 0, 1, 0);
    RepairOutside([&] { return fo.TxRange(); }, [&](int32_t v) { fo.SetTxRange(v); }, 0, 1, 0);

    RepairOutside([&] { return ps.HoldTime(); }, [&](int32_t v) { ps.SetHoldTime(v); }, 0, 50, 0);
    RepairOutside([&] { return ps.SaveTime(); }, [&](int32_t v) { ps.SetSaveTime(v); }, 0, 9, 0);

    for (int32_t s = 0; s < TFactoryOpt::kKeyFuncCount; ++s)
        if (fo.KeyFunc(s) > 13)
            fo.SetKeyFunc(s, kKeyFuncNone);

    if (misc.Beep() > MaxItem(12))
        misc.SetBeep(1);
    RepairOutside([&] { return misc.VoxDelay(); }, [&](int32_t v) { misc.SetVoxDelay(v); }, 0, 4, 0);
    RepairOutside([&] { return misc.VoxGain(); }, [&](int32_t v) { misc.SetVoxGain(v); }, 0, 100, 0);

    if (fo.DataMode() > MaxItem(14))
        fo.SetDataMode(0);
    RepairOutside([&] { return sys.NoiseBlanker(); }, [&](int32_t v) { sys.SetNoiseBlanker(v); }, 0, 1, 1);
    RepairOutside([&] { return fo.RttyShift(); }, [&](int32_t v) { fo.SetRttyShift(v); }, 0, 2, 0);
    if (fo.RttyFreqDisp() > MaxItem(17))
        fo.SetRttyFreqDisp(0);
    RepairOutside([&] { return fo.PktOffset(); }, [&](int32_t v) { fo.SetPktOffset(v); }, -300, 300, -212);
    if (fo.PktTone() > MaxItem(18))
        fo.SetPktTone(2);
    RepairOutside([&] { return sys.SpSelect(); }, [&](int32_t v) { sys.SetSpSelect(v); }, 0, 2, 0);
    RepairOutside([&] { return sys.Tot(); }, [&](int32_t v) { sys.SetTot(v); }, 0, 20, 0);

    RepairOutside([&] { return opt.EncryptUnit(); }, [&](int32_t v) { opt.SetEncryptUnit(v); }, 0, 1, 0);
    RepairOutside([&] { return opt.SelcallUnit(); }, [&](int32_t v) { opt.SetSelcallUnit(v); }, 0, 1, 0);
    RepairOutside([&] { return opt.TunerUnit(); }, [&](int32_t v) { opt.SetTunerUnit(v); }, 0, 1, 0);

    RepairOutside([&] { return sel.SelFlag(); }, [&](int32_t v) { sel.SetSelFlag(v); }, 0, 1, 0);
    RepairOutside([&] { return sel.KillSystem(); }, [&](int32_t v) { sel.SetKillSystem(v); }, 0, 1, 0);
    RepairOutside([&] { return sel.AllCall(); }, [&](int32_t v) { sel.SetAllCall(v); }, 0, 1, 1);
    RepairOutside([&] { return sel.GroupCall(); }, [&](int32_t v) { sel.SetGroupCall(v); }, 0, 1, 1);
    RepairOutside([&] { return sel.SubGroupCall(); }, [&](int32_t v) { sel.SetSubGroupCall(v); }, 0, 1, 1);
    RepairOutside([&] { return sel.Preamble(); }, [&](int32_t v) { sel.SetPreamble(v); }, 0, 18, 8);
    if (sel.SelPowerSave() > MaxItem(28))
        sel.SetSelPowerSave(0);
    RepairOutside([&] { return sel.SelHoldTime(); }, [&](int32_t v) { sel.SetSelHoldTime(v); }, 0, 19, 1);

    RepairOutside([&] { return Records.TelNumbers().TelCallType(); },
                  [&](int32_t v) { Records.TelNumbers().SetTelCallType(v); }, 0, 2, 0);
    return true;
}

void ClearRecords(TMVmem& Records)
{
    Records.SetFwVersion(kNoFwVersion);
    for (int32_t i = 0; i < TChannels::kCount; ++i)
        ClearChannel(Records.Channels().Items(i), i);

    Records.A1A().SetCwDelay(0);
    Records.Hard().SetHail(0);
    Records.Hard().SetLampMode(2);
    Records.PwrSave().SetHoldTime(0);
    Records.PwrSave().SetSaveTime(0);
    Records.Misc().SetBeep(1);
    Records.Misc().SetVoxDelay(0);
    Records.Misc().SetVoxGain(0);
    Records.Sys().SetNoiseBlanker(1);
    Records.Sys().SetSpSelect(0);
    Records.Sys().SetTot(0);
    Records.Opt().SetEncryptUnit(0);
    Records.Opt().SetSelcallUnit(0);
    Records.Opt().SetTunerUnit(0);

    TCmmSel& sel = Records.Sel();
    sel.SetSelFlag(0);
    sel.SetKillSystem(0);
    sel.SetKillId("00000000");
    sel.SetAllCall(0);
    sel.SetGroupCall(0);
    sel.SetSubGroupCall(0);
    sel.SetPreamble(8);
    sel.SetSelPowerSave(0);
    sel.SetSelHoldTime(1);
    sel.SetSelfId("0000");
    for (int32_t k = 0; k < TCmmSel::kTxIdCount; ++k)
        sel.TxIds(k).SetTxId("0000");

    Records.TelNumbers().SetTelCallType(0);
    for (int32_t k = 0; k < TCmmTelNumbers::kNumberCount; ++k)
        Records.TelNumbers().Numbers(k).SetNumber("0000000000000000");

    TFactoryOpt& fo = Records.FactoryOpt();
    fo.SetCwPitch(6);
    fo.SetRxRange(0);
    fo.SetTxRange(0);
    for (int32_t s = 0; s < TFactoryOpt::kKeyFuncCount; ++s)
        fo.SetKeyFunc(s, kKeyFuncNone);
    fo.SetSerialNo(kZeroSerial);
    fo.SetDataMode(0);
    fo.SetRttyShift(0);
    fo.SetRttyFreqDisp(0);
    fo.SetPktOffset(-212);
    fo.SetPktTone(2);

    for (int32_t p = TAlignment::kFirst; p <= TAlignment::kLast; ++p)
        Records.Alignment().SetValues(p, kDefaultAlignment[static_cast<size_t>(p)]);
}
