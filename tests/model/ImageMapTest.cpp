// The records and the radio image at byte level: cleared records and equality, field readers
// and writers, the built-in image, encoding, decoding and the range repair; TDecimal, the text
// helpers and key filters, and the radio's frequency ranges; and the data file on disk.

#include "ScratchDir.h"
#include "ScriptedPrompt.h"
#include "TestRecords.h"

#include "model/Decimal.h"
#include "model/FreqRange.h"
#include "model/Text.h"
#include "model/U_Const.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"
#include "model/U_InputFilter.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <limits>
#include <locale>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using mv53::Byte;

namespace {

std::unique_ptr<TMVmem> Cleared()
{
    auto mem = std::make_unique<TMVmem>();
    ClearRecords(*mem);
    return mem;
}

std::vector<Byte> BytesAt(const TText& image, int offset, int count)
{
    return std::vector<Byte>(image.Data() + offset, image.Data() + offset + count);
}

std::unique_ptr<TMVmem> DecodedAndRepaired(const TText& image)
{
    auto mem = Cleared();
    EXPECT_TRUE(DecodeImage(image, *mem));
    EXPECT_TRUE(CheckRecords(*mem));
    return mem;
}

TDecimal Dec(int32_t sign, int32_t intPart, int32_t fraction, int32_t digits)
{
    TDecimal d;
    d.SetSign(sign);
    d.SetIntPart(intPart);
    d.SetFraction(fraction);
    d.SetDigits(digits);
    return d;
}

void ExpectParts(const TDecimal& d, int32_t sign, int32_t intPart, int32_t fraction, int32_t digits)
{
    EXPECT_EQ(d.Sign(), sign);
    EXPECT_EQ(d.IntPart(), intPart);
    EXPECT_EQ(d.Fraction(), fraction);
    EXPECT_EQ(d.Digits(), digits);
}

TDecimal FromFloat(double v)
{
    TDecimal d;
    d.FromFloat(v);
    return d;
}

TEST(ClearedRecords, LeaveTunerTablesTemperatureCorrectionAndComportAlone)
{
    auto mem = std::make_unique<TMVmem>();
    mem->AntTuner0().Entries(3).SetTuneL(300);
    mem->AntTuner1().Entries(249).SetTuneReset(1);
    mem->TmpCorrect().Rows(43).SetValues(8, -5);
    mem->Comport().SetValue(7);
    ClearRecords(*mem);
    EXPECT_EQ(mem->AntTuner0().Entries(3).TuneL(), 300);
    EXPECT_EQ(mem->AntTuner1().Entries(249).TuneReset(), 1);
    EXPECT_EQ(mem->TmpCorrect().Rows(43).Values(8), -5);
    EXPECT_EQ(mem->Comport().Value(), 7);
}

TEST(RecordEquality, ChannelDiffersInAnySingleField)
{
    auto mem = Cleared();
    const TChannel base = mem->Channels().Items(0);
    EXPECT_TRUE(TChannel(base).Equals(base));
    for (void (*change)(TChannel&) : {+[](TChannel& c) { c.SetSpare29(254); }, +[](TChannel& c) { c.SetSpare19(1); },
                                      +[](TChannel& c) { c.RxFreq().SetFraction(50); c.RxFreq().SetDigits(2); },
                                      +[](TChannel& c) { c.SetTag("  ch-001"); }}) {
        TChannel other = base;
        change(other);
        EXPECT_FALSE(other.Equals(base));
    }
    TChannels a = mem->Channels();
    TChannels b = a;
    EXPECT_TRUE(a.Equals(b));
    b.Items(499).SetTxOff(1);
    EXPECT_FALSE(a.Equals(b));
}

TEST(FieldBits, EveryShapeAndValueRoundTripsAndSparesTheOtherBits)
{
    std::mt19937 rng(7);
    for (uint16_t two = 0; two <= 1; ++two)
        for (uint16_t high = 0; high <= 7; ++high)
            for (uint16_t low = 0; low <= 7; ++low) {
                if (!two && low > high)
                    continue;
                const TFieldPos pos{100, high, static_cast<uint16_t>(100 + two), low};
                const int width = two ? (high + 1) + (8 - low) : high - low + 1;
                const int32_t limit = 1 << width;
                const int32_t step = limit > 4096 ? 37 : 1;
                for (int32_t value = 0; value < limit; value += step) {
                    TText image;
                    const Byte before[4] = {static_cast<Byte>(rng()), static_cast<Byte>(rng()), static_cast<Byte>(rng()), static_cast<Byte>(rng())};
                    for (int j = 0; j < 4; ++j)
                        image[99 + j] = before[j];
                    PutBits(image, pos, value);
                    ASSERT_EQ(GetBits(image, pos), value) << high << "/" << low << "/" << two;
                    // Bits outside the field keep their old values.
                    const Byte mask0 = two ? static_cast<Byte>(0xFF >> (7 - high)) : static_cast<Byte>((0xFF >> (7 - high)) & (0xFF << low));
                    ASSERT_EQ(image[99], before[0]);
                    ASSERT_EQ(image[100] & ~mask0 & 0xFF, before[1] & ~mask0 & 0xFF);
                    if (two) {
                        ASSERT_EQ(image[101] & ~(0xFF << low) & 0xFF, before[2] & ~(0xFF << low) & 0xFF);
                    }
                    ASSERT_EQ(image[100 + two + 1], before[2 + two]);
                }
            }
}

TEST(FieldBits, WideValuesAreCutAndSignedFieldsReadBack)
{
    TText image;
    image[200] = 0x81;
    PutBits(image, {200, 5, 200, 4}, 7);
    EXPECT_EQ(image[200], 0xB1);
    PutBits(image, ByteField(10), 0x1FF);
    EXPECT_EQ(image[10], 0xFF);
    for (int32_t v = -128; v <= 127; ++v) {
        PutSignedBits(image, ByteField(20), v);
        ASSERT_EQ(GetSignedBits(image, ByteField(20)), v);
        ASSERT_EQ(GetBits(image, ByteField(20)), v & 0xFF);
    }
    for (int32_t v = -32768; v <= 32767; v += 7) {
        PutSignedBits(image, BytesField(30, 2), v);
        ASSERT_EQ(GetSignedBits(image, BytesField(30, 2)), v);
    }
    PutBits(image, BytesField(40, 4), 3000000);
    EXPECT_EQ(BytesAt(image, 40, 4), (std::vector<Byte>{0x00, 0x2D, 0xC6, 0xC0}));
    PutBits(image, BytesField(40, 4), -1);
    EXPECT_EQ(static_cast<uint32_t>(GetBits(image, BytesField(40, 4))), 0xFFFFFFFFu);
}

TEST(FieldBits, DescriptorsOutsideTheImageAreIgnored)
{
    TText image;
    const TText before = image;
    const TFieldPos beyond{17926, 7, 17930, 0};
    PutBits(image, beyond, 0x12345678);
    PutText(image, beyond, "abcdef");
    PutDigits(image, beyond, "123");
    PutSerial(image, beyond, "12345678");
    EXPECT_TRUE(image.Equals(before));
    EXPECT_EQ(GetBits(image, beyond), 0);
    EXPECT_EQ(GetText(image, beyond), "");
    EXPECT_EQ(GetBits(image, TFieldPos{5, 9, 5, 0}), 0);
}

TEST(FieldTexts, TextDigitsAndSerialCoding)
{
    TText image;
    PutText(image, BytesField(100, 4), "ABCDEFG");
    EXPECT_EQ(BytesAt(image, 100, 5), (std::vector<Byte>{'A', 'B', 'C', 'D', 0}));
    PutText(image, BytesField(100, 4), "x");
    EXPECT_EQ(BytesAt(image, 100, 4), (std::vector<Byte>{'x', 0, 0, 0}));
    image[101] = 127;
    image[102] = 200;
    image[103] = '~';
    EXPECT_EQ(GetText(image, BytesField(100, 4)), "x  ~");

    PutDigits(image, BytesField(200, 16), "12345");
    std::vector<Byte> expected{1, 2, 3, 4, 5};
    expected.resize(16, 0x20);
    EXPECT_EQ(BytesAt(image, 200, 16), expected);
    EXPECT_EQ(GetDigits(image, BytesField(200, 16)), "12345           ");
    PutDigits(image, BytesField(300, 4), "12a4");
    EXPECT_EQ(BytesAt(image, 300, 4), (std::vector<Byte>{1, 2, 0, 4}));
    EXPECT_EQ(GetDigits(image, BytesField(300, 4)), "1204");

    PutSerial(image, BytesField(400, 8), "1C3F0A99");
    EXPECT_EQ(BytesAt(image, 400, 8), (std::vector<Byte>{1, 1, 3, 15, 0, 10, 9, 9}));
    EXPECT_EQ(GetSerial(image, BytesField(400, 8)), "1C3F0A99");
    PutSerial(image, BytesField(400, 8), "A*");
    EXPECT_EQ(BytesAt(image, 400, 8), (std::vector<Byte>{10, 15, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(GetSerial(image, BytesField(400, 8)), "A*000000");
    PutSerial(image, BytesField(400, 8), "0N");
    EXPECT_EQ(image[401], 12);
    PutSerial(image, BytesField(400, 8), "0Z0G");
    EXPECT_EQ(image[401], 'Z');
    EXPECT_EQ(image[403], 0);
    EXPECT_EQ(GetSerial(image, BytesField(400, 8)), "0*000000");
}

TEST(FieldTexts, EverySerialByteDecodesToAnEncodableCharacter)
{
    // The second byte has a coding of its own; the others share one.
    for (int b = 0; b < 256; ++b)
        for (int j : {0, 1, 7}) {
            Byte bytes[8] = {};
            bytes[j] = static_cast<Byte>(b);
            const std::string text = SerialFromBytes(bytes, 8);
            ASSERT_EQ(text.size(), 8u);
            TText image;
            PutSerial(image, BytesField(0, 8), text);
            ASSERT_EQ(GetSerial(image, BytesField(0, 8)), text) << b << " at " << j;
        }
}

TEST(BuiltInImage, DefaultsAtTheirOffsets)
{
    TText image;
    EXPECT_EQ(BytesAt(image, 0, 6), (std::vector<Byte>{'k', 't', '4', '6', '8', 'h'}));
    // Offset and byte; 17446 is alignment position 25.
    for (const auto& [offset, byte] : {std::pair{16223, 1}, {16229, 9}, {16230, 1}, {16234, 1}, {16235, 1}, {16212, 2},
                                       {17870, 7}, {17874, 0xFF}, {17875, 0x2C}, {17876, 2}, {17422, 180},
                                       {17446, 124}, {17445, 127}, {17468, 127}, {17469, 200}})
        EXPECT_EQ(image[offset], byte) << offset;
    EXPECT_EQ(BytesAt(image, 16388, 2), (std::vector<Byte>{0, 0}));
    EXPECT_EQ(BytesAt(image, 17924, 2), (std::vector<Byte>{0, 0}));
    int nonZero = 0;
    for (int i = 0; i < image.Size(); ++i)
        nonZero += image[i] != 0;
    EXPECT_EQ(nonZero, 6 + 6 + 4 + 45);   // text id, common bytes, factory bytes, non-zero alignment bytes
    EXPECT_EQ(mv53::BlockOffset(0), 6);
    EXPECT_EQ(mv53::BlockOffset(559) + 32, 17926);
}

TEST(Encoding, ClearedRecordsGiveTheDefaultChannelBytes)
{
    auto mem = Cleared();
    TText image;
    EXPECT_TRUE(EncodeImage(image, *mem, true));
    std::vector<Byte> expected{0xFF, 0x01, 0x00, 0x04, 0x93, 0xE0, 0x00, 0x04, 0x93, 0xE0,
                               0x20, 0x20, 0x43, 0x48, 0x2D, 0x30, 0x30, 0x31};
    expected.resize(26, 0);
    expected.resize(32, 0xFF);
    EXPECT_EQ(BytesAt(image, 6, 32), expected);
    EXPECT_EQ(BytesAt(image, 6 + 32 * 499 + 10, 8), (std::vector<Byte>{' ', ' ', 'C', 'H', '-', '5', '0', '0'}));
    EXPECT_EQ(BytesAt(image, 16388, 2), (std::vector<Byte>{0xA5, 0x69}));
    EXPECT_EQ(BytesAt(image, 17924, 2), (std::vector<Byte>{0xA5, 0x69}));
    EXPECT_EQ(BytesAt(image, 17874, 2), (std::vector<Byte>{0xFF, 0x2C}));
    EXPECT_EQ(image[17870], 6);   // CwPitch of the records, not the built-in 7
}

TEST(Encoding, FieldsLandAtTheirBytes)
{
    auto mem = Cleared();
    TChannel& ch = mem->Channels().Items(2);
    ch.SetStatus(0xA5);
    ch.RxFreq().FromFloat(29.99999);
    ch.SetTag("ABCDEFGHIJ");
    mem->TelNumbers().Numbers(1).SetNumber("12345");
    mem->Sel().TxIds(9).SetTxId("12a4");
    mem->AntTuner0().Entries(0).SetTuneL(300);
    mem->AntTuner1().Entries(249).SetTuneReset(1);
    mem->AntTuner1().Entries(249).SetTuneTrans(3);
    mem->Alignment().SetValues(6, -5);
    mem->Alignment().SetValues(50, -2);
    mem->Alignment().SetValues(51, 1);
    mem->TmpCorrect().Rows(43).SetValues(8, -1);
    mem->Sel().SetSelFlag(1);
    mem->FactoryOpt().SetSerialNo("1C3F0A99");
    mem->FactoryOpt().SetKeyFunc(2, 13);
    TText image;
    EncodeImage(image, *mem, true);
    // Channel 3 from offset 70: the tag does not spill into the power byte after it.
    const std::pair<int, std::vector<Byte>> fields[] = {
        {70, {0xA5}}, {72, {0x00, 0x2D, 0xC6, 0xBF}}, {80, {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0}},
        {16052 + 16, {1, 2, 3, 4, 5, 0x20}}, {16011 + 36, {1, 2, 0, 4}}, {16390, {0x01, 0x2C}}, {16902 + 498, {0xB0, 0x00}},
        {17427, {0xFB}}, {17472, {0xFF, 0xFE}}, {17882, {1}}, {17474 + 9 * 43 + 8, {0xFF}}, {17926, {1}}, {17881, {13}},
        {17414, {1, 1, 3, 15, 0, 10, 9, 9}}};
    for (const auto& [offset, bytes] : fields)
        EXPECT_EQ(BytesAt(image, offset, static_cast<int>(bytes.size())), bytes) << offset;
    EncodeImage(image, *mem, false);
    EXPECT_EQ(BytesAt(image, 17414, 8), std::vector<Byte>(8, 0));

    auto back = DecodedAndRepaired(image);
    // Read back as set, but for the tag cut to 8 characters, the digit that is none, the serial
    // number that was not written, and the two flags written but never read back.
    mem->Channels().Items(2).SetTag("ABCDEFGH");
    mem->Sel().TxIds(9).SetTxId("1204");
    mem->FactoryOpt().SetSerialNo("00000000");
    mem->Sel().SetSelFlag(0);
    mem->Alignment().SetValues(51, 0);
    EXPECT_TRUE(mv53::test::SameRecords(*back, *mem));
    EXPECT_EQ(back->Channels().Items(2).RxFreq().ToScaled(5), 2999999);
}

TEST(Decoding, IdTextsKeepOrDropTrailingBlanks)
{
    TText image;
    for (int i = 0; i < 8; ++i)
        image[16213 + i] = i < 3 ? 5 : 0x20;
    image[16007] = 1;
    image[16008] = 0x20;
    image[16009] = 0x20;
    image[16010] = 0x20;
    auto mem = DecodedAndRepaired(image);
    EXPECT_EQ(mem->Sel().KillId(), "555     ");
    EXPECT_EQ(mem->Sel().SelfId(), "1   ");
    EXPECT_EQ(mem->Sel().TxIds(0).TxId(), "0000");
}

TEST(Decoding, EmptyChannelsAreNotReadAndStrangeStatusIsRepaired)
{
    TText image;
    auto mem = Cleared();
    EncodeImage(image, *mem, false);
    // Channel 1: status 0xFF but garbage behind it; channel 2: status 0x00 with data.
    for (int i = 1; i < 32; ++i)
        image[6 + i] = 0x77;
    image[38] = 0x00;
    image[39] = 3;
    image[38 + 10] = 'Q';
    TMVmem decoded;
    ClearRecords(decoded);
    DecodeImage(image, decoded);
    EXPECT_EQ(decoded.Channels().Items(0).Tag(), "  CH-001");
    EXPECT_EQ(decoded.Channels().Items(0).Mode(), 1);
    EXPECT_EQ(decoded.Channels().Items(1).Status(), 0);
    EXPECT_EQ(decoded.Channels().Items(1).Mode(), 3);
    EXPECT_EQ(decoded.Channels().Items(1).Tag(), "Q CH-002");
    CheckRecords(decoded);
    EXPECT_TRUE(decoded.Channels().Equals(mem->Channels()));
}

// One field of the records: set out of range, then read after the repair.
struct RepairCase {
    const char* field;
    void (*set)(TMVmem&);
    int32_t (*get)(const TMVmem&);
    int32_t repaired;
};
#define REPAIR(record, field, bad, good) \
    RepairCase{#record "." #field, [](TMVmem& m) { m.record.Set##field(bad); }, \
               [](const TMVmem& m) { return m.record.field(); }, good}

TEST(RangeRepair, OutOfRangeValuesGetTheirRepairValues)
{
    const RepairCase cases[] = {
        REPAIR(Channels().Items(0), Mode, 5, 1),        REPAIR(Channels().Items(0), Power, 2, 0),
        REPAIR(Channels().Items(0), ShiftOn, 2, 0),     REPAIR(Channels().Items(0), EncryptCode, 17, 0),
        REPAIR(Channels().Items(0), SelcallOn, -1, 0),  REPAIR(Sel(), SelPowerSave, 12, 0),
        REPAIR(Sel(), Preamble, 25, 8),                 REPAIR(Sel(), AllCall, 2, 1),
        REPAIR(Sel(), SelFlag, 3, 0),                   REPAIR(FactoryOpt(), PktOffset, 400, -212),
        REPAIR(FactoryOpt(), CwPitch, 9, 6),            REPAIR(FactoryOpt(), PktTone, 4, 2),
        REPAIR(Misc(), Beep, 2, 1),                     REPAIR(Misc(), VoxGain, 101, 0),
        REPAIR(Sys(), NoiseBlanker, 2, 1),              REPAIR(Sys(), Tot, 21, 0),
        REPAIR(Hard(), LampMode, 6, 0),                 REPAIR(PwrSave(), HoldTime, 51, 0),
        REPAIR(TelNumbers(), TelCallType, 3, 0),        REPAIR(Opt(), TunerUnit, 2, 0),
    };
    auto mem = Cleared();
    TChannel& ch = mem->Channels().Items(0);
    ch.SetStatus(0xA5);
    ch.RxFreq().FromFloat(0.49999);
    ch.TxFreq().FromFloat(30.00001);
    TChannel& edge = mem->Channels().Items(1);
    edge.SetStatus(0xA5);
    edge.RxFreq().FromFloat(0.5);
    edge.TxFreq().FromFloat(30.0);
    for (const RepairCase& c : cases)
        c.set(*mem);
    mem->FactoryOpt().SetKeyFunc(1, 14);
    EXPECT_TRUE(CheckRecords(*mem));
    for (const RepairCase& c : cases)
        EXPECT_EQ(c.get(*mem), c.repaired) << c.field;
    EXPECT_EQ(mem->FactoryOpt().KeyFunc(1), 0);
    EXPECT_DOUBLE_EQ(ch.RxFreq().ToFloat(), 3.0);
    EXPECT_DOUBLE_EQ(ch.TxFreq().ToFloat(), 3.0);
    EXPECT_DOUBLE_EQ(edge.RxFreq().ToFloat(), 0.5);
    EXPECT_DOUBLE_EQ(edge.TxFreq().ToFloat(), 30.0);
}
#undef REPAIR

// Random records through encoding and decoding: DataFile.SavedRecordsReadBackEqual.
TEST(RoundTrip, AnyImageRepairsToAFixedPoint)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 4; ++round) {
        TText image;
        for (int i = 0; i < image.Size(); ++i)
            image[i] = static_cast<Byte>(rng());
        auto first = DecodedAndRepaired(image);
        TText encoded = image;
        EncodeImage(encoded, *first, true);
        auto second = DecodedAndRepaired(encoded);
        TText reencoded = encoded;
        EncodeImage(reencoded, *second, true);
        EXPECT_TRUE(reencoded.Equals(encoded));
        EXPECT_TRUE(second->Channels().Equals(first->Channels()));
    }
}

// ---- TDecimal, the text helpers and key filters, and the radio's frequency ranges ----

// The shortest decimal digits; tiny values (general format would write "1e-05") held as fraction
// digits, more than 9 fraction digits (beyond a 32-bit fraction) rounded to 9, huge values held
// at the bound.
TEST(Decimal, FromFloatKeepsTheShortestDecimalDigitsWithoutExponentOrOverflow)
{
    const std::pair<double, TDecimal> cases[] = {
        {0.0, Dec(1, 0, 0, 0)},           {-2.25, Dec(-1, 2, 25, 2)},        {3.5, Dec(1, 3, 5, 1)},
        {1.6, Dec(1, 1, 6, 1)},           {7.0025, Dec(1, 7, 25, 4)},        {30.0, Dec(1, 30, 0, 0)},
        {2999999 / 100000.0, Dec(1, 29, 99999, 5)},                         {0.00001, Dec(1, 0, 1, 5)},
        {1 / 100000.0, Dec(1, 0, 1, 5)},  {3.14159265358979, Dec(1, 3, 141592654, 9)},
        {1e-12, Dec(1, 0, 0, 0)},         {1e300, Dec(1, 2147483647, 0, 0)}, {-1e300, Dec(-1, 2147483647, 0, 0)},
        {std::numeric_limits<double>::quiet_NaN(), Dec(1, 0, 0, 0)},        {42949.67295, Dec(1, 42949, 67295, 5)},
    };
    for (const auto& [value, parts] : cases) {
        SCOPED_TRACE(value);
        ExpectParts(FromFloat(value), parts.Sign(), parts.IntPart(), parts.Fraction(), parts.Digits());
    }
    EXPECT_DOUBLE_EQ(FromFloat(-2.25).ToFloat(), -2.25);
    EXPECT_FALSE(Dec(1, 3, 5, 1).Equals(Dec(1, 3, 50, 2)));
}

// Malformed parts among them: more fraction digits than asked for are rounded (not scaled ten
// times too large), results beyond 32 bits held at the bound, a negative fraction is no number,
// and huge digit counts cost nothing.
TEST(Decimal, ToScaledAndToFloat)
{
    const struct Case {
        TDecimal d;
        int32_t digits;
        int32_t scaled;
        double value;
    } cases[] = {
        {Dec(1, 30, 0, 0), 5, 3000000, 30.0},           {Dec(1, 29, 99999, 5), 5, 2999999, 29.99999},
        {Dec(1, 0, 5, 1), 5, 50000, 0.5},               {Dec(-1, 7, 25, 4), 5, -700250, -7.0025},
        {Dec(1, 7, 25, 4), 0, 7, 7.0025},               {Dec(1, 29, 999994, 6), 5, 2999999, 29.999994},
        {Dec(1, 29, 999995, 6), 5, 3000000, 29.999995}, {Dec(1, 2147483647, 0, 0), 5, 2147483647, 2147483647.0},
        {Dec(-1, 2147483647, 0, 0), 5, -2147483647 - 1, -2147483647.0},
        {Dec(1, 30, 0, 0), 1000, 2147483647, 30.0},     {Dec(1, 3, -5, 1), 5, 0, 0.0},
        {Dec(1, 3, 5, 2000000000), 5, 300000, 3.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.d.ToScaled(c.digits), c.scaled) << c.value;
        EXPECT_DOUBLE_EQ(c.d.ToFloat(), c.value);
    }
}

TEST(KeyFilters, AcceptedCharactersOverAllCodes)
{
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const bool bs = code == 8;
        const bool digit = c >= '0' && c <= '9';
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        char k = c;
        EXPECT_EQ(IsDigitKey(k), bs || digit) << code;
        EXPECT_EQ(k, (bs || digit) ? c : '\0');
        k = c;
        const bool signedOk = bs || digit || c == '+' || c == '-';
        EXPECT_EQ(IsSignedKey(k), signedOk) << code;
        EXPECT_EQ(k, signedOk ? c : '\0');
        k = c;
        const bool tagOk = bs || (static_cast<unsigned char>(upper) >= 32 && static_cast<unsigned char>(upper) <= 95);
        EXPECT_EQ(IsTagKey(k), tagOk) << code;
        EXPECT_EQ(k, tagOk ? upper : '\0');
        k = c;
        const bool serialOk = bs || digit || (upper >= 'A' && upper <= 'N');
        EXPECT_EQ(IsSerialKey(k), serialOk) << code;
        EXPECT_EQ(k, serialOk ? upper : '\0');
        k = c;
        EXPECT_EQ(IsFreqKey(k), bs || digit || c == '.' || c == ',') << code;
        EXPECT_EQ(k, c);
    }
    char enter = kEnterKey;
    SwallowEnter(enter);
    EXPECT_EQ(enter, '\0');
    char other = 'x';
    SwallowEnter(other);
    EXPECT_EQ(other, 'x');
}

// Text in, text out: each helper over a few typical and malformed texts.
TEST(TextHelpers, NumberDigitTagAndFrequencyTexts)
{
    using Case = std::pair<const char*, const char*>;
    const auto check = [](const auto& convert, std::initializer_list<Case> cases) {
        for (const auto& [in, out] : cases)
            EXPECT_EQ(convert(in), out) << '"' << in << '"';
    };
    check([](const char* t) { return std::to_string(TextToInt(t)); },
          {{"42", "42"}, {" -7 ", "-7"}, {"+5", "5"}, {"1.5", "0"}, {"2147483648", "0"}, {"+-1", "0"}, {"", "0"}});
    check([](const char* t) { return mv53::FormatFixed(TextToFloat(t), 1); },
          {{"2.5", "2.5"}, {" -1e2 ", "-100.0"}, {"2,5", "0.0"}, {"inf", "0.0"}, {"nan", "0.0"}, {"1e999", "0.0"},
           {".", "0.0"}});
    check(DigitsOnly, {{" 0123 ", "0123"}, {"12a", ""}, {"1\b2", ""}});
    check(DigitsOrDashes, {{"----", "----"}, {"x", "----"}, {"", "----"}, {"77", "77"}});
    check(FormatSigned, {{"+0", "0"}, {"1-2", "0"}, {"abc", "0"}, {"-300", "-300"}, {" 12 ", "+12"}, {"-", "0"},
                         {"99999999999", "0"}});
    check(NormalizeTag, {{"ch-1~", "CH-1 "}, {"a\tb\x80", "A B "}});
    check(FormatTag, {{"AB", "AB      "}, {"abcdefghij", "ABCDEFGHIJ"}});

    struct Freq {
        const char* text;
        int column, range;
        const char* out;
    };
    for (const Freq& f : {Freq{"0,3", kRxFreqColumn, 0, "0.50000"}, {"0,3", kRxFreqColumn, 1, "3.00000"},
                          {"1", kTxFreqColumn, 0, "1.60000"}, {"12.3456789", kRxFreqColumn, 0, "12.34568"},
                          {"7", kRxFreqColumn, 0, "7.00000"}, {"45", kTxFreqColumn, 0, "30.00000"},
                          {"", kRxFreqColumn, 0, "0.50000"}, {".", kTxFreqColumn, 0, "1.60000"},
                          {"1,2.5", 0, 0, "1.25000"}, {" 2 MHz", 0, 0, "2.00000"}, {"0.1", 0, 0, "0.10000"},
                          {"0.1", 99, 0, "0.10000"}, {"-5", kRxFreqColumn, 0, "5.00000"}})
        EXPECT_EQ(FormatFreq(f.text, f.column, f.range), f.out) << f.text << " column " << f.column;
    // Huge or malformed texts.
    EXPECT_EQ(FormatFreq(std::string(5000, '9'), kRxFreqColumn, 0), "30.00000");
    EXPECT_EQ(FormatFreq("0." + std::string(5000, '0') + "1", kRxFreqColumn, 0), "0.50000");
    EXPECT_EQ(FormatFreq(std::string(1000, '.'), kTxFreqColumn, 0), "1.60000");
    EXPECT_EQ(FormatFreq(std::string("\0\xff\x80", 3), 0, 0), "0.00000");
}

TEST(TextHelpers, NumberTextsIgnoreTheUserLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    const std::locale savedGlobal = std::locale::global(std::locale("de_DE.UTF-8"));

    EXPECT_EQ(FormatFreq("12,5", kRxFreqColumn, 0), "12.50000");
    EXPECT_EQ(FormatFreq("12.5", kRxFreqColumn, 0), "12.50000");
    EXPECT_EQ(mv53::FormatFixed(1.5, 5), "1.50000");
    EXPECT_DOUBLE_EQ(TextToFloat("1.5"), 1.5);
    EXPECT_EQ(TextToFloat("1,5"), 0.0);
    EXPECT_EQ(FormatSigned("1234"), "+1234");
    ExpectParts(FromFloat(2.25), 1, 2, 25, 2);
    EXPECT_DOUBLE_EQ(Dec(1, 2, 25, 2).ToFloat(), 2.25);
    EXPECT_EQ(Dec(1, 2, 25, 2).ToScaled(5), 225000);

    std::locale::global(savedGlobal);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(FreqRange, EdgesOfEachRangeIn10HzSteps)
{
    struct Case {
        bool transmit;
        int32_t narrow;   // RxRange or TxRange
        double inside[2];
        double outside[2];
    };
    const Case cases[] = {
        {false, 0, {0.5, 30.0}, {0.49999, 30.00001}}, {false, 1, {3.0, 30.0}, {2.99999, 30.00001}},
        {true, 0, {1.6, 30.0}, {1.59999, 30.00001}},  {true, 1, {3.0, 30.0}, {2.99999, 30.00001}},
    };
    for (const Case& c : cases) {
        TFactoryOpt factory;
        // The other direction's switch is set the other way: it must not matter.
        factory.SetTxRange(c.transmit ? c.narrow : 1 - c.narrow);
        factory.SetRxRange(c.transmit ? 1 - c.narrow : c.narrow);
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(testing::Message() << c.transmit << c.narrow << " " << c.inside[k] << " " << c.outside[k]);
            EXPECT_TRUE(mv53::ChannelFreqInRange(FromFloat(c.inside[k]), c.transmit, factory));
            EXPECT_FALSE(mv53::ChannelFreqInRange(FromFloat(c.outside[k]), c.transmit, factory));
        }
    }
}

// ---- The data file on disk: reading, writing, refusals and the messages the user sees ----

class DataFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.Ok());
        ClearRecords(*m_mem);
        m_mem->SetFwVersion("1A2B");
        m_mem->Channels().Items(4).SetStatus(0xA5);
        m_mem->Channels().Items(4).SetTag("KEEP");
        (*m_image)[100] = 0x42;
        m_memBefore = std::make_unique<TMVmem>(*m_mem);
        m_imageBefore = std::make_unique<TText>(*m_image);
    }

    std::string Path(const std::string& name) const { return m_dir.Path(name); }
    static void WriteBytes(const std::string& path, const std::vector<Byte>& bytes)
    {
        mv53::test::WriteFile(path, std::string(bytes.begin(), bytes.end()));
    }
    static std::vector<Byte> ReadBytes(const std::string& path)
    {
        const std::string bytes = mv53::test::ReadFile(path);
        return {bytes.begin(), bytes.end()};
    }

    // The records and image are still those of SetUp: a failing call changed nothing.
    void ExpectUnchanged()
    {
        EXPECT_EQ(m_mem->FwVersion(), m_memBefore->FwVersion());
        EXPECT_TRUE(m_mem->Channels().Equals(m_memBefore->Channels()));
        EXPECT_TRUE(m_mem->Sel().Equals(m_memBefore->Sel()));
        EXPECT_TRUE(m_image->Equals(*m_imageBefore));
    }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir.Root()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    mv53::test::ScratchDir m_dir;
    std::unique_ptr<TMVmem> m_mem = std::make_unique<TMVmem>();
    std::unique_ptr<TText> m_image = std::make_unique<TText>();
    std::unique_ptr<TMVmem> m_memBefore;
    std::unique_ptr<TText> m_imageBefore;
    mv53::test::ScriptedPrompt m_prompt;
    mv53::ScopedPrompt m_scoped{m_prompt};
};

