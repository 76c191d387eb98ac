#include "convert/relative_path.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct PathRow {
    const char* name;
    const char* base;
    const char* target;
    const char* relative;
    const char* location;
};

// The worked examples and the edges around drive prefixes, shared folders and
// double-byte names whose second byte is a backslash.
TEST(RelativePath, WindowsStyle) {
    const PathRow rows[] = {
        {"up one folder", "C:\\web\\diary\\index.htm", "C:\\web\\img\\cat.gif", "..\\img\\cat.gif",
         "../img/cat.gif"},
        {"down one folder", "C:\\web\\index.htm", "C:\\web\\img\\a.png", "img\\a.png", "img/a.png"},
        {"same folder", "C:\\web\\index.htm", "C:\\web\\a.png", "a.png", "a.png"},
        {"case-insensitive drive and folders", "C:\\web\\sub\\index.htm", "c:\\WEB\\a.png",
         "..\\a.png", "../a.png"},
        {"other drive keeps the full name", "C:\\web\\index.htm", "D:\\pics\\cat.gif",
         "D:\\pics\\cat.gif", "D:/pics/cat.gif"},
        {"unnamed document keeps the full name", "Untitled", "C:\\web\\img\\cat.gif",
         "C:\\web\\img\\cat.gif", "C:/web/img/cat.gif"},
        {"spelling of the target's folders is kept", "C:\\a\\x.htm", "C:\\a\\IMG\\b.gif",
         "IMG\\b.gif", "IMG/b.gif"},
        {"empty pieces are ignored", "C:\\web\\\\x.htm", "C:\\web\\img\\\\a.png", "img\\a.png",
         "img/a.png"},
        {"shared folder on the same share", "\\\\srv\\share\\web\\x.htm",
         "\\\\srv\\share\\img\\a.gif", "..\\img\\a.gif", "../img/a.gif"},
        {"shared folder on another share", "\\\\srv\\share\\x.htm", "\\\\srv\\other\\a.gif",
         "\\\\srv\\other\\a.gif", "//srv/other/a.gif"},
        // 表 is 0x95 0x5C: its second byte is not a separator.
        {"trail byte 0x5C in a folder name", "C:\\\x95\x5C\\x.htm", "C:\\\x95\x5C\\img\\a.gif",
         "img\\a.gif", "img/a.gif"},
        {"trail byte 0x5C in a file name", "C:\\web\\x.htm", "C:\\web\\\x83\x5C.gif",
         "\x83\x5C.gif", "\x83\x5C.gif"},
        {"trail byte 0x5C at the end of a folder", "C:\\a\x95\x5C\\b\\x.htm",
         "C:\\a\x95\x5C\\c\\y.gif", "..\\c\\y.gif", "../c/y.gif"},
        {"full-width letters fold too", "C:\\\x82\x60\\x.htm", "C:\\\x82\x81\\y.gif", "y.gif",
         "y.gif"},
        {"other double-byte characters compare exactly", "C:\\\x88\x9F\\x.htm",
         "C:\\\x88\xA0\\y.gif", "..\\\x88\xA0\\y.gif", "../\x88\xA0/y.gif"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RelativePath(row.base, row.target, PathStyle::Windows), row.relative) << row.name;
        EXPECT_EQ(RelativeLocation(row.base, row.target, PathStyle::Windows), row.location)
            << row.name;
    }
}

TEST(RelativePath, PosixStyle) {
    const PathRow rows[] = {
        {"up one folder", "/web/diary/index.htm", "/web/img/cat.gif", "../img/cat.gif",
         "../img/cat.gif"},
        {"same folder", "/web/index.htm", "/web/a.png", "a.png", "a.png"},
        {"case matters", "/web/sub/index.htm", "/WEB/a.png", "../../WEB/a.png", "../../WEB/a.png"},
        {"unnamed document keeps the full name", "Untitled", "/home/u/a.gif", "/home/u/a.gif",
         "/home/u/a.gif"},
        {"from the root", "/index.htm", "/img/a.gif", "img/a.gif", "img/a.gif"},
        {"a backslash is part of a POSIX name", "/w/x.htm", "/w/a\\b.gif", "a\\b.gif", "a\\b.gif"},
        {"UTF-8 names", "/ウェブ/日記/x.htm", "/ウェブ/画像/猫.gif", "../画像/猫.gif",
         "../画像/猫.gif"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RelativePath(row.base, row.target, PathStyle::Posix), row.relative) << row.name;
        EXPECT_EQ(RelativeLocation(row.base, row.target, PathStyle::Posix), row.location)
            << row.name;
    }
}

}  // namespace
}  // namespace korvane
