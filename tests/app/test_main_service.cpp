// The service windows from the main window's "&Radio" menu: the upload question before them,
// the records they start from, and what reaches CurrentMem when they close.

#include "MainWindowFixture.h"

#include "service/Alignment.h"
#include "service/AntTuneSet.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

using namespace mv53;
using namespace mv53::test;

// Yes uploads first (the upload starts by itself), and the window starts from the uploaded
// records; a value written in the window is in CurrentMem afterwards, without a copy-back.
TEST_F(MainWindowTest, YesUploadsFirstAndTheWindowStoresItsOwnChanges)
{
    TfrmMain& w = Start({QStringLiteral("-DR")});
    onUpload = [](TProgramState& s) { s.CurrentMem.Alignment().SetValues(7, 99); };
    prompt.answers = {PromptAnswer::Yes};
    int shown = -1;
    OnWindow<TfrmAlignment>([&shown](TfrmAlignment& f) {
        shown = f.SpinEdit[6]->value();   // Rx Gain, position 7
        f.SpinEdit[6]->setValue(100);
        f.btnWrite->click();
        f.btnCancel->click();
    });
    w.miAlignment->trigger();
    EXPECT_EQ(shown, 99);   // the window was there, on the uploaded records
    EXPECT_EQ(calls, (std::vector<LinkCall>{{TTransferKind::Upload, false, true}, {TTransferKind::Factory, false, false}}));
    EXPECT_EQ(w.State().CurrentMem.Alignment().Values(7), 100);
    EXPECT_TRUE(w.State().Modified);
}

TEST_F(MainWindowTest, TunerWindowStartsFromCurrentMem)
{
    TfrmMain& w = Start({QStringLiteral("-DR")});
    w.State().CurrentMem.AntTuner1().Entries(3).SetTuneL(77);
    prompt.answers = {PromptAnswer::No};
    std::string cell;
    OnWindow<TfrmAntTuneSet>([&cell](TfrmAntTuneSet& f) {
        cell = f.grdTuneData->CellText(253, 9);
        f.close();
    });
    w.miAntTuneSet->trigger();
    EXPECT_EQ(cell, " 77");   // No: no upload (the document's test), the window on the records held
}

// Every command of the "&Radio" menu that a mode shows is enabled and reaches its window or its
// transfer from the menu.
TEST_F(MainWindowTest, EveryRadioCommandWorksFromTheMenuInEachMode)
{
    struct Case {
        QStringList args;
        std::vector<std::string> reached;
    };
    const Case cases[] = {
        {{}, {"upload", "download"}},
        {{QStringLiteral("-DR")}, {"upload", "download", "TfrmAlignment", "TfrmAntTuneSet"}},
        {{QStringLiteral("-ME"), QStringLiteral("RIVET-PLANK")},
         {"upload", "download", "TfrmAlignment", "TfrmTempCorrect", "TfrmAntTuneSet"}},
        {{QStringLiteral("-S"), QStringLiteral("MARLINS-COPSE")},
         {"upload", "download", "TfrmAlignment", "TfrmTempCorrect", "TfrmAntTuneSet", "TfrmSerialW", "TfrmFSW"}},
        {{QStringLiteral("-F"), QStringLiteral("BX-LUMINOSWIFT")}, {"upload", "download", "TfrmFSW"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.args.join(QLatin1Char(' ')).toStdString());
        mv53::test::AnswerPassword(QString());
        TfrmMain& w = Start(k.args);
        QCoreApplication::processEvents();
        std::vector<std::string> reached;
        for (QAction* a : w.menuRadio->actions()) {
            if (!a->isVisible())
                continue;
            EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
            calls.clear();
            prompt.answers = {PromptAnswer::No};   // "Do you upload data from the radio?"
            std::string window;
            QTimer closer;
            QObject::connect(&closer, &QTimer::timeout, [&window] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    window = modal->metaObject()->className();
                    modal->close();
                }
            });
            closer.start(10);
            a->trigger();
            closer.stop();
            if (!window.empty())
                reached.push_back(window);
            else if (!calls.empty())
                reached.push_back(calls.front().kind == TTransferKind::Upload ? "upload" : "download");
        }
        EXPECT_EQ(reached, k.reached);
    }
}
