// The channel grid driven with real key and mouse events: the cell editor and its rules, the
// double-click actions, the keys, column visibility and the fill / read-back of the channels.

#include "GridTestSupport.h"

#include "model/U_InputFilter.h"

#include "app/SelectList.h"

#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QSignalSpy>

using mv53::test::GridFixture;

namespace {

std::string Freq(const TDecimal& d) { return mv53::FormatFixed(d.ToFloat(), 5); }

} // namespace

class TestGrid final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillWritesCellTexts();
    void fillAndReadBackKeepChannels();
    void tagTypingIsUpperCasedAndPadded();
    void receiveEntry_data();
    void receiveEntry();
    void transmitEntryHasItsOwnLowerLimit();
    void receiveEntryOnReceiveOnlyChannelKeepsTxOff();
    void escapeRestoresWithoutTouchingTransmit();
    void typingIntoReceiveOnlyTransmitCellIsRefused();
    void changeOfCellCommitsAndCopiesIntoChannels();
    void doubleClickCyclesOptionValues();
    void txOffToggleRestoresFrequency();
    void statusToggleGatesEveryEdit();
    void unitSwitchesGateOptionColumns_data();
    void unitSwitchesGateOptionColumns();
    void pickListTakesChosenText();
    void arrowsSkipHiddenColumns();
    void hidingColumnsMovesCurrentColumn();
    void f1GivesColumnHelpContext();
    void editorFollowsItsRowWhenScrolling();
    void rightClickMakesCellCurrent();
    void defaultPickListIsTheSelectListDialog();
    void fillStartsOnFirstVisibleColumn();
};

void TestGrid::fillWritesCellTexts()
{
    GridFixture f;
    TChannel& ch = f.Channel(4);
    mv53::test::SetChannel(ch, "ABC", 29.99999, 1.6);
    ch.SetTxOff(1);
    ch.SetEncryptOn(1);
    ch.SetEncryptCode(15);
    ch.SetMode(3);
    ch.SetPower(1);
    ch.SetShiftOn(1);
    ch.SetSelcallOn(1);
    ch.SetTuneMode(1);
    f.grid->MoveTo(7, 5);
    f.grid->Fill();

    QCOMPARE(f.grid->CurrentChannel(), 0);
    QCOMPARE(f.grid->CurrentColumn(), 0);
    const std::array<std::string, 11> expected{"005", "ABC", "29.99999", "TX OFF", "A3E", "Low", "ON", "16", "ON", "ON", ""};
    for (int c = 0; c < 11; ++c)
        QCOMPARE(f.Cell(4, c), expected[static_cast<size_t>(c)]);
    QCOMPARE(f.Cell(0, 2), std::string("7.05000"));
    QCOMPARE(f.Cell(0, 7), std::string("OFF"));
    QCOMPARE(f.Cell(499, 0), std::string("500"));

    // Used channels in black, empty ones in silver.
    auto* model = f.grid->model();
    QCOMPARE(model->data(model->index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    QCOMPARE(model->data(model->index(5, 1), Qt::ForegroundRole).value<QColor>(), QColor(0xC0, 0xC0, 0xC0));
}

void TestGrid::fillAndReadBackKeepChannels()
{
    GridFixture f;
    const double rx[] = {0.5, 1.23456, 3.0, 7.0025, 29.99999, 30.0};
    for (int i = 0; i < mv53::kGridChannels; ++i) {
        TChannel& ch = f.Channel(i);
        mv53::test::SetChannel(ch, i % 3 == 0 ? "T" + std::to_string(i) : "  CH-X", rx[i % 6], rx[(i + 2) % 6], i % 4 != 0);
        ch.SetMode(i % 5);
        ch.SetPower(i % 2);
        ch.SetShiftOn((i / 2) % 2);
        ch.SetSelcallOn((i / 3) % 2);
        ch.SetTuneMode((i / 5) % 2);
        ch.SetEncryptOn(i % 7 == 0 ? 0 : 1);
        ch.SetEncryptCode(i % 7 == 0 ? 0 : i % 16);
        ch.SetTxOff(i % 9 == 0 ? 1 : 0);
    }
    const TChannels before = f.state.GridChannels;
    f.grid->Fill();
    f.grid->GridToChannels();
    for (int i = 0; i < mv53::kGridChannels; ++i)
        QVERIFY2(f.Channel(i).Equals(before.Items(i)), ("channel " + std::to_string(i + 1)).c_str());
}

void TestGrid::tagTypingIsUpperCasedAndPadded()
{
    GridFixture f;
    QSignalSpy edited(f.grid.get(), &TChannelGrid::dataEdited);
    f.grid->MoveTo(0, 1);
    f.Type("ab~c");        // "~" is outside the tag characters
    QVERIFY(f.grid->Editing());
    QCOMPARE(f.grid->CellEditor()->text(), QStringLiteral("ABC"));
    QCOMPARE(f.Cell(0, 1), std::string("HOME"));   // not in the cell before the commit
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 1), std::string("ABC     "));
    QVERIFY(!f.grid->Editing());
    QVERIFY(!f.grid->CellEditor()->isVisible());
    QVERIFY(f.grid->hasFocus());
    QVERIFY(edited.count() > 0);

    // Enter opens the editor on the cell text, all selected: typing replaces it.
    f.Key(Qt::Key_Return);
    QVERIFY(f.grid->Editing());
    QCOMPARE(f.grid->CellEditor()->selectedText(), QStringLiteral("ABC     "));
    f.Type("x1-");
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 1), std::string("X1-     "));
}

