// The JPEG size reader on any bytes, directly and as the image dialog's
// size reading chooses it: no fault, no exit from inside libjpeg, and a size
// only where both sides are there.
#include <sstream>

#include "fuzz/fuzz_input.h"
#include "tags/jpeg_size.h"
#include "tags/picture_size.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    if (const auto picture = readJpegSize(in))
        fuzz::check(picture->width > 0 && picture->height > 0);
    std::istringstream again(std::string(reinterpret_cast<const char*>(data), size));
    if (const auto picture = readPictureSize(again, nullptr))
        fuzz::check(picture->width > 0 && picture->height > 0 &&
                    pictureFormatOf(again.str()) == PictureFormat::Jpeg);
    return 0;
}
