// What the Qt editor does beyond the shared contract: what the user sees,
// what comes in from the keyboard, input methods, the clipboard and drops,
// and a byte mirror that stays true through long runs of edits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/shift_jis.h"
#include "editor/rich_edit.h"

namespace korvane {
namespace {

constexpr ColorValue kRed = 0x0000FF;
const std::string kA = "\x82\xa0";  // あ

// The document's text as the file would hold it.
std::string encodedPlainText(const RichEdit& edit) {
    QString plain = edit.plainTextBetween(0, edit.document()->characterCount() - 1);
    plain.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return encodeShiftJis(plain.toStdU16String()).bytes;
}

// (start, length, colour) of the colours laid out for a paragraph.
std::vector<std::tuple<int, int, QColor>> shownColours(const RichEdit& edit, int block) {
    std::vector<std::tuple<int, int, QColor>> out;
    const QTextBlock b = edit.document()->findBlockByNumber(block);
    for (const QTextLayout::FormatRange& r : b.layout()->formats())
        out.emplace_back(r.start, r.length, r.format.foreground().color());
    return out;
}

class RichEditTest : public ::testing::Test {
  protected:
    RichEditTest() {
        m_edit.resize(1000, 400);
        m_edit.show();
        m_edit.setReplacementNotifier([this](const QString& m) { m_notices.push_back(m); });
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&m_edit, &press);
    }
    void colour(std::size_t start, std::size_t end) {
        m_edit.setSelection(start, end);
        m_edit.colorSelection(CharColor::of(kRed));
    }

    RichEdit m_edit;
    std::vector<QString> m_notices;
};

// Catches colour kept in the span store but never shown, or shown at byte
// positions instead of character positions.
TEST_F(RichEditTest, ColoursAreWhatTheLayoutShows) {
    m_edit.setText(kA + "<b>x</b>\r\n<i>");
    colour(2, 5);
    colour(6, 10);
    colour(12, 15);
    const QColor red(255, 0, 0);
    using Shown = std::vector<std::tuple<int, int, QColor>>;
    EXPECT_EQ(shownColours(m_edit, 0), (Shown{{1, 3, red}, {5, 4, red}}));
    EXPECT_EQ(shownColours(m_edit, 1), (Shown{{0, 3, red}}));

    // Typing before them moves them along; the typed text is not coloured.
    m_edit.setSelStart(0);
    m_edit.replaceSelection("yy");
    EXPECT_EQ(shownColours(m_edit, 0), (Shown{{3, 3, red}, {7, 4, red}}));

    // With redraw off nothing is shown half-done; switching it on shows all.
    m_edit.setRedraw(false);
    m_edit.setSelection(0, m_edit.textLength());
    m_edit.colorSelection(CharColor::autoColor());
    m_edit.setRedraw(true);
    EXPECT_TRUE(shownColours(m_edit, 0).empty());
    EXPECT_TRUE(shownColours(m_edit, 1).empty());
}

// Catches colouring through the document's character formats, which would
// add undo steps, mark the document modified and be saved with the text.
TEST_F(RichEditTest, ColouringLeavesTheDocumentAlone) {
    m_edit.setText("<p>abc</p>");
    m_edit.setModified(false);
    const int revision = m_edit.document()->revision();
    colour(0, 3);
    EXPECT_EQ(m_edit.document()->revision(), revision);
    EXPECT_FALSE(m_edit.document()->isUndoAvailable());
    EXPECT_FALSE(m_edit.modified());
    QTextCursor c(m_edit.document());
    c.setPosition(2);
    EXPECT_FALSE(c.charFormat().hasProperty(QTextFormat::ForegroundBrush));
}

// Catches typed characters that Shift_JIS cannot write reaching the text (the
// screen would show what the file will not hold) or being replaced silently.
TEST_F(RichEditTest, TypedCharactersAreFilteredAndReported) {
    struct Row {
        const char* name;
        QString typed;
        std::string bytes;
        bool reported;
    };
    const Row rows[] = {
        {"emoji", QString::fromUtf8("\xf0\x9f\x98\x80"), "?", true},
        {"wave dash as Windows writes it", QString(QChar(0x301C)), "\x81\x60", true},
        {"a character Shift_JIS holds", QString::fromUtf8("\xe3\x81\x82"), kA, false},
    };
    for (const Row& row : rows) {
        m_edit.setText("");
        m_notices.clear();
        key(Qt::Key_unknown, Qt::NoModifier, row.typed);
        EXPECT_EQ(m_edit.text(), row.bytes) << row.name;
        EXPECT_EQ(encodedPlainText(m_edit), row.bytes) << row.name << ": screen and file agree";
        ASSERT_EQ(m_notices.size(), row.reported ? 1u : 0u) << row.name;
        if (row.reported) {
            EXPECT_TRUE(m_notices[0].contains(row.typed)) << row.name;
        }
        // Filtered on the way in, not repaired afterwards: one undo takes
        // the typing back and never brings the character back.
        m_edit.undo();
        EXPECT_EQ(m_edit.text(), "") << row.name;
    }
}

// Catches an input method's commit string bypassing the filter.
TEST_F(RichEditTest, InputMethodTextIsFiltered) {
    m_edit.setText("");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("a") + QString::fromUtf8("\xf0\x9f\x98\x80"));
    QApplication::sendEvent(&m_edit, &commit);
    EXPECT_EQ(m_edit.text(), "a?");
    EXPECT_EQ(m_notices.size(), 1u);
}

