#include "platform/ComPortRegistry.h"

#include <algorithm>
#include <cctype>
#include <tuple>

#include <windows.h>

namespace mv53::platform {

namespace {

class Key {
public:
    Key(HKEY parent, const std::string& path)
    {
        if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

    // Names of the sub-keys.
    std::vector<std::string> SubKeys() const
    {
        std::vector<std::string> names;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD size = sizeof name;
            if (::RegEnumKeyExA(m_key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(name, size);
        }
        return names;
    }
    // A string value; empty when missing or not a string.
    std::string Text(const char* valueName) const
    {
        char data[512];
        DWORD size = sizeof data - 1;
        DWORD type = 0;
        if (::RegQueryValueExA(m_key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
                ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return {};
        data[size] = '\0';
        return data;   // up to the first terminating zero
    }

private:
    HKEY m_key = nullptr;
};

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// The decimal number after "COM", or -1 when the rest is not one.
int PortNumber(const std::string& name)
{
    if (name.size() <= 3 || name.size() > 3 + 6)
        return -1;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Whether port P belongs to a modem: a PCI device (device, then instance) whose friendly name
// holds "(P)", or a WDM modem whose PORTNAME is P.
bool IsModemPort(HKEY root, const ComPortRegistryKeys& keys, const std::string& port)
{
    const std::string tag = "(" + port + ")";
    if (Key pci(root, keys.pciDevices); pci) {
        for (const auto& device : pci.SubKeys()) {
            Key d(pci.get(), device);
            for (const auto& instance : d.SubKeys()) {
                Key i(d.get(), instance);
                if (i && i.Text("FriendlyName").find(tag) != std::string::npos)
                    return true;
            }
        }
    }
    if (Key wdm(root, keys.wdmModems); wdm) {
        for (const auto& device : wdm.SubKeys()) {
            Key d(wdm.get(), device);
            for (const auto& instance : d.SubKeys()) {
                Key i(d.get(), instance);
                if (i && i.Text("PORTNAME") == port)
                    return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<RegistryComPort> RegistryComPorts(const ComPortRegistryKeys& keys)
{
    const HKEY root = keys.currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    std::vector<std::tuple<int, std::string, bool>> found;
    Key map(root, keys.serialMap);
    if (!map)
        return {};
    for (DWORD i = 0;; ++i) {
        char valueName[256];
        DWORD nameSize = sizeof valueName;
        char data[256];
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG r = ::RegEnumValueA(map.get(), i, valueName, &nameSize, nullptr, &type,
                                       reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS)
            continue;   // a value too long for these buffers is no port name
        const std::string name(valueName, nameSize);
        if (Upper(name).find("MODEM") != std::string::npos)
            continue;
        const bool known = (StartsWith(name, "COM") && name.size() > 3) ||
                           (StartsWith(name, "\\Device\\") && name.size() > 8);
        if (!known || (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        data[dataSize] = '\0';
        const std::string port(data);
        if (port.empty() || !StartsWith(port, "COM"))
            continue;
        const int number = PortNumber(port);
        if (number < 0 || IsModemPort(root, keys, port))
            continue;
        found.emplace_back(number, port, name.find("\\Device\\USBSER") != std::string::npos);
    }
    std::sort(found.begin(), found.end());
    std::vector<RegistryComPort> ports;
    for (auto& [number, port, usb] : found) {
        if (!ports.empty() && ports.back().name == port)
            continue;
        ports.push_back({std::move(port), usb});
    }
    return ports;
}

std::string WindowsComDevice(int portNo)
{
    return "\\\\.\\COM" + std::to_string(portNo < 1 ? 1 : portNo);
}

} // namespace mv53::platform
