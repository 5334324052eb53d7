#include "platform/TracingDevice.h"

#include <algorithm>

#include <cerrno>

namespace mv53::platform {

namespace {

// Held events are written out once they reach this size (a full upload is about 60 KiB).
constexpr std::size_t kFlushSize = 256 * 1024;

}  // namespace

TraceWriter::~TraceWriter()
{
    std::string ignored;
    Finish(ignored);
}

bool TraceWriter::Open(const std::string& path, std::string& error)
{
    std::lock_guard guard(m_lock);
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        error = "cannot write the serial trace " + path + ": " + ErrorText(errno);
        return false;
    }
    if (m_file != nullptr)
        std::fclose(m_file);
    m_file = file;
    m_path = path;
    m_held.clear();
    m_writeFailed = false;
    m_start = Clock::now();
    m_lastMicros = 0;
    return true;
}

bool TraceWriter::Finish(std::string& error)
{
    std::lock_guard guard(m_lock);
    if (m_file == nullptr)
        return true;
    FlushLocked();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (m_writeFailed || !closed) {
        error = "the serial trace " + m_path + " could not be written whole";
        return false;
    }
    return true;
}

bool TraceWriter::Recording() const
{
    std::lock_guard guard(m_lock);
    return m_file != nullptr;
}

void TraceWriter::Add(TraceKind kind, const std::string& text, const void* bytes, std::size_t count)
{
    AddLocked(std::nullopt, kind, text, bytes, count);
}

void TraceWriter::AddAt(Clock::time_point at, TraceKind kind, const std::string& text)
{
    AddLocked(at, kind, text, nullptr, 0);
}

void TraceWriter::AddLocked(std::optional<Clock::time_point> at, TraceKind kind, const std::string& text,
                            const void* bytes, std::size_t count)
{
    std::lock_guard guard(m_lock);
    if (m_file == nullptr)
        return;
    // The time is taken under the lock, so that the lines of the two threads stay in order.
    const auto now = Clock::now();
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(std::min(at.value_or(now), now) - m_start);
    m_lastMicros = std::max<int64_t>(m_lastMicros, micros.count());
    m_held += TraceLine(m_lastMicros, kind, text, static_cast<const uint8_t*>(bytes), count);
    if (m_held.size() >= kFlushSize)
        FlushLocked();
}

void TraceWriter::Flush()
{
    std::lock_guard guard(m_lock);
    FlushLocked();
}

void TraceWriter::FlushLocked()
{
    if (m_file == nullptr || m_held.empty())
        return;
    if (std::fwrite(m_held.data(), 1, m_held.size(), m_file) != m_held.size() || std::fflush(m_file) != 0)
        m_writeFailed = true;
    m_held.clear();
}

TracingDevice::TracingDevice(std::unique_ptr<SerialDevice> inner, std::shared_ptr<TraceWriter> writer)
    : m_inner(std::move(inner)), m_writer(std::move(writer))
{
}

int TracingDevice::Open(const std::string& path)
{
    const int error = m_inner->Open(path);
    if (error == 0) {
        m_hangUpNoted = false;
        {
            std::lock_guard guard(m_settingsLock);
            m_settings.clear();
            m_noted.clear();
        }
        m_writer->Add(TraceKind::Open, path);
    }
    return error;
}

void TracingDevice::Close()
{
    const bool wasOpen = m_inner->IsOpen();
    m_inner->Close();
    if (wasOpen) {
        Note(TraceKind::Close);
        m_writer->Flush();
    }
}

int TracingDevice::SetLineSettings(const LineSettings& settings)
{
    const int error = m_inner->SetLineSettings(settings);
    if (error != 0)
        return error;
    // The component sends the block field by field: the settings are written before the next
    // event, so that the trace shows the line that was used, once.
    std::lock_guard guard(m_settingsLock);
    m_settings = LineSettingsText(settings);
    m_settingsTime = TraceWriter::Clock::now();
    return error;
}

IoResult TracingDevice::Read(void* buffer, std::size_t size)
{
    const IoResult result = m_inner->Read(buffer, size);
    if (result.count > 0) {
        // Waits for a write that is still returning: its bytes went out before this reply.
        std::lock_guard order(m_writeLock);
        Note(TraceKind::Rx, buffer, static_cast<std::size_t>(result.count));
    }
    if (!result.Ok() && IsHangUpError(result.error))
        NoteHangUp();
    return result;
}

IoResult TracingDevice::Write(const void* buffer, std::size_t size)
{
    // The radio may answer, and the reader thread note the answer, before the write returns:
    // the write and its note are one step for the reader, so that a reply never comes before
    // its question in the trace (a replay would send it unasked).
    std::lock_guard order(m_writeLock);
    const IoResult result = m_inner->Write(buffer, size);
    if (result.count > 0)
        Note(TraceKind::Tx, buffer, static_cast<std::size_t>(result.count));
    if (!result.Ok() && IsHangUpError(result.error))
        NoteHangUp();
    return result;
}

unsigned TracingDevice::Seen(unsigned events)
{
    if (events & kEventHangUp)
        NoteHangUp();
    return events;
}

void TracingDevice::NoteHangUp()
{
    if (!m_hangUpNoted.exchange(true))
        Note(TraceKind::HangUp);
}

void TracingDevice::Note(TraceKind kind, const void* bytes, std::size_t count)
{
    std::lock_guard guard(m_settingsLock);
    if (m_settings != m_noted) {
        m_writer->AddAt(m_settingsTime, TraceKind::Settings, m_settings);
        m_noted = m_settings;
    }
    m_writer->Add(kind, {}, bytes, count);
}

}  // namespace mv53::platform
