#pragma once
// TCommX: the serial port component. It opens a port, runs one transmit thread and one receive
// thread per open port, and delivers received data and line events to its owner on the thread
// that owns the component (the user-interface thread) through its signals.
//
// Writing never blocks on the line: Write copies the bytes in chunks of at most BufLenTrans and
// hands them to the transmit thread (at most 32 chunks queued). The owner reads in its OnReceive
// handler: Read(buffer, receiveSize). The receive thread waits until each handler has run before
// it waits for the next line event.
//
// Usage:
//   TCommX comm;
//   comm.SetPortNo(1);            // or SetDevicePath("/dev/ttyUSB0")
//   comm.SetStopBit(csb2);
//   QObject::connect(&comm, &TCustomCommX::OnReceive, &owner, &Owner::CommXReceive);
//   comm.Open();                  // raises ECommError
//   comm.Write(frame, 37);
//   ...
//   comm.Close();

#include "platform/SerialDevice.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <condition_variable>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

enum TCommParityBits { cpbNone, cpbOdd, cpbEven };
enum TCommStopBits { csb1, csb1p5, csb2 };
enum TCommFlowCtrls { cfcRtsCts, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

// Texts of ECommError.
inline constexpr const char* kCommAlreadyOpen = "ポートは、すでにオープンされています";
inline constexpr const char* kCommOpenError = "Port Open Error";
inline constexpr const char* kCommTransThreadError = "送信用スレッドを生成できませんでした";
inline constexpr const char* kCommReceiveThreadError = "受信用スレッドを生成できませんでした";
inline constexpr const char* kCommBitRateError = "通信速度の設定でエラーが発生しました";
inline constexpr const char* kCommCharSizeError = "通信ビット数の設定でエラーが発生しました";
inline constexpr const char* kCommParityError = "通信パリティチェックの設定でエラーが発生しました";
inline constexpr const char* kCommStopBitError = "通信ストップビット数の設定でエラーが発生しました";
inline constexpr const char* kCommFlowCtrlError = "通信フロー制御の設定で失敗しました";
inline constexpr const char* kCommTimeOutError = "通信タイムアウト時間の設定で失敗しました";
inline constexpr const char* kCommXonCharError = "Ｘｏｎ文字の設定でエラーが発生しました";
inline constexpr const char* kCommXoffCharError = "Ｘｏｆｆ文字の設定でエラーが発生しました";
inline constexpr const char* kCommBufferError = "通信用ポートのバッファを準備できませんでした";

// The component's exception. what() is the component's own message; Detail() says why in the
// operating system's words (device path and reason), ErrorCode() is its errno (0 if none).
class ECommError : public std::runtime_error {
public:
    explicit ECommError(const std::string& message, std::string detail = {}, int errorCode = 0)
        : std::runtime_error(message), m_detail(std::move(detail)), m_errorCode(errorCode)
    {
    }
    const std::string& Detail() const { return m_detail; }
    int ErrorCode() const { return m_errorCode; }

private:
    std::string m_detail;
    int m_errorCode = 0;
};

class TCommTransThread;
class TCommReceiveThread;
class TCommMailbox;
struct TCommNoticeGate;
struct TCommEcho;

// How an echoed transfer ended (see StartEchoed).
enum class TEchoEnd { Echoed, WrongEcho, Silence, HungUp, Stopped, LineFailed };
struct TEchoResult {
    TEchoEnd end = TEchoEnd::Stopped;
    int echoed = 0;      // bytes sent and echoed unchanged
    int wrongByte = -1;  // the byte that came back instead, for WrongEcho
};

// Line error bits reported by OnError (the driver's overrun, parity and framing bits).
inline constexpr int kCommErrorBits = 0x2 | 0x4 | 0x8;

class TCustomCommX : public QObject {
    Q_OBJECT

public:
    explicit TCustomCommX(QObject* parent = nullptr);
    ~TCustomCommX() override;

    TCustomCommX(const TCustomCommX&) = delete;
    TCustomCommX& operator=(const TCustomCommX&) = delete;

    // Raises ECommError.
    void Open();
    // Flushes and closes; does nothing on a closed port. Never raises.
    void Close();
    // Hands count bytes to the transmit thread. True when every byte was handed over (count 0:
    // always true); false on a closed or hung-up port, when a chunk could not be handed over, or
    // when the queue is full and the line has taken no byte for TimeOutTrans ms.
    virtual bool Write(const void* buffer, int count);
    bool WriteChar(uint8_t c);
    // Reads up to count bytes, waiting at most TimeOutReceive ms for all of them while the
    // application goes on processing its events. Bytes read, or -1 (closed, hung up, no buffer,
    // read failed).
    virtual int Read(void* buffer, int count);

