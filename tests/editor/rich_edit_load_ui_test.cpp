// The editor's text load in pieces: the text it commits is setText's, and a
// load that is dropped leaves the editor exactly as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "editor/long_line_pieces.h"
#include "editor/rich_edit.h"

namespace korvane {
namespace {

constexpr ColorValue kRed = 0x0000FF;

// Catches the old document deleted or not given back, and the selection,
// colours, modified flag or undo history lost with it.
TEST(RichEditLoadTest, DroppedLoadLeavesTheEditorAsItWas) {
    RichEdit edit;
    edit.setText("<B>a</B>\r\nbc");
    edit.setSelection(0, 3);
    edit.colorSelection(CharColor::of(kRed));
    edit.setSelection(10, 11);
    edit.replaceSelection("xy");
    edit.setModified(false);
    edit.setSelection(1, 2);
    const std::string text = edit.text();

    {
        const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoad();
        load->append("new\r\n");
        load->append("text");
    }

    EXPECT_EQ(edit.text(), text);
    EXPECT_EQ(edit.selStart(), 1u);
    EXPECT_EQ(edit.selLength(), 1u);
    EXPECT_EQ(edit.colorAt(0), CharColor::of(kRed));
    EXPECT_FALSE(edit.modified());
    ASSERT_TRUE(edit.canUndo());
    edit.undo();
    EXPECT_EQ(edit.text(), "<B>a</B>\r\nbc");
}

// Catches pieces joined wrongly (a line lost or doubled at a piece's end),
// the flags setText sets, a load that goes in unannounced, and an editor
// that no longer follows its own document's edits once the load is in.
TEST(RichEditLoadTest, CommittedLoadIsTheTextAndFollowsEdits) {
    RichEdit edit;
    edit.setText("old");
    const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoad();
    int changes = 0;
    QObject::connect(&edit, &QPlainTextEdit::textChanged, [&changes] { ++changes; });
    for (const char* piece : {"a\r\n", "\x82\xa0\xff\r\n", "\r\n", "end"})
        load->append(piece);
    load->commit();
    // The journal follows this signal: a text that went in unannounced
    // would not be kept.
    EXPECT_EQ(changes, 1);

    EXPECT_EQ(edit.text(), "a\r\n\x82\xa0\xff\r\n\r\nend");
    EXPECT_EQ(edit.document()->blockCount(), 4);
    EXPECT_TRUE(edit.modified());
    EXPECT_FALSE(edit.canUndo());

    edit.setSelection(3, 5);
    edit.replaceSelection("zz");
    EXPECT_EQ(edit.text(), "a\r\nzz\xff\r\n\r\nend");
    EXPECT_EQ(edit.lineText(1), "zz\xff");
    ASSERT_TRUE(edit.canUndo());
    edit.undo();
    EXPECT_EQ(edit.text(), "a\r\n\x82\xa0\xff\r\n\r\nend");
}

// A loaded line the codec would write back the same keeps no bytes of its
// own. Catches a line with a duplicate code, a stand-in or a lead byte
// without its trail taken as one: its bytes would be lost, and a save
// would write another form than the file's.
TEST(RichEditLoadTest, OnlyLinesWrittenBackAsTheyAreKeepNoBytes) {
    const struct {
        const char* line;
        bool lean;
    } rows[] = {
        {"plain <b>\x93\xfa\x96\x7b</b>", true},  // 日本
        {"\xb1\xb2 half-width", true},            // ｱｲ
        {"\x81\x60 wave", true},                  // ～, as CP932 writes it
        {"\x87\x90 a duplicate", false},          // ≒ of row 13; 0x81E0 is written
        {"\xed\x40 NEC-selected", false},         // 0xFA5C is written
        {"\x82\x20 a lead byte and a space", false},
        {"ends in a lead byte \x82", false},
        {"\xfd\xa0 unassigned singles", true},
        {"", false},  // no bytes to spare
    };
    std::string text;
    std::size_t lean = 0;
    for (int round = 0; round < 3; ++round) {
        for (const auto& row : rows) {
            text += std::string(row.line) + "\r\n";
            lean += row.lean ? 1 : 0;
        }
    }
    text += "last";
    ++lean;
    RichEdit edit;
    edit.setGroupLinesFrom(0);
    edit.setLeanLinesFrom(0);
    const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoad();
    load->append(text);
    load->commit();
    EXPECT_EQ(edit.text(), text);
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    ASSERT_EQ(edit.lineCount(), lines.size());
    for (std::size_t line = 0; line < lines.size(); ++line)
        EXPECT_EQ(edit.lineText(line), lines[line]) << line;
    EXPECT_EQ(edit.leanLineCount(), lean);
}

// A line longer than a piece may be is cut into pieces as it goes in; the
// search for such lines strides over the short ones. Catches a long line
// missed behind short ones within a stride, a line of exactly the limit
// cut, and a long last line without its break; both ways in, setText's and
// the load's.
TEST(RichEditLoadTest, OnlyLinesLongerThanAPieceAreCut) {
    constexpr std::size_t kMax = LongLinePieces::kMaxPieceUnits;
    const std::string full(kMax, 'a');
    const struct {
        const char* name;
        std::vector<std::string> lines;
    } rows[] = {
        {"the limit", {full}},
        {"one more", {full + "b"}},
        {"short ones, then one more", {"x", "yy", std::string(kMax - 10, 'z'), full + "b", "end"}},
        {"the limit between short ones", {"x", full, "y", full, ""}},
        {"one more, last", {std::string(kMax / 2, 'x'), std::string(kMax / 2, 'y'), full + "b"}},
        {"two and a half pieces", {"x", std::string(2 * kMax + 5, 'c'), "y"}},
        {"short ones only", {"a", "", "b", std::string(kMax - 1, 'q'), ""}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string text;
        bool anyLong = false;
        for (std::size_t k = 0; k < row.lines.size(); ++k) {
            text += row.lines[k] + (k + 1 < row.lines.size() ? "\r\n" : "");
            anyLong = anyLong || row.lines[k].size() > kMax;
        }
        RichEdit set;
        set.setText(text);
        RichEdit loaded;
        {
            const std::unique_ptr<EditControl::TextLoad> load = loaded.beginTextLoad();
            load->append(text);
            load->commit();
        }
        for (RichEdit* edit : {&set, &loaded}) {
            EXPECT_EQ(edit->text(), text);
            int blocks = 0;
            for (QTextBlock b = edit->document()->firstBlock(); b.isValid(); b = b.next()) {
                EXPECT_LE(static_cast<std::size_t>(b.length() - 1), kMax);
                ++blocks;
            }
            EXPECT_EQ(static_cast<std::size_t>(blocks) > row.lines.size(), anyLong);
        }
    }
}

// A file in another encoding than the editor's goes in piece by piece as
// well. Catches the codec taken before the commit (reads during the load
// must answer from the old text), kept after it, or left changed by a load
// that is dropped, and the load gathered whole and set as one text instead,
// which keeps the bytes of every line.
TEST(RichEditLoadTest, LoadInAnotherCodecTakesItsCodecAtTheCommit) {
    const std::string old = "\x82\xa0 old";  // あ in Shift_JIS
    const std::string text =
        "\xe6\x97\xa5\xe6\x9c\xac <b>\r\n"  // 日本, written back as it is
        "caf\xc3\xa9\r\n"                   // café, too
        "\xff a byte of no character\r\n"
        "\xf0\x9f\x98\x80 a pair of surrogates\r\n"
        "last";
    for (const bool dropped : {false, true}) {
        SCOPED_TRACE(dropped ? "dropped" : "committed");
        RichEdit edit;
        edit.setGroupLinesFrom(0);
        edit.setLeanLinesFrom(0);
        edit.setText(old);
        {
            const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoadIn(utf8Codec());
            // Cut inside a line and inside a character.
            load->append(std::string_view(text).substr(0, 5));
            load->append(std::string_view(text).substr(5, 20));
            load->append(std::string_view(text).substr(25));
            EXPECT_EQ(&edit.codec(), &shiftJisCodec());
            EXPECT_EQ(edit.text(), old);
            if (!dropped)
                load->commit();
        }
        if (dropped) {
            EXPECT_EQ(&edit.codec(), &shiftJisCodec());
            EXPECT_EQ(edit.text(), old);
            continue;
        }
        EXPECT_EQ(&edit.codec(), &utf8Codec());
        EXPECT_EQ(edit.text(), text);
        ASSERT_EQ(edit.lineCount(), 5u);
        EXPECT_EQ(edit.lineText(1), "caf\xc3\xa9");
        EXPECT_EQ(edit.lineText(2), "\xff a byte of no character");
        // The first two lines and the last keep no bytes, as a load's do.
        EXPECT_EQ(edit.leanLineCount(), 3u);
    }
}

// An opened file shows its first line with the caret before it, as setText
// leaves a text: catches the caret carried along to the end by the pieces
// inserted behind it, and the view scrolled down after it.
TEST(RichEditLoadTest, CommittedLoadShowsTheStartWithTheCaretThere) {
    RichEdit edit;
    edit.resize(400, 300);
    edit.show();
    edit.setText("old\r\ntext");
    edit.setSelection(4, 8);
    {
        const std::unique_ptr<EditControl::TextLoad> load = edit.beginTextLoad();
        for (int piece = 0; piece < 3; ++piece) {
            std::string lines;
            for (int i = 0; i < 200; ++i)
                lines += "a line of the file\r\n";
            load->append(lines);
        }
        load->commit();
    }
    QApplication::processEvents();
    EXPECT_EQ(edit.selStart(), 0u);
    EXPECT_EQ(edit.selLength(), 0u);
    EXPECT_EQ(edit.verticalScrollBar()->value(), 0);
    EXPECT_EQ(edit.horizontalScrollBar()->value(), 0);
}

// Catches a long line that comes in through a load without being cut into
// pieces, or cut ones that the mirror counts as line breaks.
TEST(RichEditLoadTest, LongLineOfALoadIsHeldInPiecesLikeSetTexts) {
    std::string line;
    while (line.size() < 40'000)
        line += "<P>\x93\xfa\x96\x7b abc";
    const std::string text = "head\r\n" + line + "\r\ntail";
    RichEdit loaded;
    {
        const std::unique_ptr<EditControl::TextLoad> load = loaded.beginTextLoad();
        load->append("head\r\n");
        load->append(line + "\r\n");
        load->append("tail");
        load->commit();
    }
    RichEdit set;
    set.setText(text);
    EXPECT_TRUE(loaded.text() == text);
    EXPECT_GT(loaded.document()->blockCount(), 5);
    EXPECT_EQ(loaded.document()->blockCount(), set.document()->blockCount());
    EXPECT_EQ(loaded.find("tail", 0, text.size(), true), text.size() - 4);
}

}  // namespace
}  // namespace korvane
