// The clone window without a radio: captions, pictures, buttons, Cancel, help and closing.
// Transfers through the window run in CloneTransferTest against the simulator.

#include "link/Radio.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

TEST(RadioWindow, CancelBeforeTheTransferEndsWithoutTouchingAnything)
{
    mv53::test::ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped(prompt);
    TProgramState state;
    state.ComPortNo = 300;   // would fall back to COM1 if anything were opened
    state.CurrentText[100] = 0x42;
    // Cancel clicked, or Escape, which acts as Cancel while Cancel can be clicked.
    for (const bool escape : {false, true}) {
        QTimer::singleShot(0, [escape] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* frm = qobject_cast<TfrmRadio*>(w); frm && frm->isVisible())
                    escape ? QTest::keyClick(frm, Qt::Key_Escape) : frm->btnCancel->click();
        });
        EXPECT_FALSE(RunCloneWindow(state, {.Kind = escape ? TTransferKind::UserData : TTransferKind::Upload}, nullptr));
        EXPECT_TRUE(prompt.texts().empty());
        EXPECT_EQ(state.CurrentText[100], 0x42);
    }
}

TEST(RadioWindow, CannotBeClosedUntilDone)
{
    TProgramState state;
    TfrmRadio frm(state, {.Kind = TTransferKind::UserData});
    frm.show();
    QCloseEvent refused;
    QApplication::sendEvent(&frm, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_FALSE(frm.Done());
    frm.btnCancel->click();
    EXPECT_TRUE(frm.Done());
    QCloseEvent allowed;
    QApplication::sendEvent(&frm, &allowed);
    EXPECT_TRUE(allowed.isAccepted());
}

TEST(RadioWindow, AutoStartHidesOkAndCancel)
{
    TProgramState state;
    TfrmRadio frm(state, {.Kind = TTransferKind::Factory, .AutoStart = true});
    frm.show();
    EXPECT_FALSE(frm.btnOk->isVisible());
    EXPECT_FALSE(frm.btnCancel->isVisible());
    EXPECT_TRUE(frm.btnHelp->isVisible());
    EXPECT_TRUE(frm.Timer1.isActive());
    // Escape cannot stop a transfer that starts by itself.
    QTest::keyClick(&frm, Qt::Key_Escape);
    EXPECT_TRUE(frm.isVisible());
    frm.Timer1.stop();
}
