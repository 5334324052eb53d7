// The serial port component's life: opening a device with its line settings and threads, and
// closing it. Sending, receiving, notices, echoed sending and the line settings have files of
// their own (CommTransmit, CommReceive, CommNotices, CommEcho, CommLine).

#include "link/CommX.h"

#include "link/CommEcho.h"
#include "link/CommLine.h"
#include "link/CommNotices.h"
#include "link/CommReceive.h"
#include "link/CommTransmit.h"
#include "link/CommWait.h"
#include "platform/PortMap.h"

namespace pf = mv53::platform;
using namespace mv53::comm;
using namespace std::chrono_literals;

namespace {

// Close gives up waiting for a transmit queue that cannot drain after this long.
constexpr auto kCloseFlushLimit = 2s;

}  // namespace

TCustomCommX::TCustomCommX(QObject* parent)
    : QObject(parent), m_mailbox(std::make_unique<TCommMailbox>(*this)), m_echo(std::make_unique<TCommEcho>())
{
}

TCustomCommX::~TCustomCommX()
{
    Close();
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
    if (m_deviceWrapper)
        device = m_deviceWrapper(std::move(device));
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
    SleepMs(m_pauses.afterOpenMs);
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
    SleepMs(m_pauses.beforeStopMs);

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
    SleepMs(m_pauses.afterCloseMs);
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
