// The simulator driven byte by byte from the PC's end of the line, for what the clone transfers
// over the wire never show: the radio waits for the PC's acknowledge of each frame it sends, a
// live frame's time on a paced line, and the boot program's refusals.

#include "SimRadio.h"

#include <gtest/gtest.h>

using namespace mv53::radiosim;
using namespace std::chrono_literals;
using mv53::test::SimPort;

namespace {

class RadioSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pc.IsOpen()); }

    std::unique_ptr<RadioSimulator> m_radio = mv53::test::StartedRadio();
    SimPort m_pc{m_radio->DevicePath()};
};

TEST_F(RadioSimulatorTest, UploadWaitsForEachAcknowledge)
{
    m_radio->SetMemory(mv53::test::RadioMemory(mv53::test::ClearedRecords(
        [](TMVmem& m) { m.Channels().Items(3).SetStatus(mv53::kChannelUsed); })));
    ASSERT_TRUE(m_pc.SendFrame(cmd::ReadAll, 0));
    ASSERT_EQ(m_pc.Read(kChannelFrameSize).size(), kChannelFrameSize);
    EXPECT_TRUE(m_pc.ReadExtra().empty());
    ASSERT_TRUE(m_pc.SendByte(kAccept));
    const auto end = m_pc.Read(kChannelFrameSize);
    ASSERT_EQ(end.size(), kChannelFrameSize);
    EXPECT_EQ(end[0] << 8 | end[1], 0x01F4);
    EXPECT_TRUE(m_pc.ReadExtra().empty());

    // Anything but the acknowledge ends the stream; the radio then takes commands again.
    ASSERT_TRUE(m_pc.SendFrame(cmd::Identify, 0x1000));
    EXPECT_EQ(m_pc.Read(kIdentifyReplySize).size(), kIdentifyReplySize);
}

// On a paced line a live adjustment is stamped when its frame is in at the radio, one line time
// after the PC wrote it, not when the simulator read the bytes the pseudo-terminal handed over
// at once (delays measured from the stamp would otherwise come out shorter than the line).
TEST(RadioSimulatorPacing, ALiveFrameArrivesAfterItsLineTime)
{
    RadioSimulator radio;
    radio.SetPacing(true);
    ASSERT_TRUE(radio.Start()) << radio.LastError();
    SimPort pc(radio.DevicePath());
    ASSERT_TRUE(pc.IsOpen());
    const auto written = std::chrono::steady_clock::now();
    ASSERT_TRUE(pc.SendFrame(cmd::AdjustValue, 0xE108, {0x11}));
    ASSERT_TRUE(radio.WaitForFrames(1, 3000ms));
    // 37 bytes of 11 bits (8N2) at 9600 bit/s.
    const auto lineTime = std::chrono::microseconds(37 * 11 * 1'000'000 / 9600);
    ASSERT_EQ(radio.Adjustments().size(), 1u);
    EXPECT_GE(radio.Adjustments().front().time - written, lineTime);
}

// The boot mode at byte level (the writing itself runs against the simulator in the firmware
// writer's tests). The engine alone in its boot program: a bit-rate command or HD64F2134ATF20 area header with one
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
            std::vector<BootByte> bytes(8, 0x00), out;
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
