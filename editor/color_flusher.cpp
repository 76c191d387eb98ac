#include "editor/color_flusher.h"

#include <QAbstractTextDocumentLayout>
#include <QPalette>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cstdint>

#include "platform/system_colors.h"

namespace korvane {

namespace {

QColor colorOf(ColorValue value, const QPalette& palette) {
    if (value < 0)  // a system colour: the palette's
        value = static_cast<ColorValue>(systemColor(palette, value & 0xFF));
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace

void ColorFlusher::markDirty(std::size_t first, std::size_t last, bool batching) {
    // A replace-all that does not show colours thousands of places: one span
    // keeps them without following each line through every later edit.
    if (batching) {
        if (m_dirtySpan)
            m_dirtySpan = std::make_pair(std::min(m_dirtySpan->first, first),
                                         std::max(m_dirtySpan->second, last));
        else
            m_dirtySpan = std::make_pair(first, last);
        return;
    }
    // A pass colours tag after tag in one line.
    if (first == last && !m_dirtyLines.empty() && m_dirtyLines.back() == first)
        return;
    for (std::size_t line = first; line <= last; ++line)
        m_dirtyLines.push_back(line);
}

void ColorFlusher::shiftOver(const TextMirror::SpliceLines& lines) {
    const std::ptrdiff_t shift =
        static_cast<std::ptrdiff_t>(lines.newCount) - static_cast<std::ptrdiff_t>(lines.oldCount);
    if (!m_dirtyLines.empty()) {
        std::vector<std::size_t> kept;
        kept.reserve(m_dirtyLines.size());
        for (std::size_t line : m_dirtyLines) {
            if (line < lines.first)
                kept.push_back(line);
            else if (line >= lines.first + lines.oldCount)
                kept.push_back(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(line) + shift));
        }
        m_dirtyLines = std::move(kept);
    }
    if (m_dirtySpan) {
        // Lines behind the edit move with it; an end inside the replaced
        // lines stays at the last new one.
        const std::size_t oldEnd = lines.first + lines.oldCount;
        const std::size_t newLast = lines.first + lines.newCount - 1;
        auto& [first, last] = *m_dirtySpan;
        if (first >= oldEnd)
            first = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(first) + shift);
        else if (first > lines.first)
            first = lines.first;
        if (last >= oldEnd)
            last = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(last) + shift);
        else if (last >= lines.first)
            last = std::max(newLast, lines.first);
    }
}

void ColorFlusher::followSplice(const QTextDocument& doc, const TextMirror::SpliceLines& lines,
                                bool batching) {
    shiftOver(lines);
    // The changed paragraphs get their colours once the edit is through:
    // new formats set inside the document's change report would widen the
    // change the layout sees to whole paragraphs and repaint the whole
    // editor. The new lines, and the lines held together with them
    // (line_groups.h):
    // a paragraph parted by the edit moves lines to a new paragraph, whose
    // layout has none of their colours yet.
    if (lines.newCount == 0)
        return;
    if (static_cast<std::size_t>(doc.blockCount()) == m_mirror.lineCount()) {
        // A paragraph to a line: the new lines are the new paragraphs.
        QTextBlock block = doc.findBlockByNumber(static_cast<int>(lines.first));
        for (std::size_t i = 0; i < lines.newCount && block.isValid(); ++i, block = block.next()) {
            if (!m_mirror.lineColors(lines.first + i).empty() ||
                !block.layout()->formats().isEmpty())
                markDirty(lines.first + i, lines.first + i, batching);
        }
        return;
    }
    const QTextBlock firstBlock = blockOfLine(doc, lines.first, QTextBlock());
    const QTextBlock lastBlock = blockOfLine(doc, lines.first + lines.newCount - 1, firstBlock);
    if (!firstBlock.isValid() || !lastBlock.isValid())
        return;
    const std::size_t from = m_mirror.lineOfUnit(static_cast<std::size_t>(firstBlock.position()));
    const std::size_t to = m_mirror.lineOfUnit(
        static_cast<std::size_t>(lastBlock.position() + lastBlock.length() - 1));
    QTextBlock block;
    for (std::size_t line = from; line <= to; ++line) {
        block = blockOfLine(doc, line, block);
        if (!block.isValid())
            break;
        if (!m_mirror.lineColors(line).empty() || !block.layout()->formats().isEmpty())
            markDirty(line, line, batching);
    }
}

