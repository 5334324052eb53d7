#pragma once
// What the operating system can tell about a serial port before and besides opening it: whether
// this user may open it (and what to do if not), which other processes have it open, and which
// services known to grab USB serial adapters are running. Linux reads the device's rights, the
// user's groups and /proc; Windows tells none of these before a port is opened, so there the
// open itself is the check.

#include <optional>
#include <string>
#include <vector>

namespace mv53::platform {

struct PortAccess {
    bool known = false;     // the system tells before opening (false: only opening tells)
    bool exists = false;
    bool mayOpen = false;   // this user may read and write it
    std::string found;      // the device's rights as found ("owner root, group dialout, mode 0660")
    std::string advice;     // what to do when it may not be opened
};
PortAccess CheckPortAccess(const std::string& device);

struct PortHolder {
    long pid = 0;
    std::string program;
};
struct PortHolders {
    bool looked = false;     // the system let us look at any process
    bool complete = false;   // every process could be looked at (others' need root)
    std::vector<PortHolder> holders;   // other processes that have the device open
};
PortHolders FindPortHolders(const std::string& device);

struct PortGrabber {
    std::string name;     // "ModemManager"
    std::string advice;   // how to stop it
};
// The services known to grab USB serial adapters that are running now; nothing when the system
// cannot tell.
std::optional<std::vector<PortGrabber>> RunningPortGrabbers();
// Their names, for the line that says none runs.
std::string KnownPortGrabberNames();

} // namespace mv53::platform
