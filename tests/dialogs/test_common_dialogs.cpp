// The common parameter dialogs driven offscreen: the shared keyboard handling of every dialog,
// and the rules of Hardware, Key Function, System and Marketing.

#include "DialogTestSupport.h"

#include "dialogs/CommA1A.h"
#include "dialogs/CommSystem.h"
#include "dialogs/Hardware.h"
#include "dialogs/KeyFunc.h"
#include "dialogs/Market.h"
#include "dialogs/Misc.h"
#include "dialogs/Option.h"
#include "dialogs/PowerSave.h"
#include "dialogs/Selcall.h"
#include "dialogs/Telephone.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <functional>
#include <memory>

using namespace mv53::test;

namespace {

TCmmOpt g_opt;

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<TParamDialog>()> make;
    const char* firstField = "";
};

const DialogCase kDialogs[] = {
    {"A1A", [] { return std::make_unique<TfrmComA1A>(); }, "cmbCWDelay"},
    {"Hardware", [] { return std::make_unique<TfrmHardware>(true); }, "cmbHail"},
    {"PowerSave", [] { return std::make_unique<TfrmPowerSave>(); }, "cmbHoldTime"},
    {"KeyFunc", [] { return std::make_unique<TfrmKeyFunc>(); }, "cmbA"},
    {"Misc", [] { return std::make_unique<TfrmMisc>(); }, "cmbBeep"},
    {"System", [] { return std::make_unique<TfrmSystem>(); }, "cmbDataMode"},
    {"Option", [] { return std::make_unique<TfrmOption>(); }, "cmbEncryptU"},
    {"Selcall", [] { return std::make_unique<TfrmSelcall>(g_opt); }, "cmbSelcall"},
    {"Telephone", [] { return std::make_unique<TfrmTelephone>(); }, "cmbTelCallType"},
};

}  // namespace

// Every dialog opens on its first field, which an arrow key changes, and Tab visits every list
// top to bottom, then Ok and Cancel. Every drop-down list of every dialog: Alt + its label's
// letter moves the focus to it, the hint bar describes it, Enter opens and closes it without
// closing the dialog, F1 opens its topic.
TEST(ParamDialogs, FirstFieldTabOrderAndEveryListsAltKeyEnterAndF1)
{
    g_opt.SetSelcallUnit(1);
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(c.name);
        auto dlg = c.make();
        std::vector<int> help;
        dlg->SetHelpHandler([&help](int context) { help.push_back(context); });
        ShowActive(*dlg);
        auto* first = qobject_cast<QComboBox*>(QApplication::focusWidget());
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->objectName().toStdString(), c.firstField);
        const std::vector<QWidget*> cycle = TabCycle();
        ASSERT_GE(cycle.size(), 3u);
        EXPECT_EQ(cycle[cycle.size() - 2], dlg->btnOk);
        EXPECT_EQ(cycle.back(), dlg->btnCancel);
        int top = -1;
        const auto lists = dlg->findChildren<QComboBox*>();
        for (QComboBox* list : lists) {
            if (!list->isVisible())
                continue;
            const auto at = std::find(cycle.begin(), cycle.end(), list);
            ASSERT_NE(at, cycle.end()) << list->objectName().toStdString();
            EXPECT_GE(at - cycle.begin(), top) << list->objectName().toStdString();
            top = static_cast<int>(at - cycle.begin());
        }
        const int index = first->currentIndex();   // the focus is back on the first field
        QTest::keyClick(first, index + 1 < first->count() ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_NE(first->currentIndex(), index);
        first->setCurrentIndex(index);

        for (QComboBox* list : lists) {
            SCOPED_TRACE(list->objectName().toStdString());
            QLabel* label = dlg->LabelOf(list);
            ASSERT_NE(label, nullptr);
            const QString caption = label->text();
            const int amp = caption.indexOf(QLatin1Char('&'));
            ASSERT_GE(amp, 0);
            Enter(dlg->btnCancel);
            // A letter that "&Ok" shares (P&ower Save) reaches the list on the second press.
            for (int press = 0; press < 2 && QApplication::focusWidget() != list; ++press)
                QTest::keyClick(dlg.get(), caption[amp + 1].toLatin1(), Qt::AltModifier);
            EXPECT_EQ(QApplication::focusWidget(), list);
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_FALSE(dlg->pnlHint1->text().isEmpty());
            EXPECT_EQ(dlg->pnlHint2->text(), QStringLiteral("<SELECT>"));
            // Both parts of the hint are readable whole.
            for (QLabel* part : {dlg->pnlHint1, dlg->pnlHint2})
                EXPECT_LE(part->fontMetrics().horizontalAdvance(part->text()), part->contentsRect().width())
                    << part->text().toStdString();

            QTest::keyClick(list, Qt::Key_Return);
            EXPECT_TRUE(list->view()->isVisible());
            QTest::keyClick(list->view(), Qt::Key_Return);
            EXPECT_FALSE(list->view()->isVisible());
            EXPECT_TRUE(dlg->isVisible());

            help.clear();
            QTest::keyClick(list, Qt::Key_F1);
            EXPECT_EQ(help, std::vector<int>{dlg->HelpContextOf(list)});
            EXPECT_GT(dlg->HelpContextOf(list), 0);
        }
        // The buttons have no hint; Escape cancels.
        Enter(dlg->btnOk);
        EXPECT_TRUE(dlg->pnlHint1->text().isEmpty() && dlg->pnlHint2->text().isEmpty());
        QTest::keyClick(dlg->btnOk, Qt::Key_Escape);
        EXPECT_EQ(dlg->result(), QDialog::Rejected);
        EXPECT_FALSE(dlg->isVisible());
    }
}