// Cleared and random records: the file is the image made in memory, with the model id first and
// zero serial bytes, and reads back to the same records without the serial number.
TEST_F(DataFile, SavedRecordsReadBackEqual)
{
    for (unsigned seed = 0; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        auto original = std::make_unique<TMVmem>();
        if (seed == 0)
            ClearRecords(*original);
        else
            mv53::test::RandomRecords(seed).Fill(*original);
        original->FactoryOpt().SetSerialNo("1C3F0A99");
        auto image = std::make_unique<TText>();
        const std::string path = Path("saved.m53");
        ASSERT_TRUE(WriteDataFile(path, *original, *image));
        const std::vector<Byte> bytes = ReadBytes(path);
        ASSERT_EQ(bytes.size(), 17927u);
        EXPECT_EQ(std::vector<Byte>(bytes.begin(), bytes.begin() + 6), (std::vector<Byte>{'k', 't', '4', '6', '8', 'h'}));
        EXPECT_EQ(std::vector<Byte>(bytes.begin() + 17414, bytes.begin() + 17422), std::vector<Byte>(8, 0));
        EXPECT_EQ(std::vector<Byte>(image->Data(), image->Data() + image->Size()), bytes);

        ASSERT_TRUE(ReadDataFile(path, *m_mem, *m_image));
        EXPECT_EQ(m_mem->FwVersion(), "----");
        original->FactoryOpt().SetSerialNo("00000000");   // a data file holds no serial number
        EXPECT_TRUE(mv53::test::SameRecords(*m_mem, *original));
        EXPECT_TRUE(m_image->Equals(*image));
    }
    EXPECT_TRUE(m_prompt.texts().empty());
    // Writing replaced the file each time; no temporary file is left beside it.
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"saved.m53"});
}

