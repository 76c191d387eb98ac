// The document codec: Windows code page 932 ("Shift_JIS" as Windows writes it).
//
// Documents are kept as Shift_JIS bytes everywhere in the core; the codec is
// only needed where text meets the toolkit (UTF-16) or the terminal (UTF-8).
// Decoding never fails: bytes that are not valid CP932 become private code
// points that encode back to exactly the same bytes, so a file that is opened
// and saved unchanged keeps every byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A character that CP932 cannot hold as it stands, and what was written for it.
struct SjisReplacement {
    std::size_t index = 0;    // position in the input, in code units of the input
    char32_t character = 0;   // the character as it was given
    std::string bytes;        // the bytes written in its place
    bool bestFit = false;     // true: Windows' own best-fit mapping; false: the default character
};

struct SjisEncoded {
    std::string bytes;
    std::vector<SjisReplacement> replaced;  // empty when every character was held as it is
};

// CP932 bytes to UTF-16.
std::u16string decodeShiftJis(std::string_view bytes);
// CP932 bytes to UTF-8.
std::string decodeShiftJisToUtf8(std::string_view bytes);

// UTF-16 to CP932. Unpaired surrogates count as characters CP932 cannot hold.
SjisEncoded encodeShiftJis(std::u16string_view text);
// UTF-8 to CP932. Malformed UTF-8 sequences are replaced (and reported) byte by byte.
SjisEncoded encodeShiftJisFromUtf8(std::string_view utf8);

// Whether the character encodes to CP932 bytes that decode back to itself.
bool isShiftJisCharacter(char32_t c);

// The private code point that stands for a byte that is not valid CP932, or 0
// when the code point is not such a stand-in. The range is U+F780..U+F7FF
// (byte 0x80..0xFF); it collides neither with the user-defined characters
// U+E000..U+E757 nor with U+F8F0..U+F8F3.
constexpr char32_t kInvalidByteBase = 0xF700;
constexpr bool isInvalidByteStandIn(char32_t c) { return c >= 0xF780 && c <= 0xF7FF; }

}  // namespace korvane
