#include "platform/PortDiagnosis.h"

// Windows keeps a device's rights and its users to itself until a program opens it, and has no
// services known to take serial adapters: opening the port is the one check.

namespace mv53::platform {

PortAccess CheckPortAccess(const std::string&)
{
    return {};
}

PortHolders FindPortHolders(const std::string&)
{
    return {};
}

std::optional<std::vector<PortGrabber>> RunningPortGrabbers()
{
    return std::nullopt;
}

std::string KnownPortGrabberNames()
{
    return {};
}

} // namespace mv53::platform
