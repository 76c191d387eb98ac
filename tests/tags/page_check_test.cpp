// The page check over made-up folders and the real disk: each kind of
// finding on a page that has it and one that does not.
#include "tags/page_check.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/fake_page_files.h"
#include "tests/support/jpeg_files.h"
#include "tests/support/recording_progress.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

using test::FakePageFiles;

std::string png(unsigned width, unsigned height) {
    std::string bytes = std::string("\x89PNG\r\n\x1A\n", 8) + std::string("\0\0\0\x0D", 4) + "IHDR";
    for (unsigned value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>((value >> shift) & 0xFF);
    }
    return bytes + std::string("\x08\x02\0\0\0", 5);
}

std::string gif(unsigned width, unsigned height) {
    std::string bytes = "GIF89a";
    for (unsigned value : {width, height}) {
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    }
    return bytes + std::string("\xF7\0\0", 3);
}

// The site every row checks a page of. The page itself is /site/index.htm
// unless a row says otherwise.
std::map<std::string, std::string> site() {
    return {
        {"/site/index.htm", "<HTML></HTML>"},
        {"/site/other.htm", "<A name=\"there\">x</A><P id=\"also\"><!-- <A name=\"hidden\"> -->"},
        {"/site/utf8.htm",
         "<META charset=\"UTF-8\"><A name=\"\xE6\x97\xA5\xE6\x9C\xAC\">\xE6\x97\xA5</A>"},
        {"/site/sub/page.htm", "<P>"},
        {"/site/my page.htm", ""},
        {"/site/\xE6\x97\xA5\xE8\xA8\x98.htm", ""},  // 日記.htm
        {"/site/img/photo.jpg", test::makeJpeg(test::JpegKind::Baseline, 120, 80)},
        {"/site/img/logo.png", png(32, 16)},
        {"/site/img/anim.gif", gif(10, 20)},
        {"/home/user/x.gif", gif(1, 1)},
    };
}

// Each finding as "line:column kind".
std::vector<std::string> summary(const PageCheckResult& result) {
    std::vector<std::string> lines;
    for (const Finding& f : result.findings)
        lines.push_back(std::to_string(f.line) + ":" + std::to_string(f.column) + " " +
                        std::string(kindName(f.kind)));
    return lines;
}

struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> expected;
    const char* page = "/site/index.htm";
    TextEncoding encoding = TextEncoding::ShiftJis;
};

void checkRows(const std::vector<Row>& rows, bool ignoresCase = false) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FakePageFiles files(site(), ignoresCase);
        PageCheckInput input;
        input.text = row.text;
        input.encoding = row.encoding;
        input.pagePath = row.page;
        const PageCheckResult result = checkPage(input, files);
        EXPECT_TRUE(result.complete);
        EXPECT_EQ(summary(result), row.expected);
    }
}

