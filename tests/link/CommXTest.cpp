// The serial port component over a pseudo-terminal whose master plays the far end: bytes both
// ways, chunking, line settings, reopening, waits that keep events flowing, and a far end that
// goes away in the middle.

#include "link/CommX.h"
#include "platform/PortMap.h"
#include "TestPty.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

using mv53::test::TestPattern;
using mv53::test::TestPty;

namespace {

// Processes events until the condition holds; the limit only keeps a broken build from hanging.
bool WaitUntil(const std::function<bool()>& done, int limitMs = 20000)
{
    QTimer tick;
    tick.start(5);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return done();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void Settle()
{
    WaitUntil([] { return false; }, 50);
}

// Records the chunks that Write hands to the transmit thread.
class ChunkRecorder final : public TCustomCommX {
public:
    std::vector<int> chunks;

protected:
    void ChunkHandedOver(int size) override { chunks.push_back(size); }
};

// Collects what OnReceive announces, read the way the clone window reads it.
struct Collector {
    std::vector<uint8_t> bytes;
    std::vector<int> sizes;

    void Attach(TCustomCommX& comm)
    {
        QObject::connect(&comm, &TCustomCommX::OnReceive, &comm,
                         [this](TCustomCommX* sender, int size) {
                             sizes.push_back(size);
                             std::vector<uint8_t> buffer(static_cast<std::size_t>(size) + 1);
                             const int n = sender->Read(buffer.data(), size);
                             if (n > 0)
                                 bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
                         });
    }
};

std::string ThrownMessage(const std::function<void()>& action, std::string* detail = nullptr)
{
    try {
        action();
    } catch (const ECommError& e) {
        if (detail)
            *detail = e.Detail();
        return e.what();
    }
    return {};
}

class CommXTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_pty.Ok()); }
    void OpenOnPty(TCustomCommX& comm)
    {
        comm.SetDevicePath(m_pty.Path());
        comm.Open();
    }
    TestPty m_pty;
};

TEST(CommX, ClosedPortRefusesQuietly)
{
    // Rates below 10 bit/s must not divide by zero.
    EXPECT_GT(TCustomCommX::CharTimeMs(0), 0);
    EXPECT_GT(TCustomCommX::CharTimeMs(5), 0);
    TCommX comm;
    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_TRUE(comm.Write(buffer, 0));
    EXPECT_FALSE(comm.Write(buffer, 4));
    EXPECT_FALSE(comm.WriteChar(0x55));
    EXPECT_EQ(comm.Read(buffer, 4), -1);
    comm.Close();
    // Assigning a setting while closed does not open the port.
    comm.SetPortNo(4);
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommXTest, OpenFailuresRaise)
{
    TCommX comm;
    comm.SetDevicePath("/dev/mv53-no-such-port");
    std::string detail;
    EXPECT_EQ(ThrownMessage([&] { comm.Open(); }, &detail), kCommOpenError);
    EXPECT_NE(detail.find("/dev/mv53-no-such-port"), std::string::npos);
    EXPECT_NE(detail.find("no such port"), std::string::npos) << detail;
    EXPECT_FALSE(comm.IsOpen());

    OpenOnPty(comm);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_GE(comm.Handle(), 0);
    EXPECT_EQ(ThrownMessage([&] { comm.Open(); }), kCommAlreadyOpen);
    EXPECT_TRUE(comm.IsOpen());

    // A second component cannot take the same port.
    TCommX other;
    other.SetDevicePath(m_pty.Path());
    EXPECT_EQ(ThrownMessage([&] { other.Open(); }, &detail), kCommOpenError);
    EXPECT_NE(detail.find("in use"), std::string::npos) << detail;

    // A refused setting during Open closes the port again.
    comm.Close();
    comm.SetBitRate(12345);
    EXPECT_EQ(ThrownMessage([&] { comm.Open(); }), kCommBitRateError);
    EXPECT_FALSE(comm.IsOpen());
    comm.SetBitRate(9600);
    comm.Open();
    EXPECT_TRUE(comm.IsOpen());
}

