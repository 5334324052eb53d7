#pragma once
// The radio simulator in the test's own process: started on a pseudo-terminal of its own whose
// path (DevicePath) is the port to hand to the code under test; the memory image of records and
// the records of an image; and SimPort, the PC's end of the line driven byte by byte.

#include "RadioSimulator.h"
#include "TestPty.h"
#include "TestRecords.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace mv53::test {

// What a radio holding mem has in its memory (with the factory area's serial number).
inline radiosim::Memory RadioMemory(const TMVmem& mem)
{
    return EncodedImage(mem, true).Raw();
}

inline TMVmem RecordsOf(const radiosim::Memory& memory)
{
    TText image;
    image.Raw() = memory;
    TMVmem mem;
    DecodeImage(image, mem);
    return mem;
}

// A simulator that answers on its pseudo-terminal; the test fails when it cannot start.
inline std::unique_ptr<radiosim::RadioSimulator> StartedRadio(const radiosim::Memory& memory = radiosim::DefaultMemory())
{
    auto radio = std::make_unique<radiosim::RadioSimulator>(memory);
    EXPECT_TRUE(radio->Start()) << radio->LastError();
    return radio;
}

// The PC side of the line: opens the device raw at 9600 8N2 (or takes over an open descriptor)
// and exchanges bytes with time-outs, the way the clone window would.
class SimPort final {
public:
    explicit SimPort(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        tio.c_cflag |= CSTOPB | CLOCAL | CREAD;
        ::tcsetattr(m_fd, TCSANOW, &tio);
        SetRate(B9600);
    }
    struct Adopt {};
    SimPort(Adopt, int fd) : m_fd(fd) {}
    ~SimPort() { Close(); }
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    void SetRate(speed_t speed) const
    {
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        ::tcsetattr(m_fd, TCSANOW, &tio);
    }

    bool Send(const Byte* data, std::size_t count) const { return WriteAllTo(m_fd, data, count); }
    bool Send(const std::vector<Byte>& bytes) const { return Send(bytes.data(), bytes.size()); }
    bool SendByte(Byte b) const { return Send(&b, 1); }
    bool SendFrame(radiosim::Command command, std::uint16_t address, const std::vector<Byte>& data = {}) const
    {
        const auto frame = radiosim::MakeCommandFrame(command, address, data);
        return Send(frame.data(), frame.size());
    }

    // Reads until count bytes arrived, the line stayed quiet for quiet, or the line failed.
    std::vector<Byte> Read(std::size_t count, std::chrono::milliseconds quiet = std::chrono::milliseconds(2000))
    {
        return ReadFrom(m_fd, count, static_cast<int>(quiet.count()));
    }
    // Whatever arrives within the wait (used to show that nothing more comes).
    std::vector<Byte> ReadExtra(std::chrono::milliseconds wait = std::chrono::milliseconds(150)) { return Read(4096, wait); }

private:
    int m_fd = -1;
};

}  // namespace mv53::test
