#pragma once
// The serial trace of this run: while a recording runs, every radio port that OpenRadioPort
// opens is recorded into its file (platform/TracingDevice.h). The command line starts one for
// --trace and MV53_TRACE, the main window for "Help / Record Serial Trace…" and MV53_TRACE.

#include "link/CommX.h"

#include <string>

namespace mv53 {

// The environment variable that records a whole run into the file it names.
inline constexpr const char* kTraceEnvironment = "MV53_TRACE";

// Starts recording into path (the file is created or emptied); a running recording ends first.
// Returns an empty text, or why the file cannot be written.
std::string StartSerialTrace(const std::string& path);
// Ends the recording and writes the rest of it. Empty, or why the file is not whole.
std::string StopSerialTrace();
bool SerialTraceRunning();
std::string SerialTracePath();
// Starts the recording that MV53_TRACE names, if any. Empty, or why it cannot start.
std::string StartSerialTraceFromEnvironment();

// The layer OpenRadioPort puts over a port's device: the recorder while a recording runs,
// else none.
TCustomCommX::DeviceWrapper SerialTraceWrapper();

}  // namespace mv53
