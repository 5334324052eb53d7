#pragma once
// The alignment values as the alignment window and the live adjustment see them: every
// editing control carries a tag, every value has a record position (1..51) in TAlignment and,
// for positions 1..50, a live address in the radio.
//
//   tags 1, 2        positions 1, 2        tag 51 (DTCXO select combo)   position 3
//   tags 3..8        positions 4..9        tag 52 (CW PTT send combo)    position 10
//   tags 9..46       positions 11..48      tag 50 (LCD test button)      position 51
//   tags 47, 48      positions 49, 50 (carrier offsets, held in 10 Hz, two live bytes each)
//   live address of position p (1..48): 0xE108 + p - 1; the offsets at 0xE138/39 and 0xE13A/3B

#include <cstdint>
#include <vector>

namespace mv53::alignment {

inline constexpr int kSpinCount = 48;            // tags 1..48: spin edit and track bar pairs
inline constexpr int kTagDtcxo = 51;
inline constexpr int kTagCwPtt = 52;
inline constexpr int kTagLcdTest = 50;
inline constexpr int kTagSerial = 49;
inline constexpr int kTagClar = 5;
inline constexpr int kTagLsbCarrier = 47;
inline constexpr int kTagUsbCarrier = 48;
inline constexpr uint16_t kFirstLiveAddress = 0xE108;     // position 1; positions 1..48 a byte each
inline constexpr uint16_t kCarrierLiveAddress = 0xE138;   // LSB offset; the USB offset two bytes on

// Record position of a tag; 0 for a tag without a value (the serial edit, unknown tags).
constexpr int Position(int tag)
{
    if (tag == 1 || tag == 2)
        return tag;
    if (tag >= 3 && tag <= 8)
        return tag + 1;
    if (tag >= 9 && tag <= 46)
        return tag + 2;
    if (tag == kTagLsbCarrier || tag == kTagUsbCarrier)
        return tag + 2;
    if (tag == kTagDtcxo)
        return 3;
    if (tag == kTagCwPtt)
        return 10;
    if (tag == kTagLcdTest)
        return 51;
    return 0;
}

constexpr bool IsCarrierOffset(int tag) { return tag == kTagLsbCarrier || tag == kTagUsbCarrier; }

// The values whose live change the radio only takes over with an AdjustEnd frame after it.
constexpr bool NeedsAdjustEnd(int tag) { return tag == kTagClar || IsCarrierOffset(tag); }

// Shown value (hertz) of a carrier offset held in 10 Hz, and back (truncated toward zero).
constexpr int ShownCarrier(int held) { return held * 10; }
constexpr int HeldCarrier(int shown) { return shown / 10; }

struct TLiveByte {
    uint16_t address;
    uint8_t value;
    bool operator==(const TLiveByte&) const = default;
};

// The AdjustValue frames that carry a held value live: one byte (the low 8 bits, so a negative
// CLAR offset goes as its two's complement), or for the carrier offsets the 16-bit two's
// complement, high byte first. Empty for a tag that is not sent live.
std::vector<TLiveByte> LiveBytes(int tag, int heldValue);

}  // namespace mv53::alignment
