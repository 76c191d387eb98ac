// The width and height of a JPEG picture, read from its header with libjpeg.
//
// Only the header is read (up to the start of the first scan); the picture
// is never decoded, so a large file costs no more than a small one. A file
// that is not a JPEG, ends before its header is complete, or cannot be read
// gives no size: no message, no wait.
//
// At most kJpegHeaderReadLimit bytes are read. libjpeg looks for the next
// marker byte by byte, so a picture's start followed by gigabytes of
// anything else (a sparse or damaged file) would otherwise be read to its
// end while the dialog waits. Marker segments libjpeg passes over (EXIF,
// ICC profiles, XMP, comments) are skipped by seeking and cost only the
// reads after them.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>

namespace korvane {

// Real headers are a few kilobytes read; each skipped segment adds at
// most one buffer of 4 KB.
inline constexpr std::size_t kJpegHeaderReadLimit = 256 * 1024;

struct PictureSize {
    unsigned width = 0;
    unsigned height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// The file at `path` (the desktop's form). Anything but a regular file (a
// folder, a pipe that would wait for a writer, a device) gives no size.
std::optional<PictureSize> readJpegSize(const std::string& path);

// The same from a stream positioned at the picture's first byte.
std::optional<PictureSize> readJpegSize(std::istream& in);

}  // namespace korvane
