#pragma once
// A KT-4680 at the far end of a pseudo-terminal (or of a real serial port), answering the
// clone protocol from its own thread. Tests start it in-process:
//
//   mv53::radiosim::RadioSimulator radio;            // built-in default memory
//   radio.SetFaults({.refuseWriteBlock = 3});
//   ASSERT_TRUE(radio.Start());                       // opens a pseudo-terminal
//   OpenPort(radio.DevicePath());                     // the PC side opens the slave
//   ...
//   radio.WaitForFrames(n, 2s);                       // the PC's frames have been handled
//   radio.Frames(); radio.Memory(); radio.Adjustments();
//
// Every accessor may be called while the simulator runs.

#include "BootEngine.h"
#include "CloneEngine.h"
#include "CloneProtocol.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace mv53::radiosim {

// The memory of a radio fresh from the factory: the model's default image with the cleared
// records encoded into it.
Memory DefaultMemory();

// Reads a memory file: its first 17927 bytes (a shorter file is refused). error gets the reason.
bool ReadMemoryFile(const std::string& path, Memory& memory, std::string* error = nullptr);
bool WriteMemoryFile(const std::string& path, const Memory& memory, std::string* error = nullptr);

// Time that one byte takes on a line with these termios flags and speed: a start bit, the
// data bits, a parity bit if enabled, and the stop bits. Zero for speed B0.
std::chrono::nanoseconds ByteTime(unsigned cflag, unsigned speed);

class RadioSimulator final {
public:
    RadioSimulator();
    explicit RadioSimulator(const Memory& memory);
    ~RadioSimulator();
    RadioSimulator(const RadioSimulator&) = delete;
    RadioSimulator& operator=(const RadioSimulator&) = delete;

    // Opens a pseudo-terminal and starts answering. False (with LastError) on failure.
    bool Start();
    // Opens a serial device instead (9600 8N2, raw) and starts answering.
    bool StartOnDevice(const std::string& path);
    // Stops the thread and closes the line. Safe to call more than once.
    void Stop();
    bool Running() const { return m_thread.joinable(); }

    // The path the PC side opens: the pseudo-terminal's slave, or the device given.
    std::string DevicePath() const { return m_devicePath; }
    std::string LastError() const { return m_error; }

    // Pace the bytes to the line rate of the port's current settings (both directions).
    void SetPacing(bool on) { m_pace = on; }
    // A partial command frame is dropped after this much silence on the line.
    void SetFrameGap(std::chrono::milliseconds gap) { m_frameGap = gap; }

    void SetBehaviour(const Behaviour& behaviour);
    Behaviour GetBehaviour() const;
    void SetFaults(const Faults& faults);
    Faults GetFaults() const;

    Memory GetMemory() const;
    void SetMemory(const Memory& memory);
    bool LoadMemory(const std::string& path);     // LastError on failure
    bool SaveMemory(const std::string& path);

    // Boot mode: the microcontroller's serial boot mode and the boot program instead of the
    // clone protocol (BootEngine.h).
    void SetBootMode(bool on) { m_bootMode = on; }
    bool BootMode() const { return m_bootMode; }
    void SetBootBehaviour(const BootBehaviour& behaviour);
    void SetBootFaults(const BootFaults& faults);
    std::vector<BootByte> Flash() const;
    void FillFlash(BootByte value);
    // The radio switched off and on again in boot mode. Closing the port does not restart
    // the boot mode; only this (or a new start) does.
    void PowerCycle();
    BootLog GetBootLog() const;
    // Waits until the boot log satisfies done; false on time-out.
    template <typename Done>
    bool WaitForBoot(Done done, std::chrono::milliseconds timeout) const
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return done(m_boot.Log()); });
    }

    // Logs of what the PC sent, in order.
    std::vector<ReceivedFrame> Frames() const;
    std::vector<AdjustEntry> Adjustments() const;
    std::size_t AcksReceived() const;
    void ClearLogs();

    std::size_t BytesSent() const { return m_bytesSent; }
    std::size_t BytesReceived() const { return m_bytesReceived; }
    bool HungUp() const { return m_hungUp; }
    // How long after the PC's byte that asked for it the first byte of the held-back answer
    // (Faults::lateAnswer) went out; empty until it has.
    std::optional<std::chrono::nanoseconds> LateAnswerGap() const;

    // Waits until at least count frames have been received and answered; false on time-out.
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until at least count acknowledges of upload frames have been received.
    bool WaitForAcks(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until at least count bytes from the PC have reached the radio.
    bool WaitForBytesReceived(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until the line has been closed by the hang-up fault.
    bool WaitForHangUp(std::chrono::milliseconds timeout) const;

private:
    bool Launch();
    void Run();
    void CloseLine();
    void Notify();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    CloneEngine m_engine;
    BootEngine m_boot;
    std::atomic<bool> m_bootMode {false};

    std::string m_devicePath;
    std::string m_error;
    int m_line = -1;          // pty master or the device
    int m_slave = -1;         // our own slave descriptor: keeps the master from seeing a hang-up
    int m_watch = -1;         // inotify descriptor watching the slave for the PC's close
    int m_wake[2] {-1, -1};   // self-pipe that ends the poll loop
    std::thread m_thread;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_pace {false};
    std::atomic<std::chrono::milliseconds> m_frameGap {std::chrono::milliseconds(500)};
    std::atomic<std::size_t> m_bytesSent {0};
    std::atomic<std::size_t> m_bytesReceived {0};
    std::atomic<bool> m_hungUp {false};
    std::size_t m_answers = 0;                            // answers since SetFaults (m_mutex)
    std::optional<std::chrono::nanoseconds> m_lateGap;    // m_mutex
};

}  // namespace mv53::radiosim
