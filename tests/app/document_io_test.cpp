#include "app/document_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace korvane {
namespace {

// What a file's bytes look like in the editor: catches line breaks left as
// LF or CR, a CR LF doubled, a final line break added or lost, and bytes
// that are not valid Shift_JIS dropped on the way in; and a duplicate code
// rewritten, which changes a file nobody edited (a UTF-8 page read as
// Shift_JIS holds many).
TEST(DocumentIoTest, ReadNormalisesLineBreaksOnly) {
    struct Row {
        const char* name;
        std::string file;
        std::string text;
    };
    const Row rows[] = {
        {"empty file", "", ""},
        {"CR LF kept", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"no final line break", "a\r\nb", "a\r\nb"},
        {"LF alone", "a\nb\n", "a\r\nb\r\n"},
        {"CR alone", "a\rb", "a\r\nb"},
        {"CR CR LF", "a\r\r\nb", "a\r\n\r\nb"},
        {"double-byte text", "\x93\xfa\x96\x7b\x8c\xea\r\n\x83\x5c\x83\x74\x83\x67",
         "\x93\xfa\x96\x7b\x8c\xea\r\n\x83\x5c\x83\x74\x83\x67"},
        {"duplicate codes keep their bytes", "\x87\x90\xed\x40\xfa\x4a",
         "\x87\x90\xed\x40\xfa\x4a"},
        {"UTF-8 read as Shift_JIS", "\xed\x95\x9c\xea\xb8\x80 caf\xc3\xa9",
         "\xed\x95\x9c\xea\xb8\x80 caf\xc3\xa9"},
        {"0x87 as a second byte is no duplicate", "\x83\x87\x83\xed", "\x83\x87\x83\xed"},
        {"invalid byte beside a duplicate", "\x81\r\n\x87\x90\xff", "\x81\r\n\x87\x90\xff"},
        {"invalid lead bytes and single bytes", std::string("\x81\r\n\x80\xa0\xfd\xff\x00z", 9),
         std::string("\x81\r\n\x80\xa0\xfd\xff\x00z", 9)},
    };
    test::TempDir dir;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string path = dir.file("in.txt");
        test::writeFile(path, r.file);
        const DocumentRead read = readDocument(path);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.bytes, r.text);
    }
}

// Catches a read failure reported as an empty document.
TEST(DocumentIoTest, ReadFailures) {
    test::TempDir dir;
    EXPECT_FALSE(readDocument(dir.file("missing.txt")).ok);
    const DocumentRead folder = readDocument(dir.path());
    EXPECT_FALSE(folder.ok);
    EXPECT_FALSE(folder.error.empty());
}

