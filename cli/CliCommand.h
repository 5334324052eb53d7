#pragma once
// The commands of the mv53 tool. Each command lives in a source file of its own and
// registers itself with MV53_CLI_COMMAND; main() dispatches on the first argument.

#include <string>
#include <vector>

class TMVmem;

namespace mv53::cli {

using Args = std::vector<std::string>;   // the arguments after the command name

struct CliCommand {
    const char* name;
    const char* usage;                   // one line: "new FILE"
    const char* summary;                 // one line of what it does
    int (*run)(const Args& args);        // exit status: 0 success, 1 failure
};

bool RegisterCommand(const CliCommand& command);
const std::vector<CliCommand>& Commands();
// Commands that draw (fonts, PDF) run with a GUI application on the offscreen platform.
bool RegisterGuiCommand(const char* name);
bool IsGuiCommand(const char* name);

// Prints "usage: mv53 <usage>" to standard error and returns 1.
int UsageError(const CliCommand& command);

// One "warning:" line on standard error for each used channel frequency outside the radio's
// range (files may hold them; the radio would get them as they are).
void WarnOutOfRangeFrequencies(const TMVmem& records);

}  // namespace mv53::cli

#define MV53_CLI_CONCAT2(a, b) a##b
#define MV53_CLI_CONCAT(a, b) MV53_CLI_CONCAT2(a, b)
#define MV53_CLI_COMMAND(...) \
    static const bool MV53_CLI_CONCAT(mv53_cli_registered_, __LINE__) = ::mv53::cli::RegisterCommand({__VA_ARGS__})
#define MV53_CLI_GUI_COMMAND(name) \
    static const bool MV53_CLI_CONCAT(mv53_cli_gui_, __LINE__) = ::mv53::cli::RegisterGuiCommand(name)
