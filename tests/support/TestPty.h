#pragma once
// A pseudo-terminal for serial tests: the test holds the master as the far end of the line and
// its own slave descriptor, so that the master does not see a hang-up whenever the code under
// test closes its side.

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <fcntl.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace mv53::test {

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

    bool WriteAll(const std::vector<uint8_t>& bytes) const
    {
        std::size_t done = 0;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (std::chrono::steady_clock::now() > until)
                return false;
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 50);
        }
        return true;
    }

    // Reads until n bytes arrived or the line stays silent for quietMs.
    std::vector<uint8_t> ReadBytes(std::size_t n, int quietMs = 3000) const
    {
        std::vector<uint8_t> got;
        uint8_t buffer[4096];
        while (got.size() < n) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0)
                break;
            const ssize_t r = ::read(m_master, buffer, sizeof buffer);
            if (r <= 0)
                break;
            got.insert(got.end(), buffer, buffer + r);
        }
        return got;
    }

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
