// The document codecs: Shift_JIS, UTF-8 and EUC-JP.
#include "base/text_codec.h"

#include <gtest/gtest.h>

#include <string>

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
