#include "editor/text_mirror.h"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cstring>

#include "base/shift_jis.h"
#include "base/sjis_bytes.h"
#include "editor/unit_widths.h"

namespace korvane {

namespace {

// The double-byte characters among 64 units. Every offset a pass maps counts
// a few words; the processor's own instruction is used where it has one (the
// baseline x86-64 does not, and the library routine costs twenty times more).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("popcnt", "default")))
#endif
std::size_t
countWide(std::uint64_t bits) {
    return static_cast<std::size_t>(std::popcount(bits));
}

// Lines per chunk: small enough that an edit moves few line records, large
// enough that a 10 MB text has only a few hundred chunks to step over.
constexpr std::size_t kChunkLines = 512;
constexpr std::size_t kMaxChunkLines = 2 * kChunkLines;

// Bytes a character that CP932 holds as it is takes: one for ASCII, the
// half-width katakana, the Windows single bytes and the stand-ins of damaged
// bytes, two for everything else.
std::size_t exactWidth(char16_t c) {
    if (c < 0x80 || c == 0x80)
        return 1;
    if ((c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xF8F0 && c <= 0xF8F3))
        return 1;
    if (isInvalidByteStandIn(c))
        return 1;
    return 2;
}

bool isSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

bool isLineBreakUnit(char16_t c) {
    return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029;
}

bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The code a search compares: one form per character (a file may hold a
// duplicate code), and without match case one case per Latin letter.
unsigned foldCode(unsigned code, bool matchCase) {
    if (code > 0xFF)
        code = windowsFormOfCode(code);
    if (matchCase)
        return code;
    if (code >= 'a' && code <= 'z')
        return code - ('a' - 'A');
    if (code >= 0x8281 && code <= 0x829A)  // full-width a..z to A..Z
        return code - 0x21;
    return code;
}

// The byte forms a text character can have to compare equal to the first
// character of a search (folded `code`, `width` bytes): the character
// itself, its other case, and the duplicate codes that stand for it.
std::vector<std::string> firstCharForms(unsigned code, std::size_t width, bool matchCase) {
    std::vector<std::string> forms;
    const auto add = [&forms](unsigned c, std::size_t w) {
        std::string f = w == 2 ? std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)}
                               : std::string(1, static_cast<char>(c));
        if (std::find(forms.begin(), forms.end(), f) == forms.end())
            forms.push_back(std::move(f));
    };
    add(code, width);
    if (!matchCase && width == 1 && code >= 'A' && code <= 'Z')
        add(code + ('a' - 'A'), 1);
    if (!matchCase && width == 2 && code >= 0x8260 && code <= 0x8279)
        add(code + 0x21, 2);
    if (width == 2) {
        // Only these rows hold codes that are duplicates of others.
        for (unsigned lead : {0x87u, 0xEDu, 0xEEu, 0xFAu, 0xFBu, 0xFCu}) {
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const unsigned c = (lead << 8) | trail;
                if (c != code && foldCode(c, matchCase) == code)
                    add(c, 2);
            }
        }
    }
    return forms;
}

// More forms of one character than this are searched for character by
// character (no character has more than three).
constexpr std::size_t kMaxForms = 8;

// The first place at or after `from` where `form` stands in `bytes`.
std::size_t firstForm(std::string_view bytes, std::size_t from, const std::string& form) {
    if (from >= bytes.size())
        return std::string::npos;
    const char* base = bytes.data();
    const std::size_t n = bytes.size();
    if (form.size() == 1) {
        const void* found = std::memchr(base + from, form[0], n - from);
        return found == nullptr ? std::string::npos
                                : static_cast<std::size_t>(static_cast<const char*>(found) - base);
    }
    // A two-byte form is looked for by its second byte: lead bytes are few
    // and common (every hiragana starts with 0x82), second bytes spread out.
    for (std::size_t at = from + 1; at < n;) {
        const void* found = std::memchr(base + at, form[1], n - at);
        if (found == nullptr)
            break;
        const auto second = static_cast<std::size_t>(static_cast<const char*>(found) - base);
        if (base[second - 1] == form[0])
            return second - 1;
        at = second + 1;
    }
    return std::string::npos;
}

// Appends a run, joining it to the last one when they touch with one colour.
void pushRun(std::vector<TextMirror::ColorRun>& runs, std::uint32_t start, std::uint32_t end,
             ColorValue color) {
    if (start >= end)
        return;
    if (!runs.empty() && runs.back().end == start && runs.back().color == color) {
        runs.back().end = end;
        return;
    }
    runs.push_back({start, end, color});
}

// Appends the parts of `runs` inside [from, to), moved by `shift`.
void copyRuns(std::vector<TextMirror::ColorRun>& out, const std::vector<TextMirror::ColorRun>& runs,
              std::size_t from, std::size_t to, std::ptrdiff_t shift) {
    for (const TextMirror::ColorRun& r : runs) {
        const std::size_t s = std::max<std::size_t>(r.start, from);
        const std::size_t e = std::min<std::size_t>(r.end, to);
        if (s < e) {
            pushRun(out, static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(s) + shift),
                    static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(e) + shift), r.color);
        }
    }
}

// The code of the character of `width` (at most four) bytes at `byte`.
unsigned codeAt(std::string_view bytes, std::size_t byte, std::size_t width) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + byte;
    unsigned code = 0;
    for (std::size_t k = 0; k < width; ++k)
        code = (code << 8) | p[k];
    return code;
}

// Gives the character of `width` bytes at `to` the bytes of the one at `from`.
void copyCode(std::string_view from, std::size_t fromByte, std::string& to, std::size_t toByte,
              std::size_t width) {
    for (std::size_t k = 0; k < width; ++k)
        to[toByte + k] = from[fromByte + k];
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The bytes a unit takes in UTF-8 when the codec reported nothing about it;
// a surrogate pair is two units of two bytes.
std::size_t utf8Width(char16_t c) {
    if (c < 0x80 || isInvalidByteStandIn(c))
        return 1;
    if (c < 0x800 || isSurrogate(c))
        return 2;
    return 3;
}

// The same for EUC-JP: everything it holds beyond ASCII takes two bytes.
std::size_t eucWidth(char16_t c) {
    return c < 0x80 || isInvalidByteStandIn(c) ? 1 : 2;
}

// Sets unit u's width bits in the two sets `a` and `b` (1 + a + 2b bytes).
void setWidth(std::vector<std::uint64_t>& a, std::vector<std::uint64_t>& b, std::size_t u,
              std::size_t width, bool& anyA, bool& anyB) {
    const std::uint64_t bit = std::uint64_t{1} << (u % 64);
    if (width == 2 || width == 4) {
        a[u / 64] |= bit;
        anyA = true;
    }
    if (width >= 3) {
        b[u / 64] |= bit;
        anyB = true;
    }
}

// Each unit's width (bit u of `wide` for a unit of two bytes): what the
// codec wrote for it when it reported the unit, else the width of the
// character it holds as it is. Returns the bytes they add up to.
std::size_t unitWidths(std::u16string_view source, const std::vector<SjisReplacement>& replaced,
                       std::vector<std::uint64_t>& wide, bool& anyWide) {
    std::size_t total = 0;
    std::size_t r = 0;
    for (std::size_t u = 0; u < source.size(); ++u) {
        while (r < replaced.size() && replaced[r].index < u)
            ++r;
        const std::size_t width = (r < replaced.size() && replaced[r].index == u)
                                      ? replaced[r].bytes.size()
                                      : exactWidth(source[u]);
        if (width == 2) {
            wide[u / 64] |= std::uint64_t{1} << (u % 64);
            anyWide = true;
        }
        total += width;
    }
    return total;
}

// The bytes and widths of `source` encoded one unit at a time, each unit
// one or two bytes.
void encodeUnitByUnit(std::u16string_view source, std::string& bytes,
                      std::vector<std::uint64_t>& wide, bool& anyWide) {
    bytes.clear();
    std::fill(wide.begin(), wide.end(), 0);
    anyWide = false;
    for (std::size_t u = 0; u < source.size(); ++u) {
        std::string one = encodeShiftJis(source.substr(u, 1)).bytes;
        if (one.size() >= 2) {
            one.resize(2);
            wide[u / 64] |= std::uint64_t{1} << (u % 64);
            anyWide = true;
        }
        bytes += one;
    }
}

// What in a line's text a Shift_JIS document cannot keep as it is, given
// what the codec reported of it.
void reportProblems(const TextCodec& codec, std::u16string_view text, std::size_t lineIndex,
                    const std::vector<SjisReplacement>& replaced,
                    std::vector<TextMirror::Problem>& problems) {
    const bool sjis = &codec == &shiftJisCodec();
    const bool utf8 = &codec == &utf8Codec();
    using Kind = TextMirror::Problem::Kind;
    std::size_t r = 0;
    for (std::size_t u = 0; u < text.size(); ++u) {
        while (r < replaced.size() && replaced[r].index < u)
            ++r;
        const char16_t c = text[u];
        const bool hasNext = u + 1 < text.size();
        if (isLineBreakUnit(c)) {
            const bool pair = c == u'\r' && hasNext && text[u + 1] == u'\n';
            problems.push_back(
                {Kind::LineBreak, lineIndex, u, pair ? 2u : 1u, c, std::u16string()});
            u += pair ? 1 : 0;
        } else if (isSurrogate(c)) {
            const bool pair =
                c <= 0xDBFF && hasNext && text[u + 1] >= 0xDC00 && text[u + 1] <= 0xDFFF;
            if (utf8) {
                // UTF-8 holds every character; only half a pair is none.
                if (pair)
                    ++u;
                else
                    problems.push_back({Kind::Replaced, lineIndex, u, 1u, c, u"\uFFFD"});
                continue;
            }
            const char32_t full =
                pair ? 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[u + 1] - 0xDC00u) : c;
            problems.push_back({Kind::Replaced, lineIndex, u, pair ? 2u : 1u, full, u"?"});
            u += pair ? 1 : 0;
        } else if (r < replaced.size() && replaced[r].index == u) {
            const SjisReplacement& report = replaced[r];
            // A damaged lead byte is reported when the byte after it would
            // pair with it; the codec keeps both bytes.
            const bool merges = sjis && isInvalidByteStandIn(report.character) &&
                                report.bytes.size() == 1 &&
                                isSjisLeadByte(static_cast<unsigned char>(report.bytes[0]));
            if (merges) {
                problems.push_back(
                    {Kind::Merges, lineIndex, u, 1, report.character, std::u16string()});
            } else {
                problems.push_back({Kind::Replaced, lineIndex, u, 1, report.character,
                                    codec.decode(report.bytes)});
            }
        }
    }
}

}  // namespace

