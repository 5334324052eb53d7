#pragma once
// Showing a window as the active one and walking its tab order the way a user does.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace mv53::test {

// Shows the window (a dialog loads its records) and makes it the active one, as it is again
// after a closed drop-down list, which leaves no active window offscreen.
inline void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The controls Tab visits, starting with the focused one, until the focus comes back to it (or
// after `limit` presses).
inline std::vector<QWidget*> TabCycle(int limit = 400)
{
    std::vector<QWidget*> cycle{QApplication::focusWidget()};
    for (int i = 0; i < limit && cycle.front() != nullptr; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == cycle.front())
            break;
        cycle.push_back(QApplication::focusWidget());
    }
    return cycle;
}

}  // namespace mv53::test
