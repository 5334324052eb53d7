#pragma once
// Recording a serial trace: TraceWriter keeps the trace file of one recording, TracingDevice is
// a serial device over another one that passes every call through and writes what happened on
// the line (open, line settings, bytes sent and received, hang-up, close) into a writer.
//
//   auto writer = std::make_shared<TraceWriter>();
//   if (!writer->Open("session.trace", error)) ...
//   std::unique_ptr<SerialDevice> device = std::make_unique<TracingDevice>(CreateSerialDevice(), writer);
//
// Events come from several threads (the transmit and the receive thread); the writer takes
// them under a lock into memory and writes them to the file in large pieces, when the device
// closes and when the recording ends, so that recording costs the line no time.

#include "platform/SerialDevice.h"
#include "platform/SerialTrace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace mv53::platform {

class TraceWriter final {
public:
    TraceWriter() = default;
    ~TraceWriter();
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // Creates (or empties) the file; the clock of the trace starts here. False with the reason.
    bool Open(const std::string& path, std::string& error);
    // Writes what is held and closes the file; later events are dropped. False when the file
    // could not be written whole (error says why; once only).
    bool Finish(std::string& error);
    bool Recording() const;
    const std::string& Path() const { return m_path; }

    using Clock = std::chrono::steady_clock;
    void Add(TraceKind kind, const std::string& text, const void* bytes = nullptr, std::size_t count = 0);
    // An event that happened at a time before now (never before the last line written).
    void AddAt(Clock::time_point at, TraceKind kind, const std::string& text);
    // Writes what is held to the file.
    void Flush();

private:
    void AddLocked(std::optional<Clock::time_point> at, TraceKind kind, const std::string& text, const void* bytes,
                   std::size_t count);
    void FlushLocked();

    mutable std::mutex m_lock;
    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_held;
    bool m_writeFailed = false;
    Clock::time_point m_start;
    int64_t m_lastMicros = 0;
};

class TracingDevice final : public SerialDevice {
public:
    TracingDevice(std::unique_ptr<SerialDevice> inner, std::shared_ptr<TraceWriter> writer);

    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_inner->IsOpen(); }
    int NativeHandle() const override { return m_inner->NativeHandle(); }

    int GetLineSettings(LineSettings& settings) override { return m_inner->GetLineSettings(settings); }
    int SetLineSettings(const LineSettings& settings) override;
    int SetTimeouts(const Timeouts& timeouts) override { return m_inner->SetTimeouts(timeouts); }
    int SetQueueSizes(int inputBytes, int outputBytes) override { return m_inner->SetQueueSizes(inputBytes, outputBytes); }
    int Purge(bool input, bool output) override { return m_inner->Purge(input, output); }

    unsigned WaitEvent(int timeoutMs, bool watchData) override { return Seen(m_inner->WaitEvent(timeoutMs, watchData)); }
    void WakeEventWaiter() override { m_inner->WakeEventWaiter(); }
    unsigned WaitWritable(int timeoutMs) override { return Seen(m_inner->WaitWritable(timeoutMs)); }
    void WakeWriteWaiter() override { m_inner->WakeWriteWaiter(); }
    unsigned WaitReadable(int timeoutMs) override { return Seen(m_inner->WaitReadable(timeoutMs)); }
    unsigned WaitNewData(int timeoutMs) override { return Seen(m_inner->WaitNewData(timeoutMs)); }

    int BytesWaiting(int& count) override { return m_inner->BytesWaiting(count); }
    int OutputWaiting(int& count) override { return m_inner->OutputWaiting(count); }
    IoResult Read(void* buffer, std::size_t size) override;
    IoResult Write(const void* buffer, std::size_t size) override;

    int SetRts(bool on) override { return m_inner->SetRts(on); }
    int SetDtr(bool on) override { return m_inner->SetDtr(on); }
    uint32_t ClearErrors() override { return m_inner->ClearErrors(); }

private:
    // Notes a hang-up that a wait reported (once per open).
    unsigned Seen(unsigned events);
    void NoteHangUp();
    // Writes an event, after the line settings when they changed since the last event.
    void Note(TraceKind kind, const void* bytes = nullptr, std::size_t count = 0);

    std::unique_ptr<SerialDevice> m_inner;
    std::shared_ptr<TraceWriter> m_writer;
    std::mutex m_writeLock;   // held across a write and its note
    std::mutex m_settingsLock;
    std::string m_settings;   // the line settings set last
    TraceWriter::Clock::time_point m_settingsTime;
    std::string m_noted;      // the line settings last written to the trace
    std::atomic<bool> m_hangUpNoted{false};
};

}  // namespace mv53::platform
