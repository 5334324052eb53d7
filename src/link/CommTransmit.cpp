// Sending: Write on the owner's thread hands chunks to the transmit thread, which writes them.

#include "link/CommTransmit.h"
#include "link/CommWait.h"

#include <cerrno>

namespace pf = mv53::platform;
using namespace mv53::comm;

namespace {

constexpr int kMaxQueuedChunks = 32;

}  // namespace

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
    SleepMs(m_owner.m_pauses.threadEndMs);
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
