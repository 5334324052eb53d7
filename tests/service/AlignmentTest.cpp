// The alignment window driven offscreen: what reaches CurrentMem and the radio on each way of
// leaving it, the carrier offset and serial number rules, LCD test and Spot-ADJ against the
// simulator.

#include "FocusTestSupport.h"
#include "ServiceTestSupport.h"
#include "service/Alignment.h"
#include "service/AntTuneSet.h"
#include "service/TempCorrect.h"

#include <QClipboard>
#include <QComboBox>
#include <QTabBar>
#include <QTest>

using mv53::test::HostCall;
using K = TTransferKind;
using mv53::test::Leave;
using mv53::test::LeaveBy;
using mv53::test::ShowActive;

namespace {

class AlignmentTest : public mv53::test::ServiceWindowTest {
protected:
    std::unique_ptr<TfrmAlignment> Open() { return Open(Host()); }
    std::unique_ptr<TfrmAlignment> Open(const TServiceHost& host)
    {
        auto frm = std::make_unique<TfrmAlignment>(state, host);
        frm->Alignment() = state.CurrentMem.Alignment();
        frm->FactoryOpt() = state.CurrentMem.FactoryOpt();
        frm->show();
        return frm;
    }
};

}  // namespace

// A changed value is never lost without a question, however the window is left; Yes stores
// and writes the factory area, No leaves CurrentMem as it was; unchanged, nothing is asked.
TEST_F(AlignmentTest, LeavingAsksOnlyWhenChangedAndYesWritesNoDiscards)
{
    LeaveEveryWay([this](Leave how, int answer) {
        const TMVmem before = state.CurrentMem;
        auto frm = Open();
        if (answer >= 0)
            frm->SpinEdit[4]->setValue(77);   // SQL level, position 5
        LeaveBy(*frm, how, frm->btnWrite);
        EXPECT_FALSE(frm->isVisible());
        EXPECT_TRUE(answer == 1 ? state.CurrentMem.Alignment().Values(5) == 77
                                : mv53::test::SameRecords(state.CurrentMem, before));
    });
}

// A service window opens on its first field (Enter there keeps it open); Tab ends on the buttons.
TEST_F(AlignmentTest, ServiceWindowsOpenOnTheFirstFieldAndTabEndsOnTheButtons)
{
    state.SerialMode = true;
    std::unique_ptr<TServiceWindow> windows[] = {std::make_unique<TfrmAlignment>(state, Host()),
                                                 std::make_unique<TfrmTempCorrect>(state, Host()),
                                                 std::make_unique<TfrmAntTuneSet>(state, Host())};
    const char* firstFields[] = {"SpinEdit1", "SpinEdit1_1", "grdTuneData"};
    for (std::size_t i = 0; i < std::size(windows); ++i) {
        TServiceWindow& frm = *windows[i];
        SCOPED_TRACE(firstFields[i]);
        ShowActive(frm);
        QWidget* first = QApplication::focusWidget();
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->objectName().toStdString(), firstFields[i]);
        QTest::keyClick(first, Qt::Key_Return);
        EXPECT_TRUE(frm.isVisible());
        std::vector<QWidget*> cycle = mv53::test::TabCycle();
        if (qobject_cast<QTabBar*>(cycle.back()) != nullptr)
            cycle.pop_back();   // the page tabs lead to the fields again
        ASSERT_GE(cycle.size(), 3u);
        EXPECT_EQ(cycle[cycle.size() - 2], frm.btnWrite);   // "File &Open" and "&Print" are off here
        EXPECT_EQ(cycle.back(), frm.btnCancel);
        frm.close();
    }
}

