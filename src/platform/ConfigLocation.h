#pragma once
// Where the windows keep their configuration file, for the windows and for the command line
// that reads and writes the same file.

#include <QString>

namespace mv53::platform {

// fileName beside the program when the program's folder can be written (a copy kept on a stick
// keeps its settings with it); else in MV53Win under the user's configuration folder
// (~/.config/MV53Win on Linux, %LOCALAPPDATA%\MV53Win on Windows).
QString ConfigFilePath(const QString& fileName);

}  // namespace mv53::platform
