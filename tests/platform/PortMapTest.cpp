// COM numbers to device paths: bindings first, then the discovered ports, then /dev/ttyS<n-1>.

#include "platform/PortMap.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(PortMap::DevicePathForPort(3), "/dev/ttyS2");
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
    PortMap::SetBindings({{"COM1", "/dev/ttyUSB3"},
                          {"com12", "/dev/pts/4"},
                          {"COM3", ""},
                          {"COMX", "/dev/bad"},
                          {"Monitors", "2"}});
    const std::map<int, std::string> expected = {{1, "/dev/ttyUSB3"}, {12, "/dev/pts/4"}};
    EXPECT_EQ(PortMap::Bindings(), expected);

    EXPECT_EQ(PortMap::ResolvePortName("COM12"), "/dev/pts/4");
    EXPECT_EQ(PortMap::ResolvePortName("Com1"), "/dev/ttyUSB3");
    EXPECT_EQ(PortMap::ResolvePortName("/dev/ttyUSB9"), "/dev/ttyUSB9");
    EXPECT_EQ(PortMap::ResolvePortName("COM"), "COM");
    EXPECT_EQ(PortMap::PortNumberFromName("COM20"), 20);
    EXPECT_EQ(PortMap::PortNumberFromName("COM2a"), 0);
    EXPECT_EQ(PortMap::PortNumberFromName("LPT1"), 0);
}

} // namespace
