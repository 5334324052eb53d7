#include "platform/SerialDeviceWin32.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include <windows.h>

namespace mv53::platform {

namespace {

HANDLE H(void* h) { return static_cast<HANDLE>(h); }

void CloseIfOpen(void*& h)
{
    if (h != nullptr) {
        ::CloseHandle(H(h));
        h = nullptr;
    }
}

// Waits for an overlapped operation that was started on `event`, or for `wake`; on a wake or
// when the time runs out the operation is cancelled and its end awaited, so that the
// OVERLAPPED record may be reused. Returns true when the operation completed by itself.
bool FinishOverlapped(HANDLE port, OVERLAPPED& ov, HANDLE wake, DWORD timeoutMs, DWORD& transferred,
                      bool& woken, DWORD& error)
{
    woken = false;
    error = 0;
    HANDLE handles[2] = {ov.hEvent, wake};
    const DWORD count = wake != nullptr ? 2 : 1;
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    DWORD left = timeoutMs;
    // Looks at the operation without waiting: false while it still runs.
    auto ended = [&] {
        if (::GetOverlappedResult(port, &ov, &transferred, FALSE))
            return true;
        const DWORD e = ::GetLastError();
        if (e == ERROR_IO_INCOMPLETE)
            return false;
        error = e;
        return true;
    };
    DWORD r = WAIT_TIMEOUT;
    for (;;) {
        r = ::WaitForMultipleObjects(count, handles, FALSE, left);
        if (r != WAIT_OBJECT_0)
            break;
        if (ended())
            return true;
        // The event was set while the operation still runs (Wine's serial driver does so now
        // and then): clear it, look once more in case the end came in between, and wait on
        // for the rest of the time.
        ::ResetEvent(ov.hEvent);
        if (ended())
            return true;
        if (timeoutMs != INFINITE) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            left = static_cast<DWORD>(std::max<long long>(0, ms));
        }
    }
    woken = r == WAIT_OBJECT_0 + 1;
    ::CancelIoEx(port, &ov);
    if (!::GetOverlappedResult(port, &ov, &transferred, TRUE)) {
        const DWORD e = ::GetLastError();
        if (e != ERROR_OPERATION_ABORTED)
            error = e;
        return error != 0;
    }
    // Completed before the cancel reached it.
    return true;
}

} // namespace

int ErrnoFromWin32(unsigned long code, bool opening)
{
    switch (code) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        // Windows answers an open of a port that another program holds with "access denied";
        // once open, the same code means that the device has gone (cable pulled).
        return opening ? EBUSY : EIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return EBUSY;
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
        return ENOTTY;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_SEM_TIMEOUT:
        return ETIMEDOUT;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_OPERATION_ABORTED:
        return EINTR;
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_BROKEN_PIPE:
    default:
        return opening ? ENODEV : EIO;
    }
}

SerialDeviceWin32::~SerialDeviceWin32()
{
    Close();
}

int SerialDeviceWin32::Open(const std::string& path)
{
    if (m_handle != nullptr)
        return EBUSY;
    if (path.empty())
        return ENOENT;
    // "COM12" alone names a port only up to COM9; the device namespace form names them all.
    std::string device = path;
    if (device.rfind("COM", 0) == 0 || device.rfind("com", 0) == 0)
        device = "\\\\.\\" + device;
    HANDLE h = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return ErrnoFromWin32(::GetLastError(), true);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(h, &dcb)) {
        ::CloseHandle(h);
        return ENOTTY;   // a file or another device, not a serial port
    }
    m_eventWake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_writeWake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_commEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_readEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_writeEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_handle = h;
    if (!m_eventWake || !m_writeWake || !m_commEvent || !m_readEvent || !m_writeEvent) {
        const int err = ErrnoFromWin32(::GetLastError());
        Close();
        return err;
    }
    // Raw bytes from the start: no handshake, no character replacement, no abort on errors;
    // speed and framing stay until the caller sends its settings.
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = dcb.fInX = FALSE;
    dcb.fErrorChar = dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    ::SetCommState(h, &dcb);
    SetTimeouts(m_timeouts);
    std::lock_guard lock(m_errorLock);
    m_pendingErrors = 0;
    DWORD errors = 0;
    ::ClearCommError(h, &errors, nullptr);
    return 0;
}

