#pragma once
// The commands of the mv53 tool. Each command lives in a source file of its own and
// registers itself with MV53_CLI_COMMAND; main() dispatches on the first argument.

#include <memory>
#include <string>
#include <vector>

class TMVmem;
class TText;

namespace mv53 {
class TRadioBackups;
}

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

// Prints "mv53 <name>: <problem>" and then "usage: mv53 <usage>" to standard error and returns
// 1. The problem names the argument that was not understood ("unknown option --bogus").
int UsageError(const CliCommand& command, const std::string& problem);

// An option of a command: "--name VALUE" or "--name=VALUE"; a flag "--name" when value is null.
// given is set when it appears (a second time is refused).
struct Option {
    const char* name;
    std::string* value = nullptr;
    bool* given = nullptr;
};
// Takes the options and, in order, the arguments that do not begin with "-" (at most
// maxPositional of them). Returns the problem with the first argument not understood
// ("unknown option --bogus", "--port needs a value", "unexpected argument x"), or an empty text.
std::string ReadArgs(const Args& args, const std::vector<Option>& options, std::vector<std::string>& positional,
                     std::size_t maxPositional);
// "missing " + what.
std::string Missing(const std::string& what);

// One "warning:" line on standard error for each used channel frequency outside the radio's
// range (files may hold them; the radio would get them as they are).
void WarnOutOfRangeFrequencies(const TMVmem& records);

// ReadDataFile for a command. A file that does not look like a data file is read with a
// "warning:" line on standard error, or, when refuseUnusual, refused with the reason and the
// hint to --force.
// refusal follows the reason when the file is refused.
inline constexpr const char* kNothingSent = "Nothing was sent; --force downloads it all the same.";
bool ReadCommandDataFile(const std::string& file, TMVmem& records, TText& image, bool refuseUnusual,
                         const std::string& refusal = kNothingSent);

// " was not written." after the name of a file that a command did not write.
inline constexpr const char* kNotWritten = " was not written.";

// Two record fields are written into the image but not read back by DecodeImage: the LCD test
// flag and the selcall flag. Taken from the bytes of the image (a flag other than 0 or 1 becomes
// 0), so that records written back keep them.
void TakeUndecodedFields(const TText& image, TMVmem& mem);

// Reads a whole text file; on failure reason says why, in the system's words.
bool ReadTextFile(const std::string& path, std::string& text, std::string& reason);
// text to standard output (path empty) or into the file path. A file that cannot be written is
// named after cannotWrite on standard error, with the system's reason. The exit status.
int WriteOutput(const std::string& path, const std::string& text, const char* cannotWrite);

// The backups of a command in the data folder; each one written is named on standard error as
// "backup: PATH". beforeWrite: a write is preceded by a backup read.
std::unique_ptr<TRadioBackups> CommandBackups(bool beforeWrite);

}  // namespace mv53::cli

#define MV53_CLI_CONCAT2(a, b) a##b
#define MV53_CLI_CONCAT(a, b) MV53_CLI_CONCAT2(a, b)
#define MV53_CLI_COMMAND(...) \
    static const bool MV53_CLI_CONCAT(mv53_cli_registered_, __LINE__) = ::mv53::cli::RegisterCommand({__VA_ARGS__})
#define MV53_CLI_GUI_COMMAND(name) \
    static const bool MV53_CLI_CONCAT(mv53_cli_gui_, __LINE__) = ::mv53::cli::RegisterGuiCommand(name)
