// COM port discovery and the Configure dialog, over an injected port enumeration.

#include "link/ConfigComPort.h"
#include "link/U_ComRS.h"
#include "platform/PortMap.h"
#include "RunProcess.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>
#include <string>
#include <vector>

using mv53::TComPortInfo;

namespace {

TComPortInfo port(const std::string& name, const std::string& device, const std::string& description = "USB Serial",
                  const std::string& driver = "ftdi_sio")
{
    return TComPortInfo{name, device, description, "", driver, "", ""};
}

std::vector<std::string> listOf(const std::vector<TComPortInfo>& ports)
{
    std::vector<std::string> list{"stale entry"};
    mv53::BuildComPortList(ports, list);
    return list;
}

std::vector<int> enabledButtons(const TfrmConfig& dlg)
{
    std::vector<int> out;
    for (int n = 1; n <= kConfigPortCount; ++n)
        if (dlg.rbtnCom[static_cast<size_t>(n - 1)]->isEnabled())
            out.push_back(n);
    return out;
}

}  // namespace

// The list sorted by number (not by text), modems and names that are no ports left out, the
// USB cable marked.
TEST(ComPortList, SortsFiltersAndMarksTheCable)
{
    const struct Case {
        const char* name;
        std::vector<TComPortInfo> ports;
        std::vector<std::string> list;
    } cases[] = {
        {"none", {}, {}},
        {"by number", {port("COM10", "/dev/ttyUSB1"), port("COM9", "/dev/ttyUSB0"), port("COM2", "/dev/ttyS1")},
         {"COM2", "COM9", "COM10"}},
        {"no ports",
         {port("COM4", "/dev/ttyS3", "PCI Modem (COM4)"), port("COM5", "/dev/ttyModem0", ""), port("COM6", "/dev/ttyUSB2"),
          port("com7", "/dev/ttyUSB3"),   // "COM" is compared case-sensitively
          port("COMx", "/dev/ttyUSB4"),   // not a number: skipped, the rest still listed
          port("COM", "/dev/ttyUSB5"), port("COM1", "/dev/ttyS0")},
         {"COM1", "COM6"}},
        {"cable",
         {port("COM2", "/dev/ttyACM0", "UXC-40", "cdc_acm"),
          port("COM3", "/dev/ttyACM1", "", ""),   // driver unknown: the ttyACM name counts
          port("COM4", "/dev/ttyUSB0", "", "ftdi_sio")},
         {"COM2   (UXC-40)", "COM3   (UXC-40)", "COM4"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listOf(c.ports), c.list) << c.name;
    EXPECT_EQ(mv53::PortNameOfEntry("COM2   (UXC-40)"), "COM2");
    EXPECT_EQ(mv53::PortNameOfEntry("COM4"), "COM4");
}

TEST(ComPortList, PresentBoundDevicesAreListed)
{
    // A pseudo-terminal never shows up in the system's enumeration; a binding to an existing
    // device makes it a port, a binding to a missing device does not.
    mv53::platform::PortMap::ClearBindings();
    mv53::platform::PortMap::Bind(7, "/dev/null");
    mv53::platform::PortMap::Bind(8, "/dev/mv53-no-such-device");
    const auto ports = mv53::SystemComPorts();
    mv53::platform::PortMap::ClearBindings();
    bool com7 = false;
    for (const auto& p : ports) {
        EXPECT_NE(p.name, "COM8");
        if (p.name == "COM7") {
            com7 = true;
            EXPECT_EQ(p.device, "/dev/null");
        }
    }
    EXPECT_TRUE(com7);
}

TEST(ConfigDialog, EnablesPresentPortsIncludingTheCable)
{
    const auto previous = mv53::SetComPortEnumerator([] {
        return std::vector{port("COM1", "/dev/ttyS0"), port("COM3", "/dev/ttyACM0", "UXC-40", "cdc_acm"), port("COM12", "/dev/ttyUSB0"),
                           port("COM4", "/dev/ttyS3", "Modem"), port("COM25", "/dev/ttyUSB9")};
    });
    TfrmConfig dlg(2);
    mv53::SetComPortEnumerator(previous);
    EXPECT_EQ(enabledButtons(dlg), (std::vector<int>{1, 3, 12}));
    EXPECT_EQ(dlg.rbtnCom[0]->text(), QStringLiteral("COM&1"));
    EXPECT_EQ(dlg.rbtnCom[2]->text(), QStringLiteral("COM&3   (UXC-40)"));
    EXPECT_EQ(dlg.rbtnCom[9]->text(), QStringLiteral("COM1&0"));
    EXPECT_EQ(dlg.rbtnCom[2]->toolTip(), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(dlg.DeviceOf(12), "/dev/ttyUSB0");
    EXPECT_TRUE(dlg.rbtnCom[2]->isChecked());
    EXPECT_TRUE(dlg.lblDevice->text().contains(QStringLiteral("/dev/ttyACM0")));
}

TEST(ConfigDialog, ChosenPortIsBoundToTheAdapterAndShownByItsMakerAndSerial)
{
    using mv53::platform::PortMap;
    // An adapter as a device file, and the stable link udev makes for it.
    const mv53::test::ScratchDir dir;
    const auto at = [&](const char* name) { return dir.Path(name); };
    dir.Write("ttyUSB1", "");
    std::filesystem::create_directory(at("by-id"));
    const std::string link = at("by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    std::filesystem::create_symlink(at("ttyUSB1"), link);
    qputenv("MV53_SERIAL_BY_ID", QByteArray::fromStdString(at("by-id")));
    PortMap::ClearBindings();
    PortMap::SetDiscovery([&] { return std::vector<std::string>{at("ttyUSB1")}; });

    TfrmConfig dlg(5);
    ASSERT_EQ(enabledButtons(dlg), (std::vector<int>{1}));
    EXPECT_EQ(dlg.rbtnCom[0]->text(), QStringLiteral("COM&1  FTDI FT232R USB UART A50285BI"));
    const QString tip = dlg.rbtnCom[0]->toolTip();
    for (const std::string& part : {std::string("FTDI FT232R USB UART A50285BI"), link, at("ttyUSB1")})
        EXPECT_TRUE(tip.contains(QString::fromStdString(part))) << tip.toStdString();
    dlg.show();
    QTest::mouseClick(dlg.rbtnCom[0], Qt::LeftButton);
    QTest::mouseClick(dlg.btnOk, Qt::LeftButton);
    EXPECT_EQ(dlg.ComPortNo(), 0);
    EXPECT_EQ(PortMap::Binding(1), link);
    PortMap::SetDiscovery({});
    PortMap::ClearBindings();
    qunsetenv("MV53_SERIAL_BY_ID");
}