// A value the list cannot show (a damaged file) comes back as it came when "&Ok" is pressed
// without choosing in that list; choosing in another list still counts.
TEST(ParamDialogs, AValueOutsideItsListSurvivesOk)
{
    TfrmMisc dlg;
    dlg.Misc.SetBeep(7);
    dlg.Misc.SetVoxGain(250);
    ShowActive(dlg);
    EXPECT_EQ(dlg.cmbBeep->currentIndex(), -1);
    Choose(dlg.cmbVoxDelay, QStringLiteral("2000 ms"));
    dlg.btnOk->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Misc.Beep(), 7);
    EXPECT_EQ(dlg.Misc.VoxGain(), 250);
    EXPECT_EQ(dlg.Misc.VoxDelay(), 3);
}

TEST(ParamDialogs, KeyFunctionGivesNoFunctionToTwoSwitches)
{
    TfrmKeyFunc dlg;
    dlg.FactoryOpt.SetKeyFunc(1, 12);   // Lamp; the other switches N/A
    ShowActive(dlg);
    EXPECT_TRUE(Items(dlg.cmbA).contains(QStringLiteral("SELCALL")));
    EXPECT_FALSE(Items(dlg.cmbA).contains(QStringLiteral("Lamp")));
    EXPECT_EQ(dlg.cmbB->currentText(), QStringLiteral("Lamp"));
    EXPECT_EQ(Items(dlg.cmbB).count(QStringLiteral("N/A")), 1);
    EXPECT_EQ(dlg.cmbA->currentText(), QStringLiteral("N/A"));

    // A function chosen for one switch leaves the others' lists.
    Enter(dlg.cmbA);
    Choose(dlg.cmbA, QStringLiteral("SELCALL"));
    Enter(dlg.cmbC);
    EXPECT_EQ(dlg.FactoryOpt.KeyFunc(0), 1);
    for (QComboBox* other : {dlg.cmbB, dlg.cmbC})
        EXPECT_FALSE(Items(other).contains(QStringLiteral("SELCALL")));

    // "N/A" on the first switch frees SELCALL again.
    Enter(dlg.cmbA);
    Choose(dlg.cmbA, QStringLiteral("N/A"));
    Enter(dlg.cmbB);
    EXPECT_EQ(dlg.FactoryOpt.KeyFunc(0), 0);
    EXPECT_TRUE(Items(dlg.cmbC).contains(QStringLiteral("SELCALL")));

    // A choice left in the focused list counts when "&Ok" is pressed by its Alt key.
    Choose(dlg.cmbB, QStringLiteral("TELCALL"));
    QTest::keyClick(&dlg, 'O', Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&dlg] { return !dlg.isVisible(); }));   // an Alt-key click answers a moment later
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.FactoryOpt.KeyFunc(1), 9);
}

