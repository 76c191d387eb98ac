#include "base/shift_jis.h"

#include <gtest/gtest.h>
#if __has_include(<iconv.h>)
#include <iconv.h>
#endif

#include <bitset>
#include <random>
#include <string>
#include <vector>

namespace korvane {
namespace {

bool isLead(unsigned b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string bytesOf(unsigned code) {
    if (code <= 0xFF)
        return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// The codes that are duplicates of others, as Windows has them.
bool isListedDuplicate(unsigned code) {
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    if (lead == 0xED || lead == 0xEE)
        return true;
    if (lead == 0x87)
        return trail >= 0x90 && trail <= 0x9C;
    if (lead == 0xFA)
        return (trail >= 0x4A && trail <= 0x54) || (trail >= 0x58 && trail <= 0x5B);
    return false;
}

// Catches a wrong table row, a lost or invented code, a duplicate written in
// the wrong form, or an unassigned code that does not come back byte for byte.
TEST(ShiftJis, EveryCodeComesBackExceptTheListedDuplicates) {
    for (unsigned b = 0; b <= 0xFF; ++b) {
        if (isLead(b))
            continue;
        const std::u16string text = decodeShiftJis(bytesOf(b));
        ASSERT_EQ(text.size(), 1u) << b;
        EXPECT_FALSE(isInvalidByteStandIn(text[0])) << b;
        EXPECT_EQ(encodeShiftJis(text).bytes, bytesOf(b)) << b;
    }
    int assigned = 0;
    int duplicates = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLead(lead))
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const unsigned code = (lead << 8) | trail;
            const std::u16string text = decodeShiftJis(bytesOf(code));
            const SjisEncoded back = encodeShiftJis(text);
            EXPECT_TRUE(back.replaced.empty()) << std::hex << code;
            if (text.size() == 1)
                ++assigned;
            if (back.bytes == bytesOf(code))
                continue;
            ++duplicates;
            EXPECT_TRUE(isListedDuplicate(code)) << std::hex << code;
            EXPECT_EQ(decodeShiftJis(back.bytes), text) << std::hex << code;
            const unsigned form = static_cast<unsigned char>(back.bytes[0]);
            EXPECT_TRUE(form == 0x81 || form == 0x87 || form >= 0xFA) << std::hex << code;
        }
    }
    EXPECT_EQ(assigned, 7724 + 1880);  // 1880 user-defined codes in 0xF040-0xF9FC
    EXPECT_EQ(duplicates, 398);
}

// Catches a wrong decoding of the codes that differ between CP932 and
// Shift_JIS, of the single bytes iconv refuses, and of every kind of invalid byte.
TEST(ShiftJis, DecodesAsWindowsAndKeepsInvalidBytes) {
    const struct {
        const char* name;
        std::string bytes;
        std::u16string want;
        std::string back;  // what encoding writes when it differs from the bytes
    } rows[] = {
        {"wave dash row", "\x81\x60", u"\uFF5E", {}},
        {"dash row", "\x81\x5C", u"\u2015", {}},
        {"user-defined first and last", "\xF0\x40\xF9\xFC", u"\uE000\uE757", {}},
        {"user-defined across the trail gap", "\xF0\x7E\xF0\x80", u"\uE03E\uE03F", {}},
        {"single bytes Windows maps",
         "\x80\xA0\xFD\xFE\xFF",
         u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3",
         {}},
        {"half-width katakana", "\xA1\xDF", u"\uFF61\uFF9F", {}},
        {"lone lead byte at the end", "a\x81", u"a\uF781", {}},
        {"bad trail is read afresh", "\x81\r\n", u"\uF781\r\n", {}},
        {"0x7F is no trail byte", "\x81\x7F", u"\uF781\x7F", {}},
        {"unassigned code", "\x85\x40", u"\uF785@", {}},
        {"unassigned code of lead bytes", "\xFC\xFC", u"\uF7FC\uF7FC", {}},
        {"NEC duplicate comes back as NEC-selected IBM", "\xED\x40", u"\u7E8A", "\xFA\x5C"},
        {"duplicate that would pair with a lone lead keeps its form",
         "\x82\xFA\x4A",
         u"\uF782\u2160",
         {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(decodeShiftJis(row.bytes), row.want) << row.name;
        const SjisEncoded back = encodeShiftJis(row.want);
        EXPECT_EQ(back.bytes, row.back.empty() ? row.bytes : row.back) << row.name;
        EXPECT_TRUE(back.replaced.empty()) << row.name;
    }
}

// Catches a missing best-fit row, a best fit reported as exact (or not at
// all), a wrong index after a surrogate pair, and a stand-in that silently
// turns into another character.
TEST(ShiftJis, ReportsEveryReplacement) {
    const struct {
        const char* name;
        std::u16string text;
        std::string bytes;
        std::vector<SjisReplacement> replaced;
    } rows[] = {
        {"wave dash", u"a\u301C", "a\x81\x60", {{1, 0x301C, "\x81\x60", true}}},
        {"em dash, double bar, minus",
         u"\u2014\u2016\u2212",
         "\x81\x5C\x81\x61\x81\x7C",
         {{0, 0x2014, "\x81\x5C", true},
          {1, 0x2016, "\x81\x61", true},
          {2, 0x2212, "\x81\x7C", true}}},
        {"cent, pound, not",
         u"\u00A2\u00A3\u00AC",
         "\x81\x91\x81\x92\x81\xCA",
         {{0, 0xA2, "\x81\x91", true}, {1, 0xA3, "\x81\x92", true}, {2, 0xAC, "\x81\xCA", true}}},
        {"yen and overline",
         u"\u00A5\u203E",
         "\\~",
         {{0, 0xA5, "\\", true}, {1, 0x203E, "~", true}}},
        {"accented letters",
         u"\u00E9\u00C6\u00DF",
         "eAs",
         {{0, 0xE9, "e", true}, {1, 0xC6, "A", true}, {2, 0xDF, "s", true}}},
        {"hiragana vu", u"\u3094", "\x83\x94", {{0, 0x3094, "\x83\x94", true}}},
        {"no mapping", u"\u00A0\u20AC", "??", {{0, 0xA0, "?", false}, {1, 0x20AC, "?", false}}},
        {"surrogate pair is one character", u"a\U0001F600b", "a?b", {{1, 0x1F600, "?", false}}},
        {"unpaired surrogates",
         u"\xD800"
         u"a\xDC00",
         "?a?",
         {{0, 0xD800, "?", false}, {2, 0xDC00, "?", false}}},
        {"stand-in of a byte that is no lead", u"\uF7A1", "\xA1", {{0, 0xF7A1, "\xA1", false}}},
        {"stand-in that pairs with the next byte",
         u"\uF781A",
         "\x81"
         "A",
         {{0, 0xF781, "\x81", false}}},
        {"stand-in before a byte that cannot pair", u"\uF781?", "\x81?", {}},
    };
    for (const auto& row : rows) {
        const SjisEncoded got = encodeShiftJis(row.text);
        EXPECT_EQ(got.bytes, row.bytes) << row.name;
        ASSERT_EQ(got.replaced.size(), row.replaced.size()) << row.name;
        for (std::size_t i = 0; i < row.replaced.size(); ++i) {
            EXPECT_EQ(got.replaced[i].index, row.replaced[i].index) << row.name;
            EXPECT_EQ(got.replaced[i].character, row.replaced[i].character) << row.name;
            EXPECT_EQ(got.replaced[i].bytes, row.replaced[i].bytes) << row.name;
            EXPECT_EQ(got.replaced[i].bestFit, row.replaced[i].bestFit) << row.name;
        }
    }
}

// Catches a best fit or a duplicate taken for a character CP932 holds.
TEST(ShiftJis, KnowsWhichCharactersRoundTrip) {
    const struct {
        char32_t c;
        bool want;
    } rows[] = {
        {U'A', true},    {0x3000, true},  {0xFF5E, true},  {0x2160, true},  {0xFFE2, true},
        {0xE757, true},  {0xF8F3, true},  {0x0080, true},  {0xF781, true},  {0x301C, false},
        {0x00A5, false}, {0xE758, false}, {0xF7A1, false}, {0xD800, false}, {0x1F600, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(isShiftJisCharacter(row.c), row.want) << std::hex << static_cast<unsigned>(row.c);
}

std::string randomBytes(unsigned seed, std::size_t size, bool withDuplicates) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes;
    while (bytes.size() < size) {
        const int b = byte(random);
        // Without the lead bytes of duplicates every byte must come back.
        if (!withDuplicates && (b == 0x87 || b == 0xED || b == 0xEE || b == 0xFA))
            continue;
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

// Catches any byte sequence, invalid or not, that does not survive opening
// and saving, through UTF-16 and through UTF-8.
TEST(ShiftJis, RandomBytesSurviveARoundTrip) {
    const std::string bytes = randomBytes(932, 1 << 20, false);
    const SjisEncoded back = encodeShiftJis(decodeShiftJis(bytes));
    EXPECT_TRUE(back.bytes == bytes);
    EXPECT_TRUE(back.replaced.empty());
    const SjisEncoded viaUtf8 = encodeShiftJisFromUtf8(decodeShiftJisToUtf8(bytes));
    EXPECT_TRUE(viaUtf8.bytes == bytes);
    EXPECT_TRUE(viaUtf8.replaced.empty());

    // With duplicates the bytes may change, the text must not.
    const std::u16string text = decodeShiftJis(randomBytes(1252, 1 << 20, true));
    EXPECT_TRUE(decodeShiftJis(encodeShiftJis(text).bytes) == text);
}

// Calls f(code, its bytes, their decoded text) for every code decoding
// reads: each single byte, and each pair behind a lead byte.
template <typename F>
void forEachCode(const F& f) {
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const unsigned lead = code >> 8;
        if (lead != 0 ? !isLead(lead) : isLead(code))
            continue;
        const std::string bytes = bytesOf(code);
        f(code, bytes, decodeShiftJis(bytes));
    }
}

// Catches a code the load takes as written back byte for byte that the
// encoder writes in another form (a duplicate, a look-alike, a stand-in), or
// the other way round: the table must agree with encoding itself; and a
// code that is not written back whose character raises no doubt.
TEST(ShiftJis, OwnCodesAreTheOnesWrittenBackAsTheyAre) {
    const std::bitset<0x10000>& own = ownShiftJisCodes();
    std::size_t owned = 0;
    forEachCode([&](unsigned code, const std::string& bytes, const std::u16string& text) {
        std::string back;
        const bool exact = text.size() == 1 && appendExactShiftJis(text, back) && back == bytes;
        EXPECT_EQ(own[code], exact) << std::hex << code;
        owned += exact ? 1 : 0;
        // A code not written back as it is leaves a doubt in what it
        // decodes to.
        if (!exact) {
            EXPECT_TRUE(std::any_of(text.begin(), text.end(),
                                    [](char16_t c) { return unsureShiftJisUnits()[c]; }))
                << std::hex << code;
        }
    });
    // Doubts are few: a line of everyday Japanese raises none.
    EXPECT_LT(unsureShiftJisUnits().count(), 800u);
    for (const char16_t c : std::u16string(u"日本語のテキスト、漢字かなカナ。ｱｲｳ～－①"))
        EXPECT_FALSE(unsureShiftJisUnits()[c]) << std::hex << unsigned{c};
    // ASCII, the half-width katakana and the assigned double-byte codes
    // less their duplicates: thousands, not a handful.
    EXPECT_GT(owned, 7000u);
}

// A loaded line is measured from its units alone. Catches a character of a
// double-byte code taken for one of a single byte, or a single byte's
// character, stand-in or half-width katakana taken for two: every code that
// decodes is looked at.
TEST(ShiftJis, EachDecodedUnitTellsHowManyBytesItCameFrom) {
    forEachCode([](unsigned code, const std::string& bytes, const std::u16string& text) {
        // A pair that does not decode is two characters of a byte each.
        for (const char16_t unit : text)
            EXPECT_EQ(isDoubleByteUnit(unit), text.size() == 1 && bytes.size() == 2)
                << std::hex << code;
    });
    for (unsigned b = 0x80; b <= 0xFF; ++b)
        EXPECT_FALSE(isDoubleByteUnit(static_cast<char16_t>(kInvalidByteBase + b)));
}

// Catches the document decoder parting from the plain one: each CR LF is one
// "\n", a CR or LF alone stays, a lead byte at the very end or before a line
// break is a stand-in and the break survives.
TEST(ShiftJis, DocumentTextIsThePlainTextWithEachCrLfOneBreak) {
    std::vector<std::string> inputs = {
        "",
        "\r\n",
        "\r",
        "\n",
        "\r\r\n\n",
        "a\r\nb",
        "\x82\xa0\r\n\x82",
        "\x82\r\n",
        "\x81\x0d\x0a",
        "\xb1\xb2\r\n\xfd",
    };
    std::mt19937 random(77);
    std::uniform_int_distribution<int> pick(0, 9);
    for (int n = 0; n < 200; ++n) {
        std::string bytes;
        for (int k = 0; k < 300; ++k) {
            static const char* const parts[] = {"\r\n", "\r",   "\n",       "a",        "\x82\xa0",
                                                "\x82", "\xb1", "\xed\x40", "\x87\x90", "\xff"};
            bytes += parts[pick(random)];
        }
        inputs.push_back(bytes);
    }
    for (const std::string& bytes : inputs) {
        std::u16string want = decodeShiftJis(bytes);
        for (std::size_t at = want.find(u"\r\n"); at != std::u16string::npos;
             at = want.find(u"\r\n", at + 1))
            want.erase(at, 1);
        std::u16string got(bytes.size(), u'\0');
        got.resize(decodeShiftJisDocument(bytes, got.data()));
        EXPECT_TRUE(got == want) << bytes;
    }
}

// Catches a malformed UTF-8 sequence swallowing valid text after it, overlong
// forms or encoded surrogates slipping through, and indices not in bytes.
TEST(ShiftJis, Utf8Paths) {
    EXPECT_EQ(decodeShiftJisToUtf8("a\x82\xA0\x81"), "a\u3042\uF781");
    const struct {
        const char* name;
        std::string utf8;
        std::string bytes;
        std::vector<std::size_t> indices;  // of the replacements
    } rows[] = {
        {"valid",
         "ab\u3042\u00E9",
         "ab\x82\xA0"
         "e",
         {5}},
        {"stray bytes",
         "a\xFF"
         "b\x80",
         "a?b?",
         {1, 3}},
        {"truncated sequence", "\xE3\x81", "??", {0, 1}},
        {"truncated before ASCII",
         "\xE3\x81"
         "a",
         "??a",
         {0, 1}},
        {"overlong", "\xC0\xAF\xE0\x80\xAF", "?????", {0, 1, 2, 3, 4}},
        {"encoded surrogate", "\xED\xA0\x80", "???", {0, 1, 2}},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "????", {0, 1, 2, 3}},
        {"four-byte character",
         "\xF0\x9F\x98\x80"
         "a",
         "?a",
         {0}},
    };
    for (const auto& row : rows) {
        const SjisEncoded got = encodeShiftJisFromUtf8(row.utf8);
        EXPECT_EQ(got.bytes, row.bytes) << row.name;
        std::vector<std::size_t> indices;
        for (const auto& r : got.replaced)
            indices.push_back(r.index);
        EXPECT_EQ(indices, row.indices) << row.name;
    }
    EXPECT_EQ(encodeShiftJisFromUtf8("\xFF").replaced.at(0).character, U'\uFFFD');
}

#if __has_include(<iconv.h>)
// Catches a generated table that drifted from glibc's CP932: every code it
// decodes and every character it encodes must agree with ours.
TEST(ShiftJis, AgreesWithIconv) {
    iconv_t decoder = iconv_open("UTF-16LE", "CP932");
    iconv_t encoder = iconv_open("CP932", "UTF-16LE");
    if (decoder == reinterpret_cast<iconv_t>(-1) || encoder == reinterpret_cast<iconv_t>(-1)) {
        GTEST_SKIP() << "iconv has no CP932 here";
    }
    auto convert = [](iconv_t cd, std::string in) -> std::string {
        char out[8];
        char* inp = in.data();
        char* outp = out;
        std::size_t inLeft = in.size();
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<std::size_t>(-1))
            return {};
        return std::string(out, sizeof out - outLeft);
    };
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const std::string sjis = bytesOf(code);
        const std::string utf16 = convert(decoder, sjis);
        if (utf16.size() != 2)
            continue;
        const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[0]) |
                                                    static_cast<unsigned char>(utf16[1]) << 8);
        EXPECT_EQ(decodeShiftJis(sjis), std::u16string(1, unit)) << std::hex << code;
    }
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const std::string theirs = convert(encoder, bytesOf(c & 0xFF) + bytesOf(c >> 8));
        if (!theirs.empty()) {
            EXPECT_EQ(encodeShiftJis(std::u16string(1, static_cast<char16_t>(c))).bytes, theirs)
                << std::hex << c;
        }
    }
    iconv_close(decoder);
    iconv_close(encoder);
}
#endif

}  // namespace
}  // namespace korvane