QTextBlock ColorFlusher::blockOfLine(const QTextDocument& doc, std::size_t line,
                                     const QTextBlock& near) const {
    const auto start = static_cast<int>(m_mirror.lineStartUnit(line));
    // Mostly the same paragraph or one of the next few: stepping is cheaper
    // than a search.
    QTextBlock block = near;
    for (int step = 0; block.isValid() && step < 8; ++step, block = block.next()) {
        if (start < block.position())
            break;
        if (start < block.position() + block.length())
            return block;
    }
    return doc.findBlock(start);
}

void ColorFlusher::forget() {
    m_dirtyLines.clear();
    m_dirtySpan.reset();
}

const QTextCharFormat& ColorFlusher::formatOf(ColorValue color, const QPalette& palette) {
    // A pass colours tens of thousands of tags in one or two colours.
    if (m_formatCache.size() > 16)
        m_formatCache.clear();
    auto it = m_formatCache.find(color);
    if (it == m_formatCache.end()) {
        QTextCharFormat format;
        format.setForeground(colorOf(color, palette));
        it = m_formatCache.emplace(color, format).first;
    }
    return it->second;
}

void ColorFlusher::applyFormats(const QTextBlock& block, std::size_t line, bool onlyLine,
                                const QPalette& palette) {
    QTextLayout* layout = block.layout();
    const auto units = static_cast<std::uint32_t>(block.length() - 1);
    // The lines the paragraph holds (one, unless lines are held together),
    // their runs made relative to the paragraph. `line` is one of them.
    std::size_t firstLine = line;
    std::size_t lastLine = line;
    const std::size_t blockStart = onlyLine ? 0 : static_cast<std::size_t>(block.position());
    if (!onlyLine) {
        const std::size_t lineStart = m_mirror.lineStartUnit(line);
        if (lineStart != blockStart)
            firstLine = m_mirror.lineOfUnit(blockStart);
        if (lineStart + m_mirror.lineUnits(line) != blockStart + units)
            lastLine = m_mirror.lineOfUnit(blockStart + units);
    }
    // A paragraph of one line (the usual case) hands its runs over as they
    // are; the runs of lines held together are made relative to it.
    std::vector<TextMirror::ColorRun> joined;
    const std::vector<TextMirror::ColorRun>* held = &joined;
    if (firstLine == lastLine) {
        held = &m_mirror.lineColors(line);
    } else {
        for (line = firstLine; line <= lastLine; ++line) {
            const auto offset =
                static_cast<std::uint32_t>(m_mirror.lineStartUnit(line) - blockStart);
            for (TextMirror::ColorRun run : m_mirror.lineColors(line)) {
                run.start += offset;
                run.end += offset;
                joined.push_back(run);
            }
        }
    }
    const std::vector<TextMirror::ColorRun>& runs = *held;
    if (runs.empty() && layout->formats().isEmpty())
        return;
    // Text being composed stands in the layout, not in the document: its
    // own formats (the input method's underline and the segment being
    // converted) stay, and the colours behind it move with the text.
    const auto preeditAt = static_cast<std::uint32_t>(layout->preeditAreaPosition());
    const auto preeditLength = static_cast<std::uint32_t>(layout->preeditAreaText().size());
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(static_cast<qsizetype>(runs.size()) + 2);
    if (preeditLength > 0) {
        for (const QTextLayout::FormatRange& r : layout->formats()) {
            if (r.start >= static_cast<int>(preeditAt) &&
                r.start + r.length <= static_cast<int>(preeditAt + preeditLength))
                ranges.push_back(r);
        }
    }
    const auto add = [&](std::uint32_t start, std::uint32_t end, ColorValue color) {
        if (start >= end)
            return;
        QTextLayout::FormatRange range;
        range.start = static_cast<int>(start);
        range.length = static_cast<int>(end - start);
        range.format = formatOf(color, palette);
        ranges.push_back(range);
    };
    for (const TextMirror::ColorRun& run : runs) {
        const std::uint32_t end = std::min(run.end, units);
        if (run.start >= end)
            continue;
        if (preeditLength == 0 || end <= preeditAt) {
            add(run.start, end, run.color);
        } else {
            add(run.start, preeditAt, run.color);
            add(std::max(run.start, preeditAt) + preeditLength, end + preeditLength, run.color);
        }
    }
    layout->setFormats(ranges);
}

