#include "app/tool_icons.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <functional>
#include <map>

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

}  // namespace

QIcon toolButtonIcon(const QString& buttonName, QStyle* s) {
    using Make = std::function<QIcon()>;
    const auto glyph = [](const char* text, bool bold = false, bool italic = false,
                          bool underline = false, bool strike = false) {
        return [=] { return glyphIcon(QString::fromUtf8(text), bold, italic, underline, strike); };
    };
    const auto standard = [s](QStyle::StandardPixmap pixmap) {
        return [s, pixmap] { return s->standardIcon(pixmap); };
    };
    // The style's help picture is a life buoy, whose red quarters read as
    // four corner arrows at 16 pixels; a question mark says help at any size.
    const Make help = [] { return themed("help-about", glyphIcon(QStringLiteral("?"), true)); };
    struct Picture {
        const char* theme;
        Make fallback;
    };
    const std::map<QString, Picture> pictures = {
        {QStringLiteral("ToolButton1"), {"document-new", standard(QStyle::SP_FileIcon)}},
        {QStringLiteral("ToolButton2"), {"document-open", standard(QStyle::SP_DialogOpenButton)}},
        {QStringLiteral("ToolButton3"), {"document-save", standard(QStyle::SP_DialogSaveButton)}},
        {QStringLiteral("ToolButton5"),
         {"document-print-preview", standard(QStyle::SP_FileDialogContentsView)}},
        {QStringLiteral("ToolButton7"), {"edit-undo", standard(QStyle::SP_ArrowBack)}},
        {QStringLiteral("ToolButton9"), {"edit-cut", glyph("✂")}},
        {QStringLiteral("ToolButton10"), {"edit-copy", glyph("複")}},
        {QStringLiteral("ToolButton11"), {"edit-paste", glyph("貼")}},
        {QStringLiteral("ToolButton13"), {"edit-find", glyph("探")}},
        {QStringLiteral("ToolButton14"), {"go-up", standard(QStyle::SP_ArrowUp)}},
        {QStringLiteral("ToolButton15"), {"go-down", standard(QStyle::SP_ArrowDown)}},
        {QStringLiteral("ToolButton25"), {"help-contents", help}},
        {QStringLiteral("ToolButton17"), {"document-open", standard(QStyle::SP_DialogOpenButton)}},
        {QStringLiteral("ToolButton18"), {"document-save", standard(QStyle::SP_DialogSaveButton)}},
        {QStringLiteral("ToolButton20"),
         {"document-print-preview", standard(QStyle::SP_FileDialogContentsView)}},
        {QStringLiteral("ToolButton22"), {"edit-undo", standard(QStyle::SP_ArrowBack)}},
        {QStringLiteral("ToolButton31"), {"format-text-bold", glyph("B", true)}},
        {QStringLiteral("ToolButton32"), {"format-text-italic", glyph("I", false, true)}},
        {QStringLiteral("ToolButton33"), {"format-text-underline", glyph("U", false, false, true)}},
        {QStringLiteral("ToolButton34"),
         {"format-text-strikethrough", glyph("S", false, false, false, true)}},
        {QStringLiteral("ToolButton35"), {"", glyph("TT")}},
        {QStringLiteral("ToolButton36"), {"", glyph("A")}},
        {QStringLiteral("ToolButton37"), {"", glyph("@")}},
        {QStringLiteral("ToolButton38"), {"", glyph("BR")}},
        {QStringLiteral("ToolButton39"), {"", glyph("HR")}},
        {QStringLiteral("ToolButton40"), {"", glyph("P")}},
        {QStringLiteral("ToolButton41"), {"", glyph("PRE")}},
        {QStringLiteral("ToolButton43"),
         {"format-justify-left", [] { return alignIcon(Qt::AlignLeft); }}},
        {QStringLiteral("ToolButton44"),
         {"format-justify-center", [] { return alignIcon(Qt::AlignHCenter); }}},
        {QStringLiteral("ToolButton45"),
         {"format-justify-right", [] { return alignIcon(Qt::AlignRight); }}},
        {QStringLiteral("ToolButton19"), {"", glyph("F")}},
        {QStringLiteral("ToolButton23"), {"insert-link", glyph("L")}},
        {QStringLiteral("ToolButton27"), {"", glyph("#")}},
        {QStringLiteral("ToolButton29"), {"", glyph("Im")}},
        {QStringLiteral("ToolButton28"), {"insert-image", glyph("IMG")}},
        {QStringLiteral("ToolButton46"), {"", glyph("✓", true)}},
        {QStringLiteral("ToolButton24"), {"help-contents", help}},
    };
    const auto it = pictures.find(buttonName);
    if (it == pictures.end())
        return {};
    return themed(it->second.theme, it->second.fallback());
}

}  // namespace korvane
