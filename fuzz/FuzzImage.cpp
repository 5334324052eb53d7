// Any bytes as a data file: reading never crashes, a short file is refused, and a decoded and
// repaired image is a fixed point of encode, decode and repair.
//
// An input of at least a whole image is taken as the file itself. A shorter input patches the
// image of the default records (bytes 0-1: offset, byte 2 bit 0: cut the file there instead),
// so that small inputs reach every area of the image.

#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t kImage = static_cast<size_t>(mv53::kImageSize);

// Cleared records, made once: each run starts from a copy of them.
const TMVmem& ClearedRecords()
{
    static const auto mem = [] {
        auto cleared = std::make_unique<TMVmem>();
        ClearRecords(*cleared);
        return cleared;
    }();
    return *mem;
}

const std::vector<uint8_t>& DefaultFile()
{
    static const std::vector<uint8_t> bytes = [] {
        auto image = std::make_unique<TText>();
        EncodeImage(*image, ClearedRecords(), false);
        return std::vector<uint8_t>(image->Data(), image->Data() + kImage);
    }();
    return bytes;
}

std::vector<uint8_t> FileFrom(const uint8_t* data, size_t size)
{
    if (size >= kImage)
        return std::vector<uint8_t>(data, data + size);
    std::vector<uint8_t> file = DefaultFile();
    if (size < 3)
        return file;
    const size_t offset = ((static_cast<size_t>(data[0]) << 8) | data[1]) % kImage;
    if (data[2] & 1) {
        file.resize(offset);
        return file;
    }
    for (size_t i = 3; i < size; ++i)
        file[(offset + i - 3) % kImage] = data[i];
    return file;
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_image: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> file = FileFrom(data, size);

    static const std::string path = "/tmp/mv53-fuzz-" + std::to_string(getpid()) + ".m53";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    auto mem = std::make_unique<TMVmem>(ClearedRecords());
    auto image = std::make_unique<TText>();
    const bool read = ReadDataFile(path, *mem, *image);
    std::remove(path.c_str());
    if (read != (file.size() >= kImage))
        Fail("a file was read although short, or refused although whole");
    if (!read)
        return 0;
    if (std::memcmp(image->Data(), file.data(), kImage) != 0)
        Fail("the image differs from the file's first bytes");

    auto encoded = std::make_unique<TText>(*image);
    EncodeImage(*encoded, *mem, true);
    auto second = std::make_unique<TMVmem>(ClearedRecords());
    if (!DecodeImage(*encoded, *second) || !CheckRecords(*second))
        Fail("decode or repair reported failure");
    auto again = std::make_unique<TText>(*encoded);
    EncodeImage(*again, *second, true);
    // The records of the first round may still differ from the second in the ID texts (a
    // byte that reads as a blank is written back as digit 0); from then on nothing moves.
    if (!again->Equals(*encoded))
        Fail("encode(decode(encode(records))) changed the image");
    if (!second->Channels().Equals(mem->Channels()) || !second->FactoryOpt().Equals(mem->FactoryOpt()))
        Fail("repaired channels or factory options changed in a second round");
    return 0;
}
