// Clone transfer benchmark: a full upload of a radio with all 500 channels in use, and a
// user-data download of 500 channels, against the radiosim program (a separate process, so
// that this process's CPU time is the PC side alone) pacing bytes at 9600 baud 8N2.
//
// Reported per transfer:
//   wall      total wall time of TCloneTransfer::Run
//   fixed     the protocol's fixed sleeps within it (open, settle, close, WriteEnd ...)
//   wire      the line time of every byte exchanged: bytes x 11 bits / 9600 (the two
//             directions never overlap: the PC waits for each answer)
//   wall-fixed / wire    goal: within 1.03
//   cpu / wall           CPU time of this process (all its threads), goal: under 0.02
//
// "clone_bench trace" measures instead what recording a serial trace costs an upload: runs
// without and with a recording, alternately, on the paced line and on an unpaced one (where
// nothing hides the recording's cost behind the line), with the ratio of the medians.

#include "state/U_Global.h"
#include "link/CloneProtocol.h"
#include "link/TraceRecording.h"
#include "model/Prompt.h"
#include "model/U_E2prom.h"
#include "RadioSimulator.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>
#include <string>
#include <sys/resource.h>

namespace {

namespace sim = mv53::radiosim;
using Clock = std::chrono::steady_clock;

constexpr double kBitsPerByte = 11.0;   // start, 8 data, 2 stop
constexpr double kBaud = 9600.0;

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

TMVmem allChannels()
{
    TMVmem mem;
    ClearRecords(mem);
    for (int i = 0; i < 500; ++i) {
        mem.Channels().Items(i).SetStatus(mv53::kChannelUsed);
        mem.Channels().Items(i).SetTag("CH" + std::to_string(i));
    }
    return mem;
}

struct Figures {
    const char* name;
    double wall;
    double fixed;
    double wireBytes;
    double cpu;
};

void print(const Figures& f)
{
    const double wire = f.wireBytes * kBitsPerByte / kBaud;
    std::printf("%-22s wall %7.3f s  fixed sleeps %5.3f s  wire %7.3f s (%5.0f bytes)\n", f.name, f.wall, f.fixed,
                wire, f.wireBytes);
    std::printf("%-22s (wall-fixed)/wire = %.4f   cpu/wall = %.4f (cpu %.3f s)\n", "", (f.wall - f.fixed) / wire,
                f.cpu / f.wall, f.cpu);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// radiosim with the image, the device it names in device; false when it did not start.
bool StartRadio(QProcess& radio, const std::string& image, bool paced, std::string& device)
{
    QStringList args{QStringLiteral("--image"), QString::fromStdString(image)};
    if (paced)
        args.prepend(QStringLiteral("--pace"));
    radio.start(QStringLiteral(MV53_RADIOSIM_PATH), args);
    if (!radio.waitForStarted(10000) || !radio.waitForReadyRead(10000))
        return false;
    device = QString::fromUtf8(radio.readLine()).trimmed().toStdString();
    return true;
}

// Uploads without and with a serial trace recording, alternately; prints the medians.
bool TraceCost(const char* name, const std::string& device, const std::string& tracePath, int runs)
{
    std::vector<double> wall[2], cpu[2];
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        for (int traced = 0; traced < 2; ++traced) {
            if (traced)
                ok = mv53::StartSerialTrace(tracePath).empty() && ok;
            TProgramState state;
            mv53::TCloneTransfer transfer(state);
            transfer.SetDevicePath(device);
            const double cpu0 = cpuSeconds();
            const auto t0 = Clock::now();
            ok = transfer.Run({.Kind = TTransferKind::Upload, .InChain = true}) && ok;
            wall[traced].push_back(std::chrono::duration<double>(Clock::now() - t0).count());
            cpu[traced].push_back(cpuSeconds() - cpu0);
            if (traced)
                ok = mv53::StopSerialTrace().empty() && ok;
        }
    }
    std::printf("%-28s without trace %7.3f s (cpu %.3f s)  with trace %7.3f s (cpu %.3f s)  wall ratio %.4f (%d runs)\n",
                name, Median(wall[0]), Median(cpu[0]), Median(wall[1]), Median(cpu[1]), Median(wall[1]) / Median(wall[0]),
                runs);
    return ok;
}

class Silent final : public mv53::IPrompt {
public:
    mv53::PromptAnswer Message(const std::string& text, mv53::PromptIcon, mv53::PromptButtons,
                               const std::string& detail) override
    {
        std::fprintf(stderr, "  message: %s %s\n", text.c_str(), detail.c_str());
        return mv53::PromptAnswer::Ok;
    }
    std::optional<mv53::OpenFileResult> OpenFile(const mv53::OpenFileRequest&) override { return {}; }
    std::optional<std::string> SaveFile(const mv53::SaveFileRequest&) override { return {}; }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Silent prompt;
    mv53::ScopedPrompt scoped(prompt);

