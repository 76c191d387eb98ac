#include "base/text_codec.h"

#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/cpu_features.h"
#include "base/sjis_bytes.h"

namespace korvane {

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Walks UTF-16 text a character at a time: a surrogate pair is one, an
// unpaired surrogate is one of its own.
template <typename Visit>
void forEachCharacter(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            visit(0x10000 + ((char32_t{u} - 0xD800) << 10) + (text[i + 1] - 0xDC00), i);
            ++i;
        } else {
            visit(char32_t{u}, i);
        }
    }
}

class ShiftJisCodec final : public TextCodec {
  public:
    std::string_view charsetName() const override { return "Shift_JIS"; }
    std::size_t charLength(std::string_view s, std::size_t i) const override {
        return sjisCharLength(s, i);
    }
    std::u16string decode(std::string_view bytes) const override { return decodeShiftJis(bytes); }
    SjisEncoded encode(std::u16string_view text) const override { return encodeShiftJis(text); }
    std::string_view fullWidthSpace() const override { return "\x81\x40"; }
};

class Utf8Codec final : public TextCodec {
  public:
    std::string_view charsetName() const override { return "UTF-8"; }
    std::size_t charLength(std::string_view s, std::size_t i) const override {
        const std::size_t length = readUtf8Char(s, i).second;
        return length == 0 ? 1 : length;
    }
    std::u16string decode(std::string_view bytes) const override {
        std::u16string out;
        out.reserve(bytes.size());
        for (std::size_t i = 0; i < bytes.size();) {
            const auto [c, length] = readUtf8Char(bytes, i);
            if (length == 0) {
                out +=
                    static_cast<char16_t>(kInvalidByteBase + static_cast<unsigned char>(bytes[i]));
                ++i;
            } else {
                appendUtf16(out, c);
                i += length;
            }
        }
        return out;
    }
    SjisEncoded encode(std::u16string_view text) const override {
        SjisEncoded result;
        result.bytes.reserve(text.size() * 3);
        forEachCharacter(text, [&](char32_t c, std::size_t index) {
            if (isInvalidByteStandIn(c)) {
                // The byte a read could not make a character of goes back
                // as it was.
                result.bytes += static_cast<char>(c - kInvalidByteBase);
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                appendUtf8(result.bytes, kReplacementCharacter);
                result.replaced.push_back({index, c, "\xEF\xBF\xBD", false});
            } else {
                appendUtf8(result.bytes, c);
            }
        });
        return result;
    }
    std::string_view fullWidthSpace() const override { return "\xE3\x80\x80"; }
};

// EUC-JP: JIS X 0208 in two bytes of 0xA1-0xFE, half-width katakana after
// 0x8E. Its characters are CP932's (rows 1-94 of the same table, by
// arithmetic), so the CP932 tables serve both. JIS X 0212 (after 0x8F) has
// no counterpart there: such bytes are kept as they are, as stand-ins.
class EucJpCodec final : public TextCodec {
  public:
    std::string_view charsetName() const override { return "EUC-JP"; }
    std::size_t charLength(std::string_view s, std::size_t i) const override {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t length = 1;
        if (b == 0x8E || (b >= 0xA1 && b <= 0xFE))
            length = 2;
        else if (b == 0x8F)
            length = 3;
        if (length > 1 && i + length > s.size())
            return 1;
        for (std::size_t k = 1; k < length; ++k) {
            if (!isEucByte(s[i + k]))
                return 1;
        }
        return length;
    }
    std::u16string decode(std::string_view bytes) const override {
        std::u16string out;
        out.reserve(bytes.size());
        const auto standIn = [&out](char c) {
            out += static_cast<char16_t>(kInvalidByteBase + static_cast<unsigned char>(c));
        };
        for (std::size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            const std::size_t length = charLength(bytes, i);
            if (b < 0x80) {
                out += static_cast<char16_t>(b);
            } else if (b == 0x8E && length == 2 &&
                       static_cast<unsigned char>(bytes[i + 1]) <= 0xDF) {
                out +=
                    static_cast<char16_t>(0xFF61 + static_cast<unsigned char>(bytes[i + 1]) - 0xA1);
            } else if (length == 2 && b != 0x8E) {
                const char16_t c = pairOf(b, static_cast<unsigned char>(bytes[i + 1]));
                if (c != 0) {
                    out += c;
                } else {
                    standIn(bytes[i]);
                    standIn(bytes[i + 1]);
                }
            } else {
                for (std::size_t k = 0; k < length; ++k)
                    standIn(bytes[i + k]);
            }
            i += length;
        }
        return out;
    }
    SjisEncoded encode(std::u16string_view text) const override {
        SjisEncoded result;
        result.bytes.reserve(text.size() * 2);
        forEachCharacter(text, [&](char32_t c, std::size_t index) {
            if (isInvalidByteStandIn(c)) {
                result.bytes += static_cast<char>(c - kInvalidByteBase);
                return;
            }
            const std::optional<ShiftJisCode> code =
                c > 0xFFFF ? std::nullopt : shiftJisCodeOf(static_cast<char16_t>(c));
            std::string bytes = code ? eucOf(code->code) : std::string();
            if (bytes.empty()) {
                result.bytes += '?';
                result.replaced.push_back({index, c, "?", false});
                return;
            }
            result.bytes += bytes;
            if (code->bestFit)
                result.replaced.push_back({index, c, std::move(bytes), true});
        });
        return result;
    }
    std::string_view fullWidthSpace() const override { return "\xA1\xA1"; }

