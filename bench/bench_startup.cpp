// Start-up of the main window on the offscreen platform: from the window's creation (command
// line, configuration file, default data file, grid fill) until it is shown and painted.
// Goal: under 0.5 s. Run: bench_startup [runs]

#include "app/Main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer appTimer;
    appTimer.start();
    QApplication app(argc, argv);
    const double appMs = static_cast<double>(appTimer.nsecsElapsed()) / 1e6;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    std::vector<double> firstRun, laterRuns;
    QTemporaryDir dir;
    for (int i = 0; i < runs; ++i) {
        // Run 0 creates the default file; the later runs read it, as a normal start does.
        TMainOptions options;
        options.ProgramDir = dir.path();
        options.ConfigPath = dir.filePath(QStringLiteral("MV53Win.ini"));
        options.HelpFolder = dir.filePath(QStringLiteral("help"));
        QElapsedTimer t;
        t.start();
        auto* win = new TfrmMain(std::move(options));
        win->show();
        QCoreApplication::processEvents();
        win->grab();   // one full paint
        const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        (i == 0 ? firstRun : laterRuns).push_back(ms);
        win->close();
        delete win;
        QCoreApplication::processEvents();
    }
    std::sort(laterRuns.begin(), laterRuns.end());
    std::printf("QApplication                    %8.1f ms\n", appMs);
    std::printf("main window, first start        %8.1f ms (writes the default file)\n", firstRun[0]);
    if (!laterRuns.empty())
        std::printf("main window, later starts       %8.1f ms median, %.1f ms max (%zu runs)\n",
                    laterRuns[laterRuns.size() / 2], laterRuns.back(), laterRuns.size());
    return 0;
}
