// mv53: the MV53 core without windows, for scripts, the production line and CI.

#include "CliCommand.h"
#include "StderrPrompt.h"

#include <QCoreApplication>

#include <exception>

#include <cstdio>
#include <cstring>
#include <iostream>

namespace mv53::cli {

namespace {
std::vector<CliCommand>& registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

void printHelp(std::ostream& out)
{
    out << "usage: mv53 <command> [arguments]\n\ncommands:\n";
    for (const auto& c : Commands())
        out << "  mv53 " << c.usage << "\n      " << c.summary << "\n";
    out << "\nExit status 0 on success, 1 on failure (the message on standard error).\n";
}
}  // namespace

bool RegisterCommand(const CliCommand& command)
{
    registry().push_back(command);
    return true;
}

const std::vector<CliCommand>& Commands() { return registry(); }

int UsageError(const CliCommand& command)
{
    std::cerr << "usage: mv53 " << command.usage << "\n";
    return 1;
}

PromptAnswer StderrPrompt::Message(const std::string& text, PromptIcon, PromptButtons buttons,
                                   const std::string& detail)
{
    std::cerr << text << "\n";
    if (!detail.empty())
        std::cerr << detail << "\n";
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    case PromptButtons::YesNoCancel: return PromptAnswer::Cancel;
    }
    return PromptAnswer::Cancel;
}

}  // namespace mv53::cli

int main(int argc, char** argv)
{
    using namespace mv53::cli;
    QCoreApplication app(argc, argv);
    StderrPrompt prompt;
    mv53::ScopedPrompt scoped(prompt);

    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        printHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    for (const auto& c : Commands()) {
        if (std::strcmp(argv[1], c.name) == 0) {
            Args args(argv + 2, argv + argc);
            // Whatever the input, the command ends with a status and a message, never an abort.
            try {
                return c.run(args);
            } catch (const std::exception& e) {
                std::cerr << "mv53 " << c.name << ": " << e.what() << "\n";
            } catch (...) {
                std::cerr << "mv53 " << c.name << ": unexpected failure\n";
            }
            return 1;
        }
    }
    std::cerr << "mv53: unknown command '" << argv[1] << "'\n";
    printHelp(std::cerr);
    return 1;
}