// Catches a relative location resolved from the wrong folder, "./", "../",
// a sub-folder, percent-encoding or a query taken as part of the name, and
// a missing file that goes unreported.
TEST(PageCheck, RelativeFiles) {
    checkRows({
        {"files beside the page",
         "<IMG src=\"img/photo.jpg\" alt=\"\"><A href=\"other.htm\">x</A>"
         "<A href=\"./sub/page.htm\">x</A><A href=\"sub/../other.htm\">x</A><A href=\"img/\">x</A>",
         {}},
        {"a missing file", "<A href=\"nothere.htm\">x</A>", {"1:10 missing-file"}},
        {"a missing picture and background",
         "<BODY background=\"back.gif\">\r\n<IMG src=\"img/none.gif\" alt=\"\">",
         {"1:19 missing-file", "2:11 missing-file"}},
        {"up a folder", "<IMG src=\"../img/photo.jpg\" alt=\"\">", {}, "/site/sub/page.htm"},
        {"up a folder, missing",
         "<IMG src=\"../img/nope.jpg\" alt=\"\">",
         {"1:11 missing-file"},
         "/site/sub/page.htm"},
        {"percent-encoded names",
         "<A href=\"my%20page.htm\">x</A><A href=\"%E6%97%A5%E8%A8%98.htm\">x</A>",
         {}},
        {"percent-encoded, missing", "<A href=\"my%20pages.htm\">x</A>", {"1:10 missing-file"}},
        {"query and fragment",
         "<A href=\"other.htm?x=1&amp;y=2\">x</A><A href=\"sub/page.htm?q#\">x</A>",
         {}},
        {"a name in the page's encoding", "<A href=\"\x93\xfa\x8b\x4c.htm\">x</A>", {}},
        {"a backslash as browsers read it", "<A href=\"sub\\page.htm\">x</A>", {}},
        {"schemes are not fetched",
         "<A href=\"http://example.com/x.htm\">x</A><A href=\"mailto:a@example.com\">x</A>"
         "<SCRIPT src=\"//cdn.example.com/x.js\"></SCRIPT><A href=\"javascript:void(0)\">x</A>",
         {}},
        {"a path from the site's root", "<IMG src=\"/images/a.gif\" alt=\"\">", {}},
    });
}

// Catches a name that exists only in another letter case passing (on a
// disk that ignores case too), in the file's name or a folder's.
TEST(PageCheck, NamesInAnotherCase) {
    for (const bool ignoresCase : {false, true}) {
        SCOPED_TRACE(ignoresCase ? "disk ignores case" : "case-sensitive disk");
        checkRows(
            {
                {"the exact name", "<IMG src=\"img/photo.jpg\" alt=\"\">", {}},
                {"the file in another case",
                 "<IMG src=\"img/Photo.JPG\" alt=\"\">",
                 {"1:11 case-mismatch"}},
                {"a folder in another case",
                 "<A href=\"Sub/page.htm\">x</A>",
                 {"1:10 case-mismatch"}},
                {"a link in another case",
                 "<A href=\"Other.htm#there\">x</A>",
                 {"1:10 case-mismatch"}},
            },
            ignoresCase);
    }
    const FakePageFiles files(site());
    PageCheckInput input;
    const std::string text = "<IMG src=\"IMG/Photo.jpg\" alt=\"\">";
    input.text = text;
    input.pagePath = "/site/index.htm";
    const PageCheckResult result = checkPage(input, files);
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_EQ(result.findings[0].message,
              "「IMG/Photo.jpg」は大文字と小文字が違います（実際は「img/photo.jpg」）。"
              "Windowsでは開けますが、多くのサーバーでは開けません");
}

// Catches a location on this computer passing, and a location from the
// site's root or with a scheme taken for one.
TEST(PageCheck, LocationsOnThisComputer) {
    checkRows({
        {"a drive", "<IMG src=\"C:\\pics\\a.gif\" alt=\"\">", {"1:11 local-path"}},
        {"a drive with slashes", "<A href=\"d:/site/a.htm\">x</A>", {"1:10 local-path"}},
        {"a file URL", "<A href=\"file:///home/user/x.htm\">x</A>", {"1:10 local-path"}},
        {"a home folder", "<IMG src=\"/home/user/x.gif\" alt=\"\">", {"1:11 local-path"}},
        {"a share", "<A href=\"\\\\server\\share\\a.htm\">x</A>", {"1:10 local-path"}},
        {"the site's root", "<A href=\"/site2/x.htm\">x</A><A href=\"/\">x</A>", {}},
        {"relative and remote",
         "<A href=\"other.htm\">x</A><A href=\"https://example.com/\">x</A>",
         {}},
    });
}