void SerialDeviceWin32::Close()
{
    m_commMask = 0;
    if (m_handle != nullptr) {
        ::SetCommMask(H(m_handle), 0);
        ::CloseHandle(H(m_handle));
        m_handle = nullptr;
    }
    CloseIfOpen(m_eventWake);
    CloseIfOpen(m_writeWake);
    CloseIfOpen(m_commEvent);
    CloseIfOpen(m_readEvent);
    CloseIfOpen(m_writeEvent);
}

int SerialDeviceWin32::NativeHandle() const
{
    // Kernel handles fit 32 bits on 64-bit Windows (that is what lets 32-bit processes share them).
    return m_handle != nullptr ? static_cast<int>(reinterpret_cast<intptr_t>(m_handle)) : -1;
}

int SerialDeviceWin32::GetLineSettings(LineSettings& settings)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(H(m_handle), &dcb))
        return ErrnoFromWin32(::GetLastError());
    settings.baudRate = static_cast<int>(dcb.BaudRate);
    settings.dataBits = dcb.ByteSize;
    settings.parity = dcb.Parity == ODDPARITY ? Parity::Odd : dcb.Parity == EVENPARITY ? Parity::Even : Parity::None;
    settings.stopBits = dcb.StopBits == TWOSTOPBITS    ? StopBits::Two
                        : dcb.StopBits == ONE5STOPBITS ? StopBits::OnePointFive
                                                       : StopBits::One;
    // The flag word has the layout of the DCB's bit fields.
    uint32_t flags = kLineBinary;
    if (dcb.fParity)
        flags |= kLineParityCheck;
    if (dcb.fOutxCtsFlow)
        flags |= kLineCtsOutFlow;
    if (dcb.fOutxDsrFlow)
        flags |= kLineDsrOutFlow;
    flags |= (static_cast<uint32_t>(dcb.fDtrControl) << 4) & kLineDtrMask;
    if (dcb.fOutX)
        flags |= kLineXonXoffOut;
    if (dcb.fInX)
        flags |= kLineXonXoffIn;
    flags |= (static_cast<uint32_t>(dcb.fRtsControl) << 12) & kLineRtsMask;
    settings.flags = flags;
    settings.xonLimit = dcb.XonLim;
    settings.xoffLimit = dcb.XoffLim;
    settings.xonChar = static_cast<uint8_t>(dcb.XonChar);
    settings.xoffChar = static_cast<uint8_t>(dcb.XoffChar);
    return 0;
}

int SerialDeviceWin32::SetLineSettings(const LineSettings& settings)
{
    if (settings.baudRate <= 0 || settings.dataBits < 5 || settings.dataBits > 8)
        return EINVAL;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(H(m_handle), &dcb))
        return ErrnoFromWin32(::GetLastError());
    dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
    dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
    dcb.Parity = settings.parity == Parity::Odd ? ODDPARITY : settings.parity == Parity::Even ? EVENPARITY : NOPARITY;
    dcb.StopBits = settings.stopBits == StopBits::Two            ? TWOSTOPBITS
                   : settings.stopBits == StopBits::OnePointFive ? ONE5STOPBITS
                                                                 : ONESTOPBIT;
    const uint32_t f = settings.flags;
    dcb.fBinary = TRUE;
    dcb.fParity = (f & kLineParityCheck) != 0;
    dcb.fOutxCtsFlow = (f & kLineCtsOutFlow) != 0;
    dcb.fOutxDsrFlow = (f & kLineDsrOutFlow) != 0;
    dcb.fDtrControl = (f & kLineDtrMask) >> 4;
    dcb.fOutX = (f & kLineXonXoffOut) != 0;
    dcb.fInX = (f & kLineXonXoffIn) != 0;
    dcb.fRtsControl = (f & kLineRtsMask) >> 12;
    dcb.XonLim = static_cast<WORD>(std::clamp(settings.xonLimit, 0, 0xFFFF));
    dcb.XoffLim = static_cast<WORD>(std::clamp(settings.xoffLimit, 0, 0xFFFF));
    dcb.XonChar = static_cast<char>(settings.xonChar);
    dcb.XoffChar = static_cast<char>(settings.xoffChar);
    if (!::SetCommState(H(m_handle), &dcb))
        return ErrnoFromWin32(::GetLastError());
    return 0;
}

