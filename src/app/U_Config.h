#pragma once
// The main window's keys of the configuration file: monitor count, window position, COM
// port, visible columns, recent files and the device paths behind the COM port numbers.

#include "platform/IniFile.h"

#include <array>
#include <map>
#include <string>
#include <vector>

inline constexpr int kViewItemCount = 11;
inline constexpr int kRecentReadCount = 10;   // only FILE0..FILE9 are read back

struct TMainConfig {
    int Monitors = 1;
    int X = 0;
    int Y = 0;
    int ComPortNo = 0;
    // Items 0 to 9 shown, item 10 ("Tuner tcll") hidden.
    std::array<bool, kViewItemCount> ViewItems{true, true, true, true, true, true, true, true, true, true, false};
    std::vector<std::string> RecentFiles;
    // "PORTS": COM port number (1-based) → device path.
    std::map<std::string, std::string> Ports;
    // "Back up the radio before writing".
    bool BackupBeforeWrite = true;
};

// Reads every key with its default for a missing or malformed value.
TMainConfig ReadMainConfig(const TIniFile& ini);
// Writes every key. The recent-file section is rewritten whole: all entries with the indexes
// 0, 1, 2, ... and no stale keys of a longer list of an earlier run. Of "PORTS" only the
// entries in config.Ports are written (an empty path leaves the number unbound); the rest
// stays as it is.
void WriteMainConfig(TIniFile& ini, const TMainConfig& config);
