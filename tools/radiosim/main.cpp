// radiosim: a KT-4680 on a pseudo-terminal, for trying Upload and Download without a radio.

#include "BootOptions.h"
#include "RadioSimulator.h"
#include "TraceReplay.h"

#include "platform/SerialTrace.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace mv53::radiosim;
using mv53::Byte;
using mv53::BlockNo;
using mv53::kChannelBlockCount;

constexpr const char* kUsage = R"(Usage: radiosim [options]

Plays a KT-4680 transceiver on the clone protocol at the far end of a pseudo-terminal.
Prints the device path to open (one line), then answers until SIGINT or SIGTERM.

  --image FILE        start with the memory in FILE (a 17927-byte data file);
                      default: the memory of a radio fresh from the factory
  --save FILE         write the memory to FILE at exit
  --device PATH       answer on this serial device instead of a pseudo-terminal
  --pace              send and receive bytes no faster than the port's line settings allow
  --firmware HHHH     firmware version bytes of the identify reply (default 012a)
  --text-id TEXT      text id of the identify reply (default kt468h)
  --order LIST        channel blocks to send on upload, in order (e.g. 3,0,7);
                      default: the channels in use, ascending
  --end-block N       block number of the frame that ends the channels (default 500)
  --frame-gap MS      drop a partial command frame after MS of silence (default 500)

Faults:
  --silent            answer nothing at all
  --wrong-id          answer Identify with the text id "kt999x"
  --refuse-begin      refuse WriteBegin (0x4E)
  --refuse-block N    refuse the WriteBlock with index N (from 0) after WriteBegin
  --bad-checksum N    send upload frame N (from 0) with a wrong checksum
  --two-frames N      send upload frame N and the next one without waiting for the 0x59
  --stray HEX         send these bytes (e.g. 00ff) after every reply
  --stray-after LIST  only after these replies: identify,reply,serial,upload
  --hang-up N         close the line once N bytes have been sent
  --help              show this text

Replay:
  --replay TRACE      play the radio's side of a serial trace (mv53 --trace, MV53_TRACE):
                      each time the program has sent what the trace holds, send the radio's
                      bytes that followed, at their pace; ends when the trace is played through
                      (status 0) or when the program parts from it, naming the trace line and
                      the bytes on standard error (status 1)

A user-data download (WriteBegin 0x00C6) first marks every channel empty (status byte 0xFF):
the PC sends only the channels in use, so reading the radio back gives what was written.
Number arguments may be decimal or 0x-prefixed hexadecimal.
)";

