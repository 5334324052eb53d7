#pragma once
// The radio's live adjustment: while a technician turns a value in the alignment window, the PC
// sends each new value as one AdjustValue frame to the value's live address, and the radio
// holds it at once in its alignment values (the same bytes a factory-area write carries).
//
//   live address 0xE108 + p - 1   alignment value p (1..48), one byte
//   0xE138 / 0xE139               LSB carrier offset, high byte / low byte
//   0xE13A / 0xE13B               USB carrier offset, high byte / low byte
//
//   PC  01 04 E1 38 FF 00..00 1D   radio 59      (AdjustValue 0xE138 := 0xFF)
//   PC  01 04 E1 39 6A 00..00 89   radio 59
//   PC  01 05 00 00 00..00 06      (AdjustEnd, no answer)

#include "CloneProtocol.h"

#include <chrono>
#include <optional>

namespace mv53::radiosim {

inline constexpr RadioAddress kLiveFirstAddress = 0xE108;
inline constexpr RadioAddress kLiveLastAddress = 0xE13B;
// Memory offset of alignment value 1; the live addresses follow the memory byte for byte.
inline constexpr std::size_t kLiveFirstOffset = 17422;

// One live adjustment frame as the radio received it: AdjustValue (address, value) or
// AdjustEnd (end set), with the moment it was handled. Two entries are the same frame when
// address, value and kind agree, whenever they came.
struct AdjustEntry {
    std::uint16_t address = 0;
    Byte value = 0;
    bool end = false;
    std::chrono::steady_clock::time_point time {};
    bool operator==(const AdjustEntry& other) const
    {
        return address == other.address && value == other.value && end == other.end;
    }
};

// The memory offset that a live address writes, or nothing outside the live range.
std::optional<std::size_t> LiveAddressOffset(RadioAddress address);

// Handles AdjustValue: the value goes into the memory when the address is a live one. Returns
// the reply byte: accepted, or refused for an address outside the live range.
Byte ApplyAdjustValue(Memory& memory, RadioAddress address, Byte value);

}  // namespace mv53::radiosim
