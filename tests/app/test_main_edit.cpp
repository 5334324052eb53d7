// "&Edit" of the main window: undo and redo, the channel list commands and the find bar,
// driven by menu items and keys.

#include "../grid/GridTestSupport.h"
#include "MainWindowFixture.h"

#include "dialogs/KeyFunc.h"
#include "model/ChannelEdits.h"
#include "model/U_InputFilter.h"

#include <QComboBox>
#include <QPushButton>

using namespace mv53;
using namespace mv53::test;

class MainEditTest : public MainWindowTest {
protected:
    // The default file holds channels 1..3 (HOME 7.05, NET 3.5, MARINE 12.345) and edit's
    // changes; the window is shown with the grid focused.
    TfrmMain& Open(const std::function<void(TMVmem&)>& edit = {}, std::function<int(QDialog&)> showModal = {})
    {
        MakeDataFile(DefaultFile().toStdString(), [&](TMVmem& m) {
            SetChannel(m.Channels().Items(0), "HOME", 7.05, 8.0);
            SetChannel(m.Channels().Items(1), "NET", 3.5, 3.5);
            SetChannel(m.Channels().Items(2), "MARINE", 12.345, 12.345);
            if (edit)
                edit(m);
        });
        TfrmMain& w = Start({}, std::move(showModal));
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        w.Grid()->setFocus();
        return w;
    }
    // A key as the user presses it, then the window's pending work.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), mods);
        QApplication::processEvents();
    }
    void At(int channel, int column) { ASSERT_TRUE(win->Grid()->MoveTo(channel, column)); }
    const TMVmem& Records() const { return win->State().CurrentMem; }
};

TEST_F(MainEditTest, UndoAndRedoOfTypedCellAndPasteFollowTheModifiedMark)
{
    TfrmMain& w = Open();
    const TMVmem opened = Records();
    EXPECT_FALSE(w.miUndo->isEnabled());
    At(0, 2);
    for (const int k : {int('9'), int(Qt::Key_Return)})
        Key(k);
    EXPECT_EQ(w.miUndo->text().toStdString(), "&Undo Typing");
    const TMVmem typed = Records();
    Key(Qt::Key_C, Qt::ControlModifier);
    At(4, 0);
    Key(Qt::Key_V, Qt::ControlModifier);   // the whole row into an empty channel, put in use
    EXPECT_EQ(w.miUndo->text().toStdString(), "&Undo Paste");
    const TMVmem pasted = Records();

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(SameRecords(Records(), typed));
    EXPECT_TRUE(w.State().Modified);
    EXPECT_EQ(w.miRedo->text().toStdString(), "&Redo Paste");
    w.miUndo->trigger();
    EXPECT_TRUE(SameRecords(Records(), opened));
    EXPECT_FALSE(w.State().Modified);
    EXPECT_FALSE(w.miUndo->isEnabled());
    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(SameRecords(Records(), pasted));
    EXPECT_TRUE(w.State().Modified);
    EXPECT_FALSE(w.miRedo->isEnabled());
}

TEST_F(MainEditTest, UndoOfADialogsChangeTakesBackTheFactoryValuesADownloadWrites)
{
    TfrmMain& w = Open({}, [](QDialog& d) {
        d.show();
        auto& keys = dynamic_cast<TfrmKeyFunc&>(d);
        keys.cmbB->setFocus();
        keys.cmbB->setCurrentIndex(keys.cmbB->findText(QStringLiteral("HAIL")));
        d.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
        return d.result();
    });
    const TFactoryOpt opened = w.State().FactoryBackup;
    w.miKeyFunc->trigger();
    EXPECT_EQ(w.miUndo->text().toStdString(), "&Undo Key Function");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(w.State().FactoryBackup.Equals(opened));
}

TEST_F(MainEditTest, CtrlZInTheOpenCellEditorTakesBackItsTextOnly)
{
    TfrmMain& w = Open();
    At(1, 1);
    for (const int k : {'A', 'B'})
        Key(k);
    ASSERT_TRUE(w.Grid()->Editing());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(w.Grid()->Editing());
    EXPECT_EQ(w.Grid()->CellEditor()->text().toStdString(), "A");
    EXPECT_FALSE(w.State().History.CanUndo());
}

