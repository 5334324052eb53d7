#pragma once
// Firmware test files: S-record lines written independently of the reader, and a scratch folder.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
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
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    bytes.push_back(static_cast<std::uint8_t>(~sum));
    std::string line = "S" + std::to_string(type);
    char hex[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        line += hex;
    }
    return line;
}

inline std::vector<std::uint8_t> Counting(std::size_t n, std::uint8_t from = 0)
{
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(from + i);
    return v;
}

// A fresh folder under the temporary folder, removed with everything in it.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const std::string& prefix)
        : path(std::filesystem::temp_directory_path() / (prefix + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string Put(const std::string& name, const std::string& text) const
    {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
};

}  // namespace mv53::test
