// Copy and paste in the channel grid: the clipboard text, the row buffer, whole-row paste in
// the channel column, option texts, normalised frequencies and paste into an open editor.

#include "GridTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>

using mv53::test::GridFixture;

namespace {

void SetClipboard(const char* text) { QGuiApplication::clipboard()->setText(QString::fromLatin1(text)); }
std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }

} // namespace

class TestGridClipboard final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }
    void copyTakesCellAndRow();
    void pasteBeforeAnyCopyDoesNothing();
    void wholeRowPasteMakesEmptyChannelUsed();
    void optionTextMustMatchExactly();
    void pastedFrequencyIsNormalised();
    void pasteIntoEmptyChannelIsIgnored();
    void pasteIntoEditorFiltersAndFits();
    void receiveOnlyStateTravelsWithTransmitPaste();
    void copyAndPasteKeys();
};

void TestGridClipboard::copyTakesCellAndRow()
{
    GridFixture f;
    f.grid->MoveTo(0, 2);
    f.grid->Copy();
    QCOMPARE(Clipboard(), std::string("7.05000"));
    const auto& buffer = f.grid->RowBuffer();
    QVERIFY(buffer.HasRow);
    QCOMPARE(buffer.Texts[1], std::string("HOME"));
    QCOMPARE(buffer.Texts[3], std::string("8.00000"));
    QVERIFY(!buffer.TxOff);

    // In the editor only the selected text is copied.
    f.grid->MoveTo(1, 1);
    f.Key(Qt::Key_Return);
    f.grid->CellEditor()->setSelection(0, 2);
    f.grid->Copy();
    QCOMPARE(Clipboard(), std::string("NE"));
    QCOMPARE(f.grid->RowBuffer().Texts[1], std::string("HOME"));
}

void TestGridClipboard::pasteBeforeAnyCopyDoesNothing()
{
    GridFixture f;
    SetClipboard("A3E");
    f.grid->MoveTo(0, 4);
    f.grid->Paste();
    QCOMPARE(f.Cell(0, 4), std::string("J3E(USB)"));
    f.grid->MoveTo(5, 0);
    f.grid->Paste();
    QCOMPARE(f.Channel(5).Status(), int(mv53::kChannelEmpty));
    QVERIFY(!f.state.Modified);
}

void TestGridClipboard::wholeRowPasteMakesEmptyChannelUsed()
{
    GridFixture f;
    f.grid->MoveTo(0, 3);
    f.Key(Qt::Key_Space);                    // channel 1 receive-only
    f.grid->MoveTo(0, 5);
    f.Key(Qt::Key_Space);                    // and on low power
    f.grid->Copy();
    const auto row = f.grid->RowBuffer().Texts;
    QVERIFY(f.grid->RowBuffer().TxOff);

    f.grid->MoveTo(6, 0);
    f.grid->Paste();
    QCOMPARE(f.Channel(6).Status(), int(mv53::kChannelUsed));
    QCOMPARE(f.Cell(6, 0), std::string("007"));
    for (int c = 1; c < 11; ++c)
        QCOMPARE(f.Cell(6, c), row[static_cast<size_t>(c)]);
    QCOMPARE(f.Channel(6).TxOff(), 1);
    QVERIFY(f.state.Modified);
    f.grid->GridToChannels();
    QCOMPARE(f.Channel(6).Tag(), std::string("HOME"));
    QCOMPARE(f.Channel(6).Power(), 1);

    // Outside column 0 a paste on an empty channel leaves it empty.
    f.grid->MoveTo(7, 1);
    f.grid->Paste();
    QCOMPARE(f.Channel(7).Status(), int(mv53::kChannelEmpty));
}

void TestGridClipboard::optionTextMustMatchExactly()
{
    GridFixture f;
    f.grid->Copy();
    f.grid->MoveTo(1, 4);
    SetClipboard("a3e");
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 4), std::string("J3E(USB)"));
    SetClipboard("A3E ");
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 4), std::string("J3E(USB)"));
    QVERIFY(!f.state.Modified);

    SetClipboard("A3E");
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 4), std::string("A3E"));
    QCOMPARE(f.Channel(1).Mode(), 3);
    QVERIFY(f.state.Modified);

    f.state.Modified = false;
    f.grid->Paste();                         // the same text again changes nothing
    QVERIFY(!f.state.Modified);

    f.grid->MoveTo(1, 5);
    SetClipboard("ON");                      // not an entry of the power list
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 5), std::string("High"));
}

void TestGridClipboard::pastedFrequencyIsNormalised()
{
    GridFixture f;
    f.grid->Copy();
    f.grid->MoveTo(1, 2);
    SetClipboard("12,3456789");
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 2), std::string("12.34568"));
    QCOMPARE(f.Cell(1, 3), std::string("12.34568"));
    QVERIFY(f.state.Modified);

    f.grid->MoveTo(1, 1);
    SetClipboard("long tag text");
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 1), std::string("LONG TAG"));
}

void TestGridClipboard::pasteIntoEmptyChannelIsIgnored()
{
    GridFixture f;
    f.grid->Copy();
    SetClipboard("9.5");
    f.grid->MoveTo(8, 2);
    f.grid->Paste();
    QCOMPARE(f.Cell(8, 2), std::string("3.00000"));
    QVERIFY(!f.state.Modified);
}

void TestGridClipboard::pasteIntoEditorFiltersAndFits()
{
    GridFixture f;
    f.grid->Copy();
    f.grid->MoveTo(1, 1);
    f.Type("x");
    SetClipboard("a-b~cdefghij");
    f.grid->Paste();
    QCOMPARE(f.grid->CellEditor()->text(), QStringLiteral("XA-BCDEF"));
    QCOMPARE(f.Cell(1, 1), std::string("NET"));   // still only in the editor

    f.Key(Qt::Key_Escape);
    f.grid->MoveTo(1, 2);
    f.Key(Qt::Key_Return);                   // all selected: the paste replaces it
    SetClipboard("1x4,5\n");
    f.grid->Paste();
    QCOMPARE(f.grid->CellEditor()->text(), QStringLiteral("14,5"));
    f.Key(Qt::Key_Return);
    QTRY_COMPARE(f.Cell(1, 2), std::string("14.50000"));
}

void TestGridClipboard::receiveOnlyStateTravelsWithTransmitPaste()
{
    GridFixture f;
    f.grid->MoveTo(0, 3);
    f.Key(Qt::Key_Space);
    f.grid->Copy();                          // "TX OFF", flag set
    f.grid->MoveTo(1, 3);
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 3), std::string("TX OFF"));
    QCOMPARE(f.Channel(1).TxOff(), 1);

    f.grid->MoveTo(2, 3);
    f.grid->Copy();                          // a frequency, flag clear
    f.grid->MoveTo(1, 3);
    f.grid->Paste();
    QCOMPARE(f.Channel(1).TxOff(), 0);
    QCOMPARE(f.Cell(1, 3), std::string("12.34500"));
}

void TestGridClipboard::copyAndPasteKeys()
{
    GridFixture f;
    f.grid->MoveTo(2, 1);
    f.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Clipboard(), std::string("MARINE"));
    f.grid->MoveTo(1, 1);
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Cell(1, 1), std::string("MARINE  "));

    f.Type("q");                             // in the editor the keys copy and paste text
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.grid->CellEditor()->text(), QStringLiteral("QMARINE"));
}

QTEST_MAIN(TestGridClipboard)
#include "test_grid_clipboard.moc"
