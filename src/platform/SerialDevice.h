#pragma once
// The one layer that touches a serial device: open a device exclusively, send its line settings,
// purge its queues, wait for line events, read and write without blocking, and drive the modem
// lines. TCommX is written over this interface; SerialDevicePosix implements it with termios,
// poll and ioctl. Every failing call returns the operating system's error number (errno) so that
// callers can tell the user why.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mv53::platform {

enum class Parity : uint8_t { None, Odd, Even };
enum class StopBits : uint8_t { One, OnePointFive, Two };

// Bits of the flag word of LineSettings. The layout is that of the classic serial driver's
// control block, so that the flag words of the serial component read like its tables.
inline constexpr uint32_t kLineBinary = 0x0001;       // binary mode (always set)
inline constexpr uint32_t kLineParityCheck = 0x0002;  // check the parity of received bytes
inline constexpr uint32_t kLineCtsOutFlow = 0x0004;   // hold output while CTS is low
inline constexpr uint32_t kLineDsrOutFlow = 0x0008;   // hold output while DSR is low
inline constexpr uint32_t kLineDtrOn = 0x0010;        // DTR raised
inline constexpr uint32_t kLineDtrHandshake = 0x0020; // DTR used as input handshake
inline constexpr uint32_t kLineDtrMask = 0x0030;
inline constexpr uint32_t kLineXonXoffOut = 0x0100;   // obey XON/XOFF from the far end
inline constexpr uint32_t kLineXonXoffIn = 0x0200;    // send XON/XOFF to the far end
inline constexpr uint32_t kLineRtsOn = 0x1000;        // RTS raised
inline constexpr uint32_t kLineRtsHandshake = 0x2000; // RTS used as input handshake
inline constexpr uint32_t kLineRtsToggle = 0x3000;    // RTS raised while sending
inline constexpr uint32_t kLineRtsMask = 0x3000;

// The line settings block: the caller keeps one, changes a field and sends it whole.
struct LineSettings {
    int baudRate = 9600;
    int dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    uint32_t flags = kLineBinary | kLineDtrOn | kLineRtsOn;
    int xonLimit = 0;
    int xoffLimit = 0;
    uint8_t xonChar = 0x11;
    uint8_t xoffChar = 0x13;
};

// Driver time-outs in milliseconds (total constants of a read and of a write).
struct Timeouts {
    int readTotalMs = 0;
    int writeTotalMs = 0;
};

// Results of the waits, as a bit set.
enum LineEvent : unsigned {
    kEventNone = 0,
    kEventData = 0x01,    // bytes are waiting to be read (WaitEvent, WaitReadable)
    kEventWritable = 0x02, // the output can take more bytes (WaitWritable)
    kEventBreak = 0x04,   // a break was received
    kEventError = 0x08,   // a line error was counted (read it with ClearErrors)
    kEventHangUp = 0x10,  // the device is gone: cable pulled, far end of a pseudo-terminal closed
    kEventWoken = 0x20,   // another thread called the matching Wake function
    kEventTimeout = 0x40, // the time-out passed with nothing to report
};

// Bits of the line error word returned by ClearErrors.
inline constexpr uint32_t kErrorRxOver = 0x01;  // input queue overflow
inline constexpr uint32_t kErrorOverrun = 0x02; // character overrun
inline constexpr uint32_t kErrorParity = 0x04;  // parity error
inline constexpr uint32_t kErrorFrame = 0x08;   // framing error
inline constexpr uint32_t kErrorBreak = 0x10;   // break received

// Outcome of a read or write: bytes moved, and errno when the call failed. A call that would
// block moves 0 bytes and reports EAGAIN.
struct IoResult {
    long count = 0;
    int error = 0;
    bool Ok() const { return error == 0; }
};

// Thread use: Open, Close and the settings calls come from one thread while no other thread uses
// the device; once open, WaitEvent (one thread), WaitWritable with Write (another) and the rest
// (a third) may run at the same time. The Wake functions may be called from any thread.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the device for reading and writing, exclusively (no other program may open it while
    // it is open here) and without making it the controlling terminal. 0 or errno.
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The operating system's handle of the open device, -1 when closed.
    virtual int NativeHandle() const = 0;

    virtual int GetLineSettings(LineSettings& settings) = 0;
    virtual int SetLineSettings(const LineSettings& settings) = 0;
    virtual int SetTimeouts(const Timeouts& timeouts) = 0;
    // Driver queue sizes; drivers that size their queues themselves accept and ignore them.
    virtual int SetQueueSizes(int inputBytes, int outputBytes) = 0;
    // Discards what the driver holds in its input and/or output queue.
    virtual int Purge(bool input, bool output) = 0;

    // Waits until a line event (data only when watchData is set; break, error and hang-up always)
    // or until WakeEventWaiter is called; timeoutMs < 0 waits without limit. A wake that comes
    // before the wait makes the next wait return at once.
    virtual unsigned WaitEvent(int timeoutMs, bool watchData) = 0;
    virtual void WakeEventWaiter() = 0;
    // Waits until the output can take bytes, the device hangs up, or WakeWriteWaiter is called.
    virtual unsigned WaitWritable(int timeoutMs) = 0;
    virtual void WakeWriteWaiter() = 0;
    // Waits until bytes are waiting or the device hangs up (not wakeable; keep timeoutMs short).
    virtual unsigned WaitReadable(int timeoutMs) = 0;
    // Like WaitEvent with data, but bytes that were already waiting do not count: kEventData
    // means that bytes arrived since the previous call (a caller compares BytesWaiting to tell
    // an arrival that it has already seen). This default, for devices that cannot tell, waits
    // for breaks, errors, hang-up or a wake only, so that the caller polls at its time-out.
    virtual unsigned WaitNewData(int timeoutMs) { return WaitEvent(timeoutMs, false); }

    // Number of bytes in the input queue. 0 or errno.
    virtual int BytesWaiting(int& count) = 0;
    // Number of bytes written but not yet sent on the line. 0 or errno.
    virtual int OutputWaiting(int& count) = 0;
    // Reads what is waiting, up to size bytes, without blocking. End of file (the device hung
    // up) is reported as EIO.
    virtual IoResult Read(void* buffer, std::size_t size) = 0;
    // Writes as much as the output takes now, without blocking.
    virtual IoResult Write(const void* buffer, std::size_t size) = 0;

    // Modem lines. Devices without modem lines (pseudo-terminals) succeed without doing anything.
    virtual int SetRts(bool on) = 0;
    virtual int SetDtr(bool on) = 0;

    // Returns the line errors counted since the last call (kError... bits) and clears them.
    virtual uint32_t ClearErrors() = 0;
};

// The implementation of this platform.
std::unique_ptr<SerialDevice> CreateSerialDevice();

// The operating system's text for an error number.
std::string ErrorText(int error);
// Why a device could not be opened, in words a user can act on ("... is in use by another
// program", "... does not exist", "... needs the user in the dialout group").
std::string OpenErrorReason(const std::string& path, int error);
// What the user can do about an open failure, as a sentence ("the port is in use by another
// program."); empty when this platform has no advice for that error.
std::string OpenFailureAdvice(int error);
// Whether an error number means that the device is gone.
bool IsHangUpError(int error);

} // namespace mv53::platform
