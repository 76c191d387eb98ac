// Lines held several to a paragraph (line_groups.h) as the user meets them.
// The same text, keys and clicks go to an editor that holds its lines
// together and to one that holds a line to a paragraph: what the user sees,
// reads back or copies must be the same in both.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "base/shift_jis.h"
#include "editor/line_groups.h"
#include "editor/line_number_gutter.h"
#include "editor/logical_lines.h"
#include "editor/long_line_pieces.h"
#include "editor/rich_edit.h"
#include "tests/support/wrapping_text.h"

namespace korvane {
namespace {

constexpr ColorValue kRed = 0x0000FF;
const std::string kA = "\x82\xa0";              // あ
const std::string kNihon = "\x93\xfa\x96\x7b";  // 日本

// Lines of many lengths, every eleventh empty, with double-byte characters:
// bytes, characters and document positions all differ.
std::vector<std::string> sampleLines(int count) {
    const std::string words[] = {"<b>", kA, "x", "</b>", kNihon, " ", "abc"};
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::string line;
        for (int k = 0; k < (i * 7) % 11; ++k)
            line += words[(i + k) % 7];
        lines.push_back(line);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i > 0 ? "\r\n" : "") + lines[i];
    return text;
}

// The byte where a line starts.
std::size_t startOf(const std::vector<std::string>& lines, std::size_t line) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < line; ++i)
        start += lines[i].size() + 2;
    return start;
}

// The byte `chars` characters into a line, or its end.
std::size_t byteAt(const std::vector<std::string>& lines, std::size_t line, std::size_t chars) {
    const std::string& text = lines[line];
    std::size_t at = 0;
    for (std::size_t n = 0; n < chars && at < text.size(); ++n) {
        const auto lead = static_cast<unsigned char>(text[at]);
        at += (lead >= 0x81 && lead <= 0x9f) || (lead >= 0xe0 && lead <= 0xfc) ? 2 : 1;
    }
    return startOf(lines, line) + at;
}

// Characters of Shift_JIS bytes as the user counts them, a line break one.
std::size_t charactersOf(std::string_view bytes) {
    std::size_t breaks = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string_view::npos;
         at = bytes.find("\r\n", at + 2))
        ++breaks;
    return decodeShiftJis(bytes).size() - breaks;
}

// The text as the clipboard should hold it: "\n" for each line break.
QString clipboardTextOf(std::string_view bytes) {
    return QString::fromStdU16String(decodeShiftJis(bytes))
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

using test::words;

// The document positions where the text's lines start, read from the
// paragraphs and the separators inside them. No text here has long lines.
std::vector<int> lineStartsOf(const QTextDocument& doc) {
    std::vector<int> starts;
    for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next()) {
        starts.push_back(b.position());
        const QString text = b.text();
        for (int i = 0; i < text.size(); ++i) {
            if (LineGroups::isSeparator(text.at(i)))
                starts.push_back(b.position() + i + 1);
        }
    }
    return starts;
}

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

void press(RichEdit& edit, Key key) {
    QTest::keyClick(&edit, static_cast<Qt::Key>(key.key), key.modifiers);
}

// The same text in an editor that holds its lines together and in one that
// holds a line to a paragraph, side by side.
struct Pair {
    explicit Pair(QPlainTextEdit::LineWrapMode wrap = QPlainTextEdit::NoWrap) {
        held.setGroupLinesFrom(0);
        for (RichEdit* edit : {&held, &plain}) {
            edit->resize(500, 300);
            edit->setLineWrapMode(wrap);
            edit->setReplacementNotifier([](const QString&) {});
            edit->show();
        }
    }
    void setText(const std::string& text) {
        held.setText(text);
        plain.setText(text);
        QApplication::processEvents();
    }
    // Both at the same byte, as the user's click would put the caret.
    void caretAt(std::size_t byte) {
        held.setSelStart(byte);
        plain.setSelStart(byte);
        QApplication::processEvents();
    }
    void press(Key key) {
        korvane::press(held, key);
        korvane::press(plain, key);
        QApplication::processEvents();
    }
    ::testing::AssertionResult same() const {
        if (held.text() != plain.text()) {
            const std::string a = held.text();
            const std::string b = plain.text();
            const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
            return ::testing::AssertionFailure() << "the texts differ from byte " << at;
        }
        if (held.selStart() != plain.selStart() || held.selLength() != plain.selLength())
            return ::testing::AssertionFailure()
                   << "held: selection " << held.selStart() << "+" << held.selLength()
                   << ", one line to a paragraph: " << plain.selStart() << "+" << plain.selLength();
        if (held.canUndo() != plain.canUndo() || held.canRedo() != plain.canRedo())
            return ::testing::AssertionFailure() << "the undo steps differ";
        return ::testing::AssertionSuccess();
    }
    RichEdit held;
    RichEdit plain;
};

// A shown editor that holds the lines of `text` together.
void showHeld(RichEdit& edit, const std::string& text,
              QPlainTextEdit::LineWrapMode wrap = QPlainTextEdit::WidgetWidth) {
    edit.setGroupLinesFrom(0);
    edit.resize(500, 300);
    edit.setLineWrapMode(wrap);
    edit.show();
    edit.setText(text);
}

// The sample text held three paragraphs: lines 0-63, 64-127 and 128-149.
constexpr int kSampleLines = 150;

::testing::AssertionResult heldInThree(const RichEdit& edit) {
    if (edit.document()->blockCount() == 3)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the lines are held in " << edit.document()->blockCount() << " paragraphs";
}

