#pragma once
// Showing a window as the active one and walking its tab order the way a user does.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace mv53::test {

// Shows the window and makes it the active one (again after a closed drop-down list).
inline void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The controls Tab visits from the focused one until the focus is back (at most limit presses).
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
