// The command-line converter, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "tests/support/child_process.h"
#include "tests/support/environment.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace korvane {
namespace {

using test::readFile;
using test::runProgram;
using test::TempDir;
using test::writeFile;

const std::string kProgram = KORVANE_CONVERT_PATH;

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

const std::string kDoctype =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\""
    "\"http://www.w3.org/TR/REC-html40/loose.dtd\">\r\n";
const std::string kHead =
    "<HTML lang=\"ja\">\r\n<HEAD>\r\n"
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset= Shift_JIS\">\r\n";

// The worked example through standard input and output, byte for byte; LF
// alone and CR alone must read as the editor reads them.
TEST(KorvaneConvert, ToHtmlWorkedExample) {
    const std::string want = kDoctype + kHead +
                             "<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\na&lt;b<BR>\r\n"
                             "\x81\x40\x81\x40"
                             "c\r\n</BODY>\r\n</HTML>";
    for (const std::string input : {"a<b\r\n\tc", "a<b\n\tc", "a<b\r\tc"}) {
        const auto r = runProgram(kProgram, {"to-html", "--title", "T"}, input);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, want);
    }
}

// A title typed in UTF-8 lands in the page as Shift_JIS.
TEST(KorvaneConvert, TitleIsWrittenAsShiftJis) {
    const auto r = runProgram(kProgram, {"to-html", "--title", "日記"}, "x");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("<TITLE>\x93\xfa\x8b\x4c</TITLE>"), std::string::npos);
}

// With -o the background picture is written relative to the page, as
// convert-and-save does; without -o it stays absolute as in the preview.
TEST(KorvaneConvert, BackgroundRelativeToTheOutput) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("site/pages"));
    std::filesystem::create_directories(dir.file("site/img"));
    const auto r = runProgram(
        kProgram, {"to-html", "--background", "site/img/b.gif", "-o", "site/pages/p.htm", "-"}, "x",
        dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(readFile(dir.file("site/pages/p.htm")).find("<BODY background=\"../img/b.gif\">"),
              std::string::npos);

    const auto toStdout =
        runProgram(kProgram, {"to-html", "--background", "site/img/b.gif"}, "x", dir.path());
    ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_NE(toStdout.out.find("<BODY background=\"" + dir.file("site/img/b.gif") + "\">"),
              std::string::npos);
}

// A picture path Shift_JIS cannot hold is refused, not mangled, and nothing
// is written.
TEST(KorvaneConvert, UnwritableBackgroundPathIsAnError) {
    TempDir dir;
    const auto r = runProgram(
        kProgram,
        {"to-html", "--background", dir.file("\xF0\x9F\x98\x80.gif"), "-o", dir.file("p.htm")},
        "x");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("Shift_JIS"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.htm")));
}

// to-text: the worked example, and the title going to its own file.
TEST(KorvaneConvert, ToTextWithTitle) {
    TempDir dir;
    writeFile(dir.file("in.htm"),
              "<HTML><HEAD><title>Hi</title></HEAD>\n<BODY>a&amp;b<br>\nc<P>d</BODY></HTML>");
    const auto r = runProgram(kProgram, {"to-text", "--title-output", dir.file("title"), "-o",
                                         dir.file("out.txt"), dir.file("in.htm")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("out.txt")), "a&b\r\nc\r\n\r\nd");
    EXPECT_EQ(readFile(dir.file("title")), "Hi");
}

// A page without a title leaves the title file as it was, as the editor
// leaves its title box.
TEST(KorvaneConvert, NoTitleLeavesTheTitleFile) {
    TempDir dir;
    writeFile(dir.file("title"), "old");
    const auto r =
        runProgram(kProgram, {"to-text", "--title-output", dir.file("title")}, "<B>x</B>");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "x");
    EXPECT_EQ(readFile(dir.file("title")), "old");
}

