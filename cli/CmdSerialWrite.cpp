// mv53 serial-write: the Serial Writer window's "S/N Write" for the production line. One radio
// after another gets the next serial number (read the radio, write its factory area with the
// number, read it back); between radios the operator connects the next one and presses Enter.

#include "CliCommand.h"

#include "link/CloneProtocol.h"
#include "model/Prompt.h"
#include "platform/PortMap.h"
#include "service/SerialWriteChain.h"
#include "state/U_Global.h"

#include <iostream>
#include <string>

namespace mv53::cli {

namespace {

const CliCommand kSerialWrite{
    "serial-write", "serial-write --port DEVICE|COMn --year YYYY --month MM --lot LL --number NNNN [--count N]",
    "writes consecutive serial numbers into radios, one after another (Enter between radios)", nullptr};

struct SerialArgs {
    std::string port;
    serialw::TSerialFields fields;
    int count = 1;
};

bool ParseSerialArgs(const Args& args, SerialArgs& out)
{
    bool year = false, month = false, lot = false, number = false;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string& key = args[i];
        const std::string& value = args[i + 1];
        if (key == "--port") {
            out.port = value;
        } else if (key == "--year") {
            out.fields.Year = value;
            year = true;
        } else if (key == "--month") {
            out.fields.Month = value;
            month = true;
        } else if (key == "--lot") {
            out.fields.Lot = value;
            lot = true;
        } else if (key == "--number") {
            out.fields.Number = value;
            number = true;
        } else if (key == "--count") {
            try {
                std::size_t used = 0;
                out.count = std::stoi(value, &used);
                if (used != value.size() || out.count < 1)
                    return false;
            } catch (...) {
                return false;
            }
        } else {
            return false;
        }
    }
    return args.size() % 2 == 0 && !out.port.empty() && year && month && lot && number;
}

int RunSerialWrite(const Args& args)
{
    SerialArgs a;
    if (!ParseSerialArgs(args, a))
        return UsageError(kSerialWrite);
    TProgramState state;
    // The serial writer's mode: the factory area carries the number of the records.
    state.ServiceMode = true;
    state.SerialMode = true;
    std::string device;
    if (const int n = platform::PortMap::PortNumberFromName(a.port); n > 0)
        state.ComPortNo = n - 1;
    else
        device = a.port;

    const auto run = [&](int kind, std::string* serial) {
        // A window would clear the flag when it shows; the transfer starts at once here.
        state.AutoStartTransfer = false;
        TCloneTransfer transfer(state);
        if (!device.empty())
            transfer.SetDevicePath(device);
        const bool ok = transfer.Run(kind);
        if (serial != nullptr)
            *serial = ok ? transfer.Result().readSerialNo : std::string();
        return ok;
    };
    serialw::TSerialWriteSteps steps;
    steps.Upload = [&] { run(0, nullptr); };
    steps.Download = run;

    serialw::TSerialFields fields = serialw::Normalized(a.fields);
    for (int radio = 0; radio < a.count; ++radio) {
        if (radio > 0) {
            std::cerr << "Connect the next radio and press Enter.\n";
            std::string line;
            if (!std::getline(std::cin, line))
                return 0;
        }
        const serialw::TSerialWriteResult result = serialw::WriteSerialNumber(state, fields, steps);
        if (!result.Uploaded)
            return 1;   // the transfer has said why; the number was not used
        std::cout << "written " << result.WrittenNo << " read " << result.ReadNo << std::endl;
        if (!result.Written || !result.ReadBack)
            return 1;   // the transfer has said why
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
