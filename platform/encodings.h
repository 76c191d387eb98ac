// Files that are not Shift_JIS: what they seem to be, and their text in
// Shift_JIS once the user asks for it.
//
// The editor reads every file as Shift_JIS bytes and keeps the bytes of text
// nobody edits, so a UTF-8 or EUC-JP page opened and saved comes back as it
// was. What it shows of such a file is not its text, though: the user is
// told what the file seems to be and may convert it once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_breaks.h"
#include "base/shift_jis.h"
#include "base/text_codec.h"

namespace korvane {

// A guess from the bytes: a byte order mark; valid UTF-8 that holds
// characters beyond ASCII; a charset the page declares in its first 1,024
// bytes (a META tag's "charset=", an XML declaration's "encoding=") when the
// bytes agree with it; EUC-JP whose bytes make no sense as Shift_JIS, or
// only as a long run of half-width katakana. Everything else is Shift_JIS.
TextEncoding guessEncoding(std::string_view bytes);

// The charset a page declares in `start` (its first bytes): the first
// "charset=" or "encoding=" that names Shift_JIS, UTF-8 or EUC-JP by any of
// their usual names; nothing when none does.
std::optional<TextEncoding> declaredEncoding(std::string_view start);
// How many bytes of a page are looked at for its declaration.
inline constexpr std::size_t kDeclarationBytes = 1024;

// The same guess over a text read in pieces. Every piece but the last must
// end with a line break: no character of UTF-8, EUC-JP or Shift_JIS holds a
// CR or LF byte, so the pieces then tell what the whole would.
class EncodingGuess {
  public:
    void add(std::string_view piece);
    TextEncoding result() const;

  private:
    bool m_first = true;
    TextEncoding m_bom = TextEncoding::ShiftJis;
    bool m_hasBom = false;
    bool m_utf8 = true;
    bool m_multibyte = false;
    bool m_eucJp = true;
    std::size_t m_eucPairs = 0;
    bool m_broken = false;
    std::size_t m_doubles = 0;
    std::optional<TextEncoding> m_declared;
    bool m_shiftJis = true;  // every lead byte has a byte that may follow it
};

// Whether `bytes` (held: no byte order mark, not UTF-16) are characters of
// `encoding` throughout, with no byte that starts none.
bool isValidIn(std::string_view bytes, TextEncoding encoding);

// The name the user sees: "UTF-8", "UTF-8 (BOM付き)", "UTF-16", "EUC-JP".
std::string encodingName(TextEncoding encoding);

// The encoding named on a command line ("shift_jis", "utf-8", "utf-16",
// "euc-jp", "auto"); false for a name it does not know.
bool parseEncodingName(std::string_view name, bool& automatic, TextEncoding& encoding);

// A document as it is held: its bytes in the codec of its encoding
// (codecOf), every line break CR LF. A UTF-16 file is held as UTF-8.
struct HeldDocument {
    bool ok = false;  // false: a UTF-16 file with an odd number of bytes or broken surrogates
    std::string bytes;
    LineBreaks breaks;
};

// A file's bytes, read as `encoding`, as the editor holds them: the byte
// order mark dropped, UTF-16 made UTF-8, the line breaks made CR LF and the
// file's own remembered.
HeldDocument holdDocument(std::string_view fileBytes, TextEncoding encoding);
// And back: what is written for held bytes, with the file's line breaks, a
// byte order mark where the encoding has one, UTF-16 where it is UTF-16.
std::string fileBytesOf(std::string_view heldBytes, TextEncoding encoding,
                        const LineBreaks& breaks);

struct ConvertedText {
    bool ok = false;  // false: the bytes are not valid in that encoding
    std::string bytes;
    // What Shift_JIS could not hold, and what was written for it.
    std::vector<SjisReplacement> replaced;
};

// The text of `bytes` (in `from`, a byte order mark dropped) in Shift_JIS.
ConvertedText convertToShiftJis(std::string_view bytes, TextEncoding from);

}  // namespace korvane
