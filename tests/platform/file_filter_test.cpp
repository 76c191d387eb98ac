#include "platform/file_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane {
namespace {

const char* const kTextFirst =
    "ﾃｷｽﾄﾌｧｲﾙ(*.txt)|*.txt|htmlﾌｧｲﾙ(*.htm;*.html)|*.htm;*.html|全てのﾌｧｲﾙ(*.*)|*.*";
const char* const kPictures =
    "画像ﾌｧｲﾙ(*.jpeg;*.jpg;*.png;*.gif)|*.jpeg;*.jpg;*.png;*.gif|JPEGﾌｧｲﾙ(*.jpeg;*.jpg)|"
    "*.jpeg;*.jpg|PNGﾌｧｲﾙ(*.png)|*.png|GIFﾌｧｲﾙ(*.gif)|*.gif|全てのﾌｧｲﾙ(*.*)|*.*";

struct FilterRow {
    const char* name;
    std::string filter;
    PathStyle style;
    std::vector<std::string> expected;
};

// Catches filters split at the wrong bar or semicolon, "*.*" left to hide
// extensionless files on POSIX (or changed on Windows), and broken lists that
// produce filters matching nothing.
TEST(FileFilter, BecomesQtNameFilters) {
    const FilterRow rows[] = {
        {"text first, POSIX",
         kTextFirst,
         PathStyle::Posix,
         {"ﾃｷｽﾄﾌｧｲﾙ(*.txt) (*.txt)", "htmlﾌｧｲﾙ(*.htm;*.html) (*.htm *.html)",
          "全てのﾌｧｲﾙ(*.*) (*)"}},
        {"text first, Windows",
         kTextFirst,
         PathStyle::Windows,
         {"ﾃｷｽﾄﾌｧｲﾙ(*.txt) (*.txt)", "htmlﾌｧｲﾙ(*.htm;*.html) (*.htm *.html)",
          "全てのﾌｧｲﾙ(*.*) (*.*)"}},
        {"pictures",
         kPictures,
         PathStyle::Posix,
         {"画像ﾌｧｲﾙ(*.jpeg;*.jpg;*.png;*.gif) (*.jpeg *.jpg *.png *.gif)",
          "JPEGﾌｧｲﾙ(*.jpeg;*.jpg) (*.jpeg *.jpg)", "PNGﾌｧｲﾙ(*.png) (*.png)",
          "GIFﾌｧｲﾙ(*.gif) (*.gif)", "全てのﾌｧｲﾙ(*.*) (*)"}},
        {"empty", "", PathStyle::Posix, {}},
        {"description without patterns", "a|*.a|b", PathStyle::Posix, {"a (*.a)"}},
        {"empty pattern list", "a||b|*.b", PathStyle::Posix, {"b (*.b)"}},
        {"blanks and empty patterns", "a| *.a ;;*.b;|", PathStyle::Posix, {"a (*.a *.b)"}},
        {"empty description", "|*.a", PathStyle::Posix, {"(*.a)"}},
        {"only *.* is widened", "a|*.*a;a*.*", PathStyle::Posix, {"a (*.*a a*.*)"}},
    };
    for (const FilterRow& row : rows) {
        EXPECT_EQ(qtNameFilters(parseFileFilter(row.filter, row.style)), row.expected) << row.name;
    }
}

// Catches descriptions trimmed or cut at their own parentheses.
TEST(FileFilter, KeepsDescriptionsAsWritten) {
    const std::vector<FileFilter> filters = parseFileFilter(kTextFirst, PathStyle::Posix);
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[1], (FileFilter{"htmlﾌｧｲﾙ(*.htm;*.html)", {"*.htm", "*.html"}}));
}

struct ExtensionRow {
    const char* name;
    std::string path;
    std::string extension;
    PathStyle style;
    std::string expected;
};

// Catches an extension appended to names that have one (any case), a dot in
// a folder taken for the name's extension, doubled dots, and names that
// cannot be files being "completed".
TEST(DefaultExtension, IsAppendedOnlyToNamesWithout) {
    const PathStyle posix = PathStyle::Posix;
    const PathStyle windows = PathStyle::Windows;
    const ExtensionRow rows[] = {
        {"bare name", "page", "htm", posix, "page.htm"},
        {"in a folder", "/home/u/page", "txt", posix, "/home/u/page.txt"},
        {"dot in a folder", "/home/u/my.site/page", "htm", posix, "/home/u/my.site/page.htm"},
        {"upper-case extension kept", "/w/page.HTML", "htm", posix, "/w/page.HTML"},
        {"other extension kept", "/w/page.txt", "html", posix, "/w/page.txt"},
        {"hidden file has one", "/w/.profile", "txt", posix, "/w/.profile"},
        {"extension given with its dot", "/w/page", ".htm", posix, "/w/page.htm"},
        {"no default extension", "/w/page", "", posix, "/w/page"},
        {"trailing dot asks for none", "/w/page.", "htm", posix, "/w/page"},
        {"trailing dots", "/w/page..", "htm", posix, "/w/page"},
        {"dot in folder, trailing dot", "/w.x/page.", "htm", posix, "/w.x/page"},
        {"folder", "/w/", "htm", posix, "/w/"},
        {"parent folder", "/w/..", "htm", posix, "/w/.."},
        {"empty", "", "htm", posix, ""},
        {"Windows folder with a dot", "C:\\my.web\\page", "htm", windows, "C:\\my.web\\page.htm"},
        {"backslash is a name byte on POSIX", "/w/my.web\\page", "htm", posix, "/w/my.web\\page"},
        {"Japanese name", "/w/ページ", "txt", posix, "/w/ページ.txt"},
    };
    for (const ExtensionRow& row : rows) {
        EXPECT_EQ(withDefaultExtension(row.path, row.extension, row.style), row.expected)
            << row.name;
    }
}

struct SplitRow {
    const char* name;
    std::string path;
    PathStyle style;
    std::string folder;
    std::string file;
};

// Catches a file in the root losing its folder ("" is not "/") and the last
// separator looked for from the wrong end.
TEST(PathParts, SplitAtTheLastSeparator) {
    const SplitRow rows[] = {
        {"nested", "/a/b/c.txt", PathStyle::Posix, "/a/b", "c.txt"},
        {"root", "/c.txt", PathStyle::Posix, "/", "c.txt"},
        {"no folder", "c.txt", PathStyle::Posix, "", "c.txt"},
        {"drive root", "C:\\c.txt", PathStyle::Windows, "C:\\", "c.txt"},
        {"Windows nested", "C:\\a\\c.txt", PathStyle::Windows, "C:\\a", "c.txt"},
    };
    for (const SplitRow& row : rows) {
        EXPECT_EQ(folderOf(row.path, row.style), row.folder) << row.name;
        EXPECT_EQ(fileNameOf(row.path, row.style), row.file) << row.name;
    }
}

}  // namespace
}  // namespace korvane
