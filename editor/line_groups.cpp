#include "editor/line_groups.h"

namespace korvane {

bool LineGroups::group(QString& text, std::size_t from) {
    if (static_cast<std::size_t>(text.size()) <= from)
        return false;
    bool joined = false;
    // A line joins the group before it when both fit; the break before it is
    // known only once its own length is.
    qsizetype pendingBreak = -1;  // the line break before the current line
    std::size_t groupUnits = 0;
    std::size_t groupLines = 0;
    qsizetype lineStart = 0;
    bool piece = false;  // the current line is a later piece of a long line
    char16_t* data = reinterpret_cast<char16_t*>(text.data());
    const qsizetype size = text.size();
    for (qsizetype i = 0;; ++i) {
        i = static_cast<qsizetype>(findEither(data, static_cast<std::size_t>(i),
                                              static_cast<std::size_t>(size), u'\n', u'\u2029'));
        const char16_t c = i < size ? data[i] : u'\n';
        const auto units = static_cast<std::size_t>(i - lineStart);
        // The empty line after a final line break is where the next text
        // goes on: that break stays a paragraph's.
        const bool last = i == size && lineStart == size;
        if (pendingBreak >= 0 && !last && static_cast<std::size_t>(lineStart) >= from &&
            groupUnits + 1 + units <= kGroupUnits && groupLines < kGroupLines) {
            data[pendingBreak] = kLineSeparator;
            joined = true;
            groupUnits += 1 + units;
            ++groupLines;
        } else {
            // The pieces of a long line stay paragraphs of their own, the
            // last one too.
            groupUnits = piece ? kGroupUnits : units;
            groupLines = 1;
        }
        pendingBreak = c == u'\n' && i < size ? i : -1;
        piece = c == u'\u2029';
        lineStart = i + 1;
        if (i == size)
            break;
    }
    return joined;
}

std::vector<std::u16string_view> LineGroups::linesOf(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find(kLineSeparator); at != std::u16string_view::npos;
         at = text.find(kLineSeparator, start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

void PartingSteps::added(int top, bool parting) {
    std::erase_if(m_steps, [this](const std::pair<int, int>& step) { return step.second > m_top; });
    if (parting)
        m_steps.emplace_back(m_top, top);
    m_top = top;
}

std::optional<int> PartingSteps::partingEndingAt(int top) const {
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        if (it->second == top)
            return it->first;
    }
    return std::nullopt;
}

std::optional<int> PartingSteps::partingStartingAt(int start) const {
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        if (it->first == start)
            return it->second;
    }
    return std::nullopt;
}

}  // namespace korvane
