#pragma once
// SerialDevice over termios, poll, epoll and ioctl. The descriptor is non-blocking; waits are poll
// calls that an eventfd per waiter can interrupt. Exclusive use is claimed twice: TIOCEXCL
// (refuses other opens of the terminal) and an advisory flock (which also holds against root).
// Not final: tests derive from it to make a real device refuse a setting.

#include "platform/SerialDevice.h"

#include <mutex>

namespace mv53::platform {

class SerialDevicePosix : public SerialDevice {
public:
    SerialDevicePosix() = default;
    ~SerialDevicePosix() override;
    SerialDevicePosix(const SerialDevicePosix&) = delete;
    SerialDevicePosix& operator=(const SerialDevicePosix&) = delete;

    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_fd >= 0; }
    int NativeHandle() const override { return m_fd; }

    int GetLineSettings(LineSettings& settings) override;
    int SetLineSettings(const LineSettings& settings) override;
    int SetTimeouts(const Timeouts& timeouts) override;
    int SetQueueSizes(int inputBytes, int outputBytes) override;
    int Purge(bool input, bool output) override;

    unsigned WaitEvent(int timeoutMs, bool watchData) override;
    void WakeEventWaiter() override;
    unsigned WaitWritable(int timeoutMs) override;
    void WakeWriteWaiter() override;
    unsigned WaitReadable(int timeoutMs) override;
    unsigned WaitNewData(int timeoutMs) override;

    int BytesWaiting(int& count) override;
    int OutputWaiting(int& count) override;
    IoResult Read(void* buffer, std::size_t size) override;
    IoResult Write(const void* buffer, std::size_t size) override;

    int SetRts(bool on) override;
    int SetDtr(bool on) override;
    uint32_t ClearErrors() override;

private:
    unsigned PollFor(short events, int wakeFd, int timeoutMs, bool watchCounters);
    // Adds kEventBreak / kEventError when the driver's counters moved since the last look.
    unsigned CheckCounters();
    int SetModemLine(int bit, bool on);
    // Line error counters of the driver (TIOCGICOUNT); false when the driver keeps none.
    bool ReadCounters(uint32_t& frame, uint32_t& overrun, uint32_t& parity, uint32_t& brk,
                      uint32_t& bufOverrun);

    int m_fd = -1;
    int m_eventWake = -1;
    int m_writeWake = -1;
    // Edge-triggered watch of arrivals on m_fd, and m_eventWake, for WaitNewData.
    int m_arrivals = -1;
    Timeouts m_timeouts;

    std::mutex m_counterLock;
    bool m_hasCounters = false;
    uint32_t m_frame = 0, m_overrun = 0, m_parity = 0, m_brk = 0, m_bufOverrun = 0;
    uint32_t m_pendingErrors = 0;
};

} // namespace mv53::platform
