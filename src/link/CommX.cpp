#include "link/CommX.h"

#include "platform/PortMap.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaMethod>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

namespace pf = mv53::platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kMaxQueuedChunks = 32;

// Flag words of the line settings block.
constexpr uint32_t kFlagsRtsCts = pf::kLineBinary | pf::kLineParityCheck | pf::kLineCtsOutFlow |
                                  pf::kLineDtrOn | pf::kLineRtsHandshake; // 0x2017
constexpr uint32_t kFlagsDtrDsr = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDsrOutFlow |
                                  pf::kLineDtrHandshake | pf::kLineRtsOn; // 0x102B
constexpr uint32_t kFlagsXonXoff = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDtrOn |
                                   pf::kLineXonXoffOut | pf::kLineXonXoffIn | pf::kLineRtsOn; // 0x1313
constexpr uint32_t kFlagsHalfHigh = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDtrOn; // 0x0013
constexpr uint32_t kFlagsPlain = pf::kLineBinary | pf::kLineParityCheck | pf::kLineDtrOn |
                                 pf::kLineRtsOn; // 0x1013
// After Open: DTR and RTS on, no handshake, no parity check. At Close: DTR dropped.
constexpr uint32_t kFlagsOpen = pf::kLineBinary | pf::kLineDtrOn | pf::kLineRtsOn; // 0x1011
constexpr uint32_t kFlagsClose = pf::kLineBinary | pf::kLineRtsOn;                 // 0x1001
static_assert(kFlagsRtsCts == 0x2017 && kFlagsDtrDsr == 0x102B && kFlagsXonXoff == 0x1313 &&
              kFlagsHalfHigh == 0x0013 && kFlagsPlain == 0x1013 && kFlagsOpen == 0x1011 &&
              kFlagsClose == 0x1001);

uint32_t FlowFlags(TCommFlowCtrls flow)
{
    switch (flow) {
    case cfcRtsCts: return kFlagsRtsCts;
    case cfcDtrDsr: return kFlagsDtrDsr;
    case cfcXonXoff: return kFlagsXonXoff;
    case cfcHalfHigh: return kFlagsHalfHigh;
    case cfcHalfLow:
    case cfcNone: break;
    }
    return kFlagsPlain;
}

pf::Parity ToParity(TCommParityBits p)
{
    switch (p) {
    case cpbOdd: return pf::Parity::Odd;
    case cpbEven: return pf::Parity::Even;
    case cpbNone: break;
    }
    return pf::Parity::None;
}

pf::StopBits ToStopBits(TCommStopBits s)
{
    switch (s) {
    case csb1p5: return pf::StopBits::OnePointFive;
    case csb2: return pf::StopBits::Two;
    case csb1: break;
    }
    return pf::StopBits::One;
}

// An echoed transfer looks at its stop flag at least this often while it waits for an echo.
constexpr int kEchoSliceMs = 100;

// Close gives up waiting for a transmit queue that cannot drain after this long.
constexpr auto kCloseFlushLimit = 2s;
// Longest stretch a wait on the user-interface thread blocks before it processes events again.
constexpr int kPumpSliceMs = 10;

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void ProcessPendingEvents()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

} // namespace

// How a thread hands a notice to the owner's thread and waits for it to be handled. Close
// abandons the gate first, so a thread never keeps Close waiting for a handler.
struct TCommNoticeGate {
    std::mutex lock;
    std::condition_variable changed;
    uint64_t issued = 0;
    uint64_t handled = 0;
    bool abandoned = false;

    void Abandon()
    {
        std::lock_guard guard(lock);
        abandoned = true;
        changed.notify_all();
    }
};

// An echoed transfer: set up on the owner's thread, run by the receive thread.
struct TCommEcho {
    mutable std::mutex lock;
    // Under the lock.
    std::vector<uint8_t> bytes;
    int silenceMs = 0;
    int writeTimeOutMs = 0;
    bool pending = false;   // not yet taken by the receive thread
    bool running = false;   // started and its end not yet recorded
    TEchoResult result;
    // Any thread.
    std::atomic<bool> stop{false};
    std::atomic<int> echoed{0};
};

struct TCommNotice {
    uint64_t session = 0;
    TCustomCommX::Notice kind = TCustomCommX::Notice::Receive;
    int value = 0;
    std::shared_ptr<TCommNoticeGate> gate; // empty for notices nobody waits for
    uint64_t ticket = 0;
};

// Notices from the threads to the owner's thread: a queue under a lock, and one queued call to
// the owner (a posted event of Qt's, on any platform) that takes what the queue holds. A call
// that is already on its way is not posted again.
class TCommMailbox {
public:
    explicit TCommMailbox(TCustomCommX& owner) : m_owner(owner) {}
    TCommMailbox(const TCommMailbox&) = delete;
    TCommMailbox& operator=(const TCommMailbox&) = delete;

