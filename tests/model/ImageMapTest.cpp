// The records and the radio image at byte level: cleared records and equality, field readers
// and writers, the built-in image, encoding, decoding and the range repair.

#include "TestRecords.h"

#include "model/Text.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

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

}  // namespace

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
