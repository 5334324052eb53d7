#pragma once
// Unscrambling of scrambled firmware files: each character is the plain character plus the
// key byte at the running key position (modulo 256). The position runs on from line to line
// and starts at 0 whenever a file is read anew.

#include <array>
#include <cstdint>
#include <string>

namespace mv53::fw {

using Byte = std::uint8_t;

inline constexpr std::size_t kKeySize = 43;
using TKey = std::array<Byte, kKeySize>;

class TDecrypt {
public:
    explicit TDecrypt(const TKey& key) : m_key(key) {}

    // Back to key position 0 (a new reading of the file).
    void Reset() { m_position = 0; }
    // One line: a line beginning with "VS" becomes "S0" followed by its unscrambled rest;
    // any other line is unscrambled whole.
    std::string Line(const std::string& scrambled);

    std::size_t Position() const { return m_position; }

private:
    char Next(char c);

    TKey m_key;
    std::size_t m_position = 0;
};

}  // namespace mv53::fw