    // On the owner's thread, before any thread posts. 0 or errno.
    int Arm() { return 0; }
    void Post(TCommNotice notice)
    {
        {
            std::lock_guard guard(m_lock);
            m_queue.push_back(std::move(notice));
        }
        if (!m_callPending.exchange(true)) {
            // Qt drops the call when the component is destroyed before it runs.
            TCustomCommX* owner = &m_owner;
            QMetaObject::invokeMethod(owner, [owner] { owner->TakeMail(); }, Qt::QueuedConnection);
        }
    }
    // On the owner's thread, before taking the notices: a notice posted from now on posts a
    // new call.
    void Drain() { m_callPending.store(false); }
    bool Take(TCommNotice& notice)
    {
        std::lock_guard guard(m_lock);
        if (m_queue.empty())
            return false;
        notice = std::move(m_queue.front());
        m_queue.pop_front();
        return true;
    }

private:
    TCustomCommX& m_owner;
    std::atomic<bool> m_callPending{false};
    std::mutex m_lock;
    std::deque<TCommNotice> m_queue;
};

// The transmit thread: takes the chunks that Write hands over and writes them to the device.
class TCommTransThread {
public:
    TCommTransThread(TCustomCommX& owner, pf::SerialDevice& device, uint64_t session)
        : m_owner(owner), m_device(device), m_session(session)
    {
    }
    ~TCommTransThread() { Terminate(); Join(); }

    void Start() { m_thread = std::thread([this] { Run(); }); }
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    // TM_COMMSEND: the thread owns the chunk from now on.
    void Post(std::vector<uint8_t>&& chunk)
    {
        std::lock_guard guard(m_queueLock);
        m_queue.push_back(std::move(chunk));
        m_queueChanged.notify_one();
    }
    // Terminate and TM_COMMWAKE: the thread sees that it is terminated and ends.
    void Terminate()
    {
        {
            std::lock_guard guard(m_queueLock);
            m_terminated = true;
            m_queueChanged.notify_one();
        }
        m_gate->Abandon();
        m_device.WakeWriteWaiter();
    }
    void SetPurging(bool on)
    {
        m_purging = on;
        if (on)
            m_device.WakeWriteWaiter();
    }
    void AbandonNotices() { m_gate->Abandon(); }

    std::atomic<int> m_charTime{2};
    std::atomic<int> m_flowCtrl{cfcNone};
    std::atomic<int> m_timeOut{3000};

private:
    void Run();
    bool Stopped() const { return m_purging || m_terminated || m_owner.m_hungUp; }
    void WriteChunk(const std::vector<uint8_t>& chunk);
    void ReportErrors();
    void RaiseLine();
    void LowerLine();
    void WaitSent();

    TCustomCommX& m_owner;
    pf::SerialDevice& m_device;
    const uint64_t m_session;
    std::shared_ptr<TCommNoticeGate> m_gate = std::make_shared<TCommNoticeGate>();
    std::atomic<bool> m_purging{false};
    std::atomic<bool> m_terminated{false};
    std::mutex m_queueLock;
    std::condition_variable m_queueChanged;
    std::deque<std::vector<uint8_t>> m_queue;
    std::thread m_thread;
};

void TCommTransThread::Run()
{
    for (;;) {
        std::deque<std::vector<uint8_t>> batch;
        {
            std::unique_lock guard(m_queueLock);
            m_queueChanged.wait(guard, [this] { return m_terminated || !m_queue.empty(); });
            if (m_terminated)
                break;
            batch.swap(m_queue);
        }
        bool wrote = false;
        for (auto& chunk : batch) {
            if (!Stopped()) {
                if (!wrote)
                    RaiseLine();
                wrote = true;
                WriteChunk(chunk);
            }
            const int size = static_cast<int>(chunk.size());
            std::vector<uint8_t>().swap(chunk);
            m_owner.ChunkDone(size);
        }
        if (wrote)
            LowerLine();
    }
    SleepMs(100);
}

void TCommTransThread::WriteChunk(const std::vector<uint8_t>& chunk)
{
    const uint8_t* p = chunk.data();
    std::size_t left = chunk.size();
    while (left > 0 && !Stopped()) {
        pf::IoResult r;
        {
            std::lock_guard guard(m_owner.m_writeLock);
            r = m_device.Write(p, left);
        }
        if (r.count > 0) {
            p += r.count;
            left -= static_cast<std::size_t>(r.count);
            m_owner.m_bytesWritten += static_cast<uint64_t>(r.count);
            continue;
        }
        if (r.error != 0 && r.error != EAGAIN) {
            if (pf::IsHangUpError(r.error))
                m_owner.NotifyHangUp();
            else
                ReportErrors();
            return; // the chunk is given up
        }
        // The output is full: wait for room, at most the write time-out, then try the remainder
        // again (a purge, Close or a hang-up ends it).
        const int timeout = m_timeOut > 0 ? m_timeOut.load() : -1;
        const unsigned ev = m_device.WaitWritable(timeout);
        if (ev & pf::kEventHangUp) {
            m_owner.NotifyHangUp();
            return;
        }
        if (ev & pf::kEventTimeout)
            ReportErrors();
    }
}

