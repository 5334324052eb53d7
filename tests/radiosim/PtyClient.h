#pragma once
// The PC side of a simulator test: opens the device path raw at 9600 8N2 and exchanges bytes
// with poll time-outs, the way the clone window would.

#include "CloneProtocol.h"

#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace mv53::radiosim::test {

class PtyClient final {
public:
    explicit PtyClient(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        termios tio {};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag |= CSTOPB | CLOCAL | CREAD;
        ::tcsetattr(m_fd, TCSANOW, &tio);
    }
    // Takes over a descriptor that is already open (the master of a pty standing in for a port).
    struct Adopt {};
    PtyClient(Adopt, int fd) : m_fd(fd) {}
    ~PtyClient() { Close(); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool Send(const std::vector<Byte>& bytes) { return Send(bytes.data(), bytes.size()); }
    bool Send(const Byte* data, std::size_t count)
    {
        while (count > 0) {
            const ssize_t n = ::write(m_fd, data, count);
            if (n < 0) {
                if (errno != EAGAIN)
                    return false;
                pollfd p {m_fd, POLLOUT, 0};
                ::poll(&p, 1, 1000);
                continue;
            }
            data += n;
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool SendFrame(Command command, std::uint16_t address, const std::vector<Byte>& data = {})
    {
        const auto frame = MakeCommandFrame(command, address, data);
        return Send(frame.data(), frame.size());
    }
    bool SendByte(Byte b) { return Send(&b, 1); }

    // Reads until count bytes arrived, the line stayed quiet for quiet, or the line failed.
    std::vector<Byte> Read(std::size_t count, std::chrono::milliseconds quiet = std::chrono::milliseconds(2000))
    {
        std::vector<Byte> got;
        m_failed = false;
        while (got.size() < count) {
            pollfd p {m_fd, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0)
                break;
            Byte buffer[256];
            const std::size_t want = std::min(sizeof buffer, count - got.size());
            const ssize_t n = ::read(m_fd, buffer, want);
            if (n <= 0) {
                if (n < 0 && errno == EAGAIN)
                    continue;
                m_failed = true;
                break;
            }
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }
    // Whatever arrives within the wait (used to show that nothing more comes).
    std::vector<Byte> ReadExtra(std::chrono::milliseconds wait = std::chrono::milliseconds(150))
    {
        return Read(4096, wait);
    }
    // The last Read ended because the device went away (end of file or an I/O error).
    bool LineFailed() const { return m_failed; }

private:
    int m_fd = -1;
    bool m_failed = false;
};

}  // namespace mv53::radiosim::test
