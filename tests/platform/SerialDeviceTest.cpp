// The POSIX serial device over a pseudo-terminal: opening and its refusals, line settings as the
// far end sees them, data both ways, waking a waiter, arrivals told apart from bytes waiting,
// and a far end that goes away; COM numbers to device paths; and the text form of serial traces.

#include "platform/PortIdentity.h"
#include "platform/PortMap.h"
#include "platform/SerialDevicePosix.h"
#include "platform/SerialTrace.h"
#include "platform/TracingDevice.h"
#include "ScratchDir.h"
#include "TestPty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
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

// ---- COM numbers to device paths: bindings first, then the discovered ports, then /dev/ttyS<n-1> ----

class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PortMap::ClearBindings();
        PortMap::SetDiscovery([this] { return m_discovered; });
    }
    void TearDown() override
    {
        PortMap::ClearBindings();
        PortMap::SetDiscovery({});
    }
    std::vector<std::string> m_discovered;
};

TEST_F(PortMapTest, BindingThenDiscoveredThenFallback)
{
    m_discovered = {"/dev/ttyUSB0", "/dev/ttyACM0"};
    PortMap::Bind(2, "/dev/pts/7");
    EXPECT_EQ(PortMap::DevicePathForPort(1), "/dev/ttyACM0");
    EXPECT_EQ(PortMap::DevicePathForPort(2), "/dev/pts/7");
    // The binding of COM2 hides no discovered port: the second one moves up to COM3.
    EXPECT_EQ(PortMap::DevicePathForPort(3), "/dev/ttyUSB0");
    EXPECT_EQ(PortMap::DevicePathForPort(4), "/dev/ttyS3");
    // Numbers below 1 are COM1.
    EXPECT_EQ(PortMap::DevicePathForPort(0), "/dev/ttyACM0");
    PortMap::Bind(2, "");
    EXPECT_EQ(PortMap::DevicePathForPort(2), "/dev/ttyUSB0");
}

TEST_F(PortMapTest, DiscoveredPortsInNaturalOrder)
{
    m_discovered = {"/dev/ttyS10", "/dev/ttyUSB1", "/dev/ttyS2", "/dev/ttyS2", "/dev/ttyACM0",
                    "/dev/ttyS02x"};
    const std::vector<std::string> expected = {"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS02x",
                                               "/dev/ttyS10", "/dev/ttyUSB1"};
    EXPECT_EQ(PortMap::DiscoveredPorts(), expected);
}

TEST_F(PortMapTest, ConfigurationSectionAndPortNames)
{
    PortMap::Bind(9, "/dev/old");
    PortMap::SetBindings(
        {{"COM1", "/dev/ttyUSB3"}, {"com12", "/dev/pts/4"}, {"COM3", ""}, {"COMX", "/dev/bad"}, {"Monitors", "2"}});
    const std::map<int, std::string> expected = {{1, "/dev/ttyUSB3"}, {12, "/dev/pts/4"}};
    EXPECT_EQ(PortMap::Bindings(), expected);

    EXPECT_EQ(PortMap::ResolvePortName("COM12"), "/dev/pts/4");
    EXPECT_EQ(PortMap::ResolvePortName("Com1"), "/dev/ttyUSB3");
    EXPECT_EQ(PortMap::ResolvePortName("/dev/ttyUSB9"), "/dev/ttyUSB9");
    EXPECT_EQ(PortMap::ResolvePortName("COM"), "COM");
    EXPECT_EQ(PortMap::PortNumberFromName("COM20"), 20);
    EXPECT_EQ(PortMap::PortNumberFromName("COM2a"), 0);
    EXPECT_EQ(PortMap::PortNumberFromName("LPT1"), 0);

    EXPECT_EQ(ParsePortBindings(" com2 = /dev/ttyUSB1 ;COM3=/dev/pts/9,junk,=x,COM4="),
              (std::map<std::string, std::string>{{"COM2", "/dev/ttyUSB1"}, {"COM3", "/dev/pts/9"}}));
    EXPECT_TRUE(ParsePortBindings("").empty());
}

