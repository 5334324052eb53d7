#include "platform/PortIdentity.h"

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <vector>

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>

namespace mv53::platform {

namespace {

// The path with every link resolved; empty when it does not exist.
std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (path.empty() || ::realpath(path.c_str(), resolved) == nullptr)
        return {};
    return resolved;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string StableLinkFolder()
{
    if (const char* folder = std::getenv("MV53_SERIAL_BY_ID"); folder != nullptr && *folder != '\0')
        return folder;
    return "/dev/serial/by-id";
}

std::string StableDevicePath(const std::string& device)
{
    const std::string folder = StableLinkFolder();
    if (device.rfind(folder + "/", 0) == 0)
        return device;
    const std::string real = RealPath(device);
    if (real.empty())
        return device;
    for (const std::string& name : FolderEntries(folder)) {
        const std::string link = folder + "/" + name;
        if (RealPath(link) == real)
            return link;
    }
    return device;
}

bool SameDevice(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    const std::string ra = RealPath(a);
    return !ra.empty() && ra == RealPath(b);
}

std::string StableDeviceName(const std::string& path)
{
    const std::string folder = StableLinkFolder();
    if (path.rfind(folder + "/", 0) != 0)
        return {};
    std::string name = path.substr(folder.size() + 1);
    // "usb-Maker_Model_Serial-if00-port0": the bus first, the interface and port last.
    static const std::regex kBus("^[a-z]+-");
    static const std::regex kInterface("-if[0-9]+(-port[0-9]+)?$");
    name = std::regex_replace(name, kBus, "");
    name = std::regex_replace(name, kInterface, "");
    std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

} // namespace mv53::platform
