// The data file commands: new, export (data file to JSON) and import (JSON to data file).

#include "CliCommand.h"
#include "RecordsJson.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace mv53::cli {

namespace {

constexpr const char* kCannotReadJson = "Cannot read the JSON file ";
constexpr const char* kNotJson = ": not valid JSON: ";
constexpr const char* kNotWritten = " was not written.";
constexpr const char* kCannotWriteJson = "Cannot write the JSON file ";

// Two record fields are written into the image but not read back by DecodeImage: the LCD test
// flag (alignment position 51, offset 17882) and the selcall flag (offset 17926). Export takes
// them from the bytes of the file, so that importing the exported JSON writes the same file again.
constexpr int32_t kLcdTestPosition = TAlignment::kLast;

void TakeUndecodedFields(const TText& image, TMVmem& mem)
{
    mem.Alignment().SetValues(kLcdTestPosition, image[kLcdTestOffset]);
    mem.Sel().SetSelFlag(image[kSelFlagOffset]);
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
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

int RunNew(const Args& args)
{
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        return UsageError(kNew);
    TMVmem mem;
    ClearRecords(mem);
    TText image;
    return WriteDataFile(args[0], mem, image) ? 0 : 1;
}

int RunExport(const Args& args)
{
    std::string file;
    std::string outPath;
    bool toFile = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && !toFile && i + 1 < args.size()) {
            outPath = args[++i];
            toFile = true;
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            return UsageError(kExport);
        }
    }
    if (file.empty())
        return UsageError(kExport);

    TMVmem mem;
    TText image;
    if (!ReadDataFile(file, mem, image))
        return 1;
    TakeUndecodedFields(image, mem);
    const std::string text = FormatJson(RecordsToJson(mem));

    if (!toFile) {
        std::cout << text << std::flush;
        return std::cout ? 0 : 1;
    }
    if (!WriteTextFile(outPath, text)) {
        std::cerr << kCannotWriteJson << outPath << "\n";
        return 1;
    }
    return 0;
}

int RunImport(const Args& args)
{
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' || args[1][0] == '-')
        return UsageError(kImport);
    const std::string& jsonPath = args[0];
    const std::string& file = args[1];

    std::string text;
    if (!ReadTextFile(jsonPath, text)) {
        std::cerr << kCannotReadJson << jsonPath << "\n" << file << kNotWritten << "\n";
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
