// The small string builders from which every piece of generated HTML is made.
//
// All text is Shift_JIS bytes. None of the bytes searched for or inserted
// here ("&", "<", ">", the double quote) can be the second byte of a
// double-byte character, so byte-wise work never splits a character.
#pragma once

#include <string>
#include <string_view>

#include "base/color.h"

namespace korvane {

std::string OpenTag(std::string_view text, std::string_view name);
std::string OpenTagWith(std::string_view text, std::string_view name, std::string_view attributes);
std::string WrapTag(std::string_view text, std::string_view name);
std::string WrapTagWith(std::string_view text, std::string_view name, std::string_view attributes);
std::string EscapeHtml(std::string_view text);
// "#RRGGBB" with upper-case digits. Without a lookup a system colour resolves
// to the classic Windows default of that index.
std::string ColorToHtml(ColorValue color, const SystemColorLookup& systemColor = {});

// Appends EscapeHtml(text) to `out`; the page conversion uses this to avoid
// building a second copy of a large body.
void appendEscapedHtml(std::string& out, std::string_view text);

}  // namespace korvane