// Catches the word-at-a-time search missing a break in a word's last unit,
// in the tail after the last whole word, or one of the two units it looks
// for, and finding one where a unit only differs in its high byte.
TEST(LineGroups, FindsEachBreakWhereverItStands) {
    for (std::size_t size = 0; size <= 13; ++size) {
        for (std::size_t at = 0; at <= size; ++at) {
            for (const char16_t mark : {u'\n', u'\u2029'}) {
                // Units that share a byte with the ones looked for.
                std::u16string text(size, u'\u0a0a');
                for (std::size_t k = 0; k < size; k += 3)
                    text[k] = u'\u2028';
                if (at < size)
                    text[at] = mark;
                for (std::size_t from = 0; from <= size; ++from) {
                    const std::size_t want = at < size && at >= from ? at : size;
                    EXPECT_EQ(LineGroups::findEither(text.data(), from, size, u'\n', u'\u2029'),
                              want)
                        << size << " " << at << " " << from;
                }
            }
        }
    }
}

// Catches keys that see the separator as a character of the line (Home and
// End stopping at it, Up and Down skipping lines, Backspace or Delete that
// leave it or take a character more), a selection across separators counted
// other than across line breaks, and undo steps that differ.
TEST(LineGroups, KeysActAsOnLinesOfTheirOwn) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    const Key enter{Qt::Key_Return}, backspace{Qt::Key_Backspace}, del{Qt::Key_Delete},
        home{Qt::Key_Home}, end{Qt::Key_End}, up{Qt::Key_Up}, down{Qt::Key_Down},
        left{Qt::Key_Left}, right{Qt::Key_Right}, z{Qt::Key_Z};
    const Key shiftUp{Qt::Key_Up, Qt::ShiftModifier}, shiftDown{Qt::Key_Down, Qt::ShiftModifier},
        shiftLeft{Qt::Key_Left, Qt::ShiftModifier}, shiftRight{Qt::Key_Right, Qt::ShiftModifier},
        shiftHome{Qt::Key_Home, Qt::ShiftModifier}, shiftEnd{Qt::Key_End, Qt::ShiftModifier},
        ctrlHome{Qt::Key_Home, Qt::ControlModifier}, ctrlEnd{Qt::Key_End, Qt::ControlModifier},
        ctrlShiftEnd{Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier},
        ctrlShiftHome{Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier};
    struct Case {
        const char* what;
        std::size_t line;  // the caret starts there, `rights` characters in
        int rights;
        std::vector<Key> keys;
    };
    const Case cases[] = {
        {"Enter inside a line", 10, 2, {enter, z}},
        {"Enter before a separator", 10, 0, {end, enter, z}},
        {"Enter after a separator", 10, 0, {enter, enter, z}},
        {"Backspace after a separator joins the lines", 10, 0, {backspace, z}},
        {"Backspace at a paragraph's first line", 64, 0, {backspace, z}},
        {"Delete before a separator joins the lines", 10, 0, {end, del, z}},
        {"Delete at a paragraph's last line", 63, 0, {end, del, del, z}},
        {"Delete at the text's end", kSampleLines - 1, 0, {end, del, z}},
        {"Home and End stay in the line", 20, 2, {end, home, end, left, home, z}},
        {"Left and Right step over the separator as over a line break",
         30,
         0,
         {left, left, right, right, right, z}},
        {"Up and Down through and across paragraphs",
         62,
         2,
         {down, down, down, down, up, up, up, up, z}},
        {"Up from a paragraph's first line", 64, 3, {up, up, down, z}},
        {"Ctrl+Home and Ctrl+End", 30, 1, {ctrlEnd, z, ctrlHome, z}},
        {"Shift+Down over separators, then typed over",
         9,
         2,
         {shiftDown, shiftDown, shiftDown, shiftRight, z}},
        {"Shift+Up across paragraphs, then erased", 66, 1, {shiftUp, shiftUp, shiftUp, backspace}},
        {"Shift+Right over a separator, then erased", 10, 0, {end, shiftRight, shiftRight, del}},
        {"Shift+Left over a separator, then typed over",
         10,
         1,
         {shiftLeft, shiftLeft, shiftLeft, z}},
        {"Shift+Home and Shift+End", 40, 3, {shiftEnd, shiftHome, shiftHome, shiftLeft, z}},
        {"Ctrl+Shift+End and Ctrl+Shift+Home",
         70,
         2,
         {ctrlShiftEnd, ctrlShiftHome, ctrlShiftEnd, del}},
    };
    // One case to its end, or to its first difference.
    const auto run = [&](const Case& c) {
        Pair p;
        p.setText(text);
        ASSERT_TRUE(heldInThree(p.held));
        p.caretAt(startOf(lines, c.line));
        for (int i = 0; i < c.rights; ++i)
            p.press(right);
        ASSERT_TRUE(p.same());
        for (std::size_t k = 0; k < c.keys.size(); ++k) {
            p.press(c.keys[k]);
            ASSERT_TRUE(p.same()) << "after key " << k;
        }
        const std::string edited = p.held.text();
        // Each step back and forth again as with lines of their own.
        int steps = 0;
        for (; p.held.canUndo() && steps < 20; ++steps) {
            p.press({Qt::Key_Z, Qt::ControlModifier});
            ASSERT_TRUE(p.same()) << "after undo " << steps;
        }
        EXPECT_TRUE(p.held.text() == text) << "undo takes every key back";
        for (int i = 0; i < steps; ++i) {
            p.press({Qt::Key_Y, Qt::ControlModifier});
            ASSERT_TRUE(p.same()) << "after redo " << i;
        }
        EXPECT_TRUE(p.held.text() == edited) << "redo puts every key back";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run(c);
    }
}

