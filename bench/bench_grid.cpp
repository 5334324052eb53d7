// Timing of the channel grid on the offscreen platform: Fill() of all 500 rows, and the
// read-back into the channels followed by the comparison with the records, as CommitGrid does
// it on an unchanged grid. Prints the median and the worst of the runs in milliseconds.

#include "grid/ChannelGrid.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

template <typename F>
void Measure(const char* name, int runs, double goalMs, F&& body)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s median %7.3f ms  max %7.3f ms  (goal < %.0f ms, %d runs)\n", name, ms[ms.size() / 2], ms.back(),
                goalMs, runs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TProgramState state;
    for (int i = 0; i < TChannels::Count(); ++i) {
        TChannel& ch = state.GridChannels.Items(i);
        ch.SetStatus(i % 3 == 0 ? mv53::kChannelEmpty : mv53::kChannelUsed);
        ch.SetTag("CH " + std::to_string(i));
        ch.RxFreq().FromFloat(0.5 + (i % 295) * 0.1 + 0.00123);
        ch.TxFreq().FromFloat(1.6 + (i % 284) * 0.1);
        ch.SetTxOff(i % 11 == 0 ? 1 : 0);
        ch.SetMode(i % 5);
        ch.SetEncryptOn(i % 2);
        ch.SetEncryptCode(i % 2 == 0 ? 0 : i % 16);
    }
    state.CurrentMem.Channels().Assign(state.GridChannels);

    TChannelGrid grid(state);
    grid.resize(760, 480);
    grid.show();
    QApplication::processEvents();

    // Each Fill is followed by the repaint it causes, as in the running program.
    Measure("Fill (500 rows) + repaint", 50, 20, [&] {
        grid.Fill();
        grid.viewport()->repaint();
    });
    Measure("Fill (500 rows) alone", 50, 20, [&] { grid.Fill(); });
    bool equal = true;
    Measure("GridToChannels + Equals, unchanged grid", 200, 5, [&] {
        grid.GridToChannels();
        equal = equal && state.GridChannels.Equals(state.CurrentMem.Channels());
    });
    std::printf("unchanged grid compares equal: %s\n", equal ? "yes" : "NO");
    return equal ? 0 : 1;
}
