#pragma once
// How the serial port component's threads hand their notices (received bytes, break, line
// error, hang-up, end of an echoed transfer) to the owner's thread.

#include "link/CommX.h"

#include <QMetaObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

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
