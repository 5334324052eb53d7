#pragma once
// A serial device in memory that plays a radio from a list of replies: each question the
// program writes (a 37-byte command frame, or a single acknowledge byte) releases the next
// reply for reading; a WriteEnd frame, which the radio does not answer, releases none. A
// question with no reply left hangs the device up, so that a run ends at once when its replies
// are used up; an empty reply leaves the program waiting for its silence time. The replies and
// the questions with what was released for each stay with the script, after the device is
// closed and gone.

#include "link/CloneFrames.h"
#include "link/CloneProtocol.h"
#include "platform/SerialDevice.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace mv53::fuzz {

using Bytes = std::vector<uint8_t>;

struct ReplyScript {
    std::deque<Bytes> replies;
    struct Exchange {
        Bytes question;
        Bytes reply;
        bool hungUp = false;   // no reply was left: the device hung up instead
    };
    std::vector<Exchange> log;
    int settingsError = 0;     // errno that every change of the line settings fails with
    // After this many questions the line takes no more bytes (the output stays full).
    std::size_t questionsTaken = SIZE_MAX;
};

class ReplyDevice final : public platform::SerialDevice {
public:
    explicit ReplyDevice(std::shared_ptr<ReplyScript> script) : m_script(std::move(script)) {}

    int Open(const std::string&) override { return Locked([&] { m_open = true; return 0; }); }
    void Close() override { Locked([&] { m_open = false; return 0; }); }
    bool IsOpen() const override { return m_open; }
    int NativeHandle() const override { return m_open ? 0 : -1; }
    int GetLineSettings(platform::LineSettings& settings) override { settings = m_settings; return 0; }
    int SetLineSettings(const platform::LineSettings& settings) override
    {
        if (m_script->settingsError != 0)
            return m_script->settingsError;
        m_settings = settings;
        return 0;
    }
    int SetTimeouts(const platform::Timeouts&) override { return 0; }
    int SetQueueSizes(int, int) override { return 0; }
    int Purge(bool input, bool) override
    {
        return Locked([&] {
            if (input)
                m_input.clear();
            return 0;
        });
    }

    unsigned WaitEvent(int timeoutMs, bool watchData) override
    {
        return Wait(timeoutMs, m_wakeEvent, [&] { return watchData && !m_input.empty(); });
    }
    void WakeEventWaiter() override { Locked([&] { m_wakeEvent = true; return 0; }); }
    unsigned WaitWritable(int timeoutMs) override
    {
        bool never = false;
        const unsigned events = Wait(timeoutMs, never, [&] { return !Full(); });
        return (events & platform::kEventData) ? (events & ~platform::kEventData) | platform::kEventWritable : events;
    }
    void WakeWriteWaiter() override {}
    unsigned WaitReadable(int timeoutMs) override
    {
        bool never = false;
        return Wait(timeoutMs, never, [&] { return !m_input.empty(); });
    }
    unsigned WaitNewData(int timeoutMs) override
    {
        const uint64_t seen = m_releases;
        return Wait(timeoutMs, m_wakeEvent, [&] { return m_releases != seen; });
    }

    int BytesWaiting(int& count) override { return Locked([&] { count = static_cast<int>(m_input.size()); return 0; }); }
    int OutputWaiting(int& count) override { count = 0; return 0; }
    platform::IoResult Read(void* buffer, std::size_t size) override
    {
        std::lock_guard guard(m_lock);
        if (m_input.empty())
            return {0, m_hungUp ? EIO : EAGAIN};
        const std::size_t n = std::min(size, m_input.size());
        std::copy_n(m_input.begin(), n, static_cast<uint8_t*>(buffer));
        m_input.erase(m_input.begin(), m_input.begin() + static_cast<long>(n));
        return {static_cast<long>(n), 0};
    }
    platform::IoResult Write(const void* buffer, std::size_t size) override
    {
        std::lock_guard guard(m_lock);
        if (m_hungUp)
            return {0, EIO};
        if (Full())
            return {0, EAGAIN};
        const auto* p = static_cast<const uint8_t*>(buffer);
        std::size_t taken = 0;
        for (; taken < size && !m_hungUp && !Full(); ++taken) {
            m_question.push_back(p[taken]);
            if (m_question.size() == static_cast<std::size_t>(clone::kFrameSize) ||
                (m_question.size() == 1 && m_question[0] == clone::kAck))
                Answer();
        }
        m_changed.notify_all();
        return {static_cast<long>(taken), 0};
    }

    int SetRts(bool) override { return 0; }
    int SetDtr(bool) override { return 0; }
    uint32_t ClearErrors() override { return 0; }

private:
    bool Full() const { return m_script->log.size() >= m_script->questionsTaken; }

    // Called with the lock held, for a whole question.
    void Answer()
    {
        ReplyScript::Exchange exchange{std::move(m_question), {}, false};
        m_question.clear();
        const bool writeEnd = exchange.question.size() == static_cast<std::size_t>(clone::kFrameSize) &&
                              exchange.question[0] == 0 &&
                              exchange.question[1] == static_cast<uint8_t>(clone::TCommand::WriteEnd);
        if (!writeEnd) {
            if (m_script->replies.empty()) {
                m_hungUp = true;
                exchange.hungUp = true;
            } else {
                exchange.reply = std::move(m_script->replies.front());
                m_script->replies.pop_front();
                m_input.insert(m_input.end(), exchange.reply.begin(), exchange.reply.end());
                if (!exchange.reply.empty())
                    ++m_releases;
            }
        }
        m_script->log.push_back(std::move(exchange));
    }

    template <typename F>
    int Locked(F f)
    {
        std::lock_guard guard(m_lock);
        const int result = f();
        m_changed.notify_all();
        return result;
    }

    template <typename Ready>
    unsigned Wait(int timeoutMs, bool& wake, Ready ready)
    {
        std::unique_lock guard(m_lock);
        const auto done = [&] { return m_hungUp || wake || ready(); };
        if (timeoutMs < 0)
            m_changed.wait(guard, done);
        else if (!m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), done))
            return platform::kEventTimeout;
        unsigned events = ready() ? platform::kEventData : platform::kEventNone;
        if (m_hungUp)
            events |= platform::kEventHangUp;
        if (wake) {
            wake = false;
            events |= platform::kEventWoken;
        }
        return events;
    }

    std::shared_ptr<ReplyScript> m_script;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_hungUp{false};
    bool m_wakeEvent = false;
    std::atomic<uint64_t> m_releases{0};   // replies released that hold bytes
    Bytes m_question;
    std::deque<uint8_t> m_input;
    platform::LineSettings m_settings;
};

// Points a transfer at a device playing script, without the pauses a radio needs; a reply
// that does not come is given up after silenceMs.
inline void UseReplyDevice(TCloneTransfer& transfer, const std::shared_ptr<ReplyScript>& script, int silenceMs)
{
    transfer.SetDevicePath("mem");
    transfer.SetPacing({.openSettleMs = 0, .identifyGapMs = 0, .userDataEndMs = 0, .beforeCloseMs = 0,
                        .lastAckMs = 0, .silenceMs = silenceMs});
    transfer.CommX().SetPauses({.afterOpenMs = 0, .beforeStopMs = 0, .threadEndMs = 0, .afterCloseMs = 0});
    transfer.CommX().SetDeviceMaker([script] { return std::make_unique<ReplyDevice>(script); });
}

}  // namespace mv53::fuzz
