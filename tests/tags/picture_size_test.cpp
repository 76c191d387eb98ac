#include "tags/picture_size.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <istream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/file_reads.h"
#include "tests/support/jpeg_files.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"

namespace korvane {
namespace {

using namespace std::string_literals;

struct FormatRow {
    const char* name;
    std::string head;
    PictureFormat format;
};

// Catches a kind told by too few bytes (a text that begins "RIFF" or "GIF"
// taken for a picture), a signature compared without its control bytes, and
// a kind that is missed.
TEST(PictureFormatOf, TellsTheKindByItsFirstBytes) {
    const FormatRow rows[] = {
        {"jpeg", test::makeJpeg(test::JpegKind::Baseline, 2, 2), PictureFormat::Jpeg},
        {"jpeg start marker only", "\xFF\xD8", PictureFormat::Jpeg},
        {"png", "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s, PictureFormat::Png},
        {"png signature with its line breaks changed", "\x89PNG\n\x1A\n", PictureFormat::Unknown},
        {"gif 89a", test::makeGif(1, 1), PictureFormat::Gif},
        {"gif 87a", "GIF87a\x01\0\x01\0"s, PictureFormat::Gif},
        {"a word that begins with GIF", "GIFT list", PictureFormat::Unknown},
        {"bmp", "BM\x36\0\0\0"s, PictureFormat::Bmp},
        {"webp", "RIFF\x24\0\0\0WEBPVP8 "s, PictureFormat::WebP},
        {"wave sound", "RIFF\x24\0\0\0WAVEfmt "s, PictureFormat::Unknown},
        {"riff cut short", "RIFF\x24\0\0"s, PictureFormat::Unknown},
        {"text", "<HTML>", PictureFormat::Unknown},
        {"empty", "", PictureFormat::Unknown},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pictureFormatOf(row.head), row.format) << row.name;
}

// What the reader of the other kinds was asked.
struct HeadReads {
    std::vector<PictureFormat> formats;
    std::vector<std::string> heads;

    PictureHeadReader reader(std::optional<PictureSize> answer) {
        return [this, answer](PictureFormat format, std::string_view head) {
            formats.push_back(format);
            heads.emplace_back(head);
            return answer;
        };
    }
};

struct ReadRow {
    const char* name;
    const char* file;
    std::string bytes;
    std::optional<PictureSize> size;
    std::vector<PictureFormat> asked;  // of the reader of the other kinds
};

// Catches a reader chosen by the file's name (an upper-case ".JPG", a PNG
// named ".jpg" or a JPEG named ".png" read wrongly or not at all), a JPEG
// handed to the other reader, the other reader given something other than
// the file's beginning, and a file of no known kind, or none, given to it.
TEST(ReadPictureSize, ChoosesTheReaderByTheContent) {
    const test::TempDir dir;
    const std::string jpeg = test::makeJpeg(test::JpegKind::Baseline, 10, 20);
    const std::string gif = test::makeGif(3, 4);
    const std::string png = "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s;
    const PictureSize other{7, 9};
    const ReadRow rows[] = {
        {"camera's upper-case name", "BIG.JPG", jpeg, PictureSize{10, 20}, {}},
        {"jpeg named as a png", "photo.png", jpeg, PictureSize{10, 20}, {}},
        {"jpeg without an extension", "picture", jpeg, PictureSize{10, 20}, {}},
        {"broken jpeg", "broken.jpg", "\xFF\xD8 not a picture", std::nullopt, {}},
        {"png named as a jpeg", "fake.jpg", png, other, {PictureFormat::Png}},
        {"gif", "anim.GIF", gif, other, {PictureFormat::Gif}},
        {"bmp", "a.bmp", "BM\x36\0\0\0"s, other, {PictureFormat::Bmp}},
        {"webp", "a.webp", "RIFF\x24\0\0\0WEBPVP8 "s, other, {PictureFormat::WebP}},
        {"text named as a picture", "a.gif", "not a picture", std::nullopt, {}},
        {"empty file", "empty.png", "", std::nullopt, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.file(row.file);
        test::writeFile(path, row.bytes);
        HeadReads reads;
        EXPECT_EQ(readPictureSize(path, reads.reader(other)), row.size);
        EXPECT_EQ(reads.formats, row.asked);
        if (!row.asked.empty()) {
            EXPECT_EQ(reads.heads, std::vector<std::string>{row.bytes});
        }
        std::filesystem::remove(path);
    }
    HeadReads reads;
    std::filesystem::create_directory(dir.file("folder.png"));
    EXPECT_EQ(readPictureSize(dir.file("folder.png"), reads.reader(other)), std::nullopt);
    EXPECT_EQ(readPictureSize(dir.file("missing.png"), reads.reader(other)), std::nullopt);
    EXPECT_TRUE(reads.formats.empty());
}

// Catches the other kinds read from a huge or sparse file to its end (the
// dialog would freeze), and a JPEG that loses libjpeg's own bounded read:
// a picture's start followed by 2 GB of zeros is read no further than the
// bound.
TEST(ReadPictureSize, ReadsABoundedAmount) {
    const test::TempDir dir;
    constexpr off_t kGigabytes2 = off_t{2} << 30;
    const std::string gif = test::makeGif(5, 6);
    struct Row {
        const char* name;
        std::string start;
        std::vector<PictureFormat> asked;
    };
    const Row rows[] = {
        {"png signature", "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s, {PictureFormat::Png}},
        {"gif header and picture", gif.substr(0, gif.size() - 1), {PictureFormat::Gif}},
        {"jpeg start marker", "\xFF\xD8", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.file("picture");
        test::writeSparseFile(path, kGigabytes2, {{0, row.start}});
        test::CountedFile file(path);
        ASSERT_TRUE(file.isOpen());
        std::istream in(&file);
        HeadReads reads;
        EXPECT_EQ(readPictureSize(in, reads.reader(std::nullopt)), std::nullopt);
        EXPECT_LE(file.taken(), std::max(kPictureHeadLimit, kJpegHeaderReadLimit));
        EXPECT_EQ(reads.formats, row.asked);
        for (const std::string& head : reads.heads) {
            EXPECT_EQ(head.size(), kPictureHeadLimit);
            EXPECT_EQ(head.substr(0, row.start.size()), row.start);
        }
    }
}

// The page check's reader, which has no toolkit: catches a PNG or GIF size
// read from the wrong bytes or with the wrong byte order, a header cut short
// given a size, and a PNG whose first chunk is not IHDR.
TEST(PictureSize, PlainHeadersGiveTheirSize) {
    struct PlainRow {
        const char* name;
        std::string bytes;
        std::optional<PictureSize> expected;
    };
    const std::string pngStart = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
    const PlainRow rows[] = {
        {"PNG", pngStart + std::string("\0\0\x01\x2C\0\0\0\xC8", 8), PictureSize{300, 200}},
        {"PNG cut short", pngStart + std::string("\0\0\x01\x2C\0\0", 6), std::nullopt},
        {"PNG without IHDR first",
         std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIDAT", 16) + std::string(8, '\x01'), std::nullopt},
        {"GIF87a", std::string("GIF87a\x2C\x01\xC8\0", 10), PictureSize{300, 200}},
        {"GIF89a", std::string("GIF89a\x01\0\x02\0\xF7", 11), PictureSize{1, 2}},
        {"GIF cut short", std::string("GIF89a\x01\0\x02", 9), std::nullopt},
        {"JPEG", test::makeJpeg(test::JpegKind::Baseline, 33, 17), PictureSize{33, 17}},
        {"BMP has no plain reader", "BM\x36\0\0\0" + std::string(30, '\x01'), std::nullopt},
        {"text", "<HTML>", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const PlainRow& row : rows) {
        std::istringstream in(row.bytes);
        EXPECT_EQ(readPictureSize(in, readPlainHeadSize, kPlainHeadBytes), row.expected)
            << row.name;
    }
}

}  // namespace
}  // namespace korvane
