// How many bytes each decoded unit took in its file, eight units at a time.
#include "editor/unit_widths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/shift_jis.h"
#include "base/text_codec.h"

namespace korvane {
namespace {

// Catches the eight-at-once form measuring a unit otherwise than one at a
// time (a line's byte length, and with it every position behind it, would
// be off): every unit at every place among the eight, its neighbours the
// units before and after it.
TEST(UnitWidths, EightAtOnceAgreeWithOneAtATime) {
    std::vector<char16_t> units(0x10000 + 8);
    for (std::size_t c = 0; c < units.size(); ++c)
        units[c] = static_cast<char16_t>(c);
    const auto same = [](const UnitWidths& a, const UnitWidths& b) {
        return a.stops == b.stops && a.two == b.two && a.three == b.three && a.odd == b.odd &&
               a.pair == b.pair;
    };
    for (std::size_t start = 0; start + 8 <= units.size(); ++start) {
        const char16_t* t = units.data() + start;
        ASSERT_TRUE(same(unitWidths8<true>(t), unitWidths<true>(t, 8))) << "UTF-8 at " << start;
        ASSERT_TRUE(same(unitWidths8<false>(t), unitWidths<false>(t, 8)))
            << "Shift_JIS at " << start;
    }
}

// Catches a unit given another byte count than encoding it writes: in UTF-8
// one byte below U+0080, two below U+0800, three up to U+FFFF, two for each
// half of a pair; in Shift_JIS two for each character encoding writes as a
// double-byte code and for no single byte's character or stand-in. And a
// line ended anywhere but at a line break.
TEST(UnitWidths, EachUnitTakesTheBytesEncodingWritesForIt) {
    for (std::uint32_t c = 0; c <= 0xFFFF; ++c) {
        const auto unit = static_cast<char16_t>(c);
        const UnitWidths utf8 = unitWidth<true>(unit);
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        const unsigned bytes = 1 + utf8.two + 2 * utf8.three;
        if (surrogate) {
            EXPECT_EQ(bytes, 2u) << std::hex << c;
            EXPECT_EQ(utf8.pair, 1u);
        } else {
            std::string encoded;
            appendUtf8(encoded, static_cast<char32_t>(c));
            EXPECT_EQ(bytes, encoded.size()) << std::hex << c;
            EXPECT_EQ(utf8.pair, 0u);
        }
        EXPECT_EQ(utf8.odd, (c >= 0xF700 && c <= 0xF7FF) ? 1u : 0u) << std::hex << c;
        EXPECT_EQ(utf8.stops, (c == u'\n' || c == 0x2028 || c == 0x2029) ? 1u : 0u);

        // Shift_JIS: a character written as two bytes decodes from two.
        const UnitWidths sjis = unitWidth<false>(unit);
        EXPECT_EQ(sjis.stops, utf8.stops);
        const std::u16string one(1, unit);
        const SjisEncoded written = encodeShiftJis(one);
        if (written.replaced.empty() && decodeShiftJis(written.bytes) == one) {
            EXPECT_EQ(sjis.two + 1, written.bytes.size()) << std::hex << c;
        }
    }
}

}  // namespace
}  // namespace korvane