  private:
    static bool isEucByte(char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0xA1 && b <= 0xFE;
    }

    // The character of the EUC-JP pair (row + 0xA0, cell + 0xA0), through
    // its CP932 code; 0 when it has none.
    static char16_t pairOf(unsigned char first, unsigned char second) {
        const unsigned row = first - 0xA0u;
        const unsigned cell = second - 0xA0u;
        if (row < 1 || row > 94 || cell < 1 || cell > 94)
            return 0;
        const unsigned pairIndex = (row - 1) / 2;
        const unsigned lead = pairIndex < 31 ? 0x81 + pairIndex : 0xE0 + pairIndex - 31;
        const unsigned trail = row % 2 == 1 ? cell + 0x3F + (cell >= 64 ? 1 : 0) : cell + 0x9E;
        return decodeShiftJisPair(static_cast<unsigned char>(lead),
                                  static_cast<unsigned char>(trail));
    }

    // The EUC-JP bytes of a CP932 code; empty when EUC-JP has none (the
    // user-defined rows and the IBM extensions lie past row 94).
    static std::string eucOf(std::uint16_t code) {
        if (code < 0x80)
            return std::string(1, static_cast<char>(code));
        if (code >= 0xA1 && code <= 0xDF)
            return {'\x8E', static_cast<char>(code)};
        if (code <= 0xFF)
            return {};
        const unsigned lead = code >> 8;
        const unsigned trail = code & 0xFF;
        const unsigned pairIndex = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
        const bool evenRow = trail >= 0x9F;
        const unsigned row = 2 * pairIndex + 1 + (evenRow ? 1 : 0);
        const unsigned cell = evenRow ? trail - 0x9E : trail - 0x3F - (trail >= 0x80 ? 1 : 0);
        if (row > 94 || cell < 1 || cell > 94)
            return {};
        return {static_cast<char>(row + 0xA0), static_cast<char>(cell + 0xA0)};
    }
};

}  // namespace

bool TextCodec::holdsAll(std::u16string_view text) const {
    return encode(text).replaced.empty();
}

std::string TextCodec::toUtf8(std::string_view bytes) const {
    return utf16ToUtf8(decode(bytes));
}

SjisEncoded TextCodec::fromUtf8(std::string_view utf8) const {
    std::u16string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto [c, length] = readUtf8Char(utf8, i);
        if (length == 0) {
            text += kReplacementCharacter;
            ++i;
        } else {
            appendUtf16(text, c);
            i += length;
        }
    }
    return encode(text);
}

const TextCodec& shiftJisCodec() {
    static const ShiftJisCodec codec;
    return codec;
}

const TextCodec& utf8Codec() {
    static const Utf8Codec codec;
    return codec;
}

const TextCodec& eucJpCodec() {
    static const EucJpCodec codec;
    return codec;
}

const TextCodec& codecOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::ShiftJis:
            return shiftJisCodec();
        case TextEncoding::EucJp:
            return eucJpCodec();
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            break;
    }
    return utf8Codec();
}

SjisEncoded convertBytes(std::string_view bytes, const TextCodec& from, const TextCodec& to) {
    if (&from == &to)
        return {std::string(bytes), {}};
    return to.encode(from.decode(bytes));
}

namespace {

// One character of UTF-8 at `i` (or a CR LF) into the document's units.
inline void decodeUtf8Step(std::string_view bytes, std::size_t& i, char16_t*& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const unsigned char b = p[i];
    if (b < 0x80) {
        if (b == '\r' && i + 1 < n && p[i + 1] == '\n') {
            *out++ = u'\n';
            i += 2;
        } else {
            *out++ = b;
            ++i;
        }
        return;
    }
    if (b >= 0xE1 && b <= 0xEC && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 &&
        (p[i + 2] & 0xC0) == 0x80) {
        // The common three-byte form (kana and kanji), which has no
        // overlong or surrogate values to rule out.
        *out++ = static_cast<char16_t>(((b & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                       (p[i + 2] & 0x3F));
        i += 3;
        return;
    }
    const auto [c, length] = readUtf8Char(bytes, i);
    if (length == 0) {
        *out++ = static_cast<char16_t>(kInvalidByteBase + b);
        ++i;
    } else if (c >= 0x10000) {
        *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        i += length;
    } else {
        *out++ = static_cast<char16_t>(c);
        i += length;
    }
}

#if defined(__SSE2__)
// Sixteen bytes of ASCII without a CR as sixteen units; false for any
// other sixteen.
inline bool decodeAscii16(__m128i v, std::size_t& i, char16_t*& out) {
    if (_mm_movemask_epi8(v) != 0 || _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))) != 0)
        return false;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, _mm_setzero_si128()));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8),
                     _mm_unpackhi_epi8(v, _mm_setzero_si128()));
    out += 16;
    i += 16;
    return true;
}
#endif

