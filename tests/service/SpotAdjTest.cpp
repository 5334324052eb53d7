// The live adjustment against the radio simulator over a pseudo-terminal: the frames the radio
// receives (its adjustment log), what it holds afterwards, and the 150 ms spacing.

#include "service/AlignmentTags.h"
#include "service/SpotAdj.h"
#include "RadioSimulator.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <chrono>

namespace sim = mv53::radiosim;
using mv53::TSpotAdjSender;
using namespace std::chrono_literals;

namespace {

class SpotAdjTest : public ::testing::Test {
protected:
    sim::RadioSimulator radio;
    TProgramState state;
    std::unique_ptr<TSpotAdjSender> sender;

    void SetUp() override
    {
        ASSERT_TRUE(radio.Start()) << radio.LastError();
        sender = std::make_unique<TSpotAdjSender>(state);
        sender->SetDevicePath(radio.DevicePath());
    }
    // Opens the port and lets the first interval pass, so that the next change goes at once.
    void OpenReady()
    {
        ASSERT_TRUE(sender->Open());
        QTest::qWait(TSpotAdjSender::kSendIntervalMs + 30);
        ASSERT_TRUE(sender->SendReady());
    }
};

}  // namespace

TEST(AlignmentTags, LiveBytesOfEveryKindOfValue)
{
    using mv53::alignment::LiveBytes;
    using B = std::vector<mv53::alignment::TLiveByte>;
    const std::tuple<int, int, B> cases[] = {   // tag, value held, bytes sent
        {1, 255, {{0xE108, 0xFF}}},                      // first value, first address
        {51, 3, {{0xE10A, 0x03}}},                       // DTCXO combo sits between tags 2 and 3
        {3, 7, {{0xE10B, 0x07}}},
        {5, -125, {{0xE10D, 0x83}}},                     // CLAR offset as 8-bit two's complement
        {52, 1, {{0xE111, 0x01}}},                       // CW PTT combo between tags 8 and 9
        {9, 300, {{0xE112, 0x2C}}},                      // low 8 bits only
        {46, 200, {{0xE137, 0xC8}}},
        {47, -150, {{0xE138, 0xFF}, {0xE139, 0x6A}}},    // -1500 Hz, high byte first
        {48, 150, {{0xE13A, 0x00}, {0xE13B, 0x96}}},
        {49, 1, {}},                                     // the serial edit is not sent live
        {50, 1, {}},                                     // nor the LCD test button
    };
    for (const auto& [tag, held, bytes] : cases)
        EXPECT_EQ(LiveBytes(tag, held), bytes) << "tag " << tag;
}

// A drag of the Tx gain track bar: a change every 5 ms for 600 ms. No two values reach the radio
// closer than the interval, far fewer frames than changes go out, and the radio ends on the
// last value, not on the one that happened to be sent last before the drag stopped.
TEST_F(SpotAdjTest, FastDragKeepsTheSpacingAndEndsOnTheLastValue)
{
    OpenReady();
    std::vector<std::chrono::steady_clock::time_point> sent;
    QObject::connect(sender.get(), &TSpotAdjSender::FrameSent, [&](uint16_t, uint8_t, bool end) {
        if (!end)
            sent.push_back(std::chrono::steady_clock::now());
    });
    int value = 0;
    QTimer drag;
    QObject::connect(&drag, &QTimer::timeout, [&] {
        if (value < 120)
            sender->ValueChanged(22, ++value);
    });
    drag.start(5);
    ASSERT_TRUE(QTest::qWaitFor([&value] { return value >= 120; }, 10000));
    drag.stop();
    QTest::qWait(2 * TSpotAdjSender::kSendIntervalMs + 100);
    EXPECT_FALSE(sender->HasPending());

    const std::vector<sim::AdjustEntry> log = radio.Adjustments();
    ASSERT_GE(log.size(), 2u);
    EXPECT_LT(log.size(), 60u);
    EXPECT_EQ(log.back(), (sim::AdjustEntry{0xE11F, 120, false}));
    EXPECT_EQ(radio.GetMemory()[17422 + 23], 120);   // position 24, the first SSB Tx gain
    // Stamped after each frame is written: a slow write of the earlier frame shortens the gap on a
    // loaded machine. Without the interval the gaps would be the drag's 5 ms.
    for (std::size_t i = 1; i < sent.size(); ++i)
        EXPECT_GE(sent[i] - sent[i - 1], 120ms) << "frames " << i - 1 << " and " << i;
}

// The CLAR offset asks for AdjustEnd with every change, also when the value itself waits.
TEST_F(SpotAdjTest, ClarChangeInsideTheIntervalStillEndsTheAdjustment)
{
    OpenReady();
    sender->ValueChanged(5, -1);
    sender->ValueChanged(5, -2);
    ASSERT_TRUE(QTest::qWaitFor([this] { return radio.Adjustments().size() >= 5; }, 5000));
    const std::vector<sim::AdjustEntry> expected{
        {0xE10D, 0xFF, false}, {0, 0, true}, {0, 0, true}, {0xE10D, 0xFE, false}, {0, 0, true}};
    EXPECT_EQ(radio.Adjustments(), expected);
}

TEST_F(SpotAdjTest, NothingIsSentBeforeTheFirstIntervalAfterCloseOrWithoutAPort)
{
    ASSERT_TRUE(sender->Open());
    EXPECT_FALSE(sender->SendReady());
    sender->ValueChanged(7, 99);
    sender->Close();
    TSpotAdjSender lost(state);
    lost.SetDevicePath("/dev/mv53-no-such-port");
    EXPECT_FALSE(lost.Open());
    EXPECT_FALSE(lost.IsOpen());
    QTest::qWait(TSpotAdjSender::kSendIntervalMs + 50);
    sender->ValueChanged(7, 98);
    EXPECT_EQ(radio.BytesReceived(), 0u);
    EXPECT_TRUE(radio.Adjustments().empty());
    EXPECT_FALSE(sender->IsOpen());
    EXPECT_FALSE(lost.SendReady());
    lost.ValueChanged(1, 1);   // ignored, no crash
}

// A radio that vanishes mid-adjustment ends the reply wait at once instead of 3 s per frame.
TEST_F(SpotAdjTest, VanishedRadioDoesNotHoldTheWindow)
{
    OpenReady();
    radio.Stop();
    QElapsedTimer t;
    t.start();
    sender->ValueChanged(1, 5);
    EXPECT_LT(t.elapsed(), 2500);
}
