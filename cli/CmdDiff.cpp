// mv53 diff: what differs between two data files, one line for each difference.

#include "CliCommand.h"

#include "model/ImageDiff.h"
#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_FileAccess.h"

#include <exception>
#include <iostream>

namespace mv53::cli {

namespace {

constexpr int kEqual = 0;
constexpr int kDifferent = 1;
constexpr int kFailed = 2;
constexpr const char* kNotADataFile = ": not a data file: ";

int RunDiff(const Args& args);

const CliCommand kDiff{"diff", "diff OLD NEW",
                       "the differences from data file OLD to NEW, one line each: the settings, then the channels "
                       "(exit status 0 equal, 1 different, 2 failure)",
                       RunDiff};

// Reads a data file; a file that does not look like one is refused with the reason.
bool ReadImage(const std::string& file, TText& image)
{
    TMVmem records;
    return ReadDataFile(file, records, image, [&](const std::string& deviation) {
        std::cerr << "mv53 " << kDiff.name << ": " << file << kNotADataFile << deviation << "\n";
        return false;
    });
}

int RunDiff(const Args& args)
{
    std::vector<std::string> files;
    const std::string problem = ReadArgs(args, {}, files, 2);
    if (!problem.empty() || files.size() < 2) {
        UsageError(kDiff, problem.empty() ? Missing(files.empty() ? "OLD" : "NEW") : problem);
        return kFailed;
    }
    try {
        TText oldImage;
        TText newImage;
        if (!ReadImage(files[0], oldImage) || !ReadImage(files[1], newImage))
            return kFailed;
        const std::vector<TImageDifference> differences = CompareImages(oldImage, newImage);
        for (const TImageDifference& d : differences)
            std::cout << DifferenceLine(d) << "\n";
        std::cout.flush();
        return differences.empty() ? kEqual : kDifferent;
    } catch (const std::exception& e) {
        std::cerr << "mv53 " << kDiff.name << ": " << e.what() << "\n";
        return kFailed;
    }
}

}  // namespace

MV53_CLI_COMMAND(kDiff);

}  // namespace mv53::cli
