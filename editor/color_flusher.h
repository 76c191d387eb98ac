// How the mirror's colours reach the screen.
//
// Colour lives in the mirror and reaches the screen through the text layout
// of each paragraph, never as character formats of the document: colouring
// adds no undo step, changes no modified flag and raises no change event.
// The lines whose colours changed are collected and handed to their layouts
// in one go when the editor shows (after the running handler, a pass over
// thousands of tags, or a replace-all that does not show).
#pragma once

#include <QTextBlock>
#include <QTextCharFormat>

#include <cstddef>

#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "editor/text_mirror.h"

class QPalette;
class QTextDocument;

namespace korvane {

class ColorFlusher {
  public:
    // Repaints the area of one block whose colours changed.
    using Repaint = std::function<void(const QTextBlock& block)>;

    explicit ColorFlusher(const TextMirror& mirror) : m_mirror(mirror) {}

    // Lines [first, last] need their colours handed to the layout. While
    // `batching` (a replace-all that does not show) they are kept as one
    // span.
    void markDirty(std::size_t first, std::size_t last, bool batching);
    // After the mirror took in an edit: the marked lines behind it move with
    // it, and the new lines that have colours, or showed some, are marked.
    void followSplice(const QTextDocument& doc, const TextMirror::SpliceLines& lines,
                      bool batching);
    // A new text: nothing is owed any more.
    void forget();
    // System colours follow the palette: formats made from it go.
    void forgetFormats() { m_formatCache.clear(); }

    // Hands the marked lines' colours to their layouts.
    void flush(QTextDocument& doc, const QPalette& palette, const Repaint& repaint);

  private:
    // Moves the marked lines over an edit that replaced lines.
    void shiftOver(const TextMirror::SpliceLines& lines);
    // The marked lines, sorted and each once, and no more marks.
    std::vector<std::size_t> takeDirtyLines();
    // Hands the colours of the lines a paragraph holds, `line` among them
    // (`onlyLine`: the only one), to its layout.
    void applyFormats(const QTextBlock& block, std::size_t line, bool onlyLine,
                      const QPalette& palette);
    // The paragraph that holds a line's start, looked for from `near` on.
    QTextBlock blockOfLine(const QTextDocument& doc, std::size_t line,
                           const QTextBlock& near) const;
    const QTextCharFormat& formatOf(ColorValue color, const QPalette& palette);

    const TextMirror& m_mirror;
    std::vector<std::size_t> m_dirtyLines;
    std::optional<std::pair<std::size_t, std::size_t>> m_dirtySpan;  // while batching
    std::map<ColorValue, QTextCharFormat> m_formatCache;
};

}  // namespace korvane
