#include "editor/display_lines.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

#include "editor/line_groups.h"

namespace korvane {

std::size_t DisplayLines::linesOf(const QTextBlock& block) {
    QTextLayout* layout = block.layout();
    if (layout->lineCount() == 0)
        block.document()->documentLayout()->blockBoundingRect(block);  // lays the block out
    return static_cast<std::size_t>(std::max(1, layout->lineCount()));
}

void DisplayLines::countBlocks(const QTextDocument& doc, std::size_t blocks) const {
    // The lines a paragraph wraps into depend on the width and the font.
    const QString key = QString::number(m_view.viewport()->width()) + QLatin1Char('|') +
                        QString::number(m_view.lineWrapMode()) + QLatin1Char('|') +
                        m_view.font().key() + QLatin1Char('|') +
                        QString::number(doc.defaultTextOption().tabStopDistance());
    if (key != m_key) {
        m_key = key;
        m_linesBefore.assign(1, 0);
    }
    blocks = std::min(blocks, static_cast<std::size_t>(doc.blockCount()));
    if (m_linesBefore.size() > blocks)
        return;
    QTextBlock block = doc.findBlockByNumber(static_cast<int>(m_linesBefore.size() - 1));
    while (m_linesBefore.size() <= blocks && block.isValid()) {
        m_linesBefore.push_back(m_linesBefore.back() + linesOf(block));
        block = block.next();
    }
}

std::optional<std::pair<QTextBlock, int>> DisplayLines::find(const QTextDocument& doc,
                                                             std::size_t line) const {
    // Extend the count until it reaches the line (or the text ends).
    const auto total = static_cast<std::size_t>(doc.blockCount());
    std::size_t want = m_linesBefore.size();
    while (true) {
        countBlocks(doc, want);
        if (m_linesBefore.back() > line || m_linesBefore.size() > total)
            break;
        want = std::min(total, want * 2);
    }
    if (m_linesBefore.back() <= line)
        return std::nullopt;
    const auto it = std::upper_bound(m_linesBefore.begin(), m_linesBefore.end(), line);
    const auto blockNumber = static_cast<int>(it - m_linesBefore.begin()) - 1;
    const QTextBlock block = doc.findBlockByNumber(blockNumber);
    linesOf(block);
    return std::make_pair(
        block, static_cast<int>(line - m_linesBefore[static_cast<std::size_t>(blockNumber)]));
}

int DisplayLines::lineInBlock(const QTextBlock& block, int unit) {
    linesOf(block);
    const QTextLayout* layout = block.layout();
    const int local = unit - block.position();
    int inBlock = 0;
    for (int i = 1; i < layout->lineCount(); ++i) {
        if (layout->lineAt(i).textStart() <= local)
            inBlock = i;
    }
    return inBlock;
}

std::size_t DisplayLines::count(const QTextDocument& doc) const {
    countBlocks(doc, static_cast<std::size_t>(doc.blockCount()));
    return m_linesBefore.back();
}

std::size_t DisplayLines::lineOfUnit(const QTextDocument& doc, int unit) const {
    const QTextBlock block = doc.findBlock(unit);
    const auto number = static_cast<std::size_t>(block.blockNumber());
    countBlocks(doc, number + 1);
    return m_linesBefore[number] + static_cast<std::size_t>(lineInBlock(block, unit));
}

int DisplayLines::lineStartUnit(const QTextDocument& doc, int unit) const {
    const QTextBlock block = doc.findBlock(unit);
    const int inBlock = lineInBlock(block, unit);
    if (block.layout()->lineCount() == 0)  // not laid out (no width yet)
        return block.position();
    return block.position() + block.layout()->lineAt(inBlock).textStart();
}

std::optional<std::pair<int, int>> DisplayLines::unitsOfLine(const QTextDocument& doc,
                                                             std::size_t line) const {
    const auto at = find(doc, line);
    if (!at)
        return std::nullopt;
    const auto& [block, local] = *at;
    const QTextLine textLine = block.layout()->lineAt(local);
    const int start = block.position() + textLine.textStart();
    // The last line of a paragraph ends before its line break, a line of
    // lines held together (line_groups.h) before its separator.
    int end = std::min(start + textLine.textLength(), block.position() + block.length() - 1);
    if (end > start && LineGroups::isSeparator(block.text().at(end - 1 - block.position())))
        --end;
    return std::make_pair(start, end);
}

}  // namespace korvane
