// The pick list: captions, the column-by-column layout, the start cell, the keys (never onto
// an empty cell) and the ways it closes.

#include "grid/SelectList.h"

#include <QTableWidget>
#include <QTest>

class TestSelectList final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keys_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("end, one column") << 1 << "J3E(USB)" << QList<int>{Qt::Key_End} << "J2B";
        QTest::newRow("page down, two columns") << 4 << "03" << QList<int>{Qt::Key_PageDown} << "16";
        QTest::newRow("home") << 4 << "15" << QList<int>{Qt::Key_Home} << "OFF";
        QTest::newRow("right onto empty") << 1 << "A1A" << QList<int>{Qt::Key_Right} << "A1A";
        QTest::newRow("down past the last") << 1 << "A3E" << QList<int>{Qt::Key_Down, Qt::Key_Down} << "J2B";
        QTest::newRow("down, two columns") << 4 << "OFF" << QList<int>{Qt::Key_Down} << "01";
    }

    void keys()
    {
        QFETCH(int, list);
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QString, expected);
        TfrmSelList dialog(list, "", start.toStdString());
        dialog.show();
        for (int key : keys)
            QTest::keyClick(dialog.grdList, Qt::Key(key));
        QTest::keyClick(dialog.grdList, Qt::Key_Return);   // Enter takes the entry
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Chosen(), expected.toStdString());
    }

    void closing()
    {
        TfrmSelList byMouse(4, "", "OFF");
        byMouse.show();
        QWidget* vp = byMouse.grdList->viewport();
        const QPoint empty = byMouse.grdList->visualRect(byMouse.grdList->model()->index(8, 1)).center();
        QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, empty);
        QCOMPARE(byMouse.CurrentText(), std::string("OFF"));
        const QPoint at = byMouse.grdList->visualRect(byMouse.grdList->model()->index(3, 1)).center();
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(vp, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(byMouse.result(), int(QDialog::Accepted));
        QCOMPARE(byMouse.Chosen(), std::string("13"));

        TfrmSelList byEscape(1, "", "A3E");
        byEscape.show();
        QTest::keyClick(byEscape.grdList, Qt::Key_Escape);
        QCOMPARE(byEscape.result(), int(QDialog::Rejected));
        QCOMPARE(byEscape.Chosen(), std::string());
    }
};

QTEST_MAIN(TestSelectList)
#include "test_selectlist.moc"