// Catches a link to a name the page does not give, names given twice, a
// name the page gives after the link, and NAME and ID of one tag taken for
// two names.
TEST(PageCheck, NamesInThePage) {
    checkRows({
        {"a name given later", "<A href=\"#top\">up</A>\r\n<A name=\"top\"></A>", {}},
        {"a missing name", "<A href=\"#top\">up</A>", {"1:10 missing-anchor"}},
        {"an id", "<P id=\"x\"><A href=\"#x\">x</A>", {}},
        {"the top of the page", "<A href=\"#\">x</A>", {}},
        {"a name given twice",
         "<A name=\"a\"></A>\r\n<H2 id=\"a\"></H2>",
         {"2:9 duplicate-anchor"}},
        {"name and id of one tag", "<A name=\"a\" id=\"a\"></A><A href=\"#a\">x</A>", {}},
        {"a heading's id and the name inside it", "<H2 id=\"a\"> <A name=\"a\">t</A></H2>", {}},
        {"the same name further in",
         "<H2 id=\"a\">t<A name=\"a\">t</A></H2>",
         {"1:22 duplicate-anchor"}},
        {"META's name is no anchor",
         "<META name=\"k\"><A href=\"#k\">x</A>",
         {"1:25 missing-anchor"}},
        {"a link to the page itself",
         "<A name=\"self\"></A><A href=\"index.htm#self\">x</A><A href=\"index.htm#nope\">x</A>",
         {"1:59 missing-anchor"}},
    });
    const FakePageFiles files(site());
    PageCheckInput input;
    const std::string text = "<A name=\"a\"></A>\r\n\r\n<A name=\"a\"></A>";
    input.text = text;
    input.pagePath = "/site/index.htm";
    const PageCheckResult result = checkPage(input, files);
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_EQ(result.findings[0].message, "名前「a」は 1 行目でも使われています");
}

// Catches a link to a name in another page that it does not give, and a
// name it gives in another encoding or inside a comment misjudged.
TEST(PageCheck, NamesInOtherPages) {
    checkRows({
        {"a name", "<A href=\"other.htm#there\">x</A><A href=\"other.htm#also\">x</A>", {}},
        {"a missing name", "<A href=\"other.htm#gone\">x</A>", {"1:10 missing-anchor"}},
        {"a name in a comment", "<A href=\"other.htm#hidden\">x</A>", {"1:10 missing-anchor"}},
        {"a UTF-8 page from a Shift_JIS one", "<A href=\"utf8.htm#\x93\xfa\x96\x7b\">x</A>", {}},
        {"the same name percent-encoded", "<A href=\"utf8.htm#%E6%97%A5%E6%9C%AC\">x</A>", {}},
        {"a longer name",
         "<A href=\"utf8.htm#\x93\xfa\x96\x7b\x8c\xea\">x</A>",
         {"1:10 missing-anchor"}},
        {"a page that is not there", "<A href=\"gone.htm#x\">x</A>", {"1:10 missing-file"}},
    });
    // Every link to one page reads it once.
    const FakePageFiles files(site());
    PageCheckInput input;
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "<A href=\"other.htm#there\">x</A>";
    input.text = text;
    input.pagePath = "/site/index.htm";
    EXPECT_TRUE(checkPage(input, files).findings.empty());
    EXPECT_EQ(files.opened["/site/other.htm"], 1);
}

