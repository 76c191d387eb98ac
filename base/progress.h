// Progress of long work (an open, a conversion, a pass over the whole text).
//
// A 200 MB text takes many seconds to open or convert; the work reports how
// far it is, and the window shows it, stays painted and, where the work can
// be taken back, offers to stop it. The work itself is plain C++: it only
// sees these two interfaces.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>

namespace korvane {

class Progress {
  public:
    virtual ~Progress() = default;
    // `done` of `total` (any unit: bytes, characters) are through. False
    // when the user asked to stop: the work then ends leaving everything as
    // it was before it started. Work that cannot stop ignores the answer.
    virtual bool report(std::size_t done, std::size_t total) = 0;
};

// Where long work shows its progress (the main window).
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    // Work starts; what it reports shows (if it lasts) under `caption`
    // (UTF-8) until the returned object is gone. `cancellable` offers the
    // user a way to stop it.
    virtual std::unique_ptr<Progress> start(std::string_view caption, bool cancellable) = 0;
    // Whether some work is running now: no command, drop or close starts
    // in the middle of it.
    virtual bool busy() const { return false; }
};

// How much work (bytes, characters) goes by between two reports of a pass
// that reports as it goes: a report costs a clock reading, and a megabyte
// takes a millisecond or two.
inline constexpr std::size_t kProgressStep = std::size_t{1} << 20;

// A share of a whole that runs in steps: what a step reports, in its own
// units, fills the fractions [from, to) of the whole's progress, so that one
// display runs through a conversion and the load of its result once.
class ProgressPart final : public Progress {
  public:
    ProgressPart(Progress& whole, double from, double to)
        : m_whole(whole), m_from(from), m_to(to) {}
    bool report(std::size_t done, std::size_t total) override {
        constexpr double kScale = 1'000'000;
        const double part =
            total == 0 ? 0.0
                       : std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
        return m_whole.report(static_cast<std::size_t>((m_from + (m_to - m_from) * part) * kScale),
                              static_cast<std::size_t>(kScale));
    }

  private:
    Progress& m_whole;
    double m_from;
    double m_to;
};

// Progress that nobody sees: work started without a display reports here.
class SilentProgress final : public Progress {
  public:
    bool report(std::size_t, std::size_t) override { return true; }
};

inline std::unique_ptr<Progress> startProgress(ProgressDisplay* display, std::string_view caption,
                                               bool cancellable) {
    if (display == nullptr)
        return std::make_unique<SilentProgress>();
    return display->start(caption, cancellable);
}

}  // namespace korvane
