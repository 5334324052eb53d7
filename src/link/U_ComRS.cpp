#include "link/U_ComRS.h"

#include "platform/PortIdentity.h"
#include "platform/SerialPorts.h"
#include "platform/PortMap.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <map>
#include <cctype>
#include <cstdio>
#include <utility>

namespace mv53 {

namespace {

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string baseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The decimal number after "COM", or -1 when the rest of the name is not one.
int portNumber(const std::string& name)
{
    if (name.size() <= 3 || name.size() > 3 + 6)
        return -1;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

TComPortEnumerator& installedEnumerator()
{
    static TComPortEnumerator enumerator;
    return enumerator;
}

}  // namespace

bool IsModemPort(const TComPortInfo& port)
{
    return contains(upper(port.description), "MODEM") || contains(upper(port.manufacturer), "MODEM") ||
           contains(upper(baseName(port.device)), "MODEM");
}

// The maker's cable is a USB CDC-ACM device (on Windows it runs on the class driver usbser).
// On Linux that class driver is cdc_acm, whose ports are named ttyACM<n>; a port is taken as
// the cable when its driver is cdc_acm or, with the driver unknown, when it is a ttyACM port.
bool IsUsbCablePort(const TComPortInfo& port)
{
    if (!port.driver.empty())
        return platform::IsUsbCableDriver(port.driver);
    return baseName(port.device).rfind("ttyACM", 0) == 0;
}

void BuildComPortList(const std::vector<TComPortInfo>& ports, std::vector<std::string>& list)
{
    list.clear();
    std::vector<std::pair<int, std::string>> keyed;
    for (const auto& port : ports) {
        if (port.name.rfind("COM", 0) != 0 || IsModemPort(port))
            continue;
        const int number = portNumber(port.name);
        if (number < 0)
            continue;   // "COMx": not a port this program can address; leave it out
        std::string entry = port.name;
        if (IsUsbCablePort(port))
            entry += kUsbCableSuffix;
        keyed.emplace_back(number, std::move(entry));
    }
    // By number, then by text: the order of the zero-padded keys ("003COM3") for numbers up to
    // 999, and still by number above.
    std::sort(keyed.begin(), keyed.end());
    keyed.erase(std::unique(keyed.begin(), keyed.end()), keyed.end());
    for (auto& k : keyed)
        list.push_back(std::move(k.second));
}

std::string PortNameOfEntry(const std::string& entry)
{
    const auto at = entry.find(kUsbCableSuffix);
    return at == std::string::npos ? entry : entry.substr(0, at);
}

std::vector<TComPortInfo> SystemComPorts()
{
    // What the system enumerates, by device path. Pseudo-terminals are never among them.
    std::map<std::string, TComPortInfo> present;
    for (const auto& p : platform::PresentSerialPorts()) {
        TComPortInfo port;
        port.device = p.device;
        port.description = p.description;
        port.manufacturer = p.manufacturer;
        port.driver = p.driver;
        if (!p.manufacturer.empty() && !p.serialNumber.empty())
            port.stableName = p.manufacturer + " " + p.serialNumber;
        present.emplace(port.device, std::move(port));
    }
    // Ports discovered otherwise (an injected discovery) count as present too.
    for (const std::string& device : platform::PortMap::DiscoveredPorts())
        present.try_emplace(device, TComPortInfo{{}, device, {}, {}, {}, {}, {}});

    // Every COM number whose device is there: a bound device that exists (a pseudo-terminal of
    // the simulator, say) or one the system enumerates.
    const auto bindings = platform::PortMap::Bindings();
    int last = 20;
    if (!bindings.empty())
        last = std::max(last, bindings.rbegin()->first);
    std::vector<TComPortInfo> ports;
    for (int n = 1; n <= last; ++n) {
        const std::string device = platform::PortMap::DevicePathForPort(n);
        TComPortInfo port;
        if (device.empty())
            continue;
        auto it = present.find(device);
        if (it == present.end())   // bound by its stable link
            it = std::find_if(present.begin(), present.end(),
                              [&](const auto& p) { return platform::SameDevice(p.first, device); });
        if (it != present.end())
            port = it->second;
        else if (bindings.count(n) == 0 || !QFileInfo::exists(QString::fromStdString(device)))
            continue;
        port.name = "COM" + std::to_string(n);
        port.device = device;
        port.stablePath = platform::StableDevicePath(device);
        if (port.stableName.empty())
            port.stableName = platform::StableDeviceName(port.stablePath);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::string PortDisplayName(const TComPortInfo& port)
{
    if (!port.stableName.empty())
        return port.stableName;
    return port.stablePath.empty() ? port.device : port.stablePath;
}

TComPortEnumerator SetComPortEnumerator(TComPortEnumerator enumerator)
{
    return std::exchange(installedEnumerator(), std::move(enumerator));
}

std::vector<TComPortInfo> EnumerateComPorts()
{
    const auto& enumerator = installedEnumerator();
    return enumerator ? enumerator() : SystemComPorts();
}

void GetComPortList(std::vector<std::string>& list)
{
    BuildComPortList(EnumerateComPorts(), list);
}

}  // namespace mv53
