// The Windows serial device on Windows' own serial API, run under Wine: COM1 of the Wine prefix
// is a pseudo-terminal with the radio simulator on its far end, COM2 one whose simulator hangs
// up after a few bytes (tests/platform/wine-com-test.sh sets them up). The clone protocol's
// Identify and a whole ReadAll go over the line and the bytes are checked against the image
// the simulator was started with. And the port list read from the registry, and the
// single-instance mutex.
//
//   SerialDeviceWin32Test --write-image FILE   writes that image and ends.
//   SerialDeviceWin32Test --try-mutex NAME     ends with 0 when it gets the single-instance mutex.

#include "platform/ComPortRegistry.h"
#include "platform/NamedMutex.h"
#include "platform/SerialDevice.h"
#include "platform/SerialDeviceWin32.h"
#include "platform/SerialPorts.h"
#include "link/CloneFrames.h"
#include "model/U_Const.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace mv53::platform;
using mv53::Byte;
using mv53::BlockNo;
namespace clone = mv53::clone;

namespace {

using Clock = std::chrono::steady_clock;

// Every byte differs from its neighbours; a third of the channels (and the last) are in use.
std::vector<Byte> PatternImage()
{
    std::vector<Byte> image(mv53::kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<Byte>(i * 7 + i / 251);
    std::memcpy(image.data(), mv53::kModelTextId, 6);
    for (BlockNo b = 0; b < mv53::kChannelBlockCount; ++b) {
        Byte& first = image[static_cast<std::size_t>(mv53::BlockOffset(b))];
        first = (b % 3 == 0 || b == mv53::kChannelBlockCount - 1) ? mv53::kChannelUsed : Byte{0x00};
    }
    return image;
}

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Reads exactly n bytes within timeoutMs, waiting on comm events between reads.
std::vector<Byte> ReadExactly(SerialDevice& device, std::size_t n, int timeoutMs)
{
    std::vector<Byte> got;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < n && Clock::now() < end) {
        Byte buffer[256];
        const IoResult r = device.Read(buffer, std::min(sizeof buffer, n - got.size()));
        if (r.count > 0) {
            got.insert(got.end(), buffer, buffer + r.count);
            continue;
        }
        if (r.error != EAGAIN)
            break;
        device.WaitEvent(100, true);
    }
    return got;
}

bool WriteAll(SerialDevice& device, const Byte* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const IoResult r = device.Write(data + done, n - done);
        if (!r.Ok() && r.error != EAGAIN)
            return false;
        done += static_cast<std::size_t>(r.count);
    }
    return true;
}

bool SendFrame(SerialDevice& device, const clone::TFrame& frame)
{
    return WriteAll(device, frame.data(), frame.size());
}

class WineComPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_port.empty()) << "MV53_WINE_COM is not set: run this test through wine-com-test.sh";
        ASSERT_EQ(m_device.Open(m_port), 0) << m_port;
        LineSettings s;
        s.baudRate = 9600;
        s.stopBits = StopBits::Two;
        s.flags = kLineBinary | kLineDtrOn | kLineRtsOn;
        ASSERT_EQ(m_device.SetLineSettings(s), 0);
        ASSERT_EQ(m_device.SetTimeouts({3000, 3000}), 0);
        ASSERT_EQ(m_device.SetQueueSizes(2048, 2048), 0);
        ASSERT_EQ(m_device.Purge(true, true), 0);
    }

    std::vector<Byte> Identify()
    {
        if (!SendFrame(m_device, clone::BuildFrame(clone::TCommand::Identify, 0x1000)))
            return {};
        return ReadExactly(m_device, clone::kIdentifyReplySize, 5000);
    }

    // The COM port the wrapper script prepared; the test fails (never skips) without it.
    const std::string m_port = Env("MV53_WINE_COM");
    SerialDeviceWin32 m_device;
};

