// The column dialog: its boxes follow the visible flags, "Ok" takes the ticks, "Cancel" and
// Escape change nothing, and item 10 is never in the dialog.

#include "app/Visible.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

class TestVisible final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxesShowFlags();
    void okTakesTicks();
    void cancelAndEscapeChangeNothing();
};

namespace {

std::array<bool, 11> Flags(std::initializer_list<int> hidden)
{
    std::array<bool, 11> flags{};
    flags.fill(true);
    for (int i : hidden)
        flags[static_cast<size_t>(i)] = false;
    return flags;
}

} // namespace

void TestVisible::boxesShowFlags()
{
    TfrmVisible dialog(Flags({3, 7, 10}));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Visible"));
    const char* captions[] = {"&Chn", "&Tag", "Frequency &RX", "Frequency T&X", "&Mode",
                              "&Pwr", "S&hift", "&Encryption Code", "&Selcall", "T&une Mode"};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(dialog.chkItems[static_cast<size_t>(i)]->text(), QString::fromLatin1(captions[i]));
        QCOMPARE(dialog.chkItems[static_cast<size_t>(i)]->isChecked(), i != 3 && i != 7);
    }
    QCOMPARE(dialog.btnOk->text(), QStringLiteral("Ok"));
    QCOMPARE(dialog.btnCancel->text(), QStringLiteral("Cancel"));
}

void TestVisible::okTakesTicks()
{
    for (bool item10 : {false, true}) {
        auto given = Flags({3});
        given[10] = item10;
        TfrmVisible dialog(given);
        dialog.show();
        dialog.chkItems[3]->click();
        dialog.chkItems[0]->click();
        QTest::keyClick(dialog.chkItems[5], Qt::Key_Space);
        dialog.btnOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        auto expected = Flags({0, 5});
        expected[10] = item10;
        QCOMPARE(dialog.Flags(), expected);
    }
}

void TestVisible::cancelAndEscapeChangeNothing()
{
    const auto given = Flags({2, 10});
    {
        TfrmVisible dialog(given);
        dialog.show();
        dialog.chkItems[2]->click();
        dialog.btnCancel->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.Flags(), given);
    }
    {
        TfrmVisible dialog(given);
        dialog.show();
        dialog.chkItems[4]->click();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.Flags(), given);
    }
}

QTEST_MAIN(TestVisible)
#include "test_visible.moc"