void TCommTransThread::ReportErrors()
{
    const int bits = static_cast<int>(m_device.ClearErrors()) & kCommErrorBits;
    if (bits != 0)
        m_owner.Deliver(m_gate, m_session, TCustomCommX::Notice::Error, bits);
}

void TCommTransThread::RaiseLine()
{
    const int flow = m_flowCtrl;
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    SleepMs(50);
    m_device.SetRts(flow == cfcHalfHigh);
    SleepMs(m_charTime);
}

void TCommTransThread::LowerLine()
{
    const int flow = m_flowCtrl;
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    // A write returns once the driver holds the bytes; the line turns only after they are out.
    WaitSent();
    SleepMs(m_charTime);
    m_device.SetRts(flow == cfcHalfLow);
}

void TCommTransThread::WaitSent()
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, m_timeOut.load()));
    int waiting = 0;
    while (!m_terminated && !m_owner.m_hungUp && m_device.OutputWaiting(waiting) == 0 &&
           waiting > 0 && Clock::now() < deadline)
        SleepMs(1);
}

// The receive thread: waits for line events and hands them to the owner's thread, one at a time.
class TCommReceiveThread {
public:
    TCommReceiveThread(TCustomCommX& owner, pf::SerialDevice& device, uint64_t session)
        : m_owner(owner), m_device(device), m_session(session)
    {
    }
    ~TCommReceiveThread() { Terminate(); Join(); }

    void Start() { m_thread = std::thread([this] { Run(); }); }
    void Join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    void Terminate()
    {
        m_terminated = true;
        m_gate->Abandon();
        m_device.WakeEventWaiter();
    }
    void AbandonNotices() { m_gate->Abandon(); }

private:
    void Run();
    unsigned Gather();
    bool EchoPending() const;
    // Runs the pending echoed transfer and reports its end; false when the thread must end.
    bool RunEcho();
    bool WriteEchoByte(uint8_t byte, int writeTimeOutMs, TEchoEnd& end);
    bool ReadEcho(int silenceMs, uint8_t& byte, TEchoEnd& end);

    TCustomCommX& m_owner;
    pf::SerialDevice& m_device;
    const uint64_t m_session;
    std::shared_ptr<TCommNoticeGate> m_gate = std::make_shared<TCommNoticeGate>();
    std::atomic<bool> m_terminated{false};
    std::thread m_thread;
};

// After bytes arrived: while the owner waits for more than are there and bytes keep coming,
// waits for them, so that a reply arriving byte by byte at the line rate reaches the owner in
// one notice (one round trip through its thread instead of one per byte). It ends as soon as
// the threshold is reached, so a complete reply is not delayed; only a reply that stops short
// waits for the quiet gap. Returns the line events seen meanwhile (break, error, hang-up).
unsigned TCommReceiveThread::Gather()
{
    int waiting = 0;
    if (m_owner.m_receiveThreshold <= 1 || m_device.BytesWaiting(waiting) != 0)
        return pf::kEventNone;
    const auto quiet = std::chrono::microseconds(
        std::max(1000, TCustomCommX::kGatherQuietChars * m_owner.m_charMicros.load()));
    m_owner.NoteArrival();
    const auto first = Clock::now();
    const auto limit = first + std::chrono::milliseconds(TCustomCommX::kGatherLimitMs);
    auto last = first;
    unsigned seen = pf::kEventNone;
    while (waiting > 0 && waiting < m_owner.m_receiveThreshold && !m_terminated) {
        const auto end = std::min(last + quiet, limit);
        const auto now = Clock::now();
        if (now >= end)
            break;
        // The missing bytes need at least their line time: half of it passes without waking
        // for each byte (the arrivals meanwhile are counted after it), so that a long reply
        // wakes this thread a few times, not once per byte, and never after its last byte.
        const int missing = m_owner.m_receiveThreshold - waiting;
        const auto doze = std::chrono::microseconds(missing / 2 * m_owner.m_charMicros.load());
        if (missing > 2 && now + doze < limit) {
            const auto ms = std::chrono::floor<std::chrono::milliseconds>(doze);
            const unsigned ev = ms.count() > 0 ? m_device.WaitEvent(static_cast<int>(ms.count()), false)
                                               : pf::kEventNone;
            seen |= ev & (pf::kEventBreak | pf::kEventError | pf::kEventHangUp);
            if (seen != pf::kEventNone || (ev & pf::kEventWoken))
                break;
        }
        // epoll counts whole milliseconds: round up, the count decides below.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        const unsigned ev = m_device.WaitNewData(static_cast<int>(std::max<long long>(0, left.count())));
        seen |= ev & (pf::kEventBreak | pf::kEventError | pf::kEventHangUp);
        if (seen != pf::kEventNone || (ev & pf::kEventWoken))
            break;
        int count = 0;
        if (m_device.BytesWaiting(count) != 0)
            break;
        if (count > waiting) {
            waiting = count;
            last = Clock::now();
            m_owner.NoteArrival();
        }
    }
    return seen;
}

