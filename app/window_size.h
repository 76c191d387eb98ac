// The main window's stored size, made to fit the screen it opens on.
//
// The settings file keeps the window's outer (frame) size, and whatever it
// holds is taken: a value written by hand, by another program or on a larger
// screen. A window wider or taller than the screen hides its close box and
// the save question that closing asks; one of 100000 pixels is a window of
// hundreds of megabytes that the window system clips anyway. So the stored
// size is fitted before it is used, and the fitted size is what closing
// stores back.
#pragma once

namespace korvane {

struct WindowSize {
    int width = 0;
    int height = 0;

    bool operator==(const WindowSize&) const = default;
};

// The outer size without a settings file.
inline constexpr WindowSize kDefaultWindowSize{600, 440};
// Below this a window shows too little of its tool bar and editor to be of
// use; a stored 0 or negative side comes up at this size.
inline constexpr WindowSize kMinimumWindowSize{200, 150};

// The outer size a window stored as `stored` opens at on a screen whose free
// area (without panels and docks) is `available`: each side no smaller than
// `minimum` and no larger than the free area, which wins when the two
// disagree (a screen smaller than the minimum). A side of `available` that is
// not positive means the screen is unknown; the default size bounds that
// side instead.
WindowSize fitWindowSize(WindowSize stored, WindowSize available,
                         WindowSize minimum = kMinimumWindowSize);

}  // namespace korvane
