// mv53 firmware-info: what a firmware file holds for a processor type (header lines, scrambled
// or not, write areas, progress maximum, PC checksum), in the lines scripts and the service
// bench read. A file that could not be written whole is refused with its line named.

#include "CliCommand.h"

#include "service/FirmwareSupply.h"
#include "service/U_FileAccessFSW.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace mv53::cli {

namespace {

using namespace mv53::fw;

struct FirmwareArgs {
    std::string file;
    std::string cpu;
    std::string key;
    std::string boot;
    std::string port;
};

// Options: --cpu, --key, --boot, --port (each "--x V" or "--x=V"); one file.
bool ParseFirmwareArgs(const Args& args, FirmwareArgs& out, bool withPortAndBoot)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool taken = false;
        for (auto [name, field] : {std::pair{"--cpu", &out.cpu}, std::pair{"--key", &out.key},
                                   std::pair{"--boot", &out.boot}, std::pair{"--port", &out.port}}) {
            const std::string option = name;
            if (!withPortAndBoot && (option == "--boot" || option == "--port"))
                continue;
            if (a == option && i + 1 < args.size()) {
                *field = args[++i];
                taken = true;
            } else if (a.rfind(option + "=", 0) == 0) {
                *field = a.substr(option.size() + 1);
                taken = true;
            }
            if (taken)
                break;
        }
        if (taken)
            continue;
        if (!a.empty() && a[0] == '-')
            return false;
        if (!out.file.empty())
            return false;
        out.file = a;
    }
    return !out.file.empty() && CpuFromName(out.cpu).has_value() &&
           (!withPortAndBoot || (!out.port.empty() && !out.boot.empty()));
}

// The CR LF of the system's texts as line breaks.
std::string Lines(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

const CliCommand kFirmwareInfo{
    "firmware-info", "firmware-info FILE --cpu HD64F2134ATF20|HD64F2134FA20 [--key KEYFILE]",
    "shows a firmware file's header lines, write areas, progress maximum and PC checksum", nullptr};

int RunFirmwareInfo(const Args& args)
{
    FirmwareArgs a;
    if (!ParseFirmwareArgs(args, a, false))
        return UsageError(kFirmwareInfo);
    const TCpuType cpu = *CpuFromName(a.cpu);
    TKey key{};
    std::string error;
    if (!a.key.empty() && !LoadUnscrambleKey(a.key, key, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    const std::string name = std::filesystem::path(a.file).filename().string();
    const THeaderScan scan = ScanHeader(a.file, name);
    if (!scan.ok) {
        std::cerr << kFileRefused << "\n" << a.file << ": "
                  << (name.rfind(kFirmwareNamePrefix, 0) != 0
                          ? std::string("the file name does not begin with ") + kFirmwareNamePrefix
                          : std::string("no record header line (S0 or VS) was found"))
                  << "\n";
        return 1;
    }
    TFirmwareImage image;
    TReadError readError;
    if (!ReadFirmwareFile(a.file, cpu, a.key.empty() ? nullptr : &key, image, readError)) {
        std::cerr << kFileRefused << "\n" << a.file << ": " << readError.Text() << "\n";
        return 1;
    }
    for (const std::string& line : scan.lines)
        std::cout << "header: " << line << "\n";
    std::cout << "scrambled: " << (image.scrambled ? "yes" : "no") << "\n";
    for (std::size_t i = 0; i < image.areas.size(); ++i) {
        const TWriteArea& area = image.areas[i];
        if (!area.used) {
            std::cout << "area " << i << ": none\n";
            continue;
        }
        char start[16];
        std::snprintf(start, sizeof start, "0x%05X", static_cast<unsigned>(area.start));
        std::cout << "area " << i << ": start " << start << " length " << area.length << "\n";
    }
    std::cout << "progress max: " << image.progressMax << "\n";
    std::cout << Lines(PcChecksumText(image.Sum())) << "\n";
    return 0;
}

}  // namespace

MV53_CLI_COMMAND("firmware-info", kFirmwareInfo.usage, kFirmwareInfo.summary, &RunFirmwareInfo);

}  // namespace mv53::cli
