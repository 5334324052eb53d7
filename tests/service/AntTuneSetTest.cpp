// The antenna tuner window driven offscreen: stepping through the option lists, the L editor
// with its cap, the rows of empty channels, the two tables stored and committed on their own.

#include "ServiceTestSupport.h"
#include "service/AntTuneSet.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

using mv53::test::HostCall;
using K = TTransferKind;

namespace {

class AntTuneSetTest : public mv53::test::ServiceWindowTest {
protected:
    void SetUp() override
    {
        ServiceWindowTest::SetUp();
        for (int ch : {0, 1, 249, 250, 499}) {
            state.CurrentMem.Channels().Items(ch).SetStatus(mv53::kChannelUsed);
            state.CurrentMem.Channels().Items(ch).SetTag("CH" + std::to_string(ch + 1));
        }
    }
    // Opens the window on the records' tables (a window opened before goes).
    void Open()
    {
        frm.reset();
        frm = std::make_unique<TfrmAntTuneSet>(state, Host());
        frm->AntTuner0() = state.CurrentMem.AntTuner0();
        frm->AntTuner1() = state.CurrentMem.AntTuner1();
        frm->resize(800, 600);
        frm->show();
        g = frm->grdTuneData;
    }
    static void DoubleClick(TTunerGrid* grid, int row, int column)
    {
        grid->scrollTo(grid->model()->index(row, column));
        const QPoint at = grid->visualRect(grid->model()->index(row, column)).center();
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
    static void Select(TTunerGrid* grid, int row, int column)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    }

    std::unique_ptr<TfrmAntTuneSet> frm;
    TTunerGrid* g = nullptr;
};

}  // namespace

