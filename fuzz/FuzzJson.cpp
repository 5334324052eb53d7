// libFuzzer target: any bytes as the JSON import. Refused input names its field; accepted
// input exports and imports again to the same records.

#include "RecordsJson.h"
#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto json = mv53::cli::Json::parse(data, data + size, nullptr, false);
    if (json.is_discarded())
        return 0;
    // The import starts from a new document, as `mv53 import` does.
    static const auto cleared = [] {
        auto fresh = std::make_unique<TMVmem>();
        ClearRecords(*fresh);
        return fresh;
    }();
    auto mem = std::make_unique<TMVmem>(*cleared);
    std::vector<std::string> errors;
    if (!mv53::cli::RecordsFromJson(json, *mem, errors)) {
        if (errors.empty() || errors.front().empty())
            std::abort();
        return 0;
    }
    const mv53::cli::Json exported = mv53::cli::RecordsToJson(*mem);
    auto back = std::make_unique<TMVmem>(*cleared);
    errors.clear();
    if (!mv53::cli::RecordsFromJson(exported, *back, errors) ||
        mv53::cli::RecordsToJson(*back) != exported)
        std::abort();
    return 0;
}