// Catches a picture without ALT passing, ALT="" taken for none, and a
// WIDTH or HEIGHT that is not the picture's passing (JPEG, PNG, GIF).
TEST(PageCheck, Pictures) {
    checkRows({
        {"alt given",
         "<IMG src=\"img/photo.jpg\" alt=\"\"><IMAGE src=\"img/logo.png\" alt=\"logo\">",
         {}},
        {"no alt",
         "<IMG src=\"img/photo.jpg\">\r\n<IMAGE src=\"img/logo.png\">",
         {"1:1 missing-alt", "2:1 missing-alt"}},
        {"the picture's own size",
         "<IMG src=\"img/photo.jpg\" alt=\"\" width=\"120\" height=\"80\">"
         "<IMG src=\"img/logo.png\" alt=\"\" width=32 height=16>"
         "<IMG src=\"img/anim.gif\" alt=\"\" height=\"20\">",
         {}},
        {"a JPEG's other size",
         "<IMG src=\"img/photo.jpg\" alt=\"\" width=\"100\" height=\"80\">",
         {"1:1 size-mismatch"}},
        {"a PNG's other size",
         "<IMG src=\"img/logo.png\" alt=\"\" width=32 height=17>",
         {"1:1 size-mismatch"}},
        {"a GIF's other size",
         "<IMG src=\"img/anim.gif\" alt=\"\" width=\"20\">",
         {"1:1 size-mismatch"}},
        {"a share of the page", "<IMG src=\"img/anim.gif\" alt=\"\" width=\"50%\">", {}},
    });
    const FakePageFiles files(site());
    PageCheckInput input;
    const std::string text = "<IMG src=\"img/photo.jpg\" alt=\"\" width=\"100\" height=\"80\">";
    input.text = text;
    input.pagePath = "/site/index.htm";
    const PageCheckResult result = checkPage(input, files);
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_EQ(result.findings[0].message,
              "width=\"100\" height=\"80\" ですが、画像の実際の大きさは 120×80 です");
}

// Catches each rule of tags left open: inline tags at the end of their
// block or the page, end tags without a start, crossed pairs, the blocks
// whose end tag may be left out, and comments, scripts and styles looked
// into.
TEST(PageCheck, TagsLeftOpen) {
    checkRows({
        {"closed pairs", "<B>a</B><I><U>b</U></I><FONT color=red>c</FONT><A href=\"#\">d</A>", {}},
        {"left open at the end of the page", "<B>a\r\n<H1>b</H1>", {"1:1 unclosed-tag"}},
        {"left open at the end of a block", "<P><B>a<P>b", {"1:4 unclosed-tag"}},
        {"left open in a heading", "<H1><FONT size=7>a</H1>", {"1:5 unclosed-tag"}},
        {"an end tag with no start", "a</B>\r\n</P>", {"1:2 stray-end-tag", "2:1 stray-end-tag"}},
        {"a crossed pair", "<B><I>a</B></I>", {"1:8 misnested-tags"}},
        {"a block inside an inline pair", "<B><CENTER>a</B></CENTER>", {"1:13 misnested-tags"}},
        {"a paragraph ends with the font", "<FONT size=2><P>a</FONT><P>b</P>", {}},
        {"a block left open in a block", "<CENTER><TABLE><TR><TD>a</CENTER>", {"1:9 unclosed-tag"}},
        {"list items end each other", "<UL><LI><B>a<LI>b</UL>", {"1:9 unclosed-tag"}},
        {"cells end each other", "<TABLE><TR><TD>a<TD>b<TR><TH>c</TABLE>", {}},
        {"a heading that needs its end tag", "<H2>a", {"1:1 unclosed-tag"}},
        {"inside a comment", "<!-- <B> </I> -- > -->", {}},
        {"inside a script", "<SCRIPT>if (a<b) document.write(\"<B>\")</script>", {}},
        {"inside a style", "<STYLE><!-- B{color:red} --></STYLE><I>", {"1:37 unclosed-tag"}},
        {"a closed empty tag", "<A name=\"x\"/>", {}},
        {"untracked tags", "<DIV><SPAN>a</DIV><BR>", {}},
    });
}

