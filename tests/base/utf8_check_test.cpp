// The check an open makes for well-formed UTF-8.
#include "base/utf8_check.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace korvane {
namespace {

// Catches a sequence Unicode rules out taken for UTF-8 (an EUC-JP or
// Shift_JIS file would open as mojibake) and a well-formed one refused (a
// UTF-8 page would open as Shift_JIS), each at the start of the bytes and
// across the edge of a sixteen-byte block, and a text that stops inside a
// character.
TEST(Utf8Check, WellFormedIsWhatUnicodeLists) {
    const struct {
        const char* bytes;
        bool wellFormed;
        bool multibyte;
    } rows[] = {
        {"", true, false},
        {"plain <p>ASCII</p>\r\n", true, false},
        {"\xe3\x81\x82\xe6\x97\xa5", true, true},  // あ日
        {"\xc2\x80", true, true},                  // the edges between lengths
        {"\xdf\xbf", true, true},
        {"\xe0\xa0\x80", true, true},
        {"\xef\xbf\xbf", true, true},
        {"\xf0\x90\x80\x80", true, true},
        {"\xf4\x8f\xbf\xbf", true, true},
        {"\xed\x9f\xbf", true, true},  // U+D7FF, the last before the surrogates
        {"\xee\x80\x80", true, true},  // U+E000, the first after them
        {"\xc0\xaf", false, true},     // overlong
        {"\xc1\xbf", false, true},
        {"\xe0\x9f\xbf", false, true},
        {"\xf0\x8f\xbf\xbf", false, true},
        {"\xed\xa0\x80", false, true},  // surrogates
        {"\xed\xbf\xbf", false, true},
        {"\xf4\x90\x80\x80", false, true},  // past U+10FFFF
        {"\xf5\x80\x80\x80", false, true},
        {"\xf8\x88\x80\x80\x80", false, true},
        {"\xff", false, true},
        {"\x80", false, true},  // a continuation alone
        {"a\xbf", false, true},
        {"\xe3\x81\x82\x81", false, true},  // one continuation too many
        {"\xe3\x81", false, true},          // stops inside a character
        {"\xe3", false, true},
        {"\xf0\x9f\x98", false, true},
        {"\xe3\x81"
         "a",
         false, true},
        {"\xc3"
         "a",
         false, true},
        {"\x82\xa0\x93\xfa", false, true},  // Shift_JIS あ日
        {"\xa4\xa2\xc6\xfc", false, true},  // EUC-JP あ日
    };
    for (const auto& row : rows) {
        for (std::size_t before : {0, 13, 14, 15, 16, 31}) {
            const std::string bytes = std::string(before, 'x') + row.bytes;
            bool multibyte = false;
            EXPECT_EQ(isWellFormedUtf8(bytes, multibyte), row.wellFormed)
                << testing::PrintToString(bytes);
            if (row.wellFormed) {
                EXPECT_EQ(multibyte, row.multibyte) << testing::PrintToString(bytes);
            }
            // Text behind a fault does not make it right, nor behind a
            // character cut short.
            if (!row.wellFormed) {
                EXPECT_FALSE(isWellFormedUtf8(bytes + "tail of ASCII and more", multibyte));
            }
        }
    }
}

// Catches the sixteen-at-once check and the character walk parting ways:
// every first and second byte, with third and fourth bytes from each class
// a check tells apart, at every place within a block; and long texts of
// characters of every length with a byte changed here and there.
TEST(Utf8Check, SixteenAtOnceAgreesWithTheCharacterWalk) {
    const auto agree = [](const std::string& bytes) {
        bool fastMulti = false;
        bool walkMulti = false;
        const bool fast = isWellFormedUtf8(bytes, fastMulti);
        const bool walk = isWellFormedUtf8ByCharacter(bytes, walkMulti);
        if (fast != walk || (walk && fastMulti != walkMulti)) {
            ADD_FAILURE() << testing::PrintToString(bytes) << " fast " << fast << " walk " << walk;
            return false;
        }
        return true;
    };
    const unsigned char thirds[] = {0x41, 0x80, 0xA0, 0xC3};
    const unsigned char fourths[] = {0x80, 0x41};
    for (unsigned first = 0; first < 256; ++first) {
        for (unsigned second = 0; second < 256; ++second) {
            for (const unsigned char third : thirds) {
                for (const unsigned char fourth : fourths) {
                    std::string bytes((first + second + third) % 19, 'x');
                    bytes += static_cast<char>(first);
                    bytes += static_cast<char>(second);
                    bytes += static_cast<char>(third);
                    bytes += static_cast<char>(fourth);
                    // Then the end, or a block's more.
                    if (fourth == 0x41)
                        bytes += "0123456789abcdef";
                    if (!agree(bytes))
                        return;
                }
            }
        }
    }
    const std::vector<std::string> characters = {"a",
                                                 "<p>",
                                                 "\r\n",
                                                 "\xc3\xa9",
                                                 "\xdf\xbf",
                                                 "\xe3\x81\x82",
                                                 "\xef\xbd\xb1",
                                                 "\xed\x9f\xbf",
                                                 "\xf0\x9f\x98\x80",
                                                 "\xf4\x8f\xbf\xbf"};
    std::mt19937 rng(41);
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const std::size_t count = rng() % 300;
        for (std::size_t i = 0; i < count; ++i)
            bytes += characters[rng() % characters.size()];
        if (!bytes.empty() && round % 2 == 1)
            bytes[rng() % bytes.size()] = static_cast<char>(rng() % 256);
        if (!agree(bytes))
            return;
    }
}

}  // namespace
}  // namespace korvane
