#include "platform/encodings.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "base/sjis_bytes.h"
#include "base/utf8_check.h"

namespace korvane {

namespace {

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

// EUC-JP's shape: two bytes of 0xA1-0xFE, 0x8E with a half-width katakana
// byte, or 0x8F with two more. `pairs` counts its double-byte characters.
bool isEucJp(std::string_view s, std::size_t& pairs) {
    pairs = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    const auto high = [](unsigned char c) { return c >= 0xA1 && c <= 0xFE; };
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
        } else if (high(b) && i + 1 < n && high(p[i + 1])) {
            ++pairs;
            i += 2;
        } else if (b == 0x8E && i + 1 < n && p[i + 1] >= 0xA1 && p[i + 1] <= 0xDF) {
            i += 2;
        } else if (b == 0x8F && i + 2 < n && high(p[i + 1]) && high(p[i + 2])) {
            ++pairs;
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

// How the bytes read as Shift_JIS: whether some lead byte has no valid
// second byte, and how many characters are double-byte.
void readAsShiftJis(std::string_view s, bool& broken, std::size_t& doubles) {
    broken = false;
    doubles = 0;
    const std::u16string text = decodeShiftJis(s);
    for (char16_t c : text) {
        if (isInvalidByteStandIn(c))
            broken = true;
        else if (c >= 0x100 && !(c >= 0xFF61 && c <= 0xFF9F))
            ++doubles;
    }
}

// Whether every lead byte has a byte after it that may follow a lead byte.
bool isShiftJisShaped(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (!isSjisLeadByte(p[i]))
            continue;
        if (i + 1 >= n)
            return false;
        const unsigned char t = p[++i];
        if (t < 0x40 || t == 0x7F || t > 0xFC)
            return false;
    }
    return true;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The charset name that follows `at` ("=", blanks and quotes skipped), in
// lower case.
std::string nameAfter(std::string_view s, std::size_t at) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t'))
        ++at;
    if (at >= s.size() || s[at] != '=')
        return {};
    ++at;
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '"' || s[at] == '\''))
        ++at;
    std::string name;
    while (at < s.size() && name.size() < 40) {
        const char c = s[at++];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '_'))
            break;
        name += asciiLower(c);
    }
    return name;
}

std::optional<TextEncoding> encodingOfCharset(const std::string& name) {
    for (const char* sjis : {"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j", "cp932",
                             "ms_kanji", "csshiftjis", "csWindows31J"}) {
        std::string lowered;
        for (const char* p = sjis; *p != '\0'; ++p)
            lowered += asciiLower(*p);
        if (name == lowered)
            return TextEncoding::ShiftJis;
    }
    if (name == "utf-8" || name == "utf8")
        return TextEncoding::Utf8;
    if (name == "euc-jp" || name == "x-euc-jp" || name == "eucjp" || name == "cseucpkdfmtjapanese")
        return TextEncoding::EucJp;
    return std::nullopt;
}

const char* iconvName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            return "UTF-8";
        case TextEncoding::Utf16Le:
            return "UTF-16LE";
        case TextEncoding::Utf16Be:
            return "UTF-16BE";
        case TextEncoding::EucJp:
            return "EUC-JP-MS";
        case TextEncoding::ShiftJis:
            break;
    }
    return "CP932";
}

}  // namespace

std::optional<TextEncoding> declaredEncoding(std::string_view start) {
    start = start.substr(0, kDeclarationBytes);
    std::string lowered(start);
    for (char& c : lowered)
        c = asciiLower(c);
    for (std::size_t at = 0; at < lowered.size(); ++at) {
        for (const std::string_view key :
             {std::string_view("charset"), std::string_view("encoding")}) {
            if (lowered.compare(at, key.size(), key) != 0)
                continue;
            if (const auto encoding = encodingOfCharset(nameAfter(lowered, at + key.size())))
                return encoding;
        }
    }
    return std::nullopt;
}

TextEncoding guessEncoding(std::string_view bytes) {
    EncodingGuess guess;
    guess.add(bytes);
    return guess.result();
}