TEST_F(AntTuneSetTest, RowsShowTheirChannelAndTheirTableEntry)
{
    state.CurrentMem.AntTuner0().Entries(249).SetTuneL(7);
    state.CurrentMem.AntTuner1().Entries(0).SetTuneL(300);
    state.CurrentMem.AntTuner1().Entries(0).SetTuneTrans(3);
    state.CurrentMem.Channels().Items(250).SetTxOff(1);
    Open();
    EXPECT_EQ(g->CellText(249, 0), "250");
    EXPECT_EQ(g->CellText(249, 9), "  7");
    EXPECT_EQ(g->CellText(250, 0), "251");
    EXPECT_EQ(g->CellText(250, 1), "CH251");
    EXPECT_EQ(g->CellText(250, 3), "TX OFF");
    EXPECT_EQ(g->CellText(250, 6), "3");
    EXPECT_EQ(g->CellText(250, 9), "300");
    EXPECT_EQ(g->model()->data(g->model()->index(2, 1), Qt::ForegroundRole).value<QColor>(), QColor(192, 192, 192));
    EXPECT_EQ(g->model()->data(g->model()->index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
}

TEST_F(AntTuneSetTest, DoubleClickStepsThroughTheOptionList)
{
    state.CurrentMem.AntTuner0().Entries(1).SetTuneTrans(3);
    Open();
    DoubleClick(g, 1, 6);   // "Trans": 3 -> 0
    EXPECT_EQ(g->CellText(1, 6), "0");
    DoubleClick(g, 1, 6);
    EXPECT_EQ(g->CellText(1, 6), "1");
    DoubleClick(g, 1, 4);   // "Reset": 0 -> 1 -> 0
    DoubleClick(g, 1, 4);
    EXPECT_EQ(g->CellText(1, 4), "0");
    Select(g, 1, 8);
    QTest::keyClick(g, Qt::Key_Space);   // "Top-C": the space bar acts as a double-click
    EXPECT_EQ(g->CellText(1, 8), "1");
    DoubleClick(g, 1, 1);                // the channel columns are not edited here
    EXPECT_EQ(g->CellText(1, 1), "CH2");
    frm->StoreStep();
    EXPECT_EQ(frm->AntTuner0().Entries(1).TuneTrans(), 1);
    EXPECT_EQ(frm->AntTuner0().Entries(1).TuneTopC(), 1);
}

TEST_F(AntTuneSetTest, TheLEditorTakesDigitsOnlyAndCapsAt511)
{
    const std::tuple<const char*, const char*> cases[] = {{"700", "511"}, {"12a", "12"}, {"511", "511"}, {"0", "0"}, {"1234", "123"}};
    for (const auto& [typed, cell] : cases) {
        Open();
        frm->activateWindow();
        Select(g, 250, 9);
        for (const char* p = typed; *p; ++p)
            QTest::keyClick(g->CellEditor()->isVisible() ? static_cast<QWidget*>(g->CellEditor()) : g, *p);
        QTest::keyClick(g->CellEditor(), Qt::Key_Return);
        EXPECT_FALSE(g->Editing()) << typed;
        EXPECT_EQ(g->CellText(250, 9), cell) << typed;
    }
}

// The L editor: Escape leaves the cell as it was shown, a pasted text passes the digit filter (a
// letter no longer empties the cell).
TEST_F(AntTuneSetTest, PasteIsFilteredAndEscapeKeepsTheCell)
{
    state.CurrentMem.AntTuner0().Entries(0).SetTuneL(7);
    Open();
    Select(g, 0, TTunerGrid::kColumnL);
    QTest::keyClick(g, Qt::Key_Return);
    QTest::keyClick(g->CellEditor(), Qt::Key_9);
    QTest::keyClick(g->CellEditor(), Qt::Key_Escape);
    EXPECT_FALSE(g->Editing());
    EXPECT_EQ(g->CellText(0, TTunerGrid::kColumnL), "  7");

    QGuiApplication::clipboard()->setText(QStringLiteral("3a5"));
    QTest::keyClick(g, Qt::Key_Return);
    QTest::keyClick(g->CellEditor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(g->CellEditor(), Qt::Key_Return);
    EXPECT_EQ(g->CellText(0, TTunerGrid::kColumnL), "35");
    frm->StoreStep();
    EXPECT_EQ(frm->AntTuner0().Entries(0).TuneL(), 35);
}

TEST_F(AntTuneSetTest, RowsOfEmptyChannelsIgnoreEditing)
{
    state.CurrentMem.AntTuner0().Entries(2).SetTuneTrans(2);
    Open();
    DoubleClick(g, 2, 6);
    Select(g, 2, 6);
    QTest::keyClick(g, Qt::Key_Space);
    Select(g, 2, 9);
    QTest::keyClick(g, Qt::Key_Return);
    QTest::keyClicks(g, QStringLiteral("5"));
    DoubleClick(g, 2, 9);
    EXPECT_FALSE(g->Editing());
    EXPECT_EQ(g->CellText(2, 6), "2");
    EXPECT_EQ(g->CellText(2, 9), "  0");
    frm->close();
    EXPECT_TRUE(prompt.texts().empty());
}

TEST_F(AntTuneSetTest, LeavingAsksWhenChangedAndNoDiscards)
{
    for (mv53::test::Leave how : mv53::test::kEveryWayOut) {
        state.CurrentMem.AntTuner0() = TAntTuner0();
        state.Modified = false;
        prompt.shown.clear();
        calls.clear();
        Open();
        DoubleClick(g, 0, 7);
        mv53::test::LeaveBy(*frm, how, g);
        EXPECT_FALSE(frm->isVisible());
        EXPECT_EQ(prompt.texts(), std::vector<std::string>{"Do you download data to the radio?"});
        EXPECT_EQ(state.CurrentMem.AntTuner0().Entries(0).TuneMidC(), 0);
        EXPECT_FALSE(state.Modified);
        EXPECT_TRUE(calls.empty());
    }
}

// Write commits each table on its own (the other stays as it was) and sends both; written and
// unchanged since, closing asks nothing.
TEST_F(AntTuneSetTest, WriteCommitsEachTableOnItsOwnAndSendsBoth)
{
    StartRadio(state.CurrentMem);
    Open();
    DoubleClick(g, 250, 6);   // table 1 entry 0, Trans 0 -> 1
    const TAntTuner0 set0Before = state.CurrentMem.AntTuner0();
    frm->btnWrite->click();
    EXPECT_EQ(calls, (std::vector<HostCall>{{K::AntTuner, false, false}}));
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.CurrentMem.AntTuner0().Equals(set0Before));
    const TMVmem back = RadioRecords();
    EXPECT_EQ(back.AntTuner1().Entries(0).TuneTrans(), 1);
    EXPECT_TRUE(back.AntTuner0().Equals(state.CurrentMem.AntTuner0()));
    EXPECT_EQ(back.Channels().Items(250).Status(), mv53::kChannelUsed);
    prompt.shown.clear();   // the transfer's own message
    frm->close();
    EXPECT_TRUE(prompt.texts().empty());
}
