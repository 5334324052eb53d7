// mv53 backups: the backups of the radios, one a line for scripts; and the backups of the
// commands that read or write a radio.

#include "CliCommand.h"

#include "document/RadioBackups.h"
#include "platform/DataFolder.h"

#include <iostream>

namespace mv53::cli {

std::unique_ptr<TRadioBackups> CommandBackups(bool beforeWrite)
{
    auto backups = std::make_unique<TRadioBackups>(platform::DataFolder());
    backups->SetBeforeWrite(beforeWrite);
    backups->SetStoredHook([](const std::string& path) { std::cerr << "backup: " << path << std::endl; });
    return backups;
}

namespace {

int RunBackups(const Args& args);

const CliCommand kBackups{"backups", "backups [--serial S]",
                          "lists the backups of the radios, newest first: SERIAL TIME REASON PATH", RunBackups};

int RunBackups(const Args& args)
{
    std::string serial;
    std::vector<std::string> none;
    if (const std::string problem = ReadArgs(args, {{"--serial", &serial}}, none, 0); !problem.empty())
        return UsageError(kBackups, problem);
    const TBackupStore store(platform::DataFolder());
    for (const TBackupEntry& e : store.List(serial.empty() ? std::string() : TBackupStore::SerialFolder(serial)))
        std::cout << e.Serial << ' ' << e.Time << ' ' << e.Reason << ' ' << e.Path << '\n';
    return 0;
}

}  // namespace

MV53_CLI_COMMAND(kBackups);

}  // namespace mv53::cli
