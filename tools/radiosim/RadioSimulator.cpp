#include "RadioSimulator.h"

#include "PtyLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace mv53::radiosim {

namespace {

using Clock = std::chrono::steady_clock;

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

unsigned SpeedValue(speed_t speed)
{
    switch (speed) {
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

timespec ToTimespec(Clock::duration d)
{
    if (d < Clock::duration::zero())
        d = Clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

// The bit rate the port is set to (the pseudo-terminal shows the PC side's settings).
unsigned LineRate(int line)
{
    termios tio {};
    if (line < 0 || ::tcgetattr(line, &tio) != 0)
        return 0;
    return SpeedValue(::cfgetospeed(&tio));
}

// How long before a paced byte is due the simulator stops sleeping and polls instead.
constexpr std::chrono::microseconds kPacedSpin {150};

}  // namespace

bool ReadMemoryFile(const std::string& path, Memory& memory, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot open " + path;
        return false;
    }
    Memory read {};
    in.read(reinterpret_cast<char*>(read.data()), static_cast<std::streamsize>(read.size()));
    if (static_cast<std::size_t>(in.gcount()) != read.size()) {
        if (error)
            *error = path + " is shorter than " + std::to_string(kMemorySize) + " bytes";
        return false;
    }
    memory = read;
    return true;
}

bool WriteMemoryFile(const std::string& path, const Memory& memory, std::string* error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
    out.close();
    if (!out) {
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    return true;
}

std::chrono::nanoseconds ByteTime(unsigned cflag, unsigned speed)
{
    if (speed == 0)
        return std::chrono::nanoseconds::zero();
    unsigned dataBits = 8;
    switch (cflag & CSIZE) {
    case CS5: dataBits = 5; break;
    case CS6: dataBits = 6; break;
    case CS7: dataBits = 7; break;
    default: break;
    }
    const unsigned bits = 1 + dataBits + ((cflag & PARENB) ? 1 : 0) + ((cflag & CSTOPB) ? 2 : 1);
    return std::chrono::nanoseconds(1'000'000'000LL * bits / speed);
}

RadioSimulator::RadioSimulator() : RadioSimulator(DefaultMemory()) {}

RadioSimulator::RadioSimulator(const Memory& memory) : m_engine(memory) {}

RadioSimulator::~RadioSimulator() { Stop(); }

bool RadioSimulator::Start()
{
    if (Running())
        return true;
    PtyLine line;
    if (!OpenPtyLine(line, m_error))
        return false;
    m_line = line.master;
    m_slave = line.slave;
    m_watch = line.watch;
    m_devicePath = line.path;
    return Launch();
}

bool RadioSimulator::StartOnDevice(const std::string& path)
{
    if (Running())
        return true;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = ErrnoText("open " + path);
        return false;
    }
    termios tio {};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag |= CSTOPB | CLOCAL | CREAD;
        tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    m_line = fd;
    m_devicePath = path;
    return Launch();
}

bool RadioSimulator::Launch()
{
    if (::pipe2(m_wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        m_error = ErrnoText("pipe");
        CloseLine();
        return false;
    }
    m_stop = false;
    m_hungUp = false;
    m_thread = std::thread(&RadioSimulator::Run, this);
    return true;
}

void RadioSimulator::Stop()
{
    if (m_thread.joinable()) {
        m_stop = true;
        const Byte b = 0;
        [[maybe_unused]] const auto ignored = ::write(m_wake[1], &b, 1);
        m_thread.join();
    }
    CloseLine();
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
}

void RadioSimulator::CloseLine()
{
    CloseFd(m_watch);
    CloseFd(m_line);
    CloseFd(m_slave);
}

void RadioSimulator::Notify()
{
    m_changed.notify_all();
}

void RadioSimulator::Run()
{
    // Paced bytes are due at exact line times: the default timer slack (50 us) would make every
    // paced wait late by that much, a tenth of a character at 19200 bit/s.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::vector<Byte> tx;                                   // answer bytes not yet sent
    // Received bytes with the time each one has fully arrived on the line. The radio takes them
    // as soon as they are read; paced answers still leave only once their question is in.
    std::vector<std::pair<Byte, Clock::time_point>> rx;
    Clock::time_point txClock {};    // when the line is free for the next paced byte
    Clock::time_point rxClock {};    // when the last received byte has fully arrived
    Clock::time_point lastRx {};
    Clock::time_point holdUntil {};  // a late answer: nothing goes out before this
    Clock::time_point heldFrom {};   // when the byte that asked for it arrived
    bool holding = false;
    std::vector<Byte> answer;

    const auto byteTime = [this]() -> std::chrono::nanoseconds {
        termios tio {};
        if (m_line < 0 || ::tcgetattr(m_line, &tio) != 0)
            return std::chrono::nanoseconds::zero();
        return ByteTime(static_cast<unsigned>(tio.c_cflag), SpeedValue(::cfgetospeed(&tio)));
    };
    const auto hangUp = [&] {
        // Closing the master discards what the PC has not read yet: give it up to a second to
        // read the bytes that were sent, so that it sees exactly those and then the hang-up.
        // The bytes reach the slave's queue a moment after the write, hence the short minimum.
        const auto started = Clock::now();
        while (m_slave >= 0 && !m_stop) {
            int waiting = 0;
            if (::ioctl(m_slave, FIONREAD, &waiting) != 0)
                break;
            const auto elapsed = Clock::now() - started;
            if ((waiting == 0 && elapsed >= std::chrono::milliseconds(20)) || elapsed >= std::chrono::seconds(1))
                break;
            pollfd wake {m_wake[0], POLLIN, 0};
            const timespec step {0, 2'000'000};
            ::ppoll(&wake, 1, &step, nullptr);
        }
        if (m_slave < 0 && m_line >= 0)
            ::tcdrain(m_line);
        CloseLine();
        tx.clear();
        rx.clear();
        {
            std::lock_guard lock(m_mutex);
            m_hungUp = true;
        }
        Notify();
    };
    const auto hangUpLimit = [this] {
        std::lock_guard lock(m_mutex);
        return m_engine.Fault().hangUpAfterBytes;
    };
    // Sends what the pacing and the hang-up fault allow; false once the line is gone.
    const auto send = [&](bool paced) {
        if (holding && !tx.empty() && Clock::now() < holdUntil)
            return;
        const long long reached = hangUpLimit();
        if (m_line >= 0 && reached > 0 && static_cast<long long>(m_bytesSent) >= reached) {
            hangUp();
            return;
        }
        while (!tx.empty() && m_line >= 0) {
            std::size_t count = paced ? 1 : tx.size();
            const long long limit = hangUpLimit();
            if (limit >= 0) {
                const long long allowed = limit - static_cast<long long>(m_bytesSent);
                if (allowed <= 0) {
                    hangUp();
                    return;
                }
                count = std::min<std::size_t>(count, static_cast<std::size_t>(allowed));
            }
            if (paced) {
                const auto due = txClock + byteTime();
                if (Clock::now() < due)
                    return;
                txClock = due;
            }
            const ssize_t n = ::write(m_line, tx.data(), count);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    return;
                hangUp();
                return;
            }
            tx.erase(tx.begin(), tx.begin() + n);
            m_bytesSent += static_cast<std::size_t>(n);
            if (holding) {
                holding = false;
                std::lock_guard lock(m_mutex);
                m_lateGap = Clock::now() - heldFrom;
            }
            if (limit >= 0 && static_cast<long long>(m_bytesSent) >= limit) {
                hangUp();
                return;
            }
            if (!paced && static_cast<std::size_t>(n) < count)
                return;
        }
    };

    while (!m_stop) {
        const bool paced = m_pace;
        const auto now = Clock::now();

        // Received bytes go to the radio; its answers join the send queue.
        bool received = false;
        if (!rx.empty()) {
            received = true;
            bool hangUpNow = false;
            const unsigned lineRate = m_bootMode ? LineRate(m_line) : 0;
            {
                std::lock_guard lock(m_mutex);
                const auto gap = m_frameGap.load();
                std::size_t i = 0;
                for (; i < rx.size(); ++i) {
                    if (m_engine.Fault().hangUpAfterBytes == 0) {
                        hangUpNow = true;
                        break;
                    }
                    // Silence inside a frame means the PC gave up on it: start afresh.
                    if (m_engine.HasPartialFrame() && rx[i].second - lastRx >= gap)
                        m_engine.DropPartialFrame();
                    lastRx = rx[i].second;
                    ++m_bytesReceived;
                    answer.clear();
                    const std::size_t framesBefore = m_engine.Frames().size();
                    const std::size_t adjustmentsBefore = m_engine.Adjustments().size();
                    if (m_bootMode)
                        m_boot.Receive(rx[i].first, lineRate, answer);
                    else
                        m_engine.Receive(rx[i].first, answer);
                    // A live adjustment counts from the moment its last byte is in: on a paced
                    // line after the frame's line time, not when this thread read the bytes.
                    if (m_engine.Adjustments().size() > adjustmentsBefore)
                        m_engine.Adjustments().back().time = rx[i].second;
                    if (!answer.empty()) {
                        // The radio answers as soon as the byte is in (its stop bit), not when
                        // this thread came round to it.
                        if (tx.empty())
                            txClock = std::max(txClock, paced ? rx[i].second : now);
                        const Faults& faults = m_engine.Fault();
                        if (faults.lateAnswer >= 0 && m_answers == static_cast<std::size_t>(faults.lateAnswer)) {
                            heldFrom = rx[i].second;
                            holdUntil = heldFrom + faults.lateBy;
                            holding = true;
                            txClock = std::max(txClock, holdUntil);
                        }
                        ++m_answers;
                        tx.insert(tx.end(), answer.begin(), answer.end());
                    }
                    const auto& frames = m_engine.Frames();
                    if (m_engine.Fault().hangUpOnCommand >= 0 && frames.size() > framesBefore &&
                        frames.back().command == m_engine.Fault().hangUpOnCommand) {
                        ++i;
                        hangUpNow = true;
                        break;
                    }
                }
                rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(i));
            }
            if (hangUpNow)
                hangUp();
        }
        send(paced);
        // Waiters see a handled frame only once its (unpaced) answer has been written.
        if (received)
            Notify();

        std::optional<Clock::time_point> deadline;
        if (m_line >= 0) {
            if (!tx.empty() && paced)
                deadline = txClock + byteTime();
            else if (!tx.empty() && holding)
                deadline = holdUntil;
        }

        pollfd fds[3] {};
        nfds_t count = 0;
        fds[count++] = {m_wake[0], POLLIN, 0};
        const nfds_t lineIndex = count;
        if (m_line >= 0) {
            const short out = (!tx.empty() && !paced && !holding) ? POLLOUT : 0;
            fds[count++] = {m_line, static_cast<short>(POLLIN | out), 0};
        }
        const nfds_t watchIndex = count;
        if (m_watch >= 0)
            fds[count++] = {m_watch, POLLIN, 0};

        // A timed wait wakes tens of microseconds late: a paced byte is waited for up to a short
        // stretch before it is due, and the rest is spent polling, so it leaves on time.
        timespec ts {};
        if (deadline) {
            const auto left = *deadline - Clock::now();
            const auto spin = paced ? kPacedSpin : std::chrono::nanoseconds::zero();
            ts = left > spin ? ToTimespec(left - spin) : timespec {};
        }
        const int ready = ::ppoll(fds, count, deadline ? &ts : nullptr, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            Byte drain[16];
            while (::read(m_wake[0], drain, sizeof drain) > 0) {
            }
        }
        if (m_watch >= 0 && watchIndex < count && (fds[watchIndex].revents & POLLIN)) {
            // The PC closed the port: let it open the port again, exclusively or not.
            TakePcClose({m_line, m_slave, m_watch, m_devicePath});
        }
        if (m_line >= 0 && lineIndex < count) {
            const short revents = fds[lineIndex].revents;
            if (revents & POLLIN) {
                Byte buffer[512];
                const ssize_t n = ::read(m_line, buffer, sizeof buffer);
                if (n > 0) {
                    const auto arrived = Clock::now();
                    const auto perByte = paced ? byteTime() : std::chrono::nanoseconds::zero();
                    for (ssize_t i = 0; i < n; ++i) {
                        rxClock = std::max(rxClock, arrived) + perByte;
                        rx.emplace_back(buffer[i], paced ? rxClock : arrived);
                    }
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    hangUp();
                }
            } else if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
                // A real device that went away: stop polling it instead of spinning.
                hangUp();
            }
        }
    }
}

void RadioSimulator::SetBootBehaviour(const BootBehaviour& behaviour)
{
    std::lock_guard lock(m_mutex);
    m_boot.Behave() = behaviour;
    m_boot.FillFlash(behaviour.flashFill);
}

void RadioSimulator::SetBootFaults(const BootFaults& faults)
{
    std::lock_guard lock(m_mutex);
    m_boot.Fault() = faults;
}

std::vector<BootByte> RadioSimulator::Flash() const
{
    std::lock_guard lock(m_mutex);
    return m_boot.Flash();
}

void RadioSimulator::FillFlash(BootByte value)
{
    std::lock_guard lock(m_mutex);
    m_boot.FillFlash(value);
}

void RadioSimulator::PowerCycle()
{
    std::lock_guard lock(m_mutex);
    m_boot.Reset();
}

BootLog RadioSimulator::GetBootLog() const
{
    std::lock_guard lock(m_mutex);
    return m_boot.Log();
}

void RadioSimulator::SetBehaviour(const Behaviour& behaviour)
{
    std::lock_guard lock(m_mutex);
    m_engine.Behave() = behaviour;
}

Behaviour RadioSimulator::GetBehaviour() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Behave();
}

