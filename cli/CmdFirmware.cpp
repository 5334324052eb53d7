// mv53 firmware-info: what a firmware file holds for a processor type (header lines, scrambled
// or not, write areas, progress maximum, PC checksum), in the lines scripts and the service
// bench read. A file that could not be written whole is refused with its line named.
// mv53 flash: the firmware window's writing procedure without windows; where the window would
// ask "Problem on COM port" it prints the window's text and ends. A file that leaves data
// unwritten is refused unless --allow-unwritten; --wait bounds the wait for the radio; Ctrl-C
// (and SIGTERM) acts as the window's Cancel and ends with status 130.

#include "CliCommand.h"
#include "PortOption.h"
#include "ProgressLine.h"

#include "platform/Console.h"
#include "service/FirmwareSupply.h"
#include "service/RadioFSW.h"
#include "service/U_FileAccessFSW.h"
#include "state/U_Global.h"

#include <QObject>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mv53::cli {

namespace {

using namespace mv53::fw;

constexpr int kDefaultWaitSeconds = 120;
constexpr int kCancelledStatus = 130;     // as a shell reports a command ended by Ctrl-C
constexpr int kStopPollMs = 50;           // how often the procedure's waits look for Ctrl-C

struct FirmwareArgs {
    std::string file;
    std::string cpu;
    std::string key;
    std::string boot;
    std::string port;
    std::string config;
    std::string wait;
    std::string trace;
    bool allowUnwritten = false;
};

// Options: --cpu, --key, --boot, --port, --config, --wait, --trace (each "--x V" or "--x=V"),
// --allow-unwritten; one file. --boot, --port, --config, --wait, --trace and --allow-unwritten belong to
// flash. Returns the problem with the first argument not understood, or an empty text.
std::string ParseFirmwareArgs(const Args& args, FirmwareArgs& out, bool forFlash)
{
    std::vector<Option> options{{"--cpu", &out.cpu}, {"--key", &out.key}};
    if (forFlash)
        options.insert(options.end(), {{"--boot", &out.boot},
                                       {"--port", &out.port},
                                       {"--config", &out.config},
                                       {"--wait", &out.wait},
                                       {kTraceOption, &out.trace},
                                       {"--allow-unwritten", nullptr, &out.allowUnwritten}});
    std::vector<std::string> files;
    if (std::string problem = ReadArgs(args, options, files, 1); !problem.empty())
        return problem;
    if (files.empty())
        return Missing("FILE");
    out.file = files.front();
    if (!CpuFromName(out.cpu).has_value())
        return out.cpu.empty() ? Missing("--cpu") : "unknown processor " + out.cpu;
    if (forFlash && out.port.empty())
        return Missing("--port");
    if (forFlash && out.boot.empty())
        return Missing("--boot");
    return {};
}

// The seconds of --wait: a whole number from 1; false for anything else.
bool WaitSeconds(const std::string& text, int& seconds)
{
    if (text.empty()) {
        seconds = kDefaultWaitSeconds;
        return true;
    }
    if (text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    seconds = std::stoi(text);
    return seconds > 0;
}

// The CR LF of the system's texts as line breaks.
std::string Lines(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

const CliCommand kFirmwareInfo{
    "firmware-info", "firmware-info FILE --cpu HD64F2134ATF20|HD64F2134FA20 [--key KEYFILE]",
    "shows a firmware file's header lines, write areas, the data outside them (\"outside areas: none\" or\n"
    "      \"outside areas: N bytes, first line L address 0xAAAAA\"), progress maximum and PC checksum",
    nullptr};

int RunFirmwareInfo(const Args& args)
{
    FirmwareArgs a;
    if (const std::string problem = ParseFirmwareArgs(args, a, false); !problem.empty())
        return UsageError(kFirmwareInfo, problem);
    const TCpuType cpu = *CpuFromName(a.cpu);
    TKey key{};
    std::string error;
    if (!a.key.empty() && !LoadUnscrambleKey(a.key, key, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    const std::string name = std::filesystem::path(a.file).filename().string();
    const THeaderScan scan = ScanHeader(a.file, name);
    if (!scan.ok) {
        std::cerr << kFileRefused << "\n" << a.file << ": "
                  << (name.rfind(kFirmwareNamePrefix, 0) != 0
                          ? std::string("the file name does not begin with ") + kFirmwareNamePrefix
                          : std::string("no record header line (S0 or VS) was found"))
                  << "\n";
        return 1;
    }
    TFirmwareImage image;
    TReadError readError;
    if (!ReadFirmwareFile(a.file, cpu, a.key.empty() ? nullptr : &key, image, readError)) {
        std::cerr << kFileRefused << "\n" << a.file << ": " << readError.Text() << "\n";
        return 1;
    }
    for (const std::string& line : scan.lines)
        std::cout << "header: " << line << "\n";
    std::cout << "scrambled: " << (image.scrambled ? "yes" : "no") << "\n";
    for (std::size_t i = 0; i < image.areas.size(); ++i) {
        const TWriteArea& area = image.areas[i];
        if (!area.used) {
            std::cout << "area " << i << ": none\n";
            continue;
        }
        char start[16];
        std::snprintf(start, sizeof start, "0x%05X", static_cast<unsigned>(area.start));
        std::cout << "area " << i << ": start " << start << " length " << area.length << "\n";
    }
    if (image.outside.bytes == 0) {
        std::cout << "outside areas: none\n";
    } else {
        char address[16];
        std::snprintf(address, sizeof address, "0x%05X", static_cast<unsigned>(image.outside.address));
        std::cout << "outside areas: " << image.outside.bytes << " bytes, first line " << image.outside.line
                  << " address " << address << "\n";
    }
    std::cout << "progress max: " << image.progressMax << "\n";
    std::cout << Lines(PcChecksumText(image.Sum())) << "\n";
    return 0;
}

const CliCommand kFlash{
    "flash",
    "flash --port DEVICE|COMn [--config INI] FILE --cpu HD64F2134ATF20|HD64F2134FA20 --boot BOOTFILE\n"
    "             [--key KEYFILE] [--allow-unwritten] [--wait SECONDS] [--trace TRACE]",
    "writes a firmware file into a radio in its boot mode (the firmware window without windows);\n"
    "      --allow-unwritten writes a file with data outside the processor's areas or none at the\n"
    "      reset vector; --wait: how long to wait for the radio (default 120); Ctrl-C cancels (status 130)",
    nullptr};

int RunFlash(const Args& args)
{
    FirmwareArgs a;
    int waitSeconds = 0;
    if (const std::string problem = ParseFirmwareArgs(args, a, true); !problem.empty())
        return UsageError(kFlash, problem);
    if (!WaitSeconds(a.wait, waitSeconds))
        return UsageError(kFlash, "--wait takes a whole number of seconds from 1, not " + a.wait);
    TFirmwareJob job;
    job.filePath = a.file;
    job.cpu = *CpuFromName(a.cpu);
    std::string error;
    if (!LoadBootProgram(a.boot, job.bootProgram, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    if (!a.key.empty()) {
        TKey key{};
        if (!LoadUnscrambleKey(a.key, key, error)) {
            std::cerr << error << "\n";
            return 1;
        }
        job.key = key;
    }
    // Nothing is sent before the file has passed the header scan and a whole reading.
    const std::string name = std::filesystem::path(a.file).filename().string();
    if (!ScanHeader(a.file, name).ok) {
        std::cerr << kFileRefused << "\n" << a.file << ": no record header line (S0 or VS) was found"
                  << (name.rfind(kFirmwareNamePrefix, 0) != 0 ? std::string(" or the name does not begin with ") +
                                                                      kFirmwareNamePrefix
                                                                : std::string())
                  << "\n";
        return 1;
    }

    if (!StartTraceOption(a.trace))
        return 1;
    TProgramState state;
    TFirmwareWriter writer(state);
    writer.SetDevicePath(ResolvePortOption(a.port, a.config, state));

    ProgressLine bar(stdout, platform::StandardOutputIsTerminal(), 14);
    QObject::connect(&writer, &TFirmwareWriter::BootRange, [&bar](int max) { bar.Start("Boot program", max); });
    QObject::connect(&writer, &TFirmwareWriter::BootProgress, [&bar](int p) { bar.Show(p); });
    QObject::connect(&writer, &TFirmwareWriter::WriteRange, [&bar](int max) { bar.Start("Writing", max); });
    QObject::connect(&writer, &TFirmwareWriter::WriteProgress, [&bar](int p) { bar.Show(p); });
    QObject::connect(&writer, &TFirmwareWriter::BarsVisible, [&bar](bool shown) {
        if (!shown)
            bar.Finish();
    });
    writer.SetRetryQuestion([&bar](const std::string& detail) {
        bar.Finish();
        std::cerr << Lines(kFswNoAcknowledgement) << "\n";
        if (!detail.empty())
            std::cerr << detail << "\n";
        return false;
    });
    writer.SetConfirmation([] {});
    writer.SetUnwrittenQuestion([&a](const std::vector<std::string>& warnings) {
        for (const std::string& line : warnings)
            std::cerr << "warning: " << line << "\n";
        if (!a.allowUnwritten)
            std::cerr << kFileRefused << "\n" << a.file << ": the radio would not get all of it (--allow-unwritten "
                      << "writes it anyway)\n";
        return a.allowUnwritten;
    });
    writer.SetHandshakeLimit(waitSeconds * 1000);
    // The person at the terminal learns what the command waits for.
    bool waiting = false;
    QObject::connect(&writer, &TFirmwareWriter::LampChanged, [&](TLamp lamp) {
        if (lamp != TLamp::Red || std::exchange(waiting, true))
            return;
        std::cerr << "Waiting up to " << waitSeconds << " s for a radio in boot mode on " << a.port << "\n";
    });
    // Ctrl-C and SIGTERM act as the window's Cancel: the procedure's waits see the request.
    platform::CatchStopRequests();
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [&writer] {
        if (platform::StopRequested() && !writer.Stopped())
            writer.Cancel();
    });
    stopWatch.start(kStopPollMs);

    writer.Run(job);
    stopWatch.stop();
    bar.Finish();
    const TFirmwareResult& result = writer.Result();
    if (result.outcome == TFirmwareOutcome::Cancelled) {
        std::cerr << Lines(CancelledText(result.bootLoaded)) << "\n";
        return kCancelledStatus;
    }
    if (!result.finalAck) {
        if (result.bootLoaded)
            std::cerr << kFswFirmwareIncomplete << "\n";
        return 1;
    }
    std::cout << Lines(result.pcText) << Lines(result.cpuText) << "\n" << result.verdict << "\n";
    return result.outcome == TFirmwareOutcome::Success ? 0 : 1;
}

}  // namespace

MV53_CLI_COMMAND("flash", kFlash.usage, kFlash.summary, &RunFlash);
MV53_CLI_COMMAND("firmware-info", kFirmwareInfo.usage, kFirmwareInfo.summary, &RunFirmwareInfo);

}  // namespace mv53::cli
