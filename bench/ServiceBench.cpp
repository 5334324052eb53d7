// Timing of the service functions on the offscreen platform, against the in-process radio
// simulator on a pseudo-terminal paced at the line rate:
//  - Spot-ADJ: from a value change (send-ready) to its frame being in at the radio, whose line
//    time the paced simulator counts (the frame's last byte is in one line time after the first);
//  - Spot-ADJ: from the last change of a fast drag to the radio holding that value;
//  - the antenna tuner grid: Fill of all 500 rows.
// Prints the median and the worst of the runs in milliseconds with the goal beside them.

#include "RadioSimulator.h"
#include "service/AntTuneSet.h"
#include "service/SpotAdj.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void RunEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void Report(const char* name, std::vector<double> ms, double goalMs)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s median %8.3f ms  max %8.3f ms  goal %6.1f ms  ratio %.2f (%zu runs)\n", name, ms[ms.size() / 2],
                ms.back(), goalMs, ms[ms.size() / 2] / goalMs, ms.size());
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    mv53::radiosim::RadioSimulator radio;
    radio.SetPacing(true);
    if (!radio.Start()) {
        std::fprintf(stderr, "simulator: %s\n", radio.LastError().c_str());
        return 1;
    }
    TProgramState state;
    mv53::TSpotAdjSender sender(state);
    sender.SetDevicePath(radio.DevicePath());
    if (!sender.Open()) {
        std::fprintf(stderr, "cannot open %s\n", radio.DevicePath().c_str());
        return 1;
    }

    // One frame at 9600 baud 8N1 takes 37 x 1.04 ms on the line. The goal counts the frame
    // leaving the PC within 20 ms; the radio has it whole one line time later, and that is what
    // is measured (the simulator stamps a frame with the paced arrival of its last byte).
    const double frameLineMs = 37 * 10 * 1000.0 / 9600;
    std::vector<double> sendDelay;
    for (int i = 0; i < 20; ++i) {
        RunEventsFor(mv53::TSpotAdjSender::kSendIntervalMs + 20);
        radio.ClearLogs();
        const auto changed = Clock::now();
        sender.ValueChanged(1, i);
        while (radio.Adjustments().empty())
            RunEventsFor(1);
        sendDelay.push_back(Ms(radio.Adjustments().front().time - changed));
    }
    Report("Spot-ADJ change to frame in at the radio", sendDelay, 20.0 + frameLineMs);

    // A drag: a change every 5 ms for 300 ms; then the time until the radio holds the last one.
    std::vector<double> settle;
    for (int run = 0; run < 8; ++run) {
        RunEventsFor(mv53::TSpotAdjSender::kSendIntervalMs + 20);
        radio.ClearLogs();
        Clock::time_point last;
        const int finalValue = 60 + run;
        for (int v = 0; v <= finalValue; ++v) {
            sender.ValueChanged(22, v);
            last = Clock::now();
            RunEventsFor(5);
        }
        Clock::time_point held {};
        for (int wait = 0; wait < 2000 && held == Clock::time_point {}; ++wait) {
            for (const auto& e : radio.Adjustments())
                if (!e.end && e.address == 0xE11F && e.value == finalValue)
                    held = e.time;
            if (held == Clock::time_point {})
                RunEventsFor(1);
        }
        settle.push_back(Ms(held - last));
    }
    Report("Spot-ADJ last change to the radio holding it", settle, mv53::TSpotAdjSender::kSendIntervalMs + frameLineMs);
    sender.Close();

    for (int i = 0; i < TChannels::Count(); i += 2)
        state.CurrentMem.Channels().Items(i).SetStatus(mv53::kChannelUsed);
    TTunerGrid grid(state);
    grid.resize(760, 500);
    grid.show();
    std::vector<double> fill;
    for (int i = 0; i < 30; ++i) {
        TAntTuner0 set0;
        TAntTuner1 set1;
        set0.Entries(i).SetTuneL(i);
        const auto start = Clock::now();
        grid.Fill(set0, set1);
        fill.push_back(Ms(Clock::now() - start));
    }
    Report("Antenna tuner grid fill, 500 rows", fill, 20.0);
    radio.Stop();
    return 0;
}
