#include "tests/support/memory_edit_control.h"

#include <algorithm>

#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "base/sjis_bytes.h"

namespace korvane::test {

namespace {

// A byte that can be the second byte of a double-byte character. Anything
// else (CR, LF, "<", ">", space, ...) always starts a character of its own.
bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

// The length of the character at `i`; a CR LF counts as one character, so
// no position ever falls between its two bytes.
std::size_t charLengthIn(std::string_view s, std::size_t i, const TextCodec& codec) {
    const std::size_t n = s.size();
    if (i + 1 >= n)
        return 1;
    if (s[i] == '\r' && s[i + 1] == '\n')
        return 2;
    if (&codec != &shiftJisCodec()) {
        // Bytes the codec decodes to stand-ins are characters of one byte
        // each, as the editor shows them.
        // A JIS X 0212 character of EUC-JP is three such bytes; 0x8F
        // only ever starts one.
        const auto group = [&](std::size_t at) {
            return static_cast<unsigned char>(s[at]) == 0x8F && codec.charLength(s, at) == 3;
        };
        if ((i >= 1 && group(i - 1)) || (i >= 2 && group(i - 2)))
            return 1;
        const std::size_t length = codec.charLength(s, i);
        if (length > 1 && isInvalidByteStandIn(codec.decode(s.substr(i, length)).front()))
            return 1;
        return length;
    }
    if (isSjisLeadByte(static_cast<unsigned char>(s[i])) &&
        isTrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

// The character code at `i` as the search compares it: duplicate codes in
// Windows' form, the case folded for single-byte and full-width Latin letters.
// Other codecs compare the bytes as they are and fold only ASCII letters.
unsigned foldedChar(std::string_view s, std::size_t i, std::size_t length, bool matchCase,
                    bool sjis) {
    unsigned code = 0;
    for (std::size_t k = 0; k < length; ++k)
        code = (code << 8) | byteAt(s, i + k);
    if (sjis && length == 2)
        code = windowsFormOfCode(code);
    if (matchCase)
        return code;
    if (code >= 'a' && code <= 'z')
        return code - ('a' - 'A');
    if (sjis && code >= 0x8281 && code <= 0x829A)  // full-width ａ..ｚ to Ａ..Ｚ (0x8260..0x8279)
        return code - 0x21;
    return code;
}

}  // namespace

std::string MemoryEditControl::textRange(std::size_t start, std::size_t end) const {
    end = std::min(end, m_text.size());
    if (start >= end)
        return {};
    return m_text.substr(start, end - start);
}

void MemoryEditControl::setText(std::string_view bytes) {
    m_text = normalizeLineBreaks(bytes);
    m_colors.assign(m_text.size(), CharColor::autoColor());
    m_selStart = m_selEnd = 0;
    m_undo.clear();
    m_redo.clear();
    m_modified = !m_text.empty();
    m_linesValid = false;
}

std::size_t MemoryEditControl::charLength(std::size_t pos) const {
    return charLengthIn(m_text, pos, *m_codec);
}

std::size_t MemoryEditControl::snap(std::size_t pos) const {
    const std::size_t n = m_text.size();
    if (pos >= n)
        return n;
    if (m_codec != &shiftJisCodec()) {
        // No character of these codecs holds an LF: the characters are
        // known from the start of the line on.
        const std::size_t lf = pos == 0 ? std::string::npos : m_text.rfind('\n', pos - 1);
        std::size_t i = lf == std::string::npos ? 0 : lf + 1;
        while (i + charLength(i) <= pos)
            i += charLength(i);
        return i;
    }
    // Walk back to a byte that cannot be a second byte: it starts a
    // character (an LF is the second byte of its CR LF). From there the
    // characters are known going forward.
    std::size_t from = 0;
    for (std::size_t k = pos; k > 0; --k) {
        if (!isTrailByte(static_cast<unsigned char>(m_text[k - 1]))) {
            from = k - 1;
            if (m_text[from] == '\n' && from > 0 && m_text[from - 1] == '\r')
                --from;
            break;
        }
    }
    std::size_t i = from;
    while (i + charLength(i) <= pos)
        i += charLength(i);
    return i;
}

void MemoryEditControl::setSelStart(std::size_t start) {
    m_selStart = m_selEnd = snap(start);
}

void MemoryEditControl::setSelLength(std::size_t length) {
    const std::size_t room = m_text.size() - m_selStart;
    m_selEnd = snap(m_selStart + std::min(length, room));
    ++m_calls.scrollCaret;
}

void MemoryEditControl::setSelection(std::size_t start, std::size_t end) {
    if (end < start)
        std::swap(start, end);
    m_selStart = snap(start);
    m_selEnd = snap(end);
}

std::string MemoryEditControl::selText() const {
    return m_text.substr(m_selStart, m_selEnd - m_selStart);
}

MemoryEditControl::UndoStep MemoryEditControl::replaceRange(std::size_t start, std::size_t end,
                                                            std::string_view bytes,
                                                            const std::vector<CharColor>* colors) {
    UndoStep step;
    step.start = start;
    step.removed = m_text.substr(start, end - start);
    step.removedColors.assign(m_colors.begin() + static_cast<std::ptrdiff_t>(start),
                              m_colors.begin() + static_cast<std::ptrdiff_t>(end));
    step.insertedLength = bytes.size();

    std::vector<CharColor> inserted;
    if (colors != nullptr)
        inserted = *colors;
    else
        inserted.assign(bytes.size(), start > 0 ? m_colors[start - 1] : CharColor::autoColor());

    m_text.replace(start, end - start, bytes);
    m_colors.erase(m_colors.begin() + static_cast<std::ptrdiff_t>(start),
                   m_colors.begin() + static_cast<std::ptrdiff_t>(end));
    m_colors.insert(m_colors.begin() + static_cast<std::ptrdiff_t>(start), inserted.begin(),
                    inserted.end());
    m_linesValid = false;
    m_modified = true;
    return step;
}

void MemoryEditControl::raiseChange() {
    if (m_eventMask == 0 || !m_onChange)
        return;
    ++m_changeEvents;
    m_onChange();
}

void MemoryEditControl::replaceSelection(std::string_view bytes, bool canUndo) {
    const std::string inserted = normalizeLineBreaks(bytes);
    if (inserted.empty() && m_selStart == m_selEnd)
        return;
    const std::size_t start = m_selStart;
    UndoStep step = replaceRange(start, m_selEnd, inserted, nullptr);
    m_redo.clear();
    if (canUndo) {
        step.joinsPrevious = m_blockDepth > 0 && m_blockHasStep && !m_undo.empty();
        m_blockHasStep = m_blockDepth > 0;
        m_undo.push_back(std::move(step));
    } else
        m_undo.clear();  // older steps' offsets no longer fit the text
    m_selStart = m_selEnd = snap(start + inserted.size());
    raiseChange();
}

void MemoryEditControl::colorSelection(CharColor color) {
    m_colorRequests.push_back({m_selStart, m_selEnd, color});
    std::fill(m_colors.begin() + static_cast<std::ptrdiff_t>(m_selStart),
              m_colors.begin() + static_cast<std::ptrdiff_t>(m_selEnd), color);
}

CharColor MemoryEditControl::colorAt(std::size_t offset) const {
    return offset < m_colors.size() ? m_colors[offset] : CharColor::autoColor();
}

void MemoryEditControl::endEditBlock() {
    if (m_blockDepth > 0 && --m_blockDepth == 0)
        m_blockHasStep = false;
}

void MemoryEditControl::undo() {
    if (m_undo.empty())
        return;
    // The steps of a block go back last first; the selection grows to
    // cover everything they bring back, following the shifts of the text.
    bool first = true;
    std::size_t lo = 0;
    std::size_t hi = 0;
    bool more = true;
    std::vector<UndoStep>& reversed = m_redo.emplace_back();
    while (more && !m_undo.empty()) {
        UndoStep step = std::move(m_undo.back());
        m_undo.pop_back();
        more = step.joinsPrevious;
        reversed.push_back(replaceRange(step.start, step.start + step.insertedLength, step.removed,
                                        &step.removedColors));
        const std::size_t restoredEnd = step.start + step.removed.size();
        if (first) {
            lo = step.start;
            hi = restoredEnd;
            first = false;
        } else {
            if (hi >= step.start + step.insertedLength)
                hi = hi - step.insertedLength + step.removed.size();
            else if (hi > step.start)
                hi = restoredEnd;
            lo = std::min(lo, step.start);
            hi = std::max(hi, restoredEnd);
        }
    }
    m_selStart = lo;
    m_selEnd = hi;
    raiseChange();
}

void MemoryEditControl::redo() {
    if (m_redo.empty())
        return;
    std::vector<UndoStep> group = std::move(m_redo.back());
    m_redo.pop_back();
    // Replayed in the order the edits were made, as one undo step again.
    for (auto step = group.rbegin(); step != group.rend(); ++step) {
        UndoStep again = replaceRange(step->start, step->start + step->insertedLength,
                                      step->removed, &step->removedColors);
        again.joinsPrevious = step != group.rbegin();
        m_undo.push_back(std::move(again));
        m_selStart = m_selEnd = step->start + step->removed.size();
    }
    raiseChange();
}

void MemoryEditControl::cut() {
    if (m_selStart == m_selEnd)
        return;
    copy();
    clearSelection();
}

void MemoryEditControl::copy() {
    if (m_selStart != m_selEnd)
        m_clipboard = selText();
}

void MemoryEditControl::paste() {
    if (m_clipboard)
        replaceSelection(*m_clipboard, true);
}

void MemoryEditControl::clearSelection() {
    if (m_selStart != m_selEnd)
        replaceSelection({}, true);
}

void MemoryEditControl::setWrapWidth(std::size_t bytes) {
    m_wrapWidth = bytes;
    m_linesValid = false;
}

const std::vector<std::size_t>& MemoryEditControl::lineStarts() const {
    if (m_linesValid)
        return m_lineStarts;
    m_lineStarts.assign(1, 0);
    const std::size_t n = m_text.size();
    std::size_t lineStart = 0;
    std::size_t i = 0;
    while (i < n) {
        const std::size_t length = charLength(i);
        if (length == 2 && m_text[i] == '\r') {
            i += 2;
            lineStart = i;
            m_lineStarts.push_back(i);
            continue;
        }
        // A character that would overrun the width starts the next line,
        // unless it is the first of its line (then it stands alone).
        if (m_wrapWidth > 0 && i > lineStart && i + length - lineStart > m_wrapWidth) {
            lineStart = i;
            m_lineStarts.push_back(i);
        }
        i += length;
    }
    m_linesValid = true;
    return m_lineStarts;
}

std::size_t MemoryEditControl::lineCount() const {
    return lineStarts().size();
}

std::size_t MemoryEditControl::lineFromChar(std::size_t offset) const {
    const auto& starts = lineStarts();
    const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
    return static_cast<std::size_t>(after - starts.begin()) - 1;
}

std::size_t MemoryEditControl::lineIndex(std::size_t line) const {
    const auto& starts = lineStarts();
    return line < starts.size() ? starts[line] : m_text.size();
}

std::string MemoryEditControl::lineText(std::size_t line) const {
    const auto& starts = lineStarts();
    if (line >= starts.size())
        return {};
    const std::size_t start = starts[line];
    std::size_t end = line + 1 < starts.size() ? starts[line + 1] : m_text.size();
    if (end >= start + 2 && m_text[end - 2] == '\r' && m_text[end - 1] == '\n')
        end -= 2;
    return m_text.substr(start, end - start);
}

std::optional<std::size_t> MemoryEditControl::find(std::string_view what, std::size_t min,
                                                   std::size_t max, bool matchCase) const {
    max = std::min(max, m_text.size());
    if (what.empty() || min >= max || what.size() > max - min)
        return std::nullopt;
    std::size_t pos = snap(min);
    if (pos < min)
        pos += charLength(pos);
    for (; pos + what.size() <= max; pos += charLength(pos)) {
        std::size_t t = pos;
        std::size_t w = 0;
        while (w < what.size()) {
            const bool sjis = m_codec == &shiftJisCodec();
            const std::size_t tl = charLength(t);
            const std::size_t wl = charLengthIn(what, w, *m_codec);
            if (tl != wl || t + tl > max ||
                foldedChar(m_text, t, tl, matchCase, sjis) !=
                    foldedChar(what, w, wl, matchCase, sjis))
                break;
            t += tl;
            w += wl;
        }
        if (w == what.size())
            return pos;
    }
    return std::nullopt;
}

std::string MemoryEditControl::convertChars(std::string_view bytes, const TextCodec& to,
                                            const std::vector<CharColor>* colors,
                                            std::vector<CharColor>* converted) const {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = charLengthIn(bytes, i, *m_codec);
        const std::string one = convertBytes(bytes.substr(i, length), *m_codec, to).bytes;
        out += one;
        if (colors != nullptr && converted != nullptr)
            converted->insert(converted->end(), one.size(), (*colors)[i]);
        i += length;
    }
    return out;
}

void MemoryEditControl::setCodec(const TextCodec& codec) {
    if (&codec == m_codec)
        return;
    // The undo steps from the last back: each one's offsets are measured in
    // the text as it stood before it is taken back.
    std::string text = m_text;
    for (auto step = m_undo.rbegin(); step != m_undo.rend(); ++step) {
        const std::string before = text.substr(0, step->start);
        const std::string inserted = text.substr(step->start, step->insertedLength);
        text.replace(step->start, step->insertedLength, step->removed);
        std::vector<CharColor> colors;
        const std::string removed =
            convertChars(step->removed, codec, &step->removedColors, &colors);
        step->start = convertChars(before, codec).size();
        step->insertedLength = convertChars(inserted, codec).size();
        step->removed = removed;
        step->removedColors = std::move(colors);
    }
    const std::size_t selStart = convertChars(m_text.substr(0, m_selStart), codec).size();
    const std::size_t selEnd = convertChars(m_text.substr(0, m_selEnd), codec).size();
    std::vector<CharColor> colors;
    m_text = convertChars(m_text, codec, &m_colors, &colors);
    m_colors = std::move(colors);
    m_selStart = selStart;
    m_selEnd = selEnd;
    m_codec = &codec;
    m_linesValid = false;
}

bool MemoryEditControl::setFocus() {
    ++m_calls.focus;
    if (m_focusAvailable)
        m_hasFocus = true;
    return m_focusAvailable;
}

void MemoryEditControl::setRedraw(bool on) {
    ++(on ? m_calls.redrawOn : m_calls.redrawOff);
    m_redraw = on;
}

void MemoryEditControl::setVisible(bool visible) {
    ++(visible ? m_calls.show : m_calls.hide);
    m_visible = visible;
}

void MemoryEditControl::lockUpdates(bool locked) {
    ++(locked ? m_calls.lock : m_calls.unlock);
    m_locked = locked;
}

}  // namespace korvane::test
