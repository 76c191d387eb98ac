// The width and height of a JPEG, PNG or GIF picture, from its header.
//
// PNG and GIF keep their size at a fixed place near the start (PNG in the
// IHDR chunk, bytes 16-23, big-endian; GIF in the logical screen, bytes 6-9,
// little-endian), so only those bytes are read. A JPEG goes to the JPEG
// reader, which reads a bounded header (tags/jpeg_size.h).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "tags/jpeg_size.h"

namespace korvane {

// The picture in a stream positioned at its first byte; nothing for a file
// of another kind or one that ends before its size.
std::optional<PictureSize> readPictureSize(std::istream& in);

}  // namespace korvane
