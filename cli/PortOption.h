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

}  // namespace mv53::cli
