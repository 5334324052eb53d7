#include "link/RadioReceiver.h"

#include "link/CommX.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <utility>
#include <vector>

namespace mv53 {

TRadioReceiver::TRadioReceiver(TProgramState& state, QObject* parent) : QObject(parent), m_state(state)
{
    m_timer.setSingleShot(false);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kSilenceMs);
    connect(&m_timer, &QTimer::timeout, this, &TRadioReceiver::TimerTick);
}

void TRadioReceiver::Attach(TCustomCommX& comm)
{
    m_comm = &comm;
    connect(&comm, &TCustomCommX::OnReceive, this, &TRadioReceiver::CommXReceive);
    connect(&comm, &TCustomCommX::OnHangUp, this, &TRadioReceiver::HangUp);
}

void TRadioReceiver::CommXReceive(TCustomCommX* sender, int receiveSize)
{
    m_timer.stop();
    if (sender != nullptr && receiveSize > 0) {
        std::vector<uint8_t> data(static_cast<std::size_t>(receiveSize) + 1);
        const int n = sender->Read(data.data(), receiveSize);
        if (n > 0)
            m_state.RxBuffer.Append(data.data(), n);
    }
    m_state.TimedOut = false;
    RestartTimer(m_waitSilenceMs);
}

void TRadioReceiver::RestartTimer(int ms)
{
    m_silenceMs = ms;
    m_timer.start(ms);
}

void TRadioReceiver::ResetCount() { m_state.RxBuffer.Reset(); }

void TRadioReceiver::StartTimeout(int ms)
{
    m_state.TimedOut = false;
    RestartTimer(ms);
}

void TRadioReceiver::StopTimeout() { m_timer.stop(); }

void TRadioReceiver::TimerTick()
{
    m_timer.stop();
    // Silence counts from the last byte that arrived, not from the notice that hands a reply
    // over: the port gathers a reply into one notice, so a reply that began shortly before the
    // time was up may still be arriving.
    if (m_comm != nullptr && m_comm->IsOpen()) {
        const int quiet = m_comm->QuietMs();
        if (quiet < m_silenceMs) {
            m_timer.start(m_silenceMs - quiet);
            return;
        }
    }
    m_state.TimedOut = true;
}

void TRadioReceiver::HangUp()
{
    m_hungUp = true;
    // Wake a wait that blocks in the event loop, and end a sleep.
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    if (m_sleepLoop != nullptr)
        m_sleepLoop->quit();
}

bool TRadioReceiver::HungUp() const { return m_hungUp || (m_comm != nullptr && m_comm->IsOpen() && m_comm->HungUp()); }

bool TRadioReceiver::Wait(int n)
{
    // A wait always ends: without a running silence timer it would block for good.
    if (!m_timer.isActive() && !m_state.TimedOut)
        RestartTimer(m_waitSilenceMs);
    for (;;) {
        if (m_state.TimedOut || HungUp())
            break;
        if (m_state.RxBuffer.count >= n)
            break;
        // The port gathers the rest of the reply into one notice.
        if (m_comm != nullptr)
            m_comm->SetReceiveThreshold(n - m_state.RxBuffer.count);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (m_comm != nullptr)
        m_comm->SetReceiveThreshold(1);
    m_timer.stop();
    return !m_state.TimedOut && !HungUp();
}

int TRadioReceiver::WaitReply()
{
    if (!Wait(1))
        return -1;
    return m_state.RxBuffer.bytes[0];
}

bool TRadioReceiver::Sleep(int ms)
{
    if (HungUp())
        return false;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QEventLoop* outer = std::exchange(m_sleepLoop, &loop);
    loop.exec();
    m_sleepLoop = outer;
    return !HungUp();
}

void TRadioReceiver::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace mv53
