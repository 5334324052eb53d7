// The POSIX serial device over a pseudo-terminal: opening and its refusals, line settings as the
// far end sees them, data both ways, waking a waiter, arrivals told apart from bytes waiting,
// and a far end that goes away.

#include "platform/SerialDevicePosix.h"
#include "platform/SerialTrace.h"
#include "platform/TracingDevice.h"
#include "ScratchDir.h"
#include "TestPty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <cerrno>
#include <thread>
#include <utility>

using namespace mv53::platform;
using mv53::test::TestPty;

namespace {

// A refused open carries its reason, and the advice the transfer windows put after
// "Cannot open COMn: " names what to do.
TEST(SerialDevicePosix, OpenRefusalsCarryTheReasonAndAdvice)
{
    auto device = CreateSerialDevice();
    EXPECT_EQ(device->Open("/dev/mv53-no-such-port"), ENOENT);
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(device->NativeHandle(), -1);
    // A file that is not a terminal is no serial port.
    EXPECT_EQ(device->Open("/dev/null"), ENOTTY);

    const std::string missing = OpenErrorReason("/dev/ttyUSB7", ENOENT);
    EXPECT_NE(missing.find("/dev/ttyUSB7"), std::string::npos);
    EXPECT_NE(missing.find(ErrorText(ENOENT)), std::string::npos);
    const std::pair<int, const char*> cases[] = {
        {EBUSY, "in use by another program"}, {EWOULDBLOCK, "in use by another program"},
        {ENOENT, "cable is plugged in"},      {ENXIO, "cable is plugged in"},
        {EACCES, "dialout group"},            {EPERM, "dialout group"},
    };
    for (const auto& [error, words] : cases)
        EXPECT_NE(OpenFailureAdvice(error).find(words), std::string::npos) << error;
    EXPECT_EQ(OpenFailureAdvice(EIO), "");
    EXPECT_NE(OpenErrorReason("/dev/ttyUSB0", EACCES).find("dialout group"), std::string::npos);
    EXPECT_NE(OpenErrorReason("/dev/ttyUSB0", EBUSY).find("in use"), std::string::npos);
}

// A device open on a pseudo-terminal whose master plays the far end.
class SerialDevicePty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.Ok());
        ASSERT_EQ(device->Open(pty.Path()), 0);
    }
    TestPty pty;
    std::unique_ptr<SerialDevice> device = CreateSerialDevice();
};

// The settings themselves reach the line through the serial component's tests; here: the line
// is raw, and refused settings change nothing on it.
TEST_F(SerialDevicePty, RefusedLineSettingsChangeNothing)
{
    LineSettings s;
    s.baudRate = 1200;
    ASSERT_EQ(device->SetLineSettings(s), 0);
    EXPECT_FALSE(pty.SlaveSettings().c_lflag & ICANON);
    for (const auto& [rate, bits] : {std::pair{12345, 8}, std::pair{9600, 9}}) {
        s.baudRate = rate;
        s.dataBits = bits;
        EXPECT_EQ(device->SetLineSettings(s), EINVAL) << rate << " " << bits;
    }
    termios master = pty.MasterSettings();
    EXPECT_EQ(cfgetospeed(&master), B1200);
    LineSettings back;
    ASSERT_EQ(device->GetLineSettings(back), 0);
    EXPECT_EQ(back.baudRate, 1200);
    // A pseudo-terminal has no modem lines: DTR and RTS are accepted without effect.
    EXPECT_EQ(device->SetRts(false), 0);
    EXPECT_EQ(device->SetDtr(false), 0);
}

TEST_F(SerialDevicePty, WaitsReadsAndPurges)
{
    uint8_t buffer[300];
    IoResult r = device->Read(buffer, sizeof buffer);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.error, EAGAIN);
    EXPECT_EQ(device->WaitEvent(0, true), kEventTimeout);

    const auto pattern = mv53::test::TestPattern(0);
    ASSERT_TRUE(pty.WriteAll(pattern));
    EXPECT_TRUE(device->WaitEvent(5000, true) & kEventData);
    int waiting = 0;
    ASSERT_EQ(device->BytesWaiting(waiting), 0);
    EXPECT_EQ(waiting, 256);
    // Without watching data the wait does not see the waiting bytes.
    EXPECT_EQ(device->WaitEvent(0, false), kEventTimeout);
    r = device->Read(buffer, sizeof buffer);
    ASSERT_EQ(r.count, 256);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 256), pattern);
    EXPECT_TRUE(device->WaitWritable(1000) & kEventWritable);

    // Purging the input discards what the far end sent.
    ASSERT_TRUE(pty.WriteAll(pattern));
    ASSERT_TRUE(device->WaitEvent(5000, true) & kEventData);
    ASSERT_EQ(device->Purge(true, false), 0);
    ASSERT_EQ(device->BytesWaiting(waiting), 0);
    EXPECT_EQ(waiting, 0);
    EXPECT_EQ(device->ClearErrors(), 0u);
}

