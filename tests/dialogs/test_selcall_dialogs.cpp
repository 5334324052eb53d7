// The selcall and telephone dialogs driven offscreen: the unit switch and its enable rules, the
// two-state ID edits with their zero completion, and the telephone grid's in-place editor.

#include "DialogTestSupport.h"

#include "dialogs/Selcall.h"
#include "dialogs/Telephone.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace mv53::test;

// An ID is completed with zeros when the edit is left, and also when "&Ok" is reached from
// inside the edit: the completed ID is stored, never the typed digits.
TEST(SelcallDialog, IdsAreCompletedWithZeros)
{
    enum { kSelf = -1, kKill = -2 };   // otherwise the index of a TX ID
    struct Case {
        int edit;
        const char* typed;
        const char* shown;
        bool leave;   // leave the edit before "&Ok"
    };
    const Case cases[] = {
        {kSelf, "7", "7000", true}, {kKill, "123", "12300000", true}, {9, "12", "1200", true}, {kSelf, "7", "7000", false},
        {kSelf, "12345", "1234", true},   // the edit takes no more than 4
        {0, "a", "0000", true},           // a letter is not typed; the cleared text becomes zeros
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.edit) + " " + c.typed + (c.leave ? "" : " Ok inside"));
        TCmmOpt opt;
        opt.SetSelcallUnit(1);
        TfrmSelcall dlg(opt);
        dlg.Sel.SetKillSystem(1);
        ShowActive(dlg);
        QLineEdit* edit = c.edit == kSelf ? dlg.edtSelfId : c.edit == kKill ? dlg.edtKillId : dlg.edtTxId[c.edit];
        Enter(edit);
        EXPECT_TRUE(edit->isReadOnly());
        if (std::string(c.typed) == "a") {
            QTest::keyClick(edit, Qt::Key_Return);   // edit state on, all selected
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        Type(edit, c.typed);
        if (c.leave) {
            Enter(dlg.cmbHoldTime);
            EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown));
            EXPECT_TRUE(edit->isReadOnly());
        } else {
            ASSERT_EQ(QApplication::focusWidget(), edit);
        }
        dlg.btnOk->click();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(c.edit == kSelf ? dlg.Sel.SelfId() : c.edit == kKill ? dlg.Sel.KillId() : dlg.Sel.TxIds(c.edit).TxId(), c.shown);
    }
}

// Navigation and editing keys are not typed characters: Tab leaves an ID edit with one press,
// Home and Delete edit it.
TEST(SelcallDialog, TabLeavesAnIdEditAndDeleteDeletes)
{
    TCmmOpt opt;
    opt.SetSelcallUnit(1);
    TfrmSelcall dlg(opt);
    dlg.Sel.SetSelfId("1234");
    dlg.Sel.TxIds(4).SetTxId("5678");
    ShowActive(dlg);
    const std::pair<QLineEdit*, QWidget*> edits[] = {{dlg.edtSelfId, dlg.cmbKillSystem}, {dlg.edtTxId[4], dlg.edtTxId[5]}};
    for (const auto& [edit, next] : edits) {
        SCOPED_TRACE(edit->objectName().toStdString());
        Enter(edit);
        const QString text = edit->text();
        QTest::keyClick(edit, Qt::Key_Return);   // edit state
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        EXPECT_EQ(edit->text(), text.mid(1));
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
        EXPECT_EQ(edit->text(), text.mid(1) + QLatin1Char('0'));   // completed when left
    }
}

namespace {

struct TelephoneFixture : ::testing::Test {
    TfrmTelephone dlg;

    void SetUp() override
    {
        dlg.TelNumbers.SetTelCallType(0);
        dlg.TelNumbers.Numbers(0).SetNumber("0123456789012345");
        dlg.TelNumbers.Numbers(1).SetNumber("5551234");
        ShowActive(dlg);
        Enter(dlg.grdA);
    }
    void Select(int row) { dlg.grdA->setCurrentCell(row, TfrmTelephone::kNumberColumn); }
};

}  // namespace

TEST_F(TelephoneFixture, ClearedNumberIsStoredEmptyAndShownAsHyphens)
{
    Select(1);
    QTest::keyClick(dlg.grdA, Qt::Key_Return);
    ASSERT_TRUE(dlg.EditorShown());
    dlg.edtDmy->selectAll();
    QTest::keyClick(dlg.edtDmy, Qt::Key_Backspace);
    QTest::keyClick(dlg.edtDmy, Qt::Key_Return);
    EXPECT_FALSE(dlg.EditorShown());
    EXPECT_EQ(dlg.CellText(1), QStringLiteral("---------------"));
    EXPECT_EQ(dlg.TelNumbers.Numbers(1).Number(), "");
    EXPECT_EQ(QApplication::focusWidget(), dlg.grdA);
}

TEST_F(TelephoneFixture, ADigitTypedInTheGridStartsTheEditorAndOtherKeysAreDropped)
{
    Select(3);
    Type(dlg.grdA, "x#");
    EXPECT_FALSE(dlg.EditorShown());
    Type(dlg.grdA, "4");
    ASSERT_TRUE(dlg.EditorShown());
    Type(dlg.edtDmy, "2a-9");
    EXPECT_EQ(dlg.edtDmy->text(), QStringLiteral("429"));
    // Selecting another cell takes the number.
    Select(5);
    EXPECT_FALSE(dlg.EditorShown());
    EXPECT_EQ(dlg.TelNumbers.Numbers(3).Number(), "429");
    EXPECT_EQ(dlg.CellText(3), QStringLiteral("429"));
}

TEST_F(TelephoneFixture, OkTakesAnOpenEditorAndTheHintFollowsTheColumn)
{
    Select(2);
    EXPECT_EQ(dlg.pnlHint1->text(), QStringLiteral("Edit Telephone Number (0..9)"));
    EXPECT_EQ(dlg.pnlHint2->text(), QStringLiteral("<ENTER>"));
    QTest::keyClick(dlg.grdA, Qt::Key_7);
    Type(dlg.edtDmy, "12");
    dlg.btnOk->click();
    EXPECT_EQ(dlg.TelNumbers.Numbers(2).Number(), "712");
    dlg.grdA->setCurrentCell(2, 0);
    EXPECT_TRUE(dlg.pnlHint1->text().isEmpty());
}
