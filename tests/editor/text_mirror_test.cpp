// The editor's Shift_JIS mirror on its own: positions, problems found in new
// text, and a long run of random edits checked against a plain model.
#include "editor/text_mirror.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/shift_jis.h"
#include "base/text_codec.h"
#include "tests/support/memory_edit_control.h"

namespace korvane {
namespace {

std::vector<std::u16string> splitLines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

std::vector<std::u16string_view> views(const std::vector<std::u16string>& lines) {
    return {lines.begin(), lines.end()};
}

// What the editor's document holds of bytes with CR LF line breaks.
std::u16string documentText(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    text.resize(decodeShiftJisDocument(bytes, text.data()));
    return text;
}

std::string fileBytes(const std::u16string& text) {
    std::string out;
    bool first = true;
    for (const std::u16string& line : splitLines(text)) {
        if (!first)
            out += "\r\n";
        first = false;
        out += encodeShiftJis(line).bytes;
    }
    return out;
}

// Catches offsets counted in units where bytes are meant and the reverse,
// inside double-byte characters and at line breaks.
TEST(TextMirror, MapsUnitsAndBytes) {
    TextMirror m;
    const std::vector<std::u16string> lines = {u"a\u3042\uFF71\uF781", u"", u"b"};
    m.assign(views(lines));
    // a(0) あ(1-2) ｱ(3) damaged byte(4) CR LF(5-6) | CR LF(7-8) | b(9)
    EXPECT_EQ(m.text(), "a\x82\xa0\xb1\x81\r\n\r\nb");
    struct Row {
        std::size_t unit;
        std::size_t byte;
    };
    const Row units[] = {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 7}, {6, 9}, {7, 10}};
    for (const Row& row : units)
        EXPECT_EQ(m.unitToByte(row.unit), row.byte) << "unit " << row.unit;
    const Row bytes[] = {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {3, 4},  {4, 5},
                         {4, 6}, {5, 7}, {5, 8}, {6, 9}, {7, 10}, {7, 99}};
    for (const Row& row : bytes)
        EXPECT_EQ(m.byteToUnit(row.byte), row.unit) << "byte " << row.byte;
    EXPECT_EQ(m.lineOfByte(8), 1u);
    EXPECT_EQ(m.lineStartByte(2), 9u);
}

// Catches a mirror built from a file's bytes that measures characters
// differently from one built from the decoded lines: damaged lead bytes,
// a lead byte before CR LF or at the end, half-width katakana.
TEST(TextMirror, BytesAndDecodedLinesAgree) {
    const std::string bytes = "a\x82\xa0\xb1\x81 x\r\n\x81\r\n\r\n\x93\xfa\x80\xa0\xfd\xe0";
    const std::u16string decoded = decodeShiftJis(bytes);
    TextMirror fromBytes;
    fromBytes.assignBytes(bytes, documentText(bytes));
    std::u16string joined = decoded;
    for (std::size_t at; (at = joined.find(u"\r\n")) != std::u16string::npos;)
        joined.replace(at, 2, u"\n");
    const auto lines = splitLines(joined);
    TextMirror fromLines;
    fromLines.assign(views(lines));
    EXPECT_EQ(fromBytes.text(), bytes);
    ASSERT_EQ(fromBytes.lineCount(), fromLines.lineCount());
    ASSERT_EQ(fromBytes.unitLength(), fromLines.unitLength());
    for (std::size_t u = 0; u < fromLines.unitLength(); ++u)
        EXPECT_EQ(fromBytes.unitToByte(u), fromLines.unitToByte(u)) << "unit " << u;
}

// A document read from a file in each codec, against a model that decodes
// one character at a time: its units, and the byte where each begins.
// Catches a whole-text decode or a mirror built from bytes that goes astray
// on what a fast path skips over - runs of ASCII that end at any byte, a
// CR LF split across them, sequences cut short or damaged, bytes of no
// character, four-byte characters, and the private use characters whose
// code points are those of the stand-ins (U+F7EF in UTF-8 is EF 9F AF).
TEST(TextMirror, CodecDocumentsAgreeWithACharacterWalk) {
    const struct {
        const char* name;
        const TextCodec& codec;
        // Whether only the first byte of a damaged character is lost: Shift_JIS
        // reads what follows a damaged lead byte afresh, EUC-JP does not.
        bool firstByteOnly;
        std::vector<std::string> pieces;
    } rows[] = {
        {"Shift_JIS",
         shiftJisCodec(),
         true,
         {"a", "<p>", "abcdefghijk", "\r\n", "\r", "\n", "\x82\xa0", "\x93\xfa", "\xb1", "\x81",
          "\x80", "\xa0", "\xfd", "\x87\x90"}},
        {"UTF-8",
         utf8Codec(),
         true,
         {"a", "<p>", "abcdefghijk", "\r\n", "\r", "\n", "\xe3\x81\x82", "\xe6\x97\xa5", "\xc3\xa9",
          "\xef\xbd\xb1", "\xf0\x9f\x98\x80", "\xef\x9f\xaf", "\xef\x9e\x80", "\xee\x80\x80",
          "\xef", "\xe3\x81", "\xed\xa0\x80", "\xc0\xaf", "\xff", "\x80", "\xf4\x90\x80\x80",
          "\xe0\x80\x80", "\xf0\x9f",
          // The edges between two, three and four bytes.
          "\xc2\x80", "\xdf\xbf", "\xe0\xa0\x80", "\xef\xbf\xbf", "\xf4\x8f\xbf\xbf"}},
        {"EUC-JP",
         eucJpCodec(),
         false,
         {"a", "<p>", "abcdefghijk", "\r\n", "\r", "\n", "\xa4\xa2", "\xc6\xfc", "\x8e\xb1",
          "\x8f\xb0\xa1", "\xa1", "\xff", "\xa9\xa1", "\x8e"}},
    };
    std::mt19937 rng(23);
    for (const auto& row : rows) {
        std::vector<std::string> inputs;
        // Each character twice before empty lines: a line measured from its
        // units as one or two bytes longer than it is would end on one of
        // their CR LFs.
        for (const std::string& piece : row.pieces)
            inputs.push_back(piece + piece + "\r\n\r\n\r\n\r\nx");
        // Lines of more width words than a line gathers before it writes
        // them, with each character near their ends.
        for (const std::string& piece : row.pieces) {
            std::string wide;
            while (wide.size() < 700)
                wide += row.pieces[6];
            inputs.push_back(wide + piece + "\r\n" + std::string(600, 'a') + piece + "\r\nb");
        }
        for (int round = 0; round < 60; ++round) {
            std::string bytes;
            const std::size_t count = rng() % 200;
            for (std::size_t i = 0; i < count; ++i)
                bytes += row.pieces[rng() % row.pieces.size()];
            inputs.push_back(bytes);
        }
        for (std::size_t input = 0; input < inputs.size(); ++input) {
            const std::string& bytes = inputs[input];
            SCOPED_TRACE(std::string(row.name) + " input " + std::to_string(input));

            // The model: each character decoded on its own; a character the
            // codec decodes to one unit or a surrogate pair takes all its
            // bytes, the bytes of anything else a unit each.
            std::u16string text;
            std::vector<std::size_t> starts;  // of each unit and line break, then the end
            for (std::size_t at = 0; at < bytes.size();) {
                if (bytes.compare(at, 2, "\r\n") == 0) {
                    text += u'\n';
                    starts.push_back(at);
                    at += 2;
                    continue;
                }
                std::size_t length = row.codec.charLength(bytes, at);
                std::u16string one = row.codec.decode(bytes.substr(at, length));
                if (row.firstByteOnly && one.size() == length && length > 1) {
                    length = 1;
                    one.resize(1);
                }
                text += one;
                const bool pair = one.size() == 2 && length == 4;
                ASSERT_TRUE(one.size() == 1 || one.size() == length || pair);
                // Between the halves of a pair is the character's start.
                for (std::size_t k = 0; k < one.size(); ++k)
                    starts.push_back(one.size() == 1 || pair ? at : at + k);
                at += length;
            }
            starts.push_back(bytes.size());

            std::u16string decoded(bytes.size(), u'\0');
            decoded.resize(decodeDocument(row.codec, bytes, decoded.data()));
            ASSERT_EQ(decoded, text);

            TextMirror m;
            m.setCodec(row.codec);
            m.assignBytes(bytes, decoded);
            EXPECT_EQ(m.text(), bytes);
            ASSERT_EQ(m.unitLength(), text.size() + 1);
            for (std::size_t u = 0; u <= text.size(); ++u)
                ASSERT_EQ(m.unitToByte(u), starts[u]) << "unit " << u;
        }
    }
}

// Catches new text whose unwritable characters, stray line breaks or
// pairing damaged bytes go unreported (the editor could not put them right).
// Pieces of a long line end in soft breaks: positions of their own, no
// bytes. Catches a soft break counted as CR LF in offsets, reads and searches.
TEST(TextMirror, SoftBreaksJoinPiecesWithoutBytes) {
    const std::string bytes =
        "ab\x82\xa0"
        "cd\r\nef";  // ab あ cd / ef
    TextMirror m;
    // Pieces "ab", "あ", "cd", as the document holds them.
    m.assignBytes(bytes, u"ab\u2029\u3042\u2029cd\nef");
    ASSERT_EQ(m.lineCount(), 4u);
    EXPECT_EQ(m.text(), bytes);
    EXPECT_EQ(m.byteLength(), bytes.size());
    EXPECT_TRUE(m.softBreak(0) && m.softBreak(1) && !m.softBreak(2));
    // unit: a=0 b=1 |2 あ=3 |4 c=5 d=6 CRLF=7 e=8
    const std::pair<std::size_t, std::size_t> unitsAndBytes[] = {{0, 0}, {2, 2}, {3, 2}, {4, 4},
                                                                 {5, 4}, {7, 6}, {8, 8}};
    for (const auto& [unit, byte] : unitsAndBytes)
        EXPECT_EQ(m.unitToByte(unit), byte) << unit;
    EXPECT_EQ(m.byteToUnit(2), 3u) << "the byte after a soft break is in the next piece";
    EXPECT_EQ(m.byteToUnit(4), 5u);
    EXPECT_EQ(m.textRange(1, 7),
              "b\x82\xa0"
              "cd\r");
    EXPECT_EQ(m.find("b\x82\xa0"
                     "c",
                     0, bytes.size(), true),
              std::optional<std::size_t>(1));
    EXPECT_EQ(m.find("\x82\xa0"
                     "cd\r\ne",
                     0, bytes.size(), true),
              std::optional<std::size_t>(2));

    m.setSoftBreak(1, false);  // the document made it a line break
    EXPECT_EQ(m.text(), "ab\x82\xa0\r\ncd\r\nef");
    EXPECT_EQ(m.unitToByte(5), 6u);
    m.setSoftBreak(3, true);
    EXPECT_FALSE(m.softBreak(3)) << "the last line ends the text";
}

TEST(TextMirror, CutsLongLinesAtBreakOpportunities) {
    const std::u16string tags = u"<p>abc</p>" + std::u16string(30, u'x');
    std::u16string line;
    while (line.size() < 1000)
        line += tags;
    const std::vector<std::size_t> points = TextMirror::softBreakPoints(line, 100, 200);
    ASSERT_FALSE(points.empty());
    std::size_t start = 0;
    for (std::size_t p : points) {
        EXPECT_LE(p - start, 100u);
        EXPECT_GE(p - start, 75u);
        start = p;
    }
    EXPECT_TRUE(TextMirror::softBreakPoints(line.substr(0, 200), 100, 200).empty());
    // Without a break opportunity the pieces are full, and a surrogate pair
    // stays whole.
    std::u16string pairs;
    for (int i = 0; i < 300; ++i)
        pairs += u"\xD842\xDFB7";
    for (std::size_t p : TextMirror::softBreakPoints(pairs, 101, 200))
        EXPECT_EQ(p % 2, 0u) << p;
}

TEST(TextMirror, ReportsWhatTheDocumentCannotKeep) {
    using Kind = TextMirror::Problem::Kind;
    struct Row {
        const char* name;
        std::u16string line;
        Kind kind;
        std::size_t unit;
        std::size_t length;
        std::u16string replacement;
    };
    const Row rows[] = {
        {"emoji", u"a\U0001F600b", Kind::Replaced, 1, 2, u"?"},
        {"wave dash", u"\u301C", Kind::Replaced, 0, 1, u"\uFF5E"},
        {"line separator", u"a\u2028b", Kind::LineBreak, 1, 1, u""},
        {"CR LF", u"a\r\nb", Kind::LineBreak, 1, 2, u""},
        {"damaged byte that pairs", u"\uF781@", Kind::Merges, 0, 1, u""},
    };
    for (const Row& row : rows) {
        TextMirror m;
        std::vector<TextMirror::Problem> problems;
        m.assign({row.line}, &problems);
        ASSERT_EQ(problems.size(), 1u) << row.name;
        EXPECT_EQ(problems[0].kind, row.kind) << row.name;
        EXPECT_EQ(problems[0].unit, row.unit) << row.name;
        EXPECT_EQ(problems[0].length, row.length) << row.name;
        EXPECT_EQ(problems[0].replacement, row.replacement) << row.name;
        // Positions stay one unit to one character meanwhile.
        EXPECT_EQ(m.byteToUnit(m.byteLength()), row.line.size()) << row.name;
    }
    TextMirror clean;
    std::vector<TextMirror::Problem> none;
    clean.assign({u"\u65E5\u672C\uF781 x"}, &none);
    EXPECT_TRUE(none.empty()) << "a damaged byte before a space is written as it is";
}

// Catches an edit report that does not fit the text being taken in anyway.
TEST(TextMirror, RefusesASpliceThatDoesNotFit) {
    TextMirror m;
    m.assign({u"abc"});
    EXPECT_FALSE(m.splice(1, 1, 1, {u"abcd"}));
    EXPECT_FALSE(m.splice(2, 5, 0, {u"ab"}));
    EXPECT_EQ(m.text(), "abc");
    EXPECT_TRUE(m.splice(1, 1, 2, {u"axyc"}));
    EXPECT_EQ(m.text(), "axyc");
}

// Catches drift between the mirror and the text over thousands of edits
// across chunk boundaries: bytes, positions, colours and find.
TEST(TextMirror, FollowsRandomEditsLikeAPlainModel) {
    const std::u16string pieces[] = {u"a",    u"<B>", u"\u65E5\u672C", u"\uFF71", u"\n",
                                     u"x\ny", u" ",   u"\u3042\n\n",   u"Z"};
    std::mt19937 rng(5);
    std::u16string text;
    for (int i = 0; i < 30000; ++i)
        text += pieces[rng() % std::size(pieces)];
    std::vector<CharColor> colors(text.size() + 1, CharColor::autoColor());
    TextMirror m;
    {
        const auto lines = splitLines(text);
        m.assign(views(lines));
    }
    ASSERT_GT(m.lineCount(), 2000u);

    auto lineStart = [&](std::size_t pos) {
        const std::size_t nl = pos == 0 ? std::u16string::npos : text.rfind(u'\n', pos - 1);
        return nl == std::u16string::npos ? 0 : nl + 1;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::size_t pos = rng() % (text.size() + 1);
        if (rng() % 4 == 0) {
            const std::size_t end = std::min(text.size() + 1, pos + rng() % 300);
            const CharColor c = rng() % 2 ? CharColor::of(static_cast<ColorValue>(rng() % 3))
                                          : CharColor::autoColor();
            m.setColor(pos, end, c);
            std::fill(colors.begin() + static_cast<std::ptrdiff_t>(pos),
                      colors.begin() + static_cast<std::ptrdiff_t>(end), c);
            continue;
        }
        const std::size_t removed = std::min<std::size_t>(text.size() - pos, rng() % 50);
        std::u16string inserted;
        for (std::size_t k = rng() % 4; k > 0; --k)
            inserted += pieces[rng() % std::size(pieces)];
        const CharColor inherited = pos > 0 ? colors[pos - 1] : CharColor::autoColor();
        text.replace(pos, removed, inserted);
        colors.erase(colors.begin() + static_cast<std::ptrdiff_t>(pos),
                     colors.begin() + static_cast<std::ptrdiff_t>(pos + removed));
        colors.insert(colors.begin() + static_cast<std::ptrdiff_t>(pos), inserted.size(),
                      inherited);

        const std::size_t from = lineStart(pos);
        std::size_t to = text.find(u'\n', pos + inserted.size());
        if (to == std::u16string::npos)
            to = text.size();
        const auto lines = splitLines(text.substr(from, to - from));
        ASSERT_TRUE(m.splice(pos, removed, inserted.size(), views(lines))) << "step " << step;

        if (step % 100 != 0)
            continue;
        const std::string expected = fileBytes(text);
        ASSERT_EQ(m.text(), expected) << "step " << step;
        ASSERT_EQ(m.unitLength(), text.size() + 1);
        for (std::size_t u = 0; u <= text.size(); ++u)
            ASSERT_EQ(m.colorAtUnit(u), colors[u]) << "step " << step << " unit " << u;
        for (int probe = 0; probe < 20; ++probe) {
            const std::size_t u = rng() % (text.size() + 1);
            const std::size_t b = fileBytes(text.substr(0, u)).size();
            ASSERT_EQ(m.unitToByte(u), b) << "step " << step << " unit " << u;
            ASSERT_EQ(m.byteToUnit(b), u) << "step " << step << " byte " << b;
        }
        const std::size_t min = rng() % expected.size();
        const std::string what = "<B>";
        const std::size_t hit = expected.find(what, min);
        EXPECT_EQ(m.find(what, min, expected.size(), true),
                  hit == std::string::npos ? std::nullopt : std::optional<std::size_t>(hit));
    }
}

// Text read from a file keeps its bytes through edits elsewhere: catches the
// duplicate codes of a line (0x8790, the NEC-selected 0xED/0xEE rows, the IBM
// 0xFA rows) rewritten in Windows' form when the line is edited, which would
// corrupt a UTF-8 page (0xED sequences) or a file with NEC/IBM codes saved
// after one keystroke. Also catches a search that misses a character held in
// the other form.
TEST(TextMirror, EditsKeepTheBytesOfTextTheyDoNotTouch) {
    // One character each; none merges with its neighbour.
    const std::string fileUnits[] = {"\x87\x90", "\xed\x40", "\xed\x80", "\xfa\x4a", "\xfa\x58",
                                     "a",        "\x82\xa0", "\x80",     "\xa5",     "\r\n"};
    const std::string typedUnits[] = {"b", "\x82\xa2", "\r\n", "\x81\xe0"};  // い, ≒ as typed
    std::mt19937 rng(11);
    std::vector<std::string> units;  // the model: each character's bytes
    for (int i = 0; i < 6000; ++i)
        units.push_back(fileUnits[rng() % std::size(fileUnits)]);
    const auto joined = [&] {
        std::string out;
        for (const std::string& u : units)
            out += u;
        return out;
    };
    const auto textOf = [&](std::size_t from, std::size_t to) {
        std::u16string out;
        for (std::size_t i = from; i < to; ++i)
            out += units[i] == "\r\n" ? u"\n" : decodeShiftJis(units[i]);
        return out;
    };
    TextMirror m;
    {
        const std::string bytes = joined();
        m.assignBytes(bytes, documentText(bytes));
        ASSERT_EQ(m.text(), bytes);
    }
    const auto lineStart = [&](std::size_t pos) {
        while (pos > 0 && units[pos - 1] != "\r\n")
            --pos;
        return pos;
    };
    const auto lineEnd = [&](std::size_t pos) {
        while (pos < units.size() && units[pos] != "\r\n")
            ++pos;
        return pos;
    };
    for (int step = 0; step < 1500; ++step) {
        const std::size_t pos = rng() % (units.size() + 1);
        const std::size_t removed = std::min<std::size_t>(units.size() - pos, rng() % 6);
        std::vector<std::string> inserted;
        for (std::size_t k = rng() % 4; k > 0; --k)
            inserted.push_back(typedUnits[rng() % std::size(typedUnits)]);
        if (step % 7 == 0) {
            // A change reported over text that stayed as it was (a format
            // change, a wide undo report): the same characters again, typed.
            inserted.clear();
            for (std::size_t i = pos; i < pos + removed; ++i) {
                const std::u16string c = textOf(i, i + 1);
                inserted.push_back(c == u"\n" ? "\r\n" : encodeShiftJis(c).bytes);
            }
            // The model keeps the old bytes: nothing changed.
            std::vector<std::string> same(
                units.begin() + static_cast<std::ptrdiff_t>(pos),
                units.begin() + static_cast<std::ptrdiff_t>(pos + removed));
            units.erase(units.begin() + static_cast<std::ptrdiff_t>(pos),
                        units.begin() + static_cast<std::ptrdiff_t>(pos + removed));
            units.insert(units.begin() + static_cast<std::ptrdiff_t>(pos), same.begin(),
                         same.end());
        } else {
            // Replacing as many characters as it removes, an edit keeps the
            // bytes of each character it puts back in the same place, as long
            // as the lines pair up.
            for (std::size_t i = 0; removed == inserted.size() && i < removed; ++i) {
                const bool oldBreak = units[pos + i] == "\r\n";
                if (oldBreak != (inserted[i] == "\r\n"))
                    break;
                if (!oldBreak && textOf(pos + i, pos + i + 1) == decodeShiftJis(inserted[i]))
                    inserted[i] = units[pos + i];
            }
            units.erase(units.begin() + static_cast<std::ptrdiff_t>(pos),
                        units.begin() + static_cast<std::ptrdiff_t>(pos + removed));
            units.insert(units.begin() + static_cast<std::ptrdiff_t>(pos), inserted.begin(),
                         inserted.end());
        }
        const std::size_t from = lineStart(pos);
        const std::size_t to = lineEnd(pos + inserted.size());
        const auto lines = splitLines(textOf(from, to));
        ASSERT_TRUE(m.splice(pos, removed, inserted.size(), views(lines))) << "step " << step;
        if (step % 50 != 0)
            continue;
        const std::string expected = joined();
        ASSERT_TRUE(m.text() == expected) << "step " << step;

        // "≒" in either form finds the first "≒" in either form.
        std::size_t at = 0;
        std::optional<std::size_t> first;
        for (const std::string& u : units) {
            if (u == "\x87\x90" || u == "\x81\xe0") {
                first = at;
                break;
            }
            at += u.size();
        }
        EXPECT_EQ(m.find("\x81\xe0", 0, expected.size(), true), first) << "step " << step;
        EXPECT_EQ(m.find("\x87\x90", 0, expected.size(), false), first) << "step " << step;
    }
}

// The search scans line bytes for the first character's forms and checks
// only the hits; catches a hit taken inside a double-byte character, a form
// of the first character missed (other case, duplicate code), and positions
// lost on long lines (counted 64 characters at a time), and lines passed
// over a chunk at a time that held a hit (at their very end, or in the
// next chunk) - against the in-memory editor's plain walk through the
// characters.
TEST(TextMirror, FindAgreesWithACharacterWalk) {
    const std::vector<std::string> pieces = {"a",        "A",        "b",        "\x83\x41",
                                             "\x82\xa0", "\x82\x60", "\x82\x81", "\x87\x90",
                                             "\x81\xe0", "\r\n",     "<",        "\x83\x61"};
    struct Shape {
        int rounds;
        std::size_t minPieces;
        std::size_t morePieces;
        unsigned keepOneBreakIn;
    };
    const Shape shapes[] = {
        // Line breaks now and then only, so lines run past 64 characters.
        {40, 50, 400, 8},
        // Short lines, more of them than one chunk holds.
        {6, 9000, 3000, 1},
    };
    std::mt19937 rng(11);
    int round = 0;
    for (const Shape& shape : shapes) {
        for (int r = 0; r < shape.rounds; ++r, ++round) {
            std::string text;
            const std::size_t count = shape.minPieces + rng() % shape.morePieces;
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t k = rng() % pieces.size();
                if (pieces[k] == "\r\n" && rng() % shape.keepOneBreakIn != 0)
                    continue;
                text += pieces[k];
            }
            TextMirror m;
            m.assignBytes(text, documentText(text));
            const test::MemoryEditControl reference(text);
            for (int probe = 0; probe < 60; ++probe) {
                const std::size_t at = rng() % text.size();
                std::string what = text.substr(at, 1 + rng() % 5);
                if (rng() % 3 == 0 && !what.empty() && what[0] >= 'a' && what[0] <= 'z')
                    what[0] = static_cast<char>(what[0] - 'a' + 'A');
                const std::size_t min = rng() % text.size();
                for (bool matchCase : {false, true}) {
                    EXPECT_EQ(m.find(what, min, text.size(), matchCase),
                              reference.find(what, min, text.size(), matchCase))
                        << "round " << round << " at " << at << " min " << min;
                }
            }
        }
    }
}

}  // namespace
}  // namespace korvane