// Steps through the text character by character; a line break is one
// character of two bytes.
class TextMirror::CharWalker {
  public:
    CharWalker(const TextMirror& mirror, LineRef ref, std::size_t unit)
        : m_mirror(mirror), m_ref(ref), m_line(mirror.lineAt(ref)), m_unit(unit) {
        m_line.bytes = mirror.bytesOf(m_ref, m_line, m_own);
        m_byte = unitToByteIn(m_line, unit);
        skipSoftBreaks();
    }
    // A copy walks on from the same place; the bytes of a line without
    // bytes of its own are its own copy's.
    CharWalker(const CharWalker& other)
        : m_mirror(other.m_mirror),
          m_ref(other.m_ref),
          m_line(other.m_line),
          m_unit(other.m_unit),
          m_byte(other.m_byte),
          m_own(other.m_own) {
        if (m_line.lean)
            m_line.bytes = m_own;
    }
    CharWalker& operator=(const CharWalker&) = delete;

    bool atEnd() const { return m_unit == m_line.units && m_ref.line + 1 == m_mirror.m_lineCount; }
    std::size_t offset() const { return m_ref.byte + m_byte; }
    std::size_t width() const {
        if (m_unit == m_line.units)
            return 2;
        return isWide(m_line, m_unit) ? 2 : 1;
    }
    unsigned code() const {
        if (m_unit == m_line.units)
            return 0x0D0A;
        const auto* p = reinterpret_cast<const unsigned char*>(m_line.bytes.data()) + m_byte;
        return width() == 2 ? (unsigned{p[0]} << 8) | p[1] : p[0];
    }
    void advance() {
        if (m_unit == m_line.units) {
            nextLine();
        } else {
            m_byte += width();
            ++m_unit;
        }
        skipSoftBreaks();
    }

  private:
    bool nextLine() {
        if (!m_mirror.nextLine(m_ref))
            return false;
        m_line = m_mirror.lineAt(m_ref);
        m_line.bytes = m_mirror.bytesOf(m_ref, m_line, m_own);
        m_unit = 0;
        m_byte = 0;
        return true;
    }
    // A soft break is no character: the walk goes on in the next piece.
    void skipSoftBreaks() {
        while (m_unit == m_line.units && m_line.soft && nextLine()) {
        }
    }

    const TextMirror& m_mirror;
    LineRef m_ref;
    LineView m_line;
    std::size_t m_unit;
    std::size_t m_byte = 0;
    std::string m_own;  // the bytes of a line without bytes of its own
};

TextMirror::TextMirror() {
    assign({std::u16string_view()});
}

TextMirror::LineView TextMirror::viewOf(const Line& line) {
    const std::uint64_t* wide = line.wide.empty() ? nullptr : line.wide.data();
    return {line.bytes,
            line.bytes.size(),
            false,
            wide,
            line.three ? wide + (line.units + 63u) / 64u : nullptr,
            line.units,
            line.soft,
            &line.colors};
}

void TextMirror::setCodec(const TextCodec& codec) {
    m_codec = &codec;
    m_sjis = &codec == &shiftJisCodec();
    m_utf8 = &codec == &utf8Codec();
}

TextMirror::LineView TextMirror::viewIn(const Chunk& chunk, std::size_t index) {
    static const std::vector<ColorRun> kNoColors;
    const Record& r = chunk.lines[index];
    const std::uint64_t* wide = r.hasWide() ? chunk.wide.data() + r.wideIndex() : nullptr;
    return {r.lean() ? std::string_view() : std::string_view(chunk.text.data() + r.begin, r.size),
            r.size,
            r.lean(),
            wide,
            r.hasThree() ? wide + (r.units() + 63u) / 64u : nullptr,
            r.units(),
            r.soft(),
            chunk.colors.empty() ? &kNoColors : &chunk.colors[index]};
}

void TextMirror::pushRecord(Chunk& chunk, std::string_view bytes, std::uint32_t units, bool soft,
                            std::size_t firstWord, bool hasWide, bool hasThree,
                            std::size_t leanSize) {
    Record r;
    r.begin = static_cast<std::uint32_t>(chunk.text.size());
    r.size = static_cast<std::uint32_t>(leanSize != 0 ? leanSize : bytes.size());
    r.unitsSoft = units | (soft ? Record::kTopBit : 0);
    r.wideWord = static_cast<std::uint32_t>(firstWord) | (hasWide ? Record::kTopBit : 0) |
                 (hasWide && hasThree ? Record::kThreeBit : 0) |
                 (leanSize != 0 ? Record::kLeanBit : 0);
    chunk.text.append(bytes);
    chunk.lines.push_back(r);
    chunk.bytes += r.extentBytes();
    chunk.units += units + 1u;
}

void TextMirror::appendLine(Chunk& chunk, std::string_view bytes, const std::uint64_t* wide,
                            std::uint32_t units, bool soft, std::vector<ColorRun> colors,
                            bool three, std::size_t leanSize) {
    const std::size_t firstWord = chunk.wide.size();
    if (wide != nullptr)
        chunk.wide.insert(chunk.wide.end(), wide, wide + (units + 63u) / 64u * (three ? 2u : 1u));
    if (!colors.empty() || !chunk.colors.empty()) {
        chunk.colors.resize(chunk.lines.size());
        chunk.colors.push_back(std::move(colors));
    }
    pushRecord(chunk, bytes, units, soft, firstWord, wide != nullptr, three, leanSize);
}

void TextMirror::appendLine(Chunk& chunk, const LineView& line) {
    // A line without bytes moves without them.
    appendLine(chunk, line.bytes, line.wide, line.units, line.soft, *line.colors,
               line.wide3 != nullptr, line.lean ? line.size : 0);
}

void TextMirror::seal(Chunk& chunk) {
    chunk.text.shrink_to_fit();
    chunk.wide.shrink_to_fit();
    chunk.lines.shrink_to_fit();
}

std::pair<std::ptrdiff_t, std::ptrdiff_t> TextMirror::storeLine(Chunk& chunk, std::size_t index,
                                                                Line&& line) {
    Record& r = chunk.lines[index];
    const auto oldExtent = static_cast<std::ptrdiff_t>(r.extentBytes());
    const auto oldUnits = static_cast<std::ptrdiff_t>(r.units());
    const std::size_t oldWords = r.wideWords();
    const std::size_t newWords = line.wide.size();
    // A line without bytes holds none in the chunk's text; the new one does.
    const auto byteShift = static_cast<std::ptrdiff_t>(line.bytes.size()) -
                           static_cast<std::ptrdiff_t>(r.storedBytes());
    const auto wordShift =
        static_cast<std::ptrdiff_t>(newWords) - static_cast<std::ptrdiff_t>(oldWords);

    chunk.text.replace(r.begin, r.storedBytes(), line.bytes);
    const auto words = chunk.wide.begin() + static_cast<std::ptrdiff_t>(r.wideIndex());
    if (newWords <= oldWords) {
        std::copy(line.wide.begin(), line.wide.end(), words);
        chunk.wide.erase(words + static_cast<std::ptrdiff_t>(newWords),
                         words + static_cast<std::ptrdiff_t>(oldWords));
    } else {
        std::copy(line.wide.begin(), line.wide.begin() + static_cast<std::ptrdiff_t>(oldWords),
                  words);
        chunk.wide.insert(words + static_cast<std::ptrdiff_t>(oldWords),
                          line.wide.begin() + static_cast<std::ptrdiff_t>(oldWords),
                          line.wide.end());
    }
    r.size = static_cast<std::uint32_t>(line.bytes.size());
    r.unitsSoft = line.units | (line.soft ? Record::kTopBit : 0);
    r.wideWord = r.wideIndex() | (newWords != 0 ? Record::kTopBit : 0) |
                 (newWords != 0 && line.three ? Record::kThreeBit : 0);
    if (byteShift != 0 || wordShift != 0) {
        for (std::size_t i = index + 1; i < chunk.lines.size(); ++i) {
            Record& next = chunk.lines[i];
            next.begin = static_cast<std::uint32_t>(next.begin + byteShift);
            next.wideWord = static_cast<std::uint32_t>(next.wideWord + wordShift);
        }
    }
    if (!line.colors.empty() && chunk.colors.empty())
        chunk.colors.resize(chunk.lines.size());
    if (!chunk.colors.empty())
        chunk.colors[index] = std::move(line.colors);
    const auto extent = static_cast<std::ptrdiff_t>(r.extentBytes()) - oldExtent;
    const auto units = static_cast<std::ptrdiff_t>(r.units()) - oldUnits;
    chunk.bytes = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(chunk.bytes) + extent);
    chunk.units = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(chunk.units) + units);
    return {extent, units};
}

