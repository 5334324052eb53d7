// On a paced line a live adjustment is stamped when its frame is in at the radio, one line time
// after the PC wrote it, not when the simulator read the bytes the pseudo-terminal handed over
// at once (delays measured from the stamp would otherwise come out shorter than the line).

#include "SimRadio.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(RadioSimulatorPacing, ALiveFrameArrivesAfterItsLineTime)
{
    mv53::radiosim::RadioSimulator radio;
    radio.SetPacing(true);
    ASSERT_TRUE(radio.Start()) << radio.LastError();
    mv53::test::SimPort pc(radio.DevicePath());
    ASSERT_TRUE(pc.IsOpen());
    const auto written = std::chrono::steady_clock::now();
    ASSERT_TRUE(pc.SendFrame(mv53::radiosim::cmd::AdjustValue, 0xE108, {0x11}));
    ASSERT_TRUE(radio.WaitForFrames(1, 3000ms));
    // 37 bytes of 11 bits (8N2) at 9600 bit/s.
    const auto lineTime = std::chrono::microseconds(37 * 11 * 1'000'000 / 9600);
    ASSERT_EQ(radio.Adjustments().size(), 1u);
    EXPECT_GE(radio.Adjustments().front().time - written, lineTime);
}