TEST_F(MainEditTest, InsertRefusedWhileChannel500IsUsedAndTunerEntriesMoveWithTheirChannel)
{
    TfrmMain& w = Open([](TMVmem& m) {
        m.Channels().Items(499).SetStatus(kChannelUsed);
        m.AntTuner0().Items(0).SetTuneL(7);   // channel 1's entry
    });
    const TMVmem opened = Records();
    At(0, 1);
    prompt.shown.clear();
    w.miInsertChannel->trigger();
    EXPECT_EQ(prompt.texts(), std::vector<std::string>{kInsertRefused});
    EXPECT_TRUE(SameRecords(Records(), opened));

    Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(w.Grid()->CurrentChannel(), 1);
    EXPECT_EQ(Records().Channels().Items(1).Tag(), opened.Channels().Items(0).Tag());
    EXPECT_EQ(Records().AntTuner0().Items(1).TuneL(), 7);
    w.miDeleteChannel->trigger();   // channel 2 (was 1) goes, 3 moves up
    EXPECT_EQ(Records().Channels().Items(1).Tag(), opened.Channels().Items(2).Tag());
    EXPECT_EQ(w.miUndo->text().toStdString(), "&Undo Delete Channel");
    w.miUndo->trigger();
    w.miUndo->trigger();
    EXPECT_TRUE(SameRecords(Records(), opened));
}

TEST_F(MainEditTest, SortByTagPutsEmptyChannelsLast)
{
    TfrmMain& w = Open([](TMVmem& m) { SetChannel(m.Channels().Items(6), "BAY", 4.0, 4.0); });
    w.miSort[2]->trigger();
    std::vector<std::string> tags;
    for (int i = 0; i < 4; ++i)
        tags.push_back(TrimBlanks(w.Grid()->CellText(i, 1)));
    EXPECT_EQ(tags, (std::vector<std::string>{"BAY", "HOME", "MARINE", "NET"}));
    EXPECT_EQ(Records().Channels().Items(4).Status(), kChannelEmpty);
}

TEST_F(MainEditTest, FillStopsAtTheRowOutsideTheRangeAndWritesDownTheSelection)
{
    std::pair<QString, QString> typed;
    TfrmMain& w = Open({}, [&typed](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtStart"))->setText(typed.first);
        d.findChild<QLineEdit*>(QStringLiteral("edtStep"))->setText(typed.second);
        return int(QDialog::Accepted);
    });
    At(0, 2);
    for (int k = 0; k < 2; ++k)
        Key(Qt::Key_Down, Qt::ShiftModifier);
    // The rows the fill will write are marked; the current cell is not.
    const QImage shown = w.Grid()->viewport()->grab().toImage();
    const auto colourIn = [&](int row) {
        const QRect cell = w.Grid()->CellRect(row, 2);   // left of the right-aligned text
        return shown.pixelColor(cell.left() + 1, cell.center().y());
    };
    EXPECT_EQ(colourIn(0), w.Grid()->palette().color(QPalette::Highlight));
    EXPECT_EQ(colourIn(2), w.Grid()->palette().color(QPalette::Base));
    const TMVmem opened = Records();
    prompt.shown.clear();
    typed = {QStringLiteral("29.99"), QStringLiteral("10")};
    win->miFill->trigger();
    ASSERT_EQ(prompt.texts().size(), 1u);
    EXPECT_EQ(prompt.texts()[0].substr(0, 34), "CH-003 receive frequency 30.01000 ");
    EXPECT_TRUE(SameRecords(Records(), opened));
    typed = {QStringLiteral("7"), QStringLiteral("-5")};
    win->miFill->trigger();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(win->Grid()->CellText(i, 3), std::vector<std::string>({"7.00000", "6.99500", "6.99000"})[i]);
}

TEST_F(MainEditTest, FindWrapsAndEscapeGivesTheGridTheFocus)
{
    TfrmMain& w = Open([](TMVmem& m) { SetChannel(m.Channels().Items(299), "NETWORK", 3.5, 3.5); });
    Key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(w.FindBar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.FindEdit());
    QTest::keyClicks(w.FindEdit(), QStringLiteral("net"));
    std::vector<int> found;
    for (int k = 0; k < 3; ++k) {
        Key(Qt::Key_Return);
        found.push_back(w.Grid()->CurrentChannel());
    }
    EXPECT_EQ(found, (std::vector<int>{1, 299, 1}));
    w.FindEdit()->setText(QStringLiteral("12,345"));
    Key(Qt::Key_Return);
    EXPECT_EQ(w.Grid()->CurrentChannel(), 2);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(w.FindBar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.Grid());
}

