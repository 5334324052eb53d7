// COM numbers to device paths: bindings first, then the discovered ports, then /dev/ttyS<n-1>.

#include "platform/PortMap.h"

#include "platform/PortIdentity.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

using mv53::platform::PortMap;

namespace {

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

    EXPECT_EQ(mv53::platform::ParsePortBindings(" com2 = /dev/ttyUSB1 ;COM3=/dev/pts/9,junk,=x,COM4="),
              (std::map<std::string, std::string>{{"COM2", "/dev/ttyUSB1"}, {"COM3", "/dev/pts/9"}}));
    EXPECT_TRUE(mv53::platform::ParsePortBindings("").empty());
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

    EXPECT_EQ(mv53::platform::StableDeviceName(link()), "FTDI FT232R USB UART A50285BI");
    EXPECT_EQ(mv53::platform::StableDeviceName(dev("ttyUSB1")), "");
}

} // namespace
