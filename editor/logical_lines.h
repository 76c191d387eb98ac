// Line and column as the user counts them, over an editor's document.
//
// The document's blocks are not the text's lines: a line longer than a few
// thousand characters is held as several pieces (long_line_pieces.h), each
// a block that starts with a soft break, and a large text holds several
// lines in a block (line_groups.h). The editor's mirror numbers the lines
// and pieces; this counts the pieces. Numbering lines and counting
// columns must see the line whole, yet neither may walk a megabyte line or
// every block before the caret at each keystroke.
//
// So this keeps, for the blocks it has looked at, where the pieces are and
// how many characters of their line lie before each one. An edit forgets
// only what lies from its own block on; a query looks at the blocks it has
// not seen up to the one it asks about, once. Typing near the caret thus
// costs a block or two; the first question after a load at the end of a
// large text walks its blocks once.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>

#include <cstddef>
#include <vector>

namespace korvane {

class RichEdit;

class LogicalLines {
  public:
    explicit LogicalLines(const RichEdit& editor) : m_editor(editor) {}
    ~LogicalLines();
    LogicalLines(const LogicalLines&) = delete;
    LogicalLines& operator=(const LogicalLines&) = delete;

    // The 0-based line of the text that holds a document position.
    std::size_t lineOf(int position);
    // Whether `block` starts a line of the text (is no later piece of one).
    static bool startsLine(const QTextBlock& block);
    // Characters (a surrogate pair is one) from the start of the line to the
    // document position `position`.
    std::size_t columnOf(int position);
    // Characters between two document positions, a soft break none and a
    // line break one.
    std::size_t charactersBetween(int from, int to);

  private:
    struct Piece {
        int block = 0;
        std::size_t charsBefore = 0;  // characters of its line in the pieces before it
    };
    // The editor's current document, followed from now on.
    QTextDocument& document();
    void forgetFrom(int position);
    // Looks at the blocks up to `block` that it has not seen yet.
    void scanTo(int block);
    std::size_t softBreaksUpTo(int block) const;
    static std::size_t charactersIn(const QString& text, int from, int to);

    const RichEdit& m_editor;
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_watch;
    std::vector<Piece> m_pieces;  // by block number
    int m_scanned = 0;            // blocks [0, m_scanned) are known
};

}  // namespace korvane