// Catches a META charset that is not the document's passing, a known name
// in another spelling taken for another charset, and a character the
// declared charset cannot hold (or a byte the document's cannot read)
// passing; a page without a declaration has nothing to disagree with.
TEST(PageCheck, Charset) {
    const std::string meta = "<META http-equiv=\"Content-Type\" content=\"text/html; charset=";
    checkRows({
        {"Shift_JIS as declared", meta + "Shift_JIS\">\r\n\x93\xfa", {}},
        {"another name of it", meta + "x-sjis\">", {}},
        {"EUC-JP declared", meta + "EUC-JP\">", {"1:61 charset-mismatch"}},
        {"a charset the program does not know",
         "<META charset=\"koi8-r\">",
         {"1:16 charset-mismatch"}},
        {"UTF-8 as declared",
         "<META charset=\"utf-8\">\r\n\xC3\xA9",
         {},
         "/site/index.htm",
         TextEncoding::Utf8},
        {"Shift_JIS declared in UTF-8",
         "<META charset=\"Shift_JIS\">\r\na\xC3\xA9\xE6\x97\xA5\xC3\xA9",
         {"1:16 charset-mismatch", "2:2 charset-cannot-hold"},
         "/site/index.htm",
         TextEncoding::Utf8},
        {"a byte UTF-8 cannot read",
         "<META charset=\"UTF-8\">\r\nab\xFF",
         {"2:3 charset-cannot-hold"},
         "/site/index.htm",
         TextEncoding::Utf8},
        {"no declaration", "\xC3\xA9", {}, "/site/index.htm", TextEncoding::Utf8},
    });
    const FakePageFiles files(site());
    PageCheckInput input;
    const std::string text = "<META charset=\"Shift_JIS\">a\xC3\xA9\xC3\xA9";
    input.text = text;
    input.encoding = TextEncoding::Utf8;
    input.pagePath = "/site/index.htm";
    const PageCheckResult result = checkPage(input, files);
    ASSERT_EQ(result.findings.size(), 2u);
    EXPECT_EQ(result.findings[0].message,
              "META の charset 「Shift_JIS」は、この文書の文字コード UTF-8 と違います");
    EXPECT_EQ(result.findings[1].message,
              "「é」（U+00E9）は charset Shift_JIS では書けません（ほか 1 か所）");
}

// Catches a page not saved yet reporting each relative location (or none),
// and the checks that need no folder left out.
TEST(PageCheck, PageNotSavedYet) {
    checkRows({
        {"relative locations wait for a save",
         "<IMG src=\"a.gif\" alt=\"\">\r\n<A href=\"b.htm\">x</A><A href=\"c.htm#x\">x</A>",
         {"1:11 not-saved"},
         ""},
        {"what needs no folder",
         "<A href=\"#x\">x</A><IMG src=\"C:\\a.gif\">",
         {"1:10 missing-anchor", "1:19 missing-alt", "1:29 local-path"},
         ""},
        {"nothing relative", "<A href=\"http://example.com/\">x</A>", {}, ""},
    });
}

// Catches locations resolved against the page's folder when a BASE tag
// sends them to the server.
TEST(PageCheck, BaseSendsRelativeLocationsElsewhere) {
    checkRows({
        {"with BASE", "<BASE href=\"http://example.com/\"><A href=\"nothere.htm\">x</A>", {}},
        {"without", "<A href=\"nothere.htm\">x</A>", {"1:10 missing-file"}},
    });
}

// Catches the background picture that a conversion wrote as a full path
// (and every save writes relative) reported as a location on this
// computer, and a missing one passing.
TEST(PageCheck, BackgroundHeldAsAFullPath) {
    struct BackgroundRow {
        const char* name;
        std::string held;
        std::vector<std::string> expected;
    };
    const std::string text = "<BODY background=\"/home/user/x.gif\">";
    const BackgroundRow rows[] = {
        {"the held picture", "/home/user/x.gif", {}},
        {"another picture", "/home/user/y.gif", {"1:19 local-path"}},
    };
    for (const BackgroundRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (const char* page : {"/site/index.htm", ""}) {
            const FakePageFiles files(site());
            PageCheckInput input;
            input.text = text;
            input.pagePath = page;
            input.heldBackground = row.held;
            EXPECT_EQ(summary(checkPage(input, files)), row.expected);
        }
    }
    const FakePageFiles files(site());
    PageCheckInput input;
    const std::string missing = "<BODY background=\"/home/user/gone.gif\">";
    input.text = missing;
    input.pagePath = "/site/index.htm";
    input.heldBackground = "/home/user/gone.gif";
    EXPECT_EQ(summary(checkPage(input, files)), std::vector<std::string>{"1:19 missing-file"});
}

