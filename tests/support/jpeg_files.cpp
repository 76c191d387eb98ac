#include "tests/support/jpeg_files.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace korvane::test {

std::string makeJpeg(JpegKind kind, unsigned width, unsigned height, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    switch (kind) {
        case JpegKind::Greyscale:
            info.input_components = 1;
            info.in_color_space = JCS_GRAYSCALE;
            break;
        case JpegKind::Cmyk:
            info.input_components = 4;
            info.in_color_space = JCS_CMYK;
            break;
        case JpegKind::Baseline:
        case JpegKind::Progressive:
            info.input_components = 3;
            info.in_color_space = JCS_RGB;
            break;
    }
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::mt19937 rng(7);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) *
                             static_cast<std::size_t>(info.input_components));
    while (info.next_scanline < info.image_height) {
        for (JSAMPLE& sample : row)
            sample = static_cast<JSAMPLE>(rng());
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

std::string markerSegment(unsigned char marker, unsigned length) {
    std::string bytes = "\xFF";
    bytes += static_cast<char>(marker);
    bytes += static_cast<char>(length >> 8);
    bytes += static_cast<char>(length & 0xFF);
    bytes.append(length - 2, 'x');
    return bytes;
}

std::size_t startOfScan(const std::string& jpeg) {
    return jpeg.find("\xFF\xDA");
}

}  // namespace korvane::test
