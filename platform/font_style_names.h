// The names the font dialog shows for a family's styles. Fonts name their
// styles in English ("Regular", "Bold Italic"); the Japanese Windows font
// dialog shows the common ones as "標準", "太字", "斜体" and "太字 斜体", and
// the program's whole interface is Japanese. Only what is shown changes:
// the dialog keeps choosing by the font's own names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The Japanese name of one style, word by word in the style's order:
// the weights from "Thin" (極細) to "Black" (極太), "Regular" (標準, left
// out beside other words), "Italic" and "Oblique" (斜体), "Condensed" (長体)
// and "Expanded" (平体). Letter case, and "Semi Bold" against "SemiBold",
// do not matter. A style with any other word stays as it is.
std::string japaneseStyleName(std::string_view style);

// The names to show for the styles of one family, in their order: each
// style's Japanese name, except where two styles would show the same name
// (a family with both "Regular" and "Book"): those keep their own.
std::vector<std::string> japaneseStyleNames(const std::vector<std::string>& styles);

}  // namespace korvane