// Devices as files in a folder of their own, and a stable-link folder beside them with the
// link that udev would make for a USB adapter.
class StablePorts : public PortMapTest {
protected:
    void SetUp() override
    {
        PortMapTest::SetUp();
        ASSERT_TRUE(m_dir.Ok());
        std::filesystem::create_directory(m_root / "by-id");
        for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyS0"})
            m_dir.Write(name, "x");
        std::filesystem::create_symlink(m_root / "ttyUSB1", m_root / "by-id" / kLinkName);
        ::setenv("MV53_SERIAL_BY_ID", (m_root / "by-id").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("MV53_SERIAL_BY_ID");
        PortMapTest::TearDown();
    }
    std::string dev(const char* name) const { return (m_root / name).string(); }
    std::string link() const { return (m_root / "by-id" / kLinkName).string(); }

    // COM1..COM8 by the device they open: no device twice.
    void expectEachDeviceOnce()
    {
        std::set<std::string> seen;
        for (int n = 1; n <= 8; ++n) {
            const std::string path = PortMap::DevicePathForPort(n);
            const auto real = std::filesystem::weakly_canonical(path).string();
            EXPECT_TRUE(path.empty() || seen.insert(real).second) << "COM" << n << " repeats " << path;
        }
    }

    static constexpr const char* kLinkName = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    mv53::test::ScratchDir m_dir;
    const std::filesystem::path m_root{m_dir.Root()};
};

TEST_F(StablePorts, ChosenNumberKeepsItsDeviceWhenAnotherAdapterComesFirst)
{
    m_discovered = {dev("ttyUSB1")};
    ASSERT_EQ(PortMap::DevicePathForPort(1), dev("ttyUSB1"));
    EXPECT_EQ(PortMap::Choose(1, dev("ttyUSB1")), link());
    EXPECT_EQ(PortMap::ChosenBindings(), (std::map<std::string, std::string>{{"COM1", link()}}));

    // Another adapter appears and sorts first: COM1 is still the chosen one, the new one COM2.
    m_discovered = {dev("ttyUSB0"), dev("ttyUSB1"), dev("ttyS0")};
    EXPECT_EQ(PortMap::DevicePathForPort(1), link());
    EXPECT_EQ(PortMap::DevicePathForPort(2), dev("ttyS0"));
    EXPECT_EQ(PortMap::DevicePathForPort(3), dev("ttyUSB0"));
    expectEachDeviceOnce();
}

TEST_F(StablePorts, OneDeviceNeverUnderTwoNumbers)
{
    m_discovered = {dev("ttyUSB0"), dev("ttyUSB1")};
    // The file binds two numbers to the adapter, once by its link: the lower number keeps it.
    PortMap::SetBindings({{"COM4", dev("ttyUSB1")}, {"COM2", link()}});
    EXPECT_EQ(PortMap::Bindings(), (std::map<int, std::string>{{2, link()}}));
    EXPECT_EQ(PortMap::ChosenBindings(), (std::map<std::string, std::string>{{"COM4", ""}}));
    expectEachDeviceOnce();

    // Choosing the adapter for COM5 takes it away from COM2, in the file too.
    PortMap::Choose(5, dev("ttyUSB1"));
    EXPECT_EQ(PortMap::Bindings(), (std::map<int, std::string>{{5, link()}}));
    EXPECT_EQ(PortMap::ChosenBindings(), (std::map<std::string, std::string>{{"COM2", ""}, {"COM4", ""}, {"COM5", link()}}));
    expectEachDeviceOnce();
}

TEST_F(StablePorts, DevicesWithoutStableLinkAndRunBindings)
{
    // No link points at it: the device path is what a number is bound to.
    EXPECT_EQ(PortMap::Choose(3, dev("ttyS0")), dev("ttyS0"));
    EXPECT_EQ(PortMap::Binding(3), dev("ttyS0"));
    // A number bound for this run to exactly the chosen device (the demo radio) writes nothing.
    PortMap::ClearBindings();
    PortMap::Bind(1, dev("ttyS0"));
    PortMap::Choose(1, dev("ttyS0"));
    EXPECT_TRUE(PortMap::ChosenBindings().empty());

    EXPECT_EQ(StableDeviceName(link()), "FTDI FT232R USB UART A50285BI");
    EXPECT_EQ(StableDeviceName(dev("ttyUSB1")), "");
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
