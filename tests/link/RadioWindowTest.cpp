// The clone window without a radio: captions, pictures, buttons, Cancel, help and closing.
// Transfers through the window run in CloneTransferTest against the simulator.

#include "link/Radio.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The direction shows in the caption and the pictures' order; the bar runs to the last block
// of the kind.
TEST(RadioWindow, UploadAndDownloadLayouts)
{
    TProgramState state;
    const int maxima[][2] = {{0, 559}, {1, 543}, {2, 15}, {3, 31}, {5, 1}};
    for (const auto& [kind, maximum] : maxima) {
        TfrmRadio frm(state, kind);
        frm.show();
        EXPECT_EQ(frm.windowTitle(), kind == 0 ? QStringLiteral("Upload Function") : QStringLiteral("Download Function"));
        EXPECT_EQ(frm.imgPc->x() > frm.imgRadio->x(), kind == 0) << kind;
        EXPECT_EQ(frm.ProgressBar1->maximum(), maximum) << kind;
        EXPECT_TRUE(frm.btnOk->isVisible() && frm.btnCancel->isVisible() && frm.btnHelp->isVisible());
        EXPECT_FALSE(frm.windowFlags() & Qt::WindowCloseButtonHint);
    }
    // Each step line of the Download chain fits the window whole, in whatever font it has.
    for (TChainStage stage : {TChainStage::UserData, TChainStage::ReadBack, TChainStage::Factory}) {
        state.ChainStage = stage;
        TfrmRadio frm(state, 1);
        frm.show();
        EXPECT_LE(frm.lblStage->fontMetrics().horizontalAdvance(frm.lblStage->text()), frm.lblStage->width());
        EXPECT_LE(frm.lblStage->geometry().right(), frm.width());
        EXPECT_LT(frm.imgPc->x(), frm.imgArrow->x());
    }
}

TEST(RadioWindow, CancelBeforeTheTransferEndsWithoutTouchingAnything)
{
    mv53::test::ScriptedPrompt prompt;
    mv53::ScopedPrompt scoped(prompt);
    TProgramState state;
    state.ComPortNo = 300;   // would fall back to COM1 if anything were opened
    state.CurrentText[100] = 0x42;
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* frm = qobject_cast<TfrmRadio*>(w); frm && frm->isVisible())
                frm->btnCancel->click();
    });
    EXPECT_FALSE(RadioUpload(state, nullptr));
    EXPECT_TRUE(prompt.texts().empty());
    EXPECT_EQ(state.CurrentText[100], 0x42);

    // Escape acts as Cancel while Cancel can be clicked.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* frm = qobject_cast<TfrmRadio*>(w); frm && frm->isVisible())
                QTest::keyClick(frm, Qt::Key_Escape);
    });
    EXPECT_FALSE(RadioDownload(state, 1, nullptr));
    EXPECT_TRUE(prompt.texts().empty());
}

TEST(RadioWindow, CannotBeClosedUntilDone)
{
    TProgramState state;
    TfrmRadio frm(state, 1);
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

TEST(RadioWindow, AutoStartHidesOkAndCancelAndClearsTheFlag)
{
    TProgramState state;
    state.AutoStartTransfer = true;
    TfrmRadio frm(state, 2);
    frm.show();
    EXPECT_FALSE(state.AutoStartTransfer);
    EXPECT_FALSE(frm.btnOk->isVisible());
    EXPECT_FALSE(frm.btnCancel->isVisible());
    EXPECT_TRUE(frm.btnHelp->isVisible());
    EXPECT_TRUE(frm.Timer1.isActive());
    // Escape cannot stop a transfer that starts by itself.
    QTest::keyClick(&frm, Qt::Key_Escape);
    EXPECT_TRUE(frm.isVisible());
    frm.Timer1.stop();
}

TEST(RadioWindow, HelpOpensTheTopicOfTheDirection)
{
    std::vector<int> topics;
    TfrmRadio::SetHelpHook([&](int context) { topics.push_back(context); });
    TProgramState state;
    TfrmRadio up(state, 0);
    up.btnHelp->click();
    TfrmRadio down(state, 3);
    down.btnHelp->click();
    TfrmRadio::SetHelpHook({});
    down.btnHelp->click();   // no help: nothing happens
    EXPECT_EQ(topics, (std::vector<int>{166, 168}));
}