// Enter opens and closes a drop-down list; Alt+N, the letter of the caption " Serial ID &No.",
// reaches the serial number, where Escape first undoes the typing and then closes the window.
TEST_F(AlignmentTest, EnterOpensAListAndEscapeInTheSerialEditUndoesThenCloses)
{
    state.SerialMode = true;
    auto frm = Open();
    ShowActive(*frm);
    for (int i = 0; i < 4; ++i)   // Volt Warning 1 and 2 with their track bars
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), frm->cmbDtcxoSel);
    QTest::keyClick(frm->cmbDtcxoSel, Qt::Key_Return);
    EXPECT_TRUE(frm->cmbDtcxoSel->view()->isVisible());
    QTest::keyClick(frm->cmbDtcxoSel->view(), Qt::Key_Return);
    EXPECT_FALSE(frm->cmbDtcxoSel->view()->isVisible());

    ShowActive(*frm);   // again after the closed list
    QTest::keyClick(frm.get(), 'N', Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), frm->edtSerial);
    const QString serial = frm->edtSerial->text();
    QTest::keyClick(frm->edtSerial, Qt::Key_Return);
    QTest::keyClicks(frm->edtSerial, QStringLiteral("9"));
    QTest::keyClick(frm->edtSerial, Qt::Key_Escape);
    EXPECT_EQ(frm->edtSerial->text(), serial);
    EXPECT_TRUE(frm->isVisible());
    QTest::keyClick(frm->edtSerial, Qt::Key_Escape);
    EXPECT_FALSE(frm->isVisible());
}

// Text pasted into the serial number passes the serial key filter and its upper-casing, as
// typed text does: by Ctrl+V and by the context menu's Paste.
TEST_F(AlignmentTest, PastedSerialNumberPassesTheKeyFilter)
{
    state.SerialMode = true;
    for (const auto& [menu, pasted, stored] :
         {std::tuple{false, "6e000001", "6E000001"}, std::tuple{true, "6x-e0z1", "6E01    "}}) {
        SCOPED_TRACE(pasted);
        auto frm = Open();
        ShowActive(*frm);
        QApplication::clipboard()->setText(QString::fromLatin1(pasted));
        QTest::keyClick(frm.get(), 'N', Qt::AltModifier);
        QTest::keyClick(frm->edtSerial, Qt::Key_Return);   // edit state, all selected
        if (menu)
            frm->edtSerial->paste();   // what the context menu's "Paste" runs
        else
            QTest::keyClick(frm->edtSerial, Qt::Key_V, Qt::ControlModifier);
        frm->btnWrite->click();
        EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), stored);
    }
}

// ---- against the simulated radio -------------------------------------------------------------

TEST_F(AlignmentTest, SpotAdjSendsLiveAndLeavingWritesTheFactoryArea)
{
    StartRadio(mv53::test::ClearedRecords());
    auto frm = Open();
    frm->btnSpotAdj->click();
    ASSERT_TRUE(frm->SpotAdjOn());
    EXPECT_FALSE(frm->btnLcdTest->isEnabled());
    QTest::qWait(mv53::TSpotAdjSender::kSendIntervalMs + 50);
    frm->SpinEdit[47]->setValue(-1500);
    QTest::qWait(100);
    const std::vector<mv53::radiosim::AdjustEntry> expected{{0xE138, 0xFF, false}, {0xE139, 0x6A, false}, {0, 0, true}};
    EXPECT_EQ(radio->Adjustments(), expected);
    for (const mv53::radiosim::ReceivedFrame& f : radio->Frames()) {   // only live frames: no identify, no transfer
        EXPECT_TRUE(f.checksumOk);
        EXPECT_TRUE(f.command == mv53::radiosim::cmd::AdjustValue || f.command == mv53::radiosim::cmd::AdjustEnd) << f.command;
    }

    // Leaving writes the whole factory area by itself (no Ok to click) and says so.
    frm->btnSpotAdj->click();
    EXPECT_FALSE(frm->SpotAdjOn());
    EXPECT_TRUE(frm->btnLcdTest->isEnabled());
    EXPECT_EQ(calls, (std::vector<HostCall>{{K::Factory, true, false}}));
    EXPECT_EQ(clicker->windows, 0);
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Download is completed"});
    EXPECT_EQ(state.CurrentMem.Alignment().Values(49), -150);
    const auto memory = radio->GetMemory();
    EXPECT_EQ(memory[17470], 0xFF);
    EXPECT_EQ(memory[17471], 0x6A);
    frm->close();
    EXPECT_EQ(prompt.texts().size(), 1u);   // nothing left to ask about
}

