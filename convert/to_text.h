// Tag mode's way back to text mode: HTML source to plain text and a title.
//
// A small converter, not a parser: tags are recognised only by "<" and ">"
// and a handful of exact block tags, so malformed HTML still gives text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/progress.h"

namespace korvane {

struct TextAndTitle {
    std::string text;
    // The page title when the source has both title tags; empty when
    // "</TITLE>" comes first; absent when the source has no title, which
    // means the title box keeps what it holds.
    std::optional<std::string> title;
};

// `progress`, when given, hears how much of the source is through.
TextAndTitle ToText(std::string_view html, Progress* progress = nullptr);

}  // namespace korvane
