#include "BootOptions.h"

#include <string>

namespace mv53::radiosim {

const char* const kBootUsage = R"(
Boot mode (firmware writing):
  --boot              play the microcontroller's serial boot mode instead of the clone protocol
  --boot-rate N       bit rate the boot mode answers at (19200, 9600, 4800, 2400; default 9600)
  --boot-cpu NAME     HD64F2134ATF20 (default) or HD64F2134FA20
  --save-flash FILE   write the 128 KiB flash to FILE at exit
  --boot-silent       answer nothing
  --boot-refuse-rate  answer the bit-rate command with 07
  --boot-wrong-echo N echo boot program byte N (from 0) wrongly
  --boot-no-aa        no AA after the boot program
  --boot-bad-final    answer an area's checksum byte with 07
  --boot-refuse-write N  answer write command N (from 0) of a round with 07
  --boot-no-checksum  no answer to the checksum request
  --boot-fault-rounds N  the faults above only in the first N rounds
)";

bool TakeBootOption(int argc, char** argv, int& i, BootSettings& settings, std::string& error)
{
    const std::string arg = argv[i];
    const auto number = [&](long& out) {
        if (i + 1 >= argc) {
            error = arg + " needs a number";
            return false;
        }
        try {
            std::size_t used = 0;
            const std::string text = argv[++i];
            out = std::stol(text, &used, 0);
            if (used != text.size())
                error = arg + " needs a number";
        } catch (...) {
            error = arg + " needs a number";
        }
        return error.empty();
    };
    long n = 0;
    if (arg == "--boot") {
        settings.on = true;
    } else if (arg == "--boot-rate") {
        if (number(n) && n != 19200 && n != 9600 && n != 4800 && n != 2400)
            error = "--boot-rate must be 19200, 9600, 4800 or 2400";
        settings.behaviour.rate = static_cast<unsigned>(n);
    } else if (arg == "--boot-cpu") {
        const std::string name = i + 1 < argc ? argv[++i] : "";
        if (name == "HD64F2134ATF20")
            settings.behaviour.cpu = BootCpu::HD64F2134ATF20;
        else if (name == "HD64F2134FA20")
            settings.behaviour.cpu = BootCpu::HD64F2134FA20;
        else
            error = "--boot-cpu needs HD64F2134ATF20 or HD64F2134FA20";
    } else if (arg == "--save-flash") {
        if (i + 1 >= argc)
            error = "--save-flash needs a file";
        else
            settings.saveFlash = argv[++i];
    } else if (arg == "--boot-silent") {
        settings.faults.silent = true;
    } else if (arg == "--boot-refuse-rate") {
        settings.faults.refuseBitRate = true;
    } else if (arg == "--boot-wrong-echo") {
        if (number(n))
            settings.faults.wrongEchoAt = n;
    } else if (arg == "--boot-no-aa") {
        settings.faults.noStartAck = true;
    } else if (arg == "--boot-bad-final") {
        settings.faults.badFinalAnswer = true;
    } else if (arg == "--boot-refuse-write") {
        if (number(n))
            settings.faults.refuseWrite = n;
    } else if (arg == "--boot-no-checksum") {
        settings.faults.noChecksum = true;
    } else if (arg == "--boot-fault-rounds") {
        if (number(n))
            settings.faults.rounds = static_cast<int>(n);
    } else {
        return false;
    }
    return true;
}

}  // namespace mv53::radiosim