#if defined(KORVANE_X86_DISPATCH)
// The first fifteen of sixteen bytes as five units, where they are five
// characters of three bytes each that need no check beyond their shape:
// lead bytes E1-EC or EE-EF (E0 may be overlong, ED a surrogate), each with
// two continuation bytes. Kana and kanji, and the full-width forms, come in
// such runs. Writes eight units, of which five count: a document's units
// are never more than the bytes read so far, so they fit.
__attribute__((target("ssse3"))) inline bool decodeFiveKanji(__m128i v, std::size_t& i,
                                                             char16_t*& out) {
    constexpr int kLeads = 0x1249;          // bytes 0, 3, 6, 9, 12
    constexpr int kContinuations = 0x6DB6;  // the two behind each
    const __m128i continuation =
        _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xC0))),
                       _mm_set1_epi8(static_cast<char>(0x80)));
    if ((_mm_movemask_epi8(continuation) & kContinuations) != kContinuations)
        return false;
    // Not E1-EF: saturates to zero below E1, or F0 and up, or ED.
    const __m128i notLead = _mm_or_si128(
        _mm_cmpeq_epi8(_mm_subs_epu8(v, _mm_set1_epi8(static_cast<char>(0xE0))),
                       _mm_setzero_si128()),
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0xED))),
                     _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xF0))),
                                    _mm_set1_epi8(static_cast<char>(0xF0)))));
    if ((_mm_movemask_epi8(notLead) & kLeads) != 0)
        return false;
    // Each unit's three bytes into its lane: the lead alone, and the two
    // continuations as one 16-bit value.
    const __m128i leads = _mm_shuffle_epi8(
        v, _mm_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 12, -1, -1, -1, -1, -1, -1, -1));
    const __m128i tails = _mm_shuffle_epi8(
        v, _mm_setr_epi8(2, 1, 5, 4, 8, 7, 11, 10, 14, 13, -1, -1, -1, -1, -1, -1));
    const __m128i units =
        _mm_or_si128(_mm_slli_epi16(leads, 12),
                     _mm_or_si128(_mm_and_si128(tails, _mm_set1_epi16(0x3F)),
                                  _mm_srli_epi16(_mm_and_si128(tails, _mm_set1_epi16(0x3F00)), 2)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    out += 5;
    i += 15;
    return true;
}

__attribute__((target("ssse3"))) std::size_t decodeUtf8DocumentSsse3(std::string_view bytes,
                                                                     char16_t* out) {
    char16_t* const start = out;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        if (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            if (decodeAscii16(v, i, out) || decodeFiveKanji(v, i, out))
                continue;
        }
        decodeUtf8Step(bytes, i, out);
    }
    return static_cast<std::size_t>(out - start);
}
#endif

// UTF-8 straight into the document's units: a whole document is decoded on
// every open, so runs of ASCII, and of kana and kanji where the processor
// can, go sixteen bytes at a time.
std::size_t decodeUtf8Document(std::string_view bytes, char16_t* out) {
#if defined(KORVANE_X86_DISPATCH)
    if (cpuHasSsse3())
        return decodeUtf8DocumentSsse3(bytes, out);
#endif
    char16_t* const start = out;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
#if defined(__SSE2__)
        if (i + 16 <= n &&
            decodeAscii16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i)), i,
                          out))
            continue;
#endif
        decodeUtf8Step(bytes, i, out);
    }
    return static_cast<std::size_t>(out - start);
}

}  // namespace

std::size_t decodeDocument(const TextCodec& codec, std::string_view crlfBytes, char16_t* out) {
    if (&codec == &shiftJisCodec())
        return decodeShiftJisDocument(crlfBytes, out);
    if (&codec == &utf8Codec())
        return decodeUtf8Document(crlfBytes, out);
    const std::u16string text = codec.decode(crlfBytes);
    char16_t* const start = out;
    for (const char16_t c : text) {
        if (c == u'\n' && out != start && out[-1] == u'\r')
            out[-1] = u'\n';
        else
            *out++ = c;
    }
    return static_cast<std::size_t>(out - start);
}

std::string recodeFromShiftJis(std::string_view shiftJis, const TextCodec& codec) {
    return convertBytes(shiftJis, shiftJisCodec(), codec).bytes;
}

std::string recodeToShiftJis(std::string_view bytes, const TextCodec& codec) {
    return convertBytes(bytes, codec, shiftJisCodec()).bytes;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    forEachCharacter(text, [&out](char32_t c, std::size_t) {
        appendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? kReplacementCharacter : c);
    });
    return out;
}

}  // namespace korvane