TextMirror::Line TextMirror::makeLine(std::u16string_view text, std::size_t lineIndex,
                                      std::vector<Problem>* problems) const {
    if (!m_sjis)
        return makeCodecLine(text, lineIndex, problems);
    Line line;
    line.units = static_cast<std::uint32_t>(text.size());

    // The codec writes one "?" for a surrogate pair. Until the editor has
    // replaced the pair, each of its units gets a byte of its own, so that
    // units and bytes keep walking in step.
    std::u16string patched;
    std::u16string_view source = text;
    if (std::any_of(text.begin(), text.end(), isSurrogate)) {
        patched.assign(text);
        std::replace_if(patched.begin(), patched.end(), isSurrogate, u'\xFFFF');
        source = patched;
    }
    SjisEncoded encoded = encodeShiftJis(source);
    line.bytes = std::move(encoded.bytes);

    std::vector<std::uint64_t> wide((text.size() + 63) / 64, 0);
    bool anyWide = false;
    if (unitWidths(source, encoded.replaced, wide, anyWide) != line.bytes.size()) {
        // Never expected: the widths come from the codec itself. Should the
        // two ever disagree, encode unit by unit so that the positions stay
        // right whatever the bytes.
        encodeUnitByUnit(source, line.bytes, wide, anyWide);
    }
    if (anyWide)
        line.wide = std::move(wide);

    if (problems != nullptr)
        reportProblems(*m_codec, text, lineIndex, encoded.replaced, *problems);
    return line;
}

TextMirror::Line TextMirror::makeCodecLine(std::u16string_view text, std::size_t lineIndex,
                                           std::vector<Problem>* problems) const {
    Line line;
    line.units = static_cast<std::uint32_t>(text.size());
    // Outside UTF-8 a surrogate is written as one "?" per pair; as in
    // Shift_JIS each unit gets a byte of its own until the editor has
    // replaced the pair.
    std::u16string patched;
    std::u16string_view source = text;
    if (!m_utf8 && std::any_of(text.begin(), text.end(), isSurrogate)) {
        patched.assign(text);
        std::replace_if(patched.begin(), patched.end(), isSurrogate, u'\xFFFF');
        source = patched;
    }
    SjisEncoded encoded = m_codec->encode(source);
    line.bytes = std::move(encoded.bytes);

    const std::size_t words = (text.size() + 63) / 64;
    std::vector<std::uint64_t> a(words, 0);
    std::vector<std::uint64_t> b(words, 0);
    bool anyA = false;
    bool anyB = false;
    const auto measure = [&](const std::vector<SjisReplacement>& replaced) {
        std::size_t total = 0;
        std::size_t r = 0;
        for (std::size_t u = 0; u < source.size(); ++u) {
            while (r < replaced.size() && replaced[r].index < u)
                ++r;
            const char16_t c = source[u];
            std::size_t width = 0;
            if (m_utf8 && isHighSurrogate(c) && u + 1 < source.size() &&
                isLowSurrogate(source[u + 1])) {
                // Four bytes, two to each half.
                setWidth(a, b, u, 2, anyA, anyB);
                setWidth(a, b, u + 1, 2, anyA, anyB);
                total += 4;
                ++u;
                continue;
            }
            if (r < replaced.size() && replaced[r].index == u)
                width = replaced[r].bytes.size();
            else
                width = m_utf8 ? (isSurrogate(c) ? 3 : utf8Width(c)) : eucWidth(c);
            setWidth(a, b, u, std::clamp<std::size_t>(width, 1, 3), anyA, anyB);
            total += width;
        }
        return total;
    };
    if (measure(encoded.replaced) != line.bytes.size()) {
        // Never expected: should a codec write other widths than these,
        // each unit is encoded on its own so that positions stay right.
        std::fill(a.begin(), a.end(), 0);
        std::fill(b.begin(), b.end(), 0);
        anyA = anyB = false;
        line.bytes.clear();
        for (std::size_t u = 0; u < source.size(); ++u) {
            std::string one = m_codec->encode(source.substr(u, 1)).bytes;
            if (one.empty())
                one = "?";
            one.resize(std::min<std::size_t>(one.size(), 3));
            setWidth(a, b, u, one.size(), anyA, anyB);
            line.bytes += one;
        }
    }
    if (anyA || anyB) {
        line.wide = std::move(a);
        if (anyB) {
            line.wide.insert(line.wide.end(), b.begin(), b.end());
            line.three = true;
        }
    }
    if (problems != nullptr)
        reportProblems(*m_codec, text, lineIndex, encoded.replaced, *problems);
    return line;
}

void TextMirror::assign(const std::vector<std::u16string_view>& lines,
                        std::vector<Problem>* problems) {
    m_chunks.clear();
    const std::size_t n = std::max<std::size_t>(lines.size(), 1);
    for (std::size_t i = 0; i < n; ++i) {
        if (i % kChunkLines == 0) {
            if (!m_chunks.empty())
                seal(m_chunks.back());
            m_chunks.emplace_back();
            m_chunks.back().lines.reserve(std::min(kChunkLines, n - i));
        }
        Line line = makeLine(i < lines.size() ? lines[i] : std::u16string_view(), i, problems);
        appendLine(m_chunks.back(), line.bytes, line.wide.empty() ? nullptr : line.wide.data(),
                   line.units, false, {}, line.three);
    }
    seal(m_chunks.back());
    sumChunks();
    m_lastSplice = {0, 0, n};
}

namespace {

// Whether none of eight bytes is a CR.
bool noCarriageReturn(std::uint64_t bytes) {
    const std::uint64_t x = bytes ^ 0x0D0D0D0D0D0D0D0Du;
    return ((x - 0x0101010101010101u) & ~x & 0x8080808080808080u) == 0;
}

// Whether the eight bytes at `p` are ASCII other than CR and the eight units
// at `t` are ASCII too: then each byte is the unit of a character of its
// own, and no line break or soft break lies among them.
bool plainAsciiRun(const unsigned char* p, const char16_t* t) {
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, p, sizeof bytes);
    // In Japanese text the first test fails soonest.
    if ((bytes & 0x8080808080808080u) != 0 || !noCarriageReturn(bytes))
        return false;
    std::uint64_t units[2] = {};
    std::memcpy(units, t, sizeof units);
    return ((units[0] | units[1]) & 0xFF80FF80FF80FF80u) == 0;
}

}  // namespace

// Fills a mirror's chunks with lines measured from bytes. A chunk's text is
// copied in once all its lines are measured and its size is known: grown
// line by line and then given back its reserve, it was copied three times.
struct TextMirror::ChunkFill {
    std::vector<Chunk>& chunks;
    std::string_view bytes;
    std::vector<std::size_t> starts;  // of the last chunk's lines in `bytes`
    std::size_t textSize = 0;         // of the last chunk's lines

    ChunkFill(std::vector<Chunk>& into, std::string_view from) : chunks(into), bytes(from) {
        chunks.clear();
        chunks.emplace_back();
        chunks.back().lines.reserve(kChunkLines);
        starts.reserve(kChunkLines);
    }

    // The chunk the next line goes to.
    Chunk& room() {
        if (chunks.back().lines.size() == kChunkLines) {
            finish();
            chunks.emplace_back();
            chunks.back().lines.reserve(kChunkLines);
        }
        return chunks.back();
    }

    void addLine(std::size_t start, std::size_t size, std::uint32_t units, bool soft,
                 std::size_t firstWord, bool hasWide, bool hasThree, bool lean) {
        Chunk& chunk = chunks.back();
        Record r;
        r.begin = static_cast<std::uint32_t>(textSize);
        r.size = static_cast<std::uint32_t>(size);
        r.unitsSoft = units | (soft ? Record::kTopBit : 0);
        r.wideWord = static_cast<std::uint32_t>(firstWord) | (hasWide ? Record::kTopBit : 0) |
                     (hasWide && hasThree ? Record::kThreeBit : 0) | (lean ? Record::kLeanBit : 0);
        chunk.lines.push_back(r);
        chunk.bytes += r.extentBytes();
        chunk.units += units + 1u;
        starts.push_back(start);
        textSize += r.storedBytes();
    }

    // Copies the last chunk's text in and seals it.
    void finish() {
        Chunk& chunk = chunks.back();
        chunk.text.reserve(textSize);
        for (std::size_t k = 0; k < starts.size(); ++k)
            chunk.text.append(bytes.data() + starts[k], chunk.lines[k].storedBytes());
        seal(chunk);
        starts.clear();
        textSize = 0;
    }
};

void TextMirror::assignBytes(std::string_view bytes, std::u16string_view documentText) {
    assignPiece(bytes, documentText, false);
}

void TextMirror::assignPiece(std::string_view bytes, std::u16string_view documentText, bool lean) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    // The bytes of the character at `i` (not ASCII) whose first unit is
    // `c`: a byte the decoder gave a stand-in of its own is one unit of one
    // byte; else the character's length follows from its first byte, and
    // four bytes are a surrogate pair.
    if (m_sjis) {
        assignMeasured<ByUnits::ShiftJis>(
            bytes, documentText,
            [](std::size_t, unsigned char b, char16_t c) {
                return isSjisLeadByte(b) && c != static_cast<char16_t>(kInvalidByteBase + b) ? 2u
                                                                                             : 1u;
            },
            lean,
            // A duplicate code, a look-alike or a stand-in would be written
            // back in another form than the file's. Only a line with a
            // character such a code decodes to can hold one; there the
            // bytes split into characters as decoding splits them, and each
            // code is looked up: cheaper than encoding the line again.
            [&own = ownShiftJisCodes(), &unsure = unsureShiftJisUnits()](
                std::string_view line, std::u16string_view units) {
                // First the units, a look each without a branch: nearly
                // every line holds none that leaves a doubt.
                bool doubt = false;
                for (const char16_t c : units)
                    doubt |= unsure[c];
                if (!doubt)
                    return true;
                const auto* q = reinterpret_cast<const unsigned char*>(line.data());
                const std::size_t m = line.size();
                for (std::size_t k = 0; k < m;) {
                    const unsigned char b = q[k];
                    if (b < 0x80) {
                        ++k;
                    } else if (isSjisLeadByte(b) && k + 1 < m) {
                        if (!own[(unsigned{b} << 8) | q[k + 1]])
                            return false;
                        k += 2;
                    } else {
                        if (!own[b])
                            return false;
                        ++k;
                    }
                }
                return true;
            });
    } else if (m_utf8) {
        assignMeasured<ByUnits::Utf8>(
            bytes, documentText,
            [p, n](std::size_t i, unsigned char b, char16_t c) {
                // A stand-in's code point is a character of the private use
                // area too, which a file may hold: U+F7EF is EF 9F AF, and
                // the stand-in of a lone EF. A well-formed sequence is never
                // a stand-in.
                if (c == static_cast<char16_t>(kInvalidByteBase + b) &&
                    !(b == 0xEF && i + 2 < n && p[i + 1] == 0x9F && p[i + 2] == 0xAF))
                    return 1u;
                return b >= 0xF0 ? 4u : b >= 0xE0 ? 3u : 2u;
            },
            lean,
            // A well-formed character encodes back to itself; stand-ins and
            // the characters that look like them do not, and a line of
            // surrogate pairs keeps its bytes (a pair's halves are told
            // apart by them).
            [](std::string_view, std::u16string_view units) {
                return std::none_of(units.begin(), units.end(), [](char16_t c) {
                    return (c >= 0xD800 && c <= 0xDFFF) || (c >= 0xF700 && c <= 0xF7FF);
                });
            });
    } else {
        // EUC-JP reaches its characters through CP932's tables, duplicates
        // and all: its lines keep their bytes.
        assignMeasured<ByUnits::No>(
            bytes, documentText,
            [this, bytes](std::size_t i, unsigned char b, char16_t c) {
                if (c == static_cast<char16_t>(kInvalidByteBase + b))
                    return 1u;
                return static_cast<unsigned>(m_codec->charLength(bytes, i));
            },
            false, [](std::string_view, std::u16string_view) { return false; });
    }
}

