#include "TraceReplay.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace mv53::radiosim {

namespace {

using platform::TraceKind;

// Bytes the program sent just before closing the port reach this side a moment after the
// close is seen: a close counts only after this much quiet.
constexpr auto kCloseSettle = std::chrono::milliseconds(50);
// At most this many bytes are named in a message.
constexpr std::size_t kShownBytes = 16;

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

TraceReplay::TraceReplay(std::vector<platform::TraceEvent> events) : m_events(std::move(events)) {}

TraceReplay::~TraceReplay() { CloseLine(); }

bool TraceReplay::Start(std::string& error)
{
    if (!OpenPtyLine(m_line, error))
        return false;
    m_base = Clock::now();
    m_baseMicros = m_events.empty() ? 0 : m_events.front().micros;
    return true;
}

void TraceReplay::CloseLine()
{
    CloseFd(m_line.watch);
    CloseFd(m_line.master);
    CloseFd(m_line.slave);
}

std::string TraceReplay::ReceivedText(const platform::TraceEvent& event) const
{
    // The bytes of this event that matched, then the first that did not.
    std::vector<uint8_t> bytes(event.bytes.begin(), event.bytes.begin() + static_cast<std::ptrdiff_t>(m_matched));
    bytes.insert(bytes.end(), m_received.begin(), m_received.end());
    return platform::HexBytes(bytes.data(), bytes.size(), kShownBytes);
}

std::string TraceReplay::Parted(const platform::TraceEvent& event, const std::string& did) const
{
    std::string has = platform::TraceKindName(event.kind);
    if (event.kind == TraceKind::Tx)
        has += ' ' + platform::HexBytes(event.bytes.data(), event.bytes.size(), kShownBytes);
    return "the program parted from the trace at line " + std::to_string(event.line) + ": the trace has " + has +
           ", the program " + did;
}

bool TraceReplay::SendPending()
{
    while (m_sent < m_sending.size()) {
        const ssize_t n = ::write(m_line.master, m_sending.data() + m_sent, m_sending.size() - m_sent);
        if (n < 0)
            return errno == EAGAIN || errno == EINTR;
        m_sent += static_cast<std::size_t>(n);
    }
    m_sending.clear();
    m_sent = 0;
    return true;
}

TraceReplay::Step TraceReplay::Advance(Clock::time_point now, std::string& message)
{
    m_timed = false;
    while (m_next < m_events.size() && m_sending.empty()) {
        const platform::TraceEvent& event = m_events[m_next];
        const auto playedAt = [&] {
            m_base = now;
            m_baseMicros = event.micros;
            ++m_next;
        };
        switch (event.kind) {
        case TraceKind::Open:
        case TraceKind::Settings:
            ++m_next;
            break;
        case TraceKind::Rx: {
            // The radio answered this long after what the program did before.
            const auto due = m_base + std::chrono::microseconds(event.micros - m_baseMicros);
            if (now < due) {
                m_deadline = due;
                m_timed = true;
                return Step::Wait;
            }
            m_sending = event.bytes;
            m_sent = 0;
            ++m_next;
            // What the line takes now is out before the next event is looked at; a failure
            // shows in Run.
            SendPending();
            break;
        }
        case TraceKind::Tx:
            while (m_matched < event.bytes.size() && !m_received.empty()) {
                if (m_received.front() != event.bytes[m_matched]) {
                    message = Parted(event, "sent " + ReceivedText(event));
                    return Step::Parted;
                }
                m_received.pop_front();
                ++m_matched;
            }
            if (m_matched < event.bytes.size()) {
                if (m_closes > 0 && now - m_closeSeen >= kCloseSettle) {
                    message = Parted(event, "closed the port");
                    return Step::Parted;
                }
                if (m_closes > 0) {
                    m_deadline = m_closeSeen + kCloseSettle;
                    m_timed = true;
                }
                return Step::Wait;
            }
            m_matched = 0;
            playedAt();
            break;
        case TraceKind::Close:
            if (!m_received.empty()) {
                message = Parted(event, "sent " + ReceivedText(event));
                return Step::Parted;
            }
            if (m_closes == 0)
                return Step::Wait;
            --m_closes;
            playedAt();
            break;
        case TraceKind::HangUp:
            ++m_next;
            return Step::HungUp;
        }
    }
    if (m_next >= m_events.size() && !m_received.empty()) {
        message = "the program parted from the trace after its end (line " +
                  std::to_string(m_events.empty() ? 0 : m_events.back().line) + "): the program sent " + ReceivedText({});
        return Step::Parted;
    }
    return Step::Go;
}

void TraceReplay::HangUp()
{
    // Closing the master discards what the program has not read yet: wait until it has.
    const auto started = Clock::now();
    while (Clock::now() - started < std::chrono::seconds(1)) {
        int waiting = 0;
        if (!SendPending() || ::ioctl(m_line.slave, FIONREAD, &waiting) != 0)
            break;
        if (m_sending.empty() && waiting == 0 && Clock::now() - started >= std::chrono::milliseconds(20))
            break;
        ::usleep(2000);
    }
    CloseLine();
}

bool TraceReplay::Run(int stopFd, std::string& message)
{
    for (;;) {
        const Step step = Advance(Clock::now(), message);
        if (step == Step::Parted)
            return false;
        if (step == Step::HungUp) {
            HangUp();
            return true;
        }
        if (!SendPending()) {
            message = "the program's side of the line is gone (at trace line " +
                      std::to_string(m_events[std::min(m_next, m_events.size() - 1)].line) + ")";
            return false;
        }
        if (m_next >= m_events.size() && m_sending.empty()) {
            // Played through: the program reads the last bytes before the line goes.
            HangUp();
            return true;
        }
        pollfd fds[3] {{stopFd, POLLIN, 0}, {m_line.master, static_cast<short>(POLLIN | (m_sending.empty() ? 0 : POLLOUT)), 0},
                       {m_line.watch, POLLIN, 0}};
        int timeout = -1;
        if (m_timed) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
            timeout = static_cast<int>(std::max<long long>(left, 0));
        }
        if (::poll(fds, m_line.watch >= 0 ? 3 : 2, timeout) < 0 && errno != EINTR) {
            message = "poll failed";
            return false;
        }
        if (fds[0].revents & POLLIN) {
            const std::size_t at = std::min(m_next, m_events.size() - 1);
            message = "stopped at trace line " + std::to_string(m_events[at].line);
            return false;
        }
        if (fds[1].revents & POLLIN) {
            uint8_t buffer[512];
            const ssize_t n = ::read(m_line.master, buffer, sizeof buffer);
            if (n > 0)
                m_received.insert(m_received.end(), buffer, buffer + n);
        }
        if (m_line.watch >= 0 && (fds[2].revents & POLLIN)) {
            TakePcClose(m_line);
            ++m_closes;
            m_closeSeen = Clock::now();
        }
    }
}

}  // namespace mv53::radiosim