// Exit codes and messages: 1 for files, 2 for usage; a failed run leaves an
// existing output file whole.
TEST(KorvaneConvert, Failures) {
    TempDir dir;
    writeFile(dir.file("keep.htm"), "old page");
    ASSERT_EQ(::symlink("new.txt", dir.file("to-new").c_str()), 0);
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string errMentions;
    };
    const Row rows[] = {
        {"no command", {}, 2, "missing command"},
        {"unknown command", {"to-pdf"}, 2, "to-pdf"},
        {"unknown option", {"to-html", "--colour"}, 2, "--colour"},
        {"option of the other command", {"to-text", "--title", "x"}, 2, "--title"},
        {"missing value", {"to-html", "-o"}, 2, "-o"},
        {"two inputs", {"to-html", "a", "b"}, 2, "more than one"},
        {"missing input",
         {"to-html", "-o", dir.file("keep.htm"), dir.file("none.txt")},
         1,
         dir.file("none.txt")},
        {"output folder missing",
         {"to-text", "-o", dir.file("no/such/out.txt")},
         1,
         dir.file("no/such/out.txt")},
        {"input is a folder", {"to-text", dir.path()}, 1, dir.path()},
        // One file for both outputs would keep only the title.
        {"title output is the output",
         {"to-text", "--title-output", dir.file("keep.htm"), "-o", dir.file("keep.htm")},
         2,
         "same file"},
        {"title output names the output another way",
         {"to-text", "--title-output", dir.file("./keep.htm"), "-o", dir.file("x/../keep.htm")},
         2,
         "same file"},
        {"title output reaches the output, not made yet, through a link",
         {"to-text", "--title-output", dir.file("to-new"), "-o", dir.file("new.txt")},
         2,
         "same file"},
    };
    for (const auto& row : rows) {
        const auto r = runProgram(kProgram, row.args, "x");
        EXPECT_EQ(r.exitCode, row.exitCode) << row.name;
        EXPECT_NE(r.err.find(row.errMentions), std::string::npos) << row.name << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << row.name;
    }
    EXPECT_EQ(readFile(dir.file("keep.htm")), "old page");
}

TEST(KorvaneConvert, HelpAndVersion) {
    const auto version = runProgram(kProgram, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "korvane Ver1.31\n");
    const auto help = runProgram(kProgram, {"to-html", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("to-text"), std::string::npos);
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// --settings takes colours, head values and the tab width as a fresh start
// with that file would: the keep options gate the Color and Detail sections.
TEST(KorvaneConvert, SettingsFile) {
    TempDir dir;
    struct Row {
        const char* name;
        std::string ini;
        std::string wantInPage;
        std::string wantAbsent;
    };
    const Row rows[] = {
        {"colours and tab width",
         "[Option]\r\nTab=0\r\n[Color]\r\nCheck=17\r\nBack=255\r\nFont=16711680\r\n",
         "<BODY bgcolor=\"#FF0000\" text=\"#0000FF\">\r\n\x81\x40x", "\x81\x40\x81\x40x"},
        {"keep-colour off ignores the Color section",
         "[Option]\r\nColor=0\r\n[Color]\r\nCheck=17\r\nBack=255\r\n", "<BODY>\r\n", "bgcolor"},
        {"detail values with a multi-line head written by Windows as one line",
         "[Option]\r\nKeywords=1\r\n[Detail]\r\nDetail=1\r\nAuthor=\x95\x5C\r\nKeywords=k\r\n"
         "Head=<BASE target=_top>\r\n",
         "<META name=\"author\" content=\"\x95\x5C\">\r\n<META name=\"keywords\" "
         "content=\"k\">\r\n<BASE target=_top>\r\n</HEAD>",
         "description"},
        {"keywords are not kept by default", "[Detail]\r\nDetail=1\r\nKeywords=k\r\n", "</HEAD>",
         "keywords"},
        {"hexadecimal values", "[Color]\r\nCheck=0x10\r\nBack=$FF\r\n", "bgcolor=\"#FF0000\"",
         "text="},
    };
    for (const auto& row : rows) {
        writeFile(dir.file("krv13.ini"), row.ini);
        const auto r =
            runProgram(kProgram, {"to-html", "--settings", dir.file("krv13.ini")}, "\tx");
        ASSERT_EQ(r.exitCode, 0) << row.name << ": " << r.err;
        EXPECT_NE(r.out.find(row.wantInPage), std::string::npos) << row.name << "\n" << r.out;
        EXPECT_EQ(r.out.find(row.wantAbsent), std::string::npos) << row.name << "\n" << r.out;
    }
    const auto missing = runProgram(kProgram, {"to-html", "--settings", dir.file("none.ini")}, "x");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(dir.file("none.ini")), std::string::npos);
}

// A file bigger than the memory the converter may use: catches an abort on
// std::bad_alloc (exit 134) instead of the file error, and an output file
// touched by the failed run. The sanitizers reserve more address space than
// any limit allows, so this runs in the plain build only.
TEST(KorvaneConvert, InputThatDoesNotFitIsAFileError) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    TempDir dir;
    const std::string big(48u << 20, 'a');
    writeFile(dir.file("big.txt"), big);
    writeFile(dir.file("out.htm"), "old page");
    const auto r = runProgram(kProgram, {"to-html", "-o", dir.file("out.htm"), dir.file("big.txt")},
                              {}, {}, std::size_t{96} << 20);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find(dir.file("big.txt")), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir.file("out.htm")), "old page");
