// The simulator's boot mode at byte level: it answers only at its own bit rate, and its boot
// program refuses commands that differ from what the writer must send. The writing itself runs
// against the simulator in the firmware writer's tests.

#include "SimRadio.h"

#include <gtest/gtest.h>

using mv53::radiosim::BootByte;
using mv53::radiosim::BootEngine;

namespace {

const std::vector<BootByte> kZeros(8, 0x00);

// The engine alone in its boot program: a bit-rate command or HD64F2134ATF20 area header with one
// byte changed from the sixth (the ninth of the header) on is refused with 07.
TEST(BootMode, BootProgramRefusesABitRateCommandOrATF20HeaderWithAWrongByte)
{
    const struct Command {
        std::vector<BootByte> bytes;
        std::size_t checkedFrom;
        BootByte answer;
    } commands[] = {
        {{0x53, 0x00, 0x00, 0x96, 0x00, 0x00, 0x00, 0x4D, 0x6C, 0x01, 0x00, 0x01}, 5, 0x06},
        {{0x57, 0x00, 0x8B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00}, 11, 0x11},
    };
    for (const Command& c : commands) {
        for (std::size_t wrong = c.checkedFrom - 1; wrong < c.bytes.size(); ++wrong) {
            SCOPED_TRACE(::testing::PrintToString(c.bytes) + " byte " + std::to_string(wrong));
            std::vector<BootByte> bytes = kZeros, out;
            bytes.insert(bytes.end(), {0x55, 0x08, 0x5E});
            bytes.resize(bytes.size() + BootEngine::kProgramSize, 0x01);
            bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
            if (wrong >= c.checkedFrom)
                bytes[bytes.size() - c.bytes.size() + wrong] ^= 0x10;
            BootEngine engine;
            for (const BootByte b : bytes)
                engine.Receive(b, 9600, out);
            EXPECT_EQ(out.back(), wrong >= c.checkedFrom ? 0x07 : c.answer);
        }
    }
}

}  // namespace