TEST_F(SerialDevicePty, WakeEndsAWaitWithoutLimit)
{
    std::atomic<unsigned> seen{0};
    std::thread waiter([&] { seen = device->WaitEvent(-1, true); });
    device->WakeEventWaiter();
    waiter.join();
    EXPECT_EQ(seen.load(), kEventWoken);

    // A wake that comes first is kept for the next wait.
    device->WakeWriteWaiter();
    EXPECT_TRUE(device->WaitWritable(-1) & kEventWoken);
}

TEST_F(SerialDevicePty, NewDataMeansArrivalsNotBytesWaiting)
{
    ASSERT_TRUE(pty.WriteAll({1, 2, 3}));
    ASSERT_TRUE(device->WaitEvent(5000, true) & kEventData);
    // The arrival may be reported once more; after that, unread bytes alone do not end a wait.
    for (int i = 0; i < 3 && (device->WaitNewData(20) & kEventData); ++i) {
    }
    EXPECT_EQ(device->WaitNewData(50), kEventTimeout);
    int waiting = 0;
    ASSERT_EQ(device->BytesWaiting(waiting), 0);
    EXPECT_EQ(waiting, 3);

    ASSERT_TRUE(pty.WriteAll({4}));
    EXPECT_TRUE(device->WaitNewData(5000) & kEventData);
    ASSERT_EQ(device->BytesWaiting(waiting), 0);
    EXPECT_EQ(waiting, 4);

    device->WakeEventWaiter();
    EXPECT_TRUE(device->WaitNewData(-1) & kEventWoken);
    pty.CloseMaster();
    EXPECT_TRUE(device->WaitNewData(5000) & kEventHangUp);
}

TEST_F(SerialDevicePty, FarEndClosingIsAHangUp)
{
    std::atomic<unsigned> seen{0};
    std::thread waiter([&] { seen = device->WaitEvent(-1, true); });
    pty.CloseMaster();
    waiter.join();
    EXPECT_TRUE(seen.load() & kEventHangUp);

    uint8_t byte = 0x55;
    EXPECT_TRUE(IsHangUpError(device->Read(&byte, 1).error));
    EXPECT_TRUE(IsHangUpError(device->Write(&byte, 1).error));
    EXPECT_TRUE(device->WaitWritable(-1) & kEventHangUp);
    device->Close();
    EXPECT_FALSE(device->IsOpen());
}

// The radio answers, and the reader thread takes the answer, while the write that asked is
// still returning: the trace keeps the question first, or a replay would answer unasked.
TEST(TracingDevice, AReplyIsTracedAfterTheWriteThatAskedForIt)
{
    class SlowToReturn final : public SerialDevicePosix {
        IoResult Write(const void* buffer, std::size_t size) override
        {
            const IoResult result = SerialDevicePosix::Write(buffer, size);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return result;
        }
    };
    TestPty pty;
    mv53::test::ScratchDir dir;
    auto writer = std::make_shared<TraceWriter>();
    std::string error;
    ASSERT_TRUE(writer->Open(dir.Path("t.trace"), error)) << error;
    TracingDevice traced(std::make_unique<SlowToReturn>(), writer);
    ASSERT_EQ(traced.Open(pty.Path()), 0);
    std::thread radio([&] {
        if (pty.ReadBytes(1).size() == 1)
            pty.WriteAll({0x06});
    });
    std::thread reader([&] {
        uint8_t byte = 0;
        while (traced.WaitReadable(5000) & kEventData)
            if (traced.Read(&byte, 1).count > 0)
                break;
    });
    const uint8_t ask = 0x41;
    traced.Write(&ask, 1);
    radio.join();
    reader.join();
    traced.Close();
    ASSERT_TRUE(writer->Finish(error)) << error;

    std::vector<TraceEvent> events;
    ASSERT_TRUE(ReadSerialTrace(mv53::test::ReadFile(dir.Path("t.trace")), events, error)) << error;
    std::vector<TraceKind> kinds;
    for (const TraceEvent& event : events)
        if (event.kind == TraceKind::Tx || event.kind == TraceKind::Rx)
            kinds.push_back(event.kind);
    EXPECT_EQ(kinds, (std::vector<TraceKind>{TraceKind::Tx, TraceKind::Rx}));
}

} // namespace
