#include "RadioSimulator.h"

#include <cstdio>
#include <cstring>

namespace mv53::radiosim {

// Stand-in until the image codec is available: the fixed defaults of a fresh image and 500
// empty channels as the cleared records encode them.
Memory DefaultMemory()
{
    Memory m {};
    std::memcpy(m.data(), kTextId.data(), kTextId.size());
    for (BlockNo b = 0; b < kChannelBlocks; ++b) {
        Byte* ch = m.data() + BlockOffset(b);
        const Byte head[10] = {kChannelEmpty, 0x01, 0x00, 0x04, 0x93, 0xE0, 0x00, 0x04, 0x93, 0xE0};
        std::memcpy(ch, head, sizeof head);
        char tag[9];
        std::snprintf(tag, sizeof tag, "  CH-%03d", b + 1);
        std::memcpy(ch + 10, tag, 8);
        std::memset(ch + 26, 0xFF, 6);
    }
    m[16388] = 0xA5;
    m[16389] = 0x69;
    m[17924] = 0xA5;
    m[17925] = 0x69;
    return m;
}

}  // namespace mv53::radiosim
