#include "tags/qt_picture_size.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>

namespace korvane {

std::optional<PictureSize> readHeadSizeWithQt(PictureFormat format, std::string_view head) {
    const std::string_view name = pictureFormatName(format);
    if (name.empty())
        return std::nullopt;
    // The reader sees only these bytes, however much the file holds: Qt's
    // GIF reader, for one, scans every frame of a file to learn the first
    // one's size.
    QByteArray bytes = QByteArray::fromRawData(head.data(), static_cast<qsizetype>(head.size()));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The format the signature named; a reader that guessed again might
    // take a plug-in for a format no browser shows.
    QImageReader reader(&buffer, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return std::nullopt;
    return PictureSize{static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height())};
}

std::optional<PictureSize> pictureSizeOf(const std::string& path) {
    return readPictureSize(path, readHeadSizeWithQt);
}

}  // namespace korvane
