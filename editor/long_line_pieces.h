// The pieces the editor cuts long lines into.
//
// A paragraph of hundreds of kilobytes (a generated page on one line) is
// more than the toolkit can lay out on every keystroke, so lines longer than
// a few thousand characters are cut into pieces, each a paragraph of the
// document that starts with a soft break (a property of its block format, so
// undo brings it back with the text). The mirror counts no bytes for a soft
// break: offsets, reads, searches, copies and saves see the line whole.
//
// The pieces are made where text comes in (a new text, an insert) and put
// right after the edits that disturb them: a paragraph the user makes by
// Enter inside a piece inherits its soft break and must lose it, and a piece
// that grows too long is cut again. Those repairs are collected while the
// document reports an edit and made once it has finished, as part of the
// edit's undo step.
#pragma once

#include <QString>
#include <QTextBlock>
#include <QTextCursor>

#include <cstddef>
#include <string_view>
#include <vector>

#include "editor/text_mirror.h"

class QTextDocument;

namespace korvane {

class LongLinePieces {
  public:
    // Lines of more characters than this are cut into pieces of about
    // kPieceUnits: a piece lays out in a millisecond or two.
    static constexpr std::size_t kPieceUnits = 4096;
    static constexpr std::size_t kMaxPieceUnits = 2 * kPieceUnits;

    // Whether a block is a piece after the first of its line.
    static bool startsSoft(const QTextBlock& block);

    // The document's text of bytes in `codec` with CR LF line breaks,
    // decoded in one pass, lines longer than kMaxPieceUnits cut into pieces
    // by soft break units (`cut` tells whether any was).
    static QString pieceTextOf(std::string_view crlfBytes, bool& cut,
                               const TextCodec& codec = shiftJisCodec());
    // Gives the blocks that `text`, inserted at `from`, starts with a soft
    // break unit the format of a piece.
    static void markPieces(QTextDocument& doc, const QString& text, int from);
    // The mirror's soft breaks of its lines [first, last] from the document.
    static void syncSoftBreaks(const QTextDocument& doc, TextMirror& mirror, std::size_t first,
                               std::size_t last);

    // The text of the document positions [from, to), the pieces of long
    // lines joined, with "\n" for each line break.
    static QString plainTextBetween(const QTextDocument& doc, int from, int to);
    // An arrow key that has just moved the cursor from `before` onto a soft
    // break moves it on over the break, as over nothing. Returns whether it
    // did; the cursor is then the widget's new one.
    static bool stepOverSoftBreak(QTextCursor& cursor, int key, int before, bool select);
    // Backspace at the start of a piece erases the character before it,
    // Delete at the end of one the character after it: the cursor is put
    // across the soft break first. Returns whether it was.
    static bool crossBeforeErase(QTextCursor& cursor, int key);

    // Inserts text at the cursor (inside an edit block of the caller's),
    // cutting lines longer than kMaxPieceUnits into pieces. The soft breaks
    // it makes are the edit's own until endInsert(), which the caller calls
    // once the document has reported the edit.
    void insert(QTextCursor& cursor, const QString& text);
    void endInsert() { m_softEdit = false; }

    // The new blocks of an edit the mirror has taken in: a block the edit
    // made by a line break that inherited a soft break it must not have
    // (unless the edit is one of ours), and a piece grown too long, are
    // put right by applyRepairs().
    void checkNewBlocks(const QTextDocument& doc, const TextMirror& mirror,
                        const TextMirror::SpliceLines& lines, int position, int added);
    bool repairsDue() const { return !m_hardenAt.empty() || !m_splitAt.empty(); }
    // Part of the edit that made them: undo takes both back at once.
    void applyRepairs(QTextDocument& doc);

  private:
    // Parts the lines a paragraph holds together (line_groups.h) into
    // paragraphs of their own.
    static void ungroup(QTextCursor& cursor, const QTextBlock& block);
    // Whether `text` has a line longer than a piece may be.
    static bool hasLongLine(const QString& text);
    // `text` with its long lines cut by paragraph separators; `soft` says
    // of each separator whether it is a soft break.
    static QString cutForInsert(const QString& text, std::vector<bool>& soft);

    bool m_softEdit = false;      // our edit sets the pieces' soft breaks itself
    std::vector<int> m_hardenAt;  // blocks that must not start with a soft break
    std::vector<int> m_splitAt;   // blocks to cut into pieces
};

}  // namespace korvane