int SerialDeviceWin32::SetTimeouts(const Timeouts& timeouts)
{
    if (m_handle == nullptr)
        return EBADF;
    // Reads return at once with what is there (callers wait for data first); writes end after
    // the caller's total time-out.
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 0;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(std::max(0, timeouts.writeTotalMs));
    if (!::SetCommTimeouts(H(m_handle), &t))
        return ErrnoFromWin32(::GetLastError());
    m_timeouts = timeouts;
    return 0;
}

int SerialDeviceWin32::SetQueueSizes(int inputBytes, int outputBytes)
{
    if (m_handle == nullptr)
        return EBADF;
    if (inputBytes <= 0 || outputBytes <= 0)
        return EINVAL;
    if (!::SetupComm(H(m_handle), static_cast<DWORD>(inputBytes), static_cast<DWORD>(outputBytes)))
        return ErrnoFromWin32(::GetLastError());
    return 0;
}

int SerialDeviceWin32::Purge(bool input, bool output)
{
    DWORD flags = 0;
    if (input)
        flags |= PURGE_RXABORT | PURGE_RXCLEAR;
    if (output)
        flags |= PURGE_TXABORT | PURGE_TXCLEAR;
    if (flags == 0)
        return 0;
    if (!::PurgeComm(H(m_handle), flags))
        return ErrnoFromWin32(::GetLastError());
    return 0;
}

int SerialDeviceWin32::Poll(unsigned long* inQueue, unsigned long* outQueue, uint32_t* newErrors)
{
    DWORD errors = 0;
    COMSTAT stat{};
    if (m_handle == nullptr || !::ClearCommError(H(m_handle), &errors, &stat))
        return m_handle == nullptr ? EBADF : ErrnoFromWin32(::GetLastError());
    // The CE_ bits of the driver's error word are the kError bits of the interface.
    const uint32_t bits = errors & (kErrorRxOver | kErrorOverrun | kErrorParity | kErrorFrame | kErrorBreak);
    {
        std::lock_guard lock(m_errorLock);
        m_pendingErrors |= bits;
    }
    if (newErrors)
        *newErrors = bits;
    if (inQueue)
        *inQueue = stat.cbInQue;
    if (outQueue)
        *outQueue = stat.cbOutQue;
    return 0;
}

