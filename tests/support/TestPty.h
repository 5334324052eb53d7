#pragma once
// A pseudo-terminal for serial tests: the test holds the master as the far end of the line and
// its own slave descriptor, so that the master does not see a hang-up whenever the code under
// test closes its side.

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace mv53::test {

// Writes all bytes to a non-blocking descriptor, waiting for room; false on an error or when
// the far end takes nothing for 20 s.
inline bool WriteAllTo(int fd, const uint8_t* data, std::size_t count)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (count > 0) {
        const ssize_t n = ::write(fd, data, count);
        if (n > 0) {
            data += n;
            count -= static_cast<std::size_t>(n);
            continue;
        }
        if ((n < 0 && errno != EAGAIN) || std::chrono::steady_clock::now() > until)
            return false;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 50);
    }
    return true;
}

// Reads until count bytes arrived, the line stayed quiet for quietMs, or the line went away
// (end of file or an error).
inline std::vector<uint8_t> ReadFrom(int fd, std::size_t count, int quietMs)
{
    std::vector<uint8_t> got;
    while (got.size() < count) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, quietMs) <= 0)
            break;
        uint8_t buffer[4096];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n < 0 && errno == EAGAIN)
            continue;
        if (n <= 0)
            break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

class TestPty {
public:
    TestPty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios t{};
        ::tcgetattr(m_slave, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = name;
    }
    ~TestPty()
    {
        CloseMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    int Master() const { return m_master; }

    // The far end goes away: the slave side sees a hang-up.
    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool WriteAll(const std::vector<uint8_t>& bytes) const { return WriteAllTo(m_master, bytes.data(), bytes.size()); }
    // Reads until n bytes arrived or the line stays silent for quietMs.
    std::vector<uint8_t> ReadBytes(std::size_t n, int quietMs = 3000) const { return ReadFrom(m_master, n, quietMs); }

    // The line settings as the master sees them (speed and stop bits follow the slave).
    termios MasterSettings() const
    {
        termios t{};
        ::tcgetattr(m_master, &t);
        return t;
    }
    termios SlaveSettings() const
    {
        termios t{};
        ::tcgetattr(m_slave, &t);
        return t;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

// Every byte value once, then a pseudo-random block of the given size.
inline std::vector<uint8_t> TestPattern(std::size_t blockSize)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<uint8_t>(i));
    uint32_t x = 0x12345678;
    for (std::size_t i = 0; i < blockSize; ++i) {
        x = x * 1103515245u + 12345u;
        bytes.push_back(static_cast<uint8_t>(x >> 16));
    }
    return bytes;
}

} // namespace mv53::test
