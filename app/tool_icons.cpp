#include "app/tool_icons.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace korvane {

namespace {

// A small picture with a letter or two, for buttons whose picture neither the
// icon theme nor the style provides.
QIcon glyphIcon(const QString& glyph, bool bold = false, bool italic = false,
                bool underline = false, bool strike = false) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(0x40, 0x40, 0x60));
        painter.setBrush(QColor(0xF4, 0xF4, 0xFA));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 6.0, size / 6.0);
        QFont font("Sans");
        font.setPixelSize(glyph.size() > 2 ? size * 5 / 16 : size * 9 / 16);
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
        font.setStrikeOut(strike);
        painter.setFont(font);
        painter.setPen(QColor(0x10, 0x10, 0x40));
        painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Three bars of a paragraph, flush to one side or centred.
QIcon alignIcon(Qt::Alignment align) {
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const double unit = size / 16.0;
        const double lengths[] = {12, 8, 12, 6};
        for (int row = 0; row < 4; ++row) {
            const double length = lengths[row] * unit;
            double left = 2 * unit;
            if (align == Qt::AlignRight)
                left = size - 2 * unit - length;
            else if (align == Qt::AlignHCenter)
                left = (size - length) / 2;
            painter.fillRect(QRectF(left, (2 + row * 3.5) * unit, length, 2 * unit),
                             QColor(0x20, 0x20, 0x50));
        }
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon themed(const char* name, const QIcon& fallback) {
    if (*name == '\0')
        return fallback;
    return QIcon::fromTheme(QString::fromUtf8(name), fallback);
}

QIcon standardPicture(ToolIcon::Standard standard, QStyle* style) {
    switch (standard) {
        case ToolIcon::Standard::File:
            return style->standardIcon(QStyle::SP_FileIcon);
        case ToolIcon::Standard::Open:
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case ToolIcon::Standard::Save:
            return style->standardIcon(QStyle::SP_DialogSaveButton);
        case ToolIcon::Standard::Preview:
            return style->standardIcon(QStyle::SP_FileDialogContentsView);
        case ToolIcon::Standard::Back:
            return style->standardIcon(QStyle::SP_ArrowBack);
        case ToolIcon::Standard::Up:
            return style->standardIcon(QStyle::SP_ArrowUp);
        case ToolIcon::Standard::Down:
            return style->standardIcon(QStyle::SP_ArrowDown);
        case ToolIcon::Standard::None:
            break;
    }
    return {};
}

QIcon drawnPicture(const ToolIcon& icon) {
    switch (icon.drawn) {
        case ToolIcon::Drawn::Glyph:
            return glyphIcon(QString::fromUtf8(icon.glyph), icon.face & ToolIcon::kBold,
                             icon.face & ToolIcon::kItalic, icon.face & ToolIcon::kUnderline,
                             icon.face & ToolIcon::kStrike);
        case ToolIcon::Drawn::AlignLeft:
            return alignIcon(Qt::AlignLeft);
        case ToolIcon::Drawn::AlignCenter:
            return alignIcon(Qt::AlignHCenter);
        case ToolIcon::Drawn::AlignRight:
            return alignIcon(Qt::AlignRight);
        case ToolIcon::Drawn::None:
            break;
    }
    return {};
}

}  // namespace

QIcon toolButtonIcon(const ToolIcon& icon, QStyle* style) {
    const QIcon fallback = icon.standard != ToolIcon::Standard::None
                               ? standardPicture(icon.standard, style)
                               : drawnPicture(icon);
    return themed(icon.theme, themed(icon.secondTheme, fallback));
}

}  // namespace korvane
