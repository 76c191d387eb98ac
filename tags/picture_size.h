// The size the image dialog writes for a picked picture: which reader reads
// it, from how much of the file, and what the height and width fields show.
//
// A picture's kind is told by its first bytes, never by its name: a camera's
// "BIG.JPG", a PNG saved as ".jpg" and a file without an extension are all
// read for what they are. JPEG goes through libjpeg (jpeg_size.h), which
// seeks over the segments it does not need. PNG, GIF, BMP and WebP go to a
// reader given only the beginning of the file, at most kPictureHeadLimit
// bytes: whatever that reader does, a huge or sparse file costs no more than
// a small one. Anything else has no size.
//
// The size reading is plain C++; the reader of the other kinds (Qt's image
// reader) is handed in by the dialog, and the page check, which has no Qt,
// reads PNG and GIF headers itself.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "tags/jpeg_size.h"

namespace korvane {

enum class PictureFormat { Unknown, Jpeg, Png, Gif, Bmp, WebP };

// Every header these formats need before their size comes well inside it: a
// PNG's or a GIF's metadata before the first picture, a WebP's first chunks.
inline constexpr std::size_t kPictureHeadLimit = 1024 * 1024;

// What the first bytes of a file say it holds; the few bytes of each
// signature are enough.
PictureFormat pictureFormatOf(std::string_view head);

// The lower-case name image readers know the format by ("png"); empty for
// Unknown.
std::string_view pictureFormatName(PictureFormat format);

// Reads the size of a picture of `format` from `head`, the beginning of its
// file; no size when it cannot.
using PictureHeadReader =
    std::function<std::optional<PictureSize>(PictureFormat format, std::string_view head)>;

// The picture in `in`, read from its current position; the reader of the
// other kinds is given at most `headLimit` bytes.
std::optional<PictureSize> readPictureSize(std::istream& in, const PictureHeadReader& others,
                                           std::size_t headLimit = kPictureHeadLimit);

// The reader of the other kinds that needs no toolkit: PNG keeps its size in
// the IHDR chunk (bytes 16-23, big-endian), GIF in its logical screen (bytes
// 6-9, little-endian); the first kPlainHeadBytes are enough. Other kinds
// have no size here.
inline constexpr std::size_t kPlainHeadBytes = 24;
std::optional<PictureSize> readPlainHeadSize(PictureFormat format, std::string_view head);

// The file at `path`; anything but a regular file has no size.
std::optional<PictureSize> readPictureSize(const std::string& path,
                                           const PictureHeadReader& others);

// The height and width fields after a picture was picked. A picture whose
// size cannot be read empties them: the size of the picture picked before
// would be written for this one.
struct PictureSizeFields {
    std::string height;
    std::string width;
};
PictureSizeFields pictureSizeFields(const std::optional<PictureSize>& size);

}  // namespace korvane
