// dialogshot keyfunc|selcall OUT.png: draws the dialog with example settings into a picture,
// the first list focused so that its hint shows in the hint bar.

#include "dialogs/KeyFunc.h"
#include "dialogs/Selcall.h"

#include <QApplication>
#include <QComboBox>
#include <QPixmap>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3 || (std::strcmp(argv[1], "keyfunc") != 0 && std::strcmp(argv[1], "selcall") != 0)) {
        std::fprintf(stderr, "usage: dialogshot keyfunc|selcall OUT.png\n");
        return 1;
    }
    TCmmOpt opt;
    opt.SetSelcallUnit(1);
    std::unique_ptr<TParamDialog> dlg;
    QWidget* first = nullptr;
    if (std::strcmp(argv[1], "keyfunc") == 0) {
        auto keys = std::make_unique<TfrmKeyFunc>();
        keys->FactoryOpt.SetKeyFunc(0, 1);
        keys->FactoryOpt.SetKeyFunc(1, 12);
        keys->FactoryOpt.SetKeyFunc(2, 0);
        first = keys->cmbB;
        dlg = std::move(keys);
    } else {
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
