#include "platform/SerialDevicePosix.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace mv53::platform {

namespace {

struct SpeedEntry {
    int rate;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedForRate(int rate, speed_t& speed)
{
    for (const auto& e : kSpeeds) {
        if (e.rate == rate) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

int RateForSpeed(speed_t speed)
{
    for (const auto& e : kSpeeds) {
        if (e.speed == speed)
            return e.rate;
    }
    return 0;
}

// Modem-line ioctls fail like this on devices without modem lines (pseudo-terminals).
bool NoModemLines(int error)
{
    return error == ENOTTY || error == EINVAL || error == ENOTSUP;
}

void DrainEventFd(int fd)
{
    uint64_t value = 0;
    while (::read(fd, &value, sizeof value) > 0) {
    }
}

} // namespace

SerialDevicePosix::~SerialDevicePosix()
{
    Close();
}

int SerialDevicePosix::Open(const std::string& path)
{
    if (m_fd >= 0)
        return EBUSY;
    if (path.empty())
        return ENOENT;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    if (!::isatty(fd)) {
        ::close(fd);
        return ENOTTY;
    }
    // The advisory lock also keeps out a second open by root, which TIOCEXCL lets through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return err;
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    // Raw bytes from the start, whatever mode the last user left the terminal in; speed and
    // framing stay until the caller sends its settings.
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        ::tcsetattr(fd, TCSANOW, &t);
    }
    m_eventWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_writeWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_eventWake < 0 || m_writeWake < 0) {
        const int err = errno;
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        Close();
        return err;
    }
    m_fd = fd;
    // Edge-triggered: each arrival of bytes is reported once, whether or not earlier bytes
    // are still waiting.
    m_arrivals = ::epoll_create1(EPOLL_CLOEXEC);
    epoll_event data{};
    data.events = EPOLLIN | EPOLLET;
    data.data.fd = m_fd;
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = m_eventWake;
    if (m_arrivals < 0 || ::epoll_ctl(m_arrivals, EPOLL_CTL_ADD, m_fd, &data) != 0 ||
        ::epoll_ctl(m_arrivals, EPOLL_CTL_ADD, m_eventWake, &wake) != 0) {
        const int err = errno;
        Close();
        return err;
    }
    std::lock_guard lock(m_counterLock);
    m_pendingErrors = 0;
    m_hasCounters = ReadCounters(m_frame, m_overrun, m_parity, m_brk, m_bufOverrun);
    return 0;
}

void SerialDevicePosix::Close()
{
    if (m_fd >= 0) {
        // The exclusive flag belongs to the terminal, not to this descriptor: clear it so that
        // the next open succeeds even while another descriptor keeps the terminal alive.
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_arrivals >= 0) {
        ::close(m_arrivals);
        m_arrivals = -1;
    }
    if (m_eventWake >= 0) {
        ::close(m_eventWake);
        m_eventWake = -1;
    }
    if (m_writeWake >= 0) {
        ::close(m_writeWake);
        m_writeWake = -1;
    }
}

int SerialDevicePosix::GetLineSettings(LineSettings& settings)
{
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return errno;
    settings.baudRate = RateForSpeed(::cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        settings.parity = Parity::None;
    else
        settings.parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
    settings.stopBits = (t.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;

    uint32_t flags = kLineBinary;
    if (t.c_iflag & INPCK)
        flags |= kLineParityCheck;
    if (t.c_cflag & CRTSCTS)
        flags |= kLineCtsOutFlow | kLineRtsHandshake;
    if (t.c_iflag & IXON)
        flags |= kLineXonXoffOut;
    if (t.c_iflag & IXOFF)
        flags |= kLineXonXoffIn;
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0)
        lines = TIOCM_DTR | TIOCM_RTS;
    if (lines & TIOCM_DTR)
        flags |= kLineDtrOn;
    if ((lines & TIOCM_RTS) && !(flags & kLineRtsHandshake))
        flags |= kLineRtsOn;
    settings.flags = flags;
    settings.xonChar = t.c_cc[VSTART];
    settings.xoffChar = t.c_cc[VSTOP];
    return 0;
}

int SerialDevicePosix::SetLineSettings(const LineSettings& settings)
{
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return errno;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(HUPCL | CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    // A break is reported as an event (through the driver's counters), not as a 0 byte in the data.
    t.c_iflag |= IGNBRK;

    speed_t speed = B0;
    if (!SpeedForRate(settings.baudRate, speed))
        return EINVAL;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);

    switch (settings.dataBits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return EINVAL;
    }
    switch (settings.parity) {
    case Parity::None: break;
    case Parity::Odd: t.c_cflag |= PARENB | PARODD; break;
    case Parity::Even: t.c_cflag |= PARENB; break;
    }
    // termios has no one-and-a-half stop bits; two is the nearest the line can do.
    if (settings.stopBits != StopBits::One)
        t.c_cflag |= CSTOPB;

    const uint32_t rts = settings.flags & kLineRtsMask;
    if ((settings.flags & kLineCtsOutFlow) || rts == kLineRtsHandshake)
        t.c_cflag |= CRTSCTS;
    if (settings.flags & kLineXonXoffOut)
        t.c_iflag |= IXON;
    if (settings.flags & kLineXonXoffIn)
        t.c_iflag |= IXOFF;
    if ((settings.flags & kLineParityCheck) && settings.parity != Parity::None)
        t.c_iflag |= INPCK;
    t.c_cc[VSTART] = settings.xonChar;
    t.c_cc[VSTOP] = settings.xoffChar;
    // With VMIN 0 a read of an empty queue returns 0 like end of file; with 1 and the
    // descriptor non-blocking it reports EAGAIN, and 0 means the device hung up.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    if (::tcsetattr(m_fd, TCSANOW, &t) != 0)
        return errno;

    if (int err = SetDtr((settings.flags & kLineDtrMask) != 0); err != 0)
        return err;
    if (rts != kLineRtsHandshake) {
        if (int err = SetRts(rts == kLineRtsOn); err != 0)
            return err;
    }
    return 0;
}

int SerialDevicePosix::SetTimeouts(const Timeouts& timeouts)
{
    // termios has no total time-outs; reads and writes here never block, and the caller
    // bounds its own waits with these values.
    if (m_fd < 0)
        return EBADF;
    m_timeouts = timeouts;
    return 0;
}

int SerialDevicePosix::SetQueueSizes(int inputBytes, int outputBytes)
{
    // The tty layer sizes its own queues.
    (void)inputBytes;
    (void)outputBytes;
    return m_fd < 0 ? EBADF : 0;
}

int SerialDevicePosix::Purge(bool input, bool output)
{
    int which = 0;
    if (input && output)
        which = TCIOFLUSH;
    else if (input)
        which = TCIFLUSH;
    else if (output)
        which = TCOFLUSH;
    else
        return 0;
    return ::tcflush(m_fd, which) == 0 ? 0 : errno;
}

unsigned SerialDevicePosix::CheckCounters()
{
    unsigned result = kEventNone;
    std::lock_guard lock(m_counterLock);
    uint32_t frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    if (ReadCounters(frame, overrun, parity, brk, bufOverrun)) {
        uint32_t seen = 0;
        if (frame != m_frame)
            seen |= kErrorFrame;
        if (overrun != m_overrun)
            seen |= kErrorOverrun;
        if (parity != m_parity)
            seen |= kErrorParity;
        if (bufOverrun != m_bufOverrun)
            seen |= kErrorRxOver;
        if (brk != m_brk) {
            seen |= kErrorBreak;
            result |= kEventBreak;
        }
        if (seen & ~kErrorBreak)
            result |= kEventError;
        m_pendingErrors |= seen;
        m_frame = frame;
        m_overrun = overrun;
        m_parity = parity;
        m_brk = brk;
        m_bufOverrun = bufOverrun;
    }
    return result;
}

unsigned SerialDevicePosix::PollFor(short events, int wakeFd, int timeoutMs, bool watchCounters)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const bool sliced = watchCounters && m_hasCounters;
    for (;;) {
        int slice = timeoutMs;
        if (timeoutMs >= 0) {
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
            slice = static_cast<int>(std::max<long long>(0, timeoutMs - elapsed));
        }
        // A driver that counts breaks and line errors is asked now and then: poll does not
        // report them without data.
        if (sliced && (slice < 0 || slice > 100))
            slice = 100;

        pollfd fds[2] = {{m_fd, events, 0}, {wakeFd, POLLIN, 0}};
        const int r = ::poll(fds, wakeFd >= 0 ? 2 : 1, slice);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return kEventHangUp;
        }
        unsigned result = kEventNone;
        if (wakeFd >= 0 && (fds[1].revents & POLLIN)) {
            DrainEventFd(wakeFd);
            result |= kEventWoken;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            result |= kEventHangUp;
        if (fds[0].revents & POLLIN)
            result |= kEventData;
        if (fds[0].revents & POLLOUT)
            result |= kEventWritable;
        if (sliced)
            result |= CheckCounters();
        if (result != kEventNone)
            return result;
        if (timeoutMs >= 0 && Clock::now() - start >= std::chrono::milliseconds(timeoutMs))
            return kEventTimeout;
    }
}

unsigned SerialDevicePosix::WaitEvent(int timeoutMs, bool watchData)
{
    if (m_fd < 0)
        return kEventHangUp;
    return PollFor(watchData ? POLLIN : 0, m_eventWake, timeoutMs, true);
}

void SerialDevicePosix::WakeEventWaiter()
{
    const uint64_t one = 1;
    if (m_eventWake >= 0)
        (void)!::write(m_eventWake, &one, sizeof one);
}

unsigned SerialDevicePosix::WaitWritable(int timeoutMs)
{
    if (m_fd < 0)
        return kEventHangUp;
    return PollFor(POLLOUT, m_writeWake, timeoutMs, false);
}

void SerialDevicePosix::WakeWriteWaiter()
{
    const uint64_t one = 1;
    if (m_writeWake >= 0)
        (void)!::write(m_writeWake, &one, sizeof one);
}

unsigned SerialDevicePosix::WaitNewData(int timeoutMs)
{
    if (m_fd < 0 || m_arrivals < 0)
        return kEventHangUp;
    epoll_event events[2] = {};
    const int r = ::epoll_wait(m_arrivals, events, 2, timeoutMs);
    if (r < 0)
        return errno == EINTR ? kEventNone : kEventHangUp;
    unsigned result = kEventNone;
    for (int i = 0; i < r; ++i) {
        if (events[i].data.fd == m_eventWake) {
            DrainEventFd(m_eventWake);
            result |= kEventWoken;
            continue;
        }
        if (events[i].events & (EPOLLHUP | EPOLLERR))
            result |= kEventHangUp;
        if (events[i].events & EPOLLIN)
            result |= kEventData;
    }
    if (m_hasCounters)
        result |= CheckCounters();
    return result != kEventNone ? result : kEventTimeout;
}

unsigned SerialDevicePosix::WaitReadable(int timeoutMs)
{
    if (m_fd < 0)
        return kEventHangUp;
    return PollFor(POLLIN, -1, timeoutMs, false);
}

int SerialDevicePosix::BytesWaiting(int& count)
{
    count = 0;
    return ::ioctl(m_fd, FIONREAD, &count) == 0 ? 0 : errno;
}

int SerialDevicePosix::OutputWaiting(int& count)
{
    count = 0;
    return ::ioctl(m_fd, TIOCOUTQ, &count) == 0 ? 0 : errno;
}

IoResult SerialDevicePosix::Read(void* buffer, std::size_t size)
{
    if (size == 0)
        return {};
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, size);
        if (n > 0)
            return {static_cast<long>(n), 0};
        if (n == 0)
            return {0, EIO};
        if (errno == EINTR)
            continue;
        if (errno == EWOULDBLOCK)
            return {0, EAGAIN};
        return {0, errno};
    }
}

