#include "tags/jpeg_size.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <istream>
#include <memory>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "tags/regular_file.h"

namespace korvane {

namespace {

// libjpeg's own error handler prints the message and ends the process; ours
// jumps back to the reader, which then has no size to give.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Reads the stream a buffer at a time, so that only what the header needs
// is read, and seeks over the marker segments libjpeg skips. What it has
// read is counted; once kJpegHeaderReadLimit is reached the stream counts
// as ended.
struct SourceManager {
    static constexpr std::size_t kBufferSize = 4096;

    jpeg_source_mgr pub;
    std::istream* in;
    std::size_t read;
    JOCTET buffer[kBufferSize];
};

void errorExit(j_common_ptr info) {
    ErrorManager* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(errors->jump, 1);
}

// Warnings (a premature end, extra bytes) are not the user's business.
void outputMessage(j_common_ptr /*info*/) {}

SourceManager* sourceOf(j_decompress_ptr info) {
    return reinterpret_cast<SourceManager*>(info->src);
}

void initSource(j_decompress_ptr /*info*/) {}

boolean fillInputBuffer(j_decompress_ptr info) {
    SourceManager* source = sourceOf(info);
    std::streamsize got = 0;
    const std::size_t left = kJpegHeaderReadLimit - source->read;
    if (source->in->good() && left > 0) {
        source->in->read(reinterpret_cast<char*>(source->buffer),
                         static_cast<std::streamsize>(std::min(left, SourceManager::kBufferSize)));
        got = source->in->gcount();
        if (got > 0)
            source->read += static_cast<std::size_t>(got);
    }
    if (got <= 0) {
        // The file ended, or the reading did: an end-of-image marker stands
        // in for the rest, as libjpeg's own file source does, so a header
        // that is cut short ends in libjpeg's "no image" error rather than
        // in a wait for more. That marker can never be taken for the start
        // of a scan, so no size comes from what was not read.
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<std::size_t>(got);
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count) {
    if (count <= 0)
        return;
    SourceManager* source = sourceOf(info);
    const auto wanted = static_cast<std::size_t>(count);
    if (wanted <= source->pub.bytes_in_buffer) {
        source->pub.next_input_byte += wanted;
        source->pub.bytes_in_buffer -= wanted;
        return;
    }
    // Seek rather than read over the rest: a large segment costs nothing.
    const std::size_t beyond = wanted - source->pub.bytes_in_buffer;
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = 0;
    source->in->seekg(static_cast<std::streamoff>(beyond), std::ios::cur);
}

void termSource(j_decompress_ptr /*info*/) {}

// Holds nothing that needs destroying, so the jump out of libjpeg skips no
// destructor.
bool readHeader(jpeg_decompress_struct* info, ErrorManager* errors, SourceManager* source,
                PictureSize* size) {
    info->err = jpeg_std_error(&errors->pub);
    errors->pub.error_exit = errorExit;
    errors->pub.output_message = outputMessage;
    if (setjmp(errors->jump) != 0) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    info->src = &source->pub;
    const int result = jpeg_read_header(info, TRUE);
    if (result == JPEG_HEADER_OK) {
        size->width = info->image_width;
        size->height = info->image_height;
    }
    jpeg_destroy_decompress(info);
    return result == JPEG_HEADER_OK;
}

}  // namespace

std::optional<PictureSize> readJpegSize(std::istream& in) {
    // Kept out of the frame that calls setjmp: their lifetime spans the jump.
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    SourceManager source{};
    source.in = &in;
    source.pub.init_source = initSource;
    source.pub.fill_input_buffer = fillInputBuffer;
    source.pub.skip_input_data = skipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = termSource;
    PictureSize size;
    if (!readHeader(&info, &errors, &source, &size))
        return std::nullopt;
    return size;
}

std::optional<PictureSize> readJpegSize(const std::string& path) {
    const std::unique_ptr<std::istream> in = openRegularFile(path);
    if (!in)
        return std::nullopt;
    return readJpegSize(*in);
}

}  // namespace korvane
