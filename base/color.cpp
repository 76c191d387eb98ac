#include "base/color.h"

#include <array>
#include <cstddef>

namespace korvane {

std::uint32_t defaultSystemColor(int index) {
    // Windows' classic scheme, by COLOR_* index; used when no desktop palette
    // is at hand (the command-line converter).
    static constexpr std::array<std::uint32_t, 31> kClassic = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF9933, 0xC8D0D4};
    if (index >= 0 && static_cast<std::size_t>(index) < kClassic.size()) {
        return kClassic[static_cast<std::size_t>(index)];
    }
    return 0;
}

}  // namespace korvane