template <bool kUtf8>
bool TextMirror::lineByUnits(std::string_view bytes, std::size_t i, std::u16string_view text,
                             std::size_t u, std::vector<std::uint64_t>& wide,
                             std::vector<std::uint64_t>& threes, LineByUnits& line) {
    const char16_t* t = text.data();
    const std::size_t tn = text.size();
    const std::size_t firstWord = wide.size();
    threes.clear();
    std::size_t e = u;
    std::size_t extra = 0;  // bytes beyond one a unit
    std::uint64_t two = 0;
    std::uint64_t three = 0;
    std::uint64_t any = 0;
    std::uint64_t anyThree = 0;
    unsigned pairs = 0;
    unsigned shift = 0;  // the next unit's bit in the words
    const auto endWord = [&] {
        wide.push_back(two);
        any |= two;
        extra += static_cast<std::size_t>(std::popcount(two));
        if constexpr (kUtf8) {
            threes.push_back(three);
            anyThree |= three;
            extra += 2 * static_cast<std::size_t>(std::popcount(three));
        }
        two = 0;
        three = 0;
    };
    // Eight units a step, each step's bits within one word: a word holds
    // 64 units.
    for (;;) {
        const std::size_t count = std::min<std::size_t>(tn - e, 8);
        const UnitWidths w =
            count == 8 ? unitWidths8<kUtf8>(t + e) : unitWidths<kUtf8>(t + e, count);
        const unsigned taken =
            w.stops != 0 ? static_cast<unsigned>(std::countr_zero(w.stops)) : count;
        const unsigned mask = (1u << taken) - 1u;
        if constexpr (kUtf8) {
            if ((w.odd & mask) != 0) {
                wide.resize(firstWord);
                threes.clear();
                return false;
            }
            three |= std::uint64_t{w.three & mask} << shift;
            pairs |= w.pair & mask;
        }
        two |= std::uint64_t{w.two & mask} << shift;
        e += taken;
        shift += taken;
        if (shift == 64) {
            endWord();
            shift = 0;
        }
        if (taken < 8)
            break;
    }
    if (shift != 0)
        endWord();
    const std::size_t count = e - u;
    const std::size_t size = count + extra;
    const bool softEnd = e < tn && t[e] == kSoftBreakUnit;
    // Where the units end the line the bytes must: at a CR LF, at the end
    // of the bytes with the units', or anywhere for a soft break (no byte).
    const bool ends =
        i + size <= bytes.size() &&
        (softEnd || (e == tn ? i + size == bytes.size() : bytes.substr(i + size, 2) == "\r\n"));
    if (!ends || count >= Record::kTopBit) {
        wide.resize(firstWord);
        threes.clear();
        return false;
    }
    if ((any | anyThree) == 0)
        wide.resize(firstWord);
    else if (anyThree != 0)
        wide.insert(wide.end(), threes.begin(), threes.end());
    line.units = static_cast<std::uint32_t>(count);
    line.bytes = size;
    line.soft = softEnd;
    line.three = anyThree != 0;
    line.pairs = pairs != 0;
    return true;
}

template <TextMirror::ByUnits kByUnits, typename Measure, typename Canonical>
void TextMirror::assignMeasured(std::string_view bytes, std::u16string_view documentText,
                                Measure measure, bool lean, Canonical canonical) {
    ChunkFill fill(m_chunks, bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const char16_t* t = documentText.data();
    const std::size_t n = bytes.size();
    const std::size_t tn = documentText.size();
    std::size_t i = 0;
    std::size_t u = 0;
    // A line's second set of width words, which follows the first.
    std::vector<std::uint64_t> second;
    for (;;) {
        Chunk& chunk = fill.room();
        // The first set is written where the chunk keeps it; the word being
        // filled is held here until its 64 units are measured.
        std::vector<std::uint64_t>& wide = chunk.wide;
        const std::size_t from = i;
        const std::size_t firstWord = wide.size();
        second.clear();
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::uint64_t anyA = 0;
        std::uint64_t anyB = 0;
        std::uint32_t units = 0;
        bool soft = false;
        const std::size_t firstUnit = u;
        const auto endWord = [&] {
            wide.push_back(a);
            second.push_back(b);
            anyA |= a;
            anyB |= b;
            a = 0;
            b = 0;
        };
        if constexpr (kByUnits != ByUnits::No) {
            LineByUnits line;
            if (lineByUnits<kByUnits == ByUnits::Utf8>(bytes, i, documentText, u, wide, second,
                                                       line)) {
                bool ownForm = lean && line.bytes > 0;
                // A UTF-8 line measured from its units holds no stand-in:
                // only a pair keeps its bytes (canonical()).
                if constexpr (kByUnits == ByUnits::Utf8)
                    ownForm = ownForm && !line.pairs;
                else
                    ownForm = ownForm && canonical(bytes.substr(from, line.bytes),
                                                   documentText.substr(firstUnit, line.units));
                fill.addLine(from, line.bytes, line.units, line.soft, firstWord,
                             wide.size() > firstWord, line.three, ownForm);
                i += line.bytes;
                u += line.units;
                if (line.soft) {
                    ++u;
                    continue;
                }
                if (i >= n)
                    break;
                i += 2;  // CR LF, one unit of the document
                ++u;
                continue;
            }
        }
        while (i < n) {
            const unsigned char byte = p[i];
            unsigned length = 1;
            if (byte < 0x80) {
                // Runs of ASCII (tags, and most of an English page) eight
                // at a time, within one width word.
                if (units % 64 <= 56 && i + 8 <= n && u + 8 <= tn && plainAsciiRun(p + i, t + u)) {
                    i += 8;
                    u += 8;
                    units += 8;
                    if (units % 64 == 0)
                        endWord();
                    continue;
                }
                if (byte == '\r' && i + 1 < n && p[i + 1] == '\n')
                    break;
                if (u < tn && t[u] == kSoftBreakUnit) {
                    soft = true;
                    ++u;
                    break;
                }
            } else {
                const char16_t c = u < tn ? t[u] : u'\0';
                if (c == kSoftBreakUnit) {
                    soft = true;
                    ++u;
                    break;
                }
                length = measure(i, byte, c);
            }
            // A unit takes 1 + a + 2b bytes; the halves of a pair two each.
            const std::uint64_t bit = std::uint64_t{1} << (units % 64);
            if (length == 2 || length == 4)
                a |= bit;
            else if (length == 3)
                b |= bit;
            i += length;
            ++u;
            if (++units % 64 == 0)
                endWord();
            if (length == 4) {
                a |= std::uint64_t{1} << (units % 64);
                ++u;
                if (++units % 64 == 0)
                    endWord();
            }
        }
        if (units % 64 != 0)
            endWord();
        if ((anyA | anyB) == 0)
            wide.resize(firstWord);
        else if (anyB != 0)
            wide.insert(wide.end(), second.begin(), second.end());
        // A soft break's unit is behind the line's.
        const bool ownForm =
            lean && i > from &&
            canonical(bytes.substr(from, i - from), documentText.substr(firstUnit, units));
        fill.addLine(from, i - from, units, soft, firstWord, (anyA | anyB) != 0, anyB != 0,
                     ownForm);
        if (soft)
            continue;
        if (i >= n)
            break;
        i += 2;  // CR LF, one unit of the document
        ++u;
    }
    fill.finish();
    sumChunks();
    m_lastSplice = {0, 0, m_lineCount};
}

std::vector<std::size_t> TextMirror::softBreakPoints(std::u16string_view text, std::size_t target,
                                                     std::size_t maxUnits) {
    std::vector<std::size_t> points;
    if (text.size() <= maxUnits || target == 0)
        return points;
    const auto breaksAfter = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'>' || c == u'\u3001' || c == u'\u3002' ||
               c == u'\u3000';
    };
    std::size_t start = 0;
    while (text.size() - start > target) {
        // The last break opportunity in the last quarter of the piece, else
        // the piece's full length.
        std::size_t cut = start + target;
        for (std::size_t at = cut; at > start + target - target / 4; --at) {
            if (breaksAfter(text[at - 1])) {
                cut = at;
                break;
            }
        }
        // Never between the two halves of a surrogate pair.
        if (text[cut] >= 0xDC00 && text[cut] <= 0xDFFF)
            ++cut;
        if (cut >= text.size())
            break;
        points.push_back(cut);
        start = cut;
    }
    return points;
}

