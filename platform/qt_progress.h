// Long work's progress in a window-modal QProgressDialog.
//
// The dialog shows only for work that lasts more than half a second. Until
// it shows, the window is kept painted without taking any input; once it
// shows it blocks the window's input itself, and its Cancel button works.
// The work reports often; events are processed at most every 50 ms, so the
// painting costs the work next to nothing.
#pragma once

#include <memory>
#include <string_view>

#include "base/progress.h"

class QWidget;

namespace korvane {

class QtProgressDisplay final : public ProgressDisplay {
  public:
    // The dialog is modal to `window`.
    explicit QtProgressDisplay(QWidget* window) : m_window(window) {}

    std::unique_ptr<Progress> start(std::string_view caption, bool cancellable) override;

    // Some work is in progress: no command, drop or close may start now.
    bool busy() const override { return m_running > 0; }

  private:
    class Dialog;

    QWidget* m_window;
    int m_running = 0;
};

}  // namespace korvane
