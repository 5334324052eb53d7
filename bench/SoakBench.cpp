// Soak: transfer cycles against the radiosim program without pacing, each an upload of the
// whole memory, a user-data download, a few Spot-ADJ frames and a firmware write of a small
// image in the boot mode (a fresh boot-mode radio each cycle, as if switched off and on).
// The simulators run as processes of their own, so the figures are the PC side's alone.
//
//   soak [CYCLES [WARMUP]]   (default 200 cycles, 10 of them warm-up)
//
// Reported after the warm-up and at the end: resident memory, open file descriptors and
// threads of this process. Goal: no growth beyond 1 MiB, none in descriptors or threads.
// Exit status 1 when a transfer failed or a goal was missed.

#include "BenchRadio.h"
#include "link/CloneProtocol.h"
#include "model/Prompt.h"
#include "model/U_E2prom.h"
#include "service/FirmwareSupply.h"
#include "service/RadioFSW.h"
#include "service/SpotAdj.h"
#include "state/U_Global.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kRssGoalKiB = 1024;
constexpr unsigned kFirmwareBytes = 0x1000;   // the small image: 4 KiB from address 0
constexpr int kSpotAdjValues = 4;

struct Usage {
    long rssKiB = 0;
    long descriptors = 0;
    long threads = 0;
};

// This process's resident memory and threads (/proc/self/status) and open descriptors.
Usage Measure()
{
    Usage u;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            u.rssKiB = std::strtol(line.c_str() + 6, nullptr, 10);
        else if (line.rfind("Threads:", 0) == 0)
            u.threads = std::strtol(line.c_str() + 8, nullptr, 10);
    }
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++u.descriptors;
    --u.descriptors;   // the iterator's own
    return u;
}

void Print(const char* when, const Usage& u)
{
    std::printf("%-22s resident %7ld KiB  descriptors %3ld  threads %3ld\n", when, u.rssKiB, u.descriptors, u.threads);
    std::fflush(stdout);
}

void RunEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class Reporting final : public mv53::IPrompt {
public:
    mv53::PromptAnswer Message(const std::string& text, mv53::PromptIcon, mv53::PromptButtons buttons,
                               const std::string& detail) override
    {
        std::fprintf(stderr, "  message: %s %s\n", text.c_str(), detail.c_str());
        return mv53::SafeAnswer(buttons);
    }
    std::optional<mv53::OpenFileResult> OpenFile(const mv53::OpenFileRequest&) override { return {}; }
    std::optional<std::string> SaveFile(const mv53::SaveFileRequest&) override { return {}; }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return {}; }
};

bool Transfer(TProgramState& state, const std::string& device, TTransferKind kind)
{
    mv53::TCloneTransfer transfer(state);
    transfer.SetDevicePath(device);
    return transfer.Run({.Kind = kind, .InChain = true});
}

// A few live values, sent as the alignment window sends them; false when the port did not open
// or the values were not all sent within 5 s.
bool SpotAdjust(const TProgramState& state, const std::string& device, int cycle)
{
    mv53::TSpotAdjSender sender(state);
    sender.SetDevicePath(device);
    if (!sender.Open())
        return false;
    for (int i = 0; i < kSpotAdjValues; ++i)
        sender.ValueChanged(1, (cycle + i) % 100);
    const auto until = Clock::now() + std::chrono::seconds(5);
    while ((sender.HasPending() || !sender.SendReady()) && Clock::now() < until)
        RunEventsFor(10);
    const bool sent = !sender.HasPending();
    sender.Close();
    return sent;
}

bool WriteFirmware(TProgramState& state, const std::string& file)
{
    QProcess radio;
    const std::string device = mv53::bench::StartRadiosim(
        radio, {QStringLiteral("--boot"), QStringLiteral("--boot-rate"), QStringLiteral("19200")});
    if (device.empty())
        return false;
    mv53::TFirmwareWriter writer(state);
    writer.SetDevicePath(device);
    writer.SetConfirmation([] {});
    writer.SetUnwrittenQuestion([](const std::vector<std::string>&) { return true; });
    writer.SetRetryQuestion([](const std::string& detail) {
        std::fprintf(stderr, "  firmware: %s\n", detail.c_str());
        return false;
    });
    mv53::TFirmwareJob job;
    job.filePath = file;
    job.cpu = mv53::fw::TCpuType::HD64F2134ATF20;
    job.bootProgram.assign(mv53::fw::kBootProgramSize, 0x3C);
    const bool ok = writer.Run(job);
    mv53::bench::StopRadiosim(radio);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 200;
    const int warmUp = argc > 2 ? std::atoi(argv[2]) : 10;
    if (cycles <= warmUp || warmUp < 1) {
        std::fprintf(stderr, "usage: soak [CYCLES [WARMUP]] (CYCLES above WARMUP, WARMUP at least 1)\n");
        return 1;
    }
    Reporting prompt;
    mv53::ScopedPrompt scoped(prompt);

    QTemporaryDir dir;
    const std::string firmware = QDir(dir.path()).filePath(QStringLiteral("KT468SOK_V0100.SFL")).toStdString();
    mv53::bench::WriteFirmwareFile(firmware, kFirmwareBytes);

    QProcess radio;
    const std::string device = mv53::bench::StartRadiosim(radio, {});
    if (device.empty()) {
        std::fprintf(stderr, "radiosim did not start\n");
        return 1;
    }
    // Every channel in use, so that each download writes them all.
    TProgramState state;
    ClearRecords(state.CurrentMem);
    for (int i = 0; i < 500; ++i) {
        state.CurrentMem.Channels().Items(i).SetStatus(mv53::kChannelUsed);
        state.CurrentMem.Channels().Items(i).SetTag("CH" + std::to_string(i));
    }
    if (!Transfer(state, device, TTransferKind::UserData)) {
        std::fprintf(stderr, "the first download failed\n");
        return 1;
    }

    Usage afterWarmUp;
    const auto start = Clock::now();
    int failures = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const bool ok = Transfer(state, device, TTransferKind::Upload) &&
                        Transfer(state, device, TTransferKind::UserData) && SpotAdjust(state, device, cycle) &&
                        WriteFirmware(state, firmware);
        if (!ok)
            std::fprintf(stderr, "cycle %d failed\n", cycle);
        failures += ok ? 0 : 1;
        if (cycle == warmUp) {
            afterWarmUp = Measure();
            Print("after the warm-up", afterWarmUp);
        }
    }
    const Usage end = Measure();
    Print("at the end", end);
    mv53::bench::StopRadiosim(radio);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long rssGrowth = end.rssKiB - afterWarmUp.rssKiB;
    std::printf("%d cycles in %.0f s, %d failed; growth over %d cycles: resident %+ld KiB (goal <= %ld), "
                "descriptors %+ld, threads %+ld (goal 0)\n",
                cycles, seconds, failures, cycles - warmUp, rssGrowth, kRssGoalKiB,
                end.descriptors - afterWarmUp.descriptors, end.threads - afterWarmUp.threads);
    const bool met = rssGrowth <= kRssGoalKiB && end.descriptors <= afterWarmUp.descriptors &&
                     end.threads <= afterWarmUp.threads;
    return failures == 0 && met ? 0 : 1;
}
