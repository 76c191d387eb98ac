// The document codecs: Shift_JIS, UTF-8 and EUC-JP.
#include "base/text_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace korvane {
namespace {

// Catches bytes a codec cannot give back as they were read (damaged
// sequences, bytes of no character, what the encoding does not define),
// which would change a file nobody edited, and character lengths that
// split a character or run past the end.
TEST(TextCodec, BytesComeBackAsTheyWereRead) {
    const struct {
        const char* name;
        const TextCodec& codec;
        std::string bytes;
    } rows[] = {
        {"Shift_JIS", shiftJisCodec(), "a\x93\xfa\x96\x7b\xb1\x81\r\n\x82"},
        {"UTF-8", utf8Codec(), "a\xe6\x97\xa5\xf0\x9f\x98\x80\xc3\x28\xed\xa0\x80\xff\xe3\x81"},
        {"EUC-JP", eucJpCodec(), "a\xc6\xfc\xcb\xdc\x8e\xb1\x8f\xb0\xa1\xa4\xa2\xff\xa1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::u16string text = row.codec.decode(row.bytes);
        const SjisEncoded back = row.codec.encode(text);
        EXPECT_EQ(back.bytes, row.bytes);
        std::size_t at = 0;
        std::size_t characters = 0;
        while (at < row.bytes.size()) {
            const std::size_t length = row.codec.charLength(row.bytes, at);
            ASSERT_GE(length, 1u);
            ASSERT_LE(at + length, row.bytes.size());
            at += length;
            ++characters;
        }
        EXPECT_GT(characters, 3u);
    }
}

// Catches a codec that writes a character in the wrong bytes, misses what
// its encoding cannot hold (or reports what it can), and a full-width space
// from another encoding in a converted page.
TEST(TextCodec, EachCodecWritesItsOwnBytes) {
    const std::u16string text = u"日本\u3000ｱ";
    const struct {
        const char* name;
        const TextCodec& codec;
        std::string bytes;
        std::string space;
        const char* charset;
    } rows[] = {
        {"Shift_JIS", shiftJisCodec(), "\x93\xfa\x96\x7b\x81\x40\xb1", "\x81\x40", "Shift_JIS"},
        {"UTF-8", utf8Codec(), "\xe6\x97\xa5\xe6\x9c\xac\xe3\x80\x80\xef\xbd\xb1", "\xe3\x80\x80",
         "UTF-8"},
        {"EUC-JP", eucJpCodec(), "\xc6\xfc\xcb\xdc\xa1\xa1\x8e\xb1", "\xa1\xa1", "EUC-JP"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SjisEncoded encoded = row.codec.encode(text);
        EXPECT_EQ(encoded.bytes, row.bytes);
        EXPECT_TRUE(encoded.replaced.empty());
        EXPECT_EQ(row.codec.decode(row.bytes), text);
        EXPECT_EQ(row.codec.fullWidthSpace(), row.space);
        EXPECT_EQ(row.codec.decode(row.codec.fullWidthSpace()), u"\u3000");
        EXPECT_EQ(row.codec.charsetName(), row.charset);
    }
    // Korean and an emoji: UTF-8 holds them, the others report them.
    const std::u16string wide = u"한\U0001F600";
    EXPECT_TRUE(utf8Codec().holdsAll(wide));
    EXPECT_EQ(utf8Codec().toUtf8(utf8Codec().encode(wide).bytes), "\xed\x95\x9c\xf0\x9f\x98\x80");
    for (const TextCodec* codec : {&shiftJisCodec(), &eucJpCodec()}) {
        const SjisEncoded encoded = codec->encode(wide);
        ASSERT_EQ(encoded.replaced.size(), 2u) << codec->charsetName();
        EXPECT_EQ(encoded.replaced[1].index, 1u);
        EXPECT_EQ(encoded.replaced[1].character, U'\U0001F600');
    }
    // CP932 holds the IBM extensions, EUC-JP does not.
    EXPECT_TRUE(shiftJisCodec().holdsAll(u"髙"));
    EXPECT_FALSE(eucJpCodec().holdsAll(u"髙"));
}

// Catches a conversion between codecs that loses a character both hold, or
// reports nothing for one the target cannot hold.
TEST(TextCodec, ConvertsBetweenCodecs) {
    const SjisEncoded toUtf8 = convertBytes("\x93\xfa\x96\x7b", shiftJisCodec(), utf8Codec());
    EXPECT_EQ(toUtf8.bytes, "\xe6\x97\xa5\xe6\x9c\xac");
    const SjisEncoded toEuc = convertBytes(toUtf8.bytes, utf8Codec(), eucJpCodec());
    EXPECT_EQ(toEuc.bytes, "\xc6\xfc\xcb\xdc");
    const SjisEncoded lost = convertBytes("\xed\x95\x9c", utf8Codec(), shiftJisCodec());
    ASSERT_EQ(lost.replaced.size(), 1u);
    EXPECT_EQ(lost.replaced[0].character, U'한');
    // A UTF-16 file is held as UTF-8.
    EXPECT_EQ(&codecOf(TextEncoding::Utf16Be), &utf8Codec());
    EXPECT_EQ(&codecOf(TextEncoding::Utf8Bom), &utf8Codec());
    EXPECT_EQ(&codecOf(TextEncoding::EucJp), &eucJpCodec());
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// Catches the UTF-8 document decoder parting from the codec where it takes
// sixteen bytes at once: ASCII runs with a CR or CR LF anywhere in them,
// runs of kana, kanji and full-width forms with a lead byte that needs its
// own check (E0 overlong, ED surrogate) or a damaged byte at every place
// among them, and four-byte characters next to them.
TEST(TextCodec, Utf8DocumentTextIsTheCodecsWithEachCrLfOneBreak) {
    const std::vector<std::string> parts = {
        "a",
        "0123456789abcdef",
        "\r\n",
        "\r",
        "\n",
        "\xe3\x81\x82\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae",  // five kana/kanji
        "\xef\xbc\xa1",
        "\xef\xbd\xb1",
        "\xe0\xa0\x80",
        "\xe0\x9f\xbf",
        "\xed\x9f\xbf",
        "\xed\xa0\x80",
        "\xf0\x9f\x98\x80",
        "\xe3\x81",
        "\x80",
        "\xff"};
    std::vector<std::string> inputs;
    const std::string five = parts[5];
    for (std::size_t at = 0; at < 16; ++at) {
        for (const char damage : {'\x80', '\xc0', '\xf0', 'x', '\r'}) {
            std::string bytes = five + five + five;
            bytes[at + 3] = damage;
            inputs.push_back(bytes);
        }
    }
    std::mt19937 random(91);
    for (int n = 0; n < 300; ++n) {
        std::string bytes;
        const std::size_t count = random() % 60;
        for (std::size_t k = 0; k < count; ++k)
            bytes += parts[random() % parts.size()];
        inputs.push_back(bytes);
    }
    for (const std::string& bytes : inputs) {
        std::u16string want = utf8Codec().decode(bytes);
        for (std::size_t at = want.find(u"\r\n"); at != std::u16string::npos;
             at = want.find(u"\r\n", at + 1))
            want.erase(at, 1);
        std::u16string got(bytes.size(), u'\0');
        got.resize(decodeDocument(utf8Codec(), bytes, got.data()));
        EXPECT_TRUE(got == want) << testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace korvane
