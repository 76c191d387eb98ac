// Pictures as Qt writes them, made in the test.
#pragma once

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <string>

namespace korvane::test {

// A picture of `width` by `height` in `format` ("png", "bmp", "webp" where
// its plug-in is installed).
inline std::string qtPicture(const char* format, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        ADD_FAILURE() << "Qt cannot write " << format;
    return bytes.toStdString();
}

}  // namespace korvane::test
