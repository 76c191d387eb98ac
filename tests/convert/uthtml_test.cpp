#include "convert/uthtml.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct TagRow {
    const char* name;
    std::string got;
    std::string want;
};

// Catches a missing or doubled blank, swapped order of text and tag, or an
// end tag built from the wrong name.
TEST(TagBuilders, ConcatenateExactly) {
    const TagRow rows[] = {
        {"open tag on empty text", OpenTag("", "HR"), "<HR>"},
        {"open tag lands after the text", OpenTag("abc", "BR"), "abc<BR>"},
        {"open tag with attributes", OpenTagWith("x", "IMAGE", "src=\"a.gif\""),
         "x<IMAGE src=\"a.gif\">"},
        {"open tag with empty attributes keeps the blank", OpenTagWith("", "HR", ""), "<HR >"},
        {"wrap empty text", WrapTag("", "B"), "<B></B>"},
        {"wrap text", WrapTag("bold", "B"), "<B>bold</B>"},
        {"wrap with attributes", WrapTagWith("x", "P", "align=center"), "<P align=center>x</P>"},
        {"wrap with empty attributes keeps the blank", WrapTagWith("x", "P", ""), "<P >x</P>"},
        {"double-byte text passes through", WrapTag("\x95\x5C", "B"), "<B>\x95\x5C</B>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.got, row.want) << row.name;
}

// Catches escaping in the wrong order (double-escaped &lt;) or a missed character.
TEST(EscapeHtml, ReplacesTheFourCharactersOnly) {
    const struct {
        const char* name;
        std::string in;
        std::string want;
    } rows[] = {
        {"empty", "", ""},
        {"references are escaped again", "a&lt;b", "a&amp;lt;b"},
        {"brackets", "<<>>", "&lt;&lt;&gt;&gt;"},
        {"quote", "say \"hi\"", "say &quot;hi&quot;"},
        {"apostrophe, tab, CR LF stay", "it's\t\r\n", "it's\t\r\n"},
        {"double-byte trail bytes are not touched", "\x95\x5C\x83\x5C\x82\xA0",
         "\x95\x5C\x83\x5C\x82\xA0"},
        {"mixed", "&<>\"", "&amp;&lt;&gt;&quot;"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(EscapeHtml(row.in), row.want) << row.name;
}

// Catches BGR/RGB mix-ups, lower-case digits and missing zero padding.
TEST(ColorToHtml, SwapsBlueAndRedIntoRrggbb) {
    const struct {
        ColorValue color;
        const char* want;
    } rows[] = {
        {0x000000, "#000000"}, {0xFFFFFF, "#FFFFFF"}, {0x0000FF, "#FF0000"},
        {0xFF0000, "#0000FF"}, {0x800080, "#800080"}, {0x0080FF, "#FF8000"},
        {0x00000A, "#0A0000"}, {0x0A0B0C, "#0C0B0A"}, {0xABCDEF, "#EFCDAB"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ColorToHtml(row.color), row.want) << row.color;
}

// Catches a system colour formatted as its raw negative value instead of the
// desktop's colour for its index.
TEST(ColorToHtml, ResolvesSystemColoursThroughTheLookup) {
    int askedFor = -1;
    const SystemColorLookup lookup = [&](int index) {
        askedFor = index;
        return 0x00336699u;
    };
    const ColorValue windowText = static_cast<ColorValue>(0x80000008u);
    EXPECT_EQ(ColorToHtml(windowText, lookup), "#996633");
    EXPECT_EQ(askedFor, 8);
    // Without a lookup the classic Windows value for the index stands in.
    EXPECT_EQ(ColorToHtml(static_cast<ColorValue>(0x80000005u)), "#FFFFFF");
}

}  // namespace
}  // namespace korvane