void TestGrid::receiveEntry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("rxRange");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma and second point") << "7,05.3" << 0 << "7.05300";
    QTest::newRow("above the top") << "45" << 0 << "30.00000";
    QTest::newRow("letters refused") << "1a2.5" << 0 << "12.50000";
    QTest::newRow("empty, full range") << "" << 0 << "0.50000";
    QTest::newRow("empty, range 3-30") << "" << 1 << "3.00000";
    QTest::newRow("below 3 with range 3-30") << "2.9" << 1 << "3.00000";
    QTest::newRow("lone point") << "." << 0 << "0.50000";
}

void TestGrid::receiveEntry()
{
    QFETCH(QString, typed);
    QFETCH(int, rxRange);
    QFETCH(QString, expected);
    GridFixture f;
    f.state.CurrentMem.FactoryOpt().SetRxRange(rxRange);
    f.grid->MoveTo(0, 2);
    f.Key(Qt::Key_Return);                  // editor with its text selected
    f.Key(Qt::Key_Backspace);
    f.Type(typed.toLatin1().constData());
    f.Key(Qt::Key_Return);
    const std::string want = expected.toStdString();
    QTRY_COMPARE(f.Cell(0, 2), want);
    // A new receive frequency sets the transmit frequency (at least 1.6) as well.
    const std::string tx = FormatFreq(want, 3, rxRange);
    QCOMPARE(f.Cell(0, 3), tx);
    QCOMPARE(Freq(f.Channel(0).TxFreq()), tx);
}

void TestGrid::transmitEntryHasItsOwnLowerLimit()
{
    GridFixture f;
    f.grid->MoveTo(0, 3);
    f.Key(Qt::Key_Return);
    f.Key(Qt::Key_Backspace);
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 3), std::string("1.60000"));
    f.Type("1");
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 3), std::string("1.60000"));
    f.Type("9.5");
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 3), std::string("9.50000"));
    QCOMPARE(f.Cell(0, 2), std::string("7.05000"));   // receive is not touched
}

void TestGrid::receiveEntryOnReceiveOnlyChannelKeepsTxOff()
{
    GridFixture f;
    f.DoubleClick(0, 3);
    QCOMPARE(f.Cell(0, 3), std::string("TX OFF"));
    f.DoubleClick(0, 2);
    QVERIFY(f.grid->Editing());
    f.Key(Qt::Key_End);
    for (int i = 0; i < 8; ++i)
        f.Key(Qt::Key_Backspace);
    f.Type("9");
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 2), std::string("9.00000"));
    QCOMPARE(f.Cell(0, 3), std::string("TX OFF"));
    // The channel's transmit frequency followed; turning the transmitter on shows it.
    f.DoubleClick(0, 3);
    QCOMPARE(f.Cell(0, 3), std::string("9.00000"));
}

