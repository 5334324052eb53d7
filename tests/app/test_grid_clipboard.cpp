// Copy and paste in the channel grid: clipboard text and row buffer, whole-row paste in the
// channel column, exact option texts, normalised texts, paste into the editor, TX OFF.

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
    void wholeRowPasteMakesEmptyChannelUsed();
    void optionPasteNeedsExactEntry();
    void textPasteIsNormalisedOrFiltered();
    void receiveOnlyStateTravelsWithTransmitPaste();
};

void TestGridClipboard::copyTakesCellAndRow()
{
    GridFixture f;
    SetClipboard("A3E");
    f.grid->MoveTo(0, 4);
    f.grid->Paste();                         // nothing copied yet: no paste
    QCOMPARE(f.Cell(0, 4), std::string("J3E(USB)"));

    f.grid->MoveTo(2, 1);
    f.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(Clipboard(), std::string("MARINE"));
    QCOMPARE(f.grid->RowBuffer().Texts[2], std::string("12.34500"));
    f.grid->MoveTo(1, 1);
    f.Key(Qt::Key_Return);                     // editor with "NET" selected
    f.grid->CellEditor()->setSelection(0, 2);
    f.Key(Qt::Key_C, Qt::ControlModifier);   // the editor copies its selection only
    QCOMPARE(Clipboard(), std::string("NE"));
    QCOMPARE(f.grid->RowBuffer().Texts[1], std::string("MARINE"));
}

void TestGridClipboard::wholeRowPasteMakesEmptyChannelUsed()
{
    GridFixture f;
    f.DoubleClick(0, 3);                     // channel 1 receive-only, low power
    f.DoubleClick(0, 5);
    f.grid->Copy();
    const auto row = f.grid->RowBuffer().Texts;
    f.grid->MoveTo(7, 1);
    f.grid->Paste();                         // outside column 0 an empty channel stays empty
    QCOMPARE(f.Channel(7).Status(), int(mv53::kChannelEmpty));
    QVERIFY(!f.state.Modified);

    f.grid->MoveTo(6, 0);
    f.grid->Paste();
    QCOMPARE(f.Channel(6).Status(), int(mv53::kChannelUsed));
    QCOMPARE(f.Cell(6, 0), std::string("007"));
    for (int c = 1; c < 11; ++c)
        QCOMPARE(f.Cell(6, c), row[static_cast<size_t>(c)]);
    QCOMPARE(f.Channel(6).TxOff(), 1);
    QVERIFY(f.state.Modified);
    f.grid->GridToChannels();
    QCOMPARE(f.Channel(6).Power(), 1);
}

void TestGridClipboard::optionPasteNeedsExactEntry()
{
    GridFixture f;
    f.grid->Copy();
    f.grid->MoveTo(1, 4);
    for (const char* wrong : {"a3e", "A3E ", "High"}) {
        SetClipboard(wrong);
        f.grid->Paste();
        QCOMPARE(f.Cell(1, 4), std::string("J3E(USB)"));
    }
    QVERIFY(!f.state.Modified);
    SetClipboard("A3E");
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Cell(1, 4), std::string("A3E"));
    QCOMPARE(f.Channel(1).Mode(), 3);
    QVERIFY(f.state.Modified);
    f.state.Modified = false;
    f.grid->Paste();                         // the same text again changes nothing
    QVERIFY(!f.state.Modified);
}

void TestGridClipboard::textPasteIsNormalisedOrFiltered()
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

    // Into the open editor: only accepted characters, cut to what fits.
    f.Type("x");
    SetClipboard("a-b~cdefghij");
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.EditorText(), std::string("XA-BCDEF"));
    QCOMPARE(f.Cell(1, 1), std::string("LONG TAG"));
    f.Key(Qt::Key_Escape);
    f.grid->MoveTo(1, 2);
    f.Key(Qt::Key_Return);                   // all selected: the paste replaces it
    SetClipboard("1x4,5\n");
    f.grid->Paste();
    QCOMPARE(f.EditorText(), std::string("14,5"));
}

void TestGridClipboard::receiveOnlyStateTravelsWithTransmitPaste()
{
    GridFixture f;
    f.DoubleClick(0, 3);
    f.grid->Copy();                          // "TX OFF" with the flag set
    f.grid->MoveTo(1, 3);
    f.grid->Paste();
    QCOMPARE(f.Cell(1, 3), std::string("TX OFF"));
    QCOMPARE(f.Channel(1).TxOff(), 1);
    f.grid->MoveTo(2, 3);
    f.grid->Copy();                          // a frequency with the flag clear
    f.grid->MoveTo(1, 3);
    f.grid->Paste();
    QCOMPARE(f.Channel(1).TxOff(), 0);
    QCOMPARE(f.Cell(1, 3), std::string("12.34500"));
}

QTEST_MAIN(TestGridClipboard)
#include "test_grid_clipboard.moc"
