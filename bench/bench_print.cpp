// Timing of the largest user report (all 500 channels in use, all three sections, 10 pages):
// building the pages, making the preview's page bitmaps, and writing the PDF. Prints the
// median and the worst of the runs in milliseconds, and the median as a ratio to its goal.

#include "model/U_E2prom.h"
#include "print/PrintImage.h"
#include "print/ReportPainter.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
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
    const double median = ms[ms.size() / 2];
    std::printf("%-34s median %8.3f ms  max %8.3f ms  goal < %4.0f ms  ratio %.3f  (%d runs)\n", name, median, ms.back(),
                goalMs, median / goalMs, runs);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    TMVmem mem;
    ClearRecords(mem);
    for (int i = 0; i < TChannels::Count(); ++i) {
        TChannel& ch = mem.Channels().Items(i);
        ch.SetStatus(mv53::kChannelUsed);
        ch.SetTag("CH " + std::to_string(i));
        ch.RxFreq().FromFloat(0.5 + (i % 295) * 0.1 + 0.00123);
        ch.TxFreq().FromFloat(1.6 + (i % 284) * 0.1);
        ch.SetTxOff(i % 11 == 0 ? 1 : 0);
        ch.SetEncryptOn(i % 2);
    }
    const TReportSource source{&mem, "/data/fleet.m53", "12/31/2026", '.'};
    auto build = [&] {
        TPrtImg r(source);
        r.MakeReport({true, true, true}, {});
        return r;
    };
    const TPrtImg report = build();
    std::printf("pages: %d\n", report.PageCount());

    Measure("page model (10 pages)", 200, 5, [&] { (void)build(); });
    Measure("preview bitmaps (10 pages, A4)", 20, 150, [&] { (void)mv53::MakePreviewBitmaps(report, mv53::kPageA4); });
    QTemporaryDir dir;
    const QString pdf = QDir(dir.path()).filePath(QStringLiteral("bench.pdf"));
    Measure("PDF (10 pages, A4)", 20, 300, [&] { mv53::WriteReportPdf(report, pdf, QPageSize::A4, nullptr); });
    return 0;
}
