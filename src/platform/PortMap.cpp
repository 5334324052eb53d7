#include "platform/PortMap.h"

#include "platform/PortIdentity.h"
#ifdef _WIN32
#include "platform/ComPortRegistry.h"
#endif

#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QString>

#include <algorithm>
#include <cctype>
#include <mutex>

namespace mv53::platform {

namespace {

struct PortMapState {
    std::mutex lock;
    std::map<int, std::string> bindings;
    std::map<int, std::string> chosen;
    PortMap::Discovery discovery;
};

PortMapState& State()
{
    static PortMapState state;
    return state;
}

std::vector<std::string> SystemPorts()
{
    std::vector<std::string> paths;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const auto& port : ports) {
        const std::string path = port.systemLocation().toStdString();
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

// Splits a path into alternating runs of non-digits and digits for the natural comparison.
bool NaturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            // Compare the numbers by value: strip leading zeros, then by length, then by text.
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            const int c = a.compare(si, ei - si, b, sj, ej - sj);
            if (c != 0)
                return c < 0;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    if ((a.size() - i) != (b.size() - j))
        return a.size() - i < b.size() - j;
    return a < b;
}

} // namespace

std::map<std::string, std::string> ParsePortBindings(const std::string& text)
{
    std::map<std::string, std::string> out;
    const QStringList parts = QString::fromStdString(text).split(QRegularExpression(QStringLiteral("[;,]")),
                                                                 Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = part.left(eq).trimmed().toUpper();
        const QString device = part.mid(eq + 1).trimmed();
        if (key.startsWith(QStringLiteral("COM")) && !device.isEmpty())
            out[key.toStdString()] = device.toStdString();
    }
    return out;
}

void SortDevicePaths(std::vector<std::string>& paths)
{
    std::stable_sort(paths.begin(), paths.end(), NaturalLess);
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
}

void PortMap::Bind(int portNo, const std::string& devicePath)
{
    auto& s = State();
    std::lock_guard lock(s.lock);
    if (devicePath.empty())
        s.bindings.erase(portNo);
    else
        s.bindings[portNo] = devicePath;
}

void PortMap::BindForThisRun(const std::string& text)
{
    for (const auto& [name, device] : ParsePortBindings(text))
        Bind(PortNumberFromName(name), device);
}

void PortMap::ClearBindings()
{
    auto& s = State();
    std::lock_guard lock(s.lock);
    s.bindings.clear();
    s.chosen.clear();
}

std::string PortMap::Choose(int portNo, const std::string& devicePath)
{
    const std::string stable = StableDevicePath(devicePath);
    auto& s = State();
    std::lock_guard lock(s.lock);
    for (auto it = s.bindings.begin(); it != s.bindings.end();) {
        if (it->first != portNo && SameDevice(it->second, stable)) {
            s.chosen[it->first].clear();
            it = s.bindings.erase(it);
        } else {
            ++it;
        }
    }
    // A number already bound to exactly this path (a demo radio's) is left as it stands.
    if (const auto it = s.bindings.find(portNo); it == s.bindings.end() || it->second != stable) {
        s.bindings[portNo] = stable;
        s.chosen[portNo] = stable;
    }
    return stable;
}

std::map<std::string, std::string> PortMap::ChosenBindings()
{
    auto& s = State();
    std::lock_guard lock(s.lock);
    std::map<std::string, std::string> out;
    for (const auto& [n, path] : s.chosen)
        out["COM" + std::to_string(n)] = path;
    return out;
}

void PortMap::SetBindings(const std::map<std::string, std::string>& section)
{
    std::map<int, std::string> bindings;
    for (const auto& [key, value] : section) {
        const int n = PortNumberFromName(key);
        if (n > 0 && !value.empty())
            bindings[n] = value;
    }
    // One device, one number: the lowest keeps it, and the file loses the others.
    std::vector<int> dropped;
    for (auto it = bindings.begin(); it != bindings.end();) {
        const bool taken = std::any_of(bindings.begin(), it, [&](const auto& lower) {
            return SameDevice(lower.second, it->second);
        });
        if (taken)
            dropped.push_back(it->first);
        it = taken ? bindings.erase(it) : std::next(it);
    }
    auto& s = State();
    std::lock_guard lock(s.lock);
    s.bindings = std::move(bindings);
    for (int n : dropped)
        s.chosen[n].clear();
}

std::string PortMap::Binding(int portNo)
{
    auto& s = State();
    std::lock_guard lock(s.lock);
    const auto it = s.bindings.find(portNo);
    return it == s.bindings.end() ? std::string() : it->second;
}

std::map<int, std::string> PortMap::Bindings()
{
    auto& s = State();
    std::lock_guard lock(s.lock);
    return s.bindings;
}

std::string PortMap::DevicePathForPort(int portNo)
{
    if (portNo < 1)
        portNo = 1;
    const auto bindings = Bindings();
    if (const auto it = bindings.find(portNo); it != bindings.end())
        return it->second;
#ifdef _WIN32
    // On Windows COM n is the device "\\.\COMn" itself: no discovery order.
    return WindowsComDevice(portNo);
#else
    const auto boundElsewhere = [&](const std::string& device) {
        return std::any_of(bindings.begin(), bindings.end(),
                           [&](const auto& b) { return SameDevice(b.second, device); });
    };
    // The unbound numbers, in order, take the discovered ports that no number is bound to.
    std::vector<std::string> free;
    for (const std::string& device : DiscoveredPorts())
        if (!boundElsewhere(device))
            free.push_back(device);
    const auto boundBelow = static_cast<std::size_t>(std::distance(bindings.begin(), bindings.lower_bound(portNo)));
    const std::size_t rank = static_cast<std::size_t>(portNo) - boundBelow;
    if (rank <= free.size())
        return free[rank - 1];
    const std::string fallback = "/dev/ttyS" + std::to_string(portNo - 1);
    const bool numbered = boundElsewhere(fallback) ||
                          std::any_of(free.begin(), free.end(), [&](const auto& d) { return SameDevice(d, fallback); });
    return numbered ? std::string() : fallback;
#endif
}

int PortMap::PortNumberFromName(const std::string& name)
{
    if (name.size() < 4 || name.size() > 6)
        return 0;
    if (std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
        std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
        std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return 0;
    int n = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

std::string PortMap::ResolvePortName(const std::string& nameOrPath)
{
    const int n = PortNumberFromName(nameOrPath);
    return n > 0 ? DevicePathForPort(n) : nameOrPath;
}

std::vector<std::string> PortMap::DiscoveredPorts()
{
    Discovery discovery;
    {
        auto& s = State();
        std::lock_guard lock(s.lock);
        discovery = s.discovery;
    }
    auto paths = discovery ? discovery() : SystemPorts();
    SortDevicePaths(paths);
    return paths;
}

void PortMap::SetDiscovery(Discovery discovery)
{
    auto& s = State();
    std::lock_guard lock(s.lock);
    s.discovery = std::move(discovery);
}

} // namespace mv53::platform
