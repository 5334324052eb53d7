// The files of the commands: text files read whole, output to a file or standard output, and
// the image fields that records take from a data file's bytes.

#include "CliCommand.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace mv53::cli {

namespace {
constexpr int32_t kLcdTestPosition = TAlignment::kLast;
}  // namespace

void TakeUndecodedFields(const TText& image, TMVmem& mem)
{
    const auto flag = [](uint8_t byte) { return byte <= 1 ? static_cast<int32_t>(byte) : 0; };
    mem.Alignment().SetValues(kLcdTestPosition, flag(image[kLcdTestOffset]));
    mem.Sel().SetSelFlag(flag(image[kSelFlagOffset]));
}

bool ReadTextFile(const std::string& path, std::string& text, std::string& reason)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        reason = std::generic_category().message(EISDIR);
        return false;
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        reason = std::generic_category().message(errno != 0 ? errno : ENOENT);
        return false;
    }
    text.clear();
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    const int error = errno;
    std::fclose(f);
    if (failed)
        reason = std::generic_category().message(error != 0 ? error : EIO);
    return !failed;
}

int WriteOutput(const std::string& path, const std::string& text, const char* cannotWrite)
{
    if (path.empty()) {
        std::cout << text << std::flush;
        return std::cout ? 0 : 1;
    }
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out.fail())
        return 0;
    std::error_code ec;
    const int error = std::filesystem::is_directory(path, ec) ? EISDIR : (errno != 0 ? errno : EIO);
    std::cerr << cannotWrite << path << "\n" << std::generic_category().message(error) << "\n";
    return 1;
}

}  // namespace mv53::cli