bool TextMirror::softBreak(std::size_t line) const {
    return recordAt(refOfLine(line)).soft();
}

void TextMirror::setSoftBreak(std::size_t line, bool soft) {
    // The last line's break is the end of the text.
    if (line + 1 >= m_lineCount)
        soft = false;
    const LineRef ref = refOfLine(line);
    Record& r = m_chunks[ref.chunk].lines[ref.index];
    if (r.soft() == soft)
        return;
    r.unitsSoft = r.units() | (soft ? Record::kTopBit : 0);
    if (soft) {
        m_chunks[ref.chunk].bytes -= 2;
        m_totalBytes -= 2;
    } else {
        m_chunks[ref.chunk].bytes += 2;
        m_totalBytes += 2;
    }
    // Byte positions behind the line moved; the hints before it did not.
    if (m_hint.line > line)
        m_hint = ref;
    if (m_hintChunk.chunk > ref.chunk)
        m_hintChunk = LineRef();
}

void TextMirror::appendBytes(std::string_view bytes, std::u16string_view documentText,
                             bool leanLines) {
    TextMirror piece;
    piece.setCodec(*m_codec);
    piece.assignPiece(bytes, documentText, leanLines);
    // The empty last line (no bytes, no width words) gives way to the piece.
    Chunk& last = m_chunks.back();
    last.lines.pop_back();
    if (!last.colors.empty())
        last.colors.pop_back();
    if (last.lines.empty())
        m_chunks.pop_back();
    else
        recountChunk(last);
    for (Chunk& chunk : piece.m_chunks)
        m_chunks.push_back(std::move(chunk));
    sumChunks();
    m_lastSplice = {0, 0, m_lineCount};
}

void TextMirror::recountChunk(Chunk& chunk) {
    chunk.bytes = 0;
    chunk.units = 0;
    for (const Record& line : chunk.lines) {
        chunk.bytes += line.extentBytes();
        chunk.units += line.units() + 1u;
    }
}

void TextMirror::sumChunks() {
    m_lineCount = 0;
    m_totalBytes = 0;
    m_totalUnits = 0;
    for (const Chunk& chunk : m_chunks) {
        m_lineCount += chunk.lines.size();
        m_totalBytes += chunk.bytes;
        m_totalUnits += chunk.units;
    }
    m_hint = LineRef();
    m_hintChunk = LineRef();
    m_walk = WalkPoint();
}

std::size_t TextMirror::unitToByteIn(const LineView& line, std::size_t unit) {
    unit = std::min<std::size_t>(unit, line.units);
    if (line.wide == nullptr)
        return unit;
    std::size_t bytes = unit;
    const std::size_t words = unit / 64;
    for (std::size_t k = 0; k < words; ++k)
        bytes += countWide(line.wide[k]);
    if (unit % 64 != 0) {
        const std::uint64_t mask = (std::uint64_t{1} << (unit % 64)) - 1;
        bytes += countWide(line.wide[words] & mask);
    }
    if (line.wide3 != nullptr) {
        for (std::size_t k = 0; k < words; ++k)
            bytes += 2 * countWide(line.wide3[k]);
        if (unit % 64 != 0) {
            const std::uint64_t mask = (std::uint64_t{1} << (unit % 64)) - 1;
            bytes += 2 * countWide(line.wide3[words] & mask);
        }
    }
    return bytes;
}

std::size_t TextMirror::byteToUnitIn(const LineView& line, std::size_t byte) {
    if (byte >= line.size)
        return line.units;
    if (line.wide == nullptr)
        return byte;
    std::size_t unit = 0;
    std::size_t at = 0;  // byte offset of `unit`
    const std::size_t words = (line.units + 63u) / 64u;
    for (std::size_t k = 0; k < words; ++k) {
        const std::size_t count = std::min<std::size_t>(64, line.units - k * 64);
        const std::size_t wordBytes = count + countWide(line.wide[k]) +
                                      (line.wide3 != nullptr ? 2 * countWide(line.wide3[k]) : 0);
        if (at + wordBytes > byte)
            break;
        at += wordBytes;
        unit += count;
    }
    while (unit < line.units) {
        const std::size_t w = widthOf(line, unit);
        if (at + w > byte)
            break;
        at += w;
        ++unit;
    }
    return unit;
}

namespace {

// advanceTo() over a line's width words: the bytes of k units of a word
// are k plus the first set's bits plus twice the second's (a Shift_JIS line
// has no second set: its units are one or two bytes).
void advanceWords(const std::uint64_t* wide, const std::uint64_t* wide3, std::size_t units,
                  std::size_t& unit, std::size_t& byte, std::size_t target) {
    const auto bytesOf = [](std::uint64_t a, std::uint64_t b, std::size_t k) {
        const std::uint64_t mask = k >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << k) - 1;
        return k + countWide(a & mask) + 2 * countWide(b & mask);
    };
    while (unit < units) {
        const std::size_t word = unit / 64;
        const std::size_t from = unit % 64;
        const std::size_t n = std::min<std::size_t>(64, units - word * 64) - from;
        const std::uint64_t a = wide[word] >> from;
        const std::uint64_t b = wide3 != nullptr ? wide3[word] >> from : 0;
        const std::size_t wordBytes = bytesOf(a, b, n);
        if (byte + wordBytes <= target) {
            byte += wordBytes;
            unit += n;
            continue;
        }
        // The target is in this word: the last unit that starts at or
        // before it holds it. A pass maps offsets a few characters apart:
        // near ones are stepped to, far ones found by halving.
        const std::size_t rel = target - byte;
        if (rel < 24) {
            std::size_t k = 0;
            std::size_t at = 0;
            for (;;) {
                const std::size_t w = 1 + ((a >> k) & 1u) + 2 * ((b >> k) & 1u);
                if (at + w > rel)
                    break;
                at += w;
                ++k;
            }
            unit += k;
            byte += at;
            return;
        }
        std::size_t lo = 0;
        std::size_t hi = n;
        while (hi - lo > 1) {
            const std::size_t mid = (lo + hi) / 2;
            if (bytesOf(a, b, mid) <= rel)
                lo = mid;
            else
                hi = mid;
        }
        unit += lo;
        byte += bytesOf(a, b, lo);
        return;
    }
}

}  // namespace

void TextMirror::advanceTo(const LineView& line, std::size_t& unit, std::size_t& byte,
                           std::size_t target) {
    if (line.wide == nullptr) {
        unit = byte = std::min<std::size_t>(target, line.units);
        return;
    }
    advanceWords(line.wide, line.wide3, line.units, unit, byte, target);
}

bool TextMirror::isWide(const LineView& line, std::size_t unit) {
    return line.wide != nullptr && unit < line.units &&
           ((line.wide[unit / 64] >> (unit % 64)) & 1u) != 0;
}

std::size_t TextMirror::widthOf(const LineView& line, std::size_t unit) {
    if (line.wide == nullptr || unit >= line.units)
        return 1;
    const std::size_t shift = unit % 64;
    std::size_t width = 1 + ((line.wide[unit / 64] >> shift) & 1u);
    if (line.wide3 != nullptr)
        width += 2 * ((line.wide3[unit / 64] >> shift) & 1u);
    return width;
}

bool TextMirror::isPairTail(const LineView& line, std::size_t unit, std::size_t byte) const {
    // The only unit of two bytes that starts with a continuation byte is
    // the second half of a four-byte character.
    // A line without bytes holds no pairs.
    if (!m_utf8 || line.lean || unit == 0 || unit >= line.units || byte >= line.size)
        return false;
    return (static_cast<unsigned char>(line.bytes[byte]) & 0xC0) == 0x80 &&
           widthOf(line, unit) == 2;
}

bool TextMirror::isCharBoundary(std::size_t offset) const {
    if (offset >= byteLength())
        return offset == byteLength();
    const LineRef ref = refOfByte(offset);
    const LineView line = lineAt(ref);
    const std::size_t local = offset - ref.byte;
    if (local >= line.size)
        return local == line.size;  // the CR of the line break, not its LF
    const std::size_t unit = byteToUnitIn(line, local);
    return unitToByteIn(line, unit) == local && !isPairTail(line, unit, local);
}

CharColor TextMirror::colorIn(const LineView& line, std::size_t unit) {
    const std::vector<ColorRun>& runs = *line.colors;
    const auto it =
        std::upper_bound(runs.begin(), runs.end(), unit,
                         [](std::size_t u, const ColorRun& run) { return u < run.end; });
    if (it != runs.end() && it->start <= unit)
        return CharColor::of(it->color);
    return CharColor::autoColor();
}

bool TextMirror::paint(std::vector<ColorRun>& runs, std::uint32_t start, std::uint32_t end,
                       CharColor color) {
    if (start >= end)
        return false;
    // The passes colour from left to right, and mostly text without colour:
    // neither needs the runs built anew.
    if (runs.empty() || runs.back().end <= start) {
        if (color.automatic)
            return false;
        pushRun(runs, start, end, color.color);
        return true;
    }
    std::vector<ColorRun> out;
    out.reserve(runs.size() + 2);
    copyRuns(out, runs, 0, start, 0);
    if (!color.automatic)
        pushRun(out, start, end, color.color);
    copyRuns(out, runs, end, SIZE_MAX, 0);
    if (out == runs)
        return false;
    runs = std::move(out);
    return true;
}

bool TextMirror::paintLine(const LineRef& ref, std::uint32_t start, std::uint32_t end,
                           CharColor color) {
    Chunk& chunk = m_chunks[ref.chunk];
    // A chunk gets its colour lists with its first colour.
    if (chunk.colors.empty()) {
        if (color.automatic)
            return false;
        chunk.colors.resize(chunk.lines.size());
    }
    return paint(chunk.colors[ref.index], start, end, color);
}

