// The channel list as CSV: csv-export (data file to CSV) and csv-import (CSV into a data file,
// whose settings are kept).

#include "CliCommand.h"

#include "model/ChannelCsv.h"
#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace mv53::cli {

namespace {

int RunCsvExport(const Args& args);
int RunCsvImport(const Args& args);

const CliCommand kCsvExport{"csv-export", "csv-export FILE [-o OUT.csv]",
                            "writes the channels in use of a data file as CSV (standard output without -o)",
                            &RunCsvExport};
const CliCommand kCsvImport{"csv-import", "csv-import IN.csv FILE",
                            "replaces the channel list of a data file by the CSV's channels, keeping its settings "
                            "(a new document's when FILE does not exist)",
                            &RunCsvImport};

int RunCsvExport(const Args& args)
{
    std::string outPath;
    std::vector<std::string> files;
    std::string problem = ReadArgs(args, {{"-o", &outPath}}, files, 1);
    if (problem.empty() && files.empty())
        problem = Missing("FILE");
    if (!problem.empty())
        return UsageError(kCsvExport, problem);
    TMVmem mem;
    TText image;
    if (!ReadCommandDataFile(files.front(), mem, image, false))
        return 1;
    return WriteOutput(outPath, ChannelsToCsv(mem.Channels()), kCannotWriteCsv);
}

int RunCsvImport(const Args& args)
{
    std::vector<std::string> files;
    std::string problem = ReadArgs(args, {}, files, 2);
    if (problem.empty() && files.size() < 2)
        problem = Missing(files.empty() ? "IN.csv" : "FILE");
    if (!problem.empty())
        return UsageError(kCsvImport, problem);
    const std::string& csvPath = files[0];
    const std::string& file = files[1];
    const std::string notWritten = file + kNotWritten;

    std::string text;
    std::string reason;
    if (!ReadTextFile(csvPath, text, reason)) {
        std::cerr << kCannotReadCsv << csvPath << "\n" << reason << "\n" << notWritten << "\n";
        return 1;
    }
    TMVmem mem;
    TText image;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        if (!ReadCommandDataFile(file, mem, image, true, notWritten))
            return 1;
        TakeUndecodedFields(image, mem);
    } else {
        ClearRecords(mem);
    }
    std::string error;
    if (!ChannelsFromCsv(text, mem.FactoryOpt(), mem.Channels(), error)) {
        std::cerr << csvPath << ": " << error << "\n" << notWritten << "\n";
        return 1;
    }
    return WriteDataFile(file, mem, image) ? 0 : 1;
}

}  // namespace

MV53_CLI_COMMAND(kCsvExport);
MV53_CLI_COMMAND(kCsvImport);

}  // namespace mv53::cli
