// Colours as the whole program holds them: the Windows encoding 0x00BBGGRR
// that the settings file, the colour dialogs and the page conversion share.
#pragma once

#include <cstdint>
#include <functional>

namespace korvane {

// 0x00BBGGRR (red in the low byte); a negative value names a system colour
// by the index in its low byte.
using ColorValue = std::int32_t;

// Resolves a system colour index (the low byte of a negative colour value) to
// the desktop's current 0x00BBGGRR value. The UI passes the palette's colours.
using SystemColorLookup = std::function<std::uint32_t(int index)>;

// The classic Windows default for a system colour index (0x00BBGGRR), for
// where no desktop palette is at hand (the command-line converter).
std::uint32_t defaultSystemColor(int index);

// A character colour: a given colour, or the automatic window-text colour.
struct CharColor {
    bool automatic = true;
    ColorValue color = 0;

    static CharColor autoColor() { return {true, 0}; }
    static CharColor of(ColorValue c) { return {false, c}; }
    friend bool operator==(const CharColor&, const CharColor&) = default;
};

}  // namespace korvane
