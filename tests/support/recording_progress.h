// A stand-in for the window's progress dialog: it remembers each piece of
// long work with its caption and reports, and can ask the work to stop.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/progress.h"

namespace korvane::test {

class RecordingProgressDisplay : public ProgressDisplay {
  public:
    struct Work {
        std::string caption;
        bool cancellable = false;
        std::vector<std::pair<std::size_t, std::size_t>> reports;
    };

    std::unique_ptr<Progress> start(std::string_view caption, bool cancellable) override {
        works.push_back({std::string(caption), cancellable, {}});
        return std::make_unique<Sink>(*this, works.size() - 1);
    }

    std::vector<Work> works;
    // Every report asks the work to stop, as the dialog's Cancel does.
    bool stop = false;

  private:
    class Sink : public Progress {
      public:
        Sink(RecordingProgressDisplay& display, std::size_t index)
            : m_display(display), m_index(index) {}
        bool report(std::size_t done, std::size_t total) override {
            m_display.works[m_index].reports.emplace_back(done, total);
            return !m_display.stop;
        }

      private:
        RecordingProgressDisplay& m_display;
        std::size_t m_index;
    };
};

}  // namespace korvane::test
