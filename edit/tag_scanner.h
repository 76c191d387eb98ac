// Finding the tags of HTML source as the highlighter colours them.
//
// A tag is the byte range from a "<" up to and including the first ">" after
// it. Tags do not nest: the scan goes on behind each ">", so everything in
// between, line breaks and further "<" included, belongs to the tag. A "<"
// with no ">" after it ends the scan, and a ">" with no "<" before it is
// ordinary text. Neither byte is ever the second byte of a Shift_JIS
// character, so plain byte searches find exactly the character positions.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

namespace korvane {

// A tag [start, end): `end` is the offset just behind its ">".
struct TagRange {
    std::size_t start = 0;
    std::size_t end = 0;
    friend bool operator==(const TagRange&, const TagRange&) = default;
};

// Calls `onTag(TagRange)` for each tag of `text`, left to right. Kept inline
// so the callback is not an indirect call per tag: a page of a megabyte holds
// tens of thousands of them.
template <typename OnTag>
void forEachTag(std::string_view text, OnTag&& onTag) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (p < end) {
        const auto* open =
            static_cast<const char*>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
        if (open == nullptr)
            return;
        const auto* close = static_cast<const char*>(
            std::memchr(open + 1, '>', static_cast<std::size_t>(end - open - 1)));
        if (close == nullptr)
            return;
        onTag(TagRange{static_cast<std::size_t>(open - begin),
                       static_cast<std::size_t>(close - begin) + 1});
        p = close + 1;
    }
}

// All tags of `text`, left to right.
std::vector<TagRange> findTags(std::string_view text);

}  // namespace korvane
