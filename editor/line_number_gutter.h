// The line numbers at the editor's left edge.
//
// One number per line of the text, on its first display line: a line the
// editor wraps gets one number, and so does a long line it holds in pieces
// (logical_lines.h). The gutter paints only the lines in view, and numbers
// them from what LogicalLines already knows, so neither a keystroke nor a
// scroll walks the text.
#pragma once

#include <QWidget>

#include <cstddef>
#include <vector>

#include "editor/logical_lines.h"

namespace korvane {

class RichEdit;

class LineNumberGutter : public QWidget {
    Q_OBJECT

  public:
    // Made hidden, as a child of the editor.
    explicit LineNumberGutter(RichEdit& editor);

    // Shown, the editor's text moves right to make room; hidden, it has the
    // whole width again.
    void setShown(bool shown);
    // Wide enough for the number of the document's last block.
    int widthNeeded() const;
    // The numbers it paints in `area` (its own coordinates): each line's
    // number and the top of the display line it stands on.
    struct Number {
        std::size_t line = 0;  // from 1
        int top = 0;
        friend bool operator==(const Number&, const Number&) = default;
    };
    std::vector<Number> numbersIn(const QRect& area);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitToEditor();

    RichEdit& m_editor;
    LogicalLines m_lines;
    bool m_shown = false;
};

}  // namespace korvane
