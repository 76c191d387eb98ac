#include "editor/byte_placeholder.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

#include <algorithm>

namespace korvane {

namespace {

QColor between(const QColor& ink, const QColor& paper) {
    // Two parts ink to one part paper: clearly visible, yet not text.
    return QColor((2 * ink.red() + paper.red()) / 3, (2 * ink.green() + paper.green()) / 3,
                  (2 * ink.blue() + paper.blue()) / 3);
}

}  // namespace

void drawBytePlaceholder(QPainter& painter, const QRect& cell, int byte, const QColor& ink,
                         const QColor& paper) {
    const QRect inside = cell;
    if (inside.width() < 1 || inside.height() < 1)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(inside, paper);
    const QColor pen = between(ink, paper);
    // A box a little shorter than the line, so boxes on lines above and
    // below never touch.
    const QRect box = inside.adjusted(0, 1, -1, -2);
    painter.setPen(pen);
    if (box.width() >= 2 && box.height() >= 2)
        painter.drawRect(box);

    static constexpr char kHex[] = "0123456789ABCDEF";
    const QString high(QChar(kHex[(byte >> 4) & 0xF]));
    const QString low(QChar(kHex[byte & 0xF]));
    const QRect room = box.adjusted(1, 1, 0, 0);  // inside the box's lines
    if (room.width() < 2 || room.height() < 4) {
        painter.restore();
        return;
    }
    // A digit of a monospaced font is about 0.6 of its pixel size wide. Side
    // by side where that gives the larger digits (a full-width cell), else
    // one above the other.
    const int stacked = std::min(room.height() / 2, room.width() * 5 / 3);
    const int inRow = std::min(room.height() - 2, room.width() * 5 / 6);
    const bool sideBySide = inRow >= stacked;
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(std::max(4, sideBySide ? inRow : stacked));
    painter.setFont(font);
    if (sideBySide) {
        painter.drawText(room, Qt::AlignCenter, high + low);
    } else {
        const int half = room.height() / 2;
        painter.drawText(QRect(room.left(), room.top(), room.width(), half), Qt::AlignCenter, high);
        painter.drawText(QRect(room.left(), room.top() + half, room.width(), room.height() - half),
                         Qt::AlignCenter, low);
    }
    painter.restore();
}

}  // namespace korvane
