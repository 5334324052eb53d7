#include "link/TraceRecording.h"

#include "platform/TracingDevice.h"

#include <cstdlib>
#include <mutex>

namespace mv53 {

namespace {

struct TraceState {
    std::mutex lock;
    std::shared_ptr<platform::TraceWriter> writer;
};

TraceState& State()
{
    // Ends with the program, so that a recording still running is written out then.
    static TraceState state;
    return state;
}

}  // namespace

std::string StartSerialTrace(const std::string& path)
{
    StopSerialTrace();
    auto writer = std::make_shared<platform::TraceWriter>();
    std::string error;
    if (!writer->Open(path, error))
        return error;
    std::lock_guard guard(State().lock);
    State().writer = std::move(writer);
    return {};
}

std::string StopSerialTrace()
{
    std::shared_ptr<platform::TraceWriter> writer;
    {
        std::lock_guard guard(State().lock);
        writer = std::move(State().writer);
    }
    std::string error;
    if (writer)
        writer->Finish(error);
    return error;
}

bool SerialTraceRunning()
{
    std::lock_guard guard(State().lock);
    return State().writer != nullptr;
}

std::string SerialTracePath()
{
    std::lock_guard guard(State().lock);
    return State().writer ? State().writer->Path() : std::string();
}

std::string StartSerialTraceFromEnvironment()
{
    const char* path = std::getenv(kTraceEnvironment);
    if (path == nullptr || *path == '\0')
        return {};
    return StartSerialTrace(path);
}

TCustomCommX::DeviceWrapper SerialTraceWrapper()
{
    std::lock_guard guard(State().lock);
    if (!State().writer)
        return {};
    return [writer = State().writer](std::unique_ptr<platform::SerialDevice> device) -> std::unique_ptr<platform::SerialDevice> {
        return std::make_unique<platform::TracingDevice>(std::move(device), writer);
    };
}

}  // namespace mv53
