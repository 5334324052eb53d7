#pragma once
// The folder where the program keeps its own data (the backups of the radios, the demo radio).

#include <string>

namespace mv53::platform {

// MV53_DATA_DIR when it is set; else on Linux $XDG_DATA_HOME/MV53 or ~/.local/share/MV53, on
// Windows the user's application data folder (%APPDATA%\MV53). Empty when none can be named.
std::string DataFolder();

}  // namespace mv53::platform
