// Copy and paste in the channel grid: clipboard text and row buffer, whole-row paste in the
// channel column, exact option texts, normalised texts, paste into the editor, TX OFF.

#include "GridTestSupport.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>

using mv53::test::GridFixture;

namespace {
// Typed text as the platform delivers it, one key event per character (also beyond Latin-1).
void TypeText(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &release);
    }
}
void SetClipboard(const char* text) { QGuiApplication::clipboard()->setText(QString::fromLatin1(text)); }
std::string Clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
} // namespace

class TestGridClipboard final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }

    void copyTakesCellAndRow()
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

    void wholeRowPasteMakesEmptyChannelUsed()
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

    void optionPasteNeedsExactEntry()
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

    void textPasteIsNormalisedOrFiltered()
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

    // A copy inside the cell editor takes only text: the row buffer keeps the row copied before
    // and the transmitter-off flag of that row, both ways round.
    void rowPasteTakesTheFlagCopiedWithTheRow()
    {
        struct Case {
            int copiedRow;     // whole row copied from this channel
            int editedRow;     // then Ctrl+C inside the editor of this channel's tag
            int target;        // whole-row paste into this channel
            const char* transmitText;
            int txOff;
            double txFreq;     // transmit frequency after the read-back
        };
        // Channel 1 is made receive-only (its transmit frequency 8.0 kept); 2 transmits on 3.5.
        const Case cases[] = {
            {0, 1, 5, "TX OFF", 1, 3.0},        // receive-only row, editor copy on a transmitting one
            {1, 0, 6, "3.50000", 0, 3.5},       // transmitting row, editor copy on a receive-only one
        };
        for (const Case& c : cases) {
            GridFixture f;
            f.DoubleClick(0, 3);
            f.Channel(c.target).SetStatus(mv53::kChannelUsed);
            f.grid->MoveTo(c.copiedRow, 0);
            f.grid->Copy();
            f.grid->MoveTo(c.editedRow, 1);
            f.Key(Qt::Key_Return);
            QVERIFY(f.grid->Editing());
            f.Key(Qt::Key_C, Qt::ControlModifier);
            f.Key(Qt::Key_Escape);
            f.grid->MoveTo(c.target, 0);
            f.grid->Paste();
            QCOMPARE(f.Cell(c.target, 3), std::string(c.transmitText));
            QCOMPARE(f.Channel(c.target).TxOff(), c.txOff);
            f.grid->GridToChannels();
            QCOMPARE(f.Channel(c.target).TxFreq().ToFloat(), c.txFreq);
        }
    }

    void onlyACopiedTxOffCellMakesAChannelReceiveOnly()
    {
        GridFixture f;
        f.DoubleClick(0, 3);                     // channel 1 receive-only
        f.grid->Copy();                          // "TX OFF" with the flag set
        f.grid->MoveTo(1, 3);
        f.grid->Paste();
        QCOMPARE(f.Cell(1, 3), std::string("TX OFF"));
        QCOMPARE(f.Channel(1).TxOff(), 1);

        // A copied receive frequency is no "TX OFF".
        f.grid->MoveTo(0, 2);
        f.grid->Copy();                          // its receive frequency, 7.05000
        f.grid->MoveTo(1, 3);
        f.grid->Paste();
        QCOMPARE(f.Channel(1).TxOff(), 0);
        QCOMPARE(f.Cell(1, 3), std::string("7.05000"));

        // "TX OFF" put on the clipboard by something else than a copied Transmit cell is no frequency.
        SetClipboard("TX OFF");
        f.grid->MoveTo(2, 3);
        f.state.Modified = false;
        f.grid->Paste();
        QCOMPARE(f.Channel(2).TxOff(), 0);
        QCOMPARE(f.Cell(2, 3), std::string("12.34500"));
        QVERIFY(!f.state.Modified);

        // A frequency pasted into a receive-only channel's Transmit cell turns its transmitter on.
        f.grid->MoveTo(2, 2);
        f.grid->Copy();
        f.grid->MoveTo(0, 3);
        f.grid->Paste();
        QCOMPARE(f.Channel(0).TxOff(), 0);
        QCOMPARE(f.Cell(0, 3), std::string("12.34500"));
        f.grid->GridToChannels();
        QCOMPARE(f.Channel(0).TxFreq().ToFloat(), 12.345);
    }

    // The editor's own paste (its context menu calls it), a drop and typed characters beyond
    // Latin-1 all pass the column's key filter.
    void editorPasteAndDropPassTheKeyFilter()
    {
        GridFixture f;
        f.grid->MoveTo(1, 1);
        f.Key(Qt::Key_Return);
        f.Key(Qt::Key_End);
        QLineEdit* editor = f.grid->CellEditor();
        QGuiApplication::clipboard()->setText(QStringLiteral("a~b\u0436"));
        editor->paste();
        QCOMPARE(f.EditorText(), std::string("NETAB"));
        TypeText(editor, QStringLiteral("\u0436\u00e9c"));   // Cyrillic zhe, Latin-1 e acute
        QCOMPARE(f.EditorText(), std::string("NETABC"));

        QMimeData mime;
        mime.setText(QStringLiteral("x{y"));
        const QPoint at = editor->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &drop);
        QVERIFY(f.EditorText().find('{') == std::string::npos);
        QVERIFY(f.EditorText().find('X') != std::string::npos);
        f.Key(Qt::Key_Return);
        QTRY_VERIFY(!f.grid->Editing());
        for (char c : f.Cell(1, 1))
            QVERIFY(static_cast<unsigned char>(c) >= 32 && static_cast<unsigned char>(c) <= 95);

        // A frequency cell takes digits, "." and "," only.
        f.grid->MoveTo(1, 2);
        f.Key(Qt::Key_Return);
        QGuiApplication::clipboard()->setText(QStringLiteral("1\u00bd4-5"));
        editor->paste();
        QCOMPARE(f.EditorText(), std::string("145"));
    }
};

QTEST_MAIN(TestGridClipboard)
#include "test_grid_clipboard.moc"
