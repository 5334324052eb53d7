#pragma once
// Showing a parameter dialog offscreen and typing into it as a user would.

#include "FocusTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace mv53::test {

// Moves the focus to a control the way Tab would (focus events and the dialog's reactions).
// (A closed drop-down list leaves no active window on the offscreen platform: activate again.)
inline void Enter(QWidget* control)
{
    QApplication::processEvents();
    if (QApplication::activeWindow() != control->window()) {
        control->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(control->window()));
    }
    control->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

inline void Type(QWidget* control, const char* text)
{
    for (const char* c = text; *c; ++c)
        QTest::keyClick(control, *c);
}

// Selects the entry with the text in a drop-down list as the user would (the list's signal).
inline void Choose(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
}

inline QStringList Items(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

}  // namespace mv53::test
