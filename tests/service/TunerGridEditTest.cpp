// The tuner grid's L editor on the shared cell editor: a pasted text passes the digit filter
// (a letter no longer empties the cell), and Escape leaves the cell as it was shown.

#include "service/AntTuneSet.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(TunerGridEditTest, PasteIsFilteredAndEscapeKeepsTheCell)
{
    TProgramState state;
    state.CurrentMem.Channels().Items(0).SetStatus(mv53::kChannelUsed);
    TAntTuner0 set0;
    TAntTuner1 set1;
    set0.Entries(0).SetTuneL(7);
    TTunerGrid grid(state);
    grid.Fill(set0, set1);
    grid.resize(700, 300);
    grid.show();
    grid.setCurrentIndex(grid.model()->index(0, TTunerGrid::kColumnL));

    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(grid.CellEditor(), Qt::Key_9);
    QTest::keyClick(grid.CellEditor(), Qt::Key_Escape);
    EXPECT_FALSE(grid.Editing());
    EXPECT_EQ(grid.CellText(0, TTunerGrid::kColumnL), "  7");

    QGuiApplication::clipboard()->setText(QStringLiteral("3a5"));
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(grid.CellEditor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(grid.CellEditor(), Qt::Key_Return);
    EXPECT_EQ(grid.CellText(0, TTunerGrid::kColumnL), "35");
    grid.Store(set0, set1);
    EXPECT_EQ(set0.Entries(0).TuneL(), 35);
}