void TCommReceiveThread::Run()
{
    using Notice = TCustomCommX::Notice;
    // Bytes left waiting by a handler that read nothing (or by no handler at all). The driver
    // reports waiting data for as long as it is there; the next receive notice then goes out
    // only when more bytes arrive, as a received-character event would.
    int unread = 0;
    while (!m_terminated) {
        if (EchoPending()) {
            if (!RunEcho())
                break;
            // What came after the last echo is reported as usual.
            unread = 0;
            continue;
        }
        unsigned ev = unread > 0 ? m_device.WaitEvent(20, false) : m_device.WaitEvent(-1, true);
        if (m_terminated)
            break;
        if ((ev & pf::kEventWoken) && EchoPending())
            continue;
        if (ev & pf::kEventData)
            m_owner.NoteArrival();
        if ((ev & pf::kEventData) && unread == 0) {
            ev |= Gather();
            if (m_terminated)
                break;
        }
        if (unread > 0) {
            int now = 0;
            if (m_device.BytesWaiting(now) == 0) {
                if (now > unread)
                    ev |= pf::kEventData;
                else
                    unread = now;
            }
        }
        const int bits = static_cast<int>(m_device.ClearErrors()) & kCommErrorBits;
        if (bits != 0 && !m_owner.Deliver(m_gate, m_session, Notice::Error, bits))
            break;
        if ((ev & pf::kEventBreak) && !m_owner.Deliver(m_gate, m_session, Notice::Break, 0))
            break;
        if (ev & pf::kEventData) {
            const uint64_t readBefore = m_owner.m_bytesRead;
            if (!m_owner.Deliver(m_gate, m_session, Notice::Receive, 0))
                break;
            if (m_owner.m_bytesRead != readBefore || m_device.BytesWaiting(unread) != 0)
                unread = 0;
        }
        if (ev & pf::kEventHangUp) {
            m_owner.NotifyHangUp();
            break;
        }
    }
    SleepMs(100);
}

bool TCommReceiveThread::EchoPending() const
{
    const TCommEcho& job = *m_owner.m_echo;
    std::lock_guard guard(job.lock);
    return job.pending;
}

bool TCommReceiveThread::RunEcho()
{
    TCommEcho& job = *m_owner.m_echo;
    std::vector<uint8_t> bytes;
    int silenceMs = 0;
    int writeTimeOutMs = 0;
    {
        std::lock_guard guard(job.lock);
        bytes.swap(job.bytes);
        silenceMs = job.silenceMs;
        writeTimeOutMs = job.writeTimeOutMs;
        job.pending = false;
    }
    TEchoResult result{TEchoEnd::Echoed, 0, -1};
    for (const uint8_t sent : bytes) {
        if (job.stop || m_terminated) {
            result.end = TEchoEnd::Stopped;
            break;
        }
        uint8_t echo = 0;
        if (!WriteEchoByte(sent, writeTimeOutMs, result.end) || !ReadEcho(silenceMs, echo, result.end))
            break;
        if (echo != sent) {
            result.end = TEchoEnd::WrongEcho;
            result.wrongByte = echo;
            break;
        }
        job.echoed = ++result.echoed;
    }
    {
        std::lock_guard guard(job.lock);
        job.result = result;
        job.running = false;
    }
    return m_owner.Deliver(m_gate, m_session, TCustomCommX::Notice::EchoEnd, 0) &&
           result.end != TEchoEnd::HungUp;
}

bool TCommReceiveThread::WriteEchoByte(uint8_t byte, int writeTimeOutMs, TEchoEnd& end)
{
    for (;;) {
        pf::IoResult r;
        {
            std::lock_guard guard(m_owner.m_writeLock);
            r = m_device.Write(&byte, 1);
        }
        if (r.count == 1) {
            ++m_owner.m_bytesWritten;
            return true;
        }
        unsigned ev = pf::kEventNone;
        if (r.error != 0 && r.error != EAGAIN)
            ev = pf::IsHangUpError(r.error) ? pf::kEventHangUp : pf::kEventTimeout;
        else
            ev = m_device.WaitWritable(writeTimeOutMs > 0 ? writeTimeOutMs : -1);
        if (ev & pf::kEventHangUp) {
            m_owner.NotifyHangUp();
            end = TEchoEnd::HungUp;
            return false;
        }
        if (ev & pf::kEventTimeout) {
            end = TEchoEnd::LineFailed;
            return false;
        }
        if (m_terminated) {
            end = TEchoEnd::Stopped;
            return false;
        }
    }
}

