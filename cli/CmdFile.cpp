// The data file commands: new, export (data file to JSON) and import (JSON to data file).

#include "CliCommand.h"
#include "RecordsJson.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <iostream>

namespace mv53::cli {

namespace {

constexpr const char* kCannotReadJson = "Cannot read the JSON file ";
constexpr const char* kNotJson = ": not valid JSON: ";
constexpr const char* kCannotWriteJson = "Cannot write the JSON file ";

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

    return WriteOutput(toFile ? outPath : std::string(), text, kCannotWriteJson);
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