void EncodingGuess::add(std::string_view piece) {
    if (m_first) {
        m_first = false;
        m_declared = declaredEncoding(piece);
        for (const auto& [mark, encoding] : {std::pair{"\xEF\xBB\xBF", TextEncoding::Utf8Bom},
                                             std::pair{"\xFF\xFE", TextEncoding::Utf16Le},
                                             std::pair{"\xFE\xFF", TextEncoding::Utf16Be}}) {
            if (startsWith(piece, mark)) {
                m_hasBom = true;
                m_bom = encoding;
                return;
            }
        }
    }
    if (m_hasBom)
        return;
    bool multibyte = false;
    m_utf8 = m_utf8 && isWellFormedUtf8(piece, multibyte);
    m_multibyte = m_multibyte || multibyte;
    // Whether every lead byte has its trail byte decides only for a page
    // that declares Shift_JIS and may still be EUC-JP (result()): a whole
    // pass over every other text, spared.
    if (m_shiftJis && m_eucJp && m_declared == TextEncoding::ShiftJis)
        m_shiftJis = isShiftJisShaped(piece);
    // Whether the whole is EUC-JP is known only at the end, when some later
    // piece may have turned out not to be UTF-8.
    if (!m_eucJp)
        return;
    std::size_t pairs = 0;
    m_eucJp = isEucJp(piece, pairs);
    m_eucPairs += pairs;
    // ASCII reads as itself: nothing broken, nothing double-byte.
    if (!m_eucJp || std::all_of(piece.begin(), piece.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return;
    bool broken = false;
    std::size_t doubles = 0;
    readAsShiftJis(piece, broken, doubles);
    m_broken = m_broken || broken;
    m_doubles += doubles;
}

TextEncoding EncodingGuess::result() const {
    if (m_hasBom)
        return m_bom;
    // ASCII agrees with every declaration: a page that says UTF-8 gets what
    // is typed into it in UTF-8 before it holds a single such character.
    if (m_utf8 && m_multibyte)
        return TextEncoding::Utf8;
    if (m_utf8)
        return m_declared.value_or(TextEncoding::ShiftJis);
    if (m_declared == TextEncoding::EucJp && m_eucJp)
        return TextEncoding::EucJp;
    if (m_declared == TextEncoding::ShiftJis && m_shiftJis)
        return TextEncoding::ShiftJis;
    // Read as Shift_JIS, EUC-JP's kana and kanji become broken pairs or
    // mostly half-width katakana; real Shift_JIS text has its double-byte
    // characters. A few half-width katakana alone are as likely one as the
    // other, and stay Shift_JIS.
    constexpr std::size_t kEnoughToTell = 8;
    if (m_eucJp && m_eucPairs > 0 &&
        (m_broken || (m_doubles * 2 < m_eucPairs && m_eucPairs >= kEnoughToTell)))
        return TextEncoding::EucJp;
    return TextEncoding::ShiftJis;
}

bool isValidIn(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::ShiftJis: {
            bool broken = false;
            std::size_t doubles = 0;
            readAsShiftJis(bytes, broken, doubles);
            return !broken;
        }
        case TextEncoding::EucJp: {
            std::size_t pairs = 0;
            return isEucJp(bytes, pairs);
        }
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            break;
    }
    bool multibyte = false;
    return isWellFormedUtf8(bytes, multibyte);
}

std::string encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf8Bom:
            return "UTF-8 (BOM付き)";
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            return "UTF-16";
        case TextEncoding::EucJp:
            return "EUC-JP";
        case TextEncoding::ShiftJis:
            break;
    }
    return "Shift_JIS";
}

bool parseEncodingName(std::string_view name, bool& automatic, TextEncoding& encoding) {
    automatic = false;
    if (name == "auto") {
        automatic = true;
        return true;
    }
    if (name == "shift_jis" || name == "sjis" || name == "cp932") {
        encoding = TextEncoding::ShiftJis;
        return true;
    }
    if (name == "utf-8" || name == "utf8") {
        encoding = TextEncoding::Utf8;
        return true;
    }
    if (name == "utf-16") {
        // The byte order mark decides; without one, little-endian.
        encoding = TextEncoding::Utf16Le;
        return true;
    }
    if (name == "euc-jp" || name == "eucjp") {
        encoding = TextEncoding::EucJp;
        return true;
    }
    return false;
}

