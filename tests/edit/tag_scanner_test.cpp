#include "edit/tag_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane {
namespace {

struct ScanCase {
    const char* name;
    std::string text;
    std::vector<TagRange> tags;
};

class TagScan : public ::testing::TestWithParam<ScanCase> {};

// Catches a scan that nests, stops too early, or invents tags from stray brackets.
TEST_P(TagScan, FindsTheTagsLeftToRight) {
    EXPECT_EQ(findTags(GetParam().text), GetParam().tags);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagScan,
    ::testing::Values(
        ScanCase{"Empty", "", {}}, ScanCase{"CloseWithoutOpenIsText", "a > b", {}},
        ScanCase{"OpenAtEndIsNoTag", "x<a", {}},
        ScanCase{"OpenInsideTagBelongsToIt", "<a<b>", {{0, 5}}},
        ScanCase{"FirstOpenStartsTheTag", "a < b <c>", {{2, 9}}},
        ScanCase{"Adjacent", "<a><b>", {{0, 3}, {3, 6}}},
        ScanCase{
            "LineBreakBetween", "<P>abc</P>\r\n<B>x</B>", {{0, 3}, {6, 10}, {12, 15}, {16, 20}}},
        ScanCase{"LineBreakInside", "<A\r\nhref=\"x\">", {{0, 13}}},
        ScanCase{"UnclosedAfterTagsEndsScan", "<B>x<I y", {{0, 3}}},
        // A lead byte right before "<" and a NUL inside: bytes, not characters.
        ScanCase{"ControlAndInvalidBytes", std::string("\x82<\0\xff>\x81", 6), {{1, 5}}},
        ScanCase{"DoubleByteText", "\x82\xa0<\x93\xfa>\x96\x7b", {{2, 6}}}),
    [](const auto& row) { return std::string(row.param.name); });

// Catches quadratic or recursive scanning on a page of a megabyte.
TEST(TagScanLarge, ManyTagsAndLongLines) {
    std::string page;
    for (int i = 0; i < 100000; ++i)
        page += "<B>x";
    const auto tags = findTags(page);
    ASSERT_EQ(tags.size(), 100000u);
    EXPECT_EQ(tags.back(), (TagRange{page.size() - 4, page.size() - 1}));

    const std::string openOnly = "<" + std::string(1 << 20, 'a');
    EXPECT_TRUE(findTags(openOnly).empty());
}

}  // namespace
}  // namespace korvane
