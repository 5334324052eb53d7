#pragma once
// The map between the radio image and the records: field descriptors, the field readers and
// writers, and the five image operations (InitImage, EncodeImage, DecodeImage, CheckRecords,
// ClearRecords).
//
// Multi-byte numbers are big-endian; bits of a byte are numbered 7 (most significant) to 0.
// A field covers bits HighBit..0 of its first byte, all bits of the bytes between, and bits
// 7..LowBit of its last byte (HighBit..LowBit when first and last byte are the same):
//   whole byte n                {n, 7, n, 0}
//   32-bit number at 2..5       {2, 7, 5, 0}
//   bits 5..4 of byte 0         {0, 5, 0, 4}
//   bit 0 of byte 0 + byte 1    {0, 0, 1, 0}   (9 bits)

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_Const.h"

#include <cstdint>
#include <string>

// A field descriptor: absolute image offsets, or offsets relative to a repeated entry.
struct TFieldPos {
    uint16_t FirstByte = 0;
    uint16_t HighBit = 7;
    uint16_t LastByte = 0;
    uint16_t LowBit = 0;

    // The same field moved by delta bytes (an entry's base offset).
    constexpr TFieldPos Moved(mv53::ImageOffset delta) const
    {
        return {static_cast<uint16_t>(FirstByte + delta), HighBit, static_cast<uint16_t>(LastByte + delta), LowBit};
    }
    constexpr int32_t Length() const { return LastByte - FirstByte + 1; }
};

// Whole-byte fields.
constexpr TFieldPos ByteField(mv53::ImageOffset offset)
{
    return {static_cast<uint16_t>(offset), 7, static_cast<uint16_t>(offset), 0};
}
constexpr TFieldPos BytesField(mv53::ImageOffset offset, int32_t length)
{
    return {static_cast<uint16_t>(offset), 7, static_cast<uint16_t>(offset + length - 1), 0};
}

// Field writers and readers. A descriptor whose bytes lie outside the image is ignored by the
// writers and reads as 0 / blanks; numbers use containers of 1, 2 or 4 bytes (n = 1, 2, else 4).
void PutBits(TText& Image, const TFieldPos& Pos, int32_t Value);
void PutSignedBits(TText& Image, const TFieldPos& Pos, int32_t Value);
int32_t GetBits(const TText& Image, const TFieldPos& Pos);
int32_t GetSignedBits(const TText& Image, const TFieldPos& Pos);
void PutText(TText& Image, const TFieldPos& Pos, const std::string& Text);
std::string GetText(const TText& Image, const TFieldPos& Pos);
void PutDigits(TText& Image, const TFieldPos& Pos, const std::string& Text);
std::string GetDigits(const TText& Image, const TFieldPos& Pos);
void PutSerial(TText& Image, const TFieldPos& Pos, const std::string& Text);
std::string GetSerial(const TText& Image, const TFieldPos& Pos);

// Serial number coding of one byte string (8 bytes <-> 8 characters), also used for the
// radio's serial reply.
std::string SerialFromBytes(const mv53::Byte* bytes, int count);

// Selected absolute offsets of the image.
namespace mv53 {
inline constexpr ImageOffset kComportOffset = 16006;
inline constexpr ImageOffset kSelfIdOffset = 16007;
inline constexpr ImageOffset kTxIdOffset = 16011;        // TX ID k at 16011 + 4k
inline constexpr ImageOffset kTxIdLength = 4;
inline constexpr ImageOffset kTelCallTypeOffset = 16051;
inline constexpr ImageOffset kTelNumberOffset = 16052;   // number k at 16052 + 16k
inline constexpr ImageOffset kTelNumberLength = 16;
inline constexpr ImageOffset kKillSystemOffset = 16212;
inline constexpr ImageOffset kKillIdOffset = 16213;
inline constexpr ImageOffset kCommonMarkerOffset = 16388;
inline constexpr ImageOffset kTuner0Offset = 16390;      // entry k at 16390 + 2k
inline constexpr ImageOffset kTuner1Offset = 16902;
inline constexpr ImageOffset kTuneEntrySize = 2;
inline constexpr ImageOffset kSerialOffset = 17414;      // 8 bytes
inline constexpr ImageOffset kSerialLength = 8;
inline constexpr ImageOffset kAlignmentOffset = 17421;   // position p (1..48) at 17421 + p
inline constexpr ImageOffset kAlignment49Offset = 17470;
inline constexpr ImageOffset kAlignment50Offset = 17472;
inline constexpr ImageOffset kTmpCorrectOffset = 17474;  // row r value c at 17474 + 9r + c
inline constexpr ImageOffset kFactoryOptOffset = 17870;
inline constexpr ImageOffset kPktOffsetOffset = 17874;
inline constexpr ImageOffset kRxRangeOffset = 17878;
inline constexpr ImageOffset kKeyFuncOffset = 17879;
inline constexpr ImageOffset kLcdTestOffset = 17882;
inline constexpr ImageOffset kFactoryMarkerOffset = 17924;
inline constexpr ImageOffset kSelFlagOffset = 17926;
}  // namespace mv53

// The channel tag of an empty channel: two blanks, "CH-" and the number in three digits.
std::string DefaultChannelTag(int32_t channelIndex);
// A new, empty channel at channelIndex: the defaults that New gives it.
void ClearChannel(TChannel& ch, int32_t channelIndex);

// All bytes 0, then the text id and the built-in defaults.
void InitImage(TText& Image);
// Writes every field of the records into the image; the serial number only when WithSerial
// (else the coding of "00000000"). Always true.
bool EncodeImage(TText& Image, const TMVmem& Records, bool WithSerial);
// Reads every decoded field of the image into the records. Always true.
bool DecodeImage(const TText& Image, TMVmem& Records);
// Range repair of decoded records. Always true.
bool CheckRecords(TMVmem& Records);
// The default records (tuner tables, temperature correction and TComport left alone).
void ClearRecords(TMVmem& Records);
