// Driving a shown dialog from the keyboard, as the dialog tests do: the
// dialog made the active window, keys sent to whatever has the focus so
// that access keys go through Qt's short-cut map.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWidget>
#include <functional>

namespace korvane::test {

// Shows `window` and makes it the active window (access keys only work there).
inline void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &window);
}

// Presses and releases a key at the focus widget (the active window when
// nothing has the focus).
inline void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& text = QString()) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        target = QApplication::activeWindow();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// An access key clicks its button or check box the way a mouse does, with
// a short animation; the click lands once that has run.
inline void waitForAnimatedClick() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 250)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Runs the event loop until `ready` holds or five seconds have passed: what
// a test waits for comes from a thread or from the window system's queue.
inline bool waitFor(const std::function<bool()>& ready) {
    QElapsedTimer timer;
    timer.start();
    while (!ready() && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return ready();
}

// The child of `parent` named `name`, or a failed test.
template <typename T>
T* child(const QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

}  // namespace korvane::test
