// The POSIX serial device over a pseudo-terminal: opening and its refusals, line settings as the
// far end sees them, data both ways, waking a waiter, arrivals told apart from bytes waiting,
// and a far end that goes away; and the text form of serial traces.

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

// ---- The text form of serial traces ----

// What the recorder writes reads back as it was, and a bad line is refused with its number and
// the reason.
TEST(SerialTrace, WrittenLinesReadBack)
{
    const uint8_t bytes[] = {0x00, 0xAB, 0x7F};
    LineSettings boot;
    boot.baudRate = 19200;
    boot.dataBits = 7;
    boot.parity = Parity::Even;
    boot.stopBits = StopBits::OnePointFive;
    const std::string text = "# kept as a test\n" + TraceLine(0, TraceKind::Open, "/dev/ttyUSB0") +
                             TraceLine(5, TraceKind::Settings, LineSettingsText(LineSettings{})) +
                             TraceLine(5, TraceKind::Settings, LineSettingsText(boot)) +
                             TraceLine(900, TraceKind::Tx, {}, bytes, 3) + "\r\n" +
                             TraceLine(1200, TraceKind::HangUp, {}) + TraceLine(1300, TraceKind::Close, {});
    std::vector<TraceEvent> events;
    std::string error;
    ASSERT_TRUE(ReadSerialTrace(text, events, error)) << error;
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].text, "/dev/ttyUSB0");
    EXPECT_EQ(events[1].text, "9600 8N1");
    EXPECT_EQ(events[2].text, "19200 7E1.5");
    EXPECT_EQ(events[3].line, 5);
    EXPECT_EQ(events[3].micros, 900);
    EXPECT_EQ(events[3].bytes, (std::vector<uint8_t>{0x00, 0xAB, 0x7F}));
    EXPECT_EQ(events[5].kind, TraceKind::Close);
    EXPECT_EQ(HexBytes(bytes, 3, 2), "00 AB ...");
}

TEST(SerialTrace, ABadLineIsNamed)
{
    const struct {
        const char* text;
        const char* error;
    } rows[] = {
        {"12 tx 0G", "line 1: \"0G\" is not a byte in hexadecimal"}, {"12 tx 123", "line 1: \"123\" is not a byte in hexadecimal"},
        {"# a note\n\n5 rx\n", "line 3: rx holds no bytes"}, {"-4 close", "line 1: the time \"-4\" is not a number of microseconds"},
        {"99999999999999999999 close", "line 1: the time \"99999999999999999999\" is not a number of microseconds"},
        {"10 close\n5 open COM1", "line 2: the time goes back (5 after 10)"}, {"1 jump", "line 1: unknown event \"jump\""},
        {"1", "line 1: an event is missing after the time"}, {"1 open", "line 1: open names no device"},
        {"1 settings 9600 9N2", "line 1: settings \"9600 9N2\" are not like \"9600 8N2\""},
        {"1 settings 9600", "line 1: settings \"9600\" are not like \"9600 8N2\""},
        {"1 close now", "line 1: close takes nothing after it"},
    };
    for (const auto& row : rows) {
        std::vector<TraceEvent> events;
        std::string error;
        EXPECT_FALSE(ReadSerialTrace(row.text, events, error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}

// White space at the end of a trace line, other than blanks and tabs, is no part of its text:
// a line written back from what was read reads the same.
TEST(SerialTrace, WhiteSpaceAtTheEndOfALineIsDropped)
{
    std::vector<TraceEvent> events;
    std::string error;
    ASSERT_TRUE(ReadSerialTrace("5 settings 9601 8N1\t\r\t\n7 open /dev/pts/1 \v\n", events, error)) << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].text, "9601 8N1");
    EXPECT_EQ(events[1].text, "/dev/pts/1");
}

} // namespace
