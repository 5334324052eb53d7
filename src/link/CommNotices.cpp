// The owner's side of the notices: delivery from a thread, and the signals they become.

#include "link/CommNotices.h"

#include <QMetaMethod>

#include <algorithm>

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

QEvent::Type TCommMailbox::WakeType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool TCustomCommX::event(QEvent* e)
{
    if (e->type() != TCommMailbox::WakeType())
        return QObject::event(e);
    TakeMail();
    return true;
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

void TCustomCommX::NotifyHangUp()
{
    m_hungUp = true;
    m_countChanged.notify_all();
    if (m_hangUpReported.exchange(true))
        return;
    m_mailbox->Post({m_session, Notice::HangUp, 0, nullptr, 0});
}
