#include "convert/to_text.h"

#include <gtest/gtest.h>

#include <random>

#include "convert/to_html.h"

namespace korvane {
namespace {

// The worked example and the edge cases of tag stripping.
TEST(ToText, Conversions) {
    struct Row {
        const char* name;
        std::string html;
        std::string text;
    };
    const Row rows[] = {
        {"worked example",
         "<HTML><HEAD><title>Hi</title></HEAD>\r\n<BODY>a&amp;b<br>\r\nc<P>d</BODY></HTML>",
         "a&b\r\nc\r\n\r\nd"},
        {"no tags: CR LF pairs go, ends trimmed", "  a\r\nb\t", "ab"},
        {"text after the last tag belongs to the result", "x<B>y</B>z", "xyz"},
        {"all spellings of BR", "a<br>b<Br>c<BR>d", "a\r\nb\r\nc\r\nd"},
        {"BR with attributes or slash is only removed", "a<BR clear=all>b<BR/>c", "abc"},
        {"HR, TR, P and LI", "a<hr>b<tr>c<p>d<li>e", "a\r\n\r\nb\r\nc\r\n\r\nd\r\ne"},
        {"end tags are not block tags", "a</P>b", "ab"},
        {"references are decoded in order: &amp;lt; becomes <", "&amp;lt; &lt;&gt;&quot;",
         "< <>\""},
        {"upper-case reference stays", "&AMP;", "&AMP;"},
        {"other references stay", "a&nbsp;&#12354;b", "a&nbsp;&#12354;b"},
        {"a comment ends at its first >", "<!-- a > b -->", "b -->"},
        {"open tag runs to the end", "abc<def", "abc"},
        {"a > alone is text", "a > b", "a > b"},
        {"leading P breaks are trimmed", "<BODY><P>x", "x"},
        {"lone CR and LF stay inside", "a\rb\nc", "a\rb\nc"},
        {"CR LF joining a tag together", "a<B\r\nR>b", "a\r\nb"},
        {"block tag inside another tag", "<a <BR> b>x", "x"},
        {"full-width space is not trimmed",
         "\x81\x40"
         "a\x81\x40",
         "\x81\x40"
         "a\x81\x40"},
        {"control bytes are trimmed", std::string("\x01\x1f a \x00", 6), "a"},
        {"empty", "", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ToText(row.html).text, row.text) << row.name;
}

// The title box: set, emptied or left alone.
TEST(ToText, Title) {
    struct Row {
        const char* name;
        std::string html;
        std::optional<std::string> title;
        std::string text;
    };
    const Row rows[] = {
        {"lower-case tags", "<title>Hi</title>x", "Hi", "x"},
        {"title is not trimmed or decoded", "<TITLE> a&amp;b </TITLE>", " a&amp;b ", ""},
        {"no title tags leave the box", "<B>x</B>", std::nullopt, "x"},
        {"end before start empties the box", "</title>a<title>b", "", "ab"},
        {"only a start tag leaves the box", "<TITLE>abc", std::nullopt, "abc"},
        {"mixed case tags", "<TiTlE>T</tItLe>", "T", ""},
        {"second title stays in the text", "<title>A</title><TITLE>B</TITLE>", "A", "B"},
        {"title across a line break", "<TITLE>a\r\nb</TITLE>c", "a\r\nb", "c"},
    };
    for (const auto& row : rows) {
        const TextAndTitle r = ToText(row.html);
        EXPECT_EQ(r.title, row.title) << row.name;
        EXPECT_EQ(r.text, row.text) << row.name;
    }
}

// A generated page comes back as its title and text, tabs as full-width
// spaces: catches any asymmetry between the two conversions.
TEST(ToText, ReversesToHtml) {
    const TextAndTitle r = ToText(ToHtml("a<b\r\n\tc", "T", PageSettings{}, 1));
    EXPECT_EQ(r.title, "T");
    EXPECT_EQ(r.text,
              "a<b\r\n\x81\x40\x81\x40"
              "c");
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
    return s;
}

// Property: for random texts of Japanese characters, ASCII, markup characters,
// quotes, blanks and CR LF, ToText(ToHtml(t)) is t with its ends trimmed of
// bytes <= 32 — nothing inside is lost, added or reordered. The one change is
// the documented one: references the text itself spelled ("&lt;") are decoded
// too, because "&amp;" is decoded first.
TEST(ToText, RoundTripProperty) {
    const std::vector<std::string> pieces = {
        "a",     "Z",   "0",    " ",        "  ",       "<",        ">",        "&",
        "\"",    "'",   "\r\n", "\x82\xA0", "\x95\x5C", "\x83\x5C", "\x88\x9F", "\x81\x40",
        "&amp;", "<B>", "</P>", "&lt;",     ";",        "&gt;",     "&quot;",   "&"};
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string t;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i)
            t += pieces[rng() % pieces.size()];
        PageSettings s;
        s.ColorCheck = static_cast<std::int32_t>(rng() % 32);
        const TextAndTitle back = ToText(ToHtml(t, "title", s, static_cast<int>(rng() % 4)));
        std::size_t b = 0, e = t.size();
        while (b < e && static_cast<unsigned char>(t[b]) <= 32)
            ++b;
        while (e > b && static_cast<unsigned char>(t[e - 1]) <= 32)
            --e;
        const std::string want = replaceAll(
            replaceAll(replaceAll(t.substr(b, e - b), "&lt;", "<"), "&gt;", ">"), "&quot;", "\"");
        ASSERT_EQ(back.text, want) << "round " << round;
        ASSERT_EQ(back.title, "title");
    }
}

}  // namespace
}  // namespace korvane
