#include "CloneProtocol.h"

#include <algorithm>

namespace mv53::radiosim {

namespace {

// Writable areas: first block, block count and the address of the first block.
struct AreaMap {
    BlockNo first;
    BlockNo count;
    RadioAddress address;
};

constexpr AreaMap kChannelArea {0, 500, 0xC000};
constexpr AreaMap kCommonArea {500, 12, 0xFE80};
constexpr AreaMap kTuner0Area {512, 16, 0x0400};
constexpr AreaMap kTuner1Area {528, 16, 0x0800};
constexpr AreaMap kFactoryArea {544, 16, 0x0C00};
constexpr std::array<AreaMap, 5> kAreas {kChannelArea, kCommonArea, kTuner0Area, kTuner1Area, kFactoryArea};

bool Within(const AreaMap& area, BlockNo block) { return block >= area.first && block < area.first + area.count; }

}  // namespace

std::optional<BlockNo> BlockOfAddress(RadioAddress address)
{
    for (const AreaMap& area : kAreas) {
        const unsigned start = area.address;
        const unsigned end = start + static_cast<unsigned>(area.count) * kBlockSize;
        if (address >= start && address < end) {
            if ((address - start) % kBlockSize != 0)
                return std::nullopt;
            return area.first + static_cast<BlockNo>((address - start) / kBlockSize);
        }
    }
    return std::nullopt;
}

RadioAddress AddressOfBlock(BlockNo block)
{
    for (const AreaMap& area : kAreas) {
        if (Within(area, block))
            return static_cast<RadioAddress>(area.address + (block - area.first) * kBlockSize);
    }
    return 0;
}

bool AreaContains(WriteArea area, BlockNo block)
{
    switch (area) {
    case WriteArea::UserData:
        return Within(kChannelArea, block) || Within(kCommonArea, block) || Within(kTuner0Area, block)
            || Within(kTuner1Area, block);
    case WriteArea::Factory:
        return Within(kFactoryArea, block);
    case WriteArea::Tuner:
        return Within(kTuner0Area, block) || Within(kTuner1Area, block);
    case WriteArea::None:
        break;
    }
    return false;
}

Byte Checksum(const Byte* data, std::size_t count)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += data[i];
    return static_cast<Byte>(sum & 0xFF);
}

std::array<Byte, kCommandFrameSize> MakeCommandFrame(Command command, std::uint16_t address,
                                                     const std::vector<Byte>& data)
{
    std::array<Byte, kCommandFrameSize> frame {};
    frame[0] = static_cast<Byte>(command >> 8);
    frame[1] = static_cast<Byte>(command & 0xFF);
    frame[2] = static_cast<Byte>(address >> 8);
    frame[3] = static_cast<Byte>(address & 0xFF);
    std::copy_n(data.begin(), std::min<std::size_t>(data.size(), kBlockSize), frame.begin() + 4);
    frame[36] = Checksum(frame.data(), 36);
    return frame;
}

}  // namespace mv53::radiosim
