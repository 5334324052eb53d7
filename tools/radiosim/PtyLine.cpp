#include "PtyLine.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace mv53::radiosim {

bool OpenPtyLine(PtyLine& line, std::string& error)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // Raw at once, before the PC side can see the line in cooked mode.
    termios tio {};
    ::tcgetattr(master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(master, TCSANOW, &tio);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    line.master = master;
    line.slave = slave;
    line.path = name;
    line.watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (line.watch >= 0 && ::inotify_add_watch(line.watch, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(line.watch);
        line.watch = -1;
    }
    return true;
}

void TakePcClose(const PtyLine& line)
{
    alignas(inotify_event) char events[1024];
    while (::read(line.watch, events, sizeof events) > 0) {
    }
    ::ioctl(line.slave, TIOCNXCL);
}

}  // namespace mv53::radiosim