bool TCommReceiveThread::ReadEcho(int silenceMs, uint8_t& byte, TEchoEnd& end)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(silenceMs);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            end = TEchoEnd::Silence;
            return false;
        }
        // StopEchoed wakes this wait; the slice only bounds it on a device that misses a wake.
        const unsigned ev = m_device.WaitEvent(static_cast<int>(std::min<long long>(left, kEchoSliceMs)), true);
        if (m_terminated || m_owner.m_echo->stop) {
            end = TEchoEnd::Stopped;
            return false;
        }
        const pf::IoResult r = m_device.Read(&byte, 1);
        if (r.count == 1) {
            m_owner.NoteArrival();
            return true;
        }
        if ((ev & pf::kEventHangUp) || (r.error != 0 && r.error != EAGAIN)) {
            const bool gone = (ev & pf::kEventHangUp) || pf::IsHangUpError(r.error);
            if (gone)
                m_owner.NotifyHangUp();
            end = gone ? TEchoEnd::HungUp : TEchoEnd::LineFailed;
            return false;
        }
    }
}

TCustomCommX::TCustomCommX(QObject* parent)
    : QObject(parent), m_mailbox(std::make_unique<TCommMailbox>(*this)), m_echo(std::make_unique<TCommEcho>())
{
}

TCustomCommX::~TCustomCommX()
{
    Close();
}

int TCustomCommX::CharTimeMs(int bitRate)
{
    const int charsPerSecond = bitRate / 10;
    return (charsPerSecond > 0 ? 1000 / charsPerSecond : 1000) + 1;
}

bool TCustomCommX::IsOpen() const
{
    return m_device != nullptr && m_device->IsOpen();
}

int TCustomCommX::Handle() const
{
    return m_device ? m_device->NativeHandle() : -1;
}

std::string TCustomCommX::EffectiveDevicePath() const
{
    if (!m_devicePath.empty())
        return pf::PortMap::ResolvePortName(m_devicePath);
    return pf::PortMap::DevicePathForPort(m_portNo);
}

void TCustomCommX::Raise(const char* message, int error) const
{
    std::string detail = EffectiveDevicePath() + ": " + pf::ErrorText(error);
    throw ECommError(message, std::move(detail), error);
}

void TCustomCommX::Open()
{
    if (IsOpen())
        throw ECommError(kCommAlreadyOpen);
    const std::string path = EffectiveDevicePath();
    // Without a way to reach this thread the receive thread could deliver nothing.
    if (const int err = m_mailbox->Arm(); err != 0)
        throw ECommError(kCommReceiveThreadError, pf::ErrorText(err), err);
    auto device = m_deviceMaker ? m_deviceMaker() : pf::CreateSerialDevice();
    if (const int err = device->Open(path); err != 0)
        throw ECommError(kCommOpenError, pf::OpenErrorReason(path, err), err);
    m_device = std::move(device);
    ++m_session;
    m_hungUp = false;
    m_hangUpReported = false;
    m_lastArrival = 0;
    m_seenWaiting = 0;
    try {
        OpenSteps();
    } catch (...) {
        Close();
        throw;
    }
}

void TCustomCommX::OpenSteps()
{
    {
        std::lock_guard guard(m_countLock);
        m_pendingBytes = 0;
        m_queuedChunks = 0;
    }
    ApplyQueueSizes();
    m_device->Purge(false, true);
    m_device->Purge(true, false);
    UpdateCharMicros();

    m_device->GetLineSettings(m_dcb);
    m_dcb.baudRate = m_bitRate;
    ApplyLine(kCommBitRateError);
    m_dcb.dataBits = m_charSize;
    ApplyLine(kCommCharSizeError);
    m_dcb.parity = ToParity(m_parityBit);
    ApplyLine(kCommParityError);
    m_dcb.stopBits = ToStopBits(m_stopBit);
    ApplyLine(kCommStopBitError);
    ApplyFlowCtrl();

    m_dcb.flags = kFlagsOpen;
    ApplyTimeouts();
    m_dcb.xonChar = static_cast<uint8_t>(m_xonChar);
    ApplyLine(kCommXonCharError);
    m_dcb.xoffChar = static_cast<uint8_t>(m_xoffChar);
    ApplyLine(kCommXoffCharError);

    // The receive thread watches for received bytes, breaks and line errors.
    const uint64_t session = m_session;
    try {
        m_transThread = std::make_unique<TCommTransThread>(*this, *m_device, session);
        m_transThread->m_charTime = CharTimeMs(m_bitRate);
        m_transThread->m_flowCtrl = m_flowCtrl;
        m_transThread->m_timeOut = m_timeOutTrans;
        m_transThread->Start();
    } catch (const std::exception& e) {
        m_transThread.reset();
        throw ECommError(kCommTransThreadError, e.what());
    }
    try {
        m_receiveThread = std::make_unique<TCommReceiveThread>(*this, *m_device, session);
        m_receiveThread->Start();
    } catch (const std::exception& e) {
        m_receiveThread.reset();
        throw ECommError(kCommReceiveThreadError, e.what());
    }
    SleepMs(100);
}