// Cancel, Escape or the close box in Spot-ADJ: raising Spot-ADJ writes the factory area first,
// and the closing question follows only when that write did not reach the radio.
TEST_F(AlignmentTest, ClosingInSpotAdjWritesAndAsksOnlyWhenTheWriteFailed)
{
    for (Leave how : mv53::test::kEveryWayOut) {
        for (bool radioThere : {true, false}) {
            SCOPED_TRACE(testing::Message() << "leave " << static_cast<int>(how) << " radio " << radioThere);
            StartRadio(mv53::test::ClearedRecords());
            state.CurrentMem = mv53::test::ClearedRecords();
            prompt.shown.clear();
            auto frm = Open();
            frm->btnSpotAdj->click();
            ASSERT_TRUE(frm->SpotAdjOn());
            frm->SpinEdit[21]->setValue(99);   // Reverse ALC, position 23
            if (!radioThere)
                UnplugRadio();
            LeaveBy(*frm, how, frm->btnSpotAdj);
            EXPECT_FALSE(frm->isVisible());
            EXPECT_EQ(state.CurrentMem.Alignment().Values(23), 99);
            const std::vector<std::string> texts = prompt.texts();
            EXPECT_EQ(texts.empty() ? "" : texts.back(),
                      radioThere ? "Download is completed" : "Do you download data to the radio?");
            EXPECT_TRUE(!radioThere || radio->GetMemory()[17421 + 23] == 99);
        }
    }
}

TEST_F(AlignmentTest, SpotAdjWithoutAPortReturnsToNormalAndSaysWhy)
{
    TServiceHost host = Host();
    host.SpotAdjDevice = "/dev/mv53-no-such-port";
    auto frm = Open(host);
    frm->btnSpotAdj->click();
    EXPECT_FALSE(frm->SpotAdjOn());
    EXPECT_FALSE(frm->btnSpotAdj->isChecked());
    EXPECT_TRUE(frm->btnLcdTest->isEnabled());
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0].rfind("Cannot open /dev/mv53-no-such-port: ", 0), 0u) << prompt.texts()[0];
}

TEST_F(AlignmentTest, WriteSendsTheFactoryAreaAndAFailedWriteIsAskedAgainAtClose)
{
    StartRadio(mv53::test::ClearedRecords([](TMVmem& m) { m.FactoryOpt().SetSerialNo("6E000042"); }));
    auto frm = Open();
    EXPECT_FALSE(frm->edtSerial->isEnabled());   // the serial number only in the serial writer's mode
    frm->SpinEdit[21]->setValue(99);   // Reverse ALC, position 23
    frm->btnWrite->click();
    EXPECT_EQ(clicker->windows, 1);
    EXPECT_EQ(radio->GetMemory()[17421 + 23], 99);
    // Outside the serial writer's mode the radio keeps its own serial number.
    EXPECT_EQ(RadioRecords().FactoryOpt().SerialNo(), "6E000042");
    frm->close();

    // A write that failed leaves the change unsent: closing without a further change asks.
    frm = Open();
    prompt.shown.clear();
    frm->SpinEdit[21]->setValue(98);
    UnplugRadio();
    frm->btnWrite->click();
    frm->close();
    EXPECT_EQ(prompt.texts(), (std::vector<std::string>{"Download error", "Do you download data to the radio?"}));
}

// Print prints what the window shows: the values are stored and committed before the report.
TEST_F(AlignmentTest, PrintCommitsTheWindowFirstAndReleasesLcdTest)
{
    std::vector<TServiceReport> printed;
    int heldAtPrint = -1;
    TServiceHost host = Host();
    host.Print = [&](TServiceReport r, QWidget*) {
        printed.push_back(r);
        heldAtPrint = state.CurrentMem.Alignment().Values(8);
    };
    auto frm = Open(host);
    frm->SpinEdit[7]->setValue(11);   // Over Heat 1, position 8
    frm->btnLcdTest->click();
    frm->btnPrint->click();
    EXPECT_EQ(printed, std::vector<TServiceReport>{TServiceReport::Alignment});
    EXPECT_EQ(heldAtPrint, 11);
    EXPECT_FALSE(frm->btnLcdTest->isChecked());
    EXPECT_TRUE(state.Modified);
    frm->close();
    EXPECT_TRUE(prompt.texts().empty());
}