void TestGrid::escapeRestoresWithoutTouchingTransmit()
{
    GridFixture f;
    f.grid->MoveTo(0, 2);
    f.Type("25");
    QCOMPARE(f.grid->CellEditor()->text(), QStringLiteral("25"));
    f.Key(Qt::Key_Escape);
    QVERIFY(!f.grid->Editing());
    QCOMPARE(f.Cell(0, 2), std::string("7.05000"));
    QCOMPARE(f.Cell(0, 3), std::string("8.00000"));
    QCOMPARE(Freq(f.Channel(0).TxFreq()), std::string("8.00000"));
    QVERIFY(f.grid->hasFocus());

    // Opening the editor by double-click and committing it unchanged leaves Transmit alone too.
    f.DoubleClick(0, 2);
    QVERIFY(f.grid->Editing());
    f.Key(Qt::Key_Return);
    QTRY_VERIFY(!f.grid->Editing());
    QCOMPARE(f.Cell(0, 3), std::string("8.00000"));

    // A tag that is shorter than the column keeps its exact text on Escape.
    f.grid->MoveTo(0, 1);
    f.Type("Z");
    f.Key(Qt::Key_Escape);
    QCOMPARE(f.Cell(0, 1), std::string("HOME"));
}

void TestGrid::typingIntoReceiveOnlyTransmitCellIsRefused()
{
    GridFixture f;
    f.grid->MoveTo(0, 3);
    f.Key(Qt::Key_Space);                    // transmitter off
    QCOMPARE(f.Channel(0).TxOff(), 1);
    f.Type("5");
    QVERIFY(!f.grid->Editing());
    f.Key(Qt::Key_Return);
    QVERIFY(!f.grid->Editing());
    QCOMPARE(f.Cell(0, 3), std::string("TX OFF"));
    f.Key(Qt::Key_Space);                    // transmitter on again: typing works
    f.Type("5");
    QVERIFY(f.grid->Editing());
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(0, 3), std::string("5.00000"));
}

void TestGrid::changeOfCellCommitsAndCopiesIntoChannels()
{
    GridFixture f;
    f.grid->MoveTo(1, 1);
    f.Type("new");
    f.Click(2, 4);                           // another cell: commit, then the grid is read back
    QVERIFY(!f.grid->Editing());
    QCOMPARE(f.grid->CurrentChannel(), 2);
    QCOMPARE(f.grid->CurrentColumn(), 4);
    QCOMPARE(f.Channel(1).Tag(), std::string("NEW     "));

    f.grid->MoveTo(1, 2);
    f.Type("4");
    f.Key(Qt::Key_Down);                     // from inside the editor
    QVERIFY(!f.grid->Editing());
    QCOMPARE(f.grid->CurrentChannel(), 2);
    QCOMPARE(f.Cell(1, 2), std::string("4.00000"));
    QCOMPARE(Freq(f.Channel(1).RxFreq()), std::string("4.00000"));
}

void TestGrid::doubleClickCyclesOptionValues()
{
    GridFixture f;
    QCOMPARE(f.Cell(0, 5), std::string("High"));
    f.DoubleClick(0, 5);
    QCOMPARE(f.Cell(0, 5), std::string("Low"));
    f.DoubleClick(0, 5);
    QCOMPARE(f.Cell(0, 5), std::string("High"));
    f.grid->MoveTo(0, 6);
    f.Key(Qt::Key_Space);                    // the space bar does the same
    QCOMPARE(f.Cell(0, 6), std::string("ON"));
    f.grid->GridToChannels();
    QCOMPARE(f.Channel(0).ShiftOn(), 1);
    QCOMPARE(f.Channel(0).Power(), 0);
}

void TestGrid::txOffToggleRestoresFrequency()
{
    GridFixture f;
    f.DoubleClick(0, 3);
    QCOMPARE(f.Cell(0, 3), std::string("TX OFF"));
    QCOMPARE(f.Channel(0).TxOff(), 1);
    f.grid->GridToChannels();                // the cell text never becomes a frequency
    QCOMPARE(Freq(f.Channel(0).TxFreq()), std::string("8.00000"));
    f.DoubleClick(0, 3);
    QCOMPARE(f.Channel(0).TxOff(), 0);
    QCOMPARE(f.Cell(0, 3), std::string("8.00000"));
}

