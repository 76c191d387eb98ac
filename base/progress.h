// Progress of long work (an open, a conversion, a pass over the whole text).
//
// A 200 MB text takes many seconds to open or convert; the work reports how
// far it is, and the window shows it, stays painted and, where the work can
// be taken back, offers to stop it. The work itself is plain C++: it only
// sees these two interfaces.
#pragma once

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