unsigned SerialDeviceWin32::WaitEvent(int timeoutMs, bool watchData)
{
    if (m_handle == nullptr)
        return kEventHangUp;
    auto lineEvents = [](uint32_t errors) {
        unsigned r = kEventNone;
        if (errors & kErrorBreak)
            r |= kEventBreak;
        if (errors & ~kErrorBreak)
            r |= kEventError;
        return r;
    };
    unsigned long waiting = 0;
    uint32_t errors = 0;
    if (Poll(&waiting, nullptr, &errors) != 0)
        return kEventHangUp;
    unsigned result = lineEvents(errors);
    if (watchData && waiting > 0)
        result |= kEventData;
    if (::WaitForSingleObject(H(m_eventWake), 0) == WAIT_OBJECT_0)
        result |= kEventWoken;
    if (result != kEventNone)
        return result;

    const DWORD mask = EV_BREAK | EV_ERR | (watchData ? EV_RXCHAR : 0);
    if (mask != m_commMask) {
        if (!::SetCommMask(H(m_handle), mask))
            return kEventHangUp;
        m_commMask = mask;
    }
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    DWORD seen = 0;
    for (;;) {
        OVERLAPPED ov{};
        ov.hEvent = H(m_commEvent);
        ::ResetEvent(ov.hEvent);
        seen = 0;
        if (::WaitCommEvent(H(m_handle), &seen, &ov))
            break;
        if (::GetLastError() != ERROR_IO_PENDING)
            return kEventHangUp;
        // A byte that came between the look at the queue and the start of the wait raises no
        // received-character event: look once more.
        if (watchData && Poll(&waiting, nullptr, nullptr) == 0 && waiting > 0) {
            DWORD n = 0;
            ::CancelIoEx(H(m_handle), &ov);
            ::GetOverlappedResult(H(m_handle), &ov, &n, TRUE);
            return kEventData;
        }
        DWORD left = INFINITE;
        if (timeoutMs >= 0) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            left = static_cast<DWORD>(std::max<long long>(0, ms));
        }
        DWORD n = 0;
        bool woken = false;
        DWORD error = 0;
        const bool completed = FinishOverlapped(H(m_handle), ov, H(m_eventWake), left, n, woken, error);
        if (error == ERROR_OPERATION_ABORTED) {
            // The driver ended the wait without an event (Wine's does so now and then): wait
            // again for what is left of the time.
            if (timeoutMs >= 0 && Clock::now() >= end)
                return kEventTimeout;
            if (::WaitForSingleObject(H(m_eventWake), 5) == WAIT_OBJECT_0)
                return kEventWoken;
            continue;
        }
        if (error != 0)
            return kEventHangUp;
        if (!completed)
            return woken ? kEventWoken : kEventTimeout;
        break;
    }
    if (seen & EV_RXCHAR)
        result |= kEventData;
    if (Poll(nullptr, nullptr, &errors) != 0)
        return result | kEventHangUp;
    result |= lineEvents(errors);
    if (seen & EV_BREAK)
        result |= kEventBreak;
    if (seen & EV_ERR)
        result |= kEventError;
    // A wait ended by a mask change (another caller) reports nothing: the caller waits again.
    return result != kEventNone ? result : kEventTimeout;
}

void SerialDeviceWin32::WakeEventWaiter()
{
    if (m_eventWake != nullptr)
        ::SetEvent(H(m_eventWake));
}

unsigned SerialDeviceWin32::WaitWritable(int timeoutMs)
{
    // Write hands its bytes to the driver and waits for them there, so the output always takes
    // more; only a pending wake is reported.
    (void)timeoutMs;
    if (m_handle == nullptr)
        return kEventHangUp;
    if (::WaitForSingleObject(H(m_writeWake), 0) == WAIT_OBJECT_0)
        return kEventWritable | kEventWoken;
    return kEventWritable;
}

void SerialDeviceWin32::WakeWriteWaiter()
{
    if (m_writeWake != nullptr)
        ::SetEvent(H(m_writeWake));
}

