// libFuzzer target: any bytes as a firmware file, plain and with a key, for both processor
// types. A file the reader accepts must give areas inside the image, in whole blocks.

#include "service/U_FileAccessFSW.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace mv53::fw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const TKey key = [] {
        TKey k{};
        for (std::size_t i = 0; i < k.size(); ++i)
            k[i] = static_cast<Byte>(i * 5 + 1);
        return k;
    }();

    (void)ScanHeaderText(text);
    for (const TCpuType cpu : {TCpuType::HD64F2134ATF20, TCpuType::HD64F2134FA20}) {
        for (const TKey* k : {static_cast<const TKey*>(nullptr), &key}) {
            TFirmwareImage image;
            TReadError error;
            if (!ReadFirmwareText(text, cpu, k, image, error)) {
                if (error.Text().empty())
                    std::abort();
                continue;
            }
            if (image.bytes.size() != kImageSize || image.progressMax < 0 ||
                image.progressMax >= static_cast<int>(kImageSize / BlockSize(cpu)))
                std::abort();
            for (const TWriteArea& area : image.areas) {
                if (!area.used)
                    continue;
                if (area.length == 0 || area.length % BlockSize(cpu) != 0 || area.start % BlockSize(cpu) != 0 ||
                    area.start + area.length > kImageSize)
                    std::abort();
            }
            (void)image.ExpectedFlashSum();
        }
    }
    return 0;
}
