// The Windows port list from the registry of the Wine prefix: each case fills a serial port map
// (and PCI and modem device keys) under the current user, reads the list, and removes the keys.
// One case goes through the machine's own serial port map.

#include "platform/ComPortRegistry.h"
#include "platform/SerialPorts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using namespace mv53::platform;

namespace {

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

} // namespace
