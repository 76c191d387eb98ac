#include "base/utf8_check.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/cpu_features.h"

namespace korvane {

bool isWellFormedUtf8ByCharacter(std::string_view s, bool& multibyte) {
    multibyte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    const auto follows = [p](std::size_t at) { return (p[at] & 0xC0) == 0x80; };
    bool valid = true;
    for (std::size_t i = 0; i < n;) {
        // ASCII eight bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t eight = 0;
            std::memcpy(&eight, p + i, sizeof eight);
            if ((eight & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        multibyte = true;
        if (b >= 0xC2 && b <= 0xDF) {
            valid = i + 1 < n && follows(i + 1);
            i += 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            // E0 would be overlong below A0; ED is a surrogate from A0.
            const unsigned low = b == 0xE0 ? 0xA0 : 0x80;
            const unsigned high = b == 0xED ? 0x9F : 0xBF;
            valid = i + 2 < n && p[i + 1] >= low && p[i + 1] <= high && follows(i + 2);
            i += 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            // F0 would be overlong below 90; F4 goes past U+10FFFF from 90.
            const unsigned low = b == 0xF0 ? 0x90 : 0x80;
            const unsigned high = b == 0xF4 ? 0x8F : 0xBF;
            valid = i + 3 < n && p[i + 1] >= low && p[i + 1] <= high && follows(i + 2) &&
                    follows(i + 3);
            i += 4;
        } else {
            valid = false;
            ++i;
        }
        if (!valid)
            return false;
    }
    return true;
}

#if defined(KORVANE_X86_DISPATCH)
namespace {

// What each pair of neighbouring bytes may be wrong with, as bits: a fault
// is a bit set in all three of the tables the pair looks up (the first
// byte's high and low half, the second byte's high half).
constexpr std::uint8_t kTooShort = 1 << 0;      // a lead byte, then no continuation
constexpr std::uint8_t kTooLong = 1 << 1;       // ASCII, then a continuation
constexpr std::uint8_t kOverlong3 = 1 << 2;     // E0 80-9F
constexpr std::uint8_t kTooLarge = 1 << 3;      // F4 90-BF, F5-FF 90-BF
constexpr std::uint8_t kSurrogate = 1 << 4;     // ED A0-BF
constexpr std::uint8_t kOverlong2 = 1 << 5;     // C0-C1 80-BF
constexpr std::uint8_t kTooLarge1000 = 1 << 6;  // F5-FF 80-8F
constexpr std::uint8_t kOverlong4 = 1 << 6;     // F0 80-8F
constexpr std::uint8_t kTwoConts = 1
                                   << 7;  // two continuations: right only as a third or fourth byte
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

__attribute__((target("ssse3"))) inline __m128i table(const std::uint8_t (&t)[16]) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
}

constexpr std::uint8_t kFirstHigh[16] = {kTooLong,
                                         kTooLong,
                                         kTooLong,
                                         kTooLong,
                                         kTooLong,
                                         kTooLong,
                                         kTooLong,
                                         kTooLong,
                                         kTwoConts,
                                         kTwoConts,
                                         kTwoConts,
                                         kTwoConts,
                                         kTooShort | kOverlong2,
                                         kTooShort,
                                         kTooShort | kOverlong3 | kSurrogate,
                                         kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
constexpr std::uint8_t kFirstLow[16] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                        kCarry | kOverlong2,
                                        kCarry,
                                        kCarry,
                                        kCarry | kTooLarge,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000 | kSurrogate,
                                        kCarry | kTooLarge | kTooLarge1000,
                                        kCarry | kTooLarge | kTooLarge1000};
constexpr std::uint8_t kSecondHigh[16] = {
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
    kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
    kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
    kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort};
// A block may not end inside a character: its last byte no lead, the
// one before no lead of three or four bytes, the one before that no
// lead of four.
constexpr std::uint8_t kLastAllowed[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xDF, 0xBF};

// The state carried from one block of sixteen bytes to the next.
struct Blocks {
    __m128i error = _mm_setzero_si128();
    __m128i previous = _mm_setzero_si128();
    __m128i incomplete = _mm_setzero_si128();
    unsigned anyHigh = 0;

    __attribute__((target("ssse3"))) void add(__m128i input) {
        const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(input));
        anyHigh |= high;
        if (high == 0) {
            // ASCII: right unless the block before ended inside a character.
            error = _mm_or_si128(error, incomplete);
            previous = input;
            incomplete = _mm_setzero_si128();
            return;
        }
        const __m128i lowNibble = _mm_set1_epi8(0x0F);
        const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
        const __m128i special = _mm_and_si128(
            _mm_and_si128(_mm_shuffle_epi8(table(kFirstHigh),
                                           _mm_and_si128(_mm_srli_epi16(prev1, 4), lowNibble)),
                          _mm_shuffle_epi8(table(kFirstLow), _mm_and_si128(prev1, lowNibble))),
            _mm_shuffle_epi8(table(kSecondHigh),
                             _mm_and_si128(_mm_srli_epi16(input, 4), lowNibble)));
        // Where two continuations in a row are right: the third byte of a
        // character of three or four, the fourth of four.
        const __m128i prev2 = _mm_alignr_epi8(input, previous, 14);
        const __m128i prev3 = _mm_alignr_epi8(input, previous, 13);
        const __m128i third = _mm_subs_epu8(prev2, _mm_set1_epi8(static_cast<char>(0xE0 - 0x80)));
        const __m128i fourth = _mm_subs_epu8(prev3, _mm_set1_epi8(static_cast<char>(0xF0 - 0x80)));
        const __m128i expected =
            _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
        error = _mm_or_si128(error, _mm_xor_si128(expected, special));
        incomplete = _mm_subs_epu8(input, table(kLastAllowed));
        previous = input;
    }

    __attribute__((target("ssse3"))) bool failed() const {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(error, _mm_setzero_si128())) != 0xFFFF;
    }
};

__attribute__((target("ssse3"))) bool isWellFormedUtf8Ssse3(std::string_view s, bool& multibyte) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    Blocks blocks;
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        blocks.add(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        // A fault is final; looking on would only tell `multibyte`, which
        // the fault's own byte already did.
        if ((i & 0xFFF) == 0 && blocks.failed())
            break;
    }
    if (i + 16 > n) {
        // The rest padded with NULs, ASCII, which also tells whether the
        // text ended inside a character.
        std::uint8_t last[16] = {};
        if (n > i)
            std::memcpy(last, p + i, n - i);
        blocks.add(_mm_loadu_si128(reinterpret_cast<const __m128i*>(last)));
    }
    multibyte = blocks.anyHigh != 0;
    return !blocks.failed();
}

}  // namespace
#endif

bool isWellFormedUtf8(std::string_view bytes, bool& multibyte) {
#if defined(KORVANE_X86_DISPATCH)
    if (cpuHasSsse3())
        return isWellFormedUtf8Ssse3(bytes, multibyte);
#endif
    return isWellFormedUtf8ByCharacter(bytes, multibyte);
}

}  // namespace korvane
