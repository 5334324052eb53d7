// Echoed sending: started and watched on the owner's thread, run by the receive thread.

#include "link/CommEcho.h"
#include "link/CommReceive.h"
#include "link/CommWait.h"

#include <cerrno>

namespace pf = mv53::platform;
using namespace mv53::comm;

namespace {

// An echoed transfer looks at its stop flag at least this often while it waits for an echo.
constexpr int kEchoSliceMs = 100;

}  // namespace

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
