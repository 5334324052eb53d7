#pragma once
// The radiosim program's options for the boot mode, kept apart from the clone options.

#include "BootEngine.h"

#include <string>

namespace mv53::radiosim {

struct BootSettings {
    bool on = false;
    BootBehaviour behaviour;
    BootFaults faults;
    std::string saveFlash;        // write the flash to this file at exit
};

extern const char* const kBootUsage;

// Takes the option at argv[i] (and its value, advancing i) when it is a boot option.
// Returns false when argv[i] is not one; sets error when its value is wrong.
bool TakeBootOption(int argc, char** argv, int& i, BootSettings& settings, std::string& error);

}  // namespace mv53::radiosim