template <typename Key, typename ChunkSize, typename LineSize>
TextMirror::LineRef TextMirror::locate(std::size_t target, Key key, ChunkSize chunkSize,
                                       LineSize lineSize) const {
    LineRef cs = m_hintChunk;
    while (cs.chunk > 0 && key(cs) > target) {
        --cs.chunk;
        const Chunk& c = m_chunks[cs.chunk];
        cs.line -= c.lines.size();
        cs.byte -= c.bytes;
        cs.unit -= c.units;
    }
    while (cs.chunk + 1 < m_chunks.size() && key(cs) + chunkSize(m_chunks[cs.chunk]) <= target) {
        const Chunk& c = m_chunks[cs.chunk];
        cs.line += c.lines.size();
        cs.byte += c.bytes;
        cs.unit += c.units;
        ++cs.chunk;
    }
    LineRef r = (m_hint.chunk == cs.chunk && key(m_hint) <= target) ? m_hint : cs;
    const auto& lines = m_chunks[r.chunk].lines;
    while (r.index + 1 < lines.size() && key(r) + lineSize(lines[r.index]) <= target) {
        r.byte += lines[r.index].extentBytes();
        r.unit += lines[r.index].units() + 1u;
        ++r.line;
        ++r.index;
    }
    m_hint = r;
    m_hintChunk = cs;
    return r;
}

TextMirror::LineRef TextMirror::refOfLine(std::size_t line) const {
    return locate(
        std::min(line, m_lineCount - 1), [](const LineRef& r) { return r.line; },
        [](const Chunk& c) { return c.lines.size(); },
        [](const Record&) { return std::size_t{1}; });
}

TextMirror::LineRef TextMirror::refOfUnit(std::size_t unit) const {
    return locate(
        std::min(unit, m_totalUnits - 1), [](const LineRef& r) { return r.unit; },
        [](const Chunk& c) { return c.units; },
        [](const Record& l) { return std::size_t{l.units()} + 1; });
}

TextMirror::LineRef TextMirror::refOfByte(std::size_t offset) const {
    return locate(
        std::min(offset, byteLength()), [](const LineRef& r) { return r.byte; },
        [](const Chunk& c) { return c.bytes; }, [](const Record& l) { return l.extentBytes(); });
}

bool TextMirror::nextLine(LineRef& ref) const {
    if (ref.line + 1 >= m_lineCount)
        return false;
    const Record& line = recordAt(ref);
    ref.byte += line.extentBytes();
    ref.unit += line.units() + 1u;
    ++ref.line;
    if (++ref.index == m_chunks[ref.chunk].lines.size()) {
        ++ref.chunk;
        ref.index = 0;
    }
    return true;
}

void TextMirror::replaceLines(std::size_t first, std::size_t count, std::vector<Line> lines) {
    const LineRef a = refOfLine(first);
    const LineRef b = refOfLine(first + count - 1);
    if (a.chunk == b.chunk && lines.size() == count)
        replaceInPlace(a, std::move(lines));
    else
        remakeChunks(a, b, std::move(lines));
}

void TextMirror::replaceInPlace(const LineRef& a, std::vector<Line> lines) {
    // The usual edit, inside lines that stay as many: only they change, in
    // place, and the totals by their difference (a replace-all makes
    // thousands of these).
    Chunk& chunk = m_chunks[a.chunk];
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto [bytes, units] = storeLine(chunk, a.index + i, std::move(lines[i]));
        m_totalBytes = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(m_totalBytes) + bytes);
        m_totalUnits = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(m_totalUnits) + units);
    }
    // The first line and its chunk start where they did.
    m_hint = a;
    m_walk = WalkPoint();
}

void TextMirror::remakeChunks(const LineRef& a, const LineRef& b, std::vector<Line> lines) {
    // The chunks from a's to b's are made anew: the lines before a, the new
    // lines, the lines after b.
    std::size_t lastChunk = b.chunk;
    std::size_t total = a.index + lines.size() + (m_chunks[b.chunk].lines.size() - b.index - 1);
    // Deletions leave small chunks behind; a small result takes in its
    // neighbour so that the chunk count stays in proportion to the text.
    if (total < kChunkLines / 2 && lastChunk + 1 < m_chunks.size() &&
        total + m_chunks[lastChunk + 1].lines.size() <= kMaxChunkLines) {
        ++lastChunk;
        total += m_chunks[lastChunk].lines.size();
    }
    const std::size_t parts = total <= kMaxChunkLines ? 1 : (total + kChunkLines - 1) / kChunkLines;
    const std::size_t per = (total + parts - 1) / parts;

    std::vector<Chunk> pieces(1);
    pieces.back().lines.reserve(std::min(per, total));
    const auto room = [&]() -> Chunk& {
        if (pieces.back().lines.size() == per) {
            seal(pieces.back());
            pieces.emplace_back();
            pieces.back().lines.reserve(per);
        }
        return pieces.back();
    };
    const Chunk& ca = m_chunks[a.chunk];
    for (std::size_t i = 0; i < a.index; ++i)
        appendLine(room(), viewIn(ca, i));
    for (Line& line : lines) {
        appendLine(room(), line.bytes, line.wide.empty() ? nullptr : line.wide.data(), line.units,
                   line.soft, std::move(line.colors), line.three);
    }
    const Chunk& cb = m_chunks[b.chunk];
    for (std::size_t i = b.index + 1; i < cb.lines.size(); ++i)
        appendLine(room(), viewIn(cb, i));
    if (lastChunk != b.chunk) {
        const Chunk& next = m_chunks[lastChunk];
        for (std::size_t i = 0; i < next.lines.size(); ++i)
            appendLine(room(), viewIn(next, i));
    }
    seal(pieces.back());

    m_chunks.erase(m_chunks.begin() + static_cast<std::ptrdiff_t>(a.chunk),
                   m_chunks.begin() + static_cast<std::ptrdiff_t>(lastChunk) + 1);
    m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(a.chunk),
                    std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
    // The chunks just built counted their totals as they grew.
    sumChunks();
}

// Text that an edit did not change keeps the bytes it had. Encoding a line
// again writes every duplicate code (0x8790, 0xED40, ...) in Windows' form,
// so a page read from a file would change where nobody typed. The first
// `front` and the last `back` positions of the edited lines (line breaks
// count as one) are the text the edit left alone; where an edit replaced as
// many characters as it removed, the toolkit may be reporting text that did
// not change at all (a format change, an undo step), so those characters are
// compared one by one too and keep their bytes where they are the same.
void TextMirror::keepUnchangedBytes(const std::vector<LineView>& oldLines,
                                    std::vector<Line>& newLines, std::size_t front,
                                    std::size_t back) const {
    keepFrontBytes(oldLines, newLines, front);
    keepBackBytes(oldLines, newLines, back);
}

bool TextMirror::sameCharacter(const LineView& o, std::size_t ou, std::size_t ob, const LineView& n,
                               std::size_t nu, std::size_t nb, bool& patch) const {
    patch = false;
    const bool oEnd = ou == o.units;
    const bool nEnd = nu == n.units;
    if (oEnd || nEnd)
        return oEnd && nEnd;
    const std::size_t w = widthOf(o, ou);
    if (w != widthOf(n, nu))
        return false;
    const unsigned oc = codeAt(o.bytes, ob, w);
    const unsigned nc = codeAt(n.bytes, nb, w);
    if (oc == nc)
        return true;
    if (m_sjis) {
        patch = w == 2 && windowsFormOfCode(oc) == nc;
    } else {
        // EUC-JP reaches its characters through CP932's codes, so a file's
        // duplicate codes are written back in another form as well.
        patch = m_codec->decode(o.bytes.substr(ob, w)) == m_codec->decode(n.bytes.substr(nb, w));
    }
    return patch;
}

void TextMirror::keepFrontBytes(const std::vector<LineView>& oldLines, std::vector<Line>& newLines,
                                std::size_t front) const {
    // Position by position from the start of the edited lines.
    std::size_t ol = 0, ou = 0, ob = 0;
    std::size_t nl = 0, nu = 0, nb = 0;
    for (std::size_t k = 0; k < front; ++k) {
        // A line without bytes has only its characters' own forms to keep,
        // which encoding them again writes anyway; and its characters are
        // no longer in the document to make its bytes from.
        if (oldLines[ol].lean)
            break;
        const bool oEnd = ou == oldLines[ol].units;
        const bool nEnd = nu == newLines[nl].units;
        if (oEnd != nEnd)
            break;  // the lines no longer pair up
        if (oEnd) {
            if (ol + 1 == oldLines.size() || nl + 1 == newLines.size())
                break;
            ++ol;
            ++nl;
            ou = ob = nu = nb = 0;
            continue;
        }
        bool patch = false;
        if (sameCharacter(oldLines[ol], ou, ob, viewOf(newLines[nl]), nu, nb, patch) && patch)
            copyCode(oldLines[ol].bytes, ob, newLines[nl].bytes, nb, widthOf(oldLines[ol], ou));
        ob += widthOf(oldLines[ol], ou);
        nb += widthOf(viewOf(newLines[nl]), nu);
        ++ou;
        ++nu;
    }
}

void TextMirror::keepBackBytes(const std::vector<LineView>& oldLines, std::vector<Line>& newLines,
                               std::size_t back) const {
    // From the end; the last position is the line break after the lines.
    std::size_t ol = oldLines.size() - 1, ou = oldLines[ol].units;
    std::size_t ob = oldLines[ol].size;
    std::size_t nl = newLines.size() - 1, nu = newLines[nl].units;
    std::size_t nb = newLines[nl].bytes.size();
    for (std::size_t k = 1; k < back && !oldLines[ol].lean; ++k) {
        if (ou == 0 || nu == 0) {
            if (ou != 0 || nu != 0 || ol == 0 || nl == 0)
                break;
            --ol;
            ou = oldLines[ol].units;
            ob = oldLines[ol].size;
            --nl;
            nu = newLines[nl].units;
            nb = newLines[nl].bytes.size();
        } else {
            --ou;
            --nu;
            ob -= widthOf(oldLines[ol], ou);
            nb -= widthOf(viewOf(newLines[nl]), nu);
        }
        bool patch = false;
        if (!sameCharacter(oldLines[ol], ou, ob, viewOf(newLines[nl]), nu, nb, patch))
            break;
        if (patch)
            copyCode(oldLines[ol].bytes, ob, newLines[nl].bytes, nb, widthOf(oldLines[ol], ou));
    }
}

