// JPEG pictures made in the test with libjpeg's compressor, so that no
// picture file has to be kept in the repository.
#pragma once

#include <cstddef>
#include <string>

namespace korvane::test {

enum class JpegKind { Baseline, Progressive, Greyscale, Cmyk };

// A picture of noise: the compressed data is about as large as the
// picture, so a large one makes a large file.
std::string makeJpeg(JpegKind kind, unsigned width, unsigned height, int quality = 75);

// A marker segment: 0xFF, `marker`, the big-endian `length` (which counts
// itself, 2 to 65535) and length - 2 bytes of filler.
std::string markerSegment(unsigned char marker, unsigned length);

// The offset of the first scan's marker (start of scan, 0xFF 0xDA); the
// header ends there.
std::size_t startOfScan(const std::string& jpeg);

}  // namespace korvane::test
