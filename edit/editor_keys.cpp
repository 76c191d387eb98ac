#include "edit/editor_keys.h"

#include <algorithm>
#include <string>

namespace korvane {

bool reMainOnpress(EditControl& edit, int keyChar) {
    if (keyChar != kKeyEnter)
        return false;
    const std::size_t caret = edit.selStart();
    // Display lines: on a wrapped paragraph the indentation is that of the
    // line the caret is shown on.
    const std::size_t line = edit.lineFromChar(caret);
    const std::size_t column = caret - std::min(caret, edit.lineIndex(line));
    const std::string lineText = column == 0 ? std::string() : edit.lineText(line);

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