    QTemporaryDir dir;
    const std::string image = dir.filePath(QStringLiteral("radio.m53")).toStdString();
    {
        TText text;
        EncodeImage(text, allChannels(), true);
        sim::WriteMemoryFile(image, text.Raw());
    }
    const std::string only = argc > 1 ? argv[1] : "";
    QProcess radio;
    std::string device;
    if (!StartRadio(radio, image, true, device)) {
        std::fprintf(stderr, "radiosim did not start\n");
        return 1;
    }
    if (only == "trace") {
        QProcess fast;
        std::string fastDevice;
        const std::string trace = dir.filePath(QStringLiteral("upload.trace")).toStdString();
        bool ok = StartRadio(fast, image, false, fastDevice) && TraceCost("upload, unpaced line", fastDevice, trace, 7);
        ok = TraceCost("upload, paced 9600 8N2", device, trace, 3) && ok;
        for (QProcess* p : {&radio, &fast}) {
            p->terminate();
            p->waitForFinished(10000);
        }
        return ok ? 0 : 1;
    }

    const auto measure = [&](const char* name, TTransferKind kind, TProgramState& state, double fixed, double wireBytes) {
        mv53::TCloneTransfer transfer(state);
        transfer.SetDevicePath(device);
        const double cpu0 = cpuSeconds();
        const auto t0 = Clock::now();
        const bool ok = transfer.Run({.Kind = kind, .InChain = true});
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = cpuSeconds() - cpu0;
        if (!ok)
            std::printf("%s failed\n", name);
        print({name, wall, fixed, wireBytes, cpu});
        return ok;
    };

    TProgramState state;
    // Upload: Identify + ReadAll + 561 acknowledges from the PC; identify reply, 501 channel
    // frames (500 channels and the end frame) and 60 area frames from the radio.
    // Fixed: Open 100 + settle 100 + last acknowledge 100 + Close 100 + 200 ms.
    const double uploadBytes = 37 + 37 + 561 + 16 + 501 * 35 + 60 * 33;
    bool ok = only == "download" || measure("upload (500 channels)", TTransferKind::Upload, state, 0.6, uploadBytes);
    if (only == "upload") {
        radio.terminate();
        radio.waitForFinished(10000);
        return ok ? 0 : 1;
    }

    // User-data download: Identify, WriteBegin, 500 + 44 WriteBlocks, WriteEnd from the PC;
    // identify reply and 545 reply bytes from the radio.
    // Fixed: Open 100 + settle 100 + WriteEnd 2000 + before Close 200 + Close 300 ms.
    state.CurrentMem = allChannels();
    const double downloadBytes = 37.0 * (3 + 544) + 16 + 545;
    ok = measure("download (500 channels)", TTransferKind::UserData, state, 2.7, downloadBytes) && ok;

    radio.terminate();
    radio.waitForFinished(10000);
    return ok ? 0 : 1;
}
