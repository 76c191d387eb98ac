#include "edit/tag_highlighter.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "edit/tag_scanner.h"

namespace korvane {
namespace {

// Chunks grow from the first size so that the usual case (a bracket a few
// lines away) reads little, and a page without any bracket takes a few dozen
// reads rather than thousands.
constexpr std::size_t kLastChunk = std::size_t{1} << 20;

constexpr std::size_t kTagsPerReport = 256;

std::size_t nextChunk(std::size_t chunk) {
    return std::min(chunk * 2, kLastChunk);
}

// The last "<" in [0, before).
std::optional<std::size_t> lastOpenBefore(const EditControl& edit, std::size_t before) {
    std::size_t end = before;
    std::size_t chunk = TagHighlighter::kFirstChunk;
    while (end > 0) {
        const std::size_t start = end > chunk ? end - chunk : 0;
        const std::string bytes = edit.textRange(start, end);
        const std::size_t at = bytes.rfind('<');
        if (at != std::string::npos)
            return start + at;
        end = start;
        chunk = nextChunk(chunk);
    }
    return std::nullopt;
}

// The first ">" at or after `from`.
std::optional<std::size_t> firstCloseFrom(const EditControl& edit, std::size_t from) {
    const std::size_t length = edit.textLength();
    std::size_t start = from;
    std::size_t chunk = TagHighlighter::kFirstChunk;
    while (start < length) {
        const std::string bytes = edit.textRange(start, start + chunk);
        if (bytes.empty())
            break;
        const std::size_t at = bytes.find('>');
        if (at != std::string::npos)
            return start + at;
        start += bytes.size();
        chunk = nextChunk(chunk);
    }
    return std::nullopt;
}

}  // namespace

void TagHighlighter::html1Click() {
    if (m_tagsHighlighted)
        clearingPass();
    else
        wholeTextPass();
}

void TagHighlighter::wholeTextPass() {
    const bool wasModified = m_edit.modified();
    const std::size_t selStart = m_edit.selStart();
    const std::size_t selLength = m_edit.selLength();

    // Nothing of the pass may show: one repaint at the end.
    m_edit.setRedraw(false);
    m_edit.setVisible(false);
    m_edit.setSelStart(m_edit.textLength());
    m_edit.scrollCaret();
    const unsigned eventMask = m_edit.eventMask();
    m_edit.setEventMask(0);

    // Text outside the tags keeps its colour; each tag is its own request,
    // also when tags touch or only a line break stands between them.
    const std::string text = m_edit.text();
    {
        const std::unique_ptr<Progress> progress =
            startProgress(m_progress, "タグに色を付けています...", false);
        const CharColor tagColor = CharColor::of(m_highlightColor);
        // A batch of tags at a time, coloured in one sweep: often enough to
        // keep the window painted, seldom enough to cost nothing beside the
        // colouring.
        std::vector<std::pair<std::size_t, std::size_t>> tags;
        tags.reserve(kTagsPerReport);
        const auto colourBatch = [&] {
            if (tags.empty())
                return;
            m_edit.colorRanges(tags, tagColor);
            progress->report(tags.back().second, text.size());
            tags.clear();
        };
        forEachTag(text, [&](TagRange tag) {
            tags.emplace_back(tag.start, tag.end);
            if (tags.size() == kTagsPerReport)
                colourBatch();
        });
        colourBatch();
    }

    m_edit.setVisible(true);
    m_edit.setSelStart(selStart);
    m_edit.setSelLength(selLength);
    m_edit.setEventMask(eventMask);
    m_edit.setRedraw(true);
    // Before the window is first shown the control cannot take the focus;
    // the pass is done all the same.
    m_edit.setFocus();

    m_tagsHighlighted = true;
    m_edit.setModified(wasModified);
}

void TagHighlighter::clearingPass() {
    const bool wasModified = m_edit.modified();
    m_tagsHighlighted = false;
    m_recolourBusy = true;
    m_edit.lockUpdates(true);

    const std::size_t selStart = m_edit.selStart();
    const std::size_t selLength = m_edit.selLength();
    uncolourWholeText();
    m_edit.setSelStart(selStart);
    m_edit.setSelLength(selLength);
    m_edit.lockUpdates(false);
    if (m_focusMainWindow)
        m_focusMainWindow();

    m_recolourBusy = false;
    m_edit.setModified(wasModified);
}

void TagHighlighter::uncolourWholeText() {
    if (m_edit.textLength() > 0) {
        m_edit.setSelection(0, m_edit.textLength());
        m_edit.colorSelection(CharColor::autoColor());
    }
}

void TagHighlighter::reMainChange() {
    if (!m_tagsHighlighted || m_recolourBusy)
        return;
    m_recolourBusy = true;
    const std::size_t selStart = m_edit.selStart();
    const std::size_t selLength = m_edit.selLength();
    m_edit.lockUpdates(true);

    // A change can join or split tags only between the last "<" before it
    // and the first ">" after it; the rest of the text keeps its colours.
    // Both are looked for in chunks around the selection, so a keystroke in
    // a long page does not copy the whole text.
    const std::size_t selEnd = std::min(selStart + selLength, m_edit.textLength());
    const std::size_t rangeStart = lastOpenBefore(m_edit, selStart).value_or(selStart);
    const std::optional<std::size_t> close = firstCloseFrom(m_edit, selEnd);
    const std::size_t rangeEnd = close ? *close + 1 : selEnd;

    if (rangeStart < rangeEnd) {
        m_edit.setSelection(rangeStart, rangeEnd);
        m_edit.colorSelection(CharColor::autoColor());
        const CharColor tagColor = CharColor::of(m_highlightColor);
        const std::string range = m_edit.textRange(rangeStart, rangeEnd);
        forEachTag(range, [this, rangeStart, tagColor](TagRange tag) {
            m_edit.setSelection(rangeStart + tag.start, rangeStart + tag.end);
            m_edit.colorSelection(tagColor);
        });
        m_edit.setSelStart(selStart);
        m_edit.setSelLength(selLength);
    }
    m_edit.lockUpdates(false);
    m_edit.setFocus();
    m_recolourBusy = false;
}

void TagHighlighter::forceWholeTextPass() {
    m_tagsHighlighted = false;
    html1Click();
}

void TagHighlighter::turnOff() {
    if (m_tagsHighlighted)
        html1Click();
}

void TagHighlighter::highlightOnEntry() {
    if (m_highlightByDefault)
        forceWholeTextPass();
}

void TagHighlighter::reset() {
    m_tagsHighlighted = false;
    m_recolourBusy = false;
}

void TagHighlighter::insertTagText(std::string_view text) {
    if (!m_tagsHighlighted) {
        m_edit.replaceSelection(text);
        return;
    }
    // The editor does not repaint until the re-colouring below has run, so
    // the uncoloured text and the interim selection never show.
    m_edit.lockUpdates(true);
    m_recolourBusy = true;
    const std::size_t start = m_edit.selStart();
    m_edit.replaceSelection(text);
    // The caret tells where the text ends as the editor holds it: line
    // breaks in `text` may have changed length on the way in.
    const std::size_t end = std::max(m_edit.selStart(), start);
    m_edit.setSelStart(start);
    m_edit.setSelLength(end - start);
    m_recolourBusy = false;
    reMainChange();
    m_edit.setSelStart(end);
}

void TagHighlighter::changeFont(const std::function<void()>& applyFont) {
    if (!m_tagsHighlighted) {
        applyFont();
        return;
    }
    m_tagsHighlighted = false;
    m_edit.setRedraw(false);
    const std::size_t selStart = m_edit.selStart();
    const std::size_t selLength = m_edit.selLength();
    uncolourWholeText();
    applyFont();
    wholeTextPass();
    m_edit.setSelStart(selStart);
    m_edit.setSelLength(selLength);
    m_edit.setRedraw(true);
}

}  // namespace korvane
