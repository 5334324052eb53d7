#pragma once
// The radio's side of a recorded serial trace, played on a pseudo-terminal: each time the
// program has sent what the trace says it sent, the radio's bytes that followed are sent back
// at the pace they came then. When the program sends something else, or closes the port where
// the trace goes on, the replay ends and says where the two parted.
//
//   std::vector<platform::TraceEvent> events;   // platform::ReadSerialTrace
//   TraceReplay replay(events);
//   if (!replay.Start(error)) ...
//   print(replay.DevicePath());
//   const bool playedThrough = replay.Run(stopFd, message);

#include "PtyLine.h"

#include "platform/SerialTrace.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace mv53::radiosim {

class TraceReplay final {
public:
    explicit TraceReplay(std::vector<platform::TraceEvent> events);
    ~TraceReplay();
    TraceReplay(const TraceReplay&) = delete;
    TraceReplay& operator=(const TraceReplay&) = delete;

    bool Start(std::string& error);
    const std::string& DevicePath() const { return m_line.path; }

    // Plays until the trace's end (true) or until the program parts from it (false, message
    // says where). stopFd, when it becomes readable, stops the replay (false, message says at
    // which line).
    bool Run(int stopFd, std::string& message);

private:
    using Clock = std::chrono::steady_clock;
    enum class Step { Go, Wait, Parted, HungUp };

    // Moves through the events as far as the program's bytes and the clock allow.
    Step Advance(Clock::time_point now, std::string& message);
    // "line N: the trace has <what>, the program <did>".
    std::string Parted(const platform::TraceEvent& event, const std::string& did) const;
    // What the program sent since the start of event.
    std::string ReceivedText(const platform::TraceEvent& event) const;
    bool SendPending();
    // Gives the program up to a second to read what was sent, then closes the line.
    void HangUp();
    void CloseLine();

    std::vector<platform::TraceEvent> m_events;
    PtyLine m_line;
    std::size_t m_next = 0;            // the event being played
    std::size_t m_matched = 0;         // bytes of the current tx event the program has sent
    std::deque<uint8_t> m_received;    // the program's bytes not yet matched
    std::vector<uint8_t> m_sending;    // radio bytes not yet written
    std::size_t m_sent = 0;
    int m_closes = 0;                  // closes of the port by the program not yet matched
    Clock::time_point m_closeSeen;     // when the last of them was seen
    Clock::time_point m_base;          // when the last event the program caused happened here
    int64_t m_baseMicros = 0;          // and in the trace
    Clock::time_point m_deadline;      // when Advance wants to look again (rx waiting to be due)
    bool m_timed = false;
};

}  // namespace mv53::radiosim