// What an input method asks of the editor: catches a candidate window placed
// away from the caret once the text is scrolled or the viewport has
// margins, and preedit text that reaches the document (or its bytes) before
// it is committed.
// Text being composed is the input method's until it is committed: it
// changes nothing, and its underline stays on screen beside the colours.
TEST_F(RichEditTest, PreeditIsNoEditAndKeepsItsLook) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t caret;
    };
    const Case cases[] = {
        {"on the empty last line", "top\r\n", 5},
        {"inside a coloured line", "<B>abc</B>", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_edit.setText(c.text);
        m_edit.setModified(false);
        colour(0, 3);
        colour(6, 10);
        m_edit.setSelStart(c.caret);
        QApplication::processEvents();
        int changes = 0;
        m_edit.setChangeHandler([&changes] { ++changes; });

        QTextCharFormat underline;
        underline.setFontUnderline(true);
        const QString composing = QString::fromUtf8("\xe3\x81\xab\xe3\x81\xbb");  // にほ
        QInputMethodEvent preedit(composing, {{QInputMethodEvent::TextFormat, 0,
                                               static_cast<int>(composing.size()), underline}});
        QApplication::sendEvent(&m_edit, &preedit);
        QApplication::processEvents();
        EXPECT_EQ(changes, 0);
        EXPECT_FALSE(m_edit.modified());
        EXPECT_EQ(m_edit.text(), c.text);

        const QTextBlock block = m_edit.textCursor().block();
        const int at = m_edit.textCursor().positionInBlock();
        bool underlined = false;
        for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
            if (r.start == at && r.length == composing.size() && r.format.fontUnderline())
                underlined = true;
            // A colour after the caret moved behind the composed text.
            if (r.format.hasProperty(QTextFormat::ForegroundBrush) && r.start + r.length > at) {
                EXPECT_GE(r.start, at + composing.size());
            }
        }
        EXPECT_TRUE(underlined);

        QInputMethodEvent cancel;
        QApplication::sendEvent(&m_edit, &cancel);
        EXPECT_FALSE(m_edit.modified()) << "composing and cancelling is no edit";
        m_edit.setChangeHandler({});
    }
}

TEST_F(RichEditTest, InputMethodSeesTheCaretAndPreeditStaysOutOfTheText) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    m_edit.setText(text);
    m_edit.setContentsMargins(7, 5, 0, 0);
    m_edit.setSelection(text.size() - 2, text.size() - 2);
    QApplication::processEvents();
    m_edit.ensureCursorVisible();
    QApplication::processEvents();
    const QRect asked = m_edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QRect caret = m_edit.cursorRect().translated(m_edit.viewport()->pos());
    // Within the editor's one-pixel frame of the caret: the candidate window
    // stands at it.
    EXPECT_LE((asked.topLeft() - caret.topLeft()).manhattanLength(), 2)
        << asked.x() << "," << asked.y() << " vs " << caret.x() << "," << caret.y();
    EXPECT_TRUE(m_edit.rect().contains(asked.center()));

    QInputMethodEvent preedit(QString::fromUtf8("\xe3\x81\x82"), {});
    QApplication::sendEvent(&m_edit, &preedit);
    EXPECT_EQ(m_edit.text(), text);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("\xe3\x81\x82"));
    QApplication::sendEvent(&m_edit, &commit);
    EXPECT_EQ(m_edit.text().substr(text.size() - 2, 2), "\x82\xa0");
}

