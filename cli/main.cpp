// mv53: the MV53 core without windows, for scripts, the production line and CI.

#include "CliCommand.h"
#include "PortOption.h"
#include "StderrPrompt.h"

#include "link/TraceRecording.h"
#include "model/U_FileAccess.h"
#include "platform/FileOwner.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <exception>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <set>
#include <string>

namespace mv53::cli {

namespace {
std::vector<CliCommand>& registry()
{
    static std::vector<CliCommand> commands;
    return commands;
}

std::set<std::string>& guiCommands()
{
    static std::set<std::string> names;
    return names;
}

void printHelp(std::ostream& out)
{
    out << "usage: mv53 <command> [arguments]\n\ncommands:\n";
    for (const auto& c : Commands())
        out << "  mv53 " << c.usage << "\n      " << c.summary << "\n";
    out << "\nExit status 0 on success, 1 on failure (the message on standard error);\n"
           "mv53 diff: 0 equal, 1 different, 2 failure.\n";
}
}  // namespace

bool RegisterCommand(const CliCommand& command)
{
    registry().push_back(command);
    return true;
}

const std::vector<CliCommand>& Commands() { return registry(); }

bool RegisterGuiCommand(const char* name)
{
    guiCommands().insert(name);
    return true;
}

bool IsGuiCommand(const char* name) { return guiCommands().count(name) != 0; }

int UsageError(const CliCommand& command, const std::string& problem)
{
    std::cerr << "mv53 " << command.name << ": " << problem << "\nusage: mv53 " << command.usage << "\n";
    return 1;
}

std::string ReadArgs(const Args& args, const std::vector<Option>& options, std::vector<std::string>& positional,
                     std::size_t maxPositional)
{
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || a[0] != '-') {
            if (positional.size() >= maxPositional)
                return "unexpected argument " + a;
            positional.push_back(a);
            continue;
        }
        const std::string name = a.substr(0, a.find('='));
        const auto option = std::find_if(options.begin(), options.end(), [&](const Option& o) { return name == o.name; });
        if (option == options.end())
            return "unknown option " + a;
        if (!seen.insert(name).second)
            return name + " given twice";
        const bool valueInline = name.size() < a.size();
        if (option->value == nullptr) {
            if (valueInline)
                return name + " takes no value";
        } else if (valueInline) {
            *option->value = a.substr(name.size() + 1);
        } else if (i + 1 < args.size()) {
            *option->value = args[++i];
        } else {
            return name + " needs a value";
        }
        if (option->given != nullptr)
            *option->given = true;
    }
    return {};
}

std::string Missing(const std::string& what) { return "missing " + what; }

PromptAnswer StderrPrompt::Message(const std::string& text, PromptIcon, PromptButtons buttons,
                                   const std::string& detail)
{
    std::cerr << text << "\n";
    if (!detail.empty())
        std::cerr << detail << "\n";
    return SafeAnswer(buttons);
}

}  // namespace mv53::cli

int main(int argc, char** argv)
{
    using namespace mv53::cli;
    std::unique_ptr<QCoreApplication> app;
    if (argc >= 2 && IsGuiCommand(argv[1])) {
        // No display is needed: draw on the offscreen platform unless the caller chose one.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's note about a missing runtime folder is no message of ours.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.startsWith(QLatin1String("QStandardPaths:")))
                std::cerr << qPrintable(qFormatLogMessage(type, context, text)) << "\n";
        });
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    StderrPrompt prompt;
    mv53::ScopedPrompt scoped(prompt);
    mv53::SetOwnerAndModeStep(&mv53::platform::TakeOwnerAndMode);

    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        printHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    for (const auto& c : Commands()) {
        if (std::strcmp(argv[1], c.name) == 0) {
            Args args(argv + 2, argv + argc);
            // MV53_TRACE records the whole run; a command's --trace takes over from it.
            if (const std::string error = mv53::StartSerialTraceFromEnvironment(); !error.empty()) {
                std::cerr << "mv53 " << c.name << ": " << error << "\n";
                return 1;
            }
            int status = 1;
            // Whatever the input, the command ends with a status and a message, never an abort.
            try {
                status = c.run(args);
            } catch (const std::exception& e) {
                std::cerr << "mv53 " << c.name << ": " << e.what() << "\n";
            } catch (...) {
                std::cerr << "mv53 " << c.name << ": unexpected failure\n";
            }
            return FinishTrace(c.name, status);
        }
    }
    std::cerr << "mv53: unknown command '" << argv[1] << "'\n";
    printHelp(std::cerr);
    return 1;
}