#endif
}

// Catches a settings file that cannot be read reported as missing: the user
// must learn that it is a folder or not readable.
TEST(KorvaneConvert, SettingsThatCannotBeReadSayWhy) {
    TempDir dir;
    const auto folder = runProgram(kProgram, {"to-html", "--settings", dir.path()}, "x");
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_NE(folder.err.find(std::strerror(EISDIR)), std::string::npos) << folder.err;

    if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
        !unreachable.empty())
        GTEST_SKIP() << unreachable;
    writeFile(dir.file("krv13.ini"), "[Color]\r\n");
    ::chmod(dir.file("krv13.ini").c_str(), 0600);
    // The build folder may be closed to that user: it runs a copy.
    const test::UnprivilegedProgram program(kProgram);
    if (!program.problem().empty())
        GTEST_SKIP() << program.problem();
    EXPECT_TRUE(test::runUnprivileged([&] {
        const auto r =
            runProgram(program.path(), {"to-html", "--settings", dir.file("krv13.ini")}, "x");
        return r.exitCode == 1 && r.err.find(std::strerror(EACCES)) != std::string::npos &&
               r.err.find(dir.file("krv13.ini")) != std::string::npos;
    }));
}

// Catches a test that runs the program without root's rights from where
// the build put it: in a clone inside a folder only root may enter (root's
// home, or what `mktemp -d` makes), that user cannot start it.
TEST(KorvaneConvert, RunsWithoutRootsRightsFromAClosedFolder) {
    TempDir closed;  // 0700, as mkdtemp makes it
    const std::string inside = closed.file("korvane-convert");
    std::filesystem::copy_file(kProgram, inside);
    const test::UnprivilegedProgram program(inside);
    if (!program.problem().empty())
        GTEST_SKIP() << program.problem();
    EXPECT_TRUE(test::runUnprivileged([&] {
        const auto r = runProgram(program.path(), {"--version"});
        return r.exitCode == 0 && r.out == std::string(KORVANE_VERSION_TEXT) + "\n";
    }));
}

// Catches -o replacing what it names when that is not a regular file: a
// link to the program's own standard output (as /dev/stdout is) must carry
// the page there, and a FIFO nobody reads is an error, not a new file.
TEST(KorvaneConvert, OutputThatIsNotARegularFile) {
    TempDir dir;
    ASSERT_EQ(::symlink("/proc/self/fd/1", dir.file("stdout").c_str()), 0);
    const auto r = runProgram(kProgram, {"to-text", "-o", dir.file("stdout")}, "<B>x</B>");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "x");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("stdout")));

    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0666), 0);
    const auto fifo = runProgram(kProgram, {"to-text", "-o", dir.file("fifo")}, "<B>x</B>");
    EXPECT_EQ(fifo.exitCode, 1);
    EXPECT_NE(fifo.err.find("pipe"), std::string::npos) << fifo.err;
    EXPECT_EQ(std::filesystem::status(dir.file("fifo")).type(), std::filesystem::file_type::fifo);
}

