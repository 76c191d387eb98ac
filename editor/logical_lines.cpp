#include "editor/logical_lines.h"

#include <algorithm>

#include "editor/long_line_pieces.h"
#include "editor/rich_edit.h"

namespace korvane {

LogicalLines::~LogicalLines() {
    QObject::disconnect(m_watch);
}

QTextDocument& LogicalLines::document() {
    QTextDocument* doc = m_editor.document();
    if (doc != m_document) {
        // A load gives the editor a new document: nothing known holds.
        QObject::disconnect(m_watch);
        m_document = doc;
        m_pieces.clear();
        m_scanned = 0;
        m_watch = QObject::connect(doc, &QTextDocument::contentsChange,
                                   [this](int position, int, int) { forgetFrom(position); });
    }
    return *doc;
}

// What lies before the edit's block is as it was; its block may have lost or
// gained its soft break.
void LogicalLines::forgetFrom(int position) {
    if (m_document == nullptr)
        return;
    const int block = m_document->findBlock(position).blockNumber();
    const int from = block < 0 ? 0 : block;
    m_scanned = std::min(m_scanned, from);
    const auto first = std::lower_bound(m_pieces.begin(), m_pieces.end(), from,
                                        [](const Piece& p, int b) { return p.block < b; });
    m_pieces.erase(first, m_pieces.end());
}

bool LogicalLines::startsLine(const QTextBlock& block) {
    return !LongLinePieces::startsSoft(block);
}

std::size_t LogicalLines::charactersIn(const QString& text, int from, int to) {
    std::size_t count = 0;
    for (int i = from; i < to; ++i) {
        if (!text.at(i).isLowSurrogate())
            ++count;
    }
    return count;
}

void LogicalLines::scanTo(int block) {
    QTextDocument& doc = document();
    if (block < m_scanned)
        return;
    QTextBlock b = doc.findBlockByNumber(m_scanned);
    while (b.isValid() && b.blockNumber() <= block) {
        if (LongLinePieces::startsSoft(b) && b.blockNumber() > 0) {
            const QTextBlock previous = b.previous();
            std::size_t before = 0;
            if (!m_pieces.empty() && m_pieces.back().block == previous.blockNumber())
                before = m_pieces.back().charsBefore;
            const QString text = previous.text();
            before += charactersIn(text, 0, static_cast<int>(text.size()));
            m_pieces.push_back({b.blockNumber(), before});
        }
        m_scanned = b.blockNumber() + 1;
        b = b.next();
    }
}

std::size_t LogicalLines::softBreaksUpTo(int block) const {
    return static_cast<std::size_t>(
        std::upper_bound(m_pieces.begin(), m_pieces.end(), block,
                         [](int b, const Piece& p) { return b < p.block; }) -
        m_pieces.begin());
}

std::size_t LogicalLines::lineOf(int position) {
    // The editor's lines less the pieces of long lines before the position.
    const int block = document().findBlock(position).blockNumber();
    scanTo(block);
    return m_editor.heldLineOf(position) - softBreaksUpTo(block);
}

std::size_t LogicalLines::columnOf(int position) {
    QTextDocument& doc = document();
    const QTextBlock block = doc.findBlock(position);
    const QString text = block.text();
    const int inBlock = std::clamp(position - block.position(), 0, static_cast<int>(text.size()));
    // A line that starts inside the paragraph (lines held together) is
    // never a later piece of a long one.
    const int lineStart = m_editor.heldLineStart(position) - block.position();
    if (lineStart > 0 && lineStart <= inBlock)
        return charactersIn(text, lineStart, inBlock);
    scanTo(block.blockNumber());
    std::size_t column = 0;
    if (!m_pieces.empty()) {
        const std::size_t index = softBreaksUpTo(block.blockNumber());
        if (index > 0 && m_pieces[index - 1].block == block.blockNumber())
            column = m_pieces[index - 1].charsBefore;
    }
    return column + charactersIn(text, 0, inBlock);
}

std::size_t LogicalLines::charactersBetween(int from, int to) {
    if (from > to)
        std::swap(from, to);
    QTextDocument& doc = document();
    QTextBlock block = doc.findBlock(from);
    const QTextBlock last = doc.findBlock(to);
    scanTo(last.blockNumber());
    // Every position between is a character but the soft breaks and the
    // second halves of surrogate pairs.
    std::size_t count = static_cast<std::size_t>(to - from);
    count -= softBreaksUpTo(last.blockNumber()) - softBreaksUpTo(block.blockNumber());
    for (; block.isValid() && block.blockNumber() <= last.blockNumber(); block = block.next()) {
        const QString text = block.text();
        const int start = std::max(from - block.position(), 0);
        const int end = std::min(to - block.position(), static_cast<int>(text.size()));
        for (int i = start; i < end; ++i) {
            if (text.at(i).isLowSurrogate())
                --count;
        }
    }
    return count;
}

}  // namespace korvane
