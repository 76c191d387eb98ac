// Text mode's conversion of a title and a plain text into a complete
// HTML 4.0 Transitional page.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/progress.h"
#include "base/text_codec.h"
#include "convert/page_settings.h"

namespace korvane {

// The system identifier of the HTML 4.0 Transitional document type, as the
// W3C recommendation publishes it.
inline constexpr std::string_view kTransitionalDtd = "http://www.w3.org/TR/REC-html40/loose.dtd";

// The number of full-width spaces a tab becomes for the option "Tab" (0..3).
int tabWidthForOption(int tabOption);

// The page for `body` (Shift_JIS, CR LF line breaks) and `title`, with the
// colours, head values and background picture of `settings`. `tabOption` is
// the option "Tab". Pure: reads nothing else, changes nothing. `progress`,
// when given, hears how much of the body is through.
std::string ToHtml(std::string_view body, std::string_view title, const PageSettings& settings,
                   int tabOption, Progress* progress = nullptr);
// The same page in the encoding of `codec`: `body` and `title` are in it,
// the page settings (Shift_JIS, as the settings file keeps them) are
// converted to it, the META tag declares it and a tab widens to its
// full-width spaces. With the Shift_JIS codec, exactly the page above.
std::string ToHtml(std::string_view body, std::string_view title, const PageSettings& settings,
                   int tabOption, const TextCodec& codec, Progress* progress = nullptr);

// The META tag that declares the page's charset, without its line break:
// Shift_JIS pages have the program's own form of it.
std::string charsetMeta(const TextCodec& codec);

// Where a page declares its charset in a META tag: the bytes [first,
// second) of the name after "charset=" in the first such tag of its head
// (any letter case, blanks and a quote before the name skipped). Nothing
// when the head has none.
std::optional<std::pair<std::size_t, std::size_t>> metaCharsetName(std::string_view page);
// Where a META line for the charset goes into a page that has none: behind
// its "<HEAD>" tag and that tag's line break; nothing for a text without a
// head.
std::optional<std::size_t> charsetMetaPlace(std::string_view page);

// The body part alone (escaped, tabs widened, "<BR>" before each CR LF),
// appended to `out`.
void appendHtmlBody(std::string& out, std::string_view body, int tabOption,
                    Progress* progress = nullptr, const TextCodec& codec = shiftJisCodec());

// Convert-and-save's rewrite: the first occurrence of `picture` (the text of
// the background picture as it stands in the page) becomes `relative`. An
// empty `picture` changes nothing. Matches start at character boundaries only.
void replaceFirstOccurrence(std::string& document, std::string_view picture,
                            std::string_view relative);

}  // namespace korvane
