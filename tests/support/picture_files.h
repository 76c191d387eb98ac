// Pictures other than JPEG made in the test, byte by byte, for the size
// readers: Qt can write PNG and BMP itself but not GIF.
#pragma once

#include <string>

namespace korvane::test {

// A GIF89a of `width` by `height` with one picture in it (its data is only
// the clear and end codes: enough for a reader of the header, which never
// decodes it).
std::string makeGif(unsigned width, unsigned height);

}  // namespace korvane::test