// Started from a folder that was deleted: a relative name means nothing
// then. Catches one taken from beside the deleted folder (the system still
// reaches "..") or written into the page as it stands, and absolute names or
// the standard streams refused with them.
TEST(KorvaneConvert, RelativeNamesWithoutAWorkingFolder) {
    TempDir dir;
    writeFile(dir.file("in.txt"), "x");
    writeFile(dir.file("keep.htm"), "old page");
    writeFile(dir.file("krv13.ini"), "[Color]\r\n");
    const std::string here = dir.file("here");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string errMentions;
    };
    const Row rows[] = {
        {"relative input", {"to-html", "-o", dir.file("keep.htm"), "../in.txt"}, 1, "../in.txt"},
        {"relative settings",
         {"to-html", "--settings", "../krv13.ini", "-o", dir.file("keep.htm"), dir.file("in.txt")},
         1,
         "../krv13.ini"},
        {"relative background",
         {"to-html", "--background", "../b.gif", "-o", dir.file("keep.htm"), dir.file("in.txt")},
         1,
         "../b.gif"},
        {"relative output", {"to-html", "-o", "../keep.htm", dir.file("in.txt")}, 1, "../keep.htm"},
        {"relative title output",
         {"to-text", "--title-output", "../keep.htm", dir.file("in.txt")},
         1,
         "../keep.htm"},
        {"absolute names and standard streams",
         {"to-html", "--background", dir.file("b.gif"), "-o", "-", dir.file("in.txt")},
         0,
         ""},
        {"standard input", {"to-text", "-"}, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(std::filesystem::create_directory(here));
        const auto r = test::runProgramInRemovedFolder(kProgram, row.args, "x", here);
        ASSERT_FALSE(std::filesystem::exists(here));
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err;
        EXPECT_NE(r.err.find(row.errMentions), std::string::npos) << r.err;
        if (row.exitCode == 0)
            EXPECT_FALSE(r.out.empty());
        else
            EXPECT_NE(r.err.find("working folder"), std::string::npos) << r.err;
    }
    EXPECT_EQ(readFile(dir.file("keep.htm")), "old page");
}

// An output named by one of the converter's own descriptors, as a shell
// redirection opened it: catches the name resolved to the file behind the
// descriptor and that file replaced by a new one (what the shell appended to,
// or wrote around the converter, is lost), and a descriptor that is not open
// for writing taken for a file to create.
TEST(KorvaneConvert, OutputToItsOwnDescriptorIsWrittenThere) {
    struct Row {
        const char* name;
        std::string script;  // "$0" is the converter
        int exitCode;
        std::string log;
        std::string errMentions;
    };
    const Row rows[] = {
        {"standard output appended to a log", "\"$0\" to-text -o /dev/stdout in.htm >> log", 0,
         "earlier\nx", ""},
        {"standard output between other writes",
         "{ echo before; \"$0\" to-text -o /dev/stdout in.htm; echo after; } > log", 0,
         "before\nxafter\n", ""},
        {"standard error appended to a log", "\"$0\" to-text -o /dev/stderr in.htm 2>> log", 0,
         "earlier\nx", ""},
        {"/proc/self/fd", "\"$0\" to-text -o /proc/self/fd/3 in.htm 3>> log", 0, "earlier\nx", ""},
        {"/dev/fd", "\"$0\" to-text -o /dev/fd/3 in.htm 3>> log", 0, "earlier\nx", ""},
        {"/proc/<own pid>/fd", "exec \"$0\" to-text -o /proc/$$/fd/3 in.htm 3>> log", 0,
         "earlier\nx", ""},
        {"descriptor open for reading only", "\"$0\" to-text -o /proc/self/fd/3 in.htm 3< log", 1,
         "earlier\n", std::strerror(EBADF)},
        {"descriptor not open", "\"$0\" to-text -o /dev/fd/7 in.htm", 1, "earlier\n",
         std::strerror(EBADF)},
    };
    for (const Row& row : rows) {
        TempDir dir;
        writeFile(dir.file("in.htm"), "<B>x</B>");
        writeFile(dir.file("log"), "earlier\n");
        const auto r = runProgram("/bin/sh", {"-c", row.script, kProgram}, {}, dir.path());
        EXPECT_EQ(r.exitCode, row.exitCode) << row.name << ": " << r.err;
        EXPECT_NE(r.err.find(row.errMentions), std::string::npos) << row.name << ": " << r.err;
        EXPECT_EQ(readFile(dir.file("log")), row.log) << row.name;
        EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"in.htm", "log"})) << row.name;
    }
}

