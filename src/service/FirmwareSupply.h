#pragma once
// The two data items of the firmware path that come with the installation, not with the
// source: the radio's boot program and the unscrambling key of scrambled firmware files. Each
// is read from a file whose path the configuration file (or the command line) names, and is
// refused unless it has exactly its length.

#include "service/BootProtocol.h"
#include "service/U_Decrypt.h"

#include <string>
#include <vector>

namespace mv53::fw {

// Configuration file section and keys naming the two files.
inline constexpr const char* kSupplySection = "FIRMWARE";
inline constexpr const char* kBootProgramKey = "BootProgram";
inline constexpr const char* kUnscrambleKeyKey = "UnscrambleKey";

// False with the reason (naming the file and what is wrong) in error.
bool LoadBootProgram(const std::string& path, std::vector<Byte>& program, std::string& error);
bool LoadUnscrambleKey(const std::string& path, TKey& key, std::string& error);

}  // namespace mv53::fw
