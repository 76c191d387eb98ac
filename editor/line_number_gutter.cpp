#include "editor/line_number_gutter.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

#include "editor/line_groups.h"
#include "editor/rich_edit.h"

namespace korvane {

namespace {

constexpr int kPadding = 4;

}  // namespace

LineNumberGutter::LineNumberGutter(RichEdit& editor)
    : QWidget(&editor), m_editor(editor), m_lines(editor) {
    setObjectName(QStringLiteral("LineNumbers"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    editor.installEventFilter(this);
    connect(&editor, &QPlainTextEdit::blockCountChanged, this, [this] { fitToEditor(); });
    // Lines held together (line_groups.h) come and go without a change of
    // paragraphs: the width follows the count of digits.
    connect(&editor, &QPlainTextEdit::textChanged, this, [this] {
        if (m_shown && width() != widthNeeded())
            fitToEditor();
    });
    connect(&editor, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (!m_shown)
            return;
        if (dy != 0)
            scroll(0, dy);
        else
            update(0, rect.y(), width(), rect.height());
    });
}

void LineNumberGutter::setShown(bool shown) {
    m_shown = shown;
    setVisible(shown);
    fitToEditor();
}

// The digits of the editor's line count (the pieces of long lines counted
// too): never fewer than the numbers need, and known without numbering the
// lines.
int LineNumberGutter::widthNeeded() const {
    int digits = 1;
    for (std::size_t n = std::max<std::size_t>(1, m_editor.m_mirror.lineCount()); n >= 10; n /= 10)
        ++digits;
    digits = std::max(digits, 3);
    return 2 * kPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void LineNumberGutter::fitToEditor() {
    setFont(m_editor.font());
    const int width = m_shown ? widthNeeded() : 0;
    m_editor.setViewportMargins(width, 0, 0, 0);
    const QRect area = m_editor.contentsRect();
    setGeometry(area.left(), area.top(), width, area.height());
    update();
}

bool LineNumberGutter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_editor &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange))
        fitToEditor();
    return QWidget::eventFilter(watched, event);
}

std::vector<LineNumberGutter::Number> LineNumberGutter::numbersIn(const QRect& area) {
    std::vector<Number> numbers;
    QTextBlock block = m_editor.firstVisibleBlock();
    qreal top = m_editor.blockBoundingGeometry(block).translated(m_editor.contentOffset()).top();
    while (block.isValid() && top <= area.bottom()) {
        const qreal height = m_editor.blockBoundingRect(block).height();
        if (block.isVisible() && top + height >= area.top()) {
            if (LogicalLines::startsLine(block))
                numbers.push_back({m_lines.lineOf(block.position()) + 1, static_cast<int>(top)});
            // Lines held together in one paragraph start at its display
            // lines that follow a separator.
            const QTextLayout* layout = block.layout();
            if (layout->lineCount() > 1 &&
                block.text().contains(QChar(LineGroups::kLineSeparator))) {
                const QString text = block.text();
                for (int i = 1; i < layout->lineCount(); ++i) {
                    const QTextLine line = layout->lineAt(i);
                    const int start = line.textStart();
                    const int y = static_cast<int>(top + line.y());
                    if (start == 0 || !LineGroups::isSeparator(text.at(start - 1)) ||
                        y > area.bottom() || y + line.height() < area.top())
                        continue;
                    numbers.push_back({m_lines.lineOf(block.position() + start) + 1, y});
                }
            }
        }
        top += height;
        block = block.next();
    }
    return numbers;
}

void LineNumberGutter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int lineHeight = fontMetrics().height();
    for (const Number& n : numbersIn(event->rect())) {
        painter.drawText(0, n.top, width() - kPadding, lineHeight, Qt::AlignRight | Qt::AlignTop,
                         QString::number(n.line));
    }
}

}  // namespace korvane
