// mv53 serial-write: the Serial Writer window's "S/N Write" for the production line. One radio
// after another gets the next serial number (read the radio, write its factory area with the
// number, read it back); between radios the operator connects the next one and presses Enter.
// Each radio gives one line on standard output: "written X read Y" once its factory area took
// the number, else "failed X: why".

#include "CliCommand.h"
#include "PortOption.h"

#include "document/RadioBackups.h"
#include "link/CloneProtocol.h"
#include "model/Prompt.h"
#include "service/SerialWriteChain.h"
#include "state/TransferKind.h"
#include "state/U_Global.h"

#include <iostream>
#include <map>
#include <string>

namespace mv53::cli {

namespace {

const CliCommand kSerialWrite{
    "serial-write",
    "serial-write --port DEVICE|COMn [--config INI] --year YYYY --month MM --lot LL --number NNNN [--count N]\n"
    "             [--trace TRACE]",
    "writes consecutive serial numbers into radios, one after another (Enter between radios), with a line "
    "\"written X read Y\" or \"failed X: reason\" for each; year 1000-9999, month 1-12, lot 0-99, number 0-9999",
    nullptr};

// The read-back's connection was answered, its serial number request was not.
constexpr const char* kNoSerialReply = "the radio did not answer the serial number request.";

struct SerialArgs {
    std::string port;
    std::string config;
    std::string trace;
    serialw::TSerialFields fields;
    std::string count = "1";
};

// A field as typed on the command line: digits only, at most `digits` of them, within min..max.
// A typo is refused rather than normalised as the window normalises typing, since it would go
// into real radios. Returns the problem, or an empty text.
std::string CheckField(const char* option, const std::string& text, std::size_t digits, int min, int max)
{
    const bool allDigits = !text.empty() && text.size() <= digits && text.find_first_not_of("0123456789") == std::string::npos;
    const int value = allDigits ? std::stoi(text) : -1;
    if (value < min || value > max)
        return std::string(option) + " must be " + std::to_string(min) + " to " + std::to_string(max) + " (not \"" +
               text + "\")";
    return {};
}

std::string ParseSerialArgs(const Args& args, SerialArgs& out)
{
    serialw::TSerialFields& f = out.fields;
    std::vector<std::string> none;
    std::string problem = ReadArgs(args,
                                   {{"--port", &out.port},
                                    {"--config", &out.config},
                                    {"--year", &f.Year},
                                    {"--month", &f.Month},
                                    {"--lot", &f.Lot},
                                    {"--number", &f.Number},
                                    {"--count", &out.count},
                                    {kTraceOption, &out.trace}},
                                   none, 0);
    for (const auto& [option, text] : {std::pair{"--port", &out.port}, std::pair{"--year", &f.Year},
                                       std::pair{"--month", &f.Month}, std::pair{"--lot", &f.Lot},
                                       std::pair{"--number", &f.Number}})
        if (problem.empty() && text->empty())
            problem = Missing(option);
    return problem;
}

// The fields' ranges; the texts are then shown with their leading zeros.
std::string CheckFields(SerialArgs& a)
{
    serialw::TSerialFields& f = a.fields;
    for (const std::string& problem :
         {CheckField("--year", f.Year, 4, 1000, 9999), CheckField("--month", f.Month, 2, 1, 12),
          CheckField("--lot", f.Lot, 2, 0, 99), CheckField("--number", f.Number, 4, 0, 9999),
          CheckField("--count", a.count, 9, 1, 999999999)})
        if (!problem.empty())
            return problem;
    f = serialw::Normalized(f);
    return {};
}

// Why a transfer failed: the detail it gave, else its message.
std::string FailureText(TTransferKind kind, const TTransferResult& result)
{
    if (!result.detail.empty())
        return result.detail;
    return kind == TTransferKind::Upload ? kUploadError : kDownloadError;
}

int RunSerialWrite(const Args& args)
{
    SerialArgs a;
    if (const std::string problem = ParseSerialArgs(args, a); !problem.empty())
        return UsageError(kSerialWrite, problem);
    if (const std::string problem = CheckFields(a); !problem.empty()) {
        std::cerr << problem << "\n";
        return 1;
    }
    if (!StartTraceOption(a.trace))
        return 1;
    TProgramState state;
    // The serial writer's mode: the factory area carries the number of the records.
    state.ServiceMode = true;
    state.SerialMode = true;
    const std::string device = ResolvePortOption(a.port, a.config, state);

    std::map<TTransferKind, std::string> failures;   // by transfer kind, for the radio in hand
    const auto run = [&](const TTransferRequest& request, std::string* serial) {
        TCloneTransfer transfer(state);
        if (!device.empty())
            transfer.SetDevicePath(device);
        const bool ok = transfer.Run(request);
        if (serial != nullptr)
            *serial = ok ? transfer.Result().readSerialNo : std::string();
        if (!ok)
            failures[request.Kind] = FailureText(request.Kind, transfer.Result());
        return ok;
    };
    // Each radio's memory is kept as a backup before its factory area is written.
    const auto backups = CommandBackups(true);
    serialw::TSerialWriteSteps steps;
    steps.Upload = [&] {
        const TTransferRequest upload{.InChain = true, .Backup = TBackupReason::SerialWriter};
        return backups->Run(state, upload, [&](const TTransferRequest& request) { return run(request, nullptr); });
    };
    steps.Download = run;

    serialw::TSerialFields fields = a.fields;
    const int count = std::stoi(a.count);
    for (int radio = 0; radio < count; ++radio) {
        if (radio > 0) {
            std::cerr << "Connect the next radio and press Enter.\n";
            std::string line;
            if (!std::getline(std::cin, line))
                return 0;
        }
        failures.clear();
        const auto failureOf = [&](TTransferKind kind) { return failures[kind]; };
        const std::string number = serialw::NextSerialNumber(fields);
        const serialw::TSerialWriteResult result = serialw::WriteSerialNumber(state, fields, steps);
        std::string failure;
        if (!result.Uploaded)
            failure = "the radio was not read, the number was not used: " + failureOf(TTransferKind::Upload);
        else if (!result.Written)
            failure = "the factory area was not written: " + failureOf(TTransferKind::Factory);
        else if (!result.ReadBack)
            failure = "the factory area was written, but the radio did not give its number back: " +
                      (failureOf(TTransferKind::ReadSerial).empty() ? std::string(kNoSerialReply)
                                                                    : failureOf(TTransferKind::ReadSerial));
        if (!failure.empty()) {
            std::cout << "failed " << number << ": " << failure << std::endl;
            return 1;
        }
        std::cout << "written " << result.WrittenNo << " read " << result.ReadNo << std::endl;
        if (result.ReadNo != result.WrittenNo) {
            std::cerr << "The radio reports serial number \"" << result.ReadNo << "\" instead of \""
                      << result.WrittenNo << "\".\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace

MV53_CLI_COMMAND("serial-write", kSerialWrite.usage, kSerialWrite.summary, &RunSerialWrite);

}  // namespace mv53::cli
