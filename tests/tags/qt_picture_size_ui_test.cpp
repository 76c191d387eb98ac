// The image dialog's size reading with Qt's image reader, on pictures made
// in the test.
#include "tags/qt_picture_size.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImageReader>

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/file_reads.h"
#include "tests/support/jpeg_files.h"
#include "tests/support/picture_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/ui/qt_pictures.h"

namespace korvane {
namespace {

using test::qtPicture;

bool qtReads(const char* format) {
    return QImageReader::supportedImageFormats().contains(QByteArray(format));
}

struct SizeRow {
    const char* name;
    const char* file;
    std::string bytes;
    std::optional<PictureSize> size;
};

// Catches a kind whose size is not read (PNG, GIF, BMP, WebP where its
// plug-in is installed, JPEG by any name), width and height swapped, and a
// broken or unknown file given a size.
TEST(QtPictureSize, ReadsEveryKindFromItsHeader) {
    const test::TempDir dir;
    std::vector<SizeRow> rows = {
        {"png", "a.png", qtPicture("png", 30, 20), PictureSize{30, 20}},
        {"bmp", "a.bmp", qtPicture("bmp", 4, 70), PictureSize{4, 70}},
        {"gif", "a.gif", test::makeGif(200, 3), PictureSize{200, 3}},
        {"upper-case jpeg", "BIG.JPG", test::makeJpeg(test::JpegKind::Baseline, 10, 20),
         PictureSize{10, 20}},
        {"png named as a jpeg", "fake.jpg", qtPicture("png", 8, 6), PictureSize{8, 6}},
        {"png cut inside its header", "cut.png", qtPicture("png", 8, 6).substr(0, 20),
         std::nullopt},
        {"gif without a picture", "empty.gif", test::makeGif(9, 9).substr(0, 13), std::nullopt},
        {"svg", "a.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"5\" height=\"5\"/>",
         std::nullopt},
    };
    if (qtReads("webp"))
        rows.push_back({"webp", "a.webp", qtPicture("webp", 11, 12), PictureSize{11, 12}});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.file(row.file);
        test::writeFile(path, row.bytes);
        EXPECT_EQ(pictureSizeOf(path), row.size);
    }
}

// Catches Qt's reader given the whole file: its GIF reader scans every
// frame to the file's end to learn the first one's size, and the PNG reader
// reads every chunk before the picture's data, so a picture's start followed
// by 2 GB of zeros, or an animation of thousands of frames, would freeze the
// dialog while they are read.
TEST(QtPictureSize, ReadsABoundedAmountOfAHugeFile) {
    const test::TempDir dir;
    constexpr off_t kGigabytes2 = off_t{2} << 30;
    const std::string gif = test::makeGif(5, 6);
    const std::string gifEnd = ";";
    const std::string png = qtPicture("png", 8, 6);
    // The frames of an animation of 8 MB: each further picture as the first.
    const std::string frame = gif.substr(13, gif.size() - 13 - gifEnd.size());
    std::string animation = gif.substr(0, 13);
    while (animation.size() < 8 * kPictureHeadLimit)
        animation += frame;
    animation += gifEnd;
    struct Row {
        const char* name;
        off_t fileSize;
        std::string start;
        std::optional<PictureSize> size;
    };
    const Row rows[] = {
        // The picture's data stands where the zeros are: a broken file.
        {"png header, then 2 GB of zeros", kGigabytes2, png.substr(0, png.find("IDAT") - 4),
         std::nullopt},
        {"gif header and first picture, then 2 GB of zeros", kGigabytes2,
         gif.substr(0, gif.size() - gifEnd.size()), PictureSize{5, 6}},
        {"animation of 8 MB", static_cast<off_t>(animation.size()), animation, PictureSize{5, 6}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.file("huge");
        test::writeSparseFile(path, row.fileSize, {{0, row.start}});
        test::CountedFile file(path);
        ASSERT_TRUE(file.isOpen());
        std::istream in(&file);
        EXPECT_EQ(readPictureSize(in, readHeadSizeWithQt), row.size);
        EXPECT_LE(file.taken(), kPictureHeadLimit);
        EXPECT_EQ(pictureSizeOf(path), row.size);
    }
}

}  // namespace
}  // namespace korvane