// Catches columns counted in bytes instead of characters, and CR LF, CR or
// LF alone miscounted as line breaks.
TEST(PageCheck, LinesAndColumns) {
    checkRows({
        {"double-byte characters", "\x82\xa0\x82\xa2<B>", {"1:3 unclosed-tag"}},
        {"CR LF", "a\r\nb\r\n\x82\xa0</B>", {"3:2 stray-end-tag"}},
        {"LF alone", "a\nb\n</B>", {"3:1 stray-end-tag"}},
        {"CR alone", "a\rb\r\r</B>", {"4:1 stray-end-tag"}},
        {"UTF-8",
         "\xE6\x97\xA5\xE6\x9C\xAC</B>",
         {"1:3 stray-end-tag"},
         "/site/index.htm",
         TextEncoding::Utf8},
        {"in order of place",
         "</I><B>\r\n</U>",
         {"1:1 stray-end-tag", "1:5 unclosed-tag", "2:1 stray-end-tag"}},
    });
}

// Catches a check that does not report its progress or goes on after being
// asked to stop (and then reports tags left open that it never reached).
TEST(PageCheck, ProgressAndStop) {
    std::string text = "<B>";
    while (text.size() < 3 * kPageCheckReportBytes)
        text += "<A href=\"#\">x</A>\r\n";
    const FakePageFiles files(site());
    PageCheckInput input;
    input.text = text;
    input.pagePath = "/site/index.htm";

    test::RecordingProgressDisplay display;
    std::unique_ptr<Progress> progress = display.start("x", true);
    const PageCheckResult whole = checkPage(input, files, progress.get());
    EXPECT_TRUE(whole.complete);
    EXPECT_EQ(summary(whole), std::vector<std::string>{"1:1 unclosed-tag"});
    EXPECT_GE(display.works[0].reports.size(), 2u);

    display.stop = true;
    const PageCheckResult stopped = checkPage(input, files, progress.get());
    EXPECT_FALSE(stopped.complete);
    EXPECT_TRUE(stopped.findings.empty());
}

// The real disk: a name in another case, a missing file, a picture's size,
// and a pipe in place of a page that must not be waited for.
TEST(PageCheck, OnTheDisk) {
    const test::TempDir dir;
    std::filesystem::create_directories(dir.file("Img"));
    test::writeFile(dir.file("Img/Photo.jpg"), test::makeJpeg(test::JpegKind::Baseline, 40, 30));
    test::writeFile(dir.file("other.htm"), "<A name=\"x\"></A>");
    ASSERT_EQ(::mkfifo(dir.file("pipe.htm").c_str(), 0600), 0);
    const std::string text =
        "<IMG src=\"Img/Photo.jpg\" alt=\"\" width=\"40\" height=\"30\">\r\n"
        "<IMG src=\"img/photo.jpg\" alt=\"\" width=\"41\">\r\n"
        "<A href=\"other.htm#x\">x</A><A href=\"other.htm#y\">x</A><A href=\"gone.htm\">x</A>\r\n"
        "<A href=\"pipe.htm#x\">x</A>";
    PageCheckInput input;
    input.text = text;
    input.pagePath = dir.file("page.htm");
    const DiskPageFiles disk;
    const PageCheckResult result = checkPage(input, disk);
    EXPECT_EQ(summary(result),
              (std::vector<std::string>{"2:1 size-mismatch", "2:11 case-mismatch",
                                        "3:37 missing-anchor", "3:64 missing-file"}));
}

}  // namespace
}  // namespace korvane
