// The simulator's boot mode at byte level over a pseudo-terminal: it answers only at its own
// bit rate, echoes the boot program, follows the bit-rate command, writes an area into its
// flash and sums it; a closed port does not start the boot mode over, a power cycle does. The
// boot program refuses commands that differ from what the writer must send.

#include "PtyClient.h"
#include "RadioSimulator.h"

#include <gtest/gtest.h>

#include <termios.h>

using namespace std::chrono_literals;
using mv53::radiosim::BootByte;
using mv53::radiosim::BootCpu;
using mv53::radiosim::BootEngine;
using mv53::radiosim::RadioSimulator;
using mv53::radiosim::test::PtyClient;

namespace {

void SetRate(PtyClient& pc, speed_t speed)
{
    termios tio {};
    ::tcgetattr(pc.Fd(), &tio);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(pc.Fd(), TCSANOW, &tio);
}

const std::vector<BootByte> kZeros(8, 0x00);

TEST(BootMode, AnswersAtItsRateOnlyAndRunsTheBootProgramWrite)
{
    RadioSimulator radio;
    radio.SetBootMode(true);
    radio.SetBootBehaviour({.rate = 4800, .cpu = BootCpu::HD64F2134FA20, .flashFill = 0x00});
    radio.SetBootFaults({.wrongEchoAt = 3, .rounds = 1});
    ASSERT_TRUE(radio.Start());
    PtyClient pc(radio.DevicePath());
    ASSERT_TRUE(pc.IsOpen());

    for (const speed_t wrong : {B19200, B9600, B2400}) {
        SetRate(pc, wrong);
        pc.Send(kZeros);
        EXPECT_TRUE(pc.ReadExtra(300ms).empty());
    }
    SetRate(pc, B4800);
    pc.Send(kZeros);
    EXPECT_EQ(pc.Read(1), std::vector<BootByte>{0x00});
    pc.SendByte(0x55);
    EXPECT_EQ(pc.Read(1), std::vector<BootByte>{0xAA});
    pc.Send({0x08, 0x5E});
    EXPECT_EQ(pc.Read(2), (std::vector<BootByte>{0x08, 0x5E}));
    std::vector<BootByte> echo;
    for (int i = 0; i < 5; ++i) {
        pc.SendByte(static_cast<BootByte>(0x40 + i));
        const auto got = pc.Read(1);
        ASSERT_EQ(got.size(), 1u);
        echo.push_back(got[0]);
    }
    EXPECT_EQ(echo, (std::vector<BootByte>{0x40, 0x41, 0x42, static_cast<BootByte>(~0x43), 0x44}));

    // The PC gives up and closes; the radio does not notice: a new handshake's bytes go into the
    // half-loaded boot program. Only switching the radio off and on starts over (and the faults
    // of round 1 are gone).
    pc.Close();
    PtyClient again(radio.DevicePath());
    SetRate(again, B4800);
    std::this_thread::sleep_for(100ms);   // the close reaches the simulator
    again.Send(kZeros);
    EXPECT_EQ(again.Read(8), kZeros);
    again.SendByte(0x55);
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x55});
    radio.PowerCycle();
    again.Send(kZeros);
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x00});
    again.SendByte(0x55);
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0xAA});
    again.Send({0x08, 0x5E});
    EXPECT_EQ(again.Read(2).size(), 2u);
    std::vector<BootByte> program(2142);
    for (std::size_t i = 0; i < program.size(); ++i)
        program[i] = static_cast<BootByte>(i * 13);
    again.Send(program);
    const auto echoed = again.Read(2143);
    ASSERT_EQ(echoed.size(), 2143u);
    EXPECT_TRUE(std::equal(program.begin(), program.end(), echoed.begin()));
    EXPECT_EQ(echoed.back(), 0xAA);
    EXPECT_EQ(radio.GetBootLog().program, program);

    // Bit rate 9600, then area 2 (0x1000, two 64-byte blocks).
    again.Send({0x53, 0x00, 0x00, 0x25, 0x80, 0x00, 0x00, 0x0F, 0xA0, 0x01, 0x00, 0x01});
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x06});
    SetRate(again, B9600);
    again.SendByte(0x06);
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x06});
    again.Send({0x57, 0x00});
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x06});
    again.Send({0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x80});
    std::uint8_t sum = 0;
    for (int block = 0; block < 2; ++block) {
        EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x11});
        std::vector<BootByte> bytes{0x11};
        for (int i = 0; i < 64; ++i) {
            bytes.push_back(static_cast<BootByte>(block * 64 + i));
            sum = static_cast<std::uint8_t>(sum + bytes.back());
        }
        again.Send(bytes);
    }
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x11});
    again.Send({0x11, static_cast<BootByte>(~sum)});
    EXPECT_EQ(again.Read(1), std::vector<BootByte>{0x06});

    const auto flash = radio.Flash();
    std::uint32_t expected = 0;
    for (std::size_t a = 0; a < flash.size(); ++a) {
        const BootByte want = (a >= 0x1000 && a < 0x1080) ? static_cast<BootByte>(a - 0x1000) : 0xFF;
        ASSERT_EQ(flash[a], want) << a;
        expected += want;
    }
    again.SendByte(0x43);
    const auto checksum = again.Read(4);
    ASSERT_EQ(checksum.size(), 4u);
    EXPECT_EQ(static_cast<std::uint32_t>(checksum[0] << 24 | checksum[1] << 16 | checksum[2] << 8 | checksum[3]),
              expected);
}

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