TEST_F(WineComPort, IdentifyAndReadAllBringTheSimulatorsImage)
{
    std::printf("COM port %s -> %s\n", m_port.c_str(), Env("MV53_WINE_COM_DEVICE").c_str());
    const std::vector<Byte> reply = Identify();
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_TRUE(clone::IsOurRadio(reply.data()));
    EXPECT_EQ(clone::FirmwareVersionText(reply.data()), "012a");

    std::ifstream in(Env("MV53_WINE_IMAGE"), std::ios::binary);
    const std::vector<Byte> expected(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(mv53::kImageSize)) << Env("MV53_WINE_IMAGE");
    ASSERT_EQ(expected, PatternImage());

    ASSERT_TRUE(SendFrame(m_device, clone::BuildFrame(clone::TCommand::ReadAll, 0)));
    std::vector<Byte> image(expected.size(), 0);
    std::set<BlockNo> channels;
    for (;;) {
        const auto f = ReadExactly(m_device, clone::kChannelFrameSize, 5000);
        ASSERT_EQ(f.size(), static_cast<std::size_t>(clone::kChannelFrameSize)) << "after " << channels.size();
        ASSERT_EQ(clone::Checksum(f.data(), 34), f[34]);
        const BlockNo block = f[0] << 8 | f[1];
        ASSERT_TRUE(WriteAll(m_device, &clone::kAck, 1));
        if (block >= mv53::kChannelBlockCount)
            break;
        EXPECT_TRUE(channels.insert(block).second) << "block " << block << " twice";
        std::memcpy(&image[static_cast<std::size_t>(mv53::BlockOffset(block))], &f[2], mv53::kBlockSize);
    }
    for (BlockNo b = mv53::kChannelBlockCount; b < mv53::kBlockCount; ++b) {
        const auto f = ReadExactly(m_device, clone::kAreaFrameSize, 5000);
        ASSERT_EQ(f.size(), static_cast<std::size_t>(clone::kAreaFrameSize)) << "area block " << b;
        ASSERT_EQ(clone::Checksum(f.data(), 32), f[32]) << "area block " << b;
        std::memcpy(&image[static_cast<std::size_t>(mv53::BlockOffset(b))], f.data(), mv53::kBlockSize);
        ASSERT_TRUE(WriteAll(m_device, &clone::kAck, 1));
    }

    // Exactly the channels in use came, and every block that came holds the image's bytes.
    std::set<BlockNo> inUse;
    for (BlockNo b = 0; b < mv53::kChannelBlockCount; ++b)
        if (expected[static_cast<std::size_t>(mv53::BlockOffset(b))] == mv53::kChannelUsed)
            inUse.insert(b);
    EXPECT_EQ(channels, inUse);
    for (BlockNo b = 0; b < mv53::kBlockCount; ++b) {
        if (b < mv53::kChannelBlockCount && !inUse.count(b))
            continue;
        const auto at = static_cast<std::size_t>(mv53::BlockOffset(b));
        EXPECT_EQ(0, std::memcmp(&image[at], &expected[at], mv53::kBlockSize)) << "block " << b;
    }
    std::printf("ReadAll: %zu channel blocks and %d area blocks match\n", channels.size(),
                mv53::kBlockCount - mv53::kChannelBlockCount);
}

TEST_F(WineComPort, ReopenAndRefusalsNameTheCause)
{
    EXPECT_EQ(m_device.Open(m_port), EBUSY);   // already open here
    m_device.Close();
    EXPECT_FALSE(m_device.IsOpen());
    ASSERT_EQ(m_device.Open(m_port), 0);
    EXPECT_EQ(Identify().size(), 16u);
    m_device.Close();

    SerialDeviceWin32 other;
    EXPECT_EQ(other.Open("COM231"), ENOENT);
    EXPECT_NE(OpenErrorReason("COM231", ENOENT).find("no such port"), std::string::npos);
    // A file is no serial port.
    char folder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
    const std::string file = std::string(folder) + "mv53-not-a-port.txt";
    std::ofstream(file) << "text";
    EXPECT_EQ(other.Open(file), ENOTTY);
    EXPECT_FALSE(other.IsOpen());
    ::DeleteFileA(file.c_str());
}