// Catches a save that changes bytes (a final line break added, bytes
// re-encoded) or leaves a temporary file beside the document.
TEST(DocumentIoTest, WriteKeepsBytesAndLeavesNothingElse) {
    test::TempDir dir;
    const std::string path = dir.file("out.htm");
    test::writeFile(path, "old content that is longer");
    const std::string bytes("<P>\x93\xfa\x96\x7b\r\n\x81\x00end", 14);
    std::string error;
    ASSERT_TRUE(writeDocument(path, bytes, error)) << error;
    EXPECT_EQ(test::readFile(path), bytes);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

// A protected file is refused, root or not, and stays as it was: catches a
// rename over a read-only document.
TEST(DocumentIoTest, WriteOverReadOnlyFileFailsAndKeepsIt) {
    test::TempDir dir;
    const std::string path = dir.file("locked.txt");
    test::writeFile(path, "keep me\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::string error;
    EXPECT_FALSE(writeDocument(path, "new", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::readFile(path), "keep me\r\n");
}

// A folder the user may not write to, and no place for a copy of the old
// contents either (such a file is otherwise written in place behind one):
// catches a save that truncates the old file before it knows the new one can
// be written.
TEST(DocumentIoTest, WriteIntoReadOnlyFolderFailsAndKeepsOldFile) {
    test::TempDir dir;
    const std::string folder = dir.file("ro");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/page.htm";
    test::writeFile(path, "old page");
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    if (const std::string unreachable = test::openUpForUnprivileged(dir.path());
        !unreachable.empty())
        GTEST_SKIP() << unreachable;
    const bool refused = test::runUnprivileged([&] {
        // Never the real cache folder of whoever runs the tests.
        ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
        std::string error;
        return !writeDocument(path, "new page", error) && !error.empty();
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(test::readFile(path), "old page");
    ::chmod(folder.c_str(), 0755);
}

// Catches a folder taken for a file before a copy is started with it.
TEST(DocumentIoTest, ExistingFile) {
    test::TempDir dir;
    test::writeFile(dir.file("a.txt"), "");
    EXPECT_TRUE(isExistingFile(dir.file("a.txt")));
    EXPECT_FALSE(isExistingFile(dir.path()));
    EXPECT_FALSE(isExistingFile(dir.file("none.txt")));
}

// The messages carry the path: catches a message without it.
TEST(DocumentIoTest, MessagesNameThePath) {
    EXPECT_EQ(readFailedText("/w/a b.txt"), "ファイル /w/a b.txt は開けません");
    EXPECT_EQ(createFailedText("/w/a.htm"), "ファイル /w/a.htm を作成できません");
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// Records the reports of a read, and stops it at the report `stopAt`.
class CountingProgress : public Progress {
  public:
    explicit CountingProgress(std::size_t stopAt = SIZE_MAX) : m_stopAt(stopAt) {}
    bool report(std::size_t done, std::size_t total) override {
        reports.emplace_back(done, total);
        return reports.size() < m_stopAt;
    }
    std::vector<std::pair<std::size_t, std::size_t>> reports;

  private:
    std::size_t m_stopAt;
};

// A read in pieces must give the editor what a whole read gives, however the
// file's blocks fall: catches a CR LF cut in two at a block's end (two line
// breaks), a piece that does not end with a line break (a character cut in
// two), a lost last piece, and a guess that differs from the whole file's.
TEST(DocumentIoTest, ReadInPiecesGivesWhatAWholeReadGives) {
    constexpr std::size_t kBlock = std::size_t{1} << 20;
    const std::string ascii(kBlock - 1, 'a');
    struct Row {
        const char* name;
        std::string file;
    };
    const Row rows[] = {
        {"CR LF across a block's end", ascii + "\r\n\x82\xa0" + ascii + "\r\nz"},
        {"CR alone at a block's end", ascii + "\rb\r\n"},
        {"LF alone, text ending with a line break", ascii + "\n\x82\xa0\n" + ascii + "\n"},
        {"one line longer than a block", std::string(3 * kBlock, '\x82') + "\r\n"},
        {"UTF-8 only in the second block", ascii + "\r\ncaf\xc3\xa9\r\n"},
        {"UTF-16", std::string("\xff\xfe"
                               "a\0\r\0\n\0",
                               8)},
        {"small file", "a\r\n\x82\xa0"},
    };
    test::TempDir dir;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string path = dir.file("in.txt");
        test::writeFile(path, r.file);
        std::string joined;
        std::size_t pieces = 0;
        bool cutInsideALine = false;
        CountingProgress progress;
        const PiecesRead read = readDocumentInPieces(
            path, SIZE_MAX,
            [&](std::string_view piece) {
                cutInsideALine = cutInsideALine || (pieces > 0 && !joined.ends_with("\r\n"));
                joined.append(piece);
                ++pieces;
            },
            progress);
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.encoding, guessEncoding(r.file));
        EXPECT_FALSE(cutInsideALine);
        if (read.encoding == TextEncoding::Utf16Le) {
            EXPECT_EQ(pieces, 0u);
            continue;
        }
        EXPECT_TRUE(joined == readDocument(path).bytes);
        ASSERT_FALSE(progress.reports.empty());
        EXPECT_EQ(progress.reports.back(), std::pair(r.file.size(), r.file.size()));
    }
}

// Catches a read that goes on, or claims success, after the user stopped it.
TEST(DocumentIoTest, ReadInPiecesStopsWhenTheProgressSaysSo) {
    test::TempDir dir;
    const std::string path = dir.file("in.txt");
    test::writeFile(path, std::string(3 << 20, 'a') + "\r\nb");
    std::size_t sent = 0;
    CountingProgress progress(1);
    const PiecesRead read = readDocumentInPieces(
        path, SIZE_MAX, [&](std::string_view piece) { sent += piece.size(); }, progress);
    EXPECT_TRUE(read.cancelled);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(progress.reports.size(), 1u);
    EXPECT_LT(sent, std::size_t{2} << 20);
}

}  // namespace
}  // namespace korvane