// Catches pasted line breaks that stay LF, CR or U+2028 instead of CR LF.
TEST_F(RichEditTest, PastedLineBreaksBecomeCrLf) {
    m_edit.setText("");
    QApplication::clipboard()->setText(QStringLiteral("1\n2\r3\r\n4") + QChar(0x2028) +
                                       QStringLiteral("5") + QChar(0x2029) + QStringLiteral("6"));
    m_edit.paste();
    EXPECT_EQ(m_edit.text(), "1\r\n2\r\n3\r\n4\r\n5\r\n6");
    EXPECT_EQ(m_edit.lineCount(), 6u);
    EXPECT_TRUE(m_notices.empty()) << "line breaks are no replaced characters";
}

// Catches Shift+Enter leaving a U+2028 line separator in the text.
TEST_F(RichEditTest, EveryEnterIsALineBreak) {
    m_edit.setText("ab");
    m_edit.setSelStart(1);
    key(Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
    EXPECT_EQ(m_edit.text(), "a\r\nb");
    EXPECT_EQ(encodedPlainText(m_edit), m_edit.text());
    m_edit.undo();
    EXPECT_EQ(m_edit.text(), "ab") << "one undo step, no repair behind it";
    key(Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"));
    EXPECT_EQ(m_edit.text(), "a\r\nb");
}

// Catches hooks that run after the editor's own handling (Enter would add
// a second line break) or that cannot swallow a key.
TEST_F(RichEditTest, KeyHooksRunFirst) {
    std::vector<int> downs;
    m_edit.setKeyDownHandler([&](QKeyEvent* e) {
        downs.push_back(RichEdit::virtualKey(*e));
        return RichEdit::virtualKey(*e) == 0x25 && m_edit.selStart() == 0;
    });
    m_edit.setKeyPressHandler([&](QKeyEvent* e) {
        if (RichEdit::typedCharacter(*e) != 13)
            return false;
        m_edit.replaceSelection("\r\n  ");
        return true;
    });
    m_edit.setText("  x");
    m_edit.setSelStart(0);
    key(Qt::Key_Left);
    EXPECT_EQ(m_edit.selStart(), 0u);
    m_edit.setSelStart(3);
    key(Qt::Key_Return, Qt::ShiftModifier, QStringLiteral("\r"));
    EXPECT_EQ(m_edit.text(), "  x\r\n  ");
    EXPECT_EQ(downs, (std::vector<int>{0x25, 0x0D}));

    QKeyEvent ctrlEnter(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(RichEdit::typedCharacter(ctrlEnter), 10);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(RichEdit::virtualKey(right), 0x27);
}

// Catches a change event that comes late (after the event loop) or not at
// all for typing, and typing with the mask at 0 still raising it.
TEST_F(RichEditTest, ChangeEventFollowsTypingAtOnce) {
    std::vector<std::string> seen;
    m_edit.setChangeHandler([&] { seen.push_back(m_edit.text()); });
    m_edit.setText("ab");
    m_edit.setSelStart(2);
    key(Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(seen, (std::vector<std::string>{"abc", "ab"}));
    m_edit.setEventMask(0);
    key(Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
    EXPECT_EQ(seen.size(), 2u);
}

// Catches dropped files taken in as "file:///..." text instead of reaching
// the main window's drop handler.
TEST_F(RichEditTest, DroppedFilesGoToTheWindowBehind) {
    class Window : public QWidget {
      public:
        int entered = 0;

      protected:
        void dragEnterEvent(QDragEnterEvent* e) override {
            ++entered;
            e->acceptProposedAction();
        }
    };
    Window window;
    window.setAcceptDrops(true);
    RichEdit* edit = new RichEdit(&window);
    window.show();

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/page.htm"))});
    QDragEnterEvent fileDrag(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &fileDrag);
    EXPECT_EQ(window.entered, 1);

    QMimeData words;
    words.setText(QStringLiteral("words"));
    QDragEnterEvent textDrag(QPoint(5, 5), Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &textDrag);
    EXPECT_TRUE(textDrag.isAccepted());
    EXPECT_EQ(window.entered, 1) << "dragged text stays with the editor";
}

// Catches display lines taken as paragraphs: with word wrap a paragraph is
// several lines, and the Enter key indents by the line the caret is on.
TEST_F(RichEditTest, WrappedParagraphIsSeveralLines) {
    RichEdit narrow;
    narrow.resize(160, 300);
    narrow.show();
    std::string paragraph;
    for (int i = 0; i < 30; ++i)
        paragraph += "word" + kA + " ";
    narrow.setText(paragraph + "\r\nend");
    const std::size_t lines = narrow.lineCount();
    ASSERT_GT(lines, 3u);
    std::string joined;
    for (std::size_t line = 0; line + 1 < lines; ++line) {
        EXPECT_EQ(narrow.lineIndex(line), joined.size()) << line;
        EXPECT_EQ(narrow.lineFromChar(joined.size()), line) << line;
        const std::string text = narrow.lineText(line);
        // The start found from the paragraph alone, anywhere in the line.
        EXPECT_EQ(narrow.lineStartOf(joined.size() + text.size() / 2), joined.size()) << line;
        joined += text;
    }
    EXPECT_EQ(joined, paragraph);
    EXPECT_EQ(narrow.lineText(lines - 1), "end");
    EXPECT_EQ(narrow.lineFromChar(narrow.textLength()), lines - 1);
}

// Catches damaged bytes changed on the way through the editor, and a
// damaged lead byte that silently pairs with the character moved next to it.
TEST_F(RichEditTest, DamagedBytesSurviveAndMergingIsReported) {
    const std::string damaged = "\x81 @\x80\xa0\xfd";
    m_edit.setText(damaged);
    EXPECT_EQ(m_edit.text(), damaged);
    m_edit.setSelection(1, 2);
    m_edit.replaceSelection("");
    EXPECT_EQ(m_edit.text(), "\x81@\x80\xa0\xfd");
    EXPECT_EQ(m_edit.textLength(), 5u);
    EXPECT_EQ(m_notices.size(), 1u);
}

// Text read from a file keeps its bytes where nobody typed: catches a line
// re-encoded on a keystroke (its duplicate codes put in Windows' form, a
// UTF-8 page read as Shift_JIS corrupted), by typing, Enter, Backspace,
// undo and a change of format on the lines that hold them. What is typed
// takes Windows' form; a search finds "≒" in either form.
TEST_F(RichEditTest, UntouchedTextKeepsItsBytes) {
    const std::string necLine = "\x87\x90\xed\x40\xfa\x4a x \xee\xec";  // ≒, NEC and IBM codes
    const std::string utf8Line = "<P>\xed\x95\x9c\xea\xb8\x80 caf\xc3\xa9</P>";
    const std::string original = necLine + "\r\n" + utf8Line + "\r\nend";
    m_edit.setText(original);
    ASSERT_EQ(m_edit.text(), original);

    // A keystroke in the middle of each line, then Backspace.
    m_edit.setSelection(8, 8);  // after "x"
    key(Qt::Key_Y, Qt::NoModifier, QStringLiteral("y"));
    EXPECT_EQ(m_edit.text(), "\x87\x90\xed\x40\xfa\x4a xy \xee\xec\r\n" + utf8Line + "\r\nend");
    key(Qt::Key_Backspace);
    EXPECT_EQ(m_edit.text(), original);
    const std::size_t inUtf8 = necLine.size() + 2 + 9;  // inside " caf"
    m_edit.setSelection(inUtf8, inUtf8);
    key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    key(Qt::Key_Backspace);
    EXPECT_EQ(m_edit.text(), original);

    // Typed "≒" takes Windows' form; undo gives the file's bytes back.
    m_edit.setSelection(m_edit.textLength(), m_edit.textLength());
    key(Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x2252)));
    EXPECT_EQ(m_edit.text(), original + "\x81\xe0");
    m_edit.undo();
    EXPECT_EQ(m_edit.text(), original);

    // A format change reported as a replacement of the whole first line.
    QTextCursor c(m_edit.document());
    c.setPosition(0);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);
    EXPECT_EQ(m_edit.text(), original);

    EXPECT_EQ(m_edit.find("\x81\xe0", 0, m_edit.textLength(), true), std::optional<std::size_t>(0));
    EXPECT_EQ(m_edit.find("\xfa\x5c", 0, m_edit.textLength(), true), std::optional<std::size_t>(2));
}

// Catches a focus request reported as taken while the editor is hidden.
TEST_F(RichEditTest, FocusOnlyWhenShown) {
    EXPECT_TRUE(m_edit.setFocus());
    m_edit.setVisible(false);
    EXPECT_FALSE(m_edit.setFocus());
    m_edit.setVisible(true);
    EXPECT_TRUE(m_edit.setFocus());
}

// Catches HideSelection that leaves the selection showing while another
// control has the focus, or that cannot be turned off again.
TEST_F(RichEditTest, HideSelectionHidesItWithoutTheFocus) {
    const QColor shown = m_edit.palette().color(QPalette::Inactive, QPalette::Highlight);
    m_edit.setHideSelection(true);
    EXPECT_TRUE(m_edit.hideSelection());
    const QPalette hidden = m_edit.palette();
    EXPECT_EQ(hidden.color(QPalette::Inactive, QPalette::Highlight),
              hidden.color(QPalette::Inactive, QPalette::Base));
    m_edit.setHideSelection(false);
    EXPECT_EQ(m_edit.palette().color(QPalette::Inactive, QPalette::Highlight), shown);
}

// A long line is held in pieces, but every key, the clipboard and undo
// treat it as the one line it is.
TEST_F(RichEditTest, LongLineInPiecesActsAsOneLine) {
    std::string line;
    while (line.size() < 30'000)
        line += "<B>" + kA + "x</B> ";
    const std::string text = "top\r\n" + line + "\r\nend";
    m_edit.setText(text);
    ASSERT_GT(m_edit.document()->blockCount(), 5) << "the line is cut into pieces";
    ASSERT_EQ(m_edit.text(), text);
    const QTextBlock piece = m_edit.document()->findBlockByNumber(2);
    const int boundary = piece.position();  // start of the second piece
    const auto caretAt = [this](int position) {
        QTextCursor c(m_edit.document());
        c.setPosition(position);
        m_edit.setTextCursor(c);
    };
    const auto bytesBefore = [this](int position) {
        return encodeShiftJis(m_edit.plainTextBetween(0, position)
                                  .replace(QStringLiteral("\n"), QStringLiteral("\r\n"))
                                  .toStdU16String())
            .bytes.size();
    };

    // Each key at a position of the document, and the document positions
    // [from, to) it erases or, for Enter, the position of the line break.
    struct Case {
        const char* what;
        int position;
        int key;
        int from;
        int to;
    };
    const Case cases[] = {
        {"Backspace at a piece's start erases the character before it", boundary, Qt::Key_Backspace,
         boundary - 2, boundary - 1},
        {"Delete at a piece's end erases the character after it", boundary - 1, Qt::Key_Delete,
         boundary, boundary + 1},
        {"Enter in a piece breaks the line there", boundary + 3, Qt::Key_Return, boundary + 3,
         boundary + 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_edit.setText(text);
        const std::size_t from = bytesBefore(c.from);
        const std::size_t to = bytesBefore(c.to);
        const std::string expected = c.key == Qt::Key_Return
                                         ? text.substr(0, from) + "\r\n" + text.substr(from)
                                         : text.substr(0, from) + text.substr(to);
        caretAt(c.position);
        key(c.key, Qt::NoModifier, c.key == Qt::Key_Return ? QStringLiteral("\r") : QString());
        EXPECT_TRUE(m_edit.text() == expected);
        // Typing goes on where the key left the caret, and undo takes all back.
        key(Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"));
        EXPECT_EQ(m_edit.text().find('z'), m_edit.selStart() - 1);
        m_edit.undo();
        m_edit.undo();
        EXPECT_TRUE(m_edit.text() == text);
    }

    // The caret passes a soft break with one key, as any character.
    m_edit.setText(text);
    caretAt(boundary - 1);  // the end of the first piece
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(m_edit.textCursor().position(), boundary + 2);
    key(Qt::Key_Left, Qt::ShiftModifier);
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(m_edit.textCursor().position(), boundary);
    EXPECT_EQ(m_edit.selLength(), bytesBefore(boundary + 2) - bytesBefore(boundary));

    // Copied, the pieces are one line again.
    m_edit.setSelection(0, m_edit.textLength());
    m_edit.copy();
    QString copied = QApplication::clipboard()->text();
    copied.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    EXPECT_TRUE(encodeShiftJis(copied.toStdU16String()).bytes == text);
}

// Catches a mirror that drifts from the document through typing, pasting,
// deleting, line breaks and undo: text, length and offsets must match the
// document encoded afresh.
// With `lineBytes`, lines are about that long (pieces of long lines).
void checkMirrorThroughRandomEdits(std::size_t size, int edits, int checkEvery,
                                   std::size_t lineBytes = 0) {
    const char* pieces[] = {
        "\x8d\xa1\x93\xfa",   "<B>",      "</B>", "abc ", "\r\n", "\t", "\xb1\xb2",
        "<A href=\"x.htm\">", "\x81\x40", "&amp;"};
    std::mt19937 rng(static_cast<unsigned>(size + lineBytes));
    std::string text;
    std::size_t lineStart = 0;
    while (text.size() < size) {
        const std::string piece = pieces[rng() % std::size(pieces)];
        if (lineBytes != 0 && piece == "\r\n" && text.size() - lineStart < lineBytes)
            continue;
        text += piece;
        if (piece == "\r\n")
            lineStart = text.size();
    }
    // A long pasted line, cut into pieces on the way in.
    std::string longLine;
    while (lineBytes != 0 && longLine.size() < lineBytes / 2)
        longLine += "<P>\x93\xfa\x96\x7b abc";

    RichEdit edit;
    edit.resize(800, 300);
    edit.show();
    edit.setReplacementNotifier([](const QString&) {});
    edit.setText(text);
    ASSERT_EQ(edit.text(), text);

    const QString inserts[] = {QStringLiteral("x"), QStringLiteral("\n"),
                               QString::fromUtf8("\xe6\x97\xa5\xe6\x9c\xac\n<p>"),
                               QStringLiteral("a\nb\nc"), QString::fromUtf8("\xef\xbd\xb1")};
    for (int i = 0; i < edits; ++i) {
        QTextDocument* doc = edit.document();
        const int end = doc->characterCount() - 1;
        const int at = static_cast<int>(rng() % static_cast<unsigned>(end + 1));
        const int op = static_cast<int>(rng() % 10);
        QTextCursor c(doc);
        c.setPosition(at);
        if (op < 4) {
            c.insertText(inserts[rng() % std::size(inserts)]);
        } else if (op < 7) {
            c.setPosition(std::min(end, at + static_cast<int>(rng() % 40)),
                          QTextCursor::KeepAnchor);
            c.removeSelectedText();
        } else if (op < 8) {
            edit.undo();
        } else {
            edit.setSelStart(edit.textLength() * (rng() % 100) / 100);
            edit.replaceSelection(longLine.empty() || rng() % 2 == 0 ? "<I>\r\n" + kA
                                                                     : longLine + "\r\n" + kA);
        }
        if ((i + 1) % checkEvery == 0 || i + 1 == edits) {
            const std::string expected = encodedPlainText(edit);
            ASSERT_EQ(edit.textLength(), expected.size()) << "after edit " << i;
            ASSERT_TRUE(edit.text() == expected) << "after edit " << i;
            // Offsets: a caret put at a character must read back as the
            // bytes before it.
            QTextCursor probe(doc);
            probe.setPosition(
                static_cast<int>(rng() % static_cast<unsigned>(doc->characterCount())));
            edit.setTextCursor(probe);
            QString before = edit.plainTextBetween(0, probe.position());
            before.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
            ASSERT_EQ(edit.selStart(), encodeShiftJis(before.toStdU16String()).bytes.size());
        }
    }
}

TEST(RichEditMirror, StaysTrueOnOneMegabyte) {
    checkMirrorThroughRandomEdits(1 << 20, 600, 50);
}

TEST(RichEditMirror, StaysTrueOnLongLinesInPieces) {
    checkMirrorThroughRandomEdits(200'000, 400, 20, 30'000);
}

TEST(RichEditMirror, StaysTrueOnTenMegabytes) {
    checkMirrorThroughRandomEdits(10 << 20, 60, 30);
}

}  // namespace
}  // namespace korvane
