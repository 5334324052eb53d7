#pragma once
// The text form of a serial trace: one event a line, the time in microseconds since the
// recording began, the event and its bytes in hexadecimal:
//
//   0 open /dev/ttyUSB0
//   180 settings 9600 8N2
//   1012 tx 02 4B 54 34 36 38 48 03
//   9875 rx 06
//   2100430 hangup
//   2100510 close
//
// The recorder (TracingDevice.h) writes it; ReadSerialTrace reads it back for the replay. The
// reader also takes blank lines and lines starting with "#", so that a trace kept as a test can
// say what it shows.

#include "platform/SerialDevice.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mv53::platform {

enum class TraceKind : uint8_t { Open, Settings, Tx, Rx, HangUp, Close };

struct TraceEvent {
    int line = 0;              // line number in the file, from 1
    int64_t micros = 0;        // since the start of the recording
    TraceKind kind = TraceKind::Open;
    std::string text;          // the device of open, the line settings of settings ("9600 8N2")
    std::vector<uint8_t> bytes; // tx, rx
};

// The event's name as it stands in a trace ("open", "tx", ...).
const char* TraceKindName(TraceKind kind);
// "9600 8N2": bit rate, data bits, parity (N, O, E) and stop bits (1, 1.5, 2).
std::string LineSettingsText(const LineSettings& settings);
// Bytes in hexadecimal, upper case, separated by spaces; at most limit bytes, then "...".
std::string HexBytes(const uint8_t* bytes, std::size_t count, std::size_t limit = SIZE_MAX);
// One line of a trace, with its line end.
std::string TraceLine(int64_t micros, TraceKind kind, const std::string& text, const uint8_t* bytes = nullptr,
                      std::size_t count = 0);

// Reads a whole trace. On bad input returns false with error "line N: reason" and events holding
// the lines before it.
bool ReadSerialTrace(const std::string& text, std::vector<TraceEvent>& events, std::string& error);

}  // namespace mv53::platform
