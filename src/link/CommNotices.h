#pragma once
// How the serial port component's threads hand their notices (received bytes, break, line
// error, hang-up, end of an echoed transfer) to the owner's thread.

#include "link/CommX.h"

#include <QCoreApplication>
#include <QEvent>

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

// Notices from the threads to the owner's thread: a queue under a lock, and one wake-up event
// posted to the owner (on any platform) that takes what the queue holds. A wake-up that is
// already on its way is not posted again. The event is made under the lock and freed by Qt only
// after the owner took the lock, so every step of the hand-off is ordered by this lock, where
// ThreadSanitizer can check it (a queued call's slot object is shared with Qt's own reference
// count, which it cannot see).
class TCommMailbox {
public:
    explicit TCommMailbox(TCustomCommX& owner) : m_owner(owner) {}
    TCommMailbox(const TCommMailbox&) = delete;
    TCommMailbox& operator=(const TCommMailbox&) = delete;

    // The type of the wake-up event.
    static QEvent::Type WakeType();

    // On the owner's thread, before any thread posts. 0 or errno.
    int Arm() { return 0; }
    void Post(TCommNotice notice)
    {
        std::unique_ptr<QEvent> wake;
        {
            std::lock_guard guard(m_lock);
            m_queue.push_back(std::move(notice));
            if (!m_wakePending) {
                m_wakePending = true;
                wake = std::make_unique<QEvent>(WakeType());
            }
        }
        // Qt drops the event when the component is destroyed before it arrives.
        if (wake)
            QCoreApplication::postEvent(&m_owner, wake.release());
    }
    // On the owner's thread, before taking the notices: a notice posted from now on posts a
    // new wake-up.
    void Drain()
    {
        std::lock_guard guard(m_lock);
        m_wakePending = false;
    }
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
    std::mutex m_lock;
    bool m_wakePending = false;
    std::deque<TCommNotice> m_queue;
};
