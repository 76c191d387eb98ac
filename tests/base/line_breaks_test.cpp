// Line breaks as the editor reads them.
#include "base/line_breaks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace korvane {
namespace {

// Catches a lone CR or LF taken as CR LF by the check that lets the editor
// skip normalising (it would then hold a broken line break), and text that
// is CR LF throughout sent through a needless copy; each row's answer must
// agree with whether normalising changes the text.
TEST(LineBreaks, OnlyCrLfIsRecognised) {
    const char* rows[] = {"",     "plain", "a\r\nb",   "a\r\nb\r\n", "\r\n\r\n",
                          "a\nb", "a\rb",  "a\r\r\nb", "a\r\n\nb",   "a\r",
                          "\n",   "\r",    "\r\n\r",   "\x83\r\n",   "x\n\r"};
    for (const char* row : rows) {
        const std::string text = row;
        EXPECT_EQ(hasOnlyCrLf(text), normalizeLineBreaks(text) == text)
            << testing::PrintToString(text);
    }
}

// Catches a file given back with other breaks than it had: LF and CR files
// turned CR LF, a mixed file made one style (every line of it changed in a
// diff), a break split across two pieces of a read taken for two, and a
// line the user added given a break the file does not mostly use.
TEST(LineBreaks, AFileGetsItsOwnBreaksBack) {
    const struct {
        const char* name;
        std::string file;
        const char* style;
    } rows[] = {
        {"none", "one line", "CRLF"},
        {"CR LF", "a\r\nb\r\n", "CRLF"},
        {"LF", "a\nb\n\nc", "LF"},
        {"CR", "a\rb\r", "CR"},
        {"mixed", "a\r\nb\nc\nd\re\n", "混在"},
        {"mixed, empty lines", "\n\r\n\n\r", "混在"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LineBreaks whole = LineBreaks::of(row.file);
        EXPECT_EQ(whole.name(), row.style);
        EXPECT_EQ(whole.restore(normalizeLineBreaks(row.file)), row.file);
        // Read a byte at a time: every break is cut off from its neighbours.
        LineBreaks::Scan scan;
        for (const char c : row.file)
            scan.add(std::string_view(&c, 1));
        EXPECT_EQ(scan.finish().restore(normalizeLineBreaks(row.file)), row.file);
    }

    const LineBreaks mixed = LineBreaks::of("keep\r\nLF 1\nLF 2\nLF 3\nold\r\nlast\n");
    EXPECT_EQ(mixed.common(), LineBreak::Lf);
    EXPECT_EQ(mixed.restore("new\r\nkeep\r\nLF 1\r\nLF 3\r\nchanged\r\nlast\r\n"),
              "new\nkeep\r\nLF 1\nLF 3\nchanged\nlast\n");
}

// Long runs of CR LF go a block of bytes at a time. Catches a lone CR or LF
// inside such a run, or a CR LF split across two blocks or two
// pieces of a read, taken for something else: the whole check and the
// counting scan must agree with a walk a byte at a time, the scan however
// the bytes are cut into pieces.
TEST(LineBreaks, ABlockAtOnceAgreesWithAByteWalk) {
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const std::size_t lines = random() % 12;
        for (std::size_t k = 0; k < lines; ++k) {
            text += std::string(random() % 20, 'a');
            text += random() % 8 == 0 ? (random() % 2 == 0 ? "\n" : "\r") : "\r\n";
        }
        std::size_t counts[3] = {0, 0, 0};  // CR LF, LF, CR, walked
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++counts[0];
                ++i;
            } else if (text[i] == '\n' || text[i] == '\r') {
                ++counts[text[i] == '\n' ? 1 : 2];
            }
        }
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ(hasOnlyCrLf(text), counts[1] == 0 && counts[2] == 0);
        // The counting scan tells the style: the mixed one, or the one kind.
        const int kinds = (counts[0] > 0) + (counts[1] > 0) + (counts[2] > 0);
        LineBreaks::Scan scan(false);
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t piece = 1 + random() % 40;
            scan.add(std::string_view(text).substr(at, piece));
            at += piece;
        }
        const LineBreaks breaks = scan.finish();
        EXPECT_EQ(breaks.mixed(), kinds > 1);
        if (kinds == 1) {
            EXPECT_EQ(breaks.common(), counts[0] > 0   ? LineBreak::CrLf
                                       : counts[1] > 0 ? LineBreak::Lf
                                                       : LineBreak::Cr);
        }
    }
}

}  // namespace
}  // namespace korvane