std::vector<std::size_t> ColorFlusher::takeDirtyLines() {
    if (m_dirtySpan) {
        const std::size_t end = std::min(m_dirtySpan->second + 1, m_mirror.lineCount());
        for (std::size_t line = m_dirtySpan->first; line < end; ++line)
            m_dirtyLines.push_back(line);
        m_dirtySpan.reset();
    }
    std::sort(m_dirtyLines.begin(), m_dirtyLines.end());
    m_dirtyLines.erase(std::unique(m_dirtyLines.begin(), m_dirtyLines.end()), m_dirtyLines.end());
    std::vector<std::size_t> lines = std::move(m_dirtyLines);
    m_dirtyLines.clear();
    return lines;
}

void ColorFlusher::flush(QTextDocument& doc, const QPalette& palette, const Repaint& repaint) {
    if (m_dirtyLines.empty() && !m_dirtySpan)
        return;
    const std::vector<std::size_t> lines = takeDirtyLines();
    if (lines.empty())
        return;
    QTextBlock block;
    int from = -1;
    int to = 0;
    std::size_t blocks = 0;
    std::vector<std::pair<int, int>> few;
    // A paragraph to a line (no lines held together): the line's number is
    // its paragraph's, found by stepping from the one before.
    const bool oneToOne = static_cast<std::size_t>(doc.blockCount()) == m_mirror.lineCount();
    std::size_t previousLine = 0;
    for (std::size_t line : lines) {
        if (line >= m_mirror.lineCount())
            break;
        const QTextBlock previous = block;
        if (!oneToOne) {
            block = blockOfLine(doc, line, block);
        } else if (block.isValid() && line - previousLine <= 8) {
            for (std::size_t k = previousLine; k < line; ++k)
                block = block.next();
        } else {
            block = doc.findBlockByNumber(static_cast<int>(line));
        }
        previousLine = line;
        if (!block.isValid())
            break;
        // The lines a paragraph holds together are handed over at once.
        if (block == previous)
            continue;
        applyFormats(block, line, oneToOne, palette);
        ++blocks;
        if (from < 0)
            from = block.position();
        to = block.position() + block.length();
        if (few.size() < 8)
            few.emplace_back(block.position(), block.length());
    }
    if (from < 0)
        return;
    // A few paragraphs are laid out again at once; for many, one request
    // drops their layouts and only the ones on screen are laid out again.
    if (blocks > few.size()) {
        doc.markContentsDirty(from, to - from);
        return;
    }
    // New formats count as a change of old and new length together, so the
    // layout takes it for more than the block and would repaint the whole
    // editor on every keystroke. It stays quiet here and only the blocks
    // themselves are repainted.
    for (const auto& [position, length] : few) {
        {
            const QSignalBlocker quiet(doc.documentLayout());
            doc.markContentsDirty(position, length);
        }
        repaint(doc.findBlock(position));
    }
}

}  // namespace korvane