TEST_F(DataFile, LengthOfTheFile)
{
    WriteBytes(Path("short.m53"), std::vector<Byte>(17926, 0));
    EXPECT_FALSE(ReadDataFile(Path("short.m53"), *m_mem, *m_image));
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{"The file cannot be opened.\r\nThe file format is not correct."});
    EXPECT_EQ(m_prompt.shown.at(0).icon, mv53::PromptIcon::Error);
    EXPECT_EQ(m_prompt.shown.at(0).buttons, mv53::PromptButtons::Ok);
    ExpectUnchanged();

    WriteBytes(Path("empty.m53"), {});
    EXPECT_FALSE(ReadDataFile(Path("empty.m53"), *m_mem, *m_image));
    ExpectUnchanged();

    // Longer: the first 17927 bytes are the image, every byte as it stands (the decoder skips
    // many, and the model id is none), taken without a word.
    std::vector<Byte> longer(20000, 0x11);
    for (int i = 0; i < 17927; ++i)
        longer[static_cast<size_t>(i)] = static_cast<Byte>(i * 7);
    WriteBytes(Path("long.m53"), longer);
    ASSERT_TRUE(ReadDataFile(Path("long.m53"), *m_mem, *m_image));
    EXPECT_EQ(m_prompt.texts().size(), 2u);   // the short and the empty file's
    EXPECT_EQ(std::vector<Byte>(m_image->Data(), m_image->Data() + m_image->Size()),
              std::vector<Byte>(longer.begin(), longer.begin() + 17927));
    EXPECT_EQ(m_mem->FwVersion(), "----");
}

