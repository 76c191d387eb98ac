// Finding and running a window's commands by their object names, as the
// window tests drive them.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QString>
#include <QWidget>

namespace korvane::test {

inline QAction* findAction(const QWidget* window, const char* name) {
    return window->findChild<QAction*>(QString::fromUtf8(name));
}

// Fails the test when the command is missing or disabled, as a person could
// not choose it either.
inline void triggerAction(const QWidget* window, const char* name) {
    QAction* a = findAction(window, name);
    ASSERT_NE(a, nullptr) << name;
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
}

}  // namespace korvane::test
