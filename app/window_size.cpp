#include "app/window_size.h"

#include <algorithm>

namespace korvane {

namespace {

int fitSide(int stored, int available, int minimum, int fallback) {
    const int largest = available > 0 ? available : fallback;
    return std::clamp(stored, std::min(minimum, largest), largest);
}

}  // namespace

WindowSize fitWindowSize(WindowSize stored, WindowSize available, WindowSize minimum) {
    return {fitSide(stored.width, available.width, minimum.width, kDefaultWindowSize.width),
            fitSide(stored.height, available.height, minimum.height, kDefaultWindowSize.height)};
}

}  // namespace korvane
