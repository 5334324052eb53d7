#include "CliCommand.h"

#include "model/FreqRange.h"
#include "model/MVmem.h"

#include <iostream>

namespace mv53::cli {

void WarnOutOfRangeFrequencies(const TMVmem& records)
{
    const TFactoryOpt& factory = records.FactoryOpt();
    for (const auto& entry : FrequenciesOutOfRange(records.Channels(), factory))
        std::cerr << "warning: " << OutOfRangeText(entry, factory) << "\n";
}

}  // namespace mv53::cli
