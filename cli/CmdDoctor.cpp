// mv53 doctor: for a radio that will not talk, one line a check (OK, WARN or FAIL first, then
// what was found and what to do): the serial ports, the user's rights, other programs holding
// the port, services that grab USB serial adapters, the line settings, and with --port a
// loopback at the cable's end or the radio's answer to Identify.

#include "CliCommand.h"
#include "PortOption.h"

#include "link/PortDoctor.h"
#include "platform/PortMap.h"
#include "state/U_Global.h"

#include <iostream>
#include <string>

namespace mv53::cli {

namespace {

const CliCommand kDoctor{
    "doctor", "doctor [--port DEVICE|COMn] [--config INI] [--loopback]",
    "checks the serial ports, the cable and the radio, one line a check (OK, WARN or FAIL); --loopback with "
    "transmit and receive bridged at the cable's end instead of a radio",
    nullptr};

int RunDoctor(const Args& args)
{
    std::string port;
    std::string config;
    bool loopback = false;
    std::vector<std::string> none;
    if (const std::string problem =
            ReadArgs(args, {{"--port", &port}, {"--config", &config}, {"--loopback", nullptr, &loopback}}, none, 0);
        !problem.empty())
        return UsageError(kDoctor, problem);
    if (loopback && port.empty())
        return UsageError(kDoctor, "--loopback needs --port");

    TDoctorRequest request;
    request.loopback = loopback;
    if (!port.empty()) {
        TProgramState state;
        request.device = ResolvePortOption(port, config, state);
        if (request.device.empty()) {
            request.device = platform::PortMap::DevicePathForPort(state.ComPortNo + 1);
            request.portText = port + " (" + request.device + ")";
            if (request.device.empty()) {
                std::cout << CheckLineText({TCheckLevel::Fail, port + " is bound to no device: choose the port "
                                                                      "in \"File / Configure\" or give a device path"})
                          << std::endl;
                return 1;
            }
        }
    }
    TPortDoctor doctor([](const TCheckLine& line) { std::cout << CheckLineText(line) << std::endl; });
    return doctor.Run(request) ? 0 : 1;
}

}  // namespace

MV53_CLI_COMMAND("doctor", kDoctor.usage, kDoctor.summary, &RunDoctor);

}  // namespace mv53::cli