// The numbers a gutter shows whose line can be seen (the top one may be
// partly above the editor's edge), and their tops.
struct Numbered {
    std::vector<std::size_t> lines;
    std::vector<int> tops;
    friend bool operator==(const Numbered&, const Numbered&) = default;
};

void PrintTo(const Numbered& n, std::ostream* out) {
    *out << ::testing::PrintToString(n.lines) << " at " << ::testing::PrintToString(n.tops);
}

bool seen(const RichEdit& edit, int top) {
    return top + edit.fontMetrics().height() > 0 && top < edit.viewport()->height();
}

Numbered numbersShown(RichEdit& edit, LineNumberGutter& gutter) {
    QApplication::processEvents();
    Numbered shown;
    for (const LineNumberGutter::Number& n : gutter.numbersIn(gutter.rect())) {
        if (!seen(edit, n.top))
            continue;
        shown.lines.push_back(n.line);
        shown.tops.push_back(n.top);
    }
    return shown;
}

// The text's lines whose start can be seen, from 1, and their tops: where
// the editor puts a caret at their start.
Numbered linesInView(RichEdit& edit) {
    Numbered lines;
    const std::vector<int> starts = lineStartsOf(*edit.document());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        QTextCursor c(edit.document());
        c.setPosition(starts[i]);
        const int top = edit.cursorRect(c).top();
        if (!seen(edit, top))
            continue;
        lines.lines.push_back(i + 1);
        lines.tops.push_back(top);
    }
    return lines;
}

// Catches held lines left without a number or numbered as their paragraph
// (one number for the paragraph, or numbers that skip), numbers standing
// at the paragraph's top instead of their line's, and numbers that do not
// follow a scroll into a paragraph or an edit that joins or parts lines.
TEST(LineGroups, GutterNumbersEveryLineAtItsOwnTop) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    std::vector<std::string> wrapping = lines;
    wrapping[50] = words(900);  // wraps: a number on its first display line only
    struct Step {
        const char* what;
        int scroll;         // the scroll bar's value, or -1
        std::size_t caret;  // the line the caret goes to first, or none
        std::vector<Key> keys;
    };
    const std::size_t none = ~std::size_t{0};
    const Step steps[] = {
        {"at the top", 0, none, {}},
        {"scrolled into a paragraph", 40, none, {}},
        {"scrolled to where two paragraphs meet", 55, none, {}},
        {"two lines joined", -1, 66, {{Qt::Key_Backspace}}},
        {"a line parted", -1, 60, {{Qt::Key_Right}, {Qt::Key_Return}}},
        {"a paragraph joined to the one before", -1, 65, {{Qt::Key_Home}, {Qt::Key_Backspace}}},
        {"the joins and the part taken back",
         -1,
         none,
         {{Qt::Key_Z, Qt::ControlModifier},
          {Qt::Key_Z, Qt::ControlModifier},
          {Qt::Key_Z, Qt::ControlModifier}}},
        {"scrolled back near the end", 125, none, {}},
    };
    struct Row {
        const char* name;
        QPlainTextEdit::LineWrapMode wrap;
        const std::vector<std::string>& lines;
    };
    const Row rows[] = {
        {"lines not wrapped", QPlainTextEdit::NoWrap, lines},
        {"a line wrapped", QPlainTextEdit::WidgetWidth, wrapping},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Pair p(row.wrap);
        auto* heldGutter = new LineNumberGutter(p.held);
        auto* plainGutter = new LineNumberGutter(p.plain);
        heldGutter->setShown(true);
        plainGutter->setShown(true);
        p.setText(joined(row.lines));
        ASSERT_TRUE(heldInThree(p.held));
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            if (step.caret != none)
                p.caretAt(startOf(row.lines, step.caret));
            for (const Key& key : step.keys)
                p.press(key);
            if (step.scroll >= 0) {
                p.held.verticalScrollBar()->setValue(step.scroll);
                p.plain.verticalScrollBar()->setValue(step.scroll);
            }
            ASSERT_TRUE(p.same());
            const Numbered held = numbersShown(p.held, *heldGutter);
            ASSERT_GT(held.lines.size(), 5u);
            EXPECT_EQ(held, linesInView(p.held));
            // The same lines as the editor of one line to a paragraph
            // numbers from the same scroll.
            const Numbered plain = numbersShown(p.plain, *plainGutter);
            EXPECT_EQ(held.lines.front(), plain.lines.front());
        }
    }
}

