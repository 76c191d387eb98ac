#include "tags/picture_size.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "tests/support/jpeg_files.h"

namespace korvane {
namespace {

struct Row {
    const char* name;
    std::string bytes;
    std::optional<PictureSize> expected;
};

// Catches the byte order of PNG (big-endian) or GIF (little-endian) read
// the wrong way round, width and height swapped, a JPEG not handed on from
// its first byte, and a size made up from a file that is cut short or of
// another kind.
TEST(PictureSize, ReadsTheHeaderOfEachKind) {
    const std::string pngStart = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
    const Row rows[] = {
        {"PNG", pngStart + std::string("\0\0\x01\x2C\0\0\0\xC8", 8), PictureSize{300, 200}},
        {"PNG cut short", pngStart + std::string("\0\0\x01\x2C\0\0", 6), std::nullopt},
        {"PNG without IHDR first",
         std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIDAT", 16) + std::string(8, '\x01'), std::nullopt},
        {"GIF87a", std::string("GIF87a\x2C\x01\xC8\0", 10), PictureSize{300, 200}},
        {"GIF89a", std::string("GIF89a\x01\0\x02\0\xF7", 11), PictureSize{1, 2}},
        {"GIF cut short", std::string("GIF89a\x01\0\x02", 9), std::nullopt},
        {"JPEG", test::makeJpeg(test::JpegKind::Baseline, 33, 17), PictureSize{33, 17}},
        {"JPEG start only", std::string("\xFF\xD8\xFF", 3), std::nullopt},
        {"text", "<HTML>", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Row& row : rows) {
        std::istringstream in(row.bytes);
        EXPECT_EQ(readPictureSize(in), row.expected) << row.name;
    }
}

}  // namespace
}  // namespace korvane
