// dialogshot keyfunc|selcall|system|alignment|compare|gridedit OUT.png: draws the dialog with
// example settings into a picture, one field focused so that its hint shows in the hint bar (the
// compare window: the changes a Download would make to a radio: a frequency, a tag, a channel
// added, one removed and a setting; gridedit: the main window with a few channels, three of them
// selected, and the find bar).

#include "app/Changes.h"
#include "grid/ChannelGrid.h"
#include "app/Main.h"
#include "dialogs/CommSystem.h"
#include "dialogs/KeyFunc.h"
#include "dialogs/Selcall.h"
#include "model/U_E2prom.h"
#include "service/Alignment.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The main window on a scratch folder with a small frequency plan, channels 2 to 4 selected and
// the find bar showing a search.
int DrawGridEdit(const char* out)
{
    QTemporaryDir dir;
    TMainOptions options;
    options.ProgramDir = dir.path();
    options.ConfigPath = dir.filePath(QStringLiteral("MV53Win.ini"));
    options.HelpFolder = dir.filePath(QStringLiteral("help"));
    TfrmMain win(options);
    const std::pair<const char*, double> plan[] = {{"HARBOUR", 2.182},  {"NET A", 4.125},  {"NET B", 6.215},
                                                   {"NET C", 8.291},    {"PILOT", 12.290}, {"COASTAL", 16.420}};
    for (int i = 0; i < 6; ++i) {
        TChannel& ch = win.State().GridChannels.Items(i);
        ch.SetStatus(mv53::kChannelUsed);
        ch.SetTag(plan[i].first);
        ch.RxFreq().FromFloat(plan[i].second);
        ch.TxFreq().FromFloat(plan[i].second);
    }
    win.RefreshMainWindow();
    win.resize(760, 420);
    win.show();
    win.activateWindow();
    win.ShowFindBar();
    win.FindEdit()->setText(QStringLiteral("NET"));
    win.FindNext();
    TChannelGrid* grid = win.Grid();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(1, 0), grid->model()->index(3, 10)),
                                   QItemSelectionModel::ClearAndSelect);
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    if (!win.grab().save(QString::fromLocal8Bit(out))) {
        std::fprintf(stderr, "dialogshot: cannot write %s\n", out);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string which = argc == 3 ? argv[1] : "";
    if (which != "keyfunc" && which != "selcall" && which != "system" && which != "alignment" && which != "compare" &&
        which != "gridedit") {
        std::fprintf(stderr, "usage: dialogshot keyfunc|selcall|system|alignment|compare|gridedit OUT.png\n");
        return 1;
    }
    if (which == "gridedit")
        return DrawGridEdit(argv[2]);
    TCmmOpt opt;
    opt.SetSelcallUnit(1);
    TProgramState state;
    ClearRecords(state.CurrentMem);
    std::unique_ptr<QDialog> dlg;
    QWidget* first = nullptr;
    if (which == "keyfunc") {
        auto keys = std::make_unique<TfrmKeyFunc>();
        keys->FactoryOpt.SetKeyFunc(0, 1);
        keys->FactoryOpt.SetKeyFunc(1, 12);
        keys->FactoryOpt.SetKeyFunc(2, 0);
        first = keys->cmbB;
        dlg = std::move(keys);
    } else if (which == "selcall") {
        auto sel = std::make_unique<TfrmSelcall>(opt);
        sel->Sel.SetSelfId("1234");
        sel->Sel.SetKillSystem(1);
        sel->Sel.SetKillId("87654321");
        sel->Sel.SetPreamble(2);
        sel->Sel.SetSelHoldTime(3);
        for (int i = 0; i < TCmmSel::kTxIdCount; ++i)
            sel->Sel.TxIds(i).SetTxId(i < 3 ? std::to_string(2001 + i) : "0000");
        first = sel->cmbSelcall;
        dlg = std::move(sel);
    } else if (which == "system") {
        auto sys = std::make_unique<TfrmSystem>();
        sys->Sys = state.CurrentMem.Sys();
        sys->FactoryOpt = state.CurrentMem.FactoryOpt();
        first = sys->edtPktOffset;
        dlg = std::move(sys);
    } else if (which == "compare") {
        TMVmem radio = state.CurrentMem;
        for (int i = 0; i < 6; ++i) {
            radio.Channels().Items(i).SetStatus(mv53::kChannelUsed);
            radio.Channels().Items(i).RxFreq().FromFloat(7.05 + 0.01 * i);
            radio.Channels().Items(i).TxFreq().FromFloat(7.05 + 0.01 * i);
        }
        TMVmem doc = radio;
        doc.Channels().Items(0).RxFreq().FromFloat(7.1);
        doc.Channels().Items(1).SetTag("MARINE");
        doc.Channels().Items(5).SetStatus(0xFF);
        doc.Channels().Items(7).SetStatus(mv53::kChannelUsed);
        doc.A1A().SetCwDelay(radio.A1A().CwDelay() + 1);
        TText oldImage;
        TText newImage;
        EncodeImage(oldImage, radio, false);
        EncodeImage(newImage, doc, false);
        auto changes = std::make_unique<TfrmChanges>(mv53::CompareImages(oldImage, newImage), TChangesUse::BeforeWrite);
        first = changes->grdChanges;
        dlg = std::move(changes);
    } else {
        // Commands that do nothing, so that the picture shows their buttons enabled.
        TServiceHost host;
        host.Download = [](TProgramState&, const TTransferRequest&, QWidget*, std::string*) { return true; };
        host.FileOpen = [] {};
        host.Print = [](TServiceReport, QWidget*) {};
        auto alignment = std::make_unique<TfrmAlignment>(state, std::move(host));
        alignment->Alignment().Assign(state.CurrentMem.Alignment());
        alignment->FactoryOpt().Assign(state.CurrentMem.FactoryOpt());
        first = alignment->SpinEdit[1];
        dlg = std::move(alignment);
    }
    dlg->show();
    dlg->activateWindow();
    first->setFocus();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
    if (!dlg->grab().save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "dialogshot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