// Catches a status line that counts the paragraph's lines as one, counts
// columns from the paragraph's start, or a selection's separators other
// than as the line breaks they stand for; also after the pieces of a long
// line, which are lines of the editor but not of the text.
TEST(LineGroups, LineAndColumnAsTheUserCountsThem) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    std::vector<std::string> withLong = lines;
    withLong[5] = "";
    while (withLong[5].size() < 30'000)
        withLong[5] += "<P>" + kA + "abc ";
    struct Row {
        const char* name;
        const std::vector<std::string>& lines;
        std::size_t fromLine, fromChars;  // the anchor
        std::size_t toLine, toChars;      // the caret
    };
    const Row rows[] = {
        {"the text's first line", lines, 1, 3, 1, 3},
        {"a paragraph's middle line", lines, 30, 1, 30, 1},
        {"after double-byte characters", lines, 31, 7, 31, 7},
        {"a paragraph's last line, at its end", lines, 63, 3, 63, 3},
        {"the next paragraph's first line", lines, 64, 0, 64, 0},
        {"an empty line", lines, 66, 0, 66, 0},
        {"the text's last line", lines, kSampleLines - 1, 12, kSampleLines - 1, 12},
        {"a selection over separators", lines, 9, 2, 12, 1},
        {"a selection over a paragraph's end", lines, 62, 2, 65, 3},
        {"deep in a long line", withLong, 5, 20'000, 5, 20'000},
        {"held lines after a long line's pieces", withLong, 6, 2, 6, 2},
        {"further after them", withLong, 40, 3, 40, 3},
        {"a selection from a long line into held lines", withLong, 5, 25'000, 9, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RichEdit edit;
        const std::string text = joined(row.lines);
        showHeld(edit, text);
        ASSERT_LT(edit.document()->blockCount(), 16) << "lines held together";
        const std::size_t from = byteAt(row.lines, row.fromLine, row.fromChars);
        const std::size_t to = byteAt(row.lines, row.toLine, row.toChars);
        edit.setSelection(from, to);
        // What the status line shows: the caret's line and column, and the
        // characters selected.
        LogicalLines counted(edit);
        const auto [anchor, position] = edit.selectionUnits();
        const std::size_t toLineStart = startOf(row.lines, row.toLine);
        EXPECT_EQ(counted.lineOf(position), row.toLine);
        EXPECT_EQ(counted.columnOf(position),
                  charactersOf(std::string_view(text).substr(toLineStart, to - toLineStart)));
        EXPECT_EQ(counted.charactersBetween(anchor, position),
                  charactersOf(std::string_view(text).substr(from, to - from)));
    }
}

void tripleClick(RichEdit& edit, QPoint at) {
    QWidget* view = edit.viewport();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
    QApplication::processEvents();
}

// Where a click lands on a line: a little into it, `below` display lines
// under its first.
QPoint pointOnLine(RichEdit& edit, std::size_t byte, int below = 0) {
    edit.setSelStart(byte);
    QApplication::processEvents();
    const QRect caret = edit.cursorRect();
    return {caret.center().x() + 2, caret.center().y() + below * edit.fontMetrics().height()};
}

// Catches a triple-click that selects the whole paragraph of held lines, the
// line without its line break, or the wrong line; a line that wraps is
// selected whole from any of its display lines.
TEST(LineGroups, TripleClickSelectsTheLineWithItsBreak) {
    std::vector<std::string> lines = sampleLines(11);
    lines[5] = words(130);  // wraps
    lines[7] = "";
    const std::string text = joined(lines);
    struct Row {
        const char* name;
        std::size_t line;
        int below;  // display lines below the line's first
    };
    const Row rows[] = {
        {"the text's first line, an empty one", 0, 0},
        {"a middle line", 3, 0},
        {"a wrapped line, on its first display line", 5, 0},
        {"a wrapped line, further down", 5, 1},
        {"the line before an empty one", 6, 0},
        {"an empty line", 7, 0},
        {"the text's last line, which has no break", 10, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RichEdit edit;
        showHeld(edit, text);
        ASSERT_EQ(edit.document()->blockCount(), 1) << "the lines are held in one paragraph";
        tripleClick(edit, pointOnLine(edit, startOf(lines, row.line), row.below));
        const bool last = row.line + 1 == lines.size();
        EXPECT_EQ(edit.selStart(), startOf(lines, row.line));
        EXPECT_EQ(edit.selText(), lines[row.line] + (last ? "" : "\r\n"));
    }
}

// The colours a paragraph's layout shows, (start, length, colour), at
// positions in the paragraph, cut at the separators of the lines it holds:
// a separator shows no colour.
using Shown = std::vector<std::tuple<int, int, QColor>>;

Shown shownColours(const QTextBlock& block) {
    std::vector<std::pair<int, int>> lines;  // [start, end) in the paragraph
    const QString text = block.text();
    int start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i == text.size() || LineGroups::isSeparator(text.at(i))) {
            lines.emplace_back(start, i);
            start = i + 1;
        }
    }
    Shown out;
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        for (const auto& [from, to] : lines) {
            const int a = std::max(from, r.start);
            const int b = std::min(to, r.start + r.length);
            if (a < b)
                out.emplace_back(a, b - a, r.format.foreground().color());
        }
    }
    std::sort(out.begin(), out.end(),
              [](const auto& x, const auto& y) { return std::get<0>(x) < std::get<0>(y); });
    return out;
}

// Each held paragraph must show the colours each of its lines shows as a
// paragraph of its own, moved to where the line starts in it.
void expectColoursAsOnLinesOfTheirOwn(const Pair& p) {
    QApplication::processEvents();
    int line = 0;
    for (QTextBlock held = p.held.document()->firstBlock(); held.isValid(); held = held.next()) {
        Shown expected;
        const QString text = held.text();
        int offset = 0;
        for (;;) {
            for (auto [start, length, colour] :
                 shownColours(p.plain.document()->findBlockByNumber(line)))
                expected.emplace_back(start + offset, length, colour);
            ++line;
            const qsizetype next = text.indexOf(QChar(LineGroups::kLineSeparator), offset);
            if (next < 0)
                break;
            offset = static_cast<int>(next) + 1;
        }
        EXPECT_EQ(shownColours(held), expected) << "paragraph " << held.blockNumber();
    }
}