ConvertedText convertToShiftJis(std::string_view bytes, TextEncoding from) {
    ConvertedText result;
    if (from == TextEncoding::ShiftJis) {
        result.ok = true;
        result.bytes = std::string(bytes);
        return result;
    }
    if (from == TextEncoding::Utf8Bom && startsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (from == TextEncoding::Utf16Le || from == TextEncoding::Utf16Be) {
        if (startsWith(bytes, "\xFF\xFE")) {
            from = TextEncoding::Utf16Le;
            bytes.remove_prefix(2);
        } else if (startsWith(bytes, "\xFE\xFF")) {
            from = TextEncoding::Utf16Be;
            bytes.remove_prefix(2);
        }
    }
    std::string utf8;
    if (from == TextEncoding::Utf8 || from == TextEncoding::Utf8Bom) {
        bool multibyte = false;
        if (!isWellFormedUtf8(bytes, multibyte))
            return result;
        utf8 = std::string(bytes);
    } else {
        iconv_t cd = ::iconv_open("UTF-8", iconvName(from));
        if (cd == reinterpret_cast<iconv_t>(-1))
            return result;
        utf8.resize(bytes.size() * 3 + 16);
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* out = utf8.data();
        std::size_t outLeft = utf8.size();
        const std::size_t done = ::iconv(cd, &in, &inLeft, &out, &outLeft);
        ::iconv_close(cd);
        if (done == static_cast<std::size_t>(-1))
            return result;
        utf8.resize(utf8.size() - outLeft);
    }
    // The private code points that stand in for broken bytes in the editor
    // are characters of their own in a file of another encoding: written as
    // they are, they would become a broken byte. They take the replacement
    // character, which Shift_JIS cannot hold either, so they are reported.
    for (std::size_t at = utf8.find('\xEF'); at != std::string::npos;
         at = utf8.find('\xEF', at + 1)) {
        const auto second = at + 1 < utf8.size() ? static_cast<unsigned char>(utf8[at + 1]) : 0;
        if (second == 0x9E || second == 0x9F)
            utf8.replace(at, 3, "\xEF\xBF\xBD");
    }
    SjisEncoded encoded = encodeShiftJisFromUtf8(utf8);
    result.ok = true;
    result.bytes = std::move(encoded.bytes);
    result.replaced = std::move(encoded.replaced);
    return result;
}

}  // namespace korvane

namespace korvane {

HeldDocument holdDocument(std::string_view fileBytes, TextEncoding encoding) {
    HeldDocument held;
    std::string utf8;
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be) {
        const bool little = encoding == TextEncoding::Utf16Le;
        if (startsWith(fileBytes, little ? "\xFF\xFE" : "\xFE\xFF"))
            fileBytes.remove_prefix(2);
        if (fileBytes.size() % 2 != 0)
            return held;
        std::u16string units(fileBytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i) {
            const auto a = static_cast<unsigned char>(fileBytes[2 * i]);
            const auto b = static_cast<unsigned char>(fileBytes[2 * i + 1]);
            units[i] = static_cast<char16_t>(little ? (b << 8 | a) : (a << 8 | b));
        }
        for (std::size_t i = 0; i < units.size(); ++i) {
            const char16_t u = units[i];
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                ++i;
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                return held;  // a UTF-16 file that is not one
            }
        }
        utf8 = utf16ToUtf8(units);
        fileBytes = utf8;
    } else if (encoding == TextEncoding::Utf8Bom && startsWith(fileBytes, "\xEF\xBB\xBF")) {
        fileBytes.remove_prefix(3);
    }
    held.breaks = LineBreaks::of(fileBytes);
    held.bytes = hasOnlyCrLf(fileBytes) ? std::string(fileBytes) : normalizeLineBreaks(fileBytes);
    held.ok = true;
    return held;
}

std::string fileBytesOf(std::string_view heldBytes, TextEncoding encoding,
                        const LineBreaks& breaks) {
    std::string text = breaks.restore(heldBytes);
    if (encoding == TextEncoding::Utf8Bom)
        return "\xEF\xBB\xBF" + text;
    if (encoding != TextEncoding::Utf16Le && encoding != TextEncoding::Utf16Be)
        return text;
    const bool little = encoding == TextEncoding::Utf16Le;
    const std::u16string units = utf8Codec().decode(text);
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    out.reserve(2 + units.size() * 2);
    for (const char16_t u : units) {
        const auto high = static_cast<char>(u >> 8);
        const auto low = static_cast<char>(u & 0xFF);
        out += little ? low : high;
        out += little ? high : low;
    }
    return out;
}

}  // namespace korvane
