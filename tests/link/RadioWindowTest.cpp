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
    using K = TTransferKind;
    const std::pair<K, int> maxima[] = {{K::Upload, 559}, {K::UserData, 543}, {K::Factory, 15}, {K::AntTuner, 31}, {K::ReadSerial, 1}};
    for (const auto& [kind, maximum] : maxima) {
        TfrmRadio frm(state, {.Kind = kind});
        frm.show();
        const bool upload = kind == K::Upload;
        EXPECT_EQ(frm.windowTitle(), upload ? QStringLiteral("Upload Function") : QStringLiteral("Download Function"));
        EXPECT_EQ(frm.imgPc->x() > frm.imgRadio->x(), upload) << maximum;
        EXPECT_EQ(frm.ProgressBar1->maximum(), maximum);
        EXPECT_TRUE(frm.btnOk->isVisible() && frm.btnCancel->isVisible() && frm.btnHelp->isVisible());
        EXPECT_FALSE(frm.windowFlags() & Qt::WindowCloseButtonHint);
    }
    // Each step line of the Download chain fits the window whole, in whatever font it has.
    for (TChainStage stage : {TChainStage::UserData, TChainStage::ReadBack, TChainStage::Factory}) {
        const int step = static_cast<int>(stage);
        TfrmRadio frm(state, {.Kind = K::UserData, .Stage = stage, .Step = step, .StepCount = 3});
        frm.show();
        EXPECT_TRUE(frm.lblStage->text().startsWith(QStringLiteral("Step %1 of 3: ").arg(step)));
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
    EXPECT_FALSE(RunCloneWindow(state, {}, nullptr));
    EXPECT_TRUE(prompt.texts().empty());
    EXPECT_EQ(state.CurrentText[100], 0x42);

    // Escape acts as Cancel while Cancel can be clicked.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* frm = qobject_cast<TfrmRadio*>(w); frm && frm->isVisible())
                QTest::keyClick(frm, Qt::Key_Escape);
    });
    EXPECT_FALSE(RunCloneWindow(state, {.Kind = TTransferKind::UserData}, nullptr));
    EXPECT_TRUE(prompt.texts().empty());
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
