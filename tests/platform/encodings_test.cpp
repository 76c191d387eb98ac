// Files that are not Shift_JIS.
#include "platform/encodings.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/shift_jis.h"

namespace korvane {
namespace {

// Catches UTF-8, UTF-16 or EUC-JP pages taken for Shift_JIS (their text would
// show as other characters without a word), and Shift_JIS or ASCII taken for
// something else (every ordinary file would ask).
TEST(GuessEncoding, TellsTheCommonJapaneseEncodingsApart) {
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding expected;
    } rows[] = {
        {"ASCII", "<P>plain</P>\r\n", TextEncoding::ShiftJis},
        {"Shift_JIS", "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67",
         TextEncoding::ShiftJis},
        {"Shift_JIS half-width kana", "\xb6\xc0\xb6\xc5", TextEncoding::ShiftJis},
        {"UTF-8", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", TextEncoding::Utf8},
        {"UTF-8 with BOM",
         "\xef\xbb\xbf"
         "abc",
         TextEncoding::Utf8Bom},
        {"UTF-16LE", std::string("\xff\xfe\xe5\x65\x2c\x67", 6), TextEncoding::Utf16Le},
        {"UTF-16BE", std::string("\xfe\xff\x65\xe5\x67\x2c", 6), TextEncoding::Utf16Be},
        {"EUC-JP", "\xc6\xfc\xcb\xdc\xb8\xec\xa4\xce\xa5\xc6\xa5\xad\xa5\xb9\xa5\xc8",
         TextEncoding::EucJp},
        {"broken bytes", "\x81\x0a\xff\xfd", TextEncoding::ShiftJis},
    };
    for (const auto& row : rows)
        EXPECT_EQ(guessEncoding(row.bytes), row.expected) << row.name;
}

// Catches a page's own declaration ignored where the bytes alone cannot
// tell (an ASCII page that says UTF-8 would get typed text in Shift_JIS; an
// EUC-JP page of few characters taken for half-width katakana), and a
// declaration believed where the bytes say otherwise.
TEST(GuessEncoding, APageSaysWhatItIsWhenTheBytesAgree) {
    const std::string eucShort = "\xa4\xa2";  // あ: valid EUC-JP and valid Shift_JIS
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding expected;
    } rows[] = {
        {"ASCII page declaring UTF-8",
         "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">",
         TextEncoding::Utf8},
        {"HTML5 meta charset", "<meta charset='utf-8'><p>x</p>", TextEncoding::Utf8},
        {"XML declaration", "<?xml version=\"1.0\" encoding=\"EUC-JP\"?>" + eucShort,
         TextEncoding::EucJp},
        {"EUC-JP declared, few characters", "<META charset=x-euc-jp>" + eucShort,
         TextEncoding::EucJp},
        {"the same undeclared", "<P>" + eucShort, TextEncoding::ShiftJis},
        {"Shift_JIS declared as Windows-31J", "<meta charset=Windows-31J>\x82\xa0",
         TextEncoding::ShiftJis},
        {"UTF-8 bytes declared Shift_JIS", "<meta charset=shift_jis>\xe3\x81\x82",
         TextEncoding::Utf8},
        {"EUC-JP declared, bytes that are not", "<meta charset=euc-jp>\x82\xa0\x81\x40",
         TextEncoding::ShiftJis},
        {"declared after 1,024 bytes", std::string(1024, ' ') + "<meta charset=utf-8>",
         TextEncoding::ShiftJis},
        {"an unknown charset", "<meta charset=koi8-r>", TextEncoding::ShiftJis},
        // Undeclared, as many pairs would be taken for EUC-JP.
        {"Shift_JIS declared, EUC-JP bytes that read as Shift_JIS too",
         "<meta charset=shift_jis>" + eucShort + eucShort + eucShort + eucShort + eucShort +
             eucShort + eucShort + eucShort,
         TextEncoding::ShiftJis},
        // Read as Shift_JIS, 0xE0 is a lead byte with nothing behind it.
        {"Shift_JIS declared, EUC-JP bytes that do not", "<meta charset=shift_jis>\xb0\xe0",
         TextEncoding::EucJp},
    };
    for (const auto& row : rows)
        EXPECT_EQ(guessEncoding(row.bytes), row.expected) << row.name;
}

// Whether every byte is part of a well-formed UTF-8 character, one
// character at a time through the codec's own reader.
bool wellFormedUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = readUtf8Char(bytes, i).second;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// Catches the UTF-8 check taking an overlong form, a surrogate, a code past
// U+10FFFF or a sequence cut short for UTF-8, or refusing a well-formed one:
// every lead byte with the edges of its second byte, at every place against
// the eight-byte ASCII steps, and random mixtures.
TEST(GuessEncoding, Utf8IsWhatTheCodecReadsAsUtf8) {
    std::vector<std::string> inputs;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (const unsigned second : {0x7Fu, 0x80u, 0x8Fu, 0x90u, 0x9Fu, 0xA0u, 0xBFu, 0xC0u}) {
            const std::string sequence = {static_cast<char>(lead), static_cast<char>(second),
                                          '\x80', '\x80'};
            for (std::size_t cut = 1; cut <= 4; ++cut) {
                for (std::size_t before = 0; before <= 9; ++before)
                    inputs.push_back(std::string(before, 'a') + sequence.substr(0, cut) + "bc");
                inputs.push_back(sequence.substr(0, cut));
            }
        }
    }
    std::mt19937 random(8);
    const char* const parts[] = {
        "a",        "abcdefgh", "\xc3\xa9", "\xe3\x81\x82", "\xf0\x9f\x98\x80", "\xed\xa0\x80",
        "\xe3\x81", "\x80",     "\xc0\xaf", "\r\n"};
    for (int n = 0; n < 300; ++n) {
        std::string bytes;
        for (int k = 0; k < 20; ++k)
            bytes += parts[random() % std::size(parts)];
        inputs.push_back(bytes);
    }
    for (const std::string& bytes : inputs)
        EXPECT_EQ(isValidIn(bytes, TextEncoding::Utf8), wellFormedUtf8(bytes)) << bytes;
}

