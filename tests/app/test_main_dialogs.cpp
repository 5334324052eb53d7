// The parameter dialogs opened from the "&Common" and "&Selcall" menus: what comes back into
// the records on "&Ok", which flags change, and that Cancel or an unchanged "&Ok" change nothing.

#include "MainWindowFixture.h"

#include "grid/ChannelGrid.h"
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

#include <QAction>
#include <QComboBox>
#include <QPushButton>

using mv53::test::MainWindowTest;

namespace {

enum class Close { Ok, Cancel };

// Flags a dialog sets besides Modified.
struct Flags {
    bool a1a = false, hardware = false, keyFunc = false, system = false;
    bool operator==(const Flags&) const = default;
};

Flags FlagsOf(const TProgramState& s) { return {s.A1AChanged, s.HardwareChanged, s.KeyFuncChanged, s.SystemChanged}; }

struct MenuCase {
    const char* name;
    QAction* TfrmMain::*item;
    std::function<void(QDialog&)> edit;             // a change in the dialog, as a user makes it
    std::function<bool(const TProgramState&)> changed;   // the change arrived in the records
    Flags flags;                                     // set by the change
    bool factory;                                    // the change is in the factory record
};

template <typename D>
D& As(QDialog& d)
{
    auto* dlg = qobject_cast<D*>(&d);
    EXPECT_NE(dlg, nullptr);
    return *dlg;
}

void Pick(QComboBox* combo, int index) { combo->setCurrentIndex(index); }

const MenuCase kMenuCases[] = {
    {"A1A delay", &TfrmMain::miA1A, [](QDialog& d) { Pick(As<TfrmComA1A>(d).cmbCWDelay, 4); },
     [](const TProgramState& s) { return s.CurrentMem.A1A().CwDelay() == 4; }, {}, false},
    {"A1A pitch", &TfrmMain::miA1A, [](QDialog& d) { Pick(As<TfrmComA1A>(d).cmbCWPitch, 2); },
     [](const TProgramState& s) { return s.CurrentMem.FactoryOpt().CwPitch() == 2; }, {true, false, false, false}, true},
    {"Hardware lamp", &TfrmMain::miHardware, [](QDialog& d) { Pick(As<TfrmHardware>(d).cmbLamp, 3); },
     [](const TProgramState& s) { return s.CurrentMem.Hard().LampMode() == 3; }, {}, false},
    {"Power saving", &TfrmMain::miPowerSave, [](QDialog& d) { Pick(As<TfrmPowerSave>(d).cmbHoldTime, 50); },
     [](const TProgramState& s) { return s.CurrentMem.PwrSave().HoldTime() == 50; }, {}, false},
    {"Key function", &TfrmMain::miKeyFunc,
     [](QDialog& d) {
         // The list keeps the focus: "&Ok" takes its choice.
         auto& k = As<TfrmKeyFunc>(d);
         k.cmbB->setFocus();
         k.cmbB->setCurrentIndex(k.cmbB->findText(QStringLiteral("HAIL")));
     },
     [](const TProgramState& s) { return s.CurrentMem.FactoryOpt().KeyFunc(1) == 8; }, {false, false, true, false}, true},
    {"Misc", &TfrmMain::miMisc, [](QDialog& d) { Pick(As<TfrmMisc>(d).cmbVoxGain, 100); },
     [](const TProgramState& s) { return s.CurrentMem.Misc().VoxGain() == 100; }, {}, false},
    {"System TOT", &TfrmMain::miSystem, [](QDialog& d) { Pick(As<TfrmSystem>(d).cmbTot, 3); },
     [](const TProgramState& s) { return s.CurrentMem.Sys().Tot() == 3; }, {}, false},
    {"System tone", &TfrmMain::miSystem, [](QDialog& d) { Pick(As<TfrmSystem>(d).cmbPktTone, 3); },
     [](const TProgramState& s) { return s.CurrentMem.FactoryOpt().PktTone() == 3; }, {false, false, false, true}, true},
    {"Option", &TfrmMain::miOption, [](QDialog& d) { Pick(As<TfrmOption>(d).cmbTunerU, 1); },
     [](const TProgramState& s) { return s.CurrentMem.Opt().TunerUnit() == 1; }, {}, false},
    {"Selcall hold time", &TfrmMain::miSelCommon,
     [](QDialog& d) {
         auto& s = As<TfrmSelcall>(d);
         Pick(s.cmbSelcall, 1);
         Pick(s.cmbHoldTime, 19);
     },
     [](const TProgramState& s) { return s.CurrentMem.Sel().SelHoldTime() == 19; }, {}, false},
    {"Telephone", &TfrmMain::miTelephone, [](QDialog& d) { Pick(As<TfrmTelephone>(d).cmbTelCallType, 2); },
     [](const TProgramState& s) { return s.CurrentMem.TelNumbers().TelCallType() == 2; }, {}, false},
};

class MainDialogsTest : public MainWindowTest {
protected:
    // What the next dialog does: edit it or not, then close it.
    std::function<void(QDialog&)> edit;
    Close close = Close::Ok;
    int shown = 0;

