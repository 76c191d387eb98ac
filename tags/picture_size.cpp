#include "tags/picture_size.h"

#include <array>
#include <cstddef>
#include <istream>
#include <string_view>

namespace korvane {

namespace {

// PNG: the signature, then the IHDR chunk whose data starts at byte 16.
constexpr std::string_view kPngStart = "\x89PNG\r\n\x1A\n";
constexpr std::size_t kPngHeader = 24;
constexpr std::size_t kGifHeader = 10;

unsigned byteAt(const std::array<char, kPngHeader>& bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

unsigned bigEndian32(const std::array<char, kPngHeader>& bytes, std::size_t at) {
    return byteAt(bytes, at) << 24 | byteAt(bytes, at + 1) << 16 | byteAt(bytes, at + 2) << 8 |
           byteAt(bytes, at + 3);
}

}  // namespace

std::optional<PictureSize> readPictureSize(std::istream& in) {
    const std::streampos start = in.tellg();
    std::array<char, kPngHeader> bytes{};
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    const std::string_view head(bytes.data(), got);

    if (head.starts_with(kPngStart)) {
        if (got < kPngHeader || head.substr(12, 4) != "IHDR")
            return std::nullopt;
        return PictureSize{bigEndian32(bytes, 16), bigEndian32(bytes, 20)};
    }
    if (head.starts_with("GIF87a") || head.starts_with("GIF89a")) {
        if (got < kGifHeader)
            return std::nullopt;
        return PictureSize{byteAt(bytes, 6) | byteAt(bytes, 7) << 8,
                           byteAt(bytes, 8) | byteAt(bytes, 9) << 8};
    }
    if (got >= 2 && byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xD8) {
        // The JPEG reader wants the picture from its first byte.
        in.clear();
        in.seekg(start);
        if (!in)
            return std::nullopt;
        return readJpegSize(in);
    }
    return std::nullopt;
}

}  // namespace korvane