bool ParseNumber(const std::string& text, long long& value)
{
    try {
        std::size_t used = 0;
        value = std::stoll(text, &used, 0);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

bool ParseHexBytes(const std::string& text, std::vector<Byte>& bytes)
{
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        try {
            std::size_t used = 0;
            const int v = std::stoi(text.substr(i, 2), &used, 16);
            if (used != 2)
                return false;
            bytes.push_back(static_cast<Byte>(v));
        } catch (...) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        items.push_back(item);
    return items;
}

int Fail(const std::string& message)
{
    std::cerr << "radiosim: " << message << "\n";
    return 1;
}

// Plays a trace until its end, the program's parting from it, or SIGINT/SIGTERM.
int Replay(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail("cannot read " + path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<mv53::platform::TraceEvent> events;
    std::string error;
    if (!mv53::platform::ReadSerialTrace(text, events, error))
        return Fail(path + ": " + error);

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int stopFd = signalfd(-1, &signals, SFD_CLOEXEC);

    TraceReplay replay(std::move(events));
    if (stopFd < 0 || !replay.Start(error))
        return Fail(stopFd < 0 ? "signalfd failed" : error);
    std::cout << replay.DevicePath() << std::endl;
    std::string message;
    const bool playedThrough = replay.Run(stopFd, message);
    ::close(stopFd);
    if (!playedThrough)
        return Fail(message);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string imagePath;
    std::string savePath;
    std::string devicePath;
    std::string replayPath;
    bool pace = false;
    long long frameGap = 500;
    Behaviour behaviour;
    Faults faults;
    BootSettings boot;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        const auto number = [&](long long& out) {
            std::string text;
            return value(text) && ParseNumber(text, out);
        };
        std::string text;
        long long n = 0;
        std::string bootError;
        if (TakeBootOption(argc, argv, i, boot, bootError)) {
            if (!bootError.empty())
                return Fail(bootError);
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << kBootUsage;
            return 0;
        } else if (arg == "--image") {
            if (!value(imagePath))
                return Fail("--image needs a file");
        } else if (arg == "--save") {
            if (!value(savePath))
                return Fail("--save needs a file");
        } else if (arg == "--device") {
            if (!value(devicePath))
                return Fail("--device needs a path");
        } else if (arg == "--replay") {
            if (!value(replayPath))
                return Fail("--replay needs a trace file");
        } else if (arg == "--pace") {
            pace = true;
        } else if (arg == "--firmware") {
            std::vector<Byte> bytes;
            if (!value(text) || !ParseHexBytes(text, bytes) || bytes.size() != 2)
                return Fail("--firmware needs four hexadecimal digits");
            behaviour.firmware = {bytes[0], bytes[1]};
        } else if (arg == "--text-id") {
            if (!value(behaviour.textId))
                return Fail("--text-id needs a text");
        } else if (arg == "--wrong-id") {
            behaviour.textId = "kt999x";
        } else if (arg == "--order") {
            if (!value(text))
                return Fail("--order needs a list of blocks");
            std::vector<BlockNo> blocks;
            for (const std::string& item : SplitList(text)) {
                if (!ParseNumber(item, n) || n < 0 || n >= kChannelBlockCount)
                    return Fail("--order: not a channel block: " + item);
                blocks.push_back(static_cast<BlockNo>(n));
            }
            behaviour.channelOrder = blocks;
        } else if (arg == "--end-block") {
            if (!number(n) || n < kChannelBlockCount || n > 0xFFFF)
                return Fail("--end-block needs a number from 500 to 65535");
            behaviour.endBlock = static_cast<std::uint16_t>(n);
        } else if (arg == "--frame-gap") {
            if (!number(frameGap) || frameGap <= 0)
                return Fail("--frame-gap needs a positive number of milliseconds");
        } else if (arg == "--silent") {
            faults.silent = true;
        } else if (arg == "--refuse-begin") {
            faults.refuseWriteBegin = true;
        } else if (arg == "--refuse-block") {
            if (!number(n) || n < 0)
                return Fail("--refuse-block needs a block index");
            faults.refuseWriteBlock = static_cast<int>(n);
        } else if (arg == "--bad-checksum") {
            if (!number(n) || n < 0)
                return Fail("--bad-checksum needs a frame index");
            faults.badChecksumFrame = static_cast<int>(n);
        } else if (arg == "--two-frames") {
            if (!number(n) || n < 0)
                return Fail("--two-frames needs a frame index");
            faults.twoFramesAt = static_cast<int>(n);
        } else if (arg == "--stray") {
            if (!value(text) || !ParseHexBytes(text, faults.strayBytes))
                return Fail("--stray needs hexadecimal bytes");
        } else if (arg == "--stray-after") {
            if (!value(text))
                return Fail("--stray-after needs a list");
            faults.strayAfter = 0;
            for (const std::string& item : SplitList(text)) {
                if (item == "identify")
                    faults.strayAfter |= kIdentifyReply;
                else if (item == "reply")
                    faults.strayAfter |= kReplyByte;
                else if (item == "serial")
                    faults.strayAfter |= kSerialReply;
                else if (item == "upload")
                    faults.strayAfter |= kUploadFrame;
                else
                    return Fail("--stray-after: unknown reply " + item);
            }
        } else if (arg == "--hang-up") {
            if (!number(n) || n < 0)
                return Fail("--hang-up needs a byte count");
            faults.hangUpAfterBytes = n;
        } else {
            std::cerr << kUsage << kBootUsage;
            return Fail("unknown option " + arg);
        }
    }

    std::string error;
    if (!replayPath.empty())
        return Replay(replayPath);

    Memory memory = DefaultMemory();
    if (!imagePath.empty() && !ReadMemoryFile(imagePath, memory, &error))
        return Fail(error);

    // The simulator's thread inherits the blocked signals; this thread takes them with sigwait.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    RadioSimulator radio(memory);
    radio.SetBehaviour(behaviour);
    radio.SetFaults(faults);
    radio.SetPacing(pace);
    radio.SetBootMode(boot.on);
    radio.SetBootBehaviour(boot.behaviour);
    radio.SetBootFaults(boot.faults);
    radio.SetFrameGap(std::chrono::milliseconds(frameGap));
    const bool started = devicePath.empty() ? radio.Start() : radio.StartOnDevice(devicePath);
    if (!started)
        return Fail(radio.LastError());
    std::cout << radio.DevicePath() << std::endl;

    int received = 0;
    sigwait(&signals, &received);
    radio.Stop();
    if (!savePath.empty() && !radio.SaveMemory(savePath))
        return Fail(radio.LastError());
    if (!boot.saveFlash.empty()) {
        const std::vector<BootByte> flash = radio.Flash();
        std::ofstream out(boot.saveFlash, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(flash.data()), static_cast<std::streamsize>(flash.size()));
        if (!out)
            return Fail("cannot write " + boot.saveFlash);
    }
    return 0;
}