// Catches colours of a held line shown at positions in its line instead of
// in its paragraph (on the paragraph's first line), shown on one line of a
// paragraph only, or lost or misplaced when an edit moves or joins the
// lines around them.
TEST(LineGroups, ColoursShowWhereTheirLinesAre) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    Pair p;
    p.setText(text);
    ASSERT_TRUE(heldInThree(p.held));
    const auto at = [&](std::size_t line, std::size_t chars) { return byteAt(lines, line, chars); };
    const std::vector<std::pair<std::size_t, std::size_t>> ranges = {
        {at(10, 1), at(10, 4)}, {at(31, 0), at(31, 3)}, {at(31, 6), at(31, 10)},
        {at(63, 1), at(63, 3)}, {at(64, 0), at(64, 1)}, {at(100, 2), at(100, 5)}};
    for (RichEdit* edit : {&p.held, &p.plain}) {
        edit->colorRanges(ranges, CharColor::of(kRed));
        edit->setSelection(at(40, 3), at(42, 2));
        edit->colorSelection(CharColor::of(kRed));
    }
    QApplication::processEvents();
    // Line 10's colour where the line stands in its paragraph.
    const auto unitsTo = [&](std::size_t byte) {
        return static_cast<int>(charactersOf(std::string_view(text).substr(0, byte)));
    };
    const Shown first = shownColours(p.held.document()->firstBlock());
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), std::make_tuple(unitsTo(at(10, 1)), 3, QColor(255, 0, 0)));
    expectColoursAsOnLinesOfTheirOwn(p);
    struct Step {
        const char* what;
        std::size_t caret;
        std::vector<Key> keys;
    };
    const Step steps[] = {
        {"typed before them in their paragraph", at(31, 0), {{Qt::Key_Y}, {Qt::Key_Y}}},
        {"a line joined to the one before", at(40, 0), {{Qt::Key_Backspace}}},
        {"a line joined to the one after", at(30, 1), {{Qt::Key_Delete}}},
        {"a paragraph joined to the one before", at(64, 0), {{Qt::Key_Backspace}}},
        {"all taken back", 0, std::vector<Key>(5, {Qt::Key_Z, Qt::ControlModifier})},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        p.caretAt(step.caret);
        for (const Key& key : step.keys)
            p.press(key);
        ASSERT_TRUE(p.same());
        expectColoursAsOnLinesOfTheirOwn(p);
    }
    EXPECT_TRUE(p.held.text() == text);
}

// A line without breaks of about `units` characters, double-byte ones
// among them.
std::string longLine(std::size_t units) {
    std::string line;
    for (std::size_t i = 0; i < units / 9; ++i)
        line += "<I>" + kNihon + "abc ";
    return line;
}

