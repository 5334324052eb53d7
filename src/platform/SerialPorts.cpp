#include "platform/SerialPorts.h"

#ifdef _WIN32
#include "platform/ComPortRegistry.h"
#else
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QString>
#endif

namespace mv53::platform {

std::vector<PresentPort> PresentSerialPorts()
{
    std::vector<PresentPort> ports;
#ifdef _WIN32
    for (const auto& port : RegistryComPorts()) {
        PresentPort p;
        p.portName = port.name;
        p.device = "\\\\.\\" + port.name;
        p.driver = port.usbSerial ? "usbser" : "";
        ports.push_back(std::move(p));
    }
#else
    // Pseudo-terminals are never among them.
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        PresentPort p;
        p.device = info.systemLocation().toStdString();
        p.portName = info.portName().toStdString();
        p.description = info.description().toStdString();
        p.manufacturer = info.manufacturer().toStdString();
        p.serialNumber = info.serialNumber().toStdString();
        p.driver = SerialPortDriver(p.portName);
        ports.push_back(std::move(p));
    }
#endif
    return ports;
}

std::string SerialPortDriver(const std::string& portName)
{
#ifdef _WIN32
    for (const auto& port : RegistryComPorts())
        if (port.name == portName)
            return port.usbSerial ? "usbser" : std::string();
    return {};
#else
    const QFileInfo link(QStringLiteral("/sys/class/tty/") + QString::fromStdString(portName) +
                         QStringLiteral("/device/driver"));
    if (!link.isSymLink())
        return {};
    return QFileInfo(link.symLinkTarget()).fileName().toStdString();
#endif
}

bool IsUsbCableDriver(const std::string& driver)
{
    return driver == "cdc_acm" || driver == "usbser";
}

} // namespace mv53::platform