TEST_F(DataFile, UnreadablePathsReportAReadError)
{
    const std::string missing = Path("no-such-folder/file.m53");
    EXPECT_FALSE(ReadDataFile(missing, *m_mem, *m_image));
    EXPECT_FALSE(ReadDataFile(m_dir.Root(), *m_mem, *m_image));
    EXPECT_FALSE(ReadDataFile("", *m_mem, *m_image));
    EXPECT_EQ(m_prompt.texts(), (std::vector<std::string>{"File read error  File Name = " + missing,
                                                          "File read error  File Name = " + m_dir.Root(),
                                                          "File read error  File Name = "}));
    ExpectUnchanged();
}

TEST_F(DataFile, FailedWritesLeaveNoFileAndNoTemporaryFile)
{
    const std::string missing = Path("no-such-folder/file.m53");
    EXPECT_FALSE(WriteDataFile(missing, *m_mem, *m_image));
    EXPECT_FALSE(fs::exists(missing));

    const std::string folder = Path("folder.m53");
    fs::create_directory(folder);
    EXPECT_FALSE(WriteDataFile(folder, *m_mem, *m_image));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(m_prompt.texts(), (std::vector<std::string>{"File write error  File Name = " + missing,
                                                          "File write error  File Name = " + folder}));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"folder.m53"});
}

