// Appending to a string through a raw pointer.
//
// The page conversions write megabytes in small pieces; std::string::append
// checks and grows the string for every piece, which costs more than the
// conversion itself. ByteWriter sizes the string once for what it expects,
// writes through a pointer and grows only when a text turns out larger.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace korvane {

class ByteWriter {
  public:
    // Writes behind what `out` holds; `expected` is the likely number of bytes.
    ByteWriter(std::string& out, std::size_t expected) : m_out(out) {
        const std::size_t base = out.size();
        out.resize(base + expected + kSlack);
        m_w = out.data() + base;
        m_end = out.data() + out.size();
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

  private:
    void grow(std::size_t bytes) {
        const auto used = static_cast<std::size_t>(m_w - m_out.data());
        m_out.resize(m_out.size() + m_out.size() / 2 + bytes + kSlack);
        m_w = m_out.data() + used;
        m_end = m_out.data() + m_out.size();
    }

    std::string& m_out;
    char* m_w = nullptr;
    char* m_end = nullptr;
};

}  // namespace korvane