IoResult SerialDevicePosix::Write(const void* buffer, std::size_t size)
{
    if (size == 0)
        return {};
    for (;;) {
        const ssize_t n = ::write(m_fd, buffer, size);
        if (n >= 0)
            return {static_cast<long>(n), 0};
        if (errno == EINTR)
            continue;
        if (errno == EWOULDBLOCK)
            return {0, EAGAIN};
        return {0, errno};
    }
}

int SerialDevicePosix::SetModemLine(int bit, bool on)
{
    if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0)
        return 0;
    const int err = errno;
    return NoModemLines(err) ? 0 : err;
}

int SerialDevicePosix::SetRts(bool on)
{
    return SetModemLine(TIOCM_RTS, on);
}

int SerialDevicePosix::SetDtr(bool on)
{
    return SetModemLine(TIOCM_DTR, on);
}

uint32_t SerialDevicePosix::ClearErrors()
{
    std::lock_guard lock(m_counterLock);
    uint32_t frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
    if (m_hasCounters && ReadCounters(frame, overrun, parity, brk, bufOverrun)) {
        if (frame != m_frame)
            m_pendingErrors |= kErrorFrame;
        if (overrun != m_overrun)
            m_pendingErrors |= kErrorOverrun;
        if (parity != m_parity)
            m_pendingErrors |= kErrorParity;
        if (bufOverrun != m_bufOverrun)
            m_pendingErrors |= kErrorRxOver;
        if (brk != m_brk)
            m_pendingErrors |= kErrorBreak;
        m_frame = frame;
        m_overrun = overrun;
        m_parity = parity;
        m_brk = brk;
        m_bufOverrun = bufOverrun;
    }
    const uint32_t errors = m_pendingErrors;
    m_pendingErrors = 0;
    return errors;
}

