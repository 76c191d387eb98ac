// Appending to a string through a raw pointer.
//
// The page conversions write megabytes in small pieces; std::string::append
// checks and grows the string for every piece, which costs more than the
// conversion itself. ByteWriter reserves the string once for what it expects,
// writes through a pointer and grows only when a text turns out larger.
//
// A string's bytes can only be made writable by resizing it, which fills them
// with zeros first. Resizing the whole expected size at once would write
// megabytes of zeros that are out of the cache again before the text is
// written over them, which costs about as much as a copy of the text; so the
// size follows the cursor a chunk at a time, within the reserved capacity,
// and each chunk is zeroed just before it is written.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

#if defined(__SSE2__)
// Sixteen bytes from anywhere.
inline __m128i load16(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Sixty-four bytes stored as they were loaded: the block loops of the
// conversions store each plain run this way and move the cursor only past
// it. Written out: the compiler keeps a loop here, a branch per register.
inline void copy64(char* to, const char* from) {
    const __m128i a = load16(from), b = load16(from + 16), c = load16(from + 32),
                  d = load16(from + 48);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), b);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 32), c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 48), d);
}
#endif

class ByteWriter {
  public:
    // Writes behind what `out` holds; `expected` is the likely number of bytes.
    ByteWriter(std::string& out, std::size_t expected) : m_out(out) {
        const std::size_t base = out.size();
        out.reserve(base + expected + kSlack);
        m_w = out.data() + base;
        m_end = m_w;
    }
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    // Makes room for `bytes` more bytes, plus kSlack bytes that a blind
    // 16-byte store may write past them.
    void reserve(std::size_t bytes) {
        if (static_cast<std::size_t>(m_end - m_w) < bytes + kSlack)
            grow(bytes);
    }
    char* cursor() { return m_w; }
    // How many bytes may be written at `at` (at or behind the cursor)
    // without a reserve, slack included.
    std::size_t room(const char* at) const { return static_cast<std::size_t>(m_end - at); }
    void advance(std::size_t n) { m_w += n; }
    void put(const char* bytes, std::size_t n) {
        reserve(n);
        std::memcpy(m_w, bytes, n);
        m_w += n;
    }
    void put(char c) {
        reserve(1);
        *m_w++ = c;
    }
    // Cuts the string to what was written.
    void finish() { m_out.resize(static_cast<std::size_t>(m_w - m_out.data())); }

    static constexpr std::size_t kSlack = 16;
    // Small enough to stay in the cache between zeroing and writing.
    static constexpr std::size_t kChunk = 64 * 1024;

  private:
    void grow(std::size_t bytes) {
        const auto used = static_cast<std::size_t>(m_w - m_out.data());
        // Within the capacity this only zeroes the new chunk; past it the
        // string reallocates, growing its capacity geometrically.
        m_out.resize(used + std::max(kChunk, bytes + kSlack));
        m_w = m_out.data() + used;
        m_end = m_out.data() + m_out.size();
    }

    std::string& m_out;
    char* m_w = nullptr;
    char* m_end = nullptr;
};

}  // namespace korvane