TEST_F(CommXTest, LineSettingsReachTheLine)
{
    TCommX comm;
    comm.SetBitRate(19200);
    comm.SetStopBit(csb2);
    OpenOnPty(comm);
    termios master = m_pty.MasterSettings();
    EXPECT_EQ(cfgetospeed(&master), B19200);
    EXPECT_TRUE(master.c_cflag & CSTOPB);
    // The default RTS/CTS flow control is not in force after Open ...
    EXPECT_FALSE(m_pty.SlaveSettings().c_cflag & CRTSCTS);
    // ... until FlowCtrl is assigned on the open port.
    comm.SetFlowCtrl(cfcRtsCts);
    EXPECT_TRUE(m_pty.SlaveSettings().c_cflag & CRTSCTS);
    comm.SetFlowCtrl(cfcXonXoff);
    termios slave = m_pty.SlaveSettings();
    EXPECT_FALSE(slave.c_cflag & CRTSCTS);
    EXPECT_TRUE(slave.c_iflag & IXON);
    EXPECT_TRUE(slave.c_iflag & IXOFF);
    comm.SetXonChar(0x01);
    EXPECT_EQ(m_pty.SlaveSettings().c_cc[VSTART], 0x01);
    comm.SetFlowCtrl(cfcNone);

    comm.SetBitRate(1200);
    comm.SetStopBit(csb1);
    master = m_pty.MasterSettings();
    EXPECT_EQ(cfgetospeed(&master), B1200);
    EXPECT_FALSE(master.c_cflag & CSTOPB);

    // A refused value raises, stays stored, and leaves the port open.
    EXPECT_EQ(ThrownMessage([&] { comm.SetBitRate(12345); }), kCommBitRateError);
    EXPECT_EQ(comm.BitRate(), 12345);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(ThrownMessage([&] { comm.SetCharSize(9); }), kCommCharSizeError);
}

// Close from inside a handler does not deadlock; Close while a notice waits to be handled does
// not wait for it and drops it.
TEST_F(CommXTest, CloseFromAHandlerOrWhileANoticeWaits)
{
    for (const bool inHandler : {true, false}) {
        SCOPED_TRACE(inHandler ? "in the handler" : "while the notice waits");
        TCommX comm;
        int calls = 0;
        QObject::connect(&comm, &TCustomCommX::OnReceive, &comm, [&](TCustomCommX* sender, int) {
            ++calls;
            if (inHandler)
                sender->Close();
        });
        OpenOnPty(comm);
        ASSERT_TRUE(m_pty.WriteAll({0x42}));
        if (inHandler) {
            ASSERT_TRUE(WaitUntil([&] { return !comm.IsOpen(); }));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));   // the receive thread now waits
            comm.Close();
            Settle();
        }
        EXPECT_EQ(calls, inHandler ? 1 : 0);
    }
}

TEST_F(CommXTest, CloseDuringAWaitEndsTheWait)
{
    TCommX comm;
    comm.SetTimeOutReceive(10000);
    OpenOnPty(comm);
    QTimer::singleShot(20, &comm, [&] { comm.Close(); });
    uint8_t buffer[10];
    EXPECT_EQ(comm.Read(buffer, 10), -1);

    // The far end does not read: Write waits with a full queue until Close ends it.
    comm.Open();
    const auto out = TestPattern(1 << 20);
    QTimer::singleShot(200, &comm, [&] { comm.Close(); });
    EXPECT_FALSE(comm.Write(out.data(), static_cast<int>(out.size())));
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommXTest, FarEndGoingAwayEndsWithOneHangUp)
{
    TCommX comm;
    int hangUps = 0;
    QObject::connect(&comm, &TCustomCommX::OnHangUp, &comm, [&](TCustomCommX*) { ++hangUps; });
    comm.SetTimeOutTrans(0); // writes wait without limit
    OpenOnPty(comm);
    // More than the far end takes without reading, so the transmit thread waits for room.
    const auto out = TestPattern(60000);
    ASSERT_TRUE(comm.Write(out.data(), static_cast<int>(out.size())));

    m_pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return hangUps > 0; }));
    EXPECT_TRUE(comm.HungUp());
    EXPECT_FALSE(comm.Write(out.data(), 10));
    uint8_t buffer[4];
    EXPECT_EQ(comm.Read(buffer, 4), -1);
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
    Settle();
    EXPECT_EQ(hangUps, 1);
}

TEST_F(CommXTest, WriteGivesUpOnALineThatTakesNothing)
{
    ChunkRecorder comm;
    comm.SetTimeOutTrans(200);
    OpenOnPty(comm);
    // The far end never reads: after the queue fills, the line takes no byte any more.
    const auto out = TestPattern(1 << 20);
    EXPECT_FALSE(comm.Write(out.data(), static_cast<int>(out.size())));
    const int handed = std::accumulate(comm.chunks.begin(), comm.chunks.end(), 0);
    EXPECT_LT(handed, static_cast<int>(out.size()));
    // Close completes although the queued bytes can never be sent.
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
}

