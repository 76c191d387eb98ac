#include "tags/jpeg_size.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/file_reads.h"
#include "tests/support/jpeg_files.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

using test::CountedFile;
using test::JpegKind;
using test::makeJpeg;
using test::markerSegment;
using test::Piece;
using test::startOfScan;
using test::writeSparseFile;

struct KindRow {
    const char* name;
    JpegKind kind;
    unsigned width;
    unsigned height;
};

// Catches width and height swapped and a kind of JPEG the reader cannot
// take (progressive, one component, four components).
TEST(JpegSize, ReadsEachKind) {
    const test::TempDir dir;
    const KindRow rows[] = {
        {"baseline", JpegKind::Baseline, 320, 240},
        {"progressive", JpegKind::Progressive, 17, 5},
        {"greyscale", JpegKind::Greyscale, 1, 300},
        {"cmyk", JpegKind::Cmyk, 64, 48},
    };
    for (const auto& row : rows) {
        const std::string path = dir.file(std::string(row.name) + ".jpg");
        test::writeFile(path, makeJpeg(row.kind, row.width, row.height));
        EXPECT_EQ(readJpegSize(path), (PictureSize{row.width, row.height})) << row.name;
    }
}

struct BrokenRow {
    const char* name;
    std::string bytes;
};

// Catches a broken file that ends the program (libjpeg's own error
// handler exits), prints a message, hangs, or gives a made-up size.
TEST(JpegSize, BrokenFilesGiveNoSize) {
    const test::TempDir dir;
    const std::string good = makeJpeg(JpegKind::Baseline, 40, 30);
    const std::size_t sos = startOfScan(good);
    ASSERT_NE(sos, std::string::npos);
    const BrokenRow rows[] = {
        {"empty", ""},
        {"one byte", "\xFF"},
        {"start marker only", "\xFF\xD8"},
        {"ten bytes", good.substr(0, 10)},
        {"cut before the first scan", good.substr(0, sos)},
        {"text", "GIF89a this is not a picture"},
        {"garbage after a start marker", "\xFF\xD8" + std::string(5000, '\x37')},
        {"png signature", "\x89PNG\r\n\x1A\n" + std::string(100, '\0')},
    };
    for (const auto& row : rows) {
        const std::string path = dir.file(std::string(row.name) + ".jpg");
        test::writeFile(path, row.bytes);
        EXPECT_EQ(readJpegSize(path), std::nullopt) << row.name;
    }
}

// Catches a reader that needs the picture data: a file whose data is cut
// short still has a whole header, and its size.
TEST(JpegSize, PictureDataCutShortStillHasItsHeader) {
    const test::TempDir dir;
    const std::string good = makeJpeg(JpegKind::Baseline, 40, 30);
    const std::string path = dir.file("cut.jpg");
    test::writeFile(path, good.substr(0, startOfScan(good) + 20));
    EXPECT_EQ(readJpegSize(path), (PictureSize{40, 30}));
}

// Catches a reader that waits on a pipe or reads a folder, and one that
// fails on a name that is not UTF-8 (file names are bytes).
TEST(JpegSize, OnlyRegularFiles) {
    const test::TempDir dir;
    const std::string folder = dir.file("folder.jpg");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(readJpegSize(folder), std::nullopt);
    EXPECT_EQ(readJpegSize(dir.file("missing.jpg")), std::nullopt);
    const std::string oddName = dir.file("\xFF\xFE.jpg");
    test::writeFile(oddName, makeJpeg(JpegKind::Greyscale, 8, 9));
    EXPECT_EQ(readJpegSize(oddName), (PictureSize{8, 9}));
}

// Catches a reader that reads the whole picture to learn its size: from a
// large file it reads no more than the header's first buffers.
TEST(JpegSize, ReadsOnlyTheHeader) {
    const std::string large = makeJpeg(JpegKind::Baseline, 600, 600, 100);
    ASSERT_GT(large.size(), 500'000u);
    std::istringstream in(large);
    EXPECT_EQ(readJpegSize(in), (PictureSize{600, 600}));
    in.clear();
    const auto consumed = static_cast<std::size_t>(in.tellg());
    EXPECT_LT(consumed, 16'384u);
}

// Catches the skip over a marker segment losing its place when the segment
// is larger than what the reader holds: segments many buffers long come
// before the picture's size.
TEST(JpegSize, SkipsLargeSegments) {
    const std::string good = makeJpeg(JpegKind::Baseline, 12, 34);
    // Twenty application segments of 65,000 bytes after the start marker.
    std::string padded = good.substr(0, 2);
    for (int i = 0; i < 20; ++i) {
        const unsigned length = 65000;
        padded += "\xFF\xEF";
        padded += static_cast<char>(length >> 8);
        padded += static_cast<char>(length & 0xFF);
        padded += std::string(length - 2, 'x');
    }
    padded += good.substr(2);
    std::istringstream in(padded);
    EXPECT_EQ(readJpegSize(in), (PictureSize{12, 34}));
}

// Catches a reader that reads a huge or sparse file to its end looking for
// a marker (the dialog froze for seconds on a picture's start followed by
// 2 GB of zeros), one whose bound also stops the seeks over segments, and
// a bound so tight that real EXIF and ICC segments before the frame cost
// the picture its size.
TEST(JpegSize, ReadsABoundedAmount) {
    const test::TempDir dir;
    const std::string good = makeJpeg(JpegKind::Baseline, 640, 480);
    constexpr off_t kGigabytes2 = off_t{2} << 30;
    // Segments 65,537 bytes apart, each pointing at the next, to the end.
    constexpr off_t kSegment = 65535;
    std::vector<Piece> chain = {{0, "\xFF\xD8"}};
    for (int i = 0; i < 200; ++i)
        chain.push_back({2 + off_t{i} * (kSegment + 2), "\xFF\xE1\xFF\xFF"});
    const off_t chainEnd = 2 + off_t{200} * (kSegment + 2);
    const std::string tagged = good.substr(0, 2) + markerSegment(0xE1, 60000) +
                               markerSegment(0xE2, 65535) + markerSegment(0xE2, 40000) +
                               good.substr(2);
    struct Row {
        const char* name;
        off_t fileSize;
        std::vector<Piece> pieces;
        std::optional<PictureSize> picture;
    };
    const Row rows[] = {
        {"2 GB of zeros", kGigabytes2, {}, std::nullopt},
        {"a start marker, then 2 GB of zeros", kGigabytes2, {{0, "\xFF\xD8"}}, std::nullopt},
        {"a header to its tables, then 2 GB of zeros",
         kGigabytes2,
         {{0, good.substr(0, test::startOfScan(good))}},
         std::nullopt},
        {"segments chained to the end of the file", chainEnd, chain, std::nullopt},
        {"EXIF and two ICC segments before the frame",
         static_cast<off_t>(tagged.size()),
         {{0, tagged}},
         PictureSize{640, 480}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.file("picture.jpg");
        writeSparseFile(path, row.fileSize, row.pieces);
        CountedFile file(path);
        ASSERT_TRUE(file.isOpen());
        std::istream in(&file);
        EXPECT_EQ(readJpegSize(in), row.picture);
        EXPECT_LE(file.taken(), kJpegHeaderReadLimit);
        EXPECT_EQ(readJpegSize(path), row.picture);
    }
}

}  // namespace
}  // namespace korvane