TEST(ParamDialogs, PacketOffsetIsLimitedAndRoundedWhenLeft)
{
    struct Case {
        const char* typed;
        const char* shown;
        int32_t stored;
    };
    const Case cases[] = {
        {"2125", "2120 Hz", 212}, {"-3500", "-3000 Hz", -300}, {"12-3", "0 Hz", 0},
        {"+999", "990 Hz", 99},   {"-15", "-10 Hz", -1},       {"x75", "70 Hz", 7},   // x is dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TfrmSystem dlg;
        dlg.FactoryOpt.SetPktOffset(-212);
        ShowActive(dlg);
        EXPECT_EQ(dlg.edtPktOffset->text(), QStringLiteral("-2120 Hz"));
        Enter(dlg.edtPktOffset);
        Type(dlg.edtPktOffset, c.typed);   // the first key replaces the text
        Enter(dlg.cmbPktTone);
        EXPECT_EQ(dlg.edtPktOffset->text(), QString::fromLatin1(c.shown));
        dlg.btnOk->click();
        EXPECT_EQ(dlg.FactoryOpt.PktOffset(), c.stored);
    }
}

// Enter toggles the edit state with all selected; Escape first restores, then cancels.
TEST(ParamDialogs, PacketOffsetEnterTogglesEditingEscapeRestoresThenCancels)
{
    TfrmSystem dlg;
    dlg.FactoryOpt.SetPktOffset(50);
    ShowActive(dlg);
    Enter(dlg.edtPktOffset);
    EXPECT_TRUE(dlg.edtPktOffset->isReadOnly());
    QTest::keyClick(dlg.edtPktOffset, Qt::Key_Return);
    EXPECT_TRUE(dlg.PktOffsetEditing());
    EXPECT_FALSE(dlg.edtPktOffset->isReadOnly());
    EXPECT_EQ(dlg.edtPktOffset->selectedText(), dlg.edtPktOffset->text());
    QTest::keyClick(dlg.edtPktOffset, Qt::Key_Return);
    EXPECT_FALSE(dlg.PktOffsetEditing());
    EXPECT_TRUE(dlg.isVisible());
    Type(dlg.edtPktOffset, "12");
    EXPECT_TRUE(dlg.PktOffsetEditing());
    EXPECT_EQ(dlg.edtPktOffset->text(), QStringLiteral("12"));
    QTest::keyClick(dlg.edtPktOffset, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.PktOffsetEditing());
    EXPECT_EQ(dlg.edtPktOffset->text(), QStringLiteral("500 Hz"));
    // Ctrl held: nothing typed.
    QTest::keyClick(dlg.edtPktOffset, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(dlg.edtPktOffset, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.FactoryOpt.PktOffset(), 50);
}

// An offset beyond the limits (a damaged file) is shown at the limit but not written back
// unless the user types a new one.
TEST(ParamDialogs, AnUntouchedOffsetBeyondTheLimitsComesBackAsItWas)
{
    TfrmSystem dlg;
    dlg.FactoryOpt.SetPktOffset(450);
    ShowActive(dlg);
    EXPECT_EQ(dlg.edtPktOffset->text(), QStringLiteral("3000 Hz"));
    Choose(dlg.cmbTot, QStringLiteral("10 min"));
    dlg.btnOk->click();
    EXPECT_EQ(dlg.FactoryOpt.PktOffset(), 450);
    EXPECT_EQ(dlg.Sys.Tot(), 20);
}
