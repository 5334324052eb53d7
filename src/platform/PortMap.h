#pragma once
// Process-wide map from COM port numbers (1-based, as the windows show them) to device paths.
// Bindings come from the configuration's "PORTS" section (COM1=/dev/ttyUSB0), from the command
// line or from demo mode, and from the user's choice of a port (bound to the device's stable
// path, so that the number keeps its device when other adapters come and go). The numbers
// without a binding take, in order, the discovered serial ports that no number is bound to,
// and after those "/dev/ttyS<n-1>"; no device appears under two numbers. A device path is
// accepted wherever a port is chosen.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mv53::platform {

class PortMap {
public:
    using Discovery = std::function<std::vector<std::string>()>;

    // Binds COM port n (1-based) to a device path for this run; an empty path removes the binding.
    static void Bind(int portNo, const std::string& devicePath);
    // Binds the ports of a text of ParsePortBindings's form ("COM1=/dev/pts/3;...", from
    // MV53_PORTS or the command line) for this run, over the configuration's bindings.
    static void BindForThisRun(const std::string& text);
    // The user chose COM port n for the device behind it: n is bound to the device's stable
    // path, and any other number bound to the same device loses its binding. Changes are kept
    // for ChosenBindings. Returns the stable path.
    static std::string Choose(int portNo, const std::string& devicePath);
    // The bindings that Choose changed since ClearBindings, to be written to the configuration
    // file ("COMn" → stable path; an empty path: the binding was removed).
    static std::map<std::string, std::string> ChosenBindings();
    static void ClearBindings();
    // Takes over the entries "COM1" ... "COM<n>" of a configuration section (names in any
    // letter case); other keys and empty values are ignored, and so is a binding to a device
    // that a lower number is bound to already (reported by ChosenBindings as removed).
    // Existing bindings are replaced.
    static void SetBindings(const std::map<std::string, std::string>& section);
    // The binding of port n, empty when there is none.
    static std::string Binding(int portNo);
    static std::map<int, std::string> Bindings();

    // The device behind COM port n: its binding, else the discovered port that falls to it
    // among the unbound numbers, else "/dev/ttyS<n-1>" (empty when that device has a number
    // already). Numbers below 1 are treated as 1.
    static std::string DevicePathForPort(int portNo);
    // A port chosen by the user: "COMn" (any letter case) goes through DevicePathForPort,
    // anything else is taken as a device path.
    static std::string ResolvePortName(const std::string& nameOrPath);
    // "COMn" → n, anything else → 0.
    static int PortNumberFromName(const std::string& name);

    // The present serial ports in a stable order (natural order of their device paths).
    static std::vector<std::string> DiscoveredPorts();
    // Replaces the discovery (tests, demo mode); an empty function restores the system's.
    static void SetDiscovery(Discovery discovery);
};

// Bindings for the COM ports of one run, "COM1=/dev/pts/3;COM2=/dev/ttyUSB0" (";" or ","
// between them, as MV53_PORTS gives them); malformed parts are skipped.
std::map<std::string, std::string> ParsePortBindings(const std::string& text);

// Sorts device paths so that the number in a name counts as a number (ttyS2 before ttyS10).
void SortDevicePaths(std::vector<std::string>& paths);

} // namespace mv53::platform
