#pragma once
// The serial port component's transmit thread: writes the chunks that Write hands over, turns
// the line for half-duplex flow control and reports line errors.

#include "link/CommNotices.h"
#include "platform/SerialDevice.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The transmit thread: takes the chunks that Write hands over and writes them to the device.
class TCommTransThread {
public:
    TCommTransThread(TCustomCommX& owner, mv53::platform::SerialDevice& device, uint64_t session)
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
    mv53::platform::SerialDevice& m_device;
    const uint64_t m_session;
    std::shared_ptr<TCommNoticeGate> m_gate = std::make_shared<TCommNoticeGate>();
    std::atomic<bool> m_purging{false};
    std::atomic<bool> m_terminated{false};
    std::mutex m_queueLock;
    std::condition_variable m_queueChanged;
    std::deque<std::vector<uint8_t>> m_queue;
    std::thread m_thread;
};