unsigned SerialDeviceWin32::WaitReadable(int timeoutMs)
{
    // Polls the input queue: a comm-event wait here would change the mask under WaitEvent.
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    for (;;) {
        unsigned long waiting = 0;
        if (Poll(&waiting, nullptr, nullptr) != 0)
            return kEventHangUp;
        if (waiting > 0)
            return kEventData;
        if (timeoutMs >= 0 && Clock::now() >= end)
            return kEventTimeout;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

int SerialDeviceWin32::BytesWaiting(int& count)
{
    unsigned long n = 0;
    count = 0;
    const int err = Poll(&n, nullptr, nullptr);
    count = static_cast<int>(n);
    return err;
}

int SerialDeviceWin32::OutputWaiting(int& count)
{
    unsigned long n = 0;
    count = 0;
    const int err = Poll(nullptr, &n, nullptr);
    count = static_cast<int>(n);
    return err;
}

IoResult SerialDeviceWin32::Read(void* buffer, std::size_t size)
{
    if (size == 0)
        return {};
    if (m_handle == nullptr)
        return {0, EBADF};
    unsigned long waiting = 0;
    if (const int err = Poll(&waiting, nullptr, nullptr); err != 0)
        return {0, err};
    if (waiting == 0)
        return {0, EAGAIN};
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, waiting));
    OVERLAPPED ov{};
    ov.hEvent = H(m_readEvent);
    ::ResetEvent(ov.hEvent);
    DWORD got = 0;
    if (!::ReadFile(H(m_handle), buffer, want, &got, &ov)) {
        if (::GetLastError() != ERROR_IO_PENDING)
            return {0, ErrnoFromWin32(::GetLastError())};
        // The bytes are in the queue and the read time-outs return at once.
        if (!::GetOverlappedResult(H(m_handle), &ov, &got, TRUE))
            return {static_cast<long>(got), ErrnoFromWin32(::GetLastError())};
    }
    if (got == 0)
        return {0, EAGAIN};
    return {static_cast<long>(got), 0};
}

IoResult SerialDeviceWin32::Write(const void* buffer, std::size_t size)
{
    if (size == 0)
        return {};
    if (m_handle == nullptr)
        return {0, EBADF};
    OVERLAPPED ov{};
    ov.hEvent = H(m_writeEvent);
    ::ResetEvent(ov.hEvent);
    DWORD put = 0;
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(size, 0x10000));
    if (::WriteFile(H(m_handle), buffer, n, &put, &ov))
        return {static_cast<long>(put), 0};
    if (::GetLastError() != ERROR_IO_PENDING)
        return {0, ErrnoFromWin32(::GetLastError())};
    bool woken = false;
    DWORD error = 0;
    FinishOverlapped(H(m_handle), ov, H(m_writeWake), INFINITE, put, woken, error);
    if (error != 0 && put == 0)
        return {0, error == ERROR_SEM_TIMEOUT ? EAGAIN : ErrnoFromWin32(error)};
    if (put == 0)
        return {0, EAGAIN};   // purged, woken or timed out before a byte went
    return {static_cast<long>(put), 0};
}

int SerialDeviceWin32::Escape(unsigned function)
{
    if (m_handle == nullptr)
        return EBADF;
    if (::EscapeCommFunction(H(m_handle), function))
        return 0;
    // Devices without modem lines refuse the call; that is not an error of the port.
    const int err = ErrnoFromWin32(::GetLastError());
    return err == ENOTTY || err == EINVAL ? 0 : err;
}

int SerialDeviceWin32::SetRts(bool on)
{
    return Escape(on ? SETRTS : CLRRTS);
}

int SerialDeviceWin32::SetDtr(bool on)
{
    return Escape(on ? SETDTR : CLRDTR);
}

uint32_t SerialDeviceWin32::ClearErrors()
{
    Poll(nullptr, nullptr, nullptr);
    std::lock_guard lock(m_errorLock);
    return std::exchange(m_pendingErrors, 0u);
}

std::unique_ptr<SerialDevice> CreateSerialDevice()
{
    return std::make_unique<SerialDeviceWin32>();
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

std::string OpenErrorReason(const std::string& path, int error)
{
    std::string text = path + ": " + ErrorText(error);
    switch (error) {
    case EBUSY:
        text += " (the port is in use by another program)";
        break;
    case ENOENT:
    case ENODEV:
        text += " (there is no such port; is the cable plugged in?)";
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
        return "the port is in use by another program.";
    case ENOENT:
    case ENODEV:
        return "there is no such device; check that the cable is plugged in and the port chosen in Configure.";
    case ENOTTY:
        return "this is not a serial port; choose another port in Configure.";
    default:
        return {};
    }
}

bool IsHangUpError(int error)
{
    return error == EIO || error == ENODEV || error == EBADF;
}

} // namespace mv53::platform
