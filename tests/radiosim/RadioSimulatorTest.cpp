// The simulator driven byte by byte from the PC's end of the line, for what the clone transfers
// over the wire never show: the radio waits for the PC's acknowledge of each frame it sends.

#include "SimRadio.h"

#include <gtest/gtest.h>

using namespace mv53::radiosim;
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

}  // namespace
