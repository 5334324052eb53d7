// libFuzzer target: any bytes as a CSV channel import. A refused file names its line and column
// and changes no channel; an accepted one exports and imports again to the same channels.

#include "model/ChannelCsv.h"
#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto cleared = [] {
        auto mem = std::make_unique<TMVmem>();
        ClearRecords(*mem);
        return mem;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto mem = std::make_unique<TMVmem>(*cleared);
    std::string error;
    if (!mv53::ChannelsFromCsv(text, mem->FactoryOpt(), mem->Channels(), error)) {
        if (error.rfind("line ", 0) != 0 || !mem->Channels().Equals(cleared->Channels()))
            std::abort();
        return 0;
    }
    const std::string exported = mv53::ChannelsToCsv(mem->Channels());
    auto back = std::make_unique<TMVmem>(*cleared);
    if (!mv53::ChannelsFromCsv(exported, back->FactoryOpt(), back->Channels(), error) ||
        mv53::ChannelsToCsv(back->Channels()) != exported)
        std::abort();
    return 0;
}