// Open and save without an edit, byte for byte, for every encoding and
// line-break style: catches a byte order mark dropped or doubled, UTF-16
// turned into UTF-8 on disk, and a file's LF or CR (or its mix) turned CR LF.
TEST(HoldDocument, EveryFileComesBackAsItWas) {
    const std::string utf8Lines[] = {"a\xe6\x97\xa5\r\nb\r\n", "a\xe6\x97\xa5\nb\n",
                                     "a\xe6\x97\xa5\rb\r", "a\xe6\x97\xa5\r\nb\nc\rd"};
    const auto utf16 = [](const std::string& utf8, bool little) {
        std::string out = little ? "\xff\xfe" : "\xfe\xff";
        for (const char16_t u : utf8Codec().decode(utf8)) {
            const char hi = static_cast<char>(u >> 8);
            const char lo = static_cast<char>(u & 0xff);
            out += little ? lo : hi;
            out += little ? hi : lo;
        }
        return out;
    };
    for (const std::string& lines : utf8Lines) {
        const std::string sjis = convertBytes(lines, utf8Codec(), shiftJisCodec()).bytes;
        const std::string euc = convertBytes(lines, utf8Codec(), eucJpCodec()).bytes;
        const struct {
            TextEncoding encoding;
            std::string file;
            std::string held;  // what the editor holds of it
        } rows[] = {
            {TextEncoding::ShiftJis, sjis, normalizeLineBreaks(sjis)},
            {TextEncoding::Utf8, lines, normalizeLineBreaks(lines)},
            {TextEncoding::Utf8Bom, "\xef\xbb\xbf" + lines, normalizeLineBreaks(lines)},
            {TextEncoding::Utf16Le, utf16(lines, true), normalizeLineBreaks(lines)},
            {TextEncoding::Utf16Be, utf16(lines, false), normalizeLineBreaks(lines)},
            {TextEncoding::EucJp, euc, normalizeLineBreaks(euc)},
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(encodingName(row.encoding) + " " + testing::PrintToString(lines));
            // Too few characters for EUC-JP to be told from Shift_JIS by its bytes.
            if (row.encoding != TextEncoding::EucJp) {
                EXPECT_EQ(guessEncoding(row.file), row.encoding);
            }
            const HeldDocument held = holdDocument(row.file, row.encoding);
            ASSERT_TRUE(held.ok);
            EXPECT_EQ(held.bytes, row.held);
            EXPECT_EQ(fileBytesOf(held.bytes, row.encoding, held.breaks), row.file);
        }
    }
    EXPECT_FALSE(holdDocument("\xff\xfe\x3d", TextEncoding::Utf16Le).ok);
    EXPECT_FALSE(holdDocument(std::string("\xff\xfe\x00\xdc", 4), TextEncoding::Utf16Le).ok);
}

// Catches text lost or mangled on the way to Shift_JIS, a byte order mark
// kept as a character, and a character Shift_JIS cannot hold written
// without being reported.
TEST(ConvertToShiftJis, GivesTheTextAndReportsWhatItCannotHold) {
    const std::string nihongo = "\x93\xfa\x96\x7b\x8c\xea";
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding from;
        std::string expected;
        std::size_t replaced;
    } rows[] = {
        {"UTF-8", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", TextEncoding::Utf8, nihongo, 0},
        {"UTF-8 BOM dropped",
         "\xef\xbb\xbf"
         "a",
         TextEncoding::Utf8Bom, "a", 0},
        {"UTF-16LE with CR LF", std::string("\xff\xfe\xe5\x65\x0d\x00\x0a\x00", 8),
         TextEncoding::Utf16Le, "\x93\xfa\r\n", 0},
        {"EUC-JP", "\xc6\xfc\xcb\xdc\xb8\xec", TextEncoding::EucJp, nihongo, 0},
        {"emoji reported", "a\xf0\x9f\x98\x80", TextEncoding::Utf8, "a?", 1},
        // The editor's stand-in for a broken byte is a character of its own
        // here: never written as that byte (found by the fuzzer).
        {"private use stand-in", std::string("\xff\xfe\xf7\xf7", 4), TextEncoding::Utf16Le, "?", 1},
    };
    for (const auto& row : rows) {
        const ConvertedText converted = convertToShiftJis(row.bytes, row.from);
        EXPECT_TRUE(converted.ok) << row.name;
        EXPECT_EQ(converted.bytes, row.expected) << row.name;
        EXPECT_EQ(converted.replaced.size(), row.replaced) << row.name;
    }
    EXPECT_FALSE(convertToShiftJis("\xff\xfe\xe5", TextEncoding::Utf8).ok);
}

}  // namespace
}  // namespace korvane