// A file whose in-place save was killed midway may be a mixture of old and
// new contents, the old ones only in a hidden copy: catches a run that reads
// such an INPUT or replaces such an output without naming the copy, and one
// that stops there.
TEST(KorvaneConvert, NamesTheCopyAnInterruptedSaveLeft) {
    for (const bool input : {true, false}) {
        SCOPED_TRACE(input ? "input" : "output");
        TempDir dir;
        test::Environment environment;
        environment.set("XDG_CACHE_HOME", dir.file("cache").c_str());
        const std::string name = input ? "in.htm" : "out.txt";
        const std::string path = dir.file(name);
        writeFile(path, "<B>old</B>");
        // A second name makes the save go in place.
        ASSERT_EQ(::link(path.c_str(), dir.file("other").c_str()), 0);
        ASSERT_GT(test::interruptSaveInPlace(path, "<B>new contents</B>"), 0);
        std::set<std::string> left = namesIn(dir.path());
        left.erase(name);
        left.erase("other");
        ASSERT_EQ(left.size(), 1u);
        const std::string backup = dir.file(*left.begin());

        const std::vector<std::string> args =
            input ? std::vector<std::string>{"to-text", path}
                  : std::vector<std::string>{"to-text", "-o", path, "-"};
        const auto r = runProgram(kProgram, args, "<B>x</B>");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.err.find("korvane-convert: " + path +
                             ": an interrupted save left the old contents in " + backup + "\n"),
                  std::string::npos)
            << r.err;
        if (input)
            EXPECT_EQ(r.out, "new con");
        else
            EXPECT_EQ(readFile(path), "x");
        EXPECT_TRUE(std::filesystem::exists(backup));
    }
}

// Catches --input-encoding ignored, a character Shift_JIS cannot hold
// replaced without being listed or listed in a notation that is not
// Unicode's (fewer than four digits), and an unknown encoding taken.
TEST(KorvaneConvert, InputEncodings) {
    struct Row {
        const char* utf8;
        const char* shiftJis;
        const char* listed;
    };
    const Row rows[] = {
        {"\xe6\x97\xa5\xf0\x9f\x98\x80", "\x93\xfa?", ": U+1F600 cannot"},
        {"caf\xc3\xa9", "cafe", ": U+00E9 cannot"},
    };
    for (const Row& row : rows) {
        const auto utf8 = runProgram(
            kProgram, {"to-text", "--input-encoding", "utf-8", "--replace-unencodable"}, row.utf8);
        EXPECT_EQ(utf8.exitCode, 0) << utf8.err;
        EXPECT_EQ(utf8.out, row.shiftJis);
        EXPECT_NE(utf8.err.find(row.listed), std::string::npos) << utf8.err;
    }
    const auto guessed =
        runProgram(kProgram, {"to-text", "--input-encoding", "auto"}, "\xc6\xfc\xcb\xdc");
    EXPECT_EQ(guessed.out, "\x93\xfa\x96\x7b");
    const auto unknown = runProgram(kProgram, {"to-text", "--input-encoding", "latin-9"}, "x");
    EXPECT_EQ(unknown.exitCode, 2);
}

