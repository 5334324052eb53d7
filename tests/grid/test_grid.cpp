// The channel grid driven with real key and mouse events: fill and read-back, the cell editor
// and its rules, the double-click actions, the keys and column visibility.

#include "GridTestSupport.h"

#include "grid/SelectList.h"
#include "model/U_InputFilter.h"

#include <QTimer>

using mv53::test::GridFixture;

namespace {
std::string Freq(const TDecimal& d) { return mv53::FormatFixed(d.ToFloat(), 5); }
QVariant Data(const GridFixture& f, int channel, int column, Qt::ItemDataRole role)
{
    return f.grid->model()->data(f.grid->model()->index(channel, column), role);
}
QColor TextColour(const GridFixture& f, int channel, int column = 1)
{
    return Data(f, channel, column, Qt::ForegroundRole).value<QColor>();
}
} // namespace

class TestGrid final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillTextsAndReadBack()
    {
        GridFixture f;
        TChannel& ch = f.Channel(4);
        mv53::test::SetChannel(ch, "ABC", 29.99999, 1.6);
        ch.SetTxOff(1);
        ch.SetEncryptOn(1);
        ch.SetEncryptCode(15);
        ch.SetMode(3);
        ch.SetPower(1);
        ch.SetTuneMode(1);
        f.grid->MoveTo(7, 5);
        f.grid->Fill();
        QCOMPARE(std::make_pair(f.grid->CurrentChannel(), f.grid->CurrentColumn()), std::make_pair(0, 0));
        const std::array<std::string, 11> row{"005", "ABC", "29.99999", "TX OFF", "A3E", "Low", "OFF", "16", "OFF", "ON", ""};
        for (int c = 0; c < 11; ++c)
            QCOMPARE(f.Cell(4, c), row[static_cast<size_t>(c)]);
        QCOMPARE(f.Cell(0, 2), std::string("7.05000"));
        QCOMPARE(f.Cell(499, 0), std::string("500"));

        // Every field survives a fill and a read-back, receive-only channels keep their frequency.
        const double mhz[] = {0.5, 1.23456, 3.0, 7.0025, 29.99999, 30.0};
        for (int i = 0; i < mv53::kGridChannels; ++i) {
            TChannel& c = f.Channel(i);
            mv53::test::SetChannel(c, "T" + std::to_string(i), mhz[i % 6], mhz[(i + 2) % 6], i % 4 != 0);
            c.SetMode(i % 5);
            c.SetPower(i % 2);
            c.SetShiftOn((i / 2) % 2);
            c.SetSelcallOn((i / 3) % 2);
            c.SetTuneMode((i / 5) % 2);
            c.SetTxOff(i % 9 == 0 ? 1 : 0);
            c.SetEncryptOn(i % 7 == 0 ? 0 : 1);
            c.SetEncryptCode(i % 7 == 0 ? 0 : i % 16);
        }
        const TChannels before = f.state.GridChannels;
        f.grid->Fill();
        f.grid->GridToChannels();
        for (int i = 0; i < mv53::kGridChannels; ++i)
            QVERIFY2(f.Channel(i).Equals(before.Items(i)), std::to_string(i + 1).c_str());
    }

    void tagTypingIsUpperCasedAndPadded()
    {
        GridFixture f;
        f.TypeAt(0, 1, "ab~c");                   // "~" is not a tag character
        QCOMPARE(f.EditorText(), std::string("ABC"));
        QCOMPARE(f.Cell(0, 1), std::string("HOME"));   // not in the cell before the commit
        f.Key(Qt::Key_Return);
        QTRY_COMPARE(f.Cell(0, 1), std::string("ABC     "));
        QVERIFY(!f.grid->Editing());
        QVERIFY(f.grid->hasFocus());
    }

    void frequencyEntry_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rxRange");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comma, second point") << 2 << "7,05.3" << 0 << "7.05300";
        QTest::newRow("above the top") << 2 << "45" << 0 << "30.00000";
        QTest::newRow("letters refused") << 2 << "1a2" << 0 << "12.00000";
        QTest::newRow("empty receive") << 2 << "" << 0 << "0.50000";
        QTest::newRow("empty receive, 3-30") << 2 << "" << 1 << "3.00000";
        QTest::newRow("empty transmit") << 3 << "" << 1 << "1.60000";
        QTest::newRow("transmit below 1.6") << 3 << "1" << 0 << "1.60000";
    }

    void frequencyEntry()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(int, rxRange);
        QFETCH(QString, expected);
        GridFixture f;
        f.state.CurrentMem.FactoryOpt().SetRxRange(rxRange);
        f.grid->MoveTo(0, column);
        f.Key(Qt::Key_Return);
        f.Key(Qt::Key_Backspace);                // clears the selected text
        f.Type(typed.toLatin1().constData());
        f.Key(Qt::Key_Return);
        const std::string want = expected.toStdString();
        QTRY_COMPARE(f.Cell(0, column), want);
        // A new receive frequency sets the transmit frequency too; a transmit entry leaves receive.
        const std::string tx = column == 2 ? FormatFreq(want, 3, rxRange) : want;
        QCOMPARE(f.Cell(0, 3), tx);
        QCOMPARE(Freq(f.Channel(0).TxFreq()), column == 2 ? tx : std::string("8.00000"));
        QCOMPARE(f.Cell(0, 2), column == 2 ? want : std::string("7.05000"));
    }

    void escapeAndUnchangedCommitLeaveTransmitAlone()
    {
        GridFixture f;
        f.TypeAt(0, 2, "25");
        f.Key(Qt::Key_Escape);
        QVERIFY(!f.grid->Editing());
        QVERIFY(f.grid->hasFocus());
        QCOMPARE(f.Cell(0, 2), std::string("7.05000"));
        QCOMPARE(f.Cell(0, 3), std::string("8.00000"));
        f.DoubleClick(0, 2);
        QVERIFY(f.grid->Editing());
        f.Key(Qt::Key_Return);
        QTRY_VERIFY(!f.grid->Editing());
        QCOMPARE(f.Cell(0, 3), std::string("8.00000"));
        QCOMPARE(Freq(f.Channel(0).TxFreq()), std::string("8.00000"));
        f.TypeAt(0, 1, "Z");                      // a short tag keeps its exact text
        f.Key(Qt::Key_Escape);
        QCOMPARE(f.Cell(0, 1), std::string("HOME"));
    }

    void typingIntoReceiveOnlyTransmitCellIsRefused()
    {
        GridFixture f;
        f.DoubleClick(0, 3);
        QCOMPARE(f.Cell(0, 3), std::string("TX OFF"));
        QCOMPARE(f.Channel(0).TxOff(), 1);
        f.Type("5");
        f.Key(Qt::Key_Return);
        QVERIFY(!f.grid->Editing());
        f.grid->GridToChannels();
        QCOMPARE(Freq(f.Channel(0).TxFreq()), std::string("8.00000"));

        // A receive entry still moves the (hidden) transmit frequency; the cell stays "TX OFF".
        f.TypeAt(0, 2, "9");
        f.Key(Qt::Key_Return);
        QTRY_COMPARE(f.Cell(0, 2), std::string("9.00000"));
        QCOMPARE(f.Cell(0, 3), std::string("TX OFF"));
        f.grid->MoveTo(0, 3);
        f.Key(Qt::Key_Space);                    // transmitter on: its frequency comes back
        QCOMPARE(f.Channel(0).TxOff(), 0);
        QCOMPARE(f.Cell(0, 3), std::string("9.00000"));
    }

    void changeOfCellCommitsAndCopiesIntoChannels()
    {
        GridFixture f;
        f.TypeAt(1, 1, "new");
        f.Click(2, 4);
        QVERIFY(!f.grid->Editing());
        QCOMPARE(f.grid->CurrentChannel(), 2);
        QCOMPARE(f.Channel(1).Tag(), std::string("NEW     "));
        f.TypeAt(1, 2, "4");
        f.Key(Qt::Key_Down);                     // from inside the editor
        QCOMPARE(f.grid->CurrentChannel(), 2);
        QCOMPARE(Freq(f.Channel(1).RxFreq()), std::string("4.00000"));
        f.TypeAt(0, 1, "w");
        f.Click(2, 5, Qt::RightButton);          // the pop-up menu's cell
        QCOMPARE(f.Cell(0, 1), std::string("W       "));
        QCOMPARE(f.grid->CurrentColumn(), 5);
        QVERIFY(f.grid->hasFocus());
    }

    void doubleClickActionsAndStatusGate()
    {
        GridFixture f;
        f.DoubleClick(0, 5);
        QCOMPARE(f.Cell(0, 5), std::string("Low"));
        f.grid->MoveTo(0, 5);
        f.Key(Qt::Key_Space);                    // the space bar does the same
        QCOMPARE(f.Cell(0, 5), std::string("High"));

        const int empty = 5;                     // an empty channel refuses everything but column 0
        f.TypeAt(empty, 1, "a");
        f.Key(Qt::Key_Return);
        f.DoubleClick(empty, 5);
        f.DoubleClick(empty, 3);
        QVERIFY(!f.grid->Editing());
        QCOMPARE(f.Cell(empty, 5), std::string("High"));
        QCOMPARE(f.Cell(empty, 3), std::string("3.00000"));
        f.DoubleClick(empty, 0);
        QCOMPARE(f.Channel(empty).Status(), int(mv53::kChannelUsed));
        QCOMPARE(TextColour(f, empty), QColor(Qt::black));
        f.DoubleClick(empty, 5);
        QCOMPARE(f.Cell(empty, 5), std::string("Low"));
        f.DoubleClick(empty, 0);
        QCOMPARE(TextColour(f, empty), QColor(0xC0, 0xC0, 0xC0));
    }

    void unitSwitchesGateOptionColumns()
    {
        GridFixture f;
        f.grid->SetPickListHook([](int, const std::string&, const std::string&) { return std::optional<std::string>("03"); });
        for (int column : {7, 8, 9}) {
            f.DoubleClick(0, column);
            QCOMPARE(f.Cell(0, column), std::string("OFF"));
        }
        f.state.CurrentMem.Opt().SetEncryptUnit(1);
        f.state.CurrentMem.Opt().SetSelcallUnit(1);
        f.state.CurrentMem.Opt().SetTunerUnit(1);
        for (int column : {7, 8, 9}) {
            f.DoubleClick(0, column);
            QCOMPARE(f.Cell(0, column), std::string(column == 7 ? "03" : "ON"));
        }
    }

    void pickList()
    {
        GridFixture f;
        std::vector<std::tuple<int, std::string, std::string>> calls;
        std::optional<std::string> answer = "A3E";
        f.grid->SetPickListHook([&](int list, const std::string& suffix, const std::string& current) {
            calls.emplace_back(list, suffix, current);
            return answer;
        });
        f.DoubleClick(2, 4);
        QCOMPARE(calls.at(0), std::make_tuple(1, std::string("(CH=003)"), std::string("J3E(USB)")));
        QCOMPARE(f.Cell(2, 4), std::string("A3E"));
        QCOMPARE(f.Channel(2).Mode(), 3);        // the mode is taken at once
        answer.reset();                          // Cancel
        f.DoubleClick(2, 4);
        QCOMPARE(f.Cell(2, 4), std::string("A3E"));

        // Without a hook the grid shows a fresh TfrmSelList.
        f.grid->SetPickListHook(nullptr);
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
    }

    void arrowsAndVisibilitySkipHiddenColumns()
    {
        GridFixture f;
        f.ShowColumns({2, 3, 10});
        f.grid->MoveTo(0, 1);
        f.Key(Qt::Key_Right);
        QCOMPARE(f.grid->CurrentColumn(), 4);
        f.Key(Qt::Key_Left);
        QCOMPARE(f.grid->CurrentColumn(), 1);
        f.grid->MoveTo(0, 9);
        f.Key(Qt::Key_Right);                    // column 10 is hidden: stay
        QCOMPARE(f.grid->CurrentColumn(), 9);
        f.ShowColumns({0, 8, 9, 10});            // current column right of the last visible one
        QCOMPARE(f.grid->CurrentColumn(), 7);
        f.grid->MoveTo(0, 1);
        f.Key(Qt::Key_Left);
        f.Key(Qt::Key_Home);
        QCOMPARE(f.grid->CurrentColumn(), 1);
        f.grid->MoveTo(0, 4);
        f.ShowColumns({0, 4});                   // a hidden current column moves to a visible one
        QCOMPARE(f.grid->CurrentColumn(), 5);
        QVERIFY(!f.grid->isColumnHidden(5));
        f.grid->Fill();                          // column 0 hidden: start on the first visible
        QCOMPARE(f.grid->CurrentColumn(), 1);
    }

    // Values a data file or a radio may hold that no cell text expresses: a row the user does not
    // edit comes back exactly, and an edit of one cell applies that cell only.
    void storedValuesNoCellShowsSurviveUntilTheCellIsChanged()
    {
        GridFixture f;
        f.state.CurrentMem.Opt().SetEncryptUnit(1);
        f.state.CurrentMem.Opt().SetTunerUnit(1);
        mv53::test::StoredValuesNoCellShows(f.state.GridChannels);
        const TChannels before = f.state.GridChannels;
        f.grid->Fill();
        f.grid->GridToChannels();
        for (int row = 0; row < 4; ++row)
            QVERIFY2(f.Channel(10 + row).Equals(before.Items(10 + row)), std::to_string(row).c_str());

        // A tag typed into such a row changes the tag only.
        f.TypeAt(10, 1, "new");
        f.Key(Qt::Key_Return);
        QTRY_VERIFY(!f.grid->Editing());
        f.grid->GridToChannels();
        QCOMPARE(f.Channel(10).Tag(), std::string("NEW     "));
        QCOMPARE(f.Channel(10).EncryptCode(), 5);
        QCOMPARE(f.Channel(10).EncryptOn(), 0);

        // The changed cell is applied: a code picked for the channel switched off.
        f.grid->SetPickListHook([](int, const std::string&, const std::string&) { return std::optional<std::string>("03"); });
        f.DoubleClick(10, 7);
        f.grid->MoveTo(13, 9);
        f.Key(Qt::Key_Space);                    // tune mode 2 steps to the first entry
        f.grid->GridToChannels();
        QCOMPARE(f.Channel(10).EncryptOn(), 1);
        QCOMPARE(f.Channel(10).EncryptCode(), 2);
        QCOMPARE(f.Channel(13).TuneMode(), 0);
    }

    void frequenciesOutsideTheRadiosRangeAreRedWithTheRange()
    {
        struct Case {
            double rx, tx;
            int rxRange, txRange;
            bool txOff, used;
            bool rxRed, txRed;
            const char* hint;   // the transmit (or receive) cell's tool tip
        };
        const Case cases[] = {
            {7.0, 0.6, 0, 0, false, true, false, true, "Outside the radio's range 1.6-30 MHz"},
            {7.0, 2.0, 0, 1, false, true, false, true, "Outside the radio's range 3-30 MHz"},
            {0.5, 3.0, 1, 1, false, true, true, false, "Outside the radio's range 3-30 MHz"},
            {0.5, 1.6, 0, 0, false, true, false, false, ""},
            {7.0, 0.6, 0, 0, true, true, false, false, ""},     // receive-only: transmit not used
            {0.5, 0.6, 1, 1, false, false, false, false, ""},   // empty channel: silver
        };
        for (const Case& c : cases) {
            GridFixture f;
            mv53::test::SetChannel(f.Channel(0), "X", c.rx, c.tx, c.used);
            f.Channel(0).SetTxOff(c.txOff ? 1 : 0);
            f.state.CurrentMem.FactoryOpt().SetRxRange(c.rxRange);
            f.state.CurrentMem.FactoryOpt().SetTxRange(c.txRange);
            f.grid->Fill();
            QCOMPARE(TextColour(f, 0, 2) == QColor(Qt::red), c.rxRed);
            QCOMPARE(TextColour(f, 0, 3) == QColor(Qt::red), c.txRed);
            QCOMPARE(Data(f, 0, c.rxRed ? 2 : 3, Qt::ToolTipRole).toString(), QString::fromLatin1(c.hint));
            QCOMPARE(TextColour(f, 0), c.used ? QColor(Qt::black) : QColor(0xC0, 0xC0, 0xC0));
        }
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
