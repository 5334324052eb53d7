#pragma once
// The configuration file's "PORTS" section, shared by the windows and the command line: each
// key a COM port name ("COM3"), its value the device path bound to that number.

#include "platform/IniFile.h"

#include <map>
#include <string>

namespace mv53::platform {

inline constexpr const char* kPortsSection = "PORTS";

// The bindings with their names in capitals; keys without a path are left out.
std::map<std::string, std::string> ReadPortsSection(const TIniFile& ini);
// Writes these bindings; the section's other keys stay as they are.
void WritePortsSection(TIniFile& ini, const std::map<std::string, std::string>& bindings);

}  // namespace mv53::platform
