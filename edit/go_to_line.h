// Going to a line of the text by its number, as the status line counts
// lines: from 1, a long line held in pieces one line, a wrapped one too.
#pragma once

#include <cstddef>

#include "base/edit_control.h"

namespace korvane {

// The lines of the text: one more than its line breaks.
std::size_t textLineCount(const EditControl& edit);
// The offset where line `line` (from 1) starts; a number past the last line
// gives the last line's start, 0 the first's.
std::size_t lineStartOffset(const EditControl& edit, std::size_t line);
// The caret to the start of `line` (clamped as above), nothing selected,
// and the line scrolled into view.
void goToLine(EditControl& edit, std::size_t line);

}  // namespace korvane
