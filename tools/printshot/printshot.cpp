// printshot: a picture of the print preview of a data file, for the documentation.
//   printshot DATAFILE OUT.png [--two-page] [--zoom N]
// Runs on the offscreen platform; the preview shows the user report with all three sections.

#include "model/Prompt.h"
#include "model/U_FileAccess.h"
#include "print/Preview.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::cerr << "usage: printshot DATAFILE OUT.png [--two-page] [--zoom N]\n";
        return 1;
    }
    bool twoPage = false;
    int zoom = 0;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--two-page") == 0)
            twoPage = true;
        else if (std::strcmp(argv[i], "--zoom") == 0 && i + 1 < argc)
            zoom = std::atoi(argv[++i]);
    }
    TProgramState state;
    if (!ReadDataFile(argv[1], state.CurrentMem, state.CurrentText)) {
        std::cerr << "printshot: cannot read " << argv[1] << "\n";
        return 1;
    }
    state.CurrentFileName = argv[1];
    state.PrintSelection = {true, true, true};

    TfrmPreview preview(state, nullptr);
    preview.setWindowTitle(QStringLiteral("%1 - MV53 for KT-4680 Series").arg(QString::fromLocal8Bit(argv[1])));
    preview.resize(1000, 720);
    preview.show();
    if (twoPage)
        preview.TogglePageCount();
    for (int i = 0; i < zoom; ++i)
        preview.ZoomIn();
    QApplication::processEvents();
    if (!preview.grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::cerr << "printshot: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