    bool IsOpen() const;
    // The open device's handle, -1 when closed.
    int Handle() const;
    // Set once the device has vanished (cable pulled, far end closed) while open.
    bool HungUp() const { return m_hungUp.load(); }
    // Milliseconds since bytes were last seen arriving on the open port: by the receive thread
    // (also while it gathers them for one notice), or found waiting in the driver now beyond
    // those seen at the last call. Silence is measured from there, not from the notice that
    // hands the bytes over. Very large when nothing arrived since Open.
    int QuietMs();

    int PortNo() const { return m_portNo; }
    void SetPortNo(int value);
    // An explicit device path; when not empty it is opened instead of the PortNo mapping.
    const std::string& DevicePath() const { return m_devicePath; }
    void SetDevicePath(std::string value);
    // The device path that Open uses.
    std::string EffectiveDevicePath() const;
    // Makes the device that Open uses instead of the platform's own (empty: the platform's).
    // Tests wrap the platform's device in one that refuses a setting.
    using DeviceMaker = std::function<std::unique_ptr<mv53::platform::SerialDevice>()>;
    void SetDeviceMaker(DeviceMaker maker) { m_deviceMaker = std::move(maker); }
    // Puts a layer over the device that Open makes (empty: none), such as the trace recorder.
    using DeviceWrapper =
        std::function<std::unique_ptr<mv53::platform::SerialDevice>(std::unique_ptr<mv53::platform::SerialDevice>)>;
    void SetDeviceWrapper(DeviceWrapper wrapper) { m_deviceWrapper = std::move(wrapper); }

    int BitRate() const { return m_bitRate; }
    void SetBitRate(int value);
    int CharSize() const { return m_charSize; }
    void SetCharSize(int value);
    TCommParityBits ParityBit() const { return m_parityBit; }
    void SetParityBit(TCommParityBits value);
    TCommStopBits StopBit() const { return m_stopBit; }
    void SetStopBit(TCommStopBits value);
    TCommFlowCtrls FlowCtrl() const { return m_flowCtrl; }
    void SetFlowCtrl(TCommFlowCtrls value);
    int TimeOutTrans() const { return m_timeOutTrans; }
    void SetTimeOutTrans(int value);
    int TimeOutReceive() const { return m_timeOutReceive; }
    void SetTimeOutReceive(int value);
    char XonChar() const { return m_xonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return m_xoffChar; }
    void SetXoffChar(char value);
    int BufLenTrans() const { return m_bufLenTrans; }
    void SetBufLenTrans(int value);
    int BufLenReceive() const { return m_bufLenReceive; }
    void SetBufLenReceive(int value);

    // The component's own pauses in ms: after Open has started its threads, before Close stops
    // them, of each thread as it ends, and at the end of Close. They give the driver and the far
    // end time to settle; a device in memory needs none, so its users may shorten them. Set
    // them before Open.
    struct Pauses {
        int afterOpenMs = 100;
        int beforeStopMs = 100;
        int threadEndMs = 100;
        int afterCloseMs = 200;
    };
    void SetPauses(const Pauses& pauses) { m_pauses = pauses; }

    // Character time in ms used around half-duplex line turns: 1000 / (bitRate / 10) + 1.
    static int CharTimeMs(int bitRate);

    // How many bytes the owner waits for (1 by default). Above 1, bytes that keep arriving are
    // gathered into one OnReceive until this many wait in the driver, the line is quiet for
    // kGatherQuietChars character times (noticed at most half the missing bytes' line time
    // late), or kGatherLimitMs have passed since the first of them; 1 reports every arrival
    // at once. May be called from any thread.
    void SetReceiveThreshold(int bytes) { m_receiveThreshold.store(bytes < 1 ? 1 : bytes); }
    int ReceiveThreshold() const { return m_receiveThreshold.load(); }
    static constexpr int kGatherQuietChars = 3;
    static constexpr int kGatherLimitMs = 100;

