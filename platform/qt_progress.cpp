#include "platform/qt_progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QString>

#include <algorithm>

namespace korvane {

namespace {

constexpr int kShowAfterMs = 500;
constexpr qint64 kEventsEveryMs = 50;
constexpr int kSteps = 1000;

}  // namespace

class QtProgressDisplay::Dialog final : public Progress {
  public:
    Dialog(QtProgressDisplay& display, std::string_view caption, bool cancellable)
        : m_display(display),
          m_dialog(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                   cancellable ? QStringLiteral("キャンセル") : QString(), 0, kSteps,
                   display.m_window) {
        ++m_display.m_running;
        m_dialog.setWindowTitle(QStringLiteral("korvane"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(kShowAfterMs);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        if (!cancellable)
            m_dialog.setCancelButton(nullptr);
        // Starts the clock that shows the dialog.
        m_dialog.setValue(0);
        m_sinceEvents.start();
    }
    ~Dialog() override { --m_display.m_running; }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    bool report(std::size_t done, std::size_t total) override {
        if (m_sinceEvents.elapsed() < kEventsEveryMs)
            return !m_dialog.wasCanceled();
        const double part =
            total == 0 ? 0.0 : static_cast<double>(done) / static_cast<double>(total);
        m_dialog.setValue(std::clamp(static_cast<int>(part * kSteps), 0, kSteps - 1));
        // Before the dialog is up nothing blocks the window's input: it waits
        // until the work is through.
        QCoreApplication::processEvents(m_dialog.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        m_sinceEvents.restart();
        return !m_dialog.wasCanceled();
    }

  private:
    QtProgressDisplay& m_display;
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceEvents;
};

std::unique_ptr<Progress> QtProgressDisplay::start(std::string_view caption, bool cancellable) {
    return std::make_unique<Dialog>(*this, caption, cancellable);
}

}  // namespace korvane