bool SerialDevicePosix::ReadCounters(uint32_t& frame, uint32_t& overrun, uint32_t& parity,
                                     uint32_t& brk, uint32_t& bufOverrun)
{
    serial_icounter_struct counters{};
    if (m_fd < 0 || ::ioctl(m_fd, TIOCGICOUNT, &counters) != 0)
        return false;
    frame = static_cast<uint32_t>(counters.frame);
    overrun = static_cast<uint32_t>(counters.overrun);
    parity = static_cast<uint32_t>(counters.parity);
    brk = static_cast<uint32_t>(counters.brk);
    bufOverrun = static_cast<uint32_t>(counters.buf_overrun);
    return true;
}

std::unique_ptr<SerialDevice> CreateSerialDevice()
{
    return std::make_unique<SerialDevicePosix>();
}

std::string ErrorText(int error)
{
    char buffer[256] = {};
    // GNU strerror_r returns the text, which may or may not be in the buffer.
    return ::strerror_r(error, buffer, sizeof buffer);
}

std::string OpenErrorReason(const std::string& path, int error)
{
    std::string text = path + ": " + ErrorText(error);
    switch (error) {
    case EBUSY:
    case EWOULDBLOCK:
        text += " (the port is in use by another program)";
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        text += " (there is no such port; is the cable plugged in?)";
        break;
    case EACCES:
    case EPERM:
        text += " (opening serial ports needs the user in the dialout group)";
        break;
    case ENOTTY:
        text += " (this is not a serial port)";
        break;
    default:
        break;
    }
    return text;
}

std::string OpenFailureAdvice(int error)
{
    switch (error) {
    case EBUSY:
    case EWOULDBLOCK:
        return "the port is in use by another program.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "there is no such device; check that the cable is plugged in and the port chosen in Configure.";
    case EACCES:
    case EPERM:
        return "permission denied; add the user to the dialout group "
               "(sudo usermod -aG dialout $USER) and log in again.";
    default:
        return {};
    }
}

bool IsHangUpError(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF;
}

} // namespace mv53::platform
