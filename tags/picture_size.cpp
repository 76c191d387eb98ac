#include "tags/picture_size.h"

#include <istream>
#include <memory>

#include "tags/regular_file.h"

namespace korvane {

namespace {

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// The longest signature looked at: "RIFF", four bytes of length, "WEBP".
constexpr std::size_t kSignatureBytes = 12;

// Appends up to `count` bytes of `in` to `bytes`.
void readMore(std::istream& in, std::string& bytes, std::size_t count) {
    const std::size_t had = bytes.size();
    bytes.resize(had + count);
    in.read(bytes.data() + had, static_cast<std::streamsize>(count));
    bytes.resize(had + static_cast<std::size_t>(in.gcount()));
}

}  // namespace

PictureFormat pictureFormatOf(std::string_view head) {
    using namespace std::string_view_literals;
    if (startsWith(head, "\xFF\xD8"sv))
        return PictureFormat::Jpeg;
    if (startsWith(head, "\x89PNG\r\n\x1A\n"sv))
        return PictureFormat::Png;
    if (startsWith(head, "GIF87a"sv) || startsWith(head, "GIF89a"sv))
        return PictureFormat::Gif;
    if (startsWith(head, "BM"sv))
        return PictureFormat::Bmp;
    if (startsWith(head, "RIFF"sv) && head.size() >= kSignatureBytes &&
        head.substr(8, 4) == "WEBP"sv)
        return PictureFormat::WebP;
    return PictureFormat::Unknown;
}

std::string_view pictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Jpeg:
            return "jpeg";
        case PictureFormat::Png:
            return "png";
        case PictureFormat::Gif:
            return "gif";
        case PictureFormat::Bmp:
            return "bmp";
        case PictureFormat::WebP:
            return "webp";
        case PictureFormat::Unknown:
            break;
    }
    return {};
}

std::optional<PictureSize> readPictureSize(std::istream& in, const PictureHeadReader& others,
                                           std::size_t headLimit) {
    const std::istream::pos_type start = in.tellg();
    std::string head;
    readMore(in, head, kSignatureBytes);
    const PictureFormat format = pictureFormatOf(head);
    if (format == PictureFormat::Jpeg) {
        // libjpeg reads its own bounded amount, from the first byte again.
        in.clear();
        in.seekg(start);
        return readJpegSize(in);
    }
    if (format == PictureFormat::Unknown || !others)
        return std::nullopt;
    if (headLimit > head.size())
        readMore(in, head, headLimit - head.size());
    return others(format, head);
}

std::optional<PictureSize> readPlainHeadSize(PictureFormat format, std::string_view head) {
    const auto at = [head](std::size_t i) { return static_cast<unsigned char>(head[i]); };
    if (format == PictureFormat::Png) {
        if (head.size() < kPlainHeadBytes || head.substr(12, 4) != "IHDR")
            return std::nullopt;
        const auto big32 = [&at](std::size_t i) {
            return unsigned{at(i)} << 24 | unsigned{at(i + 1)} << 16 | unsigned{at(i + 2)} << 8 |
                   unsigned{at(i + 3)};
        };
        return PictureSize{big32(16), big32(20)};
    }
    if (format == PictureFormat::Gif) {
        if (head.size() < 10)
            return std::nullopt;
        return PictureSize{unsigned{at(6)} | unsigned{at(7)} << 8,
                           unsigned{at(8)} | unsigned{at(9)} << 8};
    }
    return std::nullopt;
}

std::optional<PictureSize> readPictureSize(const std::string& path,
                                           const PictureHeadReader& others) {
    const std::unique_ptr<std::istream> in = openRegularFile(path);
    if (!in)
        return std::nullopt;
    return readPictureSize(*in, others);
}

PictureSizeFields pictureSizeFields(const std::optional<PictureSize>& size) {
    if (!size)
        return {};
    return {std::to_string(size->height), std::to_string(size->width)};
}

}  // namespace korvane
