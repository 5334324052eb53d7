// The data file commands: new, export (data file to JSON) and import (JSON to data file).

#include "CliCommand.h"
#include "RecordsJson.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace mv53::cli {

namespace {

constexpr const char* kCannotReadJson = "Cannot read the JSON file ";
constexpr const char* kNotJson = ": not valid JSON: ";
constexpr const char* kNotWritten = " was not written.";
constexpr const char* kCannotWriteJson = "Cannot write the JSON file ";

// Two record fields are written into the image but not read back by DecodeImage: the LCD test
// flag (alignment position 51, offset 17882) and the selcall flag (offset 17926). Export takes
// them from the bytes of the file, so that importing the exported JSON writes the same file
// again, repaired as the rest of the records are: a flag other than 0 or 1 becomes 0, so that
// whatever export writes, import takes back.
constexpr int32_t kLcdTestPosition = TAlignment::kLast;

void TakeUndecodedFields(const TText& image, TMVmem& mem)
{
    const auto flag = [](uint8_t byte) { return byte <= 1 ? static_cast<int32_t>(byte) : 0; };
    mem.Alignment().SetValues(kLcdTestPosition, flag(image[kLcdTestOffset]));
    mem.Sel().SetSelFlag(flag(image[kSelFlagOffset]));
}

// Reads a whole text file; on failure reason says why, in the system's words.
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

bool WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

// The parser's message without its "[json.exception.parse_error.101] " prefix; it names the
// line and column.
std::string ParseErrorText(const nlohmann::json::parse_error& e)
{
    std::string text = e.what();
    if (const auto end = text.find("] "); text.rfind("[json.exception.", 0) == 0 && end != std::string::npos)
        text.erase(0, end + 2);
    return text;
}

int RunNew(const Args& args);
int RunExport(const Args& args);
int RunImport(const Args& args);

const CliCommand kNew{"new", "new FILE",
                      "writes the data file of a new document (default channels and settings)", &RunNew};
const CliCommand kExport{"export", "export FILE [-o OUT.json]",
                         "writes the channels and settings of a data file as JSON (standard output without -o)",
                         &RunExport};
const CliCommand kImport{"import", "import IN.json FILE",
                         "writes a data file from JSON; keys left out keep the values of a new document",
                         &RunImport};

// Only files, as many as what names: the problem with the arguments, or an empty text.
std::string ReadFiles(const Args& args, std::vector<std::string>& files, const std::vector<const char*>& what)
{
    if (std::string problem = ReadArgs(args, {}, files, what.size()); !problem.empty())
        return problem;
    return files.size() < what.size() ? Missing(what[files.size()]) : std::string();
}

int RunNew(const Args& args)
{
    std::vector<std::string> files;
    if (const std::string problem = ReadFiles(args, files, {"FILE"}); !problem.empty())
        return UsageError(kNew, problem);
    TMVmem mem;
    ClearRecords(mem);
    TText image;
    return WriteDataFile(files[0], mem, image) ? 0 : 1;
}

int RunExport(const Args& args)
{
    std::string outPath;
    bool toFile = false;
    std::vector<std::string> files;
    std::string problem = ReadArgs(args, {{"-o", &outPath, &toFile}}, files, 1);
    if (problem.empty() && files.empty())
        problem = Missing("FILE");
    if (!problem.empty())
        return UsageError(kExport, problem);
    const std::string& file = files.front();

    TMVmem mem;
    TText image;
    if (!ReadCommandDataFile(file, mem, image, false))
        return 1;
    TakeUndecodedFields(image, mem);
    const std::string text = FormatJson(RecordsToJson(mem));

    if (!toFile) {
        std::cout << text << std::flush;
        return std::cout ? 0 : 1;
    }
    errno = 0;
    if (!WriteTextFile(outPath, text)) {
        std::error_code ec;
        const int error = std::filesystem::is_directory(outPath, ec) ? EISDIR : (errno != 0 ? errno : EIO);
        std::cerr << kCannotWriteJson << outPath << "\n" << std::generic_category().message(error) << "\n";
        return 1;
    }
    return 0;
}

int RunImport(const Args& args)
{
    std::vector<std::string> files;
    if (const std::string problem = ReadFiles(args, files, {"IN.json", "FILE"}); !problem.empty())
        return UsageError(kImport, problem);
    const std::string& jsonPath = files[0];
    const std::string& file = files[1];

    std::string text;
    std::string reason;
    if (!ReadTextFile(jsonPath, text, reason)) {
        std::cerr << kCannotReadJson << jsonPath << "\n" << reason << "\n" << file << kNotWritten << "\n";
        return 1;
    }
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& e) {
        std::cerr << jsonPath << kNotJson << ParseErrorText(e) << "\n" << file << kNotWritten << "\n";
        return 1;
    }

    TMVmem mem;
    ClearRecords(mem);
    std::vector<std::string> errors;
    if (!RecordsFromJson(json, mem, errors)) {
        for (const auto& error : errors)
            std::cerr << jsonPath << ": " << error << "\n";
        std::cerr << file << kNotWritten << "\n";
        return 1;
    }
    WarnOutOfRangeFrequencies(mem);
    TText image;
    return WriteDataFile(file, mem, image) ? 0 : 1;
}

}  // namespace

MV53_CLI_COMMAND(kNew);
MV53_CLI_COMMAND(kExport);
MV53_CLI_COMMAND(kImport);

}  // namespace mv53::cli