void RadioSimulator::SetFaults(const Faults& faults)
{
    {
        std::lock_guard lock(m_mutex);
        m_engine.Fault() = faults;
        m_answers = 0;
        m_lateGap.reset();
    }
    // The hang-up limit may already be reached: let the loop look at it.
    if (m_wake[1] >= 0) {
        const Byte b = 0;
        [[maybe_unused]] const auto ignored = ::write(m_wake[1], &b, 1);
    }
}

Faults RadioSimulator::GetFaults() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Fault();
}

Memory RadioSimulator::GetMemory() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Mem();
}

void RadioSimulator::SetMemory(const Memory& memory)
{
    std::lock_guard lock(m_mutex);
    m_engine.Mem() = memory;
}

bool RadioSimulator::LoadMemory(const std::string& path)
{
    Memory memory {};
    if (!ReadMemoryFile(path, memory, &m_error))
        return false;
    SetMemory(memory);
    return true;
}

bool RadioSimulator::SaveMemory(const std::string& path)
{
    return WriteMemoryFile(path, GetMemory(), &m_error);
}

std::vector<ReceivedFrame> RadioSimulator::Frames() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Frames();
}

std::vector<AdjustEntry> RadioSimulator::Adjustments() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.Adjustments();
}

std::size_t RadioSimulator::AcksReceived() const
{
    std::lock_guard lock(m_mutex);
    return m_engine.AcksReceived();
}

void RadioSimulator::ClearLogs()
{
    std::lock_guard lock(m_mutex);
    m_engine.Frames().clear();
    m_engine.Adjustments().clear();
}

bool RadioSimulator::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
        return m_engine.Frames().size() >= count;
    });
}

bool RadioSimulator::WaitForAcks(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_engine.AcksReceived() >= count; });
}

bool RadioSimulator::WaitForBytesReceived(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_bytesReceived.load() >= count; });
}

std::optional<std::chrono::nanoseconds> RadioSimulator::LateAnswerGap() const
{
    std::lock_guard lock(m_mutex);
    return m_lateGap;
}

bool RadioSimulator::WaitForHangUp(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_hungUp.load(); });
}

}  // namespace mv53::radiosim
