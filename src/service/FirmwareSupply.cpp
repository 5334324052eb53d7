#include "service/FirmwareSupply.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace mv53::fw {

namespace {

bool LoadExact(const std::string& path, std::size_t size, const char* what, std::vector<Byte>& bytes,
               std::string& error)
{
    if (path.empty()) {
        error = std::string("No ") + what + " file is set.";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string("The ") + what + " file " + path + " cannot be read.";
        return false;
    }
    // One byte more than needed tells a longer file from an exact one.
    std::vector<char> read(size + 1);
    in.read(read.data(), static_cast<std::streamsize>(read.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad() || got != size) {
        error = std::string("The ") + what + " file " + path + " holds " + (got > size ? "more than " : "") +
                std::to_string(got > size ? size : got) + " bytes; it must hold exactly " + std::to_string(size) + ".";
        return false;
    }
    bytes.assign(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(size));
    return true;
}

}  // namespace

bool LoadBootProgram(const std::string& path, std::vector<Byte>& program, std::string& error)
{
    return LoadExact(path, kBootProgramSize, "boot program", program, error);
}

bool LoadUnscrambleKey(const std::string& path, TKey& key, std::string& error)
{
    std::vector<Byte> bytes;
    if (!LoadExact(path, kKeySize, "unscrambling key", bytes, error))
        return false;
    std::copy(bytes.begin(), bytes.end(), key.begin());
    return true;
}

}  // namespace mv53::fw
