#include "LiveAdjust.h"

namespace mv53::radiosim {

std::optional<std::size_t> LiveAddressOffset(RadioAddress address)
{
    if (address < kLiveFirstAddress || address > kLiveLastAddress)
        return std::nullopt;
    return kLiveFirstOffset + (address - kLiveFirstAddress);
}

Byte ApplyAdjustValue(Memory& memory, RadioAddress address, Byte value)
{
    const std::optional<std::size_t> offset = LiveAddressOffset(address);
    if (!offset)
        return kRefuse;
    memory[*offset] = value;
    return kAccept;
}

}  // namespace mv53::radiosim
