#include "convert/to_html.h"

#include "convert/relative_path.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

namespace korvane {
namespace {

const std::string kDoctype =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\""
    "\"http://www.w3.org/TR/REC-html40/loose.dtd\">\r\n";
const std::string kHeadStart =
    "<HTML lang=\"ja\">\r\n<HEAD>\r\n"
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset= Shift_JIS\">\r\n";
const std::string kBodyText = "a<b\r\n\tc";
const std::string kBodyHtml =
    "a&lt;b<BR>\r\n\x81\x40\x81\x40"
    "c";

// The first worked example, byte for byte: catches any missing or extra CR LF,
// a blank between the two quoted identifiers, or a CR LF after </HTML>.
TEST(ToHtml, WorkedExampleByteForByte) {
    const std::string want = kDoctype + kHeadStart + "<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n" +
                             kBodyHtml + "\r\n</BODY>\r\n</HTML>";
    EXPECT_EQ(ToHtml(kBodyText, "T", PageSettings{}, 1), want);
}

// The second worked example: detail values, colours and a background, in the
// order of the head and of the BODY attributes.
TEST(ToHtml, DetailColoursAndBackground) {
    PageSettings s;
    s.DetailOn = true;
    s.Author = "A";
    s.Keywords = "k1,k2";
    s.HeadText = "<BASE target=_top>";
    s.ColorCheck = 17;
    s.setBackPicture("C:\\p\\b.gif");
    const std::string want =
        kDoctype + kHeadStart +
        "<TITLE>T</TITLE>\r\n<META name=\"author\" content=\"A\">\r\n"
        "<META name=\"keywords\" content=\"k1,k2\">\r\n<BASE target=_top>\r\n</HEAD>\r\n"
        "<BODY background=\"C:\\p\\b.gif\" bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n" +
        kBodyHtml + "\r\n</BODY>\r\n</HTML>";
    const std::string page = ToHtml(kBodyText, "T", s, 1);
    EXPECT_EQ(page, want);

    std::string saved = page;
    replaceFirstOccurrence(saved, s.BackPicture,
                           RelativePath("C:\\p\\x\\page.htm", s.BackPicture, PathStyle::Windows));
    EXPECT_NE(saved.find("<BODY background=\"..\\b.gif\" bgcolor"), std::string::npos);
}

std::string bodyTagOf(const std::string& page) {
    const auto at = page.find("<BODY");
    return page.substr(at, page.find("\r\n", at) - at);
}

// Catches attributes written in the order the switches were set, a blank
// before ">", or a colour written without its switch.
TEST(ToHtml, BodyTagAttributes) {
    struct Row {
        const char* name;
        std::int32_t check;
        bool picture;
        const char* want;
    };
    const Row rows[] = {
        {"nothing on", 0, false, "<BODY>"},
        {"active link only", 8, false, "<BODY alink=\"#0000FF\">"},
        {"picture only", 0, true, "<BODY background=\"/p/b.gif\">"},
        {"all five colours", 31, false,
         "<BODY bgcolor=\"#FFFFFF\" text=\"#000000\" link=\"#0000FF\" vlink=\"#800080\" "
         "alink=\"#0000FF\">"},
        {"undefined bits are ignored", 32 | 64 | 2, false, "<BODY link=\"#0000FF\">"},
        {"everything", 31, true,
         "<BODY background=\"/p/b.gif\" bgcolor=\"#FFFFFF\" text=\"#000000\" link=\"#0000FF\" "
         "vlink=\"#800080\" alink=\"#0000FF\">"},
    };
    for (const auto& row : rows) {
        PageSettings s;
        s.ColorCheck = row.check;
        if (row.picture)
            s.setBackPicture("/p/b.gif");
        EXPECT_EQ(bodyTagOf(ToHtml("x", "", s, 1)), row.want) << row.name;
    }
}

// Catches changed colours whose text forms were not recomputed.
TEST(ToHtml, UsesTheTextFormsOfChangedColours) {
    PageSettings s;
    s.setColors(0x0080FF, 0x00000A, 0xFF0000, 0x800080, 0x0000FF);
    s.ColorCheck = 16 | 1 | 8;
    EXPECT_EQ(bodyTagOf(ToHtml("", "", s, 1)),
              "<BODY bgcolor=\"#FF8000\" text=\"#0A0000\" alink=\"#FF0000\">");
}

// The head lines: which appear, in which order, and that typed values are
// written unescaped.
TEST(ToHtml, HeadLines) {
    struct Row {
        const char* name;
        bool detailOn;
        const char* author;
        const char* description;
        const char* keywords;
        const char* head;
        const char* title;
        std::string wantBetween;  // between the META line and </HEAD>
    };
    const Row rows[] = {
        {"no title, detail off", false, "A", "D", "K", "H", "", ""},
        {"title with markup is not escaped", false, "", "", "", "", "a<b&c",
         "<TITLE>a<b&c</TITLE>\r\n"},
        {"detail off hides every value", false, "A", "D", "K", "H", "T", "<TITLE>T</TITLE>\r\n"},
        {"all values, in order", true, "A", "D", "K", "<X>\r\n<Y>", "",
         "<META name=\"author\" content=\"A\">\r\n<META name=\"description\" content=\"D\">\r\n"
         "<META name=\"keywords\" content=\"K\">\r\n<X>\r\n<Y>\r\n"},
        {"a quote in the author stays", true, "\"q\"", "", "", "", "",
         "<META name=\"author\" content=\"\"q\"\">\r\n"},
        {"empty values are left out", true, "", "D", "", "", "",
         "<META name=\"description\" content=\"D\">\r\n"},
    };
    for (const auto& row : rows) {
        PageSettings s;
        s.DetailOn = row.detailOn;
        s.Author = row.author;
        s.Description = row.description;
        s.Keywords = row.keywords;
        s.HeadText = row.head;
        const std::string page = ToHtml("", row.title, s, 1);
        const std::string start = kDoctype + kHeadStart;
        ASSERT_EQ(page.substr(0, start.size()), start) << row.name;
        const auto end = page.find("</HEAD>\r\n");
        EXPECT_EQ(page.substr(start.size(), end - start.size()), row.wantBetween) << row.name;
    }
}

std::string bodyOf(const std::string& page) {
    const auto at = page.find("<BODY>\r\n") + 8;
    return page.substr(at, page.size() - at - std::string("\r\n</BODY>\r\n</HTML>").size());
}

// The body conversion: escapes, tab widths, and that only CR LF pairs break lines.
TEST(ToHtml, BodyConversion) {
    const std::string fw = "\x81\x40";
    struct Row {
        const char* name;
        std::string body;
        int tab;
        std::string want;
    };
    const Row rows[] = {
        {"empty body gives an empty line", "", 1, ""},
        {"trailing line break leaves an empty line", "a\r\n", 1, "a<BR>\r\n"},
        {"tab option 0", "\t", 0, fw},
        {"tab option 1", "\t", 1, fw + fw},
        {"tab option 2", "\t", 2, fw + fw + fw + fw},
        {"three tabs at option 3 are 24 full-width spaces", "\t\t\t", 3,
         [&] {
             std::string s;
             for (int i = 0; i < 24; ++i)
                 s += fw;
             return s;
         }()},
        {"unknown option gives 8", "\t", 7,
         [&] {
             std::string s;
             for (int i = 0; i < 8; ++i)
                 s += fw;
             return s;
         }()},
        {"lone CR and lone LF stay", "a\rb\nc", 1, "a\rb\nc"},
        {"CR CR LF", "a\r\r\nb", 1, "a\r<BR>\r\nb"},
        {"blanks are kept", "  a  b  ", 1, "  a  b  "},
        {"escapes", "&<>\"'", 1, "&amp;&lt;&gt;&quot;'"},
        {"double-byte characters with 0x5C trail", "\x95\x5C\x83\x5C", 1, "\x95\x5C\x83\x5C"},
        {"long run crossing the 16-byte scan blocks",
         std::string(37, 'x') + "<" + std::string(20, 'y') + "\r\n", 1,
         std::string(37, 'x') + "&lt;" + std::string(20, 'y') + "<BR>\r\n"},
        {"special byte as the very last byte", std::string(31, 'x') + "\r", 1,
         std::string(31, 'x') + "\r"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(bodyOf(ToHtml(row.body, "", PageSettings{}, row.tab)), row.want) << row.name;
    }
}

// Pages in other encodings: catches a META that says Shift_JIS over UTF-8
// or EUC-JP bytes (the whole page mojibake), Shift_JIS full-width spaces in
// them, head values and the background written in Shift_JIS into them, and
// a UTF-8 tab too wide for the quick path lost or cut.
TEST(ToHtml, PagesInOtherEncodingsAreThatEncodingThroughout) {
    PageSettings s;
    s.DetailOn = true;
    s.Author = "\x93\xfa\x96\x7b";        // 日本 in Shift_JIS, as the settings file keeps it
    s.setBackPicture("/p/\x89\xe6.gif");  // 画
    const struct {
        const char* name;
        const TextCodec& codec;
        std::string title;
        std::string meta;
        std::string author;
        std::string picture;
        std::string space;
    } rows[] = {
        {"UTF-8", utf8Codec(), "\xe9\xa1\x8c", "charset=UTF-8\"", "\xe6\x97\xa5\xe6\x9c\xac",
         "/p/\xe7\x94\xbb.gif", "\xe3\x80\x80"},
        {"EUC-JP", eucJpCodec(), "\xc2\xea", "charset=EUC-JP\"", "\xc6\xfc\xcb\xdc",
         "/p/\xb2\xe8.gif", "\xa1\xa1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const int tab : {1, 3}) {
            const std::string body = std::string("a\t") + "b\r\n" + std::string(200, '\t') + "c";
            const std::string page = ToHtml(body, row.title, s, tab, row.codec);
            EXPECT_NE(page.find(row.meta), std::string::npos);
            EXPECT_EQ(page.find("Shift_JIS"), std::string::npos);
            EXPECT_NE(page.find("<TITLE>" + row.title + "</TITLE>"), std::string::npos);
            EXPECT_NE(page.find("content=\"" + row.author + "\""), std::string::npos);
            EXPECT_NE(page.find("background=\"" + row.picture + "\""), std::string::npos);
            std::string tabs;
            for (int k = 0; k < 201 * tabWidthForOption(tab); ++k)
                tabs += row.space;
            std::string want =
                "a" + tabs.substr(0, row.space.size() * tabWidthForOption(tab)) + "b<BR>\r\n" +
                tabs.substr(0, row.space.size() * tabWidthForOption(tab) * 200) + "c";
            const std::size_t start = page.find(">\r\n", page.find("<BODY")) + 3;
            const std::size_t end = page.rfind("\r\n</BODY>");
            EXPECT_TRUE(page.compare(start, end - start, want) == 0) << tab;
        }
    }
    // The Shift_JIS codec gives exactly the page of the Parts.
    EXPECT_EQ(ToHtml("a\tb", "T", s, 1, shiftJisCodec()), ToHtml("a\tb", "T", s, 1));
}

// The body conversion byte by byte, the literal way, against the block-wise
// one on random bodies dense with special bytes: catches a run or a
// replacement misplaced where a special byte meets a block boundary (a CR at
// the end of a block, its LF at the start of the next, the last bytes that
// the blocks leave over).
TEST(ToHtml, BodyMatchesTheByteByByteConversion) {
    const std::string pieces[] = {
        "&", "<", ">", "\"", "\t", "\r", "\n", "\r\n", "x", "\x81\x40", std::string(13, 'y')};
    std::mt19937 rng(2718);
    for (int round = 0; round < 3000; ++round) {
        std::string body;
        const std::size_t size = rng() % 300;
        while (body.size() < size)
            body += pieces[rng() % std::size(pieces)];
        const int tab = static_cast<int>(rng() % 5);
        std::string want;
        for (std::size_t i = 0; i < body.size(); ++i) {
            switch (body[i]) {
                case '&':
                    want += "&amp;";
                    break;
                case '<':
                    want += "&lt;";
                    break;
                case '>':
                    want += "&gt;";
                    break;
                case '"':
                    want += "&quot;";
                    break;
                case '\t':
                    for (int k = 0; k < tabWidthForOption(tab); ++k)
                        want += "\x81\x40";
                    break;
                case '\r':
                    want += i + 1 < body.size() && body[i + 1] == '\n' ? "<BR>\r" : "\r";
                    break;
                default:
                    want += body[i];
            }
        }
        std::string got = "head";
        appendHtmlBody(got, body, tab);
        ASSERT_EQ(got, "head" + want) << "round " << round;
    }
}

// Convert-and-save replaces the first occurrence only, which may be in the
// title; it must never match inside a double-byte character.
TEST(ReplaceFirstOccurrence, RewritesTheFirstMatch) {
    struct Row {
        const char* name;
        std::string doc;
        std::string picture;
        std::string want;
    };
    const Row rows[] = {
        {"empty picture changes nothing", "abc", "", "abc"},
        {"first of two", "<T>/p/b.gif</T><BODY background=\"/p/b.gif\">", "/p/b.gif",
         "<T>b.gif</T><BODY background=\"/p/b.gif\">"},
        {"not found", "abc", "/x", "abc"},
        {"case-sensitive", "C:\\P\\B.GIF C:\\p\\b.gif", "C:\\p\\b.gif", "C:\\P\\B.GIF b.gif"},
        // 0x83 0x43 is a double-byte character; its trail byte "C" is no match.
        {"no match inside a double-byte character",
         "\x83"
         "C:\\p C:\\p",
         "C:\\p",
         "\x83"
         "C:\\p b.gif"},
    };
    for (const auto& row : rows) {
        std::string doc = row.doc;
        replaceFirstOccurrence(doc, row.picture, "b.gif");
        EXPECT_EQ(doc, row.want) << row.name;
    }
}

}  // namespace
}  // namespace korvane
