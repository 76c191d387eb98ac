#include "convert/to_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <utility>
#include <vector>

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
        {"a reference split by a tag or a line break", "&am<b>p;x &l\r\nt;", "&x <"},
        {"a block tag ends a reference", "&l<BR>t;", "&l\r\nt;"},
        {"a reference at the very end", "x&quot;", "x\""},
        // Decoding works in place, sixteen bytes at a time once it lags a block behind.
        {"long runs between references",
         "&lt;&lt;&lt;&lt;&lt;&lt;" + std::string(40, 'x') + "&amp;" + std::string(37, 'y') +
             "&gt;z",
         "<<<<<<" + std::string(40, 'x') + "&" + std::string(37, 'y') + ">z"},
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
        {"a reference split by the title", "&am<TITLE>T</TITLE>p;lt;", "T", "<"},
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

namespace korvane {
namespace {

// The conversion written the slow, literal way: each step a pass of its own
// over a fresh string. ToText fuses the steps for speed; comparing the two on
// random markup catches any case where the fusion is not equivalent.
std::size_t findNoCase(const std::string& s, const std::string& upper, std::size_t from = 0) {
    for (std::size_t i = from; i + upper.size() <= s.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < upper.size() && same; ++k) {
            same = std::toupper(static_cast<unsigned char>(s[i + k])) == upper[k];
        }
        if (same)
            return i;
    }
    return std::string::npos;
}

TextAndTitle referenceToText(std::string w) {
    TextAndTitle r;
    for (const std::string tag : {"<TITLE>", "</TITLE>"}) {
        const auto at = findNoCase(w, tag);
        if (at != std::string::npos)
            w.replace(at, tag.size(), tag);
    }
    const auto open = w.find("<TITLE>");
    if (open != std::string::npos) {
        const auto close = w.find("</TITLE>");
        if (close != std::string::npos) {
            if (close < open) {
                r.title = "";
            } else {
                r.title = w.substr(open + 7, close - open - 7);
                w.erase(open + 7, close - open - 7);
            }
        }
    }
    w = replaceAll(w, "\r\n", "");
    const std::pair<std::string, std::string> blocks[] = {{"<BR>", "\r\n"},
                                                          {"<HR>", "\r\n\r\n"},
                                                          {"<TR>", "\r\n"},
                                                          {"<P>", "\r\n\r\n"},
                                                          {"<LI>", "\r\n"}};
    for (const auto& [tag, by] : blocks) {
        for (auto at = findNoCase(w, tag); at != std::string::npos;
             at = findNoCase(w, tag, at + by.size())) {
            w.replace(at, tag.size(), by);
        }
    }
    std::string out;
    for (std::size_t i = 0;;) {
        const auto lt = w.find('<', i);
        if (lt == std::string::npos) {
            out += w.substr(i);
            break;
        }
        out += w.substr(i, lt - i);
        const auto gt = w.find('>', lt + 1);
        if (gt == std::string::npos)
            break;
        i = gt + 1;
    }
    std::size_t b = 0, e = out.size();
    while (b < e && static_cast<unsigned char>(out[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(out[e - 1]) <= 32)
        --e;
    out = out.substr(b, e - b);
    out = replaceAll(out, "&amp;", "&");
    out = replaceAll(out, "&lt;", "<");
    out = replaceAll(out, "&gt;", ">");
    out = replaceAll(out, "&quot;", "\"");
    r.text = out;
    return r;
}

TEST(ToText, MatchesTheStepByStepConversion) {
    const std::vector<std::string> pieces = {
        "<",        ">",        "\r",    "\n",   "\r\n", "<BR>",  "<br>",
        "<B\r\nR>", "<P>",      "<p",    ">",    "<HR>", "<tr>",  "<Li>",
        "<TITLE>",  "</title>", "<a ",   "BR>",  "&",    "&amp;", "amp;",
        "lt;",      "gt;",      "quot;", "&lt;", "x",    "  ",    "\t",
        "\x81\x40", "\x95\x5C", "<!--",  "-->",  "=",    "\"",    std::string(20, 'y')};
    std::mt19937 rng(4242);
    for (int round = 0; round < 20000; ++round) {
        std::string html;
        const int n = static_cast<int>(rng() % 30);
        for (int i = 0; i < n; ++i)
            html += pieces[rng() % pieces.size()];
        const TextAndTitle want = referenceToText(html);
        const TextAndTitle got = ToText(html);
        ASSERT_EQ(got.text, want.text) << "input: " << html;
        ASSERT_EQ(got.title, want.title) << "input: " << html;
    }
}

// The same on pages long enough for the conversion's block-wise paths, with
// generated lines and references near block boundaries and line ends:
// catches a reference decoded from bytes that a tag or a line break changes.
TEST(ToText, MatchesTheStepByStepConversionOnLongPages) {
    const std::vector<std::string> pieces = {"&",
                                             "&amp;",
                                             "&lt;",
                                             "&gt;",
                                             "&quot;",
                                             "amp;",
                                             "lt;",
                                             "quot;",
                                             "<BR>\r\n",
                                             "<br>\r\n",
                                             "<BR>",
                                             "\r\n",
                                             "\r",
                                             "<b>",
                                             "</b>",
                                             "<P>",
                                             "<TITLE>",
                                             "</TITLE>",
                                             "<a href=\"x\">",
                                             "<BR\x1e>",
                                             "<",
                                             " ",
                                             "\x81\x40",
                                             std::string(20, 'y'),
                                             std::string(45, 'z')};
    std::mt19937 rng(1618);
    for (int round = 0; round < 600; ++round) {
        std::string html;
        const int n = static_cast<int>(rng() % 300);
        for (int i = 0; i < n; ++i)
            html += pieces[rng() % pieces.size()];
        const TextAndTitle want = referenceToText(html);
        const TextAndTitle got = ToText(html);
        ASSERT_EQ(got.text, want.text) << "round " << round;
        ASSERT_EQ(got.title, want.title) << "round " << round;
    }
}

}  // namespace
}  // namespace korvane