void TCustomCommX::Close()
{
    if (!IsOpen())
        return;
    // Notices of this session are dropped from now on, and no thread waits for a handler.
    ++m_session;
    if (m_transThread)
        m_transThread->AbandonNotices();
    if (m_receiveThread)
        m_receiveThread->AbandonNotices();

    if (m_transThread) {
        m_transThread->SetPurging(true);
        // Bounded: on a device that is gone nothing may be able to drain.
        const auto deadline = Clock::now() + kCloseFlushLimit;
        for (;;) {
            {
                std::lock_guard guard(m_writeLock);
                m_device->Purge(false, true);
            }
            SleepMs(1);
            int pending = 0;
            {
                std::lock_guard guard(m_countLock);
                pending = m_pendingBytes;
            }
            if (pending == 0 || Clock::now() >= deadline)
                break;
        }
        m_transThread->SetPurging(false);
    } else {
        m_device->Purge(false, true);
    }
    m_device->Purge(true, false);
    SleepMs(100);

    StopThreads();
    {
        // A transfer the thread did not finish ends with the port, unreported.
        std::lock_guard guard(m_echo->lock);
        m_echo->pending = false;
        m_echo->running = false;
        m_echo->bytes.clear();
    }

    m_dcb.flags = kFlagsClose;
    m_device->SetLineSettings(m_dcb);
    m_device->Close();
    m_device.reset();
    {
        std::lock_guard guard(m_countLock);
        m_pendingBytes = 0;
        m_queuedChunks = 0;
    }
    m_countChanged.notify_all();
    SleepMs(200);
}

void TCustomCommX::StopThreads()
{
    if (m_transThread)
        m_transThread->Terminate();
    if (m_receiveThread)
        m_receiveThread->Terminate();
    if (m_transThread)
        m_transThread->Join();
    if (m_receiveThread)
        m_receiveThread->Join();
    m_transThread.reset();
    m_receiveThread.reset();
}

bool TCustomCommX::Write(const void* buffer, int count)
{
    if (count == 0)
        return true;
    if (count < 0 || buffer == nullptr)
        return false;
    const auto* p = static_cast<const uint8_t*>(buffer);
    const uint64_t session = m_session;
    // A BufLenTrans below 1 would never advance.
    const int chunkLimit = std::max(1, m_bufLenTrans);
    uint64_t written = m_bytesWritten;
    auto lastProgress = Clock::now();
    while (count > 0) {
        if (!IsOpen() || !m_transThread || m_hungUp || m_session != session)
            return false;
        int queued = 0;
        {
            std::lock_guard guard(m_countLock);
            queued = m_queuedChunks;
        }
        if (queued < kMaxQueuedChunks) {
            const int chunk = std::min(count, chunkLimit);
            bool counted = false;
            try {
                std::vector<uint8_t> copy(p, p + chunk);
                {
                    std::lock_guard guard(m_countLock);
                    m_pendingBytes += chunk;
                    ++m_queuedChunks;
                }
                counted = true;
                m_transThread->Post(std::move(copy));
            } catch (const std::bad_alloc&) {
                // The chunk could not be handed over: the caller must know.
                if (counted)
                    ChunkDone(chunk);
                return false;
            }
            ChunkHandedOver(chunk);
            p += chunk;
            count -= chunk;
        } else {
            ProcessPendingEvents();
            if (!IsOpen() || !m_transThread || m_session != session)
                return false;
            // A line that takes nothing (far end stopped, flow control held) would keep the
            // caller here for ever: give up after the write time-out without progress.
            if (const uint64_t now = m_bytesWritten; now != written) {
                written = now;
                lastProgress = Clock::now();
            } else if (m_timeOutTrans > 0 &&
                       Clock::now() - lastProgress > std::chrono::milliseconds(m_timeOutTrans)) {
                return false;
            }
            std::unique_lock guard(m_countLock);
            m_countChanged.wait_for(guard, std::chrono::milliseconds(kPumpSliceMs), [this] {
                return m_queuedChunks < kMaxQueuedChunks || m_hungUp;
            });
        }
    }
    return true;
}

bool TCustomCommX::WriteChar(uint8_t c)
{
    return Write(&c, 1);
}

