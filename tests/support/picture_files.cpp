#include "tests/support/picture_files.h"

namespace korvane::test {

namespace {

void appendLittleEndian16(std::string& bytes, unsigned value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

}  // namespace

std::string makeGif(unsigned width, unsigned height) {
    std::string gif = "GIF89a";
    // The logical screen: its size, no colour table.
    appendLittleEndian16(gif, width);
    appendLittleEndian16(gif, height);
    gif += std::string(3, '\0');
    // One picture covering the screen.
    gif += '\x2C';
    appendLittleEndian16(gif, 0);
    appendLittleEndian16(gif, 0);
    appendLittleEndian16(gif, width);
    appendLittleEndian16(gif, height);
    gif += '\0';
    // Two-bit codes: the clear code (4) and the end code (5) in one
    // sub-block, then the block's end and the file's.
    gif += std::string("\x02\x01\x2C\x00\x3B", 5);
    return gif;
}

}  // namespace korvane::test