// The far end of an echoed transfer: takes bytes one at a time and answers each, until it has
// answered `answers` bytes; the answer to byte `wrongAt` is altered. Returns what it took.
std::vector<uint8_t> EchoBytes(const TestPty& pty, std::size_t answers, std::size_t wrongAt = SIZE_MAX)
{
    std::vector<uint8_t> taken;
    while (taken.size() < answers) {
        const auto b = pty.ReadBytes(1);
        if (b.size() != 1)
            break;
        taken.push_back(b[0]);
        const uint8_t answer = taken.size() - 1 == wrongAt ? static_cast<uint8_t>(b[0] ^ 0x5A) : b[0];
        pty.WriteAll({answer});
    }
    return taken;
}

TEST_F(CommXTest, EchoedSendingSendsAByteOnlyAfterTheLastCameBack)
{
    TCommX comm;
    Collector in;
    in.Attach(comm);
    int ends = 0;
    QObject::connect(&comm, &TCustomCommX::OnEchoEnd, &comm, [&](TCustomCommX*) { ++ends; });
    OpenOnPty(comm);
    const auto out = TestPattern(300);
    const auto run = [&](std::size_t answers, std::size_t wrongAt, int silenceMs) {
        ends = 0;
        std::vector<uint8_t> taken;
        std::thread farEnd([&] { taken = EchoBytes(m_pty, answers, wrongAt); });
        EXPECT_TRUE(comm.StartEchoed(out, silenceMs));
        EXPECT_FALSE(comm.StartEchoed(out, silenceMs));   // one at a time
        EXPECT_TRUE(WaitUntil([&] { return ends > 0; }));
        farEnd.join();
        return taken;
    };

    // Every echo right; what comes after the last is reported as received bytes.
    auto taken = run(out.size(), SIZE_MAX, 1000);
    EXPECT_EQ(taken, out);
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::Echoed);
    EXPECT_EQ(comm.EchoResult().echoed, static_cast<int>(out.size()));
    EXPECT_EQ(comm.EchoedCount(), static_cast<int>(out.size()));
    EXPECT_TRUE(in.bytes.empty());
    ASSERT_TRUE(m_pty.WriteAll({0xAA}));
    EXPECT_TRUE(WaitUntil([&] { return !in.bytes.empty(); }));
    EXPECT_EQ(in.bytes, std::vector<uint8_t>{0xAA});

    // A wrong echo of byte 100: nothing after it is sent.
    taken = run(101, 100, 1000);
    EXPECT_EQ(taken, std::vector<uint8_t>(out.begin(), out.begin() + 101));
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::WrongEcho);
    EXPECT_EQ(comm.EchoResult().echoed, 100);
    EXPECT_EQ(comm.EchoResult().wrongByte, out[100] ^ 0x5A);
    EXPECT_TRUE(m_pty.ReadBytes(1, 300).empty());

    // No echo at all: silence ends it after one byte.
    const auto started = std::chrono::steady_clock::now();
    taken = run(0, SIZE_MAX, 200);
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::Silence);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
    EXPECT_EQ(m_pty.ReadBytes(2, 300), std::vector<uint8_t>{out[0]});

    // Stopped while it waits for an echo: no further byte.
    ends = 0;
    ASSERT_TRUE(comm.StartEchoed(out, 10000));
    EXPECT_EQ(m_pty.ReadBytes(1), std::vector<uint8_t>{out[0]});
    comm.StopEchoed();
    EXPECT_TRUE(WaitUntil([&] { return ends > 0; }, 2000));
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::Stopped);
    EXPECT_TRUE(m_pty.ReadBytes(1, 300).empty());
    EXPECT_EQ(ends, 1);

    // The far end goes away in the middle.
    int hangUps = 0;
    QObject::connect(&comm, &TCustomCommX::OnHangUp, &comm, [&](TCustomCommX*) { ++hangUps; });
    ends = 0;
    ASSERT_TRUE(comm.StartEchoed(out, 10000));
    EXPECT_EQ(EchoBytes(m_pty, 5).size(), 5u);
    EXPECT_EQ(m_pty.ReadBytes(1), std::vector<uint8_t>{out[5]});   // the fifth echo was taken
    m_pty.CloseMaster();
    EXPECT_TRUE(WaitUntil([&] { return ends > 0 && hangUps > 0; }, 5000));
    EXPECT_EQ(comm.EchoResult().end, TEchoEnd::HungUp);
    EXPECT_EQ(comm.EchoResult().echoed, 5);
    EXPECT_FALSE(comm.StartEchoed(out, 1000));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
