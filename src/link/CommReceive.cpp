// Receiving: the receive thread's watch on the line, and Read and the quiet time on the owner's
// thread.

#include "link/CommEcho.h"
#include "link/CommReceive.h"
#include "link/CommWait.h"

#include <cerrno>
#include <limits>

namespace pf = mv53::platform;
using namespace mv53::comm;

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
    SleepMs(m_owner.m_pauses.threadEndMs);
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
