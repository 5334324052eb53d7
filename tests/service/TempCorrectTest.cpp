// The temperature correction window driven offscreen: the cell each spin edit edits, the store
// rule, and what reaches CurrentMem on each way of leaving the window.

#include "FocusTestSupport.h"
#include "ServiceTestSupport.h"
#include "service/TempCorrect.h"

#include <QTest>

using mv53::test::HostCall;
using K = TTransferKind;

namespace {

class TempCorrectTest : public mv53::test::ServiceWindowTest {
protected:
    std::unique_ptr<TfrmTempCorrect> Open()
    {
        auto frm = std::make_unique<TfrmTempCorrect>(state, Host());
        frm->TmpCorrect() = state.CurrentMem.TmpCorrect();
        frm->show();
        return frm;
    }
};

}  // namespace

TEST_F(TempCorrectTest, EachSpinEditShowsAndStoresItsOwnCell)
{
    // A distinct value in every cell: a mix-up of rows or columns shows at once.
    for (int r = 0; r < TfrmTempCorrect::kRows; ++r)
        for (int c = 0; c < TfrmTempCorrect::kColumns; ++c)
            state.CurrentMem.TmpCorrect().Rows(r).SetValues(c, (r * 9 + c) % 251 - 125);
    auto frm = Open();
    for (int r = 0; r < TfrmTempCorrect::kRows; ++r)
        for (int c = 0; c < TfrmTempCorrect::kColumns; ++c)
            ASSERT_EQ(frm->SpinEdit[static_cast<size_t>(r)][static_cast<size_t>(c)]->value(), (r * 9 + c) % 251 - 125)
                << r << "," << c;
    frm->SpinEdit[43][8]->setValue(200);   // clamped to the range
    frm->btnWrite->click();
    EXPECT_EQ(state.CurrentMem.TmpCorrect().Rows(43).Values(8), 125);
    EXPECT_EQ(state.CurrentMem.TmpCorrect().Rows(43).Values(7), (43 * 9 + 7) % 251 - 125);
    EXPECT_TRUE(state.Modified);
    EXPECT_EQ(calls, (std::vector<HostCall>{{K::Factory, false, false}}));
}

TEST_F(TempCorrectTest, TextThatIsNoNumberStoresTheMinimum)
{
    auto frm = Open();
    frm->activateWindow();
    TSpinEdit* spin = frm->SpinEdit[4][4];
    spin->setFocus();
    spin->Edit()->selectAll();
    QTest::keyClicks(spin, QStringLiteral("-"));
    QTest::keyClicks(spin, QStringLiteral("x"));   // refused
    EXPECT_EQ(spin->Edit()->text(), QStringLiteral("-"));
    frm->StoreStep();
    EXPECT_EQ(frm->TmpCorrect().Rows(4).Values(4), -125);
}

TEST_F(TempCorrectTest, LeavingAsksOnlyWhenSomethingDiffersAndNoDiscards)
{
    LeaveEveryWay([this](mv53::test::Leave how, int answer) {
        auto frm = Open();
        if (answer >= 0)
            frm->SpinEdit[0][0]->setValue(-7);
        // Escape in the first field, which the window opens on in its edit state.
        mv53::test::ShowActive(*frm);
        mv53::test::LeaveBy(*frm, how, frm->SpinEdit[0][0]);
        EXPECT_FALSE(frm->isVisible());
        EXPECT_EQ(state.CurrentMem.TmpCorrect().Rows(0).Values(0), answer == 1 ? -7 : 0);
    });
}
