#include "platform/PortDiagnosis.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mv53::platform {

namespace {

struct KnownGrabber {
    const char* name;     // the process name in /proc/PID/comm
    const char* advice;
};

// ModemManager probes every new serial adapter with modem commands; brltty claims adapters
// whose chips braille displays also use (CH340, CP210x, FTDI).
constexpr KnownGrabber kGrabbers[] = {
    {"ModemManager", "it sends modem commands to serial adapters that appear; stop it: "
                     "sudo systemctl stop ModemManager (sudo systemctl disable ModemManager keeps it off)"},
    {"brltty", "it claims USB serial adapters for braille displays; if none is used, remove it: "
               "sudo apt remove brltty (or sudo systemctl stop brltty)"},
};

std::string UserName(uid_t uid)
{
    if (const passwd* pw = ::getpwuid(uid))
        return pw->pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid)
{
    if (const group* gr = ::getgrgid(gid))
        return gr->gr_name;
    return std::to_string(gid);
}

bool InSessionGroups(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Whether the group database puts the user in gid (a change the login session may not have yet).
bool InGroupDatabase(const std::string& user, gid_t primary, gid_t gid)
{
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(user.c_str(), primary, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(user.c_str(), primary, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

std::string FirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The numbers of the processes in /proc, without this one.
std::vector<long> OtherProcesses()
{
    std::vector<long> pids;
    DIR* dir = ::opendir("/proc");
    if (dir == nullptr)
        return pids;
    const long self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            if (const long pid = std::stol(name); pid != self)
                pids.push_back(pid);
    }
    ::closedir(dir);
    std::sort(pids.begin(), pids.end());
    return pids;
}

} // namespace

PortAccess CheckPortAccess(const std::string& device)
{
    PortAccess access;
    access.known = true;
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) {
        access.found = "does not exist";
        access.advice = "check that the cable is plugged in and the port's name (the ports found are listed above)";
        return access;
    }
    access.exists = true;
    const std::string user = UserName(::geteuid());
    const std::string group = GroupName(st.st_gid);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    access.found = "owner " + UserName(st.st_uid) + ", group " + group + ", mode " + mode;
    access.mayOpen = ::faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    if (access.mayOpen)
        return access;
    const bool groupGrants = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    const passwd* pw = ::getpwuid(::geteuid());
    if (!groupGrants)
        access.advice = "the device lets neither " + user + " nor its group read and write it; ask the "
                        "administrator for a rule that gives a group (such as dialout) read and write";
    else if (pw != nullptr && InGroupDatabase(user, pw->pw_gid, st.st_gid) && !InSessionGroups(st.st_gid))
        access.advice = user + " is in the group " + group + " but this login session is not yet: log out and in "
                        "again (or start a shell with: newgrp " + group + ")";
    else
        access.advice = "join the group " + group + ": sudo usermod -aG " + group + " " + user +
                        ", then log out and in again";
    return access;
}

PortHolders FindPortHolders(const std::string& device)
{
    PortHolders result;
    struct stat target {};
    if (::stat(device.c_str(), &target) != 0 || !S_ISCHR(target.st_mode))
        return result;
    result.complete = true;
    for (const long pid : OtherProcesses()) {
        const std::string fdFolder = "/proc/" + std::to_string(pid) + "/fd";
        DIR* dir = ::opendir(fdFolder.c_str());
        if (dir == nullptr) {
            result.complete = false;   // another user's process, or one that just ended
            continue;
        }
        result.looked = true;
        bool holds = false;
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st {};
            if (entry->d_name[0] == '.' || ::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0)
                continue;
            holds = holds || (S_ISCHR(st.st_mode) && st.st_rdev == target.st_rdev);
        }
        ::closedir(dir);
        if (holds)
            result.holders.push_back({pid, FirstLine("/proc/" + std::to_string(pid) + "/comm")});
    }
    return result;
}

std::optional<std::vector<PortGrabber>> RunningPortGrabbers()
{
    const std::vector<long> pids = OtherProcesses();
    if (pids.empty())
        return std::nullopt;
    std::vector<std::string> names;
    for (const long pid : pids)
        names.push_back(FirstLine("/proc/" + std::to_string(pid) + "/comm"));
    std::vector<PortGrabber> running;
    for (const KnownGrabber& known : kGrabbers)
        if (std::find(names.begin(), names.end(), known.name) != names.end())
            running.push_back({known.name, known.advice});
    return running;
}

std::string KnownPortGrabberNames()
{
    std::string names;
    for (const KnownGrabber& known : kGrabbers)
        names += (names.empty() ? "" : ", ") + std::string(known.name);
    return names;
}

} // namespace mv53::platform