int TCustomCommX::Read(void* buffer, int count)
{
    if (!IsOpen() || !m_receiveThread || buffer == nullptr || count < 0)
        return -1;
    if (m_hungUp)
        return -1;
    if (count == 0)
        return 0;
    auto* p = static_cast<uint8_t*>(buffer);
    const uint64_t session = m_session;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, m_timeOutReceive));
    int got = 0;
    for (;;) {
        const pf::IoResult r =
            m_device->Read(p + got, static_cast<std::size_t>(count - got));
        if (r.count > 0) {
            got += static_cast<int>(r.count);
            m_bytesRead += static_cast<uint64_t>(r.count);
            if (got == count)
                return got;
            continue;
        }
        if (r.error != 0 && r.error != EAGAIN) {
            if (pf::IsHangUpError(r.error)) {
                NotifyHangUp();
                return got > 0 ? got : -1;
            }
            const int bits = static_cast<int>(m_device->ClearErrors()) & kCommErrorBits;
            if (bits != 0)
                Q_EMIT OnError(this, bits);
            return -1;
        }
        if (Clock::now() >= deadline)
            return got;
        // Nothing waiting: keep the application alive, then idle until bytes arrive (or a
        // short slice passes, so that events are processed again).
        ProcessPendingEvents();
        if (!IsOpen() || !m_receiveThread || m_session != session)
            return -1;
        if (m_hungUp)
            return got > 0 ? got : -1;
        m_device->WaitReadable(std::min(kPumpSliceMs, RemainingMs(deadline)));
    }
}

bool TCustomCommX::Deliver(const std::shared_ptr<TCommNoticeGate>& gate, uint64_t session,
                           Notice notice, int value)
{
    uint64_t ticket = 0;
    {
        std::lock_guard guard(gate->lock);
        if (gate->abandoned)
            return false;
        ticket = ++gate->issued;
    }
    m_mailbox->Post({session, notice, value, gate, ticket});
    std::unique_lock guard(gate->lock);
    gate->changed.wait(guard, [&] { return gate->handled >= ticket || gate->abandoned; });
    return !gate->abandoned;
}

void TCustomCommX::TakeMail()
{
    m_mailbox->Drain();
    TCommNotice notice;
    while (m_mailbox->Take(notice)) {
        // Marks the notice handled however the handler leaves.
        struct Done {
            TCommNotice& n;
            ~Done()
            {
                if (!n.gate)
                    return;
                {
                    std::lock_guard guard(n.gate->lock);
                    n.gate->handled = std::max(n.gate->handled, n.ticket);
                }
                // Outside the lock: the woken thread does not block on it again at once.
                n.gate->changed.notify_all();
            }
        } done{notice};
        HandleNotice(notice.session, notice.kind, notice.value);
    }
}

void TCustomCommX::HandleNotice(uint64_t session, Notice notice, int value)
{
    if (session != m_session || !IsOpen())
        return;
    switch (notice) {
    case Notice::Receive: {
        if (!isSignalConnected(QMetaMethod::fromSignal(&TCustomCommX::OnReceive)))
            return;
        int count = 0;
        if (m_device->BytesWaiting(count) == 0 && count > 0)
            Q_EMIT OnReceive(this, count);
        break;
    }
    case Notice::Break:
        Q_EMIT OnBreak(this);
        break;
    case Notice::Error:
        Q_EMIT OnError(this, value);
        break;
    case Notice::HangUp:
        Q_EMIT OnHangUp(this);
        break;
    case Notice::EchoEnd:
        Q_EMIT OnEchoEnd(this);
        break;
    }
}

bool TCustomCommX::StartEchoed(std::vector<uint8_t> bytes, int silenceMs)
{
    if (!IsOpen() || !m_receiveThread || m_hungUp)
        return false;
    {
        std::lock_guard guard(m_echo->lock);
        if (m_echo->running)
            return false;
        m_echo->bytes = std::move(bytes);
        m_echo->silenceMs = std::max(0, silenceMs);
        m_echo->writeTimeOutMs = m_timeOutTrans;
        m_echo->result = {};
        m_echo->stop = false;
        m_echo->echoed = 0;
        m_echo->pending = true;
        m_echo->running = true;
    }
    m_device->WakeEventWaiter();
    return true;
}

void TCustomCommX::StopEchoed()
{
    m_echo->stop = true;
    if (m_device)
        m_device->WakeEventWaiter();
}

int TCustomCommX::EchoedCount() const
{
    return m_echo->echoed;
}

bool TCustomCommX::EchoRunning() const
{
    std::lock_guard guard(m_echo->lock);
    return m_echo->running;
}

TEchoResult TCustomCommX::EchoResult() const
{
    std::lock_guard guard(m_echo->lock);
    return m_echo->result;
}

void TCustomCommX::NotifyHangUp()
{
    m_hungUp = true;
    m_countChanged.notify_all();
    if (m_hangUpReported.exchange(true))
        return;
    m_mailbox->Post({m_session, Notice::HangUp, 0, nullptr, 0});
}

