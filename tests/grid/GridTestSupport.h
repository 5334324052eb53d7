#pragma once
// The grid tests' set-up: channels 1..3 used (HOME 7.05/8.0, NET 3.5, MARINE 12.345), the rest
// empty; the grid shown and active; keys go to the focused widget (the editor while it is open).

#include "grid/ChannelGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace mv53::test {

inline void SetChannel(TChannel& ch, const std::string& tag, double rx, double tx, bool used = true)
{
    ch.SetStatus(used ? kChannelUsed : kChannelEmpty);
    ch.SetTag(tag);
    ch.RxFreq().FromFloat(rx);
    ch.TxFreq().FromFloat(tx);
    ch.SetMode(1);
}

// Values a real radio may hold that the grid cannot show exactly, on used channels 11 to 14:
// encryption off with its code kept, code 16, an encryption flag of 2 and a tune mode of 2.
inline void StoredValuesNoCellShows(TChannels& channels)
{
    for (int i = 10; i < 14; ++i)
        channels.Items(i).SetStatus(kChannelUsed);
    channels.Items(10).SetEncryptCode(5);
    channels.Items(11).SetEncryptOn(1);
    channels.Items(11).SetEncryptCode(16);
    channels.Items(12).SetEncryptOn(2);
    channels.Items(13).SetTuneMode(2);
}

struct GridFixture {
    TProgramState state;
    std::unique_ptr<TChannelGrid> grid;

    GridFixture()
    {
        for (int i = 0; i < kGridChannels; ++i)
            SetChannel(state.GridChannels.Items(i), "  CH-X", 3.0, 3.0, false);
        SetChannel(state.GridChannels.Items(0), "HOME", 7.05, 8.0);
        SetChannel(state.GridChannels.Items(1), "NET", 3.5, 3.5);
        SetChannel(state.GridChannels.Items(2), "MARINE", 12.345, 12.345);
        grid = std::make_unique<TChannelGrid>(state);
        grid->resize(760, 400);
        grid->show();
        grid->activateWindow();
        if (!QTest::qWaitForWindowActive(grid.get()))
            qWarning("grid window not active");
        grid->setFocus();
    }

    QWidget* Target() const { return QApplication::focusWidget() ? QApplication::focusWidget() : grid.get(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(Target(), key, mods); }
    void Type(const char* text)
    {
        for (const char* p = text; *p != 0; ++p)
            QTest::keyClick(Target(), *p);
    }
    // Moves to the cell and types text (the first key opens the editor).
    void TypeAt(int channel, int column, const char* text)
    {
        grid->MoveTo(channel, column);
        Type(text);
    }
    QPoint Centre(int channel, int column) const { return grid->CellRect(channel, column).center(); }
    void Click(int channel, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(grid->viewport(), button, Qt::NoModifier, Centre(channel, column));
    }
    // As the platform delivers a double-click: press, release, double-click, release.
    void DoubleClick(int channel, int column)
    {
        const QPoint at = Centre(channel, column);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    std::string Cell(int channel, int column) const { return grid->CellText(channel, column); }
    std::string EditorText() const { return grid->CellEditor()->text().toStdString(); }
    TChannel& Channel(int channel) { return state.GridChannels.Items(channel); }
    void ShowColumns(std::initializer_list<int> hidden)
    {
        std::array<bool, kGridColumns> visible{};
        visible.fill(true);
        for (int c : hidden)
            visible[static_cast<size_t>(c)] = false;
        grid->ApplyColumnVisibility(visible);
    }
};

} // namespace mv53::test