bool TextMirror::splice(std::size_t pos, std::size_t removed, std::size_t added,
                        const std::vector<std::u16string_view>& newLines,
                        std::vector<Problem>* problems) {
    if (newLines.empty() || pos + removed > m_totalUnits - 1)
        return false;
    const LineRef a = refOfUnit(pos);
    const LineView lineA = lineAt(a);
    const std::size_t prefix = pos - a.unit;
    const std::vector<ColorRun> runsA = *lineA.colors;
    const CharColor inherited = pos > 0 ? colorAtUnit(pos - 1) : CharColor::autoColor();

    const LineRef b = refOfUnit(pos + removed);
    const LineView lineB = lineAt(b);
    const std::size_t suffixFrom = pos + removed - b.unit;  // in line b
    const std::size_t lineBExtent = lineB.units + 1u;
    const std::size_t suffixLength = lineBExtent - suffixFrom;

    std::size_t newExtent = 0;
    for (std::u16string_view text : newLines)
        newExtent += text.size() + 1;
    if (newExtent != prefix + added + suffixLength)
        return false;

    // The colours of the whole new region, relative to the start of line a.
    std::vector<ColorRun> region;
    copyRuns(region, runsA, 0, prefix, 0);
    if (!inherited.automatic) {
        pushRun(region, static_cast<std::uint32_t>(prefix),
                static_cast<std::uint32_t>(prefix + added), inherited.color);
    }
    copyRuns(region, *lineB.colors, suffixFrom, lineBExtent,
             static_cast<std::ptrdiff_t>(prefix + added) - static_cast<std::ptrdiff_t>(suffixFrom));

    std::vector<Line> lines;
    lines.reserve(newLines.size());
    std::size_t rel = 0;
    for (std::size_t i = 0; i < newLines.size(); ++i) {
        Line line = makeLine(newLines[i], i, problems);
        copyRuns(line.colors, region, rel, rel + line.units + 1u,
                 -static_cast<std::ptrdiff_t>(rel));
        rel += line.units + 1u;
        lines.push_back(std::move(line));
    }
    std::vector<LineView> oldLines;
    oldLines.reserve(b.line - a.line + 1);
    for (LineRef r = a;; nextLine(r)) {
        oldLines.push_back(lineAt(r));
        if (r.line == b.line)
            break;
    }
    keepUnchangedBytes(oldLines, lines, prefix + (removed == added ? removed : 0), suffixLength);

    // The break behind the edited lines is the one that was there.
    lines.back().soft = lineB.soft;
    const std::size_t oldCount = b.line - a.line + 1;
    m_lastSplice = {a.line, oldCount, lines.size()};
    replaceLines(a.line, oldCount, std::move(lines));
    return true;
}

std::string TextMirror::text() const {
    std::string out;
    out.reserve(byteLength());
    bool breakOwed = false;
    LineRef ref;
    std::string buffer;
    for (std::size_t c = 0; c < m_chunks.size(); ++c) {
        const Chunk& chunk = m_chunks[c];
        for (std::size_t i = 0; i < chunk.lines.size(); ++i) {
            const Record& line = chunk.lines[i];
            if (breakOwed)
                out += "\r\n";
            if (line.lean()) {
                ref.chunk = c;
                ref.index = i;
                buffer.clear();
                out += bytesOf(ref, viewIn(chunk, i), buffer);
            } else {
                out.append(chunk.text, line.begin, line.size);
            }
            ref.unit += line.units() + 1u;
            breakOwed = !line.soft();
        }
    }
    return out;
}

std::string TextMirror::textRange(std::size_t start, std::size_t end) const {
    end = std::min(end, byteLength());
    if (start >= end)
        return {};
    std::string out;
    out.reserve(end - start);
    LineRef ref = refOfByte(start);
    std::string buffer;
    for (;;) {
        const LineView line = lineAt(ref);
        // The line's bytes and its line break, as far as they lie in range.
        const std::size_t lineEnd = ref.byte + line.size;
        if (start < lineEnd) {
            const std::size_t to = std::min(end, lineEnd);
            out.append(bytesOf(ref, line, buffer), start - ref.byte, to - start);
            start = to;
        }
        if (start >= end)
            break;
        static constexpr char kBreak[] = "\r\n";
        const std::size_t to = std::min(end, lineEnd + (line.soft ? 0 : 2));
        out.append(kBreak + (start - lineEnd), to - start);
        start = to;
        if (start >= end || !nextLine(ref))
            break;
    }
    return out;
}

std::size_t TextMirror::unitToByte(std::size_t unit) const {
    const LineRef ref = refOfUnit(unit);
    const std::size_t local = std::min(unit, m_totalUnits - 1) - ref.unit;
    const LineView line = lineAt(ref);
    const std::size_t byte = unitToByteIn(line, local);
    // Between the halves of a pair: the character's start.
    if (m_utf8 && isPairTail(line, local, byte))
        return ref.byte + byte - 2;
    return ref.byte + byte;
}

std::size_t TextMirror::byteToUnit(std::size_t offset) const {
    if (offset >= byteLength())
        return m_totalUnits - 1;
    const LineRef ref = refOfByte(offset);
    const LineView line = lineAt(ref);
    const std::size_t local = offset - ref.byte;
    if (line.wide == nullptr || local >= line.size)
        return ref.unit + byteToUnitIn(line, local);
    std::size_t unit = 0;
    std::size_t byte = 0;
    if (m_walk.line == ref.line && m_walk.byte <= local) {
        unit = m_walk.unit;
        byte = m_walk.byte;
    }
    advanceTo(line, unit, byte, local);
    if (m_utf8 && isPairTail(line, unit, byte)) {
        --unit;
        byte -= 2;
    }
    m_walk = {ref.line, unit, byte};
    return ref.unit + unit;
}

std::size_t TextMirror::lineOfUnit(std::size_t unit) const {
    return refOfUnit(unit).line;
}

std::size_t TextMirror::lineOfByte(std::size_t offset) const {
    return refOfByte(offset).line;
}

std::size_t TextMirror::lineStartUnit(std::size_t line) const {
    return refOfLine(line).unit;
}

std::size_t TextMirror::lineStartByte(std::size_t line) const {
    return refOfLine(line).byte;
}

std::size_t TextMirror::lineUnits(std::size_t line) const {
    return recordAt(refOfLine(line)).units();
}

std::string_view TextMirror::lineBytes(std::size_t line) const {
    const LineRef ref = refOfLine(line);
    std::string& buffer = m_lineBuffers[m_nextBuffer];
    m_nextBuffer = (m_nextBuffer + 1) % m_lineBuffers.size();
    return bytesOf(ref, lineAt(ref), buffer);
}

bool TextMirror::keepsBytes(std::size_t line) const {
    return !recordAt(refOfLine(line)).lean();
}

std::string_view TextMirror::leanBytesOf(const LineRef& ref, const LineView& line,
                                         std::string& buffer) const {
    // The line's characters are where the mirror counts them in the
    // document; `ref.unit` is the line's start there.
    m_units.clear();
    if (m_source)
        m_source(ref.unit, line.units, m_units);
    buffer.clear();
    encodeLean(m_units, buffer);
    // A document that does not hold what the mirror counts there would give
    // other bytes: what is given is as long as the line says.
    buffer.resize(line.size, '?');
    return buffer;
}

void TextMirror::encodeLean(std::u16string_view units, std::string& out) const {
    // Only lines whose characters encode back to their bytes are held
    // without them: Shift_JIS without stand-ins, look-alikes and duplicate
    // codes, UTF-8 without stand-ins and surrogate pairs.
    if (!m_utf8) {
        appendExactShiftJis(units, out);
        return;
    }
    out.reserve(out.size() + 3 * units.size());
    for (char16_t c : units)
        appendUtf8(out, c);
}

std::size_t TextMirror::bytesOfUnits(std::size_t line, std::size_t units) const {
    return unitToByteIn(lineAt(refOfLine(line)), units);
}

std::optional<std::pair<std::size_t, std::size_t>> TextMirror::setColor(std::size_t start,
                                                                        std::size_t end,
                                                                        CharColor color) {
    end = std::min(end, m_totalUnits);
    if (start >= end)
        return std::nullopt;
    std::optional<std::pair<std::size_t, std::size_t>> changed;
    LineRef ref = refOfUnit(start);
    for (;;) {
        const std::size_t extent = recordAt(ref).units() + 1u;
        const std::size_t s = std::max(start, ref.unit) - ref.unit;
        const std::size_t e = std::min(end, ref.unit + extent) - ref.unit;
        if (paintLine(ref, static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(e), color)) {
            if (!changed)
                changed = std::make_pair(ref.line, ref.line);
            changed->second = ref.line;
        }
        if (ref.unit + extent >= end || !nextLine(ref))
            break;
    }
    return changed;
}

