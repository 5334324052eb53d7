#pragma once
// Shared set-up of the channel grid tests: a program state with a few channels, the grid shown
// and active, and helpers that drive it with real key and mouse events.

#include "app/ChannelGrid.h"

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
    ch.SetPower(0);
}

struct GridFixture {
    TProgramState state;
    std::unique_ptr<TChannelGrid> grid;

    // Channels 1..3 used (7.05/8.0, 3.5/3.5, 12.345/12.345), the rest empty at 3.0.
    GridFixture()
    {
        for (int i = 0; i < kGridChannels; ++i)
            SetChannel(state.GridChannels.Items(i), "  CH-" + std::to_string(1000 + i + 1).substr(1), 3.0, 3.0, false);
        SetChannel(state.GridChannels.Items(0), "HOME", 7.05, 8.0);
        SetChannel(state.GridChannels.Items(1), "NET", 3.5, 3.5);
        SetChannel(state.GridChannels.Items(2), "MARINE", 12.345, 12.345);
        state.CurrentMem.Channels().Assign(state.GridChannels);
        grid = std::make_unique<TChannelGrid>(state);
        grid->resize(760, 400);
        grid->show();
        grid->activateWindow();
        if (!QTest::qWaitForWindowActive(grid.get()))
            qWarning("grid window not active");
        grid->setFocus();
    }

    // The widget that gets the next key: the editor while it is open, else the grid.
    QWidget* Target() const
    {
        QWidget* w = QApplication::focusWidget();
        return w != nullptr ? w : grid.get();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(Target(), key, mods); }
    void Type(const char* text)
    {
        for (const char* p = text; *p != 0; ++p)
            QTest::keyClick(Target(), *p);
    }
    QPoint Centre(int channel, int column) const { return grid->CellRect(channel, column).center(); }
    void Click(int channel, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(grid->viewport(), button, Qt::NoModifier, Centre(channel, column));
    }
    // A double-click as the platform delivers it: press, release, double-click, release.
    void DoubleClick(int channel, int column)
    {
        QWidget* vp = grid->viewport();
        const QPoint at = Centre(channel, column);
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(vp, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at);
    }
    std::string Cell(int channel, int column) const { return grid->CellText(channel, column); }
    TChannel& Channel(int channel) { return state.GridChannels.Items(channel); }
};

} // namespace mv53::test