// File size limits and symbolic links of ordinary users are POSIX matters.
#ifndef _WIN32
TEST_F(DataFile, WriteFailingHalfwayKeepsTheOldFile)
{
    const std::string path = Path("old.m53");
    std::vector<Byte> old(17927);
    for (size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<Byte>(i);
    WriteBytes(path, old);

    // A file size limit makes the write of the new image fail after its first bytes.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteDataFile(path, *m_mem, *m_image);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{"File write error  File Name = " + path});
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"old.m53"});
    // The image was brought up to date from the records all the same.
    EXPECT_EQ((*m_image)[6 + 32 * 4], 0xA5);
}

TEST_F(DataFile, WritingThroughALinkKeepsTheLink)
{
    const std::string real = Path("real.m53");
    const std::string link = Path("link.m53");
    WriteBytes(real, std::vector<Byte>(10, 1));
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteDataFile(link, *m_mem, *m_image));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 17927u);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"link.m53", "real.m53"}));
}
#endif

// What every data file holds: the model id, both image markers and exactly 17927 bytes; the
// first thing that differs is named.
TEST_F(DataFile, WhatDoesNotLookLikeADataFile)
{
    TText image = mv53::test::EncodedImage(*m_mem, false);
    EXPECT_EQ(DataFileDeviation(image, 17927), "");
    // A longer file, as the reader sees it.
    std::vector<Byte> longer(image.Data(), image.Data() + image.Size());
    longer.push_back(0);
    WriteBytes(Path("long.m53"), longer);
    std::string asked;
    EXPECT_TRUE(ReadDataFile(Path("long.m53"), *m_mem, *m_image, [&](const std::string& d) { asked = d; return true; }));
    EXPECT_EQ(asked, "it is 17928 bytes long, a data file 17927");
    for (const auto& [offset, deviation] : {std::pair{5, "it does not begin with the model id \"kt468h\""},
                                            {16389, "the image marker 0xA569 is missing at offset 16388"},
                                            {17924, "the image marker 0xA569 is missing at offset 17924"}}) {
        TText changed = image;
        changed[offset] ^= 1;
        EXPECT_EQ(DataFileDeviation(changed, 17927), deviation);
    }
}

}  // namespace