void TestGrid::statusToggleGatesEveryEdit()
{
    GridFixture f;
    const int empty = 5;
    f.grid->MoveTo(empty, 1);
    f.Type("a");
    QVERIFY(!f.grid->Editing());
    f.Key(Qt::Key_Return);
    QVERIFY(!f.grid->Editing());
    f.DoubleClick(empty, 5);
    QCOMPARE(f.Cell(empty, 5), std::string("High"));

    f.DoubleClick(empty, 0);
    QCOMPARE(f.Channel(empty).Status(), int(mv53::kChannelUsed));
    auto* model = f.grid->model();
    QCOMPARE(model->data(model->index(empty, 3), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    f.DoubleClick(empty, 5);
    QCOMPARE(f.Cell(empty, 5), std::string("Low"));

    f.DoubleClick(empty, 0);
    QCOMPARE(f.Channel(empty).Status(), int(mv53::kChannelEmpty));
    QCOMPARE(model->data(model->index(empty, 3), Qt::ForegroundRole).value<QColor>(), QColor(0xC0, 0xC0, 0xC0));
    f.DoubleClick(empty, 3);
    QCOMPARE(f.Cell(empty, 3), std::string("3.00000"));
    f.DoubleClick(empty, 2);
    QVERIFY(!f.grid->Editing());
}

void TestGrid::unitSwitchesGateOptionColumns_data()
{
    QTest::addColumn<int>("column");
    QTest::newRow("encryption") << 7;
    QTest::newRow("selcall") << 8;
    QTest::newRow("tune mode") << 9;
}

void TestGrid::unitSwitchesGateOptionColumns()
{
    QFETCH(int, column);
    GridFixture f;
    int picks = 0;
    f.grid->SetPickListHook([&](int, const std::string&, const std::string&) {
        ++picks;
        return std::optional<std::string>("03");
    });
    const std::string before = f.Cell(0, column);
    f.DoubleClick(0, column);
    QCOMPARE(f.Cell(0, column), before);
    QCOMPARE(picks, 0);

    TCmmOpt& opt = f.state.CurrentMem.Opt();
    opt.SetEncryptUnit(column == 7 ? 1 : 0);
    opt.SetSelcallUnit(column == 8 ? 1 : 0);
    opt.SetTunerUnit(column == 9 ? 1 : 0);
    f.DoubleClick(0, column);
    QCOMPARE(f.Cell(0, column), std::string(column == 7 ? "03" : "ON"));
}

void TestGrid::pickListTakesChosenText()
{
    GridFixture f;
    struct Call {
        int list;
        std::string suffix, current;
    };
    std::vector<Call> calls;
    std::optional<std::string> answer = "A3E";
    f.grid->SetPickListHook([&](int list, const std::string& suffix, const std::string& current) {
        calls.push_back({list, suffix, current});
        return answer;
    });
    f.DoubleClick(2, 4);
    QCOMPARE(calls.size(), size_t(1));
    QCOMPARE(calls[0].list, 1);
    QCOMPARE(calls[0].suffix, std::string("(CH=003)"));
    QCOMPARE(calls[0].current, std::string("J3E(USB)"));
    QCOMPARE(f.Cell(2, 4), std::string("A3E"));
    QCOMPARE(f.Channel(2).Mode(), 3);        // the mode is taken at once

    answer.reset();                          // Cancel
    f.DoubleClick(2, 4);
    QCOMPARE(f.Cell(2, 4), std::string("A3E"));

    f.state.CurrentMem.Opt().SetEncryptUnit(1);
    answer = "16";
    f.DoubleClick(2, 7);
    QCOMPARE(calls.back().list, 4);
    QCOMPARE(calls.back().current, std::string("OFF"));
    f.grid->GridToChannels();
    QCOMPARE(f.Channel(2).EncryptOn(), 1);
    QCOMPARE(f.Channel(2).EncryptCode(), 15);
}

void TestGrid::arrowsSkipHiddenColumns()
{
    GridFixture f;
    std::array<bool, 11> visible{};
    visible.fill(true);
    visible[2] = visible[3] = false;
    visible[10] = false;
    f.grid->ApplyColumnVisibility(visible);
    f.grid->MoveTo(0, 1);
    f.Key(Qt::Key_Right);
    QCOMPARE(f.grid->CurrentColumn(), 4);
    f.Key(Qt::Key_Left);
    QCOMPARE(f.grid->CurrentColumn(), 1);
    f.grid->MoveTo(0, 9);
    f.Key(Qt::Key_Right);                    // column 10 is hidden: stay
    QCOMPARE(f.grid->CurrentColumn(), 9);

    visible[0] = false;
    f.grid->ApplyColumnVisibility(visible);
    f.grid->MoveTo(0, 1);
    f.Key(Qt::Key_Left);
    QCOMPARE(f.grid->CurrentColumn(), 1);
    f.Key(Qt::Key_Home);                     // never ends on the hidden first column
    QCOMPARE(f.grid->CurrentColumn(), 1);
}

void TestGrid::hidingColumnsMovesCurrentColumn()
{
    GridFixture f;
    std::array<bool, 11> visible{};
    visible.fill(true);
    f.grid->ApplyColumnVisibility(visible);
    f.grid->MoveTo(3, 10);
    visible[8] = visible[9] = visible[10] = false;
    f.grid->ApplyColumnVisibility(visible);
    QCOMPARE(f.grid->CurrentColumn(), 7);
    QCOMPARE(f.grid->CurrentChannel(), 3);
    visible[0] = visible[1] = false;
    f.grid->MoveTo(3, 0);
    f.grid->ApplyColumnVisibility(visible);
    QCOMPARE(f.grid->CurrentColumn(), 2);
    QVERIFY(f.grid->isColumnHidden(1));
    QCOMPARE(f.grid->columnWidth(2), 70);
    visible[4] = false;
    f.grid->MoveTo(3, 4);
    f.grid->ApplyColumnVisibility(visible);
    QCOMPARE(f.grid->CurrentColumn(), 5);
}

void TestGrid::f1GivesColumnHelpContext()
{
    GridFixture f;
    std::array<bool, 11> visible{};
    visible.fill(true);
    f.grid->ApplyColumnVisibility(visible);
    std::vector<int> contexts;
    f.grid->SetHelpHandler([&](int context) { contexts.push_back(context); });
    for (int c = 0; c < 11; ++c) {
        f.grid->MoveTo(0, c);
        f.Key(Qt::Key_F1);
    }
    const std::vector<int> expected{4, 6, 8, 10, 12, 14, 16, 18, 20, 22};
    QCOMPARE(contexts, expected);
}

void TestGrid::editorFollowsItsRowWhenScrolling()
{
    GridFixture f;
    f.grid->MoveTo(0, 1);
    f.Type("q");
    QLineEdit* editor = f.grid->CellEditor();
    QVERIFY(editor->isVisible());
    const QRect cell = f.grid->CellRect(0, 1);
    QCOMPARE(editor->geometry().left(), cell.left());
    QVERIFY(editor->geometry().contains(cell.center()));
    QCOMPARE(editor->height(), 22);

    f.grid->verticalScrollBar()->setValue(100);
    QVERIFY(f.grid->Editing());
    QVERIFY(!editor->isVisible());
    f.grid->verticalScrollBar()->setValue(0);
    QVERIFY(editor->isVisible());
    QVERIFY(editor->geometry().contains(f.grid->CellRect(0, 1).center()));

    f.grid->verticalScrollBar()->setValue(100);
    f.Type("r");                             // typing brings the row back and appends
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->text(), QStringLiteral("QR"));
    QVERIFY(f.grid->CommitEditor());
    QCOMPARE(f.Cell(0, 1), std::string("QR      "));
}

void TestGrid::rightClickMakesCellCurrent()
{
    GridFixture f;
    f.grid->MoveTo(0, 1);
    f.Type("w");
    f.Click(2, 5, Qt::RightButton);
    QVERIFY(!f.grid->Editing());
    QCOMPARE(f.Cell(0, 1), std::string("W       "));
    QCOMPARE(f.grid->CurrentChannel(), 2);
    QCOMPARE(f.grid->CurrentColumn(), 5);
    QVERIFY(f.grid->hasFocus());

    const auto actions = f.grid->PopupMenu()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("&Copy"));
    QCOMPARE(actions[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(actions[1]->text(), QStringLiteral("&Paste"));
    QCOMPARE(actions[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
}

void TestGrid::defaultPickListIsTheSelectListDialog()
{
    GridFixture f;
    QString caption;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* list = qobject_cast<TfrmSelList*>(w); list != nullptr && list->isVisible()) {
                caption = list->windowTitle();
                list->MoveTo(4, 0);
                list->Ok();
            }
    });
    f.DoubleClick(1, 4);
    QCOMPARE(caption, QStringLiteral("Operation Wave(CH=002)"));
    QCOMPARE(f.Cell(1, 4), std::string("J2B"));
    QCOMPARE(f.Channel(1).Mode(), 4);
}

void TestGrid::fillStartsOnFirstVisibleColumn()
{
    GridFixture f;
    std::array<bool, 11> visible{};
    visible.fill(true);
    visible[0] = visible[10] = false;
    f.grid->ApplyColumnVisibility(visible);
    f.grid->MoveTo(5, 6);
    f.grid->Fill();
    QCOMPARE(f.grid->CurrentChannel(), 0);
    QCOMPARE(f.grid->CurrentColumn(), 1);
    f.Key(Qt::Key_Space);                    // opens the tag editor; the status stays
    QCOMPARE(f.Channel(0).Status(), int(mv53::kChannelUsed));
}

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
