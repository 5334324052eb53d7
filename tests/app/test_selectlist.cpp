// The pick list: captions, the column-by-column layout, the start cell, the keys that move the
// cursor (never onto an empty cell) and the ways it closes.

#include "app/SelectList.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

class TestSelectList final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionsAndLayout();
    void startsOnCurrentValue();
    void pageAndHomeEndKeys_data();
    void pageAndHomeEndKeys();
    void emptyCellsCannotBeSelected();
    void closingTheList();
};

namespace {

void Press(TfrmSelList& dialog, Qt::Key key) { QTest::keyClick(dialog.grdList, key); }

} // namespace

void TestSelectList::captionsAndLayout()
{
    TfrmSelList mode(1, "(CH=003)", "A1A");
    QCOMPARE(mode.windowTitle(), QStringLiteral("Operation Wave(CH=003)"));
    TfrmSelList code(4, "(CH=120)", "OFF");
    QCOMPARE(code.windowTitle(), QStringLiteral("Encription Code(CH=120)"));
    QCOMPARE(code.grdList->rowCount(), 10);
    QCOMPARE(code.grdList->columnCount(), 2);
    QCOMPARE(code.grdList->item(0, 0)->text(), QStringLiteral("OFF"));
    QCOMPARE(code.grdList->item(9, 0)->text(), QStringLiteral("09"));
    QCOMPARE(code.grdList->item(0, 1)->text(), QStringLiteral("10"));
    QCOMPARE(code.grdList->item(6, 1)->text(), QStringLiteral("16"));
    QVERIFY(code.grdList->item(7, 1) == nullptr);
    QCOMPARE(code.grdList->rowHeight(0), 15);
    QCOMPARE(code.grdList->columnWidth(1), 90);
    QVERIFY(!code.grdList->showGrid());
    QCOMPARE(code.btnOk->text(), QStringLiteral("Ok"));
    QVERIFY(code.btnOk->isDefault());
    QCOMPARE(code.btnCancel->text(), QStringLiteral("Cancel"));
}

void TestSelectList::startsOnCurrentValue()
{
    TfrmSelList code(4, "", "12");
    QCOMPARE(code.CurrentEntry(), 12);
    QCOMPARE(code.grdList->currentRow(), 2);
    QCOMPARE(code.grdList->currentColumn(), 1);
    TfrmSelList unknown(1, "", "nothing");
    QCOMPARE(unknown.CurrentEntry(), 0);
    QCOMPARE(unknown.CurrentText(), std::string("J3E(LSB)"));
}

void TestSelectList::pageAndHomeEndKeys_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("end, short list") << 1 << "J3E(USB)" << int(Qt::Key_End) << "J2B";
    QTest::newRow("page down, short list") << 1 << "J3E(LSB)" << int(Qt::Key_PageDown) << "J2B";
    QTest::newRow("end, two columns") << 4 << "03" << int(Qt::Key_End) << "16";
    QTest::newRow("page down from second column") << 4 << "11" << int(Qt::Key_PageDown) << "16";
    QTest::newRow("home") << 4 << "15" << int(Qt::Key_Home) << "OFF";
    QTest::newRow("page up") << 1 << "J2B" << int(Qt::Key_PageUp) << "J3E(LSB)";
}

void TestSelectList::pageAndHomeEndKeys()
{
    QFETCH(int, list);
    QFETCH(QString, current);
    QFETCH(int, key);
    QFETCH(QString, expected);
    TfrmSelList dialog(list, "", current.toStdString());
    dialog.show();
    Press(dialog, Qt::Key(key));
    QCOMPARE(dialog.CurrentText(), expected.toStdString());
}

void TestSelectList::emptyCellsCannotBeSelected()
{
    TfrmSelList mode(1, "", "A1A");
    mode.show();
    QVERIFY(!mode.MoveTo(5, 0));
    QVERIFY(!mode.MoveTo(0, 1));
    Press(mode, Qt::Key_Right);
    QCOMPARE(mode.CurrentText(), std::string("A1A"));
    Press(mode, Qt::Key_Down);
    Press(mode, Qt::Key_Down);
    Press(mode, Qt::Key_Down);               // past the last entry: refused
    QCOMPARE(mode.CurrentText(), std::string("J2B"));
    QCOMPARE(mode.grdList->currentRow(), 4);

    // A click on an empty cell keeps the cursor where it was.
    const QRect empty = mode.grdList->visualRect(mode.grdList->model()->index(8, 1));
    QTest::mouseClick(mode.grdList->viewport(), Qt::LeftButton, Qt::NoModifier, empty.center());
    QCOMPARE(mode.CurrentText(), std::string("J2B"));
}

void TestSelectList::closingTheList()
{
    {
        TfrmSelList dialog(4, "", "OFF");
        dialog.show();
        Press(dialog, Qt::Key_Down);
        Press(dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Chosen(), std::string("01"));
    }
    {
        TfrmSelList dialog(4, "", "OFF");
        dialog.show();
        const QRect cell = dialog.grdList->visualRect(dialog.grdList->model()->index(3, 1));
        QWidget* vp = dialog.grdList->viewport();
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(vp, Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, cell.center());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Chosen(), std::string("13"));
    }
    {
        TfrmSelList dialog(1, "", "A3E");
        dialog.show();
        Press(dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.Chosen(), std::string());
    }
    {
        TfrmSelList dialog(1, "", "A3E");
        dialog.show();
        dialog.btnOk->click();
        QCOMPARE(dialog.Chosen(), std::string("A3E"));
    }
}

QTEST_MAIN(TestSelectList)
#include "test_selectlist.moc"