void TCustomCommX::NoteArrival()
{
    m_lastArrival = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

int TCustomCommX::QuietMs()
{
    constexpr int kLong = std::numeric_limits<int>::max();
    if (!IsOpen())
        return kLong;
    // A receive thread that has not run since the bytes came (a loaded machine) has not
    // stamped them: bytes found waiting beyond those seen before arrived since the last call.
    int waiting = 0;
    if (m_device->BytesWaiting(waiting) == 0) {
        if (waiting > m_seenWaiting)
            NoteArrival();
        m_seenWaiting = waiting;
    }
    const int64_t last = m_lastArrival;
    if (last == 0)
        return kLong;
    const auto since = Clock::now().time_since_epoch() - std::chrono::nanoseconds(last);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<int>(std::clamp<long long>(ms, 0, kLong));
}

void TCustomCommX::ChunkDone(int size)
{
    {
        std::lock_guard guard(m_countLock);
        m_pendingBytes = std::max(0, m_pendingBytes - size);
        if (m_queuedChunks > 0)
            --m_queuedChunks;
    }
    m_countChanged.notify_all();
}

void TCustomCommX::UpdateCharMicros()
{
    const int bits = 1 + m_charSize + (m_parityBit == cpbNone ? 0 : 1) + (m_stopBit == csb1 ? 1 : 2);
    m_charMicros = m_bitRate > 0 ? static_cast<int>(1000000LL * bits / m_bitRate) : 1000000;
}

void TCustomCommX::ApplyLine(const char* message)
{
    if (const int err = m_device->SetLineSettings(m_dcb); err != 0)
        Raise(message, err);
}

void TCustomCommX::ApplyTimeouts()
{
    // Read: interval without limit, no multiplier, total TimeOutReceive; write: total TimeOutTrans.
    const pf::Timeouts timeouts{m_timeOutReceive, m_timeOutTrans};
    if (const int err = m_device->SetTimeouts(timeouts); err != 0)
        Raise(kCommTimeOutError, err);
}

void TCustomCommX::ApplyQueueSizes()
{
    if (const int err = m_device->SetQueueSizes(m_bufLenReceive, m_bufLenTrans); err != 0)
        Raise(kCommBufferError, err);
}

void TCustomCommX::ApplyFlowCtrl()
{
    m_dcb.xonLimit = m_bufLenReceive / 4;
    m_dcb.xoffLimit = m_bufLenReceive / 4;
    m_dcb.flags = FlowFlags(m_flowCtrl);
    ApplyLine(kCommFlowCtrlError);
}

void TCustomCommX::SetPortNo(int value)
{
    m_portNo = value;
    if (IsOpen()) {
        Close();
        Open();
    }
}

void TCustomCommX::SetDevicePath(std::string value)
{
    m_devicePath = std::move(value);
    if (IsOpen()) {
        Close();
        Open();
    }
}

void TCustomCommX::SetBitRate(int value)
{
    m_bitRate = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    if (m_transThread)
        m_transThread->m_charTime = CharTimeMs(value);
    m_dcb.baudRate = value;
    ApplyLine(kCommBitRateError);
}

void TCustomCommX::SetCharSize(int value)
{
    m_charSize = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    m_dcb.dataBits = value;
    ApplyLine(kCommCharSizeError);
}

void TCustomCommX::SetParityBit(TCommParityBits value)
{
    m_parityBit = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    m_dcb.parity = ToParity(value);
    ApplyLine(kCommParityError);
}

void TCustomCommX::SetStopBit(TCommStopBits value)
{
    m_stopBit = value;
    UpdateCharMicros();
    if (!IsOpen())
        return;
    m_dcb.stopBits = ToStopBits(value);
    ApplyLine(kCommStopBitError);
}

void TCustomCommX::SetFlowCtrl(TCommFlowCtrls value)
{
    m_flowCtrl = value;
    if (!IsOpen())
        return;
    if (m_transThread)
        m_transThread->m_flowCtrl = value;
    ApplyFlowCtrl();
}

void TCustomCommX::SetTimeOutTrans(int value)
{
    m_timeOutTrans = value;
    if (!IsOpen())
        return;
    if (m_transThread)
        m_transThread->m_timeOut = value;
    ApplyTimeouts();
}

void TCustomCommX::SetTimeOutReceive(int value)
{
    m_timeOutReceive = value;
    if (IsOpen())
        ApplyTimeouts();
}

void TCustomCommX::SetXonChar(char value)
{
    m_xonChar = value;
    if (!IsOpen())
        return;
    m_dcb.xonChar = static_cast<uint8_t>(value);
    ApplyLine(kCommXonCharError);
}

void TCustomCommX::SetXoffChar(char value)
{
    m_xoffChar = value;
    if (!IsOpen())
        return;
    m_dcb.xoffChar = static_cast<uint8_t>(value);
    ApplyLine(kCommXoffCharError);
}

void TCustomCommX::SetBufLenTrans(int value)
{
    m_bufLenTrans = value;
    if (IsOpen())
        ApplyQueueSizes();
}

void TCustomCommX::SetBufLenReceive(int value)
{
    m_bufLenReceive = value;
    if (!IsOpen())
        return;
    ApplyQueueSizes();
    ApplyFlowCtrl();
}