    TfrmMain& StartWithDialogs(const std::function<void(TMVmem&)>& records = {}, QStringList args = {})
    {
        MakeDataFile(DefaultFile().toStdString(), records);
        TfrmMain& w = Start(std::move(args), [this](QDialog& d) {
            ++shown;
            d.show();
            if (edit)
                edit(d);
            d.findChild<QPushButton*>(close == Close::Ok ? QStringLiteral("btnOk") : QStringLiteral("btnCancel"))->click();
            return d.result();
        });
        w.show();
        return w;
    }
};

}  // namespace

TEST_F(MainDialogsTest, EachMenuDialogCopiesBackOnlyAChangeMadeBeforeOk)
{
    for (const MenuCase& c : kMenuCases) {
        for (const bool change : {false, true}) {
            for (const Close how : {Close::Cancel, Close::Ok}) {
                SCOPED_TRACE(std::string(c.name) + (change ? " changed" : " unchanged") +
                             (how == Close::Ok ? " Ok" : " Cancel"));
                TfrmMain& w = StartWithDialogs([](TMVmem& m) { m.Opt().SetSelcallUnit(1); });
                const TMVmem before = w.State().CurrentMem;
                const TFactoryOpt backup = w.State().FactoryBackup;
                ASSERT_TRUE((w.*c.item)->isEnabled());
                edit = change ? c.edit : nullptr;
                close = how;
                (w.*c.item)->trigger();
                ASSERT_EQ(shown, 1);
                shown = 0;
                const bool arrives = change && how == Close::Ok;
                EXPECT_EQ(c.changed(w.State()), arrives);
                EXPECT_EQ(w.State().Modified, arrives);
                EXPECT_EQ(FlagsOf(w.State()), arrives ? c.flags : Flags{});
                EXPECT_EQ(w.State().FactoryBackup,
                          arrives && c.factory ? w.State().CurrentMem.FactoryOpt() : backup);
                EXPECT_TRUE(arrives || mv53::test::SameRecords(w.State().CurrentMem, before));
                win.reset();
            }
        }
    }
}

TEST_F(MainDialogsTest, MarketingShowsTheSerialAndCommitsNothing)
{
    TfrmMain& w = StartWithDialogs();
    w.State().CurrentMem.FactoryOpt().SetSerialNo("6E000042");   // as read from a radio
    // A grid edit is still pending: Marketing leaves it in the grid.
    w.Grid()->CellAction(4, 0);
    QString serial;
    edit = [&serial](QDialog& d) { serial = As<TfrmMarket>(d).edtSerial->text(); };
    w.miMarketing->trigger();
    EXPECT_EQ(serial, QStringLiteral("6E000042"));
    EXPECT_FALSE(w.State().Modified);
    EXPECT_EQ(w.State().CurrentMem.Channels().Items(4).Status(), mv53::kChannelEmpty);
    // Any other dialog commits the grid first.
    close = Close::Cancel;
    edit = nullptr;
    w.miMisc->trigger();
    EXPECT_EQ(w.State().CurrentMem.Channels().Items(4).Status(), mv53::kChannelUsed);
    EXPECT_TRUE(w.State().Modified);
}

TEST_F(MainDialogsTest, SelcallUnitAloneMarksModifiedAndEnablesTelephone)
{
    TfrmMain& w = StartWithDialogs();
    w.State().CurrentMem.Sel().SetSelFlag(1);
    EXPECT_FALSE(w.miTelephone->isEnabled());
    w.State().PrintSelection.Selcall = false;
    edit = [](QDialog& d) { Pick(As<TfrmSelcall>(d).cmbSelcall, 1); };
    w.miSelCommon->trigger();
    EXPECT_EQ(w.State().CurrentMem.Opt().SelcallUnit(), 1);
    EXPECT_TRUE(w.State().Modified);
    EXPECT_TRUE(w.miTelephone->isEnabled());
    EXPECT_TRUE(w.State().PrintSelection.Selcall);

    // The Option dialog switches it off again.
    edit = [](QDialog& d) { Pick(As<TfrmOption>(d).cmbSelcallU, 0); };
    w.miOption->trigger();
    EXPECT_FALSE(w.miTelephone->isEnabled());
}

TEST_F(MainDialogsTest, HardwareRangesReachTheFactoryRecordInTheDealerMode)
{
    for (const bool dealer : {false, true}) {
        SCOPED_TRACE(dealer ? "dealer" : "normal");
        bool visible = false;
        edit = [&visible](QDialog& d) {
            auto& h = As<TfrmHardware>(d);
            visible = h.cmbRxFreqRange->isVisible();
            h.cmbRxFreqRange->setCurrentIndex(1);
        };
        TfrmMain& w = StartWithDialogs({}, dealer ? QStringList{QStringLiteral("-DR")} : QStringList{});
        ASSERT_EQ(w.State().ServiceMode, dealer);
        w.miHardware->trigger();
        EXPECT_EQ(visible, dealer);
        EXPECT_EQ(w.State().CurrentMem.FactoryOpt().RxRange(), dealer ? 1 : 0);
        EXPECT_EQ(w.State().HardwareChanged, dealer);
        EXPECT_EQ(w.SystemValue(1, 0).startsWith(QStringLiteral("RX 3-30")), dealer);
        win.reset();
    }
}
