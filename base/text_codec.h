// What a document's bytes are, and the one object per document that knows.
//
// The core works on bytes: positions count bytes, tag syntax is ASCII and a
// tag's "<", ">", "&" and quote never occur inside a multibyte character in
// any encoding the program reads, so the tag commands, the highlighter and
// the conversions see bytes whatever the encoding. What does depend on it —
// where a character ends, the text the toolkit shows, the bytes of what the
// user types, the literals a conversion writes — comes from the document's
// codec.
//
// Shift_JIS (CP932) is the default and the Parts' world. A UTF-8 page is held
// as its UTF-8 bytes, an EUC-JP page as its EUC-JP bytes; a UTF-16 file is
// held as UTF-8 and written back as UTF-16. Decoding never fails: a byte that
// starts no character becomes its stand-in (kInvalidByteBase + byte), which
// encodes back to the same byte, so bytes nobody edited are written as read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/shift_jis.h"

namespace korvane {

// A document file's encoding.
enum class TextEncoding {
    ShiftJis,  // Shift_JIS (CP932), or plain ASCII
    Utf8,
    Utf8Bom,  // UTF-8 that starts with a byte order mark
    Utf16Le,  // with its byte order mark
    Utf16Be,
    EucJp,
};

class TextCodec {
  public:
    virtual ~TextCodec() = default;

    // The charset a page declares for these bytes: "Shift_JIS", "UTF-8",
    // "EUC-JP".
    virtual std::string_view charsetName() const = 0;
    // The bytes of the character that starts at `i` (< s.size()): 1 for a
    // byte that starts none; never past the end of `s`.
    virtual std::size_t charLength(std::string_view s, std::size_t i) const = 0;
    virtual std::u16string decode(std::string_view bytes) const = 0;
    // What the encoding cannot hold is replaced, and reported.
    virtual SjisEncoded encode(std::u16string_view text) const = 0;
    // The ideographic space (U+3000), which a conversion writes for a tab.
    virtual std::string_view fullWidthSpace() const = 0;
    // Whether every character of the bytes is one it can hold as it is.
    virtual bool holdsAll(std::u16string_view text) const;

    std::string toUtf8(std::string_view bytes) const;
    SjisEncoded fromUtf8(std::string_view utf8) const;
};

const TextCodec& shiftJisCodec();
const TextCodec& utf8Codec();
const TextCodec& eucJpCodec();
// The codec of the bytes a document of `encoding` is held in.
const TextCodec& codecOf(TextEncoding encoding);

// The text of `bytes` in `from` in the codec `to`: what `to` cannot hold is
// replaced and reported, with indexes in UTF-16 units of the text.
SjisEncoded convertBytes(std::string_view bytes, const TextCodec& from, const TextCodec& to);

// The text of an editor's document of `crlfBytes` in `codec`, each CR LF one
// "\n": writes at most crlfBytes.size() units to `out` and returns how many.
// No codec here decodes a byte to more than one unit, nor a four-byte UTF-8
// character to more than two.
std::size_t decodeDocument(const TextCodec& codec, std::string_view crlfBytes, char16_t* out);

// Shift_JIS bytes (a setting, a dialog field, the title box: what the
// settings file keeps) as a document in `codec` writes them, and a
// document's bytes back in Shift_JIS; what the target cannot hold is
// replaced.
std::string recodeFromShiftJis(std::string_view shiftJis, const TextCodec& codec);
std::string recodeToShiftJis(std::string_view bytes, const TextCodec& codec);

// UTF-16 to UTF-8; an unpaired surrogate is written as U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);
// One character in UTF-8, appended to `out`.
void appendUtf8(std::string& out, char32_t c);

}  // namespace korvane
