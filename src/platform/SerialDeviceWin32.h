#pragma once
// SerialDevice over the Windows serial port calls: CreateFile on "\\.\COMn" (exclusive,
// overlapped), the line settings block (DCB), comm time-outs, queue sizes, purge, comm events,
// overlapped reads and writes, and EscapeCommFunction for RTS and DTR. Windows' error codes are
// mapped to the interface's error numbers (a port in use reports "access denied": that is EBUSY).

#include "platform/SerialDevice.h"

#include <mutex>

namespace mv53::platform {

class SerialDeviceWin32 final : public SerialDevice {
public:
    SerialDeviceWin32() = default;
    ~SerialDeviceWin32() override;
    SerialDeviceWin32(const SerialDeviceWin32&) = delete;
    SerialDeviceWin32& operator=(const SerialDeviceWin32&) = delete;

    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_handle != nullptr; }
    int NativeHandle() const override;

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

    int BytesWaiting(int& count) override;
    int OutputWaiting(int& count) override;
    IoResult Read(void* buffer, std::size_t size) override;
    IoResult Write(const void* buffer, std::size_t size) override;

    int SetRts(bool on) override;
    int SetDtr(bool on) override;
    uint32_t ClearErrors() override;

private:
    // ClearCommError: collects the error bits into m_pendingErrors; the queue counts on request.
    // 0 or errno.
    int Poll(unsigned long* inQueue, unsigned long* outQueue, uint32_t* newErrors);
    int Escape(unsigned function);

    // Windows handles, kept as void* so that this header needs no <windows.h>.
    void* m_handle = nullptr;      // the port; nullptr when closed
    void* m_eventWake = nullptr;   // auto-reset: WakeEventWaiter
    void* m_writeWake = nullptr;   // auto-reset: WakeWriteWaiter
    void* m_commEvent = nullptr;   // overlapped WaitCommEvent
    void* m_readEvent = nullptr;   // overlapped ReadFile
    void* m_writeEvent = nullptr;  // overlapped WriteFile
    Timeouts m_timeouts;
    unsigned long m_commMask = 0;   // the comm event mask last sent (WaitEvent's thread only)

    std::mutex m_errorLock;
    uint32_t m_pendingErrors = 0;
};

// Windows' error code (GetLastError) as the interface's error number.
int ErrnoFromWin32(unsigned long code, bool opening = false);

} // namespace mv53::platform
