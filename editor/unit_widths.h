// How many bytes each unit of a decoded line took in its file, eight units
// at a time.
//
// Every line of every file the editor opens is measured from its units once
// they are decoded: a unit's bytes follow from the unit itself wherever the
// decoder gave it no stand-in of its own. Eight units go through at once on
// SSE2, which every x86-64 processor has; elsewhere one at a time, to the
// same answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/shift_jis.h"

namespace korvane {

// A bit a unit, the first unit in bit 0.
struct UnitWidths {
    unsigned stops = 0;  // '\n', U+2028, U+2029: the line ends there
    unsigned two = 0;    // two bytes: double-byte Shift_JIS; UTF-8 U+0080-U+07FF, a pair's half
    unsigned three = 0;  // three bytes (UTF-8 U+0800-U+FFFF but the surrogates)
    unsigned odd =
        0;  // U+F700-U+F7FF: UTF-8 stand-ins and their look-alikes, told apart by bytes alone
    unsigned pair = 0;  // a surrogate pair's half (UTF-8)
};

namespace unit_widths_detail {

constexpr bool stopsLine(char16_t c) {
    return c == u'\n' || c == u'\u2028' || c == u'\u2029';
}

constexpr bool inRange(char16_t c, char16_t lo, char16_t hi) {
    return c >= lo && c <= hi;
}

}  // namespace unit_widths_detail

// One unit, in bit 0; the definition the eight-at-once forms agree with.
template <bool kUtf8>
constexpr UnitWidths unitWidth(char16_t c) {
    using namespace unit_widths_detail;
    UnitWidths w;
    w.stops = stopsLine(c) ? 1u : 0u;
    if constexpr (kUtf8) {
        const bool surrogate = inRange(c, 0xD800, 0xDFFF);
        w.two = (c >= 0x80 && (c < 0x800 || surrogate)) ? 1u : 0u;
        w.three = (c >= 0x800 && !surrogate) ? 1u : 0u;
        w.odd = inRange(c, 0xF700, 0xF7FF) ? 1u : 0u;
        w.pair = surrogate ? 1u : 0u;
    } else {
        w.two = isDoubleByteUnit(c) ? 1u : 0u;
    }
    return w;
}

// The first `count` (at most 8) units at `t`.
template <bool kUtf8>
UnitWidths unitWidths(const char16_t* t, std::size_t count) {
    UnitWidths w;
    for (std::size_t k = 0; k < count; ++k) {
        const UnitWidths one = unitWidth<kUtf8>(t[k]);
        w.stops |= one.stops << k;
        w.two |= one.two << k;
        w.three |= one.three << k;
        w.odd |= one.odd << k;
        w.pair |= one.pair << k;
    }
    return w;
}

#if defined(__SSE2__)
namespace unit_widths_detail {

// All ones in each unit in [lo, hi], compared without sign.
inline __m128i unitsIn(__m128i v, char16_t lo, char16_t hi) {
    const __m128i shifted = _mm_sub_epi16(v, _mm_set1_epi16(static_cast<short>(lo)));
    const __m128i beyond = _mm_subs_epu16(shifted, _mm_set1_epi16(static_cast<short>(hi - lo)));
    return _mm_cmpeq_epi16(beyond, _mm_setzero_si128());
}

// Two masks of eight units as sixteen bits: `a` low, `b` high.
inline unsigned bitsOf(__m128i a, __m128i b) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
}

}  // namespace unit_widths_detail
#endif

// Eight units at `t`.
template <bool kUtf8>
UnitWidths unitWidths8(const char16_t* t) {
#if defined(__SSE2__)
    using namespace unit_widths_detail;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t));
    const __m128i ones = _mm_set1_epi16(-1);
    const __m128i stops =
        _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(u'\n')), unitsIn(v, u'\u2028', u'\u2029'));
    UnitWidths w;
    if constexpr (kUtf8) {
        const __m128i ascii = unitsIn(v, 0, 0x7F);
        const __m128i narrow = unitsIn(v, 0x80, 0x7FF);
        const __m128i surrogate = unitsIn(v, 0xD800, 0xDFFF);
        const __m128i two = _mm_or_si128(narrow, surrogate);
        const __m128i three = _mm_xor_si128(_mm_or_si128(ascii, two), ones);
        const unsigned stopsTwo = bitsOf(stops, two);
        const unsigned threePair = bitsOf(three, surrogate);
        w.stops = stopsTwo & 0xFF;
        w.two = stopsTwo >> 8;
        w.three = threePair & 0xFF;
        w.pair = threePair >> 8;
        w.odd = bitsOf(unitsIn(v, 0xF700, 0xF7FF), _mm_setzero_si128());
    } else {
        // isDoubleByteUnit: above U+0080, and none of the single bytes'
        // characters up there.
        const __m128i single =
            _mm_or_si128(_mm_or_si128(unitsIn(v, 0, 0x80), unitsIn(v, 0xF780, 0xF7FF)),
                         _mm_or_si128(unitsIn(v, 0xF8F0, 0xF8F3), unitsIn(v, 0xFF61, 0xFF9F)));
        const unsigned stopsTwo = bitsOf(stops, _mm_xor_si128(single, ones));
        w.stops = stopsTwo & 0xFF;
        w.two = stopsTwo >> 8;
    }
    return w;
#else
    return unitWidths<kUtf8>(t, 8);
#endif
}

}  // namespace korvane