// Windows refuses a port that another program holds with "access denied" (Wine lets a second
// open through, so this is checked on the mapping): the user must read "in use", not a
// permission problem. After the open the same code means the device went away.
TEST(SerialDeviceWin32Errors, WindowsCodesMapToTheCause)
{
    struct Case {
        unsigned long code;
        bool opening;
        int expected;
        bool hangUp;
    };
    const Case cases[] = {
        {ERROR_ACCESS_DENIED, true, EBUSY, false},   {ERROR_SHARING_VIOLATION, true, EBUSY, false},
        {ERROR_FILE_NOT_FOUND, true, ENOENT, false}, {ERROR_PATH_NOT_FOUND, true, ENOENT, false},
        {ERROR_ACCESS_DENIED, false, EIO, true},     {ERROR_GEN_FAILURE, false, EIO, true},
        {ERROR_DEVICE_REMOVED, false, EIO, true},    {ERROR_BAD_COMMAND, false, EIO, true},
        {ERROR_INVALID_PARAMETER, false, EINVAL, false}, {ERROR_OPERATION_ABORTED, false, EINTR, false},
        {ERROR_INVALID_HANDLE, false, EBADF, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ErrnoFromWin32(c.code, c.opening), c.expected);
        EXPECT_EQ(IsHangUpError(c.expected), c.hangUp);
    }
    EXPECT_NE(OpenFailureAdvice(ErrnoFromWin32(ERROR_FILE_NOT_FOUND, true)).find("cable is plugged in"), std::string::npos);
    EXPECT_EQ(OpenFailureAdvice(EIO), "");
    const std::string busy = OpenErrorReason("\\\\.\\COM3", ErrnoFromWin32(ERROR_ACCESS_DENIED, true));
    EXPECT_NE(busy.find("in use by another program"), std::string::npos) << busy;
}

TEST(WineComHangUp, AVanishedFarEndEndsTheWaits)
{
    const std::string port = Env("MV53_WINE_HANGUP_COM");
    ASSERT_FALSE(port.empty()) << "MV53_WINE_HANGUP_COM is not set: run this test through wine-com-test.sh";
    SerialDeviceWin32 device;
    ASSERT_EQ(device.Open(port), 0);
    ASSERT_EQ(device.SetTimeouts({1000, 1000}), 0);
    // The simulator closes its end after the first bytes of its reply.
    ASSERT_TRUE(SendFrame(device, clone::BuildFrame(clone::TCommand::Identify, 0x1000)));
    bool gone = false;
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (!gone && Clock::now() < end) {
        Byte buffer[64] = {};
        gone = (device.WaitEvent(200, true) & kEventHangUp) != 0 || IsHangUpError(device.Read(buffer, sizeof buffer).error) ||
               IsHangUpError(device.Write(buffer, 1).error);
    }
    EXPECT_TRUE(gone) << "no wait, read or write noticed that the far end closed";
}

// ---- The port list from the registry ----

// Each case fills a serial port map (and PCI and modem device keys) of the Wine prefix under the
// current user, reads the list, and removes the keys; one case goes through the machine's own
// serial port map.
const char* const kBase = "Software\\MV53Test\\Ports";

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& value)
{
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    ::RegCloseKey(k);
}

struct Value {
    std::string key;   // below kBase: "map", "pci\\dev\\inst", "modem\\dev\\inst"
    std::string name;
    std::string data;
};

struct Case {
    const char* what;
    std::vector<Value> values;
    std::vector<std::pair<std::string, bool>> expected;   // name, USB serial
};

std::vector<std::pair<std::string, bool>> ListOf(const std::vector<Value>& values)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
    for (const Value& v : values)
        SetText(HKEY_CURRENT_USER, std::string(kBase) + "\\" + v.key, v.name, v.data);
    ComPortRegistryKeys keys;
    keys.currentUser = true;
    keys.serialMap = std::string(kBase) + "\\map";
    keys.pciDevices = std::string(kBase) + "\\pci";
    keys.wdmModems = std::string(kBase) + "\\modem";
    std::vector<std::pair<std::string, bool>> list;
    for (const auto& port : RegistryComPorts(keys))
        list.emplace_back(port.name, port.usbSerial);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
    return list;
}