// Catches characters the output encoding cannot hold written without the
// user's leave (or with exit status 0, or without being listed),
// --output-encoding ignored (bytes or META still Shift_JIS), a UTF-8 text's
// bytes changed on a UTF-8 to UTF-8 run, and an encoding a page is not
// written in taken for output.
TEST(KorvaneConvert, OutputEncodings) {
    struct Row {
        std::vector<std::string> args;
        std::string input;
        int exitCode;
        std::string out;  // all of it for to-text, a part of the page for to-html
        std::string err;  // a part of standard error ("" for none at all)
    };
    const std::string nichi = "\xe6\x97\xa5";
    const std::string smile = "\xf0\x9f\x98\x80";
    const std::string hangul = "\xed\x95\x9c\xea\xb5\xad";
    const Row rows[] = {
        {{"to-text", "--input-encoding", "utf-8"},
         nichi + smile,
         1,
         "",
         "U+1F600 cannot be written in Shift_JIS\n"},
        {{"to-text", "--input-encoding", "utf-8", "--replace-unencodable"},
         nichi + smile,
         0,
         "\x93\xfa?",
         "written as \"?\""},
        {{"to-text", "--input-encoding", "utf-8", "--output-encoding", "utf-8"},
         "<P>" + nichi + smile + hangul + "\xff</P>",
         0,
         nichi + smile + hangul + "\xff",
         ""},
        {{"to-text", "--output-encoding", "utf-8"}, "\x93\xfa<BR>", 0, nichi, ""},
        {{"to-html", "--output-encoding", "utf-8"}, "\x93\xfa", 0, "charset=UTF-8\">\r\n", ""},
        {{"to-html", "--output-encoding", "utf-8", "--input-encoding", "utf-8", "--title", hangul},
         smile,
         0,
         "<TITLE>" + hangul + "</TITLE>",
         ""},
        {{"to-html", "--title", hangul}, "x", 1, "", "title: U+D55C cannot"},
        {{"to-text", "--output-encoding", "euc-jp"}, "x", 2, "", "shift_jis or utf-8"},
    };
    for (const Row& row : rows) {
        const auto r = runProgram(kProgram, row.args, row.input);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.args.back() << ": " << r.err;
        if (row.args.front() == "to-text" || row.out.empty())
            EXPECT_EQ(r.out, row.out) << row.args.back();
        else
            EXPECT_NE(r.out.find(row.out), std::string::npos) << row.args.back();
        if (row.err.empty())
            EXPECT_EQ(r.err, "") << row.args.back();
        else
            EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
    // A UTF-8 page's body keeps its characters and gets UTF-8's META.
    const auto page = runProgram(
        kProgram, {"to-html", "--input-encoding", "utf-8", "--output-encoding", "utf-8"}, hangul);
    EXPECT_NE(page.out.find(hangul + "\r\n</BODY>"), std::string::npos);
    EXPECT_EQ(page.out.find("Shift_JIS"), std::string::npos);
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// Catches "check" missing, its lines not in the FILE:LINE:COLUMN: KIND:
// MESSAGE form (the name as given, columns in characters, the message in
// UTF-8), a clean page that does not exit 0, a page with findings or one
// that cannot be read that does not exit 1, and usage errors not exiting 2.
TEST(KorvaneConvert, CheckPages) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("site/img"));
    writeFile(dir.file("site/img/photo.gif"), std::string("GIF89a\x01\0\x01\0", 10));
    writeFile(dir.file("site/clean.htm"), "<P><IMG src=\"img/photo.gif\" alt=\"\"></P>\r\n");
    // Shift_JIS: a double-byte character before each finding.
    writeFile(dir.file("site/faults.htm"),
              "\x93\xfa<IMG src=\"img/Photo.gif\" alt=\"\">\n\x93\xfa<A href=\"#top\">x</A><B>");
    // UTF-16 is read as the editor reads it.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("<I>x"))
        utf16 += std::string{c, '\0'};
    writeFile(dir.file("site/utf16.htm"), utf16);

    const auto clean = runProgram(kProgram, {"check", "site/clean.htm"}, "", dir.path());
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_EQ(clean.out, "");

    const auto faults = runProgram(
        kProgram, {"check", "site/clean.htm", "site/faults.htm", "site/utf16.htm"}, "", dir.path());
    EXPECT_EQ(faults.exitCode, 1) << faults.err;
    EXPECT_EQ(faults.out,
              "site/faults.htm:1:12: case-mismatch: 「img/Photo.gif」は大文字と小文字が違います"
              "（実際は「img/photo.gif」）。Windowsでは開けますが、多くのサーバーでは開けません\n"
              "site/faults.htm:2:11: missing-anchor: このページに名前「top」がありません\n"
              "site/faults.htm:2:22: unclosed-tag: <B> が閉じられないままページが終わっています\n"
              "site/utf16.htm:1:1: unclosed-tag: <I> が閉じられないままページが終わっています\n");
    EXPECT_EQ(faults.err, "");

    struct Row {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string errMentions;
    };
    const Row rows[] = {
        {"no page", {"check"}, 2, "PAGE"},
        {"an unknown option", {"check", "--fix", "site/clean.htm"}, 2, "--fix"},
        {"a page that is not there",
         {"check", "site/none.htm", "site/clean.htm"},
         1,
         "site/none.htm"},
        {"a folder", {"check", "site"}, 1, "site"},
    };
    for (const Row& row : rows) {
        const auto r = runProgram(kProgram, row.args, "", dir.path());
        EXPECT_EQ(r.exitCode, row.exitCode) << row.name;
        EXPECT_NE(r.err.find(row.errMentions), std::string::npos) << row.name << ": " << r.err;
        EXPECT_EQ(r.out, "") << row.name;
    }
    const auto help = runProgram(kProgram, {"check", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("korvane-convert check PAGE..."), std::string::npos);
}

}  // namespace
}  // namespace korvane
