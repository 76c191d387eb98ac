// JPEG pictures made in the test with libjpeg's compressor, so that no
// picture file has to be kept in the repository.
#pragma once

#include <string>

namespace korvane::test {

enum class JpegKind { Baseline, Progressive, Greyscale, Cmyk };

// A picture of noise: the compressed data is about as large as the
// picture, so a large one makes a large file.
std::string makeJpeg(JpegKind kind, unsigned width, unsigned height, int quality = 75);

// The offset of the first scan's marker (start of scan, 0xFF 0xDA); the
// header ends there.
std::size_t startOfScan(const std::string& jpeg);

}  // namespace korvane::test
