#pragma once
// Walking a window's tab order the way a user does: Tab pressed in the focused control.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <vector>

namespace mv53::test {

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
