#include "platform/font_style_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane {
namespace {

// Catches the four names of the Japanese Windows dialog given otherwise,
// weights that are not told apart, a style half translated (a word left in
// English beside Japanese ones), "標準" kept beside a slope, and letter case
// or a blank inside a graded weight that breaks the match.
TEST(JapaneseStyleName, NamesTheStylesFontsUse) {
    const struct {
        const char* style;
        const char* shown;
    } rows[] = {
        {"Regular", "標準"},
        {"Bold", "太字"},
        {"Italic", "斜体"},
        {"Bold Italic", "太字 斜体"},
        {"Oblique", "斜体"},
        {"Bold Oblique", "太字 斜体"},
        {"Regular Italic", "斜体"},
        {"Book", "標準"},
        {"Thin", "極細"},
        {"ExtraLight", "特細"},
        {"Extra Light", "特細"},
        {"Light", "細字"},
        {"DemiLight", "やや細字"},
        {"Medium", "中字"},
        {"SemiBold", "やや太字"},
        {"Semi-Bold Italic", "やや太字 斜体"},
        {"ExtraBold", "特太"},
        {"Black", "極太"},
        {"heavy oblique", "極太 斜体"},
        {"Condensed Bold", "長体 太字"},
        {"BOLD", "太字"},
        {"Demi", "やや太字"},
        {"Demi Italic", "やや太字 斜体"},
        {"Book Oblique", "斜体"},
        // Unknown words keep the whole style as it is.
        {"Bold Outline", "Bold Outline"},
        {"W3", "W3"},
        {"Retina", "Retina"},
        {"標準", "標準"},
        {"", ""},
        {"Semi", "Semi"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(japaneseStyleName(row.style), row.shown) << row.style;
}

// Catches two styles of one family shown under the same name, which could
// not be told apart in the list.
TEST(JapaneseStyleName, TwoStylesNeverShowAlike) {
    EXPECT_EQ(japaneseStyleNames({"Book", "Regular", "Bold", "Italic", "Oblique", "Light"}),
              (std::vector<std::string>{"Book", "Regular", "太字", "Italic", "Oblique", "細字"}));
    EXPECT_EQ(japaneseStyleNames({}), std::vector<std::string>{});
}

}  // namespace
}  // namespace korvane
