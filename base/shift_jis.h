// The document codec: Windows code page 932 ("Shift_JIS" as Windows writes it).
//
// Documents are kept as Shift_JIS bytes everywhere in the core; the codec is
// only needed where text meets the toolkit (UTF-16) or the terminal (UTF-8).
// Decoding never fails: bytes that are not valid CP932 become private code
// points that encode back to exactly the same bytes, so a file that is opened
// and saved unchanged keeps every byte.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

// A character that CP932 cannot hold as it stands, and what was written for it.
// Encoding reports every character whose bytes do not decode back to it.
struct SjisReplacement {
    std::size_t index = 0;   // position in the input, in code units of the input
    char32_t character = 0;  // the character as it was given; U+FFFD for a malformed UTF-8 byte
    std::string bytes;       // the bytes written in its place
    bool bestFit = false;    // true: a look-alike (Windows' best fit, or the JIS form of U+301C,
                             // U+2014, U+2016, U+2212, U+203E); false: the default character "?",
                             // or the byte of a stand-in that will not decode back to it
};

struct SjisEncoded {
    std::string bytes;
    std::vector<SjisReplacement> replaced;  // empty when every character was held as it is
};

// CP932 bytes to UTF-16.
std::u16string decodeShiftJis(std::string_view bytes);
// CP932 bytes to the text of an editor's document, each CR LF one "\n":
// writes at most bytes.size() units to `out` and returns how many.
std::size_t decodeShiftJisDocument(std::string_view bytes, char16_t* out);
// CP932 bytes to UTF-8.
std::string decodeShiftJisToUtf8(std::string_view bytes);

// UTF-16 to CP932. Unpaired surrogates count as characters CP932 cannot hold.
SjisEncoded encodeShiftJis(std::u16string_view text);
// Appends the CP932 bytes of `text` to `out` where every character has an
// exact code of its own (no look-alike, no stand-in, nothing CP932 lacks):
// the bytes a file of that text holds, written back the same. False as
// soon as one has not; `out` then holds the bytes up to it.
bool appendExactShiftJis(std::u16string_view text, std::string& out);
// The codes (a single byte, or lead << 8 | trail) that are the very bytes
// encoding writes for the character they decode to: a text read from codes
// like these alone is written back byte for byte. Duplicates that encoding
// does not choose, look-alikes and bytes that start no character are not.
const std::bitset<0x10000>& ownShiftJisCodes();
// The characters a code that is not one of those decodes to, and every
// stand-in: a text decoded from CP932 without any of them came from such
// codes alone, whatever its bytes were. A few hundred, nearly all rare.
const std::bitset<0x10000>& unsureShiftJisUnits();
// UTF-8 to CP932. Malformed UTF-8 sequences are replaced (and reported) byte by byte.
SjisEncoded encodeShiftJisFromUtf8(std::string_view utf8);

// Whether the character encodes to CP932 bytes that decode back to itself. A
// stand-in for a lead byte counts: alone it does, though a following byte that
// pairs with it makes a double-byte character (encoding reports that case).
bool isShiftJisCharacter(char32_t c);

// The code Windows writes for the character of the double-byte code `code`
// (lead byte << 8 | trail byte). For the 398 duplicates that is another code
// (0x8790 "≒" gives 0x81E0, 0xED40 gives 0xFA5C); for every other code, and
// for what is not a double-byte code, `code` itself. Text read from a file
// keeps its codes, so a search compares characters through this.
unsigned windowsFormOfCode(unsigned code);

// One character's CP932 code, for codecs built on CP932's tables (EUC-JP
// shares its JIS X 0208 characters): a single byte, or lead << 8 | trail,
// and whether it is a look-alike. Nothing when Windows would write its
// default character "?"; a stand-in of an undecodable byte gives that byte.
struct ShiftJisCode {
    std::uint16_t code = 0;
    bool bestFit = false;
};
std::optional<ShiftJisCode> shiftJisCodeOf(char16_t c);
// The character of the double-byte code (lead, trail); 0 when it has none.
char16_t decodeShiftJisPair(unsigned char lead, unsigned char trail);

// The code point of the well-formed UTF-8 sequence at `i` and its length,
// or length 0 when the byte at `i` does not start one (overlong forms,
// surrogates and values past U+10FFFF included).
std::pair<char32_t, std::size_t> readUtf8Char(std::string_view s, std::size_t i);

// A byte that is not valid CP932 decodes to the private code point
// kInvalidByteBase + byte, its stand-in, which encodes back to that byte. Only
// lead bytes (0x81-0x9F, 0xE0-0xFC) are ever invalid, but the whole range
// U+F780..U+F7FF (byte 0x80..0xFF) is reserved; it collides neither with the
// user-defined characters U+E000..U+E757 nor with U+F8F0..U+F8F3.
constexpr char32_t kInvalidByteBase = 0xF700;
constexpr bool isInvalidByteStandIn(char32_t c) {
    return c >= 0xF780 && c <= 0xF7FF;
}

// Whether a unit of text decoded from CP932 came from two bytes: every
// character of a double-byte code does, and no single byte's character or
// stand-in is among them (0x80 is U+0080, 0xA0 and 0xFD-0xFF are
// U+F8F0-U+F8F3, 0xA1-0xDF the half-width katakana).
constexpr bool isDoubleByteUnit(char16_t c) {
    if (c <= 0x80)
        return false;
    if (c < 0xF780)
        return true;
    return !(c <= 0xF7FF || (c >= 0xF8F0 && c <= 0xF8F3) || (c >= 0xFF61 && c <= 0xFF9F));
}

}  // namespace korvane
