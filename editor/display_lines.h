// The editor's display lines: with word wrap a paragraph is as many lines as
// it wraps into, and the lines are numbered across the whole document.
//
// Numbering them all on every request would lay out the whole document, so
// the number of display lines before each block is kept for the first
// blocks, extended only as far as a request reaches, and dropped from the
// first block an edit touched. The lines a paragraph wraps into depend on
// the wrap width and the font: a change of either starts the count afresh.
#pragma once

#include <QString>
#include <QTextBlock>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

class QPlainTextEdit;
class QTextDocument;

namespace korvane {

class DisplayLines {
  public:
    // `view` shows the documents asked about: its width and font wrap them.
    explicit DisplayLines(const QPlainTextEdit& view) : m_view(view) {}

    // Forgets every count (a new text), or the counts from a block on (an
    // edit in it).
    void forget() { m_linesBefore.assign(1, 0); }
    void forgetFrom(std::size_t block) {
        m_linesBefore.resize(std::min(m_linesBefore.size(), block + 1));
    }

    std::size_t count(const QTextDocument& doc) const;
    // The display line that holds a position of the document.
    std::size_t lineOfUnit(const QTextDocument& doc, int unit) const;
    // The position where the display line holding `unit` starts. Lays out
    // only that paragraph.
    int lineStartUnit(const QTextDocument& doc, int unit) const;
    // The positions [start, end) of a display line, without its line break;
    // nothing past the last line.
    std::optional<std::pair<int, int>> unitsOfLine(const QTextDocument& doc,
                                                   std::size_t line) const;

  private:
    // Counts the display lines before each of the first `blocks` blocks.
    void countBlocks(const QTextDocument& doc, std::size_t blocks) const;
    static std::size_t linesOf(const QTextBlock& block);
    // The display line within its block that holds a position of the document.
    static int lineInBlock(const QTextBlock& block, int unit);
    // The block and the line in it of a display line; nothing past the last.
    std::optional<std::pair<QTextBlock, int>> find(const QTextDocument& doc,
                                                   std::size_t line) const;

    const QPlainTextEdit& m_view;
    // Display lines before each block, valid for the first blocks.
    mutable std::vector<std::size_t> m_linesBefore{0};
    mutable QString m_key;  // the width and font they were counted for
};

}  // namespace korvane
