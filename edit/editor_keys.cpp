#include "edit/editor_keys.h"

#include <algorithm>
#include <string>

namespace korvane {

bool reMainOnpress(EditControl& edit, int keyChar) {
    if (keyChar != kKeyEnter)
        return false;
    const std::size_t caret = edit.selStart();
    // Display lines: on a wrapped paragraph the indentation is that of the
    // line the caret is shown on. Only the bytes from that line's start up to
    // the caret count, so there is no need to number the lines before it.
    const std::size_t lineStart = std::min(caret, edit.lineStartOf(caret));
    const std::size_t column = caret - lineStart;
    const std::string lineText = column == 0 ? std::string() : edit.textRange(lineStart, caret);

    std::string inserted = "\r\n";
    std::size_t blanks = 0;
    const std::size_t limit = std::min(column, lineText.size());
    while (blanks < limit && (lineText[blanks] == ' ' || lineText[blanks] == '\t'))
        ++blanks;
    inserted.append(lineText, 0, blanks);
    edit.replaceSelection(inserted);
    return true;
}

bool reMainKeyDown(const EditControl& edit, int virtualKey) {
    if (edit.selLength() != 0)
        return false;
    if (virtualKey == kVkLeft)
        return edit.selStart() == 0;
    if (virtualKey == kVkRight)
        return edit.selStart() == edit.textLength();
    return false;
}

}  // namespace korvane