std::optional<std::pair<std::size_t, std::size_t>> TextMirror::setColors(
    const std::vector<std::pair<std::size_t, std::size_t>>& byteRanges, CharColor color) {
    std::optional<std::pair<std::size_t, std::size_t>> changed;
    const auto note = [&changed](std::size_t first, std::size_t last) {
        if (!changed)
            changed = std::make_pair(first, last);
        changed->first = std::min(changed->first, first);
        changed->second = std::max(changed->second, last);
    };
    if (byteRanges.empty())
        return changed;
    // The line of the last offset mapped and the character position in it
    // where the mapping stopped: the next offset is found from there.
    LineRef ref = refOfByte(byteRanges.front().first);
    std::size_t unit = 0;
    std::size_t byte = 0;
    const auto toUnit = [&](std::size_t offset) {
        // Past the end is the end, on the last line: a range that runs
        // past it from an earlier line is a range across lines.
        offset = std::min(offset, byteLength());
        if (offset < ref.byte) {
            ref = refOfByte(offset);
            unit = byte = 0;
        }
        while (offset >= ref.byte + recordAt(ref).extentBytes() && nextLine(ref))
            unit = byte = 0;
        const LineView line = lineAt(ref);
        const std::size_t local = offset - ref.byte;
        if (local >= line.size)
            return ref.unit + line.units;  // the line break
        if (byte > local)
            unit = byte = 0;
        advanceTo(line, unit, byte, local);
        if (m_utf8 && isPairTail(line, unit, byte)) {
            --unit;
            byte -= 2;
        }
        return ref.unit + unit;
    };
    for (const auto& [start, end] : byteRanges) {
        if (start >= end)
            continue;
        const std::size_t s = toUnit(start);
        const LineRef startLine = ref;
        const std::size_t e = toUnit(end);
        if (ref.line == startLine.line && s < e) {
            if (paintLine(ref, static_cast<std::uint32_t>(s - ref.unit),
                          static_cast<std::uint32_t>(e - ref.unit), color))
                note(ref.line, ref.line);
        } else if (const auto span = setColor(s, e, color)) {
            note(span->first, span->second);
        }
    }
    return changed;
}

CharColor TextMirror::colorAtUnit(std::size_t unit) const {
    if (unit >= m_totalUnits)
        return CharColor::autoColor();
    const LineRef ref = refOfUnit(unit);
    return colorIn(lineAt(ref), unit - ref.unit);
}

const std::vector<TextMirror::ColorRun>& TextMirror::lineColors(std::size_t line) const {
    return *lineAt(refOfLine(line)).colors;
}

// A character of a search text: a CR LF is one, a lead byte with a byte
// that can follow it another.
struct TextMirror::SearchChar {
    std::size_t width;
    unsigned code;  // folded
};

std::optional<std::size_t> TextMirror::find(std::string_view what, std::size_t min, std::size_t max,
                                            bool matchCase) const {
    max = std::min(max, byteLength());
    if (what.empty() || min >= max || what.size() > max - min)
        return std::nullopt;
    if (!m_sjis)
        return findCodecBytes(what, min, max, matchCase);

    std::vector<SearchChar> pattern;
    for (std::size_t i = 0; i < what.size();) {
        const auto b0 = static_cast<unsigned char>(what[i]);
        std::size_t width = 1;
        if (i + 1 < what.size()) {
            const auto b1 = static_cast<unsigned char>(what[i + 1]);
            if ((b0 == '\r' && b1 == '\n') || (isSjisLeadByte(b0) && isTrailByte(b1)))
                width = 2;
        }
        const unsigned code =
            width == 2 ? (unsigned{b0} << 8) | static_cast<unsigned char>(what[i + 1]) : b0;
        pattern.push_back({width, foldCode(code, matchCase)});
        i += width;
    }

    const Search search{pattern, what.size(), min, max, matchCase};
    const std::vector<std::string> firsts =
        pattern[0].code == 0x0D0A ? std::vector<std::string>{}
                                  : firstCharForms(pattern[0].code, pattern[0].width, matchCase);
    // A search that begins with a line break walks the characters.
    if (firsts.empty() || firsts.size() > kMaxForms)
        return findByWalking(search);
    return findByScanning(search, firsts);
}

bool TextMirror::matchesAt(const CharWalker& walker, const Search& search) {
    CharWalker probe = walker;
    std::size_t k = 0;
    while (k < search.pattern.size() && !probe.atEnd() &&
           probe.width() == search.pattern[k].width &&
           foldCode(probe.code(), search.matchCase) == search.pattern[k].code) {
        probe.advance();
        ++k;
    }
    return k == search.pattern.size();
}

std::optional<std::size_t> TextMirror::findByWalking(const Search& search) const {
    const std::size_t startUnit = byteToUnit(search.min);
    const LineRef ref = refOfUnit(startUnit);
    CharWalker walker(*this, ref, startUnit - ref.unit);
    if (walker.offset() < search.min && !walker.atEnd())
        walker.advance();
    while (!walker.atEnd() && walker.offset() + search.bytes <= search.max) {
        if (matchesAt(walker, search))
            return walker.offset();
        walker.advance();
    }
    return std::nullopt;
}

void TextMirror::skipLinesWithoutFirsts(LineRef& at, const std::vector<std::string>& firsts,
                                        std::size_t maxByte) const {
    // A chunk keeps its lines' bytes one after the other, so one scan of
    // that text finds the next line worth a look; the lines before it are
    // only counted. A form found across two lines' bytes only stops the skip
    // early.
    const Chunk& chunk = m_chunks[at.chunk];
    const std::vector<Record>& lines = chunk.lines;
    if (lines[at.index].lean())
        return;
    const std::string_view rest = std::string_view(chunk.text).substr(lines[at.index].begin);
    std::size_t hit = std::string_view::npos;
    for (const std::string& form : firsts)
        hit = std::min(hit, firstForm(rest, 0, form));
    if (hit != std::string_view::npos)
        hit += lines[at.index].begin;
    const std::size_t last = lines.size() - 1;
    while (at.index < last && at.byte <= maxByte) {
        const Record& r = lines[at.index];
        if (r.lean() || (hit != std::string_view::npos && r.begin + r.size > hit))
            return;
        at.byte += r.extentBytes();
        at.unit += r.units() + 1u;
        ++at.line;
        ++at.index;
    }
}

std::optional<std::size_t> TextMirror::findByScanning(
    const Search& search, const std::vector<std::string>& firsts) const {
    // Each line's bytes are scanned for the forms the first character can
    // take (memchr and memmem, many times faster than stepping through the
    // characters); only a hit is checked for a character boundary and
    // compared character by character.
    LineRef at = refOfUnit(byteToUnit(search.min));
    std::string buffer;
    for (;;) {
        if (at.byte >= search.min)
            skipLinesWithoutFirsts(at, firsts, search.max);
        const LineView line = lineAt(at);
        if (at.byte + search.bytes > search.max)
            break;
        const std::string_view bytes = bytesOf(at, line, buffer);
        std::size_t unit = 0;
        std::size_t byte = 0;
        std::size_t from = search.min > at.byte ? search.min - at.byte : 0;
        std::array<std::size_t, kMaxForms> next{};
        std::array<bool, kMaxForms> known{};
        while (from < bytes.size()) {
            std::size_t hit = std::string::npos;
            for (std::size_t v = 0; v < firsts.size(); ++v) {
                if (!known[v] || (next[v] != std::string::npos && next[v] < from)) {
                    next[v] = firstForm(bytes, from, firsts[v]);
                    known[v] = true;
                }
                hit = std::min(hit, next[v]);
            }
            if (hit == std::string::npos || at.byte + hit + search.bytes > search.max)
                break;
            advanceTo(line, unit, byte, hit);
            if (byte == hit && matchesAt(CharWalker(*this, at, unit), search))
                return at.byte + hit;
            from = hit + 1;
        }
        if (!nextLine(at))
            break;
    }
    return std::nullopt;
}

}  // namespace korvane

namespace korvane {

namespace {

char foldAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// Whether `text` holds `what` byte for byte, ASCII letters folded unless
// `matchCase`.
bool sameBytes(std::string_view text, std::string_view what, bool matchCase) {
    if (matchCase)
        return text == what;
    for (std::size_t k = 0; k < what.size(); ++k) {
        if (foldAscii(text[k]) != foldAscii(what[k]))
            return false;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> TextMirror::findCodecBytes(std::string_view what, std::size_t min,
                                                      std::size_t max, bool matchCase) const {
    // In UTF-8 and EUC-JP no character's bytes hold another's, ASCII
    // included: a byte match that starts and ends at character boundaries
    // is a match of characters. Lines are scanned for the first byte (in
    // either case) and only hits are checked.
    const char first = what[0];
    std::string firsts(1, first);
    if (!matchCase && foldAscii(first) != first)
        firsts += foldAscii(first);
    else if (!matchCase && first >= 'A' && first <= 'Z')
        firsts += static_cast<char>(first + ('a' - 'A'));
    const auto matchesAt = [&](std::size_t at) {
        if (at < min || at + what.size() > max || !isCharBoundary(at) ||
            !isCharBoundary(at + what.size()))
            return false;
        return sameBytes(textRange(at, at + what.size()), what, matchCase);
    };
    LineRef at = refOfByte(min);
    // A search that starts with a line break looks behind every line.
    const bool skips = first != '\r';
    std::vector<std::string> forms;
    for (const char c : firsts)
        forms.emplace_back(1, c);
    std::string buffer;
    for (;;) {
        if (skips && at.byte >= min)
            skipLinesWithoutFirsts(at, forms, max);
        const LineView line = lineAt(at);
        if (at.byte + what.size() > max)
            break;
        const std::string_view bytes = bytesOf(at, line, buffer);
        std::size_t from = min > at.byte ? min - at.byte : 0;
        while (from < bytes.size()) {
            const std::size_t hit = bytes.find_first_of(firsts, from);
            if (hit == std::string_view::npos || at.byte + hit + what.size() > max)
                break;
            if (hit + what.size() <= bytes.size()
                    ? sameBytes(bytes.substr(hit, what.size()), what, matchCase) &&
                          matchesAt(at.byte + hit)
                    : matchesAt(at.byte + hit))
                return at.byte + hit;
            from = hit + 1;
        }
        // A search that starts with a line break: the break behind the line.
        if (first == '\r' && !line.soft && matchesAt(at.byte + bytes.size()))
            return at.byte + bytes.size();
        if (!nextLine(at))
            break;
    }
    return std::nullopt;
}

}  // namespace korvane
