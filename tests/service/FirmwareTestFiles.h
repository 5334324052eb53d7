#pragma once
// Firmware test files: S-record lines written independently of the reader, in a scratch folder.

#include "ScratchDir.h"

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace mv53::test {

// An S-record line: type, address (2, 3 or 4 bytes by type), data, checksum.
inline std::string Record(int type, std::uint32_t address, const std::vector<std::uint8_t>& data)
{
    const int addressBytes = (type == 2 || type == 6 || type == 8) ? 3 : (type == 3 || type == 7) ? 4 : 2;
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(addressBytes + data.size() + 1)};
    for (int i = addressBytes - 1; i >= 0; --i)
        bytes.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.push_back(static_cast<std::uint8_t>(~std::accumulate(bytes.begin(), bytes.end(), 0u)));
    std::string line = "S" + std::to_string(type);
    for (std::uint8_t b : bytes)
        line += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    return line;
}

inline std::vector<std::uint8_t> Counting(std::size_t n, std::uint8_t from = 0)
{
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), from);
    return v;
}

}  // namespace mv53::test
