// What the commands say about a data file: a file that does not look like one, and channel
// frequencies the radio cannot use.

#include "CliCommand.h"

#include "model/FreqRange.h"
#include "model/MVmem.h"
#include "model/U_FileAccess.h"

#include <iostream>

namespace mv53::cli {

namespace {
constexpr const char* kNotADataFile = " does not look like a KT-4680 data file: ";
}  // namespace

void WarnOutOfRangeFrequencies(const TMVmem& records)
{
    const TFactoryOpt& factory = records.FactoryOpt();
    for (const auto& entry : FrequenciesOutOfRange(records.Channels(), factory))
        std::cerr << "warning: " << OutOfRangeText(entry, factory) << "\n";
}

bool ReadCommandDataFile(const std::string& file, TMVmem& records, TText& image, bool refuseUnusual,
                         const std::string& refusal)
{
    return ReadDataFile(file, records, image, [&](const std::string& deviation) {
        if (refuseUnusual) {
            std::cerr << file << kNotADataFile << deviation << ".\n" << refusal << "\n";
            return false;
        }
        std::cerr << "warning: " << file << kNotADataFile << deviation << "\n";
        return true;
    });
}

}  // namespace mv53::cli
