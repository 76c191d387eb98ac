// Byte-level facts about Shift_JIS (CP932) text that the core needs without
// decoding it.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvane {

// A byte that starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isSjisLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The length of the character that starts at `i`: 2 for a lead byte that has
// a byte after it, else 1. Invalid pairs are stepped over like valid ones,
// as the Windows multi-byte functions do.
inline std::size_t sjisCharLength(std::string_view s, std::size_t i) {
    return (isSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// The first occurrence of `needle` at or after `from` that starts at a
// character boundary, or npos. Plain byte search can match the trail byte of
// a double-byte character followed by ASCII; this never does.
std::size_t findAtCharBoundary(std::string_view haystack, std::string_view needle,
                               std::size_t from = 0);

}  // namespace korvane
