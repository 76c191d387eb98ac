// Windows' system colour indices (the COLOR_* values of GetSysColor). A
// negative colour value names one of them in its low byte, so the numbers
// are part of the settings file's colour values and must stay these.
#pragma once

#include <cstdint>

namespace korvane {

enum SystemColorIndex : int {
    kColorScrollBar = 0,
    kColorDesktop = 1,
    kColorActiveCaption = 2,
    kColorInactiveCaption = 3,
    kColorMenu = 4,
    kColorWindow = 5,
    kColorWindowFrame = 6,
    kColorMenuText = 7,
    kColorWindowText = 8,
    kColorCaptionText = 9,
    kColorActiveBorder = 10,
    kColorInactiveBorder = 11,
    kColorAppWorkspace = 12,
    kColorHighlight = 13,
    kColorHighlightText = 14,
    kColorBtnFace = 15,
    kColorBtnShadow = 16,
    kColorGrayText = 17,
    kColorBtnText = 18,
    kColorInactiveCaptionText = 19,
    kColorBtnHighlight = 20,
    kColor3dDkShadow = 21,
    kColor3dLight = 22,
    kColorInfoText = 23,
    kColorInfoBk = 24,
    kColorHotLight = 26,
    kColorGradientActiveCaption = 27,
    kColorGradientInactiveCaption = 28,
    kColorMenuHilight = 29,
    kColorMenuBar = 30,
};

// The colour value that names system colour `index`: the sign bit set and
// the index in the low byte, as the toolkit's system colours are written.
constexpr std::int32_t systemColorValue(SystemColorIndex index) {
    return static_cast<std::int32_t>(0x80000000u | static_cast<std::uint32_t>(index));
}

}  // namespace korvane
