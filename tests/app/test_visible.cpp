// The column dialog: boxes follow the flags, "Ok" takes the ticks (item 10 is not in the
// dialog and keeps its flag), "Cancel" and Escape change nothing.

#include "grid/Visible.h"

#include <QCheckBox>
#include <QTest>

class TestVisible final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okTakesTicksCancelKeepsFlags()
    {
        std::array<bool, 11> given{};
        given.fill(true);
        given[3] = false;
        TfrmVisible ok(given);
        QVERIFY(!ok.chkItems[3]->isChecked());
        QVERIFY(ok.chkItems[4]->isChecked());
        ok.show();
        ok.chkItems[3]->click();
        QTest::keyClick(ok.chkItems[5], Qt::Key_Space);
        ok.Ok();
        QCOMPARE(ok.result(), int(QDialog::Accepted));
        auto expected = given;
        expected[3] = true;
        expected[5] = false;
        QCOMPARE(ok.Flags(), expected);

        TfrmVisible cancel(given);
        cancel.show();
        cancel.chkItems[2]->click();
        QTest::keyClick(&cancel, Qt::Key_Escape);
        QCOMPARE(cancel.result(), int(QDialog::Rejected));
        QCOMPARE(cancel.Flags(), given);
    }
};

QTEST_MAIN(TestVisible)
#include "test_visible.moc"