    // Echoed sending, for a boot loader that echoes every byte it takes: the receive thread
    // sends the bytes one at a time and compares each echo before the next byte goes out, so
    // that a byte costs no round trip through the owner's thread. Meanwhile received bytes are
    // not reported through OnReceive; what arrives after the last echo is. The transfer ends at
    // the first wrong echo, after silenceMs without an echo, when the device vanishes or at
    // StopEchoed; OnEchoEnd then reports it (EchoResult). Lines with half-duplex RTS turns are
    // not supported. False when the port is closed or a transfer is running.
    bool StartEchoed(std::vector<uint8_t> bytes, int silenceMs);
    // The running transfer sends no further byte. Any thread.
    void StopEchoed();
    // Bytes of the running or last transfer sent and echoed unchanged so far. Any thread.
    int EchoedCount() const;
    bool EchoRunning() const;
    TEchoResult EchoResult() const;

Q_SIGNALS:
    void OnReceive(TCustomCommX* sender, int receiveSize);
    void OnBreak(TCustomCommX* sender);
    void OnError(TCustomCommX* sender, int errorState);
    // The device vanished while open; emitted once per Open. Read and Write fail from then on.
    void OnHangUp(TCustomCommX* sender);
    // An echoed transfer ended; once per StartEchoed that returned true, unless the port is
    // closed first.
    void OnEchoEnd(TCustomCommX* sender);

protected:
    // Takes the notices the threads posted when their wake-up arrives.
    bool event(QEvent* e) override;
    // Called in the caller's thread each time Write hands a chunk to the transmit thread.
    virtual void ChunkHandedOver(int size) { (void)size; }

private:
    friend class TCommTransThread;
    friend class TCommReceiveThread;
    friend class TCommMailbox;
    friend struct TCommNotice;

    enum class Notice { Receive, Break, Error, HangUp, EchoEnd };

    void OpenSteps();
    void ApplyLine(const char* message);
    void ApplyTimeouts();
    void ApplyQueueSizes();
    void ApplyFlowCtrl();
    void UpdateCharMicros();
    void StopThreads();
    [[noreturn]] void Raise(const char* message, int error) const;

    // From the threads: deliver a notice on the owner's thread and wait until it was handled or
    // until Close abandons the gate (Close never waits for a handler). False when abandoned.
    bool Deliver(const std::shared_ptr<TCommNoticeGate>& gate, uint64_t session, Notice notice,
                 int value);
    void HandleNotice(uint64_t session, Notice notice, int value);
    // On the owner's thread: handles the notices that the threads posted.
    void TakeMail();
    void NotifyHangUp();
    void NoteArrival();
    void ChunkDone(int size);

    int m_portNo = 1;
    std::string m_devicePath;
    int m_bitRate = 9600;
    int m_charSize = 8;
    TCommParityBits m_parityBit = cpbNone;
    TCommStopBits m_stopBit = csb1;
    TCommFlowCtrls m_flowCtrl = cfcRtsCts;
    int m_timeOutTrans = 3000;
    int m_timeOutReceive = 3000;
    char m_xonChar = 0x11;
    char m_xoffChar = 0x13;
    int m_bufLenTrans = 2048;
    int m_bufLenReceive = 2048;
    Pauses m_pauses;

    DeviceMaker m_deviceMaker;
    DeviceWrapper m_deviceWrapper;
    std::unique_ptr<mv53::platform::SerialDevice> m_device;
    mv53::platform::LineSettings m_dcb;
    // Notices from the threads to the owner's thread.
    std::unique_ptr<TCommMailbox> m_mailbox;
    std::unique_ptr<TCommTransThread> m_transThread;
    std::unique_ptr<TCommReceiveThread> m_receiveThread;
    // The echoed transfer, shared with the receive thread.
    std::unique_ptr<TCommEcho> m_echo;

    // Session number, raised by every Open and Close; notices of an old session are dropped.
    std::atomic<uint64_t> m_session{0};
    std::atomic<bool> m_hungUp{false};
    std::atomic<bool> m_hangUpReported{false};

    // Write lock: the transmit thread's driver write against Close's transmit purge.
    std::mutex m_writeLock;
    // Count lock: pending bytes and queued chunks.
    std::mutex m_countLock;
    std::condition_variable m_countChanged;
    int m_pendingBytes = 0;
    int m_queuedChunks = 0;
    // Bytes the transmit thread got the driver to take; Write watches it for a stalled line.
    std::atomic<uint64_t> m_bytesWritten{0};
    // Bytes Read took from the device; the receive thread sees from it whether a handler read.
    std::atomic<uint64_t> m_bytesRead{0};
    std::atomic<int> m_receiveThreshold{1};
    // Steady-clock time (ns since its epoch) at which bytes were last seen arriving; 0: none.
    std::atomic<int64_t> m_lastArrival{0};
    // Bytes waiting in the driver at the last QuietMs (owner's thread).
    int m_seenWaiting = 0;
    // Line time of one character in microseconds (start, data, parity and stop bits).
    std::atomic<int> m_charMicros{1146};
};

// The component as windows place it: the same properties and signals.
class TCommX final : public TCustomCommX {
    Q_OBJECT

public:
    explicit TCommX(QObject* parent = nullptr) : TCustomCommX(parent) {}
};
