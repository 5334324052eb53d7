#pragma once
// The radio's port as every command that talks to a radio takes it: --port DEVICE|COMn, with
// --config naming the configuration file whose "PORTS" section binds the numbers.

#include <string>

struct TProgramState;

namespace mv53::cli {

// "COMn" goes through the port map as the windows' COM port does: the bindings of MV53_PORTS,
// else of the configuration file's "PORTS" section (configPath, or the windows' own file when
// empty), else the discovered port that falls to n. state.ComPortNo becomes n - 1, a present
// device is bound to n by its stable path and written back to the file (unless MV53_PORTS
// bound it), and the result is empty: the controller then opens the number. Anything else is a
// device path and is returned as it is. Give the result to the controller's SetDevicePath.
std::string ResolvePortOption(const std::string& port, const std::string& configPath, TProgramState& state);

// --trace FILE: the serial trace of the command's talk with the radio. StartTraceOption starts
// it when a file is given (after the arguments were checked, before the port opens); false,
// with the reason on standard error, when the file cannot be written. FinishTrace, after the
// command, writes the rest and turns a trace that is not whole into a failure.
inline constexpr const char* kTraceOption = "--trace";
bool StartTraceOption(const std::string& path);
int FinishTrace(const char* command, int status);

}  // namespace mv53::cli
