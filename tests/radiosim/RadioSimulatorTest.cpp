// The simulator driven byte by byte from the PC's end of the line, for what the clone transfers
// over the wire never show: the replies to frames the PC does not send, damaged frames, exact
// hang-ups, live values, the port left reusable, memory files and the program.

#include "RunProcess.h"
#include "SimProgram.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include <sys/ioctl.h>

// Designated initializers name only the faults that matter; GCC 12 would warn of the rest.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace mv53::radiosim;
using mv53::BlockNo;
using mv53::BlockOffset;
using mv53::Byte;
using mv53::test::SimPort;
using namespace std::chrono_literals;

namespace {

constexpr auto kWait = 3000ms;

class RadioSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pc.IsOpen()); }

    // Sends a frame and returns the answer byte (or nothing), once the radio has handled it.
    std::vector<Byte> Exchange(Command command, std::uint16_t address, const std::vector<Byte>& data = {})
    {
        const std::size_t before = m_radio->Frames().size();
        EXPECT_TRUE(m_pc.SendFrame(command, address, data));
        EXPECT_TRUE(m_radio->WaitForFrames(before + 1, kWait));
        return m_pc.Read(1, 200ms);
    }

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
