#include "edit/go_to_line.h"

#include <algorithm>
#include <string>

namespace korvane {

namespace {

// Read in windows: a 10 MB text is never copied whole for a line number.
constexpr std::size_t kWindow = std::size_t{1} << 20;

// Calls `atBreak(offset after the break)` for each line break, in order,
// until it returns false. A line break is CR LF; its LF byte is never part
// of a double-byte character, so the LF bytes are the breaks.
template <typename AtBreak>
void forEachBreak(const EditControl& edit, AtBreak atBreak) {
    const std::size_t length = edit.textLength();
    for (std::size_t start = 0; start < length; start += kWindow) {
        const std::string bytes = edit.textRange(start, std::min(length, start + kWindow));
        for (std::size_t i = bytes.find('\n'); i != std::string::npos;
             i = bytes.find('\n', i + 1)) {
            if (!atBreak(start + i + 1))
                return;
        }
    }
}

}  // namespace

std::size_t textLineCount(const EditControl& edit) {
    std::size_t count = 1;
    forEachBreak(edit, [&count](std::size_t) {
        ++count;
        return true;
    });
    return count;
}

std::size_t lineStartOffset(const EditControl& edit, std::size_t line) {
    std::size_t reached = 1;
    std::size_t offset = 0;
    if (line <= 1)
        return 0;
    forEachBreak(edit, [&](std::size_t after) {
        ++reached;
        offset = after;
        return reached < line;
    });
    return offset;
}

void goToLine(EditControl& edit, std::size_t line) {
    edit.setSelStart(lineStartOffset(edit, line));
    edit.setSelLength(0);  // scrolls the caret into view
    edit.scrollCaret();
}

}  // namespace korvane
