#include "service/AlignmentTags.h"

namespace mv53::alignment {

std::vector<TLiveByte> LiveBytes(int tag, int heldValue)
{
    const int position = Position(tag);
    if (position < 1 || position > 50)
        return {};
    const auto bits = static_cast<uint32_t>(heldValue);
    if (IsCarrierOffset(tag)) {
        const auto address = static_cast<uint16_t>(kCarrierLiveAddress + 2 * (tag - kTagLsbCarrier));
        return {{address, static_cast<uint8_t>((bits >> 8) & 0xFFu)},
                {static_cast<uint16_t>(address + 1), static_cast<uint8_t>(bits & 0xFFu)}};
    }
    const auto address = static_cast<uint16_t>(kFirstLiveAddress + position - 1);
    return {{address, static_cast<uint8_t>(bits & 0xFFu)}};
}

}  // namespace mv53::alignment
