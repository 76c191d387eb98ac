// The image dialog's reader of picture sizes: JPEG through libjpeg, the
// other kinds through Qt's image reader, which learns a picture's size from
// its header without decoding the picture.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tags/picture_size.h"

namespace korvane {

// The size of a picture of `format` from the beginning of its file, read by
// the Qt image plug-in for that format (WebP only where the plug-in is
// installed).
std::optional<PictureSize> readHeadSizeWithQt(PictureFormat format, std::string_view head);

// The size of the picture in the file at `path`, or none.
std::optional<PictureSize> pictureSizeOf(const std::string& path);

}  // namespace korvane
