// libFuzzer target: any bytes as a serial trace. A refusal names a line after the events it
// kept; what is read writes back (one TraceLine an event) to a text that reads the same.

#include "platform/SerialTrace.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace mv53::platform;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "fuzz_trace: %s: %s\n", what, detail.c_str());
    std::abort();
}

std::string Written(const std::vector<TraceEvent>& events)
{
    std::string text;
    for (const TraceEvent& e : events)
        text += TraceLine(e.micros, e.kind, e.text, e.bytes.data(), e.bytes.size());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<TraceEvent> events;
    std::string error;
    if (!ReadSerialTrace(text, events, error)) {
        int line = 0;
        const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        if (std::sscanf(error.c_str(), "line %d: ", &line) != 1 || error.find(": ") == std::string::npos ||
            line < 1 || line > lines || (!events.empty() && line <= events.back().line))
            Fail("the refusal names no line after the events read", error);
    }
    for (std::size_t i = 1; i < events.size(); ++i)
        if (events[i].line <= events[i - 1].line || events[i].micros < events[i - 1].micros)
            Fail("the events are out of order", error);

    const std::string written = Written(events);
    std::vector<TraceEvent> again;
    if (!ReadSerialTrace(written, again, error))
        Fail("a written trace is refused", error);
    if (again.size() != events.size())
        Fail("a written trace reads back to another number of events", written);
    for (std::size_t i = 0; i < events.size(); ++i) {
        const TraceEvent& a = events[i];
        const TraceEvent& b = again[i];
        if (b.line != static_cast<int>(i) + 1 || a.micros != b.micros || a.kind != b.kind || a.text != b.text ||
            a.bytes != b.bytes)
            Fail("an event reads back otherwise", written);
    }
    if (Written(again) != written)
        Fail("writing the trace again gives another text", written);
    return 0;
}
