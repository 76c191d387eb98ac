// The title box holds only what Shift_JIS can write, and tells the user
// when it had to replace something.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "editor/sjis_line_edit.h"

namespace korvane {
namespace {

// Catches the filter missing a kind of character, replacing one CP932 can
// hold, or reporting a character it did not replace.
TEST(SjisFilter, ReplacesWhatShiftJisCannotWrite) {
    struct Row {
        const char* name;
        QString in;
        SjisLineBreaks breaks;
        QString out;
        int reported;
    };
    const QString emoji = QString::fromUtf8("\xf0\x9f\x98\x80");
    const Row rows[] = {
        {"ASCII", QStringLiteral("<b>x</b>"), SjisLineBreaks::Paragraph, QStringLiteral("<b>x</b>"),
         0},
        {"Japanese", QString::fromUtf8("日本語ｱ"), SjisLineBreaks::Paragraph,
         QString::fromUtf8("日本語ｱ"), 0},
        {"emoji", QStringLiteral("a") + emoji + QStringLiteral("b"), SjisLineBreaks::Paragraph,
         QStringLiteral("a?b"), 1},
        {"wave dash", QString(QChar(0x301C)), SjisLineBreaks::Paragraph, QString(QChar(0xFF5E)), 1},
        {"same character twice is one report", emoji + emoji, SjisLineBreaks::Paragraph,
         QStringLiteral("??"), 1},
        {"line breaks in the editor",
         QStringLiteral("1\r\n2\r3") + QChar(0x2028) + QStringLiteral("4"),
         SjisLineBreaks::Paragraph, QStringLiteral("1\n2\n3\n4"), 0},
        {"line breaks in a one-line box", QStringLiteral("1\r\n2\n3"), SjisLineBreaks::Space,
         QStringLiteral("1 2 3"), 0},
        {"line breaks in a number box", QStringLiteral("1\r\n2\r3") + QChar(0x2029),
         SjisLineBreaks::Removed, QStringLiteral("123"), 0},
    };
    for (const Row& row : rows) {
        const SjisFiltered f = filterForShiftJis(row.in, row.breaks);
        EXPECT_EQ(f.text, row.out) << row.name;
        EXPECT_EQ(f.replaced.size(), row.reported) << row.name;
    }
    EXPECT_TRUE(replacementNotice({emoji + QStringLiteral("→?")}).contains(emoji));
}

// Catches the box taking typed or pasted characters the page cannot hold,
// or replacing them without a word.
TEST(SjisLineEdit, TypedAndPastedTextIsClean) {
    SjisLineEdit box;
    box.show();
    int reports = 0;
    QObject::connect(&box, &SjisLineEdit::charactersReplaced, [&reports] { ++reports; });
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                    QString::fromUtf8("\xf0\x9f\x98\x80"));
    QApplication::sendEvent(&box, &typed);
    EXPECT_EQ(box.text(), QStringLiteral("?"));
    EXPECT_EQ(reports, 1);

    QApplication::clipboard()->setText(QStringLiteral("a\nb"));
    box.paste();
    EXPECT_EQ(box.text(), QStringLiteral("?a b"));
    EXPECT_EQ(box.bytes(), "?a b");
}

// Catches the byte interface losing damaged bytes of a title read from a file.
TEST(SjisLineEdit, BytesRoundTrip) {
    SjisLineEdit box;
    const std::string title = "\x93\xfa\x96\x7b \x81 \xa0";
    box.setBytes(title);
    EXPECT_EQ(box.bytes(), title);
}

// Catches a dragged file taken in as its "file:///..." text.
TEST(SjisLineEdit, LeavesDroppedFilesToTheWindow) {
    SjisLineEdit box;
    box.show();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    QDragEnterEvent drag(QPoint(2, 2), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &drag);
    EXPECT_FALSE(drag.isAccepted());
}

}  // namespace
}  // namespace korvane