TEST(ComPortRegistry, ListsSerialPortsByNumber)
{
    const Case cases[] = {
        {"two serial ports", {{"map", "\\Device\\Serial0", "COM1"}, {"map", "\\Device\\Serial1", "COM3"}},
         {{"COM1", false}, {"COM3", false}}},
        {"the USB cable is flagged", {{"map", "\\Device\\Serial0", "COM1"}, {"map", "\\Device\\USBSER000", "COM5"}},
         {{"COM1", false}, {"COM5", true}}},
        {"without the cable nothing is flagged", {{"map", "\\Device\\VCP0", "COM4"}}, {{"COM4", false}}},
        {"COM10 after COM9",
         {{"map", "\\Device\\Serial9", "COM10"}, {"map", "\\Device\\Serial2", "COM9"}, {"map", "\\Device\\Serial3", "COM100"}},
         {{"COM9", false}, {"COM10", false}, {"COM100", false}}},
        {"a modem value name is skipped",
         {{"map", "\\Device\\ModemSerial", "COM2"}, {"map", "\\Device\\Serial0", "COM1"}}, {{"COM1", false}}},
        {"a PCI modem takes its port away",
         {{"map", "\\Device\\Serial3", "COM4"}, {"map", "\\Device\\Serial0", "COM1"},
          {"pci\\VEN_1\\3&1", "FriendlyName", "PCI Modem (COM4)"}}, {{"COM1", false}}},
        {"a WDM modem takes its port away",
         {{"map", "\\Device\\Serial6", "COM6"}, {"map", "\\Device\\Serial7", "COM7"}, {"modem\\USB\\1", "PORTNAME", "COM7"}},
         {{"COM6", false}}},
        {"a name that is no port number is skipped",
         {{"map", "\\Device\\Serial0", "COMX"}, {"map", "\\Device\\Serial1", "COM2a"}, {"map", "\\Device\\Serial2", "COM8"}},
         {{"COM8", false}}},
        {"value names and data of other kinds are skipped",
         {{"map", "Serial0", "COM1"}, {"map", "\\Device\\", "COM2"}, {"map", "COM", "COM3"}, {"map", "COM4", "COM4"},
          {"map", "\\Device\\Serial5", "LPT1"}, {"map", "\\Device\\Serial6", ""}}, {{"COM4", false}}},
        {"no serial port map", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ListOf(c.values), c.expected);
    }
}

TEST(ComPortRegistry, ReadsTheMachinesSerialPortMap)
{
    const char* map = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, map, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
                                &k, nullptr),
              ERROR_SUCCESS);
    const std::string port = "COM217";
    ASSERT_EQ(::RegSetValueExA(k, "\\Device\\USBSER217", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                               static_cast<DWORD>(port.size() + 1)),
              ERROR_SUCCESS);
    const auto ports = RegistryComPorts();
    // What the Configure dialog is built from: the device and the cable's driver.
    std::string device, driver;
    for (const auto& p : PresentSerialPorts())
        if (p.portName == port) {
            device = p.device;
            driver = p.driver;
        }
    const bool cable = IsUsbCableDriver(SerialPortDriver(port));
    ::RegDeleteValueA(k, "\\Device\\USBSER217");
    ::RegCloseKey(k);
    bool found = false;
    for (const auto& p : ports)
        found = found || (p.name == port && p.usbSerial);
    EXPECT_TRUE(found);
    EXPECT_EQ(device, "\\\\.\\COM217");
    EXPECT_TRUE(IsUsbCableDriver(driver));
    EXPECT_TRUE(cable);
    EXPECT_EQ(WindowsComDevice(217), "\\\\.\\COM217");
    EXPECT_EQ(WindowsComDevice(0), "\\\\.\\COM1");
}

// ---- The single-instance mutex ----

// The first holder of a name keeps it until it lets go, and a second process that asks for the
// same name is refused while the first one runs.
std::string UniqueName(const char* what)
{
    return std::string("MV53Test-") + what + "-" + std::to_string(::GetCurrentProcessId());
}

TEST(NamedMutex, TheFirstHolderKeepsTheNameUntilItLetsGo)
{
    const std::string name = UniqueName("hold");
    auto first = std::make_unique<NamedMutex>(name);
    ASSERT_TRUE(first->TryAcquire());
    EXPECT_TRUE(first->Held());
    EXPECT_TRUE(first->TryAcquire());   // asking again keeps it

    NamedMutex second(name);
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_FALSE(second.Held());
    NamedMutex other(UniqueName("other"));
    EXPECT_TRUE(other.TryAcquire());

    first.reset();
    EXPECT_TRUE(second.TryAcquire());
}

// A second process (this program again) is refused while this one holds the name, and gets it
// once this one lets go.
TEST(NamedMutex, ASecondProcessIsRefused)
{
    const std::string name = UniqueName("process");
    auto runChild = [&] {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command = std::string("\"") + self + "\" --try-mutex " + name;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return -1;
        ::WaitForSingleObject(pi.hProcess, 30000);
        DWORD code = 99;
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return static_cast<int>(code);
    };
    {
        NamedMutex mine(name);
        ASSERT_TRUE(mine.TryAcquire());
        EXPECT_EQ(runChild(), 1);   // refused
    }
    EXPECT_EQ(runChild(), 0);   // free again
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--try-mutex") == 0)
        return NamedMutex(argv[2]).TryAcquire() ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "--write-image") == 0) {
        const auto image = PatternImage();
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        return out ? 0 : 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
