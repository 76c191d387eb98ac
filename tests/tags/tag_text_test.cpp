#include "tags/tag_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace korvane {
namespace {

// Shift_JIS bytes of the Japanese samples.
const std::string kMidashi = "\x8C\xA9\x8F\x6F\x82\xB5";  // 見出し
const std::string kMsGothic =
    "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
const std::string kNeko = "\x94\x4C";                        // 猫

struct ListRow {
    const char* name;
    std::string selection;
    const char* tag;
    std::string expected;
};

// Catches list items that lose a line, a "<BR>" left in some mix of case, a
// "</LI>" written, and a second removal pass that eats a "<BR>" the first
// one put together.
TEST(ListText, EachLineBecomesAnItem) {
    const ListRow rows[] = {
        {"worked example", "apple<BR>\r\nbanana<br>\r\ncherry", "UL",
         "<UL><LI>apple\r\n<LI>banana\r\n<LI>cherry</UL>"},
        {"single line", "one", "UL", "<UL><LI>one</UL>"},
        {"trailing line break gives an empty item", "a\r\n", "UL", "<UL><LI>a\r\n<LI></UL>"},
        {"empty selection", "", "UL", "<UL><LI></UL>"},
        {"every mix of case removed", "<bR>x<Br>\r\n<br>y<BR>", "UL", "<UL><LI>x\r\n<LI>y</UL>"},
        {"mixed case and a trailing CR LF", "a<bR>\r\n", "OL", "<OL><LI>a\r\n<LI></OL>"},
        {"one pass from the left", "<B<br>R>", "UL", "<UL><LI><BR></UL>"},
        {"other tags stay", "<B>x</B><BRx>", "OL", "<OL><LI><B>x</B><BRx></OL>"},
        {"double-byte lines", kMidashi + "\r\n" + kNeko, "OL",
         "<OL><LI>" + kMidashi + "\r\n<LI>" + kNeko + "</OL>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(listText(row.selection, row.tag), row.expected) << row.name;
}

struct FontRow {
    const char* name;
    FontTagFields fields;
    std::optional<std::string> expected;
};

// Catches the attribute order, the kept or doubled blank before the first
// attribute, a face written for an unpicked font, and a box-less OK that
// still inserts.
TEST(FontTagText, OkRule) {
    const FontRow rows[] = {
        {"no box checked", {}, std::nullopt},
        {"face box without a font", {.face = true}, "<FONT >S</FONT>"},
        {"colour never confirmed", {.color = true}, "<FONT color=\"#000000\">S</FONT>"},
        {"size alone", {.size = true, .sizeText = "3"}, "<FONT size=\"3\">S</FONT>"},
        {"worked example",
         {.face = true,
          .faceName = kMsGothic,
          .size = true,
          .sizeText = "5",
          .color = true,
          .colorValue = 0x0000FF},
         "<FONT face=\"" + kMsGothic + "\" size=\"5\" color=\"#FF0000\">S</FONT>"},
        {"unchecked values are not written",
         {.face = false,
          .faceName = "Arial",
          .size = false,
          .sizeText = "7",
          .color = true,
          .colorValue = 0x123456},
         "<FONT color=\"#563412\">S</FONT>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(fontTagText("S", row.fields), row.expected) << row.name;
}

// Catches an empty selection wrapped as anything but an empty tag pair.
TEST(FontTagText, EmptySelection) {
    EXPECT_EQ(fontTagText("", {.size = true, .sizeText = "1"}), "<FONT size=\"1\"></FONT>");
}

struct LinkRow {
    const char* name;
    LinkTagFields fields;
    std::optional<std::string> expected;
};

// Catches the OK rule inserting with an empty field, the mail prefix
// dropped or checked, and the name box's text written instead of the
// selection.
TEST(LinkTagText, OkRule) {
    const LinkRow rows[] = {
        {"empty address", {.address = "", .name = "n"}, std::nullopt},
        {"empty name", {.address = "a.htm", .name = ""}, std::nullopt},
        {"link", {.address = "../index.htm", .name = "typed"}, "<A href=\"../index.htm\">S</A>"},
        {"mail", {.address = "info", .name = "n", .mail = true}, "<A href=\"mailto:info\">S</A>"},
        {"prefix not checked",
         {.address = "mailto:x", .name = "n", .mail = true},
         "<A href=\"mailto:mailto:x\">S</A>"},
        {"address as it stands", {.address = " a\"b ", .name = "n"}, "<A href=\" a\"b \">S</A>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(linkTagText("S", row.fields), row.expected) << row.name;
}

// Catches the alternation stuck on one end, or starting from the target.
TEST(AnchorTagText, ShowsAlternate) {
    EXPECT_EQ(nextLinkEnd(LinkEnd::None), LinkEnd::Source);
    EXPECT_EQ(nextLinkEnd(LinkEnd::Source), LinkEnd::Target);
    EXPECT_EQ(nextLinkEnd(LinkEnd::Target), LinkEnd::Source);
}

struct AnchorRow {
    const char* name;
    std::string selection;
    const char* anchor;
    LinkEnd end;
    std::optional<std::string> expected;
};

// Catches the two ends swapped, an empty name inserting, and a "#" typed
// by the user swallowed.
TEST(AnchorTagText, OkRule) {
    const AnchorRow rows[] = {
        {"empty name", "x", "", LinkEnd::Source, std::nullopt},
        {"source", "\x96\xDA\x8E\x9F\x82\xD6", "top", LinkEnd::Source,
         "<A href=\"#top\">\x96\xDA\x8E\x9F\x82\xD6</A>"},
        {"target", "\x96\xDA\x8E\x9F", "top", LinkEnd::Target,
         "<A name=\"top\">\x96\xDA\x8E\x9F</A>"},
        {"target with nothing selected", "", "a", LinkEnd::Target, "<A name=\"a\"></A>"},
        {"typed hash kept", "x", "#top", LinkEnd::Source, "<A href=\"##top\">x</A>"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(anchorTagText(row.selection, row.anchor, row.end), row.expected) << row.name;
}

struct ImageRow {
    const char* name;
    std::string selection;
    ImageTagFields fields;
    std::optional<std::string> expected;
};

// Catches the attribute order, empty fields written, the wrong alignment
// word for an item, "IMG" for "IMAGE", and the selection not kept in front.
TEST(ImageTagText, OkRule) {
    const ImageRow rows[] = {
        {"no file", "abc", {.height = "1"}, std::nullopt},
        {"file alone", "", {.file = "pic.gif"}, "<IMAGE src=\"pic.gif\">"},
        {"selection stays in front", "abc", {.file = "a.gif"}, "abc<IMAGE src=\"a.gif\">"},
        {"worked example",
         "",
         {.file = "img/cat.jpg",
          .height = "240",
          .width = "320",
          .alt = kNeko,
          .border = "0",
          .position = ImagePosition::Right},
         "<IMAGE src=\"img/cat.jpg\" height=\"240\" width=\"320\" alt=\"" + kNeko +
             "\" border=\"0\" align=\"right\">"},
        {"letters written as they stand",
         "",
         {.file = "a", .width = "x1"},
         "<IMAGE src=\"a\" width=\"x1\">"},
        {"left",
         "",
         {.file = "a", .position = ImagePosition::Left},
         "<IMAGE src=\"a\" align=\"left\">"},
        {"top",
         "",
         {.file = "a", .position = ImagePosition::Top},
         "<IMAGE src=\"a\" align=\"top\">"},
        {"middle",
         "",
         {.file = "a", .position = ImagePosition::Middle},
         "<IMAGE src=\"a\" align=\"middle\">"},
        {"bottom",
         "",
         {.file = "a", .position = ImagePosition::Bottom},
         "<IMAGE src=\"a\" align=\"bottom\">"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(imageTagText(row.selection, row.fields), row.expected) << row.name;
}

struct LocationRow {
    const char* name;
    const char* document;
    std::string target;
    PathStyle style;
    std::optional<std::string> expected;
};

// Catches locations not relative to the document, an "Untitled" document
// taken for a file name, backslashes written, a Windows name's 0x5C second
// byte taken for a separator, and names Shift_JIS cannot hold written
// mangled.
TEST(TagLocation, FromTheDocument) {
    const LocationRow rows[] = {
        {"windows up one folder", "C:\\web\\diary\\index.htm", "C:\\web\\img\\cat.gif",
         PathStyle::Windows, "../img/cat.gif"},
        {"windows down one folder", "C:\\web\\index.htm", "C:\\web\\img\\a.png", PathStyle::Windows,
         "img/a.png"},
        {"windows untitled", "Untitled", "C:\\web\\img\\cat.gif", PathStyle::Windows,
         "C:/web/img/cat.gif"},
        {"windows other drive", "C:\\web\\index.htm", "D:\\pics\\cat.gif", PathStyle::Windows,
         "D:/pics/cat.gif"},
        {"windows 0x5C second byte", "C:\\web\\index.htm", "C:\\web\\\xE8\xA1\xA8\\a.gif",
         PathStyle::Windows, "\x95\x5C/a.gif"},
        {"windows unwritable name", "C:\\web\\index.htm", "C:\\web\\\xEB\x82\x98.gif",
         PathStyle::Windows, std::nullopt},
        {"posix same folder", "/web/index.htm", "/web/a.png", PathStyle::Posix, "a.png"},
        {"posix sub-folder", "/web/index.htm", "/web/img/a.png", PathStyle::Posix, "img/a.png"},
        {"posix up one folder", "/web/diary/index.htm", "/web/img/cat.gif", PathStyle::Posix,
         "../img/cat.gif"},
        {"posix untitled", "Untitled", "/home/u/cat.gif", PathStyle::Posix, "/home/u/cat.gif"},
        {"posix japanese name", "/web/index.htm", "/web/\xE7\x8C\xAB.gif", PathStyle::Posix,
         kNeko + ".gif"},
        {"posix unwritable name", "/web/index.htm", "/web/\xEB\x82\x98.gif", PathStyle::Posix,
         std::nullopt},
        {"posix bytes that are not UTF-8", "/web/index.htm", "/web/\xFF.gif", PathStyle::Posix,
         std::nullopt},
        {"posix unwritable folder left behind", "/\xEB\x82\x98/index.htm",
         "/\xEB\x82\x98/img/a.gif", PathStyle::Posix, "img/a.gif"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(tagLocation(row.document, row.target, row.style), row.expected) << row.name;
}

// Catches a refusal that does not say which file it refused.
TEST(TagLocation, RefusalNamesTheFile) {
    EXPECT_NE(unwritableNameText("/web/\xEB\x82\x98.gif").find("/web/\xEB\x82\x98.gif"),
              std::string::npos);
}

// Catches a name test that folds case or looks at a part of the name.
TEST(DocumentHasName, ExactComparison) {
    EXPECT_FALSE(documentHasName("Untitled"));
    EXPECT_TRUE(documentHasName("untitled"));
    EXPECT_TRUE(documentHasName("/web/Untitled"));
    EXPECT_TRUE(documentHasName("C:\\a.htm"));
}

struct FamilyRow {
    const char* name;
    std::vector<std::string> installed;
    std::vector<std::string> expected;
};

// Catches foundry-qualified names left in the list (no browser knows
// "Nimbus Roman [urw]"), a family listed once per foundry, the order
// changed, and brackets that are part of a name taken for a foundry.
TEST(PlainFamilyNames, FoundriesDroppedEachFamilyOnce) {
    const FamilyRow rows[] = {
        {"foundries dropped", {"Nimbus Roman [urw]", "C059 [UKWN]"}, {"Nimbus Roman", "C059"}},
        {"one family of two foundries", {"C059 [UKWN]", "Arial", "C059 [urw]"}, {"C059", "Arial"}},
        {"plain and qualified names of one family",
         {"Noto Sans", "Noto Sans [GOOG]"},
         {"Noto Sans"}},
        {"order kept", {"b", "a [x]", "c", "a [y]", "b"}, {"b", "a", "c"}},
        {"japanese family", {"\xE6\x98\x8E\xE6\x9C\x9D [ipa]"}, {"\xE6\x98\x8E\xE6\x9C\x9D"}},
        {"not a foundry",
         {"Font []", "[x]", "Font[x]", "Font [a]b", "Font [a]]"},
         {"Font []", "[x]", "Font[x]", "Font [a]b", "Font [a]]"}},
        {"vertical font's foundry", {"@MS Gothic [ms]"}, {"@MS Gothic"}},
        {"empty", {}, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(plainFamilyNames(row.installed), row.expected) << row.name;
}

struct FontListRow {
    const char* name;
    std::vector<std::string> installed;
    std::vector<std::string> expected;
};

// Catches vertical fonts left in, the first plain name dropped when there
// are none, runs of three equal names only halved, an unsorted list, and
// names the face attribute could not write.
TEST(FontListEntries, AsTheListShowsThem) {
    const FontListRow rows[] = {
        {"vertical fonts removed",
         {"MS Gothic", "@MS Gothic", "Arial", "@MS Mincho"},
         {"Arial", "MS Gothic"}},
        {"first name kept without vertical fonts", {"Courier", "Arial"}, {"Arial", "Courier"}},
        {"runs of three reduced fully",
         {"Noto Sans", "Noto Sans", "Arial", "Noto Sans"},
         {"Arial", "Noto Sans"}},
        {"sorted without regard to case", {"b", "C", "A"}, {"A", "b", "C"}},
        {"japanese names kept",
         {"\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D", "Arial"},
         {"Arial", "\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D"}},
        {"unwritable names left out", {"\xEB\x82\x98\xEB\x88\x94", "Arial"}, {"Arial"}},
        {"families of several foundries listed once by their family",
         {"Nimbus Roman [urw]", "C059 [urw]", "Nimbus Roman [UKWN]", "@C059 [urw]"},
         {"C059", "Nimbus Roman"}},
        {"only vertical fonts", {"@a", "@b"}, {}},
        {"empty", {}, {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(fontListEntries(row.installed), row.expected) << row.name;
}

// Catches a list that depends on the order the platform reports the fonts
// in: dropping the list down twice must give the same list.
TEST(FontListEntries, SameListWhateverTheOrder) {
    const std::vector<std::string> a = {"Z", "@Y", "a", "Z", "B"};
    const std::vector<std::string> b = {"B", "Z", "a", "@Y", "Z"};
    EXPECT_EQ(fontListEntries(a), fontListEntries(b));
}

}  // namespace
}  // namespace korvane