// Catches a paragraph of held lines left longer than a piece may be once a
// long line without breaks went into it (it would be laid out whole on
// every keystroke), a text changed by the parting, and a parting that undo
// does not take back with the paste.
TEST(LineGroups, ParagraphGrownTooLongIsPartedAgain) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    const auto at = [&](std::size_t line, std::size_t chars) { return byteAt(lines, line, chars); };
    enum class How { Paste, CtrlV, Replace };
    struct Row {
        const char* name;
        std::size_t from, to;  // bytes replaced
        std::string line;
        How how;
    };
    const Row rows[] = {
        {"pasted into a middle line, too short to be cut itself", at(20, 2), at(20, 2),
         longLine(7'800), How::Paste},
        {"Ctrl+V at a paragraph's last line", at(63, 0), at(63, 0), longLine(7'700), How::CtrlV},
        {"typed over several held lines", at(30, 1), at(34, 2), longLine(8'000), How::Replace},
        {"long enough to be cut itself", at(10, 1), at(10, 1), longLine(20'000), How::Replace},
        {"pasted at a paragraph's first line", at(64, 0), at(64, 0), longLine(12'000), How::Paste},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Pair p;
        p.setText(text);
        ASSERT_TRUE(heldInThree(p.held));
        const std::string expected = text.substr(0, row.from) + row.line + text.substr(row.to);
        QApplication::clipboard()->setText(clipboardTextOf(row.line));
        for (RichEdit* edit : {&p.held, &p.plain}) {
            edit->setSelection(row.from, row.to);
            QApplication::processEvents();
            switch (row.how) {
                case How::Paste:
                    edit->paste();
                    break;
                case How::CtrlV:
                    press(*edit, {Qt::Key_V, Qt::ControlModifier});
                    break;
                case How::Replace:
                    edit->replaceSelection(row.line);
                    break;
            }
            QApplication::processEvents();
        }
        // Parted again: no paragraph longer than a piece, and no line shown
        // on more rows than as lines of their own.
        const auto expectParted = [&](const char* when) {
            SCOPED_TRACE(when);
            EXPECT_TRUE(p.held.text() == expected);
            for (QTextBlock b = p.held.document()->firstBlock(); b.isValid(); b = b.next()) {
                EXPECT_LE(static_cast<std::size_t>(b.length() - 1), LongLinePieces::kMaxPieceUnits)
                    << "paragraph " << b.blockNumber();
            }
            EXPECT_EQ(p.held.lineCount(), p.plain.lineCount());
        };
        expectParted("after the paste");
        EXPECT_EQ(p.held.selStart(), row.from + row.line.size()) << "the caret behind the line";
        p.held.undo();
        p.plain.undo();
        EXPECT_TRUE(p.held.text() == text) << "one undo takes the line back";
        p.held.redo();
        p.plain.redo();
        expectParted("after redo");
    }
}

// Catches copied text that keeps the separators of held lines: pasted
// elsewhere they are no line breaks, and written they are no Shift_JIS.
TEST(LineGroups, CopiedLinesArePartedByLineBreaks) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    const auto at = [&](std::size_t line, std::size_t chars) { return byteAt(lines, line, chars); };
    enum class How { Copy, CtrlC, CtrlX };
    struct Row {
        const char* name;
        std::size_t from, to;
        How how;
    };
    const Row rows[] = {
        {"two held lines", at(9, 2), at(10, 4), How::Copy},
        {"over an empty line", at(10, 0), at(12, 3), How::CtrlC},
        {"over a paragraph's end", at(60, 1), at(66, 0), How::Copy},
        {"whole lines with their breaks", at(20, 0), at(25, 0), How::CtrlX},
        {"everything", 0, text.size(), How::CtrlC},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RichEdit edit;
        showHeld(edit, text);
        ASSERT_TRUE(heldInThree(edit));
        QApplication::clipboard()->clear();
        edit.setSelection(row.from, row.to);
        QApplication::processEvents();
        const std::string selected = text.substr(row.from, row.to - row.from);
        EXPECT_EQ(edit.selText(), selected);
        switch (row.how) {
            case How::Copy:
                edit.copy();
                break;
            case How::CtrlC:
                press(edit, {Qt::Key_C, Qt::ControlModifier});
                break;
            case How::CtrlX:
                press(edit, {Qt::Key_X, Qt::ControlModifier});
                break;
        }
        const QString copied = QApplication::clipboard()->text();
        EXPECT_FALSE(copied.contains(QChar(LineGroups::kLineSeparator)));
        EXPECT_EQ(copied.toStdString(), clipboardTextOf(selected).toStdString());
        if (row.how == How::CtrlX) {
            EXPECT_TRUE(edit.text() == text.substr(0, row.from) + text.substr(row.to));
        }
    }
}

// --- What held lines still do otherwise than lines of their own ---

// Catches a held line laid out otherwise than as a paragraph of its own: the
// separators take the font of the text beside them, so an empty line can
// stand taller and a line's leading spaces or marks wider.
// Known fault, not yet put right: the toolkit gives the characters at the
// start of a held line the script of the line before it, so with an editor
// font without Japanese glyphs they are drawn in the Japanese fallback font.
TEST(LineGroups, DISABLED_HeldLinesAreLaidOutAsLinesOfTheirOwn) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    Pair p;
    p.setText(joined(lines));
    ASSERT_TRUE(heldInThree(p.held));
    const std::vector<int> starts = lineStartsOf(*p.held.document());
    ASSERT_EQ(starts.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QTextBlock plain = p.plain.document()->findBlockByNumber(static_cast<int>(i));
        const int units = plain.length() - 1;
        QTextCursor h(p.held.document());
        QTextCursor o(p.plain.document());
        for (int at = 0; at <= units; ++at) {
            h.setPosition(starts[i] + at);
            o.setPosition(plain.position() + at);
            const QRect held = p.held.cursorRect(h);
            const QRect own = p.plain.cursorRect(o);
            ASSERT_EQ(held.height(), own.height()) << "line " << i << ", character " << at;
            ASSERT_EQ(held.x(), own.x()) << "line " << i << ", character " << at;
        }
    }
}

// Catches a key in a held line that lays out its whole paragraph (the line
// not parted from the others for its edit), a parting that the user has to
// undo on its own or that leaves an undo step with nothing to take back, one
// that moves the caret, and one that costs the user a redo.
TEST(LineGroups, ALineIsPartedForItsEditAndJoinedAgainByItsUndo) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    struct Row {
        const char* name;
        std::size_t caret;  // byte
    };
    const Row rows[] = {
        {"inside a line in the middle of a paragraph", startOf(lines, 70) + 1},
        {"at the end of a line", startOf(lines, 91) - 2},
        {"at the start of a paragraph's first line", startOf(lines, 64)},
        {"at the end of a paragraph's last line", startOf(lines, 128) - 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Pair p;
        p.setText(joined(lines));
        ASSERT_TRUE(heldInThree(p.held));
        const auto caretParagraph = [&p] { return p.held.textCursor().block().text(); };
        p.caretAt(row.caret);
        p.press({Qt::Key_X});
        ASSERT_TRUE(p.same());
        EXPECT_FALSE(caretParagraph().contains(QChar(LineGroups::kLineSeparator)))
            << "the line is still held with others";
        // Its neighbours inside the paragraph too: the toolkit paints the
        // one before and after again with it, and lays out again every
        // paragraph that starts within its length after it when its
        // colours change.
        const QTextBlock caret = p.held.textCursor().block();
        std::vector<QTextBlock> around = {caret.previous()};
        for (QTextBlock next = caret.next();
             next.isValid() && next.position() <= caret.position() + 2 * caret.length();
             next = next.next())
            around.push_back(next);
        for (const QTextBlock& next : around) {
            const std::size_t line = next.isValid() ? p.held.heldLineOf(next.position()) : 0;
            if (line > 64 && line < 127) {
                EXPECT_FALSE(next.text().contains(QChar(LineGroups::kLineSeparator)))
                    << "line " << line;
            }
        }
        p.press({Qt::Key_Z, Qt::ControlModifier});
        ASSERT_TRUE(p.same());  // nothing left to undo, the x to redo
        EXPECT_TRUE(heldInThree(p.held));
        // Moving on parts nothing: the redo stays.
        p.press({Qt::Key_Down});
        EXPECT_TRUE(heldInThree(p.held));
        p.press({Qt::Key_Y, Qt::ControlModifier});
        ASSERT_TRUE(p.same());
        p.press({Qt::Key_Z, Qt::ControlModifier});
        ASSERT_TRUE(p.same());
        EXPECT_TRUE(heldInThree(p.held));
        // Keys typed in a held line while a redo waits stay one undo step,
        // as in a line of its own: no parting comes between the first key
        // (which takes the redo away) and the next ones.
        p.caretAt(startOf(lines, 100) + 1);
        for (const int key : {Qt::Key_A, Qt::Key_B, Qt::Key_C})
            p.press({key});
        ASSERT_TRUE(p.same());
        p.press({Qt::Key_Z, Qt::ControlModifier});
        ASSERT_TRUE(p.same());
        p.press({Qt::Key_Y, Qt::ControlModifier});
        ASSERT_TRUE(p.same());
    }
}

// Catches a gutter as wide as the paragraphs' count needs rather than the
// lines', or one that does not follow when an edit inside a paragraph takes
// a line away or brings one back: the highest numbers would be cut off.
TEST(LineGroups, GutterIsAsWideAsTheLinesNeed) {
    std::vector<std::string> lines(1000, "x");
    const std::string text = joined(lines);
    Pair p;
    auto* heldGutter = new LineNumberGutter(p.held);
    auto* plainGutter = new LineNumberGutter(p.plain);
    heldGutter->setShown(true);
    plainGutter->setShown(true);
    p.setText(text);
    ASSERT_LT(p.held.document()->blockCount(), 20);
    EXPECT_EQ(heldGutter->width(), plainGutter->width()) << "1000 lines";
    struct Step {
        const char* what;
        std::size_t caret;  // byte
        std::vector<Key> keys;
    };
    const Step steps[] = {
        {"two lines joined: 999", 3 * 10, {{Qt::Key_Backspace}}},
        {"a line added and taken back: 999",
         3 * 20,
         {{Qt::Key_Return}, {Qt::Key_Z, Qt::ControlModifier}}},
        {"the join taken back: 1000", 0, {{Qt::Key_Z, Qt::ControlModifier}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        p.caretAt(step.caret);
        for (const Key& key : step.keys)
            p.press(key);
        ASSERT_TRUE(p.same());
        EXPECT_EQ(heldGutter->width(), plainGutter->width());
    }
}

// Catches a triple-click that finds its line only after the toolkit
// selected the whole paragraph and scrolled to its end: another line is
// selected and the clicked one leaves the view.
TEST(LineGroups, TripleClickInAParagraphTallerThanTheView) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    const std::size_t rows[] = {10, 30, 62, 70};
    for (std::size_t line : rows) {
        SCOPED_TRACE("line " + std::to_string(line));
        RichEdit edit;
        showHeld(edit, text, QPlainTextEdit::NoWrap);
        ASSERT_TRUE(heldInThree(edit));
        edit.verticalScrollBar()->setValue(static_cast<int>(line) - 5);
        const QPoint at = pointOnLine(edit, startOf(lines, line));
        tripleClick(edit, at);
        EXPECT_EQ(edit.selStart(), startOf(lines, line));
        EXPECT_EQ(edit.selText(), lines[line] + "\r\n");
        // The clicked line stays under the mouse.
        const int under = edit.cursorForPosition(at).position();
        const auto [anchor, position] = edit.selectionUnits();
        EXPECT_TRUE(under >= std::min(anchor, position) && under < std::max(anchor, position))
            << "under the mouse: " << under << ", selected " << anchor << "-" << position;
    }
}

// Catches Backspace and Delete that take a separator joining one undo step
// with the keys before and after them: with lines of their own each join is
// a step of its own.
TEST(LineGroups, EachJoinOfLinesIsAnUndoStep) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    struct Case {
        const char* what;
        std::size_t line;
        std::size_t chars;  // the caret that many characters into the line
        int key;
        int times;
    };
    const Case cases[] = {
        {"Backspace over an empty line into a line", 12, 0, Qt::Key_Backspace, 3},
        {"Delete over an empty line into a line", 10, 99, Qt::Key_Delete, 3},
        {"Backspace over a character, then a separator", 13, 1, Qt::Key_Backspace, 2},
    };
    const auto run = [&](const Case& c) {
        Pair p;
        p.setText(text);
        ASSERT_TRUE(heldInThree(p.held));
        p.caretAt(byteAt(lines, c.line, c.chars));
        for (int i = 0; i < c.times; ++i)
            p.press({c.key});
        ASSERT_TRUE(p.same());
        for (int step = 0; step < c.times; ++step) {
            p.press({Qt::Key_Z, Qt::ControlModifier});
            ASSERT_TRUE(p.same()) << "after undo " << step;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run(c);
    }
}

// Catches word keys that see the separator as a space between words: the
// caret skips the end of a line, and Ctrl+Backspace at a line's start or
// Ctrl+Delete at its end takes the word beside the line break with it.
TEST(LineGroups, WordKeysStopAtLineEnds) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    struct Case {
        const char* what;
        std::size_t line;
        std::size_t chars;
        Key key;
        int times;
    };
    const Case cases[] = {
        {"Ctrl+Right", 9, 0, {Qt::Key_Right, Qt::ControlModifier}, 12},
        {"Ctrl+Left", 12, 2, {Qt::Key_Left, Qt::ControlModifier}, 12},
        {"Ctrl+Shift+Right", 9, 0, {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier}, 12},
        {"Ctrl+Backspace at a line's start", 10, 0, {Qt::Key_Backspace, Qt::ControlModifier}, 1},
        {"Ctrl+Backspace after an empty line", 12, 0, {Qt::Key_Backspace, Qt::ControlModifier}, 1},
        {"Ctrl+Delete at a line's end", 10, 99, {Qt::Key_Delete, Qt::ControlModifier}, 1},
    };
    const auto run = [&](const Case& c) {
        Pair p;
        p.setText(text);
        ASSERT_TRUE(heldInThree(p.held));
        p.caretAt(byteAt(lines, c.line, c.chars));
        for (int i = 0; i < c.times; ++i) {
            p.press(c.key);
            ASSERT_TRUE(p.same()) << "after key " << i;
        }
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run(c);
    }
}

}  // namespace

void PrintTo(const CharColor& c, std::ostream* out) {
    if (c.automatic)
        *out << "automatic";
    else
        *out << "0x" << std::hex << c.color << std::dec;
}

namespace {

// Catches colours that a parting or a joining of held paragraphs loses: on
// the screen (the lines moved to a new paragraph get no colours laid out)
// or in the text (lines of a paragraph an undo joins again lose them).
struct ColourRow {
    const char* name;
    std::size_t line, chars;  // where the edit goes, past the end of none
    std::string bytes;        // typed there; none: Enter
};

void expectColoursStay(const std::vector<ColourRow>& rows) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    const auto at = [&](std::size_t line, std::size_t chars) { return byteAt(lines, line, chars); };
    const std::vector<std::pair<std::size_t, std::size_t>> coloured = {{at(12, 0), at(12, 2)},
                                                                       {at(31, 1), at(31, 4)},
                                                                       {at(40, 1), at(40, 4)},
                                                                       {at(63, 1), at(63, 3)},
                                                                       {at(70, 1), at(70, 4)}};
    for (const ColourRow& row : rows) {
        SCOPED_TRACE(row.name);
        Pair p;
        p.setText(text);
        ASSERT_TRUE(heldInThree(p.held));
        for (RichEdit* edit : {&p.held, &p.plain}) {
            edit->colorRanges(coloured, CharColor::of(kRed));
            edit->setSelection(at(row.line, row.chars), at(row.line, row.chars));
            QApplication::processEvents();
            if (row.bytes.empty())
                press(*edit, {Qt::Key_Return});
            else
                edit->replaceSelection(row.bytes);
            QApplication::processEvents();
        }
        const auto expectSameColours = [&](const char* when) {
            SCOPED_TRACE(when);
            ASSERT_TRUE(p.held.text() == p.plain.text());
            std::size_t red = 0;
            for (std::size_t b = 0; b < p.plain.textLength(); ++b) {
                red += p.plain.colorAt(b) == CharColor::of(kRed) ? 1 : 0;
                ASSERT_EQ(p.held.colorAt(b), p.plain.colorAt(b)) << "byte " << b;
            }
            ASSERT_GT(red, 0u);
            expectColoursAsOnLinesOfTheirOwn(p);
        };
        expectSameColours("after the edit");
        p.held.undo();
        p.plain.undo();
        expectSameColours("after undo");
        p.held.redo();
        p.plain.redo();
        expectSameColours("after redo");
    }
}

TEST(LineGroups, ColoursStayWhenParagraphsArePartedOrJoined) {
    expectColoursStay({{"Enter parts a paragraph above them", 20, 1, ""},
                       {"a pasted line break parts it", 20, 1, "ab\r\ncd"}});
}

// Catches the colours of held lines lost when a long line goes in among
// them: the line is parted from its paragraph before the edit, and cut into
// pieces as a line of its own.
TEST(LineGroups, ColoursStayWhenALongLineGoesInAmongHeldLines) {
    expectColoursStay({{"a long line grows it too long", 20, 2, longLine(7'800)},
                       {"a long line in pieces grows it", 10, 1, longLine(20'000)}});
}

// Catches an undo of a long line that parted held lines selecting the lines
// it joined again, and a redo that leaves the caret behind them instead of
// behind the line.
// Known fault, not yet put right (the last row fails with lines of their
// own too): an undo selects everything its step changed, the repairs of
// pieces and held lines included.
TEST(LineGroups, DISABLED_UndoOfALongLineSelectsOnlyWhatItBroughtBack) {
    const std::vector<std::string> lines = sampleLines(kSampleLines);
    const std::string text = joined(lines);
    const auto at = [&](std::size_t line, std::size_t chars) { return byteAt(lines, line, chars); };
    struct Row {
        const char* name;
        bool held;
        std::size_t from, to;
        std::string line;
    };
    const Row rows[] = {
        {"held lines, a line too short to be cut", true, at(20, 2), at(20, 2), longLine(7'800)},
        {"held lines, a line in pieces", true, at(10, 1), at(10, 1), longLine(20'000)},
        {"held lines, typed over", true, at(10, 1), at(12, 3), longLine(20'000)},
        {"a line to a paragraph, a line in pieces", false, at(10, 1), at(10, 1), longLine(20'000)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RichEdit edit;
        if (row.held)
            edit.setGroupLinesFrom(0);
        edit.resize(500, 300);
        edit.show();
        edit.setText(text);
        edit.setSelection(row.from, row.to);
        edit.replaceSelection(row.line);
        QApplication::processEvents();
        edit.undo();
        QApplication::processEvents();
        EXPECT_TRUE(edit.text() == text);
        EXPECT_EQ(edit.selStart(), row.from);
        EXPECT_EQ(edit.selLength(), row.to - row.from);
        edit.redo();
        QApplication::processEvents();
        EXPECT_EQ(edit.selStart(), row.from + row.line.size());
        EXPECT_EQ(edit.selLength(), 0u);
    }
}

}  // namespace
}  // namespace korvane
