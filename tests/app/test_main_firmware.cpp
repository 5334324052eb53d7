// The main window's "&Firmware Update": it opens the firmware window on the program state,
// with the main window's COM port, shows a port chosen there at once, and commits nothing.

#include "MainWindowFixture.h"

#include "service/fw.h"

#include <QLabel>
#include <QPushButton>

using mv53::test::MainWindowTest;

TEST_F(MainWindowTest, FirmwareUpdateOpensTheFirmwareWindowOnTheProgramState)
{
    WriteConfig("[COMM]\nCOMPortNo=2\n");
    mv53::test::AnswerPassword(QString());
    TfrmMain& w = Start({QStringLiteral("-F"), QStringLiteral("BX-LUMINOSWIFT")});
    QString label, portShown;
    mv53::test::OnWindow<TfrmFSW>([&](TfrmFSW& frm) {
        label = frm.Label2->text();
        // As "&Configure" does after OK with another port.
        w.State().ComPortNo = 4;
        Q_EMIT frm.ComPortChanged();
        portShown = w.SystemValue(0, 2);
        frm.btnClose->click();
    });
    w.miFirmware->trigger();
    EXPECT_EQ(label, QStringLiteral("COM Port:COM3"));
    EXPECT_EQ(portShown, QStringLiteral("COM5"));
    EXPECT_FALSE(w.State().Modified);
    EXPECT_TRUE(prompt.texts().empty());
}
